#include "DocViewFixture.h"

bool g_enable1006 = true;

BOOL TraceDoc::OnSaveDocument(const wchar_t* path) {
    g_trace += L"save;";
    return CDocument::OnSaveDocument(path);
}

const MessageMap* TraceDoc::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapCommand<&TraceDoc::OnDocCommand>(1001),
        MapCommand<&TraceDoc::OnDocCommand>(1002),
        MapCommand<&TraceDoc::OnDocCommand>(1005),
    };
    static const MessageMap map{CDocument::GetMessageMap(), entries};
    return &map;
}

const MessageMap* TraceView::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapCommand<&TraceView::OnViewCommand>(1001),
        MapUpdateUI<&TraceView::OnUpdate1005>(1005),
        MapUpdateUI<&TraceView::OnUpdate1006>(1006),
    };
    static const MessageMap map{CView::GetMessageMap(), entries};
    return &map;
}

const MessageMap* TraceMainFrame::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapCommand<&TraceMainFrame::OnFrameCommand>(1003),
        MapCommand<&TraceMainFrame::OnFrameCommand>(1004),
    };
    static const MessageMap map{CMDIFrameWnd::GetMessageMap(), entries};
    return &map;
}

void DocViewTest::SetUp() {
    g_trace.Empty();
    g_enable1006 = true;
    m_frame = new TraceMainFrame;
    ASSERT_TRUE(m_frame->LoadFrame(1, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    m_frame->SetTitle(L"Test");
    m_app.m_pMainWnd = m_frame;
    m_template = new CMultiDocTemplate(2, RuntimeClass<TraceDoc>(), RuntimeClass<TraceChild>(), RuntimeClass<TraceView>());
    m_app.AddDocTemplate(m_template);
    m_app.LoadStdProfileSettings(4);
}

void DocViewTest::TearDown() {
    if (m_app.m_pMainWnd) {
        for (CDocument* document : std::vector<CDocument*>(m_template->GetDocuments())) document->SetModifiedFlag(FALSE);
        m_frame->DestroyWindow();
    }
    PumpMessages();
}

CString DocViewTest::WritePage(const wchar_t* name) {
    CString path = m_dir / name;
    WriteFileBytes(path, "<html></html>");
    return path;
}
