#include "bars/MenuBar.h"

#include "app/WinApp.h"
#include "bars/BitmapMenuOrganizer.h"
#include "bars/PackedMenuItems.h"
#include "wnd/Resources.h"

#include <algorithm>

namespace {

HHOOK g_mouseHook = nullptr;
int g_hookUsers = 0;
HWND g_lastHovered = nullptr;
HWND g_keyboardFocus = nullptr;  // the window that had the focus before keyboard mode
HHOOK g_filterHook = nullptr;
COXMenuBar* g_trackingBar = nullptr;

void WriteMenu(CBarArchiveWriter& out, HMENU menu, int depth = 0) {
    const int count = GetMenuItemCount(menu);
    out.WriteInt(count);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        std::wstring text(static_cast<size_t>(info.cch) + 1, L'\0');
        info.dwTypeData = text.data();
        info.cch += 1;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        text.resize(wcslen(text.c_str()));
        out.WriteInt(static_cast<int32_t>(info.fType));
        out.WriteInt(info.hSubMenu ? 1 : 0);
        out.WriteInt(info.hSubMenu ? -1 : static_cast<int32_t>(info.wID));
        out.WriteString(CString(text));
        if (info.hSubMenu && depth < 32) WriteMenu(out, info.hSubMenu, depth + 1);
        else if (info.hSubMenu) out.WriteInt(0);
    }
}

}  // namespace

COXMenuBar::~COXMenuBar() {
    for (HMENU menu : m_createdMenus)
        if (IsMenu(menu)) DestroyMenu(menu);
    if (g_trackingBar == this) g_trackingBar = nullptr;
}

int COXMenuBar::GetHookUsers() { return g_hookUsers; }
bool COXMenuBar::IsMouseHookInstalled() { return g_mouseHook != nullptr; }

LRESULT COXMenuBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY && m_bHookUser) {
        // The hook stays while any other menu bar is alive.
        m_bHookUser = FALSE;
        if (--g_hookUsers == 0 && g_mouseHook) {
            UnhookWindowsHookEx(g_mouseHook);
            g_mouseHook = nullptr;
        }
    }
    if (message == WM_MENUBAR_OPENPOPUP) {
        // Only the last of several waiting requests counts.
        int index = static_cast<int>(wParam);
        MSG pending;
        while (PeekMessageW(&pending, m_hWnd, WM_MENUBAR_OPENPOPUP, WM_MENUBAR_OPENPOPUP, PM_REMOVE)) index = static_cast<int>(pending.wParam);
        OpenPopup(index);
        return 0;
    }
    LRESULT handled = 0;
    if (OnMDIMouse(message, wParam, lParam, handled)) return handled;
    switch (message) {
    case WM_KILLFOCUS: m_bKeyboardMode = FALSE; break;
    case WM_SETTINGCHANGE: OnSettingChange(TRUE); break;
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED: COXMenuSkinXP::ColorsChanged(); break;
    case WM_IDLEUPDATECMDUI: UpdateMDIChildIcon(TRUE); break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_TIMER: OnCustomizeMouse(message, message == WM_TIMER ? static_cast<LPARAM>(wParam) : lParam); break;
    default: break;
    }
    if (message == WM_TIMER && wParam == kMenuBarDragTimer) return 0;
    const LRESULT result = COXCoolToolBar::WindowProc(message, wParam, lParam);
    if (message == WM_WINDOWPOSCHANGED) EmptyMiniFrameSystemMenu();
    if (message == WM_CREATE && result != -1 && !m_bHookUser) {
        m_bHookUser = TRUE;
        if (g_hookUsers++ == 0) g_mouseHook = SetWindowsHookExW(WH_MOUSE, &MouseHookProc, nullptr, GetCurrentThreadId());
    }
    return result;
}

