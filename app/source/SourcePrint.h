// Printing of the source view: the page's source text laid out page by page
// on a printer's device context in Arial at 10 points, half an inch in from
// every edge of the printable area; long lines wrap at blanks where they can.
#pragma once
#include "core/String.h"

#include <windows.h>

// Prints the text on the device context, each page between StartPage and
// EndPage (the caller starts and ends the document). Returns the number of
// pages, 0 when the printable area leaves no room for a line.
int PrintSourcePages(const CString& text, HDC printer);
