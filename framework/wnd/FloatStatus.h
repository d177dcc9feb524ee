// Floating windows that follow their frame's activation: a frame tells the
// windows it owns that carry the sync-active style bit (tool windows such as
// mini frames and torn-off popups) with WM_FLOATSTATUS when it is activated
// or deactivated, and such a window draws its caption active while its frame is.
// WM_FLOATSTATUS and its FS_* flags, and the MFS_SYNCACTIVE style bit, are the
// control bars' (bars/ControlBar.h, bars/MiniDockFrameWnd.h).
#pragma once
#include "bars/ControlBar.h"
#include "bars/MiniDockFrameWnd.h"

// Sends WM_FLOATSTATUS (flags) to every top-level window of this thread that
// `frame` owns and that has MFS_SYNCACTIVE.
void AfxNotifyFloatingWindows(HWND frame, WPARAM flags);

// Whether `window` is a top-level window that `frame` owns and that has MFS_SYNCACTIVE.
bool AfxIsSyncActiveWindowOf(HWND window, HWND frame);

// The caption state a sync-active floating window shows: active while the
// window itself or its owner frame is active.
BOOL AfxSyncActiveState(HWND floating, BOOL active);
