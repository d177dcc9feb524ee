#include "bars/BitmapMenu.h"

#include "app/WinApp.h"
#include "bars/BitmapMenuOrganizer.h"
#include "bars/CoolToolBar.h"
#include "bars/MenuCustomize.h"
#include "bars/MenuHelpers.h"
#include "bars/PackedMenuItems.h"
#include "gdi/BufferedPaint.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"
#include "wnd/Resources.h"

#include <algorithm>

namespace {

std::map<HMENU, COXBitmapMenu*>& Wrappers() {
    static std::map<HMENU, COXBitmapMenu*> wrappers;
    return wrappers;
}
COXBitmapMenu* g_tracked = nullptr;
WNDPROC g_savedMenuProc = nullptr;


void SplitAtTab(const CString& text, CString& item, CString& shortcut) {
    const int tab = text.Find(L'\t');
    item = tab < 0 ? text : text.Left(tab);
    shortcut = tab < 0 ? CString() : text.Mid(tab + 1);
}

}  // namespace

COXBitmapMenu::COXBitmapMenu(HMENU menu) {
    RegisterMenuWindowClass(GetModuleHandleW(nullptr));
    if (menu) Attach(menu);
}

COXBitmapMenu::~COXBitmapMenu() {
    if (g_tracked == this) g_tracked = nullptr;
    if (m_pPopupWnd) m_pPopupWnd->Hide();
    m_dropTarget.Revoke();
    Detach();
}

BOOL COXBitmapMenu::Attach(HMENU menu) {
    if (m_hMenu || !menu || !IsMenu(menu)) return FALSE;
    m_hMenu = menu;
    Wrappers()[menu] = this;
    return TRUE;
}

HMENU COXBitmapMenu::Detach() {
    HMENU menu = m_hMenu;
    if (menu) {
        auto it = Wrappers().find(menu);
        if (it != Wrappers().end() && it->second == this) Wrappers().erase(it);
    }
    m_hMenu = nullptr;
    return menu;
}

COXBitmapMenu* COXBitmapMenu::FromHandle(HMENU menu) {
    auto it = Wrappers().find(menu);
    return it == Wrappers().end() ? nullptr : it->second;
}

void COXBitmapMenu::SetTracked(COXBitmapMenu* menu) { g_tracked = menu; }

COXBitmapMenu* COXBitmapMenu::FromPopupWindow(HWND popup) {
    // A popup window answers with its menu once it shows one; while it is
    // being made, the menu initialised last is the one it is made for.
    if (HMENU shown = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0)))
        if (COXBitmapMenu* menu = FromHandle(shown)) return menu;
    return g_tracked;
}

COXMenuSkin* COXBitmapMenu::GetMenuSkin() {
    static std::unique_ptr<COXMenuSkin> fallback;  // made once, kept for the life of the process
    return LookupElementSkin<COXMenuSkin, COXMenuSkinClassic>(fallback, &COXSkin::GetMenuSkin);
}

COXItemInfo* COXBitmapMenu::AddItemInfo(std::unique_ptr<COXItemInfo> info) {
    m_itemInfos.push_back(std::move(info));
    return m_itemInfos.back().get();
}

COXItemInfo* COXBitmapMenu::ItemData(int position) const {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA;
    if (!GetMenuItemInfoW(m_hMenu, static_cast<UINT>(position), TRUE, &info)) return nullptr;
    return reinterpret_cast<COXItemInfo*>(info.dwItemData);
}

// Extents -------------------------------------------------------------------------------------

