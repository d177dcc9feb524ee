// The main window and page windows of the program, in this process.
#include "AppTestSupport.h"
#include "ChildFrame.h"
#include "MainFrame.h"
#include "bars/DockBar.h"
#include "MessageBoxRecorder.h"
#include "ModalDriver.h"
#include "TempDir.h"
#include "docview/DocTemplate.h"
#include "gdi/GdiObject.h"
#include "gdi/ImageList.h"
#include "dialogs/DialogAddPage.h"
#include "page/TarveloDoc.h"
#include "page/TarveloView.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        m_frame = new CMainFrame;
        ASSERT_TRUE(m_frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
        m_app.m_pMainWnd = m_frame;
        m_template = new CMultiDocTemplate(IDR_PAGETYPE, RuntimeClass<CTarveloDoc>(), RuntimeClass<CChildFrame>(),
                                           RuntimeClass<CTarveloView>());
        m_app.AddDocTemplate(m_template);
    }
    void TearDown() override {
        for (CDocument* document : std::vector<CDocument*>(m_template->GetDocuments())) document->SetModifiedFlag(FALSE);
    }
    CString Page(const wchar_t* name) {
        CString path = m_dir / name;
        WriteFileBytes(path, "<html></html>");
        return path;
    }
    int Init(const wchar_t* name) { return static_cast<int>(m_app.GetProfileInt(L"Init", name, -1)); }

    AppTestApp m_app;
    CMainFrame* m_frame = nullptr;
    CMultiDocTemplate* m_template = nullptr;
    TempDir m_dir;
};

}  // namespace

TEST_F(MainWindow, LoadsTitleMenuAndAcceleratorsFromItsResource) {
    EXPECT_EQ(m_frame->GetWindowText(), L"Tarvelo 2.3");
    EXPECT_EQ(m_frame->GetStyle() & 0xCF8000, 0xCF8000u);
    HMENU menu = m_frame->GetMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 6);
    EXPECT_NE(m_frame->m_hAccelTable, nullptr);
    EXPECT_NE(m_frame->m_hWndMDIClient, nullptr);
}

TEST_F(MainWindow, ResizingShowsTheFormatToolbarAndDocksTheTreeBarAgain) {
    EXPECT_EQ(&m_frame->GetFormatToolBar(), &m_frame->m_wndToolBar);
    m_frame->MoveWindow(40, 50, 640, 420);
    m_frame->ShowWindow(SW_SHOW);
    m_frame->ShowControlBar(&m_frame->m_wndToolBar, FALSE, FALSE);
    m_frame->FloatControlBar(&m_frame->m_wndTreeBar, CPoint(300, 300));
    ASSERT_TRUE(m_frame->m_wndTreeBar.m_pDockBar->m_bFloating);
    m_frame->MoveWindow(40, 50, 700, 500);
    PumpMessages();
    EXPECT_TRUE(m_frame->m_wndToolBar.IsVisible());
    ASSERT_NE(m_frame->m_wndToolBar.m_pDockBar, nullptr);
    EXPECT_EQ(m_frame->m_wndToolBar.m_pDockBar->GetDlgCtrlID(), static_cast<int>(AFX_IDW_DOCKBAR_TOP));
    ASSERT_NE(m_frame->m_wndTreeBar.m_pDockBar, nullptr);
    EXPECT_FALSE(m_frame->m_wndTreeBar.m_pDockBar->m_bFloating);
    EXPECT_EQ(m_frame->m_wndTreeBar.m_pDockBar->GetDlgCtrlID(), static_cast<int>(AFX_IDW_DOCKBAR_LEFT));
    // The page area lies right of the tree bar and below the toolbar, to the client's edges.
    CRect client, pages, tree, toolbar;
    m_frame->GetClientRect(&client);
    ::GetWindowRect(m_frame->m_hWndMDIClient, &pages);
    m_frame->m_wndTreeBar.GetWindowRect(&tree);
    m_frame->m_wndToolBar.GetWindowRect(&toolbar);
    EXPECT_GE(pages.left, tree.right);
    EXPECT_GE(pages.top, toolbar.bottom);
    m_frame->ScreenToClient(&pages);
    EXPECT_EQ(pages.right, client.right);
    EXPECT_EQ(pages.bottom, client.bottom);
}

TEST_F(MainWindow, ClosingSavesThePlacementToInit) {
    m_frame->MoveWindow(40, 50, 600, 400);
    HWND window = m_frame->GetSafeHwnd();
    m_frame->SendMessage(WM_CLOSE);
    PumpMessages();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(Init(L"Left"), 40);
    EXPECT_EQ(Init(L"top"), 50);
    EXPECT_EQ(Init(L"right"), 640);
    EXPECT_EQ(Init(L"bottom"), 450);
}

