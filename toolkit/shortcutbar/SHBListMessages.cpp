// The messages of the list: the list-view messages it answers from its own
// rectangles, the bar's private messages, and the in-place label edit.
#include "shortcutbar/SHBListCtrl.h"

#include "bars/CoolToolBar.h"
#include "shortcutbar/ShortcutBar.h"
#include "skins/SkinGdi.h"

const MessageMap* COXSHBListCtrl::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXSHBListCtrl::OnPaint>(WM_PAINT),
        MapMessage<&COXSHBListCtrl::OnSize>(WM_SIZE),
        MapMessage<&COXSHBListCtrl::OnLButtonDown>(WM_LBUTTONDOWN),
        MapMessage<&COXSHBListCtrl::OnLButtonDown>(WM_LBUTTONDBLCLK),
        MapMessage<&COXSHBListCtrl::OnLButtonUp>(WM_LBUTTONUP),
        MapMessage<&COXSHBListCtrl::OnMouseMove>(WM_MOUSEMOVE),
        MapMessage<&COXSHBListCtrl::OnTimer>(WM_TIMER),
        MapMessage<&COXSHBListCtrl::OnDestroy>(WM_DESTROY),
        MapMessage<&COXSHBListCtrl::OnSwallow>(WM_RBUTTONDOWN),
        MapMessage<&COXSHBListCtrl::OnSwallow>(WM_MBUTTONDOWN),
        MapMessage<&COXSHBListCtrl::OnRButtonUp>(WM_RBUTTONUP),
        MapMessage<&COXSHBListCtrl::OnAddItemCommands>(WM_SHB_ADDITEMCOMMANDS),
        MapMessage<&COXSHBListCtrl::OnAttachList>(WM_SHB_ATTACHLIST),
        MapMessage<&COXSHBListCtrl::OnGroupChanged>(WM_SHB_GROUPCHANGED),
        MapMessage<&COXSHBListCtrl::OnBarChanged>(WM_SHB_BARCHANGED),
        MapMessage<&COXSHBListCtrl::OnHotTrack>(WM_SHB_HOTTRACK),
        MapMessage<&COXSHBListCtrl::StartItemDrag>(WM_SHB_STARTITEMDRAG),
        MapMessage<&COXSHBListCtrl::OnDragEnter>(WM_DRAGRELAY_ENTER),
        MapMessage<&COXSHBListCtrl::OnDragOver>(WM_DRAGRELAY_OVER),
        MapMessage<&COXSHBListCtrl::OnDragLeave>(WM_DRAGRELAY_LEAVE),
        MapMessage<&COXSHBListCtrl::OnDrop>(WM_DRAGRELAY_DROP),
        MapMessage<&COXSHBListCtrl::OnCtlColorEdit>(WM_CTLCOLOREDIT),
        MapMessage<&COXSHBListCtrl::OnMouseWheel>(WM_MOUSEWHEEL),
    };
    static const MessageMap map{CListCtrl::GetMessageMap(), entries};
    return &map;
}

LRESULT COXSHBListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return TRUE;
    if (message == WM_THEMECHANGED || message == WM_SYSCOLORCHANGE || message == WM_SETTINGCHANGE) {
        ShortcutBarColorCache::ColorsChanged();
        Invalidate(FALSE);
    }
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEWHEEL && message != WM_MOUSEHWHEEL)
        RelayToInfoTip(message, wParam, lParam);
    LRESULT result = 0;
    if (message >= LVM_FIRST && message < LVM_FIRST + 0x100 && HandleListMessage(message, wParam, lParam, result)) return result;
    return CListCtrl::WindowProc(message, wParam, lParam);
}

BOOL COXSHBListCtrl::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header && header->code == SHBN_ENDEDIT && header->hwndFrom == m_edit.m_hWnd) {
        *result = OnEditEnded(reinterpret_cast<SHBNotifyInfo*>(lParam));
        return TRUE;
    }
    if (header && header->hwndFrom && header->hwndFrom == m_infoTip.GetSafeHwnd() && header->idFrom &&
        (header->code == TTN_GETDISPINFOW || header->code == TTN_GETDISPINFOA)) {
        SHBToolTipInfo tip{};
        Notify(SHBN_GETITEMINFOTIP, static_cast<int>(header->idFrom - 1), reinterpret_cast<LPARAM>(&tip));
        AnswerToolTipRequest(header, tip);
        *result = 0;
        return TRUE;
    }
    return CListCtrl::OnNotify(wParam, lParam, result);
}

