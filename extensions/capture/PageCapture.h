// "Add to Tarvelo" for the browser's current page, shared by the context-menu
// item and the toolbar button: the form capture text goes first as form
// blocks, then the link clip with the page's address and title.
#pragma once
#include "ProgramStarter.h"
#include "com/ComPtr.h"

#include <exdisp.h>
#include <mshtml.h>

// True for an address whose first four characters are "FILE" in any case:
// pages opened from files are never form-captured.
bool IsFileAddress(const CString& url);

// Captures `browser`'s page and starts the main program. `document` may be
// null (no form capture then).
void CapturePage(IWebBrowser2* browser, IHTMLDocument2* document, const CString& installPath, ProgramStarter& starter);

// The browser's current document as IHTMLDocument2, or null.
ComPtr<IHTMLDocument2> BrowserDocument(IWebBrowser2* browser);
