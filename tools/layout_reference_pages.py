"""Presentational reference pages written the way the store's pages, clipped pages and
bookmark files are written: quirks mode, FONT and TABLE attributes, DejaVu faces by name.
Each page is measured at 800 and at 500 px.

Two sets: FITTED, the pages the engine's rules were checked against while they were built,
and HELD_OUT, pages written beside them with other combinations of the same constructs and
kept out of that work, so that their figure says how the rules do on pages never seen.
Page names start with the construct they exercise (the part before the first dash)."""

TEXT = ("Notes are kept as pages and every page is one file below the bookmark folder; "
        "links arrive from the browser and land in the section the user picks.")
SHORT = "Clipped from the road report"
WIDTHS = (800, 500)


def note_page(title, body, face="Verdana, Arial, Helvetica, sans-serif"):
    return ('<html id=tq1>\n<head>\n<title>%s</title>\n</head>\n<body background="#606666" color ="#606666">\n'
            '<center><font color="#606666" size=5 face="%s"><B>%s</B></font></center>\n<hr color=blue size=1>\n'
            '%s\n<BR 2><HR id=bodyend width="50%%" color=black size=1>\n'
            '<center><font size=2><a href= "http://www.example.com/">Tarvelo</a></font></center>\n</body>\n</html>\n'
            % (title, face, title, body))


def clipped_page(title, body):
    return ('<html><head><title>%s</title></head>\n<body bgcolor=#ffffff text=#000000 link=#0000cc>\n%s\n</body></html>\n'
            % (title, body))


def bookmark_file(folders):
    out = ['<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">\n'
           '<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n']
    for name, links, sub in folders:
        out.append('    <DT><H3 ADD_DATE="1700000000">%s</H3>\n    <DL><p>\n' % name)
        for i in range(links):
            out.append('        <DT><A HREF="http://example.com/%s/%d" ADD_DATE="1700000000">%s link %d about the road</A>\n'
                       % (name, i, name, i))
        if sub:
            out.append('        <DT><H3>%s</H3>\n        <DL><p>\n            <DT><A HREF="http://example.com/x">Inner</A>\n'
                       '        </DL><p>\n' % sub)
        out.append('    </DL><p>\n')
    out.append('</DL><p>\n')
    return "".join(out)


def cells(row, widths, text=lambda c: "cell %d" % c, extra=""):
    tds = []
    for c, w in enumerate(widths):
        attr = (" width=%s" % w) if w else ""
        tds.append("<td%s%s>%s</td>" % (attr, extra, text(c)))
    return "<tr>" + "".join(tds) + "</tr>"


