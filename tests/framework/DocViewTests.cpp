#include "DocViewFixture.h"
#include "MessageBoxRecorder.h"

TEST_F(DocViewTest, CommandRoutingAsksViewThenDocumentThenApplicationThenFrame) {
    CString path = WritePage(L"page.htm");
    ASSERT_NE(m_app.OpenDocumentFile(path), nullptr);

    m_frame->SendMessage(WM_COMMAND, 1001);  // view, document and application handle it
    m_frame->SendMessage(WM_COMMAND, 1002);  // document and application
    m_frame->SendMessage(WM_COMMAND, 1003);  // application and main frame
    m_frame->SendMessage(WM_COMMAND, 1004);  // main frame only
    m_frame->SendMessage(WM_COMMAND, 1099);  // nobody
    EXPECT_EQ(g_trace, L"view;doc;app;frame;");
}

TEST_F(DocViewTest, CommandDisabledByItsUpdateHandlerIsNotRun) {
    ASSERT_NE(m_app.OpenDocumentFile(WritePage(L"page.htm")), nullptr);
    m_frame->SendMessage(WM_COMMAND, MAKEWPARAM(1005, 1));  // as an accelerator sends it
    m_frame->SendMessage(WM_COMMAND, 1005);
    EXPECT_EQ(g_trace, L"");
}

TEST_F(DocViewTest, MenuItemsWithoutHandlerAreGreyedWhenTheMenuOpens) {
    ASSERT_NE(m_app.OpenDocumentFile(WritePage(L"page.htm")), nullptr);
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1001, L"handled");
    AppendMenuW(menu, MF_STRING, 1099, L"no handler");
    AppendMenuW(menu, MF_STRING, 1005, L"disabled by its update");
    m_frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    EXPECT_FALSE(GetMenuState(menu, 0, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(menu, 1, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(menu, 2, MF_BYPOSITION) & MF_GRAYED);
    DestroyMenu(menu);
}

namespace {
// A bar-like child that asks for the state of command 1006 on every idle update.
class IdleProbe : public CWnd {
public:
    int m_updates = 0;
    BOOL m_enabled = FALSE;

protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {MapMessage<&IdleProbe::OnIdleUpdate>(WM_IDLEUPDATECMDUI)};
        static const MessageMap map{CWnd::GetMessageMap(), entries};
        return &map;
    }
    LRESULT OnIdleUpdate(WPARAM disableIfNoHandler, LPARAM) {
        CTestCmdUI state;
        state.m_nID = 1006;
        state.DoUpdate(GetTopLevelFrame(), static_cast<BOOL>(disableIfNoHandler));
        m_enabled = state.m_bEnabled;
        ++m_updates;
        return 0;
    }
};
}  // namespace

TEST_F(DocViewTest, IdleTimeUpdatesCommandStateAndFrameTitle) {
    ASSERT_NE(m_app.OpenDocumentFile(WritePage(L"page.htm")), nullptr);
    m_frame->ShowWindow(SW_SHOWNORMAL);  // idle updates are for a window the user sees
    IdleProbe probe;
    ASSERT_TRUE(probe.Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 10, 10), m_frame, 300));

    m_app.OnIdle(0);
    EXPECT_EQ(probe.m_updates, 1);
    EXPECT_TRUE(probe.m_enabled);
    g_enable1006 = false;
    m_app.OnIdle(0);
    EXPECT_FALSE(probe.m_enabled);
    EXPECT_EQ(m_frame->GetWindowText(), L"Test - page.htm");
}

