// The docking family without the mouse: the row rules of the size dock bar
// (fitting, maximising, splitter room), hostile stored layouts, registered
// bars and their hook going with their frames, the size-dock frame's close,
// and what each dock-bar and mini-frame skin draws.
#include "DockingHost.h"

#include "MessageBoxRecorder.h"
#include "Random.h"
#include "docking/SizableMiniDockFrameWnd.h"

#include <cstring>

namespace {

CString Layout(DockingHostFrame& f) {
    CString out;
    for (COXSizeControlBar* bar : {static_cast<COXSizeControlBar*>(&f.tree), static_cast<COXSizeControlBar*>(&f.list),
                                   static_cast<COXSizeControlBar*>(&f.tools)}) {
        CString part;
        part.Format(L"%d@%d:%d,%d,%d;", bar->GetDlgCtrlID(), bar->m_pDockBar ? bar->m_pDockBar->GetDlgCtrlID() : 0,
                    static_cast<int>(bar->m_HorzDockSize.cx), static_cast<int>(bar->m_VertDockSize.cy), bar->IsVisible() ? 1 : 0);
        out += part;
    }
    return out;
}

// A visual style that is always there, with the system's colours.
HANDLE WINAPI StyleOpen(HWND, LPCWSTR) { return reinterpret_cast<HANDLE>(1); }
COLORREF WINAPI StyleColor(HANDLE, int index) { return GetSysColor(index); }
HRESULT WINAPI StyleClose(HANDLE) { return S_OK; }

void SetLength(CWnd& bar, int length) { bar.SetWindowPos(nullptr, 0, 0, length, 160, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE); }

TEST(SizeDockBar, RowsAreFittedMaximisedAndRestoredByTheirRules) {
    TestApp<CWinApp> app{L"DockingRows"};
    DockingHost host(app);
    ASSERT_NE(host.frame, nullptr);
    DockingHostFrame& f = *host.frame;
    COXSizeDockBar* bottom = f.Dock(AFX_IDW_DOCKBAR_BOTTOM);
    ASSERT_EQ(bottom->Rows().size(), 1u);
    const int start = bottom->Rows()[0].first;
    bottom->m_bLayoutQuery = TRUE;  // sizes only: the windows stay as set here

    // Shares in proportion, each truncated; the leftover pixel goes to no bar.
    SetLength(f.tree, 100);
    SetLength(f.list, 300);
    EXPECT_TRUE(bottom->FitRow(start, 412, bottom->m_arrBars));
    EXPECT_EQ(f.tree.m_HorzDockSize.cx, 102);
    EXPECT_EQ(f.list.m_HorzDockSize.cx, 306);
    EXPECT_TRUE(bottom->FitRow(start, 407, bottom->m_arrBars));
    EXPECT_EQ(f.tree.m_HorzDockSize.cx, 100);
    EXPECT_EQ(f.list.m_HorzDockSize.cx, 302);
    // Bars of no length: the first takes the whole room. A row shorter than its splitter gives nobody less than 0.
    SetLength(f.tree, 0);
    SetLength(f.list, 0);
    bottom->FitRow(start, 407, bottom->m_arrBars);
    EXPECT_EQ(f.tree.m_HorzDockSize.cx, 403);
    EXPECT_EQ(f.list.m_HorzDockSize.cx, 0);
    bottom->FitRow(start, 2, bottom->m_arrBars);
    EXPECT_EQ(f.tree.m_HorzDockSize.cx, 0);
    EXPECT_EQ(f.list.m_HorzDockSize.cx, 0);
    bottom->m_bLayoutQuery = FALSE;

    // Three bars of 200 in a row: maximising one leaves the others 21 and gives it 558.
    f.DockControlBar(&f.tools, bottom, nullptr);
    bottom->m_arrBars = {nullptr, &f.tree, &f.list, &f.tools, nullptr};
    for (COXSizeControlBar* bar : {static_cast<COXSizeControlBar*>(&f.tree), static_cast<COXSizeControlBar*>(&f.list),
                                   static_cast<COXSizeControlBar*>(&f.tools)})
        bar->m_HorzDockSize = CSize(200, 160);
    bottom->MaximizeBar(&f.tree, TRUE);
    EXPECT_EQ(f.tree.m_HorzDockSize.cx, 558);
    EXPECT_EQ(f.list.m_HorzDockSize.cx, 21);
    EXPECT_EQ(f.tools.m_HorzDockSize.cx, 21);
    // The layout that maximising causes leaves the bar maximised, so that it can be restored.
    f.RecalcLayout();
    EXPECT_TRUE(f.tree.IsMaximized());
    // A second bar maximised meanwhile keeps the sizes the first maximising saved.
    bottom->MaximizeBar(&f.list, TRUE);
    EXPECT_FALSE(f.tree.IsMaximized());
    EXPECT_TRUE(f.list.IsMaximized());
    bottom->MaximizeBar(&f.list, FALSE);
    for (COXSizeControlBar* bar : {static_cast<COXSizeControlBar*>(&f.tree), static_cast<COXSizeControlBar*>(&f.list),
                                   static_cast<COXSizeControlBar*>(&f.tools)})
        EXPECT_EQ(bar->m_HorzDockSize.cx, 200);

    // The arrangement key over many rows stays a plain unsigned number (no signed overflow).
    for (int i = 0; i < 40; ++i) bottom->m_arrBars.push_back(nullptr);
    const UINT key = bottom->LayoutKey();
    EXPECT_EQ(key & 0xFF, 3u);
    EXPECT_EQ(bottom->LayoutKey(), key);

    // Splitter room: the shrinkable length after and before a splitter, and the giving itself.
    bottom->m_arrBars = {nullptr, &f.tree, &f.list, nullptr};
    f.tree.m_HorzDockSize.cx = 300;
    f.list.m_HorzDockSize.cx = 100;
    int count = 0;
    EXPECT_EQ(bottom->ShrinkBarsAfter(2, 60, TRUE, &count), 60);
    EXPECT_EQ(f.list.m_HorzDockSize.cx, 40);
    EXPECT_EQ(bottom->ShrinkBarsBefore(1, -60, TRUE, &count), -60);
    EXPECT_EQ(f.tree.m_HorzDockSize.cx, 360);
}

// Record i of a stored layout: 12 bytes of header, then 14 integers a bar.
void Patch(std::vector<BYTE>& bytes, int record, int field, int32_t value) {
    std::memcpy(bytes.data() + 12 + record * 56 + field * 4, &value, 4);
}

void Store(CWinApp& app, const std::vector<BYTE>& bytes, int size) {
    app.WriteProfileBinary(L"Docking", L"Layout", bytes.data(), static_cast<UINT>(bytes.size()));
    app.WriteProfileInt(L"Docking", L"Layout_Size", size);
}

TEST(SizeDockLayout, AStoredLayoutThatLiesChangesNothingAndTheFrameWritesASoundOne) {
    TestApp<CWinApp> app{L"DockingLayout"};
    MessageBoxRecorder boxes;
    std::vector<BYTE> sound;
    CString defaults;
    {
        DockingHost host(app);
        ASSERT_NE(host.frame, nullptr);
        defaults = Layout(*host.frame);
        ASSERT_TRUE(SaveSizeDockLayout(host.frame, L"Docking", L"Layout"));
        ASSERT_TRUE(app.GetProfileBinary(L"Docking", L"Layout", sound));
        ASSERT_EQ(sound.size(), 12u + 3 * 56);
        host.Close(FALSE);
    }
    struct Lie {
        const char* what;
        std::function<void(std::vector<BYTE>&, int&)> make;
    };
    const Lie lies[] = {
        {"a bar that no longer exists", [](auto& b, int&) { Patch(b, 1, 0, 9999); }},
        {"the same bar twice", [](auto& b, int&) { Patch(b, 1, 0, 3101); }},
        {"a row out of range", [](auto& b, int&) { Patch(b, 0, 2, 100000); }},
        {"a side that is no side", [](auto& b, int&) { Patch(b, 0, 1, 12345); }},
        {"a size of 0", [](auto& b, int&) { Patch(b, 0, 6, 0); }},
        {"a size of 1e9", [](auto& b, int&) { Patch(b, 2, 9, 1000000000); }},
        {"a floating place far off", [](auto& b, int&) { Patch(b, 2, 12, -2000000000); }},
        {"a count beyond the bytes", [](auto& b, int&) { std::memcpy(b.data() + 8, "\xff\xff\xff\x7f", 4); }},
        {"a truncated blob", [](auto& b, int& size) { b.resize(b.size() - 5), size = static_cast<int>(b.size()); }},
        {"a length that disagrees", [](auto&, int& size) { size += 4; }},
        {"another version", [](auto& b, int&) { b[4] = 2; }},
    };
    for (const Lie& lie : lies) {
        std::vector<BYTE> bytes = sound;
        int size = static_cast<int>(bytes.size());
        lie.make(bytes, size);
        Store(app, bytes, size);
        DockingHost host(app);
        ASSERT_NE(host.frame, nullptr);
        EXPECT_FALSE(host.frame->layoutLoaded) << lie.what;
        EXPECT_EQ(Layout(*host.frame), defaults) << lie.what;
        host.Close(FALSE);
    }
    // Random bytes of every length: nothing loads, nothing breaks.
    Random random(26);
    for (int round = 0; round < 30; ++round) {
        std::vector<BYTE> bytes = sound;
        for (int flips = random.Int(1, 8); flips-- > 0;) bytes[static_cast<size_t>(random.Int(0, static_cast<int>(bytes.size()) - 1))] ^= static_cast<BYTE>(random.Int(1, 255));
        Store(app, bytes, static_cast<int>(bytes.size()));
        CWinApp& a = app;
        DockingHost host(a);
        ASSERT_NE(host.frame, nullptr);
        if (!host.frame->layoutLoaded) {
            EXPECT_EQ(Layout(*host.frame), defaults);
        }
        host.Close(FALSE);
    }
    EXPECT_TRUE(boxes.Boxes().empty());  // nothing alarming is said
    // After a lie, the frame's close writes a layout that loads.
    {
        std::vector<BYTE> bytes = sound;
        Patch(bytes, 0, 0, 4242);
        Store(app, bytes, static_cast<int>(bytes.size()));
        DockingHost host(app);
        host.Close(TRUE);
    }
    DockingHost again(app);
    EXPECT_TRUE(again.frame->layoutLoaded);
    EXPECT_EQ(Layout(*again.frame), defaults);
}

TEST(SizeControlBar, RegisteredBarsAndTheMouseHookGoWithTheirWindows) {
    TestApp<CWinApp> app{L"DockingBars"};
    auto* frame = new COXFrameWndSizeDock;
    ASSERT_TRUE(frame->CreateEx(0, nullptr, L"bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 600, 400, nullptr, nullptr));
    frame->EnableDocking(CBRS_ALIGN_ANY);
    auto first = std::make_unique<COXSizeControlBar>(SZBARF_AUTOTIDY);
    auto second = std::make_unique<COXSizeControlBar>(SZBARF_AUTOTIDY);
    ASSERT_TRUE(first->Create(nullptr, L"First", WS_CHILD | WS_VISIBLE | CBRS_LEFT, CRect(0, 0, 0, 0), frame, 3201));
    ASSERT_TRUE(second->Create(nullptr, L"Second", WS_CHILD | WS_VISIBLE | CBRS_LEFT, CRect(0, 0, 0, 0), frame, 3202));
    // An all-zero rectangle: the bottom-right part of the parent, a half wide and a quarter high.
    CRect client;
    frame->GetClientRect(&client);
    EXPECT_EQ(first->m_HorzDockSize, CSize(client.Width() / 2, client.Height() / 4));
    EXPECT_EQ(first->m_VertDockSize, CSize(client.Height() / 4, client.Width() / 2));
    ASSERT_NE(COXSizeControlBar::RegisteredBars(), nullptr);
    EXPECT_EQ(COXSizeControlBar::RegisteredBars()->size(), 2u);

    // A docked bar with no extent drags with the smallest offset instead of dividing by nothing.
    first->EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(first.get(), AFX_IDW_DOCKBAR_LEFT);
    first->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOZORDER);
    first->ComputeDragOffset(CPoint(30, 3));
    EXPECT_EQ(first->m_ptDragOffset, CPoint(5, 10));

    // The hook stays while any bar lives: the first bar to go does not take it from the other.
    EXPECT_TRUE(COXSizeControlBar::IsMouseHookInstalled());
    second->DestroyWindow();
    EXPECT_TRUE(COXSizeControlBar::IsMouseHookInstalled());
    // The frame destroys its registered bars; the list goes with the last entry, and the bars'
    // own destructors later find no list to leave.
    frame->DestroyWindow();
    PumpMessages();
    EXPECT_EQ(first->m_hWnd, nullptr);
    // Another frame's end walks the list again: entries whose windows are gone leave it, and the
    // emptied list goes.
    COXSizeControlBar::DestroyFrameBars(nullptr);
    EXPECT_EQ(COXSizeControlBar::RegisteredBars(), nullptr);
    EXPECT_FALSE(COXSizeControlBar::IsMouseHookInstalled());
    first.reset();
    second.reset();
}

TEST(SizeDockFrames, AClosingThatIsRefusedLeavesTheFrameClosableAndTitlesAreNotCut) {
    TestApp<CWinApp> app{L"DockingClose"};
    DockingHost host(app);
    ASSERT_NE(host.child, nullptr);
    CDocument* document = host.child->GetActiveDocument();
    ASSERT_NE(document, nullptr);

    // A title longer than any fixed buffer reaches the child whole.
    CString longTitle;
    for (int i = 0; i < 60; ++i) longTitle += L"Long title ";
    document->SetTitle(longTitle);
    host.child->OnUpdateFrameTitle(TRUE);
    EXPECT_EQ(host.child->GetWindowText(), longTitle);

    // While a close hook is set (a print preview), a close runs the hook and nothing else.
    static int hookCalls = 0;
    host.frame->m_lpfnCloseProc = [](CFrameWnd*) { ++hookCalls; };
    host.frame->SendMessage(WM_CLOSE);
    EXPECT_EQ(hookCalls, 1);
    ASSERT_TRUE(::IsWindow(host.frame->m_hWnd));
    host.frame->m_lpfnCloseProc = nullptr;

    // The user cancels the save question: the frame stays, and a later close still works.
    document->SetModifiedFlag(TRUE);
    {
        MessageBoxRecorder boxes(IDCANCEL);
        host.frame->SendMessage(WM_CLOSE);
        EXPECT_FALSE(boxes.Boxes().empty());
    }
    ASSERT_TRUE(::IsWindow(host.frame->m_hWnd));
    EXPECT_FALSE(host.frame->m_bClosing);

    // Answered: the pages close out of sight and none counts as changed any more. When they take
    // the main window with them, the program ends and the frame is left to it.
    struct Seen {
        bool modified = true, mainVisible = true;
    } seen;
    HostDoc::onClose = [&](HostDoc& closing) {
        seen.modified = closing.IsModified();
        seen.mainVisible = ::IsWindowVisible(host.frame->m_hWnd);
        app.m_pMainWnd = nullptr;
    };
    HWND window = host.frame->m_hWnd;
    {
        MessageBoxRecorder boxes(IDNO);
        host.frame->SendMessage(WM_CLOSE);
        EXPECT_EQ(boxes.Boxes().size(), 1u);
    }
    HostDoc::onClose = nullptr;
    EXPECT_FALSE(seen.modified);
    EXPECT_FALSE(seen.mainVisible);
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    ASSERT_TRUE(::IsWindow(window));
    app.m_pMainWnd = host.frame;
    host.frame->m_bClosing = FALSE;
    host.frame->SendMessage(WM_CLOSE);
    PumpMessages();
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    EXPECT_FALSE(::IsWindow(window));
    host.frame = nullptr;
    app.m_pMainWnd = nullptr;
}

// Tabs: only bars that shared a row stack when one is dropped on the strip; the group stays
// while a hidden bar of it may come back; a tab drag takes the tab under the pointer. Also what
// showing, double-clicking and docking do to a bar, and how a splitter shows while dragged.
TEST(SizeDockBar, TabsGroupBarsThatSharedARowAndOutliveAHiddenBar) {
    TestApp<COXSkinnedApp> app{L"DockingTabGroups"};
    DockingHost host(app);
    ASSERT_NE(host.frame, nullptr);
    DockingHostFrame& f = *host.frame;
    COXSizeDockBar* bottom = f.Dock(AFX_IDW_DOCKBAR_BOTTOM);
    ASSERT_EQ(f.list.m_pDockBar, bottom);

    // Shown again, a docked bar waits for the layout that places it.
    f.list.ShowBar(FALSE);
    f.list.ShowBar(TRUE);
    EXPECT_TRUE(f.list.IsVisible());
    EXPECT_FALSE(f.list.GetStyle() & WS_VISIBLE);
    f.RecalcLayout();
    EXPECT_TRUE(f.list.GetStyle() & WS_VISIBLE);

    // A double-click on a tool of the bar (its child window) leaves it docked.
    CRect child;
    ::GetWindowRect(f.tree.child, &child);
    f.tree.ScreenToClient(&child);
    f.tree.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(child.CenterPoint().x, child.CenterPoint().y));
    EXPECT_FALSE(f.tree.IsFloating());
    EXPECT_EQ(f.tree.m_pDockBar, bottom);

    // A bar that comes from its own frame does not start a tab group on the strip.
    f.tools.m_HorzDockSize = CSize(200, 160);
    f.tools.m_dwStyle |= CBRS_SIZE_DYNAMIC;
    CRect dockRect = ScreenRect(*bottom);
    CRect inStrip(CPoint(dockRect.left + 30, dockRect.bottom - 12), CSize(200, 160));
    f.DockControlBar(&f.tools, bottom, &inStrip);
    EXPECT_EQ(bottom->m_TabCtrl.GetItemCount(), 0);
    EXPECT_TRUE(bottom->m_dwStyle & CBRS_SIZE_DYNAMIC);  // the dock bar takes the bar's sizing bits and title
    EXPECT_EQ(bottom->GetWindowText(), CString(L"Tools"));
    CRect besideList = ScreenRect(f.list);
    besideList.OffsetRect(besideList.Width() + 20, 0);
    f.DockControlBar(&f.tools, bottom, &besideList);
    f.RecalcLayout();
    ASSERT_EQ(bottom->Rows().size(), 1u);

    // One that shared its row does: every size bar of the dock bar gets a tab.
    dockRect = ScreenRect(*bottom);
    inStrip = ScreenRect(f.list);
    inStrip.OffsetRect(0, dockRect.bottom - 12 - inStrip.top);
    f.DockControlBar(&f.list, bottom, &inStrip);
    ASSERT_EQ(bottom->m_TabCtrl.GetItemCount(), 3);
    f.RecalcLayout();

    // Pressed on one tab and moved onto the next, the tab under the pointer is dragged.
    COXDockTabCtrl& tabs = bottom->m_TabCtrl;
    CRect first, second;
    tabs.GetItemRect(0, &first);
    tabs.GetItemRect(1, &second);
    COXSizeControlBar* pressed = tabs.GetBar(0);
    COXSizeControlBar* under = tabs.GetBar(1);
    tabs.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first.CenterPoint().x, first.CenterPoint().y));
    tabs.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(second.CenterPoint().x, second.CenterPoint().y));
    EXPECT_TRUE(under->m_bDragging);
    EXPECT_FALSE(pressed->m_bDragging);
    under->SendMessage(WM_LBUTTONUP, 0, 0);
    EXPECT_FALSE(under->m_bDragging);
    ASSERT_EQ(under->m_pDockBar, bottom);
    ASSERT_EQ(tabs.GetItemCount(), 3);

    // Two of the three hidden one after the other: the group stays while a hidden bar may come
    // back as a tab, and the bar left shows.
    tabs.SelectTab(tabs.FindBar(&f.tools));
    f.tools.ShowBar(FALSE);
    tabs.SelectTab(tabs.FindBar(&f.list));
    f.list.ShowBar(FALSE);
    EXPECT_EQ(tabs.GetItemCount(), 1);
    EXPECT_EQ(tabs.FindBar(&f.tree), 0);
    EXPECT_TRUE(f.tree.GetStyle() & WS_VISIBLE);
    f.tools.ShowBar(TRUE);
    f.RecalcLayout();
    EXPECT_GE(tabs.FindBar(&f.tools), 0);
    EXPECT_TRUE(f.tools.GetStyle() & WS_VISIBLE);

    // A splitter dragged shows as a whole band: its outline is as thick as half the band.
    MemoryCanvas canvas(4, 100);
    COXRectTracker tracker;
    tracker.DrawTrackerRect(CRect(0, 0, 4, 100), nullptr, &canvas.dc, nullptr);
    EXPECT_LE(canvas.Count(CRect(0, 49, 4, 51), RGB(1, 2, 3)), 4);  // the halftone's half, not all
}

