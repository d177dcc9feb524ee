// The main window's menus and commands, and the source view's save.
#include "MessageBoxRecorder.h"
#include "ModalDriver.h"
#include "TreeFixture.h"
#include "Utf16Bytes.h"
#include "docview/Document.h"
#include "docview/View.h"
#include "gdi/DC.h"
#include "page/TarveloDoc.h"
#include "resource.h"
#include "source/SourceDoc.h"
#include "docview/PrintInfo.h"
#include "docview/RichEditDoc.h"
#include "source/SourceView.h"
#include "wnd/MDIChildWnd.h"

#include <algorithm>
#include <atomic>
#include <set>
#include <thread>

namespace {

void CollectCommands(HMENU menu, std::vector<UINT>& ids) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (HMENU popup = GetSubMenu(menu, i)) CollectCommands(popup, ids);
        else if (UINT id = GetMenuItemID(menu, i); id != 0 && id != static_cast<UINT>(-1)) ids.push_back(id);
    }
}

bool Enabled(CCmdTarget* target, UINT id) {
    CTestCmdUI state;
    state.m_nID = id;
    state.DoUpdate(target, TRUE);
    return state.m_bEnabled;
}

// Answers the name dialog from another thread: types the text and presses OK.
void AnswerNameDialog(DWORD threadId, const wchar_t* text, std::atomic<bool>* done) {
    for (int tries = 0; tries < 400 && !*done; ++tries) {
        HWND found = nullptr;
        EnumThreadWindows(
            threadId,
            [](HWND hwnd, LPARAM data) CALLBACK {
                wchar_t title[64] = {};
                GetWindowTextW(hwnd, title, 64);
                if (lstrcmpW(title, L"Tarvelo->Input Name") == 0) *reinterpret_cast<HWND*>(data) = hwnd;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        if (found) {
            SendMessageW(GetDlgItem(found, IDC_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
            PostMessageW(found, WM_COMMAND, IDOK, 0);
            return;
        }
        Sleep(25);
    }
}

}  // namespace

TEST_F(TreeWindow, MenuCommandsAreEnabledAsBuiltAndRunWithoutThrowing) {
    Page(L"Page.htm");
    OpenWindow();
    std::vector<UINT> ids;
    CollectCommands(m_frame->GetMenu(), ids);
    // Every command of the main window and the tree works; the editor's and
    // the other tools' commands stay greyed until they are there.
    for (UINT id : {ID_FILE_NEW_PAGE, ID_FILE_NEW_FOLDER, ID_FILE_RENAME, ID_FILE_DELETE, ID_FILE_REFRESH_TREE,
                    ID_VIEW_LEFT_BAR, ID_VIEW_STATUS_BAR, ID_WINDOW_MAXIMIZE, ID_WINDOW_MINIMIZE})
        EXPECT_TRUE(Enabled(m_frame, id)) << id;
    EXPECT_FALSE(Enabled(m_frame, ID_EDIT_INSERT_PICTURE_MENU));
    EXPECT_FALSE(Enabled(m_frame, ID_FORMAT_COLOR));  // no page active
    for (UINT id : ids) EXPECT_NE(std::find(ids.begin(), ids.end(), id), ids.end());

    MessageBoxRecorder boxes;
    // The commands without a menu entry arrive all the same.
    // Export-selected shows the export dialog for a labelled selection, and says when there is none.
    bool exportShown = false;
    Tree().SelectItem(Tree().GetRootItem());
    RunWithWindow(
        L"Tarvelo->Export", [&] { m_frame->SendMessage(WM_COMMAND, ID_EXPORT_SELECTED); },
        [&](HWND dialog) {
            exportShown = true;
            Click(dialog, IDCANCEL);
        });
    EXPECT_TRUE(exportShown);
    Tree().SelectItem(nullptr);
    m_frame->SendMessage(WM_COMMAND, ID_EXPORT_SELECTED);
    EXPECT_TRUE(boxes.Saw(L"No item selected"));
    m_frame->SendMessage(WM_COMMAND, ID_VIEW_SOURCE);
    EXPECT_TRUE(boxes.Saw(L"Please select a file on the left side to view its source code!"));
    m_frame->SendMessage(WM_COMMAND, ID_SHOW_OPEN_COUNT);
    EXPECT_EQ(boxes.Boxes().back().text, L"1");

    // Left bar and status bar toggle, and the check marks follow.
    m_frame->SendMessage(WM_COMMAND, ID_VIEW_LEFT_BAR);
    EXPECT_FALSE(m_frame->m_wndTreeBar.IsWindowVisible());
    m_frame->SendMessage(WM_COMMAND, ID_DOCK_TREE_BAR);
    EXPECT_TRUE(m_frame->m_wndTreeBar.IsWindowVisible());
    EXPECT_FALSE(m_frame->m_wndStatusBar.IsWindowVisible());
    m_frame->SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(m_frame->m_wndStatusBar.IsWindowVisible());
    // Its lock key panes are as wide as their texts, and Caps Lock lights its own.
    CStatusBar& status = m_frame->m_wndStatusBar;
    auto paneText = [&](int index) {
        wchar_t text[32] = {};
        if (LOWORD(status.SendMessage(SB_GETTEXTLENGTHW, index)) < 32)
            status.SendMessage(SB_GETTEXTW, index, reinterpret_cast<LPARAM>(text));
        return CString(text);
    };
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE capsBefore = keys[VK_CAPITAL];
    auto setCaps = [&](bool on) {
        keys[VK_CAPITAL] = on ? 1 : 0;
        SetKeyboardState(keys);
        status.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    };
    setCaps(true);
    HDC statusDc = GetDC(status.m_hWnd);
    auto font = reinterpret_cast<HGDIOBJ>(status.SendMessage(WM_GETFONT));
    HGDIOBJ oldFont = SelectObject(statusDc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    const wchar_t* lockTexts[] = {L"CAP", L"NUM", L"SCRL"};
    for (int pane = 1; pane <= 3; ++pane) {
        EXPECT_EQ(status.GetPaneText(pane), lockTexts[pane - 1]);
        SIZE extent{};
        GetTextExtentPoint32W(statusDc, lockTexts[pane - 1], lstrlenW(lockTexts[pane - 1]), &extent);
        CRect rect;
        status.GetItemRect(pane, &rect);
        EXPECT_GE(rect.Width(), extent.cx + 6) << pane;
    }
    SelectObject(statusDc, oldFont);
    ReleaseDC(status.m_hWnd, statusDc);
    EXPECT_EQ(paneText(1), L"CAP");
    setCaps(false);
    EXPECT_EQ(paneText(1), L"");
    keys[VK_CAPITAL] = capsBefore;
    SetKeyboardState(keys);
    HMENU view = GetSubMenu(m_frame->GetMenu(), 2);
    m_frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 2);
    EXPECT_TRUE(GetMenuState(view, ID_VIEW_STATUS_BAR, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(view, ID_VIEW_LEFT_BAR, MF_BYCOMMAND) & MF_CHECKED);
    // The tree stands left of the pages.
    CRect bar, client;
    m_frame->m_wndTreeBar.GetWindowRect(&bar);
    GetWindowRect(m_frame->m_hWndMDIClient, &client);
    EXPECT_LE(bar.right, client.left);
    EXPECT_EQ(bar.Width(), 190);
    // Its inner edge (in its frame, outside its client area) drags it wider, and never narrower than
    // 33 pixels; a halftone tracker shows the place while the button is down and the bar takes it on
    // release, unless the system shows window contents while dragging: then it follows at once.
    CSizeBar& treeBar = m_frame->m_wndTreeBar;
    BOOL fullDrag = FALSE;
    SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &fullDrag, 0);
    auto drag = [&](int dx, BOOL live) {
        SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, live, nullptr, 0);
        treeBar.SendMessage(WM_SETTINGCHANGE, SPI_SETDRAGFULLWINDOWS);
        const CPoint grab = treeBar.EdgeRect().CenterPoint();
        EXPECT_EQ(treeBar.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(grab.x, grab.y)), HTRIGHT);
        treeBar.SendMessage(WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(grab.x, grab.y));
        EXPECT_TRUE(treeBar.IsTracking());
        CPoint to(grab.x + dx, grab.y);
        treeBar.ScreenToClient(&to);
        CRect shown;
        treeBar.GetWindowRect(&shown);
        treeBar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        CRect during;
        treeBar.GetWindowRect(&during);
        if (live) EXPECT_EQ(during.Width(), treeBar.m_szVert.cx);
        else EXPECT_EQ(during.Width(), shown.Width());
        treeBar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
        EXPECT_FALSE(treeBar.IsTracking());
    };
    drag(60, FALSE);
    EXPECT_EQ(treeBar.m_szVert.cx, 250);
    treeBar.GetWindowRect(&bar);
    EXPECT_EQ(bar.Width(), 250);
    drag(-400, FALSE);
    EXPECT_EQ(treeBar.m_szVert.cx, 33);
    drag(70, TRUE);
    EXPECT_EQ(treeBar.m_szVert.cx, 103);
    SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, fullDrag, nullptr, 0);
    treeBar.SendMessage(WM_SETTINGCHANGE, SPI_SETDRAGFULLWINDOWS);
    // The toolbar's id toggles the toolbar.
    m_frame->SendMessage(WM_COMMAND, ID_FORMAT_TOOLBAR);
    EXPECT_FALSE(m_frame->m_wndToolBar.IsWindowVisible());

    // F11 maximises and restores; Ctrl+M minimises; F11 on a minimised window maximises.
    m_frame->SendMessage(WM_COMMAND, ID_WINDOW_MAXIMIZE);
    EXPECT_TRUE(m_frame->IsZoomed());
    m_frame->SendMessage(WM_COMMAND, ID_WINDOW_MAXIMIZE);
    EXPECT_FALSE(m_frame->IsZoomed());
    m_frame->SendMessage(WM_COMMAND, ID_WINDOW_MINIMIZE);
    EXPECT_TRUE(m_frame->IsIconic());
    m_frame->SendMessage(WM_COMMAND, ID_WINDOW_MAXIMIZE);
    EXPECT_TRUE(m_frame->IsZoomed());
    m_frame->ShowWindow(SW_RESTORE);

    // New page through its name dialog, typed as the user types it.
    std::atomic<bool> done{false};
    std::thread answer(AnswerNameDialog, GetCurrentThreadId(), L"Typed", &done);
    m_frame->SendMessage(WM_COMMAND, ID_FILE_NEW_PAGE);
    done = true;
    answer.join();
    EXPECT_TRUE(PathExists(Full(L"Typed.htm")));

    // The Window menu lists the open page by its name.
    PumpMessages();
    HMENU menu = m_frame->GetMenu();
    HMENU window = CMDIFrameWnd::FindWindowMenu(menu);
    CString items;
    for (int i = 0; i < GetMenuItemCount(window); ++i) {
        wchar_t text[128] = {};
        GetMenuStringW(window, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        items += CString(text) + L"|";
    }
    EXPECT_NE(items.Find(L"1 Typed.htm"), -1) << ::testing::PrintToString(items);

    // Refresh closes every page window and fills the tree again.
    m_frame->SendMessage(WM_COMMAND, ID_FILE_REFRESH_TREE);
    EXPECT_TRUE(m_pages->GetDocuments().empty());
    EXPECT_NE(Item(L"Typed.htm"), nullptr);
    EXPECT_EQ(Tree().m_itemsByPath.size(), Tree().GetCount());
}

TEST_F(TreeWindow, MenusOpenOwnerDrawnWithTheToolbarsImages) {
    OpenWindow();
    HMENU file = GetSubMenu(m_frame->GetMenu(), 0);
    m_frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    ASSERT_TRUE(GetMenuItemInfoW(file, ID_FILE_SAVE, FALSE, &info));
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
    // The items of toolbar buttons show the buttons' images.
    const COXImageInfo* save = m_frame->m_menuOrganizer.GetImageInfo(ID_FILE_SAVE);
    ASSERT_NE(save, nullptr);
    EXPECT_FALSE(save->defaultImage);
    EXPECT_EQ(save->imageIndex, 2);
    EXPECT_EQ(save->ImageSize().cx, 16);
    MEASUREITEMSTRUCT measure{ODT_MENU, 0, ID_FILE_SAVE, 0, 0, info.dwItemData};
    m_frame->SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    EXPECT_GT(measure.itemWidth, 16u);
    EXPECT_GE(measure.itemHeight, 16u);
    // Drawn, an item shows its button's picture at its left, where an item
    // without a button shows only its background.
    auto leftColours = [&](UINT id) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_DATA;
        GetMenuItemInfoW(file, id, FALSE, &item);
        const int width = static_cast<int>(measure.itemWidth), height = static_cast<int>(measure.itemHeight);
        HDC memory = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateBitmap(width, height, 1, 32, nullptr);
        HGDIOBJ old = SelectObject(memory, bitmap);
        DRAWITEMSTRUCT draw{ODT_MENU, 0, id, ODA_DRAWENTIRE, 0, reinterpret_cast<HWND>(file), memory,
                            RECT{0, 0, width, height}, item.dwItemData};
        m_frame->SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
        std::set<COLORREF> colours;
        for (int x = 0; x < 20; ++x)
            for (int y = 0; y < height; ++y) colours.insert(GetPixel(memory, x, y));
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        return colours.size();
    };
    EXPECT_GT(leftColours(ID_FILE_SAVE), leftColours(ID_FILE_RENAME));
    // Commands still run from their items and keep their state.
    EXPECT_EQ(GetMenuItemID(file, 0), static_cast<UINT>(ID_FILE_NEW_PAGE));
}

