// A save that would drop text the page file held but the editor never showed
// (markup cut by a quote that is not closed, or closed only by a later
// value's quote) is found; ordinary pages, markup inside values whose quote
// closes, and broken markup whose text the editor keeps, are not taken for it.
#include "page/PageTextLoss.h"

#include "Html5libCorpus.h"
#include "Random.h"
#include "Utf16Bytes.h"
#include "html/Parser.h"
#include "html/Serializer.h"
#include "pages/PageClean.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

const CString kHead = L"<html id=tq1>\n<HEAD>\n<TITLE>Notes</TITLE>\n</HEAD>\n<BODY>\n";
const CString kFooter = L"<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>\n"
                        L"<center><font size=2><a href= \"http://www.tarvelo.com\">Tarvelo</a></font></center>\n"
                        L"</body>\n</html>\n";

// What a save of the page, loaded and not edited, writes: the engine's
// writing of what it read, cleaned.
CString SavedAsLoaded(const CString& page) { return CleanPageText(html::SerializeDocument(*html::ParseDocument(page))); }

// A save of the page as loaded, and the next save of what the first one wrote.
::testing::AssertionResult SavesTwiceWithoutQuestion(const CString& page) {
    const CString first = SavedAsLoaded(page);
    if (WouldSaveDropHiddenText(page, first))
        return ::testing::AssertionFailure() << "first save: " << ::testing::PrintToString(page);
    if (WouldSaveDropHiddenText(first, SavedAsLoaded(first)))
        return ::testing::AssertionFailure() << "second save: " << ::testing::PrintToString(first);
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(PageTextLoss, OnlyTextHiddenByACutQuoteCountsAsDropped) {
    // Read the same by the editor and by the eye: saved as they are (or as
    // the engine writes them again) nothing is dropped.
    const CString kept[] = {
        kHead + L"<DIV>&gt;&gt;&gt;News&lt;&lt;&lt;</DIV>\n<A href=\"http://example.com/a\">&nbsp;Alpha&nbsp;</A><BR>\n" +
            kFooter,
        kHead + L"<b>bold <i>both</b> italic</i> <p>open <div>a < b and c > d & e AT&T</div>\n",
        kHead + L"<a title=\"x > y\" href='http://e.com/?a=1&b=2'>Link text</a> <img src=p.png alt=\"pic\">\n"
                L"<font face=Arial size=2>unquoted</font><table><tr><td>cell</table> tail\n",
        kHead + L"<script>var s = \"<b>\";</script><style>p{}</style><!-- a \"comment --> after\n</body>",
        kHead + L"<a href=\"a\"b\"c\">odd quotes</a> text <br/> </ body> end",
        kHead + L"<img alt=\"a<b>c\" src=\"p.png\"> picture <a title='1 < 2 > 0'>compare</a>\n",
        L"text before any <html> tag <html id=tq0> and after </html> trailing",
    };
    for (const CString& page : kept) {
        EXPECT_FALSE(WouldSaveDropHiddenText(page, page)) << page.GetString();
        // The user deleted words the editor showed: a choice of the user's.
        EXPECT_FALSE(WouldSaveDropHiddenText(page, kHead + kFooter)) << page.GetString();
    }

    // A link's address whose quote never closes: the rest of the page is
    // the address as the editor reads it.
    const CString cut = kHead + L"<DIV>&gt;&gt;&gt;News&lt;&lt;&lt;</DIV>\n<A href=\"http://example.com/a>Alpha</A><BR>\n"
                                L"<DIV>&gt;&gt;&gt;Work&lt;&lt;&lt;</DIV>\nBeta words\n</BODY></HTML>\n";
    const CString shown = kHead + L"<DIV>&gt;&gt;&gt;News&lt;&lt;&lt;</DIV>\n" + kFooter;
    EXPECT_TRUE(WouldSaveDropHiddenText(cut, shown));
    EXPECT_TRUE(WouldSaveDropHiddenText(cut, shown + L"Beta"));
    // The engine writes the runaway value back: still hidden, still dropped.
    EXPECT_TRUE(WouldSaveDropHiddenText(cut, kHead + L"<A href=\"http://example.com/a>Alpha</A>&lt;Work Beta words\">"
                                                     L"</A>\n" + kFooter));
    // A quote closed only by a later tag's attribute hides the text between.
    const CString late = kHead + L"<A href=\"http://example.com/a>Alpha</A> middle words\n"
                                 L"<A href=\"http://example.com/b\">Beta</A>\n" + kFooter;
    EXPECT_TRUE(WouldSaveDropHiddenText(late, kHead + L"<A href=\"x\" b>Beta</A>\n" + kFooter));
    // Typed in again, or the file as it is: nothing is lost.
    EXPECT_FALSE(WouldSaveDropHiddenText(cut, shown + L"Alpha Work Beta words"));
    EXPECT_FALSE(WouldSaveDropHiddenText(cut, L"<p>Alpha Work Beta words News Notes Tarvelo</p>"));
}

TEST(PageTextLoss, MarkupInsideAClosedValueIsTheValueAtEverySave) {
    // Clipped pages carry markup in tooltips, titles and descriptions; the
    // engine writes "<" in values as it is, so the second save reads it raw.
    const CString pages[] = {
        kHead + L"<a href=\"http://x.example/\" title=\"<b>Note</b>\">Note link</a> after\n" + kFooter,
        kHead + L"<a href=\"#\" onmouseover=\"return overlib('<b>Tip</b> text')\" onmouseout=\"return nd();\">"
                L"Hover here</a> plain\n" + kFooter,
        L"<html id=tq1><head><meta name=\"description\" content=\"a <b>bold</b> claim\"><title>T</title></head>"
        L"<body><p>Body words</p>\n" + kFooter,
        kHead + L"<span data-tip=\"&lt;b&gt;Note&lt;/b&gt;\">Tipped</span> words\n" + kFooter,
        kHead + L"<img src=\"a.gif\" alt=\"<i>x</i>\"/>\n<a title='He said \"<b>no</b>\"' href=y>Said</a>\n"
                L"<div onclick='show(\"<p>one</p><p>two</p>\")'>Click</div>\n" + kFooter,
        // Values that run against the next attribute without a '>' inside hide nothing.
        kHead + L"<img src=\"a.gif\"width=\"10\"height=\"10\"> <a href=\"b.htm\"class=x>Tight</a> end\n" + kFooter,
    };
    for (const CString& page : pages) {
        EXPECT_TRUE(SavesTwiceWithoutQuestion(page));
        EXPECT_FALSE(WouldSaveDropHiddenText(page, kHead + kFooter)) << page.GetString();
    }
}

TEST(PageTextLoss, AQuoteClosedByALaterValueHidesTheTextBetween) {
    struct Case {
        CString body;
        const wchar_t* hidden;
    } cases[] = {
        {L"<a href=\"http://x.example/page.htm>Click here <img src=\"icon.gif\"></a> rest\n", L"Click here"},
        {L"<font color=\"red>Important words <b class=\"x\">more</b>\n", L"Important words"},
        {L"<a href='http://x.example/>Single quoted <img src='/pic.gif'></a> rest\n", L"Single quoted"},
    };
    for (const Case& test : cases) {
        const CString page = kHead + test.body + kFooter;
        HiddenTextCause cause = HiddenTextCause::QuoteNeverClosed;
        EXPECT_TRUE(WouldSaveDropHiddenText(page, SavedAsLoaded(page), &cause)) << test.body.GetString();
        EXPECT_EQ(cause, HiddenTextCause::QuoteClosedByLater) << test.body.GetString();
        // The user typed the words in where they show: nothing is lost.
        EXPECT_FALSE(WouldSaveDropHiddenText(page, SavedAsLoaded(page) + test.hidden)) << test.body.GetString();
    }
    // Never closed: said so.
    const CString open = kHead + L"<a href=\"http://x.example/>Click here</a> rest\n</BODY></HTML>\n";
    HiddenTextCause cause = HiddenTextCause::QuoteClosedByLater;
    EXPECT_TRUE(WouldSaveDropHiddenText(open, SavedAsLoaded(open), &cause));
    EXPECT_EQ(cause, HiddenTextCause::QuoteNeverClosed);
}

// No input of the html5lib suite is taken for a cut page but the one whose
// quote truly runs over markup (and hides its text from every browser), and
// no page of ours (the engine's reference pages, the help pages) either, at
// the first save or the next.
TEST(PageTextLoss, NoFalseAlarmOverTheHtml5libSuiteAndRealPages) {
    std::filesystem::path folder = CorpusFolder();
    if (folder.empty()) GTEST_SKIP() << "html5lib corpus not found (TARVELO_CORPUS)";
    const auto cases = LoadCorpus(folder);
    ASSERT_GT(cases.size(), 1000u);
    std::vector<CString> alarms;
    for (const auto& test : cases) {
        const CString first = SavedAsLoaded(test.data);
        if (WouldSaveDropHiddenText(test.data, first)) alarms.push_back(test.data);
        EXPECT_FALSE(WouldSaveDropHiddenText(first, SavedAsLoaded(first))) << ::testing::PrintToString(test.data);
    }
    EXPECT_EQ(alarms, std::vector<CString>{L"<html><body><img src=\"\" border=\"0\" alt=\"><div>A</div></body></html>"});

    const char* source = std::getenv("TARVELO_SOURCE");
    ASSERT_NE(source, nullptr);
    int pages = 0;
    for (const char* place : {"tests/engine/reference/pages", "app/help"}) {
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(source) / place)) {
            if (entry.path().extension() != ".htm") continue;
            std::ifstream in(entry.path(), std::ios::binary);
            const CString page = FromUtf8(std::string(std::istreambuf_iterator<char>(in), {}));
            EXPECT_TRUE(SavesTwiceWithoutQuestion(page)) << entry.path().string();
            ++pages;
        }
    }
    EXPECT_GT(pages, 100);
}

