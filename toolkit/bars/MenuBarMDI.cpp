// The menu bar's MDI area (the maximised child's icon and caption buttons in
// the bar's non-client area) and its docking layout.
#include "bars/BitmapMenu.h"
#include "bars/DockBar.h"
#include "bars/MenuBar.h"
#include "skins/MenuSkin.h"
#include "wnd/MDIFrameWnd.h"

#include <algorithm>

namespace {

bool HasSizeBoxes(HWND child) {
    return (::GetWindowLongPtrW(child, GWL_STYLE) & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX)) != 0;
}

int SmallIconWidth() { return GetSystemMetrics(SM_CXSMICON); }

}  // namespace

// The MDI child -----------------------------------------------------------------------------------

HWND COXMenuBar::GetMaximizedMDIChild() const {
    auto* frame = dynamic_cast<CMDIFrameWnd*>(m_pOwnerFrame);
    if (!frame || !frame->m_hWndMDIClient) return nullptr;
    BOOL maximized = FALSE;
    auto child = reinterpret_cast<HWND>(::SendMessageW(frame->m_hWndMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
    return child && maximized ? child : nullptr;
}

void COXMenuBar::SetMDIChildIcon(HICON icon, BOOL relayout) {
    if (icon == m_hMDIChildIcon) return;
    m_hMDIChildIcon = icon;
    m_rectIcon.SetRectEmpty();
    if (!relayout || !m_hWnd) return;
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (m_pDockSite && !IsFloating()) m_pDockSite->RecalcLayout();
}

void COXMenuBar::UpdateMDIChildIcon(BOOL relayout) {
    HICON icon = nullptr;
    if (HWND child = GetMaximizedMDIChild()) {
        icon = reinterpret_cast<HICON>(::GetClassLongPtrW(child, GCLP_HICONSM));
        if (!icon) icon = reinterpret_cast<HICON>(::GetClassLongPtrW(child, GCLP_HICON));
        DWORD_PTR answer = 0;
        if (!icon && ::SendMessageTimeoutW(child, WM_GETICON, ICON_SMALL, 0, SMTO_ABORTIFHUNG, 1000, &answer))
            icon = reinterpret_cast<HICON>(answer);
        if (!icon && ::SendMessageTimeoutW(child, WM_GETICON, ICON_BIG, 0, SMTO_ABORTIFHUNG, 1000, &answer))
            icon = reinterpret_cast<HICON>(answer);
        if (!icon) icon = ::LoadIconW(nullptr, IDI_WINLOGO);
    }
    SetMDIChildIcon(icon, relayout);
}

// The MDI area ----------------------------------------------------------------------------------------

int COXMenuBar::MDIButtonSize(int thickness) const { return std::clamp(thickness - 4, 6, 18); }

CRect COXMenuBar::GetNonClientMargins(BOOL horz) const {
    HWND child = m_hMDIChildIcon ? GetMaximizedMDIChild() : nullptr;
    if (!child) return CRect(0, 0, 0, 0);
    CRect window;
    GetWindowRect(&window);
    const int thickness = horz ? window.Height() : window.Width();
    const int s = MDIButtonSize(thickness > 0 ? thickness : GetButtonSize().cy + 4);
    const int start = SmallIconWidth() + 4;
    const int end = 2 + s + (HasSizeBoxes(child) ? 2 + 2 * s : 0) + 6;
    return horz ? CRect(start, 0, end, 0) : CRect(0, start, 0, end);
}

void COXMenuBar::LayoutMDIButtons(const CRect& window) {
    m_mdiButtons = MDIButtonRects{};
    m_rectIcon.SetRectEmpty();
    HWND child = m_hMDIChildIcon ? GetMaximizedMDIChild() : nullptr;
    if (!child) return;
    const BOOL horz = (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) != 0 || IsFloating();
    CRect inside(0, 0, 0, 0);
    COXCoolToolBar::CalcInsideRect(inside, horz);  // the borders and the gripper only
    const CRect margins = GetNonClientMargins(horz);
    inside.left -= margins.left;
    inside.top -= margins.top;
    const int icon = SmallIconWidth();
    const int s = MDIButtonSize(horz ? window.Height() : window.Width());
    CRect close;
    if (horz) {
        m_rectIcon = CRect(CPoint(inside.left + 2, (window.Height() - icon) / 2), CSize(icon, icon));
        close = CRect(CPoint(window.right - 2 - s, (window.Height() - s) / 2), CSize(s, s));
    } else {
        m_rectIcon = CRect(CPoint((window.Width() - icon) / 2, inside.top + 2), CSize(icon, icon));
        close = CRect(CPoint((window.Width() - s) / 2, window.bottom - 2 - s), CSize(s, s));
    }
    m_mdiButtons.close = close;
    if (!HasSizeBoxes(child)) return;
    const CSize step = horz ? CSize(s + 2, 0) : CSize(0, s + 2);
    m_mdiButtons.restore = close;
    m_mdiButtons.restore.OffsetRect(-step.cx, -step.cy);
    m_mdiButtons.minimize = m_mdiButtons.restore;
    m_mdiButtons.minimize.OffsetRect(horz ? -s : 0, horz ? 0 : -s);
}

int COXMenuBar::HitTestMDI(CPoint pt) const {
    if (!m_rectIcon.IsRectEmpty() && m_rectIcon.PtInRect(pt)) return OXMB_HIT_ICON;
    if (m_mdiButtons.close.PtInRect(pt)) return OXMB_HIT_CLOSE;
    if (m_mdiButtons.restore.PtInRect(pt)) return OXMB_HIT_RESTORE;
    if (m_mdiButtons.minimize.PtInRect(pt)) return OXMB_HIT_MINIMIZE;
    CRect window;
    GetWindowRect(&window);
    CPoint client(pt.x + window.left, pt.y + window.top);
    ScreenToClient(&client);
    const int hit = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&client)));
    return hit >= 0 && hit < GetCount() ? hit : OXMB_HIT_NONE;
}