TEST_F(TreeWindow, ColourButtonsGetTheirStripAndTheSkinDrawsTheRest) {
    OpenWindow();
    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateBitmap(1200, 60, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(memory.m_hDC, bitmap);
    RECT white{0, 0, 1200, 60};
    FillRect(memory.m_hDC, &white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    NMTBCUSTOMDRAW draw{};
    draw.nmcd.hdc = memory.m_hDC;
    draw.nmcd.rc = RECT{0, 0, 40, 24};
    draw.nmcd.dwItemSpec = ID_FORMAT_COLOR;
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    OXTBCUSTOMDRAWRELAY relay{{nullptr, ID_FORMAT_TOOLBAR, OXTBN_CUSTOMDRAWRELAY}, &draw, 5, TRUE};
    m_frame->SendMessage(WM_NOTIFY, ID_FORMAT_TOOLBAR, reinterpret_cast<LPARAM>(&relay));
    EXPECT_EQ(relay.result, 0);
    EXPECT_TRUE(relay.bDoDefault);

    // At the item's post-paint the strip takes the shadow colour (no page open), and the skin
    // still draws its own share of the stage.
    draw.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
    m_frame->SendMessage(WM_NOTIFY, ID_FORMAT_TOOLBAR, reinterpret_cast<LPARAM>(&relay));
    EXPECT_EQ(relay.result, 0);
    EXPECT_TRUE(relay.bDoDefault);
    CRect button;
    m_frame->m_wndToolBar.GetItemRect(m_frame->m_wndToolBar.CommandToIndex(ID_FORMAT_COLOR), &button);
    CRect strip = CMainFrame::ColorStripRect(button, m_frame->m_wndToolBar.GetDropDownArrowWidth());
    EXPECT_EQ(strip.Height(), 3);
    EXPECT_EQ(GetPixel(memory.m_hDC, strip.left + 1, strip.top + 1), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetPixel(memory.m_hDC, strip.left + 1, strip.top - 2), RGB(255, 255, 255));

    // Other buttons are left to the skin.
    relay.bDoDefault = TRUE;
    draw.nmcd.dwItemSpec = ID_FORMAT_BOLD;
    m_frame->SendMessage(WM_NOTIFY, ID_FORMAT_TOOLBAR, reinterpret_cast<LPARAM>(&relay));
    EXPECT_TRUE(relay.bDoDefault);
    SelectObject(memory.m_hDC, old);
    DeleteObject(bitmap);
}

TEST_F(TreeWindow, SourceViewShowsThePageAndEverySaveWritesUtf16OnlyWhenItSucceeds) {
    CString path = Page(L"Src.htm");
    const CString original = L"<html id=tq1>\n<P>first\tline \x00E9\x20AC</P>\n\n<P>second</P>";
    WriteFileBytes(path, Utf16Bytes(original));
    OpenWindow();
    Tree().OpenPage(Item(L"Src.htm"));
    m_frame->SendMessage(WM_COMMAND, ID_VIEW_SOURCE);  // from the active page window

    ASSERT_EQ(m_sources->GetDocuments().size(), 1u);
    EXPECT_TRUE(m_pages->GetDocuments().empty());  // the page's own window closed first
    CDocument* document = m_sources->GetDocuments().front();
    auto* view = dynamic_cast<CSourceView*>(document->GetViews().front());
    ASSERT_NE(view, nullptr);
    CString shown = original;
    shown.Replace(L"\n", L"\r");  // the control's paragraphs
    EXPECT_EQ(view->GetSourceText(), shown);
    EXPECT_FALSE(document->IsModified());
    // The container's commands answer: no linked object, no selected object;
    // and an object is never taken into a page's source.
    for (UINT id : {ID_OLE_EDIT_LINKS, ID_OLE_VERB_FIRST, ID_OLE_VERB_LAST}) {
        CTestCmdUI state;
        state.m_nID = id;
        EXPECT_TRUE(state.DoUpdate(document, FALSE)) << id;
        EXPECT_FALSE(state.m_bEnabled) << id;
    }
    EXPECT_EQ(view->QueryInsertObject(CLSID_NULL, nullptr, 0), S_FALSE);
    // Saved unchanged, the page comes back byte for byte.
    m_frame->SendMessage(WM_COMMAND, ID_FILE_SAVE);
    EXPECT_EQ(ReadFileBytes(path), Utf16Bytes(original));

    // A shorter text replaces the page exactly, with its byte-order mark.
    view->SendMessage(EM_SETSEL, 0, -1);
    view->SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"<html>short</html>"));
    EXPECT_TRUE(document->IsModified());
    m_frame->SendMessage(WM_COMMAND, ID_FILE_SAVE);
    EXPECT_EQ(ReadFileBytes(path), Utf16Bytes(L"<html>short</html>"));
    EXPECT_FALSE(document->IsModified());

    // A write that fails keeps the edits marked modified.
    MessageBoxRecorder boxes(IDYES);
    view->SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"<P>more</P>"));
    HANDLE lock = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    m_frame->SendMessage(WM_COMMAND, ID_FILE_SAVE);
    CloseHandle(lock);
    EXPECT_EQ(boxes.Boxes().back().text, L"File not Open, A Error Happened While Openning the File.");
    EXPECT_TRUE(document->IsModified());
    EXPECT_EQ(ReadFileBytes(path), Utf16Bytes(L"<html>short</html>"));

    // "Yes" to the question at closing writes through the same writer; the
    // lines end with line feeds as in every page file.
    view->SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\r\n<P>last</P>"));
    view->GetParentFrame()->SendMessage(WM_CLOSE);
    PumpMessages();
    EXPECT_TRUE(m_sources->GetDocuments().empty());
    EXPECT_EQ(ReadFileBytes(path), Utf16Bytes(L"<html>short</html><P>more</P>\n<P>last</P>"));
}

