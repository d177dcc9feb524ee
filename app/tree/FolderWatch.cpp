#include "tree/FolderWatch.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

namespace {

constexpr DWORD kWatchedChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME;
// Room for the records of a burst (a folder of some hundred pages deleted at
// once); a burst beyond it is reported as "look at everything".
constexpr size_t kBufferWords = 16 * 1024;

// The volume and file number of a folder; false when it cannot be opened.
bool FolderIdentity(const CString& folder, BY_HANDLE_FILE_INFORMATION& identity) {
    HANDLE handle = CreateFileW(folder, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(handle, &identity) != 0;
    CloseHandle(handle);
    return known;
}

}  // namespace

// One read of change records under way: the folder's handle, the buffer the
// system fills and the event it signals. Owned by the watch's thread.
struct CFolderWatch::PendingRead {
    HANDLE folder = INVALID_HANDLE_VALUE;
    OVERLAPPED overlapped{};
    std::vector<DWORD> buffer = std::vector<DWORD>(kBufferWords);  // records are DWORD-aligned

    bool Begin() {
        ResetEvent(overlapped.hEvent);
        return ReadDirectoryChangesW(folder, buffer.data(), static_cast<DWORD>(buffer.size() * sizeof(DWORD)), TRUE,
                                     kWatchedChanges, nullptr, &overlapped, nullptr) != 0;
    }
    // Ends a read still under way: closing the folder's handle cancels it.
    // The system must be done with the buffer before it goes: false when it
    // did not say so in time (the buffer is then left to the process's end).
    bool Cancel() {
        CancelIo(folder);
        CloseHandle(folder);
        folder = INVALID_HANDLE_VALUE;
        return WaitForSingleObject(overlapped.hEvent, 2000) == WAIT_OBJECT_0;
    }
    ~PendingRead() {
        if (folder != INVALID_HANDLE_VALUE) CloseHandle(folder);
        if (overlapped.hEvent) CloseHandle(overlapped.hEvent);
    }
};

bool CFolderWatch::Start(const CString& folder, HWND window, UINT message) {
    Stop();
    if (folder.IsEmpty() || !window) return false;
    // The first read is asked for here, so that every change after Start
    // returns is heard.
    auto read = std::make_unique<PendingRead>();
    read->folder = CreateFileW(folder, FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    if (read->folder == INVALID_HANDLE_VALUE) return false;
    if (!GetFileInformationByHandle(read->folder, &m_identity)) m_identity = BY_HANDLE_FILE_INFORMATION();
    read->overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!read->overlapped.hEvent || !m_stop || !read->Begin()) {
        if (m_stop) CloseHandle(m_stop);
        m_stop = nullptr;
        return false;
    }
    m_folder = folder;
    m_window = window;
    m_message = message;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_gathered = Changes();
        m_posted = false;
    }
    m_running = true;
    m_thread = std::thread([this, pending = read.release()] {
        std::unique_ptr<PendingRead> owned(pending);
        Wait(*owned);
        if (m_abandoned) owned.release();  // the system may still write into it
    });
    return true;
}

void CFolderWatch::Stop() {
    if (m_thread.joinable()) {
        SetEvent(m_stop);
        m_thread.join();
    }
    if (m_stop) CloseHandle(m_stop);
    m_stop = nullptr;
    m_running = false;
    m_folder.Empty();
}

bool CFolderWatch::Check() {
    if (!m_running) return false;
    BY_HANDLE_FILE_INFORMATION now{};
    if (FolderIdentity(m_folder, now) && now.dwVolumeSerialNumber == m_identity.dwVolumeSerialNumber &&
        now.nFileIndexHigh == m_identity.nFileIndexHigh && now.nFileIndexLow == m_identity.nFileIndexLow)
        return true;
    Stop();
    return false;
}

CFolderWatch::Changes CFolderWatch::Take() {
    std::lock_guard<std::mutex> guard(m_lock);
    Changes taken = std::move(m_gathered);
    m_gathered = Changes();
    m_posted = false;
    return taken;
}

void CFolderWatch::Post() {
    // One message waits for the window at a time; a window that is gone
    // takes none, and the next change tries again.
    if (!m_posted && PostMessageW(m_window, m_message, 0, 0)) m_posted = true;
}

void CFolderWatch::Gather(const BYTE* records, DWORD size) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (size == 0) {
        m_gathered.everything = true;  // the system's buffer ran over
    } else {
        for (DWORD at = 0; at + sizeof(FILE_NOTIFY_INFORMATION) <= size;) {
            const auto* record = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(records + at);
            const DWORD nameBytes = std::min<DWORD>(record->FileNameLength, size - at - offsetof(FILE_NOTIFY_INFORMATION, FileName));
            CString name(record->FileName, static_cast<int>(nameBytes / sizeof(wchar_t)));
            name.Replace(L'/', L'\\');
            if (!name.IsEmpty()) m_gathered.names.insert(name);
            // A rename comes as its old name, then its new name.
            if (record->Action == FILE_ACTION_RENAMED_OLD_NAME) {
                m_renamedFrom = name;
            } else {
                if (record->Action == FILE_ACTION_RENAMED_NEW_NAME && !m_renamedFrom.IsEmpty() && !name.IsEmpty())
                    m_gathered.renames.emplace_back(m_renamedFrom, name);
                m_renamedFrom.Empty();
            }
            if (record->NextEntryOffset == 0) break;
            at += record->NextEntryOffset;
        }
    }
    Post();
}

void CFolderWatch::Wait(PendingRead& read) {
    const HANDLE handles[2] = {m_stop, read.overlapped.hEvent};
    bool ended = false;
    for (;;) {
        if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
            if (!read.Cancel()) m_abandoned = true;
            break;  // stopped (or the wait itself failed: that ends the watch too)
        }
        DWORD bytes = 0;
        if (!GetOverlappedResult(read.folder, &read.overlapped, &bytes, FALSE)) {
            if (GetLastError() != ERROR_NOTIFY_ENUM_DIR) {
                ended = true;
                break;
            }
            bytes = 0;  // too many changes to tell: look at everything
        }
        Gather(reinterpret_cast<const BYTE*>(read.buffer.data()), bytes);
        if (!read.Begin()) {
            ended = true;
            break;
        }
    }
    m_running = false;
    if (ended || WaitForSingleObject(m_stop, 0) != WAIT_OBJECT_0) {
        std::lock_guard<std::mutex> guard(m_lock);
        m_gathered.ended = m_gathered.everything = true;
        Post();
    }
}
