#include "files/FileReplacer.h"

#include <windows.h>

#include <atomic>

namespace {

std::atomic<unsigned> g_siblingCounter{0};

CString FolderOf(const CString& path) {
    int slash = std::max(path.ReverseFind(L'\\'), path.ReverseFind(L'/'));
    return slash >= 0 ? path.Left(slash + 1) : CString();
}

CString NextSiblingName(const CString& folder) {
    CString name;
    name.Format(L"%ls~tq%lx-%x-%lx.tmp", folder.GetString(),
                static_cast<unsigned long>(::GetCurrentProcessId()), g_siblingCounter.fetch_add(1),
                static_cast<unsigned long>(::GetTickCount()));
    return name;
}

}  // namespace

CFileReplacer::CFileReplacer(const CString& targetPath) : m_targetPath(targetPath) {
    CString folder = FolderOf(targetPath);
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_siblingPath = NextSiblingName(folder);
        HANDLE reserved = ::CreateFileW(m_siblingPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (reserved != INVALID_HANDLE_VALUE) {
            ::CloseHandle(reserved);
            return;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS) return;
    }
}

CFileReplacer::~CFileReplacer() {
    if (!m_committed) RemoveSibling();
}

void CFileReplacer::RemoveSibling() {
    ::SetFileAttributesW(m_siblingPath, FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(m_siblingPath);
}

bool CFileReplacer::Commit(CFileException* error) {
    auto fail = [&](DWORD osError, const CString& name) {
        RemoveSibling();
        if (error) *error = CFileException::FromOsError(osError, name);
        return false;
    };
    if (m_committed) {
        if (error) *error = CFileException::FromOsError(ERROR_FILE_NOT_FOUND, m_siblingPath);
        return false;
    }

    // Write the sibling through to disk first, so that a crash after the move
    // cannot leave the target holding a file whose content was never stored.
    // Opening it exclusively also proves that nobody holds it open any more.
    HANDLE sibling = ::CreateFileW(m_siblingPath, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (sibling == INVALID_HANDLE_VALUE) return fail(::GetLastError(), m_siblingPath);
    BOOL flushed = ::FlushFileBuffers(sibling);
    DWORD flushError = ::GetLastError();
    ::CloseHandle(sibling);
    if (!flushed) return fail(flushError, m_siblingPath);

    if (!::MoveFileExW(m_siblingPath, m_targetPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return fail(::GetLastError(), m_targetPath);
    m_committed = true;
    if (error) *error = CFileException();
    return true;
}
