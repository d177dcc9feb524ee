// The tab workspace over a real MDI frame and the 3-D tab view container in a
// real frame, driven through their own operations (the mouse drives them in
// TabHostInputTests): tabs follow children, titles, icons and the active
// child; images go with their tabs; the lone wide tab's placeholder; pages
// inserted and deleted round the active one; ids; views sharing a document.
#include "TabHost.h"
#include "docview/RuntimeClass.h"

#include <set>

namespace {

CString TabText(CTabCtrl& tab, int index) { return GetTabItemText(&tab, index); }

// A page that is a plain window (the container owns it while it is a page).
class PlainPage : public CWnd {
public:
    ~PlainPage() override { ++deleted; }
    static inline int deleted = 0;
};

// Every tab's image is its child's icon, and every listed image is shown by some tab.
void ExpectImagesMatchChildren(COXTabWorkspace& tabs, const std::vector<HICON>& images) {
    std::set<int> used;
    for (int i = 0; i < tabs.GetTabCount(); ++i) {
        int image = -1;
        GetTabItemText(&tabs, i, &image);
        const HICON icon = COXTabWorkspace::GetChildIcon(tabs.GetTabWindow(i));
        if (!icon) {
            EXPECT_EQ(image, -1);
            continue;
        }
        ASSERT_GE(image, 0);
        ASSERT_LT(image, static_cast<int>(images.size()));
        EXPECT_EQ(images[static_cast<size_t>(image)], icon) << "tab " << i;
        used.insert(image);
    }
    EXPECT_EQ(used.size(), images.size());  // no image is left behind by a tab that went
    EXPECT_EQ(ImageList_GetImageCount(tabs.GetImageList()), static_cast<int>(images.size()));
}
}  // namespace

TEST(TabWorkspace, TabsFollowChildrenTitlesIconsAndTheActiveChildAndTheClientTakesTheDisplayArea) {
    OleScope ole;
    TestApp<CWinApp> app{L"TabWorkspace"};
    TabWorkspaceHost host(app);
    ASSERT_NE(host.frame, nullptr);
    COXTabWorkspace& tabs = host.Tabs();
    ASSERT_EQ(tabs.GetTabCount(), 5);
    EXPECT_EQ(tabs.GetItemCount(), 5);
    std::set<CString> shown;
    for (int i = 0; i < 5; ++i) shown.insert(TabText(tabs, i));
    // "&" is doubled for the tab (from the first moment); the answering child names its own tab.
    EXPECT_TRUE(shown.count(L"Notes && Clips"));
    EXPECT_TRUE(shown.count(L"Answered title"));
    EXPECT_TRUE(shown.count(L"A page with a rather long title about travel plans"));
    EXPECT_EQ(tabs.GetTabWindow(tabs.GetCurSel()), host.Active());
    ExpectImagesMatchChildren(tabs, tabs.GetImageIcons());

    // The MDI client lies in the workspace's display area, below the strip.
    CRect strip, client, display;
    tabs.GetWindowRect(&strip);
    ::GetWindowRect(host.frame->m_hWndMDIClient, &client);
    tabs.GetClientRect(&display);
    tabs.AdjustRect(FALSE, &display);
    tabs.ClientToScreen(&display);
    EXPECT_GE(client.top, display.top - 1);
    EXPECT_LE(client.bottom, strip.bottom + 5);
    EXPECT_GT(client.top, strip.top + 10);

    // A child that answers nothing again is shown by its window text; a new title follows.
    host.children[3]->answer.Empty();
    host.children[3]->SetWindowText(L"R&D budget");
    tabs.UpdateContents();
    const int third = tabs.FindTab(host.children[3]->m_hWnd);
    EXPECT_EQ(TabText(tabs, third), L"R&&D budget");
    EXPECT_EQ(tabs.GetTabEntry(third).szTabTitle, L"R&D budget");

    // Activating a child selects its tab.
    ::SendMessageW(host.frame->m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(host.children[1]->m_hWnd), 0);
    mouse::Pump(30);
    EXPECT_EQ(tabs.GetTabWindow(tabs.GetCurSel()), host.children[1]->m_hWnd);
}

