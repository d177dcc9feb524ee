// Dragging items: the source side packs the item into a data source and runs
// the OLE drag loop; the target side shows where a dragged item would go and
// inserts it on drop, reading the block as untrusted bytes.
#include "shortcutbar/SHBListCtrl.h"

#include "ole/OleDataSource.h"
#include "shortcutbar/SHBDragBlock.h"
#include "shortcutbar/ShortcutBar.h"
#include "skins/SkinGdi.h"

COleDropSource* COXSHBListCtrl::GetDropSource() {
    COleDropSource* source = nullptr;
    if (Notify(SHBN_GETDROPSOURCE, -1, reinterpret_cast<LPARAM>(&source)) && source) return source;
    m_dropSource.SetOwner(this);
    return &m_dropSource;
}

COleDropTarget* COXSHBListCtrl::GetDropTarget() {
    COleDropTarget* target = nullptr;
    if (Notify(SHBN_GETDROPTARGET, -1, reinterpret_cast<LPARAM>(&target)) && target) return target;
    return &m_dropTarget;
}

void COXSHBListCtrl::SetDragItem(int item) {
    if (item < 0 || item >= ItemCount()) {
        m_nDragItem = -1;
        return;
    }
    m_nDragItem = item;
    CPoint grab = m_ptDragImage;
    Notify(SHBN_BEGINDRAGITEM, item, reinterpret_cast<LPARAM>(&grab));
    SHBDragItem packed;
    packed.text = GetItemText(item);
    packed.lParam = GetItemData(item);
    const int image = GetItemImage(item);
    if (HIMAGELIST large = GetImageList(LVSIL_NORMAL); large && image >= 0 && image < ImageList_GetImageCount(large))
        packed.images.push_back({0, WriteDragImage(large, image)});
    if (HIMAGELIST small = GetImageList(LVSIL_SMALL); small && image >= 0 && image < ImageList_GetImageCount(small))
        packed.images.push_back({1, WriteDragImage(small, image)});
    std::erase_if(packed.images, [](const SHBDragImage& i) { return i.data.empty(); });
    SHBDragData extra{};
    Notify(SHBN_GETDRAGDATA, item, reinterpret_cast<LPARAM>(&extra));
    if (extra.pData && extra.nDataLength) packed.extra.assign(extra.pData, extra.pData + extra.nDataLength);
    COleDataSource* source = COleDataSource::Create();
    source->CacheData(CF_UNICODETEXT, packed.text.GetString(), (packed.text.GetLength() + 1) * sizeof(wchar_t));
    const std::vector<BYTE> block = PackDragBlock(packed);
    source->CacheData(GetShortcutBarItemFormat(), block.data(), block.size());
    PostMessage(WM_SHB_STARTITEMDRAG, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(source));
}

HIMAGELIST COXSHBListCtrl::CreateItemDragImage(int item, CPoint* upperLeft) {
    if (item < 0 || item >= ItemCount() || !m_mapItemToBoundRect.count(item)) return nullptr;
    CRect bounds;
    bounds.UnionRect(GetItemIconRect(item), GetItemLabelRect(item));
    if (bounds.IsRectEmpty()) return nullptr;
    const CRect full = GetItemFullRect(item);
    CClientDC screen(this);
    CDC memory;
    CBitmap bitmap;
    if (!memory.CreateCompatibleDC(&screen) || !bitmap.CreateCompatibleBitmap(&screen, bounds.Width(), bounds.Height())) return nullptr;
    const COLORREF transparent = GetListBkColor();
    {
        SelectedObject keep(memory, bitmap);
        memory.FillSolidRect(CRect(0, 0, bounds.Width(), bounds.Height()), transparent);
        // The item's full rectangle placed so that its icon and label land in the bitmap.
        DRAWITEMSTRUCT dis = ItemDrawRecord(item, memory, CRect(CPoint(full.left - bounds.left, full.top - bounds.top), full.Size()));
        m_bDrawingDragImage = TRUE;
        DrawItem(&dis);
        m_bDrawingDragImage = FALSE;
    }
    HIMAGELIST image = ImageList_Create(bounds.Width(), bounds.Height(), ILC_COLOR24 | ILC_MASK, 1, 0);
    if (image && ImageList_AddMasked(image, bitmap, transparent) < 0) {
        ImageList_Destroy(image);
        image = nullptr;
    }
    if (image && upperLeft) *upperLeft = bounds.TopLeft();
    return image;
}

namespace {
// A client point of `wnd` in its window's coordinates, as the image-list drag wants them.
CPoint InWindow(CWnd* wnd, CPoint client) {
    CRect window;
    wnd->GetWindowRect(&window);
    wnd->ClientToScreen(&client);
    return SubtractPoints(client, window.TopLeft());
}
}  // namespace

void COXSHBListCtrl::DragImageEnter(CPoint client) {
    if (!m_hItemDragImage || m_bDragImageIn) return;
    const CPoint at = InWindow(this, client);
    m_bDragImageIn = ImageList_DragEnter(m_hWnd, at.x, at.y);
}

