// Runs a modal dialog and drives it from inside its own message loop: once
// the dialog's window is up, the script gets its handle (and usually ends it
// with a click on OK or Cancel).
#pragma once
#include "dialog/Dialog.h"

#include <functional>

INT_PTR RunModal(CDialog& dialog, const std::function<void(HWND dialog)>& script);

// The same for any modal window of this thread with the given caption, shown
// by `show` (the shell's folder browser, for one).
void RunWithWindow(const wchar_t* caption, const std::function<void()>& show,
                   const std::function<void(HWND window)>& script);

// Clicks a control of the dialog as the user would.
void Click(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
CString TextOf(HWND dialog, int id);
void SetTextOf(HWND dialog, int id, const CString& text);