TEST(DockbarSkins, EachLookDrawsCaptionsButtonsSplittersAndTheMiniFrameCaption) {
    TestApp<COXSkinnedApp> app{L"DockingSkins"};
    DockingHost host(app);
    ASSERT_NE(host.frame, nullptr);
    DockingHostFrame& f = *host.frame;
    COXSizeDockBar* bottom = f.Dock(AFX_IDW_DOCKBAR_BOTTOM);
    const CRect window = ScreenRect(f.tree);

    // Classic: a framed close glyph, the gripper's 3-D bars, the four splitter lines.
    app.SetCurrentSkin(L"Classic");
    {
        MemoryCanvas canvas(window.Width(), window.Height());
        f.tree.DrawDecorations(&canvas.dc);
        const CRect close = f.tree.ToWindow(f.tree.m_rectClose);
        ASSERT_FALSE(close.IsRectEmpty());
        EXPECT_GT(canvas.Count(close, RGB(0, 0, 0)), 4);  // the cross
        EXPECT_GT(canvas.Count(f.tree.ToWindow(f.tree.m_rectCaption), GetSysColor(COLOR_3DHILIGHT)), 10);
        MemoryCanvas splitter(8, 40);
        COXSplitterDraw draw{CRect(0, 0, 8, 40), 1};
        bottom->GetDockbarSkin()->DrawDockBar(&splitter.dc, draw, bottom);
        EXPECT_EQ(splitter.Pixel(2, 20), GetSysColor(COLOR_3DHILIGHT));
        EXPECT_EQ(splitter.Pixel(6, 20), GetSysColor(COLOR_3DSHADOW));
        EXPECT_EQ(splitter.Pixel(7, 20), GetSysColor(COLOR_WINDOWFRAME));

        // A title longer than the caption ends in an ellipsis: at the caption's far end only the
        // dots' row near the baseline is inked, not the letters' tops.
        const CString title = f.tree.GetWindowText();
        f.tree.SetWindowText(L"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
        MemoryCanvas text(window.Width(), window.Height(), RGB(255, 255, 255));
        f.tree.DrawCaption(&text.dc);
        f.tree.SetWindowText(title);
        const CRect caption = f.tree.ToWindow(f.tree.m_rectCaption);
        EXPECT_EQ(text.Count(CRect(caption.left + 1, caption.top + 2, caption.left + 5, caption.top + 8), RGB(255, 255, 255)), 24);
        EXPECT_LT(text.Count(CRect(caption.left + 1, caption.top + 30, caption.left + 5, caption.top + 60), RGB(255, 255, 255)), 110);
    }
    // Office XP: gripper marks in colour 11, a splitter with its centre line in colour 9.
    app.SetCurrentSkin(L"Office XP");
    auto* xp = static_cast<COXSkinXP*>(app.GetCurrentSkin());
    {
        MemoryCanvas canvas(window.Width(), window.Height());
        f.tree.DrawDecorations(&canvas.dc);
        EXPECT_GT(canvas.Count(f.tree.ToWindow(f.tree.m_rectCaption), xp->GetColor(11)), 10);
        MemoryCanvas splitter(8, 40);
        bottom->GetDockbarSkin()->DrawDockBar(&splitter.dc, COXSplitterDraw{CRect(0, 0, 8, 40), 1}, bottom);
        EXPECT_EQ(splitter.Pixel(4, 20), xp->GetColor(9));
        EXPECT_EQ(splitter.Pixel(1, 20), GetSysColor(COLOR_3DFACE));
    }
    // Office 2003 (without a visual style, and with one): a 24-pixel caption band that starts in H10;
    // splitters on colour 7 with the centre line in XP colour 9, or in H4 under a visual style.
    app.SetCurrentSkin(L"Classic");
    COXSkin2003 plain{COXUxTheme::Functions{}};
    COXUxTheme::Functions styled;
    styled.open = StyleOpen;
    styled.sysColor = StyleColor;
    styled.close = StyleClose;
    COXSkin2003 themed{styled};
    {
        COXDockbarSkin* skin = plain.GetDockbarSkin();
        skin->CalcCaptionLayout(&f.tree);
        const CRect band = f.tree.ToWindow(f.tree.m_rectCaption);
        EXPECT_EQ(band.Width(), 24);
        MemoryCanvas canvas(window.Width(), window.Height());
        skin->DrawCaption(&canvas.dc, &f.tree);
        const COLORREF start = canvas.Pixel(band.left, band.top + 1), h10 = plain.GetAuxColor(10);
        EXPECT_NEAR(GetRValue(start), GetRValue(h10), 3);
        EXPECT_NEAR(GetGValue(start), GetGValue(h10), 3);
        EXPECT_NEAR(GetBValue(start), GetBValue(h10), 3);
        // The close button, away from the cursor, continues the caption's gradient behind its glyph.
        SetCursorPos(0, 0);
        const CRect close = f.tree.ToWindow(f.tree.m_rectClose);
        ASSERT_FALSE(close.IsRectEmpty());
        const COLORREF behind = canvas.Pixel(close.left + 1, close.top + 1);
        skin->DrawCloseButton(&canvas.dc, &f.tree);
        EXPECT_EQ(canvas.Pixel(close.left + 1, close.top + 1), behind);
        MemoryCanvas splitter(8, 40);
        skin->DrawDockBar(&splitter.dc, COXSplitterDraw{CRect(0, 0, 8, 40), 2}, bottom);
        EXPECT_EQ(splitter.Pixel(2, 5), plain.GetColor(7));
        EXPECT_EQ(splitter.Pixel(2, 20), plain.COXSkinXP::GetColor(9));
        themed.GetDockbarSkin()->DrawDockBar(&splitter.dc, COXSplitterDraw{CRect(0, 0, 8, 40), 2}, bottom);
        EXPECT_EQ(splitter.Pixel(2, 20), themed.GetAuxColor(4));

        // Under the pointer the button's frame stands a pixel inside its place, as in the XP look.
        const CRect bar = ScreenRect(f.tree);
        SetCursorPos(bar.left + close.CenterPoint().x, bar.top + close.CenterPoint().y);
        const COLORREF corner = canvas.Pixel(close.left, close.top);
        skin->DrawCloseButton(&canvas.dc, &f.tree);
        EXPECT_EQ(canvas.Pixel(close.left, close.top), corner);
        EXPECT_EQ(canvas.Pixel(close.left + 1, close.top + 1), plain.GetColor(3));
        SetCursorPos(0, 0);

        // A title longer than the caption runs up from the band's foot and ends in an ellipsis
        // before the buttons: next to them only the dots' row near the baseline is inked.
        const CString title = f.tree.GetWindowText();
        f.tree.SetWindowText(L"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
        MemoryCanvas text(window.Width(), window.Height(), RGB(255, 255, 255));
        skin->DrawCaption(&text.dc, &f.tree);
        f.tree.SetWindowText(title);
        auto inked = [&](const CRect& r) {
            int count = 0;
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x)
                    if (const COLORREF c = text.Pixel(x, y); GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) ++count;
            return count;
        };
        const CRect resize = f.tree.ToWindow(f.tree.m_rectResize);
        ASSERT_FALSE(resize.IsRectEmpty());
        EXPECT_GT(inked(CRect(band.left + 6, band.bottom - 60, band.left + 12, band.bottom - 12)), 20);  // the Ws' tops
        EXPECT_EQ(inked(CRect(band.left + 6, band.bottom - 10, band.right, band.bottom)), 0);  // nothing below the start
        EXPECT_EQ(inked(CRect(band.left + 6, resize.bottom + 1, band.left + 12, resize.bottom + 8)), 0);  // only dots here
        f.tree.GetDockbarSkin()->CalcCaptionLayout(&f.tree);
    }

    // The Classic look's button bitmap follows the format of what it draws on: a button drawn on a
    // monochrome bitmap first leaves a colour one as it is when drawn first.
    {
        COXDockbarSkinClassic classic;
        classic.CalcCaptionLayout(&f.tree);
        f.tree.m_rectClose.InflateRect(0, 0, 1, 1);  // a size no button was drawn in before
        const CRect close = f.tree.ToWindow(f.tree.m_rectClose);
        ASSERT_FALSE(close.IsRectEmpty());
        MemoryCanvas first(window.Width(), window.Height());
        ::DrawFrameControl(first.dc, CRect(close), DFC_CAPTION, DFCS_CAPTIONCLOSE);
        CDC mono;
        mono.Attach(::CreateCompatibleDC(nullptr));
        HBITMAP monoBitmap = ::CreateBitmap(window.Width(), window.Height(), 1, 1, nullptr);
        HGDIOBJ old = ::SelectObject(mono, monoBitmap);
        classic.DrawCloseButton(&mono, &f.tree);
        ::SelectObject(mono, old);
        ::DeleteObject(monoBitmap);
        MemoryCanvas colour(window.Width(), window.Height());
        classic.DrawCloseButton(&colour.dc, &f.tree);
        int same = 0;
        for (int y = close.top; y < close.bottom; ++y)
            for (int x = close.left; x < close.right; ++x) same += colour.Pixel(x, y) == first.Pixel(x, y);
        EXPECT_EQ(same, close.Width() * close.Height());
        EXPECT_GT(first.Count(close, GetSysColor(COLOR_3DFACE)), 0);
    }

    // A bar squeezed smaller than its buttons draws without them and without a bitmap of no size.
    app.SetCurrentSkin(L"Classic");
    f.tree.SetWindowPos(nullptr, 0, 0, 9, 9, SWP_NOMOVE | SWP_NOZORDER);
    {
        MemoryCanvas canvas(9, 9);
        f.tree.DrawDecorations(&canvas.dc);
    }
    f.RecalcLayout();

    // The XP mini frame: its caption in colour 12, its system menu cut to Move, Size and "&Hide".
    app.SetCurrentSkin(L"Office XP");
    f.FloatControlBar(&f.list, CPoint(200, 200), CBRS_ALIGN_TOP);
    f.list.SendMessage(WM_SIZEBAR_FLOATSYNC);
    auto* mini = dynamic_cast<COXSizableMiniDockFrameWnd*>(f.list.m_pDockBar->GetParent());
    ASSERT_NE(mini, nullptr);
    mini->SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::RedrawWindow(mini->m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    mouse::Pump(50);
    const CRect caption = COXMiniFrameSkinXP::CaptionRect(mini);
    const CRect frameRect = ScreenRect(*mini);
    HDC screen = GetDC(nullptr);
    const COLORREF captionPixel = GetPixel(screen, frameRect.left + caption.left + caption.Width() - caption.Height() - 4, frameRect.top + caption.top + 2);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(captionPixel, xp->GetColor(12));
    HMENU system = GetSystemMenu(mini->m_hWnd, FALSE);
    for (UINT gone : {SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE}) EXPECT_EQ(GetMenuState(system, gone, MF_BYCOMMAND), static_cast<UINT>(-1));
    for (UINT kept : {SC_MOVE, SC_SIZE, SC_CLOSE}) EXPECT_NE(GetMenuState(system, kept, MF_BYCOMMAND), static_cast<UINT>(-1));
    for (int i = 0; i < GetMenuItemCount(system); ++i) EXPECT_FALSE(GetMenuState(system, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR);
}

}  // namespace

namespace {

// The size tool bar: its toolbar control fills the bar inside a margin, offers the button table
// to the customise dialog, takes tooltips from the command strings, follows the update handlers,
// and passes a press on empty space to the bar (which drags from there).
TEST(SizeToolBar, ButtonsFollowTheBarAndItsHandlersAndEmptySpaceBelongsToTheBar) {
    TestApp<CWinApp> app{L"DockingToolBar"};
    DockingHost host(app);
    ASSERT_NE(host.frame, nullptr);
    COXSizeToolBar& tools = host.frame->tools;
    COXToolBarCtrl& control = tools.m_ToolBarCtrl;
    EXPECT_EQ(control.GetDlgCtrlID(), 99);
    EXPECT_TRUE(control.GetStyle() & CCS_ADJUSTABLE);  // it has a button table
    CRect client, placed;
    tools.GetClientRect(&client);
    control.GetWindowRect(&placed);
    tools.ScreenToClient(&placed);
    EXPECT_EQ(placed.TopLeft(), CPoint(5, 3));

    // The customise dialog's questions.
    NMTOOLBARW info{};
    wchar_t text[64]{};
    info.hdr.hwndFrom = control.m_hWnd;
    info.hdr.idFrom = 99;
    info.hdr.code = TBN_GETBUTTONINFOW;
    info.iItem = 1;
    info.pszText = text;
    info.cchText = 64;
    EXPECT_EQ(tools.SendMessage(WM_NOTIFY, 99, reinterpret_cast<LPARAM>(&info)), 1);
    EXPECT_EQ(info.tbButton.idCommand, 40002);
    EXPECT_EQ(info.tbButton.iBitmap, 1);
    EXPECT_STREQ(text, L"Second");
    info.iItem = 3;
    EXPECT_EQ(tools.SendMessage(WM_NOTIFY, 99, reinterpret_cast<LPARAM>(&info)), 0);
    info.hdr.code = TBN_QUERYDELETE;
    EXPECT_EQ(tools.SendMessage(WM_NOTIFY, 99, reinterpret_cast<LPARAM>(&info)), 1);

    // Tooltips: the part after the line break; a string without one gives none.
    NMTTDISPINFOW tip{};
    tip.hdr.code = TTN_NEEDTEXTW;
    tip.hdr.idFrom = 40001;
    tools.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
    EXPECT_STREQ(tip.szText, L"First");
    NMTTDISPINFOW none{};
    none.hdr.code = TTN_NEEDTEXTW;
    none.hdr.idFrom = 40003;
    tools.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&none));
    EXPECT_STREQ(none.szText, L"");

    // Update handlers: none for these commands, so with disabling they grey out; a check sticks.
    tools.OnUpdateCmdUI(host.frame, TRUE);
    EXPECT_FALSE(control.SendMessage(TB_GETSTATE, 40001) & TBSTATE_ENABLED);
    COXToolCmdUI ui;
    ui.m_pToolBar = &control;
    ui.m_nIndex = 0;
    ui.Enable(TRUE);
    ui.SetCheck(1);
    EXPECT_TRUE(control.SendMessage(TB_GETSTATE, 40001) & TBSTATE_ENABLED);
    EXPECT_TRUE(control.SendMessage(TB_GETSTATE, 40001) & TBSTATE_CHECKED);
    ui.SetCheck(2);
    EXPECT_EQ(control.SendMessage(TB_GETSTATE, 40001) & (TBSTATE_CHECKED | TBSTATE_INDETERMINATE), TBSTATE_INDETERMINATE);

    // Buttons are hit; the space after the last one is the bar's.
    CRect first;
    control.SendMessage(TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    EXPECT_EQ(control.ButtonAt(first.CenterPoint()), 0);
    CRect controlClient;
    control.GetClientRect(&controlClient);
    EXPECT_EQ(control.ButtonAt(CPoint(controlClient.right - 2, controlClient.bottom - 2)), -1);
}

}  // namespace

namespace {

std::vector<UINT> MenuCommands(HMENU menu, std::vector<bool>* checked = nullptr) {
    std::vector<UINT> ids;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        ids.push_back(GetMenuItemID(menu, i));
        if (checked) checked->push_back((GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) != 0);
    }
    return ids;
}

// The bar's own menu: floating as an MDI child and back, docking switched off and on; and a frame
// that is not the main window asks its documents before it goes.
TEST(SizeDockFrames, ABarFloatsAsAnMdiChildAndBackAndAFrameAsksItsDocumentsBeforeItGoes) {
    TestApp<CWinApp> app{L"DockingMdiFloat"};
    DockingHost host(app);
    ASSERT_NE(host.frame, nullptr);
    DockingHostFrame& f = *host.frame;
    HMENU menu = CreatePopupMenu();
    f.tree.SendMessage(WM_SIZEBAR_FILLMENU, 0, reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(MenuCommands(menu), (std::vector<UINT>{ID_OX_MDIFLOAT, ID_OX_ALLOWDOCKING, ID_OX_HIDEBAR}));
    DestroyMenu(menu);

    f.tree.SendMessage(WM_COMMAND, ID_OX_MDIFLOAT);
    ASSERT_TRUE(f.tree.IsInMDIFloatWnd());
    auto* floatWnd = dynamic_cast<COXMDIFloatWnd*>(f.tree.m_pDockBar->GetParent());
    ASSERT_NE(floatWnd, nullptr);
    EXPECT_EQ(::GetParent(floatWnd->m_hWnd), f.m_hWndMDIClient);
    EXPECT_EQ(floatWnd->GetWindowText(), CString(L"Folders"));
    std::vector<bool> checks;
    menu = CreatePopupMenu();
    f.tree.SendMessage(WM_SIZEBAR_FILLMENU, 0, reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(MenuCommands(menu, &checks), (std::vector<UINT>{ID_OX_MDIFLOAT, ID_OX_HIDEBAR}));  // no docking entry here
    EXPECT_TRUE(checks[0]);
    DestroyMenu(menu);
    f.tree.SendMessage(WM_COMMAND, ID_OX_MDIFLOAT);
    EXPECT_FALSE(f.tree.IsInMDIFloatWnd());
    EXPECT_NE(dynamic_cast<COXSizableMiniDockFrameWnd*>(f.tree.m_pDockBar->GetParent()), nullptr);
    PumpMessages();

    // Docking switched off from the menu: the entry stays, unchecked, and brings the sides back.
    f.list.SendMessage(WM_COMMAND, ID_OX_ALLOWDOCKING);
    EXPECT_TRUE(f.list.IsFloating());
    EXPECT_EQ(f.list.m_dwDockStyle & CBRS_ALIGN_ANY, 0u);
    checks.clear();
    menu = CreatePopupMenu();
    f.list.SendMessage(WM_SIZEBAR_FILLMENU, 0, reinterpret_cast<LPARAM>(menu));
    EXPECT_EQ(MenuCommands(menu, &checks), (std::vector<UINT>{ID_OX_ALLOWDOCKING, ID_OX_HIDEBAR}));
    EXPECT_FALSE(checks[0]);
    DestroyMenu(menu);
    f.list.SendMessage(WM_COMMAND, ID_OX_ALLOWDOCKING);
    EXPECT_EQ(f.list.m_dwDockStyle & CBRS_ALIGN_ANY, CBRS_ALIGN_ANY);

    // A second frame, not the main window, with a page that has changes: its close asks first.
    auto* other = new COXMDIFrameWndSizeDock;
    ASSERT_TRUE(other->LoadFrame(kHostResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    app.m_pMainWnd = other;
    CDocument* document = host.docTemplate->OpenDocumentFile(nullptr);
    app.m_pMainWnd = &f;
    ASSERT_NE(document, nullptr);
    ASSERT_NE(other->MDIGetActive(), nullptr);
    document->SetModifiedFlag(TRUE);
    HWND otherWindow = other->m_hWnd;
    {
        MessageBoxRecorder boxes(IDCANCEL);
        other->SendMessage(WM_CLOSE);
        EXPECT_EQ(boxes.Boxes().size(), 1u);
    }
    ASSERT_TRUE(::IsWindow(otherWindow));
    EXPECT_FALSE(other->m_bClosing);
    MessageBoxRecorder boxes(IDNO);
    other->SendMessage(WM_CLOSE);
    PumpMessages();
    EXPECT_FALSE(::IsWindow(otherWindow));
}

}  // namespace

namespace {

void SetKeys(bool leftButton, bool control) {
    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_LBUTTON] = leftButton ? 0x80 : 0;
    keys[VK_CONTROL] = control ? 0x80 : 0;
    SetKeyboardState(keys);
}

// The cool toolbar's own drag in a size-dock frame: pressed on empty space it follows the mouse
// onto a side's size dock bar, floats with Ctrl held, and lets go on release; a frame that answers
// 0 keeps the framework's drag.
TEST(CoolToolBarOwnDrag, ThePressOnEmptySpaceMovesTheBarOntoSizeDockBarsOrFloatsIt) {
    TestApp<CWinApp> app{L"DockingCoolDrag"};
    auto* frame = new COXFrameWndSizeDock;
    COXCoolToolBar bar;
    ASSERT_TRUE(MakeCoolBarFrame(app, frame, bar));
    CRect separator;
    bar.SendMessage(TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&separator));  // the separator: no tool there
    const CPoint empty = separator.CenterPoint();
    auto moveTo = [&](CPoint screen, WPARAM keys) {
        bar.ScreenToClient(&screen);
        bar.SendMessage(WM_MOUSEMOVE, keys, MAKELPARAM(screen.x, screen.y));
    };

    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(empty.x, empty.y));
    EXPECT_TRUE(bar.m_bOwnDragging);
    EXPECT_EQ(GetCapture(), bar.m_hWnd);
    SetKeys(true, false);
    CRect frameClient;
    frame->GetClientRect(&frameClient);
    frame->ClientToScreen(&frameClient);
    moveTo(CPoint(frameClient.left + 4, frameClient.top + frameClient.Height() / 2), MK_LBUTTON);
    EXPECT_EQ(bar.m_pDockBar, frame->GetControlBar(AFX_IDW_DOCKBAR_LEFT));
    SetKeys(true, true);
    moveTo(CPoint(frameClient.left + 4, frameClient.top + frameClient.Height() / 2 + 10), MK_LBUTTON | MK_CONTROL);
    EXPECT_TRUE(bar.IsFloating());
    SetKeys(false, false);
    bar.SendMessage(WM_LBUTTONUP, 0, 0);
    EXPECT_FALSE(bar.m_bOwnDragging);
    EXPECT_NE(GetCapture(), bar.m_hWnd);

    // Back docked; a frame that wants the framework's drag gets no own drag.
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    frame->RecalcLayout();
    frame->m_bSizeDockDrag = FALSE;
    EXPECT_EQ(frame->SendMessage(WM_QUERYSIZEDOCK), 0);
    frame->m_bSizeDockDrag = TRUE;
    bar.m_bOwnDragEnabled = FALSE;
    bar.SendMessage(TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&separator));
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(separator.CenterPoint().x, separator.CenterPoint().y));
    EXPECT_FALSE(bar.m_bOwnDragging);  // swallowed
    EXPECT_NE(GetCapture(), bar.m_hWnd);
    app.m_pMainWnd = nullptr;
    frame->DestroyWindow();
    PumpMessages();
}

}  // namespace

