// The list's layout, painting and the list-view messages it answers itself.
#include "shortcutbar/SHBListCtrl.h"

#include "gdi/BufferedPaint.h"
#include "gdi/Dib.h"
#include "shortcutbar/ShortcutBar.h"
#include "skins/SkinGdi.h"

#include <cstring>
#include <vector>

COXSHBListCtrl::COXSHBListCtrl() = default;

COXSHBListCtrl::~COXSHBListCtrl() {
    if (m_hWnd) DestroyWindow();
    if (m_hOwnLarge) ImageList_Destroy(m_hOwnLarge);
    if (m_hOwnSmall) ImageList_Destroy(m_hOwnSmall);
}

BOOL COXSHBListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    if (!CListCtrl::Create((style & ~LVS_TYPEMASK) | LVS_ICON, rect, parent, id)) return FALSE;
    return Initialise();
}

void COXSHBListCtrl::PreSubclassWindow() {
    CListCtrl::PreSubclassWindow();
    ModifyStyle(LVS_TYPEMASK, 0);  // the list lays its items out itself, from an icon view
    Initialise();
}

BOOL COXSHBListCtrl::Initialise() {
    if (!CreateEditControl()) return FALSE;
    if (COleDropTarget* target = GetDropTarget()) {
        if (target->Register(this)) m_pRegisteredTarget = target;
    }
    return TRUE;
}

BOOL COXSHBListCtrl::CreateEditControl() {
    if (m_edit.m_hWnd) return TRUE;
    return m_edit.CreateEx(0, L"EDIT", L"", WS_CHILD | WS_BORDER, 0, 0, 0, 0, m_hWnd, reinterpret_cast<HMENU>(0xFFFF));
}

DWORD COXSHBListCtrl::GetBarStyle() const {
    if (m_pShortcutBar) return m_pShortcutBar->GetBarStyle();
    const DWORD style = GetStyle(), ex = GetExStyle();
    DWORD flags = 0;
    if (style & LVS_EDITLABELS) flags |= SHBS_EDITITEMS;
    if (style & LVS_NOSCROLL) flags |= SHBS_NOSCROLL;
    if (style & LVS_SHOWSELALWAYS) flags |= SHBS_SHOWACTIVEALWAYS;
    if (ex & 0x400) flags |= SHBS_INFOTIP;
    if (ex & 0x800) flags |= SHBS_UNDERLINEHOTITEM;
    return flags;
}

int COXSHBListCtrl::GetView() const {
    if (m_pShortcutBar) return m_pShortcutBar->GetGroupView(m_hGroup) == SHB_SMALLICON ? SHB_SMALLICON : SHB_LARGEICON;
    return (m_hWnd && (GetStyle() & LVS_TYPEMASK) == LVS_SMALLICON) ? SHB_SMALLICON : SHB_LARGEICON;
}

HIMAGELIST COXSHBListCtrl::GetViewImageList() const { return GetImageList(GetView() == SHB_SMALLICON ? LVSIL_SMALL : LVSIL_NORMAL); }

COLORREF COXSHBListCtrl::GetListBkColor() const {
    if (m_pShortcutBar) return m_pShortcutBar->GetGroupBkColor(m_hGroup);
    return static_cast<COLORREF>(::CallWindowProcW(m_pfnSuper, m_hWnd, LVM_GETBKCOLOR, 0, 0));
}

COLORREF COXSHBListCtrl::GetListTextColor() const {
    if (m_pShortcutBar) return m_pShortcutBar->GetGroupTextColor(m_hGroup);
    return static_cast<COLORREF>(::CallWindowProcW(m_pfnSuper, m_hWnd, LVM_GETTEXTCOLOR, 0, 0));
}

LRESULT COXSHBListCtrl::Notify(UINT code, int item, LPARAM lParam) {
    if (m_pShortcutBar && m_pShortcutBar->m_hWnd) return SendShortcutBarNotify(m_pShortcutBar, code, m_hGroup, item, lParam);
    return SendShortcutBarNotify(this, code, m_hGroup, item, lParam);
}

