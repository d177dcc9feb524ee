#include "wnd/MDIChildWnd.h"

#include "app/WinApp.h"
#include "docview/DocTemplate.h"
#include "docview/Document.h"
#include "docview/View.h"
#include "wnd/AcceleratorKeys.h"
#include "wnd/MDIFrameWnd.h"

const MessageMap* CMDIChildWnd::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CMDIChildWnd::OnCreate>(WM_CREATE),
        MapMessage<&CMDIChildWnd::OnMDIActivate>(WM_MDIACTIVATE),
    };
    static const MessageMap map{CFrameWnd::GetMessageMap(), entries};
    return &map;
}

BOOL CMDIChildWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
    m_nIDHelp = resourceId;
    if (context && context->m_pNewDocTemplate) {
        m_hMenuShared = context->m_pNewDocTemplate->m_hMenuShared;
        m_hAccelTable = context->m_pNewDocTemplate->m_hAccelTable;
    }
    auto* frame = dynamic_cast<CMDIFrameWnd*>(parent ? parent : AfxGetMainWnd());
    if (!frame || !frame->m_hWndMDIClient) return FALSE;
    const wchar_t* windowClass = FrameClassFor(resourceId, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    CRect placement(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);
    if (!Create(windowClass, m_strTitle, style, placement, frame, context)) return FALSE;
    if (!context) SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE);
    return TRUE;
}

BOOL CMDIChildWnd::Create(const wchar_t* className, const wchar_t* title, DWORD style, const RECT&, CMDIFrameWnd* parent,
                          CCreateContext* context) {
    if (!parent || !parent->m_hWndMDIClient) return FALSE;
    MDICREATESTRUCTW mcs{};
    mcs.szClass = className;
    mcs.szTitle = title;
    mcs.hOwner = GetModuleHandleW(nullptr);
    mcs.x = mcs.y = mcs.cx = mcs.cy = CW_USEDEFAULT;
    // Shown by ActivateFrame once the view is ready.
    mcs.style = style & ~(WS_MAXIMIZE | WS_VISIBLE | WS_CHILD);
    mcs.lParam = reinterpret_cast<LPARAM>(context);
    HWND client = parent->m_hWndMDIClient;
    HWND hwnd = CreateBound([&] {
        return reinterpret_cast<HWND>(::SendMessageW(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    });
    return hwnd != nullptr;
}

int CMDIChildWnd::OnCreate(LPCREATESTRUCT cs) {
    auto* mcs = static_cast<MDICREATESTRUCTW*>(cs->lpCreateParams);
    return OnCreateHelper(cs, mcs ? reinterpret_cast<CCreateContext*>(mcs->lParam) : nullptr);
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefMDIChildProcW(m_hWnd, message, wParam, lParam);
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const {
    HWND client = ::GetParent(m_hWnd);
    return client ? dynamic_cast<CMDIFrameWnd*>(FromHandlePermanent(::GetParent(client))) : nullptr;
}

void CMDIChildWnd::MDIDestroy() { ::SendMessageW(::GetParent(m_hWnd), WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0); }
void CMDIChildWnd::MDIActivate() { ::SendMessageW(::GetParent(m_hWnd), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(m_hWnd), 0); }
void CMDIChildWnd::MDIMaximize() { ::SendMessageW(::GetParent(m_hWnd), WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(m_hWnd), 0); }
void CMDIChildWnd::MDIRestore() { ::SendMessageW(::GetParent(m_hWnd), WM_MDIRESTORE, reinterpret_cast<WPARAM>(m_hWnd), 0); }

BOOL CMDIChildWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    CMDIFrameWnd* frame = GetMDIFrame();
    // Through the MDI client, so that it activates the next child and fixes its window list.
    MDIDestroy();
    if (frame && frame->GetSafeHwnd() && !frame->MDIGetActive() && frame->m_hMenuDefault &&
        frame->GetMenu() != frame->m_hMenuDefault)
        frame->MDISetMenu(frame->m_hMenuDefault);
    return TRUE;
}

void CMDIChildWnd::ActivateFrame(int cmdShow) {
    CMDIFrameWnd* frame = GetMDIFrame();
    if (cmdShow == -1) {
        BOOL maximized = FALSE;
        if (frame) frame->MDIGetActive(&maximized);
        DWORD style = GetStyle();
        if (maximized || (style & WS_MAXIMIZE)) cmdShow = SW_SHOWMAXIMIZED;
        else if (style & WS_MINIMIZE) cmdShow = SW_SHOWMINIMIZED;
        else if (!IsWindowVisible()) cmdShow = SW_SHOWNORMAL;
    }
    if (cmdShow != -1) ShowWindow(cmdShow);
    if (frame) {
        frame->MDIActivate(this);
        if (m_hMenuShared && frame->GetMenu() != m_hMenuShared) frame->MDISetMenu(m_hMenuShared);
    }
}

void CMDIChildWnd::OnMDIActivate(HWND, HWND activated) {
    Default();
    const bool active = activated == m_hWnd;
    OnUpdateFrameMenu(active, activated);
    if (active) {
        if (CView* view = GetActiveView()) view->OnActivateView(TRUE, view, view);
        OnUpdateFrameTitle(TRUE);
    }
}

void CMDIChildWnd::OnUpdateFrameMenu(BOOL active, HWND activated) {
    CMDIFrameWnd* frame = GetMDIFrame();
    if (!frame) return;
    if (active && m_hMenuShared) {
        frame->MDISetMenu(m_hMenuShared);
    } else if (!active && !activated && frame->m_hMenuDefault) {
        frame->MDISetMenu(frame->m_hMenuDefault);  // the last child went: the frame's own menu again
    }
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL addToTitle) {
    // A child made without FWS_ADDTOTITLE keeps the title it was given (an activation would
    // otherwise blank it with the empty stored title).
    if (GetStyle() & FWS_ADDTOTITLE) {
        CDocument* document = GetActiveDocument();
        CString text = (addToTitle && document) ? document->GetTitle() : m_strTitle;
        if (GetWindowText() != text) SetWindowText(text);
    }
    if (CMDIFrameWnd* frame = GetMDIFrame()) frame->OnUpdateFrameTitle(TRUE);
}

BOOL CMDIChildWnd::PreTranslateMessage(MSG* msg) {
    if (!m_hAccelTable || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
    CMDIFrameWnd* frame = GetMDIFrame();
    return frame && TranslateAcceleratorKeys(frame->m_hWnd, m_hAccelTable, msg);
}