void COXMenuBar::OnSettingChange(BOOL relayout) {
    COXBitmapMenu::CreateMenuFont(m_font);
    SetFont(m_font, FALSE);
    if (GetCount() > 0) {
        SendMessage(TB_AUTOSIZE);
        CRect first;
        COXCoolToolBar::GetItemRect(0, &first);
        SetHeight(first.Height() + 3);
        SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(m_sizeButton.cx, m_sizeButton.cy));
        // Every layout gives the buttons the widths of their texts, now in the new font.
        ApplyButtonWidths();
    }
    SetColor(OXTB_DEFAULT_TEXT, GetSysColor(COLOR_MENUTEXT));
    if (relayout) UpdateCustomButtons(TRUE, TRUE);
}

void COXMenuBar::OnCustomizeMouse(UINT message, LPARAM lParam) {
    if (!m_bCustomizeMode || !IsCustomizable(TRUE)) return;
    auto stop = [this] {
        CWnd::KillTimer(kMenuBarDragTimer);
        m_nDragTimer = 0;
    };
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        // A second press before the timer fires is no drag.
        if (m_nDragTimer) {
            stop();
            return;
        }
        POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        m_nDragButton = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt)));
        m_nDragTimer = CWnd::SetTimer(kMenuBarDragTimer, 200, nullptr);
    } else if (message == WM_MOUSEMOVE) {
        if (m_nDragTimer && GetKeyState(VK_LBUTTON) >= 0) stop();
    } else if (message == WM_TIMER && static_cast<UINT_PTR>(lParam) == kMenuBarDragTimer) {
        stop();
        if (GetKeyState(VK_LBUTTON) >= 0 || m_nDragButton < 0 || m_nDragButton >= GetCount()) return;
        NMTOOLBARW notify{};
        notify.hdr.hwndFrom = m_hWnd;
        notify.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
        notify.hdr.code = TBN_BEGINDRAG;
        notify.iItem = m_nDragButton + 1;
        if (CWnd* parent = GetParent())
            parent->SendMessage(WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify));
    }
}

const MessageMap* COXMenuBar::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXMenuBar::OnKeyDown>(WM_KEYDOWN),
        MapUpdateUIRange<&COXMenuBar::OnUpdateMenuButton>(1, 0xFFFF),
    };
    static const MessageMap map{COXCoolToolBar::GetMessageMap(), entries};
    return &map;
}

BOOL COXMenuBar::Create(CWnd* parent, DWORD style, UINT id) {
    if (m_sizeImage.cx <= 0 || m_sizeImage.cy <= 0) {
        m_sizeImage = CSize(16, 15);
        m_sizeButton = CSize(23, 22);
    }
    if (!COXCoolToolBar::Create(parent, style, id)) return FALSE;
    SetDropDownArrow(FALSE);
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    CString title = LoadStringResource(26966);
    SetWindowText(title.IsEmpty() ? L"Menu Bar" : title.GetString());
    m_pOwnerFrame = parent;
    COXBitmapMenu::CreateMenuFont(m_font);
    SetFont(m_font, FALSE);
    return TRUE;
}

BOOL COXMenuBar::SetMenu(HMENU menu) {
    if (!m_hWnd) return FALSE;
    while (SendMessage(TB_BUTTONCOUNT) > 0) SendMessage(TB_DELETEBUTTON, 0);
    m_hMenu = menu;
    if (!menu) return TRUE;
    const int count = GetMenuItemCount(menu);
    std::vector<CString> texts;
    for (int i = 0; i < count; ++i) texts.push_back(GetMenuItemText(i));
    std::vector<TBBUTTON> buttons(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        TBBUTTON& b = buttons[static_cast<size_t>(i)];
        b.iBitmap = I_IMAGENONE;
        b.idCommand = i + 1;
        b.fsState = TBSTATE_ENABLED;
        b.fsStyle = BTNS_DROPDOWN | BTNS_SHOWTEXT;
        b.iString = reinterpret_cast<INT_PTR>(texts[static_cast<size_t>(i)].GetString());
    }
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    SendMessage(TB_ADDBUTTONSW, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(buttons.data()));
    ApplyButtonWidths();
    SendMessage(TB_AUTOSIZE);
    return TRUE;
}

