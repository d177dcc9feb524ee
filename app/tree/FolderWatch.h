// CFolderWatch: tells a window when entries appear, go or are renamed in a
// folder or any folder below it, whoever changed them (another process of
// the program writing a clip's page included). A thread of its own waits for
// the system's change notification and posts the window one message; no
// further message is posted until the window has taken that one
// (Acknowledge), so a burst of changes costs the window one round of work.
#pragma once
#include "core/String.h"

#include <windows.h>

#include <atomic>
#include <thread>

class CFolderWatch {
public:
    CFolderWatch() = default;
    ~CFolderWatch() { Stop(); }
    CFolderWatch(const CFolderWatch&) = delete;
    CFolderWatch& operator=(const CFolderWatch&) = delete;

    // Watches the folder (a watch already running stops first); false when
    // the folder cannot be watched (the window then hears nothing).
    bool Start(const CString& folder, HWND window, UINT message);
    void Stop();
    bool IsWatching(const CString& folder) const { return m_thread.joinable() && m_folder == folder; }
    // The window has taken the message: a later change posts another one.
    void Acknowledge() { m_posted = false; }

private:
    void Wait();

    CString m_folder;
    HWND m_window = nullptr;
    UINT m_message = 0;
    HANDLE m_change = INVALID_HANDLE_VALUE;
    HANDLE m_stop = nullptr;
    std::atomic<bool> m_posted{false};
    std::thread m_thread;
};
