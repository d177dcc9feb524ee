// Where the main window goes at start-up: the rectangle the Init section
// remembers ("Left", "top", "right", "bottom"), or the default one.
#pragma once
#include "wnd/Geometry.h"

inline constexpr RECT kDefaultMainWindowRect{23, 23, 983, 582};

// A remembered rectangle without width or height (a damaged Init section)
// would leave the user without a window: the default place is used instead.
CRect MainWindowPlacement(int left, int top, int right, int bottom);
