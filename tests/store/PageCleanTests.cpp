#include "StoreFixture.h"

#include "index/AllPagesIndex.h"
#include "links/LinkInsertion.h"
#include "pages/PageClean.h"
#include "pages/PageMarkers.h"
#include "pages/PageTemplate.h"

#include "com/ComQuery.h"
#include "com/HtmlDocument.h"
#include "html/HtmlDocument.h"

#include <windows.h>

namespace {

const CString kEnding = L"<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>\n"
                        L"<center><font size=2><a href= \"http://www.tarvelo.com\">Tarvelo</a></font></center>\n"
                        L"</body>\n</html>\n";

int Count(const CString& text, const CString& what) {
    int count = 0;
    for (int at = text.Find(what); at >= 0; at = text.Find(what, at + 1)) ++count;
    return count;
}

// The page as the engine writes it when the editor saves: the text loaded
// into an engine document and saved through its stream persistence.
CString SavedByEngine(const CString& html) {
    ComPtr<IDispatch> dispatch;
    EXPECT_EQ(CreateHtmlDocument(IID_IDispatch, dispatch.ReceiveVoid()), S_OK);
    bcHtmlDocument document;
    document.Attach(dispatch.Get());
    EXPECT_TRUE(document.LoadHtml(html));
    CString text;
    EXPECT_TRUE(document.SaveHtml(text, true));
    return text;
}

} // namespace

class PageClean : public StoreTest {};

TEST(PageCleanText, BringsAnEngineOutputIntoThePageFormat) {
    CString long_(L'w', 70000);
    CString engine = L"<HTML id=tq1><HEAD><TITLE>Notes</TITLE></HEAD>\n"
                     L"<BODY background=#606666 color=\"#606666\">\n"
                     L"<P align=center>&gt;&gt;&gt;News&lt;&lt;&lt;</P>\n"
                     L"<P>&gt;&gt;&gt;Only&lt;&lt;&lt;\n"
                     L"<A href=\"http://a/\">Ty</A> <A href=\"http://a/\">ped</A> <A href=\"http://a/\">in</A> tail\n"
                     L"<A href=\"http://a/\">one</A> <A href=\"http://b/\">two</A>\n"
                     L"<A href=\"http://c/\">" + long_ + L"\n"
                     L"end</A>\t<A href=\"http://c/\">more</A><BR 2>\n"
                     L"<A href=\"http://k/\">kept</A> and <A href=\"http://e/\"></A><A></A><BR>x\n"
                     L"<FONT color=red></FONT><FONT size=2>  </FONT>bodyend as a word\n"
                     L"lead <A \n"
                     L"href=\"http://d/\">d</A>\n"
                     L"<HR id=bodyend width=\"50%\" color=black size=1>\n"
                     L"<CENTER>old footer</CENTER></BODY></HTML>\n";
    CString clean = L"<HTML id=tq1><HEAD><TITLE>Notes</TITLE></HEAD>\n"
                    L"<BODY background=#606666 color=\"#606666\">\n"
                    L"<P align=center>&gt;&gt;&gt;News&LT;&LT;&LT;\n</P>\n"
                    L"<P>&gt;&gt;&gt;Only&lt;&lt;&lt;\n"
                    L"<A href=\"http://a/\">Ty ped in</A> tail\n"
                    L"<A href=\"http://a/\">one</A> <A href=\"http://b/\">two</A>\n"
                    L"<A href=\"http://c/\">" + long_ + L"\n"
                    L"end\tmore</A>\n"
                    L"<A href=\"http://k/\">kept</A> and <A ></A><BR>\nx\n"
                    L"<FONT color=red></FONT><FONT size=2>  </FONT>bodyend as a word\n"
                    L"lead \n<A href=\"http://d/\">d</A>\n"
                    L"<CENTER>old footer</CENTER>\n" + kEnding;
    EXPECT_EQ(CleanPageText(engine), clean);
    // Cleaning a clean page changes nothing.
    EXPECT_EQ(CleanPageText(clean), clean);

    // Text and pictures after the marker move before it; the product footer,
    // the closing tags and bare markup there go.
    CString below = L"<BODY>\n<DIV>a</DIV>\n<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>typed\n"
                    L"<CENTER><FONT size=2><A href=\"http://www.tarvelo.com\">Tarvelo</A></FONT></CENTER>\n"
                    L"<DIV></DIV>\nmore <IMG src=x.png>\n</BODY></HTML>\n";
    CString kept = L"<BODY>\n<DIV>a</DIV>\ntyped\nmore <IMG src=x.png>\n" + kEnding;
    EXPECT_EQ(CleanPageText(below), kept);
    EXPECT_EQ(CleanPageText(kept), kept);
}

