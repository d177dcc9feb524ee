#include "clip/IndexSnapshot.h"

#include "index/AllPagesIndex.h"
#include "install/InstallPath.h"
#include "util/Registry.h"

#include <windows.h>

bool IndexSnapshot::HasPage(const CString& page) const {
    if (page.IsEmpty() || allpagesFolder.IsEmpty()) return false;
    auto known = m_exists.find(page);
    if (known != m_exists.end()) return known->second;
    CString path = allpagesFolder + L"\\" + page;
    if (page.Right(5).CompareNoCase(L".html") != 0) path += L".htm";
    DWORD attributes = GetFileAttributesW(path);
    bool exists = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    m_exists.emplace(page, exists);
    return exists;
}

IndexSnapshot ReadIndexSnapshot() {
    IndexSnapshot snapshot;
    snapshot.allpagesFolder = GetAllpagesPath();
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, GetSettingsKeyPath(kAllPagesSection), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return snapshot;
    DWORD valueCount = 0, longestName = 0, longestData = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &valueCount, &longestName,
                     &longestData, nullptr, nullptr);
    std::wstring name(static_cast<size_t>(longestName) + 1, L'\0');
    std::wstring data(static_cast<size_t>(longestData) / sizeof(wchar_t) + 1, L'\0');
    snapshot.entries.reserve(valueCount);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataBytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        DWORD type = 0;
        LONG result = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type,
                                    reinterpret_cast<BYTE*>(data.data()), &dataBytes);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result == ERROR_MORE_DATA) {
            // A value grew since the count was taken: make room and read it again.
            name.resize(name.size() * 2 + 256);
            data.resize(data.size() * 2 + 256);
            --index;
            continue;
        }
        if (result != ERROR_SUCCESS) continue;
        IndexEntry entry;
        entry.page = CString(name.c_str(), static_cast<int>(nameLength));
        if (type == REG_SZ || type == REG_EXPAND_SZ) {
            entry.sections = CString(data.c_str(), static_cast<int>(dataBytes / sizeof(wchar_t)));
            entry.sections.ReleaseBuffer();
        }
        snapshot.entries.push_back(entry);
    }
    RegCloseKey(key);
    return snapshot;
}
