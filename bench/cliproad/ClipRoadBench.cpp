// Measures how long a link-clip process takes from its start until its "Add
// to Tarvelo" dialog is on the screen, with 10,000 pages in the store, and
// beside it two floors under the same Wine in the same run: a bare Win32
// program until its window shows (the goal's yardstick), and a bare program
// until it shows the same dialog from the program's resources (the window
// work no clip can leave out). The program's settings are put aside for the
// run and brought back afterwards.
#include "BenchFiles.h"
#include "core/String.h"
#include "util/Registry.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifndef TARVELO_BENCH_PAGES
#define TARVELO_BENCH_PAGES 10000
#endif

namespace {

using bench::DeleteTree;
using bench::WriteUtf16File;

constexpr int kPages = TARVELO_BENCH_PAGES;
constexpr int kFolders = kPages >= 100 ? 100 : 1;
constexpr int kDefaultRuns = 7;

CString WinePath(const wchar_t* unixPath) {
    CString path = unixPath;
    if (path.GetLength() > 0 && path[0] == L'/') {
        path.Replace(L'/', L'\\');
        path = L"Z:" + path;
    }
    return path;
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
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
    if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    if (wcscmp(text, search->caption) != 0) return TRUE;
    search->found = window;
    return FALSE;
}

// Starts the program, waits until its window with the caption is visible and
// returns the time that took (-1 when it never came); then, when asked, waits
// until the window's page list holds `listedPages` items and gives that time
// in `listedMs`; then closes the window with the command and waits for the
// process to end.
double TimeToWindow(const CString& exe, const CString& arguments, const wchar_t* caption, UINT closeMessage,
                    WPARAM closeParam, int listedPages = 0, double* listedMs = nullptr) {
    CString commandLine = L"\"" + exe + L"\" " + arguments;
    std::wstring buffer = commandLine.str();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    LARGE_INTEGER started, shown;
    QueryPerformanceCounter(&started);
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    double elapsed = -1;
    for (;;) {
        Search search{process.dwProcessId, caption, nullptr};
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            QueryPerformanceCounter(&shown);
            elapsed = Milliseconds(started, shown);
            if (listedMs) {
                HWND list = GetDlgItem(search.found, 1008);
                LARGE_INTEGER now = shown;
                while (SendMessageW(list, CB_GETCOUNT, 0, 0) < listedPages && Milliseconds(started, now) < 120000) {
                    Sleep(1);
                    QueryPerformanceCounter(&now);
                }
                *listedMs = Milliseconds(started, now);
            }
            PostMessageW(search.found, closeMessage, closeParam, 0);
            break;
        }
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        if (Milliseconds(started, now) > 120000) break;
    }
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

// 10,000 indexed pages in 100 folders, each with two sections.
void MakeStore(const CString& install) {
    CreateDirectoryW(install, nullptr);
    CreateDirectoryW(install + L"\\Bookmark", nullptr);
    CString allpages = install + L"\\Bookmark\\Allpages";
    CreateDirectoryW(allpages, nullptr);
    HKEY index = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, GetSettingsKeyPath(L"AllPages"), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &index,
                    nullptr);
    for (int folder = 0; folder < kFolders; ++folder) {
        CString folderName;
        folderName.Format(L"Topic%03d", folder);
        CreateDirectoryW(allpages + L"\\" + folderName, nullptr);
        for (int page = 0; page < kPages / kFolders; ++page) {
            CString name;
            name.Format(L"%ls\\Page%03d", folderName.GetString(), page);
            WriteUtf16File(allpages + L"\\" + name + L".htm",
                           L"<html id=tq1>\n<head>\n<title>Page</title>\n</head>\n<body>\n&gt;&gt;&gt;News&lt;&lt;&lt;\n"
                           L"<br>\n&gt;&gt;&gt;Links&lt;&lt;&lt;\n<br>\n<HR id=bodyend width=\"50%\" color=black size=1>\n"
                           L"</body>\n</html>\n");
            const wchar_t value[] = L"News,1;Links,1";
            RegSetValueExW(index, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof(value));
        }
    }
    RegCloseKey(index);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

// On a busy machine other work only ever adds to a start: the fastest run of
// each is the steadiest figure there.
double Fastest(const std::vector<double>& values) {
    return values.empty() ? -1 : *std::min_element(values.begin(), values.end());
}

}  // namespace

