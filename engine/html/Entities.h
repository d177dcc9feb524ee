// Named character references.
#pragma once

namespace html {

// The character of a named reference (name without '&' and ';', case as
// written), or 0 when the name is unknown.
wchar_t LookupEntity(const wchar_t* name, int length);
// The longest name in the table.
int LongestEntityName();

}  // namespace html