CString COXMenuBar::GetMenuItemText(int index) const {
    wchar_t text[1025] = {};
    if (m_hMenu) GetMenuStringW(m_hMenu, static_cast<UINT>(index), text, 1025, MF_BYPOSITION);
    return text;
}

void COXMenuBar::OnUpdateMenuButton(CCmdUI* cmdUI) {
    const UINT state = m_hMenu ? GetMenuState(m_hMenu, cmdUI->m_nID - 1, MF_BYPOSITION) : 0xFFFFFFFF;
    cmdUI->Enable(state != 0xFFFFFFFF && !(state & (MF_GRAYED | MF_DISABLED)));
}

BOOL COXMenuBar::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == TBN_DROPDOWN) {
            const int index = CommandToIndex(static_cast<UINT>(reinterpret_cast<NMTOOLBARW*>(lParam)->iItem));
            if (index == m_nLastClosed) m_nLastClosed = -1;
            else if (!RunPlainCommand(index)) PostMessage(WM_MENUBAR_OPENPOPUP, static_cast<WPARAM>(index));
            *result = TBDDRET_DEFAULT;
            return TRUE;
        }
        if (header->code == TBN_BEGINDRAG) {
            *result = 0;
            return TRUE;
        }
    }
    return COXCoolToolBar::OnChildNotify(message, wParam, lParam, result);
}

// Popups ------------------------------------------------------------------------------------------

bool COXMenuBar::RunPlainCommand(int index) {
    if (!m_hMenu || index < 0 || index >= GetMenuItemCount(m_hMenu) || GetSubMenu(m_hMenu, index)) return false;
    const UINT id = GetMenuItemID(m_hMenu, index);
    if (id == 0 || id == static_cast<UINT>(-1)) return false;
    // Shown pressed while the command runs.
    SendMessage(TB_PRESSBUTTON, static_cast<WPARAM>(index + 1), TRUE);
    if (CWnd* owner = m_pOwnerFrame ? m_pOwnerFrame : GetOwner()) owner->SendMessage(WM_COMMAND, id);
    if (m_hWnd) SendMessage(TB_PRESSBUTTON, static_cast<WPARAM>(index + 1), FALSE);
    return true;
}

void COXMenuBar::OpenPopup(int index) {
    if (m_bCustomizeMode && IsCustomizable(TRUE) && m_changedMenus.contains(m_hMenu)) {
        SaveMenuLayout(m_hMenu, L"");
        m_changedMenus.erase(m_hMenu);
    }
    const int count = m_hMenu ? GetMenuItemCount(m_hMenu) : 0;
    HWND child = index == count ? GetMaximizedMDIChild() : nullptr;
    if (index < 0 || index > count || (index == count && (!m_hMDIChildIcon || !child))) {
        EndPopupState();
        return;
    }
    HMENU popup = child ? ::GetSystemMenu(child, FALSE) : GetSubMenu(m_hMenu, index);
    if (!popup && !child) {
        // A plain command: run in keyboard mode.
        const UINT id = GetMenuItemID(m_hMenu, index);
        if (m_bKeyboardMode && AfxGetMainWnd()) AfxGetMainWnd()->SendMessage(WM_COMMAND, id);
        return;
    }
    const BOOL wasKeyboard = m_bKeyboardMode;
    if (wasKeyboard) SetKeyboardMode(FALSE);
    m_bKeyboardOpened = wasKeyboard;
    if (!popup || (!child && (GetMenuState(m_hMenu, static_cast<UINT>(index), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)))) {
        EndPopupState();
        return;
    }
    if (!wasKeyboard && m_pOwnerFrame && m_nOpenPopup == -1) {
        m_pOwnerFrame->SendMessage(WM_ENTERMENULOOP, 0, 0);
        m_pOwnerFrame->SendMessage(WM_INITMENU, reinterpret_cast<WPARAM>(m_hMenu));
    }
    if (m_pOwnerFrame)
        m_pOwnerFrame->SendMessage(WM_MENUSELECT, child ? MAKEWPARAM(0, MF_SYSMENU) : MAKEWPARAM(index, MF_POPUP | MF_HILITE),
                                   reinterpret_cast<LPARAM>(m_hMenu));
    m_nOpenPopup = index;
    m_nNextPopup = -1;
    if (child) TrackSystemMenu(popup);
    else TrackPopup(popup, index);
    if (m_nNextPopup != -1) {
        PostMessage(WM_MENUBAR_OPENPOPUP, static_cast<WPARAM>(m_nNextPopup));
        m_nOpenPopup = -1;
        SendMessage(TB_PRESSBUTTON, static_cast<WPARAM>(index + 1), FALSE);
        return;
    }
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    CRect button;
    GetItemRect(index, &button);
    if (button.PtInRect(cursor)) m_nLastClosed = index;
    EndPopupState();
}

