// Netscape bookmark files: a page written as one and read back, files as
// Chromium and Firefox write them (nested folders, duplicates, non-ASCII
// names, 10,000 entries), hostile files, and the typed-address list.
#include "StoreFixture.h"

#include "PrivateRegistry.h"

#include "Random.h"

#include "bookmarks/BookmarkExport.h"
#include "favorites/FavoriteEngine.h"
#include "pages/PageConversions.h"
#include "pages/PageFile.h"
#include "pages/PageTemplate.h"
#include "util/Registry.h"
#include "util/Strings.h"

#include <windows.h>

#include <set>
#include <tuple>

namespace {

using Link = std::tuple<std::wstring, std::wstring, std::wstring>;  // section, title, address

std::multiset<Link> PageLinks(const CString& page) {
    std::vector<PageLinkRecord> links;
    EXPECT_TRUE(CollectPageLinks(page, links));
    std::multiset<Link> out;
    for (const PageLinkRecord& link : links) out.insert({link.section.str(), link.title.str(), link.address.str()});
    return out;
}

std::string Utf8(const CString& text) {
    CStringA bytes = WideToCodePage(text, CP_UTF8);
    return std::string(bytes.GetString(), static_cast<size_t>(bytes.GetLength()));
}

void SetStringValue(HKEY key, const wchar_t* name, const wchar_t* value) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
}

// A string value of the key, or "<missing>".
CString StringValue(HKEY key, const wchar_t* name) {
    CString value;
    return ReadRegistryString(key, name, value) == ERROR_SUCCESS ? value : CString(L"<missing>");
}

class BookmarkFileTest : public StoreTest {};

} // namespace

