#include "wnd/FloatStatus.h"

void AfxNotifyFloatingWindows(HWND frame, WPARAM flags) {
    struct Notice {
        HWND frame;
        WPARAM flags;
    } notice{frame, flags};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            const auto* notice = reinterpret_cast<const Notice*>(data);
            if (window != notice->frame && GetWindow(window, GW_OWNER) == notice->frame &&
                (GetWindowLongPtrW(window, GWL_STYLE) & MFS_SYNCACTIVE))
                SendMessageW(window, WM_FLOATSTATUS, notice->flags, 0);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&notice));
}

BOOL AfxSyncActiveState(HWND floating, BOOL active) {
    if (active) return TRUE;
    HWND owner = GetWindow(floating, GW_OWNER);
    HWND foreground = GetForegroundWindow();
    return owner && (foreground == owner || GetWindow(foreground, GW_OWNER) == owner);
}
