// The close of a modified page whose file is read-only. "Save changes to
// ...?" would offer a save that cannot happen; the question says so at
// once and offers what can: close the page without its changes, or keep
// it open with them. Both editors of a page (the page view's and the
// source view's document) ask it before their own save question.
#pragma once
#include "core/String.h"

// True when the page file at `path` is there and read-only.
bool IsPageFileReadOnly(const CString& path);

// Asks the user; true when the page may close without its changes, false
// when it stays open as it is. Cancel is the default button, so a hasty
// Enter loses nothing.
bool AskCloseReadOnlyPage(const CString& path);
