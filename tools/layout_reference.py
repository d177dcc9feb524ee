#!/usr/bin/env python3
"""Renders the engine's layout reference pages in headless Chromium and
writes what it measures into tests/engine/reference/layout.txt.

  tools/layout_reference.py            write the pages and measure them
  tools/layout_reference.py --bench    also time in Chromium a full layout of the pages that
                                       bench/layout times in the engine (1 MB page, 5,000-row table)

The pages (tests/engine/reference/pages/) are written by this script too, so
that the set can grow here. CI never needs Chromium: the data file is checked
in, and the engine's tests compare their own layout with it.

Beside its own pages it measures the presentational ones of layout_reference_pages.py
at 800 and 500 px (one page file, a record per width), in two sets: those the rules were built
against ("fitted") and those kept apart to check them on pages never seen ("held-out").

Per page the file holds "page <name> <viewport width> <set> <viewport height>" (set "base"
for the pages written here), then one line per element of the body in document order:
  e <index> <TAG> <display> <offsetLeft> <offsetTop> <offsetWidth> <offsetHeight> <lines>
where <lines> counts the lines the element's own text runs over."""
import os
import re
import shutil
import subprocess
import sys
import tempfile

import layout_reference_pages

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
REFERENCE = os.path.join(ROOT, "tests", "engine", "reference")
PAGES = os.path.join(REFERENCE, "pages")
WIDTH, HEIGHT = 800, 600

LOREM = ("Notes are kept as pages and every page is one file below the bookmark folder; "
         "links arrive from the browser and land in the section the user picks.")

MEASURE = r"""
<script>
(function () {
  function lines(e) {
    var rects = [], walker = document.createTreeWalker(e, NodeFilter.SHOW_TEXT);
    for (var t = walker.nextNode(); t; t = walker.nextNode()) {
      if (!/\S/.test(t.data)) continue;
      var r = document.createRange(); r.selectNodeContents(t);
      var list = r.getClientRects();
      for (var i = 0; i < list.length; i++) if (list[i].height > 0) rects.push(list[i]);
    }
    rects.sort(function (a, b) { return a.top - b.top; });
    var count = 0, bottom = -1e9;
    rects.forEach(function (r) { if (r.top >= bottom - 2) { count++; bottom = r.bottom; } else bottom = Math.max(bottom, r.bottom); });
    return count;
  }
  var t0 = performance.now();
  document.body.offsetHeight;
  // The viewport: in quirks mode the root element's clientHeight is the page's height instead.
  var out = ["width " + document.documentElement.clientWidth + " " + window.innerHeight];
  var all = document.body.getElementsByTagName("*");
  for (var i = 0; i < all.length; i++) {
    var e = all[i];
    if (e.tagName == "SCRIPT") continue;
    out.push(["e", i, e.tagName, getComputedStyle(e).display, e.offsetLeft, e.offsetTop, e.offsetWidth, e.offsetHeight, lines(e)].join(" "));
  }
  // Layout time: the page laid out again from scratch at two widths.
  var t1 = performance.now();
  for (var k = 0; k < 4; k++) { document.body.style.width = (k % 2 ? 700 : 760) + "px"; document.body.offsetHeight; }
  document.body.style.width = "";
  document.body.offsetHeight;
  out.push("time " + ((performance.now() - t1) / 5).toFixed(3));
  var pre = document.createElement("pre");
  pre.textContent = "@@BEGIN\n" + out.join("\n") + "\n@@END";
  document.documentElement.appendChild(pre);
})();
</script>
"""


def template_page(name, div=False):
    head = '<html id=tq1>\n<head>\n<title>%s</title>\n</head>\n' % name
    body = '<body background="#606666" color ="#606666">%s\n' % ("<DIV>" if div else "")
    body += ('<center><font color="#606666" size=5 face="Verdana, Arial, Helvetica, sans-serif"><B>%s</B></font></center>\n' % name)
    body += '<hr color=blue size=1>\n'
    return head + body


def template_end(div=False):
    return ('<BR 2><BR 2><BR 2><HR id=bodyend width="50%" color=black size=1>\n'
            '<center><font size=2><a href= "http://www.example.com/">Tarvelo</a></font></center>\n'
            + ("</DIV>" if div else "") + '</body>\n</html>\n')


