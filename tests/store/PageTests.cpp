#include "StoreFixture.h"

#include "pages/PageConversions.h"
#include "pages/PageFile.h"
#include "pages/PageMarkers.h"
#include "pages/PageTemplate.h"

#include <windows.h>

namespace {

const CString kFooter = L"<center><font size=2><a href= \"http://www.tarvelo.com\">Tarvelo</a></font></center>\n";

CString FullTemplate(const CString& name) {
    return L"<html id=tq1>\n<head>\n<title>" + name + L"</title>\n</head>\n"
           L"<body background=\"#606666\" color =\"#606666\">\n"
           L"<center><font color=\"#606666\" size=5 face=\"Verdana, Arial, Helvetica, sans-serif\"><B>" + name +
           L"</B></font></center>\n"
           L"<hr color=blue size=1>\n"
           L"<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>\n" + kFooter +
           L"</body>\n</html>\n";
}

} // namespace

class PageTemplate : public StoreTest {};

TEST_F(PageTemplate, NewPageIsTheTemplateByteForByte) {
    ASSERT_EQ(AddNewPage(L"Work"), 1);
    EXPECT_EQ(ReadFileBytes(PagePath(L"Work")), Utf16Bytes(FullTemplate(L"Work")));
}

TEST_F(PageTemplate, SettingsTurnPiecesOff) {
    for (const wchar_t* name : {L"HeadTitle", L"HeadLine", L"FootLine", L"Foot"}) SetSetting(name, 1);
    ASSERT_EQ(AddNewPage(L"Bare"), 1);
    EXPECT_EQ(ReadPage(PagePath(L"Bare")), L"<html id=tq1>\n<head>\n<title>Bare</title>\n</head>\n"
                                          L"<body background=\"#606666\" color =\"#606666\">\n</body>\n</html>\n");
}

TEST_F(PageTemplate, NewPageInAMissingFolderFailsWithTheMessage) {
    EXPECT_EQ(AddNewPage(L"NoFolder\\Page"), 0);
    EXPECT_TRUE(m_boxes.Saw(L"Error! File not Created in Function AddNewPage."));
    EXPECT_EQ(AddNewPage(L"..\\Escape"), 0);
    EXPECT_FALSE(PathExists(Install() + L"\\Bookmark\\Escape.htm"));
}

TEST_F(PageTemplate, DivVariantKeepsItsSpacersWhenTheFootLineIsOff) {
    SetSetting(L"FootLine", 1);
    CString text = BuildDivPageTemplate(L"N");
    EXPECT_NE(text.Find(L"<BR 2><BR 2><BR 2>" + kFooter + L"</DIV></body>\n</html>\n"), -1);
    SetSetting(L"Foot", 1);
    text = BuildDivPageTemplate(L"N");
    EXPECT_EQ(text.Right(40), CString(L"<BR 2><BR 2><BR 2></DIV></body>\n</html>\n").Right(40));
    EXPECT_NE(text.Find(L"<body background=\"#606666\" color =\"#606666\"><DIV>\n"), -1);
}

class PageMarkers : public StoreTest {};

TEST_F(PageMarkers, IndexFlagIsFoundOnlyNearTheHead) {
    struct Case { CString text; int flag; };
    const Case cases[] = {
        {L"<html id=tq1>\n<body>", 1},
        {L"<html id=tq0>\n", 2},
        {L"<HTML  ID=TQ1>\n", 1},
        {L"<html id=tq7>\n", 0},
        {L"<html>\n<body>\n", 0},
        {CString(L'x', 600) + L"\n<html id=tq1>\n", 0},
        {CString(L'x', 500) + L"\n<html id=tq1>\n", 1},
    };
    for (const Case& c : cases) {
        WritePage(PagePath(L"p"), c.text);
        EXPECT_EQ(GetPageIndexFlag(PagePath(L"p")), c.flag) << c.text.Left(40).GetString();
    }
    EXPECT_EQ(GetPageIndexFlag(PagePath(L"missing")), 0);
    EXPECT_TRUE(m_boxes.Saw(L"Cannot open " + PagePath(L"missing")));
}

TEST_F(PageMarkers, MarkerDigitIsSetWhereItIsReadAndNowhereElse) {
    struct Case { CString text; int flag; CString after; bool set; };
    const Case cases[] = {
        {L"<HTML  ID=TQ1>\n<body>x</body>", 2, L"<HTML  ID=TQ0>\n<body>x</body>", true},
        {L"<!-- <html id=tq7> -->\n<html id=tq0>\n<p><html id=tq0>", 1,
         L"<!-- <html id=tq7> -->\n<html id=tq1>\n<p><html id=tq0>", true},
        {L"<html>\n<body>", 1, L"<html>\n<body>", false},
        {CString(L'x', 600) + L"\n<html id=tq1>\n", 2, CString(L'x', 600) + L"\n<html id=tq1>\n", false},
    };
    for (const Case& c : cases) {
        CString text = c.text;
        EXPECT_EQ(SetPageIndexFlagOfText(text, c.flag), c.set) << c.text.Left(40).GetString();
        EXPECT_EQ(text, c.after);
        if (c.set) {
            EXPECT_EQ(GetPageIndexFlagOfText(text), c.flag);
        }
    }
}

TEST_F(PageMarkers, TagTextIsReducedToItsWords) {
    CString tag = L"<P>&gt;&gt;&gt;&nbsp; My&nbsp;News &lt;&lt;&lt;</P>";
    ExtractIndexTagText(tag);
    EXPECT_EQ(tag, L"My News");
    tag = L"x>>>Raw<<<y";
    ExtractIndexTagText(tag);
    EXPECT_EQ(tag, L"Raw");
}

