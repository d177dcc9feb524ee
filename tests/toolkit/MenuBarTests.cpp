// The menu bar on a real frame: its buttons from the menu, the shared mouse
// hook living as long as any bar, keyboard mode, popups opened and moved
// between with the arrow keys and the mouse, saved layouts and bounded
// packed item lists.
#include "ToolkitFixture.h"

#include "Random.h"
#include "bars/BitmapMenu.h"
#include "bars/DockBar.h"
#include "bars/MenuBar.h"
#include "skins/ToolbarSkin.h"
#include "bars/MiniDockFrameWnd.h"
#include "wnd/MDIFrameWnd.h"

#include <algorithm>
#include <climits>
#include <deque>
#include <functional>
#include <vector>

namespace {

class LoopFrame : public CFrameWnd {
public:
    std::vector<int> selected;  // top-level indexes as WM_MENUSELECT told them
    std::vector<UINT> commands;  // menu commands (WM_COMMAND without a control)
    int exits = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_MENUSELECT && reinterpret_cast<HMENU>(lParam) == GetMenuBarMenu() && (HIWORD(wParam) & MF_POPUP))
            selected.push_back(LOWORD(wParam));
        if (message == WM_EXITMENULOOP) ++exits;
        if (message == WM_COMMAND && lParam == 0) commands.push_back(LOWORD(wParam));
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }

public:
    HMENU barMenu = nullptr;
    HMENU GetMenuBarMenu() const { return barMenu; }
};

std::deque<std::function<void()>> g_steps;
VOID CALLBACK NextStep(HWND, UINT, UINT_PTR id, DWORD) {
    if (g_steps.empty()) {
        KillTimer(nullptr, id);
        return;
    }
    auto step = g_steps.front();
    g_steps.pop_front();
    step();
}
void PostToPopup(UINT message, WPARAM wParam, LPARAM lParam) {
    if (HWND popup = FindWindowW(L"#32768", nullptr)) PostMessageW(popup, message, wParam, lParam);
}

class MenuBarTest : public ::testing::Test {
protected:
    MenuBarTest() {
        menu = CreateMenu();
        for (const wchar_t* name : {L"&File", L"&Edit", L"&View"}) {
            HMENU popup = CreatePopupMenu();
            AppendMenuW(popup, MF_STRING, 40001, L"One");
            AppendMenuW(popup, MF_STRING, 40002, L"Two");
            AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), name);
        }
        frame->barMenu = menu;
        app.m_pMainWnd = frame;
        created = bar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, 32960);
        bar.SetMenu(menu);
        frame->RecalcLayout();
        PumpMessages();
    }
    ~MenuBarTest() override {
        app.m_pMainWnd = nullptr;
        bar.DestroyWindow();
        DestroyMenu(menu);
    }

    TestApp<CWinApp> app{L"MenuBarTests"};
    LoopFrame* frame = new LoopFrame;
    BarFrameFixture fixture{frame};
    COXMenuBar bar;
    HMENU menu = nullptr;
    BOOL created = FALSE;
};