int COXSHBListCtrl::ItemCount() const { return m_hWnd ? static_cast<int>(::CallWindowProcW(m_pfnSuper, m_hWnd, LVM_GETITEMCOUNT, 0, 0)) : 0; }

CRect COXSHBListCtrl::ContentRect() const {
    CRect r;
    GetClientRect(&r);
    r.DeflateRect(0, 2);
    return r;
}

namespace {
CRect Shifted(const std::map<int, CRect>& map, int item, CPoint origin) {
    auto found = map.find(item);
    if (found == map.end()) return CRect();
    CRect r = found->second;
    r.OffsetRect(-origin.x, -origin.y);
    return r;
}
}  // namespace

CRect COXSHBListCtrl::GetItemFullRect(int item) const { return Shifted(m_mapItemToBoundRect, item, m_ptOrigin); }
CRect COXSHBListCtrl::GetItemIconRect(int item) const { return Shifted(m_mapItemToImageRect, item, m_ptOrigin); }
CRect COXSHBListCtrl::GetItemLabelRect(int item) const { return Shifted(m_mapItemToTextRect, item, m_ptOrigin); }

// Layout -----------------------------------------------------------------------------------------------

CRect COXSHBListCtrl::CalculateLabelRect(const CString& text, const CRect& icon, int width, HDC dc) const {
    const bool large = GetView() == SHB_LARGEICON;
    CRect label(0, 0, std::max(1, width - 4), 0);
    ::DrawTextW(dc, text, text.GetLength(), &label, large ? 0x2415 : 0x404);
    label.right += 4;
    label.bottom += 4;
    if (large) {
        label.OffsetRect(0, icon.bottom);
        if (label.Width() < width) label.OffsetRect((width - label.Width()) / 2, 0);
        else label.right = label.left + width;
    } else {
        label.OffsetRect(icon.right + 2, 0);
        if (label.right > width) label.right = width;
    }
    return label;
}

void COXSHBListCtrl::CalculateLayout() {
    m_mapItemToBoundRect.clear();
    m_mapItemToImageRect.clear();
    m_mapItemToTextRect.clear();
    m_rectTopScroll.SetRectEmpty();
    m_rectBottomScroll.SetRectEmpty();
    const int count = ItemCount();
    if (!count) return;
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty()) {
        for (int i = 0; i < count; ++i) m_mapItemToBoundRect[i] = m_mapItemToImageRect[i] = m_mapItemToTextRect[i] = CRect();
        return;
    }
    CClientDC dc(this);
    SelectedObject keep(dc, LabelFont(false));
    const LayoutFrame frame = CurrentLayoutFrame();
    int y = frame.content.top;
    for (int i = 0; i < count; ++i) {
        const ItemBoxes boxes = LayOutItem(frame, i, GetItemText(i), y, dc);
        m_mapItemToBoundRect[i] = boxes.full;
        m_mapItemToImageRect[i] = boxes.icon;
        m_mapItemToTextRect[i] = boxes.label;
        y = boxes.full.bottom + 6;
    }
    CalculateScrollButtons();
}

COXSHBListCtrl::LayoutFrame COXSHBListCtrl::CurrentLayoutFrame() const {
    LayoutFrame frame;
    frame.content = ContentRect();
    frame.images = GetViewImageList();
    if (frame.images) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(frame.images, &cx, &cy);
        frame.icon = CSize(cx, cy);
        frame.imageCount = ImageList_GetImageCount(frame.images);
    }
    frame.large = GetView() == SHB_LARGEICON;
    return frame;
}

COXSHBListCtrl::ItemBoxes COXSHBListCtrl::LayOutItem(const LayoutFrame& frame, int item, const CString& text, int top, HDC dc) const {
    const CRect& content = frame.content;
    const int width = content.Width();
    const int image = GetItemImage(item);
    CRect icon;
    if (frame.images && image >= 0 && image < frame.imageCount) {
        icon.SetRect(0, 0, frame.icon.cx, frame.icon.cy);
        icon.InflateRect(3, 3);
        icon.OffsetRect(3, 3);
    }
    CRect label = CalculateLabelRect(text, icon, width, dc);
    int height;
    if (frame.large) {
        height = icon.Height() + label.Height();
        icon.OffsetRect((width - icon.Width()) / 2 - icon.left, 0);
    } else {
        height = std::max(icon.Height(), label.Height());
        if (icon.Height() < label.Height()) icon.OffsetRect(0, (label.Height() - icon.Height()) / 2);
        else label.OffsetRect(0, (icon.Height() - label.Height()) / 2);
    }
    const CRect full(content.left, top, content.right, top + height);
    icon.OffsetRect(full.left, full.top);
    label.OffsetRect(full.left, full.top);
    return {full, icon.IsRectEmpty() ? CRect() : icon, label};
}

