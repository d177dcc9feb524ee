#include "ChildFrame.h"

#include "app/WinApp.h"
#include "docview/Document.h"
#include "wnd/MDIFrameWnd.h"

const MessageMap* CChildFrame::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CChildFrame::OnSysCommand>(WM_SYSCOMMAND),
    };
    static const MessageMap map{CMDIChildWnd::GetMessageMap(), entries};
    return &map;
}

void CChildFrame::ActivateFrame(int cmdShow) {
    if (m_bFirstShow) {
        m_bFirstShow = FALSE;
        cmdShow = SW_SHOWMAXIMIZED;
    }
    CMDIChildWnd::ActivateFrame(cmdShow);
}

void CChildFrame::OnUpdateFrameTitle(BOOL addToTitle) {
    CString before = GetWindowText();
    CMDIChildWnd::OnUpdateFrameTitle(addToTitle);
    if (GetWindowText() == before) return;
    // The MDI client lists its windows by the text they had when it last built the list.
    if (CMDIFrameWnd* frame = GetMDIFrame(); frame && frame->m_hWndMDIClient) {
        ::SendMessageW(frame->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
        frame->DrawMenuBar();
    }
}

void CChildFrame::OnSysCommand(UINT command, LPARAM parameter) {
    // The page of this window is the one closed, whichever window is active.
    if ((command & 0xFFF0) == SC_CLOSE)
        if (CDocument* document = GetActiveDocument(); document && !document->GetPathName().IsEmpty())
            AfxGetApp()->WriteProfileString(L"Settings", L"FileHot", document->GetPathName());
    CMDIChildWnd::OnSysCommand(command, parameter);
}