void COXMenuBar::TrackPopup(HMENU popup, int index) {
    SendMessage(TB_PRESSBUTTON, static_cast<WPARAM>(index + 1), TRUE);
    CRect button;
    GetItemRect(index, &button);
    ClientToScreen(&button);
    g_trackingBar = this;
    g_filterHook = SetWindowsHookExW(WH_MSGFILTER, &MessageFilterProc, nullptr, GetCurrentThreadId());
    CWnd* owner = m_pOwnerFrame ? m_pOwnerFrame : this;
    CWnd* main = AfxGetMainWnd();
    COXBitmapMenuOrganizer* organizer = main ? COXBitmapMenuOrganizer::FindOrganizer(main->GetSafeHwnd()) : nullptr;
    if (organizer) {
        // The bitmap menu tracks for its command; the frame gets it as the
        // system's own tracking would have sent it.
        COXBitmapMenu* menu = COXBitmapMenu::FromHandle(popup);
        if (!menu) {
            auto made = std::make_unique<COXBitmapMenu>(popup);
            menu = made.get();
            organizer->AdoptMenu(std::move(made));
        }
        if (const UINT command = menu->TrackPopupMenu(this, owner, &button); command != 0)
            owner->PostMessage(WM_COMMAND, command, 0);
    } else {
        TrackBeside(popup, button, 0, owner->GetSafeHwnd());
    }
    if (g_filterHook) UnhookWindowsHookEx(g_filterHook);
    g_filterHook = nullptr;
    g_trackingBar = nullptr;
}

UINT COXMenuBar::TrackBeside(HMENU popup, const CRect& button, UINT extraFlags, HWND owner) {
    CPoint pt;
    UINT flags = 0;
    int direction = 1;
    COXBitmapMenu::CalcPopupPosition(popup, button, GetBarStyle(), &pt, &flags, &direction);
    TPMPARAMS params{};
    params.cbSize = sizeof(params);
    params.rcExclude = button;
    return static_cast<UINT>(TrackPopupMenuEx(popup, flags | extraFlags, pt.x, pt.y, owner, &params));
}

void COXMenuBar::TrackSystemMenu(HMENU popup) {
    // The child's window commands go to the child, as its own system menu sends them.
    CRect icon;
    GetItemRect(GetMenuItemCount(m_hMenu), &icon);
    ClientToScreen(&icon);
    HWND child = GetMaximizedMDIChild();
    const UINT command = TrackBeside(popup, icon, TPM_RETURNCMD | TPM_NONOTIFY, m_hWnd);
    if (command && child && IsWindow(child)) ::PostMessageW(child, WM_SYSCOMMAND, command, 0);
}

void COXMenuBar::EndPopupState() {
    if (m_nOpenPopup != -1) SendMessage(TB_PRESSBUTTON, static_cast<WPARAM>(m_nOpenPopup + 1), FALSE);
    const int closed = m_nOpenPopup;
    m_nOpenPopup = -1;
    if (m_nNextPopup == -1 && !m_bKeyboardOpened && m_pOwnerFrame) m_pOwnerFrame->SendMessage(WM_EXITMENULOOP, 0, 0);
    if (m_bKeyboardOpened && closed != -1) {
        m_bKeyboardOpened = FALSE;
        SetKeyboardMode(TRUE, closed);
    }
}

