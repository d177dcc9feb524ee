// Floating windows that follow their frame's activation: a frame tells the
// windows it owns that carry the sync-active style bit (tool windows such as
// mini frames and torn-off popups) with WM_FLOATSTATUS when it is activated
// or deactivated, and such a window draws its caption active while its frame is.
#pragma once
#include <windows.h>

inline constexpr UINT WM_FLOATSTATUS = 0x036D;
inline constexpr WPARAM FS_ACTIVATE = 0x0004;
inline constexpr WPARAM FS_DEACTIVATE = 0x0008;
// The window style bit of a floating window kept in step with its owner frame.
inline constexpr DWORD MFS_SYNCACTIVE = 0x0100;

// Sends WM_FLOATSTATUS (flags) to every top-level window of this thread that
// `frame` owns and that has MFS_SYNCACTIVE.
void AfxNotifyFloatingWindows(HWND frame, WPARAM flags);

// The caption state a sync-active floating window shows: active while the
// window itself or its owner frame is active.
BOOL AfxSyncActiveState(HWND floating, BOOL active);