TEST(TabWorkspace, ImagesGoWithTheirTabsHiddenAndClosedChildrenLoseTheirTabsAndEntriesStayInStep) {
    OleScope ole;
    TestApp<CWinApp> app{L"TabWorkspaceImages"};
    TabWorkspaceHost host(app);
    ASSERT_NE(host.frame, nullptr);
    COXTabWorkspace& tabs = host.Tabs();
    const int imagesBefore = tabs.GetImageCount();

    // The only child with the warning icon goes: its image goes too, the others keep theirs.
    const HICON warning = LoadIcon(nullptr, IDI_WARNING);
    host.children[4]->MDIDestroy();
    mouse::Pump(30);
    EXPECT_EQ(tabs.GetTabCount(), 4);
    EXPECT_EQ(tabs.GetImageCount(), imagesBefore - 1);
    EXPECT_EQ(tabs.AddIcon(nullptr), -1);
    ExpectImagesMatchChildren(tabs, tabs.GetImageIcons());
    // The handle comes back on a new child: it gets an image of its own, not a stale one.
    TabHostChild* again = host.AddChild(L"Warnings", warning);
    tabs.UpdateContents(TRUE, TRUE);
    EXPECT_EQ(tabs.GetTabCount(), 5);
    ExpectImagesMatchChildren(tabs, tabs.GetImageIcons());

    // A changed icon replaces the image once icons are followed; the unused one goes.
    const int count = tabs.GetImageCount();
    again->SetIcon(LoadIcon(nullptr, IDI_ERROR), FALSE);
    tabs.UpdateContents(TRUE, TRUE);
    EXPECT_EQ(tabs.GetImageCount(), count);
    ExpectImagesMatchChildren(tabs, tabs.GetImageIcons());

    // A hidden child loses its tab at the next update; shown again, it is back.
    host.children[2]->ShowWindow(SW_HIDE);
    tabs.UpdateContents();
    EXPECT_EQ(tabs.FindTab(host.children[2]->m_hWnd), -1);
    host.children[2]->ShowWindow(SW_SHOW);
    tabs.UpdateContents();
    EXPECT_GE(tabs.FindTab(host.children[2]->m_hWnd), 0);
    // Hiding the whole frame takes no tab away: shown again, the tabs are as they were.
    std::vector<HWND> order;
    for (int i = 0; i < tabs.GetTabCount(); ++i) order.push_back(tabs.GetTabWindow(i));
    host.frame->ShowWindow(SW_HIDE);
    tabs.UpdateContents();
    EXPECT_EQ(tabs.GetTabCount(), static_cast<int>(order.size()));
    host.frame->ShowWindow(SW_SHOW);
    tabs.UpdateContents();
    for (int i = 0; i < tabs.GetTabCount(); ++i) EXPECT_EQ(tabs.GetTabWindow(i), order[static_cast<size_t>(i)]) << "tab " << i;

    // The timer's refresh walks the children again only when they may have changed: it still
    // sees every change the walk would. A title, a hidden child, a child shown again:
    auto tick = [&] { tabs.SendMessage(WM_TIMER, IDT_OX_TABUPDATE); };
    tick();
    host.children[1]->SetWindowText(L"Fares & times");
    tick();
    EXPECT_EQ(TabText(tabs, tabs.FindTab(host.children[1]->m_hWnd)), L"Fares && times");
    host.children[2]->ShowWindow(SW_HIDE);
    tick();
    EXPECT_EQ(tabs.FindTab(host.children[2]->m_hWnd), -1);
    host.children[2]->ShowWindow(SW_SHOW);
    tick();
    EXPECT_GE(tabs.FindTab(host.children[2]->m_hWnd), 0);
    // children made and destroyed past the MDI client's messages, told of by WM_PARENTNOTIFY or
    // not at all (the new one is active), a child activated past the client, and a window moved
    // in from elsewhere (it lies on top):
    WNDCLASSW rawClass{};
    rawClass.lpfnWndProc = DefMDIChildProcW;
    rawClass.hInstance = GetModuleHandleW(nullptr);
    rawClass.lpszClassName = L"TabWorkspaceRawChild";
    RegisterClassW(&rawClass);
    for (const DWORD quiet : {0ul, static_cast<unsigned long>(WS_EX_NOPARENTNOTIFY)}) {
        const int before = tabs.GetTabCount();
        HWND raw = CreateWindowExW(WS_EX_MDICHILD | quiet, rawClass.lpszClassName, L"Made by hand", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                                   10, 10, 200, 120, host.frame->m_hWndMDIClient, nullptr, rawClass.hInstance, nullptr);
        ASSERT_NE(raw, nullptr);
        tick();
        EXPECT_EQ(tabs.GetTabCount(), before + 1);
        EXPECT_GE(tabs.FindTab(raw), 0);
        // Within one tick: the window replaced by another and a known child renamed.
        HWND replacement = CreateWindowExW(WS_EX_MDICHILD | quiet, rawClass.lpszClassName, L"Its successor", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                                           20, 20, 200, 120, host.frame->m_hWndMDIClient, nullptr, rawClass.hInstance, nullptr);
        DestroyWindow(raw);
        host.children[1]->SetWindowText(quiet ? L"Quiet & renamed" : L"Renamed");
        tick();
        EXPECT_EQ(tabs.FindTab(raw), -1);
        EXPECT_GE(tabs.FindTab(replacement), 0);
        EXPECT_EQ(tabs.GetTabCount(), before + 1);
        EXPECT_EQ(TabText(tabs, tabs.FindTab(host.children[1]->m_hWnd)), quiet ? L"Quiet && renamed" : L"Renamed");
        DestroyWindow(replacement);
        tick();
        EXPECT_EQ(tabs.GetTabCount(), before);
        EXPECT_EQ(tabs.FindTab(replacement), -1);
    }
    // A window with an icon of its own destroyed past the MDI client takes its image with it.
    rawClass.lpszClassName = L"TabWorkspaceRawIconChild";
    rawClass.hIcon = LoadIcon(nullptr, IDI_QUESTION);
    RegisterClassW(&rawClass);
    const int images = tabs.GetImageCount();
    HWND withIcon = CreateWindowExW(WS_EX_MDICHILD, rawClass.lpszClassName, L"With an icon", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW,
                                    30, 30, 200, 120, host.frame->m_hWndMDIClient, nullptr, rawClass.hInstance, nullptr);
    ASSERT_NE(withIcon, nullptr);
    tick();
    ASSERT_GE(tabs.FindTab(withIcon), 0);
    EXPECT_EQ(tabs.GetImageCount(), images + 1);
    DestroyWindow(withIcon);
    tick();
    EXPECT_EQ(tabs.FindTab(withIcon), -1);
    EXPECT_EQ(tabs.GetImageCount(), images);
    ExpectImagesMatchChildren(tabs, tabs.GetImageIcons());
    for (TabHostChild* child : {host.children[0], host.children[3]}) {
        child->SendMessage(WM_CHILDACTIVATE);
        ASSERT_EQ(host.Active(), child->m_hWnd);
        tick();
        EXPECT_EQ(tabs.GetTabWindow(tabs.GetCurSel()), child->m_hWnd);
    }
    HWND elsewhere = CreateWindowExW(WS_EX_NOPARENTNOTIFY, L"STATIC", L"Moved in", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, host.frame->m_hWnd,
                                     nullptr, nullptr, nullptr);
    SetWindowLongPtrW(elsewhere, GWL_EXSTYLE, WS_EX_NOPARENTNOTIFY | WS_EX_MDICHILD);
    const HWND activeBefore = host.Active();
    SetParent(elsewhere, host.frame->m_hWndMDIClient);
    ASSERT_EQ(host.Active(), activeBefore);
    ASSERT_NE(activeBefore, nullptr);
    tick();
    EXPECT_GE(tabs.FindTab(elsewhere), 0);
    DestroyWindow(elsewhere);
    tick();
    EXPECT_EQ(tabs.FindTab(elsewhere), -1);

    // AddTab past the end lands at the end, and its entry with it.
    ASSERT_TRUE(tabs.RemoveTab(host.children[0]->m_hWnd));
    ASSERT_TRUE(tabs.AddTab(50, host.children[0]->m_hWnd, TRUE, TRUE));
    EXPECT_EQ(tabs.GetTabWindow(tabs.GetTabCount() - 1), host.children[0]->m_hWnd);
    EXPECT_FALSE(tabs.AddTab(0, host.frame->m_hWnd, TRUE, TRUE));  // not an MDI child
    for (int i = 0; i < tabs.GetTabCount(); ++i) {
        const TAB_ITEM_ENTRY& entry = tabs.GetTabEntry(i);
        CString shown = entry.szTabTitle;
        shown.Replace(L"&", L"&&");
        EXPECT_EQ(TabText(tabs, i), shown) << "tab " << i;
    }
}

