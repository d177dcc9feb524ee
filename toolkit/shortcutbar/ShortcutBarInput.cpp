// The shortcut bar under the mouse and keyboard: pressing, hot-tracking and
// dragging headers, hover-expand, OLE drags over headers, the context menu and
// its commands, and the header rename edit.
#include "shortcutbar/ShortcutBar.h"

#include "app/WinApp.h"
#include "shortcutbar/SHBListCtrl.h"
#include "wnd/CmdTarget.h"

const MessageMap* COXShortcutBar::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXShortcutBar::OnPaint>(WM_PAINT),
        MapMessage<&COXShortcutBar::OnEraseBkgnd>(WM_ERASEBKGND),
        MapMessage<&COXShortcutBar::OnNcHitTest>(WM_NCHITTEST),
        MapMessage<&COXShortcutBar::OnSize>(WM_SIZE),
        MapMessage<&COXShortcutBar::OnLButtonDown>(WM_LBUTTONDOWN),
        MapMessage<&COXShortcutBar::OnLButtonDown>(WM_LBUTTONDBLCLK),
        MapMessage<&COXShortcutBar::OnMouseMove>(WM_MOUSEMOVE),
        MapMessage<&COXShortcutBar::OnLButtonUp>(WM_LBUTTONUP),
        MapMessage<&COXShortcutBar::OnTimer>(WM_TIMER),
        MapMessage<&COXShortcutBar::OnContextMenu>(WM_CONTEXTMENU),
        MapMessage<&COXShortcutBar::OnDestroy>(WM_DESTROY),
        MapMessage<&COXShortcutBar::OnCtlColorEdit>(WM_CTLCOLOREDIT),
        MapMessage<&COXShortcutBar::OnDragOver>(WM_DRAGRELAY_OVER),
        MapMessage<&COXShortcutBar::OnDragLeave>(WM_DRAGRELAY_LEAVE),
        MapCommand<&COXShortcutBar::OnLargeIcon>(SHB_IDMLARGEICON),
        MapCommand<&COXShortcutBar::OnSmallIcon>(SHB_IDMSMALLICON),
        MapCommand<&COXShortcutBar::OnAddNewGroup>(SHB_IDMADDNEWGROUP),
        MapCommand<&COXShortcutBar::OnRemoveGroup>(SHB_IDMREMOVEGROUP),
        MapCommand<&COXShortcutBar::OnRenameGroup>(SHB_IDMRENAMEGROUP),
        MapCommand<&COXShortcutBar::OnRemoveItem>(SHB_IDMREMOVEITEM),
        MapCommand<&COXShortcutBar::OnRenameItem>(SHB_IDMRENAMEITEM),
        MapUpdateUI<&COXShortcutBar::OnUpdateLargeIcon>(SHB_IDMLARGEICON),
        MapUpdateUI<&COXShortcutBar::OnUpdateSmallIcon>(SHB_IDMSMALLICON),
    };
    static const MessageMap map{CWnd::GetMessageMap(), entries};
    return &map;
}