void COXSHBListCtrl::CalculateScrollButtons() {
    m_rectTopScroll.SetRectEmpty();
    m_rectBottomScroll.SetRectEmpty();
    if (GetBarStyle() & SHBS_NOSCROLL) return;
    const int count = ItemCount();
    if (!count || m_mapItemToBoundRect.empty()) return;
    const CRect content = ContentRect();
    const CSize size = m_pShortcutBar ? m_pShortcutBar->GetScrollButtonSize() : CSize(16, 16);
    if (m_ptOrigin.y != 0) m_rectTopScroll.SetRect(content.right - size.cx, content.top, content.right, content.top + size.cy);
    const int lastBottom = m_mapItemToBoundRect.rbegin()->second.bottom - m_ptOrigin.y;
    if (lastBottom > content.bottom) m_rectBottomScroll.SetRect(content.right - size.cx, content.bottom - size.cy, content.right, content.bottom);
    if (m_rectBottomScroll.IsRectEmpty() && m_rectTopScroll.IsRectEmpty()) return;
    if (m_rectBottomScroll.IsRectEmpty() && (m_bScrollingDown)) StopScrolling();
    if (m_rectTopScroll.IsRectEmpty() && (m_bScrollingUp)) StopScrolling();
}

void COXSHBListCtrl::Relayout(BOOL repaint) {
    CalculateLayout();
    if (repaint && !m_bOleDragOver) Invalidate(FALSE);
}

// Painting ----------------------------------------------------------------------------------------------

void COXSHBListCtrl::FillListBackground(CDC* dc, const CRect& rect, CPoint origin) {
    if (m_pShortcutBar) {
        const BOOL own = m_pShortcutBar->HasGroupBkColor(m_hGroup);
        // The skin fills in list coordinates: offset the DC so that `rect` lands where it belongs.
        POINT old;
        ::SetViewportOrgEx(*dc, -origin.x, -origin.y, &old);
        CRect r = rect;
        r.OffsetRect(origin.x, origin.y);
        m_pShortcutBar->GetShortcutBarSkin()->FillBackground(dc, &r, this, own, own ? m_pShortcutBar->GetGroupBkColor(m_hGroup) : 0);
        ::SetViewportOrgEx(*dc, old.x, old.y, nullptr);
    } else {
        dc->FillSolidRect(&rect, GetListBkColor());
    }
}

