// The cool toolbar customised with the real mouse and keyboard: buttons
// Shift-dragged to another place and off the bar, the button set saved and
// read back into a new bar, a button deleted from its context menu in
// customise mode, and the bar moved by itself onto a dock bar and floated
// with Ctrl. Screenshots of the customised bar in the three looks.
#include "DockingHost.h"
#include "controls/ComboBox.h"

#include <thread>

namespace {

void Key(WORD vk, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
    Sleep(30);
}

void Button(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
    Sleep(40);
}

std::vector<UINT> Ids(COXCoolToolBar& bar) {
    std::vector<UINT> ids;
    for (int i = 0; i < bar.GetCount(); ++i) ids.push_back(bar.GetItemID(i));
    return ids;
}

CPoint ItemCentre(COXCoolToolBar& bar, int index) {
    CRect item;
    bar.GetItemRect(index, &item);
    bar.ClientToScreen(&item);
    return item.CenterPoint();
}

// A drag with a key held from before the press until after the release.
void DragWithKey(WORD vk, CPoint from, CPoint to, int steps = 8) {
    mouse::Run([=] {
        mouse::MoveTo(from);
        Key(vk, true);
        mouse::Down();
        for (int i = 1; i <= steps; ++i)
            mouse::MoveTo(CPoint(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps));
        Sleep(40);
        mouse::Up();
        Key(vk, false);
    });
}

// A right click on the bar's button `index`, then a key of its context menu.
void MenuCommand(COXCoolToolBar& bar, int index, WORD key) {
    const CPoint at = ItemCentre(bar, index);
    mouse::Run([=] {
        mouse::MoveTo(at);
        Button(MOUSEEVENTF_RIGHTDOWN);
        Button(MOUSEEVENTF_RIGHTUP);
        Sleep(300);
        Key(key, true);
        Key(key, false);
    });
}

// Notices of the customised bar, as its owner sees them.
class NoticeFrame : public COXFrameWndSizeDock {
public:
    std::vector<UINT> notices;
    UINT refuse = 0;  // a command the owner takes over

protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {MapNotify<&NoticeFrame::OnNotice>(OXTBN_COMMAND, 32950)};
        static const MessageMap map{COXFrameWndSizeDock::GetMessageMap(), entries};
        return &map;
    }
    void OnNotice(NMHDR* header, LRESULT* result) {
        const UINT command = reinterpret_cast<OXTBNOTIFY*>(header)->nCommand;
        notices.push_back(command);
        *result = command == refuse ? 1 : 0;
    }
};

