#include "wnd/FloatStatus.h"

namespace {

struct FloatNotice {
    HWND frame;
    WPARAM flags;
};

BOOL CALLBACK NotifyIfFloating(HWND window, LPARAM data) {
    const auto* notice = reinterpret_cast<const FloatNotice*>(data);
    if (AfxIsSyncActiveWindowOf(window, notice->frame)) SendMessageW(window, WM_FLOATSTATUS, notice->flags, 0);
    return TRUE;
}

}  // namespace

void AfxNotifyFloatingWindows(HWND frame, WPARAM flags) {
    FloatNotice notice{frame, flags};
    EnumThreadWindows(GetCurrentThreadId(), &NotifyIfFloating, reinterpret_cast<LPARAM>(&notice));
}

bool AfxIsSyncActiveWindowOf(HWND window, HWND frame) {
    return window && frame && window != frame && GetWindow(window, GW_OWNER) == frame &&
           (GetWindowLongPtrW(window, GWL_STYLE) & MFS_SYNCACTIVE);
}

BOOL AfxSyncActiveState(HWND floating, BOOL active) {
    if (active) return TRUE;
    HWND owner = GetWindow(floating, GW_OWNER);
    HWND foreground = GetForegroundWindow();
    return owner && (foreground == owner || GetWindow(foreground, GW_OWNER) == owner);
}
