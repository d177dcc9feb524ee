// CPrintInfo: one print or print-preview run of a view. The view's
// OnPreparePrinting sets the page range (and asks for the printer through
// DoPreparePrinting); the print loop sets the current page and the drawing
// rectangle (the printable area in device units) before each OnPrint.
#pragma once
#include "wnd/Geometry.h"

#include <windows.h>
#include <commdlg.h>

class CPrintInfo {
public:
    CPrintInfo() {
        m_pd.lStructSize = sizeof(m_pd);
        m_pd.nMinPage = m_pd.nFromPage = 1;
        m_pd.nMaxPage = m_pd.nToPage = 0xFFFF;
    }
    ~CPrintInfo() {
        if (m_pd.hDevMode) GlobalFree(m_pd.hDevMode);
        if (m_pd.hDevNames) GlobalFree(m_pd.hDevNames);
    }
    CPrintInfo(const CPrintInfo&) = delete;
    CPrintInfo& operator=(const CPrintInfo&) = delete;

    void SetMinPage(UINT page) { m_pd.nMinPage = static_cast<WORD>(page); }
    void SetMaxPage(UINT page) { m_pd.nMaxPage = static_cast<WORD>(page); }
    UINT GetMinPage() const { return m_pd.nMinPage; }
    UINT GetMaxPage() const { return m_pd.nMaxPage; }
    UINT GetFromPage() const { return (m_pd.Flags & PD_PAGENUMS) ? m_pd.nFromPage : GetMinPage(); }
    UINT GetToPage() const { return (m_pd.Flags & PD_PAGENUMS) ? m_pd.nToPage : GetMaxPage(); }

    PRINTDLGW m_pd{};             // the print dialog's record; hDC is the printer once prepared
    PRINTDLGW* m_pPD = &m_pd;
    BOOL m_bDirect = FALSE;       // printed at once on the default printer, without the dialog
    BOOL m_bPreview = FALSE;      // laid out for the preview window
    BOOL m_bContinuePrinting = TRUE;
    UINT m_nCurPage = 1;
    UINT m_nNumPreviewPages = 1;  // one or two pages side by side in the preview
    CRect m_rectDraw;             // the page's printable area, device units
};
