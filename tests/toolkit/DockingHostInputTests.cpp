// The docking host driven by the real mouse: a size bar dragged by its
// caption to each edge and out to float, its floating frame sized and docked
// back by double-click, a bar maximised in its row and restored, closed and
// shown again, two bars stacked as tabs and a tab dragged out and back; the
// layout survives a restart through the profile; the view moves between its
// MDI child and a docked view bar. Screenshots in the three looks.
#include "DockingHost.h"

#include "bars/MenuBar.h"
#include "docking/SizableMiniDockFrameWnd.h"

namespace {

// Where each size bar stands: side, row, place in row, shown, tab, docked length.
CString Signature(DockingHostFrame& f) {
    CString out;
    for (COXSizeControlBar* bar : {static_cast<COXSizeControlBar*>(&f.tree), static_cast<COXSizeControlBar*>(&f.list),
                                   static_cast<COXSizeControlBar*>(&f.tools)}) {
        COXSizeDockBar* dock = bar->GetSizeDockBar();
        int row = -1, order = -1, r = 0;
        if (dock && !bar->IsFloating()) {
            const int index = dock->FindBar(bar);
            for (const auto& [start, end] : dock->Rows()) {
                if (index >= start && index < end) row = r, order = index - start;
                ++r;
            }
        }
        CString part;
        part.Format(L"%d:%d/%d/%d/%d/%d/%dx%d;", bar->GetDlgCtrlID(), (dock && !bar->IsFloating()) ? dock->GetDlgCtrlID() : 0, row, order,
                    bar->IsVisible() ? 1 : 0, dock ? dock->m_TabCtrl.FindBar(bar) : -1, static_cast<int>(bar->m_HorzDockSize.cx),
                    static_cast<int>(bar->m_HorzDockSize.cy));
        out += part;
    }
    return out;
}

CRect ClientOnScreen(CFrameWnd& f) {
    CRect c;
    ::GetClientRect(f.m_hWnd, &c);
    f.ClientToScreen(&c);
    return c;
}

CPoint ButtonCentre(COXSizeControlBar& bar, const CRect& clientRect) {
    CRect r = bar.ToWindow(clientRect);
    const CRect window = ScreenRect(bar);
    r.OffsetRect(window.left, window.top);
    return r.CenterPoint();
}

TEST(DockingHostInput, BarsDragDockFloatMaximiseCloseTabAndComeBackAfterARestart) {
    TestApp<COXSkinnedApp> app{L"DockingHostInput"};
    app.SetCurrentSkin(L"Classic");
    CString before;
    {
        DockingHost host(app);
        ASSERT_NE(host.frame, nullptr);
        DockingHostFrame& f = *host.frame;
        EXPECT_FALSE(f.layoutLoaded);  // nothing stored yet: the default layout

        // Tree and list share the bottom row, with a splitter between them.
        COXSizeDockBar* bottom = f.Dock(AFX_IDW_DOCKBAR_BOTTOM);
        ASSERT_EQ(f.tree.m_pDockBar, bottom);
        ASSERT_EQ(f.list.m_pDockBar, bottom);
        EXPECT_EQ(bottom->Rows().size(), 1u);
        EXPECT_TRUE(std::any_of(bottom->m_arrSplitters.begin(), bottom->m_arrSplitters.end(),
                                [](const auto& s) { return s->m_type == COXSplitterRect::BetweenBars; }));
        for (const wchar_t* look : {L"Classic", L"Office XP", L"Office 2003"}) {
            app.SetCurrentSkin(look);
            mouse::Pump(150);
            SaveScreenshot(f, (CString(L"docking-") + look).GetString());
        }
        app.SetCurrentSkin(L"Classic");
        mouse::Pump(100);

        // The splitter between them dragged 40 pixels: the room moves from one bar to the
        // other, and the row is painted as a whole repaint would paint it.
        {
            auto splitter = std::find_if(bottom->m_arrSplitters.begin(), bottom->m_arrSplitters.end(),
                                         [](const auto& s) { return s->m_type == COXSplitterRect::BetweenBars; });
            ASSERT_NE(splitter, bottom->m_arrSplitters.end());
            CPoint grip = (*splitter)->m_rect.CenterPoint();
            bottom->ClientToScreen(&grip);
            const int first = ScreenRect(f.tree).Width(), second = ScreenRect(f.list).Width();
            const bool treeFirst = ScreenRect(f.tree).left < ScreenRect(f.list).left;
            mouse::Drag(grip, CPoint(grip.x + 40, grip.y));
            mouse::Pump(100);
            EXPECT_EQ(ScreenRect(f.tree).Width(), treeFirst ? first + 40 : first - 40);
            EXPECT_EQ(ScreenRect(f.list).Width(), treeFirst ? second - 40 : second + 40);
            EXPECT_TRUE(PaintedAsAWholeRepaintWould(*bottom));
        }

        // Dragged by its caption to each edge, the tree docks there.
        auto mdiCentre = [&] {
            CRect r;
            ::GetWindowRect(f.m_hWndMDIClient, &r);
            return r.CenterPoint();
        };
        auto sideCentre = [&](UINT id) { return ScreenRect(*f.Dock(id)).CenterPoint(); };
        for (const UINT id : {AFX_IDW_DOCKBAR_RIGHT, AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_BOTTOM}) {
            const CRect c = ClientOnScreen(f);
            CPoint to = id == AFX_IDW_DOCKBAR_RIGHT ? CPoint(c.right - 6, sideCentre(id).y)
                        : id == AFX_IDW_DOCKBAR_TOP ? CPoint(mdiCentre().x, c.top + 6)
                        : id == AFX_IDW_DOCKBAR_LEFT ? CPoint(c.left + 6, sideCentre(id).y)
                                                     : CPoint(mdiCentre().x, c.bottom - 6);
            mouse::Drag(CaptionPoint(f.tree), to);
            EXPECT_EQ(f.tree.m_pDockBar, f.Dock(id)) << "edge " << id;
            EXPECT_FALSE(f.tree.IsFloating());
            EXPECT_TRUE(f.tree.IsVisible());
            EXPECT_EQ(::GetCapture(), nullptr);
        }

        // Out in the middle it floats in a sizable mini frame.
        mouse::Drag(CaptionPoint(f.tree), mdiCentre());
        ASSERT_TRUE(f.tree.IsFloating());
        auto* mini = dynamic_cast<COXSizableMiniDockFrameWnd*>(f.tree.m_pDockBar->GetParent());
        ASSERT_NE(mini, nullptr);
        EXPECT_EQ(mini->m_nMenuState, 2);
        HMENU system = ::GetSystemMenu(mini->m_hWnd, FALSE);
        wchar_t closeText[32]{};
        GetMenuStringW(system, SC_CLOSE, closeText, 32, MF_BYCOMMAND);
        EXPECT_STREQ(closeText, L"&Hide");
        EXPECT_EQ(GetMenuState(system, SC_MAXIMIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
        app.SetCurrentSkin(L"Office XP");
        mouse::Pump(100);
        SaveScreenshot(*mini, L"docking-floating-xp");
        app.SetCurrentSkin(L"Classic");
        mouse::Pump(50);

        // Sized by its right border, the bar's floating width follows.
        const int floatWidth = f.tree.m_FloatSize.cx;
        CRect frameRect = ScreenRect(*mini);
        mouse::Drag(CPoint(frameRect.right - 2, frameRect.top + frameRect.Height() / 2),
                    CPoint(frameRect.right + 58, frameRect.top + frameRect.Height() / 2), 6);
        EXPECT_NEAR(f.tree.m_FloatSize.cx, floatWidth + 60, 4);
        CRect treeClient;
        f.tree.GetWindowRect(&treeClient);
        EXPECT_NEAR(treeClient.Width(), f.tree.m_FloatSize.cx, 2);

        // A double-click on its caption docks it back where it was docked last.
        frameRect = ScreenRect(*mini);
        const int captionY = frameRect.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYSMCAPTION) / 2;
        mouse::DoubleClick(CPoint(frameRect.left + 40, captionY));
        EXPECT_FALSE(f.tree.IsFloating());
        EXPECT_EQ(f.tree.m_pDockBar, bottom);

        // In one row with the list: maximised by its resize button, then restored.
        CRect beside = ScreenRect(f.list);
        beside.OffsetRect(-beside.Width() - 20, 0);
        f.DockControlBar(&f.tree, bottom, &beside);
        f.RecalcLayout();
        mouse::Pump(50);
        ASSERT_EQ(bottom->Rows().size(), 1u);
        const int treeLength = f.tree.m_HorzDockSize.cx, listLength = f.list.m_HorzDockSize.cx;
        ASSERT_TRUE(f.tree.CanMaximize());
        mouse::Click(ButtonCentre(f.tree, f.tree.m_rectResize));
        EXPECT_TRUE(f.tree.IsMaximized());
        EXPECT_EQ(f.list.m_HorzDockSize.cx, 21);
        EXPECT_EQ(f.tree.m_HorzDockSize.cx, treeLength + listLength - 21);
        mouse::Pump(50);
        // Each window is painted once, when the layout is done, and nothing is left stale:
        // the captions show the new state, the uncovered room is drawn.
        EXPECT_TRUE(PaintedAsAWholeRepaintWould(*bottom));
        SaveScreenshot(f, L"docking-maximised");
        mouse::Click(ButtonCentre(f.tree, f.tree.m_rectResize));
        EXPECT_FALSE(f.tree.IsMaximized());
        EXPECT_EQ(f.tree.m_HorzDockSize.cx, treeLength);
        EXPECT_EQ(f.list.m_HorzDockSize.cx, listLength);
        mouse::Pump(50);
        EXPECT_TRUE(PaintedAsAWholeRepaintWould(*bottom));

        // Closed by its close button, shown again through its command.
        mouse::Click(ButtonCentre(f.list, f.list.m_rectClose));
        EXPECT_FALSE(f.list.IsVisible());
        f.SendMessage(WM_COMMAND, ID_SHOW_LIST);
        mouse::Pump(50);
        EXPECT_TRUE(f.list.IsVisible());
        EXPECT_EQ(f.list.m_pDockBar, bottom);

        // A bar that comes from a row of its own docks in the strip as a row entry: only bars
        // that shared a row stack as tabs.
        CRect dockRect = ScreenRect(*bottom);
        f.FloatControlBar(&f.list, mdiCentre(), CBRS_ALIGN_TOP);
        CRect inStrip(CPoint(dockRect.left + dockRect.Width() / 3, dockRect.bottom - 12), ScreenRect(f.list).Size());
        f.DockControlBar(&f.list, bottom, &inStrip);
        EXPECT_EQ(bottom->m_TabCtrl.GetItemCount(), 0);
        CRect besideTree = ScreenRect(f.tree);
        besideTree.OffsetRect(besideTree.Width() + 20, 0);
        f.DockControlBar(&f.list, bottom, &besideTree);
        f.RecalcLayout();
        mouse::Pump(50);
        ASSERT_EQ(bottom->Rows().size(), 1u);

        // Dropped in the bottom strip of its dock bar, the list stacks with the tree as tabs.
        dockRect = ScreenRect(*bottom);
        mouse::Drag(CaptionPoint(f.list), CPoint(CaptionPoint(f.list).x, dockRect.bottom - 12));
        ASSERT_EQ(bottom->m_TabCtrl.GetItemCount(), 2);
        EXPECT_EQ(bottom->GetTabStripHeight(), 28);
        EXPECT_NE(f.tree.IsVisible(), f.list.IsVisible());  // one tab shows its bar
        SaveScreenshot(f, L"docking-tabs");

        // A tab dragged out floats its bar and leaves the other plain; dragged back it is a tab again.
        CRect tab;
        const int treeTab = bottom->m_TabCtrl.FindBar(&f.tree);
        bottom->m_TabCtrl.GetItemRect(treeTab, &tab);
        bottom->m_TabCtrl.ClientToScreen(&tab);
        mouse::Drag(tab.CenterPoint(), mdiCentre());
        EXPECT_TRUE(f.tree.IsFloating());
        EXPECT_EQ(bottom->m_TabCtrl.GetItemCount(), 0);
        EXPECT_TRUE(f.list.IsVisible());
        mini = dynamic_cast<COXSizableMiniDockFrameWnd*>(f.tree.m_pDockBar->GetParent());
        ASSERT_NE(mini, nullptr);
        frameRect = ScreenRect(*mini);
        dockRect = ScreenRect(*bottom);
        // Into the list's row first, then down onto the strip: it stacks with the list again.
        const CPoint grip(frameRect.left + 40, frameRect.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYSMCAPTION) / 2);
        const CPoint inRow(dockRect.left + dockRect.Width() / 2, dockRect.top + 5);
        mouse::Run([=] {
            mouse::MoveTo(grip);
            mouse::Down();
            for (int i = 1; i <= 6; ++i) mouse::MoveTo(CPoint(grip.x + (inRow.x - grip.x) * i / 6, grip.y + (inRow.y - grip.y) * i / 6));
        });
        EXPECT_EQ(f.tree.m_pDockBar, bottom);
        const CRect docked = ScreenRect(f.tree);  // still held: down through its own place
        mouse::Run([=] {
            for (int i = 0; i <= 4; ++i) mouse::MoveTo(CPoint(docked.CenterPoint().x, docked.top + 20 + (dockRect.bottom - 32 - docked.top) * i / 4));
            Sleep(40);
            mouse::Up();
        });
        EXPECT_EQ(f.tree.m_pDockBar, bottom);
        EXPECT_EQ(bottom->m_TabCtrl.GetItemCount(), 2);
        // A click on a tab shows its bar alone.
        for (COXSizeControlBar* shown : {static_cast<COXSizeControlBar*>(&f.list), static_cast<COXSizeControlBar*>(&f.tree)}) {
            bottom->m_TabCtrl.GetItemRect(bottom->m_TabCtrl.FindBar(shown), &tab);
            bottom->m_TabCtrl.ClientToScreen(&tab);
            mouse::Click(tab.CenterPoint());
            EXPECT_TRUE(shown->IsVisible());
            EXPECT_NE(f.tree.IsVisible(), f.list.IsVisible());
        }

        // The view moves into a docked view bar and back.
        ASSERT_NE(host.child, nullptr);
        CView* view = host.child->GetActiveView();
        ASSERT_NE(view, nullptr);
        host.child->SendMessage(WM_SYSCOMMAND, DockMdiChildCommand());
        EXPECT_TRUE(host.child->m_bViewDocked);
        EXPECT_EQ(::GetParent(view->m_hWnd), host.child->m_wndViewBar.m_wndWrapper.m_hWnd);
        EXPECT_FALSE(host.child->IsWindowVisible());
        EXPECT_EQ(f.MDIGetActive(), host.child);
        host.child->SendMessage(WM_SYSCOMMAND, DockMdiChildCommand());
        EXPECT_FALSE(host.child->m_bViewDocked);
        EXPECT_EQ(::GetParent(view->m_hWnd), host.child->m_hWnd);
        EXPECT_TRUE(host.child->IsWindowVisible());

        before = Signature(f);
        host.Close(TRUE);
    }
    // Made again, the frame finds its bars as they were.
    DockingHost again(app);
    ASSERT_NE(again.frame, nullptr);
    EXPECT_TRUE(again.frame->layoutLoaded);
    EXPECT_EQ(Signature(*again.frame), before);
}

}  // namespace

