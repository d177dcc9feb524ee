// The colour picker as the main window uses it: opened from a toolbar
// drop-down button, a colour chosen by keyboard and by mouse, "Default",
// "Custom..." through the colour dialog, cancelling, and the click that
// closes it passed on; the grid's layout and its first paint.
#include "ToolkitFixture.h"

#include "bars/ColorPickerCtrl.h"
#include "wnd/FloatStatus.h"

#include <functional>

namespace {

class PickerFrame : public CFrameWnd {
public:
    COLORREF textColor = RGB(0, 0, 0);
    std::function<void(COXColorPickerCtrl&)> input;  // posts the user's keys and clicks before the pick runs
    BOOL picked = FALSE;
    int selectedIndex = -2;
    int framesClicked = 0;

protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {
            MapNotify<&PickerFrame::OnDropDown>(TBN_DROPDOWN, 32950),
            MapMessage<&PickerFrame::OnLButtonDown>(WM_LBUTTONDOWN),
        };
        static const MessageMap map{CFrameWnd::GetMessageMap(), entries};
        return &map;
    }
    void OnLButtonDown(UINT, CPoint) { ++framesClicked; }
    // What the main window does for its colour buttons.
    void OnDropDown(NMHDR* header, LRESULT* result) {
        auto* notify = reinterpret_cast<NMTOOLBARW*>(header);
        CWnd* bar = CWnd::FromHandle(header->hwndFrom);
        COXColorPickerCtrl picker(20, 4, static_cast<DWORD>(-1), 18, 18, 26536, 26537);
        *result = TBDDRET_DEFAULT;
        if (!picker.Create(bar, POPUPBAR_NOTEAROFF)) return;
        picker.SetSelectedColor(textColor);
        picker.SetDefaultColor(0x800000);
        CRect rect(notify->rcButton);
        bar->ClientToScreen(&rect);
        if (input) input(picker);
        picked = picker.Pick(3, &rect, CSize(0, 0));
        selectedIndex = picker.GetSelectedIndex();
        if (picked) textColor = picker.GetSelectedColor();
    }
};

class ColorPicker : public ::testing::Test {
protected:
    void DropDown() {
        NMTOOLBARW notify{};
        notify.hdr.hwndFrom = fixture.bar.m_hWnd;
        notify.hdr.idFrom = 32950;
        notify.hdr.code = TBN_DROPDOWN;
        notify.iItem = 40001;
        fixture.bar.GetItemRect(0, &notify.rcButton);
        frame->SendMessage(WM_NOTIFY, 32950, reinterpret_cast<LPARAM>(&notify));
        PumpMessages();
    }
    static void Keys(COXColorPickerCtrl& picker, std::initializer_list<UINT> keys) {
        for (UINT key : keys) picker.PostMessage(key == VK_ESCAPE ? WM_KEYUP : WM_KEYDOWN, key, 1);
    }
    static void Click(COXColorPickerCtrl& picker, CPoint at) {
        picker.CalcLayout();
        picker.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
        picker.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        picker.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    }
    static CPoint Centre(const CRect& r) { return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }

    TestApp<CWinApp> app{L"ColorPickerTests"};
    PickerFrame* frame = new PickerFrame;
    BarFrameFixture fixture{frame};
};