def link_lines(count, dated=True):
    out = []
    for i in range(count):
        date = " (3-%d-2026)" % (i + 1) if dated else ""
        out.append('<A href="http://news.example.com/story/%d.htm">Story number %d about the clip road|News|</A>%s<BR>' % (i, i, date))
    return "\n".join(out)


def store_table(rows, cols, fill=True):
    cells = []
    for r in range(rows):
        row = "<TR>"
        for c in range(cols):
            content = ('<A href="http://example.com/%d/%d">Link %d.%d</A>' % (r, c, r, c)) if fill and (r + c) % 2 == 0 else "<DIV>&nbsp;</DIV>"
            row += '<TD pos="%d" vAlign=top>%s</TD>' % (c, content)
        cells.append(row + "</TR>")
    return ('<TABLE style="WIDTH: 100%%" cellSpacing=1 cellPadding=1 col="%d" border=1><TBODY>%s</TBODY></TABLE>'
            % (cols, "".join(cells)))


def pages():
    p = {}
    p["template"] = template_page("Reading list") + template_end()
    p["template-div"] = template_page("Projects", div=True) + "<BR 2><BR 2><BR 2>" + template_end(div=True)
    p["link-lines"] = template_page("Links") + link_lines(12) + template_end()
    p["link-lines-plain"] = template_page("Plain links") + link_lines(20, dated=False) + template_end()
    p["sections"] = (template_page("Sections") + "<P>&gt;&gt;&gt;Software&lt;&lt;&lt;</P>" + link_lines(4)
                     + "<P>&gt;&gt;&gt;Travel&lt;&lt;&lt;</P>" + link_lines(3) + template_end())
    p["sections-div"] = (template_page("Div sections", div=True) + "<DIV>&gt;&gt;&gt;News&lt;&lt;&lt;</DIV>" + link_lines(3)
                         + "<DIV>&nbsp;</DIV><DIV>&gt;&gt;&gt;Later&lt;&lt;&lt;</DIV>" + link_lines(2) + template_end(div=True))
    p["store-table-2x2"] = template_page("Table") + store_table(2, 2, fill=False) + template_end()
    p["store-table-3x4"] = template_page("Table") + store_table(3, 4) + template_end()
    p["store-table-6x2"] = template_page("Table") + store_table(6, 2) + template_end()
    p["store-table-in-section"] = (template_page("Mixed") + "<P>&gt;&gt;&gt;Work&lt;&lt;&lt;</P>" + store_table(2, 3)
                                   + link_lines(2) + template_end())
    p["clipped"] = (template_page("Clip") + '<H2>Clipped article</H2><P><FONT face="DejaVu Sans" size=2>%s</FONT></P>'
                    '<P><B>Bold lead.</B> %s <I>italic tail</I>.</P><UL><LI>first point<LI>second point</UL>' % (LOREM, LOREM)
                    + template_end())
    p["clipped-table-layout"] = ('<body><table width=760><tr><td width=150 valign=top bgcolor=#eeeeee><a href=a>Home</a><br>'
                                 '<a href=b>Archive</a></td><td valign=top><h1>Title</h1><p>%s</p><p>%s</p></td></tr></table></body>'
                                 % (LOREM, LOREM))
    for n in range(1, 7):
        p["heading-h%d" % n] = "<body><h%d>Heading level %d</h%d><p>After the heading.</p></body>" % (n, n, n)
    p["paragraphs"] = "<body><p>%s</p><p>%s %s</p><p>short</p></body>" % (LOREM, LOREM, LOREM)
    p["paragraph-align"] = ("<body><p align=center>centred text</p><p align=right>right text</p><div align=center>div centred</div>"
                            "<div style='text-align:right'>styled right</div></body>")
    p["center"] = "<body><center>centred line<br><table border=1><tr><td>cell</td></tr></table></center></body>"
    p["blockquote"] = "<body><p>before</p><blockquote>%s</blockquote><p>after</p></body>" % LOREM
    p["lists-ul"] = "<body><ul><li>one<li>two<li>%s</ul></body>" % LOREM
    p["lists-ol"] = "<body><ol><li>one<li>two</ol><ol start=5 type=a><li>five<li>six</ol></body>"
    p["lists-nested"] = "<body><ul><li>outer<ul><li>inner<ol><li>deepest</ol></ul><li>outer again</ul></body>"
    p["hr-plain"] = "<body><p>a</p><hr><p>b</p></body>"
    p["hr-size-width"] = "<body><hr size=5><hr width=50%><hr width=200><hr size=1 noshade></body>"
    p["hr-align"] = "<body><hr width=300 align=left><hr width=300 align=right><hr width=300 align=center></body>"
    p["hr-color"] = "<body><hr color=red><hr color=#00ff00 size=4><hr id=bodyend width='50%' color=black size=1></body>"
    p["font-sizes"] = "<body>" + "".join("<font size=%d>size %d</font><br>" % (n, n) for n in range(1, 8)) + "</body>"
    p["font-relative"] = "<body>" + "".join("<font size=%s>size %s</font><br>" % (n, n) for n in ["+1", "+2", "-1", "-2", "+4"]) + "</body>"
    p["font-faces"] = ("<body><font face='DejaVu Sans'>sans face %s</font><br><font face='DejaVu Serif'>serif face</font><br>"
                       "<font face='DejaVu Sans Mono'>mono face</font><br><font face='NoSuchFace, DejaVu Sans'>fallback</font></body>" % LOREM)
    p["font-colors"] = "<body><font color=red>red</font> <font color=#0000ff>blue</font> text <font color=green size=4>green</font></body>"
    p["inline-phrases"] = ("<body><p><b>bold</b> <i>italic</i> <u>under</u> <s>struck</s> <strike>strike</strike> <em>em</em> "
                           "<strong>strong</strong> <code>code</code> <tt>tt</tt> <big>big</big> <small>small</small> "
                           "x<sub>sub</sub> y<sup>sup</sup></p></body>")
    p["links"] = "<body><p>Text with <a href='x.htm'>a link</a> inside and <a href='y.htm'><b>a bold link</b></a>.</p></body>"
    p["inline-style-font"] = ("<body><span style='font-size:20px'>twenty</span> <span style='font-size:12pt'>twelve pt</span> "
                              "<span style='font-size:small'>small</span> <span style='font-weight:bold'>bold</span> "
                              "<span style='font-family:DejaVu Sans'>sans</span></body>")
    p["inline-frames"] = ("<body><p>before <span style='border:2px solid black;padding:0 6px;margin:0 10px'>framed</span> after "
                          "<b style='padding-left:30px'>padded</b> end</p><div style='width:300px'>lead "
                          "<span style='border:1px solid blue;padding:3px 8px;margin-left:20px'>%s</span> tail</div></body>" % LOREM)
    p["inline-frames-cell"] = ("<body><table border=1><tr><td><span style='border:3px solid;padding:0 20px'>framed</span></td>"
                               "<td><b style='margin:0 15px'>spaced</b> words</td></tr></table></body>")
    p["inline-style-box"] = ("<body><div style='width:300px;height:40px;border:2px solid red;padding:5px;margin:10px'>box</div>"
                             "<div style='margin:0 auto;width:200px;background-color:#ccc'>auto</div>"
                             "<div style='padding-left:30px;border-left:4px solid blue'>left</div></body>")
    p["style-rules"] = ("<head><style>p { margin: 4px 0 } .note { font-size: 20px } #special { padding: 10px } "
                        "div span { font-weight: bold }</style></head><body><p>rule p</p><p class=note>note</p>"
                        "<div id=special>special <span>bold span</span></div></body>")
    p["style-base-font"] = ("<head><style>BODY { FONT-SIZE: 12px }</style></head><body><p>base twelve %s</p>"
                            "<table><tr><td>cell text</td></tr></table></body>" % LOREM)
    p["white-space"] = ("<body><pre>pre  kept\n  indented\nlast</pre><div style='white-space:nowrap;width:100px'>no wrap here at all</div>"
                        "<p>a&nbsp;&nbsp;&nbsp;b &nbsp; c</p></body>")
    p["breaks"] = "<body>one<br>two<br><br>four<p>p<br></p><div>x<br>y</div></body>"
    p["long-word"] = "<body><div style='width:200px'>" + "x" * 80 + " tail</div></body>"
    p["narrow-wrap"] = "<body><div style='width:150px'>%s</div></body>" % LOREM
    p["body-colors"] = "<body bgcolor=#ffffcc text=#333333 link=#aa0000><p>text <a href=x>link</a></p></body>"
    p["body-background"] = '<body background="#606666" color="#606666"><p>template body</p></body>'
    p["table-auto"] = "<body><table border=1><tr><td>a</td><td>longer content</td></tr><tr><td>bb</td><td>c</td></tr></table></body>"
    p["table-width-px"] = "<body><table width=400 border=1><tr><td>a</td><td>b</td><td>c</td></tr></table></body>"
    p["table-width-pct"] = "<body><table width=80%% border=1><tr><td>one</td><td>%s</td></tr></table></body>" % LOREM
    p["table-cell-widths"] = ("<body><table border=1 width=600><tr><td width=100>fixed</td><td width=50%>half</td><td>rest</td></tr>"
                              "</table></body>")
    p["table-padding-spacing"] = ("<body><table border=2 cellpadding=6 cellspacing=4><tr><td>a</td><td>b</td></tr></table>"
                                  "<table border=0 cellpadding=0 cellspacing=0><tr><td>c</td><td>d</td></tr></table></body>")
    p["table-bgcolor"] = ("<body><table bgcolor=#dddddd><tr bgcolor=#ffcccc><td>row colour</td><td bgcolor=#ccffcc>cell</td></tr>"
                          "</table></body>")
    p["table-colspan"] = ("<body><table border=1><tr><td colspan=3>spanning all three columns of the table</td></tr>"
                          "<tr><td>a</td><td>b</td><td>c</td></tr></table></body>")
    p["table-rowspan"] = ("<body><table border=1><tr><td rowspan=3>tall</td><td>1</td></tr><tr><td>2</td></tr><tr><td>3</td></tr>"
                          "</table></body>")
    p["table-valign"] = ("<body><table border=1><tr><td>a<br>b<br>c</td><td valign=top>top</td><td>mid</td>"
                         "<td valign=bottom>bottom</td></tr></table></body>")
    p["table-nowrap"] = "<body><table width=200 border=1><tr><td nowrap>no wrap in this cell</td><td>%s</td></tr></table></body>" % LOREM
    p["table-nested"] = ("<body><table border=1><tr><td><table border=1><tr><td>inner a</td><td>inner b</td></tr></table></td>"
                         "<td>outer</td></tr></table></body>")
    p["table-align"] = "<body><table align=center border=1><tr><td>centred table</td></tr></table></body>"
    p["table-font-quirk"] = "<body><font size=5>big text<table border=1><tr><td>table text</td></tr></table></font></body>"
    p["table-th"] = "<body><table border=1><tr><th>head</th><th>second</th></tr><tr><td>a</td><td>b</td></tr></table></body>"
    p["table-caption"] = "<body><table border=1><caption>Caption</caption><tr><td>a</td></tr></table></body>"
    p["table-empty-cells"] = "<body><table border=1 width=300><tr><td></td><td>&nbsp;</td><td>x</td></tr></table></body>"
    p["table-many-rows"] = "<body><table border=1>" + "".join("<tr><td>%d</td><td>row %d</td></tr>" % (i, i) for i in range(40)) + "</table></body>"
    p["images-sized"] = ("<body><img src=missing.png width=100 height=50> text <img src=missing.png width=20 height=20 border=2>"
                         "<br><img src=missing.png width=60 height=30 hspace=5 vspace=5></body>")
    p["images-align"] = "<body><p>before <img src=m.png width=40 height=40 align=middle> after <img src=m.png width=40 height=40 align=top> end</p></body>"
    p["images-float"] = ("<body><p><img src=m.png width=80 height=40 align=left>%s %s</p>"
                         "<p><img src=m.png width=60 height=30 align=right>%s %s</p></body>" % (LOREM, LOREM, LOREM, LOREM))
    p["images-float-narrow"] = ("<body><div style='width:300px'><img src=m.png width=100 height=50 align=left>%s</div></body>" % LOREM)
    p["float-table-left"] = ("<body><table align=left border=1 width=200><tr><td>left table</td></tr><tr><td>second row</td></tr>"
                             "</table><p>%s %s</p><p>after</p></body>" % (LOREM, LOREM))
    p["float-table-right"] = ("<body><p>before</p><table align=right border=1 cellpadding=4><tr><td>right table</td></tr></table>"
                              "<p>%s</p><div>%s</div></body>" % (LOREM, LOREM))
    p["float-image-blocks"] = ("<body><p><img src=m.png width=100 height=120 align=left>short</p><p>%s</p><p>%s</p></body>"
                               % (LOREM, LOREM))
    p["float-br-clear"] = ("<body><p><img src=m.png width=80 height=80 align=left>beside<br clear=all>below"
                           "<img src=m.png width=60 height=60 align=right>right side<br clear=right>after</p><p>next</p></body>")
    p["float-css-clear"] = ("<body><div style='float:left;width:100px;height:60px;background:#ccc'>left</div>"
                            "<div style='float:right;width:80px;height:100px'>right</div><p>beside the floats</p>"
                            "<div style='clear:left'>below the left one</div><div style='clear:both'>below both</div>"
                            "<div style='float:left;width:50px;height:20px'>a</div><div style='float:left;clear:left;width:60px;height:20px'>b</div>"
                            "<p style='clear:right;margin-top:30px'>after</p></body>")
    p["overflow-boxes"] = ("<body><div style='overflow:hidden;height:50px;width:200px;border:1px solid'>%s</div>"
                           "<div style='overflow:auto;width:300px'><img src=m.png width=80 height=120 align=left>holds its float</div>"
                           "<div style='margin-top:20px;overflow:hidden'><p>margin inside stays inside</p></div>"
                           "<div style='overflow:hidden;width:150px;white-space:nowrap'>a line far too long for the box it is in</div>"
                           "<p>after</p></body>" % LOREM)
    p["overflow-beside-float"] = ("<body><img src=m.png width=100 height=60 align=left><div style='overflow:hidden;border:1px solid'>"
                                  "%s</div><div style='overflow:auto'>beside too</div><p>%s</p></body>" % (LOREM, LOREM))
    p["float-then-tables"] = ("<body><img src=m.png width=100 height=80 align=left><table border=1><tr><td>beside</td></tr></table>"
                              "<table border=1 width=100%><tr><td>full width</td></tr></table><p>after</p></body>")
    p["float-in-cell"] = ("<body><table border=1 width=400><tr><td><img src=m.png width=50 height=90 align=left>cell text</td>"
                          "<td>other</td></tr></table><p>next</p></body>")
    p["float-div-end"] = ("<body><div><img src=m.png width=100 height=100 align=left>in the div</div><div>%s</div>"
                          "<div style='border:1px solid'>framed %s</div></body>" % (LOREM, LOREM))
    p["form-controls"] = ("<body><form><input type=text size=10> <input type=checkbox> <input type=radio> "
                          "<input type=submit value=Send><br><select><option>one<option>second</select>"
                          "<textarea cols=20 rows=3>text</textarea></form></body>")
    p["hidden-elements"] = ("<head><title>t</title><style>p{}</style><script>var x;</script></head><body><p>shown</p>"
                            "<script>var y;</script><div style='display:none'>hidden</div><p>after</p></body>")
    p["unknown-inline"] = "<body><p>before <custom>custom element</custom> after <blink>blink</blink></p></body>"
    p["mixed-inline-block"] = "<body>loose text<div>block</div>more loose text<p>para</p>tail</body>"
    p["margins-collapse"] = ("<body><div style='margin:20px 0'>a</div><div style='margin:30px 0'>b</div><div></div>"
                             "<div style='margin-top:10px'>c</div></body>")
    p["standards-mode"] = "<!DOCTYPE html><html><body><p>standards page</p><table><tr><td>cell</td></tr></table></body></html>"
    p["dl"] = "<body><dl><dt>term</dt><dd>definition of the term</dd></dl></body>"
    p["search-marks"] = ("<body><p>find the <span id='tq_search' style='background-color:yellow'>word</span> and the "
                         "<span id='tq_search' style='background-color:yellow'>word</span> again</p></body>")
    return p


