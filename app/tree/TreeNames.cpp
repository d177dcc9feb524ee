#include "tree/TreeNames.h"

#include <windows.h>

#include <algorithm>

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

CString PathLengthProblem(const CString& path, bool folder) {
    int limit = folder ? kLongestFolderPath : kLongestPagePath;
    if (path.GetLength() <= limit) return CString();
    CString text;
    text.Format(L"its path would be %d characters long, and at most %d fit", path.GetLength(), limit);
    return text;
}

namespace {

// The most that a path inside `folder` is longer than the folder's own path,
// for pages and for folders (0 when there is none of the kind). A folder link
// (a junction or another reparse point) moves as one entry: what it leads to
// stays where it is, so the walk does not go into it, as the import does not.
void LongestTails(const CString& folder, int prefix, int& pageTail, int& folderTail) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(folder + L"\\*", &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        CString name(found.cFileName);
        if (name == L"." || name == L"..") continue;
        CString inside = folder + L"\\" + name;
        int tail = inside.GetLength() - prefix;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            folderTail = std::max(folderTail, tail);
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) LongestTails(inside, prefix, pageTail, folderTail);
        } else {
            pageTail = std::max(pageTail, tail);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace

CString FolderMoveLengthProblem(const CString& oldPath, const CString& newPath) {
    if (CString problem = PathLengthProblem(newPath, true); !problem.IsEmpty()) return problem;
    int pageTail = 0, folderTail = 0;
    LongestTails(oldPath, oldPath.GetLength(), pageTail, folderTail);
    CString text;
    if (pageTail && newPath.GetLength() + pageTail > kLongestPagePath)
        text.Format(L"a page inside it would have a path %d characters long, and at most %d fit",
                    newPath.GetLength() + pageTail, kLongestPagePath);
    else if (folderTail && newPath.GetLength() + folderTail > kLongestFolderPath)
        text.Format(L"a folder inside it would have a path %d characters long, and at most %d fit",
                    newPath.GetLength() + folderTail, kLongestFolderPath);
    return text;
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