TEST_F(ColorPicker, KeyboardChoosesAGridColourDefaultOrNothing) {
    frame->input = [](COXColorPickerCtrl& p) { Keys(p, {VK_RIGHT, VK_DOWN, VK_RIGHT, VK_RETURN}); };  // Default, first, second
    DropDown();
    EXPECT_TRUE(frame->picked);
    EXPECT_EQ(frame->textColor, RGB(165, 42, 42));

    frame->input = [](COXColorPickerCtrl& p) { Keys(p, {VK_DOWN, VK_RETURN}); };  // from nothing down to "Default"
    DropDown();
    EXPECT_TRUE(frame->picked);
    EXPECT_EQ(frame->textColor, 0x800000u);
    EXPECT_EQ(frame->selectedIndex, 0);

    // Left from "Default" wraps to "Custom...", Up to the last grid button; Escape cancels.
    frame->textColor = RGB(9, 9, 9);
    frame->input = [](COXColorPickerCtrl& p) { Keys(p, {VK_DOWN, VK_LEFT, VK_UP, VK_ESCAPE}); };
    DropDown();
    EXPECT_FALSE(frame->picked);
    EXPECT_EQ(frame->textColor, RGB(9, 9, 9));
    EXPECT_EQ(frame->selectedIndex, 21);  // a colour not in the grid marks "Custom..."
}

TEST_F(ColorPicker, MouseChoosesTheButtonUnderIt) {
    frame->input = [](COXColorPickerCtrl& p) {
        p.CalcLayout();
        Click(p, Centre(p.GetButtonRects()[7]));
    };
    DropDown();
    EXPECT_TRUE(frame->picked);
    EXPECT_EQ(frame->textColor, RGB(40, 40, 40));
}

TEST_F(ColorPicker, ClickOutsideCancelsAndReachesTheWindowBelow) {
    frame->textColor = RGB(0, 0, 255);
    frame->input = [](COXColorPickerCtrl& p) {
        p.CalcLayout();
        const int x = p.GetWindowRectangle().Width() + 250;
        p.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 200));
    };
    DropDown();
    EXPECT_FALSE(frame->picked);
    EXPECT_EQ(frame->textColor, RGB(0, 0, 255));
    EXPECT_EQ(frame->selectedIndex, 14);  // the colour's own button
    EXPECT_EQ(frame->framesClicked, 1);
}

BOOL AnswerCustom(CHOOSECOLORW& choose) {
    choose.rgbResult = RGB(12, 34, 56);
    return TRUE;
}
BOOL CancelCustom(CHOOSECOLORW&) { return FALSE; }

TEST_F(ColorPicker, CustomColourComesFromTheColourDialog) {
    COXColorPickerCtrl::SetColorDialogRunner(&AnswerCustom);
    frame->input = [](COXColorPickerCtrl& p) { Keys(p, {VK_UP, VK_RETURN}); };  // from nothing up to "Custom..."
    DropDown();
    EXPECT_TRUE(frame->picked);
    EXPECT_EQ(frame->textColor, RGB(12, 34, 56));
    EXPECT_EQ(frame->selectedIndex, 21);

    COXColorPickerCtrl::SetColorDialogRunner(&CancelCustom);
    DropDown();
    EXPECT_FALSE(frame->picked);  // cancelling the dialog cancels the pick
    EXPECT_EQ(frame->textColor, RGB(12, 34, 56));
    COXColorPickerCtrl::SetColorDialogRunner(nullptr);
}

class PaintProbe : public COXColorPickerCtrl {
public:
    using COXColorPickerCtrl::COXColorPickerCtrl;
    void PaintInto(CDC* dc) {
        DrawBackground(dc);
        for (int i = 0; i < GetButtonCount(); ++i) DrawButton(dc, i);
        DrawDefaultButton(dc);
        DrawCustomButton(dc);
    }
};

