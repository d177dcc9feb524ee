#include "bars/DockContext.h"

#include "bars/DockBar.h"
#include "bars/MiniDockFrameWnd.h"
#include "wnd/RectTracker.h"

#include <algorithm>

namespace {
// How close to an empty side the drag must come to dock there.
constexpr int kDockZone = 12;

CRect DockZone(CDockBar* dockBar, DWORD side) {
    CRect zone;
    dockBar->GetWindowRect(&zone);
    if ((side & CBRS_ORIENT_HORZ) && zone.Height() < kDockZone) {
        if (side & CBRS_ALIGN_TOP) zone.bottom = zone.top + kDockZone;
        else zone.top = zone.bottom - kDockZone;
    } else if ((side & CBRS_ORIENT_VERT) && zone.Width() < kDockZone) {
        if (side & CBRS_ALIGN_LEFT) zone.right = zone.left + kDockZone;
        else zone.left = zone.right - kDockZone;
    }
    return zone;
}

bool Intersects(const CRect& a, const CRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Inverts the outline of a rectangle (thickness t) in the screen DC.
void InvertFrame(HDC dc, const CRect& r, int t) {
    if (r.IsRectEmpty()) return;
    PatBlt(dc, r.left, r.top, r.Width(), t, DSTINVERT);
    PatBlt(dc, r.left, r.bottom - t, r.Width(), t, DSTINVERT);
    PatBlt(dc, r.left, r.top + t, t, r.Height() - 2 * t, DSTINVERT);
    PatBlt(dc, r.right - t, r.top + t, t, r.Height() - 2 * t, DSTINVERT);
}
}  // namespace

CDockContext::CDockContext(CControlBar* bar) : m_pBar(bar), m_pDockSite(bar->GetDockingFrame()) {}

CDockContext::~CDockContext() {
    if (m_pDC) ReleaseDC(GetDesktopWindow(), m_pDC);
}

CDockBar* CDockContext::GetDockBar(DWORD side) {
    if (!m_pDockSite) return nullptr;
    UINT id = 0;
    if (side & CBRS_ALIGN_TOP) id = AFX_IDW_DOCKBAR_TOP;
    else if (side & CBRS_ALIGN_BOTTOM) id = AFX_IDW_DOCKBAR_BOTTOM;
    else if (side & CBRS_ALIGN_LEFT) id = AFX_IDW_DOCKBAR_LEFT;
    else if (side & CBRS_ALIGN_RIGHT) id = AFX_IDW_DOCKBAR_RIGHT;
    return dynamic_cast<CDockBar*>(m_pDockSite->GetControlBar(id));
}

DWORD CDockContext::CanDock() {
    static constexpr DWORD kSides[] = {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT};
    for (DWORD side : kSides) {
        if (!(m_dwDockStyle & side)) continue;
        CDockBar* dockBar = GetDockBar(side);
        if (!dockBar || !dockBar->m_hWnd) continue;
        const CRect& drag = (side & CBRS_ORIENT_HORZ) ? m_rectDragHorz : m_rectDragVert;
        if (Intersects(drag, DockZone(dockBar, side))) return side;
    }
    return 0;
}

CRect CDockContext::CurrentRect() const {
    if (m_dwOverDockStyle & CBRS_ORIENT_HORZ) return m_rectDragHorz;
    if (m_dwOverDockStyle & CBRS_ORIENT_VERT) return m_rectDragVert;
    return m_rectFrameDragHorz;
}

void CDockContext::DrawFocusRect(BOOL removeRect) {
    if (!m_pDC) return;
    const int thickness = m_dwOverDockStyle ? 1 : std::max(2, GetSystemMetrics(SM_CXFRAME) - 1);
    if (!m_rectLast.IsRectEmpty()) InvertFrame(m_pDC, m_rectLast, m_rectLast.Width() > 0 ? m_lastThickness : 1);
    if (removeRect) {
        m_rectLast.SetRectEmpty();
        return;
    }
    m_rectLast = CurrentRect();
    m_lastThickness = thickness;
    InvertFrame(m_pDC, m_rectLast, thickness);
}

void CDockContext::StartDrag(CPoint point) {
    if (!m_pBar || !m_pBar->m_hWnd) return;
    m_pDockSite = m_pBar->GetDockingFrame();
    m_dwDockStyle = m_pBar->m_dwDockStyle;
    m_dwStyle = m_pBar->m_dwStyle;
    m_bForceFrame = FALSE;
    m_ptStart = m_ptLast = point;
    CRect window;
    m_pBar->GetWindowRect(&window);
    // The three shapes the bar may take, each placed so that the point stays inside it.
    const CSize horz = m_pBar->CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK);
    const CSize vert = m_pBar->CalcDynamicLayout(-1, LM_VERTDOCK);
    const CSize floating = m_pBar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH);
    // Measuring a docked shape lays the bar's buttons out in it: the bar gets its own shape back.
    if (!m_pBar->IsFloating())
        m_pBar->CalcDynamicLayout(-1, (m_dwStyle & CBRS_ORIENT_HORZ) ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK);
    auto placeAround = [&](CSize size) {
        CRect r(window.TopLeft(), size);
        if (point.x >= r.right) r.OffsetRect(point.x - r.right + size.cx / 2, 0);
        if (point.y >= r.bottom) r.OffsetRect(0, point.y - r.bottom + size.cy / 2);
        return r;
    };
    m_rectDragHorz = placeAround(horz);
    m_rectDragVert = placeAround(vert);
    m_rectFrameDragHorz = placeAround(CSize(floating.cx + 2 * GetSystemMetrics(SM_CXFRAME),
                                            floating.cy + GetSystemMetrics(SM_CYSMCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME)));
    m_dwOverDockStyle = m_pBar->IsFloating() ? 0 : (m_dwStyle & CBRS_ALIGN_ANY);
    m_rectLast.SetRectEmpty();
    m_pDC = GetDCEx(GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    m_bDragging = TRUE;
    DrawFocusRect();
    Track();
}