TEST_F(MenuBarTest, ButtonsFollowTheMenuAndTheMouseHookLivesWithTheLastBar) {
    ASSERT_TRUE(created);
    ASSERT_EQ(bar.GetCount(), 3);
    EXPECT_EQ(bar.GetItemID(1), 2u);
    EXPECT_EQ(bar.GetMenuItemText(2), L"&View");
    EXPECT_EQ(COXMenuBar::GetHookUsers(), 1);
    {
        COXMenuBar second;
        ASSERT_TRUE(second.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, 32961));
        EXPECT_EQ(COXMenuBar::GetHookUsers(), 2);
        second.DestroyWindow();
    }
    EXPECT_EQ(COXMenuBar::GetHookUsers(), 1);
    EXPECT_TRUE(COXMenuBar::IsMouseHookInstalled());  // still there for the first bar

    // A press anywhere on a button asks for its popup.
    CRect second;
    bar.GetItemRect(1, &second);
    const LPARAM at = MAKELPARAM(second.CenterPoint().x, second.CenterPoint().y);
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    bar.SendMessage(WM_LBUTTONUP, 0, at);
    MSG open{};
    EXPECT_TRUE(PeekMessageW(&open, bar.m_hWnd, WM_MENUBAR_OPENPOPUP, WM_MENUBAR_OPENPOPUP, PM_REMOVE));
    EXPECT_EQ(open.wParam, 1u);

    // Deleting a button renumbers the later ones and removes the menu item.
    bar.DeleteButton(0);
    ASSERT_EQ(bar.GetCount(), 2);
    EXPECT_EQ(bar.GetItemID(0), 1u);
    EXPECT_EQ(bar.GetItemID(1), 2u);
    EXPECT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_TRUE(bar.SaveMenuLayout(menu, L""));
    std::vector<BYTE> stored;
    EXPECT_TRUE(app.GetProfileBinary(L"Menu_Default~!@#$#$%^", L"MenuItems", stored));
    EXPECT_EQ(static_cast<int>(app.GetProfileInt(L"Menu_Default~!@#$#$%^", L"MenuDataSize", -1)), static_cast<int>(stored.size()));
}