HFONT COXSHBListCtrl::LabelFont(bool underline) {
    LOGFONTW lf{};
    if (!m_pShortcutBar || !m_pShortcutBar->GetGroupTextFont(m_hGroup, &lf)) {
        const HFONT own = GetFont();
        ::GetObjectW(own ? static_cast<HGDIOBJ>(own) : GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    }
    if (!m_paint.font.GetSafeHandle() || std::memcmp(&lf, &m_paint.key, sizeof(lf)) != 0) {
        m_paint.font.DeleteObject();
        m_paint.underlined.DeleteObject();
        m_paint.key = lf;
        m_paint.font.CreateFontIndirect(&lf);
        lf.lfUnderline = TRUE;
        m_paint.underlined.CreateFontIndirect(&lf);
    }
    const HFONT font = underline ? m_paint.underlined : m_paint.font;
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// The canvases are 32-bit DIB sections: the platform's image lists keep their pictures in
// DIB sections, and under Wine drawing one into a device-dependent bitmap costs many times
// more (bench/shortcutbar).
CDC* COXSHBListCtrl::Canvas::Get(CDC* screen, CSize need) {
    if (!dc.GetSafeHdc() && !dc.CreateCompatibleDC(screen)) return nullptr;
    if (need.cx > size.cx || need.cy > size.cy) {
        const CSize grown(std::max(need.cx, size.cx), std::max(need.cy, size.cy));
        CBitmap made;
        if (!made.Attach(CreateTopDownDib(grown.cx, grown.cy))) return nullptr;
        ::SelectObject(dc, made);  // lets the old bitmap go before it is deleted
        bitmap.DeleteObject();
        bitmap.Attach(made.Detach());
        size = grown;
    }
    return &dc;
}

DRAWITEMSTRUCT COXSHBListCtrl::ItemDrawRecord(int item, HDC dc, const CRect& rect) const {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_LISTVIEW;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID());
    dis.itemID = static_cast<UINT>(item);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = ODS_DEFAULT;
    dis.hwndItem = m_hWnd;
    dis.hDC = dc;
    dis.rcItem = rect;
    return dis;
}

bool COXSHBListCtrl::BackgroundScrolls() const {
    return !m_pShortcutBar || m_pShortcutBar->GetShortcutBarSkin()->IsBackgroundFlat(m_pShortcutBar->HasGroupBkColor(m_hGroup));
}

void COXSHBListCtrl::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CRect box;
    box.IntersectRect(CRect(dc.m_ps.rcPaint), client);
    if (!(GetBarStyle() & SHBS_NOSCROLL)) {
        // Drawn when the paint reaches them (a hot item's repaint does not).
        if (::RectVisible(dc, &m_rectTopScroll) || ::RectVisible(dc, &m_rectBottomScroll)) DrawScrollButtons(&dc);
        if (!m_rectTopScroll.IsRectEmpty()) ::ExcludeClipRect(dc, m_rectTopScroll.left, m_rectTopScroll.top, m_rectTopScroll.right, m_rectTopScroll.bottom);
        if (!m_rectBottomScroll.IsRectEmpty())
            ::ExcludeClipRect(dc, m_rectBottomScroll.left, m_rectBottomScroll.top, m_rectBottomScroll.right, m_rectBottomScroll.bottom);
    }
    // Only the items the paint touches count: a long list has most of them out of sight.
    std::vector<std::pair<int, CRect>> shown;
    for (const auto& [item, full] : m_mapItemToBoundRect) {
        CRect r = full;
        r.OffsetRect(-m_ptOrigin.x, -m_ptOrigin.y);
        if (r.top >= box.bottom) break;  // items lie in index order, top to bottom
        CRect visible;
        if (visible.IntersectRect(r, box)) shown.emplace_back(item, r);
    }
    // The background is filled where it shows: on the screen round the items, and in each item's
    // canvas under it (the skins fill from a colour or copy from a gradient they keep).
    CDC* canvas = m_paint.item.Get(&dc, CSize(1, 1));
    if (!canvas) return;
    {
        const int saved = ::SaveDC(dc);
        for (const auto& [item, r] : shown) ::ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
        FillListBackground(&dc, box, CPoint());
        ::RestoreDC(dc, saved);
    }
    for (const auto& [item, r] : shown) {
        if (!::RectVisible(dc, &r) || !(canvas = m_paint.item.Get(&dc, r.Size()))) continue;
        const int saved = ::SaveDC(*canvas);
        ::IntersectClipRect(*canvas, 0, 0, r.Width(), r.Height());
        FillListBackground(canvas, CRect(0, 0, r.Width(), r.Height()), r.TopLeft());
        DRAWITEMSTRUCT dis = ItemDrawRecord(item, *canvas, CRect(0, 0, r.Width(), r.Height()));
        DrawItem(&dis);
        ::RestoreDC(*canvas, saved);
        dc.BitBlt(r.left, r.top, r.Width(), r.Height(), canvas, 0, 0, SRCCOPY);
    }
    DrawInsertMark(&dc);
}