LRESULT COXShortcutBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_THEMECHANGED || message == WM_SYSCOLORCHANGE || message == WM_SETTINGCHANGE) {
        // The skins keep the colours a theme gives: they are asked again.
        ShortcutBarColorCache::ColorsChanged();
        Invalidate(FALSE);
    }
    if ((m_dwBarStyle & SHBS_INFOTIP) && message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && message != WM_MOUSEWHEEL &&
        message != WM_MOUSEHWHEEL) {
        // The header under the mouse is the tip's one tool: its handle, its rectangle.
        int kind = SHB_NOWHERE;
        const HSHBGROUP group = HitTest(CPoint(lParam), &kind);
        const bool onHeader = kind == SHB_ONHEADER && group && !GetEditedGroup();
        m_infoTip.Relay(m_hWnd, message, wParam, lParam, onHeader ? reinterpret_cast<UINT_PTR>(group) : 0,
                        onHeader ? GetGroupHeaderRect(group) : CRect());
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL COXShortcutBar::OnCmdMsg(CommandCall& call) {
    CWnd* owner = CWnd::FromHandle(::GetWindow(m_hWnd, GW_OWNER) ? ::GetWindow(m_hWnd, GW_OWNER) : ::GetParent(m_hWnd));
    if (owner && !dynamic_cast<COXShortcutBar*>(owner) && !call.isNotify && owner->OnCmdMsg(call)) return TRUE;
    if (CWnd::OnCmdMsg(call)) return TRUE;
    if (CWnd* child = CWnd::FromHandlePermanent(GetGroupChildWnd(m_hExpandedGroup)); child && !dynamic_cast<COXShortcutBar*>(child) && child->OnCmdMsg(call))
        return TRUE;
    return !call.isNotify && AfxGetApp() && AfxGetApp()->OnCmdMsg(call);
}

BOOL COXShortcutBar::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header && header->code == SHBN_ENDEDIT && header->hwndFrom == m_edit.m_hWnd) {
        *result = OnEditEnded(reinterpret_cast<SHBNotifyInfo*>(lParam));
        return TRUE;
    }
    if (header && header->hwndFrom && header->hwndFrom == m_infoTip.GetSafeHwnd() && (header->code == TTN_GETDISPINFOW || header->code == TTN_GETDISPINFOA)) {
        SHBToolTipInfo tip{};
        const auto group = reinterpret_cast<HSHBGROUP>(header->idFrom);
        Notify(SHBN_GETHEADERINFOTIP, group, reinterpret_cast<LPARAM>(&tip));
        AnswerToolTipRequest(header, tip);
        return TRUE;
    }
    return CWnd::OnNotify(wParam, lParam, result);
}

LRESULT COXShortcutBar::OnCtlColorEdit(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(lParam) == m_edit.m_hWnd) return reinterpret_cast<LRESULT>(m_edit.OnCtlColor(reinterpret_cast<HDC>(wParam)));
    return Default();
}

void COXShortcutBar::OnSize(UINT, int, int) {
    Default();
    CalculateLayout();
    RepositionExpanded(TRUE);
    Invalidate(FALSE);
}

void COXShortcutBar::OnDestroy() {
    Default();
    m_infoTip.Destroy();
    KillTimer(kPressTimer);
    KillTimer(kHoverTimer);
    KillTimer(kHotTimer);
    if (m_pRegisteredTarget) {
        m_pRegisteredTarget->Revoke();
        m_pRegisteredTarget = nullptr;
    }
}

// Headers under the mouse -------------------------------------------------------------------------------

void COXShortcutBar::SetHotGroup(HSHBGROUP group) {
    if (group == m_hHotGroup) return;
    const HSHBGROUP old = m_hHotGroup;
    m_hHotGroup = group;
    if (m_dwBarStyle & SHBS_TRACKHEADERS) {
        RedrawHeader(old);
        RedrawHeader(group);
    }
}

void COXShortcutBar::ReleasePressedHeader() {
    if (!m_hPressedGroup || (::GetKeyState(VK_LBUTTON) & 0x8000)) return;
    const HSHBGROUP old = m_hPressedGroup;
    m_hPressedGroup = nullptr;
    RedrawHeader(old);
}

void COXShortcutBar::StopHoverTimer() {
    KillTimer(kHoverTimer);
    m_hHoverGroup = nullptr;
}

void COXShortcutBar::OnLButtonDown(UINT, CPoint point) {
    int kind = 0;
    HSHBGROUP group = HitTest(point, &kind);
    if (kind == SHB_ONHEADER) {
        if (m_dwBarStyle & SHBS_TRACKHEADERS) {
            m_hPressedGroup = group;
            RedrawHeader(group);
        } else {
            ExpandGroup(group);
        }
        int after = 0;
        if (!(m_dwBarStyle & SHBS_DISABLEDRAGHEADER) && HitTest(point, &after) == group && after == SHB_ONHEADER) {
            SetTimer(kPressTimer, 100);
            m_bPressTimerRunning = TRUE;
            m_hPressGroup = group;
            if (m_dwBarStyle & SHBS_DRAWHEADERDRAGIMAGE) m_ptDragOffset = SubtractPoints(point, GetGroupHeaderRect(group).TopLeft());
        }
    }
    Default();
}

