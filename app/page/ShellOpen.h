// Opening an address or a file through the shell, as the page window's link
// and browse commands do. Tests install a hook to see what would be opened.
#pragma once
#include "core/String.h"

#include <windows.h>

#include <functional>

using ShellOpenHook = std::function<void(HWND owner, const CString& target)>;

// ShellExecuteW with no verb, parameters or folder, shown normally. Returns
// its answer: above 32 when the shell opened the target (a hook counts as
// success), else the shell's error code.
int OpenWithShell(HWND owner, const CString& target);

// The user's words for a failed OpenWithShell answer.
CString ShellOpenFailureText(int answer);

// Installs a hook for the whole process (an empty hook opens for real again);
// returns the hook installed before.
ShellOpenHook SetShellOpenHook(ShellOpenHook hook);
