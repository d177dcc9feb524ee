// The menu bar's customise-mode drag: a press held on a button with the real
// mouse starts a button drag after the drag timer; a press released before
// it does not.
#include "ToolkitFixture.h"

#include "bars/MenuBar.h"

#include <vector>

namespace {

class DragWatchingBar : public COXMenuBar {
public:
    std::vector<int> dragged;  // command ids of TBN_BEGINDRAG that reached the bar

protected:
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == TBN_BEGINDRAG)
            dragged.push_back(reinterpret_cast<NMTOOLBARW*>(lParam)->iItem);
        return COXMenuBar::OnChildNotify(message, wParam, lParam, result);
    }
};

void Button(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

void PumpFor(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        PumpMessages();
        Sleep(10);
    }
}

TEST(MenuBarInput, HeldPressInCustomiseModeStartsAButtonDragAfterTheTimer) {
    TestApp<CWinApp> app{L"MenuBarInputTests"};
    BarFrameFixture fixture;
    app.m_pMainWnd = fixture.frame;
    HMENU menu = CreateMenu();
    for (const wchar_t* name : {L"&File", L"&Edit"}) AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(CreatePopupMenu()), name);
    DragWatchingBar bar;
    ASSERT_TRUE(bar.Create(fixture.frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, 32960));
    bar.SetMenu(menu);
    fixture.frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    fixture.frame->RecalcLayout();
    SetForegroundWindow(fixture.frame->m_hWnd);
    PumpMessages();
    bar.SetCustomizeMode(TRUE);
    CRect second;
    bar.GetItemRect(1, &second);
    bar.ClientToScreen(&second);
    SetCursorPos(second.CenterPoint().x, second.CenterPoint().y);
    PumpFor(50);

    // Released at once: no drag.
    Button(MOUSEEVENTF_LEFTDOWN);
    PumpFor(30);
    Button(MOUSEEVENTF_LEFTUP);
    PumpFor(400);
    EXPECT_TRUE(bar.dragged.empty());

    // Held past the timer: a drag of the button's command id.
    Button(MOUSEEVENTF_LEFTDOWN);
    PumpFor(400);
    Button(MOUSEEVENTF_LEFTUP);
    PumpFor(50);
    EXPECT_EQ(bar.dragged, std::vector<int>{2});
    app.m_pMainWnd = nullptr;
    bar.DestroyWindow();
    DestroyMenu(menu);
}

}  // namespace
