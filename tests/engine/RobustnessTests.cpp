// Random bytes and mutated pages: every input parses, and serializing is
// stable after one round.
#include "EngineTestSupport.h"
#include "Random.h"
#include "html/Tokenizer.h"

#include <gtest/gtest.h>

namespace {

const wchar_t* kPage =
    L"<html id=tq1>\n<head>\n<title>Work</title>\n</head>\n<body background=\"#606666\" color =\"#606666\">\n"
    L"<center><font color=\"#606666\" size=5 face=\"Verdana, Arial\"><B>Work</B></font></center>\n"
    L"<hr color=blue size=1>\n&gt;&gt;&gt;News&lt;&lt;&lt;<br>\n<A href=\"http://a.example/x?y=1&amp;z=2\">&nbsp;Link&nbsp;</A>\n"
    L"<TABLE ID = \"links\" col=3 border=0 width=630 cellpadding=3 bgColor=#6CADD8><TR><TD bgColor=#FFFFFF pos=0 width=190\">"
    L"<DIV>&nbsp</DIV></TD><TD pos=1><DIV>&nbsp;</DIV></TD></TR></TABLE><script>var a = '<b>';</script><!-- c -->"
    L"<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>\n"
    L"<center><font size=2><a href= \"http://www.tarvelo.example\">Tarvelo</a></font></center>\n</body>\n</html>\n";

void ExpectStable(const CString& input, uint32_t seed) {
    CString once = Reserialize(input);
    CString twice = Reserialize(once);
    ASSERT_EQ(twice, once) << "seed " << seed << " input " << Show(input);
}

TEST(Robustness, RandomUnitsParseStably) {
    Random random(20261208);
    const CString alphabet = L"<>/=\"' &;#!-?abtdrpTDRXsciy\n\t\x00A0\x20AC";
    for (int i = 0; i < 6000; ++i) {
        CString input = random.Chance(50) ? random.FromAlphabet(alphabet, 0, 120) : random.AnyWide(0, 80);
        ExpectStable(input, static_cast<uint32_t>(i));
    }
}

TEST(Robustness, RandomBytesAsLatinTextParseStably) {
    Random random(7);
    for (int i = 0; i < 4000; ++i) {
        std::string bytes = random.AnyBytes(0, 200);
        CString input;
        for (unsigned char c : bytes) input += static_cast<wchar_t>(c);
        ExpectStable(input, static_cast<uint32_t>(i));
    }
}

TEST(Robustness, MutatedPagesParseStably) {
    Random random(99);
    const CString page = kPage;
    const std::vector<CString> pieces = {L"<", L">", L"</", L"\"", L"'", L"<table>", L"<td>", L"</tr>", L"<p>", L"<!--",
                                         L"-->", L"&", L"<script>", L"</b>", L"<select>", L"<textarea>", L"=", L" "};
    for (int i = 0; i < 12000; ++i) {
        CString input = page;
        int edits = random.Int(1, 6);
        for (int e = 0; e < edits; ++e) {
            int at = random.Int(0, input.GetLength());
            switch (random.Int(0, 2)) {
            case 0: input.Insert(at, random.Pick(pieces)); break;
            case 1: input.Delete(at, random.Int(1, 20)); break;
            default: input = input.Left(at) + input.Mid(std::min(input.GetLength(), at + random.Int(1, 40))) + input.Mid(at, 30); break;
            }
        }
        ExpectStable(input, static_cast<uint32_t>(i));
    }
}

TEST(Robustness, SavingIsStableAtTheNestingCap) {
    CString tables;
    for (int i = 0; i < 100; ++i) tables += L"<table><td>";
    ExpectStable(tables + L"a<td>b", 0);
    ExpectStable(L"<dl><dd><p><noscript><dt>x", 0);  // the item is not closed first time round

    // Start tags that imply others, reopen formatting or move content out of
    // a table, just below and above the depth where elements stop nesting.
    Random random(4001);
    const std::vector<CString> pieces = {L"<table>", L"<td>", L"<tr>", L"<th>", L"<tbody>", L"<caption>", L"<colgroup>",
                                         L"<col>", L"</td>", L"</tr>", L"</table>", L"<b>", L"</b>", L"<i>", L"<a>",
                                         L"</a>", L"<nobr>", L"<p>", L"</p>", L"<div>", L"<li>", L"<select>", L"<option>",
                                         L"<form>", L"</form>", L"<font size=2>", L"x", L" ", L"<br>"};
    for (int i = 0; i < 400; ++i) {
        CString input;
        int depth = random.Int(html::kMaxDepth - 24, html::kMaxDepth + 4);
        for (int d = 0; d < depth; ++d) input += random.Chance(50) ? L"<div>" : L"<span>";
        int count = random.Int(1, 40);
        for (int k = 0; k < count; ++k) input += random.Pick(pieces);
        ExpectStable(input, static_cast<uint32_t>(i));
    }
}

// Formatting elements left open are reopened in each new paragraph: a page
// that leaves thousands open must not reopen thousands in every paragraph.
TEST(Robustness, UnclosedFormattingReopensBoundedly) {
    CString page;
    for (int i = 0; i < 2000; ++i) page.AppendFormat(L"<p><b id=%d>x</p>", i);
    auto document = html::ParseDocument(page);
    size_t elements = 0;
    std::vector<const dom::Node*> todo = {document.get()};
    while (!todo.empty()) {
        const dom::Node* node = todo.back();
        todo.pop_back();
        elements += node->IsElement();
        for (const auto& child : node->Children()) todo.push_back(child.get());
    }
    EXPECT_LT(elements, 2000u * 20);
    CString text;
    CollectText(*document, text);
    EXPECT_EQ(text.GetLength(), 2000);
}

}  // namespace

