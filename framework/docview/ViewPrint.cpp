// The view's print path: preparation (the print dialog or the default
// printer), the document's pages each on a page of the printer, and the
// preview's start (PreviewView.cpp).
#include "docview/View.h"

#include "app/AfxMessageBox.h"
#include "docview/Document.h"
#include "docview/PreviewView.h"
#include "docview/PrintInfo.h"
#include "gdi/DC.h"

#include <algorithm>

BOOL CView::DoPreparePrinting(CPrintInfo* info) {
    PRINTDLGW& pd = info->m_pd;
    pd.hwndOwner = ::GetAncestor(m_hWnd, GA_ROOT);
    if (info->m_bPreview || info->m_bDirect) {
        pd.Flags |= PD_RETURNDEFAULT | PD_RETURNDC;
        if (PrintDlgW(&pd) && pd.hDC) return TRUE;
        if (info->m_bPreview) return TRUE;  // laid out on the locale's paper
        AfxMessageBox(L"There is no printer to print on.", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    pd.Flags |= PD_RETURNDC | PD_NOSELECTION;
    if (pd.nMaxPage == 0xFFFF) pd.Flags |= PD_NOPAGENUMS;  // the pages are counted only once laid out
    if (pd.nMaxPage < pd.nMinPage) pd.nMaxPage = pd.nMinPage;
    pd.nFromPage = pd.nMinPage;
    pd.nToPage = pd.nMaxPage;
    return PrintDlgW(&pd) && pd.hDC;
}

void CView::OnFilePrint() { PrintDocument(FALSE); }
void CView::OnFilePrintDirect() { PrintDocument(TRUE); }

void CView::PrintDocument(BOOL direct) {
    CPrintInfo info;
    info.m_bDirect = direct;
    if (!OnPreparePrinting(&info) || !info.m_pd.hDC) return;
    CDC dc;
    dc.Attach(info.m_pd.hDC);
    info.m_pd.hDC = nullptr;
    CString title = m_pDocument ? m_pDocument->GetTitle() : CString();
    DOCINFOW document{};
    document.cbSize = sizeof(document);
    document.lpszDocName = title;
    if (StartDocW(dc, &document) <= 0) {
        AfxMessageBox(L"The printer did not take the document.", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    info.m_rectDraw = CRect(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES));
    OnBeginPrinting(&dc, &info);
    const BOOL printed = PrintPages(&dc, &info);
    OnEndPrinting(&dc, &info);
    if (printed) {
        EndDoc(dc);
    } else {
        AbortDoc(dc);
        AfxMessageBox(L"The printer did not take the document.", MB_OK | MB_ICONEXCLAMATION);
    }
}

BOOL CView::PrintPages(CDC* dc, CPrintInfo* info) {
    const UINT last = std::min(info->GetToPage(), info->GetMaxPage());
    for (UINT page = info->GetFromPage(); page <= last && info->m_bContinuePrinting; ++page) {
        info->m_nCurPage = page;
        info->m_rectDraw = CRect(0, 0, dc->GetDeviceCaps(HORZRES), dc->GetDeviceCaps(VERTRES));
        OnPrepareDC(dc, info);
        if (!info->m_bContinuePrinting) break;
        if (::StartPage(*dc) <= 0) return FALSE;
        OnPrint(dc, info);
        if (::EndPage(*dc) <= 0) return FALSE;
    }
    return TRUE;
}

void CView::OnFilePrintPreview() { CPreviewView::Start(this); }
