// COXBitmapMenuOrganizer during a menu loop: the frame's messages (popup
// trace, expand command, recently-used bookkeeping) and the thread hooks.
#include "bars/BitmapMenuOrganizer.h"

#include "app/WinApp.h"
#include "bars/MenuHelpers.h"
#include "wnd/FrameWnd.h"

namespace {

// The window that shows the popup menu: the menu window of this thread that
// shows it, else the topmost window of this thread (the popup is the newest
// window when it opens). Never another thread's or process's window.
HWND PopupWindowOf(HMENU menu) {
    struct Search {
        HMENU menu;
        HWND found;
    } search{menu, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) CALLBACK -> BOOL {
            auto* search = reinterpret_cast<Search*>(data);
            wchar_t name[16] = {};
            if (GetClassNameW(window, name, 16) && wcscmp(name, L"#32768") == 0 &&
                reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0)) == search->menu) {
                search->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    for (HWND top = GetWindow(GetDesktopWindow(), GW_CHILD); top; top = GetWindow(top, GW_HWNDNEXT))
        if (GetWindowThreadProcessId(top, nullptr) == GetCurrentThreadId()) return top;
    return nullptr;
}


HHOOK g_mouseHook = nullptr;
HHOOK g_keyboardHook = nullptr;

}  // namespace

// The frame's messages ---------------------------------------------------------------------------------

