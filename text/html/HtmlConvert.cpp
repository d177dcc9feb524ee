#include "html/HtmlConvert.h"

#include <cstdio>
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
            } else {
                if (bytesWritten + 8 >= bufferSize) break;
                std::snprintf(buffer + bytesWritten, 9, "&#x%04X;", static_cast<unsigned>(unit));
                bytesWritten += 8;
            }
        }
    }
    buffer[bytesWritten] = 0;
}