TEST_F(MainWindow, ClosingWhileMinimizedLeavesInitAsItWas) {
    m_app.WriteProfileInt(L"Init", L"Left", 7);
    m_frame->ShowWindow(SW_SHOWMINIMIZED);
    m_frame->SendMessage(WM_CLOSE);
    PumpMessages();
    EXPECT_EQ(Init(L"Left"), 7);
    EXPECT_EQ(Init(L"right"), -1);
}

TEST_F(MainWindow, ClosingAsksToSaveModifiedPagesAndCancelKeepsTheWindowOpen) {
    CString path = Page(L"Notes.htm");
    CDocument* page = m_app.OpenDocumentFile(path);
    ASSERT_NE(page, nullptr);
    page->SetModifiedFlag(TRUE);

    MessageBoxRecorder boxes(IDCANCEL);
    m_frame->SendMessage(WM_CLOSE);
    PumpMessages();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, L"Save changes to " + path + L"?");
    EXPECT_EQ(boxes.Boxes()[0].caption, L"AppTests");
    EXPECT_TRUE(IsWindow(m_frame->GetSafeHwnd()));
    EXPECT_EQ(m_template->GetDocuments().size(), 1u);

    boxes.SetAnswer(IDNO);
    HWND window = m_frame->GetSafeHwnd();
    m_frame->SendMessage(WM_CLOSE);
    PumpMessages();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(m_template->GetDocuments().empty());
}

TEST_F(MainWindow, PageWindowsOpenMaximisedAndBringThePageMenu) {
    CDocument* first = m_app.OpenDocumentFile(Page(L"a.htm"));
    ASSERT_NE(first, nullptr);
    auto* frame = dynamic_cast<CChildFrame*>(first->GetViews().front()->GetParentFrame());
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->IsZoomed());
    EXPECT_EQ(m_frame->GetMenu(), m_template->m_hMenuShared);

    // Restored, then a second page: it too opens maximised.
    frame->MDIRestore();
    CDocument* second = m_app.OpenDocumentFile(Page(L"b.htm"));
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->GetViews().front()->GetParentFrame()->IsZoomed());
}

TEST_F(MainWindow, ClosingAPageFromItsCloseBoxRemembersIt) {
    CString path = Page(L"Last.htm");
    CDocument* page = m_app.OpenDocumentFile(path);
    ASSERT_NE(page, nullptr);
    // Another page in front: the close box of the window behind closes and
    // remembers that window's page.
    CString front = Page(L"Front.htm");
    ASSERT_NE(m_app.OpenDocumentFile(front), nullptr);
    page->GetViews().front()->GetParentFrame()->SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    PumpMessages();
    ASSERT_EQ(m_template->GetDocuments().size(), 1u);
    EXPECT_EQ(m_template->GetDocuments().front()->GetPathName(), front);
    EXPECT_EQ(m_app.GetProfileString(L"Settings", L"FileHot"), path);
    m_template->GetDocuments().front()->GetViews().front()->GetParentFrame()->SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    PumpMessages();
    EXPECT_TRUE(m_template->GetDocuments().empty());
    EXPECT_EQ(m_app.GetProfileString(L"Settings", L"FileHot"), front);
    EXPECT_EQ(m_frame->GetMenu(), m_frame->m_hMenuDefault);
}

// Exit ends the program in one go, however many pages are open, and the
// page left in front is the one the next start reopens.
TEST_F(MainWindow, ExitWithPagesOpenClosesTheMainWindowAndRemembersThePageInFront) {
    CString closed = Page(L"Closed.htm"), behind = Page(L"Behind.htm"), inFront = Page(L"Open.htm");
    CDocument* first = m_app.OpenDocumentFile(closed);
    ASSERT_NE(first, nullptr);
    m_frame->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    PumpMessages();
    EXPECT_EQ(m_app.GetProfileString(L"Settings", L"FileHot"), closed);
    ASSERT_NE(m_app.OpenDocumentFile(behind), nullptr);
    ASSERT_NE(m_app.OpenDocumentFile(inFront), nullptr);
    HWND window = m_frame->GetSafeHwnd();
    m_frame->SendMessage(WM_COMMAND, ID_APP_EXIT);
    PumpMessages();
    EXPECT_TRUE(m_template->GetDocuments().empty());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(m_app.GetProfileString(L"Settings", L"FileHot"), inFront);
}

namespace {
// Types into the name box and presses a button once the dialog is up.
class TypedAddPage : public CDialogAddPage {
public:
    CString m_type;
    UINT m_press = IDOK;
    bool m_focusOnName = false;
    CString m_caption, m_cancelText;

    BOOL OnInitDialog() override {
        BOOL result = CDialogAddPage::OnInitDialog();
        m_focusOnName = ::GetFocus() == m_editName.GetSafeHwnd();
        m_caption = GetWindowText();
        wchar_t cancel[32] = {};
        ::GetDlgItemTextW(GetSafeHwnd(), IDCANCEL, cancel, 32);
        m_cancelText = cancel;
        m_editName.SetWindowText(m_type);
        PostMessage(WM_COMMAND, m_press);
        return result;
    }
};
}  // namespace

