// Where a browser navigation finds its page: "about:blank", a page file's
// path or a file: address. Reads the bytes (at most kMaxPageBytes) and
// decodes them as the engine reads any page (UTF-16 with a mark, UTF-8 with
// or without one, else the system code page).
#pragma once
#include "core/String.h"

#include <windows.h>

namespace browser {

constexpr unsigned long long kMaxPageBytes = 256ull * 1024 * 1024;

// The path a file: address names ("file:///C:/a%20b.htm" -> "C:\a b.htm"); other text unchanged.
CString PathOfAddress(const CString& address);
// The page's text; an error when the file cannot be read or is too large.
HRESULT ReadPage(const CString& address, CString& text);
// The folder that relative picture addresses start from (empty for about:blank).
CString PageFolder(const CString& address);

// The local file an address of the page names (relative to the page's
// folder, a file: address or an absolute path); empty for any other address.
CString LocalFilePath(const CString& pageFolder, const CString& address);

}  // namespace browser
