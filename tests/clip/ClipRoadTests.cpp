#include "clip/ClipRoad.h"
#include "clip/ClipTitle.h"

#include "LocalWebServer.h"
#include "MessageBoxRecorder.h"
#include "PrivateRegistry.h"
#include "Random.h"
#include "TempDir.h"
#include "Utf16Bytes.h"

#include "util/Registry.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

SYSTEMTIME March7() {
    SYSTEMTIME t{};
    t.wYear = 2026;
    t.wMonth = 3;
    t.wDay = 7;
    return t;
}

class ClipRoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryW(Install(), nullptr);
        CreateDirectoryW(Install() + L"\\Bookmark", nullptr);
        CreateDirectoryW(Install() + L"\\Bookmark\\Allpages", nullptr);
        ASSERT_TRUE(WriteSettingString(L"Settings", L"InstallPath", Install()));
    }

    // The install path lies one level below the test's own folder, so that
    // anything written beside it shows.
    CString Install() const { return m_dir.Path() + L"\\install"; }
    CString PagePath(const CString& page) const { return Install() + L"\\Bookmark\\Allpages\\" + page + L".htm"; }
    CString BlockFolder() const { return Install() + L"\\BookMark\\TQ_TP_FORM"; }
    CString PageText(const CString& page) const { return TextOfUtf16Bytes(ReadFileBytes(PagePath(page))); }

    // Answers the dialog: the offered values, then the given page and section.
    AskForLinkPlacement Answer(const CString& page, const CString& section, bool keepForms = false,
                               bool showPicture = false) {
        return [=, this](const LinkClip& offered, LinkPlacementChoice& choice) {
            m_offered = offered;
            ++m_asked;
            choice.title = offered.title;
            choice.address = offered.address;
            choice.pictureAddress = offered.pictureAddress;
            choice.page = page;
            choice.section = section;
            choice.keepForms = keepForms;
            choice.showPicture = showPicture;
            return true;
        };
    }

    PrivateRegistry m_registry;
    TempDir m_dir;
    MessageBoxRecorder m_boxes;
    LinkClip m_offered;
    int m_asked = 0;
};

}  // namespace