LRESULT CALLBACK COXMenuBar::MessageFilterProc(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    COXMenuBar* bar = g_trackingBar;
    if (code == MSGF_MENU && bar && bar->m_nOpenPopup != -1) {
        const int count = static_cast<int>(bar->SendMessage(TB_BUTTONCOUNT));
        int next = -1;
        if (msg->message == WM_MOUSEMOVE) {
            POINT pt{static_cast<short>(LOWORD(msg->lParam)), static_cast<short>(HIWORD(msg->lParam))};
            ::ClientToScreen(msg->hwnd, &pt);
            ::ScreenToClient(bar->m_hWnd, &pt);
            const int hit = static_cast<int>(bar->SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt)));
            if (hit >= 0 && hit < count && hit != bar->m_nOpenPopup) next = hit;
        } else if (msg->message == WM_KEYDOWN && count > 0) {
            HMENU popup = GetSubMenu(bar->m_hMenu, bar->m_nOpenPopup);
            bool onSubmenu = false;
            for (int i = 0; popup && i < GetMenuItemCount(popup); ++i)
                if ((GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) && GetSubMenu(popup, i)) onSubmenu = true;
            if (msg->wParam == VK_LEFT) next = (bar->m_nOpenPopup + count - 1) % count;
            else if (msg->wParam == VK_RIGHT && !onSubmenu) next = (bar->m_nOpenPopup + 1) % count;
        }
        if (next != -1) {
            bar->m_nNextPopup = next;
            bar->m_bKeyboardOpened = FALSE;
            EndMenu();
            return 1;
        }
    }
    return CallNextHookEx(g_filterHook, code, wParam, lParam);
}

LRESULT CALLBACK COXMenuBar::MouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && (wParam == WM_MOUSEMOVE || wParam == WM_NCMOUSEMOVE)) {
        HWND under = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam)->hwnd;
        if (g_lastHovered && g_lastHovered != under && IsWindow(g_lastHovered))
            if (auto* bar = dynamic_cast<COXMenuBar*>(CWnd::FromHandlePermanent(g_lastHovered)))
                ::SetWindowPos(bar->m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_DRAWFRAME);
        g_lastHovered = under;
    }
    return CallNextHookEx(g_mouseHook, code, wParam, lParam);
}

// Keyboard mode -------------------------------------------------------------------------------------

BOOL COXMenuBar::SetKeyboardMode(BOOL on, int index) {
    const int count = static_cast<int>(SendMessage(TB_BUTTONCOUNT));
    if (index == count) index = -1;
    if (on == m_bKeyboardMode && on) {
        SendMessage(TB_SETHOTITEM, static_cast<WPARAM>(index));
        return TRUE;
    }
    if (on) {
        if (m_nOpenPopup != -1) return FALSE;
        g_keyboardFocus = ::GetFocus();
        m_bKeyboardMode = TRUE;
        ::SetFocus(m_hWnd);
        SendMessage(TB_SETHOTITEM, static_cast<WPARAM>(index));
        if (!m_bKeyboardOpened && m_pOwnerFrame) {
            m_pOwnerFrame->SendMessage(WM_ENTERMENULOOP, 0, 0);
            m_pOwnerFrame->SendMessage(WM_INITMENU, reinterpret_cast<WPARAM>(m_hMenu));
            m_pOwnerFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(index, MF_POPUP | MF_HILITE), reinterpret_cast<LPARAM>(m_hMenu));
        }
        return TRUE;
    }
    m_bKeyboardMode = FALSE;
    HWND back = g_keyboardFocus;
    g_keyboardFocus = nullptr;
    ::SetFocus(back && IsWindow(back) ? back : nullptr);
    SendMessage(TB_SETHOTITEM, static_cast<WPARAM>(-1));
    return TRUE;
}

