// Printing a document: laid out again for the page's width on the printer's
// own fonts, cut into pages between lines and table rows, each page painted
// through GDI. The pages go to a printer chosen in the print dialog, or to
// any other sink of device contexts (enhanced metafiles, for one).
#pragma once
#include "dom/Document.h"

#include <windows.h>

namespace browser {

class PageSink {
public:
    virtual ~PageSink() = default;
    // The device context of the next page (null stops the printing).
    virtual HDC BeginPage() = 0;
    virtual void EndPage(HDC dc) = 0;
};

// Prints pages of `pageWidth` x `pageHeight` pixels at 96 per inch onto
// devices of `dpi` dots per inch; answers the number of pages.
int PrintPages(const dom::Document& document, HDC reference, int dpi, int pageWidth, int pageHeight, PageSink& sink);

// The print dialog (or the default printer without it), then the pages.
HRESULT PrintWithDialog(HWND owner, const dom::Document& document, bool prompt);

}  // namespace browser
