// The cool toolbar in a real frame: hosted combo boxes registered once and
// copied into a second bar, the bar's slot map kept in step with inserts
// (ANSI and wide), deletes and moves, redraw bounds, button texts, idle
// updates, drop-down arrows, and the mouse input a customising control
// passes to its bar.
#include "ToolkitFixture.h"

#include "controls/ComboBox.h"

#include <utility>
#include <vector>

namespace {

using Combo = COXCustomTBComboBox<CComboBox>;

class CoolBar : public ::testing::Test {
protected:
    TestApp<CWinApp> app{L"CoolToolBarTests"};
    BarFrameFixture fixture;
    COXCoolToolBar& bar = fixture.bar;
    void SetUp() override { app.m_pMainWnd = fixture.frame; }
};

int RegisterCombo(Combo& combo, UINT id, int width) {
    return COXCoolToolBar::MakeCustomButtonDescriptor(&combo, id, width, 100, OXCBS_ALWAYS, -1);
}

TEST_F(CoolBar, AComboBoxGoesIntoASlotAndASecondBarGetsACopy) {
    static Combo combo;  // registered for the life of the process, as the program's own are
    const int descriptor = RegisterCombo(combo, 41001, 118);
    ASSERT_GE(descriptor, 0);
    EXPECT_EQ(COXCoolToolBar::FindCustomButtonIndex(41001), descriptor);
    ASSERT_TRUE(bar.InsertComboBox(3, descriptor, WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN));
    ASSERT_NE(combo.m_hWnd, nullptr);
    EXPECT_EQ(::GetParent(combo.m_hWnd), bar.m_hWnd);
    // The bar's paint leaves its controls alone, whichever way the bar was made.
    EXPECT_TRUE(bar.GetStyle() & WS_CLIPCHILDREN);
    EXPECT_TRUE(bar.IsCustomButton(3));
    EXPECT_EQ(bar.GetCustomButtonWindow(3), &combo);
    EXPECT_EQ(bar.GetCustomControlIndex(41001), 3);
    CRect slot, window;
    bar.GetItemRect(3, &slot);
    EXPECT_EQ(slot.Width(), 118);
    combo.GetWindowRect(&window);
    EXPECT_EQ(window.Width(), 114);  // two pixels in on each side
    combo.AddString(L"Arial");
    combo.AddString(L"Verdana");
    combo.SetItemData(1, 77);
    combo.SetCurSel(1);

    // Registering the id again gives the first index and the new width everywhere.
    EXPECT_EQ(RegisterCombo(combo, 41001, 130), descriptor);
    bar.GetItemRect(3, &slot);
    EXPECT_EQ(slot.Width(), 130);

    // A second bar: a copy with the same items, item data, selection and text.
    COXCoolToolBar second;
    ASSERT_TRUE(second.CreateEx(fixture.frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect(), 32960));
    ASSERT_TRUE(second.LoadToolBar(300));
    EXPECT_TRUE(second.GetStyle() & WS_CLIPCHILDREN);
    ASSERT_TRUE(second.InsertComboBox(0, descriptor, WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN));
    CWnd* copy = second.GetCustomButtonWindow(0);
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(copy, static_cast<CWnd*>(&combo));
    HWND copyWindow = copy->m_hWnd;
    EXPECT_EQ(copy->SendMessage(CB_GETCOUNT), 2);
    EXPECT_EQ(copy->SendMessage(CB_GETITEMDATA, 1), 77);
    EXPECT_EQ(copy->SendMessage(CB_GETCURSEL), 1);
    EXPECT_EQ(copy->GetWindowText(), L"Verdana");

    // Deleting the slots: the copy goes with its window, the registered control only hides.
    EXPECT_TRUE(second.DeleteButton(0));
    EXPECT_FALSE(IsWindow(copyWindow));
    EXPECT_FALSE(second.IsCustomButton(0));
    EXPECT_TRUE(bar.DeleteButton(3));
    EXPECT_TRUE(IsWindow(combo.m_hWnd));
    EXPECT_FALSE(combo.IsWindowVisible());
    second.DestroyWindow();
}

TEST_F(CoolBar, TheSlotMapFollowsInsertsInBothCharacterSetsDeletesAndMoves) {
    static Combo combo;  // registered for the life of the process, as the program's own are
    const int descriptor = RegisterCombo(combo, 41002, 60);
    ASSERT_TRUE(bar.InsertComboBox(1, descriptor, WS_CHILD | WS_VISIBLE | CBS_DROPDOWN));
    TBBUTTON button{};
    button.iBitmap = 0;
    button.idCommand = 40050;
    button.fsState = TBSTATE_ENABLED;
    button.iString = -1;
    ASSERT_TRUE(bar.SendMessage(TB_INSERTBUTTONW, 0, reinterpret_cast<LPARAM>(&button)));
    EXPECT_TRUE(bar.IsCustomButton(2));
    button.idCommand = 40051;
    ASSERT_TRUE(bar.SendMessage(TB_INSERTBUTTONA, 1, reinterpret_cast<LPARAM>(&button)));
    EXPECT_TRUE(bar.IsCustomButton(3));
    EXPECT_FALSE(bar.IsCustomButton(2));
    EXPECT_EQ(bar.GetCustomControlIndex(41002), 3);

    // Appended at -1 or past the end, a button moves nothing in front of it: the control keeps its
    // slot, the customised button stays, and the new button keeps its face.
    bar.SetCustomizedButton(1);
    for (const WPARAM end : {static_cast<WPARAM>(-1), static_cast<WPARAM>(bar.GetCount() + 5)}) {
        const int count = bar.GetCount();
        button.idCommand = 40052 + static_cast<int>(count);
        if (!bar.SendMessage(TB_INSERTBUTTONW, end, reinterpret_cast<LPARAM>(&button))) continue;
        ASSERT_EQ(bar.GetCount(), count + 1);
        EXPECT_EQ(bar.GetCustomControlIndex(41002), 3);
        EXPECT_FALSE(bar.IsCustomButton(4));
        EXPECT_EQ(bar.GetCustomizedButton(), 1);
        EXPECT_EQ(bar.GetItemID(count), static_cast<UINT>(button.idCommand));
        EXPECT_FALSE(bar.GetButtonStyle(count) & TBBS_SEPARATOR);
        bar.DeleteButton(count);
    }
    bar.SetCustomizedButton(-1);

    // Moving the slot takes the control with it.
    ASSERT_TRUE(bar.SendMessage(TB_MOVEBUTTON, 3, 0));
    EXPECT_TRUE(bar.IsCustomButton(0));
    EXPECT_FALSE(bar.IsCustomButton(3));
    CRect slot, window;
    bar.GetItemRect(0, &slot);
    combo.GetWindowRect(&window);
    bar.ScreenToClient(&window);
    EXPECT_EQ(window.left, slot.left + 2);

    // A delete before it moves it down; deleting the last button leaves no trailing separator.
    ASSERT_TRUE(bar.DeleteButton(1));
    EXPECT_TRUE(bar.IsCustomButton(0));
    const int count = bar.GetCount();
    bar.SetButtonInfo(count - 2, 0, TBBS_SEPARATOR, 8);
    ASSERT_TRUE(bar.DeleteButton(count - 1));
    EXPECT_EQ(bar.GetCount(), count - 2);
    EXPECT_FALSE(bar.GetButtonStyle(bar.GetCount() - 1) & TBBS_SEPARATOR);

    // Redraws only within the buttons there are.
    EXPECT_TRUE(bar.RedrawButton(0));
    EXPECT_FALSE(bar.RedrawButton(bar.GetCount()));
    EXPECT_FALSE(bar.RedrawButton(-1));
    bar.DeleteButton(0);
}

// A control that cannot be made (here: a window class nobody registered) takes back the slot
// it was given, and only that: a separator beside it at either end of the bar stays, and so
// do the other controls' slots and the customised button.
TEST_F(CoolBar, AControlThatCannotBeMadeLeavesTheBarAsItWas) {
    static Combo placed;  // registered for the life of the process, as the program's own are
    static Combo unmade;
    ASSERT_TRUE(bar.InsertComboBox(2, RegisterCombo(placed, 41006, 60), WS_CHILD | WS_VISIBLE | CBS_DROPDOWN));
    const int descriptor = RegisterCombo(unmade, 41007, 60);
    bar.SetButtonInfo(0, 0, TBBS_SEPARATOR, 8);
    bar.SetButtonInfo(bar.GetCount() - 1, 0, TBBS_SEPARATOR, 8);
    bar.SetCustomizedButton(3);
    auto buttons = [this] {
        std::vector<std::pair<int, int>> all;  // command and separator bit of each button
        for (const TBBUTTON& b : bar.GetButtons()) all.emplace_back(b.idCommand, b.fsStyle & TBSTYLE_SEP);
        return all;
    };
    const auto before = buttons();
    for (const int at : {bar.GetCount(), 0, 4}) {
        EXPECT_FALSE(bar.SetCustomButton(at, descriptor, WS_CHILD | WS_VISIBLE, 0, L"NoSuchWindowClass", L"")) << at;
        EXPECT_EQ(buttons(), before) << "a failed insert at " << at << " changed the buttons";
        EXPECT_EQ(bar.GetCustomControlIndex(41006), 2) << at;
        EXPECT_FALSE(bar.IsCustomButton(at)) << at;
        EXPECT_EQ(bar.GetCustomizedButton(), 3) << at;
        EXPECT_EQ(unmade.m_hWnd, nullptr);
    }
    bar.SetCustomizedButton(-1);
    bar.DeleteButton(2);
}

TEST_F(CoolBar, ButtonTextsComeFromTheStringsAndStatesFromTheUpdateHandlers) {
    bar.SetTextType(0);
    EXPECT_EQ(bar.GetButtonText(0), L"First command");
    EXPECT_EQ(bar.GetButtonText(3), L"");  // a string without a line feed has no first half
    bar.SetTextType(1);
    EXPECT_EQ(bar.GetButtonText(1), L"Second");
    EXPECT_EQ(bar.GetButtonText(3), L"");  // no line feed, no tooltip half
    bar.SetTextType(9);
    EXPECT_EQ(bar.GetTextType(), 4);
    EXPECT_EQ(bar.GetButtonText(0), L"");

    // Nobody handles these commands: the idle update disables them.
    fixture.frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
    EXPECT_FALSE(bar.SendMessage(TB_ISBUTTONENABLED, 40001));
    COXCoolToolBarCmdUI state;
    state.m_pOther = &bar;
    state.m_nIndex = 1;
    state.Enable(TRUE);
    state.SetCheck(2);
    EXPECT_TRUE(bar.SendMessage(TB_ISBUTTONENABLED, 40002));
    EXPECT_TRUE(bar.SendMessage(TB_ISBUTTONINDETERMINATE, 40002));
    state.SetCheck(1);
    EXPECT_TRUE(bar.SendMessage(TB_ISBUTTONCHECKED, 40002));
    EXPECT_FALSE(bar.SendMessage(TB_ISBUTTONINDETERMINATE, 40002));
}

TEST_F(CoolBar, DropDownArrowsAndSettingsReachTheControl) {
    const DWORD version = COXCoolToolBar::GetComCtlVersion();
    EXPECT_GE(version, 0x40000u);
    RecordProperty("comctl32 version", static_cast<int>(version));
    bar.SetDropDownArrow(TRUE);
    EXPECT_TRUE(bar.IsDropDownArrow());
    if (version >= kComCtl471) {
        EXPECT_TRUE(bar.SendMessage(TB_GETEXTENDEDSTYLE) & TBSTYLE_EX_DRAWDDARROWS);
    }
    bar.SetDropDownArrow(FALSE);
    EXPECT_FALSE(bar.IsDropDownArrow());
    EXPECT_GT(bar.GetDropDownArrowWidth(), 0);
    bar.SetFlat(FALSE);
    EXPECT_FALSE(bar.IsFlat());
    bar.SetFlat(TRUE);
    bar.SetGripper(FALSE);
    EXPECT_FALSE(bar.IsGripper());
    bar.SetIndent(5);
    EXPECT_EQ(bar.GetIndent(), 5);
    bar.SetCustomizable(TRUE, FALSE);  // no customisation list: nothing to offer
    EXPECT_FALSE(bar.IsCustomizable(FALSE));
    bar.SetCustomizationList({40001, 40002});
    bar.SetCustomizable(TRUE, FALSE);
    EXPECT_TRUE(bar.IsCustomizable(FALSE));
    bar.SetCustomizable(TRUE, TRUE);
    EXPECT_FALSE(bar.IsCustomizable(FALSE));
    EXPECT_TRUE(bar.IsCustomizable(TRUE));
}

TEST_F(CoolBar, AControlShowsOnlyInTheShapesItsFlagsAllowAndStandsInAsAButtonElsewhere) {
    static Combo combo;  // registered for the life of the process, as the program's own are
    const int descriptor = COXCoolToolBar::MakeCustomButtonDescriptor(&combo, 41004, 70, 100, OXCBS_HORZDOCKED, 2);
    ASSERT_TRUE(bar.InsertComboBox(1, descriptor, WS_CHILD | WS_VISIBLE | CBS_DROPDOWN));
    EXPECT_TRUE(combo.IsWindowVisible());
    UINT id = 0, style = 0;
    int image = 0;
    bar.GetButtonInfo(1, id, style, image);
    EXPECT_EQ(style & TBBS_SEPARATOR, TBBS_SEPARATOR);
    EXPECT_EQ(image, 70);

    // Docked at the left: an ordinary button with the descriptor's image, the control hidden.
    fixture.frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    bar.GetButtonInfo(1, id, style, image);
    EXPECT_EQ(style & TBBS_SEPARATOR, 0u);
    EXPECT_EQ(id, 41004u);
    EXPECT_EQ(image, 2);
    EXPECT_FALSE(combo.IsWindowVisible());
    // Floating: flag 4 is not set either.
    fixture.frame->FloatControlBar(&bar, CPoint(200, 200));
    bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_FALSE(combo.IsWindowVisible());
    // Back at the top: the control again, in a separator slot.
    fixture.frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    bar.GetButtonInfo(1, id, style, image);
    EXPECT_EQ(style & TBBS_SEPARATOR, TBBS_SEPARATOR);
    EXPECT_TRUE(combo.IsWindowVisible());

    // Deleting the first button leaves no leading plain separator; the control's slot stays.
    bar.SetButtonInfo(0, 0, TBBS_SEPARATOR, 8);
    const int count = bar.GetCount();
    bar.InsertComboBox(0, descriptor, WS_CHILD | WS_VISIBLE | CBS_DROPDOWN);  // a copy in front
    ASSERT_TRUE(bar.DeleteButton(0));
    EXPECT_EQ(bar.GetCount(), count - 1);
    EXPECT_TRUE(bar.IsCustomButton(0));
}

// A combo box that counts the times it is moved.
class CountingCombo : public CComboBox {
public:
    int moves = 0;

protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {MapMessage<&CountingCombo::OnMoved>(WM_WINDOWPOSCHANGED)};
        static const MessageMap map{CComboBox::GetMessageMap(), entries};
        return &map;
    }
    LRESULT OnMoved(WPARAM, LPARAM) {
        ++moves;
        return Default();
    }
};