namespace {

// A tag with many attributes keeps the first of each name (in any case), however
// many come; a stray quote after a value stays part of it, written back as a
// browser writes it.
TEST(Robustness, LongTagsKeepTheFirstOfEachName) {
    CString tag = L"<p", expected = L"<P";
    for (int i = 0; i < 40; ++i) {
        CString name = L"a" + CString(std::to_wstring(i).c_str());
        tag += L" " + name + L"=" + CString(std::to_wstring(i).c_str());
        expected += L" " + name + L"=\"" + CString(std::to_wstring(i).c_str()) + L"\"";
        if (i == 30) tag += L" A2=late a30=late";
    }
    EXPECT_EQ(BodyHtml(tag + L">x</p>"), expected + L">x</P>");
    EXPECT_EQ(BodyHtml(L"<p width=190\" title='a\"b'>x</p>"), CString(L"<P width=\"190&quot;\" title=\"a&quot;b\">x</P>"));
}

}  // namespace

namespace {

// Trees that the reader would not build (made through the interfaces, or by a
// reader of another kind) are saved so that the saved page reads back to a
// page saved the same: a form inside a form, also inside a table's row; a
// bogus comment that looks like CDATA or a document type; script text left
// inside a nested "<!--<script" stretch (the page's last text reads back as
// it is; with page after it, it is closed with "-->" and the page stays). No
// other text is lost or gained.
TEST(Robustness, SavedTreesTheReaderWouldChangeAreFixedPoints) {
    // `closedAfter`: the length of the text before a "-->" that the save adds (-1: none).
    auto check = [](dom::Document& document, const char* what, int closedAfter = -1) {
        CString once = html::SerializeDocument(document);
        CString twice = Reserialize(once);
        EXPECT_EQ(twice, once) << what << " " << Show(once);
        EXPECT_EQ(Reserialize(twice), twice) << what;
        CString before, after;
        CollectText(document, before);
        CollectText(*html::ParseDocument(once), after);
        if (closedAfter >= 0) before.Insert(closedAfter, L"-->");
        EXPECT_EQ(after, before) << what;
    };
    {
        auto document = html::ParseDocument(L"<form id=outer><p>a</p></form>");
        dom::Node* outer = document->Body()->FirstChild();
        auto inner = document->CreateElement(L"form");
        inner->AppendChild(document->CreateText(L"b"));
        outer->FirstChild()->AppendChild(inner);
        outer->AppendChild(document->CreateText(L"c"));
        check(*document, "form in a form");
    }
    {
        auto document = html::ParseDocument(L"<form><table><tr><td>a</td></tr></table></form><table><tr><td>d</table>");
        dom::Node* row = document->Body()->FirstChild()->FirstChild()->FirstChild()->FirstChild();
        ASSERT_TRUE(row->Is(dom::Tag::Tr));
        auto inner = document->CreateElement(L"form");
        auto cell = document->CreateElement(L"td");
        cell->AppendChild(document->CreateText(L"b"));
        inner->AppendChild(cell);
        row->AppendChild(inner);
        row->AppendChild(document->CreateElement(L"form"));
        dom::Node* lone = document->Body()->LastChild()->FirstChild()->FirstChild();
        lone->InsertChild(0, document->CreateElement(L"form"));
        check(*document, "form in a form's table row");
    }
    for (const wchar_t* page : {L"a</[CDATA[x]]>b", L"a</[CDATA[>b", L"a</DOCTYPE html>b", L"a</doctype>b<!doctypex>"}) {
        auto document = html::ParseDocument(page);
        check(*document, "bogus comment");
    }
    for (const wchar_t* text : {L"<!--<script", L"x<!--<script ", L"<!--<script>", L"<!--<script>a--", L"<!--<script/-",
                                L"<!--<script>-", L"<!--<script><!--<script", L"<!--<script>x</script>y<!--<script\t"}) {
        bool nested = false;
        html::FindScriptEnd(std::wstring_view(text), 0, &nested);
        for (bool pageAfter : {false, true}) {
            auto document = html::ParseDocument(L"<p>x</p>");
            auto script = document->CreateElement(L"script");
            script->AppendChild(document->CreateText(text));
            document->Body()->AppendChild(script);
            if (pageAfter) document->Body()->AppendChild(document->CreateText(L"after"));
            check(*document, "script", nested && pageAfter ? 1 + static_cast<int>(wcslen(text)) : -1);
        }
    }
    // Script text of the pieces that open, close and nest such stretches, as pages hold it.
    Random random(31);
    const std::vector<CString> pieces = {L"<!--", L"<script", L"<script>", L"-->", L"-", L">", L"x", L" ",
                                         L"<", L"/", L"!", L"--!>", L"</script>", L"</script", L"\n", L"\r",
                                         L"\t", L"\f", L"<SCRIPT\f", L"<!-->", L"<!--->", L"<!--<script", L"\x00A0"};
    for (int i = 0; i < 4000; ++i) {
        CString text;
        int count = random.Int(1, 8);
        for (int k = 0; k < count; ++k) text += random.Pick(pieces);
        ExpectStable(L"<script>" + text, i);
        ExpectStable(L"<script>" + text + L"</script>" + text, i);
    }
}

}  // namespace
