// What a test program shares with the other test programs that run on the
// same display at the same time: dialogs are found by the thread that shows
// them, and the one clipboard is used in turns.
#pragma once
#include <windows.h>

#include <cwchar>

// The visible dialog of that thread with that caption (shown only after its set-up).
inline HWND FindThreadDialog(DWORD thread, const wchar_t* caption) {
    struct Search {
        const wchar_t* caption;
        HWND found;
    } search{caption, nullptr};
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM data) CALLBACK -> BOOL {
            auto* search = reinterpret_cast<Search*>(data);
            wchar_t className[16] = {}, text[64] = {};
            GetClassNameW(window, className, 16);
            GetWindowTextW(window, text, 64);
            if (wcscmp(className, L"#32770") == 0 && wcscmp(text, search->caption) == 0 && IsWindowVisible(window)) {
                search->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}


// Held by a test that uses the system clipboard, for as long as it runs.
class ClipboardTurn {
public:
    ClipboardTurn() : m_mutex(CreateMutexW(nullptr, FALSE, L"TarveloTestsClipboardTurn")) {
        if (m_mutex) WaitForSingleObject(m_mutex, 120000);  // abandoned by a crashed test: ours all the same
    }
    ~ClipboardTurn() {
        if (!m_mutex) return;
        ReleaseMutex(m_mutex);
        CloseHandle(m_mutex);
    }
    ClipboardTurn(const ClipboardTurn&) = delete;
    ClipboardTurn& operator=(const ClipboardTurn&) = delete;

private:
    HANDLE m_mutex;
};