// Pages of random markup, quotes and words: the check reads every one, and
// a page whose quote hid words asks nothing once all its words show.
TEST(PageTextLoss, RandomMarkupIsReadWithoutFault) {
    const uint32_t seed = 20261211;
    Random random(seed);
    const std::vector<CString> pieces = {L"<a href=\"", L"<img src='", L"\"", L"'", L">", L"</a>", L"<b class=\"x\">",
                                         L" word", L" other", L"\n", L"<!--", L"-->", L"<script>", L"</script>",
                                         L"&lt;", L"&quot;", L"<td title=\"<b>t</b>\">", L"/>", L"=", L" "};
    int asked = 0;
    for (int round = 0; round < 2000; ++round) {
        CString page = kHead;
        for (int i = random.Int(1, 40); i > 0; --i) page += random.Pick(pieces);
        const CString saved = SavedAsLoaded(page);
        HiddenTextCause cause{};
        if (!WouldSaveDropHiddenText(page, saved, &cause)) continue;
        ++asked;
        // Every word of the file typed in where it shows: nothing is dropped.
        EXPECT_FALSE(WouldSaveDropHiddenText(page, html::EscapeText(page) + saved)) << "seed " << seed << ": " << page.GetString();
    }
    EXPECT_GT(asked, 0);
}
