// The shortcut bar's layout, expanding with its animation, sorting, hit
// testing and painting.
#include "shortcutbar/ShortcutBar.h"

#include "shortcutbar/SHBListCtrl.h"
#include "skins/SkinGdi.h"

#include <vector>

void COXShortcutBar::CalculateLayout() {
    m_rectChild.SetRectEmpty();
    for (auto& [handle, group] : m_groups) group->header.SetRectEmpty();
    if (m_groups.empty() || !m_hWnd) return;
    CRect client;
    GetClientRect(&client);
    const BYTE flag = GetShortcutBarSkin()->GetLayoutFlag();
    int y = client.top;
    int stackBottom = client.top;
    for (int order = 0; order < GetGroupCount(); ++order) {
        HSHBGROUP handle = FindGroupByOrder(order);
        if (!handle) continue;
        Group& g = *Find(handle);
        g.header.SetRect(client.left, y, client.right, y + GetGroupHeaderHeight(handle));
        stackBottom = g.header.bottom;
        y = g.header.bottom + m_nGroupMargin;
    }
    if (stackBottom >= client.bottom && flag == 0) return;
    if (!m_hExpandedGroup || !Find(m_hExpandedGroup)) return;
    const int free = client.bottom - stackBottom;
    const CRect expanded = Find(m_hExpandedGroup)->header;
    if (flag == 1) {
        m_rectChild.SetRect(expanded.left, expanded.bottom, expanded.right, expanded.bottom + std::max(0, free));
        for (auto& [handle, group] : m_groups) {
            if (group->header.top >= expanded.bottom + m_nGroupMargin) group->header.OffsetRect(0, std::max(0, free));
        }
    } else {
        m_rectChild.SetRect(client.left, COXShortcutBarSkin::kTitleBandHeight, client.right, free);
        for (auto& [handle, group] : m_groups) group->header.OffsetRect(0, std::max(0, free));
    }
    m_rectChild.DeflateRect(m_rectChildMargins.left, m_rectChildMargins.top, m_rectChildMargins.right, m_rectChildMargins.bottom);
    if (m_rectChild.IsRectEmpty()) m_rectChild.SetRectEmpty();
}

void COXShortcutBar::RepositionExpanded(BOOL repaint) {
    HWND child = GetGroupChildWnd(m_hExpandedGroup);
    if (!child) return;
    if (m_rectChild.IsRectEmpty()) {
        ::ShowWindow(child, SW_HIDE);
        return;
    }
    ::MoveWindow(child, m_rectChild.left, m_rectChild.top, m_rectChild.Width(), m_rectChild.Height(), FALSE);
    if (repaint) ::InvalidateRect(child, nullptr, TRUE);
    ::ShowWindow(child, SW_SHOWNA);
}

HSHBGROUP COXShortcutBar::ExpandGroup(HSHBGROUP group) {
    if (!Find(group)) return nullptr;
    StopHoverTimer();
    if (group == m_hExpandedGroup) return group;
    if (Notify(SHBN_GROUPEXPANDING, group)) return m_hExpandedGroup;
    const HSHBGROUP old = m_hExpandedGroup;
    m_hExpandedGroup = group;
    if ((m_dwBarStyle & SHBS_ANIMATEEXPAND) && GetShortcutBarSkin()->GetLayoutFlag() == 1 && old && Find(old) &&
        !m_rectChild.IsRectEmpty())
        Animate(old, group);
    CalculateLayout();
    if (HWND oldChild = GetGroupChildWnd(old)) ::ShowWindow(oldChild, SW_HIDE);
    Invalidate(FALSE);
    UpdateWindow();
    RepositionExpanded(TRUE);
    Notify(SHBN_GROUPEXPANDED, group);
    return old;
}

// The headers between the old and the new group slide over the child area: `i` counts the
// 20-pixel units moved, a step is one unit and from the half-way unit on two (a 100-pixel area:
// 20, 20, 40, 40), so the slide ends within one unit of the area's end; the final places come
// from the layout that follows.
void COXShortcutBar::Animate(HSHBGROUP from, HSHBGROUP to) {
    const int fromOrder = GetGroupOrder(from), toOrder = GetGroupOrder(to);
    const int low = std::min(fromOrder, toOrder), high = std::max(fromOrder, toOrder);
    const bool up = toOrder > fromOrder;  // the new group lies below: headers move up
    const int steps = m_rectChild.Height() / kStepPixels;
    if (steps <= 0) return;
    CRect child = m_rectChild;
    HWND oldChild = GetGroupChildWnd(from);
    int step = kStepPixels;
    for (int i = 0; i < steps; ++i) {
        if (i >= steps / 2) {
            ++i;
            step = 2 * kStepPixels;
        }
        CRect touched;
        for (auto& [handle, group] : m_groups) {
            const int order = group->info.nOrder;
            if (order <= low || order > high) continue;
            CRect before = group->header;
            group->header.OffsetRect(0, up ? -step : step);
            touched.UnionRect(touched.IsRectEmpty() ? before : touched, before);
            touched.UnionRect(touched, group->header);
        }
        if (up) child.bottom -= step;
        else child.top += step;
        if (oldChild && !child.IsRectEmpty())
            ::MoveWindow(oldChild, child.left, child.top, child.Width(), child.Height(), TRUE);
        // One update pass paints the moved headers and what the list's move left to paint.
        if (!touched.IsRectEmpty()) RedrawWindow(m_hWnd, &touched, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
        ::Sleep(static_cast<DWORD>(100 / steps));
    }
}

BOOL COXShortcutBar::SortGroups(CompareProc compare, LPARAM context, int direction) {
    m_nSortOrder = direction;
    const int count = GetGroupCount();
    if (!compare || count < 2 || direction == 0) return FALSE;
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (int i = 0; i + 1 < count; ++i) {
            HSHBGROUP a = FindGroupByOrder(i), b = FindGroupByOrder(i + 1);
            if (a && b && compare(a, b, context, this) * direction > 0) {
                Find(a)->info.nOrder = i + 1;
                Find(b)->info.nOrder = i;
                swapped = true;
            }
        }
    }
    CalculateLayout();
    RepositionExpanded(TRUE);
    Invalidate(FALSE);
    return TRUE;
}

