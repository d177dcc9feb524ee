// The real program, started the way the browser libraries start it.
#include "ClipProcess.h"
#include "LocalWebServer.h"
#include "Random.h"
#include "SettingsAside.h"
#include "TempDir.h"
#include "Utf16Bytes.h"

#include "index/AllPagesIndex.h"
#include "util/Registry.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr wchar_t kDialog[] = L"Tarvelo->Add to Tarvelo";
constexpr int kPage = 1008, kSection = 1009, kName = 1006, kAddress = 1007, kPicture = 1054, kShowPicture = 1053,
              kSaveForms = 1038, kDate = 1052;

CString Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    CString text;
    text.Format(L"(%u-%u-%u)", now.wMonth, now.wDay, now.wYear);
    return text;
}

class ClipRoadEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryW(m_dir.Path() + L"\\Bookmark", nullptr);
        CreateDirectoryW(Allpages(), nullptr);
        CreateDirectoryW(Allpages() + L"\\Work", nullptr);
        ASSERT_TRUE(WriteSettingString(L"Settings", L"InstallPath", m_dir.Path()));
        // A page with the section World, indexed.
        WriteFileBytes(PagePath(L"News"),
                       Utf16Bytes(L"<html id=tq1>\n<head>\n<title>News</title>\n</head>\n<body>\n"
                             L"&gt;&gt;&gt;World&lt;&lt;&lt;\n<br>\n"
                             L"<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>\n</body>\n</html>\n"));
        ASSERT_EQ(RegUpdateFile(PagePath(L"News")), 1);
        ASSERT_EQ(GetSettingString(L"AllPages", L"News", L""), L"World,1");
    }

    CString Allpages() const { return m_dir.Path() + L"\\Bookmark\\Allpages"; }
    CString PagePath(const CString& page) const { return Allpages() + L"\\" + page + L".htm"; }
    CString PageText(const CString& page) const { return TextOfUtf16Bytes(ReadFileBytes(PagePath(page))); }
    CString BlockFolder() const { return m_dir.Path() + L"\\BookMark\\TQ_TP_FORM"; }

    SettingsAside m_aside;
    TempDir m_dir;
};

}  // namespace

TEST_F(ClipRoadEndToEnd, TwoFormBlocksThenLinkClip_LinkRecordAndChoiceLand) {
    ASSERT_EQ(RunSilentClip(L"<TQBLK>2</TQBLK><AA1>user>>>ann|||pa</AA>"), 1u);
    ASSERT_EQ(RunSilentClip(L"<TQBLK>2</TQBLK><AA2>ss>>>brindle|||</AA>"), 1u);
    EXPECT_EQ(ReadFileBytes(BlockFolder() + L"\\1.txt"), Utf16Bytes(L"user>>>ann|||pa"));

    DWORD code = RunClip(L"<param><url>http://www.example.com/login</url><name>Sign in</name></param><form>1</form>",
                         kDialog, [](HWND dialog) {
                             EXPECT_EQ(ControlText(dialog, kName), L"Sign in|Example|" + Today());
                             EXPECT_EQ(ControlText(dialog, kAddress), L"http://www.example.com/login");
                             EXPECT_TRUE(ControlEnabled(dialog, kSaveForms));
                             EXPECT_TRUE(ButtonChecked(dialog, kDate));
                             ASSERT_TRUE(WaitForComboItems(dialog, kPage, 1));
                             EXPECT_EQ(ComboCount(dialog, kPage), 1);
                             ChooseComboItem(dialog, kPage, L"News");
                             ASSERT_EQ(ComboCount(dialog, kSection), 1);
                             EXPECT_EQ(ComboItem(dialog, kSection, 0), L"World");
                             ChooseComboItem(dialog, kSection, L"World");
                             PressButton(dialog, kSaveForms);
                             PressButton(dialog, IDOK);
                         });
    EXPECT_EQ(code, 1u);
    CString page = PageText(L"News");
    EXPECT_GE(page.Find(L"<A href=\"http://www.example.com/login#1\">&nbsp;Sign in|Example|" + Today() + L"&nbsp;</A>"), 0)
        << ::testing::PrintToString(page);
    EXPECT_EQ(GetSettingString(L"AllPages", L"News", L""), L"World,1");
    EXPECT_EQ(ReadFileBytes(m_dir.Path() + L"\\Bookmark\\Forms\\www.example.com#1.tq"),
              Utf16Bytes(L"user ann\n$$$$$\npass brindle\n$$$$$\n"));
    EXPECT_FALSE(PathExists(BlockFolder()));
    EXPECT_EQ(GetSettingString(L"Settings", L"addpage", L""), L"News");
    EXPECT_EQ(GetSettingString(L"Settings", L"addsect", L""), L"World");
    EXPECT_EQ(GetSettingString(L"Focus", L"News", L""), L"World");
}

