#include "wnd/RectTracker.h"

#include <algorithm>

HBRUSH AfxGetHalftoneBrush() {
    static HBRUSH brush = [] {
        WORD pattern[8];
        for (int i = 0; i < 8; ++i) pattern[i] = static_cast<WORD>(0x5555 << (i & 1));
        HBITMAP bitmap = ::CreateBitmap(8, 8, 1, 1, pattern);
        HBRUSH made = bitmap ? ::CreatePatternBrush(bitmap) : nullptr;
        if (bitmap) ::DeleteObject(bitmap);
        return made;
    }();
    return brush;
}

void AfxInvertDragFrame(HDC dc, const RECT& r, SIZE size) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    HGDIOBJ old = ::SelectObject(dc, AfxGetHalftoneBrush());
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int cx = std::min<int>(size.cx, w), cy = std::min<int>(size.cy, h);
    ::PatBlt(dc, r.left, r.top, w, cy, PATINVERT);
    if (h > cy) ::PatBlt(dc, r.left, r.bottom - cy, w, cy, PATINVERT);
    if (h > 2 * cy) {
        ::PatBlt(dc, r.left, r.top + cy, cx, h - 2 * cy, PATINVERT);
        if (w > cx) ::PatBlt(dc, r.right - cx, r.top + cy, cx, h - 2 * cy, PATINVERT);
    }
    ::SelectObject(dc, old);
}

int CRectTracker::HitTest(CPoint point) const {
    CRect r = m_rect;
    r.NormalizeRect();
    const int s = m_nHandleSize;
    CRect outer = r;
    outer.InflateRect(s, s);
    if (!outer.PtInRect(point)) return hitNothing;
    const bool left = point.x < r.left + s, right = point.x >= r.right - s;
    const bool top = point.y < r.top + s, bottom = point.y >= r.bottom - s;
    if (top && left) return hitTopLeft;
    if (top && right) return hitTopRight;
    if (bottom && right) return hitBottomRight;
    if (bottom && left) return hitBottomLeft;
    if (top) return hitTop;
    if (right) return hitRight;
    if (bottom) return hitBottom;
    if (left) return hitLeft;
    return hitMiddle;
}

void CRectTracker::DrawTrackerRect(LPCRECT rect, CWnd* clipTo, CDC* dc, CWnd* wnd) {
    CRect r(*rect);
    r.NormalizeRect();
    if (clipTo && wnd && clipTo != wnd) {
        wnd->ClientToScreen(&r);
        clipTo->ScreenToClient(&r);
    }
    AfxInvertDragFrame(*dc, r, (m_nStyle & solidLine) ? CSize(1, 1) : CSize(2, 2));
}

void CRectTracker::AdjustRect(int handle, LPRECT rect) {
    if (handle == hitMiddle) return;
    CRect& r = *reinterpret_cast<CRect*>(rect);
    // A sized rectangle keeps its minimum, growing away from the handle that moved.
    const bool movesLeft = handle == hitTopLeft || handle == hitBottomLeft || handle == hitLeft;
    const bool movesTop = handle == hitTopLeft || handle == hitTopRight || handle == hitTop;
    if (r.Width() < m_sizeMin.cx && !m_bAllowInvert) {
        if (movesLeft) r.left = r.right - m_sizeMin.cx;
        else r.right = r.left + m_sizeMin.cx;
    }
    if (r.Height() < m_sizeMin.cy && !m_bAllowInvert) {
        if (movesTop) r.top = r.bottom - m_sizeMin.cy;
        else r.bottom = r.top + m_sizeMin.cy;
    }
}

CRect CRectTracker::MovedRect(const CRect& start, int handle, int dx, int dy) {
    CRect r = start;
    switch (handle) {
    case hitMiddle: r.OffsetRect(dx, dy); break;
    case hitTopLeft: r.left += dx; r.top += dy; break;
    case hitTopRight: r.right += dx; r.top += dy; break;
    case hitBottomRight: r.right += dx; r.bottom += dy; break;
    case hitBottomLeft: r.left += dx; r.bottom += dy; break;
    case hitTop: r.top += dy; break;
    case hitRight: r.right += dx; break;
    case hitBottom: r.bottom += dy; break;
    case hitLeft: r.left += dx; break;
    default: break;
    }
    return r;
}

BOOL CRectTracker::Track(CWnd* wnd, CPoint point, BOOL allowInvert, CWnd* clipTo) {
    m_bAllowInvert = allowInvert;
    return TrackHandle(hitMiddle, wnd, point, clipTo);
}

BOOL CRectTracker::TrackHandle(int handle, CWnd* wnd, CPoint point, CWnd* clipTo) {
    if (!wnd || !wnd->m_hWnd || handle < hitTopLeft || handle > hitMiddle) return FALSE;
    const CRect start = m_rect;
    CWnd* drawIn = clipTo ? clipTo : wnd;
    CDC dc;
    dc.Attach(::GetDCEx(drawIn->m_hWnd, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS));
    m_rectLast.SetRectEmpty();
    auto draw = [&](const CRect& r) {
        if (!r.IsRectNull()) DrawTrackerRect(r, clipTo, &dc, wnd);
    };
    draw(m_rect);
    m_rectLast = m_rect;
    ::SetCapture(wnd->m_hWnd);
    BOOL changed = FALSE, cancelled = FALSE, done = FALSE;
    MSG msg;
    while (!done && ::GetCapture() == wnd->m_hWnd) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
            cancelled = TRUE;
            break;
        }
        switch (msg.message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP: {
            CPoint at(msg.lParam);
            if (msg.hwnd != wnd->m_hWnd) ::MapWindowPoints(msg.hwnd, wnd->m_hWnd, &at, 1);
            CRect r = MovedRect(start, handle, at.x - point.x, at.y - point.y);
            AdjustRect(handle, &r);
            if (r != m_rectLast) {
                draw(m_rectLast);
                m_rect = r;
                draw(m_rect);
                m_rectLast = m_rect;
            }
            if (msg.message == WM_LBUTTONUP) done = TRUE;
            break;
        }
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE) cancelled = done = TRUE;
            break;
        case WM_RBUTTONDOWN:
            cancelled = done = TRUE;
            break;
        default:
            ::DispatchMessageW(&msg);
            break;
        }
    }
    if (!done) cancelled = TRUE;  // the capture went elsewhere
    draw(m_rectLast);
    m_rectLast.SetRectEmpty();
    if (::GetCapture() == wnd->m_hWnd) ::ReleaseCapture();
    ::ReleaseDC(drawIn->m_hWnd, dc.Detach());
    if (cancelled) {
        m_rect = start;
        return FALSE;
    }
    changed = m_rect != start;
    if (changed) OnChangedRect(start);
    return changed;
}