void COXBitmapMenu::CalcExtents() {
    m_heights.clear();
    m_nImageColumnWidth = 0;
    m_nShortcutWidth = 0;
    m_nTextWidth = 0;
    const int* m = GetMenuSkin()->GetMetrics();
    CFont normal, bold;
    CreateMenuFont(normal);
    CreateMenuFont(bold, FW_BOLD);
    CWnd* main = AfxGetMainWnd();
    HWND owner = main ? main->GetSafeHwnd() : nullptr;
    HDC hdc = GetDC(owner);
    CDC dc;
    dc.Attach(hdc);
    HGDIOBJ oldFont = dc.SelectObject(normal);
    const int defaultItem = static_cast<int>(GetMenuDefaultItem(m_hMenu, TRUE, GMDI_USEDISABLED));
    for (int i = 0; i < ItemCount(); ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_SUBMENU | MIIM_FTYPE | MIIM_DATA;
        if (!GetMenuItemInfoW(m_hMenu, static_cast<UINT>(i), TRUE, &info) || (info.fType & MFT_SEPARATOR)) continue;
        CString text;
        if (auto* item = reinterpret_cast<COXItemInfo*>(info.dwItemData)) {
            if (item->imageInfo && item->imageInfo->imageList) {
                const int width = std::max<int>(item->imageInfo->ImageSize().cx, m[8]);
                m_nImageColumnWidth = std::max(m_nImageColumnWidth, width);
            }
            text = item->text;
        }
        CString itemText, shortcut;
        SplitAtTab(text, itemText, shortcut);
        if (shortcut.IsEmpty() && info.hSubMenu) shortcut = L"W";  // room for the arrow
        dc.SelectObject(i == defaultItem ? bold : normal);
        CRect r(0, 0, 0, 0);
        dc.DrawText(itemText, &r, DT_CALCRECT | DT_SINGLELINE);
        m_nTextWidth = std::max<int>(m_nTextWidth, r.Width());
        if (!shortcut.IsEmpty()) {
            r = CRect(0, 0, 0, 0);
            dc.DrawText(shortcut, &r, DT_CALCRECT | DT_SINGLELINE);
            m_nShortcutWidth = std::max<int>(m_nShortcutWidth, r.Width());
        }
    }
    m_nImageColumnWidth = std::max(m_nImageColumnWidth, m[8]);
    // One font for the height of every menu: the menu font the items are drawn in.
    dc.SelectObject(normal);
    m_nTextHeight = dc.GetTextExtent(L"A").cy;
    dc.SelectObject(oldFont);
    ReleaseDC(owner, dc.Detach());
}

void COXBitmapMenu::MeasureItem(MEASUREITEMSTRUCT* measure) {
    COXMenuSkin* skin = GetMenuSkin();
    const int* m = skin->GetMetrics();
    if (auto* item = reinterpret_cast<COXItemInfo*>(measure->itemData)) {
        const int imageHeight = (item->imageInfo && item->imageInfo->imageList) ? item->imageInfo->ImageSize().cy + 2 : 0;
        measure->itemWidth = static_cast<UINT>(m[0] + m_nImageColumnWidth + m[2] + m_nTextWidth + (m_nShortcutWidth ? m[3] : 0) +
                                               m_nShortcutWidth + m[4]);
        const UINT id = measure->itemID;
        if (id == 0 || id == 0xFFFF) {
            measure->itemHeight = static_cast<UINT>(m[7]);
        } else {
            int height = std::max(imageHeight + m[6], m_nTextHeight + m[5]);
            if (LOWORD(id) == ID_BITMAPMENU_EXPAND && HIWORD(id) == 0) skin->AdjustValue(height);
            measure->itemHeight = static_cast<UINT>(height);
        }
    } else if (IsPopupItem(measure->itemID)) {
        measure->itemHeight = static_cast<UINT>(m_nTextHeight + m[5]);
    }
}

