// Files the benchmarks make for their runs and take away afterwards.
#pragma once
#include "core/String.h"

#include <windows.h>

#include <string>

namespace bench {

// Writes the text as UTF-16 with its byte-order mark, as the store writes pages.
inline void WriteUtf16File(const CString& path, const std::wstring& text) {
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::wstring marked = L"\xFEFF" + text;
    DWORD written = 0;
    WriteFile(file, marked.data(), static_cast<DWORD>(marked.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
}

// Removes the folder with everything below it.
inline void DeleteTree(const CString& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(folder + L"\\*", &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            CString name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            CString path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(path);
            else
                DeleteFileW(path);
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(folder);
}

}  // namespace bench