void COXShortcutBar::BeginHeaderDrag() {
    m_hDragGroup = m_hPressGroup;
    m_hPressGroup = nullptr;
    if (m_dwBarStyle & SHBS_DRAWHEADERDRAGIMAGE) {
        if (m_hDragImage) ImageList_Destroy(m_hDragImage);
        m_hDragImage = CreateGroupDragImage(m_hDragGroup);
        if (m_hDragImage) {
            ImageList_BeginDrag(m_hDragImage, 0, m_ptDragOffset.x, m_ptDragOffset.y);
            CPoint cursor;
            ::GetCursorPos(&cursor);
            CRect window;
            GetWindowRect(&window);
            ImageList_DragEnter(m_hWnd, cursor.x - window.left, cursor.y - window.top);
        }
    }
    SetCapture(m_hWnd);
    Notify(SHBN_BEGINDRAGHEADER, m_hDragGroup, reinterpret_cast<LPARAM>(&m_ptDragOffset));
    RedrawHeader(m_hDragGroup);
}

void COXShortcutBar::TrackHeaderDrag(CPoint point) {
    int kind = 0;
    HSHBGROUP target = HitTest(point, &kind);
    if (kind != SHB_ONHEADER) {
        target = nullptr;
        CRect dragged = GetGroupHeaderRect(m_hDragGroup);
        if (m_hDragImage) dragged.OffsetRect(SubtractPoints(SubtractPoints(point, m_ptDragOffset), dragged.TopLeft()));
        CRect client, meet;
        GetClientRect(&client);
        CRect inside;
        const bool inChild = inside.IntersectRect(dragged, m_rectChild) && inside == dragged;
        if (meet.IntersectRect(dragged, client) && !inChild) {
            int best = 0;
            for (const auto& [handle, group] : m_groups) {
                CRect overlap;
                if (overlap.IntersectRect(group->header, dragged) && overlap.Width() * overlap.Height() > best)
                    best = overlap.Width() * overlap.Height(), target = handle;
            }
        }
    }
    if (target != m_hDropHeader) {
        if (m_hDragImage) ImageList_DragShowNolock(FALSE);
        const HSHBGROUP old = m_hDropHeader;
        m_hDropHeader = target;
        RedrawHeader(old);
        RedrawHeader(target);
        UpdateWindow();
        if (m_hDragImage) ImageList_DragShowNolock(TRUE);
    }
    ::SetCursor(::LoadCursorW(nullptr, target && target != m_hDragGroup ? IDC_ARROW : IDC_NO));
    if (m_hDragImage) {
        CPoint cursor;
        ::GetCursorPos(&cursor);
        CRect window;
        GetWindowRect(&window);
        ImageList_DragMove(cursor.x - window.left, cursor.y - window.top);
    }
}

void COXShortcutBar::EndHeaderDrag() {
    if (m_hDragImage) {
        ImageList_DragLeave(m_hWnd);
        ImageList_EndDrag();
        ImageList_Destroy(m_hDragImage);
        m_hDragImage = nullptr;
    }
    const HSHBGROUP dragged = m_hDragGroup, target = m_hDropHeader;
    m_hDragGroup = nullptr;
    m_hDropHeader = nullptr;
    Notify(SHBN_BEGINDRAGHEADER, nullptr);
    if (target && target != dragged && !Notify(SHBN_DROPGROUP, dragged, reinterpret_cast<LPARAM>(target))) {
        // The dragged group takes the target's order as SetGroupOrder gives it: the two swap.
        SetGroupOrder(dragged, GetGroupOrder(target));
    } else {
        RedrawHeader(dragged);
        RedrawHeader(target);
    }
    if (::GetCapture() == m_hWnd) ReleaseCapture();
}

