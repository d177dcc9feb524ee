// String helpers shared by the store and the application.
#pragma once
#include "core/String.h"

#include <cstddef>
#include <vector>

// Splits at every delimiter (see the .cpp for the exact rule); returns 1.
int SplitString(const CString& text, std::vector<CString>& parts, const CString& delimiter);
int SplitStringA(const CStringA& text, std::vector<CStringA>& parts, const CStringA& delimiter);
// Decimal text of a number ("-" for negative values).
CStringA IntToString(long long value);
// Leading blanks, one optional sign, then decimal digits; no digits gives 0.
// Values beyond the int range are clamped.
int StringToInt(const CStringA& text);
// Writes the low byte of each character and two zero bytes; 0 when the buffer
// is too small (nothing written), else 1.
int CopyStringToBuffer(const CString& text, unsigned char* buffer, size_t size);
// The framework's message box with OK.
void ShowMessage(const CString& text);
// The same for text in the system code page.
void ShowMessageA(const CStringA& text);
// True when the slash pattern matches anywhere in the text (case-sensitive).
bool MatchesPattern(const CString& pattern, const CString& text);

// Case-insensitive (ASCII letters) search for a literal; -1 when absent.
int FindNoCase(const CString& text, const wchar_t* needle, int start = 0);
// Case-insensitive search for the last occurrence of a literal; -1 when absent.
int ReverseFindNoCase(const CString& text, const wchar_t* needle);
inline bool ContainsNoCase(const CString& text, const wchar_t* needle) { return FindNoCase(text, needle) >= 0; }

// Wide text to and from a code page (CP_ACP, 65001, ...).
CStringA WideToCodePage(const CString& text, unsigned codePage);
CString CodePageToWide(const char* bytes, size_t length, unsigned codePage);
// True when the text does not come back whole from the code page (a
// character it lacks is written as "#" or as a look-alike).
bool LosesCharactersIn(const CString& text, unsigned codePage);

// Character references ("&lt;", "&#60;", "&#x3C;", "&amp;", "&quot;",
// "&apos;", "&nbsp;") read as the characters they stand for; the engine and
// the store write one text in different spellings. Other "&" stay.
CString DecodeCharacterReferences(const CString& text);