void COXSHBListCtrl::RelayToInfoTip(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!(GetBarStyle() & SHBS_INFOTIP)) {
        m_infoTip.Destroy();
        return;
    }
    int code = 0;
    const int item = m_edit.IsEditing() || m_bOleDragOver ? -1 : HitTest(CPoint(lParam), &code, TRUE);
    const bool onItem = item >= 0 && (code == LVHT_ONITEMICON || code == LVHT_ONITEMLABEL);
    CRect bounds;
    if (onItem) bounds.UnionRect(GetItemIconRect(item), GetItemLabelRect(item));
    m_infoTip.Relay(m_hWnd, message, wParam, lParam, onItem ? static_cast<UINT_PTR>(item) + 1 : 0, bounds);
}

LRESULT COXSHBListCtrl::OnCtlColorEdit(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(lParam) == m_edit.m_hWnd) return reinterpret_cast<LRESULT>(m_edit.OnCtlColor(reinterpret_cast<HDC>(wParam)));
    return Default();
}

void COXSHBListCtrl::ClearIndexes() {
    m_nPressedItem = m_nHotItem = m_nLastHotItem = m_nSelectedItem = -1;
    m_nPressItem = m_nInsertItem = -1;
    if (m_nDragItem >= 0) m_nDragItem = -1;
    if (m_nEditItem >= 0) {
        m_nEditItem = -1;
        m_edit.EndEdit(FALSE);
    }
}

void COXSHBListCtrl::ShiftIndexes(int index, int delta) {
    for (int* slot : {&m_nPressedItem, &m_nHotItem, &m_nLastHotItem, &m_nSelectedItem, &m_nDragItem, &m_nPressItem, &m_nEditItem}) {
        if (*slot < 0) continue;
        if (delta > 0 && *slot >= index) ++*slot;
        else if (delta < 0 && *slot == index) *slot = -1;
        else if (delta < 0 && *slot > index) --*slot;
    }
    // The insertion point lies between items: one at or after a new item moves with it.
    if (m_nInsertItem >= 0) {
        if (delta > 0 && m_nInsertItem > index) ++m_nInsertItem;
        else if (delta < 0 && m_nInsertItem > index) --m_nInsertItem;
    }
}

