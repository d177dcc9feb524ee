// Bookmark benchmark: a 10,000-entry bookmark file laid out as browsers
// export it (nested folders, UTF-8), imported into a link page and the page
// exported as a bookmark file again; goal under 2 s each. Beside them, the
// first 2,000 links of that page written out as a folder of shortcut files and
// that folder read back through the shell (the favourites road); goal under 2 s
// each as well, each beside its floor: the same files made, and read back, by
// bare file calls.
//
// Run in the build's own prefix:
//   WINEPREFIX=$PWD/build/wineprefix wine build/bench/bookmarks/bookmark_bench.exe
#include "bookmarks/BookmarkExport.h"
#include "favorites/FavoriteEngine.h"
#include "favorites/FavoritesExport.h"
#include "pages/PageFile.h"
#include "util/Files.h"
#include "util/Folders.h"
#include "util/Strings.h"

#include "core/MessageBox.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// 10,000 entries in folders up to four deep, titles partly non-ASCII.
CString BrowserBookmarkFile(int entries) {
    std::mt19937 random(16);
    static const wchar_t* words[] = {L"news", L"Recipes", L"caf\x00e9", L"\x4e2d\x6587", L"travel", L"R\x00e9sum\x00e9",
                                     L"code", L"music"};
    auto word = [&] { return CString(words[random() % 8]); };
    CString text = L"<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                   L"charset=UTF-8\">\n<TITLE>Bookmarks</TITLE>\n<H1>Bookmarks</H1>\n<DL><p>\n";
    int depth = 0;
    for (int i = 0; i < entries; ++i) {
        CString indent(L' ', 4 * (depth + 1));
        unsigned choice = random() % 100;
        if (choice < 3 && depth < 4) {
            text += indent + L"<DT><H3 ADD_DATE=\"1700000000\">" + word() + L" " + CString(std::to_wstring(i).c_str()) +
                    L"</H3>\n" + indent + L"<DL><p>\n";
            ++depth;
        } else if (choice < 6 && depth > 0) {
            --depth;
            text += CString(L' ', 4 * (depth + 1)) + L"</DL><p>\n";
        } else {
            text += indent + L"<DT><A HREF=\"https://www.example" + CString(std::to_wstring(random() % 3000).c_str()) +
                    L".com/p?id=" + CString(std::to_wstring(i).c_str()) +
                    L"\" ADD_DATE=\"1700000000\" ICON=\"data:image/png;base64,iVBORw0KGgo=\">" + word() + L" " +
                    word() + L" " + CString(std::to_wstring(i).c_str()) + L"</A>\n";
        }
    }
    for (; depth > 0; --depth) text += CString(L' ', 4 * depth) + L"</DL><p>\n";
    return text + L"</DL><p>\n";
}

} // namespace

int main() {
    SetMessageBoxHook([](HWND, const CString& text, const CString&, UINT) {
        std::printf("message: %ls\n", text.GetString());
        return IDOK;
    });
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    CString folder = CString(base) + L"tarvelo_bookmark_bench";
    DeleteFolder(folder);
    CreateDirectoryW(folder, nullptr);

    const int kEntries = 10000;
    CStringA utf8 = WideToCodePage(BrowserBookmarkFile(kEntries), CP_UTF8);
    CString input = folder + L"\\browser.html", page = folder + L"\\Bookmarks.htm", output = folder + L"\\out.html";
    HANDLE file = CreateFileW(input, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, utf8.GetString(), static_cast<DWORD>(utf8.GetLength()), &written, nullptr);
    CloseHandle(file);

    auto start = Clock::now();
    size_t records = 0;
    {
        CFavoriteEngine engine(CString{});
        engine.ParseNetscapeBookmarkFile(input);
        engine.WriteBookmarksLinkPage(page);
        records = engine.Records().size();
    }
    double import = Seconds(start);
    start = Clock::now();
    ExportToBookmarkFileUtf8(page, output);
    double exportTime = Seconds(start);
    std::vector<PageLinkRecord> links;
    CollectPageLinks(page, links);

    // The shortcut road, on the first sections of the page (the shell is slow
    // under Wine): a page cut after kShortcutLinks links.
    const int kShortcutLinks = 2000;
    CString favorites = folder + L"\\Favorites", smaller = folder + L"\\Smaller.htm";
    {
        CString text;
        ReadPageText(page, text);
        int at = 0;
        for (int n = 0; n < kShortcutLinks && at >= 0; ++n) at = text.Find(L"</a>", at + 1);
        WritePageText(smaller, at < 0 ? text : text.Left(at + 4) + L"\n");
    }
    start = Clock::now();
    ExportPageToFavorites(smaller, favorites);
    double toShortcuts = Seconds(start);
    start = Clock::now();
    size_t loaded = 0;
    {
        CFavoriteEngine engine(favorites);
        engine.LoadFolderTree(favorites);
        engine.FlattenTree(engine.Root());
        loaded = engine.Records().size();
    }
    double fromShortcuts = Seconds(start);

    // Wine's own share of both: the same files made, and read back, by bare
    // file calls (the floor).
    std::vector<CString> shortcuts;
    FindFilesRecursive(favorites, shortcuts);
    std::vector<std::string> contents(shortcuts.size());
    for (size_t i = 0; i < shortcuts.size(); ++i) ReadWholeFile(shortcuts[i], contents[i]);
    for (const CString& path : shortcuts) DeleteFileW(path);
    start = Clock::now();
    for (size_t i = 0; i < shortcuts.size(); ++i) {
        HANDLE made = CreateFileW(shortcuts[i], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD done = 0;
        WriteFile(made, contents[i].data(), static_cast<DWORD>(contents[i].size()), &done, nullptr);
        CloseHandle(made);
    }
    double writeFloor = Seconds(start);
    start = Clock::now();
    std::vector<CString> listed;
    FindFilesRecursive(favorites, listed);
    for (const CString& path : listed) ReadWholeFile(path, contents[0]);
    double readFloor = Seconds(start);

    std::printf("bookmark file of %d entries: %zu records, %zu links on the page\n", kEntries, records, links.size());
    std::printf("import (parse + link page):        %7.3f s (goal: under 2 s)\n", import);
    std::printf("export (page -> bookmark file):    %7.3f s (goal: under 2 s)\n", exportTime);
    std::printf("page -> %d shortcut files:       %7.3f s (goal: under 2 s); floor: the %zu files made by bare file "
                "calls %.3f s, ratio %.2f\n",
                kShortcutLinks, toShortcuts, shortcuts.size(), writeFloor, toShortcuts / writeFloor);
    std::printf("shortcut folder -> records (shell): %6.3f s, %zu records (goal: under 2 s); floor: the folder listed "
                "and its files read by bare file calls %.3f s, ratio %.2f\n",
                fromShortcuts, loaded, readFloor, fromShortcuts / readFloor);
    DeleteFolder(folder);
    return 0;
}
