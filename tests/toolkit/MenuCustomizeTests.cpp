// The customisation window of a bitmap menu driven with messages: layout,
// selection, the customisation commands and their notifications (an owner
// may take them over), drag relays, hiding; where a bar's popup opens.
#include "ToolkitFixture.h"

#include "bars/MenuCustomize.h"

#include <vector>

namespace {

class NotifyOwner : public CWnd {
public:
    std::vector<UINT> codes;
    UINT refuse = 0;  // a code the owner handles itself

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == OXBMN_CUSTOMIZE) {
            const UINT code = reinterpret_cast<NMBMCUSTOMIZE*>(lParam)->nCustomizeEventID;
            codes.push_back(code);
            return code == refuse ? 1 : 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class MenuCustomize : public ::testing::Test {
protected:
    MenuCustomize() {
        owner.CreateEx(0, nullptr, L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr);
        HMENU handle = CreatePopupMenu();
        for (UINT id : {40001u, 40002u, 40003u}) {
            infos.push_back(std::make_unique<COXItemInfo>(nullptr, L"Item"));
            AppendMenuW(handle, MF_OWNERDRAW, id, reinterpret_cast<const wchar_t*>(infos.back().get()));
        }
        menu.Attach(handle);
        menu.CalcExtents();
    }
    ~MenuCustomize() override {
        popup.DestroyWindow();
        owner.DestroyWindow();
        DestroyMenu(menu.Detach());
    }
    int Count() const { return GetMenuItemCount(menu.m_hMenu); }

    struct OleScope {
        OleScope() { OleInitialize(nullptr); }
        ~OleScope() { OleUninitialize(); }
    } ole;  // first made, last gone: the drop target is revoked while OLE lives
    TestApp<CWinApp> app{L"MenuCustomizeTests"};
    NotifyOwner owner;
    std::vector<std::unique_ptr<COXItemInfo>> infos;
    COXBitmapMenu menu;
    COXBitmapMenuPopupWnd popup;
};

TEST_F(MenuCustomize, SelectionAndCommandsChangeTheMenuUnlessTheOwnerTakesThem) {
    ASSERT_TRUE(popup.Show(&menu, TPM_LEFTALIGN, 100, 100, &owner));
    EXPECT_TRUE(popup.IsWindowVisible());
    EXPECT_TRUE(menu.IsInCustomizeMode());
    EXPECT_EQ(menu.GetDropTarget()->GetWindow(), &popup);  // items can be dropped on the window
    // Laying the window out again leaves it where it is.
    CRect placed, again;
    popup.GetWindowRect(&placed);
    for (int i = 0; i < 3; ++i) popup.RecalcLayout();
    popup.GetWindowRect(&again);
    EXPECT_EQ(again, placed);
    // Selecting the item already selected tells the owner nothing.
    menu.SetSelectedItem(1);
    const size_t told = owner.codes.size();
    menu.SetSelectedItem(1);
    EXPECT_EQ(owner.codes.size(), told);
    menu.SetSelectedItem(-1);
    owner.codes.clear();
    ASSERT_EQ(popup.ItemRects().size(), 3u);
    CRect client;
    popup.GetClientRect(&client);
    EXPECT_EQ(client.Height(), popup.ItemRects()[2].bottom);
    EXPECT_EQ(popup.ItemRects()[1].Width(), client.Width());

    const CRect second = popup.ItemRects()[1];
    popup.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, (second.top + second.bottom) / 2));
    EXPECT_EQ(menu.GetSelectedItem(), 1);
    ASSERT_FALSE(owner.codes.empty());
    EXPECT_EQ(owner.codes.back(), BITMAPMENU_SELCHANGED);
    popup.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(6, 6));  // released early: no drag

    popup.SendMessage(WM_COMMAND, ID_BITMAPMENU_SEPARATORAFTER);
    EXPECT_EQ(Count(), 4);
    EXPECT_TRUE(GetMenuState(menu.m_hMenu, 2, MF_BYPOSITION) & MF_SEPARATOR);
    popup.SendMessage(WM_COMMAND, ID_BITMAPMENU_SEPARATORBEFORE);
    EXPECT_EQ(Count(), 5);
    EXPECT_EQ(menu.GetSelectedItem(), 2);  // follows its item
    EXPECT_EQ(popup.ItemRects().size(), 5u);

    owner.refuse = ID_BITMAPMENU_DELETE;
    popup.SendMessage(WM_COMMAND, ID_BITMAPMENU_DELETE);
    EXPECT_EQ(Count(), 5);  // the owner handled it
    owner.refuse = 0;
    popup.SendMessage(WM_COMMAND, ID_BITMAPMENU_DELETE);
    EXPECT_EQ(Count(), 4);
    EXPECT_EQ(menu.GetSelectedItem(), -1);

    // Drags are answered with no effect while customising; leaving clears the mark.
    OXDRAGTARGETRELAY relay;
    relay.result = 99;
    EXPECT_TRUE(popup.SendMessage(WM_DRAGRELAY_OVER, 0, reinterpret_cast<LPARAM>(&relay)));
    EXPECT_EQ(relay.result, static_cast<LRESULT>(DROPEFFECT_NONE));
    menu.SetInsertMark(2);
    EXPECT_EQ(owner.codes.back(), BITMAPMENU_INSERTMARKCHANGED);
    popup.SendMessage(WM_DRAGRELAY_LEAVE, 0, reinterpret_cast<LPARAM>(&relay));
    EXPECT_EQ(menu.GetInsertMark(), -1);

    popup.Hide();
    EXPECT_FALSE(popup.IsWindowVisible());
    EXPECT_EQ(menu.GetPopupWnd(), nullptr);
    EXPECT_EQ(popup.SendMessage(WM_DRAGRELAY_OVER, 0, reinterpret_cast<LPARAM>(&relay)), 0);
}