// Made as a cool bar is (its children clipped, no drop-down arrows); a setting change takes the
// system's menu font and colour again and fits the buttons to it, a smaller font too.
TEST_F(MenuBarTest, ItIsMadeAsACoolBarAndASettingChangeFitsTheButtonsToTheMenuFontAgain) {
    ASSERT_TRUE(created);
    EXPECT_TRUE(bar.GetStyle() & WS_CLIPCHILDREN);
    EXPECT_FALSE(bar.IsDropDownArrow());
    EXPECT_FALSE(bar.GetWindowText().IsEmpty());
    CRect item;
    bar.GetItemRect(0, &item);
    const int menuHeight = item.Height();

    CFont big;
    big.CreatePointFont(-360, L"Tahoma");
    bar.SetFont(big, FALSE);
    bar.SendMessage(TB_AUTOSIZE);
    bar.GetItemRect(0, &item);
    const int bigHeight = item.Height();
    ASSERT_GT(bigHeight, menuHeight + 10);

    // The buttons shrink back to the bar's button size, which the menu font's text fits.
    bar.SendMessage(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    bar.GetItemRect(0, &item);
    EXPECT_LE(item.Height(), menuHeight + 1);
    EXPECT_EQ(item.Height(), bar.GetButtonSize().cy);
    LOGFONTW font{}, menuFont{};
    ::GetObjectW(reinterpret_cast<HGDIOBJ>(bar.SendMessage(WM_GETFONT)), sizeof(font), &font);
    CFont expected;
    COXBitmapMenu::CreateMenuFont(expected);
    ::GetObjectW(expected.GetSafeHandle(), sizeof(menuFont), &menuFont);
    EXPECT_STREQ(font.lfFaceName, menuFont.lfFaceName);
    EXPECT_EQ(font.lfHeight, menuFont.lfHeight);
    EXPECT_EQ(bar.GetDefaultTextColor(), GetSysColor(COLOR_MENUTEXT));
    // Each button as wide as its text in that font and the skin's padding.
    CClientDC dc(&bar);
    HGDIOBJ old = dc.SelectObject(expected.GetSafeHandle());
    for (int i = 0; i < bar.GetCount(); ++i) {
        CRect text(0, 0, 0, 0);
        ::DrawTextW(dc, bar.GetMenuItemText(i), -1, &text, DT_CALCRECT | DT_SINGLELINE);
        bar.GetItemRect(i, &item);
        EXPECT_EQ(item.Width(), text.Width() + COXBitmapMenu::GetMenuSkin()->GetMetrics()[COXMenuSkin::kMetricCount - 1]) << i;
    }
    dc.SelectObject(old);
}

TEST_F(MenuBarTest, KeyboardModeMovesAlongTheItemsAndEscapeLeavesIt) {
    ASSERT_TRUE(bar.SetKeyboardMode(TRUE, 0));
    EXPECT_EQ(GetFocus(), bar.m_hWnd);
    EXPECT_EQ(bar.GetHotItem(), 0);
    bar.SendMessage(WM_KEYDOWN, VK_LEFT);
    EXPECT_EQ(bar.GetHotItem(), 2);  // wraps to the last
    bar.SendMessage(WM_KEYDOWN, VK_RIGHT);
    EXPECT_EQ(bar.GetHotItem(), 0);
    bar.SendMessage(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_FALSE(bar.IsInKeyboardMode());
    EXPECT_EQ(bar.GetHotItem(), -1);
    EXPECT_GE(frame->exits, 1);
}

TEST_F(MenuBarTest, OpenPopupsMoveWithArrowKeysAndTheMouse) {
    SetForegroundWindow(frame->m_hWnd);
    CRect third;
    bar.GetItemRect(2, &third);
    bar.ClientToScreen(&third);
    g_steps = {
        [] { PostToPopup(WM_KEYDOWN, VK_RIGHT, 0x014D0001); },  // File -> Edit
        [third] {
            // The mouse over the View button while Edit is open.
            HWND popup = FindWindowW(L"#32768", nullptr);
            POINT pt{(third.left + third.right) / 2, (third.top + third.bottom) / 2};
            if (popup) ScreenToClient(popup, &pt);
            PostToPopup(WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
        },
        [] { EndMenu(); },
    };
    SetTimer(nullptr, 0, 250, &NextStep);
    bar.SendMessage(WM_MENUBAR_OPENPOPUP, 0);
    for (int i = 0; i < 20 && bar.GetOpenPopup() == -1 && !g_steps.empty(); ++i) {
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        } else {
            Sleep(50);
        }
    }
    PumpMessages();
    ASSERT_GE(frame->selected.size(), 3u);
    EXPECT_EQ(frame->selected[0], 0);
    EXPECT_EQ(frame->selected[1], 1);
    EXPECT_EQ(frame->selected[2], 2);
    EXPECT_EQ(bar.GetOpenPopup(), -1);
}

// A plain command item on the bar runs at once when its button is pressed;
// the customise menu's delete removes the customised button and its menu item.
TEST_F(MenuBarTest, APlainItemRunsAtOnceAndTheCustomiseMenuDeletes) {
    AppendMenuW(menu, MF_STRING, 40010, L"&Go");
    bar.SetMenu(menu);
    frame->RecalcLayout();
    CRect go;
    bar.GetItemRect(3, &go);
    const LPARAM at = MAKELPARAM(go.CenterPoint().x, go.CenterPoint().y);
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    bar.SendMessage(WM_LBUTTONUP, 0, at);
    MSG open{};
    EXPECT_FALSE(PeekMessageW(&open, bar.m_hWnd, WM_MENUBAR_OPENPOPUP, WM_MENUBAR_OPENPOPUP, PM_REMOVE));
    EXPECT_EQ(frame->commands, std::vector<UINT>{40010});
    EXPECT_FALSE(bar.SendMessage(TB_GETSTATE, 4) & TBSTATE_PRESSED);

    bar.SetCustomizeMode(TRUE);
    bar.SetCustomizedButton(3);
    bar.SendMessage(WM_COMMAND, OXTB_CMD_DELETE);
    EXPECT_EQ(bar.GetCount(), 3);
    EXPECT_EQ(GetMenuItemCount(menu), 3);
}

TEST_F(MenuBarTest, TheOffice2003MenuBarAndItsCaptionButtonsStandOnTheFramesBand) {
    ASSERT_TRUE(created);
    COXSkin2003 office(COXUxTheme::Functions{});
    office.UseLineGradients();
    auto* skin = static_cast<COXToolbarSkinXP*>(office.GetToolbarSkin());
    CRect client;
    bar.GetClientRect(&client);
    MemoryCanvas canvas(client.Width(), client.Height());
    skin->PaintBar(&canvas.dc, &bar);
    // The band's right half is flat H7; its left half runs from H8 at the frame's left edge.
    CRect frameWindow, barClient = client;
    frame->GetWindowRect(&frameWindow);
    bar.ClientToScreen(&barClient);
    const int middle = frameWindow.left + std::max<int>(GetSystemMetrics(SM_CXSCREEN), frameWindow.Width()) / 2 - barClient.left;
    ASSERT_LT(middle, client.right - 4);
    EXPECT_EQ(canvas.Pixel(client.right - 2, client.bottom - 1), office.GetAuxColor(7));
    EXPECT_NE(canvas.Pixel(0, client.bottom - 1), office.GetAuxColor(7));
    // Each entry's button shows the entry's text.
    CRect file;
    bar.GetItemRect(0, &file);
    EXPECT_GT(canvas.Count(file, GetSysColor(COLOR_BTNTEXT)), 5);

    // A caption button away from the cursor shows the band behind it; XP fills its plain background.
    SetCursorPos(0, 0);
    const CRect button(client.right - 20, 2, client.right - 4, 16);
    const COXSkinXP& asXP = office;
    asXP.DrawFrameButton(&canvas.dc, button, DFCS_CAPTIONCLOSE, FALSE, FALSE, RGB(1, 200, 3), &bar);
    EXPECT_EQ(canvas.Pixel(button.left, button.top), office.GetAuxColor(7));
    COXSkinXP xp;
    xp.DrawFrameButton(&canvas.dc, button, DFCS_CAPTIONCLOSE, FALSE, FALSE, RGB(1, 200, 3), &bar);
    EXPECT_EQ(canvas.Pixel(button.left, button.top), RGB(1, 200, 3));
}

TEST_F(MenuBarTest, PackedLayoutsAreReadWithinTheirLength) {
    std::vector<BYTE> data;
    auto put = [&](int32_t id, const wchar_t* text, int32_t code) {
        auto putInt = [&](int32_t v) {
            const BYTE* p = reinterpret_cast<const BYTE*>(&v);
            data.insert(data.end(), p, p + 4);
        };
        putInt(id);
        const BYTE* p = reinterpret_cast<const BYTE*>(text);
        data.insert(data.end(), p, p + (wcslen(text) + 1) * 2);
        putInt(0);
        data.push_back(0);
        putInt(code);
    };
    put(-1, L"&Tools", 1);
    put(40003, L"Third", 2);
    put(40004, L"Fourth", 0);
    HMENU target = CreateMenu();
    EXPECT_EQ(bar.BuildMenuFromData(data.data(), data.size(), target, -1), 3);
    ASSERT_EQ(GetMenuItemCount(target), 2);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(target, 0)), 1);
    // A length shorter than the list stops at the cut.
    HMENU cut = CreateMenu();
    EXPECT_EQ(bar.BuildMenuFromData(data.data(), data.size() - 3, cut, -1), -1);
    EXPECT_EQ(GetMenuItemCount(cut), 1);
    DestroyMenu(target);
    DestroyMenu(cut);
}

