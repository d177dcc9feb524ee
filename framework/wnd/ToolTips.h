// The framework's tooltip: one tooltip control per thread that shows the
// tool a window's OnToolHitTest finds under the mouse (CWnd::FilterToolTipMessage).
#pragma once
#include "wnd/Wnd.h"

#include <commctrl.h>

// A tool as OnToolHitTest describes it: the tooltip control's record, whose text (unless it is
// LPSTR_TEXTCALLBACKW) points into the record's own copy.
struct CToolInfo : TOOLINFOW {
    CToolInfo() : TOOLINFOW{} { cbSize = sizeof(TOOLINFOW); }
    CToolInfo(const CToolInfo&) = delete;
    CToolInfo& operator=(const CToolInfo&) = delete;

    void SetText(const CString& text) {
        m_text = text;
        lpszText = const_cast<wchar_t*>(static_cast<const wchar_t*>(m_text));
    }
    // The text given, empty for none or a callback.
    CString GetText() const {
        return (!lpszText || lpszText == LPSTR_TEXTCALLBACKW) ? CString() : CString(lpszText);
    }

private:
    CString m_text;
};

// The thread's tooltip control, null before any window has shown a tip through it (tests look at it).
HWND GetFrameworkToolTip();
