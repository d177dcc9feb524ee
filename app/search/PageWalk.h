// The walk of a search over page files: which files of a folder are searched,
// and the first page of a list, from a position, whose text matches.
#pragma once
#include "core/String.h"

#include <cstddef>
#include <vector>

// Appends every ".htm"/".html" file below the folder (any letter case) that
// `skip` does not hold, in the order the folder listing gives.
void AppendSearchablePages(const CString& folder, const std::vector<CString>& skip, std::vector<CString>& pages);
// The index of the first page from `start` on whose text matches the
// keywords (a slash pattern), with its matches; pages.size() when none does.
size_t FindMatchingPage(const std::vector<CString>& pages, size_t start, const CString& keywords, int regularExpression,
                        int matchCase, std::vector<CString>& matches);