namespace {

class CountedBar : public COXSizeControlBar {
public:
    using COXSizeControlBar::COXSizeControlBar;
    ~CountedBar() override { ++deleted; }
    static inline int deleted = 0;
};

// The page's view docked in a bar: hidden as the only child the child gives the frame its menu
// back; each view bar has an id of its own; closed by its wrapper or its floating frame, the view
// goes back to its child, which asks for its page before it closes (and shows it again when the
// user cancels).
TEST(SizeDockFrames, ADockedViewHasABarOfItsOwnAndClosesThroughItsPage) {
    TestApp<CWinApp> app{L"DockingViewBar"};
    DockingHost host(app);
    ASSERT_NE(host.child, nullptr);
    DockingHostFrame& f = *host.frame;
    HostChild& child = *host.child;
    CView* view = child.GetActiveView();
    CDocument* document = child.GetActiveDocument();
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(f.GetMenu(), child.m_hMenuShared);
    child.ActivateFrame(SW_HIDE);
    EXPECT_TRUE(child.m_bPseudoInactive);
    EXPECT_EQ(f.GetMenu(), f.m_hMenuDefault);
    child.ActivateFrame(SW_SHOW);
    EXPECT_FALSE(child.m_bPseudoInactive);
    EXPECT_EQ(f.GetMenu(), child.m_hMenuShared);

    // A bar that holds the id a hash of the child's address would give does not hide the view bar.
    HostBar other{SZBARF_STDMOUSECLICKS};
    const UINT hashed = 0xE900 + (reinterpret_cast<UINT_PTR>(&child) >> 4) % 0x100;
    ASSERT_TRUE(other.CreateWithChild(&f, hashed, L"Other", WC_STATICW, 0));
    ASSERT_EQ(f.GetControlBar(hashed), &other);
    child.SendMessage(WM_SYSCOMMAND, DockMdiChildCommand());
    ASSERT_TRUE(child.m_bViewDocked);
    EXPECT_EQ(f.GetControlBar(child.m_wndViewBar.GetDlgCtrlID()), &child.m_wndViewBar);
    f.SendMessage(WM_COMMAND, ID_WINDOW_NEW);
    auto* second = dynamic_cast<HostChild*>(f.MDIGetActive());
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second, &child);
    second->SendMessage(WM_SYSCOMMAND, DockMdiChildCommand());
    ASSERT_TRUE(second->m_bViewDocked);
    EXPECT_NE(second->m_wndViewBar.GetDlgCtrlID(), child.m_wndViewBar.GetDlgCtrlID());
    EXPECT_EQ(f.GetControlBar(second->m_wndViewBar.GetDlgCtrlID()), &second->m_wndViewBar);
    second->SendMessage(WM_CLOSE);
    mouse::Pump(30);