int COXBitmapMenu::IndexFromPoint(CPoint pt, BOOL* upperHalf) {
    const int count = ItemCount();
    const COXMenuSkin* skin = GetMenuSkin();
    if (static_cast<int>(m_heights.size()) != count || m_heightsSkin != skin) {
        m_heights.clear();
        for (int i = 0; i < count; ++i) {
            MEASUREITEMSTRUCT measure = MeasureRecord(m_hMenu, i);
            measure.itemWidth = static_cast<UINT>(-1);
            measure.itemHeight = static_cast<UINT>(-1);
            MeasureItem(&measure);
            m_heights.push_back(measure.itemHeight == static_cast<UINT>(-1) ? 0 : static_cast<int>(measure.itemHeight));
        }
        m_heightsSkin = skin;
    }
    int sum = 0;
    for (int i = 0; i < count; ++i) {
        const int height = m_heights[static_cast<size_t>(i)];
        sum += height;
        if (pt.y <= sum) {
            if (upperHalf) *upperHalf = pt.y <= sum - height / 2;
            return i;
        }
    }
    return -1;
}

BOOL COXBitmapMenu::IsPopupItem(UINT id) const {
    if (id == static_cast<UINT>(-1)) return TRUE;
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_SUBMENU;
    return GetMenuItemInfoW(m_hMenu, id, FALSE, &info) && info.hSubMenu;
}

