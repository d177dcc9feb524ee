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

bool IsHexDigit(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'); }

// Reads hex digits at `at` up to `stop`; false when there are none or too many.
bool ReadHex(const CString& name, int& at, wchar_t stop, unsigned long* value) {
    int start = at;
    unsigned long number = 0;
    while (at < name.GetLength() && IsHexDigit(name[at]) && at - start < 8) {
        wchar_t c = name[at++];
        number = number * 16 + (c <= L'9' ? c - L'0' : (c | 0x20) - L'a' + 10);
    }
    if (at == start || at >= name.GetLength() || name[at] != stop) return false;
    if (value) *value = number;
    ++at;
    return true;
}

// True while a process with the id runs (or may run: one that cannot be
// asked counts as running).
bool ProcessIsRunning(unsigned long processId) {
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    bool running = !::GetExitCodeProcess(process, &code) || code == STILL_ACTIVE;
    ::CloseHandle(process);
    return running;
}

// True when a refused move over the target may succeed a moment later: a
// sharing or lock refusal, or a denial while the target is neither read-only
// nor a folder (a reader under Wine, a file being deleted). A target that is
// read-only or a folder refuses for good, as does one that is not there.
bool IsRefusalThatEnds(DWORD moveError, const CString& target) {
    if (moveError != ERROR_SHARING_VIOLATION && moveError != ERROR_LOCK_VIOLATION && moveError != ERROR_ACCESS_DENIED)
        return false;
    DWORD attributes = ::GetFileAttributesW(target);
    if (attributes != INVALID_FILE_ATTRIBUTES) return !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    // A file being deleted cannot be asked either; a missing one is no reader's.
    DWORD queryError = ::GetLastError();
    return queryError == ERROR_ACCESS_DENIED || queryError == ERROR_SHARING_VIOLATION;
}

}  // namespace

bool CFileReplacer::IsSiblingName(const CString& name, unsigned long* processId) {
    // "~tq" pid "-" counter "-" ticks ".tmp", the numbers in hex.
    if (name.GetLength() < 12 || name.Left(3).CompareNoCase(L"~tq") != 0) return false;
    int at = 3;
    return ReadHex(name, at, L'-', processId) && ReadHex(name, at, L'-', nullptr) && ReadHex(name, at, L'.', nullptr) &&
           name.Mid(at).CompareNoCase(L"tmp") == 0;
}

bool CFileReplacer::RemoveIfStale(const CString& path) {
    int slash = std::max(path.ReverseFind(L'\\'), path.ReverseFind(L'/'));
    unsigned long processId = 0;
    if (!IsSiblingName(path.Mid(slash + 1), &processId)) return false;
    if (processId == ::GetCurrentProcessId() || ProcessIsRunning(processId)) return false;
    // Fails while anybody holds the file open without sharing deletion.
    return ::DeleteFileW(path) != FALSE;
}

int CFileReplacer::RemoveStaleSiblings(const CString& folder) {
    CString prefix = folder;
    if (!prefix.IsEmpty() && prefix[prefix.GetLength() - 1] != L'\\' && prefix[prefix.GetLength() - 1] != L'/')
        prefix += L"\\";
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(prefix + L"~tq*.tmp", &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int removed = 0;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && RemoveIfStale(prefix + data.cFileName)) ++removed;
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return removed;
}

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

    // A read-only target is never replaced (Windows refuses the move, Wine
    // would make it), and a folder cannot be: both fail at once.
    if (DWORD target = ::GetFileAttributesW(m_targetPath);
        target != INVALID_FILE_ATTRIBUTES && (target & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return fail(ERROR_ACCESS_DENIED, m_targetPath);
    // A reader of the target (the index thread, a virus scanner, a backup)
    // holds it for a moment; Wine refuses the move while it does. The move is
    // tried again for a while before the save counts as failed; a refusal
    // for good is not waited for.
    constexpr DWORD kReaderWaitMs = 2000, kStepMs = 20;
    for (DWORD waited = 0;; waited += kStepMs) {
        if (::MoveFileExW(m_siblingPath, m_targetPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) break;
        DWORD moveError = ::GetLastError();
        if (!IsRefusalThatEnds(moveError, m_targetPath) || waited >= kReaderWaitMs) return fail(moveError, m_targetPath);
        ::Sleep(kStepMs);
    }
    m_committed = true;
    if (error) *error = CFileException();
    return true;
}