TEST(PageCleanText, PageWithoutMarkerEndsAtItsBody) {
    EXPECT_EQ(CleanPageText(L"<HTML><BODY>\n<DIV>text</DIV></BODY></HTML>\nrest\n"),
              L"<HTML><BODY>\n<DIV>text</DIV>\n</body>\n</html>\n");
    // An address or a link text naming the body's end is no end.
    EXPECT_EQ(CleanPageText(L"<A href=\"x</body>\">a</A>\n&lt;/body&gt;\n"), L"<A href=\"x</body>\">a</A>\n&lt;/body&gt;\n");
    EXPECT_EQ(CleanPageText(L""), L"");
    EXPECT_EQ(CleanPageText(L"<BODY>\r\none\rtwo\r\n</BODY>\r\n"), L"<BODY>\none\rtwo\n</body>\n</html>\n");
}

TEST(PageCleanText, JoinsOnlyLinksOfOneAddress) {
    CString text = L"<A href=\"u\">a</A> <A href=\"v\">b</A> <A href=\"v\">c</A>\n"
                   L"<A name=n>x</A> <A name=n>y</A> <!-- </A> <A href=\"u\"> --> <SCRIPT>s='</A> <A href=u>'</SCRIPT>\n";
    MergeSplitLinks(text);
    EXPECT_EQ(text, L"<A href=\"u\">a</A> <A href=\"v\">b c</A>\n"
                    L"<A name=n>x</A> <A name=n>y</A> <!-- </A> <A href=\"u\"> --> <SCRIPT>s='</A> <A href=u>'</SCRIPT>\n");
}

TEST_F(PageClean, SavedPageReadsBackThroughTheStore) {
    CString page = PagePath(L"Saved");
    CString html = BuildPageTemplate(L"Saved");
    html.Replace(L"<hr color=blue size=1>\n",
                 L"<hr color=blue size=1>\n<P>&gt;&gt;&gt;News&lt;&lt;&lt; today</P>\n"
                 L"<A href=\"http://n/\">fir</A> <A href=\"http://n/\">st</A>\n"
                 L"<DIV>&gt;&gt;&gt;Later&lt;&lt;&lt;</DIV>\n<DIV>last words</DIV>\n");
    WritePage(page, SavedByEngine(html));
    EXPECT_EQ(FinishPageSave(page), 1);
    EXPECT_TRUE(m_boxes.Boxes().empty());

    CString saved = ReadPage(page);
    EXPECT_EQ(GetPageIndexFlag(page), 1);
    EXPECT_EQ(IndexValue(L"Saved"), L"News,1;Later,1");
    EXPECT_TRUE(saved.Right(kEnding.GetLength()) == kEnding) << saved.str();
    EXPECT_NE(saved.Find(L">fir st</A>"), -1) << saved.str();
    EXPECT_NE(saved.Find(L"last words"), -1);

    // A clip into the first section lands there, before the next tag.
    ASSERT_EQ(AddLinkToPage(L"Saved", L"News", L"Clip", L"http://clip/", L""), 1);
    CString linked = ReadPage(page);
    int clip = linked.Find(L"http://clip/");
    ASSERT_NE(clip, -1);
    EXPECT_GT(clip, linked.Find(L">fir st</A>"));
    EXPECT_LT(clip, linked.Find(L"Later"));
    EXPECT_EQ(IndexValue(L"Saved"), L"News,1;Later,1");
}

