#include "docking/SizeDockBar.h"

#include "bars/CoolToolBar.h"

#include <algorithm>

const MessageMap* COXDockTabCtrl::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXDockTabCtrl::OnCreate>(WM_CREATE),
        MapMessage<&COXDockTabCtrl::OnLButtonDown>(WM_LBUTTONDOWN),
        MapMessage<&COXDockTabCtrl::OnMouseMove>(WM_MOUSEMOVE),
        MapMessage<&COXDockTabCtrl::OnLButtonUp>(WM_LBUTTONUP),
    };
    static const MessageMap map{COXSkinnedTabCtrl::GetMessageMap(), entries};
    return &map;
}

int COXDockTabCtrl::OnCreate(LPCREATESTRUCT cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    m_font.CreatePointFont(80, L"MS Sans Serif");
    SetFont(static_cast<HFONT>(m_font.GetSafeHandle()), FALSE);
    SendMessage(TCM_SETPADDING, 0, MAKELPARAM(12, 4));
    return 0;
}

CControlBar* COXDockTabCtrl::GetControlBar(int index) const {
    TCITEMW item{};
    item.mask = TCIF_PARAM;
    if (!SendMessage(TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item))) return nullptr;
    return reinterpret_cast<CControlBar*>(item.lParam);
}

COXSizeControlBar* COXDockTabCtrl::GetBar(int index) const { return dynamic_cast<COXSizeControlBar*>(GetControlBar(index)); }

int COXDockTabCtrl::FindBar(const CControlBar* bar) const {
    if (!m_hWnd || !bar) return -1;
    for (int i = 0; i < GetItemCount(); ++i)
        if (GetControlBar(i) == bar) return i;
    return -1;
}

int COXDockTabCtrl::HitTestTabArea(CPoint screen) const {
    if (!m_pDockBar->m_hWnd) return -1;
    CRect dock;
    m_pDockBar->GetWindowRect(&dock);
    CRect area(dock.left, dock.bottom - 48, dock.right, dock.bottom);
    if (!area.PtInRect(screen)) return -1;
    if (!m_hWnd || GetItemCount() == 0) return 0;
    TCHITTESTINFO hit{};
    hit.pt = screen;
    ScreenToClient(&hit.pt);
    const int index = static_cast<int>(SendMessage(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return index < 0 ? 0 : index;
}

void COXDockTabCtrl::InsertRawTab(COXSizeControlBar* bar, int index) {
    const CString text = bar->GetWindowText();
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<wchar_t*>(static_cast<const wchar_t*>(text));
    item.lParam = reinterpret_cast<LPARAM>(bar);
    SendMessage(TCM_INSERTITEMW, static_cast<WPARAM>(std::clamp(index, 0, GetItemCount())), reinterpret_cast<LPARAM>(&item));
}

void COXDockTabCtrl::InsertTab(COXSizeControlBar* bar, int index, BOOL select) {
    if (!m_hWnd || FindBar(bar) >= 0) return;
    // Every other size bar of the dock bar becomes a tab first.
    for (CControlBar* entry : m_pDockBar->m_arrBars) {
        auto* other = dynamic_cast<COXSizeControlBar*>(IsBarPointer(entry) ? entry : nullptr);
        if (!other || other == bar || !other->m_hWnd || FindBar(other) >= 0) continue;
        InsertRawTab(other, GetItemCount());
    }
    index = std::clamp(index, 0, GetItemCount());
    InsertRawTab(bar, index);
    m_pDockBar->PlaceTabStrip();
    SelectTab(select ? index : std::max(0, GetCurSel()));
}

void COXDockTabCtrl::MoveTab(COXSizeControlBar* bar, CPoint screen) {
    const int from = FindBar(bar);
    if (from < 0) return;
    const int to = HitTestTabArea(screen);
    if (to < 0 || to == from) return;
    SendMessage(TCM_DELETEITEM, static_cast<WPARAM>(from));
    InsertRawTab(bar, to);
    SelectTab(to);
}

void COXDockTabCtrl::RemoveTab(CControlBar* bar) {
    const int index = FindBar(bar);
    if (index < 0) return;
    SendMessage(TCM_DELETEITEM, static_cast<WPARAM>(index));
    if (m_pDockBar->CountSizeControlBars(bar) == 1) {
        // One other size bar left in the dock bar: no tab group any more; it stands as a plain
        // docked bar. A hidden bar of the group keeps it while it may come back as a tab.
        while (GetItemCount() > 0) {
            COXSizeControlBar* last = GetBar(0);
            SendMessage(TCM_DELETEITEM, 0);
            if (last && last->m_hWnd) {
                last->DelayShow(TRUE);
                last->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
                last->DelayShow(TRUE);
            }
        }
    } else if (GetItemCount() >= 1) {
        SelectTab(std::max(0, index - 1));
    }
    m_pDockBar->PlaceTabStrip();
    if (auto* frame = dynamic_cast<CFrameWnd*>(m_pDockBar->GetParent())) frame->DelayRecalcLayout();
}

void COXDockTabCtrl::SelectTab(int index) {
    SetCurSel(index);
    ShowSelectedBar();
}

void COXDockTabCtrl::ShowSelectedBar() {
    const int selected = GetCurSel();
    for (int i = 0; i < GetItemCount(); ++i) {
        COXSizeControlBar* bar = GetBar(i);
        if (!bar || !bar->m_hWnd) continue;
        const bool show = i == selected;
        if (static_cast<bool>(bar->GetStyle() & WS_VISIBLE) == show) continue;
        bar->DelayShow(show);
        bar->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
        bar->DelayShow(show);
    }
    if (auto* frame = dynamic_cast<CFrameWnd*>(m_pDockBar->GetParent())) frame->RecalcLayout();
}

BOOL COXDockTabCtrl::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == static_cast<UINT>(TCN_SELCHANGE)) {
        ShowSelectedBar();
        *result = 0;
        return TRUE;
    }
    return FALSE;
}