    // Closed by its wrapper with changes in the page: the user cancels, and the view shows in its child.
    const HWND childWindow = child.m_hWnd;
    document->SetModifiedFlag(TRUE);
    {
        MessageBoxRecorder boxes(IDCANCEL);
        child.m_wndViewBar.m_wndWrapper.SendMessage(WM_CLOSE);
        mouse::Pump(50);
        EXPECT_EQ(boxes.Boxes().size(), 1u);
    }
    ASSERT_TRUE(::IsWindow(childWindow));
    EXPECT_EQ(child.m_wndViewBar.m_hWnd, nullptr);
    EXPECT_FALSE(child.m_bViewDocked);
    EXPECT_EQ(::GetParent(view->m_hWnd), childWindow);
    EXPECT_TRUE(child.IsWindowVisible());

    // Floating, closed by its frame: the page decides as for its child (asked once, when the view
    // is back there).
    child.SendMessage(WM_SYSCOMMAND, DockMdiChildCommand());
    ASSERT_TRUE(child.m_bViewDocked);
    f.FloatControlBar(&child.m_wndViewBar, CPoint(300, 300), CBRS_ALIGN_TOP);
    auto* mini = dynamic_cast<COXSizableMiniDockFrameWnd*>(child.m_wndViewBar.m_pDockBar->GetParent());
    ASSERT_NE(mini, nullptr);
    {
        MessageBoxRecorder boxes(IDCANCEL);
        mini->SendMessage(WM_CLOSE);
        mouse::Pump(50);
        EXPECT_EQ(boxes.Boxes().size(), 1u);
    }
    ASSERT_TRUE(::IsWindow(childWindow));
    EXPECT_EQ(::GetParent(view->m_hWnd), childWindow);
    EXPECT_TRUE(child.IsWindowVisible());

