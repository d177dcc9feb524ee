#include "tree/SizeBar.h"

#include "app/WinApp.h"
#include "bars/DockBar.h"
#include "gdi/DC.h"

#include <algorithm>

namespace {

// A font of the given tenths of a point, scaled to the screen as the caption draws it.
HFONT CaptionFont(HDC dc, const wchar_t* face, int tenths, BYTE charset) {
    int height = -MulDiv(tenths, GetDeviceCaps(dc, LOGPIXELSY), 720);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, charset, 0, 0, 0, 0, face);
}

}  // namespace

const MessageMap* CSizeBarBase::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CSizeBarBase::OnPaint>(WM_PAINT),
        MapMessage<&CSizeBarBase::OnSize>(WM_SIZE),
        MapMessage<&CSizeBarBase::OnLButtonDown>(WM_LBUTTONDOWN),
        MapMessage<&CSizeBarBase::OnMouseMove>(WM_MOUSEMOVE),
        MapMessage<&CSizeBarBase::OnLButtonUp>(WM_LBUTTONUP),
        MapMessage<&CSizeBarBase::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
        MapMessage<&CSizeBarBase::OnCaptureChanged>(WM_CAPTURECHANGED),
        MapMessage<&CSizeBarBase::OnSetCursor>(WM_SETCURSOR),
        MapMessage<&CSizeBarBase::OnClose>(WM_CLOSE),
    };
    static const MessageMap map{CControlBar::GetMessageMap(), entries};
    return &map;
}

BOOL CSizeBarBase::Create(const wchar_t*, CWnd* parent, UINT id, DWORD style) {
    const wchar_t* windowClass =
        RegisterWndClass(CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW), GetSysColorBrush(COLOR_BTNFACE));
    return CreateEx(0, windowClass, L"Bookmark", style | WS_CHILD | WS_CLIPCHILDREN, CRect(0, 0, 0, 0), parent, id);
}

void CSizeBarBase::LoadState(const wchar_t*) {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    auto read = [&](const wchar_t* name, LONG& value, LONG minimum) {
        value = std::max<LONG>(minimum, static_cast<int>(app->GetProfileInt(L"Init", name, value)));
    };
    read(L"TreeHX", m_szHorz.cx, m_szMinHorz.cx);
    read(L"TreeHY", m_szHorz.cy, m_szMinHorz.cy);
    read(L"TreeVX", m_szVert.cx, m_szMinVert.cx);
    read(L"TreeVY", m_szVert.cy, m_szMinVert.cy);
    read(L"TreeFX", m_szFloat.cx, m_szMinFloat.cx);
    read(L"TreeFY", m_szFloat.cy, m_szMinFloat.cy);
}

void CSizeBarBase::SaveState(const wchar_t*) {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    app->WriteProfileInt(L"Init", L"TreeHX", m_szHorz.cx);
    app->WriteProfileInt(L"Init", L"TreeHY", m_szHorz.cy);
    app->WriteProfileInt(L"Init", L"TreeVX", m_szVert.cx);
    app->WriteProfileInt(L"Init", L"TreeVY", m_szVert.cy);
    app->WriteProfileInt(L"Init", L"TreeFX", m_szFloat.cx);
    app->WriteProfileInt(L"Init", L"TreeFY", m_szFloat.cy);
}

CSize CSizeBarBase::CalcFixedLayout(BOOL stretch, BOOL horz) {
    if (stretch) return horz ? CSize(32767, m_szHorz.cy) : CSize(m_szVert.cx, 32767);
    // The bar stands alone in its row and takes the row's whole length.
    CRect row;
    if (m_pDockBar) {
        row = m_pDockBar->m_rectLayout;
        if (row.IsRectEmpty()) m_pDockBar->GetClientRect(&row);
    }
    if (horz) {
        if (row.Width() > 0) m_szHorz.cx = row.Width() + 2;
        return CSize(std::max(m_szHorz.cx, m_szMinHorz.cx), std::max(m_szHorz.cy, m_szMinHorz.cy));
    }
    if (row.Height() > 0) m_szVert.cy = row.Height();
    return CSize(std::max(m_szVert.cx, m_szMinVert.cx), std::max(m_szVert.cy, m_szMinVert.cy));
}