TEST(TabWorkspace, ALoneTabTooWideForTheStripGetsAPlaceholderThatGoesWhenAnotherChildComes) {
    OleScope ole;
    TestApp<CWinApp> app{L"TabWorkspaceWide"};
    TabWorkspaceHost host(app, 0);
    ASSERT_NE(host.frame, nullptr);
    COXTabWorkspace& tabs = host.Tabs();
    host.frame->SetWindowPos(nullptr, 0, 0, 260, 300, SWP_NOMOVE | SWP_NOZORDER);
    host.AddChild(L"A title far too long to leave fifty pixels beside it in this narrow frame");
    mouse::Pump(60);
    tabs.UpdateContents();
    EXPECT_EQ(tabs.GetTabCount(), 1);
    EXPECT_EQ(tabs.GetItemCount(), 2);  // the empty placeholder beside it

    TabHostChild* second = host.AddChild(L"Short");
    tabs.UpdateContents();
    mouse::Pump(30);
    EXPECT_EQ(tabs.GetTabCount(), 2);
    EXPECT_EQ(tabs.GetItemCount(), 2);
    EXPECT_GE(tabs.FindTab(second->m_hWnd), 0);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(TabText(tabs, i), tabs.GetTabEntry(i).szTabTitle);

    // Down to one tab in a wide frame: no placeholder.
    second->MDIDestroy();
    host.frame->SetWindowPos(nullptr, 0, 0, 900, 400, SWP_NOMOVE | SWP_NOZORDER);
    mouse::Pump(60);
    tabs.UpdateContents();
    EXPECT_EQ(tabs.GetItemCount(), 1);
}

