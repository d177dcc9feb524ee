// The framework's message boxes: captioned with the application's name and
// shown through ShowMessageBox (so tests can answer them).
#pragma once
#include "core/MessageBox.h"

// The framework's "command failed" message.
inline constexpr UINT AFX_IDP_COMMAND_FAILURE = 61705;

int AfxMessageBox(const wchar_t* text, UINT type = MB_OK, UINT helpId = 0);
// The text of a string resource.
int AfxMessageBox(UINT stringId, UINT type = MB_OK, UINT helpId = (UINT)-1);
