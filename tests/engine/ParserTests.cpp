#include "EngineTestSupport.h"
#include "Random.h"
#include "html/Tokenizer.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const wchar_t* input;
    const wchar_t* body;  // the serialized content of BODY
};

class BodyContent : public testing::TestWithParam<Case> {};

TEST_P(BodyContent, ParsesAsTheBrowserDid) {
    EXPECT_EQ(BodyHtml(GetParam().input), CString(GetParam().body)) << Show(GetParam().input);
}

INSTANTIATE_TEST_SUITE_P(
    RealWorldHtml, BodyContent,
    testing::Values(
        // implied elements and upper-case names
        Case{L"hello", L"hello"},
        Case{L"<p>a<p>b", L"<P>a</P>\r\n<P>b</P>"},
        Case{L"<b>bold <i>both</b> after</i>", L"<B>bold <I>both</I></B> after"},
        Case{L"<ul><li>one<li>two</ul>", L"<UL>\r\n<LI>one</LI>\r\n<LI>two</LI></UL>"},
        Case{L"<p>para<div>block</div>", L"<P>para</P>\r\n<DIV>block</DIV>"},
        // attributes: unquoted, single quoted, bare, duplicates, entities
        Case{L"<a href=x.htm title='a \"b\"'>l</a>", L"<A href=x.htm title=\"a &quot;b&quot;\">l</A>"},
        Case{L"<font size=2 SIZE=3 face=Arial>t</font>", L"<FONT size=2 face=Arial>t</FONT>"},
        Case{L"<br 2><BR 2>", L"<BR 2><BR 2>"},
        Case{L"<td pos=0 bgColor=#FFFFFF>", L""},
        // entities with and without semicolon, numeric, upper case
        Case{L"a&nbsp;b&nbspc&amp;&lt;&gt;", L"a&nbsp;b&nbsp;c&amp;&lt;&gt;"},
        Case{L"&#x20AC;&#8364;&#128;&GT;&GT;&GT;x&LT;&LT;&LT;", L"\x20AC\x20AC\x20AC&gt;&gt;&gt;x&lt;&lt;&lt;"},
        Case{L"&bogus; & &#;", L"&amp;bogus; &amp; &amp;#;"},
        // comments and raw text
        Case{L"x<!-- note --><script>if (a<b && c>d) x();</script>", L"x<!-- note --><SCRIPT>if (a<b && c>d) x();</SCRIPT>"},
        Case{L"<textarea><b>&amp;</b></textarea>", L"<TEXTAREA>&lt;b&gt;&amp;&lt;/b&gt;</TEXTAREA>"},
        Case{L"x<!--unclosed", L"x<!--unclosed-->"},
        Case{L"<xmp><p>raw</p></xmp>", L"<XMP><p>raw</p></XMP>"},
        Case{L"x<!--a--", L"x<!--a-->"},
        Case{L"<textarea>x</textarea", L"<TEXTAREA>x&lt;/textarea</TEXTAREA>"},
        // a script hidden in a comment holds "<script>...</script>" of its own; one cut off ends the saved page as it is
        Case{L"a<script><!--<script>x</script>y--></script>z", L"a<SCRIPT><!--<script>x</script>y--></SCRIPT>z"},
        Case{L"a<script><!--<script>x", L"a<SCRIPT><!--<script>x"},
        // the line end after PRE, LISTING and TEXTAREA tags is the source's, the one after that the text's
        Case{L"<pre>\nx</pre><textarea>\n\ny</textarea><pre>z</pre>", L"<PRE>\r\nx</PRE><TEXTAREA>\r\n\r\ny</TEXTAREA>\r\n<PRE>\r\nz</PRE>"},
        // today's named references, in the BMP and past it, and the old ones without ';'
        Case{L"&lang;&Kopf;&fjlig;&notit; &copy2", L"\x27E8\xD835\xDD42" L"fj\xAC" L"it; \xA9" L"2"},
        // tables: implied TBODY and TR, cells closing cells
        Case{L"<table><td>a<td>b<tr><td>c</table>",
             L"<TABLE>\r\n<TBODY>\r\n<TR>\r\n<TD>a</TD>\r\n<TD>b</TD></TR>\r\n<TR>\r\n<TD>c</TD></TR></TBODY></TABLE>"},
        Case{L"<table>\n <tr>\n  <td>x</td>\n </tr>\n</table>",
             L"<TABLE>\r\n<TBODY>\r\n<TR>\r\n<TD>x</TD></TR></TBODY></TABLE>"},
        // stray end tags and misnesting keep every text
        Case{L"a</div>b</p>c</td>d", L"ab\r\n<P></P>cd"},
        Case{L"<select><option>1<option selected>2</select>",
             L"<SELECT>\r\n<OPTION>1</OPTION>\r\n<OPTION selected>2</OPTION></SELECT>"},
        Case{L"<a href=1>one<a href=2>two</a>", L"<A href=1>one</A><A href=2>two</A>"},
        Case{L"text after</body></html> more", L"text after more"},
        // misnested formatting: blocks leave it and take a copy along, it opens again after blocks
        Case{L"<b><p></b>TEST", L"<B></B>\r\n<P><B></B>TEST</P>"},
        Case{L"<a href=1>x<div>y</a>z", L"<A href=1>x</A>\r\n<DIV><A href=1>y</A>z</DIV>"},
        Case{L"<p><b>x<p>y", L"<P><B>x</B></P>\r\n<P><B>y</B></P>"},
        Case{L"<b><i></b>x", L"<B><I></I></B><I>x</I>"},
        // content that strays into a table goes before it; implied parts; P and TABLE by document type
        Case{L"<table>a<tr><div>b</div><td>c", L"a\r\n<DIV>b</DIV>\r\n<TABLE>\r\n<TBODY>\r\n<TR>\r\n<TD>c</TD></TR></TBODY></TABLE>"},
        Case{L"<table><caption>t<tr><th>h", L"<TABLE>\r\n<CAPTION>t</CAPTION>\r\n<TBODY>\r\n<TR>\r\n<TH>h</TH></TR></TBODY></TABLE>"},
        Case{L"<p>x<table></table>", L"<P>x\r\n<TABLE></TABLE></P>"},
        Case{L"<!DOCTYPE html><p>x<table></table>", L"<P>x</P>\r\n<TABLE></TABLE>"},
        // lists and list boxes
        Case{L"<ul><li>a<div><li>b</ul>", L"<UL>\r\n<LI>a\r\n<DIV></DIV></LI>\r\n<LI>b</LI></UL>"},
        Case{L"<select><b>x</b><option>1<div>2</select>", L"<SELECT>x\r\n<OPTION>12</OPTION></SELECT>"},
        Case{L"<select><option>a<select>b", L"<SELECT>\r\n<OPTION>a</OPTION></SELECT>b"}));

