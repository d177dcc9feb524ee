// Favourites folders of real Internet shortcut files (made through the
// system's own shortcut object) read into link pages and written back, the
// export of a page into a folder tree, and the guards around emptying the
// browser's Favorites folder.
#include "StoreFixture.h"

#include "PrivateRegistry.h"
#include "Random.h"

#include "bookmarks/BookmarkExport.h"
#include "com/ComPtr.h"
#include "favorites/FavoriteEngine.h"
#include "favorites/FavoritesExport.h"
#include "favorites/LinkNames.h"
#include "links/LinkInsertion.h"
#include "util/Folders.h"

#include <windows.h>
#include <intshcut.h>

#include <algorithm>
#include <set>
#include <tuple>

namespace {

// An Internet shortcut file saved by the system's shortcut object.
void MakeShortcut(const CString& path, const CString& url) {
    CoInitialize(nullptr);
    ComPtr<IUniformResourceLocatorW> locator;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER,
                                              IID_IUniformResourceLocatorW, reinterpret_cast<void**>(locator.Receive())));
    ASSERT_HRESULT_SUCCEEDED(locator->SetURL(url, 0));
    ComPtr<IPersistFile> file;
    ASSERT_HRESULT_SUCCEEDED(locator->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Receive())));
    ASSERT_HRESULT_SUCCEEDED(file->Save(path, TRUE));
}

using Link = std::tuple<std::wstring, std::wstring, std::wstring>;  // folder below the root, name, address

// Every link of a loaded tree, by its folder relative to the walked folder.
std::multiset<Link> TreeLinks(const FavoriteNode* node, const CString& root) {
    std::multiset<Link> links;
    if (!node) return links;
    for (const auto& link : node->links) {
        int slash = link->path.ReverseFind(L'\\');
        CString folder = link->path.Left(slash).Mid(root.GetLength());
        links.insert({folder.str(), link->name.str(), link->address.str()});
    }
    for (const auto& folder : node->folders) links.merge(TreeLinks(folder.get(), root));
    return links;
}

// Every file below a folder, as full paths.
void ListFiles(const CString& folder, std::vector<CString>& files) {
    for (const CString& name : ListFolder(folder)) {
        CString path = folder + L"\\" + name;
        DWORD attributes = GetFileAttributesW(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) ListFiles(path, files);
        else files.push_back(path);
    }
}

class FavoritesTest : public StoreTest {};

} // namespace

