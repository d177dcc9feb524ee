// The list under the mouse: hit testing, pressed, hot and selected items,
// hot tracking by a polling timer, and scrolling by the scroll buttons.
#include "shortcutbar/SHBListCtrl.h"

#include "shortcutbar/ShortcutBar.h"

#include <algorithm>

int COXSHBListCtrl::HitTest(CPoint point, int* code, BOOL ignoreButtons) const {
    int dummy = 0;
    int& out = code ? *code : dummy;
    if (!ignoreButtons && !(GetBarStyle() & SHBS_NOSCROLL)) {
        if (m_rectTopScroll.PtInRect(point)) return (out = SHBLC_ONUPBUTTON), -1;
        if (m_rectBottomScroll.PtInRect(point)) return (out = SHBLC_ONDOWNBUTTON), -1;
    }
    const CPoint p = AddPoints(point, m_ptOrigin);
    CRect view = ContentRect();
    if (!m_mapItemToBoundRect.empty()) view.bottom = m_mapItemToBoundRect.rbegin()->second.bottom;
    if (!view.PtInRect(p)) {
        out = 0;
        if (p.x < view.left) out |= LVHT_TOLEFT;
        if (p.x >= view.right) out |= LVHT_TORIGHT;
        if (p.y < view.top) out |= LVHT_ABOVE;
        if (p.y >= view.bottom) out |= LVHT_BELOW;
        return -1;
    }
    for (const auto& [item, full] : m_mapItemToBoundRect) {
        if (!full.PtInRect(p)) continue;
        const CRect& icon = m_mapItemToImageRect.at(item);
        const CRect& label = m_mapItemToTextRect.at(item);
        if (icon.PtInRect(p)) out = LVHT_ONITEMICON;
        else if (label.PtInRect(p)) out = LVHT_ONITEMLABEL;
        else {
            CRect box;
            box.UnionRect(icon, label);
            out = box.PtInRect(p) ? SHBLC_ONIMAGEANDLABEL : SHBLC_ONITEM;
        }
        return item;
    }
    out = LVHT_NOWHERE;
    return -1;
}

int COXSHBListCtrl::SetPressedItem(int item) {
    const int old = m_nPressedItem;
    if (item == old || Notify(SHBN_PRESSITEM, item)) return old;
    m_nPressedItem = item;
    return old;
}

int COXSHBListCtrl::SetSelectedItem(int item) {
    const int old = m_nSelectedItem;
    if (item == old || Notify(SHBN_SELECTITEM, item)) return old;
    m_nSelectedItem = item;
    RedrawItem(old);
    RedrawItem(item);
    return old;
}

int COXSHBListCtrl::SetHotItem(int item) {
    const int old = m_nHotItem;
    if (item == old || Notify(SHBN_HOTITEM, item)) return old;
    m_nLastHotItem = old;
    m_nHotItem = item;
    return old;
}

void COXSHBListCtrl::OnLButtonDown(UINT, CPoint point) {
    if (::GetFocus() != m_hWnd && !m_edit.IsEditing()) SetFocus();
    int code = 0;
    const int item = HitTest(point, &code);
    if (code == SHBLC_ONUPBUTTON || code == SHBLC_ONDOWNBUTTON) {
        StartScrolling(code == SHBLC_ONUPBUTTON ? -1 : 1, FALSE);
        return;
    }
    if (m_bAutoScrolling) StopScrolling();
    // The item's icon, its label or the box they span; the rest of its row is no press.
    if (item < 0 || code == SHBLC_ONITEM) return;
    const int old = SetPressedItem(item);
    if (!(GetBarStyle() & SHBS_DISABLEDRAGITEM) && m_nPressedItem == item) {
        m_ptPress = point;
        m_nPressItem = item;
        if (GetBarStyle() & SHBS_DRAWITEMDRAGIMAGE) m_ptDragImage = SubtractPoints(point, GetItemIconRect(item).TopLeft());
    }
    RedrawItem(item);
    RedrawItem(old);
}

void COXSHBListCtrl::OnLButtonUp(UINT, CPoint point) {
    Default();
    m_nPressItem = -1;
    int code = 0;
    const int item = HitTest(point, &code);
    if (item >= 0 && item == m_nPressedItem) SetSelectedItem(item);
    if (m_nPressedItem >= 0) {
        const int old = m_nPressedItem;
        SetPressedItem(-1);
        RedrawItem(old);
    }
    if ((m_bScrollingUp || m_bScrollingDown) && !m_bAutoScrolling) StopScrolling();
}

void COXSHBListCtrl::OnMouseMove(UINT flags, CPoint point) {
    if (m_edit.IsEditing() || (m_pShortcutBar && m_pShortcutBar->GetEditedGroup())) return;
    CheckHotTracking({point, (flags & MK_LBUTTON) != 0});
}

COXSHBListCtrl::MouseState COXSHBListCtrl::CurrentMouse() const {
    MouseState mouse;
    ::GetCursorPos(&mouse.client);
    ScreenToClient(&mouse.client);
    mouse.leftDown = (::GetKeyState(VK_LBUTTON) & 0x8000) != 0;
    return mouse;
}