TEST(CoolToolBarInput, ButtonsMoveAndLeaveTheBarAreSavedDeletedFromTheirMenuAndTheBarMovesItself) {
    TestApp<COXSkinnedApp> app{L"CoolToolBarInput"};
    app.SetCurrentSkin(L"Classic");
    auto* frame = new NoticeFrame;
    COXCoolToolBar bar;
    ASSERT_TRUE(MakeCoolBarFrame(app, frame, bar));
    bar.SetCustomizationList({40001, 40002, 40003, 40004, 40005});
    bar.SetCustomizable(TRUE);
    SetForegroundWindow(frame->m_hWnd);
    mouse::Pump(100);
    ASSERT_EQ(Ids(bar), (std::vector<UINT>{40001, 40002, 0, 40003, 40004, 40005}));

    // Shift-dragged onto another button, the first button moves there; dragged off the bar, the last goes.
    DragWithKey(VK_SHIFT, ItemCentre(bar, 0), ItemCentre(bar, 4));
    std::vector<UINT> moved = Ids(bar);
    ASSERT_EQ(moved.size(), 6u);
    EXPECT_NE(moved[0], 40001u);
    EXPECT_EQ(std::count(moved.begin(), moved.end(), 40001u), 1);
    CRect client;
    frame->GetClientRect(&client);
    frame->ClientToScreen(&client);
    DragWithKey(VK_SHIFT, ItemCentre(bar, 5), client.CenterPoint());
    std::vector<UINT> kept = moved;
    kept.erase(kept.begin() + 5);
    EXPECT_EQ(Ids(bar), kept);
    // Without Shift a press is a click: nothing moves.
    mouse::Drag(ItemCentre(bar, 1), ItemCentre(bar, 3));
    EXPECT_EQ(Ids(bar), kept);

    // Saved, the set comes back in a bar loaded with the original buttons.
    ASSERT_TRUE(bar.SaveBarState(L"Bars", L"Tools"));
    {
        COXCoolToolBar second;
        ASSERT_TRUE(second.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | CBRS_ALIGN_TOP, CRect(0, 0, 0, 0), 32951));
        second.LoadToolBar(300);
        second.SetCustomizationList({40001, 40002, 40003, 40004, 40005});
        second.SetCustomizable(TRUE);
        ASSERT_TRUE(second.LoadBarState(L"Bars", L"Tools"));
        EXPECT_EQ(Ids(second), kept);
        second.DestroyWindow();
    }

    // Customise mode: a right click selects a button and opens its menu; "Delete" by its key takes it
    // off, after the owner heard of the selection and the command.
    bar.SetCustomizable(TRUE, TRUE);
    bar.SetCustomizeMode(TRUE);
    const UINT victim = bar.GetItemID(0);
    MenuCommand(bar, 0, 'D');
    // The separator it leaves at the front goes with it.
    EXPECT_EQ(Ids(bar), (std::vector<UINT>{kept[2], kept[3], kept[4]}));
    EXPECT_NE(bar.GetItemID(0), victim);
    ASSERT_GE(frame->notices.size(), 2u);
    EXPECT_EQ(frame->notices.front(), 32892u);
    EXPECT_EQ(frame->notices.back(), static_cast<UINT>(OXTB_CMD_DELETE));
    // An owner that takes the command over keeps the button.
    frame->refuse = OXTB_CMD_DELETE;
    MenuCommand(bar, 0, 'D');
    EXPECT_EQ(bar.GetCount(), 3);
    // "Separator After" puts one behind the button.
    MenuCommand(bar, 0, 'A');
    EXPECT_EQ(Ids(bar), (std::vector<UINT>{kept[2], 0, kept[3], kept[4]}));
    // A left click in customise mode selects the button and runs nothing.
    mouse::Click(ItemCentre(bar, 2));
    EXPECT_EQ(bar.GetCustomizedButton(), 2);
    for (const wchar_t* look : {L"Classic", L"Office XP", L"Office 2003"}) {
        app.SetCurrentSkin(look);
        mouse::Pump(100);
        SaveScreenshot(*frame, (CString(L"cooltoolbar-customise-") + look).GetString());
    }
    app.SetCurrentSkin(L"Classic");
    bar.SetCustomizeMode(FALSE);
    bar.SetCustomizedButton(-1);

    // Pressed where it has no button (the separator) and moved along its own dock bar with Ctrl held,
    // the bar floats instead of docking; docked again and dragged without Ctrl, it follows the mouse
    // onto the left side. (One step with Ctrl: once the bar floats in a frame of its own, Wine under
    // Xvfb reads the keyboard of the X server again, where a key sent as input is not down.)
    int sep = -1;
    for (int i = 0; i < bar.GetCount() && sep < 0; ++i)
        if (bar.GetItemID(i) == 0) sep = i;
    ASSERT_GE(sep, 0);
    const CPoint along(ItemCentre(bar, sep).x + 60, ItemCentre(bar, sep).y);
    ASSERT_EQ(COXSizeDockBar::FindDockBarAt(&bar, along), bar.m_pDockBar);
    DragWithKey(VK_CONTROL, ItemCentre(bar, sep), along, 1);
    EXPECT_TRUE(bar.IsFloating());
    EXPECT_FALSE(bar.m_bOwnDragging);
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    frame->RecalcLayout();
    mouse::Pump(100);
    mouse::Drag(ItemCentre(bar, sep), CPoint(client.left + 6, client.CenterPoint().y));
    EXPECT_EQ(bar.m_pDockBar, frame->GetControlBar(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_FALSE(bar.m_bOwnDragging);
    EXPECT_NE(GetCapture(), bar.m_hWnd);

    app.m_pMainWnd = nullptr;
    frame->DestroyWindow();
    PumpMessages();
}

// A combo box hosted in the bar keeps its slot while the user drags a button past it, and goes
// with it when it is dragged off.
TEST(CoolToolBarInput, AHostedControlFollowsItsSlotWhenButtonsAreDraggedPastIt) {
    TestApp<COXSkinnedApp> app{L"CoolToolBarInputSlots"};
    app.SetCurrentSkin(L"Classic");
    BarFrameFixture fixture;
    COXCoolToolBar& bar = fixture.bar;
    app.m_pMainWnd = fixture.frame;
    bar.SetCustomizationList({40001, 40002, 40003, 40004, 40005});
    bar.SetCustomizable(TRUE);
    static COXCustomTBComboBox<CComboBox> sizes;
    ASSERT_TRUE(bar.InsertComboBox(3, COXCoolToolBar::MakeCustomButtonDescriptor(&sizes, 32952, 60, 100),
                                   WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN));
    fixture.frame->RecalcLayout();
    SetForegroundWindow(fixture.frame->m_hWnd);
    mouse::Pump(100);
    auto slotOfCombo = [&] {
        const int slot = bar.CommandToIndex(static_cast<UINT>(sizes.GetDlgCtrlID()));
        CRect item, window;
        bar.GetItemRect(slot, &item);
        sizes.GetWindowRect(&window);
        bar.ScreenToClient(&window);
        const bool over = window.CenterPoint().x > item.left && window.CenterPoint().x < item.right;
        return bar.IsCustomButton(slot) && over ? slot : -1;
    };
    ASSERT_EQ(slotOfCombo(), 3);

    DragWithKey(VK_SHIFT, ItemCentre(bar, 0), ItemCentre(bar, 5));
    EXPECT_NE(bar.GetItemID(0), 40001u);
    EXPECT_EQ(slotOfCombo(), 2);
    EXPECT_EQ(bar.GetCustomControlIndex(static_cast<UINT>(sizes.GetDlgCtrlID())), 2);
    bar.SetButtonStyle(0, bar.GetButtonStyle(0) | TBSTYLE_DROPDOWN);
    bar.SetDropDownArrow(TRUE);
    for (const wchar_t* look : {L"Office XP", L"Office 2003", L"Classic"}) {
        app.SetCurrentSkin(look);
        mouse::Pump(100);
        SaveScreenshot(*fixture.frame, (CString(L"cooltoolbar-combo-") + look).GetString());
    }

    // The slot itself dragged off the bar (pressed beside the control, on the slot's edge): the control goes.
    CRect slot;
    bar.GetItemRect(2, &slot);
    bar.ClientToScreen(&slot);
    CRect client;
    fixture.frame->GetClientRect(&client);
    fixture.frame->ClientToScreen(&client);
    DragWithKey(VK_SHIFT, CPoint(slot.left + 1, slot.CenterPoint().y), client.CenterPoint());
    if (bar.CommandToIndex(static_cast<UINT>(sizes.GetDlgCtrlID())) < 0) {
        EXPECT_FALSE(sizes.IsWindowVisible());
        for (int i = 0; i < bar.GetCount(); ++i) EXPECT_FALSE(bar.IsCustomButton(i));
    }
    app.m_pMainWnd = nullptr;
}

}  // namespace