    // Let go: one question, and the child goes with its page.
    child.SendMessage(WM_SYSCOMMAND, DockMdiChildCommand());
    ASSERT_TRUE(child.m_bViewDocked);
    {
        MessageBoxRecorder boxes(IDNO);
        child.m_wndViewBar.m_wndWrapper.SendMessage(WM_CLOSE);
        mouse::Pump(50);
        EXPECT_EQ(boxes.Boxes().size(), 1u);
    }
    EXPECT_FALSE(::IsWindow(childWindow));
    host.child = nullptr;
}

// Floating frames sized by the user keep their size, and the bar's floating size follows with its
// borders (which lie under the frame's edges); help mode shows the help cursor; a frame whose bar
// goes with it deletes only a bar made with new that did not delete itself.
TEST(SizeDockFrames, FloatingFramesKeepTheirSizeAndDeleteOnlyTheBarsTheyMay) {
    TestApp<CWinApp> app{L"DockingFloatSize"};
    DockingHost host(app);
    ASSERT_NE(host.frame, nullptr);
    DockingHostFrame& f = *host.frame;
    f.FloatControlBar(&f.list, CPoint(200, 200), CBRS_ALIGN_TOP);
    auto* mini = dynamic_cast<COXSizableMiniDockFrameWnd*>(f.list.m_pDockBar->GetParent());
    ASSERT_NE(mini, nullptr);
    CRect borders = FloatingBarBorders(f.list);
    ASSERT_FALSE(borders.IsRectNull());
    mini->SetWindowPos(nullptr, 0, 0, 330, 240, SWP_NOMOVE | SWP_NOZORDER);
    mini->RecalcLayout();
    CRect client;
    mini->GetClientRect(&client);
    EXPECT_EQ(ScreenRect(*mini).Size(), CSize(330, 240));
    EXPECT_EQ(f.list.m_FloatSize, CSize(client.Width() + borders.left + borders.right, client.Height() + borders.top + borders.bottom));
    EXPECT_EQ(ScreenRect(f.list).Size(), f.list.m_FloatSize);

    f.m_bHelpMode = TRUE;
    mini->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(mini->m_hWnd), MAKELPARAM(HTLEFT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HELP));
    f.m_bHelpMode = FALSE;
    mini->SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(mini->m_hWnd), MAKELPARAM(HTLEFT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZEWE));

    // The same in an MDI float window, which comes to the top of the children when it is shown.
    f.tree.SendMessage(WM_COMMAND, ID_OX_MDIFLOAT);
    auto* floatWnd = dynamic_cast<COXMDIFloatWnd*>(f.tree.m_pDockBar->GetParent());
    ASSERT_NE(floatWnd, nullptr);
    borders = FloatingBarBorders(f.tree);
    floatWnd->SetWindowPos(nullptr, 0, 0, 300, 220, SWP_NOMOVE | SWP_NOZORDER);
    floatWnd->GetClientRect(&client);
    EXPECT_EQ(f.tree.m_FloatSize, CSize(client.Width() + borders.left + borders.right, client.Height() + borders.top + borders.bottom));
    EXPECT_EQ(ScreenRect(f.tree).Size(), f.tree.m_FloatSize);
    floatWnd->ShowWindow(SW_HIDE);
    ::SetWindowPos(host.child->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    floatWnd->ShowWindow(SW_SHOWNA);
    EXPECT_EQ(::GetWindow(f.m_hWndMDIClient, GW_CHILD), floatWnd->m_hWnd);

    // Bars that go with their frames: one made with new that deletes itself with its window, and a
    // member of another object; each is deleted once, by whoever owns it.
    CountedBar::deleted = 0;
    auto* selfDeleting = new CountedBar(SZBARF_DESTROY_ON_CLOSE);
    selfDeleting->m_bAutoDelete = TRUE;
    ASSERT_TRUE(selfDeleting->Create(nullptr, L"Own", WS_CHILD | WS_VISIBLE | CBRS_TOP, CRect(0, 0, 200, 100), &f, 3301));
    selfDeleting->EnableDocking(CBRS_ALIGN_ANY);
    f.FloatControlBar(selfDeleting, CPoint(250, 250), CBRS_ALIGN_TOP);
    selfDeleting->m_pDockBar->GetParent()->SendMessage(WM_CLOSE);
    PumpMessages();
    EXPECT_EQ(CountedBar::deleted, 1);
    {
        CountedBar member(SZBARF_DESTROY_ON_CLOSE);
        ASSERT_TRUE(member.Create(nullptr, L"Member", WS_CHILD | WS_VISIBLE | CBRS_TOP, CRect(0, 0, 200, 100), &f, 3302));
        member.EnableDocking(CBRS_ALIGN_ANY);
        f.FloatControlBarInMDIChild(&member, CPoint(20, 20), CBRS_ALIGN_TOP, TRUE);
        ASSERT_TRUE(member.IsInMDIFloatWnd());
        member.m_pDockBar->GetParent()->SendMessage(WM_CLOSE);
        PumpMessages();
        EXPECT_EQ(member.m_hWnd, nullptr);
        EXPECT_EQ(CountedBar::deleted, 1);
    }
    auto* plain = new CountedBar(SZBARF_DESTROY_ON_CLOSE);
    ASSERT_TRUE(plain->Create(nullptr, L"Plain", WS_CHILD | WS_VISIBLE | CBRS_TOP, CRect(0, 0, 200, 100), &f, 3303));
    plain->EnableDocking(CBRS_ALIGN_ANY);
    f.FloatControlBar(plain, CPoint(260, 260), CBRS_ALIGN_TOP);
    plain->m_pDockBar->GetParent()->SendMessage(WM_CLOSE);
    PumpMessages();
    EXPECT_EQ(CountedBar::deleted, 3);
}

}  // namespace
