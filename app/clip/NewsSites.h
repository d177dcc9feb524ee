// The news-site table: well-known news publishers keyed by the second-level
// label of their web host, and the source name a clip from them carries.
#pragma once
#include "core/String.h"

// The publisher's name for a site word (compared exactly, case-sensitive), or
// an empty string when the site is not in the table.
CString NewsSourceName(const CString& siteWord);