void COXBitmapMenu::DrawItem(DRAWITEMSTRUCT* draw) {
    UINT state = draw->itemState;
    const CRect item(draw->rcItem);
    CRect frame, image, text, shortcut;
    auto* itemInfo = reinterpret_cast<COXItemInfo*>(draw->itemData);
    const COXImageInfo* imageInfo = itemInfo ? itemInfo->imageInfo : nullptr;
    const CString itemText = itemInfo ? itemInfo->text : CString();
    // Drawn into memory and copied to the menu in one blit: each picture drawn
    // straight into the menu's window costs several times more.
    CBufferedArea buffer(draw->hDC, draw->rcItem);
    CDC dc;
    dc.Attach(buffer.Dc());
    const UINT id = draw->itemID;
    const bool separator = id == 0 || id == 0xFFFF;
    if (!separator) LayoutItem(imageInfo, imageInfo && imageInfo->imageList != nullptr, item, frame, image, text, shortcut);
    const CPoint centre((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    const int position = IndexFromPoint(centre);
    if (COXBitmapMenuOrganizer* organizer = MainWindowOrganizer(); organizer && organizer->IsShowOnlyRecentlyUsedItems() && position >= 0 &&
                                                             !organizer->IsItemShown(m_hMenu, position)) {
        state |= OXODS_HIDDEN;
        if (position > 0 && organizer->IsItemShown(m_hMenu, position - 1)) state |= OXODS_HIDDENFIRST;
        if (position < ItemCount() - 1 && organizer->IsItemShown(m_hMenu, position + 1)) state |= OXODS_HIDDENLAST;
    }
    const bool submenu = !separator && (IsPopupItem(id) || (position >= 0 && GetSubMenu(m_hMenu, position)));
    if (separator) {
        DrawSeparator(&dc, item);
    } else if (!submenu) {
        DrawBackground(&dc, state, imageInfo, item, frame);
        DrawImageFrame(&dc, state, imageInfo, frame);
        DrawImage(&dc, state, imageInfo, image);
        if (LOWORD(id) == ID_BITMAPMENU_EXPAND) DrawSubmenuArrow(&dc, item, state);
        else DrawText(&dc, state, itemText, text, shortcut);
    } else {
        DrawTextItem(&dc, state, itemText, imageInfo, item, frame, text, shortcut);
    }
    if (m_nSelectedItem != -1 && position == m_nSelectedItem && GetMenuItemID(m_hMenu, m_nSelectedItem) == id) DrawDragFrame(&dc, item);
    if (m_nInsertMark != -1) {
        const BOOL before = m_nInsertMark < ItemCount();
        const int mark = before ? m_nInsertMark : ItemCount() - 1;
        if (position == mark) DrawInsertMark(&dc, item, before);
    }
    dc.Detach();
}

// The skin's steps ------------------------------------------------------------------------------

void COXBitmapMenu::LayoutItem(const COXImageInfo* info, BOOL hasImage, const CRect& item, CRect& frame, CRect& image, CRect& text,
                               CRect& shortcut) {
    GetMenuSkin()->LayoutItem(info, hasImage, item, frame, image, text, shortcut, this);
}
void COXBitmapMenu::DrawBackground(CDC* dc, UINT state, const COXImageInfo* info, const CRect& item, const CRect& image) {
    GetMenuSkin()->DrawBackground(dc, state, info, item, image, this);
}
void COXBitmapMenu::DrawImageFrame(CDC* dc, UINT state, const COXImageInfo* info, const CRect& frame) {
    GetMenuSkin()->DrawImageFrame(dc, state, info, frame);
}
void COXBitmapMenu::DrawImage(CDC* dc, UINT state, const COXImageInfo* info, const CRect& image) {
    GetMenuSkin()->DrawImage(dc, state, info, image);
}
void COXBitmapMenu::DrawText(CDC* dc, UINT state, const CString& text, const CRect& textRect, const CRect& shortcutRect) {
    GetMenuSkin()->DrawText(dc, state, text, textRect, shortcutRect);
}
void COXBitmapMenu::DrawSeparator(CDC* dc, const CRect& item) { GetMenuSkin()->DrawSeparator(dc, item, this); }
void COXBitmapMenu::DrawDragFrame(CDC* dc, const CRect& rect, UINT flags) { GetMenuSkin()->DrawDragFrame(dc, rect, flags); }
void COXBitmapMenu::DrawInsertMark(CDC* dc, const CRect& item, BOOL before, UINT flags) {
    GetMenuSkin()->DrawInsertMark(dc, item, before, flags);
}
void COXBitmapMenu::DrawTextItem(CDC* dc, UINT state, const CString& text, const COXImageInfo* info, const CRect& item,
                                 const CRect& glyph, const CRect& textRect, const CRect& shortcutRect) {
    GetMenuSkin()->DrawTextItem(dc, state, text, info, item, glyph, textRect, shortcutRect, this);
}
void COXBitmapMenu::DrawSubmenuArrow(CDC* dc, const CRect& rect, UINT state) { GetMenuSkin()->DrawSubmenuArrow(dc, rect, state); }

// Command UI -------------------------------------------------------------------------------------

void CBitmapMenuCmdUI::SetText(const wchar_t* text) {
    if (m_hMenu && !GetSubMenu(m_hMenu, static_cast<int>(m_nIndex))) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        if (GetMenuItemInfoW(m_hMenu, m_nIndex, TRUE, &info) && info.fType == MFT_OWNERDRAW && info.dwItemData) {
            reinterpret_cast<COXItemInfo*>(info.dwItemData)->text = text ? text : L"";
            return;
        }
    }
    CCmdUI::SetText(text);
}

void COXBitmapMenu::UpdateMenuItems(CWnd* frame, UINT, BOOL systemMenu) {
    if (systemMenu || !frame) return;
    auto* target = frame;
    const auto* frameWnd = dynamic_cast<CFrameWnd*>(frame);
    const BOOL autoDisable = frameWnd ? frameWnd->m_bAutoMenuEnable : TRUE;
    CBitmapMenuCmdUI state;
    state.m_hMenu = m_hMenu;
    state.m_nIndexMax = static_cast<UINT>(ItemCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = GetMenuItemID(m_hMenu, static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0) continue;
        if (state.m_nID == static_cast<UINT>(-1)) {
            // A submenu is enabled through its first item's update.
            HMENU sub = GetSubMenu(m_hMenu, static_cast<int>(state.m_nIndex));
            const UINT first = sub ? GetMenuItemID(sub, 0) : 0;
            if (!first || first == static_cast<UINT>(-1)) continue;
            CTestCmdUI probe;
            probe.m_nID = first;
            if (probe.DoUpdate(target, FALSE))
                EnableMenuItem(m_hMenu, state.m_nIndex, MF_BYPOSITION | (probe.m_bEnabled ? MF_ENABLED : MF_GRAYED));
            continue;
        }
        state.DoUpdate(target, autoDisable && state.m_nID < 0xF000);
        const UINT count = static_cast<UINT>(ItemCount());
        if (count < state.m_nIndexMax) {
            state.m_nIndex -= (state.m_nIndexMax - count);
            while (state.m_nIndex < count && GetMenuItemID(m_hMenu, static_cast<int>(state.m_nIndex)) == state.m_nID) ++state.m_nIndex;
        }
        state.m_nIndexMax = count;
    }
}

// Customisation --------------------------------------------------------------------------------

BOOL COXBitmapMenu::Notify(UINT code) {
    HWND target = m_hNotifyWnd;
    if (!target) {
        CWnd* main = AfxGetMainWnd();
        target = main ? main->GetSafeHwnd() : nullptr;
    }
    if (!target || !IsWindow(target)) return FALSE;
    NMBMCUSTOMIZE nm{};
    nm.hdr.hwndFrom = m_pPopupWnd ? m_pPopupWnd->GetSafeHwnd() : nullptr;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(target));
    nm.hdr.code = OXBMN_CUSTOMIZE;
    nm.nCustomizeEventID = code;
    return SendMessageW(target, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm)) != 0;
}

