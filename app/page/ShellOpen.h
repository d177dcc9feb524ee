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

// As OpenWithShell, for an address that a program the shell starts opens
// (the web browser). The shell counts that start as success, but the program
// may still fail: Wine's winebrowser, with no browser to hand the address
// to, ends at once with a failure code. When the started program ends with
// a failure code within a few seconds, `onLateFailure` runs (on this thread,
// from its message loop) with kShellOpenProgramFailed.
int OpenAddressWithShell(HWND owner, const CString& address, std::function<void(int answer)> onLateFailure);

// The answer of a program the shell started that ended without opening the target.
inline constexpr int kShellOpenProgramFailed = -1;

// The user's words for a failed OpenWithShell answer.
CString ShellOpenFailureText(int answer);

// The message box that says the target could not be opened, and why: `what`
// ("The page could not be opened outside Tarvelo"), the target, the reason.
void TellShellOpenFailed(HWND owner, const CString& what, const CString& target, int answer);

// Installs a hook for the whole process (an empty hook opens for real again);
// returns the hook installed before.
ShellOpenHook SetShellOpenHook(ShellOpenHook hook);
