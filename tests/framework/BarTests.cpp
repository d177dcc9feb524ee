// Control bars in a real frame: a toolbar from its resource, docking on each
// side, floating, a drag back onto a side, sizing a floating frame, command-UI updates on idle, the
// status bar's panes, and the bar state kept in the profile.
#include "FrameworkTestApp.h"
#include "app/RegKey.h"
#include "bars/DockBar.h"
#include "bars/DockContext.h"
#include "bars/MiniDockFrameWnd.h"
#include "bars/StatusBar.h"
#include "bars/ToolBar.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT kBarId = 0xE810;

class BarFrame : public CFrameWnd {
public:
    BOOL m_enableSecond = FALSE;
    int m_pressed = 0;

protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {
            MapCommand<&BarFrame::OnNothing>(40001),
            MapUpdateUI<&BarFrame::OnUpdateFirst>(40001),
            MapUpdateUI<&BarFrame::OnUpdateSecond>(40002),
        };
        static const MessageMap map{CFrameWnd::GetMessageMap(), entries};
        return &map;
    }
    void OnNothing() { ++m_pressed; }
    void OnUpdateFirst(CCmdUI* ui) { ui->SetCheck(1); }
    void OnUpdateSecond(CCmdUI* ui) { ui->Enable(m_enableSecond); }
};

class Bars : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new BarFrame;
        ASSERT_TRUE(frame->CreateEx(0, nullptr, L"bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100, 700, 500,
                                    nullptr, nullptr));
        ASSERT_TRUE(pane.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), frame, AFX_IDW_PANE_FIRST));
        frame->EnableDocking(CBRS_ALIGN_ANY);
        ASSERT_TRUE(bar.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS,
                                 CRect(1, 1, 1, 1), kBarId));
        ASSERT_TRUE(bar.LoadToolBar(300));
        bar.EnableDocking(CBRS_ALIGN_ANY);
        frame->DockControlBar(&bar);
        PumpMessages();
    }
    void TearDown() override {
        if (frame && frame->m_hWnd) frame->DestroyWindow();
        PumpMessages();
    }
    CRect PaneRect() const {
        CRect r;
        pane.GetWindowRect(&r);
        frame->ScreenToClient(&r);
        return r;
    }
    CRect BarScreenRect() const {
        CRect r;
        bar.GetWindowRect(&r);
        return r;
    }

    FrameworkTestApp app{L"BarTests"};
    BarFrame* frame = nullptr;  // deletes itself with its window
    CWnd pane;
    CToolBar bar;
};

TEST_F(Bars, ToolBarComesFromItsResourceWithButtonsTextsAndStyles) {
    ASSERT_EQ(bar.GetCount(), 6);
    EXPECT_EQ(bar.CommandToIndex(40003), 3);
    EXPECT_EQ(bar.GetItemID(2), 0u);
    EXPECT_EQ(bar.GetButtonSize(), CSize(23, 22));  // images 16 x 15 plus 7 each way
    UINT id = 0, style = 0;
    int image = 0;
    bar.GetButtonInfo(3, id, style, image);
    EXPECT_EQ(id, 40003u);
    EXPECT_EQ(image, 2);  // the separator takes no image
    EXPECT_EQ(style, TBBS_BUTTON);
    EXPECT_EQ(bar.GetButtonStyle(2) & TBBS_SEPARATOR, TBBS_SEPARATOR);

    EXPECT_TRUE(bar.SetButtonText(0, L"First"));
    EXPECT_EQ(bar.GetButtonText(0), L"First");
    bar.SetButtonInfo(4, 40009, TBBS_BUTTON, 4);
    EXPECT_EQ(bar.CommandToIndex(40009), 4);
    CRect item;
    bar.GetItemRect(1, &item);
    EXPECT_GT(item.Width(), 0);

    // Idle time: checked by its handler, disabled by its handler, left alone without one.
    frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
    EXPECT_TRUE(bar.GetButtonStyle(0) & TBBS_CHECKED);
    EXPECT_TRUE(bar.GetButtonStyle(1) & TBBS_DISABLED);
    EXPECT_TRUE(bar.GetButtonStyle(3) & TBBS_DISABLED);  // nobody handles 40003
    frame->m_enableSecond = TRUE;
    frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
    EXPECT_FALSE(bar.GetButtonStyle(1) & TBBS_DISABLED);
}