TEST_F(BookmarkFileTest, PageBecomesABookmarkFileThatTellsItsEncodingAndComesBackWhole) {
    CString page = PagePath(L"Source");
    WritePage(page, L"<html id=tq1>\n<a href=\"http://before.example/\">Before any tag</a>\n"
                    L"<P>&gt;&gt;&gt;Default&lt;&lt;&lt;</P>\n<a href=\"http://top.example/\">Top</a><BR>\n"
                    L"<P>&gt;&gt;&gt;News&lt;&lt;&lt;</P>\n<a href=\"http://one.example/\">Same title</a>"
                    L"<a href=\"http://two.example/?a=1&b=2\">Same title</a>\n"
                    L"<a href=\"http://cafe.example/\">Caf\x00e9 \x4e2d\x6587 &amp; more</a>\n"
                    L"<P>&gt;&gt;&gt;Work\\Tools&lt;&lt;&lt;</P>\n<a href=\"http://tools.example/\">Tools</a>\n"
                    L"<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>\n"
                    L"<a href=\"http://after.example/\">After the end</a>\n");
    std::multiset<Link> expected = PageLinks(page);
    ASSERT_EQ(expected.size(), 6u);
    expected.erase(expected.find({L"", L"Before any tag", L"http://before.example/"}));

    for (bool utf8 : {true, false}) {
        SCOPED_TRACE(utf8 ? "UTF-8" : "Unicode");
        CString file = m_dir / L"bookmarks.htm";
        ASSERT_TRUE(utf8 ? ExportToBookmarkFileUtf8(page, file) : ExportToBookmarkFileUnicode(page, file));
        // Both end as UTF-8 without a mark; only the declared set differs.
        std::string bytes = ReadFileBytes(file);
        EXPECT_EQ(bytes.find("<!DOCTYPE NETSCAPE-Bookmark-file-1>"), 0u);
        EXPECT_NE(bytes.find(utf8 ? "charset=UTF-8" : "charset=Unicode"), std::string::npos);
        EXPECT_NE(bytes.find(Utf8(L"Caf\x00e9 \x4e2d\x6587")), std::string::npos);
        CFavoriteEngine engine(CString{});
        ASSERT_TRUE(engine.ParseNetscapeBookmarkFile(file));
        CString back = PagePath(utf8 ? L"BackUtf8" : L"BackUnicode");
        ASSERT_TRUE(engine.WriteBookmarksLinkPage(back));
        EXPECT_EQ(PageLinks(back), expected);
    }
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(BookmarkFileTest, BrowserBookmarkFilesOfTenThousandEntriesArriveWhole) {
    // Files laid out as Chromium and Firefox export them, UTF-8 without a mark.
    for (bool firefox : {false, true}) {
        SCOPED_TRACE(firefox ? "Firefox" : "Chromium");
        Random random(firefox ? 2121 : 1212);
        CString text = L"<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<!-- This is an automatically generated file.\n"
                       L"     It will be read and overwritten.\n     DO NOT EDIT! -->\n"
                       L"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n";
        if (firefox)
            text += L"<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'self'\"></meta>\n";
        text += firefox ? L"<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks Menu</H1>\n\n<DL><p>\n"
                        : L"<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n";
        std::set<Link> expected;
        std::vector<CString> folders = {L"Default"};  // the open folders, outermost first
        static const std::vector<CString> words = {L"news", L"Recipes", L"caf\x00e9", L"\x4e2d\x6587", L"Tom &amp; Jerry",
                                                   L"2026", L"R\x00e9sum\x00e9", L"\x0410\x0411"};
        auto indent = [&] { return CString(L' ', 4 * static_cast<int>(folders.size())); };
        CString lastEntry, title, address;
        for (int entry = 0; entry < 10000; ++entry) {
            int choice = random.Int(0, 99);
            if (choice < 4 && folders.size() < 5) {
                CString name = random.Pick(words) + L" " + CString(std::to_wstring(entry).c_str());
                text += indent() + L"<DT><H3 ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000001\">" + name + L"</H3>\n";
                if (firefox && random.Chance(30)) text += indent() + L"<DD>A folder of " + name + L"\n";
                text += indent() + L"<DL><p>\n";
                folders.push_back(folders.back() + L"\\" + name);
                continue;
            }
            if (choice < 8 && folders.size() > 1) {
                folders.pop_back();
                text += indent() + (firefox ? L"</DL><p>\n" : L"</DL><p>\n");
                continue;
            }
            CString section = folders.back() == L"Default" ? CString(L"Default") : folders.back().Mid(8);
            if (choice < 11 && !lastEntry.IsEmpty()) {
                text += lastEntry;  // the same bookmark again: kept once in a folder
                expected.insert({section.str(), title.str(), address.str()});
                continue;
            }
            title = random.Pick(words) + L" " + random.Pick(words);
            address = L"https://www.example" + CString(std::to_wstring(random.Int(0, 3000)).c_str()) +
                      L".com/p?id=" + CString(std::to_wstring(entry % 5000).c_str());
            lastEntry = indent() + L"<DT><A HREF=\"" + address + L"\" ADD_DATE=\"1700000000\"" +
                        (firefox ? L" LAST_MODIFIED=\"1700000002\" ICON_URI=\"https://x/favicon.ico\"" : L"") +
                        L" ICON=\"data:image/png;base64,iVBORw0KGgo=\">" + title + L"</A>\n";
            if (firefox && random.Chance(10)) lastEntry += indent() + L"<DD>Description of " + title + L"\n";
            text += lastEntry;
            expected.insert({section.str(), title.str(), address.str()});
        }
        while (folders.size() > 1) {
            folders.pop_back();
            text += indent() + L"</DL><p>\n";
        }
        text += firefox ? L"</DL>\n" : L"</DL><p>\n";
        CString file = m_dir / L"browser.html";
        WriteFileBytes(file, Utf8(text));

        CFavoriteEngine engine(CString{});
        ASSERT_TRUE(engine.ParseNetscapeBookmarkFile(file));
        CString page = PagePath(firefox ? L"Firefox" : L"Chromium");
        ASSERT_TRUE(engine.WriteBookmarksLinkPage(page));
        std::multiset<Link> arrived = PageLinks(page);
        EXPECT_EQ(std::set<Link>(arrived.begin(), arrived.end()), expected);
        EXPECT_EQ(arrived.size(), expected.size());

        // Into a page of the user's with that name: it keeps its words and
        // gains the same links, in one pass per folder; again, it gains none.
        CString mine = PagePath(firefox ? L"MineF" : L"MineC");
        CString own = L"<html id=tq1>\n<body>\n<DIV>my own words</DIV>\n" + CString(kPageSpacers) + kBodyEndMarkerLine +
                      L"</body>\n</html>\n";
        ASSERT_TRUE(WritePageText(mine, own));
        CFavoriteEngine merger(CString{});
        ASSERT_TRUE(merger.ParseNetscapeBookmarkFile(file));
        EXPECT_EQ(merger.MergeBookmarksIntoPage(mine), static_cast<int>(expected.size()));
        arrived = PageLinks(mine);
        EXPECT_EQ(std::set<Link>(arrived.begin(), arrived.end()), expected);
        EXPECT_EQ(arrived.size(), expected.size());
        CString merged;
        ASSERT_TRUE(ReadPageText(mine, merged));
        EXPECT_NE(merged.Find(L"my own words"), -1);
        CFavoriteEngine again(CString{});
        ASSERT_TRUE(again.ParseNetscapeBookmarkFile(file));
        EXPECT_EQ(again.MergeBookmarksIntoPage(mine), 0);
    }
}

TEST_F(BookmarkFileTest, UnreadableAndHostileBookmarkFilesLoseNothing) {
    CFavoriteEngine engine(CString{});
    engine.Records().push_back({L"x", L"y", 1, L"no", L"Default"});
    EXPECT_FALSE(engine.ParseNetscapeBookmarkFile(m_dir / L"missing.html"));
    EXPECT_TRUE(m_boxes.Saw(L"File not openned."));
    EXPECT_TRUE(engine.Records().empty());

    CString root = m_dir / L"Root";
    CreateDirectoryW(root, nullptr);
    static const std::vector<CString> pieces = {L"<DL><p>", L"</DL><p>", L"<DT><H3>", L"</H3>", L"<DT><A HREF=\"",
                                                L"\">", L"</A>", L"\n", L"<A ", L"HREF=", L"\"", L"<H3", L"</A"};
    Random random(1221);
    testing::internal::CaptureStdout();
    for (int round = 0; round < 1500 && !HasFailure(); ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        std::string bytes;
        if (random.Chance(20)) {
            bytes = random.AnyBytes(0, 400);
        } else {
            CString text;
            for (int i = random.Int(1, 60); i > 0; --i)
                text += random.Chance(70) ? random.Pick(pieces) : random.HostileText(30);
            bytes = random.Chance(50) ? Utf8(text) : Utf16Bytes(text);
        }
        WriteFileBytes(root + L"\\in.html", bytes);
        CFavoriteEngine hostile(CString{});
        ASSERT_TRUE(hostile.ParseNetscapeBookmarkFile(root + L"\\in.html"));
        ASSERT_TRUE(hostile.WriteBookmarksLinkPage(root + L"\\page.htm"));
        if (round % 5 == 0) {
            // The page it gave, out again as a bookmark file.
            ASSERT_TRUE(ExportToBookmarkFileUtf8(root + L"\\page.htm", root + L"\\out.html"));
        }
        std::vector<CString> names = ListFolder(root);
        for (const CString& name : names) ASSERT_TRUE(name == L"in.html" || name == L"page.htm" || name == L"out.html");
    }
    testing::internal::GetCapturedStdout();
}

TEST_F(BookmarkFileTest, TypedAddressesAreReplacedOnlyFromAReadablePage) {
    PrivateRegistry registry;  // the browser's own list is never touched
    const wchar_t* key = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";
    CString page = PagePath(L"Typed");
    WritePage(page, L"<a href=\"http://first.example/?x=1&amp;y=2&#38;z\">First</a>\n&gt;&gt;&gt;S&lt;&lt;&lt;"
                    L"<a href=\"http://second.example/\">Second</a><a href=\"http://none.example/\"><img src=x></a>\n");
    // No browser has made the key yet: the restore makes it.
    EXPECT_EQ(RestoreTypedURLs(page), 1);
    EXPECT_TRUE(m_boxes.Boxes().empty());

    HKEY typed = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_ALL_ACCESS, &typed), ERROR_SUCCESS);
    auto set = [&](const wchar_t* name, const wchar_t* value) { SetStringValue(typed, name, value); };
    auto get = [&](const wchar_t* name) { return StringValue(typed, name); };
    // The addresses as typed, not as the page's HTML spells them.
    EXPECT_EQ(get(L"url1"), L"http://first.example/?x=1&y=2&z");
    for (const wchar_t* name : {L"url1", L"url2", L"url3", L"url1200"}) set(name, L"http://old.example/");
    set(L"other", L"kept");
    EXPECT_EQ(RestoreTypedURLs(PagePath(L"Missing")), 0);
    EXPECT_EQ(get(L"url3"), L"http://old.example/");

    EXPECT_EQ(RestoreTypedURLs(page), 1);
    EXPECT_EQ(get(L"url1"), L"http://first.example/?x=1&y=2&z");
    EXPECT_EQ(get(L"url2"), L"http://second.example/");
    EXPECT_EQ(get(L"url3"), L"<missing>");
    EXPECT_EQ(get(L"url1200"), L"<missing>");
    EXPECT_EQ(get(L"other"), L"kept");

    // Pages that give no address (no anchor, only anchors without text):
    // the list stays as it is, and the user hears why.
    for (const wchar_t* text : {L"<html id=tq1>\n&gt;&gt;&gt;S&lt;&lt;&lt;\nJust words.\n",
                                L"<html id=tq1>\n<a href=\"http://none.example/\"><img src=x></a>\n"}) {
        WritePage(PagePath(L"Bare"), text);
        MessageBoxRecorder boxes;
        EXPECT_EQ(RestoreTypedURLs(PagePath(L"Bare")), 0);
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text,
                  L"This page holds no link, so it gives no address: the IE address bar history was left as it is.");
        EXPECT_EQ(get(L"url1"), L"http://first.example/?x=1&y=2&z");
        EXPECT_EQ(get(L"url2"), L"http://second.example/");
    }
    RegCloseKey(typed);
}