TEST(TabViewContainer, ViewsShareTheDocumentAndPagesInsertedOrDeletedRoundTheActiveOneKeepItActive) {
    OleScope ole;
    TestApp<CWinApp> app{L"TabViewContainer"};
    TabContainerHost host(app);
    ASSERT_NE(host.frame, nullptr);
    COX3DTabViewContainer& c = host.container;
    ASSERT_EQ(c.GetPageCount(), 3);
    EXPECT_EQ(host.document->views, 3);  // each view had its initial update once, with the one document
    std::set<UINT> ids;
    for (int i = 0; i < 3; ++i) {
        auto* view = dynamic_cast<PageView*>(c.GetPage(i));
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->GetDocument(), host.document);
        EXPECT_EQ(view->initialUpdates, 1);
        EXPECT_EQ(view->IsWindowVisible() != 0, i == c.GetActivePageIndex());
        ids.insert(static_cast<UINT>(view->GetDlgCtrlID()));
    }
    EXPECT_EQ(ids.size(), 3u);
    EXPECT_EQ(c.GetActivePageIndex(), 2);
    EXPECT_EQ(host.frame->GetActiveView(), c.GetPage(2));
    CRect page;
    c.GetActivePage()->GetWindowRect(&page);
    c.ScreenToClient(&page);
    EXPECT_EQ(page, c.GetPageRect());
    EXPECT_GT(page.Height(), 200);

    // A window inserted before the active page: the same page stays active, at its new index.
    CWnd* active = c.GetActivePage();
    CWnd note;
    ASSERT_TRUE(note.CreateEx(0, L"Edit", L"note", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), host.frame, 0));
    ASSERT_TRUE(c.InsertPage(1, &note, L"Note", -1, 0, FALSE));
    EXPECT_EQ(c.GetActivePage(), active);
    EXPECT_EQ(c.GetActivePageIndex(), 3);
    EXPECT_EQ(c.GetCurSel(), 3);
    EXPECT_FALSE(note.IsWindowVisible());  // only the active page shows
    EXPECT_TRUE(note.GetStyle() & WS_TABSTOP);
    EXPECT_FALSE(c.InsertPage(9, &note, L"Far", -1, 0, FALSE));

    // Deleting a page before the active one keeps it active.
    ASSERT_TRUE(c.DeletePage(&note, FALSE));
    EXPECT_EQ(c.GetActivePage(), active);
    EXPECT_EQ(c.GetActivePageIndex(), 2);
    ASSERT_TRUE(c.DeletePage(0, TRUE));
    EXPECT_EQ(c.GetActivePage(), active);
    EXPECT_EQ(c.GetActivePageIndex(), 1);

    // The freed id is handed out once, then fresh ones: two living pages never share an id.
    ASSERT_TRUE(c.AddPage(0, RuntimeClass<NotesView>(), nullptr, L"Again", -1, 0, FALSE));
    ASSERT_TRUE(c.AddPage(0, RuntimeClass<NotesView>(), nullptr, L"More", -1, 0, FALSE));
    ids.clear();
    for (int i = 0; i < c.GetPageCount(); ++i) ids.insert(static_cast<UINT>(c.GetPage(i)->GetDlgCtrlID()));
    EXPECT_EQ(ids.size(), static_cast<size_t>(c.GetPageCount()));
    EXPECT_EQ(c.GetActivePage(), active);

    // The active last page goes: the first page shows. The only page goes: none is active.
    ASSERT_TRUE(c.SetActivePage(c.GetPageCount() - 1));
    ASSERT_TRUE(c.DeletePage(c.GetPageCount() - 1, TRUE));
    EXPECT_EQ(c.GetActivePageIndex(), 0);
    EXPECT_TRUE(c.GetPage(0)->IsWindowVisible());
    while (c.GetPageCount() > 1) ASSERT_TRUE(c.DeletePage(1, TRUE));
    ASSERT_TRUE(c.DeletePage(0, TRUE));
    EXPECT_EQ(c.GetActivePageIndex(), -1);
    EXPECT_EQ(c.GetActivePage(), nullptr);
    EXPECT_FALSE(c.DeletePage(0, TRUE));
    EXPECT_FALSE(c.SetActivePage(3));
}

