#include "bars/BitmapMenuOrganizer.h"

#include "app/WinApp.h"
#include "bars/BarArchive.h"
#include "bars/MenuCustomize.h"
#include "bars/MenuHelpers.h"
#include "bars/ToolBar.h"
#include "wnd/FrameWnd.h"

#include <algorithm>

namespace {

std::map<HWND, COXBitmapMenuOrganizer*>& Organizers() {
    static std::map<HWND, COXBitmapMenuOrganizer*> organizers;
    return organizers;
}

constexpr UINT kItemMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_TYPE | MIIM_DATA;
constexpr int kMaxPathDepth = 64;

// An item's whole description with its text, however long the text is.
bool ReadItem(HMENU menu, int position, MENUITEMINFOW& info, CString& text) {
    info = MENUITEMINFOW{};
    info.cbSize = sizeof(info);
    info.fMask = kItemMask;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) return false;
    text.Empty();
    if (!(info.fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW)) || info.cch > 0) {
        const UINT length = info.cch;
        std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
        info.dwTypeData = buffer.data();
        info.cch = length + 1;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info)) return false;
        buffer.resize(std::min<size_t>(length, wcslen(buffer.c_str())));
        text = CString(std::move(buffer));
    }
    info.dwTypeData = nullptr;
    info.cch = 0;
    return true;
}


// The positions from root to target, outermost first.
bool FindPath(HMENU root, HMENU target, std::vector<int>& path, int depth = 0) {
    if (depth > kMaxPathDepth) return false;
    for (int i = 0; i < GetMenuItemCount(root); ++i) {
        HMENU sub = GetSubMenu(root, i);
        if (!sub) continue;
        path.push_back(i);
        if (sub == target || FindPath(sub, target, path, depth + 1)) return true;
        path.pop_back();
    }
    return false;
}

}  // namespace

COXBitmapMenuOrganizer::COXBitmapMenuOrganizer() { SetCheckImages(0, 0, 0, 0); }

COXBitmapMenuOrganizer::~COXBitmapMenuOrganizer() {
    Empty(FALSE);
    m_pDeferredMenu.reset();
    DetachFrameWnd();
    for (auto it = m_copiedSubmenus.rbegin(); it != m_copiedSubmenus.rend(); ++it)
        if (IsMenu(*it)) DestroyMenu(*it);
}

BOOL COXBitmapMenuOrganizer::SetCheckImages(int cx, int cy, UINT checkBitmapId, UINT bulletBitmapId) {
    if (cx == 0 && cy == 0) {
        cx = GetSystemMetrics(SM_CXMENUCHECK);
        cy = GetSystemMetrics(SM_CYMENUCHECK);
    }
    m_checkImages.Create(cx, cy, ILC_MASK | ILC_COLOR24, 2, 0);
    auto add = [&](UINT resource, UINT frameState) {
        CBitmap bitmap;
        if (resource && bitmap.LoadBitmap(resource)) {
            m_checkImages.Add(bitmap, RGB(255, 255, 255));
            return;
        }
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP image = CreateCompatibleBitmap(screen, cx, cy);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, image);
        RECT r{0, 0, cx, cy};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawFrameControl(dc, &r, DFC_MENU, frameState);
        SelectObject(dc, old);
        DeleteDC(dc);
        m_checkImages.Add(image, RGB(255, 255, 255));
        DeleteObject(image);
    };
    add(checkBitmapId, DFCS_MENUCHECK);
    add(bulletBitmapId, DFCS_MENUBULLET);
    return TRUE;
}

// Frame ------------------------------------------------------------------------------------------

BOOL COXBitmapMenuOrganizer::AttachFrameWnd(CWnd* frame) {
    if (m_pFrameWnd || !frame) return FALSE;
    // Popup-menu windows may be made before the first popup is initialised.
    COXBitmapMenu::RegisterMenuWindowClass(GetModuleHandleW(nullptr));
    m_pFrameWnd = frame;
    SubclassFrameWnd(frame);
    return TRUE;
}

