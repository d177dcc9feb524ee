// Resources of the running program (the executable's own .rc).
#pragma once
#include "core/String.h"

#include <windows.h>

// The string of a string-table entry, empty when there is none.
CString LoadStringResource(UINT id);
// Part `index` of a "\n"-separated resource string (document strings, titles).
CString ResourceStringPart(const CString& text, int index);