TEST(TabViewContainer, CreatedWithAnotherClassItTakesItsOwnStyleAndALoneWideTabKeepsTheSecondPageAndAKeptPageIsTheCallers) {
    OleScope ole;
    TestApp<CWinApp> app{L"TabViewContainerCreate"};
    CFrameWnd* frame = new CFrameWnd;
    ASSERT_TRUE(frame->CreateEx(0, nullptr, L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 240, 300), nullptr, 0));
    CWnd* given = nullptr;
    {
        COX3DTabViewContainer c;
        ASSERT_TRUE(c.Create(L"Other", L"Pages", WS_CHILD | WS_BORDER | TCS_BUTTONS, CRect(0, 0, 220, 250), frame, 1));
        EXPECT_EQ(c.GetStyle() & ~(WS_CLIPCHILDREN | WS_CLIPSIBLINGS), COX3DTabViewContainer::kDefaultStyle);
        EXPECT_EQ(c.GetWindowText(), L"Pages");
        EXPECT_TRUE(c.GetExStyle() & WS_EX_CONTROLPARENT);

        CWnd first, second;
        ASSERT_TRUE(first.CreateEx(0, L"Static", L"1", WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), frame, 0));
        ASSERT_TRUE(second.CreateEx(0, L"Static", L"2", WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), frame, 0));
        ASSERT_TRUE(c.InsertPage(0, &first, L"A title far too long for the narrow container to show beside it"));
        ASSERT_TRUE(c.InsertPage(1, &second, L"Two", -1, 0, FALSE));
        c.RecalcLayout();
        EXPECT_EQ(c.GetPageCount(), 2);
        EXPECT_EQ(c.GetPage(1), &second);
        c.DeletePage(1, FALSE);
        c.DeletePage(0, FALSE);

        // A page the container made and handed back is the caller's: its end takes neither the
        // window nor the object with it.
        ASSERT_TRUE(c.AddPage(0, RuntimeClass<PlainPage>(), nullptr, L"Plain"));
        given = c.GetPage(0);
        ASSERT_TRUE(c.DeletePage(0, FALSE));
        ::SetParent(given->m_hWnd, frame->m_hWnd);
    }
    ASSERT_EQ(PlainPage::deleted, 0);
    EXPECT_TRUE(::IsWindow(given->m_hWnd));
    delete given;
    EXPECT_EQ(PlainPage::deleted, 1);
    frame->DestroyWindow();
    PumpMessages();
}