BOOL COXShortcutBar::SortGroupsByText(int direction) {
    return SortGroups([](HSHBGROUP a, HSHBGROUP b, LPARAM, const COXShortcutBar* bar) {
        return wcscmp(bar->GetGroupText(a), bar->GetGroupText(b));
    }, 0, direction);
}

HSHBGROUP COXShortcutBar::HitTest(CPoint point, int* kind) const {
    int ignored = 0;
    int& out = kind ? *kind : ignored;
    if (!m_rectChild.IsRectEmpty() && m_rectChild.PtInRect(point)) return (out = SHB_ONCHILD), m_hExpandedGroup;
    for (const auto& [handle, group] : m_groups) {
        if (group->header.PtInRect(point)) return (out = SHB_ONHEADER), handle;
    }
    out = SHB_NOWHERE;
    return nullptr;
}

// Painting -------------------------------------------------------------------------------------------------

void COXShortcutBar::DrawHeader(LPDRAWITEMSTRUCT dis) {
    if (Notify(SHBN_DRAWHEADER, reinterpret_cast<HSHBGROUP>(dis->itemID), reinterpret_cast<LPARAM>(dis))) return;
    GetShortcutBarSkin()->DrawGroupHeader(dis, this);
}

DRAWITEMSTRUCT COXShortcutBar::HeaderDrawRecord(HSHBGROUP group, HDC dc, CSize size) const {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = 0;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID());
    dis.itemID = static_cast<UINT>(reinterpret_cast<UINT_PTR>(group));
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = ODS_DEFAULT;
    dis.hwndItem = m_hWnd;
    dis.hDC = dc;
    dis.rcItem = CRect(0, 0, size.cx, size.cy);
    dis.itemData = reinterpret_cast<ULONG_PTR>(group);
    return dis;
}

void COXShortcutBar::PaintHeader(CDC* target, HSHBGROUP handle) {
    const CRect r = GetGroupHeaderRect(handle);
    if (r.IsRectEmpty()) return;
    CDC memory;
    memory.CreateCompatibleDC(target);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(target, r.Width(), r.Height());
    SelectedObject keep(memory, bitmap);
    DRAWITEMSTRUCT dis = HeaderDrawRecord(handle, memory, r.Size());
    DrawHeader(&dis);
    target->BitBlt(r.left, r.top, r.Width(), r.Height(), &memory, 0, 0, SRCCOPY);
}

void COXShortcutBar::FillBackground(CDC* dc) {
    const int saved = ::SaveDC(*dc);
    for (const auto& [handle, group] : m_groups) {
        if (!group->header.IsRectEmpty()) ::ExcludeClipRect(*dc, group->header.left, group->header.top, group->header.right, group->header.bottom);
    }
    if (!m_rectChild.IsRectEmpty()) ::ExcludeClipRect(*dc, m_rectChild.left, m_rectChild.top, m_rectChild.right, m_rectChild.bottom);
    CRect client;
    GetClientRect(&client);
    const BOOL own = HasGroupBkColor(m_hExpandedGroup);
    GetShortcutBarSkin()->FillBackground(dc, &client, this, own, own ? GetGroupBkColor(m_hExpandedGroup) : 0);
    ::RestoreDC(*dc, saved);
}

void COXShortcutBar::OnPaint() {
    CPaintDC dc(this);
    COXShortcutBarSkin* skin = GetShortcutBarSkin();
    if (!m_rectChild.IsRectEmpty()) ::ExcludeClipRect(dc, m_rectChild.left, m_rectChild.top, m_rectChild.right, m_rectChild.bottom);
    if (skin->GetLayoutFlag() == 0) skin->DrawTitleBand(this, &dc);
    FillBackground(&dc);
    for (int order = 0; order < GetGroupCount(); ++order) {
        HSHBGROUP handle = FindGroupByOrder(order);
        const CRect r = GetGroupHeaderRect(handle);
        if (!r.IsRectEmpty() && ::RectVisible(dc, &r)) PaintHeader(&dc, handle);
    }
}

void COXShortcutBar::RedrawHeader(HSHBGROUP group) {
    const CRect r = GetGroupHeaderRect(group);
    if (!r.IsRectEmpty()) InvalidateRect(&r, FALSE);
}

HIMAGELIST COXShortcutBar::CreateGroupDragImage(HSHBGROUP group) {
    const CRect r = GetGroupHeaderRect(group);
    if (r.IsRectEmpty()) return nullptr;
    CClientDC screen(this);
    CDC memory;
    memory.CreateCompatibleDC(&screen);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&screen, r.Width(), r.Height());
    {
        SelectedObject keep(memory, bitmap);
        m_bDrawingDragImage = TRUE;
        DRAWITEMSTRUCT dis = HeaderDrawRecord(group, memory, r.Size());
        DrawHeader(&dis);
        m_bDrawingDragImage = FALSE;
    }
    HIMAGELIST image = ImageList_Create(r.Width(), r.Height(), ILC_COLOR24 | ILC_MASK, 1, 0);
    if (image) ImageList_AddMasked(image, bitmap, RGB(255, 0, 255));
    return image;
}
