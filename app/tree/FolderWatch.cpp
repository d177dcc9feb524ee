#include "tree/FolderWatch.h"

bool CFolderWatch::Start(const CString& folder, HWND window, UINT message) {
    Stop();
    if (folder.IsEmpty() || !window) return false;
    m_change = FindFirstChangeNotificationW(folder, TRUE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME);
    if (m_change == INVALID_HANDLE_VALUE) return false;
    m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!m_stop) {
        FindCloseChangeNotification(m_change);
        m_change = INVALID_HANDLE_VALUE;
        return false;
    }
    m_folder = folder;
    m_window = window;
    m_message = message;
    m_posted = false;
    m_thread = std::thread([this] { Wait(); });
    return true;
}

void CFolderWatch::Stop() {
    if (m_thread.joinable()) {
        SetEvent(m_stop);
        m_thread.join();
    }
    if (m_change != INVALID_HANDLE_VALUE) FindCloseChangeNotification(m_change);
    if (m_stop) CloseHandle(m_stop);
    m_change = INVALID_HANDLE_VALUE;
    m_stop = nullptr;
    m_folder.Empty();
}

void CFolderWatch::Wait() {
    const HANDLE handles[2] = {m_stop, m_change};
    for (;;) {
        if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) return;
        // One message waits for the window at a time; a window that is gone
        // takes none, and the next change tries again.
        if (!m_posted.exchange(true) && !PostMessageW(m_window, m_message, 0, 0)) m_posted = false;
        if (!FindNextChangeNotification(m_change)) return;
    }
}