TEST(PopupBarLayout, GridColumnsRowsAndFirstPaint) {
    TestApp<CWinApp> app{L"PopupBarLayout"};
    // No rows is taken as one row.
    COXPopupBarCtrl none(5, 0, 0, 18, 18, 0, 0);
    EXPECT_EQ(none.GetColumnCount(), 5);
    EXPECT_TRUE(none.CalcLayout());
    EXPECT_EQ(none.GetButtonRects().size(), 5u);

    COXPopupBarCtrl full(20, 4, 0, 18, 18, 0, 0), ragged(21, 4, 0, 18, 18, 0, 0);
    ASSERT_TRUE(full.CalcLayout());
    ASSERT_TRUE(ragged.CalcLayout());
    EXPECT_EQ(full.GetColumnCount(), 5);
    EXPECT_EQ(full.GetButtonRects()[19].top, full.GetButtonRects()[15].top);  // last row full
    EXPECT_EQ(ragged.GetColumnCount(), 6);
    EXPECT_EQ(ragged.GetButtonRects()[18].top, ragged.GetButtonRects()[20].top);  // last row of three
    EXPECT_GT(ragged.GetButtonRects()[18].top, ragged.GetButtonRects()[17].top);
    // "Default" above the grid, "Custom..." below it.
    EXPECT_LT(full.GetDefaultRect().bottom, full.GetButtonRects()[0].top + 1);
    EXPECT_GT(full.GetCustomRect().top, full.GetButtonRects()[19].bottom - 1);

    PaintProbe picker(20, 4, static_cast<DWORD>(-1), 18, 18, 0, 0);
    ASSERT_TRUE(picker.Create(nullptr, POPUPBAR_NOTEAROFF));
    DWORD colors[40];
    for (int i = 0; i < 40; ++i) colors[i] = COXColorPickerCtrl::BuiltInColor(i);
    picker.SetButtons(colors, 20);
    picker.SetDefaultColor(0x800000);
    ASSERT_TRUE(picker.CalcLayout());
    MemoryCanvas canvas(200, 200);
    picker.PaintInto(&canvas.dc);
    const CRect blue = picker.GetButtonRects()[13];
    EXPECT_EQ(canvas.Pixel((blue.left + blue.right) / 2, (blue.top + blue.bottom) / 2), RGB(0, 0, 255));
    EXPECT_EQ(canvas.Pixel(blue.left + 2, blue.top + 2), GetSysColor(COLOR_BTNSHADOW));
    const CRect def = picker.GetDefaultRect();
    EXPECT_EQ(canvas.Pixel(def.left + def.Height() / 2, (def.top + def.bottom) / 2), 0x800000u);
}

}  // namespace

namespace {

class NotifiedFrame : public CFrameWnd {
public:
    int notified = 0;
    HWND from = nullptr;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_POPUPBAR_NOTIFY) {
            ++notified;
            from = reinterpret_cast<HWND>(lParam);
        }
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }
};

POINT g_dragTo;
HWND g_dragWindow = nullptr;
CPoint Centre(const CRect& r) { return CPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }
VOID CALLBACK DragOutline(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    SetCursorPos(g_dragTo.x, g_dragTo.y);
    PostMessageW(g_dragWindow, WM_MOUSEMOVE, 0, 0);
    PostMessageW(g_dragWindow, WM_LBUTTONUP, 0, 0);
}