TEST_F(TreeWindow, SourceViewPrintsItsWholeTextPageByPage) {
    CString body;
    for (int i = 0; i < 400; ++i) body.AppendFormat(L"<P>line %d of the page</P>\n", i);
    Page(L"Long.htm", body);
    OpenWindow();
    Tree().SelectItem(Item(L"Long.htm"));
    m_frame->SendMessage(WM_COMMAND, ID_VIEW_SOURCE);  // from the tree's selection
    ASSERT_EQ(m_sources->GetDocuments().size(), 1u);
    auto* view = dynamic_cast<CSourceView*>(m_sources->GetDocuments().front()->GetViews().front());
    ASSERT_NE(view, nullptr);

    // Laid out on paper of the screen's size: some 50 lines of 10 points on each page.
    CDC paper;
    paper.Attach(CreateCompatibleDC(nullptr));
    auto pages = [&](const CString& text) {
        if (!text.IsEmpty()) view->ShowSource(text);
        CPrintInfo info;
        info.m_rectDraw = CRect(0, 0, paper.GetDeviceCaps(HORZRES), paper.GetDeviceCaps(VERTRES));
        view->OnBeginPrinting(&paper, &info);
        const UINT count = info.GetMaxPage();
        view->OnEndPrinting(&paper, &info);
        return count;
    };
    const UINT printed = pages(L"");
    EXPECT_GE(printed, 400u / 80);
    EXPECT_LE(printed, 400u / 30 + 1);
    EXPECT_EQ(pages(L"<html>short</html>"), 1u);
    // A line longer than the page is wide wraps instead of running off the page.
    CString longLine;
    for (int i = 0; i < 6000; ++i) longLine += L"word ";
    EXPECT_GT(pages(longLine), 1u);
    EXPECT_GT(pages(CString(L'x', 20000)), 1u);
}