void COXShortcutBar::OnMouseMove(UINT flags, CPoint point) {
    int kind = 0;
    HSHBGROUP under = HitTest(point, &kind);
    SetHotGroup(kind == SHB_ONHEADER ? under : nullptr);
    ReleasePressedHeader();
    if (m_hDragGroup) {
        TrackHeaderDrag(point);
    } else if (m_hPressGroup && !m_bPressTimerRunning && (flags & MK_LBUTTON) && kind == SHB_ONHEADER && under == m_hPressGroup &&
               !(m_dwBarStyle & SHBS_DISABLEDRAGHEADER)) {
        BeginHeaderDrag();
    } else if ((m_dwBarStyle & SHBS_AUTOEXPAND) && !(flags & MK_LBUTTON) && !m_hEditGroup && kind == SHB_ONHEADER &&
               under != m_hExpandedGroup) {
        if (under != m_hHoverGroup) {
            m_hHoverGroup = under;
            SetTimer(kHoverTimer, m_nAutoExpandDelay);
        }
    } else if (m_hHoverGroup) {
        StopHoverTimer();
    }
    Default();
}

void COXShortcutBar::OnLButtonUp(UINT, CPoint point) {
    if (m_hDragGroup) {
        EndHeaderDrag();
    } else {
        m_hPressGroup = nullptr;
        const HSHBGROUP pressed = m_hPressedGroup;
        m_hPressedGroup = nullptr;
        if (pressed && (m_dwBarStyle & SHBS_TRACKHEADERS)) {
            int kind = 0;
            if (HitTest(point, &kind) == pressed && kind == SHB_ONHEADER && pressed != m_hExpandedGroup) ExpandGroup(pressed);
            else RedrawHeader(pressed);
        }
    }
    Default();
}

void COXShortcutBar::OnTimer(UINT_PTR id) {
    ReleasePressedHeader();
    CPoint cursor;
    ::GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    int kind = 0;
    HSHBGROUP under = HitTest(cursor, &kind);
    switch (id) {
    case kPressTimer:
        KillTimer(kPressTimer);
        m_bPressTimerRunning = FALSE;
        break;
    case kHoverTimer: {
        KillTimer(kHoverTimer);
        const HSHBGROUP pending = m_hHoverGroup;
        m_hHoverGroup = nullptr;
        if (pending && kind == SHB_ONHEADER && under == pending) {
            if (m_bOleDragOver) RedrawHeader(pending);
            ExpandGroup(pending);
        }
        break;
    }
    case kHotTimer: {
        CPoint screen;
        ::GetCursorPos(&screen);
        SetHotGroup(::WindowFromPoint(screen) == m_hWnd && kind == SHB_ONHEADER ? under : nullptr);
        break;
    }
    default: break;
    }
}

// OLE drags over the headers ---------------------------------------------------------------------------

LRESULT COXShortcutBar::OnDragOver(WPARAM, LPARAM lParam) {
    if (m_dwBarStyle & SHBS_DISABLEDRAGDROP) return 0;
    auto* relay = reinterpret_cast<OXDRAGTARGETRELAY*>(lParam);
    if (!relay) return 0;
    if (Notify(SHBN_DRAGOVER, nullptr, lParam)) return 1;
    relay->result = DROPEFFECT_NONE;
    m_bOleDragOver = TRUE;
    int kind = 0;
    HSHBGROUP group = HitTest(relay->point, &kind);
    if (kind == SHB_ONHEADER && group != m_hExpandedGroup) {
        if (group != m_hHoverGroup) {
            const HSHBGROUP old = m_hHoverGroup;
            m_hHoverGroup = group;
            m_dwHoverStart = ::GetTickCount();
            SetTimer(kHoverTimer, m_nAutoExpandDelay / 4);
            RedrawHeader(old);
            RedrawHeader(group);
        } else if (::GetTickCount() - m_dwHoverStart >= m_nAutoExpandDelay / 4) {
            // The platform's drag loop may hold timer messages back: the moves count time too.
            KillTimer(kHoverTimer);
            m_hHoverGroup = nullptr;
            RedrawHeader(group);
            ExpandGroup(group);
        }
    } else if (m_hHoverGroup) {
        const HSHBGROUP old = m_hHoverGroup;
        StopHoverTimer();
        RedrawHeader(old);
    }
    return 1;
}

