#include "bars/MenuCustomize.h"

#include <algorithm>

COXBitmapMenuPopupWnd::~COXBitmapMenuPopupWnd() {
    if (m_pMenu && m_pMenu->GetPopupWnd() == this) m_pMenu->SetPopupWnd(nullptr);
    if (m_pMenu && m_pMenu->GetDropTarget()->GetWindow() == this) m_pMenu->GetDropTarget()->Revoke();
    if (m_hWnd) DestroyWindow();
}

const MessageMap* COXBitmapMenuPopupWnd::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXBitmapMenuPopupWnd::OnPaint>(WM_PAINT),
        MapMessage<&COXBitmapMenuPopupWnd::OnNcPaint>(WM_NCPAINT),
        MapMessage<&COXBitmapMenuPopupWnd::OnMouseActivate>(WM_MOUSEACTIVATE),
        MapMessage<&COXBitmapMenuPopupWnd::OnSettingChange>(WM_SETTINGCHANGE),
        MapMessage<&COXBitmapMenuPopupWnd::OnLButtonDown>(WM_LBUTTONDOWN),
        MapMessage<&COXBitmapMenuPopupWnd::OnRButtonDown>(WM_RBUTTONDOWN),
        MapMessage<&COXBitmapMenuPopupWnd::OnRButtonDown>(WM_MBUTTONDOWN),
        MapMessage<&COXBitmapMenuPopupWnd::OnRButtonUp>(WM_RBUTTONUP),
        MapMessage<&COXBitmapMenuPopupWnd::OnMouseMove>(WM_MOUSEMOVE),
        MapMessage<&COXBitmapMenuPopupWnd::OnTimer>(WM_TIMER),
        MapMessage<&COXBitmapMenuPopupWnd::OnDragEnter>(WM_DRAGRELAY_ENTER),
        MapMessage<&COXBitmapMenuPopupWnd::OnDragLeave>(WM_DRAGRELAY_LEAVE),
        MapMessage<&COXBitmapMenuPopupWnd::OnDragOver>(WM_DRAGRELAY_OVER),
        MapMessage<&COXBitmapMenuPopupWnd::OnDrop>(WM_DRAGRELAY_DROP),
    };
    static const MessageMap map{CWnd::GetMessageMap(), entries};
    return &map;
}