BOOL COXBitmapMenuOrganizer::SubclassFrameWnd(CWnd* frame) {
    if (m_hWndSubclassed)
        return m_hWndSubclassed == frame->GetSafeHwnd() &&
               reinterpret_cast<WNDPROC>(GetWindowLongPtrW(m_hWndSubclassed, GWLP_WNDPROC)) == &FrameWindowProc;
    HWND hwnd = frame->GetSafeHwnd();
    if (!hwnd) return FALSE;
    m_hWndSubclassed = hwnd;
    m_pfnOldProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameWindowProc)));
    Organizers()[hwnd] = this;
    return TRUE;
}

void COXBitmapMenuOrganizer::UnsubclassFrameWnd() {
    if (!m_hWndSubclassed) return;
    if (IsWindow(m_hWndSubclassed)) SetWindowLongPtrW(m_hWndSubclassed, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnOldProc));
    Organizers().erase(m_hWndSubclassed);
    m_hWndSubclassed = nullptr;
    m_pfnOldProc = nullptr;
}

CWnd* COXBitmapMenuOrganizer::DetachFrameWnd() {
    CWnd* former = m_pFrameWnd;
    if (m_pFrameWnd) UnsubclassFrameWnd();
    m_pFrameWnd = nullptr;
    Empty(TRUE);
    return former;
}

COXBitmapMenuOrganizer* COXBitmapMenuOrganizer::FindOrganizer(HWND frame) {
    auto it = Organizers().find(frame);
    return it == Organizers().end() ? nullptr : it->second;
}

void COXBitmapMenuOrganizer::Empty(BOOL restoreMenus) {
    m_imageLists.clear();
    m_imageInfos.clear();
    while (!m_convertedMenus.empty()) RestoreMenu(m_convertedMenus.front().get(), restoreMenus);
}

COXImageInfo* COXBitmapMenuOrganizer::GetImageInfo(UINT command) const {
    auto it = m_imageInfos.find(command);
    return it == m_imageInfos.end() ? nullptr : it->second.get();
}

CString COXBitmapMenuOrganizer::MakeImageKey(UINT id, BOOL flag) {
    CString key;
    key.Format(L"\x7F%u", id);
    key += flag ? L'\x7F' : L'\xFF80';
    return key;
}

BOOL COXBitmapMenuOrganizer::AutoSetMenuImages() {
    auto* frame = dynamic_cast<CFrameWnd*>(m_pFrameWnd);
    if (!m_pFrameWnd) return FALSE;
    Empty(TRUE);
    if (!frame) return TRUE;
    int bars = 0;
    for (CControlBar* controlBar : frame->m_listControlBars) {
        auto* bar = dynamic_cast<CToolBar*>(controlBar);
        if (!bar || !bar->GetSafeHwnd()) continue;
        auto normal = reinterpret_cast<HIMAGELIST>(bar->SendMessage(TB_GETIMAGELIST));
        if (!normal) continue;
        auto hot = reinterpret_cast<HIMAGELIST>(bar->SendMessage(TB_GETHOTIMAGELIST));
        const int n = ImageList_GetImageCount(normal);
        const int h = hot ? ImageList_GetImageCount(hot) : 0;
        auto list = std::make_unique<CImageList>();
        list->m_hImageList = ImageList_Duplicate(normal);
        if (!list->m_hImageList) continue;
        for (int i = 0; i < h; ++i) {
            if (HICON icon = ImageList_GetIcon(hot, i, ILD_NORMAL)) {
                list->Add(icon);
                DestroyIcon(icon);
            }
        }
        CString key;
        key.Format(L"%i", ++bars);
        HIMAGELIST handle = list->m_hImageList;
        m_imageLists[key] = std::move(list);
        for (int i = 0; i < bar->GetCount(); ++i) {
            UINT id = 0, style = 0;
            int image = 0;
            bar->GetButtonInfo(i, id, style, image);
            if (style & TBSTYLE_SEP) continue;
            const int hotIndex = h ? image + n : -1;
            auto& info = m_imageInfos[id];
            if (info) *info = COXImageInfo(handle, image, FALSE, hotIndex);
            else info = std::make_unique<COXImageInfo>(handle, image, FALSE, hotIndex);
        }
    }
    return TRUE;
}

// Hidden items ------------------------------------------------------------------------------------

void COXBitmapMenuOrganizer::ShowOnlyRecentlyUsedItems(BOOL on) {
    if (on == m_bShowOnlyRecentlyUsed) return;
    m_bShowOnlyRecentlyUsed = on;
    for (auto& menu : m_convertedMenus)
        if (COXBitmapMenuPopupWnd* popup = menu->GetPopupWnd(); popup && popup->GetSafeHwnd()) popup->RecalcLayout();
}

