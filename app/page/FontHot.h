// FontHot: the face names the user picked last in the font-name box, newest
// first, joined by ";", at most kMaxFontHot names.
#pragma once
#include "core/String.h"

#include <vector>

inline constexpr int kMaxFontHot = 10;

// The stored names in order, empty parts left out.
std::vector<CString> SplitFontHot(const CString& value);
// The value after the user chose `name`: the name first, then the older
// names other than it (compared whole and exactly), cut to kMaxFontHot
// names. An empty name leaves the value as it was.
CString NextFontHot(const CString& value, const CString& name);
// Reads, updates and writes Settings\FontHot.
void RememberFontName(const CString& name);