// The MDI area: a maximised child of an MDI owner ------------------------------------------------

std::vector<WPARAM> g_childCommands;  // WM_SYSCOMMAND codes the test child received
LRESULT CALLBACK TestChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) != SC_KEYMENU) {
        g_childCommands.push_back(wParam & 0xFFF0);
        return 0;  // the child stays as it is
    }
    return DefMDIChildProcW(hwnd, message, wParam, lParam);
}

class MenuBarMDITest : public ::testing::Test {
protected:
    MenuBarMDITest() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &TestChildProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hIconSm = childIcon;
        wc.lpszClassName = L"MenuBarTestChild";
        RegisterClassExW(&wc);
        menu = CreateMenu();
        for (const wchar_t* name : {L"&File", L"&Window"}) {
            HMENU popup = CreatePopupMenu();
            AppendMenuW(popup, MF_STRING, 40001, L"One");
            AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), name);
        }
        app.m_pMainWnd = frame;
        EXPECT_TRUE(bar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, 32960));
        bar.EnableDocking(CBRS_ALIGN_ANY, FALSE);
        bar.SetMenu(menu);
        frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
        frame->RecalcLayout();
        g_childCommands.clear();
    }
    ~MenuBarMDITest() override {
        app.m_pMainWnd = nullptr;
        bar.DestroyWindow();
        DestroyMenu(menu);
    }
    HWND OpenChild(DWORD style) {
        MDICREATESTRUCTW create{};
        create.szClass = L"MenuBarTestChild";
        create.szTitle = L"child";
        create.hOwner = GetModuleHandleW(nullptr);
        create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
        create.style = style;
        auto child = reinterpret_cast<HWND>(SendMessageW(frame->m_hWndMDIClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&create)));
        SendMessageW(frame->m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
        bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
        frame->RecalcLayout();
        PumpMessages();
        return child;
    }
    LPARAM ScreenPoint(const CRect& windowRect) const {
        CRect window;
        bar.GetWindowRect(&window);
        return MAKELPARAM(window.left + windowRect.CenterPoint().x, window.top + windowRect.CenterPoint().y);
    }

    HICON childIcon = LoadIconW(nullptr, IDI_QUESTION);
    TestApp<COXSkinnedApp> app{L"MenuBarMDITests"};
    CMDIFrameWnd* frame = new CMDIFrameWnd;
    BarFrameFixture fixture{frame};
    COXMenuBar bar;
    HMENU menu = nullptr;
};