BOOL COXBitmapMenuOrganizer::HideCommand(int id) { return id != 0 && m_hiddenCommands.insert(id).second; }
BOOL COXBitmapMenuOrganizer::HideSubmenu(HMENU menu) { return m_hiddenSubmenus.insert(menu).second; }
BOOL COXBitmapMenuOrganizer::ShowCommand(int id) { return m_hiddenCommands.erase(id) != 0; }
BOOL COXBitmapMenuOrganizer::ShowSubmenu(HMENU menu) { return m_hiddenSubmenus.erase(menu) != 0; }

BOOL COXBitmapMenuOrganizer::IsItemShown(HMENU menu, int position) const {
    if (position == -1) return TRUE;
    const UINT id = GetMenuItemID(menu, position);
    if (id != static_cast<UINT>(-1)) return IsCommandShown(static_cast<int>(id));
    return IsSubmenuShown(GetSubMenu(menu, position));
}

BOOL COXBitmapMenuOrganizer::HideItem(HMENU menu, int position) {
    const UINT id = GetMenuItemID(menu, position);
    return id != static_cast<UINT>(-1) ? HideCommand(static_cast<int>(id)) : HideSubmenu(GetSubMenu(menu, position));
}

BOOL COXBitmapMenuOrganizer::ShowItem(HMENU menu, int position) {
    const UINT id = GetMenuItemID(menu, position);
    return id != static_cast<UINT>(-1) ? ShowCommand(static_cast<int>(id)) : ShowSubmenu(GetSubMenu(menu, position));
}

// Storage ---------------------------------------------------------------------------------------

BOOL COXBitmapMenuOrganizer::SaveHiddenCommands(CBarArchiveWriter& out) {
    out.WriteInt(static_cast<int32_t>(m_hiddenCommands.size()));
    for (int id : m_hiddenCommands) out.WriteInt(id);
    return TRUE;
}

BOOL COXBitmapMenuOrganizer::LoadHiddenCommands(CBarArchiveReader& in) {
    m_hiddenCommands.clear();
    int32_t count = 0;
    if (!in.ReadCount(count, 4)) return TRUE;  // a count the data cannot hold: nothing is hidden
    for (int32_t i = 0; i < count; ++i) {
        int32_t id = 0;
        if (!in.ReadInt(id)) break;
        HideCommand(id);
    }
    return TRUE;
}

BOOL COXBitmapMenuOrganizer::SaveHiddenSubmenus(HMENU root, CBarArchiveWriter& out) {
    out.WriteInt(static_cast<int32_t>(m_hiddenSubmenus.size()));
    for (HMENU menu : m_hiddenSubmenus) {
        std::vector<int> path;
        if (IsMenu(menu) && FindPath(root, menu, path))
            for (int position : path) out.WriteInt(position);
        out.WriteInt(-1);
    }
    return TRUE;
}

BOOL COXBitmapMenuOrganizer::LoadHiddenSubmenus(HMENU root, CBarArchiveReader& in) {
    m_hiddenSubmenus.clear();
    int32_t count = 0;
    if (!in.ReadCount(count, 4)) return TRUE;  // each entry holds at least its terminator
    for (int32_t i = 0; i < count; ++i) {
        HMENU menu = root;
        int steps = 0;
        bool found = true, ended = false;
        int32_t position = 0;
        while (in.ReadInt(position)) {
            if (position == -1) {
                ended = true;
                break;
            }
            ++steps;
            menu = (found && menu && steps <= kMaxPathDepth) ? GetSubMenu(menu, position) : nullptr;
            if (!menu) found = false;
        }
        if (found && steps > 0 && menu) HideSubmenu(menu);
        if (!ended) break;  // the data ended inside an entry
    }
    return TRUE;
}

BOOL COXBitmapMenuOrganizer::SaveRUItems(HMENU root, const wchar_t* section) {
    const CString name = (section && *section) ? CString(section) : CString(L"RecentlyUsedSubmenuItems");
    CBarArchiveWriter out;
    SaveHiddenSubmenus(root, out);
    CWinApp* app = AfxGetApp();
    if (!app) return TRUE;
    const auto& bytes = out.Bytes();
    app->WriteProfileBinary(name, L"RUContents", bytes.data(), static_cast<UINT>(bytes.size()));
    app->WriteProfileInt(name, L"RUItemsDataSize", static_cast<int>(bytes.size()));
    return TRUE;
}