BENCH_HEAD = "<script>document.documentElement.style.display = 'none';</script>"
BENCH_TIMER = r"""
<script>
(function () {
  var times = [];
  for (var k = 0; k < 5; k++) {
    document.documentElement.style.display = 'none';
    document.documentElement.offsetHeight;
    var t0 = performance.now();
    document.documentElement.style.display = '';
    document.documentElement.offsetHeight;
    times.push(performance.now() - t0);
  }
  times.sort(function (a, b) { return a - b; });
  var pre = document.createElement("pre");
  pre.textContent = "@@BEGIN\nlayout " + times[2].toFixed(2) + "\n@@END";
  document.documentElement.appendChild(pre);
})();
</script>
"""


def clipped_page():
    """The 1 MB page of bench/layout (LayoutBench.cpp writes the same)."""
    parts, size, i = ["<html><head><title>Clip</title></head><body>"], 0, 0
    size = len(parts[0])
    while size < 1000000:
        block = ("<h2>Section %d</h2><p>Notes are kept as pages and <b>every page</b> is one file below the "
                 "bookmark folder; <a href=\"http://example.com/%d\">links arrive</a> from the browser and land "
                 "in the section the user picks.</p><ul><li>first point<li>second <i>point</i></ul><table border=1><tr><td>cell "
                 "%d</td><td>another cell with more text</td></tr></table>" % (i, i, i))
        parts.append(block)
        size += len(block)
        i += 1
    return "".join(parts) + "</body></html>"


