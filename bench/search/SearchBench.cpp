// Search benchmark: 10,000 pages in 100 folders searched for a word and for a
// pattern that no page holds (so every page is read and tested), beside one
// plain read of the same files. The pages are also written once as UTF-8
// below <folder>\utf8 for compare_grep.sh, which times grep -r -l over them.
//
// Run in the build's own prefix (the folder defaults to the temporary folder):
//   WINEPREFIX=$PWD/build/wineprefix wine build/bench/search/search_bench.exe [folder]
#include "search/PageWalk.h"
#include "pages/PageFile.h"
#include "util/Files.h"
#include "util/Folders.h"
#include "util/Strings.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

const wchar_t* kWords[] = {L"note", L"travel", L"recipe", L"paper", L"budget", L"garden", L"music",
                           L"reading", L"project", L"meeting", L"photo", L"code", L"health", L"news"};

CString MakePage(std::mt19937& random, int number) {
    CString page;
    page.Format(L"<html id=tq1>\n<HEAD>\n<TITLE>Page %d</TITLE>\n</HEAD>\n<BODY>\n", number);
    for (int section = 0; section < 6; ++section) {
        CString line;
        line.Format(L"<P>&gt;&gt;&gt;%ls %d&lt;&lt;&lt;</P>\n", kWords[random() % 14], section);
        page += line;
        for (int link = 0; link < 8; ++link) {
            line.Format(L"<A href=\"http://www.example%u.com/a/%d.html\">&nbsp;%ls %ls %ls&nbsp;</A><BR>\n",
                        static_cast<unsigned>(random() % 500), link, kWords[random() % 14], kWords[random() % 14],
                        kWords[random() % 14]);
            page += line;
        }
        page += L"<P>Some words about " + CString(kWords[random() % 14]) + L", kept for later reading.</P>\n";
    }
    return page + L"<HR id=bodyend>\n</BODY></HTML>\n";
}

}  // namespace

int main(int argc, char** argv) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    CString root = argc > 1 ? CodePageToWide(argv[1], strlen(argv[1]), CP_ACP) : CString(temp) + L"tarvelo-search-bench";
    root.TrimRight(L'\\');
    CString pagesFolder = root + L"\\pages", utf8Folder = root + L"\\utf8";
    CreateDirectoryW(root, nullptr);
    if (FolderExists(pagesFolder)) DeleteFolder(pagesFolder);
    if (FolderExists(utf8Folder)) DeleteFolder(utf8Folder);
    CreateDirectoryW(pagesFolder, nullptr);
    CreateDirectoryW(utf8Folder, nullptr);

    std::mt19937 random(16);
    for (int folder = 0; folder < 100; ++folder) {
        CString name;
        name.Format(L"\\folder%d", folder);
        CreateDirectoryW(pagesFolder + name, nullptr);
        CreateDirectoryW(utf8Folder + name, nullptr);
        for (int page = 0; page < 100; ++page) {
            CString file;
            file.Format(L"%ls\\page%d.htm", name.GetString(), page);
            CString text = MakePage(random, folder * 100 + page);
            WritePageText(pagesFolder + file, text);
            CStringA utf8 = WideToCodePage(text, CP_UTF8);
            WriteFileBytesReplacing(utf8Folder + file, std::string(utf8.GetString(), static_cast<size_t>(utf8.GetLength())));
        }
    }

    std::vector<CString> pages;
    Clock::time_point start = Clock::now();
    AppendSearchablePages(pagesFolder, {}, pages);
    std::string bytes;
    size_t total = 0;
    for (const CString& page : pages)
        if (ReadWholeFile(page, bytes)) total += bytes.size();
    double read = Seconds(start);

    std::vector<CString> matches;
    start = Clock::now();
    std::vector<CString> listed;
    AppendSearchablePages(pagesFolder, {}, listed);
    size_t wordHit = FindMatchingPage(listed, 0, L"zanzibar", 0, 0, matches);
    double word = Seconds(start);

    start = Clock::now();
    listed.clear();
    AppendSearchablePages(pagesFolder, {}, listed);
    size_t patternHit = FindMatchingPage(listed, 0, L"zan+zi[bp]ar", 1, 0, matches);
    double pattern = Seconds(start);

    std::printf("pages %zu, %.1f MB\n", pages.size(), static_cast<double>(total) / 1e6);
    std::printf("plain read      %.3f s\n", read);
    std::printf("search word     %.3f s  (%.2f x the read, goal 3)%s\n", word, word / read,
                wordHit == listed.size() ? "" : "  UNEXPECTED HIT");
    std::printf("search pattern  %.3f s  (%.2f x the read, goal 3)%s\n", pattern, pattern / read,
                patternHit == listed.size() ? "" : "  UNEXPECTED HIT");
    std::printf("utf8 copy       %ls\n", utf8Folder.GetString());
    return 0;
}