CSize CSizeBarBase::CalcDynamicLayout(int length, DWORD mode) {
    if (mode & (LM_HORZDOCK | LM_VERTDOCK)) return CalcFixedLayout(FALSE, (mode & LM_HORZDOCK) != 0);
    if (!(mode & LM_MRUWIDTH) && !(mode & LM_COMMIT) && length >= 0) {
        if (mode & LM_LENGTHY) m_szFloat.cy = length;
        else m_szFloat.cx = length;
    }
    m_szFloat.cx = std::max(m_szFloat.cx, m_szMinFloat.cx);
    m_szFloat.cy = std::max(m_szFloat.cy, m_szMinFloat.cy);
    return m_szFloat;
}

UINT CSizeBarBase::DockSide() const {
    if (IsFloating() || !m_pDockBar || !m_pDockBar->GetSafeHwnd()) return 0;
    return static_cast<UINT>(m_pDockBar->GetDlgCtrlID());
}

CRect CSizeBarBase::EdgeRect() const {
    CRect client;
    GetClientRect(&client);
    switch (DockSide()) {
    case 0: return CRect();
    case AFX_IDW_DOCKBAR_RIGHT: return CRect(0, 0, kEdgeWidth, client.bottom);
    case AFX_IDW_DOCKBAR_TOP: return CRect(0, client.bottom - kEdgeWidth, client.right, client.bottom);
    case AFX_IDW_DOCKBAR_BOTTOM: return CRect(0, 0, client.right, kEdgeWidth);
    default: return CRect(client.right - kEdgeWidth, 0, client.right, client.bottom);
    }
}

CRect CSizeBarBase::ChildRect() const {
    CRect client;
    GetClientRect(&client);
    CRect edge = EdgeRect();
    if (!edge.IsRectEmpty()) {
        if (edge.left > 0) client.right = edge.left;
        else if (edge.top > 0) client.bottom = edge.top;
        else if (edge.Width() < client.Width()) client.left = edge.right;
        else client.top = edge.bottom;
    }
    return client;
}

void CSizeBarBase::OnSize(UINT, int, int) {
    if (m_dwSizeBarStyle & SZBARF_SIZECHILD)
        if (HWND child = ::GetWindow(m_hWnd, GW_CHILD)) {
            CRect inside = ChildRect();
            ::MoveWindow(child, inside.left, inside.top, std::max(0, inside.Width()), std::max(0, inside.Height()), TRUE);
        }
    Invalidate();
}

void CSizeBarBase::OnPaint() {
    CPaintDC dc(this);
    DrawCaptionArea(&dc);
    CRect edge = EdgeRect();
    if (!edge.IsRectEmpty()) DrawEdge(dc.m_hDC, &edge, EDGE_RAISED, BF_RECT);
}

LRESULT CSizeBarBase::OnSetCursor(WPARAM, LPARAM lParam) {
    CPoint point;
    GetCursorPos(&point);
    ScreenToClient(&point);
    if (LOWORD(lParam) == HTCLIENT && EdgeRect().PtInRect(point)) {
        bool across = EdgeRect().Width() > EdgeRect().Height();
        SetCursor(LoadCursorW(nullptr, across ? IDC_SIZENS : IDC_SIZEWE));
        return TRUE;
    }
    return Default();
}

void CSizeBarBase::OnLButtonDown(UINT flags, CPoint point) {
    if (OnCaptionButton(point, false)) return;
    CRect edge = EdgeRect();
    if (!edge.PtInRect(point)) {
        CControlBar::OnLButtonDown(flags, point);  // the dock context drags the bar
        return;
    }
    bool across = DockSide() == AFX_IDW_DOCKBAR_TOP || DockSide() == AFX_IDW_DOCKBAR_BOTTOM;
    ClientToScreen(&point);
    m_tracking = true;
    m_trackStart = across ? point.y : point.x;
    m_trackStartWidth = across ? m_szHorz.cy : m_szVert.cx;
    SetCapture(m_hWnd);
}

