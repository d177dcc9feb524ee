// The main window's speed: an interactive start with 10,000 pages in 200
// folders until the main window is up with its tree filled and painted,
// beside a bare Win32 window's start in the same run (goal: within 2 times)
// and beside the floor of a bare program doing the same window work on Win32
// alone (bare_frame); expanding a folder of 2,000 pages (goal: under 100 ms);
// moving a folder of 1,000 pages as a drop does it, beside a plain copy of
// those files (goal: within 2 times) and beside the floor of the disk and
// registry work no move can leave out (the rename, one read of every page and
// one index value written per page: every drop rewrites the values of all
// pages). The program's settings are put aside for the run.
#include "BenchFiles.h"
#include "BenchSettings.h"
#include "BenchTiming.h"
#include "core/String.h"
#include "tree/TreeFiller.h"
#include "tree/XTreeCtrl.h"
#include "util/Registry.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using bench::DeleteTree;

int g_runCount = 7;  // a number among the arguments replaces it
const wchar_t kBackupKey[] = L"Software\\TarveloMainWindowBenchBackup";

using bench::Median;
using bench::Now;
using bench::Pump;

CString WinePath(const wchar_t* unixPath) {
    CString path = unixPath;
    if (path.GetLength() > 0 && path[0] == L'/') {
        path.Replace(L'/', L'\\');
        path = L"Z:" + path;
    }
    return path;
}

void WritePage(const CString& path) {
    static const std::wstring text =
        L"<html id=tq1>\n<head>\n<title>Page</title>\n</head>\n<body>\n&gt;&gt;&gt;News&lt;&lt;&lt;\n<br>\n"
        L"<HR id=bodyend width=\"50%\" color=black size=1>\n</body>\n</html>\n";
    bench::WriteUtf16File(path, text);
}

void MakeFolder(const CString& folder, int pages) {
    CreateDirectoryW(folder, nullptr);
    for (int page = 0; page < pages; ++page) {
        CString name;
        name.Format(L"%ls\\Page%04d.htm", folder.GetString(), page);
        WritePage(name);
    }
}

struct Search {
    DWORD processId;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    if (owner != search->processId || !IsWindowVisible(window) || wcscmp(text, search->caption) != 0) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK FindTree(HWND window, LPARAM data) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (wcscmp(name, WC_TREEVIEWW) != 0) return TRUE;
    *reinterpret_cast<HWND*>(data) = window;
    return FALSE;
}

