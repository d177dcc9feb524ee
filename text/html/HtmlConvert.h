// Conversions the HTML document layer shares: VARIANT and BSTR to text,
// CSS lengths to pixels, and page text to the ASCII bytes the engine loads.
#pragma once
#include "core/String.h"

#include <windows.h>
#include <oleauto.h>

// VT_I4 and VT_BOOL as "%d" (true is "-1"), VT_BSTR as its text, anything else empty.
CString VariantToString(const VARIANT& value);
// The text of a BSTR; takes the BSTR over and frees it.
CString BstrToString(BSTR text);
// A CSS length in pixels: the leading integer, scaled by the first unit found
// after the first character (pt, mm, cm, pc, in, in this order); integer arithmetic.
int CssLengthToPixels(const CString& text);
// Copies text into single bytes: units up to 126 as they are, every other
// character as "&#x%04X;" of its code point (a surrogate pair as one
// reference, a lone surrogate as its unit). Stops at the terminator, after `count` units, or when the
// next piece would not fit before the terminating zero it always writes.
// Reports the units consumed and the bytes written (terminator not counted).
void HtmlEscapeNonAscii(const wchar_t* text, int count, char* buffer, int bufferSize, int& unitsUsed, int& bytesWritten);

// A BSTR made from text for one call, freed at the end of the scope.
class ScopedBstr {
public:
    explicit ScopedBstr(const CString& text) : m_text(SysAllocStringLen(text.GetString(), static_cast<UINT>(text.GetLength()))) {}
    ~ScopedBstr() { SysFreeString(m_text); }
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    operator BSTR() const { return m_text; }

private:
    BSTR m_text;
};