void COXSHBListCtrl::DragImageMove(CPoint client) {
    if (!m_bDragImageIn) return DragImageEnter(client);
    const CPoint at = InWindow(this, client);
    ImageList_DragMove(at.x, at.y);
}

void COXSHBListCtrl::DragImageLeave() {
    if (!m_bDragImageIn) return;
    ImageList_DragLeave(m_hWnd);
    m_bDragImageIn = FALSE;
}

LRESULT COXSHBListCtrl::StartItemDrag(WPARAM wParam, LPARAM lParam) {
    auto* source = reinterpret_cast<COleDataSource*>(lParam);
    int item = static_cast<int>(wParam);
    if (!source) return 0;
    // The item may have gone or moved since the drag was prepared.
    if (item != m_nDragItem || item < 0 || item >= ItemCount() || Notify(SHBN_BEGINDRAG, item, lParam)) {
        source->InternalRelease();
        m_nDragItem = -1;
        return 0;
    }
    const int pressed = m_nPressedItem;
    SetPressedItem(-1);
    RedrawItem(pressed);
    COleDropSource* dropSource = GetDropSource();
    m_bOwnDrag = TRUE;
    if (GetBarStyle() & SHBS_DRAWITEMDRAGIMAGE) {
        // The image is held at the grab offset from the icon's corner: it starts where the item is.
        CPoint corner;
        m_hItemDragImage = CreateItemDragImage(item, &corner);
        const CPoint hotSpot = AddPoints(m_ptDragImage, SubtractPoints(GetItemIconRect(item).TopLeft(), corner));
        if (m_hItemDragImage && !ImageList_BeginDrag(m_hItemDragImage, 0, hotSpot.x, hotSpot.y)) {
            ImageList_Destroy(m_hItemDragImage);
            m_hItemDragImage = nullptr;
        }
    }
    const DROPEFFECT effect = source->DoDragDrop(this, dropSource, DROPEFFECT_COPY | DROPEFFECT_MOVE);
    if (m_hItemDragImage) {
        DragImageLeave();
        ImageList_EndDrag();
        ImageList_Destroy(m_hItemDragImage);
        m_hItemDragImage = nullptr;
    }
    item = m_nDragItem;  // kept up to date by insertions and deletions during the loop
    if (effect == DROPEFFECT_MOVE && item >= 0 && item < ItemCount()) DeleteItem(item);
    m_nInsertItem = -1;
    m_bOwnDrag = FALSE;
    m_nDragItem = -1;
    source->InternalRelease();
    if (effect != DROPEFFECT_NONE) Invalidate(FALSE);
    CPoint cursor;
    ::GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    WPARAM keys = 0;
    if (::GetKeyState(VK_CONTROL) & 0x8000) keys |= MK_CONTROL;
    if (::GetKeyState(VK_SHIFT) & 0x8000) keys |= MK_SHIFT;
    SendMessage(WM_LBUTTONUP, keys, MAKELPARAM(cursor.x, cursor.y));
    Notify(SHBN_DRAGDROPDONE, -1, static_cast<LPARAM>(effect));
    return 0;
}

LRESULT COXSHBListCtrl::OnDragEnter(WPARAM wParam, LPARAM lParam) {
    if (GetBarStyle() & SHBS_DISABLEDRAGDROP) return 0;
    m_bOleDragOver = TRUE;
    const int old = SetHotItem(-1);
    RedrawItem(old);
    if (Notify(SHBN_DRAGENTER, -1, lParam)) return 1;
    if (auto* relay = reinterpret_cast<OXDRAGTARGETRELAY*>(lParam); relay && m_bOwnDrag) DragImageEnter(relay->point);
    return OnDragOver(wParam, lParam);
}