TEST_F(BookmarkFileTest, LowerCaseTagsAndDeclaredCharacterSetsArriveWholeByEitherImportRoute) {
    // As some services write them: lower-case tags, a declared set that is
    // not UTF-8 (Mac Roman: "Café – “Ünïcödé”").
    std::string file = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
                       "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=x-mac-roman\">\n"
                       "<title>Bookmarks</title>\n<h1>Bookmarks</h1>\n<dl><p>\n"
                       "    <dt><h3 add_date=\"1\">Caf\x8E \xD0 TeX</h3>\n    <dl><p>\n"
                       "        <dt><a href=\"http://www.esm.psu.edu/mac-tex/\" add_date=\"2\">OzTeX</a>\n"
                       "        <dt><a href=\"http://www.trevorrow.com/oztex/\">OzTeX</a>\n"
                       "        <dt><a href=\"http://x.example/\">\xD2\x86n\x95" "c\x9A" "d\x8E\xD3</a>\n"
                       "    </dl><p>\n"
                       "    <dt><a href=\"http://top.example/\"\n        add_date=\"3\">Top</a>\n"
                       "</dl><p>\n";
    const std::multiset<Link> expected = {
        {L"Caf\x00E9 \x2013 TeX", L"OzTeX", L"http://www.esm.psu.edu/mac-tex/"},
        {L"Caf\x00E9 \x2013 TeX", L"OzTeX", L"http://www.trevorrow.com/oztex/"},
        {L"Caf\x00E9 \x2013 TeX", L"\x201C\x00DCn\x00EF" L"c\x00F6" L"d\x00E9\x201D", L"http://x.example/"},
        {L"Default", L"Top", L"http://top.example/"}};
    CString source = m_dir / L"service.html";
    WriteFileBytes(source, file);
    // The bookmark-file import reads the file itself; the other route reads it
    // through the body-wrapping rewrite first: both read the same text.
    for (bool rewritten : {false, true}) {
        SCOPED_TRACE(rewritten ? "rewritten first" : "read directly");
        CString read = source;
        if (rewritten) {
            read = m_dir / L"wrapped.htm";
            ASSERT_TRUE(WrapBodyInDiv(source, read));
        }
        CFavoriteEngine engine(CString{});
        ASSERT_TRUE(engine.ParseNetscapeBookmarkFile(read));
        EXPECT_EQ(engine.LinkCount(), 4);
        CString page = PagePath(rewritten ? L"Wrapped" : L"Direct");
        ASSERT_TRUE(engine.WriteBookmarksLinkPage(page));
        EXPECT_EQ(PageLinks(page), expected);
        EXPECT_EQ(ReadPage(page).Find(L'\xFFFD'), -1);
    }
    // A file without a single link.
    WriteFileBytes(source, "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<dl><p>\n<dt><h3>Empty</h3>\n<dl><p>\n</dl><p>\n</dl>\n");
    CFavoriteEngine empty(CString{});
    ASSERT_TRUE(empty.ParseNetscapeBookmarkFile(source));
    EXPECT_EQ(empty.LinkCount(), 0);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

// Every quoting a browser reads: HREF in double quotes, single quotes or none
// (the value ends at a blank or ">"), not the first attribute, blanks around
// "=", a ">" inside another attribute's quoted value, and names that only
// begin or hold "href". Entities in a value stay as the file has them.
TEST_F(BookmarkFileTest, EveryQuotingOfTheAttributesIsRead) {
    std::string file = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n"
                       "    <DT><H3 ADD_DATE='1' TITLE=\"a>b\">Tools</H3>\n    <DL><p>\n"
                       "        <DT><A HREF='http://single.example/a?b=1&amp;c=2' ADD_DATE='1'>Single</A>\n"
                       "        <DT><A HREF=http://bare.example/x ADD_DATE=2>Bare</A>\n"
                       "        <DT><A HREF=http://end.example/y>End</A>\n"
                       "        <DT><A ADD_DATE=\"3\" HREF = \"http://later.example/\" ICON=\"data:a>b\">Later</A>\n"
                       "        <DT><A HREFLANG=\"en\" TITLE=\"see href=x\" href=\"http://lang.example/\">Lang</A>\n"
                       "        <DT><A TITLE='it''s' HREF=\"http://quote.example/it's\">It's</A>\n"
                       "    </DL><p>\n"
                       "    <DT><A NAME=\"none\">No address</A>\n"
                       "</DL><p>\n";
    CString source = m_dir / L"quoting.html";
    WriteFileBytes(source, file);
    CFavoriteEngine engine(CString{});
    ASSERT_TRUE(engine.ParseNetscapeBookmarkFile(source));
    std::vector<Link> read;
    for (const LinkRecord& r : engine.Records()) read.push_back({r.path.str(), r.name.str(), r.address.str()});
    EXPECT_EQ(read, (std::vector<Link>{{L"Default\\Tools", L"Tools", L""},
                                       {L"Default\\Tools", L"Single", L"http://single.example/a?b=1&amp;c=2"},
                                       {L"Default\\Tools", L"Bare", L"http://bare.example/x"},
                                       {L"Default\\Tools", L"End", L"http://end.example/y"},
                                       {L"Default\\Tools", L"Later", L"http://later.example/"},
                                       {L"Default\\Tools", L"Lang", L"http://lang.example/"},
                                       {L"Default\\Tools", L"It's", L"http://quote.example/it's"}}));
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(BookmarkFileTest, ExportKeepsEveryTitleAndFolderNameWhole) {
    const CString longTitle = CString(L'x', 150) + L" end";
    CString page = PagePath(L"Titles");
    WritePage(page, L"<html id=tq1>\n<P>&gt;&gt;&gt;C++: tips?&lt;&lt;&lt;</P>\n"
                    L"<a href=\"http://xkcd.com/1126/\">xkcd: Slippery Slope</a><BR>\n"
                    L"<a href=\"http://a.example/\">a\\b/c*d?e|f \"q\" &lt;tag&gt;</a><BR>\n"
                    L"<a href=\"http://b.example/\">Wait for it...</a><BR>\n"
                    L"<a href=\"http://c.example/\">" + longTitle + L"</a><BR>\n"
                    L"<a href=\"http://d.example/\">CON</a><BR>\n"
                    L"<a href=\"http://e.example/\">http://e.example/</a><BR>\n"
                    L"<P>&gt;&gt;&gt;Work\\Dots...&lt;&lt;&lt;</P>\n<a href=\"http://f.example/\">Same</a>"
                    L"<a href=\"http://g.example/\">Same</a>\n" + kPageSpacers + kBodyEndMarkerLine);
    CString file = m_dir / L"titles.html";
    ASSERT_TRUE(ExportToBookmarkFileUtf8(page, file));
    std::string bytes = ReadFileBytes(file);
    for (const CString& entry : {CString(L"<H3>C++: tips?</H3>"), CString(L">xkcd: Slippery Slope</A>"),
                                 CString(L">a\\b/c*d?e|f \"q\" &lt;tag&gt;</A>"), CString(L">Wait for it...</A>"),
                                 L">" + longTitle + L"</A>", CString(L">CON</A>"), CString(L">http://e.example/</A>"),
                                 CString(L"<H3>Dots...</H3>")})
        EXPECT_NE(bytes.find(Utf8(entry)), std::string::npos) << entry.str() << "\n" << bytes;
    EXPECT_EQ(bytes.find('#'), std::string::npos) << bytes;

    // Back in through the bookmark-file import: every title as it was.
    CFavoriteEngine engine(CString{});
    ASSERT_TRUE(engine.ParseNetscapeBookmarkFile(file));
    std::multiset<std::wstring> titles;
    for (const LinkRecord& r : engine.Records())
        if (!r.IsFolder()) titles.insert(r.name.str());
    EXPECT_EQ(titles, (std::multiset<std::wstring>{L"xkcd: Slippery Slope", L"a\\b/c*d?e|f \"q\" &lt;tag&gt;",
                                                   L"Wait for it...", longTitle.str(), L"CON", L"http://e.example/",
                                                   L"Same", L"Same"}));
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

namespace {

// A registry writer that fails from its second value on.
int g_valuesWritten = 0;
LONG WINAPI WriteOneValueThenFail(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
    if (g_valuesWritten++ >= 1) return ERROR_ACCESS_DENIED;
    return RegSetValueExW(key, name, reserved, type, data, size);
}

}  // namespace

TEST_F(BookmarkFileTest, TypedAddressesAreWrittenBeforeAnyOldOneGoes) {
    PrivateRegistry registry;
    HKEY typed = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\TypedURLs", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &typed, nullptr),
              ERROR_SUCCESS);
    auto set = [&](const wchar_t* name, const wchar_t* value) { SetStringValue(typed, name, value); };
    auto get = [&](const wchar_t* name) { return StringValue(typed, name); };
    auto oldList = [&] {
        for (const wchar_t* name : {L"url1", L"url2", L"url3", L"URL7", L"url04"}) set(name, name);
        set(L"other", L"kept");
    };
    const std::vector<CString> fresh = {L"http://one.example/", L"http://two.example/"};

    // The second write fails: the first address is in, nothing else of the
    // old list is gone.
    oldList();
    g_valuesWritten = 0;
    EXPECT_FALSE(ReplaceTypedUrlValues(typed, fresh, WriteOneValueThenFail));
    EXPECT_EQ(get(L"url1"), L"http://one.example/");
    EXPECT_EQ(get(L"url2"), L"url2");
    EXPECT_EQ(get(L"url3"), L"url3");
    EXPECT_EQ(get(L"URL7"), L"URL7");
    EXPECT_EQ(get(L"url04"), L"url04");

    // Every write succeeds: the new list, and of the old only what is no typed address.
    EXPECT_TRUE(ReplaceTypedUrlValues(typed, fresh));
    EXPECT_EQ(get(L"url1"), L"http://one.example/");
    EXPECT_EQ(get(L"url2"), L"http://two.example/");
    for (const wchar_t* gone : {L"url3", L"URL7", L"url04"}) EXPECT_EQ(get(gone), L"<missing>") << gone;
    EXPECT_EQ(get(L"other"), L"kept");

    // An empty list ends empty.
    oldList();
    EXPECT_TRUE(ReplaceTypedUrlValues(typed, {}));
    for (const wchar_t* gone : {L"url1", L"url2", L"url3", L"URL7", L"url04"}) EXPECT_EQ(get(gone), L"<missing>") << gone;
    EXPECT_EQ(get(L"other"), L"kept");
    RegCloseKey(typed);
}

TEST_F(BookmarkFileTest, AnAnsiCopyTellsHowManyLinkTitlesLostCharacters) {
    // Titles the ANSI code page cannot hold whole, beside one it can.
    CString wide = PagePath(L"Wide"), copy = m_dir / L"Wide.htm";
    WritePage(wide, L"<html id=tq1>\n&gt;&gt;&gt;Film&lt;&lt;&lt;\n"
                    L"<a href=\"http://a.example/\">Rashomon (\x673D\x6728)</a><br>\n"
                    L"<a href=\"http://b.example/\">Caf\x00E9</a><br>\n"
                    L"<a href=\"http://c.example/\">\x4E2D\x6587</a><br>\n");
    AnsiLoss loss;
    ASSERT_TRUE(ExportPageAsAnsi(wide, copy, loss));
    EXPECT_EQ(loss.titles, 2);
    std::string bytes = ReadFileBytes(copy);
    EXPECT_NE(bytes.find("Rashomon (##)</a>"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("Caf\xE9</a>"), std::string::npos) << bytes;
    EXPECT_EQ(AnsiLossText(loss),
              L"2 link titles lost characters that the ANSI code page does not hold; they were written as \"#\".");

    // Pages add up; one whose titles fit but whose other text does not is
    // told only where no title lost anything.
    CString words = PagePath(L"Words");
    WritePage(words, L"<html id=tq1>\n<p>\x4E2D\x6587 notes</p>\n&gt;&gt;&gt;S&lt;&lt;&lt;\n"
                     L"<a href=\"http://d.example/\">Plain</a>\n");
    AnsiLoss other;
    ASSERT_TRUE(ExportPageAsAnsi(words, words, other));  // in place, as a folder's copy is converted
    EXPECT_EQ(other.titles, 0);
    EXPECT_TRUE(other.otherText);
    EXPECT_EQ(AnsiLossText(other), L"Some text lost characters that the ANSI code page does not hold; they were written as \"#\".");
    EXPECT_EQ(ReadFileBytes(words).substr(0, 13), "<html id=tq1>");
    ASSERT_TRUE(ExportPageAsAnsi(wide, copy, other));
    EXPECT_EQ(AnsiLossText(other),
              L"2 link titles lost characters that the ANSI code page does not hold; they were written as \"#\".");

    // Nothing lost, nothing said; a page that cannot be read is no copy.
    CString plain = PagePath(L"Plain");
    WritePage(plain, L"<html id=tq1>\n&gt;&gt;&gt;S&lt;&lt;&lt;\n<a href=\"http://e.example/\">Caf\x00E9 &#26429;</a>\n");
    AnsiLoss none;
    ASSERT_TRUE(ExportPageAsAnsi(plain, m_dir / L"Plain.htm", none));
    EXPECT_EQ(AnsiLossText(none), L"");
    EXPECT_FALSE(ExportPageAsAnsi(PagePath(L"Missing"), m_dir / L"Missing.htm", none));
    EXPECT_FALSE(PathExists(m_dir / L"Missing.htm"));
    AnsiLoss one{1, false};
    EXPECT_EQ(AnsiLossText(one),
              L"1 link title lost characters that the ANSI code page does not hold; they were written as \"#\".");
}