void COXBitmapMenu::SetCustomizeMode(BOOL on, HWND owner) {
    if (on && !IsCustomizable()) SetCustomizable(TRUE);
    if (on) m_hNotifyWnd = owner;
    else SetSelectedItem(-1);
    m_bCustomizeMode = on;
}

int COXBitmapMenu::SetSelectedItem(int position) {
    const int old = m_nSelectedItem;
    m_nSelectedItem = position;
    if (old == position) return old;
    if (m_pPopupWnd) {
        if (old != -1) m_pPopupWnd->RedrawItem(old);
        if (position != -1) m_pPopupWnd->RedrawItem(position);
    }
    Notify(BITMAPMENU_SELCHANGED);
    return old;
}

int COXBitmapMenu::SetInsertMark(int position) {
    const int old = m_nInsertMark;
    if (old == position) return old;
    m_nInsertMark = position;
    if (m_pPopupWnd) {
        const int count = ItemCount();
        auto redraw = [&](int mark, int other) {
            if (mark < 0) return;
            m_pPopupWnd->RedrawItem(mark == count ? count - 1 : mark);
            if (mark != 0 && mark != count && mark != other + 1) m_pPopupWnd->RedrawItem(mark - 1);
        };
        redraw(old, position);
        redraw(position, old);
    }
    Notify(BITMAPMENU_INSERTMARKCHANGED);
    return old;
}

void COXBitmapMenu::Refresh() {
    if (COXBitmapMenuOrganizer* organizer = MainWindowOrganizer()) organizer->ConvertMenu(this, FALSE);
    if (m_pPopupWnd) m_pPopupWnd->RecalcLayout();
}

void COXBitmapMenu::DragItem(int) {
    m_bDragging = TRUE;
    m_bDragging = FALSE;
}

BOOL COXBitmapMenu::OnDragOver(WPARAM, OXDRAGTARGETRELAY* relay) {
    if (!IsCustomizable()) return FALSE;
    if (relay) relay->result = DROPEFFECT_NONE;
    return TRUE;
}

BOOL COXBitmapMenu::OnDragLeave(WPARAM, OXDRAGTARGETRELAY*) {
    if (!IsCustomizable()) return FALSE;
    SetInsertMark(-1);
    return TRUE;
}

BOOL COXBitmapMenu::OnDrop(WPARAM, OXDRAGTARGETRELAY* relay) {
    if (!IsCustomizable()) return FALSE;
    if (relay) relay->result = DROPEFFECT_NONE;
    return TRUE;
}

void COXBitmapMenu::OnDeleteItem() {
    const int position = m_nSelectedItem;
    if (Notify(ID_BITMAPMENU_DELETE) || position < 0) return;
    DeleteMenu(m_hMenu, static_cast<UINT>(position), MF_BYPOSITION);
    m_nSelectedItem = -1;
    Refresh();
}

