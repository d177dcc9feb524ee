// The entries of a folder that the folder tree shows: visible sub-folders
// whose name does not begin with "." and visible page files (".htm" or
// ".html" in any letter case). Listed with the wide API, so any name works.
#pragma once
#include "core/String.h"

#include <windows.h>

// True for a file name that the tree lists as a page.
bool IsPageFileName(const CString& name);

// Calls visit(name, isFolder) for each shown entry in listing order; false
// when the folder cannot be listed.
template <typename Visit> bool ForEachTreeEntry(const CString& folder, Visit visit) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(folder + L"\\*", FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return false;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) continue;
        const wchar_t* name = data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name[0] != L'.') visit(CString(name), true);
        } else if (IsPageFileName(CString(name))) {
            visit(CString(name), false);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return true;
}