TEST(NameInput, OkHandsTheTypedNameOverAndCancelKeepsTheOldOne) {
    AppTestApp app;
    TypedAddPage dialog;
    dialog.m_strName = L"old";
    dialog.m_type = L"C:\\Program Files\\Tarvelo";
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(dialog.m_focusOnName);
    EXPECT_EQ(dialog.m_caption, L"Tarvelo->Input Name");
    EXPECT_EQ(dialog.m_cancelText, L"CANCEL");
    EXPECT_EQ(dialog.m_strName, L"C:\\Program Files\\Tarvelo");

    TypedAddPage cancelled;
    cancelled.m_strName = L"old";
    cancelled.m_type = L"new";
    cancelled.m_press = IDCANCEL;
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(cancelled.m_strName, L"old");
}

TEST(NameInput, ANameGivenBackComesSelected) {
    // A name the command refused comes back to be mended or typed over.
    AppTestApp app;
    CDialogAddPage dialog;
    dialog.m_strName = L"bad:name";
    DWORD start = 1, end = 0;
    bool focused = false;
    RunModal(dialog, [&](HWND window) {
        HWND edit = GetDlgItem(window, IDC_NAME);
        focused = GetFocus() == edit;
        SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        Click(window, IDCANCEL);
    });
    EXPECT_TRUE(focused);
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 8u);
}

namespace {
HWND g_watched = nullptr;
int g_titleSets = 0;
LRESULT CALLBACK CountTitleSets(int code, WPARAM wParam, LPARAM lParam) {
    auto* call = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->hwnd == g_watched && call->message == WM_SETTEXT) ++g_titleSets;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

TEST_F(MainWindow, IdleTitleUpdateLeavesTheMaximisedPageTitleAlone) {
    m_frame->ShowWindow(SW_SHOWNORMAL);
    ASSERT_NE(m_app.OpenDocumentFile(Page(L"Title.htm")), nullptr);
    m_app.OnIdle(0);
    g_watched = m_frame->GetSafeHwnd();
    g_titleSets = 0;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, CountTitleSets, nullptr, GetCurrentThreadId());
    for (int i = 0; i < 5; ++i) m_app.OnIdle(0);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(g_titleSets, 0);
    EXPECT_EQ(m_frame->GetWindowText(), L"Tarvelo 2.3 - [Title.htm]");
}

TEST_F(MainWindow, CtrlQInThePageWindowClosesThePageThroughTheAcceleratorTable) {
    CDocument* page = m_app.OpenDocumentFile(Page(L"Keys.htm"));
    ASSERT_NE(page, nullptr);
    HWND view = page->GetViews().front()->GetSafeHwnd();

    BYTE keys[256] = {};
    GetKeyboardState(keys);
    BYTE pressed[256] = {};
    memcpy(pressed, keys, sizeof(keys));
    pressed[VK_CONTROL] = 0x80;
    SetKeyboardState(pressed);
    MSG msg{view, WM_KEYDOWN, 'Q', 0x00100001, GetTickCount(), {}};
    BOOL translated = m_app.PreTranslateMessage(&msg);
    SetKeyboardState(keys);
    PumpMessages();

    EXPECT_TRUE(translated);
    EXPECT_TRUE(m_template->GetDocuments().empty());
    EXPECT_TRUE(IsWindow(m_frame->GetSafeHwnd()));
}

TEST(Resources, TreeImagesAndTheFormatToolbarAreInTheProgram) {
    CImageList images;
    ASSERT_TRUE(images.Create(IDB_TREE_IMAGES, 16, 4, RGB(255, 0, 0)));
    EXPECT_EQ(images.GetImageCount(), 17);

    // The toolbar resource: version 1, 16 x 16 buttons, 29 entries of which 2 separators.
    HRSRC found = FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), MAKEINTRESOURCEW(241));
    ASSERT_NE(found, nullptr);
    const WORD* toolbar = static_cast<const WORD*>(LockResource(LoadResource(GetModuleHandleW(nullptr), found)));
    EXPECT_EQ(toolbar[0], 1);
    EXPECT_EQ(toolbar[1], 16);
    EXPECT_EQ(toolbar[2], 16);
    ASSERT_EQ(toolbar[3], 29);
    int separators = 0;
    for (int i = 0; i < 29; ++i) separators += toolbar[4 + i] == 0;
    EXPECT_EQ(separators, 2);
    EXPECT_EQ(toolbar[4 + 16], ID_FORMAT_ITALIC);  // the font boxes go in before "Italize"
    CBitmap buttons;
    ASSERT_TRUE(buttons.LoadBitmap(IDR_MAINFRAME));
    EXPECT_EQ(buttons.GetBitmapInfo().bmWidth, 27 * 16);
}