namespace {

void Key(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
    Sleep(30);
}

// With the framework's drag (the frame answers 0 to WM_QUERYSIZEDOCK) the drag context tracks a
// focus rectangle in a loop of its own: released over a side the bar docks there with the length
// the row leaves it, released in the open it floats, Ctrl held floats it anyway, and a release
// where the press was changes nothing.
TEST(DockingHostInput, TheDragContextDocksFloatsAndCtrlForcesFloating) {
    TestApp<COXSkinnedApp> app{L"DockingDragContext"};
    app.SetCurrentSkin(L"Classic");
    DockingHost host(app);
    ASSERT_NE(host.frame, nullptr);
    DockingHostFrame& f = *host.frame;
    f.m_bSizeDockDrag = FALSE;
    CRect mdi;
    ::GetWindowRect(f.m_hWndMDIClient, &mdi);

    const CPoint press = CaptionPoint(f.tree);
    mouse::Drag(press, press, 1);
    EXPECT_EQ(f.tree.m_pDockBar, f.Dock(AFX_IDW_DOCKBAR_BOTTOM));

    mouse::Drag(CaptionPoint(f.tree), mdi.CenterPoint());
    ASSERT_TRUE(f.tree.IsFloating());
    EXPECT_NE(dynamic_cast<COXSizableMiniDockFrameWnd*>(f.tree.m_pDockBar->GetParent()), nullptr);

    // Back onto the left side, beside the tools in their column: it takes half the column.
    CRect frameRect = ScreenRect(*f.tree.m_pDockBar->GetParent());
    const CPoint caption(frameRect.left + 30, frameRect.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYSMCAPTION) / 2);
    const CRect left = ScreenRect(*f.Dock(AFX_IDW_DOCKBAR_LEFT));
    mouse::Drag(caption, CPoint(left.left + 10, left.top + left.Height() / 2));
    EXPECT_EQ(f.tree.m_pDockBar, f.Dock(AFX_IDW_DOCKBAR_LEFT));