TEST_F(TreeWindow, TreeBarDocksOnEitherSideFloatsAndLeftBarBringsItBackLeft) {
    OpenWindow();
    CSizeBar& bar = m_frame->m_wndTreeBar;

    // At the right its inner edge faces left: dragging that edge left widens it.
    m_frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_RIGHT);
    m_frame->RecalcLayout();
    EXPECT_EQ(bar.DockSide(), static_cast<UINT>(AFX_IDW_DOCKBAR_RIGHT));
    CRect placed, client;
    bar.GetWindowRect(&placed);
    GetWindowRect(m_frame->m_hWndMDIClient, &client);
    EXPECT_GE(placed.left, client.right);
    EXPECT_EQ(placed.Width(), 190);
    const CPoint grab = bar.EdgeRect().CenterPoint();
    EXPECT_LT(grab.x, placed.left + placed.Width() / 2);
    EXPECT_EQ(bar.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(grab.x, grab.y)), HTLEFT);
    bar.SendMessage(WM_NCLBUTTONDOWN, HTLEFT, MAKELPARAM(grab.x, grab.y));
    CPoint to(grab.x - 40, grab.y);
    bar.ScreenToClient(&to);
    bar.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    EXPECT_EQ(bar.m_szVert.cx, 230);
    bar.GetWindowRect(&placed);
    EXPECT_EQ(placed.Width(), 230);

    // Floating: the small frame's caption replaces the bar's own, the tree fills the bar.
    m_frame->FloatControlBar(&bar, CPoint(300, 300));
    EXPECT_TRUE(bar.IsFloating());
    EXPECT_FALSE(bar.HasCaption());
    EXPECT_TRUE(bar.CloseButtonRect().IsRectEmpty());
    EXPECT_TRUE(bar.EdgeRect().IsRectEmpty());
    CRect inside, tree;
    bar.GetClientRect(&inside);
    Tree().GetClientRect(&tree);
    EXPECT_GE(tree.Width(), inside.Width() - 8);

    // "Left Bar" hides it and shows it again docked at the left, with its size.
    m_frame->SendMessage(WM_COMMAND, ID_VIEW_LEFT_BAR);
    EXPECT_FALSE(bar.IsWindowVisible());
    m_frame->SendMessage(WM_COMMAND, ID_VIEW_LEFT_BAR);
    EXPECT_TRUE(bar.IsWindowVisible());
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_EQ(bar.DockSide(), static_cast<UINT>(AFX_IDW_DOCKBAR_LEFT));
    bar.GetWindowRect(&placed);
    GetWindowRect(m_frame->m_hWndMDIClient, &client);
    EXPECT_LE(placed.right, client.left);
    bar.SaveState(L"Tarvelo");
    EXPECT_EQ(m_app.GetProfileInt(L"Init", L"TreeVX", 0), 230u);

    // The caption strip and the close button lie in the bar's frame: the button is raised while the
    // mouse is over it, and a release on it hides the bar.
    const CRect close = bar.CloseButtonRect();
    ASSERT_FALSE(close.IsRectEmpty());
    CRect clientOnScreen;
    bar.GetClientRect(&clientOnScreen);
    bar.ClientToScreen(&clientOnScreen);
    EXPECT_LT(close.top, clientOnScreen.top);
    EXPECT_EQ(bar.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(close.CenterPoint().x, close.CenterPoint().y)), HTCLOSE);
    SetCursorPos(close.CenterPoint().x, close.CenterPoint().y);
    bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_TRUE(bar.IsCloseRaised());
    EXPECT_FALSE(bar.IsClosePushed());
    // Read through the bar's own window DC: another program's window over the spot does not count.
    CRect barOnScreen;
    bar.GetWindowRect(&barOnScreen);
    HDC barDc = GetWindowDC(bar.m_hWnd);
    EXPECT_EQ(GetPixel(barDc, close.left - 3 - barOnScreen.left, close.top + 1 - barOnScreen.top), GetSysColor(COLOR_BTNSHADOW));
    ReleaseDC(bar.m_hWnd, barDc);
    bar.SendMessage(WM_NCLBUTTONUP, HTCLOSE, MAKELPARAM(close.CenterPoint().x, close.CenterPoint().y));
    EXPECT_FALSE(bar.IsWindowVisible());
    SetCursorPos(0, 0);

    // Docked across the frame (a bar that allows it) the caption runs down its left side and the
    // edge facing the pages is the bottom one.
    m_frame->SendMessage(WM_COMMAND, ID_VIEW_LEFT_BAR);
    bar.EnableDocking(CBRS_ALIGN_ANY);
    m_frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    m_frame->RecalcLayout();
    ASSERT_EQ(bar.DockSide(), static_cast<UINT>(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ(bar.FacingEdge(), static_cast<UINT>(HTBOTTOM));
    bar.GetWindowRect(&placed);
    bar.GetClientRect(&clientOnScreen);
    bar.ClientToScreen(&clientOnScreen);
    const CRect across = bar.CloseButtonRect();
    EXPECT_LT(across.left, placed.left + 10);
    EXPECT_LT(across.left, clientOnScreen.left);
    EXPECT_EQ(bar.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(bar.EdgeRect().CenterPoint().x, bar.EdgeRect().CenterPoint().y)), HTBOTTOM);
}

