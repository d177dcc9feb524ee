#include "util/PathParts.h"

#include <windows.h>

#include <string>

namespace {

// Position of the separator that GetPathDir and GetFileTitle use, or -1.
int DirSeparator(const CString& path) {
    int last = path.GetLength() - 1;
    int slash = path.ReverseFind(L'/');
    if (slash >= 0 && slash != last) return slash;
    int backslash = path.ReverseFind(L'\\');
    if (backslash >= 0 && backslash != last) return backslash;
    return -1;
}

} // namespace

CString GetParentPath(const CString& path) {
    int at = path.ReverseFind(L'\\');
    return at < 0 ? path : path.Left(at);
}

CString GetPathLastPart(const CString& path) {
    int at = path.ReverseFind(L'\\');
    return at < 0 ? path : path.Mid(at + 1);
}

CString GetPathTail(const CString& path) {
    int backslash = path.ReverseFind(L'\\');
    if (backslash > 0) return path.Mid(backslash);
    int slash = path.ReverseFind(L'/');
    if (slash > 0) return path.Mid(slash);
    return path;
}

CString GetPathDir(const CString& path) {
    int at = DirSeparator(path);
    return at < 0 ? CString() : path.Left(at + 1);
}

CString GetFileTitle(const CString& path) {
    int separator = DirSeparator(path);
    int dot = path.ReverseFind(L'.');
    if (separator < 0 || dot < 0 || dot == path.GetLength() - 1 || dot < separator) return CString();
    return path.Mid(separator + 1, dot - separator - 1);
}

CString GetFileExt(const CString& path) {
    int dot = path.ReverseFind(L'.');
    if (dot < 0 || dot == path.GetLength() - 1) return CString();
    return path.Mid(dot + 1);
}

CString GetNameWithoutExt(const CString& name) {
    CString body = name;
    if (!body.IsEmpty() && body[body.GetLength() - 1] == L'.') body.Truncate(body.GetLength() - 1);
    int dot = body.ReverseFind(L'.');
    return dot < 0 ? name : name.Left(dot);
}

CString GetNameExt(const CString& name) {
    int dot = name.ReverseFind(L'.');
    return dot < 0 ? name : name.Mid(dot + 1);
}

namespace {

// Absolute form of a path without a trailing "\" (a drive root keeps its own).
CString AbsoluteForCompare(const CString& path) {
    if (path.IsEmpty()) return path;
    DWORD size = GetFullPathNameW(path, 0, nullptr, nullptr);
    CString full = path;
    if (size > 0) {
        std::wstring buffer(size, L'\0');
        DWORD written = GetFullPathNameW(path, size, buffer.data(), nullptr);
        if (written > 0 && written < size) full = CString(buffer.c_str());
    }
    while (full.GetLength() > 3 && full[full.GetLength() - 1] == L'\\') full.Truncate(full.GetLength() - 1);
    return full;
}

} // namespace

bool IsSamePath(const CString& a, const CString& b) {
    if (a.IsEmpty() || b.IsEmpty()) return false;
    return AbsoluteForCompare(a).CompareNoCase(AbsoluteForCompare(b)) == 0;
}

bool IsPathWithin(const CString& path, const CString& folder) {
    if (path.IsEmpty() || folder.IsEmpty()) return false;
    CString full = AbsoluteForCompare(path);
    CString base = AbsoluteForCompare(folder);
    if (full.CompareNoCase(base) == 0) return true;
    if (base[base.GetLength() - 1] != L'\\') base += L"\\";
    return full.GetLength() > base.GetLength() && full.Left(base.GetLength()).CompareNoCase(base) == 0;
}