    // Ctrl held: over the same side it floats.
    const CPoint from = CaptionPoint(f.tree);
    mouse::Run([=] {
        mouse::MoveTo(from);
        mouse::Down();
        mouse::MoveTo(CPoint(from.x + 2, from.y + 3));
        Key(VK_CONTROL, false);
        for (int i = 1; i <= 6; ++i) mouse::MoveTo(CPoint(from.x + 4 * i, from.y + 6 * i));
        mouse::Up();
        Key(VK_CONTROL, true);
    });
    EXPECT_TRUE(f.tree.IsFloating());
    EXPECT_EQ(::GetCapture(), nullptr);
}

// Window > New Window from the keyboard opens a second window on the page: the two are numbered
// "Title:1" and "Title:2" (a docked view's bar with them), and the one left is plain "Title" again.
TEST(DockingHostInput, ANewWindowNumbersTheFramesOfItsDocument) {
    TestApp<COXSkinnedApp> app{L"DockingNewWindow"};
    app.SetCurrentSkin(L"Classic");
    DockingHost host(app);
    ASSERT_NE(host.child, nullptr);
    DockingHostFrame& f = *host.frame;
    CDocument* document = host.child->GetActiveDocument();
    ASSERT_NE(document, nullptr);
    const CString title = document->GetTitle();
    EXPECT_EQ(host.child->GetWindowText(), title);

    mouse::Run([] {
        Key(VK_MENU, false);
        Key('W', false);
        Key('W', true);
        Key(VK_MENU, true);
        Key('N', false);
        Key('N', true);
    });
    mouse::Pump(100);
    auto* second = dynamic_cast<HostChild*>(f.MDIGetActive());
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second, host.child);
    EXPECT_EQ(second->GetActiveDocument(), document);
    EXPECT_EQ(host.child->GetWindowText(), title + L":1");
    EXPECT_EQ(second->GetWindowText(), title + L":2");
    f.MDICascade();
    mouse::Pump(100);
    SaveScreenshot(f, L"docking-new-window");

    // The second window's view docked: its child is hidden, yet it keeps its number, and so does its bar.
    second->SendMessage(WM_SYSCOMMAND, DockMdiChildCommand());
    ASSERT_TRUE(second->m_bViewDocked);
    document->SetTitle(L"Renamed");
    EXPECT_EQ(host.child->GetWindowText(), CString(L"Renamed:1"));
    EXPECT_EQ(second->GetWindowText(), CString(L"Renamed:2"));
    EXPECT_EQ(second->m_wndViewBar.GetWindowText(), CString(L"Renamed:2"));
    second->SendMessage(WM_SYSCOMMAND, DockMdiChildCommand());

    // Closed, it leaves one window on the page, titled without a number.
    second->SendMessage(WM_CLOSE);
    mouse::Pump(50);
    EXPECT_EQ(host.child->GetWindowText(), CString(L"Renamed"));
}