COXPopupBarCtrl* g_popup = nullptr;
// Escape to whatever window the popup has now (a pick makes a floating popup anew).
VOID CALLBACK PressEscape(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostMessageW(g_popup->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(g_popup->m_hWnd, WM_KEYUP, VK_ESCAPE, 1);
}

// The activation messages a watched window receives.
std::vector<std::pair<UINT, WPARAM>> g_seen;
HWND g_watched = nullptr;
LRESULT CALLBACK WatchActivation(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code >= 0 && call->hwnd == g_watched && (call->message == WM_FLOATSTATUS || call->message == WM_NCACTIVATE))
        g_seen.emplace_back(call->message, call->wParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Dragging the strip off tears the popup off into a floating window that
// reports choices to its parent; the next pick makes it a popup again.
TEST(PopupBarTearOff, DraggedOffItFloatsAndNotifiesItsParent) {
    TestApp<CWinApp> app{L"PopupBarTearOff"};
    auto* frame = new NotifiedFrame;
    BarFrameFixture fixture{frame};
    COXColorPickerCtrl picker(20, 4, static_cast<DWORD>(-1), 18, 18, 0, 0);
    ASSERT_TRUE(picker.Create(frame, 0));
    ASSERT_TRUE(picker.CalcLayout());
    const CRect ref(200, 150, 223, 172);
    const CRect strip = picker.GetTearOffRect();
    ASSERT_FALSE(strip.IsRectEmpty());
    // Where the strip will be on the screen: the popup opens below the reference's left edge.
    POINT onStrip{(strip.left + strip.right) / 2, (strip.top + strip.bottom) / 2};
    RECT frameSize{0, 0, 0, 0};
    AdjustWindowRectEx(&frameSize, WS_POPUP, FALSE, WS_EX_DLGMODALFRAME);
    const POINT screenStrip{ref.left - frameSize.left + onStrip.x, ref.bottom - frameSize.top + onStrip.y};
    SetCursorPos(screenStrip.x, screenStrip.y);
    const CPoint below = Centre(picker.GetButtonRects()[6]);
    picker.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(onStrip.x, onStrip.y));
    picker.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(below.x, below.y));
    g_dragTo = POINT{screenStrip.x + 100, screenStrip.y + 60};
    g_dragWindow = picker.m_hWnd;
    g_popup = &picker;
    SetTimer(nullptr, 0, 600, &DragOutline);
    EXPECT_FALSE(picker.Pick(3, &ref, CSize(0, 0)));
    ASSERT_TRUE(picker.IsTornOff());
    EXPECT_TRUE(picker.IsWindowVisible());
    EXPECT_TRUE(picker.GetStyle() & WS_CAPTION);
    EXPECT_TRUE(picker.GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(picker.GetTearOffRect().IsRectEmpty());  // no strip while floating
    CRect floating;
    picker.GetWindowRect(&floating);
    EXPECT_NEAR(floating.left, ref.left + 100, 2);

    // A click on a colour of the floating window tells the parent.
    const CPoint sixth = Centre(picker.GetButtonRects()[5]);
    picker.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(sixth.x, sixth.y));
    picker.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(sixth.x, sixth.y));
    picker.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(sixth.x, sixth.y));
    PumpMessages();
    EXPECT_EQ(frame->notified, 1);
    EXPECT_EQ(frame->from, picker.m_hWnd);
    EXPECT_EQ(picker.GetSelectedColor(), COXColorPickerCtrl::BuiltInColor(5));

    // The floating window's caption follows its frame's activation: the frame
    // tells it (WM_FLOATSTATUS) and it draws its caption in the frame's state.
    // The frame is the foreground window, as when the user works in it: with the floating
    // window itself in front, a deactivation of the frame keeps both captions active.
    ::SetForegroundWindow(frame->m_hWnd);
    ::SetActiveWindow(frame->m_hWnd);
    PumpMessages();
    g_seen.clear();
    g_watched = picker.m_hWnd;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &WatchActivation, nullptr, GetCurrentThreadId());
    frame->SendMessage(WM_NCACTIVATE, TRUE);
    frame->SendMessage(WM_NCACTIVATE, FALSE);
    UnhookWindowsHookEx(hook);
    const std::vector<std::pair<UINT, WPARAM>> expected = {
        {WM_FLOATSTATUS, FS_ACTIVATE}, {WM_NCACTIVATE, TRUE}, {WM_FLOATSTATUS, FS_DEACTIVATE}, {WM_NCACTIVATE, FALSE}};
    EXPECT_EQ(g_seen, expected);

    // New values cancel what the floating window offered: it goes.
    const DWORD values[] = {RGB(1, 2, 3), RGB(4, 5, 6)};
    picker.SetButtons(values, 2);
    EXPECT_FALSE(picker.IsWindowVisible());

    // Picking again makes it a popup once more.
    SetTimer(nullptr, 0, 300, &PressEscape);
    EXPECT_FALSE(picker.Pick(3, &ref, CSize(0, 0)));
    EXPECT_FALSE(picker.IsTornOff());
    EXPECT_FALSE(picker.GetStyle() & WS_CAPTION);
}

}  // namespace
