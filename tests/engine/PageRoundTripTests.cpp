// Pages made by the store's template and link insertion, loaded and saved by
// the engine, read back by the store's line readers: the marker, the index
// tags, the table sections and the links stay, and saving again changes nothing.
#include "EngineTestSupport.h"
#include "index/AllPagesIndex.h"
#include "links/LinkInsertion.h"
#include "links/LinkLine.h"
#include "pages/PageMarkers.h"
#include "pages/PageTemplate.h"

#include <gtest/gtest.h>


namespace {

CString WithLink(const CString& page, const CString& section, const CString& title, const CString& address) {
    CString link;
    FormatLinkLine(link, title, address, CString());
    LinkPlacement placement = LinkPlacement::None;
    CString folded = page;  // the store reads pages in text mode: CR LF becomes LF
    folded.Replace(L"\r\n", L"\n");
    return InsertLinkIntoPageText(folded, section, link, placement);
}

TEST(PageRoundTrip, TemplatePageWithLinksSurvivesSaving) {
    CString page = WithLink(BuildPageTemplate(L"Work"), L"News", L"First (12-8-2026)", L"http://a.example/1?x=1&y=2");
    CString saved = Reserialize(page);
    EXPECT_EQ(GetPageIndexFlagOfText(saved), 1);
    EXPECT_EQ(BuildAllPagesValue(saved), BuildAllPagesValue(page));
    EXPECT_EQ(BuildAllPagesValue(saved), CString(L"News,1"));

    CString again = WithLink(saved, L"News", L"Second", L"http://b.example/2");
    CString savedAgain = Reserialize(again);
    EXPECT_EQ(Reserialize(savedAgain), savedAgain);
    EXPECT_EQ(BuildAllPagesValue(savedAgain), CString(L"News,1"));
    EXPECT_GE(savedAgain.Find(L"First (12-8-2026)"), 0) << Show(savedAgain);
    EXPECT_GE(savedAgain.Find(L"Second"), 0) << Show(savedAgain);
    EXPECT_GT(savedAgain.Find(L"Second"), savedAgain.Find(L"First")) << Show(savedAgain);
    EXPECT_GE(savedAgain.Find(L"<HR id=bodyend"), 0);
}

TEST(PageRoundTrip, GridTableSectionTakesLinksIntoItsEmptyCells) {
    CString page = BuildPageTemplate(L"Links");
    page.Replace(kHeadLine, CString(kHeadLine) + L"<TABLE ID = \"links\" col=2 border=0 width=630 cellpadding=3 bgColor=#6CADD8>"
                                                 L"<TR><TD colspan=2>&gt;&gt;&gt;Sites&lt;&lt;&lt;</TD></TR>"
                                                 L"<TR><TD bgColor=#FFFFFF pos=0 width=315\"><DIV>&nbsp</DIV></TD>"
                                                 L"<TD bgColor=#FFFFFF pos=1 width=315\"><DIV>&nbsp</DIV></TD></TR>\n</TABLE>\n");
    CString saved = Reserialize(page);
    EXPECT_EQ(BuildAllPagesValue(saved), CString(L"Sites,2"));
    CString linked = Reserialize(WithLink(saved, L"Sites", L"Example", L"http://c.example/"));
    auto document = html::ParseDocument(linked);
    auto* table = document->Body()->Child(0);
    for (dom::Node* node = document->Body()->FirstChild(); node; node = node->NextSibling())
        if (node->Is(dom::Tag::Table)) table = node;
    ASSERT_TRUE(table && table->Is(dom::Tag::Table)) << Show(linked);
    CString cells = html::SerializeInner(*table);
    EXPECT_GE(cells.Find(L"pos=\"0\">"), 0) << Show(cells);
    EXPECT_GE(cells.Find(L"Example"), 0) << Show(cells);
    EXPECT_GT(cells.Find(L"pos=\"1\">"), cells.Find(L"Example")) << Show(cells);
    EXPECT_EQ(Reserialize(linked), linked);
}

TEST(PageRoundTrip, UnindexedMarkerAndRawTagMarksStay) {
    CString page = BuildPageTemplate(L"Plain");
    page.Replace(L"<html id=tq1>", L"<html id=tq0>");
    page.Replace(kHeadLine, CString(kHeadLine) + L">>>Ideas, later<<<<br>\n");
    CString saved = Reserialize(page);
    EXPECT_EQ(GetPageIndexFlagOfText(saved), 2);
    EXPECT_GE(saved.Find(L"&gt;&gt;&gt;Ideas, later&lt;&lt;&lt;"), 0) << Show(saved);
    EXPECT_EQ(BuildAllPagesValue(saved), CString(L"Ideas### later,1"));
}

}  // namespace