// A frame with a menu bar and a toolbar on its top size dock bar. The toolbar, moved by the mouse
// from the empty space beside its buttons onto the menu bar's row, goes in behind the menu bar
// instead of splitting it. Stacked as a tab of the dock bar's strip (as an application may stack
// it), its tab dragged out carries the toolbar along, and it floats where it is let go.
TEST(DockingHostInput, AToolbarGoesInBehindTheMenuBarAndItsTabCarriesItOut) {
    TestApp<COXSkinnedApp> app{L"DockingMenuRow"};
    app.SetCurrentSkin(L"Classic");
    auto* frame = new COXFrameWndSizeDock;
    ASSERT_TRUE(frame->CreateEx(0, nullptr, L"Toolbars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 720, 480, nullptr, nullptr));
    app.m_pMainWnd = frame;
    frame->EnableDocking(CBRS_ALIGN_ANY);
    HMENU menu = ::CreateMenu();
    for (const wchar_t* title : {L"&File", L"&Edit", L"&View", L"&Help"}) ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(::CreatePopupMenu()), title);
    COXMenuBar menuBar;
    ASSERT_TRUE(menuBar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, 59400));
    menuBar.SetMenu(menu);
    menuBar.EnableDocking(CBRS_ALIGN_ANY, TRUE);
    COXCoolToolBar bar;
    ASSERT_TRUE(bar.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_ANY | CBRS_GRIPPER, CRect(3, 1, 0, 1), 32950));
    bar.LoadToolBar(300);
    bar.EnableDocking(CBRS_ALIGN_ANY, TRUE);
    frame->DockControlBar(&menuBar, AFX_IDW_DOCKBAR_TOP);
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    frame->RecalcLayout();
    mouse::Pump(100);
    auto* top = dynamic_cast<COXSizeDockBar*>(frame->GetControlBar(AFX_IDW_DOCKBAR_TOP));
    ASSERT_NE(top, nullptr);
    ASSERT_EQ(top->Rows().size(), 2u);

    // Pressed on its separator, let go with its corner a third of the way into the menu bar.
    CRect separator;
    bar.SendMessage(TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&separator));
    CPoint press = separator.CenterPoint();
    bar.ClientToScreen(&press);
    const CPoint offset(press.x - ScreenRect(bar).left, press.y - ScreenRect(bar).top);
    const CRect menuRect = ScreenRect(menuBar);
    mouse::Drag(press, CPoint(menuRect.left + menuRect.Width() / 3 + offset.x, menuRect.top + 2 + offset.y));
    mouse::Pump(50);
    EXPECT_EQ(bar.m_pDockBar, top);
    EXPECT_FALSE(bar.m_bOwnDragging);
    ASSERT_EQ(top->Rows().size(), 1u);  // one row: the menu bar, then the toolbar
    EXPECT_EQ(top->FindBar(&bar), top->FindBar(&menuBar) + 1);
    EXPECT_EQ(ScreenRect(bar).left, ScreenRect(menuBar).right + 2);
    SaveScreenshot(*frame, L"docking-menubar-row");

    // Stacked as the strip's tab: the tab dragged into the open floats the toolbar and goes.
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_PARAM;
    item.pszText = const_cast<wchar_t*>(L"Format");
    item.lParam = reinterpret_cast<LPARAM>(static_cast<CControlBar*>(&bar));
    top->m_TabCtrl.SendMessage(TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    frame->RecalcLayout();
    mouse::Pump(100);
    ASSERT_EQ(top->GetTabStripHeight(), 28);
    EXPECT_EQ(top->m_TabCtrl.GetBar(0), nullptr);  // not a size bar's tab
    CRect tab;
    top->m_TabCtrl.GetItemRect(0, &tab);
    top->m_TabCtrl.ClientToScreen(&tab);
    CRect client;
    frame->GetClientRect(&client);
    frame->ClientToScreen(&client);
    mouse::Drag(tab.CenterPoint(), CPoint(client.CenterPoint().x, client.CenterPoint().y + 60));
    mouse::Pump(50);
    EXPECT_TRUE(bar.IsFloating());
    EXPECT_EQ(top->m_TabCtrl.GetItemCount(), 0);
    EXPECT_EQ(top->GetTabStripHeight(), 0);
    EXPECT_EQ(::GetCapture(), nullptr);
    app.m_pMainWnd = nullptr;
    frame->DestroyWindow();
    mouse::Pump(30);
    ::DestroyMenu(menu);
}

}  // namespace

