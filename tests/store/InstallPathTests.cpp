#include "StoreFixture.h"

#include "forms/FormRecords.h"
#include "install/InstallPath.h"
#include "links/LinkInsertion.h"
#include "pages/PageTemplate.h"
#include "util/Registry.h"

class InstallPath : public StoreTest {};

TEST_F(InstallPath, IsReadAfreshAndWholeWhateverItsLength) {
    EXPECT_EQ(GetInstallPath(), Install());
    EXPECT_EQ(GetAllpagesPath(), Install() + L"\\Bookmark\\Allpages");
    CString longPath = L"C:\\" + CString(L'p', 252);
    ASSERT_EQ(longPath.GetLength(), 255);
    WriteSettingString(L"Settings", L"InstallPath", longPath);
    EXPECT_EQ(GetInstallPath(), longPath);
    CString longer = L"C:\\" + CString(L'q', 1000);
    WriteSettingString(L"Settings", L"InstallPath", longer);
    EXPECT_EQ(GetInstallPath(), longer);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(InstallPath, MissingKeyOrValueIsReportedAndGivesAnEmptyPath) {
    DeleteRegistryTree(HKEY_CURRENT_USER, GetSettingsKeyPath(L"Settings"));
    EXPECT_EQ(GetAllpagesPath(), L"\\Bookmark\\Allpages");
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text, L"Error, cannot open hKEY!");
    EXPECT_EQ(m_boxes.Boxes()[0].caption, L"Error");

    WriteSettingInt(L"Settings", L"InstallPath", 5); // a value of the wrong type
    EXPECT_EQ(GetInstallPath(), L"");
    EXPECT_TRUE(m_boxes.Saw(L"Error, cannot QUERY InstallPath! Reinstall may fix this problem"));
}

TEST_F(InstallPath, AnsiPathReplacesCharactersOutsideTheCodePage) {
    WriteSettingString(L"Settings", L"InstallPath", L"C:\\Notes\x4E2D");
    CStringA narrow = GetAllpagesPathA();
    EXPECT_EQ(narrow.Left(8), "C:\\Notes");
    EXPECT_EQ(narrow.Right(18), "\\Bookmark\\Allpages");
    EXPECT_EQ(narrow.GetLength(), 9 + 18);
}

TEST_F(InstallPath, EmptyOrRelativeInstallPathStopsEveryWritingOperation) {
    for (const wchar_t* bad : {L"", L"Tarvelo", L"\\"}) {
        WriteSettingString(L"Settings", L"InstallPath", bad);
        EXPECT_EQ(AddNewPage(L"Stray"), 0) << bad;
        EXPECT_EQ(AddLinkToPage(L"Stray", L"News", L"t", L"http://x/", L""), 0) << bad;
        EXPECT_EQ(AppendEventToPage(L"Stray", L"e", L"1-2-2020", L"t"), 0) << bad;
        CString address = L"http://x/y", path;
        EXPECT_EQ(NewFormRecordPathForUrl(address, path), 0) << bad;
        EXPECT_EQ(address, L"http://x/y");
        EXPECT_EQ(NewFormRecordPath(path), 0) << bad;
    }
    EXPECT_TRUE(m_boxes.Saw(L"Error! File not Created in Function AddNewPage."));
    EXPECT_FALSE(PathExists(L"\\Bookmark\\Allpages\\Stray.htm"));
    EXPECT_FALSE(PathExists(L"\\Bookmark\\Forms"));
}