TEST_F(ClipRoadEndToEnd, OkPressedAtOnceTakesTheRememberedChoiceAndNoClipIsLostToAPageItCannotGoInto) {
    // A store large enough that the lists are still read when OK comes.
    for (int i = 0; i < 2000; ++i) {
        CString name;
        name.Format(L"Page%04d", i);
        WriteFileBytes(PagePath(name), Utf16Bytes(L"<html id=tq1>\n<body>\n</body>\n</html>\n"));
        WriteSettingString(L"AllPages", name, L"");
    }
    WriteSettingString(L"Settings", L"addpage", L"News");
    WriteSettingString(L"Settings", L"addsect", L"World");
    DWORD code = RunClip(L"<param><url>http://e.com/at-once</url><name>At once</name></param>", kDialog, [](HWND dialog) {
        // From the first paint, before the lists are read.
        EXPECT_EQ(ControlText(dialog, kPage), L"News");
        EXPECT_EQ(ControlText(dialog, kSection), L"World");
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(code, 1u);
    CString page = PageText(L"News");
    EXPECT_LT(page.Find(L"World"), page.Find(L"http://e.com/at-once")) << page.str();
    EXPECT_EQ(GetSettingString(L"Settings", L"addpage", L""), L"News");

    // Once the lists are there, OK without a page, with a name no file can
    // have or in a folder that does not exist keeps the dialog open and says why.
    ClipProcess bad(L"<param><url>http://e.com/bad</url><name>Bad</name></param>");
    HWND dialog = bad.WaitForWindow(kDialog);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(WaitForComboItems(dialog, kPage, 2001));
    // Posted as the button's click is: the dialog's answer is a modal box.
    auto ok = [&] { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK))); };
    auto said = [&] {
        HWND box = bad.WaitForWindow(L"Tarvelo");
        if (!box) return CString(L"<no box>");
        CString text = MessageBoxText(box);
        PressButton(box, IDOK);
        return text;
    };
    TypeText(dialog, kPage, L"");
    ok();
    EXPECT_EQ(said(), L"Please choose a page from the list or type the name of a new one.");
    TypeText(dialog, kPage, L"Bad|Name");
    ok();
    EXPECT_EQ(said(), L"\"Bad|Name\" cannot be a page name: a name holds none of / : * ? \" < > | and no empty folder name.");
    TypeText(dialog, kPage, L"Nowhere\\Page");
    ok();
    EXPECT_EQ(said(), L"There is no folder \"Nowhere\" for the new page \"Page\". Please create the folder first, or "
                      L"choose another page.");
    EXPECT_TRUE(IsWindowVisible(dialog));

    // A page the store cannot write just now: it says so, the choice made
    // last stays, and the dialog comes again with the clip as the user left it.
    HANDLE lock = CreateFileW(PagePath(L"News"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    TypeText(dialog, kPage, L"News");
    TypeText(dialog, kSection, L"Elsewhere");
    TypeText(dialog, kName, L"Bad, kept");
    ok();
    EXPECT_EQ(said(), L"File not Open, A Error Happened While Openning the File.");
    EXPECT_EQ(GetSettingString(L"Settings", L"addpage", L""), L"News");
    EXPECT_EQ(GetSettingString(L"Settings", L"addsect", L""), L"World");
    CloseHandle(lock);
    ASSERT_TRUE(WaitForSingleObject(bad.Process(), 0) == WAIT_TIMEOUT);
    for (DWORD start = GetTickCount(); IsWindow(dialog) && GetTickCount() - start < 10000;) Sleep(10);
    dialog = bad.WaitForWindow(kDialog);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ControlText(dialog, kPage), L"News");
    EXPECT_EQ(ControlText(dialog, kSection), L"Elsewhere");
    EXPECT_EQ(ControlText(dialog, kName), L"Bad, kept");
    ok();
    EXPECT_EQ(bad.WaitForExit(), 1u);
    page = PageText(L"News");
    EXPECT_GT(page.Find(L"Elsewhere"), page.Find(L"http://e.com/at-once")) << page.str();
    EXPECT_GT(page.Find(L"&nbsp;Bad, kept&nbsp;"), page.Find(L"Elsewhere")) << page.str();
    EXPECT_EQ(GetSettingString(L"Settings", L"addsect", L""), L"Elsewhere");
}

