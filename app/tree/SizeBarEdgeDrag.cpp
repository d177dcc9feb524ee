// The tree bar under the mouse: dragging one of its edges (the bounds the edge
// may move within, the sizes of the bar and its row's neighbours as it moves,
// the tracker drawn over the dock site, the end of the drag on release, right
// button or the capture taken by another window), and the presses that hand
// the bar to its dock context.
#include "tree/SizeBar.h"

#include "bars/DockBar.h"
#include "wnd/RectTracker.h"

#include <algorithm>

namespace {
bool IsHorzSide(UINT id) { return id == AFX_IDW_DOCKBAR_TOP || id == AFX_IDW_DOCKBAR_BOTTOM; }
}  // namespace

void CSizeBarBase::OnNcLButtonDown(UINT hitTest, CPoint point) {
    if (hitTest >= HTLEFT && hitTest <= HTBOTTOMRIGHT && DockSide() && !m_bTracking) {
        BeginResize(hitTest, point);
        return;
    }
    Default();
}

void CSizeBarBase::BeginResize(UINT hitTest, CPoint screen) {
    const bool across = hitTest == HTTOP || hitTest == HTBOTTOM;
    const CRect edge = EdgeRect(hitTest);
    if (edge.IsRectEmpty()) return;
    ::SetCapture(m_hWnd);
    if (!m_bFullWindowDrag) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_ALLCHILDREN | RDW_UPDATENOW);
    m_bTracking = TRUE;
    m_nTrackEdge = hitTest;
    m_nTrackPos = across ? screen.y : screen.x;
    m_nTrackOffset = m_nTrackPos - (across ? edge.top : edge.left);
    const bool horz = IsHorzSide(DockSide());
    const bool betweenBars = horz ? !across : across;
    const bool farEdge = hitTest == HTRIGHT || hitTest == HTBOTTOM;
    const std::vector<CControlBar*> row = RowBars();
    if (!betweenBars) {
        // Facing the frame's client area: down to the row's largest minimum, up to what the client area still offers.
        LONG largestMinimum = MinThickness(horz);
        for (CControlBar* bar : row)
            if (auto* sized = dynamic_cast<CSizeBarBase*>(bar)) largestMinimum = std::max(largestMinimum, sized->MinThickness(horz));
        const int shrink = std::max<int>(0, ThicknessOf(horz) - largestMinimum);
        int growth = 0;
        if (m_pDockSite) {
            CRect free;
            m_pDockSite->RepositionBars(nullptr, &free, true);
            growth = std::max(0, (across ? free.Height() : free.Width()) - 2);
        }
        // The edge at the bar's far side moves out to grow; the near one moves in.
        const bool growsOutward = (hitTest == HTRIGHT || hitTest == HTBOTTOM);
        m_nTrackMin = m_nTrackPos - (growsOutward ? shrink : growth);
        m_nTrackMax = m_nTrackPos + (growsOutward ? growth : shrink);
    } else {
        m_nTrackMin = m_nTrackMax = m_nTrackPos;
        bool before = true;
        for (CControlBar* bar : row) {
            auto* sized = dynamic_cast<CSizeBarBase*>(bar);
            if (bar == this) before = farEdge;  // the bar itself stands before a far edge
            const int spare = sized ? std::max<int>(0, sized->LengthOf(horz) - sized->MinLength(horz)) : 0;
            if (bar == this) {
                if (farEdge) m_nTrackMin -= spare;
                else m_nTrackMax += spare;
                before = !farEdge;
                continue;
            }
            if (before) m_nTrackMin -= spare;
            else m_nTrackMax += spare;
        }
    }
    DrawResizeTracker();
}

