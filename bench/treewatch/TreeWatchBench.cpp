// The folder tree follows the disk through its folder watch. On a store of
// 10,000 pages in 100 folders, all of them filled in the tree: the window's
// longest stall (the longest time one message of the tree's window held the
// user-interface thread) from a page written by another thread, as a clip's
// process writes it, until the tree shows it, and after a save of a page on
// the window's own thread (goal for both: at most 50 ms); beside the plain
// listing of the same store (every folder once), which each change cost the
// window before, and the comparison of every filled folder with the disk
// that the tree makes when the system loses count of the changes. The
// program's settings are put aside for the run.
#include "BenchFiles.h"
#include "BenchSettings.h"
#include "BenchTiming.h"
#include "core/String.h"
#include "pages/PageFile.h"
#include "tree/FolderListing.h"
#include "tree/TreeFiller.h"
#include "tree/XTreeCtrl.h"
#include "util/Registry.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using bench::Now;

int g_runCount = 15;  // a number among the arguments replaces it
constexpr int kFolders = 100, kPagesPerFolder = 100;
constexpr double kGoalMs = 50;
const wchar_t kBackupKey[] = L"Software\\TarveloTreeWatchBenchBackup";

const CString kPageText = L"<html id=tq1>\n<head>\n<title>Page</title>\n</head>\n<body>\n&gt;&gt;&gt;News&lt;&lt;&lt;\n"
                          L"<br>\n<HR id=bodyend width=\"50%\" color=black size=1>\n</body>\n</html>\n";

// A tree in a window of its own over the Allpages folder, as the main window holds it.
struct TreeHost {
    CWnd parent;
    CXTreeCtrl tree;
    TreeFiller filler;

    explicit TreeHost(const CString& allpages) {
        parent.CreateEx(0, CWnd::RegisterWndClass(0), L"Tree watch bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300,
                        700, nullptr, nullptr);
        tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, CRect(0, 0, 280, 660),
                    &parent, kTreeControlId);
        filler.SetUp(&tree, nullptr, allpages);
        filler.FillTree();
    }
    ~TreeHost() { parent.DestroyWindow(); }
};

// Runs the thread's messages until `done` holds and then `quietMs` more (at
// most `limitMs` in all); the longest time one message took, in ms, or -1
// when `done` never held.
double LongestStall(const std::function<bool()>& done, double quietMs = 300, double limitMs = 10000) {
    double worst = 0;
    const double start = Now();
    double doneAt = -1;
    while (Now() - start < limitMs) {
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            const double before = Now();
            DispatchMessageW(&msg);
            worst = std::max(worst, Now() - before);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
        if (doneAt < 0 && done()) doneAt = Now();
        if (doneAt >= 0 && Now() - doneAt >= quietMs) return worst;
    }
    return doneAt < 0 ? -1 : worst;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (int runs = std::atoi(argv[i]); runs > 0) g_runCount = runs;
    bench::PutSettingsAside(kBackupKey);
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    CString install;
    install.Format(L"%lsTarveloTreeWatchBench%lu", temp, GetCurrentProcessId());
    const CString allpages = install + L"\\Bookmark\\Allpages";
    CreateDirectoryW(install, nullptr);
    CreateDirectoryW(install + L"\\Bookmark", nullptr);
    CreateDirectoryW(allpages, nullptr);
    WriteSettingString(L"Settings", L"InstallPath", install);

    std::printf("making %d pages in %d folders ...\n", kFolders * kPagesPerFolder, kFolders);
    std::vector<CString> folders;
    for (int folder = 0; folder < kFolders; ++folder) {
        CString path;
        path.Format(L"%ls\\Topic%03d", allpages.GetString(), folder);
        CreateDirectoryW(path, nullptr);
        folders.push_back(path);
        for (int page = 0; page < kPagesPerFolder; ++page) {
            CString name;
            name.Format(L"%ls\\Page%03d.htm", path.GetString(), page);
            WritePageText(name, kPageText);
        }
    }

    int status = 0;
    {
        TreeHost host(allpages);
        for (const CString& folder : folders) {
            auto item = host.tree.m_itemsByPath.find(folder);
            if (item != host.tree.m_itemsByPath.end()) host.tree.ExpandFolder(item->second);
        }
        LongestStall([&] { return host.tree.IsWatchingDisk(); }, 500);
        std::printf("tree: %u items, watching: %s\n", host.tree.GetCount(), host.tree.IsWatchingDisk() ? "yes" : "no");
        if (!host.tree.IsWatchingDisk()) status = 1;

        // The plain listing of the store, every folder once.
        std::vector<double> listings;
        for (int run = 0; run < 7; ++run) {
            const double start = Now();
            size_t entries = 0;
            ForEachTreeEntry(allpages, [&](const CString&, bool) { ++entries; });
            for (const CString& folder : folders) ForEachTreeEntry(folder, [&](const CString&, bool) { ++entries; });
            listings.push_back(Now() - start);
        }
        const double listing = bench::Median(listings);
        // The comparison of every filled folder with the disk.
        std::vector<double> comparisons;
        for (int run = 0; run < 7; ++run) {
            const double start = Now();
            host.tree.ShowDiskState();
            comparisons.push_back(Now() - start);
        }

        std::vector<double> clips, saves, writes;
        for (int run = 0; run < g_runCount; ++run) {
            // A clip's process writes a new page into one of the folders.
            CString page;
            page.Format(L"%ls\\Clip%03d.htm", folders[(run * 37) % kFolders].GetString(), run);
            std::thread clip([&] { WritePageText(page, kPageText); });
            clips.push_back(LongestStall([&] { return host.tree.m_itemsByPath.count(page) != 0; }));
            clip.join();
            // The window saves a page of its own.
            CString saved;
            saved.Format(L"%ls\\Page%03d.htm", folders[(run * 53) % kFolders].GetString(), run % kPagesPerFolder);
            const double start = Now();
            WritePageText(saved, kPageText + L"<!-- saved -->\n");
            writes.push_back(Now() - start);
            saves.push_back(LongestStall([] { return true; }, 500));
            // The new page goes again, untimed.
            DeleteFileW(page);
            LongestStall([&] { return host.tree.m_itemsByPath.count(page) == 0; }, 100);
        }
        const double clipWorst = *std::max_element(clips.begin(), clips.end());
        const double saveWorst = *std::max_element(saves.begin(), saves.end());
        std::printf("plain listing of the store (%d folders): median %.1f ms; comparison of every filled folder with "
                    "the disk: median %.1f ms\n",
                    kFolders + 1, listing, bench::Median(comparisons));
        std::printf("a clip's new page: the window's longest stall %.1f ms (median of the runs' longest %.1f ms, %d "
                    "runs; goal: at most %.0f ms), beside the store's plain listing %.1f ms\n",
                    clipWorst, bench::Median(clips), g_runCount, kGoalMs, listing);
        std::printf("a save of a page: the window's longest stall after it %.1f ms (median %.1f ms, %d runs; goal: at "
                    "most %.0f ms; the save's own write %.1f ms), beside the store's plain listing %.1f ms\n",
                    saveWorst, bench::Median(saves), g_runCount, kGoalMs, bench::Median(writes), listing);
        if (clipWorst < 0) status = 1;  // the tree never showed a page
    }
    bench::DeleteTree(install);
    bench::BringSettingsBack(kBackupKey);
    return status;
}