// Usage: cliproad_bench [runs, default 7] [another Tarvelo.exe, timed beside in the same runs]
int main(int argc, char** argv) {
    const int runs = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : kDefaultRuns;
    const CString other = argc > 2 ? WinePath(std::wstring(argv[2], argv[2] + std::strlen(argv[2])).c_str()) : CString();
    const CString backup = L"Software\\TarveloBenchBackup";
    RegDeleteTreeW(HKEY_CURRENT_USER, backup);
    HKEY settings = nullptr, saved = nullptr;
    bool hadSettings = RegOpenKeyExW(HKEY_CURRENT_USER, kTarveloRegistryRoot, 0, KEY_READ, &settings) == ERROR_SUCCESS;
    if (hadSettings) {
        RegCreateKeyExW(HKEY_CURRENT_USER, backup, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &saved, nullptr);
        RegCopyTreeW(settings, nullptr, saved);
        RegCloseKey(saved);
        RegCloseKey(settings);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kTarveloRegistryRoot);

    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    CString install;
    install.Format(L"%lsTarveloClipBench%lu", temp, GetCurrentProcessId());
    std::printf("making %d pages ...\n", kPages);
    MakeStore(install);
    WriteSettingString(L"Settings", L"InstallPath", install);
    WriteSettingString(L"Settings", L"addpage", L"Topic050\\Page050");
    WriteSettingString(L"Settings", L"addsect", L"Links");

    const CString tarvelo = WinePath(TARVELO_EXE_PATH);
    const CString bare = WinePath(BARE_WINDOW_EXE_PATH), bareDialog = WinePath(BARE_DIALOG_EXE_PATH);
    const CString clip = L"<param><url>http://www.example.com/a</url><name>A story</name></param><form>0</form>";
    // One start of each first, so that both programs are read from the disk cache.
    TimeToWindow(bare, L"", L"Bare window", WM_CLOSE, 0);
    TimeToWindow(bareDialog, L"", L"Tarvelo->Add to Tarvelo", WM_COMMAND, IDCANCEL);
    TimeToWindow(tarvelo, clip, L"Tarvelo->Add to Tarvelo", WM_COMMAND, IDCANCEL);

    if (!other.IsEmpty()) TimeToWindow(other, clip, L"Tarvelo->Add to Tarvelo", WM_COMMAND, IDCANCEL);

    std::vector<double> bareTimes, dialogTimes, clipTimes, listTimes, otherTimes, otherListTimes;
    for (int run = 0; run < runs; ++run) {
        bareTimes.push_back(TimeToWindow(bare, L"", L"Bare window", WM_CLOSE, 0));
        dialogTimes.push_back(TimeToWindow(bareDialog, L"", L"Tarvelo->Add to Tarvelo", WM_COMMAND, IDCANCEL));
        double listed = -1;
        clipTimes.push_back(TimeToWindow(tarvelo, clip, L"Tarvelo->Add to Tarvelo", WM_COMMAND, IDCANCEL, kPages, &listed));
        listTimes.push_back(listed);
        std::printf("run %d: bare window %.0f ms, bare dialog %.0f ms, link clip to dialog %.0f ms, all pages listed %.0f ms",
                    run + 1, bareTimes.back(), dialogTimes.back(), clipTimes.back(), listTimes.back());
        if (!other.IsEmpty()) {
            otherTimes.push_back(
                TimeToWindow(other, clip, L"Tarvelo->Add to Tarvelo", WM_COMMAND, IDCANCEL, kPages, &listed));
            otherListTimes.push_back(listed);
            std::printf("; the other program: %.0f ms, listed %.0f ms", otherTimes.back(), listed);
        }
        std::printf("\n");
    }
    double bareMedian = Median(bareTimes), dialogMedian = Median(dialogTimes), clipMedian = Median(clipTimes),
           listMedian = Median(listTimes);
    std::printf("median of %d runs with %d pages: bare window %.0f ms, link clip to dialog %.0f ms, ratio %.2f "
                "(goal: at most 2.00); floor: the same dialog from a bare program %.0f ms, ratio %.2f; all pages "
                "listed %.0f ms\n",
                runs, kPages, bareMedian, clipMedian, bareMedian > 0 ? clipMedian / bareMedian : 0.0, dialogMedian,
                dialogMedian > 0 ? clipMedian / dialogMedian : 0.0, listMedian);
    if (!other.IsEmpty())
        std::printf("the other program (%ls): median %.0f ms, ratio %.2f, fastest %.0f ms, ratio %.2f; all pages listed "
                    "%.0f ms\n",
                    other.GetString(), Median(otherTimes), bareMedian > 0 ? Median(otherTimes) / bareMedian : 0.0,
                    Fastest(otherTimes), Fastest(bareTimes) > 0 ? Fastest(otherTimes) / Fastest(bareTimes) : 0.0,
                    Median(otherListTimes));
    double bareFastest = Fastest(bareTimes), dialogFastest = Fastest(dialogTimes), clipFastest = Fastest(clipTimes);
    std::printf("fastest of %d runs: bare window %.0f ms, link clip to dialog %.0f ms, ratio %.2f (goal: at most "
                "2.00); floor: the same dialog from a bare program %.0f ms, ratio %.2f\n",
                runs, bareFastest, clipFastest, bareFastest > 0 ? clipFastest / bareFastest : 0.0, dialogFastest,
                dialogFastest > 0 ? clipFastest / dialogFastest : 0.0);

    RegDeleteTreeW(HKEY_CURRENT_USER, kTarveloRegistryRoot);
    if (hadSettings) {
        HKEY from = nullptr, to = nullptr;
        RegOpenKeyExW(HKEY_CURRENT_USER, backup, 0, KEY_READ, &from);
        RegCreateKeyExW(HKEY_CURRENT_USER, kTarveloRegistryRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &to, nullptr);
        if (from && to) RegCopyTreeW(from, nullptr, to);
        if (from) RegCloseKey(from);
        if (to) RegCloseKey(to);
        RegDeleteTreeW(HKEY_CURRENT_USER, backup);
    }
    DeleteTree(install);
    return 0;
}