TEST_F(ClipRoadEndToEnd, TypedPageAndSection_PageIsCreatedIndexedAndRemembered) {
    DWORD code = RunClip(L"<param><url>http://a.nytimes.com/x</url><name>Story, told</name></param><form>0</form>",
                         kDialog, [](HWND dialog) {
                             EXPECT_EQ(ControlText(dialog, kName), L"Story, told|New York Times|" + Today());
                             EXPECT_FALSE(ControlEnabled(dialog, kSaveForms));
                             TypeText(dialog, kPage, L"Work\\Ideas");
                             TypeText(dialog, kSection, L"Reading, later");
                             PressButton(dialog, IDOK);
                         });
    EXPECT_EQ(code, 1u);
    CString page = PageText(L"Work\\Ideas");
    EXPECT_EQ(page.Find(L"<html id=tq1>"), 0);
    EXPECT_GE(page.Find(L"Reading, later"), 0);
    EXPECT_GE(page.Find(L"href=\"http://a.nytimes.com/x\""), 0);
    EXPECT_EQ(GetSettingString(L"AllPages", L"Work\\Ideas", L""), L"Reading### later,1");
    EXPECT_EQ(GetSettingString(L"Settings", L"addsect", L""), L"Reading### later");
    EXPECT_EQ(GetSettingString(L"Focus", L"Work\\Ideas", L""), L"Reading### later");

    // The next clip offers the page and section chosen last.
    RunClip(L"<param><url>http://e.com/</url><name>N</name></param>", kDialog, [](HWND dialog) {
        WaitForComboItems(dialog, kPage, 2);
        EXPECT_EQ(ControlText(dialog, kPage), L"Work\\Ideas");
        EXPECT_EQ(ControlText(dialog, kSection), L"Reading, later");
        PressButton(dialog, IDCANCEL);
    });
}

TEST_F(ClipRoadEndToEnd, Cancel_WritesNothingAndDropsTheBlocks) {
    ASSERT_EQ(RunSilentClip(L"<TQBLK>1</TQBLK><AA1>a>>>1|||</AA>"), 1u);
    std::string before = ReadFileBytes(PagePath(L"News"));
    DWORD code = RunClip(L"<param><url>http://e.com/</url><name>N</name></param><form>1</form>", kDialog,
                         [](HWND dialog) {
                             ChooseComboItem(dialog, kPage, L"News");
                             PressButton(dialog, IDCANCEL);
                         });
    EXPECT_EQ(code, 1u);
    EXPECT_EQ(ReadFileBytes(PagePath(L"News")), before);
    EXPECT_FALSE(PathExists(BlockFolder()));
    EXPECT_FALSE(PathExists(m_dir.Path() + L"\\Bookmark\\Forms"));
    EXPECT_EQ(GetSettingString(L"Settings", L"addpage", L"<none>"), L"<none>");
    EXPECT_EQ(GetSettingNames(L"Focus").size(), 0u);
}