void COXDockTabCtrl::OnLButtonDown(UINT, CPoint point) {
    m_ptDown = point;
    m_bDown = TRUE;
    Default();
    // Held, so that a move that leaves the strip at once still drags the tab.
    if (m_hWnd && ::GetCapture() != m_hWnd) ::SetCapture(m_hWnd);
}

void COXDockTabCtrl::OnLButtonUp(UINT, CPoint) {
    m_bDown = FALSE;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    Default();
}

void COXDockTabCtrl::OnMouseMove(UINT flags, CPoint point) {
    if (m_bDown && (flags & MK_LBUTTON) && (std::abs(point.x - m_ptDown.x) >= 4 || std::abs(point.y - m_ptDown.y) >= 4)) {
        m_bDown = FALSE;
        // The tab under the pointer is the one that goes; a move so quick that it left the strip
        // at once takes the tab that was pressed.
        TCHITTESTINFO hit{};
        hit.pt = point;
        int index = static_cast<int>(SendMessage(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (index < 0) {
            hit.pt = m_ptDown;
            index = static_cast<int>(SendMessage(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        }
        CControlBar* entry = index >= 0 ? GetControlBar(index) : nullptr;
        if (auto* bar = dynamic_cast<COXSizeControlBar*>(entry)) {
            // The tab's bar follows the mouse as a size bar's own drag does.
            bar->ComputeDragOffset(CPoint(0, 0));
            bar->BeginToolkitDrag();
            return;
        }
        if (auto* toolbar = dynamic_cast<COXCoolToolBar*>(entry)) {
            // A toolbar's tab: the toolbar moves itself, its corner under the pointer.
            toolbar->SetDragOffset(0, 0);
            toolbar->BeginOwnDrag();
            return;
        }
    }
    if (!(flags & MK_LBUTTON)) m_bDown = FALSE;
    Default();
}