BOOL COXBitmapMenuOrganizer::LoadRUItems(HMENU root, const wchar_t* section) {
    const CString name = (section && *section) ? CString(section) : CString(L"RecentlyUsedSubmenuItems");
    CWinApp* app = AfxGetApp();
    if (!app) return TRUE;
    if (static_cast<int>(app->GetProfileInt(name, L"RUItemsDataSize", -1)) == -1) return TRUE;
    std::vector<BYTE> bytes;
    if (!app->GetProfileBinary(name, L"RUContents", bytes)) return TRUE;
    // The bytes actually read are parsed, whatever size the other value claims.
    CBarArchiveReader in(bytes);
    LoadHiddenSubmenus(root, in);
    return TRUE;
}

// Menus -------------------------------------------------------------------------------------------

COXBitmapMenu* COXBitmapMenuOrganizer::FindConverted(HMENU menu) const {
    for (auto& converted : m_convertedMenus)
        if (converted->GetSafeHmenu() == menu) return converted.get();
    return nullptr;
}

COXImageInfo* COXBitmapMenuOrganizer::EnsureImageInfo(UINT key) {
    auto& info = m_imageInfos[key];
    if (!info) {
        const CString text = MakeImageKey(key, FALSE);
        HIMAGELIST list = m_checkImages.m_hImageList;
        if (auto it = m_imageLists.find(text); it != m_imageLists.end() && it->second) list = it->second->m_hImageList;
        info = std::make_unique<COXImageInfo>(list, 0, TRUE, -1);
    }
    return info.get();
}

void COXBitmapMenuOrganizer::AdoptMenu(std::unique_ptr<COXBitmapMenu> menu) {
    if (!menu || FindConverted(menu->GetSafeHmenu())) return;
    m_adoptedMenus.insert(menu.get());
    m_convertedMenus.push_back(std::move(menu));
}

void COXBitmapMenuOrganizer::OnInitMenuPopup(HMENU popup, UINT position, BOOL systemMenu) {
    COXBitmapMenu* menu = FindConverted(popup);
    bool isNew = menu && m_adoptedMenus.erase(menu) != 0;
    if (!menu) {
        if (COXBitmapMenu* other = COXBitmapMenu::FromHandle(popup)) other->Detach();
        m_convertedMenus.push_back(std::make_unique<COXBitmapMenu>(popup));
        menu = m_convertedMenus.back().get();
        isNew = true;
    }
    menu->UpdateMenuItems(CWnd::FromHandle(m_hWndSubclassed), position, systemMenu);
    ConvertMenu(menu, isNew);
    menu->SetCustomizeMode(FALSE);
    COXBitmapMenu::SetTracked(menu);
}

