// The engine's browser, as a page view hosts it: a real window hierarchy of
// the classes "Shell Embedding" > "Shell DocObject View" >
// "Internet Explorer_Server" below the host's window, and the browser object
// (IWebBrowser2, with DWebBrowserEvents2 through its connection point).
// The innermost window paints the document double-buffered, scrolls, and in
// browse mode hands link clicks to the host (BeforeNavigate2) and, when the
// host lets them through, to the shell: the page window never navigates away.
#pragma once
#include <windows.h>
#include <exdisp.h>

#include "com/EngineCommands.h"

// `host` may answer IDocHostUIHandler (asked before any context menu); it is
// held weakly. The windows live until the host's window goes or Quit.
HRESULT CreateBrowserWindow(HWND parent, const RECT& rect, IUnknown* host, IWebBrowser2** out);