void COXBitmapMenu::OnItemAppearance() { Notify(ID_BITMAPMENU_APPEARANCE); }

void COXBitmapMenu::OnInsertSeparatorBefore() {
    const int position = m_nSelectedItem;
    if (Notify(ID_BITMAPMENU_SEPARATORBEFORE) || position < 0) return;
    InsertMenuW(m_hMenu, static_cast<UINT>(position), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    Refresh();
    SetSelectedItem(position + 1);
}

void COXBitmapMenu::OnInsertSeparatorAfter() {
    const int position = m_nSelectedItem;
    if (Notify(ID_BITMAPMENU_SEPARATORAFTER) || position < 0) return;
    InsertMenuW(m_hMenu, static_cast<UINT>(position + 1), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    Refresh();
}

void COXBitmapMenu::OnToggleRecentlyUsed() {
    const int position = m_nSelectedItem;
    if (Notify(ID_BITMAPMENU_RECENTLYUSED) || position < 0) return;
    if (COXBitmapMenuOrganizer* organizer = MainWindowOrganizer()) {
        if (organizer->IsItemShown(m_hMenu, position)) organizer->HideItem(m_hMenu, position);
        else organizer->ShowItem(m_hMenu, position);
    }
    Refresh();
}

BOOL COXBitmapMenu::ShowCustomizeMenu(int position, int x, int y) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
    if (!GetMenuItemInfoW(m_hMenu, static_cast<UINT>(position), TRUE, &info)) return FALSE;
    if ((info.wID >= 0xE110 && info.wID <= 0xE11F) || (info.wID >= 0xFF00 && !info.hSubMenu)) return FALSE;
    HMENU menu = CreatePopupMenu();
    if (!menu) return FALSE;
    auto text = [](UINT id, const wchar_t* fallback) {
        CString s = LoadStringResource(id);
        return s.IsEmpty() ? CString(fallback) : s;
    };
    AppendMenuW(menu, MF_STRING, ID_BITMAPMENU_DELETE, text(26531, L"&Delete"));
    if (!(info.fType & MFT_SEPARATOR)) {
        const int count = ItemCount();
        auto isSeparator = [&](int at) { return (GetMenuState(m_hMenu, static_cast<UINT>(at), MF_BYPOSITION) & MF_SEPARATOR) != 0; };
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, ID_BITMAPMENU_APPEARANCE, text(26532, L"&Appearance..."));
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        if (COXBitmapMenuOrganizer* organizer = MainWindowOrganizer(); organizer && organizer->IsShowOnlyRecentlyUsedItems()) {
            const bool shown = organizer->IsItemShown(m_hMenu, position);
            AppendMenuW(menu, MF_STRING | (shown ? MF_CHECKED : 0), ID_BITMAPMENU_RECENTLYUSED, text(26533, L"&Recently Used"));
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        }
        AppendMenuW(menu, MF_STRING | ((position == 0 || isSeparator(position - 1)) ? MF_GRAYED : 0), ID_BITMAPMENU_SEPARATORBEFORE,
                    text(26534, L"Separator &Before"));
        AppendMenuW(menu, MF_STRING | ((position == count - 1 || isSeparator(position + 1)) ? MF_GRAYED : 0), ID_BITMAPMENU_SEPARATORAFTER,
                    text(26535, L"Separator &After"));
    }
    HWND owner = m_pPopupWnd && m_pPopupWnd->GetSafeHwnd() ? m_pPopupWnd->GetSafeHwnd() : m_hNotifyWnd;
    ::TrackPopupMenu(menu, TPM_RIGHTBUTTON, x, y, 0, owner, nullptr);
    DestroyMenu(menu);
    return TRUE;
}

