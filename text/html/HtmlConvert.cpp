#include "html/HtmlConvert.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

CString VariantToString(const VARIANT& value) {
    CString text;
    switch (value.vt) {
    case VT_I4: text.Format(L"%d", static_cast<int>(value.lVal)); break;
    case VT_BOOL: text.Format(L"%d", static_cast<int>(value.boolVal)); break;
    case VT_BSTR:
        if (value.bstrVal) text = CString(value.bstrVal, static_cast<int>(SysStringLen(value.bstrVal)));
        break;
    default: break;
    }
    return text;
}

CString BstrToString(BSTR text) {
    CString result = text ? CString(text, static_cast<int>(SysStringLen(text))) : CString();
    SysFreeString(text);
    return result;
}

int CssLengthToPixels(const CString& text) {
    int n = _wtoi(text);
    if (n == 0) return 0;
    if (text.Find(L"pt", 1) >= 0) return n * 4 / 3;
    if (text.Find(L"mm", 1) >= 0) return n * 38 / 10;
    if (text.Find(L"cm", 1) >= 0) return n * 38;
    if (text.Find(L"pc", 1) >= 0) return n * 16;
    if (text.Find(L"in", 1) >= 0) return n * 96;
    return n;
}

void HtmlEscapeNonAscii(const wchar_t* text, int count, char* buffer, int bufferSize, int& unitsUsed, int& bytesWritten) {
    unitsUsed = 0;
    bytesWritten = 0;
    if (!buffer || bufferSize <= 0) return;
    if (text) {
        for (; unitsUsed < count && text[unitsUsed]; ++unitsUsed) {
            wchar_t unit = text[unitsUsed];
            if (unit <= 126) {
                if (bytesWritten + 1 >= bufferSize) break;
                buffer[bytesWritten++] = static_cast<char>(unit);
                continue;
            }
            // A surrogate pair is one character beyond the BMP: one reference to its code point.
            wchar_t low = unitsUsed + 1 < count ? text[unitsUsed + 1] : 0;
            bool pair = unit >= 0xD800 && unit <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF;
            unsigned codePoint = pair ? 0x10000 + ((unit - 0xD800u) << 10) + (low - 0xDC00u) : unit;
            char piece[16];
            int length = std::snprintf(piece, sizeof piece, "&#x%04X;", codePoint);
            if (bytesWritten + length >= bufferSize) break;
            std::memcpy(buffer + bytesWritten, piece, static_cast<size_t>(length));
            bytesWritten += length;
            if (pair) ++unitsUsed;
        }
    }
    buffer[bytesWritten] = 0;
}