LRESULT CALLBACK COXBitmapMenuOrganizer::FrameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (COXBitmapMenuOrganizer* organizer = FindOrganizer(hwnd)) return organizer->HandleFrameMessage(hwnd, message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void COXBitmapMenuOrganizer::TrimTrace() {
    size_t i = 0;
    for (; i < m_trace.size(); ++i) {
        auto it = m_popupWindows.find(m_trace[i].hMenu);
        if (it == m_popupWindows.end() || !IsWindow(it->second) || !IsWindowVisible(it->second)) break;
    }
    if (m_trace.empty()) m_nOpenLevels = 0;
    else if (static_cast<int>(i) < m_nOpenLevels) m_nOpenLevels = static_cast<int>(i);
}

LRESULT COXBitmapMenuOrganizer::HandleFrameMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MEASUREITEM) return OnMeasureItem(static_cast<int>(wParam), reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    if (message == WM_DRAWITEM) {
        // Items of the bitmap menus draw themselves; anything else is the frame's.
        auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (draw->CtlType == ODT_MENU)
            if (COXBitmapMenu* menu = COXBitmapMenu::FromHandle(reinterpret_cast<HMENU>(draw->hwndItem))) {
                menu->DrawItem(draw);
                return TRUE;
            }
    }
    const WNDPROC previous = m_pfnOldProc;
    if (message == WM_NCDESTROY) UnsubclassFrameWnd();
    LRESULT result = CallWindowProcW(previous, hwnd, message, wParam, lParam);
    if (!IsWindow(hwnd) || FindOrganizer(hwnd) != this) return result;
    switch (message) {
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
        COXMenuSkinXP::ColorsChanged();
        break;
    case WM_MENUCHAR:
        return OnMenuChar(UpperCase(static_cast<wchar_t>(LOWORD(wParam))), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
    case WM_INITMENUPOPUP: {
        auto popup = reinterpret_cast<HMENU>(wParam);
        TrimTrace();
        if (static_cast<int>(m_trace.size()) > m_nOpenLevels) {
            for (int k = static_cast<int>(m_trace.size()) - 1; k >= m_nOpenLevels; --k) {
                const HMENU old = m_trace[static_cast<size_t>(k)].hMenu;
                if (k == m_nOpenLevels)
                    if (auto it = m_popupWindows.find(old); it != m_popupWindows.end()) m_popupWindows[popup] = it->second;
                m_popupWindows.erase(old);
                m_trace.erase(m_trace.begin() + k);
            }
        }
        ++m_nOpenLevels;
        if (!HIWORD(lParam)) {
            OnInitMenuPopup(popup, LOWORD(lParam), FALSE);
            m_trace.push_back(_tagOXPOPUPMENUTRACE{popup, CPoint()});
        }
        break;
    }
    case WM_MENUSELECT:
        if (lParam && !m_trace.empty() && m_trace.back().hMenu == reinterpret_cast<HMENU>(lParam)) {
            if (HWND top = PopupWindowOf(reinterpret_cast<HMENU>(lParam))) {
                RECT r;
                ::GetWindowRect(top, &r);
                m_trace.back().ptTopLeft = CPoint(r.left, r.top);
                m_popupWindows[m_trace.back().hMenu] = top;
            }
            if (m_bShowOnlyRecentlyUsed) {
                if (!g_mouseHook) g_mouseHook = SetWindowsHookExW(WH_MOUSE, &MouseHookProc, nullptr, GetCurrentThreadId());
                if (!g_keyboardHook) g_keyboardHook = SetWindowsHookExW(WH_KEYBOARD, &KeyboardHookProc, nullptr, GetCurrentThreadId());
            }
        }
        break;
    case WM_EXITMENULOOP:
        if (!wParam) {
            if (m_bExpanded) {
                m_bExpanded = FALSE;
                if (m_bShowOnlyRecentlyUsed)
                    while (!m_convertedMenus.empty()) RestoreMenu(m_convertedMenus.front().get(), TRUE);
            }
            m_nOpenLevels = 0;
        }
        Unhook();
        break;
    case WM_COMMAND:
        if (wParam < 0x10000) {
            const UINT id = LOWORD(wParam);
            if (id == ID_BITMAPMENU_EXPAND) {
                Expand();
            } else if (id >= 1 && m_bShowOnlyRecentlyUsed && !m_trace.empty()) {
                bool changed = ShowCommand(static_cast<int>(id));
                for (size_t k = 1; k < m_trace.size(); ++k)
                    if (!IsSubmenuShown(m_trace[k].hMenu)) changed |= ShowSubmenu(m_trace[k].hMenu) != FALSE;
                if (changed && m_pFrameWnd) m_pFrameWnd->SendMessage(WM_BITMAPMENU_RUITEMSCHANGED);
            }
        }
        break;
    case WM_BITMAPMENU_SAVERUITEMS:
    case WM_BITMAPMENU_LOADRUITEMS:
        if (wParam) {
            CString section = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
            section += L"_RecentlyUsedSubmenuItems";
            if (message == WM_BITMAPMENU_SAVERUITEMS) SaveRUItems(reinterpret_cast<HMENU>(wParam), section);
            else LoadRUItems(reinterpret_cast<HMENU>(wParam), section);
        }
        break;
    default:
        break;
    }
    return result;
}

void COXBitmapMenuOrganizer::Expand() {
    m_bExpanded = TRUE;
    TrimTrace();
    if (m_nOpenLevels < 1 || m_nOpenLevels > static_cast<int>(m_trace.size())) return;
    const HMENU expanding = m_trace[static_cast<size_t>(m_nOpenLevels - 1)].hMenu;
    const bool frameHasMenu = GetMenu(m_hWndSubclassed) != nullptr;
    const bool special = !frameHasMenu && m_nOpenLevels == 1;
    HWND parent = m_hWndSubclassed;
    if (!special && m_nOpenLevels >= 2)
        if (auto it = m_popupWindows.find(m_trace[static_cast<size_t>(m_nOpenLevels - 2)].hMenu); it != m_popupWindows.end())
            parent = it->second;
    if (special) LockWindowUpdate(m_hWndSubclassed);
    if (auto it = m_popupWindows.find(expanding); it != m_popupWindows.end()) {
        if (!frameHasMenu) SendMessageW(it->second, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        else PostMessageW(it->second, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    }
    if (special) LockWindowUpdate(nullptr);
    for (size_t i = 0; i < m_convertedMenus.size();) {
        COXBitmapMenu* menu = m_convertedMenus[i].get();
        const HMENU handle = menu->GetSafeHmenu();
        auto window = m_popupWindows.find(handle);
        const bool live = window != m_popupWindows.end() && IsWindow(window->second);
        if (IsMenu(handle) && live && handle != expanding) {
            ++i;
            continue;
        }
        RestoreMenu(menu, TRUE);
    }
    if (!special) {
        if (!frameHasMenu) SendMessageW(parent, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        else PostMessageW(parent, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    }
}

// Hooks ---------------------------------------------------------------------------------------------

void COXBitmapMenuOrganizer::Unhook() {
    if (g_mouseHook) UnhookWindowsHookEx(g_mouseHook);
    if (g_keyboardHook) UnhookWindowsHookEx(g_keyboardHook);
    g_mouseHook = g_keyboardHook = nullptr;
}

LRESULT CALLBACK COXBitmapMenuOrganizer::KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
    COXBitmapMenuOrganizer* organizer = MainWindowOrganizer();
    if (code >= 0 && wParam == VK_RETURN && organizer) {
        HWND top = GetWindow(GetDesktopWindow(), GW_CHILD);
        for (auto& [menu, window] : organizer->m_popupWindows) {
            if (window != top || !IsExpandLast(menu)) continue;
            const int last = GetMenuItemCount(menu) - 1;
            if (!(GetMenuState(menu, static_cast<UINT>(last), MF_BYPOSITION) & MF_HILITE)) continue;
            if ((static_cast<DWORD>(lParam) & 0xE0000000) == 0 && organizer->m_pFrameWnd)
                organizer->m_pFrameWnd->PostMessage(WM_COMMAND, ID_BITMAPMENU_EXPAND, 0);
            return 1;
        }
    }
    return CallNextHookEx(g_keyboardHook, code, wParam, lParam);
}

LRESULT CALLBACK COXBitmapMenuOrganizer::MouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
    COXBitmapMenuOrganizer* organizer = MainWindowOrganizer();
    const bool button = wParam == WM_LBUTTONDOWN || wParam == WM_RBUTTONDOWN || wParam == WM_LBUTTONUP || wParam == WM_RBUTTONUP ||
                        wParam == WM_LBUTTONDBLCLK || wParam == WM_RBUTTONDBLCLK;
    if (code >= 0 && button && organizer) {
        const DWORD pos = GetMessagePos();
        const POINT pt{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
        HWND under = WindowFromPoint(pt);
        auto& trace = organizer->m_trace;
        for (auto [menu, window] : std::map<HMENU, HWND>(organizer->m_popupWindows)) {
            if (window != under) continue;
            size_t k = 0;
            while (k < trace.size() && trace[k].hMenu != menu) ++k;
            if (organizer->m_nOpenLevels > static_cast<int>(k) + 1) {
                bool met = false;
                for (size_t j = k + 1; j < trace.size(); ++j) {
                    auto it = organizer->m_popupWindows.find(trace[j].hMenu);
                    if (it == organizer->m_popupWindows.end()) continue;
                    met = true;
                    if (IsWindow(it->second)) SendMessageW(it->second, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                }
                if (met) organizer->m_nOpenLevels = static_cast<int>(k) + 1;
            }
            const int item = MenuItemFromPoint(nullptr, menu, pt);
            if (item >= 0 && GetMenuItemID(menu, item) == ID_BITMAPMENU_EXPAND) {
                if (wParam != WM_LBUTTONDOWN && wParam != WM_RBUTTONDOWN && organizer->m_pFrameWnd)
                    organizer->m_pFrameWnd->PostMessage(WM_COMMAND, ID_BITMAPMENU_EXPAND, 0);
                return 1;
            }
        }
    }
    return CallNextHookEx(g_mouseHook, code, wParam, lParam);
}
