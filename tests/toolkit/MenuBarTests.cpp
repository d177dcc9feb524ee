// The menu bar on a real frame: its buttons from the menu, the shared mouse
// hook living as long as any bar, keyboard mode, popups opened and moved
// between with the arrow keys and the mouse, saved layouts and bounded
// packed item lists.
#include "ToolkitFixture.h"

#include "Random.h"
#include "bars/MenuBar.h"

#include <deque>
#include <functional>
#include <vector>

namespace {

class LoopFrame : public CFrameWnd {
public:
    std::vector<int> selected;  // top-level indexes as WM_MENUSELECT told them
    int exits = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_MENUSELECT && reinterpret_cast<HMENU>(lParam) == GetMenuBarMenu() && (HIWORD(wParam) & MF_POPUP))
            selected.push_back(LOWORD(wParam));
        if (message == WM_EXITMENULOOP) ++exits;
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

}  // namespace