def fitted():
    p = {}
    # 1. Columns asking for more than the table has.
    p["squeeze-fixed"] = note_page("Squeeze", '<table width=400 border=1><tr><td width=300>%s</td><td width=200>second column</td>'
                                   '<td width=100>third</td></tr></table>' % SHORT)
    p["squeeze-percent"] = note_page("Percent", '<table width=100%% border=1 cellpadding=3><tr><td width=60%%>%s</td>'
                                     '<td width=50%%>half of it</td><td>auto</td></tr></table>' % TEXT)
    p["squeeze-mixed"] = clipped_page("Mixed", '<table border=0 cellspacing=0 cellpadding=4 width=450><tr>'
                                      '<td width=200 bgcolor=#eeeeee valign=top><font face="DejaVu Sans" size=2>%s</font></td>'
                                      '<td width=40%% valign=top>%s</td><td valign=top>%s</td></tr></table>' % (TEXT, TEXT, SHORT))
    p["squeeze-auto"] = note_page("Auto columns", '<table border=1><tr><td>%s</td><td>%s %s</td><td nowrap>never broken here</td>'
                                  '</tr></table>' % (TEXT, TEXT, TEXT))
    p["squeeze-nowidth"] = note_page("Sidebar", '<table cellspacing=0 cellpadding=2><tr><td width=150 valign=top bgcolor=#ccccff>'
                                     '<a href=a>Home</a><br><a href=b>Archive of every page</a></td><td valign=top>%s %s</td>'
                                     '<td width=120 valign=top>side</td></tr></table>' % (TEXT, TEXT))
    # 2, 3. Row heights, spans.
    p["rows-height"] = note_page("Rows", '<table border=1 width=300><tr height=40><td>forty</td><td>b</td></tr>'
                                 '<tr><td height=60>sixty</td><td>d</td></tr><tr height=10><td>%s</td><td>f</td></tr></table>' % SHORT)
    p["rows-rowspan"] = note_page("Row span", '<table border=1 cellpadding=2><tr><td rowspan=3 height=150>tall cell</td>'
                                  '<td>one</td></tr><tr><td>two<br>lines</td></tr><tr><td>three</td></tr></table>')
    p["rows-colspan"] = note_page("Column span", '<table border=1><tr><td colspan=2 width=400>spanning two</td><td>c</td></tr>'
                                  '<tr><td>a</td><td>b</td><td>last one</td></tr></table>'
                                  '<table border=1 cellspacing=0><tr><td colspan=3 width=300>three wide</td></tr>'
                                  '<tr><td width=50>x</td><td>y</td><td>z</td></tr></table>')
    # 4. Legacy centring.
    p["center-cell"] = note_page("Centred", '<table width=100%% border=1><tr><td align=center><div style="width:200px;'
                                 'background:#eee">boxed in the middle</div><table border=1><tr><td>inner</td></tr></table>'
                                 '</td></tr></table>')
    p["center-div"] = clipped_page("Centred div", '<div align=center><div style="width:300px">%s</div><p>para</p>'
                                   '<table width=200 border=1><tr><td>t</td></tr></table></div><center><div style="width:50%%">'
                                   'half</div></center>' % TEXT)
    # 5. Fixed-pitch faces.
    p["mono-faces"] = note_page("Code", '<pre>plain pre text\n  indented line</pre><p>a <tt>tt text</tt> and <code>code text</code> '
                                'and <kbd>kbd</kbd></p><font face="DejaVu Sans Mono">named face keeps its size</font>'
                                '<p style="font-family: \'DejaVu Sans Mono\'">styled family %s</p>' % TEXT)
    p["mono-pre-font"] = clipped_page("Pre", '<pre><font face="DejaVu Sans Mono">named in pre\nsecond</font></pre>'
                                      '<pre style="font-family: monospace, monospace">two generics</pre><p><font face=courier>'
                                      'courier asked</font></p>')
    # 6. Wrapping PRE, NOBR.
    p["wrap-pre"] = note_page("Wrap", '<pre wrap>%s %s</pre><pre>not wrapped but short</pre>' % (TEXT, TEXT))
    p["wrap-nobr"] = clipped_page("Nobr", '<div style="width:300px">Some words before <nobr>a run that must not break</nobr>'
                                  ' after it</div><p>%s <nobr>(3-1-2026 kept)</nobr> %s</p>' % (TEXT, TEXT))
    # 7. Line heights.
    p["lines-small"] = note_page("Lines", '<p>x<sub>2</sub> and y<sup>3</sup> on a line %s</p><p><small>small text alone</small>'
                                 '</p><p><font size=1>tiny font line</font><br><font size=1>again</font></p>'
                                 '<div><big>big text</big> normal</div>' % TEXT)
    p["lines-height"] = clipped_page("Line height", '<p>plain <span style="line-height:40px">tall line</span> text</p>'
                                     '<div style="line-height:30px">thirty %s</div><p><font size=2>%s</font></p>' % (TEXT, TEXT))
    # 8. Margins.
    p["margins-em"] = note_page("Margins", '<p style="font-size:24px">large para</p><p><font size=1>small</font></p>'
                                '<h2 style="font-size:12px">small heading</h2><ul style="font-size:10px"><li>ten</ul>'
                                '<dl style="font-size:20px"><dd>dd</dl><p>end</p>')
    p["margins-empty"] = clipped_page("Empty", '<p>before</p><p></p><p></p><p>after</p><ul><li>one<li><li>three</ul>'
                                      '<table border=1><tr><td>cell<ul><li>last in cell</ul></td><td><p>para in cell</p></td>'
                                      '</tr></table>')
    p["bookmarks-file"] = bookmark_file([("Software", 3, "Tools"), ("Travel", 2, None)])
    # 9. Quirks.
    p["quirks-case"] = ('<html><head><style>.Note { color: red; font-size: 20px } #Lead { margin-left: 40px } '
                        'P.wide { margin: 30px 0 }</style></head><body><p class=note>class in other case</p>'
                        '<div id=lead>id in other case</div><p class=WIDE>wide</p></body></html>')
    p["quirks-fill"] = ('<html><body><table height=100% width=100% border=1><tr><td align=center valign=middle>'
                        'middle of the window</td></tr></table></body></html>')
    # 10. Collapsed borders.
    p["collapse-css"] = note_page("Collapse", '<table style="border-collapse:collapse" border=1><tr><td>a</td><td>%s</td></tr>'
                                  '<tr><td>c</td><td>d</td></tr></table>' % SHORT)
    p["collapse-width"] = clipped_page("Collapse", '<table style="border-collapse:collapse;width:300px" border=1 cellpadding=4>'
                                       '<tr><td width=100>one</td><td>two</td></tr></table>'
                                       '<table style="border-collapse:collapse" border=3><tr><td>thick</td></tr></table>')
    # 11. Offsets.
    p["offsets-links"] = note_page("Links", '<p><a href=x>first link</a> then <a href=y>second</a> and <b>bold</b> tail</p>'
                                   '<p><a href=z><img src=m.png width=40 height=30 border=0></a> picture link</p>'
                                   '<div><a href=w>%s</a></div>' % TEXT)
    # Second variants of the same constructs, other numbers and texts.
    p["squeeze-links"] = note_page("Links", '<table width=450 border=1 cellpadding=3><tr><td width=200><a href=a>%s</a></td>'
                                   '<td width=260>%s</td><td width=60>(3-1-2026)</td></tr><tr><td>a</td><td>b</td><td>c</td></tr>'
                                   '</table>' % (SHORT, TEXT))
    p["squeeze-columns"] = clipped_page("Paper", '<table width=100%% cellspacing=0 cellpadding=3 border=0><tr>'
                                        '<td width=150 valign=top bgcolor=#dddddd><font size=2><a href=a>Front</a><br>'
                                        '<a href=b>World news</a></font></td><td width=60%% valign=top><h2>Story</h2>'
                                        '<p>%s</p></td><td width=100 valign=top><small>side notes</small></td></tr></table>' % TEXT)
    p["squeeze-percent-pair"] = note_page("Pair", '<table width=90%% border=1><tr><td width=30%%>%s</td><td width=30%%>%s</td>'
                                          '<td>%s</td></tr></table>' % (SHORT, TEXT, SHORT))
    p["rows-spans"] = clipped_page("Spans", '<table border=1 cellspacing=0 cellpadding=4><tr height=25><td rowspan=3 height=200>'
                                   'left</td><td colspan=2 width=300>top</td></tr><tr><td height=40>m</td><td>n</td></tr>'
                                   '<tr height=20><td>%s</td><td>z</td></tr></table>' % SHORT)
    p["center-boxes"] = note_page("Boxes", '<center><div style="width:320px;border:2px solid">%s</div><table width=50%% border=1>'
                                  '<tr><td align=center><div style="width:90px">in</div></td><td>x</td></tr></table></center>'
                                  '<div align=center><div style="width:40%%">forty</div><h3 style="width:150px">h</h3></div>'
                                  % SHORT)
    p["mono-notes"] = note_page("Shell", '<p>Type <kbd>ls</kbd> or <samp>out</samp> and <code>cd /</code>.</p>'
                                '<pre>line one\n\tindented\nlast</pre><font face="DejaVu Sans Mono" size=4>named larger</font>'
                                '<pre wrap>%s</pre><tt><font size=2>tt small</font></tt>' % TEXT)
    p["lines-mixed"] = clipped_page("Chem", '<p>CO<sub>2</sub> and m<sup>3</sup> with <big>big</big> <small>small</small></p>'
                                    '<div><font size=2>two</font><br><font size=1>one</font><br>plain</div>'
                                    '<p style="line-height:1.5">one and a half %s</p><p>x <span style="line-height:10px">low</span></p>'
                                    % TEXT)
    p["margins-mixed"] = clipped_page("Heads", '<h4 style="font-size:20px">h4</h4><h1 style="font-size:16px">h1</h1><p></p>'
                                      '<p style="font-size:10px">ten</p><ol><li><li>two</ol><table border=1><tr><td><ul>'
                                      '<li>x</ul>after</td><td><p>a</p><p>b</p></td></tr></table>')
    p["bookmarks-flat"] = bookmark_file([("Reading", 5, None), ("Tools", 1, "Editors")])
    p["quirks-rules"] = ('<html><head><style>.BOX { border: 1px solid; padding: 4px } #Main P { margin: 2px }</style></head>'
                         '<body><div class=box>box</div><div id=MAIN><p>p one</p><p>p two</p></div>'
                         '<table height=100%% width=50%% border=1><tr><td>cell</td></tr><tr><td>two</td></tr></table></body></html>')
    p["collapse-spans"] = clipped_page("Grid", '<table style="border-collapse:collapse" border=2 cellpadding=2><tr><td colspan=2>'
                                       '%s</td></tr><tr><td>a</td><td width=80>b</td></tr></table>'
                                       '<table style="border-collapse:collapse;width:100%%" border=1><tr><td>x</td><td>y</td></tr>'
                                       '</table>' % SHORT)
    p["offsets-inline"] = note_page("Inline", '<p><b><a href=a>bold link</a></b>, <i>italic</i> <a href=b><img src=m.png '
                                    'width=24 height=24 border=0></a> <a href=c>%s</a></p>' % SHORT)
    return p