void COXSHBListCtrl::CheckHotTracking(const MouseState& mouse) {
    CPoint screen = mouse.client;
    ClientToScreen(&screen);
    const bool over = ::WindowFromPoint(screen) == m_hWnd && IsWindowEnabled();
    if (over) {
        if (!m_bHotTimer) {
            SetTimer(kHotTrackTimer, 200);
            m_bHotTimer = TRUE;
        }
        m_bMouseIsOver = TRUE;
    } else if (!mouse.leftDown) {
        if (m_bHotTimer) KillTimer(kHotTrackTimer);
        m_bHotTimer = FALSE;
        m_bMouseIsOver = FALSE;
        const int old = SetHotItem(-1);
        if (old != m_nHotItem) RedrawItem(old);
        return;
    } else {
        m_bMouseIsOver = FALSE;
    }
    UpdateHotItem(mouse);
}

void COXSHBListCtrl::UpdateHotItem(const MouseState& mouse) {
    const CPoint point = mouse.client;
    int code = 0;
    int item = HitTest(point, &code);
    if (!m_bMouseIsOver || (code != LVHT_ONITEMICON && code != LVHT_ONITEMLABEL)) item = -1;
    const bool buttonDown = mouse.leftDown;
    if (m_nDragItem < 0 && buttonDown && !(GetBarStyle() & SHBS_DISABLEDRAGITEM) && m_nPressItem >= 0) {
        int pressCode = 0;
        const int under = HitTest(point, &pressCode, TRUE);
        const CPoint moved = SubtractPoints(point, m_ptPress);
        if (under == m_nPressItem && std::abs(moved.x) + std::abs(moved.y) > 8) {
            m_ptDragImage = AddPoints(m_ptDragImage, moved);
            SetDragItem(m_nPressItem);
        }
    }
    if (!buttonDown || m_nDragItem >= 0) m_nPressItem = -1;
    const int old = SetHotItem(item);
    if (old != m_nHotItem) {
        RedrawItem(old);
        RedrawItem(m_nHotItem);
    }
    if (m_bScrollingUp && !m_rectTopScroll.PtInRect(point)) InvalidateRect(&m_rectTopScroll, FALSE);
    if (m_bScrollingDown && !m_rectBottomScroll.PtInRect(point)) InvalidateRect(&m_rectBottomScroll, FALSE);
    if ((GetBarStyle() & SHBS_AUTOSCROLL) && m_nDragItem < 0 && !m_bOleDragOver) {
        const bool onUp = m_rectTopScroll.PtInRect(point), onDown = m_rectBottomScroll.PtInRect(point);
        if ((onUp || onDown) && !m_bScrollingUp && !m_bScrollingDown && !buttonDown) StartScrolling(onUp ? -1 : 1, TRUE);
        else if (m_bAutoScrolling && !onUp && !onDown) StopScrolling();
    }
}

LRESULT COXSHBListCtrl::OnHotTrack(WPARAM, LPARAM) {
    CheckHotTracking(CurrentMouse());
    return 0;
}

void COXSHBListCtrl::OnTimer(UINT_PTR id) {
    if (id == kHotTrackTimer) {
        if (!m_bOleDragOver) PostMessage(WM_SHB_HOTTRACK);
        return;
    }
    if (id != kScrollTimer) return;
    CPoint cursor;
    ::GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    const bool up = m_bScrollingUp;
    const CRect& button = up ? m_rectTopScroll : m_rectBottomScroll;
    if (button.IsRectEmpty()) return StopScrolling();
    if (m_bOleDragOver || m_bAutoScrolling || button.PtInRect(cursor)) {
        if (!ScrollOneItem(up ? -1 : 1) || (up ? m_rectTopScroll : m_rectBottomScroll).IsRectEmpty()) StopScrolling();
    }
}

void COXSHBListCtrl::StartScrolling(int direction, BOOL automatic) {
    if (direction < 0 ? m_rectTopScroll.IsRectEmpty() : m_rectBottomScroll.IsRectEmpty()) return;
    m_bScrollingUp = direction < 0;
    m_bScrollingDown = direction > 0;
    m_bAutoScrolling = automatic;
    InvalidateRect(direction < 0 ? &m_rectTopScroll : &m_rectBottomScroll, FALSE);
    if (m_nPressedItem >= 0) {
        const int old = m_nPressedItem;
        SetPressedItem(-1);
        RedrawItem(old);
    }
    if (!m_bOleDragOver) ScrollOneItem(direction);
    UINT period = automatic ? (m_pShortcutBar ? m_pShortcutBar->GetAutoScrollingDelay() : 400)
                            : (m_pShortcutBar ? m_pShortcutBar->GetScrollingDelay() : 200);
    if (m_bOleDragOver) period /= 4;
    SetTimer(kScrollTimer, std::max(1u, period));
}

void COXSHBListCtrl::StopScrolling() {
    KillTimer(kScrollTimer);
    if (!m_rectTopScroll.IsRectEmpty()) InvalidateRect(&m_rectTopScroll, FALSE);
    if (!m_rectBottomScroll.IsRectEmpty()) InvalidateRect(&m_rectBottomScroll, FALSE);
    m_bScrollingUp = m_bScrollingDown = m_bAutoScrolling = FALSE;
}