TEST_F(PageClean, ClipsIntoASavedPageKeepOneRowOfSpacers) {
    // The editor's save writes the spacers on the body-end marker's line; a
    // clip writes them there again, so they must not also stay as content.
    CString page = PagePath(L"Round");
    ASSERT_EQ(AddNewPage(L"Round"), 1);
    int lines = Count(ReadPage(page), L"\n"), growth = 0;
    for (int round = 0; round < 4; ++round) {
        CString link;
        link.Format(L"http://clip/%d", round);
        ASSERT_EQ(AddLinkToPage(L"Round", L"News", L"Clip", link, L""), 1);
        CString linked = ReadPage(page);
        EXPECT_EQ(Count(linked, L"<BR 2>"), 3) << linked.str();
        WritePage(page, SavedByEngine(linked));
        ASSERT_EQ(FinishPageSave(page), 1);
        CString saved = ReadPage(page);
        EXPECT_EQ(Count(saved, L"<BR 2>"), 3) << saved.str();
        EXPECT_TRUE(saved.Right(kEnding.GetLength()) == kEnding) << saved.str();
        // Each round adds as many lines as the one before: no blank band grows.
        int now = Count(saved, L"\n");
        if (round >= 2) {
            EXPECT_EQ(now - lines, growth) << saved.str();
        }
        growth = now - lines;
        lines = now;
    }
    EXPECT_EQ(Count(ReadPage(page), L"http://clip/"), 4);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(PageClean, TheTemplatesOuterBlockStaysClosedThroughSavesAndClips) {
    // The New page template wraps the body in a DIV closed after the footer:
    // saves and clips close it there again.
    const CString closing = L"Tarvelo</a></font></center>\n</DIV></body>\n</html>\n";
    const CString path = PagePath(L"Diary");
    WritePage(path, BuildDivPageTemplate(L"Diary"));
    ASSERT_TRUE(ReadPage(path).Right(closing.GetLength()) == closing) << ReadPage(path).str();
    for (int round = 0; round < 3; ++round) {
        WritePage(path, SavedByEngine(ReadPage(path)));
        ASSERT_EQ(FinishPageSave(path), 1);
        CString saved = ReadPage(path);
        EXPECT_TRUE(saved.Right(closing.GetLength()) == closing) << saved.str();
        EXPECT_EQ(CountOpenDivs(saved), 0) << saved.str();
        ASSERT_EQ(AddLinkToPage(L"Diary", L"", L"Clip", L"http://clip/", L""), 1);
        CString linked = ReadPage(path);
        EXPECT_TRUE(linked.Right(closing.GetLength()) == closing) << linked.str();
        EXPECT_EQ(Count(linked, L"</DIV>"), Count(saved, L"</DIV>"));
    }
    EXPECT_EQ(Count(ReadPage(path), L"http://clip/"), 3);
    // A page without an outer block gains none.
    EXPECT_EQ(CleanPageText(L"<BODY>\n<DIV>a</DIV>\n<HR id=bodyend>\n</BODY>\n"), L"<BODY>\n<DIV>a</DIV>\n" + kEnding);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST(PageCleanText, CountsTheDivBlocksLeftOpen) {
    EXPECT_EQ(CountOpenDivs(L""), 0);
    EXPECT_EQ(CountOpenDivs(L"<BODY><DIV>\n<div class=x><DIV/>a</div>"), 2);
    EXPECT_EQ(CountOpenDivs(L"</DIV></DIV><DIV>"), 1);  // stray end tags count for nothing
    EXPECT_EQ(CountOpenDivs(L"<DIVX><!-- <DIV> --><A title=\"<DIV>\">x</A><SCRIPT>'<DIV>'</SCRIPT>"), 0);
}

TEST_F(PageClean, FailureLeavesTheFileAsItWas) {
    CString page = PagePath(L"Locked");
    WritePage(page, L"<html id=tq1>\n<BR 2>x</BODY>\n");
    HANDLE held = CreateFileW(page, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(CleanPageFile(page));
    CloseHandle(held);
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text, L"Error! Cleanfile cannot open file.\n" + page);  // the page named
    EXPECT_EQ(ReadPage(page), L"<html id=tq1>\n<BR 2>x</BODY>\n");
    EXPECT_TRUE(CleanPageFile(page));
    EXPECT_EQ(ReadPage(page), L"<html id=tq1>\nx\n</body>\n</html>\n");
}
