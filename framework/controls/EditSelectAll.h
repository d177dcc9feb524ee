// Ctrl+A in an edit box selects its whole text, as the system's own edit
// boxes do since Windows Vista. Dialogs give it to every edit box they hold
// when they open, whether they run modal or modeless and whether or not a
// CEdit is bound to the box.
#pragma once
#include <windows.h>

// The one box (done once per box; a second call changes nothing).
void SelectAllOnCtrlA(HWND edit);
// Every edit box below the window, the edit boxes of combo boxes included.
void SelectAllOnCtrlAInChildren(HWND window);
