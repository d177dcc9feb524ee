#include "docking/DragDockContext.h"

#include "docking/MDIChildWndSizeDock.h"
#include "docking/SizeDockBar.h"
#include "app/WinApp.h"
#include "wnd/RectTracker.h"

#include <algorithm>

namespace {
COXSizeControlBar* SizeBar(CControlBar* bar) { return dynamic_cast<COXSizeControlBar*>(bar); }

void TellMainWindow(UINT stringId) {
    if (CWnd* main = AfxGetMainWnd(); main && main->m_hWnd) main->SendMessage(WM_SETMESSAGESTRING, stringId);
}
}  // namespace

void COXDragDockContext::StartDrag(CPoint point) {
    COXSizeControlBar* bar = SizeBar(m_pBar);
    if (!bar || !bar->m_hWnd || bar->IsInMDIFloatWnd()) return;
    m_pDockSite = bar->GetDockingFrame();
    if (!m_pDockSite) return;
    m_dwDockStyle = bar->m_dwDockStyle;
    m_dwStyle = bar->m_dwStyle;
    m_bForceFrame = ::GetKeyState(VK_CONTROL) < 0;  // Ctrl held from the start floats too
    m_ptStart = m_ptLast = point;
    if ((m_dwDockStyle & CBRS_ALIGN_ANY) == CBRS_ALIGN_ANY) TellMainWindow(ID_OX_DRAGPROMPT);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) ::DispatchMessageW(&msg);

    // The frame's free client area, less the width of visible side dock bars.
    CRect free;
    m_pDockSite->RepositionBars(nullptr, &free, true);
    for (UINT id : {AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT}) {
        CControlBar* side = m_pDockSite->GetControlBar(id);
        if (side && side->IsWindowVisible()) {
            CRect r;
            side->GetWindowRect(&r);
            if (id == AFX_IDW_DOCKBAR_LEFT) free.left -= r.Width();
            else free.right += r.Width();
        }
    }
    m_pDockSite->ClientToScreen(&free);
    const int horzLength = bar->m_HorzDockSize.cx < free.Width() - 16 ? bar->m_HorzDockSize.cx : free.Width() / 3;
    const int vertLength = bar->m_VertDockSize.cy < free.Height() - 16 ? bar->m_VertDockSize.cy : free.Height() / 3;
    CRect window;
    bar->GetWindowRect(&window);
    m_rectDragHorz = CRect(window.left, window.top, window.left + std::max(horzLength, 16), window.top + std::max<int>(bar->m_HorzDockSize.cy, 16));
    m_rectDragVert = CRect(window.left, window.top, window.left + std::max<int>(bar->m_VertDockSize.cx, 16), window.top + std::max(vertLength, 16));
    CRect frameRect(0, 0, bar->m_FloatSize.cx, bar->m_FloatSize.cy);
    ::AdjustWindowRectEx(&frameRect, WS_POPUP | WS_CAPTION | WS_THICKFRAME, FALSE, WS_EX_TOOLWINDOW);
    m_rectFrameDragHorz = CRect(window.TopLeft(), frameRect.Size());
    // Every rectangle holds the start point across its width.
    for (CRect* r : {&m_rectDragHorz, &m_rectDragVert, &m_rectFrameDragHorz}) {
        if (point.x < r->left || point.x >= r->right) r->OffsetRect(point.x - r->left - std::min<int>(r->Width() / 2, 10), 0);
        if (point.y < r->top || point.y >= r->bottom) r->OffsetRect(0, point.y - r->top - std::min<int>(r->Height() / 2, 10));
    }
    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDock();
    m_rectLast.SetRectEmpty();
    m_rectShown.SetRectEmpty();
    m_pDC = ::GetDCEx(::GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    m_bDragging = TRUE;
    DrawFocusRect();
    Track();
}

DWORD COXDragDockContext::CanDock() {
    m_pTargetDockBar = nullptr;
    m_rectDragHorzAlone = m_rectDragHorz;
    m_rectDragVertAlone = m_rectDragVert;
    const DWORD side = CDockContext::CanDock();
    if (!side) return 0;
    auto* target = dynamic_cast<COXSizeDockBar*>(GetDockBar(side));
    m_pTargetDockBar = target;
    if (target) {
        CRect& rect = (side & CBRS_ORIENT_HORZ) ? m_rectDragHorzAlone : m_rectDragVertAlone;
        const int others = target->CountOtherBarsInRow(m_pBar, rect);
        if (others > 0) {
            // The bar shares the row: it is shown with its part of the row's length.
            if (side & CBRS_ORIENT_HORZ) rect.right = rect.left + rect.Width() / (others + 1);
            else rect.bottom = rect.top + rect.Height() / (others + 1);
        }
    }
    return side;
}

