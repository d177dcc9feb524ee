// The format toolbar moved as the user moves it: dragged by its gripper off
// its row it floats in a frame of its own, a double-click on that frame's
// caption docks it again, dragged to the main window's foot it docks there,
// and dragged by the floating frame's caption back to the top it docks at the
// top once more. The frame's resize brings a moved bar back to the top.
#include "EndToEndFixture.h"
#include "ScreenShot.h"
#include "ToolbarPlaces.h"

TEST_F(EndToEnd, FormatToolbarFloatsAndDocksAsTheUserMovesIt) {
    StartProgram();
    HWND frame = m_program.Frame();
    HWND toolbar = m_program.Toolbar(ID_FILE_NEW_PAGE);
    ASSERT_NE(toolbar, nullptr);
    ASSERT_EQ(DockSideOf(toolbar, frame), kTopDockBar);
    HWND pages = ProgramDriver::Child(frame, L"MDIClient");
    const RECT frameClient = ScreenClientOf(frame);
    ScreenShot start(frameClient, "toolbar-1-docked-top");

    // The gripper answers the mouse as the bar's own: pressed there, the bar goes with the mouse.
    POINT grip = GripperOf(toolbar);
    EXPECT_EQ(SendMessageW(toolbar, WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)), HTCLIENT);
    RECT area{};
    GetWindowRect(pages, &area);
    const POINT middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    ProgramDriver::MouseDrag(grip, middle);
    m_program.Settle(300);
    HWND floating = GetAncestor(toolbar, GA_ROOT);
    ASSERT_NE(floating, frame) << "the toolbar did not float";
    EXPECT_TRUE(IsWindowVisible(floating));
    EXPECT_EQ(GetWindow(floating, GW_OWNER), frame);
    RECT placed{};
    GetWindowRect(floating, &placed);
    EXPECT_TRUE(PtInRect(&placed, middle)) << "the floating toolbar is not where it was dropped";
    // The pages take the row the bar left.
    RECT pagesNow{};
    GetWindowRect(pages, &pagesNow);
    EXPECT_LT(pagesNow.top, area.top);
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    ScreenShot floated(screen, "toolbar-2-floating");

    // A double-click on the floating frame's caption docks it again where it was.
    ProgramDriver::MouseClick(POINT{placed.left + 30, placed.top + GetSystemMetrics(SM_CYSIZEFRAME) + GetSystemMetrics(SM_CYSMCAPTION) / 2}, false, 2);
    m_program.Settle(300);
    EXPECT_EQ(GetAncestor(toolbar, GA_ROOT), frame) << "the double-click did not dock the toolbar";
    EXPECT_EQ(DockSideOf(toolbar, frame), kTopDockBar);
    ScreenShot back(frameClient, "toolbar-3-docked-again");

    // Dragged by the gripper to the main window's foot, it docks at the bottom.
    ProgramDriver::MouseDrag(GripperOf(toolbar), POINT{middle.x, frameClient.bottom - 4});
    m_program.Settle(300);
    EXPECT_EQ(DockSideOf(toolbar, frame), kBottomDockBar) << "the toolbar did not dock at the bottom";
    RECT bottom{};
    GetWindowRect(toolbar, &bottom);
    EXPECT_LE(bottom.bottom, frameClient.bottom);
    EXPECT_GE(bottom.bottom, frameClient.bottom - 4);
    ScreenShot atFoot(frameClient, "toolbar-4-docked-bottom");

    // Floated once more, then dragged by its frame's caption up to the top row: docked at the top.
    ProgramDriver::MouseDrag(GripperOf(toolbar), middle);
    m_program.Settle(300);
    floating = GetAncestor(toolbar, GA_ROOT);
    ASSERT_NE(floating, frame) << "the toolbar did not float from the bottom";
    GetWindowRect(floating, &placed);
    const POINT caption{placed.left + 30, placed.top + GetSystemMetrics(SM_CYSIZEFRAME) + GetSystemMetrics(SM_CYSMCAPTION) / 2};
    ProgramDriver::MouseDrag(caption, POINT{frameClient.left + 60 + (caption.x - placed.left), frameClient.top + 2});
    m_program.Settle(300);
    EXPECT_EQ(DockSideOf(toolbar, frame), kTopDockBar) << "the toolbar dragged back did not dock at the top";
    EXPECT_FALSE(IsWindow(floating) && IsWindowVisible(floating)) << "the empty floating frame stays up";
    ScreenShot topAgain(frameClient, "toolbar-5-dragged-back");

    // Floated and the main window resized: the bar is docked at the top again.
    ProgramDriver::MouseDrag(GripperOf(toolbar), middle);
    m_program.Settle(300);
    ASSERT_NE(GetAncestor(toolbar, GA_ROOT), frame);
    RECT window{};
    GetWindowRect(frame, &window);
    SetWindowPos(frame, nullptr, 0, 0, window.right - window.left - 40, window.bottom - window.top - 30, SWP_NOMOVE | SWP_NOZORDER);
    m_program.Settle(300);
    EXPECT_EQ(DockSideOf(toolbar, frame), kTopDockBar) << "the resize did not dock the toolbar back";
    EXPECT_EQ(m_program.Exit(), 0u);
}