bool COXSHBListCtrl::HandleListMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const int count = ItemCount();
    switch (message) {
    case LVM_GETBKCOLOR:
    case LVM_GETTEXTBKCOLOR:
        if (!m_pShortcutBar) return false;
        result = static_cast<LRESULT>(m_pShortcutBar->GetGroupBkColor(m_hGroup));
        return true;
    case LVM_SETBKCOLOR:
        if (!m_pShortcutBar) return false;
        result = m_pShortcutBar->SetGroupBkColor(m_hGroup, static_cast<COLORREF>(lParam));
        return true;
    case LVM_GETTEXTCOLOR:
        if (!m_pShortcutBar) return false;
        result = static_cast<LRESULT>(m_pShortcutBar->GetGroupTextColor(m_hGroup));
        return true;
    case LVM_SETTEXTCOLOR:
        if (!m_pShortcutBar) return false;
        result = m_pShortcutBar->SetGroupTextColor(m_hGroup, static_cast<COLORREF>(lParam));
        return true;
    case LVM_SETTEXTBKCOLOR:
        if (!m_pShortcutBar) return false;
        result = 0;
        return true;
    case LVM_INSERTITEMW: {
        result = Default();
        const int index = static_cast<int>(result);
        if (index >= 0) {
            ShiftIndexes(index, +1);
            Notify(SHBN_INSERTITEM, lParam ? reinterpret_cast<const LVITEMW*>(lParam)->iItem : index, lParam);
            Relayout(TRUE);
        }
        return true;
    }
    case LVM_DELETEITEM: {
        const int index = static_cast<int>(wParam);
        Notify(SHBN_DELETEITEM, index);
        result = Default();
        if (result) {
            ShiftIndexes(index, -1);
            if (m_nEditItem < 0 && m_edit.IsEditing()) m_edit.EndEdit(FALSE);
            Relayout(FALSE);
            // Nothing left in sight: back to the top.
            if (!m_mapItemToBoundRect.empty() && m_mapItemToBoundRect.rbegin()->second.bottom - m_ptOrigin.y < ContentRect().top) {
                m_ptOrigin = CPoint();
                CalculateScrollButtons();
            } else if (m_mapItemToBoundRect.empty()) {
                m_ptOrigin = CPoint();
            }
            if (!m_bOleDragOver) Invalidate(FALSE);
        }
        return true;
    }
    case LVM_DELETEALLITEMS:
        Notify(SHBN_DELETEALLITEMS);
        result = Default();
        m_ptOrigin = CPoint();
        ClearIndexes();
        Relayout(TRUE);
        return true;
    case LVM_SETITEMW:
    case LVM_SETITEMTEXTW:
        result = Default();
        Relayout(TRUE);
        return true;
    case LVM_SORTITEMS:
        result = Default();
        m_nPressedItem = m_nSelectedItem = -1;
        Relayout(TRUE);
        return true;
    case LVM_GETITEMRECT: {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        const int item = static_cast<int>(wParam);
        result = FALSE;
        if (!rect || item < 0 || item >= count || !m_mapItemToBoundRect.count(item)) return true;
        const int code = rect->left;
        CRect r;
        if (code == LVIR_BOUNDS) r.UnionRect(GetItemIconRect(item), GetItemLabelRect(item));
        else if (code == LVIR_ICON) r = GetItemIconRect(item);
        else if (code == LVIR_LABEL) r = GetItemLabelRect(item);
        else if (code == -1) r = GetItemFullRect(item);
        else return true;
        *rect = r;
        result = TRUE;
        return true;
    }
    case LVM_GETITEMPOSITION: {
        const int item = static_cast<int>(wParam);
        result = FALSE;
        if (lParam && item >= 0 && item < count && m_mapItemToBoundRect.count(item)) {
            *reinterpret_cast<POINT*>(lParam) = GetItemFullRect(item).TopLeft();
            result = TRUE;
        }
        return true;
    }
    case LVM_GETVIEWRECT: {
        if (!lParam) return (result = FALSE), true;
        CRect view = ContentRect();
        view.bottom = m_mapItemToBoundRect.empty() ? view.top : m_mapItemToBoundRect.rbegin()->second.bottom;
        *reinterpret_cast<RECT*>(lParam) = view;
        result = TRUE;
        return true;
    }
    case LVM_GETORIGIN:
        if (lParam) *reinterpret_cast<POINT*>(lParam) = m_ptOrigin;
        result = TRUE;
        return true;
    case LVM_HITTEST: {
        auto* info = reinterpret_cast<LVHITTESTINFO*>(lParam);
        if (!info) return (result = -1), true;
        int code = 0;
        info->iItem = HitTest(info->pt, &code, FALSE);
        info->flags = static_cast<UINT>(code);
        result = info->iItem;
        return true;
    }
    case LVM_FINDITEMW: {
        const auto* find = reinterpret_cast<const LVFINDINFOW*>(lParam);
        if (!find || !(find->flags & LVFI_NEARESTXY)) return false;
        result = FindNearest(find, static_cast<int>(wParam));
        return true;
    }
    case LVM_GETTOPINDEX:
        result = count ? NearestItemDown(AddPoints(CPoint(0, 2), m_ptOrigin)) : -1;
        return true;
    case LVM_GETCOUNTPERPAGE: {
        CRect client, visible;
        GetClientRect(&client);
        int n = 0;
        for (const auto& entry : m_mapItemToBoundRect) n += visible.IntersectRect(GetItemFullRect(entry.first), client) ? 1 : 0;
        result = n;
        return true;
    }
    case LVM_ENSUREVISIBLE: result = EnsureVisible(static_cast<int>(wParam), static_cast<BOOL>(lParam)); return true;
    case LVM_SCROLL: result = Scroll(static_cast<int>(wParam), static_cast<int>(lParam)); return true;
    case LVM_REDRAWITEMS:
        result = TRUE;
        for (int i = static_cast<int>(wParam); i <= static_cast<int>(lParam); ++i) {
            if (!RedrawItem(i)) return (result = FALSE), true;
        }
        return true;
    case LVM_UPDATE: result = RedrawItem(static_cast<int>(wParam)); return true;
    case LVM_GETHOTITEM: result = m_nHotItem; return true;
    case LVM_SETHOTITEM: result = SetHotItem(static_cast<int>(wParam)); return true;
    case LVM_GETEDITCONTROL: result = reinterpret_cast<LRESULT>(m_edit.m_hWnd); return true;
    case LVM_EDITLABELW: result = EditLabel(static_cast<int>(wParam)) ? reinterpret_cast<LRESULT>(m_edit.m_hWnd) : 0; return true;
    case LVM_CREATEDRAGIMAGE: {
        CPoint corner;
        result = reinterpret_cast<LRESULT>(CreateItemDragImage(static_cast<int>(wParam), &corner));
        if (result && lParam) *reinterpret_cast<POINT*>(lParam) = corner;
        return true;
    }
    default: return false;
    }
}