void CSizeBarBase::OnMouseMove(UINT, CPoint point) {
    if (!m_tracking) return;
    UINT side = DockSide();
    bool across = side == AFX_IDW_DOCKBAR_TOP || side == AFX_IDW_DOCKBAR_BOTTOM;
    ClientToScreen(&point);
    int delta = (across ? point.y : point.x) - m_trackStart;
    // A bar at the right or bottom grows when its edge moves left or up.
    if (side == AFX_IDW_DOCKBAR_RIGHT || side == AFX_IDW_DOCKBAR_BOTTOM) delta = -delta;
    // Never below the minimum, never more than the frame's client area leaves room for.
    LONG smallest = across ? m_szMinHorz.cy : m_szMinVert.cx;
    LONG widest = smallest;
    if (m_pDockSite) {
        CRect client;
        m_pDockSite->GetClientRect(&client);
        widest = std::max<LONG>(widest, (across ? client.Height() : client.Width()) - 2);
    }
    LONG& size = across ? m_szHorz.cy : m_szVert.cx;
    LONG wanted = std::clamp<LONG>(m_trackStartWidth + delta, smallest, widest);
    if (wanted == size) return;
    size = wanted;
    if (m_pDockSite) m_pDockSite->RecalcLayout();
}

void CSizeBarBase::OnLButtonUp(UINT, CPoint point) {
    if (OnCaptionButton(point, true)) return;
    if (!m_tracking) return;
    m_tracking = false;
    ReleaseCapture();
    if (m_pDockSite) m_pDockSite->RecalcLayout();
}

void CSizeBarBase::OnLButtonDblClk(UINT flags, CPoint point) {
    if (EdgeRect().PtInRect(point)) return;
    CControlBar::OnLButtonDblClk(flags, point);  // docked <-> floating
}

void CSizeBarBase::OnCaptureChanged() { m_tracking = false; }

CRect CSizeBar::ChildRect() const {
    CRect inside = CSizeBarBase::ChildRect();
    if (HasCaption()) inside.top += kCaptionHeight + 2;
    inside.DeflateRect(2, 0, 2, 2);
    if (inside.bottom < inside.top) inside.bottom = inside.top;
    return inside;
}

CRect CSizeBar::CloseButtonRect() const {
    if (!HasCaption()) return CRect();
    CRect inside = ChildRect();
    int top = 2 + (kCaptionHeight - kCaptionSize) / 2;
    return CRect(inside.right - kCaptionSize, top, inside.right, top + kCaptionSize);
}

void CSizeBar::DrawCaptionArea(CDC* dc) {
    if (!HasCaption()) return;
    CRect inside = ChildRect();
    CRect caption(inside.left, 2, inside.right, 2 + kCaptionHeight);
    dc->FillSolidRect(&caption, GetSysColor(COLOR_BTNSHADOW));
    HFONT text = CaptionFont(dc->m_hDC, L"MS Sans Serif", 105, DEFAULT_CHARSET);
    HGDIOBJ old = dc->SelectObject(text);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
    dc->DrawText(L" Bookmark Explorer:", &caption, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    HFONT glyph = CaptionFont(dc->m_hDC, L"Marlett", 80, SYMBOL_CHARSET);
    dc->SelectObject(glyph);
    CRect button = CloseButtonRect();
    if (m_closePushed) DrawEdge(dc->m_hDC, &button, BDR_SUNKENOUTER, BF_RECT);
    COLORREF oldColor = dc->SetTextColor(GetSysColor(COLOR_BTNTEXT));
    dc->TextOut(button.left + 2, button.top + 2, L"r");
    dc->SetTextColor(oldColor);
    dc->SelectObject(old);
    DeleteObject(text);
    DeleteObject(glyph);
}

bool CSizeBar::OnCaptionButton(CPoint point, bool released) {
    bool over = CloseButtonRect().PtInRect(point);
    if (!released) {
        if (!over) return false;
        m_closePushed = true;
        SetCapture(m_hWnd);
        Invalidate();
        return true;
    }
    if (!m_closePushed) return false;
    m_closePushed = false;
    ReleaseCapture();
    Invalidate();
    if (over && m_pDockSite) m_pDockSite->ShowControlBar(this, FALSE, FALSE);
    return true;
}