void CSizeBarBase::TrackResize(CPoint screen) {
    const bool across = m_nTrackEdge == HTTOP || m_nTrackEdge == HTBOTTOM;
    const int position = std::clamp(across ? static_cast<int>(screen.y) : static_cast<int>(screen.x), m_nTrackMin, m_nTrackMax);
    if (position == m_nTrackPos) return;
    DrawResizeTracker();
    const int difference = position - m_nTrackPos;
    m_nTrackPos = position;
    const bool horz = IsHorzSide(DockSide());
    const bool betweenBars = horz ? !across : across;
    const bool farEdge = m_nTrackEdge == HTRIGHT || m_nTrackEdge == HTBOTTOM;
    const int grow = farEdge ? difference : -difference;
    if (!betweenBars) {
        ThicknessOf(horz) = std::max<LONG>(MinThickness(horz), ThicknessOf(horz) + grow);
        for (CControlBar* bar : RowBars())
            if (auto* sized = dynamic_cast<CSizeBarBase*>(bar)) sized->ThicknessOf(horz) = ThicknessOf(horz);
    } else {
        LengthOf(horz) = std::max<LONG>(MinLength(horz), LengthOf(horz) + grow);
        // The neighbours in the direction of the move give or take the difference, each down to its minimum.
        const std::vector<CControlBar*> row = RowBars();
        auto self = std::find(row.begin(), row.end(), this);
        int rest = grow;
        auto give = [&](CControlBar* bar) {
            auto* sized = dynamic_cast<CSizeBarBase*>(bar);
            if (!sized || rest == 0) return;
            const LONG before = sized->LengthOf(horz);
            sized->LengthOf(horz) = std::max<LONG>(sized->MinLength(horz), before - rest);
            rest -= before - sized->LengthOf(horz);
        };
        if (farEdge)
            for (auto it = self + 1; it != row.end(); ++it) give(*it);
        else
            for (auto it = std::make_reverse_iterator(self); it != row.rend(); ++it) give(*it);
    }
    DrawResizeTracker();
    // Showing window contents while dragging, the bars take the new size at once.
    if (m_bFullWindowDrag && m_pDockSite) m_pDockSite->RecalcLayout();
}

void CSizeBarBase::DrawResizeTracker() {
    if (!m_pDockSite || !m_bTracking || m_bFullWindowDrag) return;
    const bool across = m_nTrackEdge == HTTOP || m_nTrackEdge == HTBOTTOM;
    CRect bar;
    GetWindowRect(&bar);
    CRect site;
    m_pDockSite->GetWindowRect(&site);
    const int start = m_nTrackPos - m_nTrackOffset;
    CRect tracker = across ? CRect(bar.left, start, bar.right, start + kEdgeWidth) : CRect(start, bar.top, start + kEdgeWidth, bar.bottom);
    tracker.OffsetRect(-site.left, -site.top);
    HDC dc = ::GetDCEx(m_pDockSite->m_hWnd, nullptr, DCX_WINDOW | DCX_CACHE | DCX_CLIPSIBLINGS);
    HGDIOBJ old = ::SelectObject(dc, AfxGetHalftoneBrush());
    ::PatBlt(dc, tracker.left, tracker.top, tracker.Width(), tracker.Height(), PATINVERT);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_pDockSite->m_hWnd, dc);
}

void CSizeBarBase::EndResize() {
    if (!m_bTracking) return;
    DrawResizeTracker();
    m_bTracking = FALSE;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    if (m_pDockSite) m_pDockSite->RecalcLayout();
}

void CSizeBarBase::OnMouseMove(UINT, CPoint point) {
    if (!m_bTracking) {
        Default();
        return;
    }
    ClientToScreen(&point);
    TrackResize(point);
}

void CSizeBarBase::OnLButtonUp(UINT, CPoint) {
    if (m_bTracking) EndResize();
    else Default();
}

void CSizeBarBase::OnRButtonDown(UINT, CPoint) {
    if (m_bTracking) EndResize();
    else Default();
}

LRESULT CSizeBarBase::OnCaptureChanged(WPARAM, LPARAM lParam) {
    if (m_bTracking && reinterpret_cast<HWND>(lParam) != m_hWnd) EndResize();
    return Default();
}

void CSizeBarBase::OnLButtonDown(UINT flags, CPoint point) {
    if (DockSide()) {
        CControlBar::OnLButtonDown(flags, point);  // the dock context drags the bar
        return;
    }
    Default();
}

void CSizeBarBase::OnLButtonDblClk(UINT flags, CPoint point) {
    if (DockSide()) {
        CControlBar::OnLButtonDblClk(flags, point);  // docked <-> floating
        return;
    }
    Default();
}
