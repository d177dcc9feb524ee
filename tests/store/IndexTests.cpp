#include "StoreFixture.h"

#include "index/AllPagesIndex.h"
#include "pages/PageFile.h"
#include "util/Registry.h"

#include "Random.h"

#include <windows.h>

class AllPagesIndex : public StoreTest {};

TEST_F(AllPagesIndex, ValueListsTagsWithTheColumnsOfTheirTable) {
    WritePage(PagePath(L"Mixed"), L"<html id=tq1>\n<body>\n"
                                  L"<P>&gt;&gt;&gt;News&lt;&lt;&lt;</P>\n"
                                  L"<TABLE id=t col=\"3\">\n<TR><TD>&gt;&gt;&gt;a,b&lt;&lt;&lt;</TD>\n"
                                  L"</TABLE>\n"
                                  L"<P> >>>After;Table<<< &gt;&gt;&gt;Second&lt;&lt;&lt;</P>\n"
                                  L"</TABLE></table>\n"
                                  L"&gt;&gt;&gt;Last&lt;&lt;&lt;\n</body></html>\n");
    EXPECT_EQ(RegUpdateFile(PagePath(L"Mixed")), 1);
    EXPECT_EQ(IndexValue(L"Mixed"), L"News,1;a###b,3;After|||Table,1;Second,1;Last,1");
}

TEST_F(AllPagesIndex, TagOverSeveralLinesIsOneEntry) {
    WritePage(PagePath(L"Multi"), L"<html id=tq1>\n&gt;&gt;&gt;Long\nstory&lt;&lt;&lt;\n&gt;&gt;&gt;Next&lt;&lt;&lt;\n");
    RegUpdateFile(PagePath(L"Multi"));
    EXPECT_EQ(IndexValue(L"Multi"), L"Longstory,1;Next,1");
}

TEST_F(AllPagesIndex, UnindexedOrUnmarkedPagesGetTheEmptyValue) {
    WritePage(PagePath(L"Off"), L"<html id=tq0>\n&gt;&gt;&gt;News&lt;&lt;&lt;\n");
    EXPECT_EQ(RegUpdateFile(PagePath(L"Off")), 0);
    EXPECT_EQ(IndexValue(L"Off"), L"");
    WritePage(PagePath(L"Plain"), L"<html>\n&gt;&gt;&gt;News&lt;&lt;&lt;\n");
    EXPECT_EQ(RegUpdateFile(PagePath(L"Plain")), 0);
    EXPECT_EQ(IndexValue(L"Plain"), L"");
}

TEST_F(AllPagesIndex, MissingPageIsReportedAndTheIndexLeftAlone) {
    EXPECT_EQ(RegUpdateFile(PagePath(L"Ghost")), 0);
    ASSERT_EQ(m_boxes.Boxes().size(), 2u);
    EXPECT_EQ(m_boxes.Boxes()[0].text, L"File not exist in RegUpdateFile");
    EXPECT_EQ(m_boxes.Boxes()[1].text, PagePath(L"Ghost"));
    EXPECT_EQ(IndexValue(L"Ghost"), L"<missing>");
}