void CDockContext::Move(CPoint point) {
    const int dx = point.x - m_ptLast.x, dy = point.y - m_ptLast.y;
    m_rectDragHorz.OffsetRect(dx, dy);
    m_rectDragVert.OffsetRect(dx, dy);
    m_rectFrameDragHorz.OffsetRect(dx, dy);
    m_ptLast = point;
    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDock();
    DrawFocusRect();
}

void CDockContext::OnKey(int key, BOOL down) {
    if (key != VK_CONTROL || m_bForceFrame == down) return;
    m_bForceFrame = down;
    m_dwOverDockStyle = m_bForceFrame ? 0 : CanDock();
    DrawFocusRect();
}

void CDockContext::CancelLoop() {
    DrawFocusRect(TRUE);
    m_bDragging = FALSE;
    if (GetCapture() == m_pBar->m_hWnd) ReleaseCapture();
    if (m_pDC) {
        ReleaseDC(GetDesktopWindow(), m_pDC);
        m_pDC = nullptr;
    }
}

void CDockContext::EndDrag() {
    CancelLoop();
    if (m_ptLast == m_ptStart) return;  // released where it began: nothing moves
    if (!m_pDockSite) return;
    if (m_dwOverDockStyle) {
        CDockBar* dockBar = GetDockBar(m_dwOverDockStyle);
        const CRect rect = CurrentRect();
        m_rectMRUDockPos = rect;
        m_pDockSite->DockControlBar(m_pBar, dockBar, &rect);
        m_pDockSite->RecalcLayout();
    } else {
        m_ptMRUFloatPos = m_rectFrameDragHorz.TopLeft();
        m_pDockSite->FloatControlBar(m_pBar, m_ptMRUFloatPos, CBRS_ALIGN_TOP | (m_dwDockStyle & CBRS_FLOAT_MULTI));
    }
}

BOOL CDockContext::Track() {
    HWND bar = m_pBar->m_hWnd;
    SetCapture(bar);
    MSG msg;
    while (GetCapture() == bar) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        switch (msg.message) {
        case WM_MOUSEMOVE: {
            CPoint point(msg.lParam);
            ::ClientToScreen(msg.hwnd, &point);
            Move(point);
            break;
        }
        case WM_LBUTTONUP: {
            CPoint point(msg.lParam);
            ::ClientToScreen(msg.hwnd, &point);
            if (!(point == m_ptLast)) Move(point);
            EndDrag();
            return TRUE;
        }
        case WM_KEYDOWN:
            OnKey(static_cast<int>(msg.wParam), TRUE);
            if (msg.wParam == VK_ESCAPE) {
                CancelLoop();
                return FALSE;
            }
            break;
        case WM_KEYUP:
            OnKey(static_cast<int>(msg.wParam), FALSE);
            break;
        case WM_RBUTTONDOWN:
            CancelLoop();
            return FALSE;
        default:
            DispatchMessageW(&msg);
            break;
        }
    }
    CancelLoop();
    return FALSE;
}

void CDockContext::ToggleDocking() {
    m_pDockSite = m_pBar->GetDockingFrame();
    if (!m_pDockSite) return;
    if (m_pBar->IsFloating()) {
        // Back where it was docked last, else on the first side it may take.
        CDockBar* dockBar = m_uMRUDockID ? dynamic_cast<CDockBar*>(m_pDockSite->GetControlBar(m_uMRUDockID)) : nullptr;
        if (dockBar && !(m_pBar->m_dwDockStyle & (dockBar->m_dwStyle & CBRS_ALIGN_ANY))) dockBar = nullptr;
        m_pDockSite->DockControlBar(m_pBar, dockBar ? dockBar->GetDlgCtrlID() : 0u,
                                    dockBar && !m_rectMRUDockPos.IsRectEmpty() ? &m_rectMRUDockPos : nullptr);
        m_pDockSite->RecalcLayout();
    } else {
        CPoint point = m_ptMRUFloatPos;
        if (point == CPoint(0, 0)) {
            CRect window;
            m_pBar->GetWindowRect(&window);
            point = window.TopLeft();
        }
        m_pDockSite->FloatControlBar(m_pBar, point, m_dwMRUFloatStyle | (m_pBar->m_dwDockStyle & CBRS_FLOAT_MULTI));
    }
}