TEST_F(Bars, ABarDocksOnEachSideAndThePaneTakesTheRest) {
    struct Side {
        UINT dockId;
        DWORD align;
    };
    const Side sides[] = {{AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT}, {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT},
                          {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM}, {AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP}};
    CRect client;
    frame->GetClientRect(&client);
    for (const Side& side : sides) {
        frame->DockControlBar(&bar, side.dockId);
        PumpMessages();
        CControlBar* dockBar = frame->GetControlBar(side.dockId);
        ASSERT_NE(dockBar, nullptr);
        EXPECT_EQ(::GetParent(bar.m_hWnd), dockBar->m_hWnd);
        EXPECT_EQ(bar.GetBarStyle() & CBRS_ALIGN_ANY, side.align);
        EXPECT_FALSE(bar.IsFloating());
        const CRect r = BarScreenRect();
        const CRect p = PaneRect();
        if (side.align & CBRS_ORIENT_VERT) {
            EXPECT_GT(r.Height(), r.Width()) << side.dockId;  // one column of buttons
            EXPECT_EQ(p.Width(), client.Width() - r.Width()) << side.dockId;
            if (side.align == CBRS_ALIGN_LEFT) {
                EXPECT_EQ(p.left, r.Width());
            }
        } else {
            EXPECT_GT(r.Width(), r.Height()) << side.dockId;
            EXPECT_EQ(p.Height(), client.Height() - r.Height()) << side.dockId;
            if (side.align == CBRS_ALIGN_TOP) {
                EXPECT_EQ(p.top, r.Height());
            }
        }
    }
}

TEST_F(Bars, AFloatedBarIsDraggedBackOntoTheLeftSide) {
    frame->FloatControlBar(&bar, CPoint(300, 300));
    PumpMessages();
    ASSERT_TRUE(bar.IsFloating());
    auto* mini = dynamic_cast<CMiniDockFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(::GetParent(bar.m_hWnd))));
    ASSERT_NE(mini, nullptr);
    CRect miniRect;
    mini->GetWindowRect(&miniRect);
    EXPECT_EQ(miniRect.TopLeft(), CPoint(300, 300));
    EXPECT_TRUE(mini->IsWindowVisible());
    EXPECT_EQ(PaneRect().top, 0);  // nothing docked any more

    // The drag: press on the bar, move over the frame's left edge, release there.
    CRect frameClient;
    frame->GetClientRect(&frameClient);
    frame->ClientToScreen(&frameClient);
    const CRect barRect = BarScreenRect();
    const CPoint start(barRect.left + 3, barRect.top + 3);
    CPoint over(frameClient.left + 4, frameClient.top + 150);
    ::ScreenToClient(bar.m_hWnd, &over);
    bar.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(over.x + 20, over.y));
    bar.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(over.x, over.y));
    bar.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(over.x, over.y));
    bar.m_pDockContext->StartDrag(start);
    PumpMessages();
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_EQ(bar.GetBarStyle() & CBRS_ALIGN_ANY, CBRS_ALIGN_LEFT);
    EXPECT_GT(PaneRect().left, 0);
    EXPECT_FALSE(::IsWindow(mini->m_hWnd));  // the emptied floating frame is gone

    // Double-click floats it again where it floated last; again docks it where it was.
    bar.m_pDockContext->ToggleDocking();
    PumpMessages();
    EXPECT_TRUE(bar.IsFloating());
    bar.m_pDockContext->ToggleDocking();
    PumpMessages();
    EXPECT_EQ(bar.GetBarStyle() & (CBRS_ALIGN_ANY | CBRS_FLOATING), CBRS_ALIGN_LEFT);
}