CRect COXDragDockContext::Current() const {
    if (m_dwOverDockStyle & CBRS_ORIENT_HORZ) return m_rectDragHorzAlone;
    if (m_dwOverDockStyle & CBRS_ORIENT_VERT) return m_rectDragVertAlone;
    return m_rectFrameDragHorz;
}

void COXDragDockContext::DrawFocusRect(BOOL removeRect) {
    if (!m_pDC) return;
    const CSize frameThickness(std::max(1, ::GetSystemMetrics(SM_CXFRAME) - 1), std::max(1, ::GetSystemMetrics(SM_CYFRAME) - 1));
    if (!m_rectShown.IsRectEmpty()) {
        CRect old = m_rectShown;
        if (!m_bShownFloating) old.DeflateRect(1, 1);
        AfxInvertDragFrame(m_pDC, old, m_bShownFloating ? frameThickness : CSize(1, 1));
    }
    if (removeRect) {
        m_rectShown.SetRectEmpty();
        return;
    }
    m_rectShown = Current();
    m_bShownFloating = m_dwOverDockStyle == 0;
    CRect now = m_rectShown;
    if (!m_bShownFloating) now.DeflateRect(1, 1);
    AfxInvertDragFrame(m_pDC, now, m_bShownFloating ? frameThickness : CSize(1, 1));
}

void COXDragDockContext::Move(CPoint point) {
    const int dx = point.x - m_ptLast.x, dy = point.y - m_ptLast.y;
    m_rectDragHorz.OffsetRect(dx, dy);
    m_rectDragVert.OffsetRect(dx, dy);
    m_rectFrameDragHorz.OffsetRect(dx, dy);
    m_ptLast = point;
    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDock();
    DrawFocusRect();
}

void COXDragDockContext::OnKey(int key, BOOL down) {
    if (key != VK_CONTROL || m_bForceFrame == down) return;
    m_bForceFrame = down;
    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDock();
    DrawFocusRect();
}

void COXDragDockContext::CancelLoop() {
    DrawFocusRect(TRUE);
    m_bDragging = FALSE;
    if (m_pBar && ::GetCapture() == m_pBar->m_hWnd) ::ReleaseCapture();
    if (m_pDC) {
        ::ReleaseDC(::GetDesktopWindow(), m_pDC);
        m_pDC = nullptr;
    }
    TellMainWindow(AFX_IDS_IDLEMESSAGE);
}

void COXDragDockContext::EndDrag() {
    CancelLoop();
    if (m_ptLast == m_ptStart || !m_pDockSite) return;  // released where it began
    COXSizeControlBar* bar = SizeBar(m_pBar);
    if (!bar) return;
    if (m_dwOverDockStyle) {
        const CRect rect = Current();
        if (m_dwOverDockStyle & CBRS_ORIENT_HORZ) bar->m_HorzDockSize = rect.Size();
        else bar->m_VertDockSize = rect.Size();
        CDockBar* target = GetDockBar(m_dwOverDockStyle);
        const CDockBar* before = bar->m_pDockBar;
        const int indexBefore = before ? before->FindBar(bar) : -1;
        m_rectMRUDockPos = rect;
        m_pDockSite->DockControlBar(bar, target, &rect);
        if (auto* sizeDock = dynamic_cast<COXSizeDockBar*>(target); sizeDock && (before != target || sizeDock->FindBar(bar) != indexBefore))
            sizeDock->MakeRoomInRow(bar);
        m_pDockSite->RecalcLayout();
    } else {
        m_rectFloat = m_rectFrameDragHorz;
        m_ptLastFloat = m_rectFrameDragHorz.TopLeft();
        m_ptMRUFloatPos = m_ptLastFloat;
        m_pDockSite->FloatControlBar(bar, m_ptLastFloat, CBRS_ALIGN_TOP | (bar->m_dwDockStyle & CBRS_FLOAT_MULTI));
        bar->SendMessage(WM_SIZEBAR_FLOATSYNC);
    }
}

void COXDragDockContext::ToggleDocking() {
    COXSizeControlBar* bar = SizeBar(m_pBar);
    if (bar && bar->IsInMDIFloatWnd()) return;
    const BOOL wasFloating = m_pBar && m_pBar->IsFloating();
    CDockContext::ToggleDocking();
    if (bar && !wasFloating) bar->SendMessage(WM_SIZEBAR_FLOATSYNC);
}
