// The size dock bar's painting and its splitters between bars, with the
// tracker that draws a splitter while it is dragged.
#include "docking/SizeDockBar.h"

#include "bars/CoolToolBar.h"
#include "docking/SizeDockFrames.h"
#include "docking/SizeToolBar.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"

#include <algorithm>

namespace {
bool Shown(const CControlBar* bar) { return IsBarPointer(bar) && bar->m_hWnd && ::IsWindow(bar->m_hWnd) && bar->IsVisible(); }
}  // namespace

// Painting and splitters ------------------------------------------------------------------

void COXSizeDockBar::OnPaint() {
    CPaintDC dc(this);
    COXDockbarSkin* skin = GetDockbarSkin();
    for (size_t i = m_arrSplitters.size(); i-- > 0;) {
        COXSplitterDraw draw;
        draw.rect = m_arrSplitters[i]->m_rect;
        draw.orientation = m_arrSplitters[i]->m_type;
        skin->DrawDockBar(&dc, draw, this);
    }
}

LRESULT COXSizeDockBar::OnEraseBkgnd(WPARAM wParam, LPARAM) {
    CDC dc;
    dc.Attach(reinterpret_cast<HDC>(wParam));
    GetDockbarSkin()->EraseDockBarBackground(&dc, this);
    dc.Detach();
    return TRUE;
}

LRESULT COXSizeDockBar::OnNcPaint(WPARAM, LPARAM) {
    Default();
    GetDockbarSkin()->DrawBarFrame(this);
    return 0;
}

COXSplitterRect* COXSizeDockBar::SplitterAt(CPoint point) const {
    for (size_t i = m_arrSplitters.size(); i-- > 0;)
        if (m_arrSplitters[i]->m_rect.PtInRect(point)) return m_arrSplitters[i].get();
    return nullptr;
}

void COXSizeDockBar::OnMouseMove(UINT, CPoint point) {
    if (COXSplitterRect* splitter = SplitterAt(point)) {
        const bool acrossRow = splitter->m_type == COXSplitterRect::BetweenBars;
        // Between bars of a horizontal row the splitter moves left and right.
        const bool we = acrossRow == IsHorz();
        HCURSOR& cursor = we ? m_hcurAcross : m_hcurAlong;
        if (!cursor) {
            cursor = ::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(we ? 30980 : 30981));
            if (!cursor) cursor = ::LoadCursorW(nullptr, we ? IDC_SIZEWE : IDC_SIZENS);
        }
        ::SetCursor(cursor);
    } else {
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    }
    Default();
}

LRESULT COXSizeDockBar::OnSetCursor(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(wParam) == m_hWnd && LOWORD(lParam) == HTCLIENT) return TRUE;
    return Default();
}

void COXSizeDockBar::OnLButtonDown(UINT, CPoint point) {
    if (COXSplitterRect* splitter = SplitterAt(point); splitter && !m_bDraggingSplitter) {
        DragSplitter(splitter, point);
        return;
    }
    Default();
}

