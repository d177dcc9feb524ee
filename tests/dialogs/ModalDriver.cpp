#include "ModalDriver.h"

namespace {

struct Pending {
    const wchar_t* caption = nullptr;
    std::function<void(HWND)> script;
    int ticks = 0;
};
Pending* g_pending = nullptr;

HWND FindOwnWindow(const wchar_t* caption) {
    struct Search {
        const wchar_t* caption;
        HWND found;
    } search{caption, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (!IsWindowVisible(window)) return TRUE;
            wchar_t text[256] = {};
            GetWindowTextW(window, text, 256);
            if (!s->caption || wcscmp(text, s->caption) == 0) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void CALLBACK OnTick(HWND, UINT, UINT_PTR timer, DWORD) {
    if (!g_pending) {  // the window never came, or its run is over
        KillTimer(nullptr, timer);
        return;
    }
    HWND window = FindOwnWindow(g_pending->caption);
    if (!window) {
        // Give up after a while: close whatever modal window is there.
        if (++g_pending->ticks > 500) {
            KillTimer(nullptr, timer);
            if (HWND active = GetActiveWindow()) PostMessageW(active, WM_COMMAND, IDCANCEL, 0);
            g_pending = nullptr;
        }
        return;
    }
    KillTimer(nullptr, timer);
    Pending* pending = g_pending;
    g_pending = nullptr;
    pending->script(window);
}

}  // namespace

INT_PTR RunModal(CDialog& dialog, const std::function<void(HWND)>& script) {
    Pending pending{nullptr, script};
    g_pending = &pending;
    SetTimer(nullptr, 0, 20, OnTick);
    INT_PTR result = dialog.DoModal();
    g_pending = nullptr;
    return result;
}

void RunWithWindow(const wchar_t* caption, const std::function<void()>& show, const std::function<void(HWND)>& script) {
    Pending pending{caption, script};
    g_pending = &pending;
    SetTimer(nullptr, 0, 20, OnTick);
    show();
    g_pending = nullptr;
}

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
bool IsEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

CString TextOf(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    int length = GetWindowTextLengthW(control);
    CString text;
    if (length > 0) text.ReleaseBuffer(GetWindowTextW(control, text.GetBuffer(length + 1), length + 1));
    return text;
}

void SetTextOf(HWND dialog, int id, const CString& text) { SetWindowTextW(GetDlgItem(dialog, id), text); }