TEST_F(MenuCustomize, EmptyMenusAndPopupPlacesBesideBarButtons) {
    COXBitmapMenu empty(CreatePopupMenu());
    COXBitmapMenuPopupWnd window;
    ASSERT_TRUE(window.Show(&empty, TPM_RIGHTALIGN, 300, 100, &owner));
    CRect client;
    window.GetClientRect(&client);
    EXPECT_EQ(client.Width(), 50);
    EXPECT_EQ(client.Height(), 18);
    CRect outer;
    window.GetWindowRect(&outer);
    EXPECT_LE(outer.right, 300 + 4);
    window.Hide();
    window.DestroyWindow();
    DestroyMenu(empty.Detach());

    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(owner.m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const CRect screen(monitor.rcMonitor);
    CPoint pt;
    UINT flags = 0;
    int direction = 0;
    const CRect low(100, screen.bottom - 25, 140, screen.bottom - 5);
    COXBitmapMenu::CalcPopupPosition(menu.m_hMenu, low, CBRS_ALIGN_TOP, &pt, &flags, &direction);
    EXPECT_EQ(direction, 8);
    EXPECT_EQ(flags, static_cast<UINT>(TPM_BOTTOMALIGN));
    EXPECT_EQ(pt.y, low.top + 1);
    const CRect below(100, 100, 140, 120);
    COXBitmapMenu::CalcPopupPosition(menu.m_hMenu, below, CBRS_ALIGN_TOP, &pt, &flags, &direction);
    EXPECT_EQ(direction, 1);
    EXPECT_EQ(pt, CPoint(100, 119));
    const CRect right(screen.right - 20, 100, screen.right - 2, 120);
    COXBitmapMenu::CalcPopupPosition(menu.m_hMenu, right, CBRS_ALIGN_LEFT, &pt, &flags, &direction);
    EXPECT_EQ(direction, 4);
    EXPECT_EQ(flags, static_cast<UINT>(TPM_RIGHTALIGN));
    EXPECT_EQ(pt.x, right.left);
}

}  // namespace
