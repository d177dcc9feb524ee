#include "tree/TreeNames.h"

#include <windows.h>

bool IsAcceptableItemName(const CString& name) {
    // A leading dot would hide a folder from the tree.
    if (name.IsEmpty() || name.Find(L"..") >= 0 || name[0] == L'.') return false;
    for (int i = 0; i < name.GetLength(); ++i) {
        wchar_t c = name[i];
        if (c < 32 || wcschr(L"\\/:*?\"<>|", c)) return false;
    }
    wchar_t last = name[name.GetLength() - 1];
    return last != L'.' && last != L' ';
}

bool IsSameOrBelow(const CString& path, const CString& folder) {
    if (folder.IsEmpty() || path.GetLength() < folder.GetLength()) return false;
    if (path.Left(folder.GetLength()).CompareNoCase(folder) != 0) return false;
    return path.GetLength() == folder.GetLength() || path[folder.GetLength()] == L'\\';
}

CString FreeCopyPath(const CString& folder, const CString& name, bool prefixFirst) {
    // The prefix starts as one "copy of_" whether the first candidate carries
    // it or not, so the next candidate carries it twice.
    CString prefix = L"copy of_";
    CString candidate = folder + L"\\" + (prefixFirst ? prefix : CString()) + name;
    while (GetFileAttributesW(candidate) != INVALID_FILE_ATTRIBUTES) {
        prefix += L"copy of_";
        candidate = folder + L"\\" + prefix + name;
    }
    return candidate;
}

CString ReplacePathPrefix(const CString& path, const CString& oldPrefix, const CString& newPrefix) {
    if (path.GetLength() < oldPrefix.GetLength() || path.Left(oldPrefix.GetLength()) != oldPrefix) return path;
    if (path.GetLength() > oldPrefix.GetLength() && path[oldPrefix.GetLength()] != L'\\') return path;
    return newPrefix + path.Mid(oldPrefix.GetLength());
}
