// The AllPages index: one value per page in the section AllPages of the
// settings key, named by the page path (relative to the Allpages folder, without
// ".htm"), listing the page's sections in file order as "tag,col" entries
// joined by ";" (in a tag "," is written "###" and ";" "|||"; col is the
// column count of the table the tag stands in, 1 outside tables). Pages that
// are not indexed have the empty string.
#pragma once
#include "core/String.h"

#include <vector>

inline constexpr wchar_t kAllPagesSection[] = L"AllPages";

// The value name of a full page path below the Allpages folder.
CString GetAllPagesValueName(const CString& allpagesFolder, const CString& path);
// A tag as it stands in an index value ("," -> "###", ";" -> "|||").
CString EscapeIndexTag(const CString& tag);
// The index value of a page's text, read as RegUpdateFile reads it.
CString BuildAllPagesValue(const CString& text);

// Rewrites the page's value from the file: 1 when the page is indexed and its
// value was written; 0 otherwise (its value is then the empty string). A
// missing page shows "File not exist in RegUpdateFile" and the path. A file
// outside the Allpages folder is no page of the index: 0, nothing written.
int RegUpdateFile(const CString& path);
// Rewrites the page's value keeping its tag entries and adding the entries
// of its named tables (name="...") that are not listed yet.
void IndexPageTables(const CString& path);
// Sets the marker "<html id=tq1>" / "<html id=tq0>", rewrites the page, then
// RegUpdateFile. 0 when the page is missing or cannot be read or rewritten
// ("Error! Cleanfile cannot open file." and the page's path; the page is then
// unchanged). A read-only page fails at once.
int IndexPage(const CString& path);
int UnindexPage(const CString& path);
// RegUpdateFile / IndexPage / UnindexPage for every page below the folder
// (hidden entries and folders whose name begins with "." are passed over).
// IndexFolder and UnindexFolder go on past a page that cannot be rewritten
// and name all such pages in one message at the end.
void IndexAllPages(const CString& folder);
void IndexFolder(const CString& folder);
void UnindexFolder(const CString& folder);
// Refreshes the value of every page below the Allpages folder; the entry
// point of the start-up index thread. 1, or 0 when there is no usable
// install path. Values of pages that no longer exist stay.
int RebuildAllPagesIndex();
// Removes the value of a page, or of every page below a folder, when the
// page or folder is renamed, moved or deleted.
void RemoveAllPagesValues(const CString& path, bool folder);
// RemoveAllPagesValues of the old path of a moved page or folder, then
// IndexAllPages of the folder, with the same result: the old values are
// found and removed while the pages are read, before any value is written.
void ReindexAfterMove(const CString& allpagesFolder, const CString& movedFrom, bool folder);
// Appends "tag,1" (escaped) to the page's value, preceded by ";" when the
// value is not empty.
bool ExtendAllPagesValue(const CString& page, const CString& section);