int COXSHBListCtrl::NearestItemDown(CPoint p) const {
    for (const auto& [item, r] : m_mapItemToBoundRect) {
        if (r.bottom > p.y) return item;
    }
    return -1;
}

int COXSHBListCtrl::FindNearest(const LVFINDINFOW* find, int start) const {
    const int count = static_cast<int>(m_mapItemToBoundRect.size());
    if (!count) return -1;
    const CPoint p = AddPoints(find->pt, m_ptOrigin);
    const int first = start < 0 ? 0 : start + 1;
    const int span = (find->flags & LVFI_WRAP) ? count : count - first;
    int best = -1, bestDistance = INT_MAX;
    for (int k = 0; k < span; ++k) {
        const int i = (first + k) % count;
        const CRect& r = m_mapItemToBoundRect.at(i);
        if (r.PtInRect(p) || (p.y >= r.top && p.y < r.bottom)) return i;
        int distance = -1;
        if (find->vkDirection == VK_UP && r.bottom <= p.y) distance = p.y - r.bottom;
        else if (find->vkDirection == VK_DOWN && r.top > p.y) distance = r.top - p.y;
        if (distance > 0 && distance < bestDistance) best = i, bestDistance = distance;
    }
    return best;
}

// Messages from the bar -----------------------------------------------------------------------------

LRESULT COXSHBListCtrl::OnAttachList(WPARAM, LPARAM lParam) {
    m_pShortcutBar = dynamic_cast<COXShortcutBar*>(GetParent());
    m_hGroup = reinterpret_cast<HSHBGROUP>(lParam);
    Relayout(TRUE);
    return 0;
}

LRESULT COXSHBListCtrl::OnGroupChanged(WPARAM, LPARAM mask) {
    if (mask & SHBIF_VIEW) m_ptOrigin = CPoint();
    if (mask & (SHBIF_VIEW | SHBIF_DESCRIPTOR)) Relayout(TRUE);
    return 0;
}

LRESULT COXSHBListCtrl::OnBarChanged(WPARAM, LPARAM flags) {
    if (flags & (0x1 | 0x20)) CalculateScrollButtons();
    if (flags & 0x20) Invalidate(FALSE);
    return 0;
}

// Each notch of the wheel scrolls by as many items as the system's wheel lines say.
LRESULT COXSHBListCtrl::OnMouseWheel(WPARAM wParam, LPARAM) {
    m_nWheelDelta += GET_WHEEL_DELTA_WPARAM(wParam);
    UINT lines = 3;
    ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    lines = std::clamp(lines, 1u, 20u);
    // Every line of every notch is one item; the list moves once, by their sum.
    int originY = m_ptOrigin.y;
    for (; std::abs(m_nWheelDelta) >= WHEEL_DELTA; m_nWheelDelta += m_nWheelDelta > 0 ? -WHEEL_DELTA : WHEEL_DELTA) {
        for (UINT i = 0; i < lines; ++i) originY += OneItemStep(m_nWheelDelta > 0 ? -1 : 1, originY);
    }
    if (originY != m_ptOrigin.y) Scroll(0, originY - m_ptOrigin.y);
    return 0;
}

LRESULT COXSHBListCtrl::OnRButtonUp(WPARAM wParam, LPARAM lParam) {
    // The window's default: one WM_CONTEXTMENU (the list-view control would ask for a second).
    const LRESULT result = ::DefWindowProcW(m_hWnd, WM_RBUTTONUP, wParam, lParam);
    if (COXCoolToolBar::GetComCtlVersion() < 0x40047) {
        CPoint screen(lParam);
        ClientToScreen(&screen);
        PostMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(screen.x, screen.y));
    }
    return result;
}

