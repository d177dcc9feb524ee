#include "wnd/Resources.h"

CString LoadStringResource(UINT id) {
    const wchar_t* text = nullptr;
    int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return CString();
    return CString(text, length);
}

CString ResourceStringPart(const CString& text, int index) {
    int start = 0;
    for (int part = 0; part < index; ++part) {
        int next = text.Find(L'\n', start);
        if (next < 0) return CString();
        start = next + 1;
    }
    int end = text.Find(L'\n', start);
    return end < 0 ? text.Mid(start) : text.Mid(start, end - start);
}
