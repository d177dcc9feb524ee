#include "util/Files.h"

#include "util/PathParts.h"
#include "util/Strings.h"

#include "core/MessageBox.h"

#include <windows.h>

#include <memory>

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct FindCloser {
    void operator()(HANDLE handle) const { if (handle && handle != INVALID_HANDLE_VALUE) FindClose(handle); }
};
using UniqueFind = std::unique_ptr<void, FindCloser>;

} // namespace

int PathExistsByFind(const CString& path) {
    if (path.IsEmpty()) return 0;
    WIN32_FIND_DATAW data;
    UniqueFind find(FindFirstFileW(path, &data));
    return find.get() != INVALID_HANDLE_VALUE ? 1 : 0;
}

int FileExistsA(const CStringA& path) {
    FILE* file = std::fopen(path, "r");
    if (!file) return 0;
    std::fclose(file);
    return 1;
}

bool FileExists(const CString& path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const CString& path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

CString MakeUniquePath(const CString& path) {
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return path;
    CString dir = GetPathDir(path), title = GetFileTitle(path), ext = GetFileExt(path);
    for (int n = 2;; ++n) {
        CString candidate;
        candidate.Format(L"%ls%ls%d.%ls", dir.GetString(), title.GetString(), n, ext.GetString());
        if (GetFileAttributesW(candidate) == INVALID_FILE_ATTRIBUTES) return candidate;
    }
}

int DetectTextEncoding(const CString& path) {
    UniqueHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        ShowMessageBox(nullptr, L"Cannot open " + path, L"Tarvelo", MB_OK);
        return 0;
    }
    unsigned char head[4] = {};
    DWORD read = 0;
    ReadFile(file.get(), head, sizeof(head), &read, nullptr);
    if (head[0] == 0xFF && head[1] == 0xFE) return 1;
    if (head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF) return 2;
    if (head[0] == 0xFE && head[1] == 0xFF) return 3;
    if (head[0] == 0x00 && head[1] == 0x00 && head[2] == 0xFE && head[3] == 0xFF) return 4;
    return 5;
}

CString ReadLine(FILE* stream) {
    CString line;
    if (!stream) return line;
    for (;;) {
        wint_t unit = std::fgetwc(stream);
        if (unit == WEOF || unit == L'\n') break;
        line.AppendChar(static_cast<wchar_t>(unit));
    }
    return line;
}

int FindFilesRecursive(const CString& folder, std::vector<CString>& files) {
    if (folder.IsEmpty()) return 0;
    WIN32_FIND_DATAW data;
    UniqueFind find(FindFirstFileW(folder + L"\\*.*", &data));
    if (find.get() == INVALID_HANDLE_VALUE) {
        ShowMessageBox(nullptr, L"INVALID_HANDLE_VALUE!", L"Tarvelo", MB_OKCANCEL);
        return 0;
    }
    do {
        CString name(data.cFileName);
        if (name == L"." || name == L"..") continue;
        CString full = folder + L"\\" + name;
        bool isFolder = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        bool hidden = data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN;
        if (isFolder && !hidden) {
            if (name[0] != L'.') FindFilesRecursive(full, files);
        } else {
            files.push_back(full);
        }
    } while (FindNextFileW(find.get(), &data));
    return 1;
}

bool ReadWholeFile(const CString& path, std::string& bytes) {
    UniqueHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &read, nullptr))
            return false;
        if (read == 0) break;
        done += read;
    }
    bytes.resize(done);
    return true;
}
