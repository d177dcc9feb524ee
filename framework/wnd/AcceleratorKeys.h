// The accelerator tables of the frames, and the Alt key around them. Under
// Wine the window procedure's default handling opens the menu bar to the
// keyboard at a release of Alt when it saw no other key go down since Alt
// did. A key that a table takes while Alt is held (Alt+Left, Alt+Backspace)
// never reaches a window procedure, so the release of Alt that follows it
// would open the menu and the keys typed next would go there. That one
// release is therefore held back; a press and release of Alt alone still
// opens the menu.
#pragma once
#include <windows.h>

// Runs the key message through `table` for `window` (a null table takes
// nothing); true when the message is done: its command ran, or it is the
// release of Alt after such a command.
bool TranslateAcceleratorKeys(HWND window, HACCEL table, MSG* msg);
