#include "FolderLink.h"

#include <windows.h>
#include <winioctl.h>

#include <cstddef>
#include <cstring>
#include <string>

namespace {

// The mount-point form of a reparse point's data.
struct MountPointData {
    DWORD tag;
    WORD dataLength;
    WORD reserved;
    WORD substituteOffset;
    WORD substituteLength;
    WORD printOffset;
    WORD printLength;
    wchar_t paths[MAX_PATH * 2 + 8];
};

bool MakeJunction(const CString& link, const CString& target) {
    if (!CreateDirectoryW(link, nullptr)) return false;
    HANDLE handle = CreateFileW(link, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    bool made = false;
    if (handle != INVALID_HANDLE_VALUE) {
        const CString substitute = L"\\??\\" + target;
        MountPointData data{};
        const WORD length = static_cast<WORD>(substitute.GetLength() * sizeof(wchar_t));
        data.tag = IO_REPARSE_TAG_MOUNT_POINT;
        data.substituteLength = length;
        data.printOffset = static_cast<WORD>(length + sizeof(wchar_t));
        std::memcpy(data.paths, substitute.GetString(), length);
        // Both paths end in a null; the print name is empty.
        data.dataLength = static_cast<WORD>(4 * sizeof(WORD) + length + 2 * sizeof(wchar_t));
        DWORD returned = 0;
        const DWORD size = static_cast<DWORD>(offsetof(MountPointData, substituteOffset) + data.dataLength);
        made = DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, &data, size, nullptr, 0, &returned, nullptr);
        CloseHandle(handle);
    }
    if (!made) RemoveDirectoryW(link);
    return made;
}

// The Unix path of a Windows path under Wine; empty elsewhere.
std::string UnixPath(const CString& path) {
    using ToUnix = char*(CDECL*)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return {};
    char* unix = toUnix(path);
    if (!unix) return {};
    std::string result(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Runs a Unix program of /bin under Wine and waits until `done` holds (Wine
// hands back no handle that can be waited on for a Unix process); false when
// it does not within five seconds.
template <typename Done> bool RunUnix(const wchar_t* program, const std::string& arguments, Done done) {
    std::wstring wide(arguments.size(), L'\0');
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, arguments.data(), static_cast<int>(arguments.size()),
                                                        wide.data(), static_cast<int>(wide.size()))));
    CString commandLine = CString(L"/bin/") + program + L" " + CString(wide.c_str());
    CString application = CString(L"Z:\\bin\\") + program;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring line(commandLine.GetString());
    if (!CreateProcessW(application, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
    for (int i = 0; i < 100; ++i) {
        if (done()) return true;
        Sleep(50);
    }
    return done();
}

bool Exists(const CString& path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

FolderLink::FolderLink(const CString& link, const CString& target) : m_link(link) {
    if (MakeJunction(link, target)) {
        m_kind = Kind::Junction;
        return;
    }
    const std::string unixLink = UnixPath(link), unixTarget = UnixPath(target);
    if (unixLink.empty() || unixTarget.empty()) return;
    if (RunUnix(L"ln", "-s \"" + unixTarget + "\" \"" + unixLink + "\"", [&] { return Exists(link); })) {
        m_kind = Kind::UnixLink;
        m_unixLink = unixLink;
    }
}

FolderLink::~FolderLink() {
    if (m_kind == Kind::Junction) RemoveDirectoryW(m_link);
    else if (m_kind == Kind::UnixLink)
        RunUnix(L"rm", "\"" + m_unixLink + "\"", [&] { return !Exists(m_link); });
}