LRESULT COXSHBListCtrl::OnDragOver(WPARAM, LPARAM lParam) {
    if (GetBarStyle() & SHBS_DISABLEDRAGDROP) return 0;
    auto* relay = reinterpret_cast<OXDRAGTARGETRELAY*>(lParam);
    if (!relay) return 0;
    if (Notify(SHBN_DRAGOVER, -1, lParam)) return 1;
    if (m_bOwnDrag) DragImageMove(relay->point);
    relay->result = DROPEFFECT_NONE;
    int insert = -1;
    const CPoint point = relay->point;
    if (relay->pDataObject && relay->pDataObject->IsDataAvailable(GetShortcutBarItemFormat())) {
        const CRect content = ContentRect();
        const CPoint p(point.x, std::clamp(static_cast<int>(point.y), static_cast<int>(content.top), static_cast<int>(content.bottom) - 1));
        const CPoint at = AddPoints(p, m_ptOrigin);
        const int count = ItemCount();
        int code = 0;
        const int item = HitTest(p, &code, TRUE);
        if (count == 0 || m_mapItemToBoundRect.empty() || at.y < m_mapItemToBoundRect.begin()->second.top) insert = 0;
        else if (at.y >= m_mapItemToBoundRect.rbegin()->second.bottom) insert = count;
        else if (item < 0) {
            const int below = NearestItemDown(at);
            insert = below < 0 ? count : below;
        }
        if (insert >= 0) relay->result = (relay->dwKeyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    }
    // Near the top or bottom edge the list scrolls.
    CRect inner;
    GetClientRect(&inner);
    inner.DeflateRect(0, 10);
    if (point.y >= inner.top && point.y < inner.bottom) {
        if (m_bAutoScrolling) StopScrolling();
    } else if (point.y < inner.top && !m_rectTopScroll.IsRectEmpty() && !m_bScrollingUp) {
        StartScrolling(-1, TRUE);
    } else if (point.y >= inner.bottom && !m_rectBottomScroll.IsRectEmpty() && !m_bScrollingDown) {
        StartScrolling(1, TRUE);
    }
    if (insert != m_nInsertItem) {
        EraseInsertMark(m_nInsertItem);
        m_nInsertItem = insert;
        EraseInsertMark(m_nInsertItem);
        if (m_bDragImageIn) ImageList_DragShowNolock(FALSE);  // painting under the image would smear it
        UpdateWindow();
        if (m_bDragImageIn) ImageList_DragShowNolock(TRUE);
    }
    return 1;
}

LRESULT COXSHBListCtrl::OnDragLeave(WPARAM, LPARAM lParam) {
    if (GetBarStyle() & SHBS_DISABLEDRAGDROP) return 0;
    if (!Notify(SHBN_DRAGLEAVE, -1, lParam)) {
        DragImageLeave();
        EraseInsertMark(m_nInsertItem);
        m_nInsertItem = -1;
        if (m_bAutoScrolling) StopScrolling();
    }
    m_bOleDragOver = FALSE;
    return 1;
}

LRESULT COXSHBListCtrl::OnDrop(WPARAM, LPARAM lParam) {
    if (GetBarStyle() & SHBS_DISABLEDRAGDROP) return 0;
    auto* relay = reinterpret_cast<OXDRAGTARGETRELAY*>(lParam);
    if (!relay) return 0;
    m_bOleDragOver = FALSE;
    if (m_bAutoScrolling) StopScrolling();
    DragImageLeave();
    if (Notify(SHBN_DROP, -1, lParam)) return 1;
    relay->result = FALSE;
    const int insert = m_nInsertItem;
    const bool effectOk = (relay->dropEffect & (DROPEFFECT_COPY | DROPEFFECT_MOVE)) != 0;
    SHBDragItem item;
    const std::vector<BYTE> block =
        relay->pDataObject ? GetGlobalDataBytes(relay->pDataObject->GetIDataObject(), GetShortcutBarItemFormat()) : std::vector<BYTE>();
    if (!effectOk || insert < 0 || insert > ItemCount() || !ParseDragBlock(block.data(), block.size(), item)) {
        EraseInsertMark(insert);
        m_nInsertItem = -1;
        return 1;
    }
    int image = -1;
    for (const SHBDragImage& dropped : item.images) {
        HIMAGELIST list = ReadDragImage(dropped.data);
        if (!list) continue;
        const int kind = dropped.kind == 0 ? LVSIL_NORMAL : LVSIL_SMALL;
        HIMAGELIST target = GetImageList(kind);
        if (!target) {
            int cx = 0, cy = 0;
            ImageList_GetIconSize(list, &cx, &cy);
            HIMAGELIST& own = kind == LVSIL_NORMAL ? m_hOwnLarge : m_hOwnSmall;
            if (!own) own = ImageList_Create(cx, cy, ILC_COLOR24 | ILC_MASK, 4, 4);
            target = own;
            SetImageList(own, kind);
        }
        if (HICON icon = ImageList_GetIcon(list, 0, ILD_NORMAL)) {
            const int added = ImageList_ReplaceIcon(target, -1, icon);
            if (image < 0 || kind == (GetView() == SHB_SMALLICON ? LVSIL_SMALL : LVSIL_NORMAL)) image = added;
            DestroyIcon(icon);
        }
        ImageList_Destroy(list);
    }
    LVITEMW lv{};
    lv.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0) | (m_bOwnDrag ? LVIF_PARAM : 0);
    lv.iItem = insert;
    lv.pszText = const_cast<wchar_t*>(item.text.GetString());
    lv.iImage = image;
    lv.lParam = m_bOwnDrag ? item.lParam : 0;
    m_nInsertItem = -1;
    const int inserted = InsertItem(&lv);
    if (inserted >= 0 && !item.extra.empty()) {
        SHBDragData data{static_cast<DWORD>(item.extra.size()), item.extra.data()};
        Notify(SHBN_SETDROPDATA, inserted, reinterpret_cast<LPARAM>(&data));
    }
    if (!m_bOwnDrag) {
        Invalidate(FALSE);
        Notify(SHBN_DRAGDROPDONE, -1, static_cast<LPARAM>(relay->dropEffect));
    }
    relay->result = inserted >= 0;
    return 1;
}