// The tree and the toolbar paint through a buffer: what reaches the screen has
// the background (no stale pixels), the items' texts and the buttons' pictures.
TEST_F(TreeWindow, TreeAndToolbarReachTheScreenWholeFromTheirBuffers) {
    OpenWindow();
    // `repaint` is redrawn (with its children) after `wnd` was blackened.
    auto screenPixels = [](CWnd& wnd, CWnd& repaint, CRect& client) {
        wnd.GetClientRect(&client);
        HDC window = GetDC(wnd.m_hWnd);
        HDC memory = CreateCompatibleDC(window);
        HBITMAP bitmap = CreateCompatibleBitmap(window, client.Width(), client.Height());
        HGDIOBJ old = SelectObject(memory, bitmap);
        RECT all = client;
        FillRect(window, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        RedrawWindow(repaint.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        BitBlt(memory, 0, 0, client.Width(), client.Height(), window, 0, 0, SRCCOPY);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < client.Height(); ++y)
            for (int x = 0; x < client.Width(); ++x) pixels.push_back(GetPixel(memory, x, y));
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(wnd.m_hWnd, window);
        return pixels;
    };
    auto at = [](const std::vector<COLORREF>& pixels, const CRect& client, int x, int y) {
        return pixels[static_cast<size_t>(y * client.Width() + x)];
    };

    CRect client;
    std::vector<COLORREF> tree = screenPixels(Tree(), Tree(), client);
    ASSERT_GT(client.Height(), 40);
    EXPECT_EQ(at(tree, client, client.Width() - 3, client.Height() - 3), GetSysColor(COLOR_WINDOW));
    CRect label;
    ASSERT_TRUE(Tree().GetItemRect(Tree().GetRootItem(), &label, TRUE));
    std::set<COLORREF> labelColours;
    for (int y = label.top; y < label.bottom; ++y)
        for (int x = label.left; x < label.right; ++x) labelColours.insert(at(tree, client, x, y));
    EXPECT_GE(labelColours.size(), 2u);  // the root's text on its background
    EXPECT_EQ(std::count(tree.begin(), tree.end(), RGB(0, 0, 0)) * 4 < static_cast<long>(tree.size()), true);

    CToolBar& bar = m_frame->m_wndToolBar;
    std::vector<COLORREF> toolbar = screenPixels(bar, *bar.GetParent(), client);
    CRect button;
    bar.GetItemRect(bar.CommandToIndex(ID_FORMAT_BOLD), &button);
    std::set<COLORREF> buttonColours;
    for (int y = button.top; y < button.bottom; ++y)
        for (int x = button.left; x < button.right; ++x) buttonColours.insert(at(toolbar, client, x, y));
    EXPECT_GE(buttonColours.size(), 2u);  // the picture on the bar's background
    EXPECT_EQ(buttonColours.count(RGB(0, 0, 0)) == 0 || buttonColours.size() > 2, true);
}

TEST_F(TreeWindow, RefreshOfAPageKeepsItsOpenMarkAndTheWindowListShowsTitlesAsTheyStand) {
    Page(L"Diary & Plans.htm", L"plans");
    Page(L"Other.htm", L"other");
    OpenWindow();
    Tree().OpenPage(Item(L"Diary & Plans.htm"));
    CDocument* before = OpenDocument(L"Diary & Plans.htm");
    ASSERT_NE(before, nullptr);
    ASSERT_EQ(Count(L"Diary & Plans.htm"), 1);

    // F5 shows the page anew in a window of its own; the tree still marks it open.
    m_frame->SendMessage(WM_COMMAND, ID_VIEW_REFRESH);
    PumpMessages();
    ASSERT_NE(OpenDocument(L"Diary & Plans.htm"), nullptr);
    EXPECT_EQ(Count(L"Diary & Plans.htm"), 1);
    EXPECT_EQ(Image(Item(L"Diary & Plans.htm")), kPageOpen);
    EXPECT_EQ(Count(L""), 2);  // the root: its fill and the one open page
    // A page the tree never opened stays without a mark through its refresh.
    ASSERT_NE(m_app.OpenDocumentFile(Full(L"Other.htm")), nullptr);
    m_frame->SendMessage(WM_COMMAND, ID_VIEW_REFRESH);
    PumpMessages();
    EXPECT_EQ(Count(L"Other.htm"), 0);
    EXPECT_EQ(Image(Item(L"Other.htm")), kPageImage);

    // The Window menu lists "Diary & Plans" with its "&" as a character.
    HMENU window = CMDIFrameWnd::FindWindowMenu(m_frame->GetMenu());
    ASSERT_NE(window, nullptr);
    m_frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(window), 4);
    std::set<CString> entries;
    for (int i = 0; i < GetMenuItemCount(window); ++i) {
        UINT id = GetMenuItemID(window, i);
        if (id < AFX_IDM_FIRST_MDICHILD || id >= AFX_IDM_FIRST_MDICHILD + 9) continue;
        wchar_t text[128] = {};
        GetMenuStringW(window, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
        entries.insert(text);
    }
    EXPECT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries.count(L"&1 Diary && Plans.htm") || entries.count(L"&2 Diary && Plans.htm"))
        << ::testing::PrintToString(std::vector<CString>(entries.begin(), entries.end()));
    EXPECT_EQ(WindowListEntryText(3, L"A && B & C"), L"&3 A &&&& B && C");
}