BOOL COXBitmapMenuPopupWnd::Show(COXBitmapMenu* menu, UINT alignment, int x, int y, CWnd* owner) {
    if (!menu) return FALSE;
    m_pMenu = menu;
    menu->SetPopupWnd(this);
    if (!m_hWnd) {
        const wchar_t* cls = RegisterWndClass(CS_SAVEBITS | CS_DBLCLKS, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        if (!CreateEx(WS_EX_DLGMODALFRAME, cls, L"", WS_POPUP, 0, 0, 0, 0, owner ? owner->GetSafeHwnd() : nullptr, nullptr)) {
            menu->SetPopupWnd(nullptr);
            m_pMenu = nullptr;
            return FALSE;
        }
    }
    // Items are dragged into and within the window the menu shows in now.
    menu->GetDropTarget()->Revoke();
    menu->GetDropTarget()->Register(this);
    menu->SetCustomizeMode(TRUE, owner ? owner->GetSafeHwnd() : nullptr);
    UpdateFont();
    CalcLayout(alignment, x, y);
    PlaceTopMost(SWP_SHOWWINDOW);
    ShowWindow(SW_SHOWNA);
    return TRUE;
}

void COXBitmapMenuPopupWnd::Hide() {
    if (m_pMenu && !m_pMenu->IsDragging()) {
        // The menu's drop target leaves the window with the menu.
        if (m_pMenu->GetDropTarget()->GetWindow() == this) m_pMenu->GetDropTarget()->Revoke();
        m_pMenu->SetSelectedItem(-1);
        m_pMenu->SetPopupWnd(nullptr);
        m_pMenu = nullptr;
    }
    if (m_hWnd) ShowWindow(SW_HIDE);
}

void COXBitmapMenuPopupWnd::PlaceTopMost(UINT extraFlags) {
    SetWindowPos(HWND_TOPMOST, m_rectWindow.left, m_rectWindow.top, m_rectWindow.Width(), m_rectWindow.Height(), SWP_NOACTIVATE | extraFlags);
}

void COXBitmapMenuPopupWnd::RecalcLayout() {
    if (!m_pMenu || !m_hWnd) return;
    // CalcLayout places the client area; it stays where it is.
    CPoint origin(0, 0);
    ClientToScreen(&origin);
    m_pMenu->CalcExtents();
    CalcLayout(TPM_LEFTALIGN, origin.x, origin.y);
    if (!IsWindowVisible()) {
        Hide();
        return;
    }
    PlaceTopMost(0);
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

BOOL COXBitmapMenuPopupWnd::CalcLayout(UINT alignment, int x, int y) {
    if (!m_pMenu) return FALSE;
    m_itemRects.clear();
    int width = 0, height = 0;
    const HMENU menu = m_pMenu->GetSafeHmenu();
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        MEASUREITEMSTRUCT measure = COXBitmapMenu::MeasureRecord(menu, i);
        m_pMenu->MeasureItem(&measure);
        m_itemRects.emplace_back(0, height, static_cast<int>(measure.itemWidth), height + static_cast<int>(measure.itemHeight));
        width = std::max(width, static_cast<int>(measure.itemWidth));
        height += static_cast<int>(measure.itemHeight);
    }
    if (width == 0 || height == 0) width = 50, height = 18;
    int left = x;
    if (alignment & TPM_RIGHTALIGN) left = x - width;
    else if (alignment & TPM_CENTERALIGN) left = x - width / 2;
    // The rectangle is the client area; the window's frame goes round it.
    CRect client(left, y, left + width, y + height);
    RECT outer = client;
    AdjustWindowRectEx(&outer, WS_POPUP, FALSE, WS_EX_DLGMODALFRAME);
    m_rectWindow = CRect(outer);
    for (CRect& r : m_itemRects) r.right = r.left + width;
    return TRUE;
}

void COXBitmapMenuPopupWnd::UpdateFont() { COXBitmapMenu::CreateMenuFont(m_font); }

void COXBitmapMenuPopupWnd::RedrawItem(int position) {
    if (!m_hWnd || position < 0 || position >= static_cast<int>(m_itemRects.size())) return;
    RedrawWindow(m_hWnd, &m_itemRects[static_cast<size_t>(position)], nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void COXBitmapMenuPopupWnd::OnPaint() {
    CPaintDC dc(this);
    if (!m_pMenu) return;
    HGDIOBJ oldFont = dc.SelectObject(m_font);
    HGDIOBJ oldPen = dc.SelectStockObject(BLACK_PEN);
    const HMENU menu = m_pMenu->GetSafeHmenu();
    for (size_t i = 0; i < m_itemRects.size(); ++i) {
        DRAWITEMSTRUCT draw = COXBitmapMenu::DrawRecord(menu, static_cast<int>(i));
        draw.hDC = dc;
        draw.rcItem = m_itemRects[i];
        m_pMenu->DrawItem(&draw);
    }
    dc.SelectObject(oldPen);
    dc.SelectObject(oldFont);
}

LRESULT COXBitmapMenuPopupWnd::OnNcPaint(WPARAM, LPARAM) {
    COXBitmapMenu::GetMenuSkin()->OnPopupNcPaint(this, m_pMenu);
    return 0;
}

LRESULT COXBitmapMenuPopupWnd::OnSettingChange(WPARAM, LPARAM) {
    UpdateFont();
    RecalcLayout();
    return Default();
}

int COXBitmapMenuPopupWnd::ItemAt(CPoint point) const {
    for (size_t i = 0; i < m_itemRects.size(); ++i)
        if (m_itemRects[i].PtInRect(point)) return static_cast<int>(i);
    return -1;
}

void COXBitmapMenuPopupWnd::OnLButtonDown(UINT, CPoint point) {
    if (m_nDragTimer || !Customizing()) {
        Default();
        return;
    }
    m_pMenu->SetSelectedItem(ItemAt(point));
    m_nDragTimer = SetTimer(kDragTimer, 200);
}

void COXBitmapMenuPopupWnd::OnRButtonDown(UINT, CPoint point) {
    if (Customizing()) m_pMenu->SetSelectedItem(ItemAt(point));
    else Default();
}

void COXBitmapMenuPopupWnd::OnRButtonUp(UINT, CPoint point) {
    if (Customizing() && m_pMenu->GetSelectedItem() != -1) {
        ClientToScreen(&point);
        m_pMenu->ShowCustomizeMenu(m_pMenu->GetSelectedItem(), point.x, point.y);
    } else {
        Default();
    }
}

void COXBitmapMenuPopupWnd::OnMouseMove(UINT flags, CPoint) {
    if (m_nDragTimer && !(flags & MK_LBUTTON)) {
        KillTimer(m_nDragTimer);
        m_nDragTimer = 0;
    }
    Default();
}

void COXBitmapMenuPopupWnd::OnTimer(UINT_PTR id) {
    if (id != kDragTimer) {
        Default();
        return;
    }
    KillTimer(m_nDragTimer);
    m_nDragTimer = 0;
    if (m_hWnd && Customizing() && (GetKeyState(VK_LBUTTON) & 0x8000)) m_pMenu->DragItem(m_pMenu->GetSelectedItem());
}

LRESULT COXBitmapMenuPopupWnd::OnDragEnter(WPARAM wParam, LPARAM lParam) {
    return Customizing() ? m_pMenu->OnDragOver(wParam, reinterpret_cast<OXDRAGTARGETRELAY*>(lParam)) : 0;
}
LRESULT COXBitmapMenuPopupWnd::OnDragOver(WPARAM wParam, LPARAM lParam) {
    return Customizing() ? m_pMenu->OnDragOver(wParam, reinterpret_cast<OXDRAGTARGETRELAY*>(lParam)) : 0;
}
LRESULT COXBitmapMenuPopupWnd::OnDragLeave(WPARAM wParam, LPARAM lParam) {
    return Customizing() ? m_pMenu->OnDragLeave(wParam, reinterpret_cast<OXDRAGTARGETRELAY*>(lParam)) : 0;
}
LRESULT COXBitmapMenuPopupWnd::OnDrop(WPARAM wParam, LPARAM lParam) {
    return Customizing() ? m_pMenu->OnDrop(wParam, reinterpret_cast<OXDRAGTARGETRELAY*>(lParam)) : 0;
}

BOOL COXBitmapMenuPopupWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (Customizing() && HIWORD(wParam) == 0) {
        switch (LOWORD(wParam)) {
        case ID_BITMAPMENU_DELETE: m_pMenu->OnDeleteItem(); return TRUE;
        case ID_BITMAPMENU_APPEARANCE: m_pMenu->OnItemAppearance(); return TRUE;
        case ID_BITMAPMENU_SEPARATORBEFORE: m_pMenu->OnInsertSeparatorBefore(); return TRUE;
        case ID_BITMAPMENU_SEPARATORAFTER: m_pMenu->OnInsertSeparatorAfter(); return TRUE;
        case ID_BITMAPMENU_RECENTLYUSED: m_pMenu->OnToggleRecentlyUsed(); return TRUE;
        default: break;
        }
    }
    return CWnd::OnCommand(wParam, lParam);
}

const MessageMap* COXShadowedItemWnd::GetMessageMap() const {
    static const MessageMapEntry entries[] = {MapMessage<&COXShadowedItemWnd::OnPaint>(WM_PAINT)};
    static const MessageMap map{CWnd::GetMessageMap(), entries};
    return &map;
}
