// Named character references.
#pragma once

namespace html {

struct NamedEntity {
    const wchar_t* name;   // without '&' and ';'
    const wchar_t* value;  // one or two characters, as UTF-16
    bool legacy;           // also read without the closing ';' (&nbsp, &amp ...)
};

// The reference of that name (case as written), or nullptr when unknown.
const NamedEntity* LookupEntity(const wchar_t* name, int length);
// The longest name in the table.
int LongestEntityName();

}  // namespace html