TEST_F(CoolBar, ALayoutPassThatChangesNothingLeavesTheHostedControlsWhereTheyAre) {
    static COXCustomTBComboBox<CountingCombo> combo;  // registered for the life of the process
    ASSERT_TRUE(bar.InsertComboBox(2, COXCoolToolBar::MakeCustomButtonDescriptor(&combo, 41005, 80, 100),
                                   WS_CHILD | WS_VISIBLE | CBS_DROPDOWN));
    fixture.frame->RecalcLayout();
    CRect before;
    combo.GetWindowRect(&before);
    combo.moves = 0;
    fixture.frame->RecalcLayout();
    fixture.frame->RecalcLayout();
    EXPECT_EQ(combo.moves, 0);
    CRect after, slot;
    combo.GetWindowRect(&after);
    EXPECT_EQ(after, before);
    bar.GetItemRect(2, &slot);
    bar.ClientToScreen(&slot);
    EXPECT_EQ(after.left, slot.left + 2);  // two pixels in, as placed by the bar
    bar.DeleteButton(2);
}

// A bar that records the mouse input its controls pass on.
class WatchingBar : public COXCoolToolBar {
public:
    LPARAM wheel = 0, press = 0;

protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {
            MapMessage<&WatchingBar::OnWheel>(WM_MOUSEWHEEL),
            MapMessage<&WatchingBar::OnPress>(WM_LBUTTONDOWN),
        };
        static const MessageMap map{COXCoolToolBar::GetMessageMap(), entries};
        return &map;
    }
    LRESULT OnWheel(WPARAM, LPARAM l) { wheel = l; return 0; }
    LRESULT OnPress(WPARAM, LPARAM l) { press = l; return 0; }
};