void COXSHBListCtrl::DrawItem(LPDRAWITEMSTRUCT dis) {
    const int item = static_cast<int>(dis->itemID);
    if (!m_bDrawingDragImage && Notify(SHBN_DRAWITEM, item, reinterpret_cast<LPARAM>(dis))) return;
    CDC dc;
    dc.Attach(dis->hDC);
    const CPoint shift = m_mapItemToBoundRect[item].TopLeft();
    HIMAGELIST images = GetViewImageList();
    const int image = GetItemImage(item);
    CRect icon = m_mapItemToImageRect[item];
    const DWORD style = GetBarStyle();
    if (images && !icon.IsRectEmpty() && image >= 0 && image < ImageList_GetImageCount(images)) {
        icon.OffsetRect(-shift.x + dis->rcItem.left, -shift.y + dis->rcItem.top);
        icon.InflateRect(1, 1);
        if (!m_bDrawingDragImage) {
            const bool hot = item == m_nHotItem;
            const bool pressed = hot && item == m_nPressedItem && (::GetKeyState(VK_LBUTTON) & 0x8000);
            const bool selected = item == m_nSelectedItem && (style & SHBS_SHOWACTIVEALWAYS);
            if (m_pShortcutBar) {
                if (hot || selected) m_pShortcutBar->GetShortcutBarSkin()->DrawItemBorder(&dc, &icon, hot, pressed || (selected && !hot), m_pShortcutBar);
            } else if (hot || selected) {
                const COLORREF back = GetListBkColor();
                const COLORREF light = COXShortcutBarSkin::Lighter(back), dark = COXShortcutBarSkin::Darker(back);
                const bool sunken = pressed || (!hot && selected);
                FrameWith(&dc, icon, sunken ? dark : light);
                LineWith(&dc, sunken ? light : dark, icon.left, icon.bottom - 1, icon.right, icon.bottom - 1);
                LineWith(&dc, sunken ? light : dark, icon.right - 1, icon.top, icon.right - 1, icon.bottom);
            }
        }
        int cx = 0, cy = 0;
        ImageList_GetIconSize(images, &cx, &cy);
        CRect inner = icon;
        inner.DeflateRect(2, 2);
        ImageList_Draw(images, image, dc, inner.left + (inner.Width() - cx) / 2, inner.top + (inner.Height() - cy) / 2, ILD_TRANSPARENT);
    }
    CRect label = m_mapItemToTextRect[item];
    const CString text = GetItemText(item);
    if (!label.IsRectEmpty() && !text.IsEmpty()) {
        label.OffsetRect(-shift.x + dis->rcItem.left, -shift.y + dis->rcItem.top);
        label.DeflateRect(2, 2);
        SelectedObject keep(dc, LabelFont(item == m_nHotItem && (style & SHBS_UNDERLINEHOTITEM) && !m_bDrawingDragImage));
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(GetListTextColor());
        dc.DrawText(text, &label, GetView() == SHB_LARGEICON ? 0xA015 : 0x24);
    }
    dc.Detach();
}

void COXSHBListCtrl::DrawScrollButtons(CDC* dc) {
    // Only a scrolling button can be pushed: the mouse is asked about only then.
    CPoint cursor(-1, -1);
    bool down = false;
    if (m_bScrollingUp || m_bScrollingDown) {
        const MouseState mouse = CurrentMouse();
        cursor = mouse.client;
        down = mouse.leftDown || m_bAutoScrolling;
    }
    if (!m_rectTopScroll.IsRectEmpty()) {
        const bool pushed = m_bScrollingUp && m_rectTopScroll.PtInRect(cursor) && down;
        ::DrawFrameControl(*dc, &m_rectTopScroll, DFC_SCROLL, DFCS_SCROLLUP | (pushed ? DFCS_PUSHED : 0));
    }
    if (!m_rectBottomScroll.IsRectEmpty()) {
        const bool pushed = m_bScrollingDown && m_rectBottomScroll.PtInRect(cursor) && down;
        ::DrawFrameControl(*dc, &m_rectBottomScroll, DFC_SCROLL, DFCS_SCROLLDOWN | (pushed ? DFCS_PUSHED : 0));
    }
}