TEST_F(Bars, ADragReleasedWhereItBeganOrCancelledChangesNothing) {
    const CRect before = BarScreenRect();
    CPoint start(3, 3);
    bar.ClientToScreen(&start);
    bar.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    bar.m_pDockContext->StartDrag(start);
    bar.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 200));
    bar.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    bar.m_pDockContext->StartDrag(start);
    PumpMessages();
    EXPECT_EQ(BarScreenRect(), before);
    EXPECT_EQ(bar.GetBarStyle() & CBRS_ALIGN_ANY, CBRS_ALIGN_TOP);
    EXPECT_EQ(GetCapture(), nullptr);

    // The drag measured the bar's other shapes: its buttons are still in one row.
    CRect first, second;
    bar.GetItemRect(0, &first);
    bar.GetItemRect(1, &second);
    EXPECT_EQ(second.top, first.top);
    EXPECT_GT(second.left, first.left);
    // A press on a button is the button's own: its command, and no drag.
    const LPARAM at = MAKELPARAM((first.left + first.right) / 2, (first.top + first.bottom) / 2);
    bar.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    bar.PostMessage(WM_LBUTTONUP, 0, at);
    PumpMessages();
    EXPECT_EQ(frame->m_pressed, 1);
    EXPECT_EQ(BarScreenRect(), before);
}

TEST_F(Bars, BarStateIsSavedAndRestoredAndHostileValuesChangeNothing) {
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_RIGHT);
    frame->ShowControlBar(&bar, FALSE, FALSE);
    frame->SaveBarState(L"Layout");
    frame->ShowControlBar(&bar, TRUE, FALSE);
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    frame->LoadBarState(L"Layout");
    EXPECT_EQ(bar.GetBarStyle() & CBRS_ALIGN_ANY, CBRS_ALIGN_RIGHT);
    EXPECT_FALSE(bar.IsVisible());

    frame->ShowControlBar(&bar, TRUE, FALSE);
    frame->FloatControlBar(&bar, CPoint(250, 260));
    frame->SaveBarState(L"Layout");
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    frame->LoadBarState(L"Layout");
    EXPECT_TRUE(bar.IsFloating());
    EXPECT_TRUE(bar.IsVisible());

    // Made-up values: an unknown dock bar, far-off positions, a huge bar count.
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_BOTTOM);
    app.WriteProfileInt(L"Layout-Bar0", L"DockBarID", 12345);
    app.WriteProfileInt(L"Layout-Bar0", L"Floating", 7);
    app.WriteProfileInt(L"Layout-Bar0", L"XPos", 0x7FFFFFFF);
    app.WriteProfileInt(L"Layout-Summary", L"Bars", 0x7FFFFFFF);
    frame->LoadBarState(L"Layout");
    EXPECT_EQ(bar.GetBarStyle() & (CBRS_ALIGN_ANY | CBRS_FLOATING), CBRS_ALIGN_BOTTOM);
}