void COXSizeDockBar::DragSplitter(COXSplitterRect* splitter, CPoint point) {
    const bool h = IsHorz();
    COXRectTracker tracker;
    tracker.m_rect = splitter->m_rect;
    if (splitter->m_type == COXSplitterRect::BetweenBars) {
        if (h) tracker.m_rect.DeflateRect(2, 0);
        else tracker.m_rect.DeflateRect(0, 2);
    } else {
        if (h) tracker.m_rect.DeflateRect(0, 2);
        else tracker.m_rect.DeflateRect(2, 0);
    }
    tracker.m_rect.IntersectRect(CRect(tracker.m_rect), CRect(0, 0, m_sizeAvail.cx, m_sizeAvail.cy + 10000));
    tracker.m_nStyle = (splitter->m_type == COXSplitterRect::BetweenBars) == h ? COXRectTracker::keepTopBottom
                                                                                 : COXRectTracker::keepLeftRight;
    CRect limit;
    if (CWnd* frame = GetParent()) {
        frame->GetClientRect(&limit);
        frame->ClientToScreen(&limit);
        ScreenToClient(&limit);
    }
    const CRect start = tracker.m_rect;
    int index = splitter->m_nPos;
    const int type = splitter->m_type;
    if (type == COXSplitterRect::BetweenBars) {
        int countAfter = 0, countBefore = 0;
        int roomAfter = ShrinkBarsAfter(index, 16000, FALSE, &countAfter);
        int roomBefore = ShrinkBarsBefore(index - 1, 16000, FALSE, &countBefore);
        if (countAfter + countBefore < 2) roomAfter = roomBefore = 0;
        if (h) {
            limit.left = std::max<LONG>(limit.left, start.left - roomBefore);
            limit.right = std::min<LONG>(limit.right, start.left + roomAfter + start.Width());
        } else {
            limit.top = std::max<LONG>(limit.top, start.top - roomBefore);
            limit.bottom = std::min<LONG>(limit.bottom, start.top + roomAfter + start.Height());
        }
    } else {
        const bool farSide = (m_dwStyle & (CBRS_ALIGN_BOTTOM | CBRS_ALIGN_RIGHT)) != 0;
        if (!farSide) index = RowStartOf(std::max(1, index - 1));
        const OXROWMEASURE m = MeasureRow(index, m_arrBars);
        const int minimum = std::max(m.fixedThickness, h ? m.minTrackHeight : m.minTrackWidth);
        if (!farSide) {
            // Toward its row the splitter goes no further than the row's fixed thickness or minimum.
            if (h) limit.top = std::max<LONG>(limit.top, start.top - (m.thickness - minimum));
            else limit.left = std::max<LONG>(limit.left, start.left - (m.thickness - minimum));
        } else {
            // The tracker keeps a moved rectangle's top 10 pixels above the limit's bottom.
            if (h) limit.bottom = std::min<LONG>(limit.bottom, start.top + (m.thickness - minimum) + 10);
            else limit.right = std::min<LONG>(limit.right, start.left + (m.thickness - minimum) + start.Width());
        }
    }
    tracker.m_rectLimit = limit;
    m_bDraggingSplitter = TRUE;
    const BOOL moved = tracker.TrackSplitter(HTCAPTION, this, point, GetParent());
    m_bDraggingSplitter = FALSE;
    if (!moved) return;
    const int d = h == (type == COXSplitterRect::BetweenBars) ? tracker.m_rect.left - start.left : tracker.m_rect.top - start.top;
    if (d == 0) return;
    if (type == COXSplitterRect::BetweenBars) {
        if (d >= 0) {
            const int given = ShrinkBarsAfter(index, d, TRUE, nullptr);
            ShrinkBarsBefore(index - 1, -given, TRUE, nullptr);
        } else {
            const int given = ShrinkBarsBefore(index - 1, -d, TRUE, nullptr);
            ShrinkBarsAfter(index, -given, TRUE, nullptr);
        }
    } else {
        const bool farSide = (m_dwStyle & (CBRS_ALIGN_BOTTOM | CBRS_ALIGN_RIGHT)) != 0;
        const OXROWMEASURE m = MeasureRow(index, m_arrBars);
        const int across = farSide ? d : -d;
        const int thickness = std::max(m.fixedThickness, m.thickness - across);
        for (int i = index; i < RowEndOf(index); ++i) {
            auto* bar = dynamic_cast<COXSizeControlBar*>(m_arrBars[static_cast<size_t>(i)]);
            if (!IsSizeBar(bar) || !Shown(bar)) continue;
            if (h) bar->m_HorzDockSize.cy = thickness;
            else bar->m_VertDockSize.cx = thickness;
        }
    }
    // A row resized by hand has no maximised bar any more.
    for (int i = RowStartOf(std::max(1, index)); i < RowEndOf(std::max(1, index)); ++i)
        if (auto* bar = dynamic_cast<COXSizeControlBar*>(m_arrBars[static_cast<size_t>(i)]); IsSizeBar(bar)) bar->m_bMaximized = FALSE;
    m_nLayoutKey = LayoutKey();
    auto* frame = dynamic_cast<CFrameWnd*>(GetParent());
    if (!frame) {
        Invalidate(TRUE);
        return;
    }
    RecalcLayoutAfterResize(frame);
}

