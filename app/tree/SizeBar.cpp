#include "tree/SizeBar.h"

#include "app/WinApp.h"
#include "gdi/DC.h"
#include "gdi/GdiObject.h"
#include "wnd/FrameWnd.h"

#include <algorithm>

namespace {

// A font of the given tenths of a point, scaled as the caption draws it.
HFONT CaptionFont(HDC dc, const wchar_t* face, int tenths) {
    int height = -MulDiv(tenths, GetDeviceCaps(dc, LOGPIXELSY), 720);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, face == CString(L"Marlett") ? SYMBOL_CHARSET : DEFAULT_CHARSET,
                       0, 0, 0, 0, face);
}

}  // namespace

const MessageMap* CSizeBar::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CSizeBar::OnPaint>(WM_PAINT),
        MapMessage<&CSizeBar::OnSize>(WM_SIZE),
        MapMessage<&CSizeBar::OnLButtonDown>(WM_LBUTTONDOWN),
        MapMessage<&CSizeBar::OnMouseMove>(WM_MOUSEMOVE),
        MapMessage<&CSizeBar::OnLButtonUp>(WM_LBUTTONUP),
        MapMessage<&CSizeBar::OnCaptureChanged>(WM_CAPTURECHANGED),
        MapMessage<&CSizeBar::OnSetCursor>(WM_SETCURSOR),
        MapMessage<&CSizeBar::OnClose>(WM_CLOSE),
    };
    static const MessageMap map{CWnd::GetMessageMap(), entries};
    return &map;
}

BOOL CSizeBar::Create(const wchar_t*, CWnd* parent, UINT id, DWORD style) {
    const wchar_t* windowClass =
        RegisterWndClass(CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW), GetSysColorBrush(COLOR_BTNFACE));
    return CreateEx(0, windowClass, L"Bookmark", (style & ~0x40FFFFu) | WS_CHILD | WS_CLIPCHILDREN, CRect(0, 0, 0, 0),
                    parent, id);
}

void CSizeBar::LoadState(const wchar_t*) {
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

void CSizeBar::SaveState(const wchar_t*) {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    app->WriteProfileInt(L"Init", L"TreeHX", m_szHorz.cx);
    app->WriteProfileInt(L"Init", L"TreeHY", m_szHorz.cy);
    app->WriteProfileInt(L"Init", L"TreeVX", m_szVert.cx);
    app->WriteProfileInt(L"Init", L"TreeVY", m_szVert.cy);
    app->WriteProfileInt(L"Init", L"TreeFX", m_szFloat.cx);
    app->WriteProfileInt(L"Init", L"TreeFY", m_szFloat.cy);
}

CRect CSizeBar::EdgeRect() const {
    CRect client;
    GetClientRect(&client);
    if (m_nDockBarID == kDockBarRight) return CRect(0, 0, kEdgeWidth, client.bottom);
    return CRect(client.right - kEdgeWidth, 0, client.right, client.bottom);
}

CRect CSizeBar::ChildRect() const {
    CRect client;
    GetClientRect(&client);
    CRect inside(client.left + 2, client.top + kCaptionHeight + 2, client.right - 2, client.bottom - 2);
    if (m_nDockBarID == kDockBarRight) inside.left += kEdgeWidth;
    else inside.right -= kEdgeWidth;
    if (inside.right < inside.left) inside.right = inside.left;
    if (inside.bottom < inside.top) inside.bottom = inside.top;
    return inside;
}

CRect CSizeBar::CloseButtonRect() const {
    CRect inside = ChildRect();
    int top = 2 + (kCaptionHeight - kCaptionSize) / 2;
    return CRect(inside.right - kCaptionSize, top, inside.right, top + kCaptionSize);
}

void CSizeBar::OnSize(UINT, int, int) {
    if (HWND child = ::GetWindow(m_hWnd, GW_CHILD)) {
        CRect inside = ChildRect();
        ::MoveWindow(child, inside.left, inside.top, inside.Width(), inside.Height(), TRUE);
    }
    Invalidate();
}

void CSizeBar::OnPaint() {
    CPaintDC dc(this);
    CRect inside = ChildRect();
    CRect caption(inside.left, 2, inside.right, 2 + kCaptionHeight);
    dc.FillSolidRect(&caption, GetSysColor(COLOR_BTNSHADOW));
    HFONT text = CaptionFont(dc.m_hDC, L"MS Sans Serif", 105);
    HGDIOBJ old = dc.SelectObject(text);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
    CRect textRect = caption;
    dc.DrawText(L" Bookmark Explorer:", &textRect, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    HFONT glyph = CaptionFont(dc.m_hDC, L"Marlett", 80);
    dc.SelectObject(glyph);
    CRect button = CloseButtonRect();
    if (m_closePushed) DrawEdge(dc.m_hDC, &button, BDR_SUNKENOUTER, BF_RECT);
    dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
    dc.TextOut(button.left + 2, button.top + 2, L"r");
    dc.SelectObject(old);
    DeleteObject(text);
    DeleteObject(glyph);
    CRect edge = EdgeRect();
    DrawEdge(dc.m_hDC, &edge, EDGE_RAISED, BF_RECT);
}

LRESULT CSizeBar::OnSetCursor(WPARAM, LPARAM lParam) {
    CPoint point;
    GetCursorPos(&point);
    ScreenToClient(&point);
    if (LOWORD(lParam) == HTCLIENT && EdgeRect().PtInRect(point)) {
        SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
        return TRUE;
    }
    return Default();
}

void CSizeBar::OnLButtonDown(UINT, CPoint point) {
    if (CloseButtonRect().PtInRect(point)) {
        m_closePushed = true;
        SetCapture(m_hWnd);
        Invalidate();
        return;
    }
    if (!EdgeRect().PtInRect(point)) return;
    m_tracking = true;
    ClientToScreen(&point);
    m_trackStartX = point.x;
    m_trackStartWidth = m_szVert.cx;
    SetCapture(m_hWnd);
}

void CSizeBar::OnMouseMove(UINT, CPoint point) {
    if (!m_tracking) return;
    ClientToScreen(&point);
    int delta = point.x - m_trackStartX;
    if (m_nDockBarID == kDockBarRight) delta = -delta;
    // Never narrower than the minimum, never wider than the frame leaves room for.
    LONG widest = m_szMinVert.cx;
    if (CWnd* frame = GetParent()) {
        CRect client;
        frame->GetClientRect(&client);
        widest = std::max<LONG>(m_szMinVert.cx, client.Width() - 2);
    }
    LONG width = std::clamp<LONG>(m_trackStartWidth + delta, m_szMinVert.cx, widest);
    if (width == m_szVert.cx) return;
    m_szVert.cx = width;
    if (auto* frame = dynamic_cast<CFrameWnd*>(GetParent())) frame->RecalcLayout();
}

void CSizeBar::OnLButtonUp(UINT, CPoint point) {
    bool close = m_closePushed && CloseButtonRect().PtInRect(point);
    m_tracking = false;
    m_closePushed = false;
    if (GetCapture() == m_hWnd) ReleaseCapture();
    Invalidate();
    if (close) {
        ShowWindow(SW_HIDE);
        if (auto* frame = dynamic_cast<CFrameWnd*>(GetParent())) frame->RecalcLayout();
    }
}

void CSizeBar::OnCaptureChanged() {
    m_tracking = false;
    if (m_closePushed) {
        m_closePushed = false;
        Invalidate();
    }
}