TEST_F(Bars, AFloatingToolBarWrapsToTheLengthAskedAndBreaksRowsAtSeparators) {
    frame->FloatControlBar(&bar, CPoint(300, 300));
    const CSize wide = bar.CalcDynamicLayout(1000, LM_HORZ | LM_COMMIT);
    const CSize narrow = bar.CalcDynamicLayout(60, LM_HORZ | LM_COMMIT);
    EXPECT_GT(narrow.cy, wide.cy);
    EXPECT_LT(narrow.cx, wide.cx);
    // Two buttons fit in 60 pixels: the row breaks at the separator after them.
    EXPECT_TRUE(bar.GetButtonStyle(2) & TBBS_WRAPPED);
    EXPECT_FALSE(bar.GetButtonStyle(0) & TBBS_WRAPPED);
    // Asked for a height instead, it finds the narrowest width that fits.
    const CSize tall = bar.CalcDynamicLayout(200, LM_HORZ | LM_LENGTHY | LM_COMMIT);
    EXPECT_LE(tall.cy, 200 + 10);
    EXPECT_LT(tall.cx, wide.cx);
    auto* mini = dynamic_cast<CMiniDockFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(::GetParent(bar.m_hWnd))));
    ASSERT_NE(mini, nullptr);
    EXPECT_FALSE(mini->GetStyle() & WS_THICKFRAME);  // a bar of fixed shape: its frame's border only moves it

    // A bar that sizes itself floats in a frame with a sizing border, where its corners count as sides,
    // placed on the work area however far off it was asked to float.
    frame->DockControlBar(&bar);
    bar.SetBarStyle(bar.GetBarStyle() | CBRS_SIZE_DYNAMIC);
    const CRect work = WorkAreaOf(CRect(300, 300, 301, 301));
    frame->FloatControlBar(&bar, CPoint(work.right - 10, work.bottom - 10));
    mini = dynamic_cast<CMiniDockFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(::GetParent(bar.m_hWnd))));
    ASSERT_NE(mini, nullptr);
    EXPECT_TRUE(mini->GetStyle() & WS_THICKFRAME);
    CRect placed;
    mini->GetWindowRect(&placed);
    EXPECT_EQ(placed.BottomRight(), work.BottomRight());
    EXPECT_EQ(mini->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(placed.right - 1, placed.bottom - 1)), HTRIGHT);
    EXPECT_EQ(mini->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(placed.right - 12, placed.bottom - 1)), HTBOTTOM);
    // Its left side dragged out: the buttons take the wider frame in fewer rows; its right side stays.
    CPoint grab(placed.left + 1, placed.CenterPoint().y), to(grab.x - 200, grab.y);
    ::ScreenToClient(bar.m_hWnd, &to);
    bar.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    bar.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    mini->SendMessage(WM_NCLBUTTONDOWN, HTLEFT, MAKELPARAM(grab.x, grab.y));
    CRect sized;
    mini->GetWindowRect(&sized);
    EXPECT_GT(sized.Width(), placed.Width());
    EXPECT_LT(sized.Height(), placed.Height());
    EXPECT_EQ(sized.right, placed.right);
}

TEST_F(Bars, StatusBarPanesTakeTheirTextsAndTheFrameLaysThemOut) {
    CStatusBar status;
    ASSERT_TRUE(status.Create(frame));
    const UINT indicators[] = {ID_SEPARATOR, 40001, 40002};
    ASSERT_TRUE(status.SetIndicators(indicators, 3));
    EXPECT_EQ(status.GetCount(), 3);
    EXPECT_EQ(status.CommandToIndex(40002), 2);
    EXPECT_EQ(status.GetPaneText(1), L"First command\nFirst");
    status.SetPaneText(0, L"Ready");
    EXPECT_EQ(status.GetPaneText(0), L"Ready");
    EXPECT_FALSE(status.SetPaneText(7, L"x"));
    frame->RecalcLayout();
    CRect s, client;
    status.GetWindowRect(&s);
    frame->ScreenToClient(&s);
    frame->GetClientRect(&client);
    EXPECT_EQ(s.bottom, client.bottom);
    EXPECT_EQ(PaneRect().bottom, s.top);
    // A delayed hide: a layout query counts the bar as hidden already and leaves it shown.
    frame->ShowControlBar(&status, FALSE, TRUE);
    CRect free;
    frame->RepositionBars(pane.m_hWnd, &free, true);
    EXPECT_EQ(free.bottom, client.bottom);
    EXPECT_TRUE(status.IsWindowVisible());
    EXPECT_EQ(PaneRect().bottom, s.top);
    frame->RecalcLayout();
    EXPECT_FALSE(status.IsWindowVisible());
    EXPECT_EQ(PaneRect().bottom, client.bottom);
    status.DestroyWindow();
}

}  // namespace