def long_table():
    rows = "".join("<tr><td>%d</td><td>row text %d</td><td><a href=x>link</a></td></tr>" % (i, i) for i in range(5000))
    return "<html><body><table border=1 cellpadding=2>" + rows + "</table></body></html>"


def bench(chromium):
    work = tempfile.mkdtemp()
    for name, html in (("1 MB page", clipped_page()), ("5,000-row table", long_table())):
        path = os.path.join(work, "bench.htm")
        with open(path, "w", encoding="utf-8") as f:
            f.write(BENCH_HEAD + html + BENCH_TIMER)
        lines = measure(path, chromium, budget=20000)
        print("chromium full layout, %-16s %s ms" % (name, lines[0].split()[1]))
    shutil.rmtree(work, ignore_errors=True)


# The engine stands DejaVu faces in for the names pages ask for (Times New Roman, Arial, Courier);
# Chromium must do the same, whatever other fonts the machine has (Chromium's package brings
# Liberation, which fontconfig prefers for those names).
FONTS_CONF = """<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <selectfont><rejectfont><glob>*Liberation*</glob><glob>*liberation*</glob></rejectfont></selectfont>
</fontconfig>
"""


def measure(path, chromium, budget=2000, width=WIDTH):
    profile = tempfile.mkdtemp()
    conf = os.path.join(profile, "fonts.conf")
    with open(conf, "w") as f:
        f.write(FONTS_CONF)
    try:
        command = [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                   "--disable-background-networking", "--disable-component-update", "--disable-sync",
                   "--hide-scrollbars", "--user-data-dir=" + profile, "--window-size=%d,%d" % (width, HEIGHT),
                   "--virtual-time-budget=%d" % budget, "--dump-dom", "file://" + path]
        env = dict(os.environ, FONTCONFIG_FILE=conf)
        dom = subprocess.run(command, capture_output=True, text=True, timeout=120, env=env).stdout
    finally:
        shutil.rmtree(profile, ignore_errors=True)
    m = re.search(r"@@BEGIN\n(.*?)\n@@END", dom, re.S)
    if not m:
        raise RuntimeError("no measurements for " + path)
    return m.group(1).splitlines()


