// What the serializer writes for a page that touches most of what the engine
// reads and writes: doctype, the head's raw text, references in text and in
// attribute values, bare, standard and unknown attributes, implied table
// sections, lists, forms, comments of every kind and PLAINTEXT. The page
// store reads these files back line by line, so the text must stay the same
// to the last character when the engine's insides change.
#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

// Written as an old page editor and a careless hand would write it.
const wchar_t kSamplePage[] =
    L"\xFEFF<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n<html id=tq1 lang=en>\r\n<head>\r\n"
    L"<title>Caf&eacute; &amp; r&#233;sum&#xE9;s &lt;1&gt;</title>\n<meta http-equiv=Content-Type content=\"text/html; charset=utf-8\">\n"
    L"<style>BODY { font-size: 12pt }\n</style>\n<script>function go(a){ if (a < 3 && a > 1) return '<b>'; }\r\n</script>\n<?xml version=1?>\n"
    L"</head>\n<body background=\"#606666\" color =\"#606666\" onload=\"go(&quot;x&quot;)\" data-x='a\"b' bare =value2>\n"
    L"<hr color=blue size=1 noshade>&gt;&gt;&gt;News&lt;&lt;&lt;<br>\n<BR 2 =x><br a/=b><br/>\n"
    L"<A HREF=\"http://a.example/?id=1&amp;lang=en&prod_id=2&copy=3\" TARGET=_blank Title=\"T&#13;x\">&nbsp;Caf&eacute &NBSP;&GT; &#128;&#x110000;&#0;x</A>\n"
    L"<p class=text>One <b>bold <i>both</b> italic</i><p>Two<div>Three\n<ul><li>a<li>b <a href=x.htm>c</a></ul><ol><li>d</ol>"
    L"<dl><dt>t<dd>d</dl><h1>H<h2>H2</h2><pre>\n  pre  text\n</pre><!-- note -- here --><!---><!--x--!><!bogus><![CDATA[raw <b>]]></>"
    L"<table border=0 col=\"2\"><tr><td pos=\"0\">\n<DIV>&nbsp;</DIV></td><td pos=\"1\" WIDTH=50%>cell \x4E2D\x6587</td>\n<th>h</table>"
    L"<table><td>implied</td><caption>cap</caption><col span=2><tr><td>x</table>"
    L"<form action=go.cgi method=post><input type=checkbox checked name=c value=\"a b\"><select><option selected>1<option>2</select>"
    L"<textarea rows=2>a &amp; <b>b</b>\r\nc</textarea></form><unknown-tag foo=bar>u</unknown-tag>\x0000"
    L"<font face=Arial size=2>f</font><img src=pic.jpg width=100 height=60 alt=\"\"><xmp><b>x</b></xmp>"
    L"<BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>\n</body>\n</html>\n<!-- after -->\n<plaintext><b>&amp;</b>";

const wchar_t kSampleSaved[] =
    L"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"><HTML id=tq1 lang=en>\r\n"
    L"<HEAD>\r\n"
    L"<TITLE>Caf\x00E9 &amp; r\x00E9sum\x00E9s &lt;1&gt;</TITLE>\r\n"
    L"<META http-equiv=Content-Type content=\"text/html; charset=utf-8\">\r\n"
    L"<STYLE>BODY { font-size: 12pt }\r\n"
    L"</STYLE><SCRIPT>function go(a){ if (a < 3 && a > 1) return '<b>'; }\r\n"
    L"</SCRIPT><?xml version=1?></HEAD>\r\n"
    L"<BODY background=#606666 color=#606666 onload=\"go(&quot;x&quot;)\" data-x=\"a&quot;b\" bare=\"value2\">\r\n"
    L"<HR color=blue size=1 noShade>&gt;&gt;&gt;News&lt;&lt;&lt;<BR>\r\n"
    L"<BR 2=\"x\"><BR a=\"\" =b><BR>\r\n"
    L"<A href=\"http://a.example/?id=1&amp;lang=en&amp;prod_id=2&amp;copy=3\" target=_blank title=\"T&#13;x\">&nbsp;Caf\x00E9 &nbsp;&gt; \x20AC\xFFFD\xFFFDx</A>\r\n"
    L"<P class=text>One <B>bold <I>both</I></B> italic</P>\r\n"
    L"<P>Two</P>\r\n"
    L"<DIV>Three\r\n"
    L"<UL>\r\n"
    L"<LI>a</LI>\r\n"
    L"<LI>b <A href=x.htm>c</A></LI></UL>\r\n"
    L"<OL>\r\n"
    L"<LI>d</LI></OL>\r\n"
    L"<DL>\r\n"
    L"<DT>t</DT>\r\n"
    L"<DD>d</DD></DL>\r\n"
    L"<H1>H</H1>\r\n"
    L"<H2>H2</H2>\r\n"
    L"<PRE>\r\n"
    L"  pre  text\r\n"
    L"</PRE><!-- note -- here --><!----><!--x--><!bogus>raw &lt;b&gt;\r\n"
    L"<TABLE border=0 col=\"2\">\r\n"
    L"<TBODY>\r\n"
    L"<TR>\r\n"
    L"<TD pos=\"0\">\r\n"
    L"<DIV>&nbsp;</DIV></TD>\r\n"
    L"<TD width=\"50%\" pos=\"1\">cell \x4E2D\x6587</TD>\r\n"
    L"<TH>h</TH></TR></TBODY></TABLE>\r\n"
    L"<TABLE>\r\n"
    L"<TBODY>\r\n"
    L"<TR>\r\n"
    L"<TD>implied</TD></TR></TBODY>\r\n"
    L"<CAPTION>cap</CAPTION><COL span=2>\r\n"
    L"<TBODY>\r\n"
    L"<TR>\r\n"
    L"<TD>x</TD></TR></TBODY></TABLE>\r\n"
    L"<FORM action=go.cgi method=post><INPUT type=checkbox checked name=c value=\"a b\"><SELECT>\r\n"
    L"<OPTION selected>1</OPTION>\r\n"
    L"<OPTION>2</OPTION></SELECT><TEXTAREA rows=2>a &amp; &lt;b&gt;b&lt;/b&gt;\r\n"
    L"c</TEXTAREA></FORM><UNKNOWN-TAG foo=\"bar\">u</UNKNOWN-TAG>\xFFFD<FONT face=Arial size=2>f</FONT><IMG src=pic.jpg width=100 height=60 alt=\"\">\r\n"
    L"<XMP><b>x</b></XMP><BR 2><BR 2>\r\n"
    L"<HR id=bodyend width=\"50%\" color=black size=1>\r\n"
    L"\r\n"
    L"\r\n"
    L"<!-- after -->\r\n"
    L"<PLAINTEXT><b>&amp;</b>";

CString FromArray(const wchar_t* text, size_t size) { return CString(text, static_cast<int>(size) - 1); }

TEST(SerializerOutput, SamplePageIsSavedExactly) {
    CString saved = Reserialize(FromArray(kSamplePage, std::size(kSamplePage)));
    CString expected = FromArray(kSampleSaved, std::size(kSampleSaved));
    int same = 0;
    while (same < saved.GetLength() && same < expected.GetLength() && saved[same] == expected[same]) ++same;
    EXPECT_EQ(saved, expected) << "first difference at " << same << ": " << Show(saved.Mid(same, 60));
}

}  // namespace