void COXBitmapMenuOrganizer::ConvertMenu(COXBitmapMenu* menu, BOOL isNew) {
    const HMENU handle = menu->GetSafeHmenu();
    const bool filter = isNew && !m_bExpanded && m_bShowOnlyRecentlyUsed;
    std::vector<_tagOXSAVEDMENUITEM> removed;
    bool lastKeptWasSeparator = true;
    const int count = GetMenuItemCount(handle);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info;
        CString text;
        if (!ReadItem(handle, i, info, text)) continue;
        const bool separator = (info.fType & MFT_SEPARATOR) != 0;
        const bool hidden = filter && ((!info.hSubMenu && !separator && !IsCommandShown(static_cast<int>(info.wID))) ||
                                       (info.hSubMenu && !IsSubmenuShown(info.hSubMenu)) || (separator && lastKeptWasSeparator));
        if (hidden) {
            _tagOXSAVEDMENUITEM saved;
            saved.nIndex = i;
            saved.miInfo = info;
            saved.sText = text;
            if (info.hSubMenu) saved.miInfo.hSubMenu = CopyPopupMenu(info.hSubMenu);
            removed.push_back(saved);
            if (!separator && !lastKeptWasSeparator && i > 0 && GetMenuItemID(handle, i - 1) == 0) lastKeptWasSeparator = true;
            continue;
        }
        const UINT key = info.hSubMenu ? static_cast<UINT>(-1) : info.wID;
        MENUITEMINFOW update{};
        update.cbSize = sizeof(update);
        update.fMask = MIIM_ID | MIIM_DATA;
        if (!(info.fType & MFT_OWNERDRAW)) update.fMask |= MIIM_FTYPE;
        update.fType = info.fType | MFT_OWNERDRAW;
        update.wID = info.wID == SC_RESTORE ? 0x6DE9 : info.wID == SC_MINIMIZE ? 0x6DEA : info.wID == SC_CLOSE ? 0x6DEB : info.wID;
        COXImageInfo* image = separator ? nullptr : EnsureImageInfo(key);
        if (info.dwItemData && !isNew) {
            update.dwItemData = info.dwItemData;
            if ((info.fType & ~MFT_OWNERDRAW) == MFT_STRING && !text.IsEmpty())
                reinterpret_cast<COXItemInfo*>(info.dwItemData)->text = text;
        } else {
            update.dwItemData = reinterpret_cast<ULONG_PTR>(menu->AddItemInfo(std::make_unique<COXItemInfo>(image, text)));
        }
        SetMenuItemInfoW(handle, static_cast<UINT>(i), TRUE, &update);
        // The position the item will have once the hidden ones are gone.
        if (const int amp = text.Find(L'&'); amp >= 0 && amp + 1 < text.GetLength())
            menu->Mnemonics()[UpperCase(text[amp + 1])] = i - static_cast<int>(removed.size());
        lastKeptWasSeparator = separator;
    }
    if (isNew) {
        if (!removed.empty()) {
            COXImageInfo* image = EnsureImageInfo(ID_BITMAPMENU_EXPAND);
            COXItemInfo* item = menu->AddItemInfo(std::make_unique<COXItemInfo>(image, CString()));
            AppendMenuW(handle, MF_OWNERDRAW, ID_BITMAPMENU_EXPAND, reinterpret_cast<const wchar_t*>(item));
            for (auto it = removed.rbegin(); it != removed.rend(); ++it) {
                // The copy stands in for the submenu the deletion destroys.
                DeleteMenu(handle, static_cast<UINT>(it->nIndex), MF_BYPOSITION);
            }
        }
        m_removedItems[menu] = std::move(removed);
    }
    menu->CalcExtents();
}

HMENU COXBitmapMenuOrganizer::CopyPopupMenu(HMENU source) {
    HMENU copy = CreatePopupMenu();
    if (!copy) return nullptr;
    m_copiedSubmenus.push_back(copy);
    if (!IsSubmenuShown(source)) {
        ShowSubmenu(source);
        HideSubmenu(copy);
    }
    for (int i = 0; i < GetMenuItemCount(source); ++i) {
        MENUITEMINFOW info;
        CString text;
        if (!ReadItem(source, i, info, text)) continue;
        if (info.hSubMenu) info.hSubMenu = CopyPopupMenu(info.hSubMenu);
        if (!(info.fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW))) {
            info.dwTypeData = const_cast<wchar_t*>(text.GetString());
            info.cch = static_cast<UINT>(text.GetLength());
        }
        InsertMenuItemW(copy, static_cast<UINT>(i), TRUE, &info);
    }
    return copy;
}