LRESULT COXSHBListCtrl::OnAddItemCommands(WPARAM, LPARAM lParam) {
    auto* info = reinterpret_cast<SHBContextMenuInfo*>(lParam);
    if (!info || info->pShortcutBar != m_pShortcutBar || info->hGroup != m_hGroup || !(GetBarStyle() & SHBS_EDITITEMS)) return 0;
    CPoint point = info->point;
    ScreenToClient(&point);
    int code = 0;
    // On an item's icon, its label or the box they span; not elsewhere in its row.
    if (HitTest(point, &code) < 0 || code == SHBLC_ONITEM) return 0;
    if (::GetMenuItemCount(info->hMenu) > 0) ::AppendMenuW(info->hMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(info->hMenu, MF_STRING, SHB_IDMRENAMEITEM, ShortcutBarMenuText(SHB_IDMRENAMEITEM));
    ::AppendMenuW(info->hMenu, MF_STRING, SHB_IDMREMOVEITEM, ShortcutBarMenuText(SHB_IDMREMOVEITEM));
    return 1;
}

// Label edit ---------------------------------------------------------------------------------------------

BOOL COXSHBListCtrl::EditLabel(int item) {
    if (!(GetBarStyle() & SHBS_EDITITEMS) || item < 0 || item >= ItemCount() || !m_mapItemToTextRect.count(item)) return FALSE;
    if (m_edit.IsEditing()) m_edit.EndEdit(TRUE);
    if (item >= ItemCount()) return FALSE;  // the accepted edit may have changed the items
    const CString text = GetItemText(item);
    if (Notify(SHBN_BEGINITEMEDIT, item, reinterpret_cast<LPARAM>(text.GetString()))) return FALSE;
    CRect label = GetItemLabelRect(item);
    if (text.IsEmpty()) {
        // An empty label leaves no room to type in: the edit opens over one made for a blank.
        CClientDC dc(this);
        SelectedObject keep(dc, LabelFont(false));
        label = LayOutItem(CurrentLayoutFrame(), item, CString(L" "), m_mapItemToBoundRect.at(item).top, dc).label;
        label.OffsetRect(-m_ptOrigin.x, -m_ptOrigin.y);
    }
    CRect client;
    GetClientRect(&client);
    CRect visible;
    if (!visible.IntersectRect(label, client) || visible != label) return FALSE;
    const bool large = GetView() == SHB_LARGEICON;
    if (!large) label.OffsetRect(-2, 0);
    if (label.Width() < 10) {
        const int centre = label.CenterPoint().x;
        if (large) label.left = centre - 5;
        label.right = label.left + 10;
    }
    label.IntersectRect(label, client);
    LOGFONTW lf{};
    CFont font;
    if (m_pShortcutBar && m_pShortcutBar->GetGroupTextFont(m_hGroup, &lf)) font.CreateFontIndirect(&lf);
    SHBEditInfo info{};
    info.nMask = SHBEIF_TEXT | SHBEIF_RECTDISPLAY | SHBEIF_RECTMAX | SHBEIF_STYLE | SHBEIF_ENLARGE | SHBEIF_SELRANGE | SHBEIF_FONT | SHBEIF_RECTMIN;
    info.pszText = text;
    info.rectDisplay = label;
    info.rectMax = client;
    info.rectMin = label;
    info.bEnlargeAsTyping = TRUE;
    info.nTextSelStart = 0;
    info.nTextSelEnd = -1;
    info.hFont = font.GetSafeHandle() ? static_cast<HFONT>(font.GetSafeHandle()) : (GetFont() ? GetFont() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
    info.dwStyle = WS_CHILD | (large ? 0x800045 : 0x800080);
    m_nEditItem = item;
    if (!m_edit.StartEdit(&info)) {
        m_nEditItem = -1;
        return FALSE;
    }
    return TRUE;
}

LRESULT COXSHBListCtrl::OnEditEnded(SHBNotifyInfo* info) {
    const int item = m_nEditItem;
    m_nEditItem = -1;
    // An item deleted while its label was open is gone: nothing is written anywhere.
    if (!IsEditAccepted(*info) || item < 0 || item >= ItemCount()) return 0;
    const CString text = m_edit.GetWindowText();
    if (!Notify(SHBN_ENDITEMEDIT, item, reinterpret_cast<LPARAM>(text.GetString()))) SetItemText(item, 0, text);
    return 0;
}
