#include "tree/SizeBar.h"

#include "app/WinApp.h"
#include "bars/DockBar.h"
#include "bars/DockContext.h"
#include "bars/MiniDockFrameWnd.h"
#include "gdi/DC.h"

#include <algorithm>

namespace {

// A font of the given tenths of a point scaled by 96 over the screen's pixels per inch:
// the caption keeps its size in pixels whatever the screen's setting.
HFONT CaptionFont(HDC dc, const wchar_t* face, int tenths, BYTE charset) {
    const int dpi = std::max(1, GetDeviceCaps(dc, LOGPIXELSY));
    const int scaled = MulDiv(tenths, 96, dpi);
    const int height = -MulDiv(scaled, dpi, 720);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, charset, 0, 0, 0, 0, face);
}

BOOL ReadFullWindowDrag() {
    BOOL full = FALSE;
    SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
    return full;
}

bool IsHorzSide(UINT id) { return id == AFX_IDW_DOCKBAR_TOP || id == AFX_IDW_DOCKBAR_BOTTOM; }
bool IsDockSide(UINT id) { return id >= AFX_IDW_DOCKBAR_TOP && id <= AFX_IDW_DOCKBAR_BOTTOM; }

void Draw3dRect(HDC dc, const CRect& r, COLORREF topLeft, COLORREF bottomRight) {
    auto fill = [dc](int l, int t, int rr, int b, COLORREF color) {
        SetBkColor(dc, color);
        RECT rect{l, t, rr, b};
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    };
    fill(r.left, r.top, r.right - 1, r.top + 1, topLeft);
    fill(r.left, r.top, r.left + 1, r.bottom - 1, topLeft);
    fill(r.right - 1, r.top, r.right, r.bottom, bottomRight);
    fill(r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
}

}  // namespace

const MessageMap* CSizeBarBase::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CSizeBarBase::OnCreate>(WM_CREATE),
        MapMessage<&CSizeBarBase::OnPaint>(WM_PAINT),
        MapMessage<&CSizeBarBase::OnNcPaint>(WM_NCPAINT),
        MapMessage<&CSizeBarBase::OnNcCalcSize>(WM_NCCALCSIZE),
        MapMessage<&CSizeBarBase::OnNcHitTest>(WM_NCHITTEST),
        MapMessage<&CSizeBarBase::OnWindowPosChanging>(WM_WINDOWPOSCHANGING),
        MapMessage<&CSizeBarBase::OnSettingChange>(WM_SETTINGCHANGE),
        MapMessage<&CSizeBarBase::OnSetText>(WM_SETTEXT),
        MapMessage<&CSizeBarBase::OnSize>(WM_SIZE),
        MapMessage<&CSizeBarBase::OnNcLButtonDown>(WM_NCLBUTTONDOWN),
        MapMessage<&CSizeBarBase::OnLButtonDown>(WM_LBUTTONDOWN),
        MapMessage<&CSizeBarBase::OnMouseMove>(WM_MOUSEMOVE),
        MapMessage<&CSizeBarBase::OnLButtonUp>(WM_LBUTTONUP),
        MapMessage<&CSizeBarBase::OnRButtonDown>(WM_RBUTTONDOWN),
        MapMessage<&CSizeBarBase::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
        MapMessage<&CSizeBarBase::OnCaptureChanged>(WM_CAPTURECHANGED),
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

BOOL CSizeBarBase::CreateWithSize(const wchar_t* title, CWnd* parent, CSize size, BOOL, UINT id, DWORD style) {
    m_szHorz = m_szVert = m_szFloat = size;
    return Create(title, parent, id, style);
}

int CSizeBarBase::OnCreate(LPCREATESTRUCT cs) {
    if (CControlBar::OnCreate(cs) == -1) return -1;
    m_bFullWindowDrag = ReadFullWindowDrag();
    return 0;
}

