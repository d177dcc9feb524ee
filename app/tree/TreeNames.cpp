#include "tree/TreeNames.h"

#include <windows.h>

bool IsAcceptableItemName(const CString& name) {
    if (name.IsEmpty() || name.Find(L"..") >= 0) return false;
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

CString RelativeFolderPart(const CString& folder, const CString& base) {
    if (!IsSameOrBelow(folder, base)) return folder + L"\\";
    CString rest = folder.Mid(base.GetLength());
    if (rest.IsEmpty()) return CString();
    return rest.Mid(1) + L"\\";
}

CString FreeCopyPath(const CString& folder, const CString& name, bool prefixFirst) {
    CString prefix = prefixFirst ? L"copy of_" : L"";
    CString candidate = folder + L"\\" + prefix + name;
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
