#include "util/Folders.h"

#include "core/MessageBox.h"
#include "util/Files.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

namespace {

struct FindCloser {
    void operator()(HANDLE handle) const { if (handle && handle != INVALID_HANDLE_VALUE) FindClose(handle); }
};
using UniqueFind = std::unique_ptr<void, FindCloser>;

CString WithoutTrailingSeparators(CString path) {
    while (path.GetLength() > 3 && (path[path.GetLength() - 1] == L'\\' || path[path.GetLength() - 1] == L'/'))
        path.Truncate(path.GetLength() - 1);
    return path;
}

// Calls the action for every entry of a folder but "." and "..".
template <typename Action>
bool ForEachEntry(const CString& folder, Action action) {
    WIN32_FIND_DATAW data;
    UniqueFind find(FindFirstFileW(folder + L"\\*", &data));
    if (find.get() == INVALID_HANDLE_VALUE) return false;
    do {
        CString name(data.cFileName);
        if (name == L"." || name == L"..") continue;
        action(name, data.dwFileAttributes);
    } while (FindNextFileW(find.get(), &data));
    return true;
}

bool DeleteContents(const CString& folder) {
    bool ok = true;
    ForEachEntry(folder, [&](const CString& name, DWORD attributes) {
        CString full = folder + L"\\" + name;
        SetFileAttributesW(full, FILE_ATTRIBUTE_NORMAL);
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) ok = DeleteContents(full) && ok;
            ok = RemoveDirectoryW(full) && ok;
        } else {
            ok = DeleteFileW(full) && ok;
        }
    });
    return ok;
}

} // namespace

bool IsSafeStorePath(const CString& rawPath) {
    CString path = WithoutTrailingSeparators(rawPath);
    if (path.Find(L'/') >= 0) path.Replace(L'/', L'\\');
    int rootEnd; // index of the first character below the root
    if (path.GetLength() >= 3 && iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\') {
        rootEnd = 3;
    } else if (path.Left(2) == L"\\\\") {
        int server = path.Find(L'\\', 2);
        if (server <= 2) return false;
        int share = path.Find(L'\\', server + 1);
        if (share <= server + 1) return false;
        rootEnd = share + 1;
    } else {
        return false;
    }
    CString below = path.Mid(rootEnd);
    if (below.IsEmpty()) return false;
    int start = 0;
    for (;;) {
        int end = below.Find(L'\\', start);
        CString part = below.Mid(start, end < 0 ? below.GetLength() - start : end - start);
        if (part.IsEmpty() || part == L"." || part == L"..") return false;
        if (end < 0) break;
        start = end + 1;
    }
    return true;
}

int ShellCopy(const CString& destination, const CString& source) {
    if (!IsSafeStorePath(destination) || !IsSafeStorePath(source)) return 0;
    std::wstring from = source.str(), to = destination.str();
    from.append(2, L'\0');
    to.append(2, L'\0');
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_COPY;
    operation.pFrom = from.c_str();
    operation.pTo = to.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_SILENT;
    return SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted ? 1 : 0;
}

bool CreateFolderPath(const CString& folderRaw) {
    const CString folder = WithoutTrailingSeparators(folderRaw);
    if (FolderExists(folder)) return true;
    if (!IsSafeStorePath(folder)) return false;
    const int slash = folder.ReverseFind(L'\\');
    // The folder above is made first, down to the drive or share, which is
    // never made.
    if (slash > 0 && IsSafeStorePath(folder.Left(slash)) && !CreateFolderPath(folder.Left(slash))) return false;
    return CreateDirectoryW(folder, nullptr) || FolderExists(folder);
}

int CopyFolder(const CString& destinationRaw, const CString& sourceRaw, std::vector<CString>* failed) {
    CString destination = WithoutTrailingSeparators(destinationRaw);
    CString source = WithoutTrailingSeparators(sourceRaw);
    auto fail = [&](const CString& path) {
        if (failed) failed->push_back(path);
        return 0;
    };
    if (!IsSafeStorePath(destination) || !IsSafeStorePath(source)) return fail(destination);
    DWORD attributes = GetFileAttributesW(destination);
    if (attributes == INVALID_FILE_ATTRIBUTES && !CreateDirectoryW(destination, nullptr)) {
        ShowMessageBox(nullptr, L"Not Exported! Cannot create destination directory!", L"Tarvelo", MB_OK);
        return fail(destination);
    }
    bool ok = true;
    bool listed = ForEachEntry(source, [&](const CString& name, DWORD entryAttributes) {
        CString from = source + L"\\" + name, to = destination + L"\\" + name;
        if (entryAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ok = CopyFolder(to, from, failed) && ok;
        } else {
            // A read-only copy in the destination must not block the overwrite.
            DWORD existing = GetFileAttributesW(to);
            if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY))
                SetFileAttributesW(to, existing & ~FILE_ATTRIBUTE_READONLY);
            if (!CopyFileW(from, to, FALSE)) ok = fail(to);
        }
    });
    if (!listed) fail(source);
    return listed && ok ? 1 : 0;
}

bool ListFolderEntries(const CString& folder, std::vector<FolderEntry>& entries) {
    return ForEachEntry(folder, [&](const CString& name, DWORD attributes) { entries.push_back({name, attributes}); });
}

bool DeleteFolder(const CString& rawFolder) {
    CString folder = WithoutTrailingSeparators(rawFolder);
    if (!IsSafeStorePath(folder)) return false;
    DWORD attributes = GetFileAttributesW(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) DeleteContents(folder);
    SetFileAttributesW(folder, FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryW(folder) != 0;
}

void EmptyFolder(const CString& rawFolder) {
    CString folder = WithoutTrailingSeparators(rawFolder);
    if (!IsSafeStorePath(folder)) return;
    DeleteContents(folder);
}
