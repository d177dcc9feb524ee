// What differs between the wide and the narrow engine. Everything else is one
// template over the code unit.
#pragma once

#include "core/String.h"

#include <type_traits>

namespace regex_detail {

template <typename TChar>
struct Traits;

template <>
struct Traits<wchar_t> {
    using String = CString;
    static constexpr bool kHasNoOpToken = true;     // "/b" compiles to the no-op cell
    static constexpr bool kFoldsCase = true;
    static constexpr const char* kTrailingSlashError = "Err using :/\n";
};

template <>
struct Traits<char> {
    using String = CStringA;
    static constexpr bool kHasNoOpToken = false;    // "/b" is the letter b
    static constexpr bool kFoldsCase = false;
    static constexpr const char* kTrailingSlashError = "Err using :\n";
};

// A code unit as an unsigned number (narrow units above 127 are not negative).
template <typename TChar>
constexpr unsigned UnitValue(TChar c) {
    return static_cast<unsigned>(static_cast<std::make_unsigned_t<TChar>>(c));
}

template <typename TChar>
constexpr TChar FoldUnit(TChar c) {
    return (c >= 'a' && c <= 'z') ? static_cast<TChar>(c - 'a' + 'A') : c;
}

} // namespace regex_detail