TEST_F(MenuBarMDITest, MaximisedChildGetsIconAndCaptionButtonsThatHitDrawAndCommand) {
    bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_EQ(bar.GetMDIChildIcon(), nullptr);
    EXPECT_TRUE(bar.GetMDIButtonRects().close.IsRectEmpty());
    CRect plain;
    bar.GetClientRect(&plain);

    HWND child = OpenChild(WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | WS_MAXIMIZE);
    ASSERT_TRUE(child);
    ASSERT_EQ(bar.GetMaximizedMDIChild(), child);
    EXPECT_EQ(bar.GetMDIChildIcon(), childIcon);  // the class's small icon
    const COXMenuBar::MDIButtonRects rects = bar.GetMDIButtonRects();
    CRect window;
    bar.GetWindowRect(&window);
    // Close at the right end, restore and minimise before it; the icon at the start.
    EXPECT_EQ(rects.close.right, window.Width() - 2);
    EXPECT_EQ(rects.restore.right, rects.close.left - 2);
    EXPECT_EQ(rects.minimize.right, rects.restore.left);
    EXPECT_LT(bar.GetMDIIconRect().right, rects.minimize.left);
    CRect client, icon;
    bar.GetClientRect(&client);
    bar.GetItemRect(GetMenuItemCount(menu), &icon);  // the icon, in client coordinates: before the buttons
    EXPECT_LT(icon.right, 0);
    EXPECT_EQ(icon.Width(), GetSystemMetrics(SM_CXSMICON));

    // Hit-testing: the MDI area is caption, the menu buttons are not.
    EXPECT_EQ(bar.SendMessage(WM_NCHITTEST, 0, ScreenPoint(rects.close)), HTCAPTION);
    EXPECT_EQ(bar.SendMessage(WM_NCHITTEST, 0, ScreenPoint(bar.GetMDIIconRect())), HTCAPTION);
    CRect first;
    bar.GetItemRect(0, &first);
    bar.ClientToScreen(&first);
    EXPECT_NE(bar.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(first.CenterPoint().x, first.CenterPoint().y)), HTCAPTION);

    // Each button: pressed while the mouse stays on it, its command on release over it.
    const std::pair<CRect, WPARAM> buttons[] = {{rects.close, SC_CLOSE}, {rects.restore, SC_RESTORE}, {rects.minimize, SC_MINIMIZE}};
    for (const auto& [rect, command] : buttons) {
        bar.SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, ScreenPoint(rect));
        EXPECT_EQ(GetCapture(), bar.m_hWnd);
        EXPECT_LE(bar.GetPressedMDIButton(), OXMB_HIT_MINIMIZE);
        bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(first.left + 2 - window.left, 2));
        EXPECT_EQ(bar.GetPressedMDIButton(), OXMB_HIT_NONE);  // moved off: shown up again
        CPoint back(window.left + rect.CenterPoint().x, window.top + rect.CenterPoint().y);
        bar.ScreenToClient(&back);
        bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(back.x, back.y));
        EXPECT_NE(bar.GetPressedMDIButton(), OXMB_HIT_NONE);
        bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(back.x, back.y));
        EXPECT_EQ(GetCapture(), nullptr);
        PumpMessages();
        ASSERT_FALSE(g_childCommands.empty());
        EXPECT_EQ(g_childCommands.back(), command);
    }
    // A release away from the pressed button does nothing; a double click on the icon closes.
    g_childCommands.clear();
    bar.SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, ScreenPoint(rects.close));
    bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    bar.SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, ScreenPoint(bar.GetMDIIconRect()));
    PumpMessages();
    EXPECT_EQ(g_childCommands, std::vector<WPARAM>{SC_CLOSE});

    // A click on the icon opens the child's system menu; its command goes to the child.
    g_childCommands.clear();
    HMENU system = GetSystemMenu(child, FALSE);
    ASSERT_TRUE(system);
    const UINT last = GetMenuItemID(system, GetMenuItemCount(system) - 1);
    SetForegroundWindow(frame->m_hWnd);
    g_steps = {
        [] { PostToPopup(WM_KEYDOWN, VK_UP, 0); },
        [] { PostToPopup(WM_KEYDOWN, VK_RETURN, 0); },
        [] { EndMenu(); },
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 150, &NextStep);
    bar.SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, ScreenPoint(bar.GetMDIIconRect()));
    for (int i = 0; i < 40 && g_childCommands.empty(); ++i) {
        PumpMessages();
        Sleep(25);
    }
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_childCommands, std::vector<WPARAM>{last & 0xFFF0});
    EXPECT_EQ(bar.GetOpenPopup(), -1);

    // Every skin draws the three buttons and nothing else.
    for (const wchar_t* skin : {L"Classic", L"Office XP", L"Office 2003"}) {
        app.SetCurrentSkin(skin);
        MemoryCanvas canvas(window.Width(), window.Height());
        bar.DrawMDIButtons(&canvas.dc);
        for (const CRect& r : {rects.close, rects.restore, rects.minimize})
            EXPECT_LT(canvas.Count(r, RGB(1, 2, 3)), r.Width() * r.Height()) << skin << r.left;
        EXPECT_EQ(canvas.Count(CRect(0, 0, rects.minimize.left, window.Height()), RGB(1, 2, 3)), rects.minimize.left * window.Height());
    }
    app.SetCurrentSkin(L"Classic");

    // A child with neither size box shows only the close button.
    SetWindowLongPtrW(child, GWL_STYLE, GetWindowLongPtrW(child, GWL_STYLE) & ~(WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
    bar.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    EXPECT_FALSE(bar.GetMDIButtonRects().close.IsRectEmpty());
    EXPECT_TRUE(bar.GetMDIButtonRects().restore.IsRectEmpty());
    EXPECT_TRUE(bar.GetMDIButtonRects().minimize.IsRectEmpty());
    // No maximised child: nothing is shown and the room is given back.
    DestroyWindow(child);
    bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    frame->RecalcLayout();
    EXPECT_EQ(bar.GetMDIChildIcon(), nullptr);
    bar.GetClientRect(&client);
    EXPECT_EQ(client.Width(), plain.Width());
}

TEST_F(MenuBarMDITest, DockedBarStretchesFitsItsRowAndFloatsWithoutSystemMenu) {
    CRect window, frameClient;
    bar.GetWindowRect(&window);
    frame->GetClientRect(&frameClient);
    EXPECT_LT(window.Width(), frameClient.Width());
    // Buttons are as wide as their texts plus the menu skin's padding.
    CRect file, windowButton;
    bar.GetItemRect(0, &file);
    bar.GetItemRect(1, &windowButton);
    EXPECT_GT(windowButton.Width(), file.Width());
    // Dropping on the bar is refused, and answered.
    OXDRAGTARGETRELAY over{};
    over.result = DROPEFFECT_COPY;
    EXPECT_EQ(bar.SendMessage(WM_DRAGRELAY_OVER, 0, reinterpret_cast<LPARAM>(&over)), 1);
    EXPECT_EQ(over.result, static_cast<LRESULT>(DROPEFFECT_NONE));
    bar.SetStretch(TRUE);
    frame->RecalcLayout();
    bar.GetWindowRect(&window);
    EXPECT_EQ(window.Width(), frameClient.Width());

    // Docked left: one column of equal buttons, as wide as the widest text + 8.
    bar.SetStretch(FALSE);
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    frame->RecalcLayout();
    PumpMessages();
    CRect a, b;
    bar.GetItemRect(0, &a);
    bar.GetItemRect(1, &b);
    EXPECT_EQ(a.Width(), b.Width());
    EXPECT_EQ(a.Width(), windowButton.Width() + 8);
    EXPECT_GE(b.top, a.bottom);

    // Floating: the mini frame's system menu is empty, and the buttons have their own widths again.
    frame->FloatControlBar(&bar, CPoint(200, 200));
    PumpMessages();
    ASSERT_TRUE(bar.IsFloating());
    CFrameWnd* mini = bar.GetParentFrame();
    ASSERT_TRUE(mini && mini != frame);
    HMENU system = GetSystemMenu(mini->m_hWnd, FALSE);
    EXPECT_TRUE(!system || GetMenuItemCount(system) == 0);
    bar.GetItemRect(0, &a);
    EXPECT_EQ(a.Width(), file.Width());
}

}  // namespace


