// Conversions between UTF-16 and a code page the way the text file does them:
// towards the code page with WC_COMPOSITECHECK | WC_SEPCHARS and "#" for what
// the code page cannot show, back with MB_PRECOMPOSED; code pages that take no
// flags (UTF-8 65001, UTF-7 and the stateful ones) get none. A code page of -1
// is the system ANSI code page at the moment of the call.
#pragma once
#include "core/String.h"

#include <windows.h>

#include <string>

namespace codepage {

UINT Resolve(int codePage);
bool TakesNoFlags(UINT codePage);
// What WideCharToMultiByte and MultiByteToWideChar get for a resolved code page.
DWORD WideToMultiByteFlags(UINT codePage);
const char* DefaultCharFor(UINT codePage);
DWORD MultiByteToWideFlags(UINT codePage);

// Explicit lengths: zero units and zero bytes travel like any other.
std::string ToMultiByte(const wchar_t* text, int length, int codePage);
// Fails (false) only when the code page cannot convert at all.
bool ToWide(const char* bytes, int length, int codePage, CString& text);

}  // namespace codepage