void CDockContext::StartResize(int hitTest, CPoint point) {
    if (!m_pBar || !m_pBar->m_hWnd || !m_pBar->IsFloating() || !m_pBar->m_pDockBar) return;
    CWnd* frame = m_pBar->m_pDockBar->GetParent();
    if (!frame || hitTest < HTLEFT || hitTest > HTBOTTOMRIGHT) return;
    m_nHitTest = hitTest;
    m_bResizing = TRUE;
    CRect start;
    frame->GetWindowRect(&start);
    CRect rect = start;
    const bool left = hitTest == HTLEFT || hitTest == HTTOPLEFT || hitTest == HTBOTTOMLEFT;
    const bool right = hitTest == HTRIGHT || hitTest == HTTOPRIGHT || hitTest == HTBOTTOMRIGHT;
    const bool top = hitTest == HTTOP || hitTest == HTTOPLEFT || hitTest == HTTOPRIGHT;
    const bool bottom = hitTest == HTBOTTOM || hitTest == HTBOTTOMLEFT || hitTest == HTBOTTOMRIGHT;
    // The frame is sized within the work area it stands on.
    const CRect work = WorkAreaOf(start);
    m_pDC = GetDCEx(GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    const CSize thickness(std::max(2, GetSystemMetrics(SM_CXFRAME) - 1), std::max(2, GetSystemMetrics(SM_CYFRAME) - 1));
    AfxInvertDragFrame(m_pDC, rect, thickness);
    HWND bar = m_pBar->m_hWnd;
    SetCapture(bar);
    BOOL done = FALSE;
    MSG msg;
    while (!done && GetCapture() == bar) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
            CPoint at(msg.lParam);
            ::ClientToScreen(msg.hwnd, &at);
            CRect next = start;
            if (left) next.left = std::clamp<LONG>(start.left + at.x - point.x, std::min(work.left, start.left), start.right - 16);
            if (right) next.right = std::clamp<LONG>(start.right + at.x - point.x, start.left + 16, std::max(work.right, start.right));
            if (top) next.top = std::clamp<LONG>(start.top + at.y - point.y, std::min(work.top, start.top), start.bottom - 16);
            if (bottom) next.bottom = std::clamp<LONG>(start.bottom + at.y - point.y, start.top + 16, std::max(work.bottom, start.bottom));
            if (!(next == rect)) {
                AfxInvertDragFrame(m_pDC, rect, thickness);
                rect = next;
                AfxInvertDragFrame(m_pDC, rect, thickness);
            }
            if (msg.message == WM_LBUTTONUP) done = TRUE;
        } else if (msg.message == WM_RBUTTONDOWN || (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)) {
            rect = start;
            break;
        } else {
            DispatchMessageW(&msg);
        }
    }
    AfxInvertDragFrame(m_pDC, rect, thickness);
    if (GetCapture() == bar) ReleaseCapture();
    ReleaseDC(GetDesktopWindow(), m_pDC);
    m_pDC = nullptr;
    if (!done || rect == start) {
        m_bResizing = FALSE;
        return;
    }
    // The bar takes the new length (a bar sized from a corner may read both from the drag
    // rectangle, and move it); the frame fits itself around the bar.
    m_rectFrameDragHorz = rect;
    CRect client = rect;
    CRect border(0, 0, 0, 0);
    AdjustWindowRectEx(&border, frame->GetStyle(), FALSE, frame->GetExStyle());
    client.DeflateRect(-border.left, -border.top, border.right, border.bottom);
    const BOOL lengthY = (top || bottom) && !(left || right);
    m_pBar->CalcDynamicLayout(lengthY ? client.Height() : client.Width(), LM_HORZ | LM_COMMIT | (lengthY ? LM_LENGTHY : 0));
    m_bResizing = FALSE;
    if (auto* mini = dynamic_cast<CMiniDockFrameWnd*>(frame)) mini->RecalcLayout();
    // The sides the user did not drag stay where they were, also where the bar kept a minimum.
    CRect sized;
    frame->GetWindowRect(&sized);
    const CRect& placed = m_rectFrameDragHorz;
    frame->SetWindowPos(nullptr, left ? placed.right - sized.Width() : placed.left, top ? placed.bottom - sized.Height() : placed.top, 0, 0,
                        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