TEST_F(DocViewTest, TemplateOpensADocumentInAChildFrameAndClosesIt) {
    // Nothing to scroll before a child opens: the client's first paint shows no scroll bars.
    EXPECT_EQ(::GetWindowLongW(m_frame->m_hWndMDIClient, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
    CString path = WritePage(L"page.htm");
    CDocument* document = m_app.OpenDocumentFile(path);
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->GetPathName(), path);
    EXPECT_EQ(document->GetTitle(), L"page.htm");
    EXPECT_EQ(document->GetDocTemplate(), m_template);
    ASSERT_EQ(document->GetViews().size(), 1u);
    CView* view = document->GetViews().front();
    auto* child = dynamic_cast<TraceChild*>(view->GetParentFrame());
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(m_frame->MDIGetActive(), child);
    EXPECT_EQ(child->GetActiveView(), view);
    EXPECT_EQ(::GetParent(child->GetSafeHwnd()), m_frame->m_hWndMDIClient);
    EXPECT_TRUE(child->GetStyle() & WS_VISIBLE);
    EXPECT_EQ((*m_app.m_pRecentFileList)[0], path);

    // The same file again: the open document, no second window.
    EXPECT_EQ(m_app.OpenDocumentFile(path), document);
    EXPECT_EQ(m_template->GetDocuments().size(), 1u);

    HWND childWindow = child->GetSafeHwnd();
    m_frame->SendMessage(WM_COMMAND, ID_FILE_CLOSE);
    PumpMessages();
    EXPECT_TRUE(m_template->GetDocuments().empty());
    EXPECT_FALSE(IsWindow(childWindow));
    EXPECT_EQ(m_frame->MDIGetActive(), nullptr);
}

TEST_F(DocViewTest, MissingFileIsReportedAndLeavesNothingOpen) {
    MessageBoxRecorder boxes;
    EXPECT_EQ(m_app.OpenDocumentFile(m_dir / L"missing.htm"), nullptr);
    PumpMessages();
    EXPECT_TRUE(boxes.Saw(L"Failed to open document."));
    EXPECT_TRUE(m_template->GetDocuments().empty());
    EXPECT_EQ(m_frame->MDIGetActive(), nullptr);
    EXPECT_EQ(GetWindow(m_frame->m_hWndMDIClient, GW_CHILD), nullptr);

    // A recent file deleted since: off the list, named, the open window kept maximised.
    CDocument* open = m_app.OpenDocumentFile(WritePage(L"page.htm"));
    ASSERT_NE(open, nullptr);
    HWND child = open->GetViews().front()->GetParentFrame()->GetSafeHwnd();
    ::ShowWindow(child, SW_SHOWMAXIMIZED);
    CString gone = WritePage(L"gone.htm");
    m_app.AddToRecentFileList(gone);
    DeleteFileW(gone);
    m_frame->SendMessage(WM_COMMAND, ID_FILE_MRU_FILE1);
    PumpMessages();
    EXPECT_TRUE(boxes.Saw(gone + L" no longer exists. It was taken off the recent file list."));
    EXPECT_EQ((*m_app.m_pRecentFileList)[0], m_dir / L"page.htm");
    EXPECT_TRUE(IsZoomed(child));
    EXPECT_EQ(m_template->GetDocuments().size(), 1u);
}

TEST_F(DocViewTest, ClosingMainFrameAsksForEachModifiedDocumentAndCancelKeepsItOpen) {
    CString first = WritePage(L"first.htm");
    CString second = WritePage(L"second.htm");
    CDocument* a = m_app.OpenDocumentFile(first);
    CDocument* b = m_app.OpenDocumentFile(second);
    ASSERT_TRUE(a && b);
    a->SetModifiedFlag(TRUE);
    b->SetModifiedFlag(TRUE);

    MessageBoxRecorder boxes(IDCANCEL);
    m_frame->SendMessage(WM_CLOSE);
    PumpMessages();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, L"Save changes to " + first + L"?");
    EXPECT_EQ(boxes.Boxes()[0].type & MB_TYPEMASK, static_cast<UINT>(MB_YESNOCANCEL));
    EXPECT_TRUE(IsWindow(m_frame->GetSafeHwnd()));
    EXPECT_EQ(m_template->GetDocuments().size(), 2u);
    EXPECT_EQ(g_trace, L"");

    // Yes saves the first, No leaves the second as it is; then the window goes.
    int answers[] = {IDYES, IDNO};
    int next = 0;
    MessageBoxHook previous = SetMessageBoxHook([&](HWND, const CString&, const CString&, UINT) { return answers[next++]; });
    HWND frameWindow = m_frame->GetSafeHwnd();
    m_frame->SendMessage(WM_CLOSE);
    PumpMessages();
    SetMessageBoxHook(previous);
    EXPECT_EQ(next, 2);
    EXPECT_EQ(g_trace, L"save;");
    EXPECT_FALSE(IsWindow(frameWindow));
    EXPECT_EQ(m_app.m_pMainWnd, nullptr);
    EXPECT_TRUE(m_template->GetDocuments().empty());
}

TEST_F(DocViewTest, ClosingAChildFrameOfAModifiedDocumentAsksFirst) {
    CDocument* document = m_app.OpenDocumentFile(WritePage(L"page.htm"));
    ASSERT_NE(document, nullptr);
    document->SetModifiedFlag(TRUE);
    CFrameWnd* child = document->GetViews().front()->GetParentFrame();

    MessageBoxRecorder boxes(IDCANCEL);
    child->SendMessage(WM_CLOSE);
    PumpMessages();
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(m_template->GetDocuments().size(), 1u);

    boxes.SetAnswer(IDNO);
    child->SendMessage(WM_CLOSE);
    PumpMessages();
    EXPECT_TRUE(m_template->GetDocuments().empty());
    EXPECT_EQ(g_trace, L"");
}