def held_out():
    p = {}
    p["squeeze-bookmarks"] = note_page("Reading", '<table width=480 border=1 cellpadding=2><tr><td width=250>%s</td>'
                                       '<td width=250><a href=x>%s</a></td><td width=80>date</td></tr></table>' % (SHORT, SHORT))
    p["squeeze-layout"] = clipped_page("Article", '<table width=100%% cellpadding=0 cellspacing=0><tr><td width=180 valign=top>'
                                       '<font face="DejaVu Sans" size=2><b>Sections</b><br><a href=a>News</a><br>'
                                       '<a href=b>Travel</a></font></td><td width=70%% valign=top><h2>Headline</h2><p>%s</p>'
                                       '<p>%s</p></td><td width=120 valign=top>ads</td></tr></table>' % (TEXT, TEXT))
    p["rows-mixed"] = note_page("Rows", '<table border=1 cellpadding=3><tr height=30><td rowspan=2 height=120>span</td>'
                                '<td colspan=2 width=250>wide head</td></tr><tr><td height=50>x</td><td>y</td></tr>'
                                '<tr><td>%s</td><td>b</td><td>c</td></tr></table>' % SHORT)
    p["center-mixed"] = note_page("Centre", '<center><div style="width:250px;border:1px solid">centred box</div>'
                                  '<table width=60%% border=1><tr><td align=center><div style="width:120px">inner</div></td>'
                                  '</tr></table></center><div align=center><p style="width:200px">%s</p></div>' % TEXT)
    p["mono-clip"] = clipped_page("Snippet", '<p>Run <code>make all</code> then <tt>make install</tt>.</p>'
                                  '<pre>for i in 1 2 3\ndo echo $i\ndone</pre><font face="DejaVu Sans Mono" size=2>'
                                  'named small</font><pre wrap>%s %s</pre>' % (TEXT, TEXT))
    p["lines-notes"] = note_page("Formula", '<p>H<sub>2</sub>O and E=mc<sup>2</sup> <small>(small print)</small></p>'
                                 '<div><font size=1>one</font><br><font size=2>two</font><br><font size=1>three</font></div>'
                                 '<p>%s <nobr>kept together here</nobr> %s</p>' % (TEXT, TEXT))
    p["margins-notes"] = note_page("Margins", '<h3 style="font-size:13px">Small head</h3><p style="font-size:12px">%s</p>'
                                   '<p></p><ul><li>a<li></ul><table border=1><tr><td><ol><li>cell list</ol></td></tr></table>'
                                   % TEXT)
    p["bookmarks-deep"] = bookmark_file([("News", 4, "Local"), ("Work", 1, "Old"), ("Home", 2, None)])
    p["quirks-mixed"] = ('<html><head><style>.Side { width: 200px; background: #eee } #TOP { padding: 10px }</style></head>'
                         '<body><div class=side>side</div><div id=top>top</div><table height=100% border=1><tr>'
                         '<td>full height</td></tr></table></body></html>')
    p["collapse-notes"] = note_page("Grid", '<table style="border-collapse:collapse" border=1 cellpadding=3 width=400>'
                                    '<tr><td>a</td><td>b</td><td>c</td></tr><tr><td colspan=2>%s</td><td>f</td></tr></table>' % SHORT)
    p["offsets-mixed"] = clipped_page("Links", '<div><a href=q>a link</a>, <a href=r><img src=m.png width=16 height=16></a> '
                                      '<u>under</u> <a href=s><b>bold link</b></a></div>')
    return p