// A floating bar is a palette of its frame: a click on the bar or on its frame's
// caption activates neither, it brings the docking frame forward; the floating
// frame's caption shows the docking frame's state, and the docking frame's own
// stays active while one of its floating frames has the activation.
TEST_F(Bars, AFloatingBarTakesNoActivationAndShowsItsFrameState) {
    frame->FloatControlBar(&bar, CPoint(300, 300));
    PumpMessages();
    HWND mini = ::GetParent(::GetParent(bar.m_hWnd));
    ASSERT_NE(mini, frame->m_hWnd);
    ::SetActiveWindow(frame->m_hWnd);
    EXPECT_EQ(bar.SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(mini), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
    EXPECT_EQ(::SendMessageW(mini, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(mini), MAKELPARAM(HTCAPTION, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
    EXPECT_EQ(::GetActiveWindow(), frame->m_hWnd);
    // Another window active: the click brings the docking frame back.
    CWnd other;
    ASSERT_TRUE(other.CreateEx(0, nullptr, L"other", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr, nullptr));
    ::SetActiveWindow(other.m_hWnd);
    ASSERT_EQ(::GetActiveWindow(), other.m_hWnd);
    EXPECT_EQ(bar.SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(mini), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);
    EXPECT_EQ(::GetActiveWindow(), frame->m_hWnd);
    other.DestroyWindow();
    // The floating frame has the sync style; activated itself (a box of its bar took the
    // keyboard), the docking frame keeps its caption active.
    // The caption as drawn: the active one is blue, the inactive grey (the system's colours).
    // Looked at until it shows the state asked (the display may take a moment), for a second.
    auto captionShows = [](HWND window, bool active) {
        for (int look = 0; look < 20; ++look) {
            PumpMessages();
            CRect rect;
            ::GetWindowRect(window, &rect);
            POINT client{0, 0};
            ::ClientToScreen(window, &client);
            const int y = (rect.top + client.y) / 2;  // halfway down the caption (and menu, if any)
            HDC screen = ::GetDC(nullptr);
            int blue = 0, all = 0;
            for (int x = rect.left + rect.Width() / 4; x < rect.left + rect.Width() / 2; ++x, ++all) {
                const COLORREF pixel = ::GetPixel(screen, x, y);
                blue += GetBValue(pixel) > GetRValue(pixel) + 40;
            }
            ::ReleaseDC(nullptr, screen);
            if ((all > 0 && blue * 2 > all) == active) return true;
            ::Sleep(50);
        }
        return false;
    };
    EXPECT_TRUE(::GetWindowLongPtrW(mini, GWL_STYLE) & MFS_SYNCACTIVE);
    // Above every other program's windows on the display, which other suites' cases open
    // meanwhile, so that the pixels looked at are these windows' own.
    for (HWND window : {frame->m_hWnd, mini})
        ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(captionShows(frame->m_hWnd, true));
    EXPECT_TRUE(captionShows(mini, true)) << "the floating frame does not show its frame active";
    ::SetActiveWindow(mini);
    ASSERT_EQ(::GetActiveWindow(), mini);
    EXPECT_TRUE(captionShows(frame->m_hWnd, true)) << "the frame's caption went grey for its own floating frame";
    EXPECT_TRUE(captionShows(mini, true));
    // A window of its own elsewhere: both show inactive.
    CWnd away;
    ASSERT_TRUE(away.CreateEx(0, nullptr, L"away", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr, nullptr));
    ::SetActiveWindow(frame->m_hWnd);
    ::SetActiveWindow(away.m_hWnd);
    EXPECT_TRUE(captionShows(frame->m_hWnd, false));
    EXPECT_TRUE(captionShows(mini, false));
    away.DestroyWindow();
    ::SetActiveWindow(frame->m_hWnd);
    PumpMessages();
}