void COXMenuBar::OnKeyDown(UINT key, UINT, UINT) {
    if (!m_bKeyboardMode) {
        Default();
        return;
    }
    const int count = static_cast<int>(SendMessage(TB_BUTTONCOUNT));
    const int hot = GetHotItem();
    switch (key) {
    case VK_LEFT: SetKeyboardMode(TRUE, count ? (hot + count - 1) % count : -1); break;
    case VK_RIGHT: SetKeyboardMode(TRUE, count ? (hot + 1) % count : -1); break;
    case VK_DOWN:
    case VK_UP:
    case VK_RETURN: PostMessage(WM_MENUBAR_OPENPOPUP, static_cast<WPARAM>(hot)); break;
    case VK_ESCAPE:
    case VK_MENU:
        SetKeyboardMode(FALSE);
        if (m_pOwnerFrame) m_pOwnerFrame->SendMessage(WM_EXITMENULOOP, 0, 0);
        break;
    default: break;
    }
}

// Customisation and layouts --------------------------------------------------------------------------------

BOOL COXMenuBar::DeleteButton(int index) {
    const int count = GetCount();
    if (index < 0 || index >= count) return FALSE;
    for (int i = index + 1; i < count; ++i) SendMessage(TB_SETCMDID, static_cast<WPARAM>(i), static_cast<LPARAM>(i));  // one lower
    COXCoolToolBar::DeleteButton(index);
    if (m_hMenu) {
        DeleteMenu(m_hMenu, static_cast<UINT>(index), MF_BYPOSITION);
        if (!m_changedMenus.contains(m_hMenu)) m_changedMenus[m_hMenu] = static_cast<int>(m_changedMenus.size()) + 1;
    }
    return TRUE;
}

BOOL COXMenuBar::ShowCustomizeMenu(int, int x, int y) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return FALSE;
    CString remove = LoadStringResource(26585), properties = LoadStringResource(26586);
    AppendMenuW(menu, MF_STRING, 32893, remove.IsEmpty() ? L"&Delete" : remove.GetString());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, 32894, properties.IsEmpty() ? L"&Properties..." : properties.GetString());
    ::TrackPopupMenu(menu, TPM_RIGHTBUTTON, x, y, 0, m_hWnd, nullptr);
    DestroyMenu(menu);
    return TRUE;
}

BOOL COXMenuBar::SaveBarState(const wchar_t*, const wchar_t*, BOOL) {
    for (auto& [menu, serial] : m_changedMenus) SaveMenuLayout(menu, L"");
    return TRUE;
}

BOOL COXMenuBar::SaveMenuLayout(HMENU menu, const wchar_t* layoutName) {
    if (!IsCustomizable(TRUE) || !menu) return FALSE;
    const CString section = (layoutName && *layoutName) ? CString(L"Menu_") + layoutName : CString(L"Menu_Default~!@#$#$%^");
    CBarArchiveWriter out;
    WriteMenu(out, menu);
    CWinApp* app = AfxGetApp();
    if (!app) return FALSE;
    const auto& bytes = out.Bytes();
    app->WriteProfileBinary(section, L"MenuItems", bytes.data(), static_cast<UINT>(bytes.size()));
    app->WriteProfileInt(section, L"MenuDataSize", static_cast<int>(bytes.size()));
    if (m_pOwnerFrame)
        m_pOwnerFrame->SendMessage(WM_BITMAPMENU_SAVERUITEMS, reinterpret_cast<WPARAM>(menu), reinterpret_cast<LPARAM>(section.GetString()));
    return TRUE;
}

int COXMenuBar::BuildMenuFromData(const BYTE* data, size_t size, HMENU menu, int position) {
    std::vector<HMENU> created;
    const PackedMenuResult result = InsertPackedMenuItems(data, size, menu, position, created);
    m_createdMenus.insert(m_createdMenus.end(), created.begin(), created.end());
    return result.complete ? result.items : -1;
}
