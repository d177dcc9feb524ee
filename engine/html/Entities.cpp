// The named character references the parser knows: those of today's
// browsers, generated into EntityTable.inc by tools/make_entities.py.
#include "html/Entities.h"

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <string_view>

namespace html {

namespace {
const NamedEntity kEntities[] = {
#include "html/EntityTable.inc"
};
}  // namespace

const NamedEntity* LookupEntity(const wchar_t* name, int length) {
    std::wstring_view key(name, static_cast<size_t>(length));
    const NamedEntity* hit =
        std::lower_bound(std::begin(kEntities), std::end(kEntities), key,
                         [](const NamedEntity& e, std::wstring_view k) { return std::wstring_view(e.name) < k; });
    return hit != std::end(kEntities) && std::wstring_view(hit->name) == key ? hit : nullptr;
}

int LongestEntityName() {
    static const int longest = [] {
        size_t n = 0;
        for (const auto& e : kEntities) n = std::max(n, std::wcslen(e.name));
        return static_cast<int>(n);
    }();
    return longest;
}

}  // namespace html