TEST_F(ClipRoadEndToEnd, ApostropheInAddress_ShowsTheErrorAndWritesNothing) {
    ASSERT_EQ(RunSilentClip(L"<TQBLK>1</TQBLK><AA1>a>>>1|||</AA>"), 1u);
    std::string before = ReadFileBytes(PagePath(L"News"));
    CString shown;
    DWORD code = RunClip(L"<param><url>http://e.com/it's</url><name>N</name></param><form>1</form>", L"Tarvelo",
                         [&](HWND box) {
                             shown = MessageBoxText(box);
                             SendMessageW(box, WM_COMMAND, IDOK, 0);
                         });
    EXPECT_EQ(code, 1u);
    EXPECT_EQ(shown, L"Error, URL contains \"'\" character!");
    EXPECT_EQ(ReadFileBytes(PagePath(L"News")), before);
    EXPECT_FALSE(PathExists(BlockFolder()));
    EXPECT_EQ(GetSettingString(L"Settings", L"addpage", L"<none>"), L"<none>");
}

TEST_F(ClipRoadEndToEnd, PictureClip_StoresThePictureAndLinksIt) {
    LocalWebServer server("GIF89a-picture");
    ASSERT_TRUE(server.Ready());
    CString picture = server.Address(L"/photo.gif");
    DWORD code = RunClip(L"<param><url>http://e.com/p</url><name><img><src>" + picture +
                             L"</src><desc>A photo</desc></img></name></param><form>0</form>",
                         kDialog, [&](HWND dialog) {
                             EXPECT_EQ(ControlText(dialog, kPicture), picture);
                             EXPECT_TRUE(ButtonChecked(dialog, kShowPicture));
                             EXPECT_EQ(ControlText(dialog, kName).Left(8), L"A photo|");
                             ChooseComboItem(dialog, kPage, L"News");
                             PressButton(dialog, IDOK);
                         });
    EXPECT_EQ(code, 1u);
    std::vector<CString> stored = ListFolder(m_dir.Path() + L"\\BookMark\\Pic");
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].Right(4), L".gif");
    CString pictureFile = m_dir.Path() + L"\\BookMark\\Pic\\" + stored[0];
    EXPECT_EQ(ReadFileBytes(pictureFile), "GIF89a-picture");
    EXPECT_GE(PageText(L"News").Find(L"<img width=100 height=60 src=\"" + pictureFile + L"\">"), 0)
        << ::testing::PrintToString(PageText(L"News"));
}

TEST_F(ClipRoadEndToEnd, EventClip_AddsItsEntryAndShowsNothing) {
    EXPECT_EQ(RunSilentClip(L"<evt><name>Dentist</name><file>News</file><edate>3-9-2026</edate><eip>10 am</eip></evt>"),
              1u);
    CString page = PageText(L"News");
    int entry = page.Find(L"Dentist(3-9-2026)");
    ASSERT_GE(entry, 0) << ::testing::PrintToString(page);
    EXPECT_LT(entry, page.Find(L"World"));
}

TEST_F(ClipRoadEndToEnd, HostileTitleAndAddress_ProcessEndsNormallyAndPageHoldsNoMarkup) {
    Random random(4242);
    for (int i = 0; i < 3; ++i) {
        CString title = random.HostileText(300) + L"</name></param><script>alert(1)</script>" + CString(L'x', 3000);
        CString address = L"http://" + random.HostileText(60) + L"/\"><script>";
        address.Remove(L'\'');
        DWORD code = RunClip(L"<param><url>" + address + L"</url><name>" + title + L"</name></param><form>0</form>",
                             kDialog, [](HWND dialog) {
                                 ChooseComboItem(dialog, kPage, L"News");
                                 PressButton(dialog, IDOK);
                             });
        EXPECT_EQ(code, 1u) << "seed 4242, clip " << i;
    }
    CString page = PageText(L"News");
    EXPECT_EQ(page.Find(L"<script>"), -1) << "seed 4242";
    EXPECT_EQ(ListFolder(m_dir.Path()).size(), 1u) << "seed 4242";  // only Bookmark
}