LRESULT COXShortcutBar::OnDragLeave(WPARAM, LPARAM lParam) {
    if (m_dwBarStyle & SHBS_DISABLEDRAGDROP) return 0;
    const HSHBGROUP old = m_hHoverGroup;
    if (!Notify(SHBN_DRAGLEAVE, nullptr, lParam)) StopHoverTimer();
    m_bOleDragOver = FALSE;
    RedrawHeader(old);
    return 1;
}

// Renaming ---------------------------------------------------------------------------------------------

BOOL COXShortcutBar::EditGroupHeader(HSHBGROUP group) {
    if (!(m_dwBarStyle & SHBS_EDITHEADERS) || !Find(group)) return FALSE;
    if (m_edit.IsEditing()) m_edit.EndEdit(TRUE);
    if (!Find(group)) return FALSE;
    const CString text = GetGroupText(group);
    if (Notify(SHBN_BEGINHEADEREDIT, group, reinterpret_cast<LPARAM>(text.GetString()))) return FALSE;
    const CRect header = GetGroupHeaderRect(group);
    CRect client, inside;
    GetClientRect(&client);
    if (header.IsRectEmpty() || !inside.IntersectRect(header, client) || inside != header) return FALSE;
    LOGFONTW lf{};
    GetGroupHeaderTextFont(group, &lf);
    CFont font;
    font.CreateFontIndirect(&lf);
    SHBEditInfo info{};
    info.nMask = SHBEIF_TEXT | SHBEIF_RECTDISPLAY | SHBEIF_STYLE | SHBEIF_SELRANGE | SHBEIF_FONT;
    info.pszText = text;
    info.rectDisplay = header;
    info.dwStyle = WS_CHILD | 0x800080;
    info.nTextSelStart = 0;
    info.nTextSelEnd = -1;
    info.hFont = font;
    m_hEditGroup = group;
    if (!m_edit.StartEdit(&info)) {
        m_hEditGroup = nullptr;
        return FALSE;
    }
    return TRUE;
}

LRESULT COXShortcutBar::OnEditEnded(SHBNotifyInfo* info) {
    const HSHBGROUP group = m_hEditGroup;
    m_hEditGroup = nullptr;
    if (!Find(group)) return 0;  // deleted while its name was open
    if (IsEditAccepted(*info)) {
        const CString text = m_edit.GetWindowText();
        if (!Notify(SHBN_ENDHEADEREDIT, group, reinterpret_cast<LPARAM>(text.GetString()))) {
            SetGroupText(group, text);
            RedrawHeader(group);
        }
    } else {
        const CString text = GetGroupText(group);
        Notify(SHBN_ENDHEADEREDIT, group, reinterpret_cast<LPARAM>(text.GetString()));
    }
    return 0;
}

BOOL COXShortcutBar::EditItemLabel(HSHBGROUP group, int item) {
    if (!(m_dwBarStyle & SHBS_EDITITEMS)) return FALSE;
    COXSHBListCtrl* list = GetGroupListCtrl(group);
    return list && list->EditLabel(item);
}

// Context menu and its commands -----------------------------------------------------------------------

