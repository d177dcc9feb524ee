// Whether one page file contains the search keywords (a slash pattern), read
// from disk and taken as the engine renders its body to plain text.
#pragma once
#include "core/String.h"

#include <vector>

// 1 when the keywords match the body text of the page, else 0. With
// regularExpression 1 the texts matched in the first 1000-character piece
// that has matches are appended to `matches` (each unless an entry already
// matches it); matchCase 0 ignores the case of letters.
int SearchDocumentText(const CString& pagePath, std::vector<CString>& matches, const CString& keywords, int regularExpression,
                       int matchCase);

// The body text of page text, as the search sees it.
CString PageBodyText(const CString& pageText);
