#include "dom/InlineStyle.h"

#include <utility>
#include <vector>

namespace dom {

namespace {

std::vector<std::pair<CString, CString>> Parse(const CString& declarations) {
    std::vector<std::pair<CString, CString>> result;
    int start = 0;
    const int length = declarations.GetLength();
    while (start < length) {
        int end = declarations.Find(L';', start);
        if (end < 0) end = length;
        CString item = declarations.Mid(start, end - start);
        int colon = item.Find(L':');
        if (colon > 0) {
            CString name = item.Left(colon);
            CString value = item.Mid(colon + 1);
            name.Trim();
            value.Trim();
            if (!name.IsEmpty()) result.emplace_back(name, value);
        }
        start = end + 1;
    }
    return result;
}

}  // namespace

CString GetCssProperty(const CString& declarations, const CString& name) {
    CString found;
    for (const auto& [key, value] : Parse(declarations))
        if (key.CompareNoCase(name) == 0) found = value;
    return found;
}

CString SetCssProperty(const CString& declarations, const CString& name, const CString& value) {
    auto items = Parse(declarations);
    bool replaced = false;
    for (auto it = items.begin(); it != items.end();) {
        if (it->first.CompareNoCase(name) == 0) {
            if (!replaced && !value.IsEmpty()) {
                it->second = value;
                replaced = true;
                ++it;
                continue;
            }
            it = items.erase(it);
            continue;
        }
        ++it;
    }
    if (!replaced && !value.IsEmpty()) items.emplace_back(name, value);
    CString out;
    for (const auto& [key, item] : items) {
        if (!out.IsEmpty()) out += L"; ";
        CString upper = key;
        upper.MakeUpper();
        out += upper + L": " + item;
    }
    return out;
}

}  // namespace dom