TEST_F(AllPagesIndex, HtmlPagesKeepTheirExtensionAndAreFoundByTheHtmPath) {
    CreateDirectoryW(Allpages() + L"\\Work", nullptr);
    WritePage(Allpages() + L"\\Work\\Old.html", L"<html id=tq1>\n&gt;&gt;&gt;T&lt;&lt;&lt;\n");
    EXPECT_EQ(RegUpdateFile(Allpages() + L"\\Work\\Old.html"), 1);
    EXPECT_EQ(IndexValue(L"Work\\Old.html"), L"T,1");
    DeleteRegistryTree(HKEY_CURRENT_USER, GetSettingsKeyPath(L"AllPages"));
    EXPECT_EQ(RegUpdateFile(Allpages() + L"\\Work\\Old.htm"), 1);
    EXPECT_EQ(IndexValue(L"Work\\Old.html"), L"T,1");
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(AllPagesIndex, FilesOutsideTheAllpagesFolderAreNeverListed) {
    const CString outside[] = {Install() + L"\\Broken2.htm", Allpages() + L"\\..\\Broken3.htm",
                               Allpages() + L" b\\Broken4.htm"};
    CreateDirectoryW(Allpages() + L" b", nullptr);
    for (const CString& path : outside) {
        WritePage(path, L"<html id=tq1>\n&gt;&gt;&gt;News&lt;&lt;&lt;\n");
        EXPECT_EQ(RegUpdateFile(path), 0) << path.GetString();
        IndexPageTables(path);
    }
    EXPECT_TRUE(GetSettingNames(L"AllPages").empty());
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(AllPagesIndex, IndexAndUnindexRewriteTheMarkerAndTheValue) {
    CString page = PagePath(L"Flip");
    WritePage(page, L"<html>\r\n<body>&gt;&gt;&gt;A&lt;&lt;&lt;</body>\r\n</html>");
    EXPECT_EQ(IndexPage(page), 1);
    EXPECT_EQ(ReadPage(page), L"<html id=tq1>\n<body>&gt;&gt;&gt;A&lt;&lt;&lt;</body>\n</html>\n");
    EXPECT_EQ(IndexValue(L"Flip"), L"A,1");
    EXPECT_EQ(UnindexPage(page), 1);
    EXPECT_EQ(ReadPage(page).Left(14), L"<html id=tq0>\n");
    EXPECT_EQ(IndexValue(L"Flip"), L"");
    EXPECT_EQ(IndexPage(page), 1);
    EXPECT_EQ(ReadPage(page).Left(14), L"<html id=tq1>\n");
    WritePage(page, L"<HTML ID=tq>\n");
    EXPECT_EQ(UnindexPage(page), 1);
    EXPECT_EQ(ReadPage(page), L"<html id=tq0>\n");
    EXPECT_EQ(IndexPage(PagePath(L"Nothing")), 0);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(AllPagesIndex, PageThatCannotBeReadIsLeftUntouched) {
    CString page = PagePath(L"Busy");
    WritePage(page, L"<html id=tq0>\n");
    HANDLE held = CreateFileW(page, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(IndexPage(page), 0);
    EXPECT_TRUE(m_boxes.Saw(L"Error! Cleanfile cannot open file.\n" + page));
    CloseHandle(held);
    EXPECT_EQ(ReadPage(page), L"<html id=tq0>\n");
}

TEST_F(AllPagesIndex, TableRebuildKeepsTheTagEntries) {
    CString page = PagePath(L"Renamed");
    WritePage(page, L"<html id=tq1>\n&gt;&gt;&gt;News&lt;&lt;&lt;\n"
                    L"<TABLE name=\"Links\" col=\"2\">\n</TABLE>\n");
    IndexPageTables(page);
    EXPECT_EQ(IndexValue(L"Renamed"), L"News,1;Links,2");
    IndexPageTables(page);
    EXPECT_EQ(IndexValue(L"Renamed"), L"News,1;Links,2");
}

TEST_F(AllPagesIndex, WalksPassOverHiddenEntriesAndOtherFiles) {
    CreateDirectoryW(Allpages() + L"\\Work", nullptr);
    CreateDirectoryW(Allpages() + L"\\Secret", nullptr);
    CreateDirectoryW(Allpages() + L"\\.git", nullptr);
    SetFileAttributesW(Allpages() + L"\\Secret", FILE_ATTRIBUTE_HIDDEN);
    const CString page = L"<html>\n&gt;&gt;&gt;T&lt;&lt;&lt;\n";
    WritePage(Allpages() + L"\\Work\\Plans.htm", page);
    WritePage(Allpages() + L"\\Work\\Big.HTML", page);
    WritePage(Allpages() + L"\\Work\\note.txt", page);
    WritePage(Allpages() + L"\\Secret\\In.htm", page);
    WritePage(Allpages() + L"\\.git\\In.htm", page);
    WritePage(Allpages() + L"\\Hidden.htm", page);
    SetFileAttributesW(Allpages() + L"\\Hidden.htm", FILE_ATTRIBUTE_HIDDEN);

    IndexFolder(Allpages());
    EXPECT_EQ(IndexValue(L"Work\\Plans"), L"T,1");
    EXPECT_EQ(IndexValue(L"Work\\Big.HTML"), L"T,1");
    EXPECT_EQ(IndexValue(L"Secret\\In"), L"<missing>");
    EXPECT_EQ(IndexValue(L".git\\In"), L"<missing>");
    EXPECT_EQ(IndexValue(L"Hidden"), L"<missing>");
    EXPECT_EQ(IndexValue(L"Work\\note.txt"), L"<missing>");
    EXPECT_EQ(ReadPage(Allpages() + L"\\Secret\\In.htm"), page);

    UnindexFolder(Allpages() + L"\\Work");
    EXPECT_EQ(IndexValue(L"Work\\Plans"), L"");
    EXPECT_EQ(ReadPage(Allpages() + L"\\Work\\note.txt"), page);
}

// A read-only page is named and left as it is; the walk goes on with the
// other pages and names every page it could not rewrite in one message.
TEST_F(AllPagesIndex, ReadOnlyPagesAreNamedAndTheOtherPagesDone) {
    CreateDirectoryW(Allpages() + L"\\Work", nullptr);
    const CString page = L"<html id=tq0>\n&gt;&gt;&gt;T&lt;&lt;&lt;\n";
    for (const wchar_t* name : {L"A", L"Work\\Fixed", L"Work\\B", L"Locked"}) WritePage(PagePath(name), page);
    for (const wchar_t* name : {L"Work\\Fixed", L"Locked"})
        ASSERT_TRUE(SetFileAttributesW(PagePath(name), FILE_ATTRIBUTE_READONLY));

    EXPECT_EQ(IndexPage(PagePath(L"Locked")), 0);
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text, L"Error! Cleanfile cannot open file.\n" + PagePath(L"Locked"));

    IndexFolder(Allpages());
    EXPECT_EQ(IndexValue(L"A"), L"T,1");
    EXPECT_EQ(IndexValue(L"Work\\B"), L"T,1");
    EXPECT_EQ(ReadPage(PagePath(L"Work\\Fixed")), page);
    EXPECT_EQ(ReadPage(PagePath(L"Locked")), page);
    ASSERT_EQ(m_boxes.Boxes().size(), 2u);
    CString named = m_boxes.Boxes()[1].text;
    EXPECT_EQ(named.Left(35), L"Error! Cleanfile cannot open file.\n");
    EXPECT_NE(named.Find(L"\n" + PagePath(L"Work\\Fixed")), -1) << named.str();
    EXPECT_NE(named.Find(L"\n" + PagePath(L"Locked")), -1) << named.str();
    EXPECT_EQ(named.Find(PagePath(L"A")), -1) << named.str();

    UnindexFolder(Allpages() + L"\\Work");
    EXPECT_EQ(IndexValue(L"Work\\B"), L"");
    ASSERT_EQ(m_boxes.Boxes().size(), 3u);
    EXPECT_EQ(m_boxes.Boxes()[2].text, L"Error! Cleanfile cannot open file.\n" + PagePath(L"Work\\Fixed"));
    for (const wchar_t* name : {L"Work\\Fixed", L"Locked"}) SetFileAttributesW(PagePath(name), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(AllPagesIndex, RebuildRefreshesEveryPageAndKeepsOldValues) {
    CreateDirectoryW(Allpages() + L"\\A", nullptr);
    WritePage(Allpages() + L"\\A\\One.htm", L"<html id=tq1>\n&gt;&gt;&gt;X&lt;&lt;&lt;\n");
    WritePage(Allpages() + L"\\Two.htm", L"<html id=tq1>\n&gt;&gt;&gt;Y&lt;&lt;&lt;\n&gt;&gt;&gt;Z&lt;&lt;&lt;\n");
    WriteSettingString(L"AllPages", L"Two", L"stale,1");
    WriteSettingString(L"AllPages", L"Deleted", L"Old,1");
    EXPECT_EQ(RebuildAllPagesIndex(), 1);
    EXPECT_EQ(IndexValue(L"A\\One"), L"X,1");
    EXPECT_EQ(IndexValue(L"Two"), L"Y,1;Z,1");
    EXPECT_EQ(IndexValue(L"Deleted"), L"Old,1");
    EXPECT_TRUE(m_boxes.Boxes().empty());

    WriteSettingString(L"Settings", L"InstallPath", L"");
    EXPECT_EQ(RebuildAllPagesIndex(), 0);
}

// After a move the values of the old paths are gone (those of pages no longer
// there too, in any letter case), every page has its value, and the other
// old values stay: as the removal and the rebuild one after the other.
TEST_F(AllPagesIndex, ReindexAfterAMoveDropsTheOldPathsAndWritesEveryPage) {
    CreateDirectoryW(Allpages() + L"\\To", nullptr);
    CreateDirectoryW(Allpages() + L"\\To\\From", nullptr);
    WritePage(Allpages() + L"\\To\\From\\One.htm", L"<html id=tq1>\n&gt;&gt;&gt;X&lt;&lt;&lt;\n");
    WritePage(Allpages() + L"\\Stays.htm", L"<html id=tq1>\n&gt;&gt;&gt;Y&lt;&lt;&lt;\n");
    WriteSettingString(L"AllPages", L"From\\One", L"X,1");
    WriteSettingString(L"AllPages", L"from\\Gone", L"Old,1");
    WriteSettingString(L"AllPages", L"FromElsewhere", L"Kept,1");
    WriteSettingString(L"AllPages", L"Stays", L"stale,1");
    WriteSettingString(L"AllPages", L"Deleted", L"Old,1");
    ReindexAfterMove(Allpages(), Allpages() + L"\\From", true);
    EXPECT_EQ(IndexValue(L"From\\One"), L"<missing>");
    EXPECT_EQ(IndexValue(L"From\\Gone"), L"<missing>");
    EXPECT_EQ(IndexValue(L"To\\From\\One"), L"X,1");
    EXPECT_EQ(IndexValue(L"FromElsewhere"), L"Kept,1");
    EXPECT_EQ(IndexValue(L"Stays"), L"Y,1");
    EXPECT_EQ(IndexValue(L"Deleted"), L"Old,1");

    // A page: its own value alone goes.
    MoveFileW(Allpages() + L"\\Stays.htm", Allpages() + L"\\To\\Stays.htm");
    WriteSettingString(L"AllPages", L"Stays\\Below", L"Kept,1");
    ReindexAfterMove(Allpages(), Allpages() + L"\\Stays.htm", false);
    EXPECT_EQ(IndexValue(L"Stays"), L"<missing>");
    EXPECT_EQ(IndexValue(L"Stays\\Below"), L"Kept,1");
    EXPECT_EQ(IndexValue(L"To\\Stays"), L"Y,1");
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(AllPagesIndex, ExtendingAValueEscapesTheSection) {
    EXPECT_TRUE(ExtendAllPagesValue(L"P", L"a,b;c"));
    EXPECT_EQ(IndexValue(L"P"), L"a###b|||c,1");
    EXPECT_TRUE(ExtendAllPagesValue(L"P", L"d"));
    EXPECT_EQ(IndexValue(L"P"), L"a###b|||c,1;d,1");
}

TEST_F(AllPagesIndex, MalformedPagesNeverBreakTheRebuild) {
    Random random(77);
    for (int i = 0; i < 40; ++i) {
        CString path;
        path.Format(L"%ls\\Junk%d.htm", Allpages().GetString(), i);
        std::string bytes = random.AnyBytes(0, 3000);
        if (i % 2) {
            CString hostile = L"<html id=tq1>\n";
            for (int l = 0; l < 20; ++l) hostile += random.HostileText(200) + (random.Chance(50) ? L"&gt;&gt;&gt;" : L"") + L"\n";
            bytes = Utf16Bytes(hostile);
        }
        WriteFileBytes(path, bytes);
    }
    EXPECT_EQ(RebuildAllPagesIndex(), 1);
    for (int i = 1; i < 40; i += 2) {
        CString name;
        name.Format(L"Junk%d", i);
        EXPECT_NE(IndexValue(name), L"<missing>");
    }
}

TEST_F(AllPagesIndex, RebuildOverManyFoldersGivesEachPageItsOwnValue) {
    Random random(1712);
    const CString markup[] = {L"<P>&gt;&gt;&gt;", L"&lt;&lt;&lt;</P>", L"<TABLE col=\"3\">", L"</TABLE>", L" >>>",
                              L"<<< ", L"<A href=\"x\">&gt;&gt;&gt;no&lt;&lt;&lt;</A>", L"\n", L"a,b;c"};
    std::vector<CString> pages;
    for (int f = 0; f < 5; ++f) {
        CString folder;
        folder.Format(L"%ls\\F%d", Allpages().GetString(), f);
        CreateDirectoryW(folder, nullptr);
        for (int p = 0; p < 30; ++p) {
            CString text = random.Chance(15) ? L"<html id=tq0>\n" : L"<html id=tq1>\n";
            for (int piece = random.Int(0, 40); piece > 0; --piece)
                text += random.Chance(60) ? markup[random.Int(0, 8)] : random.FromAlphabet(L"News 12", 1, 6);
            CString path;
            path.Format(L"%ls\\P%d.htm", folder.GetString(), p);
            WritePage(path, text);
            pages.push_back(path);
        }
    }
    EXPECT_EQ(RebuildAllPagesIndex(), 1);
    for (const CString& path : pages) {
        CString text = ReadPage(path);
        CString expected = text.Left(13) == L"<html id=tq1>" ? BuildAllPagesValue(text) : CString();
        EXPECT_EQ(IndexValue(GetAllPagesValueName(Allpages(), path)), expected) << path.GetString();
    }
    EXPECT_EQ(GetSettingNames(L"AllPages").size(), pages.size());
    EXPECT_TRUE(m_boxes.Boxes().empty());
}
