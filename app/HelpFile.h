// The help file TQHelp.chm beside the program, shown with HTML Help.
#pragma once
#include "core/String.h"

#include <windows.h>

// The help file in the folder of the program at modulePath.
CString HelpFileBeside(const CString& modulePath);

// Opens the help file with HTML Help. A missing file, or HTML Help that
// cannot be loaded, is told to the user in a message box owned by owner.
void ShowHelpFile(HWND owner, const CString& helpFile);
