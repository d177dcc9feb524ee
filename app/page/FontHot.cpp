#include "page/FontHot.h"

#include "util/Registry.h"

std::vector<CString> SplitFontHot(const CString& value) {
    std::vector<CString> names;
    int start = 0;
    while (start <= value.GetLength()) {
        int end = value.Find(L';', start);
        if (end < 0) end = value.GetLength();
        if (end > start) names.push_back(value.Mid(start, end - start));
        start = end + 1;
    }
    return names;
}

CString NextFontHot(const CString& value, const CString& name) {
    if (name.IsEmpty()) return value;
    CString next = name;
    int count = 1;
    for (const CString& old : SplitFontHot(value)) {
        if (count >= kMaxFontHot) break;
        if (old == name) continue;
        next += L";" + old;
        ++count;
    }
    return next;
}

void RememberFontName(const CString& name) {
    CString value = GetSettingString(L"Settings", L"FontHot", L"");
    CString next = NextFontHot(value, name);
    if (next != value) WriteSettingString(L"Settings", L"FontHot", next);
}