TEST_F(CoolBar, ACustomisingControlPassesMouseInputToItsBarAndWheelPointsStayOnScreen) {
    WatchingBar watching;
    ASSERT_TRUE(watching.CreateEx(fixture.frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, CRect(), 32961));
    ASSERT_TRUE(watching.LoadToolBar(300));
    static Combo combo;  // registered for the life of the process, as the program's own are
    ASSERT_TRUE(watching.InsertComboBox(2, RegisterCombo(combo, 41003, 80), WS_CHILD | WS_VISIBLE | CBS_DROPDOWN));
    combo.SetCustomizing(TRUE);
    CRect window;
    combo.GetWindowRect(&window);
    watching.ScreenToClient(&window);
    combo.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 5));
    EXPECT_EQ(watching.press, MAKELPARAM(window.left + 4, window.top + 5));
    combo.KillTimer(kCustomButtonDragTimer);
    const LPARAM screen = MAKELPARAM(321, 234);
    combo.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), screen);
    EXPECT_EQ(watching.wheel, screen);
    combo.SendMessage(WM_KEYDOWN, 'A', 0);  // swallowed while customising
    EXPECT_EQ(combo.GetWindowText(), L"");
    combo.SetCustomizing(FALSE);
    watching.DeleteButton(2);
    watching.DestroyWindow();
}