// From the process start until its window with the caption is visible, (for
// the program) its tree holds at least `items` items, and it waits for input
// with everything painted.
double TimeToWindow(const CString& exe, const wchar_t* caption, int items, const CString& arguments = CString()) {
    CString commandLine = L"\"" + exe + L"\"";
    if (!arguments.IsEmpty()) commandLine += L" \"" + arguments + L"\"";
    std::wstring buffer = commandLine.str();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    double started = Now(), elapsed = -1;
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    while (Now() - started < 120000) {
        Search search{process.dwProcessId, caption, nullptr};
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
        HWND tree = nullptr;
        if (search.found && items > 0) EnumChildWindows(search.found, FindTree, reinterpret_cast<LPARAM>(&tree));
        bool filled = items == 0 || (tree && static_cast<int>(SendMessageW(tree, TVM_GETCOUNT, 0, 0)) >= items);
        if (search.found && filled) {
            WaitForInputIdle(process.hProcess, 10000);
            if (tree) UpdateWindow(tree);
            elapsed = Now() - started;
            PostMessageW(search.found, WM_CLOSE, 0, 0);
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

void PutSettingsAside() { bench::PutSettingsAside(kBackupKey); }
void BringSettingsBack() { bench::BringSettingsBack(kBackupKey); }

// A tree in a window of its own over the Allpages folder, as the main window holds it.
struct TreeHost {
    CWnd parent;
    CXTreeCtrl tree;
    TreeFiller filler;

    explicit TreeHost(const CString& allpages) {
        parent.CreateEx(0, CWnd::RegisterWndClass(0), L"Tree bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 700,
                        nullptr, nullptr);
        tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, CRect(0, 0, 280, 660),
                    &parent, kTreeControlId);
        filler.SetUp(&tree, nullptr, allpages);
        filler.FillTree();
    }
    ~TreeHost() { parent.DestroyWindow(); }
};

// Every page file below the folder, by its full path.
void ListPages(const CString& folder, std::vector<CString>& pages) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(folder + L"\\*", FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return;
    std::vector<CString> folders;
    do {
        CString name = data.cFileName;
        if (name[0] == L'.') continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) folders.push_back(folder + L"\\" + name);
        else pages.push_back(folder + L"\\" + name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    for (const CString& sub : folders) ListPages(sub, pages);
}

// What the disk and the registry must do for any move of the folder, done
// on Win32 alone: the rename, one read of every page below Allpages (on as
// many threads as the program's rebuild reads with) and, meanwhile, one value
// written per page into a key that holds them already (as the index does).
// The folder is renamed back afterwards, untimed. Gives the count of pages.
double MoveFloor(const CString& allpages, const CString& source, const CString& destination, int& pageCount) {
    const wchar_t scratch[] = L"Software\\TarveloMainWindowBenchFloor";
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, scratch, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    const wchar_t value[] = L"News,1";
    auto writeValues = [&](const std::vector<CString>& pages) {
        for (const CString& page : pages)
            RegSetValueExW(key, page.Mid(allpages.GetLength() + 1), 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                           sizeof(value));
    };
    {
        std::vector<CString> before;
        ListPages(allpages, before);
        for (CString& page : before) page.Replace(source, destination);
        writeValues(before);
    }
    double started = Now();
    MoveFileExW(source, destination, 0);
    std::vector<CString> pages;
    ListPages(allpages, pages);
    std::atomic<size_t> next{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 4; ++r)
        readers.emplace_back([&] {
            std::vector<char> buffer;
            for (size_t i = next++; i < pages.size(); i = next++) {
                HANDLE file = CreateFileW(pages[i], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
                if (file == INVALID_HANDLE_VALUE) continue;
                LARGE_INTEGER size{};
                GetFileSizeEx(file, &size);
                buffer.resize(static_cast<size_t>(size.QuadPart));
                DWORD read = 0;
                ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr);
                CloseHandle(file);
            }
        });
    writeValues(pages);
    for (std::thread& reader : readers) reader.join();
    double elapsed = Now() - started;
    pageCount = static_cast<int>(pages.size());
    RegCloseKey(key);
    RegDeleteTreeW(HKEY_CURRENT_USER, scratch);
    MoveFileExW(destination, source, 0);
    return elapsed;
}

}  // namespace

int main(int argc, char** argv) {
    // "start" as an argument times only the start; a number is the count of runs.
    bool startOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "start") startOnly = true;
        else if (int runs = std::atoi(argv[i]); runs > 0) g_runCount = runs;
    }
    PutSettingsAside();
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    CString install;
    install.Format(L"%lsTarveloMainWindowBench%lu", temp, GetCurrentProcessId());
    CString allpages = install + L"\\Bookmark\\Allpages";
    CreateDirectoryW(install, nullptr);
    CreateDirectoryW(install + L"\\Bookmark", nullptr);
    CreateDirectoryW(allpages, nullptr);
    WriteSettingString(L"Settings", L"InstallPath", install);
    WriteSettingString(L"AllPages", L"none", L"");  // the index exists: no build before the window

    // 1. Interactive start with 10,000 pages in 200 folders.
    std::printf("making 10,000 pages in 200 folders ...\n");
    for (int folder = 0; folder < 200; ++folder) {
        CString name;
        name.Format(L"%ls\\Topic%03d", allpages.GetString(), folder);
        MakeFolder(name, 50);
    }
    const CString tarvelo = WinePath(TARVELO_EXE_PATH), bare = WinePath(BARE_WINDOW_EXE_PATH),
                  bareFrame = WinePath(BARE_FRAME_EXE_PATH);
    TimeToWindow(bare, L"Bare window", 0);
    TimeToWindow(bareFrame, L"Bare frame", 201, allpages);
    TimeToWindow(tarvelo, L"Tarvelo 2.3", 201);
    std::vector<double> bareTimes, frameTimes, startTimes;
    for (int run = 0; run < g_runCount; ++run) {
        bareTimes.push_back(TimeToWindow(bare, L"Bare window", 0));
        frameTimes.push_back(TimeToWindow(bareFrame, L"Bare frame", 201, allpages));
        startTimes.push_back(TimeToWindow(tarvelo, L"Tarvelo 2.3", 201));
        std::printf("run %d: bare window %.0f ms, bare frame with its tree %.0f ms, main window with its tree %.0f ms\n",
                    run + 1, bareTimes.back(), frameTimes.back(), startTimes.back());
    }
    double bareMedian = Median(bareTimes), frameMedian = Median(frameTimes), startMedian = Median(startTimes);
    std::printf("start, median of %d runs: bare window %.0f ms, main window with its tree %.0f ms, ratio %.2f "
                "(goal: at most 2.00); floor: the same window work from a bare program %.0f ms, ratio %.2f\n",
                g_runCount, bareMedian, startMedian, bareMedian > 0 ? startMedian / bareMedian : 0.0, frameMedian,
                frameMedian > 0 ? startMedian / frameMedian : 0.0);

    if (startOnly) {
        DeleteTree(install);
        BringSettingsBack();
        return 0;
    }

    // 2. Expanding a folder of 2,000 pages.
    MakeFolder(allpages + L"\\Big", 2000);
    {
        TreeHost host(allpages);
        HTREEITEM big = host.tree.m_itemsByPath[allpages + L"\\Big"];
        std::vector<double> times;
        for (int run = 0; run < g_runCount; ++run) {
            // Every run fills the folder from nothing, as its first opening does.
            host.tree.CollapseFolder(big);
            while (HTREEITEM child = host.tree.GetChildItem(big)) host.tree.DeleteItem(child);
            host.tree.SetItemHasChildren(big, true);
            Pump();
            double started = Now();
            host.tree.ExpandFolder(big);
            host.tree.UpdateWindow();
            times.push_back(Now() - started);
        }
        std::printf("expanding a folder of 2,000 pages: median %.1f ms over %d runs (goal: under 100 ms); %u items\n",
                    Median(times), g_runCount, host.tree.GetCount());
    }

    // 3. Moving a folder of 1,000 pages by a drop, beside a plain copy of its
    // files and beside the move's floor.
    std::vector<double> moveTimes, copyTimes, floorTimes;
    int pageCount = 0;
    for (int run = 0; run < g_runCount; ++run) {
        CString source = allpages + L"\\Moving", copy = allpages + L"\\PlainCopy";
        MakeFolder(source, 1000);
        CreateDirectoryW(allpages + L"\\Target", nullptr);
        double started = Now();
        CreateDirectoryW(copy, nullptr);
        for (int page = 0; page < 1000; ++page) {
            CString name;
            name.Format(L"\\Page%04d.htm", page);
            CopyFileW(source + name, copy + name, FALSE);
        }
        copyTimes.push_back(Now() - started);
        DeleteTree(copy);
        floorTimes.push_back(MoveFloor(allpages, source, allpages + L"\\Target\\Moving", pageCount));
        {
            TreeHost host(allpages);
            HTREEITEM moving = host.tree.m_itemsByPath[source];
            HTREEITEM target = host.tree.m_itemsByPath[allpages + L"\\Target"];
            started = Now();
            host.tree.MoveItem(moving, target);
            moveTimes.push_back(Now() - started);
        }
        DeleteTree(allpages + L"\\Target");
    }
    double copyMedian = Median(copyTimes), moveMedian = Median(moveTimes), floorMedian = Median(floorTimes);
    std::printf("moving a folder of 1,000 pages: median %.0f ms, plain copy of its files %.0f ms, ratio %.2f "
                "(goal: at most 2.00); floor: rename, read of all %d pages and a value for each %.0f ms, ratio %.2f\n",
                moveMedian, copyMedian, copyMedian > 0 ? moveMedian / copyMedian : 0.0, pageCount,
                floorMedian, floorMedian > 0 ? moveMedian / floorMedian : 0.0);

    DeleteTree(install);
    BringSettingsBack();
    return 0;
}
