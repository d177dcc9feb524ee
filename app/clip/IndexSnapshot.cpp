#include "clip/IndexSnapshot.h"

#include "index/AllPagesIndex.h"
#include "install/InstallPath.h"
#include "util/Registry.h"
#include "wnd/WhenWindowIsUp.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_set>

namespace {

bool PageFileExists(const CString& allpagesFolder, const CString& page) {
    if (page.IsEmpty() || allpagesFolder.IsEmpty()) return false;
    CString path = allpagesFolder + L"\\" + page;
    if (page.Right(5).CompareNoCase(L".html") != 0) path += L".htm";
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The files of a folder, in upper case (ASCII letters), directories left out.
std::unordered_set<CString> ListFolderFiles(const CString& folder) {
    std::unordered_set<CString> files;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileExW(folder + L"\\*", FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.insert(CString(found.cFileName).MakeUpper());
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return files;
}

// Whether each page's file exists. Each folder that holds pages is listed
// once: a few hundred listings instead of ten thousand look-ups. A page that
// no listing shows (a name in another spelling, say) is looked up by its
// path, so the answer is the look-up's.
std::vector<bool> PageFilesExist(const CString& allpagesFolder, const std::vector<IndexEntry>& entries) {
    std::vector<bool> exists;
    exists.reserve(entries.size());
    std::unordered_map<CString, std::unordered_set<CString>> listings;  // by folder, in upper case
    for (const IndexEntry& entry : entries) {
        if (entry.page.IsEmpty() || allpagesFolder.IsEmpty()) {
            exists.push_back(false);
            continue;
        }
        CString name = entry.page;
        if (name.Right(5).CompareNoCase(L".html") != 0) name += L".htm";
        int slash = name.ReverseFind(L'\\');
        CString folder = slash >= 0 ? allpagesFolder + L"\\" + name.Left(slash) : allpagesFolder;
        auto [listing, isNew] = listings.try_emplace(CString(folder).MakeUpper());
        if (isNew) listing->second = ListFolderFiles(folder);
        exists.push_back(listing->second.count(name.Mid(slash + 1).MakeUpper()) > 0 ||
                         PageFileExists(allpagesFolder, entry.page));
    }
    return exists;
}

// Reads the values of indices [first, last) through a key handle of its own.
std::vector<IndexEntry> ReadSlice(DWORD first, DWORD last, DWORD longestName, DWORD longestData) {
    std::vector<IndexEntry> slice;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, GetSettingsKeyPath(kAllPagesSection), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return slice;
    std::wstring name(static_cast<size_t>(longestName) + 1, L'\0');
    std::wstring data(static_cast<size_t>(longestData) / sizeof(wchar_t) + 1, L'\0');
    for (DWORD index = first; index < last;) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataBytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        DWORD type = 0;
        LONG result = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type,
                                    reinterpret_cast<BYTE*>(data.data()), &dataBytes);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result == ERROR_MORE_DATA) {
            // A value grew since the sizes were taken: make room, read it again.
            name.resize(name.size() * 2 + 256);
            data.resize(data.size() * 2 + 256);
            continue;
        }
        ++index;
        if (result != ERROR_SUCCESS) continue;
        IndexEntry entry;
        entry.page = CString(name.c_str(), static_cast<int>(nameLength));
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            entry.sections = CString(data.c_str(), static_cast<int>(dataBytes / sizeof(wchar_t)));
            entry.sections.ReleaseBuffer();
        }
        slice.push_back(std::move(entry));
    }
    RegCloseKey(key);
    return slice;
}

// The background read of a link-clip process. The reader runs detached: a
// process that ends before it is needed does not wait for it.
struct Prefetch {
    std::mutex lock;
    bool planned = false;  // a link clip will want the snapshot
    bool started = false;
    bool ready = false;
    CString allpagesFolder;
    IndexSnapshot snapshot;
    HWND notify = nullptr;
    UINT message = 0;
    std::function<void()> afterHandOver;  // on the thread that began the read
};

Prefetch& ThePrefetch() {
    static Prefetch prefetch;
    return prefetch;
}

// InstallPath without the lookup's message boxes (those belong to the
// dialog's own lookup on the user-interface thread).
CString QuietAllpagesPath() {
    CString install = GetSettingString(L"Settings", L"InstallPath", L"");
    return IsUsableInstallPath(install) ? install + kAllpagesFolder : CString();
}

}  // namespace

