// One thread mouse hook shared by every window of a kind: the first window
// that needs it installs it, the last one that goes removes it, so hover
// tracking keeps working while any of them is left.
#pragma once
#include <windows.h>

class SharedMouseHook {
public:
    explicit SharedMouseHook(HOOKPROC proc) : m_proc(proc) {}
    SharedMouseHook(const SharedMouseHook&) = delete;
    SharedMouseHook& operator=(const SharedMouseHook&) = delete;

    void AddUser() {
        if (m_users++ == 0 && !m_hook) m_hook = ::SetWindowsHookExW(WH_MOUSE, m_proc, nullptr, ::GetCurrentThreadId());
    }
    void RemoveUser() {
        if (m_users == 0 || --m_users > 0) return;
        if (m_hook) ::UnhookWindowsHookEx(m_hook);
        m_hook = nullptr;
    }
    HHOOK Handle() const { return m_hook; }
    int Users() const { return m_users; }
    // The window under the mouse at the hook's last call.
    HWND m_hLastWnd = nullptr;

private:
    HOOKPROC m_proc;
    HHOOK m_hook = nullptr;
    int m_users = 0;
};