TEST(Parser, CommentsAfterTheEndStayThereUnlessContentFollows) {
    EXPECT_EQ(Reserialize(L"x</body><!--a--></html><!--b-->"),
              CString(L"<HTML>\r\n<HEAD></HEAD>\r\n<BODY>x</BODY><!--a--></HTML><!--b-->"));
    EXPECT_EQ(BodyHtml(L"x</body></html><!--c-->y"), CString(L"x<!--c-->y"));
}

TEST(Parser, HeadElementsAfterHeadStillGoToHead) {
    auto document = html::ParseDocument(L"<title>t</title></head><link rel=s> <body>x<meta name=m>");
    EXPECT_EQ(html::SerializeInner(*document->Head()), CString(L"<TITLE>t</TITLE>\r\n<LINK rel=s>"));
    EXPECT_EQ(html::SerializeInner(*document->Body()), CString(L"x\r\n<META name=m>"));
}

TEST(Parser, PlacesHeadElementsInHeadAndMarkerOnHtml) {
    auto document = html::ParseDocument(L"\xFEFF<html id=tq1>\n<head>\n<title>T &amp; U</title>\n</head>\n<body>x</body></html>");
    ASSERT_NE(document->Head(), nullptr);
    EXPECT_EQ(html::SerializeInner(*document->Head()), CString(L"<TITLE>T &amp; U</TITLE>"));
    EXPECT_EQ(document->DocumentElement()->GetAttribute(L"id"), CString(L"tq1"));
    EXPECT_EQ(html::SerializeDocument(*document),
              CString(L"<HTML id=tq1>\r\n<HEAD>\r\n<TITLE>T &amp; U</TITLE></HEAD>\r\n<BODY>x</BODY></HTML>"));
}