TEST_F(FavoritesTest, FavoritesBecomeAGroupedLinkPageAndComeBackWhole) {
    // A folder whose path holds pattern characters: its prefix must still go.
    CString favorites = m_dir / L"Fav (x86)+";
    CreateDirectoryW(favorites, nullptr);
    CreateDirectoryW(favorites + L"\\Links", nullptr);
    CreateDirectoryW(favorites + L"\\News", nullptr);
    CreateDirectoryW(favorites + L"\\News\\Tech", nullptr);
    MakeShortcut(favorites + L"\\Links\\L1.url", L"http://l1.example/");
    MakeShortcut(favorites + L"\\News\\N1.url", L"http://n1.example/a?b=c&d");
    MakeShortcut(favorites + L"\\News\\Tech\\T1.url", L"http://t1.example/");
    MakeShortcut(favorites + L"\\R1.url", L"http://r1.example/");
    MakeShortcut(favorites + L"\\R2.url", L"http://r2.example/");
    WriteFileBytes(favorites + L"\\notes.txt", "not a shortcut");

    CFavoriteEngine engine(favorites);
    const FavoriteNode* root = engine.LoadFolderTree(favorites);
    ASSERT_NE(root, nullptr);
    std::multiset<Link> original = TreeLinks(root, favorites);
    ASSERT_EQ(original.size(), 5u);
    CString page = PagePath(L"Favorites");
    ASSERT_TRUE(engine.ImportFavorites(page));
    std::vector<std::pair<std::wstring, int>> order;
    for (const LinkRecord& r : engine.Records()) order.emplace_back(r.name.str(), r.level);
    EXPECT_EQ(order, (std::vector<std::pair<std::wstring, int>>{{L"\\Links", 1}, {L"L1", 2}, {L"\\News", 1},
                                                                 {L"N1", 2}, {L"\\News\\Tech", 2}, {L"T1", 3},
                                                                 {L"Default", 0}, {L"R1", 1}, {L"R2", 1}}));
    CString text = ReadPage(page);
    EXPECT_GE(text.Find(L"&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp&nbsp\n>>>News\\Tech<<<<br>\n"), 0);
    EXPECT_GE(text.Find(L"<a href = http://n1.example/a?b=c&d>N1</a><br>\n"), 0);
    // The store reads the raw markers and unquoted addresses as it reads its own pages.
    std::vector<PageLinkRecord> links;
    ASSERT_TRUE(CollectPageLinks(page, links));
    std::vector<CString> read;
    for (const PageLinkRecord& link : links) read.push_back(link.section + L"|" + link.title + L"|" + link.address);
    EXPECT_EQ(read, (std::vector<CString>{L"Links|L1|http://l1.example/", L"News|N1|http://n1.example/a?b=c&d",
                                          L"News\\Tech|T1|http://t1.example/", L"Default|R1|http://r1.example/",
                                          L"Default|R2|http://r2.example/"}));
    LinkPlacement placement = LinkPlacement::None;
    CString added = InsertLinkIntoPageText(text, L"News\\Tech", L"\n<A href=\"http://new.example/\">&nbsp;New&nbsp;</A>\n", placement);
    EXPECT_EQ(placement, LinkPlacement::InSection);
    EXPECT_LT(added.Find(L"http://new.example/"), added.Find(L"&GT;&GT;&GT;Default&LT;&LT;&LT;"));

    // ... and the page written back as Favorites gives the same links in the same folders.
    CString back = m_dir / L"Back";
    ASSERT_EQ(ExportPageToFavorites(page, back), 1);
    CFavoriteEngine again(back);
    EXPECT_EQ(TreeLinks(again.LoadFolderTree(back), back), original);

    // Shortcut files of other programs: names in any case, blanks and quotes,
    // another section's URL, UTF-8 with its mark; one without an address.
    CString kinds = m_dir / L"Kinds";
    CreateDirectoryW(kinds, nullptr);
    WriteFileBytes(kinds + L"\\a.url", "\xEF\xBB\xBF[DEFAULT]\r\nURL=http://wrong.example/\r\n[internetshortcut]\r\n"
                                       " url = \"http://a.example/\xC3\xA9\" \r\n");
    WriteFileBytes(kinds + L"\\b.URL", "[InternetShortcut]\nIconIndex=0\nURL=http://b.example/\n");
    WriteFileBytes(kinds + L"\\none.url", "[InternetShortcut]\nIconIndex=0\n");
    CFavoriteEngine others(kinds);
    EXPECT_EQ(TreeLinks(others.LoadFolderTree(kinds), kinds),
              (std::multiset<Link>{{L"", L"a", L"http://a.example/\x00E9"}, {L"", L"b", L"http://b.example/"}}));
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(FavoritesTest, PageExportNamesEverythingSafelyAndKeepsToItsSections) {
    CString page = PagePath(L"Export");
    WritePage(page, L"<html id=tq1>\n<a href=\"http://before.example/\">Before the first tag</a>\n"
                    L"<P>&gt;&gt;&gt;News&lt;&lt;&lt;</P><a href=\"http://a.example/\">A: what?</a> "
                    L"<A HREF=http://b.example/ target=_blank>B <b>bold</b>&nbsp;</A>\n"
                    L"<P>&gt;&gt;&gt;R&amp;D&lt;&lt;&lt;</P><a href=\"http://g.example/?x=1&amp;y=2\">Tools &lt;b&gt; &amp; stuff</a>\n"
                    L"<P>&gt;&gt;&gt;Work\\Tools&lt;&lt;&lt;</P>\n<a href='http://c.example/'>split\nover lines</a>\n"
                    L">>>..\\..\\Escape<<<<a href=\"http://d.example/\">..</a><a href=\"http://e.example/\">CON</a>\n"
                    L"<P>&gt;&gt;&gt;Default&lt;&lt;&lt;</P><a href=\"http://f.example/\rURL=http://evil/\">Top</a>\n"
                    L"<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>\n"
                    L"<a href=\"http://after.example/\">After the end</a>\n");
    CString target = m_dir / L"Out\\";
    ASSERT_EQ(ExportPageToFavorites(page, target), 1);
    EXPECT_EQ(target, m_dir / L"Out");
    std::vector<CString> files;
    ListFiles(m_dir / L"Out", files);
    std::set<std::wstring> names;
    for (const CString& file : files) names.insert(file.Mid(target.GetLength() + 1).str());
    EXPECT_EQ(names, (std::set<std::wstring>{L"News\\A# what#.url", L"News\\B bold.url",
                                             L"Work\\Tools\\split over lines.url", L"Escape\\_CON.url", L"Top.url",
                                             L"R&D\\Tools #b# & stuff.url"}));
    // A shortcut holds the address itself, not the page's HTML spelling of it.
    EXPECT_EQ(TextOfUtf16Bytes(ReadFileBytes(target + L"\\R&D\\Tools #b# & stuff.url")),
              L"[DEFAULT]\nBASEURL=http://g.example/?x=1&y=2\n[InternetShortcut]\nURL=http://g.example/?x=1&y=2\nModified=\n");
    // One line per key: an address cannot add keys to the shortcut file.
    EXPECT_EQ(TextOfUtf16Bytes(ReadFileBytes(target + L"\\Top.url")),
              L"[DEFAULT]\nBASEURL=http://f.example/URL=http://evil/\n[InternetShortcut]\n"
              L"URL=http://f.example/URL=http://evil/\nModified=\n");
    CFavoriteEngine engine(target);
    std::multiset<Link> links = TreeLinks(engine.LoadFolderTree(target), target);
    EXPECT_EQ(links.count({L"\\News", L"B bold", L"http://b.example/"}), 1u);

    // Names made from page text.
    EXPECT_EQ(SafeNameComponent(L".."), L"");
    EXPECT_EQ(SafeNameComponent(L"a<b>\"c\"|d\x0001. "), L"a#b##c##d#");
    EXPECT_EQ(SafeNameComponent(L"lpt1.txt"), L"_lpt1.txt");
    EXPECT_EQ(SectionFolderNames(L"\\\\server\\share\\..\\x"), (std::vector<CString>{L"server", L"share", L"x"}));
}

TEST_F(FavoritesTest, RestoringFavoritesDeletesNothingWithoutASoundFolderAndPage) {
    CString page = PagePath(L"Links");
    WritePage(page, L"&gt;&gt;&gt;Default&lt;&lt;&lt;<a href=\"http://x.example/\">X</a>\n");
    // A current directory with something in it: an empty or relative path must not reach it.
    CString current = m_dir / L"Current";
    CreateDirectoryW(current, nullptr);
    WriteFileBytes(current + L"\\keep.txt", "keep");
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(current);
    for (const wchar_t* folder : {L"", L"\\", L".", L"Favorites", L"C:", L"C:\\", L"\\\\server\\share",
                                  L"C:\\no such folder here"}) {
        EXPECT_EQ(RestoreFavoritesTo(page, folder), 0) << folder;
    }
    SetCurrentDirectoryW(previous);
    EXPECT_TRUE(PathExists(current + L"\\keep.txt"));
    EXPECT_EQ(m_boxes.Boxes().size(), 8u);
    EXPECT_TRUE(m_boxes.Saw(L"Error, cannot QUERY Favorites!"));

    CString favorites = m_dir / L"Favorites";
    CreateDirectoryW(favorites, nullptr);
    WriteFileBytes(favorites + L"\\old.url", "old");
    EXPECT_EQ(RestoreFavoritesTo(PagePath(L"Missing"), favorites), 0);  // unreadable page: nothing deleted
    EXPECT_TRUE(PathExists(favorites + L"\\old.url"));
    m_boxes.SetAnswer(IDCANCEL);
    EXPECT_EQ(RestoreFavorites(page), 0);
    EXPECT_TRUE(m_boxes.Saw(L"All items in My Favorites will be deleted! Continue?"));
    EXPECT_EQ(RestoreFavoritesTo(page, favorites + L"\\"), 1);
    EXPECT_FALSE(PathExists(favorites + L"\\old.url"));
    EXPECT_TRUE(PathExists(favorites + L"\\X.url"));
}

TEST_F(FavoritesTest, HostilePagesAndShortcutFilesStayInsideTheirFolder) {
    // Pages of hostile tags and anchors exported below one folder of a root
    // that also holds a keepsake: nothing may appear or vanish outside it, and
    // every shortcut file keeps its five lines.
    CString root = m_dir / L"Root";
    CreateDirectoryW(root, nullptr);
    WriteFileBytes(root + L"\\keepsake.txt", "keep");
    static const std::vector<CString> tags = {L"..", L"..\\..\\up", L"C:\\Windows", L"\\\\server\\share", L"CON",
                                              L"a/b", L"<b>x</b>", L"Default", L"  ", L"x\\.\\y", L"nul.txt"};
    Random random(160121);
    testing::internal::CaptureStdout();
    for (int round = 0; round < 300 && !HasFailure(); ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        CString text;
        for (int line = random.Int(1, 8); line > 0; --line) {
            if (random.Chance(40))
                text += (random.Chance(50) ? L">>>" : L"&gt;&gt;&gt;") +
                        (random.Chance(50) ? random.Pick(tags) : random.HostileText(40)) +
                        (random.Chance(90) ? L"&lt;&lt;&lt;" : L"");
            if (random.Chance(70))
                text += L"<a href=\"" + random.HostileText(30) + L"\">" + random.HostileText(30) +
                        (random.Chance(85) ? L"</a>" : L"");
            text += random.Chance(20) ? random.HostileText(20) : CString();
            text += L"\n";
        }
        CString page = root + L"\\page.htm";
        WritePage(page, text);
        CString destination = root + L"\\Destination";
        ExportPageToFavorites(page, destination);
        std::vector<CString> files;
        ListFiles(root, files);
        for (const CString& file : files) {
            if (file == page || file == root + L"\\keepsake.txt") continue;
            ASSERT_EQ(file.Left(destination.GetLength() + 1), destination + L"\\") << file.GetString();
            CString shortcut = TextOfUtf16Bytes(ReadFileBytes(file));
            int lines = 0;
            for (int i = 0; i < shortcut.GetLength(); ++i) lines += shortcut[i] == L'\n' || shortcut[i] == L'\r';
            ASSERT_EQ(lines, 5) << shortcut.GetString();
        }
        if (round % 30 == 0) {
            // The favourites reader takes whatever the folder holds.
            WriteFileBytes(destination + L"\\broken.url", random.AnyBytes(0, 200));
            CFavoriteEngine engine(destination);
            engine.LoadFolderTree(destination);
            engine.ImportFavorites(root + L"\\imported.htm");
            DeleteFileW(root + L"\\imported.htm");
        }
        DeleteFolder(destination);
    }
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(PathExists(root + L"\\keepsake.txt"));
}

TEST_F(FavoritesTest, ShellNamesReadInTheirCodePageAndDeepTreesFreeWithoutRecursion) {
    // The shell hands 8-bit names in the system's ANSI code page: "Café" with
    // its é (0xE9) would read as "CafΘ" through the OEM code page 437.
    CFavoriteEngine engine(CString{});
    STRRET name{};
    name.uType = STRRET_CSTR;
    strcpy(name.cStr, "Caf\xE9");
    LPWSTR text = nullptr;
    ASSERT_EQ(engine.StrRetToText(&name, nullptr, &text), S_OK);
    wchar_t expected[8] = {};
    MultiByteToWideChar(CP_ACP, 0, "Caf\xE9", -1, expected, 8);
    EXPECT_STREQ(text, expected);
    CoTaskMemFree(text);

    // A folder chain far deeper than a recursive free could take on the stack.
    auto root = std::make_unique<FavoriteNode>();
    FavoriteNode* at = root.get();
    for (int depth = 0; depth < 200000; ++depth) {
        at->folders.push_back(std::make_unique<FavoriteNode>());
        at = at->folders.back().get();
        at->kind = FavoriteNode::kFolder;
    }
    engine.SetTree(std::move(root));
    engine.FreeTree();
    EXPECT_EQ(engine.Root(), nullptr);
}

TEST_F(FavoritesTest, RestoringFavoritesGivesEveryLinkItsOwnShortcutAndTellsWhatItDid) {
    PrivateRegistry registry;  // the prefix's own Favorites folder is never touched
    CString favorites = m_dir / L"Favorites";
    CreateDirectoryW(favorites, nullptr);
    HKEY shellFolders = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &shellFolders, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(shellFolders, L"Favorites", 0, REG_SZ, reinterpret_cast<const BYTE*>(favorites.GetString()),
                   static_cast<DWORD>((favorites.GetLength() + 1) * sizeof(wchar_t)));
    RegCloseKey(shellFolders);
    WriteFileBytes(favorites + L"\\Keep me.url", "[InternetShortcut]\r\nURL=http://keep.example/\r\n");
    // Pages that give no shortcut: links before any tag only, a section
    // without links, links whose titles make no name. Nothing is asked and
    // nothing deleted, and the user hears why.
    const wchar_t* const nothing[] = {
        L"<html id=tq1>\n<a href=\"http://a.example/\">A</a><br>\n<a href=\"http://b.example/\">B</a>\n",
        L"<html id=tq1>\n<a href=\"http://a.example/\">A</a>\n<P>&gt;&gt;&gt;Empty&lt;&lt;&lt;</P>\n",
        L"<html id=tq1>\n&gt;&gt;&gt;News&lt;&lt;&lt;<a href=\"http://a.example/\"><img src=x></a><a href=\"http://b.example/\">..</a>\n"};
    const CString said = L"No link of this page stands in a section, so it gives no shortcut: My Favorites was left as it is.";
    CString page = PagePath(L"Links");
    for (const wchar_t* text : nothing) {
        SCOPED_TRACE(testing::Message() << CString(text).str());
        WritePage(page, text);
        MessageBoxRecorder boxes;
        EXPECT_EQ(RestoreFavoritesTo(page, favorites), 0);
        EXPECT_EQ(RestoreFavorites(page), 0);
        ASSERT_EQ(boxes.Boxes().size(), 2u);
        EXPECT_EQ(boxes.Boxes()[0].text, said);
        EXPECT_EQ(boxes.Boxes()[1].text, said);
        EXPECT_EQ(ListFolder(favorites), (std::vector<CString>{L"Keep me.url"}));
    }

    // Links of one title in one folder, as browsers keep them: each its own
    // shortcut, also where the titles differ only in case.
    WritePage(page, L"<html id=tq1>\n&gt;&gt;&gt;TeX&lt;&lt;&lt;\n"
                    L"<a href=\"http://one.example/\">OzTeX</a><a href=\"http://two.example/\">OzTeX</a>\n"
                    L"<a href=\"http://three.example/\">oztex</a><a href=\"http://four.example/\">OzTeX (2)</a>\n"
                    L"&gt;&gt;&gt;Default&lt;&lt;&lt;<a href=\"http://g.example/\">Google Search: perl</a>"
                    L"<a href=\"http://h.example/\">Google Search: perl</a>\n");
    {
        MessageBoxRecorder boxes;
        EXPECT_EQ(RestoreFavorites(page), 1);
        ASSERT_EQ(boxes.Boxes().size(), 2u);
        EXPECT_EQ(boxes.Boxes()[0].text, L"All items in My Favorites will be deleted! Continue?");
        EXPECT_EQ(boxes.Boxes()[1].text, L"6 shortcuts were written to My Favorites.");
    }
    EXPECT_FALSE(PathExists(favorites + L"\\Keep me.url"));
    CFavoriteEngine engine(favorites);
    EXPECT_EQ(TreeLinks(engine.LoadFolderTree(favorites), favorites),
              (std::multiset<Link>{{L"\\TeX", L"OzTeX", L"http://one.example/"},
                                   {L"\\TeX", L"OzTeX (2)", L"http://two.example/"},
                                   {L"\\TeX", L"oztex (3)", L"http://three.example/"},
                                   {L"\\TeX", L"OzTeX (2) (2)", L"http://four.example/"},
                                   {L"", L"Google Search# perl", L"http://g.example/"},
                                   {L"", L"Google Search# perl (2)", L"http://h.example/"}}));
}

TEST_F(FavoritesTest, RestoringFavoritesWritesEveryShortcutBeforeAnOldItemGoes) {
    PrivateRegistry registry;
    CString parent = m_dir / L"Profile", favorites = parent + L"\\Favorites";
    CreateDirectoryW(parent, nullptr);
    CreateDirectoryW(favorites, nullptr);
    CreateDirectoryW(favorites + L"\\Old folder", nullptr);
    WriteFileBytes(favorites + L"\\Keep me.url", "[InternetShortcut]\r\nURL=http://keep.example/\r\n");
    WriteFileBytes(favorites + L"\\Old folder\\Deep.url", "[InternetShortcut]\r\nURL=http://deep.example/\r\n");
    // A name beside the folder that the restore might have used is the user's.
    CreateDirectoryW(favorites + L".new", nullptr);
    WriteFileBytes(favorites + L".new\\mine.txt", "mine");
    const std::vector<CString> before = {L"Keep me.url", L"Old folder"};
    auto sorted = [](std::vector<CString> names) {
        std::sort(names.begin(), names.end(), [](const CString& a, const CString& b) { return a.str() < b.str(); });
        return names;
    };
    const std::vector<CString> beside = {L"Favorites", L"Favorites.new"};

    // The section "News.url" cannot become a folder: the shortcut of the link
    // "News" holds its name. Its links fail, and My Favorites stays whole.
    CString page = PagePath(L"Links");
    WritePage(page, L"<html id=tq1>\n&gt;&gt;&gt;Default&lt;&lt;&lt;<a href=\"http://news.example/\">News</a>\n"
                    L"&gt;&gt;&gt;News.url&lt;&lt;&lt;<a href=\"http://a.example/\">A</a><a href=\"http://b.example/\">B</a>\n");
    {
        MessageBoxRecorder boxes;
        EXPECT_EQ(RestoreFavoritesTo(page, favorites), 0);
        EXPECT_TRUE(boxes.Saw(L"Error! linkFile not openned in Function LastMatchFav."));
        EXPECT_TRUE(boxes.Saw(L"Only 1 of 3 shortcuts could be written, so My Favorites was left as it is."));
    }
    EXPECT_EQ(sorted(ListFolder(favorites)), before);
    EXPECT_EQ(ReadFileBytes(favorites + L"\\Old folder\\Deep.url"), "[InternetShortcut]\r\nURL=http://deep.example/\r\n");
    EXPECT_EQ(sorted(ListFolder(parent)), beside);  // nothing left behind beside it
    EXPECT_EQ(ListFolder(favorites + L".new"), (std::vector<CString>{L"mine.txt"}));

    // Every shortcut written: the old items go, the new ones stand in their place.
    WritePage(page, L"<html id=tq1>\n&gt;&gt;&gt;Default&lt;&lt;&lt;<a href=\"http://news.example/\">News</a>\n"
                    L"&gt;&gt;&gt;Work\\Tools&lt;&lt;&lt;<a href=\"http://a.example/\">A</a>\n");
    {
        MessageBoxRecorder boxes;
        EXPECT_EQ(RestoreFavoritesTo(page, favorites), 1);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, L"2 shortcuts were written to My Favorites.");
    }
    EXPECT_EQ(sorted(ListFolder(favorites)), (std::vector<CString>{L"News.url", L"Work"}));
    EXPECT_EQ(ListFolder(favorites + L"\\Work\\Tools"), (std::vector<CString>{L"A.url"}));
    EXPECT_EQ(sorted(ListFolder(parent)), beside);
    EXPECT_EQ(ListFolder(favorites + L".new"), (std::vector<CString>{L"mine.txt"}));
}
