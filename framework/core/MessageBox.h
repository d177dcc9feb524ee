// Every message box of the system goes through ShowMessageBox, so that tests
// can record what would be shown and answer in the user's place.
#pragma once
#include "core/String.h"

#include <windows.h>

#include <functional>

// Receives what would be shown and returns the button the user "pressed"
// (IDOK, IDCANCEL, IDYES, ...).
using MessageBoxHook = std::function<int(HWND owner, const CString& text, const CString& caption, UINT type)>;

// Shows a real message box, or hands it to the installed hook.
int ShowMessageBox(HWND owner, const CString& text, const CString& caption, UINT type);

// Installs a hook for the whole process; an empty hook restores real boxes.
// Returns the hook that was installed before.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);