void COXMenuBar::GetItemRect(int index, LPRECT rect) const {
    if (!m_hMenu || index != GetMenuItemCount(m_hMenu)) {
        COXCoolToolBar::GetItemRect(index, rect);
        return;
    }
    CRect icon = m_rectIcon, window;
    GetWindowRect(&window);
    icon.OffsetRect(window.left, window.top);
    ScreenToClient(&icon);
    *rect = icon;
}

void COXMenuBar::DrawMDIButtons(CDC* dc) { GetToolbarSkin()->DrawMDIButtons(dc, this); }

void COXMenuBar::OnNcPaintDone(CDC* dc) {
    if (!m_hMDIChildIcon || !GetMaximizedMDIChild()) return;
    if (!m_rectIcon.IsRectEmpty())
        ::DrawIconEx(*dc, m_rectIcon.left, m_rectIcon.top, m_hMDIChildIcon, m_rectIcon.Width(), m_rectIcon.Height(), 0, nullptr, DI_NORMAL);
    DrawMDIButtons(dc);
}

bool COXMenuBar::OnMDIMouse(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    auto windowPoint = [this](CPoint screen) {
        CRect window;
        GetWindowRect(&window);
        return CPoint(screen.x - window.left, screen.y - window.top);
    };
    auto redrawFrame = [this] { RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW); };
    const CPoint screen(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    switch (message) {
    case WM_NCCALCSIZE: {
        const CRect window(reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]);
        LayoutMDIButtons(CRect(0, 0, window.Width(), window.Height()));
        return false;
    }
    case WM_NCHITTEST:
        if (HitTestMDI(windowPoint(screen)) <= OXMB_HIT_MINIMIZE) {
            result = HTCAPTION;
            return true;
        }
        return false;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: {
        if (wParam != HTCAPTION) return false;
        const int hit = HitTestMDI(windowPoint(screen));
        if (hit == OXMB_HIT_ICON) {
            if (message == WM_NCLBUTTONDOWN) PostMessage(WM_MENUBAR_OPENPOPUP, static_cast<WPARAM>(GetMenuItemCount(m_hMenu)));
            else if (HWND child = GetMaximizedMDIChild()) ::PostMessageW(child, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else if (hit <= OXMB_HIT_MINIMIZE) {
            ::SetCapture(m_hWnd);
            m_nCapturedMDIButton = m_nPressedMDIButton = hit;
            redrawFrame();
        } else {
            return false;
        }
        result = 0;
        return true;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: {
        if (m_nCapturedMDIButton == OXMB_HIT_NONE) return false;
        CPoint point(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        ClientToScreen(&point);
        const int hit = HitTestMDI(windowPoint(point));
        const int captured = m_nCapturedMDIButton;
        if (message == WM_MOUSEMOVE) {
            const int shown = hit == captured ? captured : OXMB_HIT_NONE;
            if (shown != m_nPressedMDIButton) {
                m_nPressedMDIButton = shown;
                redrawFrame();
            }
        } else {
            ReleaseCapture();
            HWND child = GetMaximizedMDIChild();
            if (child && hit == captured) {
                const WPARAM command = captured == OXMB_HIT_CLOSE ? SC_CLOSE : (captured == OXMB_HIT_RESTORE ? SC_RESTORE : SC_MINIMIZE);
                ::PostMessageW(child, WM_SYSCOMMAND, command, 0);
            }
        }
        result = 0;
        return true;
    }
    case WM_CAPTURECHANGED:
        if (m_nCapturedMDIButton != OXMB_HIT_NONE) {
            m_nCapturedMDIButton = m_nPressedMDIButton = OXMB_HIT_NONE;
            redrawFrame();
        }
        return false;
    default:
        return false;
    }
}

// Docking ---------------------------------------------------------------------------------------------

void COXMenuBar::ApplyButtonWidths() {
    if (!m_hWnd || !m_hMenu) return;
    const int count = GetCount();
    const BOOL vertical = !IsFloating() && !(m_dwStyle & CBRS_ORIENT_HORZ) && (m_dwStyle & CBRS_ALIGN_ANY);
    const int padding = COXBitmapMenu::GetMenuSkin()->GetMetrics()[COXMenuSkin::kMetricCount - 1];
    CClientDC dc(this);
    HGDIOBJ old = dc.SelectObject(m_font.m_hObject ? static_cast<HGDIOBJ>(m_font.m_hObject) : GetStockObject(DEFAULT_GUI_FONT));
    std::vector<int> widths;
    for (int i = 0; i < count; ++i) {
        CRect text(0, 0, 0, 0);
        const CString label = GetMenuItemText(static_cast<int>(GetItemID(i)) - 1);
        ::DrawTextW(dc, label, -1, &text, DT_CALCRECT | DT_SINGLELINE);
        widths.push_back(text.Width() + padding);
    }
    dc.SelectObject(old);
    const int widest = widths.empty() ? 0 : *std::max_element(widths.begin(), widths.end());
    for (int i = 0; i < count; ++i) {
        TBBUTTONINFOW info{};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_BYINDEX | TBIF_SIZE;
        info.cx = static_cast<WORD>(vertical ? widest + 8 : widths[static_cast<size_t>(i)]);
        SendMessage(TB_SETBUTTONINFOW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
    }
    m_bVerticalWidths = vertical;
}

int COXMenuBar::DockRowLength(BOOL horz) const {
    if (m_pDockBar && !m_pDockBar->m_rectLayout.IsRectEmpty())
        return horz ? m_pDockBar->m_rectLayout.Width() : m_pDockBar->m_rectLayout.Height();
    CWnd* site = m_pDockSite ? m_pDockSite : m_pOwnerFrame;
    if (!site) return 0;
    CRect client;
    site->GetClientRect(&client);
    return horz ? client.Width() : client.Height();
}

CSize COXMenuBar::CalcLayout(DWORD mode, int length) {
    // A stretched bar's length is its dock row's, not the length its dock bar leaves it.
    const bool rowLength = m_bStretch && (mode & (LM_HORZDOCK | LM_VERTDOCK)) && !IsFloating();
    m_bComputingLength = rowLength;
    CSize size = COXCoolToolBar::CalcLayout(mode, length);
    m_bComputingLength = FALSE;
    if (rowLength) {
        const BOOL horz = (mode & LM_HORZDOCK) != 0;
        if (const int row = DockRowLength(horz); row > 0) (horz ? size.cx : size.cy) = row;
    }
    return size;
}

CSize COXMenuBar::CalcSize(std::vector<TBBUTTON>& buttons) {
    CSize size = COXCoolToolBar::CalcSize(buttons);
    if (IsFloating() || !m_pDockBar || m_bComputingLength) return size;
    const BOOL horz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    CRect dock = m_pDockBar->m_rectLayout;
    if (dock.IsRectEmpty()) m_pDockBar->GetClientRect(&dock);
    int limit = horz ? dock.Width() : dock.Height();
    if (m_hMDIChildIcon && GetMaximizedMDIChild()) {
        CRect window;
        GetWindowRect(&window);
        limit -= SmallIconWidth() + 3 * MDIButtonSize(horz ? window.Height() : window.Width()) + 14;
    }
    if (limit > 0) (horz ? size.cx : size.cy) = std::min<LONG>(horz ? size.cx : size.cy, limit);
    return size;
}

void COXMenuBar::OnFloatingChanged(BOOL) {
    ApplyButtonWidths();
    EmptyMiniFrameSystemMenu();
}

void COXMenuBar::EmptyMiniFrameSystemMenu() {
    // The bar learns that it floats before it moves into its mini frame: the frame is
    // emptied once the bar is in it. The mini frame offers no window commands for a menu.
    if (!IsFloating()) return;
    CFrameWnd* mini = GetParentFrame();
    if (!mini || mini == m_pDockSite || mini == m_pOwnerFrame || mini->m_hWnd == m_hEmptiedMiniFrame) return;
    m_hEmptiedMiniFrame = mini->m_hWnd;
    if (HMENU system = ::GetSystemMenu(mini->m_hWnd, FALSE))
        while (GetMenuItemCount(system) > 0) DeleteMenu(system, 0, MF_BYPOSITION);
}

void COXMenuBar::OnDockSideChanged(DWORD) {
    if (IsFloating()) return;
    const BOOL vertical = !(m_dwStyle & CBRS_ORIENT_HORZ) && (m_dwStyle & CBRS_ALIGN_ANY);
    if (m_bVerticalWidths != vertical) ApplyButtonWidths();
    if (m_pDockSite) m_pDockSite->DelayRecalcLayout();
}