LRESULT COXShortcutBar::OnContextMenu(WPARAM, LPARAM lParam) {
    StopHoverTimer();
    CPoint screen(lParam);
    if (screen.x == -1 && screen.y == -1) {
        CRect window;
        GetWindowRect(&window);
        screen = window.TopLeft();
    }
    CPoint point = screen;
    ScreenToClient(&point);
    int kind = 0;
    HSHBGROUP group = HitTest(point, &kind);
    if (kind != SHB_ONHEADER) group = m_hExpandedGroup;
    m_hContextGroup = group;
    HMENU menu = ::CreatePopupMenu();
    const bool edit = (m_dwBarStyle & SHBS_EDITHEADERS) != 0;
    if (edit) ::AppendMenuW(menu, MF_STRING, SHB_IDMADDNEWGROUP, ShortcutBarMenuText(SHB_IDMADDNEWGROUP));
    SHBContextMenuInfo info{menu, this, group, screen};
    if (group) {
        if (edit) ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        const bool large = GetGroupView(m_hExpandedGroup) == SHB_LARGEICON;
        ::AppendMenuW(menu, MF_STRING | (large ? MF_CHECKED : 0), SHB_IDMLARGEICON, ShortcutBarMenuText(SHB_IDMLARGEICON));
        ::AppendMenuW(menu, MF_STRING | (large ? 0 : MF_CHECKED), SHB_IDMSMALLICON, ShortcutBarMenuText(SHB_IDMSMALLICON));
        if (edit) {
            ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(menu, MF_STRING, SHB_IDMREMOVEGROUP, ShortcutBarMenuText(SHB_IDMREMOVEGROUP));
            ::AppendMenuW(menu, MF_STRING, SHB_IDMRENAMEGROUP, ShortcutBarMenuText(SHB_IDMRENAMEGROUP));
        }
        if (kind == SHB_ONCHILD) {
            if (HWND child = GetGroupChildWnd(group)) ::SendMessageW(child, WM_SHB_ADDITEMCOMMANDS, 0, reinterpret_cast<LPARAM>(&info));
        }
    }
    if (!Notify(SHBN_CONTEXTMENU, group, reinterpret_cast<LPARAM>(&info)) && ::GetMenuItemCount(menu) > 0)
        ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, 0, m_hWnd, nullptr);
    ::DestroyMenu(menu);
    return 0;
}

void COXShortcutBar::OnLargeIcon() {
    if (m_hExpandedGroup && GetGroupView(m_hExpandedGroup) != SHB_LARGEICON) SetGroupView(m_hExpandedGroup, SHB_LARGEICON);
    RepositionExpanded(TRUE);
}

void COXShortcutBar::OnSmallIcon() {
    if (m_hExpandedGroup && GetGroupView(m_hExpandedGroup) != SHB_SMALLICON) SetGroupView(m_hExpandedGroup, SHB_SMALLICON);
    RepositionExpanded(TRUE);
}

void COXShortcutBar::OnUpdateLargeIcon(CCmdUI* ui) {
    if (m_hExpandedGroup) ui->SetCheck(GetGroupView(m_hExpandedGroup) == SHB_LARGEICON);
}

void COXShortcutBar::OnUpdateSmallIcon(CCmdUI* ui) {
    if (m_hExpandedGroup) ui->SetCheck(GetGroupView(m_hExpandedGroup) == SHB_SMALLICON);
}

void COXShortcutBar::OnAddNewGroup() {
    SHB_GROUPINFO info;
    info.nMask = SHBIF_TEXT;
    HSHBGROUP group = InsertGroup(&info);
    if (!group) return;
    if (GetGroupCount() == 1) ExpandGroup(group);
    UpdateWindow();
    EditGroupHeader(group);
}

void COXShortcutBar::OnRemoveGroup() {
    if (m_hContextGroup) DeleteGroup(m_hContextGroup);
}

void COXShortcutBar::OnRenameGroup() {
    if (m_hContextGroup) EditGroupHeader(m_hContextGroup);
}

void COXShortcutBar::OnRemoveItem() {
    COXSHBListCtrl* list = GetGroupListCtrl(m_hExpandedGroup);
    if (!list) return;
    const int item = list->GetHotItem() >= 0 ? list->GetHotItem() : list->GetLastHotItem();
    if (item >= 0 && item < list->GetItemCount()) list->DeleteItem(item);
}

void COXShortcutBar::OnRenameItem() {
    COXSHBListCtrl* list = GetGroupListCtrl(m_hExpandedGroup);
    if (!list) return;
    const int item = list->GetHotItem() >= 0 ? list->GetHotItem() : list->GetLastHotItem();
    if (item < 0 || item >= list->GetItemCount()) return;
    list->EnsureVisible(item, FALSE);
    list->UpdateWindow();
    EditItemLabel(m_hExpandedGroup, item);
}