void COXSizeDockBar::RecalcLayoutAfterResize(CFrameWnd* frame) {
    const std::vector<CRect> before = SplitterRects();
    frame->RecalcLayout();
    const std::vector<CRect> after = SplitterRects();
    std::vector<CRect> moved;
    for (const CRect& r : before)
        if (std::find(after.begin(), after.end(), r) == after.end()) moved.push_back(r);
    for (const CRect& r : after)
        if (std::find(before.begin(), before.end(), r) == before.end()) moved.push_back(r);
    InvalidateRects(moved);
}

void COXSizeDockBar::InvalidateSplitters() { InvalidateRects(SplitterRects()); }

std::vector<CRect> COXSizeDockBar::SplitterRects() const {
    std::vector<CRect> rects;
    for (const auto& splitter : m_arrSplitters) rects.push_back(splitter->m_rect);
    return rects;
}

// Each invalidation is a request to the window server: the rectangles go as one region.
void COXSizeDockBar::InvalidateRects(const std::vector<CRect>& rects) {
    if (rects.empty()) return;
    CGdiObject region, part;
    if (!region.Attach(::CreateRectRgn(0, 0, 0, 0)) || !part.Attach(::CreateRectRgn(0, 0, 0, 0))) {
        for (const CRect& r : rects) InvalidateRect(r, TRUE);
        return;
    }
    for (const CRect& r : rects) {
        ::SetRectRgn(static_cast<HRGN>(part.m_hObject), r.left, r.top, r.right, r.bottom);
        ::CombineRgn(static_cast<HRGN>(region.m_hObject), static_cast<HRGN>(region.m_hObject), static_cast<HRGN>(part.m_hObject), RGN_OR);
    }
    ::InvalidateRgn(m_hWnd, static_cast<HRGN>(region.m_hObject), TRUE);
}

BOOL COXSizeDockBar::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    return CDockBar::OnChildNotify(message, wParam, lParam, result);
}

// The splitter tracker ----------------------------------------------------------------------

BOOL COXRectTracker::TrackSplitter(int hitCode, CWnd* wnd, CPoint point, CWnd* clipTo) {
    m_rectStart = m_rect;
    int handle = hitMiddle;
    switch (hitCode) {
    case HTLEFT: handle = hitLeft; break;
    case HTRIGHT: handle = hitRight; break;
    case HTTOP: handle = hitTop; break;
    case HTTOPLEFT: handle = hitTopLeft; break;
    case HTTOPRIGHT: handle = hitTopRight; break;
    case HTBOTTOM: handle = hitBottom; break;
    case HTBOTTOMLEFT: handle = hitBottomLeft; break;
    case HTBOTTOMRIGHT: handle = hitBottomRight; break;
    default: break;
    }
    return TrackHandle(handle, wnd, point, clipTo);
}

void COXRectTracker::DrawTrackerRect(LPCRECT rect, CWnd* clipTo, CDC* dc, CWnd* wnd) {
    CRect r(*rect);
    if (clipTo && wnd && clipTo != wnd) {
        wnd->ClientToScreen(&r);
        clipTo->ScreenToClient(&r);
    }
    // An outline two pixels thick: a splitter's band is no more than twice that, so it shows whole.
    AfxInvertDragFrame(*dc, r, (m_nStyle & solidLine) ? CSize(1, 1) : CSize(2, 2));
}

void COXRectTracker::AdjustRect(int handle, LPRECT rect) {
    CRect& r = *reinterpret_cast<CRect*>(rect);
    if (!m_rectLimit.IsRectEmpty()) {
        if (handle == hitMiddle) {
            const CSize size = r.Size();
            r.left = std::clamp<LONG>(r.left, m_rectLimit.left, std::max<LONG>(m_rectLimit.left, m_rectLimit.right - size.cx));
            r.top = std::clamp<LONG>(r.top, m_rectLimit.top, std::max<LONG>(m_rectLimit.top, m_rectLimit.bottom - 10));
            r.right = r.left + size.cx;
            r.bottom = r.top + size.cy;
        } else {
            r.IntersectRect(CRect(r), m_rectLimit);
        }
    }
    CRectTracker::AdjustRect(handle, rect);
    if (m_nStyle & keepTopBottom) {
        r.top = m_rectStart.top;
        r.bottom = m_rectStart.bottom;
    }
    if (m_nStyle & keepLeftRight) {
        r.left = m_rectStart.left;
        r.right = m_rectStart.right;
    }
}