int COXBitmapMenu::InsertItems(const BYTE* data, size_t size, int position) {
    std::vector<HMENU> created;
    const PackedMenuResult result = InsertPackedMenuItems(data, size, m_hMenu, position, created);
    if (COXBitmapMenuOrganizer* organizer = MainWindowOrganizer()) {
        for (HMENU menu : created) organizer->RecordCopiedSubmenu(menu);
        organizer->ConvertMenu(this, FALSE);
    }
    if (m_pPopupWnd) m_pPopupWnd->RecalcLayout();
    return result.complete ? result.items : -1;
}

// Helpers -------------------------------------------------------------------------------------------

HBRUSH COXBitmapMenu::CreateDitherBrush(COLORREF a, COLORREF b) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } info{};
    info.header.biSize = sizeof(info.header);
    info.header.biWidth = 8;
    info.header.biHeight = 8;
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.colors[0] = RGBQUAD{GetBValue(a), GetGValue(a), GetRValue(a), 0};
    info.colors[1] = RGBQUAD{GetBValue(b), GetGValue(b), GetRValue(b), 0};
    DWORD rows[8];
    for (int i = 0; i < 8; ++i) rows[i] = (i % 2) ? 0x55 : 0xAA;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &info.header, CBM_INIT, rows, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (!bitmap) return nullptr;
    HBRUSH brush = CreatePatternBrush(bitmap);
    DeleteObject(bitmap);
    return brush;
}

namespace {

// Where the menu window class cannot be taken over (Wine gives no window
// procedure for it), each popup-menu window of this thread is subclassed as
// it is made, seen by a thread hook that lives as long as the process.
std::map<HWND, WNDPROC>& SubclassedPopups() {
    static std::map<HWND, WNDPROC> popups;
    return popups;
}
HHOOK g_createHook = nullptr;

LRESULT CALLBACK PopupCreationHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        auto hwnd = reinterpret_cast<HWND>(wParam);
        wchar_t name[16] = {};
        if (GetClassNameW(hwnd, name, 16) && wcscmp(name, L"#32768") == 0) {
            auto old = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&COXBitmapMenu::MenuPopupWndProc)));
            if (old) SubclassedPopups()[hwnd] = old;
        }
    }
    return CallNextHookEx(g_createHook, code, wParam, lParam);
}

}  // namespace

BOOL COXBitmapMenu::RegisterMenuWindowClass(HINSTANCE instance) {
    if (!g_savedMenuProc && !g_createHook) {
        WNDCLASSW wc{};
        if (!GetClassInfoW(instance, L"#32768", &wc)) return FALSE;
        if (wc.lpfnWndProc && wc.lpfnWndProc != &MenuPopupWndProc) {
            g_savedMenuProc = wc.lpfnWndProc;
            wc.lpfnWndProc = &MenuPopupWndProc;
            wc.style = (wc.style & ~0x20000u) | CS_SAVEBITS;
            wc.hInstance = instance;
            RegisterClassW(&wc);
        }
        WNDCLASSW check{};
        if (!GetClassInfoW(instance, L"#32768", &check) || check.lpfnWndProc != &MenuPopupWndProc) {
            g_savedMenuProc = nullptr;
            g_createHook = SetWindowsHookExW(WH_CBT, &PopupCreationHook, nullptr, GetCurrentThreadId());
        }
    }
    WNDCLASSW check{};
    return GetClassInfoW(instance, L"#32768", &check);
}

LRESULT CALLBACK COXBitmapMenu::MenuPopupWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC saved = g_savedMenuProc;
    auto& popups = SubclassedPopups();
    if (auto it = popups.find(hwnd); it != popups.end()) {
        saved = it->second;
        if (message == WM_NCDESTROY) {
            popups.erase(it);
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved));
            return CallWindowProcW(saved, hwnd, message, wParam, lParam);
        }
    }
    if (!saved) return DefWindowProcW(hwnd, message, wParam, lParam);
    return GetMenuSkin()->MenuWindowProc(saved, hwnd, message, wParam, lParam);
}
