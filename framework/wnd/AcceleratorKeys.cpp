#include "wnd/AcceleratorKeys.h"

namespace {

// Set when a table took a key that went down with Alt held, until Alt is
// released or pressed anew. Keys come on the user-interface thread only.
bool g_altKeyTaken = false;

bool IsAltKey(const MSG& msg) { return msg.wParam == VK_MENU || msg.wParam == VK_LMENU || msg.wParam == VK_RMENU; }

}  // namespace

bool TranslateAcceleratorKeys(HWND window, HACCEL table, MSG* msg) {
    if (IsAltKey(*msg)) {
        if (msg->message == WM_SYSKEYDOWN || msg->message == WM_KEYDOWN) {
            // A new press of Alt (not its repeat) starts afresh: it may be a lone one.
            if (!(HIWORD(msg->lParam) & KF_REPEAT)) g_altKeyTaken = false;
            return false;
        }
        if (msg->message == WM_SYSKEYUP || msg->message == WM_KEYUP) {
            const bool holdBack = g_altKeyTaken;
            g_altKeyTaken = false;
            return holdBack;
        }
    }
    if (!table || !::TranslateAcceleratorW(window, table, msg)) return false;
    if (msg->message == WM_SYSKEYDOWN && (HIWORD(msg->lParam) & KF_ALTDOWN)) g_altKeyTaken = true;
    return true;
}
