#include "util/Download.h"

#include "util/Folders.h"

#include <windows.h>
#include <wininet.h>

#include <memory>
#include <vector>

namespace {

struct InternetCloser {
    void operator()(HINTERNET handle) const { if (handle) InternetCloseHandle(handle); }
};
using UniqueInternet = std::unique_ptr<void, InternetCloser>;

struct HandleCloser {
    void operator()(HANDLE handle) const { if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

bool CopyToFile(HINTERNET source, HANDLE file) {
    std::vector<char> block(10240);
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(source, block.data(), static_cast<DWORD>(block.size()), &read)) return false;
        if (read == 0) return true;
        DWORD written = 0;
        if (!WriteFile(file, block.data(), read, &written, nullptr) || written != read) return false;
    }
}

} // namespace

bool DownloadUrlToFile(const CString& address, const CString& path) {
    if (address.IsEmpty() || !IsSafeStorePath(path)) return false;
    UniqueInternet session(InternetOpenW(L"TQGetFile", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return false;
    UniqueInternet url(InternetOpenUrlW(session.get(), address, nullptr, 0, INTERNET_FLAG_RELOAD, 0));
    if (!url) return false;
    // An HTTP server that has no such file answers with an error page, which is not the file.
    DWORD status = 0, size = sizeof(status);
    if (HttpQueryInfoW(url.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) &&
        (status < 200 || status >= 300))
        return false;
    CString partial = path + L".download";
    bool complete;
    {
        UniqueHandle file(CreateFileW(partial, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE) return false;
        complete = CopyToFile(url.get(), file.get());
    }
    if (complete && MoveFileExW(partial, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileW(partial);
    return false;
}
