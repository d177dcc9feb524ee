#include "files/File.h"

namespace {

DWORD AccessFor(UINT flags) {
    switch (flags & 0x3) {
    case CFile::modeRead: return GENERIC_READ;
    case CFile::modeWrite: return GENERIC_WRITE;
    case CFile::modeReadWrite: return GENERIC_READ | GENERIC_WRITE;
    default: return 0;
    }
}

DWORD ShareFor(UINT flags) {
    switch (flags & 0x70) {
    case CFile::shareExclusive: return 0;
    case CFile::shareDenyWrite: return FILE_SHARE_READ;
    case CFile::shareDenyRead: return FILE_SHARE_WRITE;
    default:
        // A plain reader lets a rewrite replace the file under it (it goes on
        // reading the old content), so reading a page never makes a save fail.
        if ((flags & 0x3) == CFile::modeRead) return FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        return FILE_SHARE_READ | FILE_SHARE_WRITE;
    }
}

DWORD CreationFor(UINT flags) {
    if (!(flags & CFile::modeCreate)) return OPEN_EXISTING;
    return (flags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
}

CString FullPathOf(const wchar_t* path) {
    DWORD needed = ::GetFullPathNameW(path, 0, nullptr, nullptr);
    if (needed == 0) return CString(path);
    CString full;
    DWORD written = ::GetFullPathNameW(path, needed, full.GetBufferSetLength(static_cast<int>(needed)), nullptr);
    full.ReleaseBuffer(written < needed ? static_cast<int>(written) : 0);
    return full.IsEmpty() ? CString(path) : full;
}

}  // namespace

CFile::CFile(const wchar_t* path, UINT openFlags) {
    CFileException error;
    if (!Open(path, openFlags, &error)) throw error;
}

CFile::~CFile() {
    if (m_hFile != INVALID_HANDLE_VALUE) ::CloseHandle(m_hFile);
}

bool CFile::Open(const wchar_t* path, UINT openFlags, CFileException* error) {
    auto fail = [&](DWORD osError, const CString& name) {
        if (error) *error = CFileException::FromOsError(osError, name);
        return false;
    };
    if (IsOpen()) return fail(ERROR_INVALID_HANDLE, m_strFileName);
    if (!path || !*path) return fail(ERROR_BAD_PATHNAME, CString());
    if ((openFlags & 0x3) == 0x3) return fail(ERROR_INVALID_PARAMETER, CString(path));

    CString fullPath = FullPathOf(path);
    HANDLE handle = ::CreateFileW(path, AccessFor(openFlags), ShareFor(openFlags), nullptr,
                                  CreationFor(openFlags), FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return fail(::GetLastError(), fullPath);

    m_hFile = handle;
    m_openFlags = openFlags;
    m_strFileName = fullPath;
    if (error) *error = CFileException();
    return true;
}

void CFile::Close() {
    if (m_hFile == INVALID_HANDLE_VALUE) return;
    HANDLE handle = m_hFile;
    m_hFile = INVALID_HANDLE_VALUE;
    if (!::CloseHandle(handle)) ThrowLastError();
}

void CFile::Abort() {
    if (m_hFile == INVALID_HANDLE_VALUE) return;
    ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
}

UINT CFile::Read(void* buffer, UINT count) {
    if (count == 0) return 0;
    DWORD read = 0;
    if (!::ReadFile(m_hFile, buffer, count, &read, nullptr)) ThrowLastError();
    return read;
}

void CFile::Write(const void* buffer, UINT count) {
    if (count == 0) return;
    DWORD written = 0;
    if (!::WriteFile(m_hFile, buffer, count, &written, nullptr)) ThrowLastError();
    if (written != count) CFileException::ThrowOsError(ERROR_DISK_FULL, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
    DWORD method = from == current ? FILE_CURRENT : from == end ? FILE_END : FILE_BEGIN;
    LARGE_INTEGER distance, position;
    distance.QuadPart = offset;
    if (!::SetFilePointerEx(m_hFile, distance, &position, method)) ThrowLastError();
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetPosition() const {
    LARGE_INTEGER zero{}, position;
    if (!::SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT)) ThrowLastError();
    return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetLength() const {
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(m_hFile, &size)) ThrowLastError();
    return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::SetLength(ULONGLONG length) {
    // Works on the handle itself: derived classes keep their own idea of the position.
    LARGE_INTEGER zero{}, position, target;
    if (!::SetFilePointerEx(m_hFile, zero, &position, FILE_CURRENT)) ThrowLastError();
    target.QuadPart = static_cast<LONGLONG>(length);
    if (!::SetFilePointerEx(m_hFile, target, nullptr, FILE_BEGIN) || !::SetEndOfFile(m_hFile)) ThrowLastError();
    if (position.QuadPart < target.QuadPart) ::SetFilePointerEx(m_hFile, position, nullptr, FILE_BEGIN);
}

void CFile::Flush() {
    if (m_hFile == INVALID_HANDLE_VALUE) return;
    if (!::FlushFileBuffers(m_hFile)) ThrowLastError();
}

CString CFile::GetFileName() const {
    int slash = std::max(m_strFileName.ReverseFind(L'\\'), m_strFileName.ReverseFind(L'/'));
    return m_strFileName.Mid(slash + 1);
}

bool CFile::GetStatus(CFileStatus& status) const {
    BY_HANDLE_FILE_INFORMATION info;
    if (m_hFile == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(m_hFile, &info)) return false;
    status.m_ctime = info.ftCreationTime;
    status.m_mtime = info.ftLastWriteTime;
    status.m_atime = info.ftLastAccessTime;
    status.m_size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    status.m_attribute = info.dwFileAttributes;
    status.m_szFullName = m_strFileName;
    return true;
}

bool CFile::GetStatus(const wchar_t* path, CFileStatus& status) {
    if (!path || !*path) return false;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(path, &found);
    if (search != INVALID_HANDLE_VALUE) {
        ::FindClose(search);
        status.m_ctime = found.ftCreationTime;
        status.m_mtime = found.ftLastWriteTime;
        status.m_atime = found.ftLastAccessTime;
        status.m_size = (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        status.m_attribute = found.dwFileAttributes;
        status.m_szFullName = FullPathOf(path);
        return true;
    }
    if (wcspbrk(path, L"*?")) return false;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return false;
    status.m_ctime = data.ftCreationTime;
    status.m_mtime = data.ftLastWriteTime;
    status.m_atime = data.ftLastAccessTime;
    status.m_size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    status.m_attribute = data.dwFileAttributes;
    status.m_szFullName = FullPathOf(path);
    return true;
}

void CFile::Remove(const wchar_t* path) {
    if (!::DeleteFileW(path)) CFileException::ThrowLastError(CString(path));
}

void CFile::Rename(const wchar_t* oldPath, const wchar_t* newPath) {
    if (!::MoveFileW(oldPath, newPath)) CFileException::ThrowLastError(CString(oldPath));
}

void CFile::ThrowLastError() const {
    CFileException::ThrowLastError(m_strFileName);
}