TEST_F(PageMarkers, TagOverSeveralLinesIsJoinedAndAnOverlongOneDropped) {
    PageLines page({L"second part", L"third&lt;&lt;&lt; after", L"never read"});
    CString tag = L"&gt;&gt;&gt;first ";
    ReadIndexTagLines(page, tag);
    ExtractIndexTagText(tag);
    EXPECT_EQ(tag, L"first second partthird");
    CString next;
    EXPECT_TRUE(page.Next(next));
    EXPECT_EQ(next, L"never read");

    PageLines restart({L"junk", L"&gt;&gt;&gt;fresh", L"tag&lt;&lt;&lt;"});
    tag = L"&gt;&gt;&gt;old";
    ReadIndexTagLines(restart, tag);
    ExtractIndexTagText(tag);
    EXPECT_EQ(tag, L"freshtag");

    PageLines longTag({CString(L'a', 4001), L"&lt;&lt;&lt;"});
    tag = L"&gt;&gt;&gt;";
    ReadIndexTagLines(longTag, tag);
    EXPECT_EQ(tag, L"");
}

class PageFiles : public StoreTest {};

TEST_F(PageFiles, ReadingFoldsLineEndsAndHonoursEveryMark) {
    CString text;
    WriteFileBytes(Install() + L"\\a.htm", Utf16Bytes(L"a\r\nb\nc"));
    ASSERT_TRUE(ReadPageText(Install() + L"\\a.htm", text));
    EXPECT_EQ(text, L"a\nb\nc");
    WriteFileBytes(Install() + L"\\u.htm", "\xEF\xBB\xBF\xC3\xA9t\xC3\xA9\r\n");
    ASSERT_TRUE(ReadPageText(Install() + L"\\u.htm", text));
    EXPECT_EQ(text, L"\x00E9t\x00E9\n");
    EXPECT_FALSE(ReadPageText(Install() + L"\\none.htm", text));
    EXPECT_EQ(SplitPageLines(L"a\n\nb\n"), (std::vector<CString>{L"a", L"", L"b"}));
}

TEST_F(PageFiles, AFailedWriteLeavesThePageAsItWas) {
    CString path = PagePath(L"Kept");
    WritePage(path, L"<html id=tq1>\nold\n");
    // The page's folder refuses new files while a folder stands where the
    // sibling would go: simulate with a page path inside a missing folder.
    EXPECT_FALSE(WritePageText(Allpages() + L"\\missing\\x.htm", L"new"));
    EXPECT_FALSE(WritePageText(L"\\Bookmark\\Allpages\\x.htm", L"new"));
    EXPECT_FALSE(WritePageText(L"x.htm", L"new"));
    EXPECT_TRUE(WritePageText(path, L"new\n"));
    EXPECT_EQ(ReadPage(path), L"new\n");
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(Allpages() + L"\\*", &data);
    int entries = 0;
    do { ++entries; } while (FindNextFileW(find, &data));
    FindClose(find);
    EXPECT_EQ(entries, 3); // ".", ".." and the page: no sibling left behind
}

TEST_F(PageFiles, HtmlPagesAreFoundWhereTheHtmPathIsMissing) {
    WritePage(Allpages() + L"\\Old.html", L"x");
    EXPECT_EQ(ResolvePageFile(Allpages(), L"Old"), Allpages() + L"\\Old.html");
    EXPECT_EQ(ResolvePageFile(Allpages(), L"Old.html"), Allpages() + L"\\Old.html");
    EXPECT_EQ(ResolvePageFile(Allpages(), L"New"), Allpages() + L"\\New.htm");
    EXPECT_EQ(ResolveExistingPagePath(Allpages() + L"\\Old.htm"), Allpages() + L"\\Old.html");
    EXPECT_EQ(ResolveExistingPagePath(Allpages() + L"\\New.htm"), Allpages() + L"\\New.htm");
    EXPECT_FALSE(IsValidPageName(L"a\\..\\..\\b"));
    EXPECT_FALSE(IsValidPageName(L"a:b"));
    EXPECT_TRUE(IsValidPageName(L"Work\\Plans"));
}

class PageConversions : public StoreTest {};

TEST_F(PageConversions, WrapBodyInDivKeepsUtf8TextAndWrapsTheBody) {
    CString source = Install() + L"\\import.html", page = PagePath(L"Imported");
    WriteFileBytes(source, "<html><body bgcolor=red>\n<p>caf\xC3\xA9 \xE4\xB8\xAD</p>\n</body></html>\n");
    ASSERT_TRUE(WrapBodyInDiv(source, page));
    EXPECT_EQ(ReadPage(page), L"<html><BODY><DIV>\n<p>caf\x00E9 \x4E2D</p>\n</DIV></BODY></html>\n");
    EXPECT_FALSE(WrapBodyInDiv(Install() + L"\\none.html", page));
    EXPECT_TRUE(m_boxes.Saw(L"Create " + page + L" failed."));
}

TEST_F(PageConversions, AnsiAndUtf8ConversionsRewriteInPlace) {
    CString page = PagePath(L"P");
    WritePage(page, L"<html id=tq1>\r\nab\x00E9\n");
    EXPECT_EQ(ConvertFolderPages(Allpages(), true), 1);
    std::string bytes = ReadFileBytes(page);
    EXPECT_EQ(bytes.substr(0, 16), "<html id=tq1>\nab");
    EXPECT_EQ(bytes.size(), 18u);
    WritePage(page, L"\x4E2D\n");
    ASSERT_TRUE(ConvertFileToUtf8(page));
    EXPECT_EQ(ReadFileBytes(page), "\xE4\xB8\xAD\n");
}
