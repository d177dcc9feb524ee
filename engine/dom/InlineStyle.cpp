#include "dom/InlineStyle.h"

#include <utility>
#include <vector>

namespace dom {

std::vector<CssDeclaration> ParseCssDeclarations(const CString& declarations) {
    std::vector<CssDeclaration> result;
    int start = 0;
    const int length = declarations.GetLength();
    while (start < length) {
        int end = declarations.Find(L';', start);
        if (end < 0) end = length;
        const int colon = declarations.Find(L':', start);
        if (colon > start && colon < end) {
            CString name = declarations.Mid(start, colon - start);
            CString value = declarations.Mid(colon + 1, end - colon - 1);
            name.Trim();
            value.Trim();
            if (!name.IsEmpty()) result.push_back({std::move(name), std::move(value)});
        }
        start = end + 1;
    }
    return result;
}

CString GetCssProperty(const CString& declarations, const CString& name) {
    CString found;
    for (const auto& [key, value] : ParseCssDeclarations(declarations))
        if (key.CompareNoCase(name) == 0) found = value;
    return found;
}

CString SetCssProperty(const CString& declarations, const CString& name, const CString& value) {
    auto items = ParseCssDeclarations(declarations);
    bool replaced = false;
    for (auto it = items.begin(); it != items.end();) {
        if (it->name.CompareNoCase(name) == 0) {
            if (!replaced && !value.IsEmpty()) {
                it->value = value;
                replaced = true;
                ++it;
                continue;
            }
            it = items.erase(it);
            continue;
        }
        ++it;
    }
    if (!replaced && !value.IsEmpty()) items.push_back({name, value});
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