namespace {

// The top-left of a floating bar's frame caption, a little way in, on the screen.
CPoint MiniCaptionPoint(COXSizeControlBar& bar) {
    const CRect frame = ScreenRect(*bar.m_pDockBar->GetParent());
    return CPoint(frame.left + 40, frame.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYSMCAPTION) / 2);
}

// A drag of a bar by its caption, docked or floating, ends when another window takes the mouse
// (a message box, Alt+Tab): the release goes there, and the next plain move over the bar neither
// takes the mouse back nor moves the bar. A move that comes without the button ends it too.
TEST(DockingHostInput, ADragEndsWhenAnotherWindowTakesTheMouse) {
    TestApp<COXSkinnedApp> app{L"DockingCaptureLost"};
    app.SetCurrentSkin(L"Classic");
    DockingHost host(app);
    ASSERT_NE(host.frame, nullptr);
    DockingHostFrame& f = *host.frame;
    CRect mdi;
    ::GetWindowRect(f.m_hWndMDIClient, &mdi);

    for (const bool floating : {false, true}) {
        if (floating) {
            f.FloatControlBar(&f.tree, mdi.CenterPoint(), CBRS_ALIGN_TOP);
            f.tree.SendMessage(WM_SIZEBAR_FLOATSYNC);
            mouse::Pump(50);
            ASSERT_TRUE(f.tree.IsFloating());
        }
        const CPoint press = floating ? MiniCaptionPoint(f.tree) : CaptionPoint(f.tree);
        mouse::Run([=] {
            mouse::MoveTo(press);
            mouse::Down();
            for (int i = 1; i <= 3; ++i) mouse::MoveTo(CPoint(press.x + 4 * i, press.y + 2 * i));
        });
        ASSERT_TRUE(f.tree.m_bDragging) << "floating " << floating;
        const CWnd* parent = f.tree.m_pDockBar;
        const CRect before = ScreenRect(f.tree);

        ::SetCapture(f.m_hWnd);
        mouse::Run([] { mouse::Up(); });
        ::ReleaseCapture();
        EXPECT_FALSE(f.tree.m_bDragging) << "floating " << floating;
        // Along the bar's own caption (a floating bar is all its child's).
        const CPoint over = floating ? ScreenRect(f.tree).CenterPoint() : CaptionPoint(f.tree);
        mouse::Run([=] {
            for (int i = 0; i <= 4; ++i) mouse::MoveTo(CPoint(over.x + 10 * i, over.y));
        });
        EXPECT_FALSE(f.tree.m_bDragging) << "floating " << floating;
        EXPECT_EQ(::GetCapture(), nullptr) << "floating " << floating;
        EXPECT_EQ(f.tree.m_pDockBar, parent) << "floating " << floating;
        EXPECT_EQ(ScreenRect(f.tree), before) << "floating " << floating;
    }

    // A drag whose release went elsewhere unheard: the first move without the button ends it.
    f.tree.BeginToolkitDrag();
    f.tree.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_FALSE(f.tree.m_bDragging);
    EXPECT_EQ(::GetCapture(), nullptr);
}