def all_pages():
    """(name, html, viewport width, set) for every page measured."""
    out = [(name, html, WIDTH, "base") for name, html in sorted(pages().items())]
    for kind, group in (("fitted", layout_reference_pages.fitted()), ("held-out", layout_reference_pages.held_out())):
        for name, html in sorted(group.items()):
            for width in layout_reference_pages.WIDTHS:
                out.append((name, html, width, kind))
    return out


def main():
    chromium = shutil.which("chromium") or shutil.which("chromium-browser")
    if not chromium:
        sys.exit("chromium is not installed")
    os.makedirs(PAGES, exist_ok=True)
    work = tempfile.mkdtemp()
    records, times = [], []
    everything = all_pages()
    for name, html, width, kind in everything:
        with open(os.path.join(PAGES, name + ".htm"), "w", encoding="utf-8", newline="\n") as f:
            f.write(html)
        probe = os.path.join(work, "%s-%d.htm" % (name, width))
        with open(probe, "w", encoding="utf-8") as f:
            f.write(html + MEASURE)
        lines = measure(probe, chromium, width=width)
        size = lines[0].split()
        records.append("page %s %s %s %s" % (name, size[1], kind, size[2]))
        for line in lines[1:]:
            if line.startswith("time "):
                times.append((name, float(line.split()[1])))
            else:
                records.append(line)
        print(name, file=sys.stderr)
    shutil.rmtree(work, ignore_errors=True)
    with open(os.path.join(REFERENCE, "layout.txt"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(records) + "\n")
    if "--bench" in sys.argv:
        bench(chromium)
    print("%d pages measured" % len(everything))

if __name__ == "__main__":
    main()
