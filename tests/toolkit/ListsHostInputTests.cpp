// The lists host driven by the real mouse: a face picked from the font combo
// box's dropped list goes on top of its MRU block, the bitmap pane shows its
// cursor and answers a double click, the progress pane follows its timer.
// Screenshots in the three looks.
#include "ListsHost.h"

namespace {

CPoint ScreenPoint(CWnd& wnd, CPoint client) {
    wnd.ClientToScreen(&client);
    return client;
}

TEST(ListsHostInput, APickedFaceTopsTheBlockAndTheStatusBarPanesAnswerTheMouse) {
    TestApp<COXSkinnedApp> app{L"ListsHostInput"};
    auto* frame = new ListsHostFrame;
    ASSERT_TRUE(frame->Build());
    app.m_pMainWnd = frame;
    SetForegroundWindow(frame->m_hWnd);
    mouse::Pump(300);

    // Drop the list with the box's arrow, pick the fifth face.
    CRect combo = ScreenRect(frame->fontCombo);
    mouse::Click(CPoint(combo.right - 8, combo.top + combo.Height() / 2));
    mouse::Pump(200);
    ASSERT_TRUE(frame->fontCombo.IsListBoxCtrlSubclassed());
    COXFontListBoxHelper& dropped = frame->fontCombo.GetListBoxCtrl();
    ASSERT_TRUE(dropped.IsWindowVisible());
    SaveScreenshot(*frame, L"lists-dropped");
    CRect row;
    dropped.SendMessage(LB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&row));
    CString chosen;
    dropped.GetText(4, chosen);
    mouse::Click(ScreenPoint(dropped, row.CenterPoint()));
    mouse::Pump(200);
    EXPECT_FALSE(dropped.IsWindowVisible());
    EXPECT_EQ(dropped.GetLastMRUIndex(), 0);
    CString top;
    frame->fontCombo.GetLBText(0, top);
    EXPECT_EQ(top, chosen);
    EXPECT_EQ(frame->fontCombo.GetCurSel(), 0);
    frame->fontCombo.ShowDropDown(TRUE);
    mouse::Pump(150);
    SaveScreenshot(*frame, L"lists-picked");
    frame->fontCombo.ShowDropDown(FALSE);

    // The bitmap pane: its cursor, and a double click names it to the frame.
    CRect pane;
    frame->status.GetItemRect(2, &pane);
    const CPoint onPane = ScreenPoint(frame->status, pane.CenterPoint());
    mouse::Run([&] { mouse::MoveTo(onPane); });
    mouse::Pump(100);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    mouse::DoubleClick(onPane);
    mouse::Pump(100);
    EXPECT_EQ(frame->lastDoubleClicked, kBitmapPane);
    EXPECT_GT(frame->status.GetBarPercent(1), 0);

    for (const wchar_t* look : {L"Classic", L"Office XP", L"Office 2003"}) {
        ASSERT_TRUE(app.SetCurrentSkin(look));
        mouse::Pump(250);
        SaveScreenshot(*frame, (CString(L"lists-") + look).GetString());
    }
    app.m_pMainWnd = nullptr;
    frame->DestroyWindow();
    mouse::Pump(50);
}

}  // namespace