bool IndexSnapshot::HasPage(const CString& page) const {
    auto known = fileExists.find(page);
    if (known != fileExists.end()) return known->second;
    return PageFileExists(allpagesFolder, page);
}

IndexSnapshot ReadIndexSnapshot(const CString& allpagesFolder, unsigned maxReaders) {
    IndexSnapshot snapshot;
    snapshot.allpagesFolder = allpagesFolder;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, GetSettingsKeyPath(kAllPagesSection), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return snapshot;
    DWORD valueCount = 0, longestName = 0, longestData = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &valueCount, &longestName,
                     &longestData, nullptr, nullptr);
    RegCloseKey(key);

    // Each registry read is a round trip to the registry's keeper; several
    // readers keep it busy instead of waiting on one another.
    const DWORD readers = std::clamp<DWORD>(valueCount / 500, 1, std::max(1u, maxReaders));
    std::vector<std::vector<IndexEntry>> slices(readers);
    std::vector<std::thread> threads;
    for (DWORD r = 0; r < readers; ++r) {
        DWORD first = valueCount * r / readers, last = valueCount * (r + 1) / readers;
        if (r + 1 == readers) last = MAXDWORD;  // the last reader takes values added meanwhile
        threads.emplace_back([&, r, first, last] {
            slices[r] = ReadSlice(first, last, longestName, longestData);
        });
    }
    for (std::thread& thread : threads) thread.join();

    snapshot.entries.reserve(valueCount);
    for (std::vector<IndexEntry>& slice : slices)
        for (IndexEntry& entry : slice) snapshot.entries.push_back(std::move(entry));
    std::vector<bool> exists = PageFilesExist(allpagesFolder, snapshot.entries);
    snapshot.fileExists.reserve(exists.size());
    for (size_t i = 0; i < exists.size(); ++i) snapshot.fileExists.emplace(snapshot.entries[i].page, exists[i]);
    return snapshot;
}

void PlanIndexPrefetch(const CString& commandLine) {
    int param = commandLine.Find(L"<param>");
    if (param < 0 || commandLine.Find(L"</param>", param + 8) < 0) return;
    Prefetch& prefetch = ThePrefetch();
    std::lock_guard<std::mutex> guard(prefetch.lock);
    if (prefetch.planned) return;
    prefetch.allpagesFolder = QuietAllpagesPath();
    prefetch.planned = !prefetch.allpagesFolder.IsEmpty();
}

void BeginIndexPrefetch(std::function<void()> afterHandOver) {
    Prefetch& prefetch = ThePrefetch();
    std::unique_lock<std::mutex> guard(prefetch.lock);
    if (!prefetch.planned || prefetch.started) {
        guard.unlock();
        if (afterHandOver) afterHandOver();
        return;
    }
    prefetch.started = true;
    prefetch.afterHandOver = std::move(afterHandOver);
    std::thread([&prefetch, folder = prefetch.allpagesFolder] {
        // One reader only: the program's own start-up needs the registry too.
        IndexSnapshot snapshot = ReadIndexSnapshot(folder, 1);
        std::lock_guard<std::mutex> done(prefetch.lock);
        prefetch.snapshot = std::move(snapshot);
        prefetch.ready = true;
        if (prefetch.notify) PostMessageW(prefetch.notify, prefetch.message, 0, 0);
    }).detach();
}

void StartIndexPrefetch(const CString& commandLine) {
    PlanIndexPrefetch(commandLine);
    BeginIndexPrefetch();
}

bool TakeIndexSnapshot(const CString& allpagesFolder, HWND window, UINT message, IndexSnapshot& snapshot) {
    Prefetch& prefetch = ThePrefetch();
    {
        std::lock_guard<std::mutex> guard(prefetch.lock);
        if (prefetch.planned && prefetch.allpagesFolder.CompareNoCase(allpagesFolder) == 0) {
            if (!prefetch.ready) {
                prefetch.notify = window;
                prefetch.message = message;
                return false;
            }
            prefetch.planned = prefetch.started = false;
            snapshot = std::move(prefetch.snapshot);
            if (prefetch.afterHandOver) RunWhenThreadWindowIsUp(std::move(prefetch.afterHandOver));
            prefetch.afterHandOver = nullptr;
            return true;
        }
    }
    snapshot = ReadIndexSnapshot(allpagesFolder);
    return true;
}
