// The page template: the text a new page starts with, in the plain variant
// (AddNewPage) and the variant whose body is a DIV block (AddNewFile).
#pragma once
#include "core/String.h"

#include <windows.h>

// The product's home page, linked from every page's footer.
inline constexpr wchar_t kProductSiteAddress[] = L"http://www.tarvelo.com";
// Three spacers before the body-end marker.
inline constexpr wchar_t kPageSpacers[] = L"<BR 2><BR 2><BR 2>";
// The line that closes a page's content.
inline constexpr wchar_t kBodyEndMarkerLine[] = L"<HR id=bodyend width=\"50%\" color=black size=1>\n";
// The head line under the page title.
inline constexpr wchar_t kHeadLine[] = L"<hr color=blue size=1>\n";

// The footer line, with its line end.
CString GetPageFooterLine();
// The lines that close a page whatever its footer settings: the spacers, the
// body-end marker line, the footer line and the closing tags, with an end
// tag before "</body>" for each DIV block the content left open.
CString GetPageEnding(int openDivs = 0);
// The template text of AddNewPage (without the byte-order mark), following
// the HeadTitle, HeadLine, FootLine and Foot settings (0, the default, is on).
CString BuildPageTemplate(const CString& name);
// The template text of AddNewFile, same settings.
CString BuildDivPageTemplate(const CString& name);

// Creates or overwrites <Allpages>\<name>.htm with the page template: 1, or 0
// after "Error! File not Created in Function AddNewPage.".
int AddNewPage(const CString& name);
// Creates or overwrites <folder>\<name>.htm with the DIV variant, the folder
// taken from the tree's selection: 1, or 0 after "Error! File not Created
// while Add New File.".
int AddNewFile(HWND tree, const CString& name);
// The folder that AddNewFile writes into for the tree's selection.
CString GetNewFileFolder(HWND tree);
