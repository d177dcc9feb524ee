// Whole-file conversions of pages used by import and export. Each writes its
// target in place only when the new file is complete.
#pragma once
#include "core/String.h"

// Writes an imported HTML file (read by its mark, else in the character set it
// declares, else UTF-8 or ANSI: ReadHtmlFileText) as a UTF-16 page
// whose body is wrapped in a DIV block. False after "Create " + destination +
// " failed." when the page cannot be written or the source read.
bool WrapBodyInDiv(const CString& source, const CString& destination);
// Writes the page's lines in the ANSI code page, each ended by a line feed,
// without byte-order mark. False when it cannot be read or written.
bool ConvertFileToAnsi(const CString& source, const CString& destination);
// Converts one page, or every page below a folder (hidden entries and
// folders beginning with "." passed over), to ANSI in place. 1.
int ConvertFolderPages(const CString& path, bool isFolder);
// Rewrites a page in place as UTF-8 without byte-order mark.
bool ConvertFileToUtf8(const CString& path);