LRESULT CSizeBarBase::OnSettingChange(WPARAM, LPARAM) {
    const LRESULT result = Default();
    m_bFullWindowDrag = ReadFullWindowDrag();
    return result;
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

UINT CSizeBarBase::DockSide() const {
    const UINT id = m_nDockBarId ? m_nDockBarId : (m_pDockBar && m_pDockBar->GetSafeHwnd() ? static_cast<UINT>(m_pDockBar->GetDlgCtrlID()) : 0);
    return (IsFloating() || !IsDockSide(id)) ? 0 : id;
}

UINT CSizeBarBase::FacingEdge() const {
    switch (DockSide()) {
    case AFX_IDW_DOCKBAR_TOP: return HTBOTTOM;
    case AFX_IDW_DOCKBAR_LEFT: return HTRIGHT;
    case AFX_IDW_DOCKBAR_RIGHT: return HTLEFT;
    case AFX_IDW_DOCKBAR_BOTTOM: return HTTOP;
    default: return 0;
    }
}

CRect CSizeBarBase::EdgeRect(UINT hitCode) const {
    DWORD flag = 0;
    switch (hitCode) {
    case HTLEFT: flag = SZBARF_EDGELEFT; break;
    case HTRIGHT: flag = SZBARF_EDGERIGHT; break;
    case HTTOP: flag = SZBARF_EDGETOP; break;
    case HTBOTTOM: flag = SZBARF_EDGEBOTTOM; break;
    default: return CRect();
    }
    if (!(m_dwSizeBarStyle & flag) || IsFloating()) return CRect();
    CRect w;
    GetWindowRect(&w);
    if (m_dwSizeBarStyle & SZBARF_SHOWEDGES) w.DeflateRect(1, 1);
    const bool horz = IsHorzSide(DockSide());
    const int e = kEdgeWidth;
    switch (hitCode) {
    case HTLEFT: return CRect(w.left, w.top + (horz ? e : 0), w.left + e, w.bottom - (horz ? e : 0));
    case HTRIGHT: return CRect(w.right - e, w.top + (horz ? e : 0), w.right, w.bottom - (horz ? e : 0));
    case HTTOP: return CRect(w.left + (horz ? 0 : e), w.top, w.right - (horz ? 0 : e), w.top + e);
    default: return CRect(w.left + (horz ? 0 : e), w.bottom - e, w.right - (horz ? 0 : e), w.bottom);
    }
}

// Layout ---------------------------------------------------------------------------------

std::vector<CControlBar*> CSizeBarBase::RowBars() const {
    std::vector<CControlBar*> row;
    if (!m_pDockBar) return row;
    const std::vector<CControlBar*>& bars = m_pDockBar->m_arrBars;
    const int index = m_pDockBar->FindBar(this);
    if (index < 0) return row;
    int start = index;
    while (start > 0 && bars[static_cast<size_t>(start - 1)]) --start;
    for (size_t i = static_cast<size_t>(start); i < bars.size() && bars[i]; ++i)
        if (IsBarPointer(bars[i]) && bars[i]->m_hWnd && bars[i]->IsVisible()) row.push_back(bars[i]);
    return row;
}

BOOL CSizeBarBase::ShareRowLength(int rowLength, BOOL horz) {
    std::vector<CSizeBarBase*> sizable;
    int sum = 2, taken = 0, thickness = 0;
    std::vector<CControlBar*>& bars = m_pDockBar->m_arrBars;
    const std::vector<CControlBar*> row = RowBars();
    for (CControlBar* bar : row) {
        auto* sized = dynamic_cast<CSizeBarBase*>(bar);
        CRect w;
        bar->GetWindowRect(&w);
        const int length = horz ? w.Width() : w.Height();
        sum += (sized ? sized->MinLength(horz) : length) - 2;
        if (sum > rowLength) {
            const int at = m_pDockBar->FindBar(bar), mine = m_pDockBar->FindBar(this);
            if (at < mine) {  // this bar moves to a row of its own
                bars.insert(bars.begin() + at + 1, nullptr);
                return FALSE;
            }
            if (at > mine) {
                bars.insert(bars.begin() + at, nullptr);
                break;
            }
            LengthOf(horz) = MinLength(horz);
            return TRUE;
        }
        if (sized) {
            taken += sized->LengthOf(horz) - 2;
            thickness = std::max<int>(thickness, sized->ThicknessOf(horz));
            sizable.push_back(sized);
        } else {
            rowLength -= length;
        }
    }
    int difference = rowLength - taken;
    if (sizable.size() > 1) {
        for (CSizeBarBase* bar : sizable) bar->ThicknessOf(horz) = thickness;
        while (difference != 0) {
            bool gave = false;
            for (CSizeBarBase* bar : sizable) {
                if (difference == 0) break;
                if (bar->m_bKeepSize) continue;
                if (difference < 0 && bar->LengthOf(horz) <= bar->MinLength(horz)) continue;
                bar->LengthOf(horz) += difference > 0 ? 1 : -1;
                difference += difference > 0 ? -1 : 1;
                gave = true;
            }
            if (!gave) {
                bool cleared = false;
                for (CSizeBarBase* bar : sizable) cleared |= bar->m_bKeepSize != FALSE, bar->m_bKeepSize = FALSE;
                if (!cleared) break;  // every bar at its minimum: the rest stays unshared
            }
        }
    } else {
        m_bKeepSize = FALSE;
        LengthOf(horz) += difference;
    }
    return TRUE;
}

void CSizeBarBase::RealignRow() {
    if (!m_pDockBar) return;
    const bool horz = IsHorzSide(DockSide());
    int position = horz ? -2 : 0;
    bool moved = false;
    for (CControlBar* bar : RowBars()) {
        CRect w;
        bar->GetWindowRect(&w);
        m_pDockBar->ScreenToClient(&w);
        int length = horz ? w.Width() : w.Height();
        if (auto* sized = dynamic_cast<CSizeBarBase*>(bar)) length = sized->LengthOf(horz);
        const int start = horz ? w.left : w.top;
        if (start != position) {
            if (horz) bar->SetWindowPos(nullptr, position, w.top - (DockSide() == AFX_IDW_DOCKBAR_TOP ? 2 : 0), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            else bar->SetWindowPos(nullptr, w.left, position - 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            moved = true;
        }
        position += length - 2;
    }
    if (moved && m_pDockSite) m_pDockSite->DelayRecalcLayout();
}

CSize CSizeBarBase::CalcFixedLayout(BOOL stretch, BOOL horz) {
    if (stretch) return horz ? CSize(32767, m_szHorz.cy) : CSize(m_szVert.cx, 32767);
    if (m_pDockBar && !IsFloating()) {
        // Pending shows and hides of the row's bars first, in one batch unless the dock bar floats.
        const std::vector<CControlBar*>& bars = m_pDockBar->m_arrBars;
        AFX_SIZEPARENTPARAMS moves;
        moves.hDWP = m_pDockBar->m_bFloating ? nullptr : ::BeginDeferWindowPos(static_cast<int>(bars.size()));
        for (CControlBar* bar : bars)
            if (IsBarPointer(bar) && bar->m_hWnd && bar != this) bar->RecalcDelayShow(moves.hDWP ? &moves : nullptr);
        if (moves.hDWP) ::EndDeferWindowPos(moves.hDWP);
        CRect row = m_pDockBar->m_rectLayout;
        if (row.IsRectEmpty()) m_pDockBar->GetClientRect(&row);
        const int rowLength = horz ? row.Width() + 2 : row.Height() - 2;
        const std::vector<CControlBar*> inRow = RowBars();
        if (IsVisible() && m_bLayoutPending && !inRow.empty() && inRow.front() == this && rowLength > 0) {
            if (ShareRowLength(rowLength, horz)) RealignRow();
        }
    }
    m_bLayoutPending = FALSE;
    if (horz) return CSize(std::max(m_szHorz.cx, m_szMinHorz.cx), std::max(m_szHorz.cy, m_szMinHorz.cy));
    return CSize(std::max(m_szVert.cx, m_szMinVert.cx), std::max(m_szVert.cy, m_szMinVert.cy));
}

CSize CSizeBarBase::CalcDynamicLayout(int length, DWORD mode) {
    if (mode & (LM_HORZDOCK | LM_VERTDOCK)) {
        if (length == -1) m_bLayoutPending = TRUE;
        return CalcFixedLayout(mode & LM_STRETCH, (mode & LM_HORZDOCK) != 0);
    }
    if (mode & LM_MRUWIDTH) return m_szFloat;
    if (!(mode & LM_COMMIT) || length >= 0) {
        if (IsSizedByCorner()) {
            FollowCornerDrag();
        } else if (length >= 0) {
            if (mode & LM_LENGTHY) m_szFloat.cy = length;
            else m_szFloat.cx = length;
        }
    }
    m_szFloat.cx = std::max(m_szFloat.cx, m_szMinFloat.cx);
    m_szFloat.cy = std::max(m_szFloat.cy, m_szMinFloat.cy);
    return m_szFloat;
}

bool CSizeBarBase::IsSizedByCorner() const {
    if (!IsFloating() || !m_pDockContext || !m_pDockContext->m_bResizing) return false;
    const int hit = m_pDockContext->m_nHitTest;
    return hit == HTTOPLEFT || hit == HTTOPRIGHT || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT;
}

void CSizeBarBase::FollowCornerDrag() {
    // The frame's rectangle as the mouse left it, less the frame's own border, is the new size;
    // the corner opposite the dragged one stays where it is, also when the size stops at its minimum.
    CRect& drag = m_pDockContext->m_rectFrameDragHorz;
    CRect border(0, 0, 0, 0);
    if (CWnd* frame = m_pDockBar ? m_pDockBar->GetParent() : nullptr)
        ::AdjustWindowRectEx(&border, frame->GetStyle(), FALSE, frame->GetExStyle());
    m_szFloat.cx = std::max<LONG>(drag.Width() - border.Width(), m_szMinFloat.cx);
    m_szFloat.cy = std::max<LONG>(drag.Height() - border.Height(), m_szMinFloat.cy);
    const int hit = m_pDockContext->m_nHitTest;
    const LONG width = m_szFloat.cx + border.Width(), height = m_szFloat.cy + border.Height();
    if (hit == HTTOPLEFT || hit == HTBOTTOMLEFT) drag.left = drag.right - width;
    else drag.right = drag.left + width;
    if (hit == HTTOPLEFT || hit == HTTOPRIGHT) drag.top = drag.bottom - height;
    else drag.bottom = drag.top + height;
}

// The non-client area ------------------------------------------------------------------------

LRESULT CSizeBarBase::OnWindowPosChanging(WPARAM, LPARAM lParam) {
    auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
    pos->flags |= SWP_FRAMECHANGED;  // the non-client area follows every move
    m_nDockBarId = static_cast<UINT>(::GetDlgCtrlID(::GetParent(m_hWnd)));
    if (DockSide() && (pos->flags & SWP_SHOWWINDOW)) m_bKeepSize = TRUE;
    return Default();
}

void CSizeBarBase::CalcClientArea(RECT* rect) {
    // A floating frame with the four-sided thick frame loses it: the bar sizes itself.
    if (IsFloating() && m_pDockBar)
        if (auto* mini = dynamic_cast<CMiniDockFrameWnd*>(m_pDockBar->GetParent()); mini && (mini->GetStyle() & MFS_4THICKFRAME))
            mini->ModifyStyle(MFS_4THICKFRAME, WS_CLIPCHILDREN);
    m_dwSizeBarStyle &= ~SZBARF_EDGEALL;
    const UINT side = DockSide();
    const bool horz = IsHorzSide(side);
    if (side) {
        const std::vector<CControlBar*> row = RowBars();
        if (!row.empty()) {
            if (row.front() != this) m_dwSizeBarStyle |= horz ? SZBARF_EDGELEFT : SZBARF_EDGETOP;
            if (row.back() != this) m_dwSizeBarStyle |= horz ? SZBARF_EDGERIGHT : SZBARF_EDGEBOTTOM;
        }
    }
    CRect r(*rect);
    r.DeflateRect(3, 5, 3, 3);
    if (!IsFloating()) r.DeflateRect(2, 0, 2, 2);
    switch (side) {
    case AFX_IDW_DOCKBAR_TOP: m_dwSizeBarStyle |= SZBARF_EDGEBOTTOM; break;
    case AFX_IDW_DOCKBAR_LEFT: m_dwSizeBarStyle |= SZBARF_EDGERIGHT; break;
    case AFX_IDW_DOCKBAR_RIGHT: m_dwSizeBarStyle |= SZBARF_EDGELEFT; break;
    case AFX_IDW_DOCKBAR_BOTTOM: m_dwSizeBarStyle |= SZBARF_EDGETOP; break;
    default: break;
    }
    if (m_dwSizeBarStyle & SZBARF_SHOWEDGES) {
        if (m_dwSizeBarStyle & SZBARF_EDGELEFT) r.left += kEdgeWidth;
        if (m_dwSizeBarStyle & SZBARF_EDGETOP) r.top += kEdgeWidth;
        if (m_dwSizeBarStyle & SZBARF_EDGERIGHT) r.right -= kEdgeWidth;
        if (m_dwSizeBarStyle & SZBARF_EDGEBOTTOM) r.bottom -= kEdgeWidth;
    }
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    *rect = r;
}

LRESULT CSizeBarBase::OnNcCalcSize(WPARAM, LPARAM lParam) {
    CalcClientArea(reinterpret_cast<RECT*>(lParam));
    return 0;
}

LRESULT CSizeBarBase::OnNcHitTest(WPARAM, LPARAM lParam) {
    if (IsFloating()) return HTCLIENT;
    const CPoint point(lParam);
    for (UINT edge : {HTLEFT, HTTOP, HTRIGHT, HTBOTTOM})
        if (EdgeRect(edge).PtInRect(point)) return edge;
    return HTCLIENT;
}

LRESULT CSizeBarBase::OnNcPaint(WPARAM, LPARAM) {
    CWindowDC window(this);
    const CRect w = window.ExcludeClientArea();
    // Drawn off-screen and copied in one block.
    CDC memory;
    memory.CreateCompatibleDC(&window);
    HBITMAP bitmap = ::CreateCompatibleBitmap(window, std::max(1, w.Width()), std::max(1, w.Height()));
    if (!bitmap) return 0;
    HGDIOBJ old = memory.SelectObject(bitmap);
    CRect area = w;
    DrawBorders(&memory, area);
    ::FillRect(memory, &area, reinterpret_cast<HBRUSH>(::GetClassLongPtrW(m_hWnd, GCLP_HBRBACKGROUND)));
    if (m_dwSizeBarStyle & SZBARF_SHOWEDGES) {
        CRect screen;
        GetWindowRect(&screen);
        for (UINT edge : {HTLEFT, HTTOP, HTRIGHT, HTBOTTOM}) {
            CRect e = EdgeRect(edge);
            if (e.IsRectEmpty()) continue;
            e.OffsetRect(-screen.left, -screen.top);
            Draw3dRect(memory, e, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
        }
    }
    DrawCaptionArea(&memory);
    window.BitBlt(0, 0, w.Width(), w.Height(), &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
    ::DeleteObject(bitmap);
    return 0;
}

void CSizeBarBase::OnPaint() { ::ValidateRect(m_hWnd, nullptr); }  // the child fills the client area

void CSizeBarBase::OnSize(UINT, int cx, int cy) {
    Default();
    if (m_dwSizeBarStyle & SZBARF_SIZECHILD)
        if (HWND child = ::GetWindow(m_hWnd, GW_CHILD)) ::MoveWindow(child, 0, 0, std::max(0, cx), std::max(0, cy), TRUE);
}

LRESULT CSizeBarBase::OnSetText(WPARAM, LPARAM lParam) {
    const LRESULT result = Default();
    if (IsFloating() && m_pDockBar)
        if (auto* mini = dynamic_cast<CMiniDockFrameWnd*>(m_pDockBar->GetParent())) {
            mini->SetWindowText(reinterpret_cast<const wchar_t*>(lParam));
            mini->RecalcLayout();
        }
    return result;
}

// The caption and its close button -------------------------------------------------------------

const MessageMap* CSizeBar::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CSizeBar::OnNcHitTest>(WM_NCHITTEST),
        MapMessage<&CSizeBar::OnNcLButtonDown>(WM_NCLBUTTONDOWN),
        MapMessage<&CSizeBar::OnNcLButtonUp>(WM_NCLBUTTONUP),
    };
    static const MessageMap map{CSizeBarBase::GetMessageMap(), entries};
    return &map;
}

void CSizeBar::CalcClientArea(RECT* rect) {
    const CRect window(*rect);  // the window's new place, in its parent's coordinates
    CSizeBarBase::CalcClientArea(rect);
    if (!HasCaption()) {
        m_close.origin = CPoint(-1000, -1000);
        return;
    }
    CRect& r = *reinterpret_cast<CRect*>(rect);
    CPoint origin;
    if (IsHorzDockedBar()) {
        r.left = std::min<LONG>(r.left + kCaptionSize, r.right);
        origin = CPoint(r.left - 13, r.top);
    } else {
        r.top = std::min<LONG>(r.top + kCaptionSize, r.bottom);
        origin = CPoint(r.right - 16, r.top - 14);
    }
    // Kept relative to the bar's window.
    m_close.origin = CPoint(origin.x - window.left, origin.y - window.top);
}

CRect CSizeBar::CloseButtonRect() const {
    if (!HasCaption()) return CRect();
    CRect window;
    GetWindowRect(&window);
    return CRect(window.left + m_close.origin.x, window.top + m_close.origin.y, window.left + m_close.origin.x + kCaptionSize,
                 window.top + m_close.origin.y + kCaptionSize);
}

LRESULT CSizeBar::OnNcHitTest(WPARAM wParam, LPARAM lParam) {
    const LRESULT hit = CSizeBarBase::OnNcHitTest(wParam, lParam);
    if (hit == HTCLIENT && CloseButtonRect().PtInRect(CPoint(lParam))) return HTCLOSE;
    return hit;
}

void CSizeBar::OnNcLButtonDown(UINT hitTest, CPoint point) {
    if (hitTest == HTCLOSE) return;  // the button's look follows the mouse on idle; the release acts
    CSizeBarBase::OnNcLButtonDown(hitTest, point);
}

void CSizeBar::OnNcLButtonUp(UINT hitTest, CPoint) {
    if (hitTest == HTCLOSE && m_pDockSite) {
        m_close.pushed = m_close.raised = FALSE;
        m_pDockSite->ShowControlBar(this, FALSE, FALSE);
        return;
    }
    Default();
}

void CSizeBar::OnUpdateCmdUI(CFrameWnd*, BOOL) {
    if (!HasCaption()) return;
    CPoint cursor;
    ::GetCursorPos(&cursor);
    const bool over = CloseButtonRect().PtInRect(cursor) && ::WindowFromPoint(cursor) == m_hWnd;
    const bool down = (::GetKeyState(VK_LBUTTON) & 0x8000) != 0;
    const BOOL pushed = over && down, raised = over && !down;
    if (pushed != m_close.pushed || raised != m_close.raised) {
        m_close.pushed = pushed;
        m_close.raised = raised;
        SendMessage(WM_NCPAINT);
    }
}

void CSizeBar::DrawCaptionArea(CDC* dc) {
    if (!HasCaption()) return;
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    ClientToScreen(&client);
    client.OffsetRect(-window.left, -window.top);
    const CRect button(m_close.origin, CSize(kCaptionSize, kCaptionSize));
    CRect strip;
    HFONT text = nullptr;
    if (IsHorzDockedBar()) {
        // At the left, the text running upward.
        strip = CRect(button.left - 3, button.bottom + 2, button.right + 3, client.bottom);
        text = CaptionFont(*dc, L"MS Sans Serif", 105, DEFAULT_CHARSET);
        LOGFONTW lf{};
        GetObjectW(text, sizeof(lf), &lf);
        DeleteObject(text);
        lf.lfEscapement = lf.lfOrientation = 900;
        text = CreateFontIndirectW(&lf);
    } else {
        strip = CRect(client.left, client.top - (kCaptionSize + 4), button.right, client.top - (kCaptionSize + 4) + 22);
        strip.OffsetRect(0, 3);
        strip.bottom = std::min(strip.bottom, client.top);
        text = CaptionFont(*dc, L"MS Sans Serif", 105, DEFAULT_CHARSET);
    }
    dc->FillSolidRect(&strip, GetSysColor(COLOR_BTNSHADOW));
    HGDIOBJ old = dc->SelectObject(text);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    const COLORREF oldColor = dc->SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
    if (IsHorzDockedBar()) {
        ::ExtTextOutW(*dc, strip.left, strip.bottom - 2, ETO_CLIPPED, &strip, L" Bookmark Explorer:", 19, nullptr);
    } else {
        CRect textRect = strip;
        textRect.right = button.left;
        dc->DrawText(L" Bookmark Explorer:", &textRect, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    // The close button: sunken while pushed, raised while the mouse is over it.
    if (m_close.pushed) Draw3dRect(*dc, button, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    else if (m_close.raised) Draw3dRect(*dc, button, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    HFONT glyph = CaptionFont(*dc, L"Marlett", 80, SYMBOL_CHARSET);
    dc->SelectObject(glyph);
    dc->SetTextColor(GetSysColor(COLOR_BTNTEXT));
    dc->TextOut(button.left + 2, button.top + 2, L"r");
    dc->SetTextColor(oldColor);
    dc->SetBkMode(oldMode);
    dc->SelectObject(old);
    DeleteObject(text);
    DeleteObject(glyph);
}