int COXSHBListCtrl::ClampScroll(int dy, int originY) const {
    if (m_mapItemToBoundRect.empty()) return 0;
    const int lastBottom = static_cast<int>(m_mapItemToBoundRect.rbegin()->second.bottom);
    if (dy < 0) return std::max(dy, -originY);
    if (dy > 0) return std::max(0, std::min(dy, static_cast<int>(lastBottom - (ContentRect().bottom + originY))));
    return 0;
}

int COXSHBListCtrl::OneItemStep(int direction, int originY) const {
    if (m_mapItemToBoundRect.empty()) return 0;
    const CRect content = ContentRect();
    const int top = content.top + originY;
    if (direction < 0) {
        // The item above the top one comes to the top.
        int target = -1;
        for (const auto& [item, r] : m_mapItemToBoundRect) {
            if (r.top >= top) break;
            target = r.top;
        }
        return ClampScroll(target < 0 ? -originY : target - top, originY);
    }
    const int bottom = content.bottom + originY;
    for (const auto& [item, r] : m_mapItemToBoundRect) {
        if (r.top > top) return ClampScroll(static_cast<int>(std::min(r.top - top, m_mapItemToBoundRect.rbegin()->second.bottom - bottom)), originY);
    }
    return 0;
}

BOOL COXSHBListCtrl::ScrollOneItem(int direction) {
    const int dy = OneItemStep(direction, m_ptOrigin.y);
    return dy ? Scroll(0, dy) : FALSE;
}

BOOL COXSHBListCtrl::Scroll(int dx, int dy) {
    CRect client;
    GetClientRect(&client);
    if (m_mapItemToBoundRect.empty() || client.IsRectEmpty()) return FALSE;
    dy = ClampScroll(dy, m_ptOrigin.y);
    if (dx < 0) dx = std::max(dx, static_cast<int>(-m_ptOrigin.x));
    else if (dx > 0) dx = 0;  // one column: nothing lies to the right
    if (!dx && !dy) return FALSE;
    const CRect oldUp = m_rectTopScroll, oldDown = m_rectBottomScroll;
    m_ptOrigin = AddPoints(m_ptOrigin, CPoint(dx, dy));
    CalculateScrollButtons();
    ScrollContent(CSize(dx, dy), oldUp, oldDown);
    return TRUE;
}

void COXSHBListCtrl::ScrollContent(CSize by, const CRect& oldUp, const CRect& oldDown) {
    CRect client;
    GetClientRect(&client);
    // What stays in sight is moved on the screen and only the uncovered band is painted; a
    // background that does not scroll with the items (a gradient), an open edit or an
    // insertion mark (they keep their places) or a jump past the whole height repaints all.
    const bool whole = std::abs(by.cy) >= client.Height() || std::abs(by.cx) >= client.Width() || m_edit.IsEditing() ||
                       m_nInsertItem >= 0 || !BackgroundScrolls();
    if (whole) {
        Invalidate(FALSE);
        return;
    }
    ::ScrollWindowEx(m_hWnd, -by.cx, -by.cy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    // The scroll buttons stay where they are: their moved pictures and their places repaint.
    CRect movedUp = oldUp, movedDown = oldDown;
    movedUp.OffsetRect(-by.cx, -by.cy);
    movedDown.OffsetRect(-by.cx, -by.cy);
    InvalidateEach({oldUp.IsRectEmpty() ? CRect() : movedUp, oldDown.IsRectEmpty() ? CRect() : movedDown, oldUp, oldDown,
                    m_rectTopScroll, m_rectBottomScroll});
}

void COXSHBListCtrl::InvalidateScrollButtons(const CRect& oldUp, const CRect& oldDown) {
    InvalidateEach({oldUp, oldDown, m_rectTopScroll, m_rectBottomScroll});
}

void COXSHBListCtrl::InvalidateEach(std::initializer_list<CRect> rects) {
    // Each distinct box once: every call is a trip to the window manager.
    for (auto r = rects.begin(); r != rects.end(); ++r) {
        if (!r->IsRectEmpty() && std::find(rects.begin(), r, *r) == r) InvalidateRect(&*r, FALSE);
    }
}

BOOL COXSHBListCtrl::EnsureVisible(int item, BOOL partialOK) {
    if (item < 0 || item >= ItemCount() || !m_mapItemToBoundRect.count(item)) return FALSE;
    const CRect content = ContentRect();
    const CRect r = GetItemFullRect(item);
    const bool fits = r.Height() <= content.Height();
    CRect seen;
    const bool partly = seen.IntersectRect(r, content);
    if (partly && seen == r) return TRUE;
    if (partly && partialOK) return TRUE;
    if (!fits && !partialOK) return FALSE;
    if (r.top < content.top) Scroll(0, r.top - content.top);
    else if (r.bottom > content.bottom) Scroll(0, fits ? r.bottom - content.bottom : r.top - content.top);
    const CRect after = GetItemFullRect(item);
    return seen.IntersectRect(after, content) && (partialOK || seen == after);
}