namespace {
// The pixels of a rectangle that black text covers fully, whatever the
// background (the 2003 look's is a gradient): how many, and the box around them.
struct Ink {
    int count = 0;
    CRect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
};
Ink InkIn(const MemoryCanvas& canvas, const CRect& r) {
    Ink ink;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const COLORREF p = canvas.Pixel(x, y);
            if (GetRValue(p) + GetGValue(p) + GetBValue(p) >= 30) continue;
            ++ink.count;
            ink.box.SetRect(std::min<int>(ink.box.left, x), std::min<int>(ink.box.top, y), std::max<int>(ink.box.right, x + 1),
                            std::max<int>(ink.box.bottom, y + 1));
        }
    return ink;
}
}  // namespace

// Each skin paints a button's text once and nothing else over it (no drop-down
// arrow, no second copy): the same ink as one DrawText of the label.
TEST_F(MenuBarMDITest, EverySkinPaintsEachMenuTextOnce) {
    CRect client;
    bar.GetClientRect(&client);
    HFONT font = reinterpret_cast<HFONT>(bar.SendMessage(WM_GETFONT));
    for (const char* skin : {"Classic", "Office XP", "Office 2003"}) {
        SCOPED_TRACE(skin);
        ASSERT_TRUE(app.SetCurrentSkin(CString(std::wstring(skin, skin + strlen(skin)).c_str())));
        MemoryCanvas canvas(client.Width(), client.Height());
        bar.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc.m_hDC), PRF_CLIENT | PRF_ERASEBKGND);
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            CRect item;
            bar.GetItemRect(i, &item);
            MemoryCanvas single(item.Width(), item.Height(), RGB(255, 255, 255));
            HGDIOBJ old = single.dc.SelectObject(font);
            single.dc.SetBkMode(TRANSPARENT);
            CRect r(0, 0, item.Width(), item.Height());
            single.dc.DrawText(bar.GetMenuItemText(i), r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
            single.dc.SelectObject(old);
            const Ink painted = InkIn(canvas, item), expected = InkIn(single, r);
            ASSERT_GT(expected.count, 10);
            EXPECT_EQ(painted.count, expected.count) << "button " << i;
            EXPECT_EQ(painted.box.Size(), expected.box.Size()) << "button " << i;
        }
    }
}
