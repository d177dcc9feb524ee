// Where a toolbar of the running program stands, for the end-to-end cases
// that move it: the dock bar that holds it, its gripper, a window's client
// area on the screen.
#pragma once
#include <windows.h>

inline constexpr int kTopDockBar = 0xE81B;  // the frame's dock bars, by side
inline constexpr int kLeftDockBar = 0xE81C;
inline constexpr int kRightDockBar = 0xE81D;
inline constexpr int kBottomDockBar = 0xE81E;

// The dock bar's id that holds the toolbar, 0 when it floats.
inline int DockSideOf(HWND toolbar, HWND frame) {
    HWND dockBar = GetParent(toolbar);
    return GetParent(dockBar) == frame ? GetDlgCtrlID(dockBar) : 0;
}

// A point on the gripper: the bar's left end halfway down (its top end when it stands upright).
inline POINT GripperOf(HWND toolbar) {
    RECT bar{};
    GetWindowRect(toolbar, &bar);
    if (bar.bottom - bar.top > 2 * (bar.right - bar.left)) return POINT{(bar.left + bar.right) / 2, bar.top + 4};
    return POINT{bar.left + 4, (bar.top + bar.bottom) / 2};
}

inline RECT ScreenClientOf(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