// A narrowed floating bar breaks its rows at plain separators and before
// buttons, never at a control's slot (which would lie across the bar as an
// empty band two thirds of the slot high); the bar's height is its rows'.
// Its customise menu's commands act on the customised button after the
// owner's notice, and a change of floating state re-places the controls at once.
TEST_F(CoolBar, NarrowFloatingRowsBreakBesideControlsAndTheCustomiseCommandsEditTheBar) {
    static Combo combo;  // registered for the life of the process, as the program's own are
    ASSERT_TRUE(bar.InsertComboBox(4, RegisterCombo(combo, 41005, 118), WS_CHILD | WS_VISIBLE | CBS_DROPDOWN));
    fixture.frame->FloatControlBar(&bar, CPoint(300, 300));
    PumpMessages();
    ASSERT_TRUE(bar.IsFloating());
    EXPECT_TRUE(combo.IsWindowVisible());  // placed at once, no idle needed
    for (int width : {60, 123, 160}) {
        const CSize size = bar.CalcDynamicLayout(width, LM_HORZ | LM_COMMIT);
        int rows = 1, bands = 0;
        for (const TBBUTTON& b : bar.GetButtons()) {
            if (!(b.fsState & TBSTATE_WRAP)) continue;
            EXPECT_FALSE((b.fsStyle & TBSTYLE_SEP) && b.idCommand != 0) << "a control's slot ends a row at " << width;
            ++rows;
            if (b.fsStyle & TBSTYLE_SEP) bands += (b.iBitmap > 0 ? b.iBitmap : 8) * 2 / 3;
        }
        EXPECT_GT(rows, 1) << width;
        CRect inside;
        bar.CalcInsideRect(inside, TRUE);
        EXPECT_EQ(size.cy + inside.Height(), rows * bar.GetButtonSize().cy + bands) << width;
    }

    // The customise menu's commands, each noticed to the owner first.
    fixture.frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    bar.SetCustomizeMode(TRUE);
    bar.SetCustomizedButton(0);
    const int count = bar.GetCount();
    bar.SendMessage(WM_COMMAND, OXTB_CMD_SEPAFTER);
    EXPECT_EQ(bar.GetCount(), count + 1);
    EXPECT_EQ(bar.GetItemID(1), 0u);
    bar.SetButtonText(0, L"First");
    bar.SendMessage(WM_COMMAND, OXTB_CMD_HIDETEXT);
    EXPECT_EQ(bar.GetButtonText(0), L"");
    bar.SendMessage(WM_COMMAND, OXTB_CMD_SHOWTEXT);
    EXPECT_EQ(bar.GetButtonText(0), L"First");  // the hidden text comes back
    bar.SendMessage(WM_COMMAND, OXTB_CMD_DELETE);
    EXPECT_EQ(bar.GetCount(), count - 1);  // the button, and the separator it left in front
    EXPECT_TRUE(bar.ShowCustomizeMenu(-1, 0, 0) == FALSE);

    // An OLE drag over a customisable bar: leaving clears the drag-over state, unless the bar
    // keeps it.
    struct Flags : COXCoolToolBar {
        static BOOL& Over(COXCoolToolBar& b) { return b.*(&Flags::m_bDragOver); }
        static BOOL& Kept(COXCoolToolBar& b) { return b.*(&Flags::m_bDragOverKept); }
    };
    bar.SetCustomizationList({bar.GetItemID(0)});
    bar.SetCustomizable(TRUE, TRUE);
    ASSERT_TRUE(bar.IsCustomizable(TRUE));
    OXDRAGTARGETRELAY relay;
    EXPECT_EQ(bar.SendMessage(WM_DRAGRELAY_ENTER, 0, reinterpret_cast<LPARAM>(&relay)), 1);
    EXPECT_TRUE(Flags::Over(bar));
    Flags::Kept(bar) = TRUE;
    bar.SendMessage(WM_DRAGRELAY_LEAVE, 0, reinterpret_cast<LPARAM>(&relay));
    EXPECT_TRUE(Flags::Over(bar));
    Flags::Kept(bar) = FALSE;
    bar.SendMessage(WM_DRAGRELAY_LEAVE, 0, reinterpret_cast<LPARAM>(&relay));
    EXPECT_FALSE(Flags::Over(bar));
}

}  // namespace