TEST_F(ClipRoadTest, LinkClip_WritesLinkIntoNewSectionAndRemembersChoice) {
    TakeLinkClip(L"x.exe <param><url>http://a.example.com/story</url><name>Big news</name></param><form>0</form>",
                 Answer(L"News", L"World, today"), March7());
    EXPECT_EQ(m_offered.title, L"Big news|Example|(3-7-2026)");
    CString page = PageText(L"News");
    EXPECT_GE(page.Find(L"<A href=\"http://a.example.com/story\">&nbsp;Big news|Example|(3-7-2026)&nbsp;</A>"), 0) << ::testing::PrintToString(page);
    EXPECT_GE(page.Find(L"&gt;&gt;&gt;World, today&lt;&lt;&lt;"), 0) << ::testing::PrintToString(page);
    EXPECT_EQ(GetSettingString(L"AllPages", L"News", L"<missing>"), L"World### today,1");
    EXPECT_EQ(GetSettingString(L"Settings", L"addpage", L""), L"News");
    EXPECT_EQ(GetSettingString(L"Settings", L"addsect", L""), L"World### today");
    EXPECT_EQ(GetSettingString(L"Focus", L"News", L""), L"World### today");
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(ClipRoadTest, LinkClip_OptionsOffDoNotDecorateTheTitle) {
    WriteSettingInt(L"Settings", L"AddTime", 1);
    WriteSettingInt(L"Settings", L"AddSource", 1);
    TakeLinkClip(L"<param><url>http://example.com/</url><name>T|kept</name></param>", Answer(L"P", L""), March7());
    EXPECT_EQ(m_offered.title, L"T|kept");
    WriteSettingInt(L"Settings", L"AddSource", 0);
    TakeLinkClip(L"<param><url>http://localhost/</url><name>T|cut</name></param>", Answer(L"P", L""), March7());
    EXPECT_EQ(m_offered.title, L"T||");
}

TEST_F(ClipRoadTest, FormBlocks_JoinIntoRecordAndAddressCarriesItsNumber) {
    TakeFormBlockClip(L"x.exe <TQBLK>2</TQBLK><AA1>a>>>1|||b></AA>");
    TakeFormBlockClip(L"x.exe <TQBLK>2</TQBLK><AA2>>>2|||</AA>");
    EXPECT_EQ(ReadFileBytes(BlockFolder() + L"\\1.txt"), Utf16Bytes(L"a>>>1|||b>"));
    TakeLinkClip(L"<param><url>http://example.com/login</url><name>Login</name></param><form>1</form>",
                 Answer(L"P", L"Sites", true), March7());
    EXPECT_EQ(m_offered.formFlag, L"1");
    EXPECT_EQ(ReadFileBytes(Install() + L"\\Bookmark\\Forms\\example.com#1.tq"),
              Utf16Bytes(L"a 1\n$$$$$\nb 2\n$$$$$\n"));
    EXPECT_FALSE(PathExists(BlockFolder()));
    EXPECT_GE(PageText(L"P").Find(L"href=\"http://example.com/login#1\""), 0);
}

TEST_F(ClipRoadTest, FormBlocks_StopAtTheFirstMissingNumber) {
    TakeFormBlockClip(L"<TQBLK>3</TQBLK><AA1>a>>>1|||</AA>");
    TakeFormBlockClip(L"<TQBLK>3</TQBLK><AA3>c>>>3|||</AA>");
    TakeLinkClip(L"<param><url>http://example.com/x</url><name>N</name></param><form>1</form>",
                 Answer(L"P", L"", true), March7());
    EXPECT_EQ(ReadFileBytes(Install() + L"\\Bookmark\\Forms\\example.com#1.tq"), Utf16Bytes(L"a 1\n$$$$$\n"));
}

TEST_F(ClipRoadTest, FormBlocks_AreDeletedWhenNotKept) {
    TakeFormBlockClip(L"<TQBLK>1</TQBLK><AA1>a>>>1|||</AA>");
    TakeLinkClip(L"<param><url>http://example.com/x</url><name>N</name></param><form>1</form>", Answer(L"P", L""),
                 March7());
    EXPECT_FALSE(PathExists(BlockFolder()));
    EXPECT_FALSE(PathExists(Install() + L"\\Bookmark\\Forms\\example.com#1.tq"));
    EXPECT_GE(PageText(L"P").Find(L"href=\"http://example.com/x\""), 0);
}

TEST_F(ClipRoadTest, Cancel_WritesNothing) {
    TakeLinkClip(L"<param><url>http://example.com/x</url><name>N</name></param>",
                 [](const LinkClip&, LinkPlacementChoice&) { return false; }, March7());
    EXPECT_FALSE(PathExists(PagePath(L"P")));
    EXPECT_TRUE(ListFolder(Install() + L"\\Bookmark\\Allpages").empty());
    EXPECT_EQ(GetSettingString(L"Settings", L"addpage", L"<none>"), L"<none>");
}

TEST_F(ClipRoadTest, ApostropheInAddress_ShowsErrorWritesNothingAndDropsBlocks) {
    TakeFormBlockClip(L"<TQBLK>1</TQBLK><AA1>a>>>1|||</AA>");
    TakeLinkClip(L"<param><url>http://example.com/it's</url><name>N</name></param><form>1</form>", Answer(L"P", L""),
                 March7());
    ASSERT_EQ(m_boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_boxes.Boxes()[0].text, L"Error, URL contains \"'\" character!");
    EXPECT_EQ(m_boxes.Boxes()[0].caption, L"Tarvelo");
    EXPECT_EQ(m_asked, 0);
    EXPECT_FALSE(PathExists(PagePath(L"P")));
    EXPECT_FALSE(PathExists(BlockFolder()));
    EXPECT_EQ(GetSettingString(L"Settings", L"addpage", L"<none>"), L"<none>");
}

TEST_F(ClipRoadTest, ClipWithNothingToLink_IsRefusedAndNoPageChanges) {
    // Neither address nor name: refused before the dialog, the blocks go.
    TakeFormBlockClip(L"<TQBLK>1</TQBLK><AA1>a>>>1|||</AA>");
    TakeLinkClip(L"<param><url></url><name></name></param><form>0</form>", Answer(L"P", L"S"), March7());
    TakeLinkClip(L"<param><url> </url><name>  </name></param>", Answer(L"P", L"S"), March7());
    EXPECT_EQ(m_asked, 0);
    ASSERT_EQ(m_boxes.Boxes().size(), 2u);
    EXPECT_EQ(m_boxes.Boxes()[0].text, L"The clip holds neither an address nor a name: nothing was added.");
    EXPECT_FALSE(PathExists(BlockFolder()));
    EXPECT_TRUE(ListFolder(Install() + L"\\Bookmark\\Allpages").empty());
    EXPECT_EQ(GetSettingString(L"Settings", L"addpage", L"<none>"), L"<none>");

    // A name without an address reaches the dialog, but the store writes no
    // empty line for it: it says so, and the dialog comes back until the
    // user gives up.
    int asked = 0;
    auto thenCancelled = [&](const LinkClip& offered, LinkPlacementChoice& choice) {
        if (++asked > 1) return false;
        choice.title = offered.title;
        choice.page = L"P";
        return true;
    };
    TakeLinkClip(L"<param><url></url><name>Only a name</name></param>", thenCancelled, March7());
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(m_boxes.Saw(L"The link has neither an address nor a picture, so it was not added."));
    EXPECT_TRUE(ListFolder(Install() + L"\\Bookmark\\Allpages").empty());
}

TEST_F(ClipRoadTest, Picture_IsDownloadedUnderAFreshDigitsName) {
    LocalWebServer server("\x89PNG picture bytes");
    ASSERT_TRUE(server.Ready());
    CString picture = server.Address(L"/cat.png");
    CString line = L"<param><url>http://example.com/p</url><name><img><src>" + picture +
                   L"</src><desc>Cat</desc></img></name></param><form>0</form>";
    TakeLinkClip(line, Answer(L"P", L"", false, true), March7());
    TakeLinkClip(line, Answer(L"P", L"", false, true), March7());
    EXPECT_EQ(m_offered.pictureAddress, picture);
    // Any short extension counts once the query and fragment are dropped.
    CString webp = StoreClipPicture(server.Address(L"/cat.webp?w=64&f=a.b#top"));
    EXPECT_EQ(webp.Right(5), L".webp");
    EXPECT_TRUE(DeleteFileW(webp));
    std::vector<CString> stored = ListFolder(Install() + L"\\BookMark\\Pic");
    ASSERT_EQ(stored.size(), 2u);
    for (const CString& name : stored) {
        EXPECT_EQ(name.Right(4), L".png");
        for (int i = 0; i < name.GetLength() - 4; ++i) EXPECT_TRUE(name[i] >= L'0' && name[i] <= L'9') << ::testing::PrintToString(name);
        EXPECT_EQ(ReadFileBytes(Install() + L"\\BookMark\\Pic\\" + name), "\x89PNG picture bytes");
        EXPECT_GE(PageText(L"P").Find(L"src=\"" + Install() + L"\\BookMark\\Pic\\" + name + L"\""), 0);
    }
}

TEST_F(ClipRoadTest, Picture_OnlyPlainHttpAndShortPlainExtensionsGiveOne) {
    const wchar_t* refused[] = {L"https://x.org/a.jpg", L"http://x.org/a.picturefile", L"http://x.org/a", L"http://x.org/a.p%6Eg",
                                L"http://x.org/a.jpg\\..\\..\\evil", L"ftp://x.org/a.gif"};
    for (const wchar_t* address : refused) EXPECT_TRUE(StoreClipPicture(address).IsEmpty()) << ::testing::PrintToString(CString(address));
    EXPECT_FALSE(PathExists(Install() + L"\\BookMark\\Pic"));
    // A picture that is not ticked is not stored at all.
    TakeLinkClip(L"<param><url>http://e.com/</url><name><img><src>http://127.0.0.1:1/a.jpg</src><desc>D</desc></img>"
                 L"</name></param>",
                 Answer(L"P", L"", false, false), March7());
    EXPECT_FALSE(PathExists(Install() + L"\\BookMark\\Pic"));
}

TEST_F(ClipRoadTest, Picture_ThatDoesNotArriveLeavesNoFileAndTheLinkIsWrittenWithoutIt) {
    LocalWebServer missing("<html>Not Found</html>", "404 Not Found");
    LocalWebServer empty("");
    ASSERT_TRUE(missing.Ready() && empty.Ready());
    const CString pictures[] = {missing.Address(L"/gone.jpg"), empty.Address(L"/empty.png"), L"http://127.0.0.1:1/a.gif"};
    for (const CString& picture : pictures) {
        TakeLinkClip(L"<param><url>http://example.com/" + picture.Right(5) + L"</url><name><img><src>" + picture +
                         L"</src><desc>Cat</desc></img></name></param><form>0</form>",
                     Answer(L"P", L"Cats", false, true), March7());
        EXPECT_TRUE(m_boxes.Saw(L"The picture could not be fetched; the link is added without it.\n" + picture))
            << ::testing::PrintToString(picture);
        EXPECT_GE(PageText(L"P").Find(L"<A href=\"http://example.com/" + picture.Right(5) + L"\">&nbsp;Cat"), 0);
    }
    EXPECT_TRUE(ListFolder(Install() + L"\\BookMark\\Pic").empty());
    EXPECT_EQ(PageText(L"P").Find(L"<img"), -1);
    EXPECT_EQ(m_boxes.Boxes().size(), 3u);
}

TEST_F(ClipRoadTest, LinkRefusedThenCancelledLeavesNeitherFormRecordNorPicture) {
    LocalWebServer server("\x89PNG picture bytes");
    ASSERT_TRUE(server.Ready());
    TakeFormBlockClip(L"<TQBLK>1</TQBLK><AA1>a>>>1|||</AA>");
    int asked = 0;
    // The first choice names a page no file can have: the store refuses it, and the user cancels.
    auto refusedThenCancelled = [&](const LinkClip& offered, LinkPlacementChoice& choice) {
        if (++asked > 1) return false;
        choice.title = offered.title;
        choice.address = offered.address;
        choice.pictureAddress = offered.pictureAddress;
        choice.page = L"No|Page";
        choice.keepForms = choice.showPicture = true;
        return true;
    };
    TakeLinkClip(L"<param><url>http://example.com/login</url><name><img><src>" + server.Address(L"/cat.png") +
                     L"</src><desc>Cat</desc></img></name></param><form>1</form>",
                 refusedThenCancelled, March7());
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(m_boxes.Saw(L"File not Open, A Error Happened While Openning the File."));
    EXPECT_TRUE(ListFolder(Install() + L"\\Bookmark\\Forms").empty());
    EXPECT_TRUE(ListFolder(Install() + L"\\BookMark\\Pic").empty());
    EXPECT_TRUE(ListFolder(Install() + L"\\Bookmark\\Allpages").empty());
    EXPECT_FALSE(PathExists(BlockFolder()));
}

TEST_F(ClipRoadTest, EventClip_PutsDatedEntryInFrontOfFirstSection) {
    TakeLinkClip(L"<param><url>http://e.com/a</url><name>A</name></param>", Answer(L"Diary", L"Days"), March7());
    TakeEventClip(L"<evt><name>Dentist</name><file>Diary</file><edate>3-9-2026</edate><eip>10 am</eip></evt>");
    CString page = PageText(L"Diary");
    int entry = page.Find(L"Dentist(3-9-2026)");
    ASSERT_GE(entry, 0) << ::testing::PrintToString(page);
    EXPECT_LT(entry, page.Find(L"Days"));
}

TEST_F(ClipRoadTest, HostileClipsNeverCrashEscapeTheFolderOrInjectMarkup) {
    const uint32_t seed = 777;
    Random random(seed);
    for (int i = 0; i < 60; ++i) {
        CString title = random.HostileText(random.Chance(10) ? 5000 : 80);
        CString address = L"http://" + random.HostileText(40);
        address.Remove(L'\'');
        CString form = random.HostileText(300);
        TakeFormBlockClip(L"<TQBLK>1</TQBLK><AA1>" + form + L"</AA>");
        CString line = L"<param><url>" + address + L"</url><name>" + title + L"<script>x</script></name></param><form>" +
                       (random.Chance(50) ? L"1" : L"0") + L"</form>";
        TakeLinkClip(line, Answer(L"Hostile", L"S", random.Chance(50), random.Chance(50)), March7());
    }
    CString page = PageText(L"Hostile");
    EXPECT_EQ(page.Find(L"<script>"), -1) << "seed " << seed << ::testing::PrintToString(page.Mid(page.Find(L"<script>") - 300, 400));
    EXPECT_EQ(ListFolder(m_dir.Path()), std::vector<CString>{L"install"}) << "seed " << seed;
    std::vector<CString> inInstall = ListFolder(Install());
    EXPECT_EQ(inInstall.size(), 1u) << "seed " << seed;
    for (const CString& name : ListFolder(Install() + L"\\Bookmark\\Forms")) EXPECT_EQ(name.Right(3), L".tq") << ::testing::PrintToString(name);
}