// A double-click on a floating bar where no tool is (the margin beside the tool bar's buttons)
// docks it back where it was docked last, as the double-click on its frame's caption does.
TEST(DockingHostInput, ADoubleClickInAFloatingBarDocksItBack) {
    TestApp<COXSkinnedApp> app{L"DockingFloatingDoubleClick"};
    app.SetCurrentSkin(L"Classic");
    DockingHost host(app);
    ASSERT_NE(host.frame, nullptr);
    DockingHostFrame& f = *host.frame;
    ASSERT_EQ(f.tools.m_pDockBar, f.Dock(AFX_IDW_DOCKBAR_LEFT));
    CRect mdi;
    ::GetWindowRect(f.m_hWndMDIClient, &mdi);
    f.FloatControlBar(&f.tools, mdi.CenterPoint(), CBRS_ALIGN_TOP);
    mouse::Pump(50);
    ASSERT_TRUE(f.tools.IsFloating());

    CRect client;
    f.tools.GetClientRect(&client);
    CPoint margin(1, client.Height() / 2);
    f.tools.ClientToScreen(&margin);
    ASSERT_EQ(::WindowFromPoint(margin), f.tools.m_hWnd);
    mouse::DoubleClick(margin);
    EXPECT_FALSE(f.tools.IsFloating());
    EXPECT_EQ(f.tools.m_pDockBar, f.Dock(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_EQ(::GetCapture(), nullptr);
}

// A size bar that needs a height of its own in its row.
class TallBar : public HostBar {
public:
    TallBar() : HostBar(SZBARF_STDMOUSECLICKS) {}
    int minHeight = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_GETMINMAXINFO && minHeight > 0) {
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize.y = minHeight;
            return 0;
        }
        return HostBar::WindowProc(message, wParam, lParam);
    }
};