namespace {
// The insertion mark's rectangle for `index` in client coordinates; empty when there is none.
CRect InsertMarkRect(const std::map<int, CRect>& items, int index, CPoint origin, int width) {
    const int count = static_cast<int>(items.size());
    if (index < 0 || index > count) return CRect();
    CRect r;
    if (count == 0) r.SetRect(0, 2, width, 12);
    else if (index == 0) r.SetRect(0, items.at(0).top, width, items.at(0).top + 10);
    else if (index == count) r.SetRect(0, items.at(count - 1).bottom - 10, width, items.at(count - 1).bottom);
    else {
        const int middle = (items.at(index - 1).bottom + items.at(index).top) / 2;
        r.SetRect(0, middle - 7, width, middle + 8);
    }
    r.OffsetRect(-origin.x, -origin.y);
    return r;
}
}  // namespace

void COXSHBListCtrl::DrawInsertMark(CDC* dc) {
    const int count = ItemCount();
    if (m_nInsertItem < 0 || m_nInsertItem > count) return;
    CRect client;
    GetClientRect(&client);
    const CRect r = InsertMarkRect(m_mapItemToBoundRect, m_nInsertItem, m_ptOrigin, client.Width());
    if (r.IsRectEmpty()) return;
    const COLORREF back = GetListBkColor();
    const int closeness = (GetRValue(back) + GetGValue(back) + GetBValue(back)) / 3;
    const COLORREF color = closeness <= 64 ? RGB(255, 255, 255) : RGB(0, 0, 0);
    CPen pen(PS_SOLID, 1, color);
    SelectedObject keep(*dc, pen);
    const int left = r.left + 1, right = r.right - 2;
    auto triangles = [&](int y, int rows, int direction) {
        for (int row = 1; row <= rows; ++row) {
            const int length = rows - row + 1;
            dc->MoveTo(left, y + direction * row);
            dc->LineTo(left + length, y + direction * row);
            dc->MoveTo(right, y + direction * row);
            dc->LineTo(right - length, y + direction * row);
        }
    };
    int y;
    if (m_nInsertItem == 0 && count > 0) {
        y = r.top;
        triangles(y, 10, 1);
    } else if (m_nInsertItem == count && count > 0) {
        y = r.bottom - 1;
        triangles(y, 10, -1);
    } else {
        y = r.top + 7;
        triangles(y, 7, -1);
        triangles(y, 7, 1);
    }
    dc->MoveTo(left, y);
    dc->LineTo(right + 1, y);
}

void COXSHBListCtrl::EraseInsertMark(int index) {
    CRect client;
    GetClientRect(&client);
    CRect r = InsertMarkRect(m_mapItemToBoundRect, index, m_ptOrigin, client.Width());
    r.InflateRect(0, 2);
    if (!r.IsRectEmpty()) InvalidateRect(&r, FALSE);
}

BOOL COXSHBListCtrl::RedrawItem(int item) {
    if (item < 0 || item >= ItemCount() || !m_mapItemToBoundRect.count(item)) return FALSE;
    CRect icon = GetItemIconRect(item), label = GetItemLabelRect(item);
    icon.InflateRect(1, 1);
    // One rectangle round both: one trip to the window manager instead of two.
    CRect both;
    both.UnionRect(icon, label);
    if (!both.IsRectEmpty()) InvalidateRect(&both, FALSE);
    return TRUE;
}

void COXSHBListCtrl::OnSize(UINT, int cx, int cy) {
    Default();
    // The items' places depend on the width alone: a change of height (a group sliding open
    // or shut) only moves the scroll buttons, and what the system uncovers it repaints itself.
    const CSize old = m_laidOutSize;
    m_laidOutSize = CSize(cx, cy);
    if (old.cx == cx && old.cx > 0 && old.cy > 0 && cy > 0 && !m_mapItemToBoundRect.empty()) {
        const CRect oldUp = m_rectTopScroll, oldDown = m_rectBottomScroll;
        CalculateScrollButtons();
        InvalidateScrollButtons(oldUp, oldDown);
        return;
    }
    CalculateLayout();
    Invalidate(FALSE);
}

void COXSHBListCtrl::OnDestroy() {
    m_infoTip.Destroy();
    KillTimer(kScrollTimer);
    KillTimer(kHotTrackTimer);
    if (m_pRegisteredTarget) {
        m_pRegisteredTarget->Revoke();
        m_pRegisteredTarget = nullptr;
    }
    Default();
}