TEST(Parser, EmptyInputStillHasHtmlHeadAndBody) {
    EXPECT_EQ(Reserialize(L""), CString(L"<HTML>\r\n<HEAD></HEAD>\r\n<BODY></BODY></HTML>"));
}

TEST(Parser, DeepNestingIsCappedWithoutLosingText) {
    CString page;
    for (int i = 0; i < 5000; ++i) page += L"<div><b>";
    page += L"deep";
    auto document = html::ParseDocument(page);
    CString text;
    CollectText(*document, text);
    EXPECT_EQ(text, CString(L"deep"));
    CString once = html::SerializeDocument(*document);
    EXPECT_EQ(Reserialize(once), once);
}

TEST(Parser, FragmentTakesCellsOnlyInRowContext) {
    auto document = html::ParseDocument(L"<table><tr><td>a</td></tr></table>");
    auto inBody = html::ParseFragment(*document, L"<td>new</td>", document->Body());
    ASSERT_EQ(inBody.size(), 1u);
    EXPECT_EQ(inBody[0]->Parent(), nullptr);
    EXPECT_EQ(html::SerializeOuter(*inBody[0]), CString(L"new"));
    auto row = document->CreateElement(L"TR");
    auto inRow = html::ParseFragment(*document, L"<td>new</td>", row.get());
    ASSERT_EQ(inRow.size(), 1u);
    EXPECT_EQ(html::SerializeOuter(*inRow[0]), CString(L"<TD>new</TD>"));
}

TEST(Parser, FragmentContentNeverClosesItsContext) {
    auto document = html::ParseDocument(L"<p>x</p>");
    struct Case {
        const wchar_t* context;
        const wchar_t* content;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"TD", L"</td>x", L"x"},
        {L"TITLE", L"</title>X&amp;<b>", L"&lt;/title&gt;X&amp;&lt;b&gt;"},
        {L"STYLE", L"p > b { }</style>&amp;", L"p &gt; b { }&lt;/style&gt;&amp;amp;"},
        {L"OPTION", L"<option>a", L"<OPTION>a</OPTION>"},
        {L"H1", L"<h2>b</h2>c", L"<H2>b</H2>c"},
        {L"TR", L"</tr><td>c</td>", L"<TD>c</TD>"},
        {L"TABLE", L"</table>d", L"d"},
    };
    for (const auto& c : cases) {
        auto context = document->CreateElement(c.context);
        auto nodes = html::ParseFragment(*document, c.content, context.get());
        CString text;
        for (const auto& node : nodes) text += html::SerializeOuter(*node);
        EXPECT_EQ(text, CString(c.expected)) << Show(c.context);
    }
}

TEST(Parser, FragmentInsideAFormOpensNoSecondForm) {
    auto document = html::ParseDocument(L"<form><div>x</div></form>");
    dom::Node* div = document->Body()->FirstChild()->FirstChild();
    CString html;
    for (const auto& node : html::ParseFragment(*document, L"<form><input name=a></form>b", div)) html += html::SerializeOuter(*node);
    EXPECT_EQ(html, CString(L"<INPUT name=a>b"));
}

