// The tab hosts driven by the real mouse and keyboard: a click on a tab
// activates its child or page, a double-click maximises and restores the
// child, children closed by their close buttons take their tabs with them, a file
// dragged over a tab activates it; pages added and deleted round the active
// one of the container. Screenshots in the three looks.
#include "TabHost.h"

namespace {

// The close button in a child's caption, found by asking the child.
CPoint CloseButton(HWND child) {
    CRect r;
    ::GetWindowRect(child, &r);
    for (int y = r.top + 2; y < r.top + 40; ++y)
        for (int x = r.right - 2; x > r.right - 60; --x)
            if (::SendMessageW(child, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) return CPoint(x - 3, y + 3);
    ADD_FAILURE() << "no close button";
    return r.TopLeft();
}

void ShootInEveryLook(COXSkinnedApp& app, CWnd& wnd, const wchar_t* name) {
    for (const wchar_t* look : {L"Classic", L"Office XP", L"Office 2003"}) {
        app.SetCurrentSkin(look);
        mouse::Pump(150);
        SaveScreenshot(wnd, (CString(name) + L"-" + look).GetString());
    }
}
}  // namespace

TEST(TabHostInput, TabsActivateMaximiseCloseAndTakeADraggedFileToTheirChild) {
    OleScope ole;
    TestApp<COXSkinnedApp> app{L"TabHostInput"};
    app.SetCurrentSkin(L"Classic");
    TabWorkspaceHost host(app);
    ASSERT_NE(host.frame, nullptr);
    COXTabWorkspace& tabs = host.Tabs();
    ASSERT_EQ(tabs.GetTabCount(), 5);
    ShootInEveryLook(app, *host.frame, L"tabs-workspace");

    for (const wchar_t* look : {L"Classic", L"Office XP"}) {
        app.SetCurrentSkin(look);
        for (int i : {0, 3, 1}) {
            mouse::Click(host.TabPoint(i));
            EXPECT_EQ(host.Active(), tabs.GetTabWindow(i)) << "tab " << i;
            EXPECT_EQ(tabs.GetCurSel(), i);
            EXPECT_TRUE(host.ClientInDisplayArea()) << "tab " << i;
        }
    }

    // Double-click: the tab's child fills the client; again: back to its own size.
    HWND child = tabs.GetTabWindow(1);
    mouse::DoubleClick(host.TabPoint(1));
    EXPECT_TRUE(::IsZoomed(child));
    mouse::DoubleClick(host.TabPoint(1));
    EXPECT_FALSE(::IsZoomed(child));
    EXPECT_EQ(host.Active(), child);

    // Closed children take their tabs with them.
    mouse::Click(CloseButton(child));
    mouse::Pump(100);
    EXPECT_FALSE(::IsWindow(child));
    EXPECT_EQ(tabs.GetTabCount(), 4);
    EXPECT_EQ(tabs.FindTab(child), -1);
    mouse::Click(CloseButton(host.Active()));
    mouse::Pump(100);
    EXPECT_EQ(tabs.GetTabCount(), 3);
    EXPECT_EQ(tabs.GetItemCount(), 3);
    EXPECT_EQ(tabs.GetTabWindow(tabs.GetCurSel()), host.Active());

    // A file dragged over a tab brings its child forward, and nothing is dropped.
    const int target = tabs.GetCurSel() == 0 ? 2 : 0;
    SetCursorPos(host.TabPoint(tabs.GetCurSel()).x, host.TabPoint(tabs.GetCurSel()).y + 120);
    DragFileOver(*host.frame, host.TabPoint(target), L"C:\\windows\\win.ini");
    mouse::Pump(60);
    EXPECT_EQ(host.Active(), tabs.GetTabWindow(target));
    EXPECT_EQ(tabs.GetCurSel(), target);
}

TEST(TabHostInput, ContainerPagesFollowClicksAndDragsAndPagesComeAndGoRoundTheActiveOne) {
    OleScope ole;
    TestApp<COXSkinnedApp> app{L"TabContainerInput"};
    app.SetCurrentSkin(L"Classic");
    TabContainerHost host(app);
    ASSERT_NE(host.frame, nullptr);
    COX3DTabViewContainer& c = host.container;
    ShootInEveryLook(app, *host.frame, L"tabs-container");
    app.SetCurrentSkin(L"Office 2003");

    mouse::Click(host.TabPoint(0));
    EXPECT_EQ(c.GetActivePageIndex(), 0);
    EXPECT_EQ(host.frame->GetActiveView(), c.GetPage(0));
    EXPECT_TRUE(c.GetPage(0)->IsWindowVisible());
    EXPECT_FALSE(c.GetPage(2)->IsWindowVisible());

    SetCursorPos(host.TabPoint(0).x, host.TabPoint(0).y - 150);
    DragFileOver(*host.frame, host.TabPoint(1), L"C:\\windows\\win.ini");
    mouse::Pump(60);
    EXPECT_EQ(c.GetActivePageIndex(), 1);
    CWnd* active = c.GetActivePage();

    // A page added before the active one and another deleted before it: the same page stays up.
    ASSERT_TRUE(c.AddPage(0, RuntimeClass<SourceView>(), nullptr, L"Added", -1, 0, FALSE));
    EXPECT_EQ(c.GetActivePage(), active);
    mouse::Pump(60);
    ASSERT_TRUE(c.DeletePage(1, TRUE));
    EXPECT_EQ(c.GetActivePage(), active);
    mouse::Click(host.TabPoint(c.GetPageCount() - 1));
    EXPECT_EQ(c.GetActivePageIndex(), c.GetPageCount() - 1);
    EXPECT_EQ(host.frame->GetActiveView(), c.GetActivePage());
    SaveScreenshot(*host.frame, L"tabs-container-after");
}

TEST(TabHostInput, RowsOfTabsThatChangeSidesOnAClickTakeTheClientWithThem) {
    OleScope ole;
    TestApp<COXSkinnedApp> app{L"TabRowsInput"};
    app.SetCurrentSkin(L"Office XP");
    TabWorkspaceHost host(app, 14, COXTabClientWnd::kDefaultStyle | TCS_MULTILINE | TCS_SCROLLOPPOSITE);
    ASSERT_NE(host.frame, nullptr);
    COXTabWorkspace& tabs = host.Tabs();
    ASSERT_EQ(tabs.GetTabCount(), 14);
    ASSERT_GT(tabs.GetRowCount(), 1);
    EXPECT_TRUE(host.ClientInDisplayArea());
    // The first tab and the last lie in different rows: each click brings its row round.
    for (int i : {0, 13, 0, 6}) {
        mouse::Click(host.TabPoint(i));
        mouse::Pump(60);
        EXPECT_EQ(host.Active(), tabs.GetTabWindow(i)) << "tab " << i;
        EXPECT_TRUE(host.ClientInDisplayArea()) << "tab " << i;
    }
    mouse::Pump(300);
    SaveScreenshot(*host.frame, L"tabs-workspace-rows");
    // Children activated by their tabs keep the titles they were given, and their tabs show them.
    for (int i : {0, 13}) {
        EXPECT_EQ(tabs.GetTabWindow(i), host.children[static_cast<size_t>(i)]->m_hWnd);
        EXPECT_EQ(tabs.GetTabEntry(i).szTabTitle, i == 0 ? CString(L"Notes & Clips") : CString(L"Page"));
        EXPECT_EQ(host.children[static_cast<size_t>(i)]->GetWindowText(), tabs.GetTabEntry(i).szTabTitle);
    }
}