// Bars keep to the size dock bar's bounds: a toolbar dropped near the far end of its row ends at
// the dock bar's edge (instead of going back to the row's start at the next layout), and the
// splitter above a bottom row, dragged far down, leaves the row its minimum height.
TEST(DockingHostInput, BarsDroppedOrSizedOnADockBarKeepToItsBounds) {
    TestApp<COXSkinnedApp> app{L"DockingBounds"};
    app.SetCurrentSkin(L"Classic");
    auto* frame = new COXFrameWndSizeDock;
    COXCoolToolBar toolbar;
    ASSERT_TRUE(MakeCoolBarFrame(app, frame, toolbar));
    auto* top = dynamic_cast<COXSizeDockBar*>(frame->GetControlBar(AFX_IDW_DOCKBAR_TOP));
    auto* bottom = dynamic_cast<COXSizeDockBar*>(frame->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM));
    ASSERT_NE(top, nullptr);
    ASSERT_NE(bottom, nullptr);

    const CRect dock = ScreenRect(*top);
    const CSize size = ScreenRect(toolbar).Size();
    ASSERT_LT(size.cx, dock.Width() / 2);
    for (const int left : {dock.right - size.cx / 3, dock.left + dock.Width() / 3}) {
        const CRect at(CPoint(left, ScreenRect(toolbar).top), size);
        frame->DockControlBar(&toolbar, top, &at);
        const int expected = std::min<int>(left + size.cx, dock.right);
        EXPECT_EQ(ScreenRect(toolbar).right, expected) << "dropped at " << left - dock.left;
        frame->RecalcLayout();
        EXPECT_EQ(ScreenRect(toolbar).right, expected) << "dropped at " << left - dock.left;
        EXPECT_EQ(top->Rows().size(), 1u);
    }

    TallBar tall;
    tall.minHeight = 100;
    ASSERT_TRUE(tall.CreateWithChild(frame, kTreeBarId, L"Tall", WC_LISTVIEWW, LVS_LIST));
    tall.EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(&tall, AFX_IDW_DOCKBAR_BOTTOM);
    frame->RecalcLayout();
    mouse::Pump(50);
    ASSERT_EQ(tall.m_pDockBar, bottom);
    ASSERT_EQ(ScreenRect(tall).Height(), 160);
    auto splitter = std::find_if(bottom->m_arrSplitters.begin(), bottom->m_arrSplitters.end(),
                                 [](const auto& s) { return s->m_type == COXSplitterRect::BetweenRows; });
    ASSERT_NE(splitter, bottom->m_arrSplitters.end());
    CPoint grip = (*splitter)->m_rect.CenterPoint();
    bottom->ClientToScreen(&grip);
    mouse::Drag(grip, CPoint(grip.x, grip.y + 150));
    mouse::Pump(50);
    EXPECT_EQ(tall.m_HorzDockSize.cy, 100);
    EXPECT_EQ(ScreenRect(tall).Height(), 100);
    EXPECT_EQ(::GetCapture(), nullptr);
    SaveScreenshot(*frame, L"docking-bounds");

    tall.DestroyWindow();
    app.m_pMainWnd = nullptr;
    frame->DestroyWindow();
    mouse::Pump(30);
}

}  // namespace