void COXBitmapMenuOrganizer::RestoreMenu(COXBitmapMenu* menu, BOOL restoreItems) {
    auto it = std::find_if(m_convertedMenus.begin(), m_convertedMenus.end(), [menu](auto& m) { return m.get() == menu; });
    if (it == m_convertedMenus.end()) return;
    m_adoptedMenus.erase(menu);
    std::unique_ptr<COXBitmapMenu> owned = std::move(*it);
    m_convertedMenus.erase(it);
    const HMENU handle = menu->GetSafeHmenu();
    const bool isMenu = handle && IsMenu(handle);
    const bool hadExpand = isMenu && IsExpandLast(handle);
    if (hadExpand) DeleteMenu(handle, static_cast<UINT>(GetMenuItemCount(handle) - 1), MF_BYPOSITION);
    if (restoreItems && isMenu) {
        for (int i = 0; i < GetMenuItemCount(handle); ++i) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE | MIIM_DATA;
            if (!GetMenuItemInfoW(handle, static_cast<UINT>(i), TRUE, &info) || !(info.fType & MFT_OWNERDRAW) || !info.dwItemData) continue;
            const CString text = reinterpret_cast<COXItemInfo*>(info.dwItemData)->text;
            MENUITEMINFOW plain{};
            plain.cbSize = sizeof(plain);
            plain.fMask = MIIM_TYPE | MIIM_DATA;
            plain.fType = info.fType & ~MFT_OWNERDRAW;
            plain.dwTypeData = const_cast<wchar_t*>(text.GetString());
            plain.dwItemData = 0;
            SetMenuItemInfoW(handle, static_cast<UINT>(i), TRUE, &plain);
        }
    }
    if (auto removed = m_removedItems.find(menu); removed != m_removedItems.end()) {
        if (isMenu) {
            for (auto& saved : removed->second) {
                MENUITEMINFOW info = saved.miInfo;
                info.cbSize = sizeof(info);
                if (!(info.fType & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW))) {
                    info.dwTypeData = const_cast<wchar_t*>(saved.sText.GetString());
                    info.cch = static_cast<UINT>(saved.sText.GetLength());
                }
                if (info.hSubMenu) std::erase(m_copiedSubmenus, info.hSubMenu);  // the menu owns it again
                InsertMenuItemW(handle, static_cast<UINT>(saved.nIndex), TRUE, &info);
            }
        }
        m_removedItems.erase(removed);
    }
    owned->Detach();
    if (hadExpand) m_pDeferredMenu = std::move(owned);  // its expand item may still be drawing
}

LRESULT COXBitmapMenuOrganizer::OnMenuChar(UINT ch, UINT, HMENU menu) {
    if (COXBitmapMenu* bitmap = FindConverted(menu)) {
        auto& mnemonics = bitmap->Mnemonics();
        if (auto it = mnemonics.find(static_cast<wchar_t>(ch)); it != mnemonics.end()) return MAKELONG(it->second, MNC_EXECUTE);
    }
    return 0;
}

HMENU COXBitmapMenuOrganizer::FindPopupMenuFromID(HMENU menu, UINT id) const {
    if (!menu) return nullptr;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        HMENU sub = GetSubMenu(menu, i);
        const UINT itemId = sub ? static_cast<UINT>(reinterpret_cast<UINT_PTR>(sub)) : GetMenuItemID(menu, i);
        if (id == static_cast<UINT>(-1) || itemId == id) return menu;
        if (sub)
            if (HMENU found = FindPopupMenuFromID(sub, id)) return found;
    }
    return nullptr;
}

BOOL COXBitmapMenuOrganizer::OnMeasureItem(int controlId, MEASUREITEMSTRUCT* measure) {
    if (measure->CtlType != ODT_MENU) {
        if (HWND child = GetDlgItem(m_hWndSubclassed, controlId))
            SendMessageW(child, WM_REFLECT_BASE + WM_MEASUREITEM, static_cast<WPARAM>(controlId), reinterpret_cast<LPARAM>(measure));
        return TRUE;
    }
    // The item is in one of the menus converted for this frame, else in the
    // popup of the innermost open level.
    COXBitmapMenu* found = nullptr;
    for (auto& menu : m_convertedMenus) {
        const HMENU handle = menu->GetSafeHmenu();
        for (int i = 0; i < GetMenuItemCount(handle) && !found; ++i) {
            MENUITEMINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_ID | MIIM_DATA;
            if (GetMenuItemInfoW(handle, static_cast<UINT>(i), TRUE, &info) && info.dwItemData == measure->itemData &&
                (info.wID == measure->itemID || !measure->itemData))
                found = menu.get();
        }
        if (found) break;
    }
    if (!found) {
        HMENU start = GetMenu(m_hWndSubclassed);
        if (HMENU holder = FindPopupMenuFromID(start, measure->itemID)) found = FindConverted(holder);
    }
    if (!found && m_nOpenLevels > 0 && m_nOpenLevels <= static_cast<int>(m_trace.size()))
        found = FindConverted(m_trace[static_cast<size_t>(m_nOpenLevels - 1)].hMenu);
    if (!found) return FALSE;
    found->MeasureItem(measure);
    return TRUE;
}