TEST(Parser, FragmentsInEveryContextSurviveStrayEndTags) {
    auto document = html::ParseDocument(L"<p>x</p>");
    const wchar_t* contexts[] = {L"TD", L"TH", L"TR", L"TBODY", L"TABLE", L"TITLE", L"OPTION", L"OPTGROUP",
                                 L"SELECT", L"H3", L"P", L"LI", L"A", L"BUTTON", L"DIV", L"BODY"};
    const wchar_t* pieces[] = {L"</td>", L"</tr>", L"</table>", L"</title>", L"</option>", L"</select>", L"</h3>",
                               L"</p>", L"</li>", L"</a>", L"</button>", L"<td>", L"<tr>", L"<option>", L"<h1>",
                               L"<optgroup>", L"<tbody>", L"<col>", L"text", L"</body>", L"</html>"};
    Random random(20261208);
    for (int round = 0; round < 2000; ++round) {
        CString content;
        int count = random.Int(1, 8);
        for (int i = 0; i < count; ++i) content += pieces[random.Int(0, static_cast<int>(std::size(pieces)) - 1)];
        auto context = document->CreateElement(contexts[random.Int(0, static_cast<int>(std::size(contexts)) - 1)]);
        auto nodes = html::ParseFragment(*document, content, context.get());
        for (const auto& node : nodes) EXPECT_EQ(node->Parent(), nullptr);
    }
}

}  // namespace

// Asked to, the tokenizer reads a quote that runs over markup (never closed,
// or closed only by a later value's opening quote) as closed where its tag
// would have ended, and says where; a quote that closes soundly, with a '>'
// inside or not, is the value it says.
TEST(Tokenizer, CutQuotesEndAtTheirTagsEndWhenAskedTo) {
    struct Case {
        const wchar_t* text;
        std::vector<size_t> quotes;  // the cut quotes' places
        std::vector<bool> closed;
        const wchar_t* firstValue;   // the first attribute's value as read
    } cases[] = {
        {L"<a href=\"x>Click <img src=\"i.gif\"></a>", {8}, {true}, L"x"},
        {L"<a href='x>A</a> <a href='/y'>B</a>", {8}, {true}, L"x"},
        {L"<a href=\"x>A</a>\nrest", {8}, {false}, L"x"},
        {L"<a href=\"x>A</a> <b title=\"t\">B <i class=\"c>C <u id=\"u\">", {8, 41}, {true, true}, L"x"},
        {L"<a title=\"<b>Note</b>\">N</a>", {}, {}, L"<b>Note</b>"},
        {L"<a title=\"x > y\"/><i onclick=\"f('<b>z</b>')\">", {}, {}, L"x > y"},
        {L"<img src=\"a.gif\"width=\"1\">", {}, {}, L"a.gif"},  // no '>' inside: nothing hidden
        {L"<a href=\"never closed, no end", {}, {}, nullptr},
    };
    for (const Case& test : cases) {
        CString text = test.text;
        html::Tokenizer tokenizer(text);
        tokenizer.EndCutQuotesAtTagEnd();
        html::Token token;
        bool first = true;
        while (tokenizer.Next(token)) {
            if (first && test.firstValue) {
                ASSERT_FALSE(token.attributes.empty()) << Show(text);
                EXPECT_EQ(token.attributes[0].value, CString(test.firstValue)) << Show(text);
            }
            first = false;
        }
        std::vector<size_t> quotes;
        std::vector<bool> closed;
        for (const html::CutQuote& cut : tokenizer.CutQuotes()) {
            quotes.push_back(cut.quote);
            closed.push_back(cut.closed);
            EXPECT_EQ(tokenizer.Source()[cut.tagEnd], L'>');
        }
        EXPECT_EQ(quotes, test.quotes) << Show(text);
        EXPECT_EQ(closed, test.closed) << Show(text);
    }
    // Not asked, the tokenizer reads as browsers do: the value runs to its quote.
    CString text = L"<a href=\"x>Click <img src=\"i.gif\"></a>";
    html::Tokenizer tokenizer(text);
    html::Token token;
    ASSERT_TRUE(tokenizer.Next(token));
    EXPECT_EQ(token.attributes[0].value, CString(L"x>Click <img src="));
    EXPECT_TRUE(tokenizer.CutQuotes().empty());
}
