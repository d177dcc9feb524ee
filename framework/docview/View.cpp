#include "docview/View.h"

#include "app/WinApp.h"
#include "docview/Document.h"
#include "docview/PreviewView.h"
#include "gdi/DC.h"
#include "wnd/CreateContext.h"
#include "wnd/FrameWnd.h"

CView::~CView() {
    if (m_pDocument) m_pDocument->RemoveView(this);
}

const MessageMap* CView::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CView::OnCreate>(WM_CREATE),
        MapMessage<&CView::OnDestroy>(WM_DESTROY),
        MapMessage<&CView::OnPaint>(WM_PAINT),
        MapMessage<&CView::OnInitialUpdateMessage>(WM_INITIALUPDATE),
        MapMessage<&CView::OnMouseActivate>(WM_MOUSEACTIVATE),
    };
    static const MessageMap map{CWnd::GetMessageMap(), entries};
    return &map;
}

BOOL CView::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!cs.lpszClass)
        cs.lpszClass = RegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    if (cs.style & WS_BORDER) {
        cs.style &= ~WS_BORDER;
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
    }
    return TRUE;
}

int CView::OnCreate(LPCREATESTRUCT cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    auto* context = static_cast<CCreateContext*>(cs->lpCreateParams);
    if (context && context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy() {
    // A preview of this view ends with it.
    if (auto* main = dynamic_cast<CFrameWnd*>(AfxGetMainWnd()); main && main->m_pPreview && main->m_pPreview->GetPrintView() == this)
        main->m_pPreview->Close();
    if (CFrameWnd* frame = GetParentFrame(); frame && frame->GetActiveView() == this) frame->SetActiveView(nullptr, FALSE);
    Default();
}

void CView::OnPaint() {
    CPaintDC dc(this);
    OnDraw(&dc);
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM) {
    OnInitialUpdate();
    return 0;
}

LRESULT CView::OnMouseActivate(WPARAM, LPARAM) {
    LRESULT result = Default();
    if (result != MA_NOACTIVATE && result != MA_NOACTIVATEANDEAT)
        if (CFrameWnd* frame = GetParentFrame()) frame->SetActiveView(this);
    return result;
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, CCmdTarget*) { Invalidate(TRUE); }

void CView::OnActivateView(BOOL activate, CView*, CView*) {
    if (activate && m_hWnd && ::GetForegroundWindow() == ::GetAncestor(m_hWnd, GA_ROOT)) SetFocus();
}

BOOL CView::OnCmdMsg(CommandCall& call) {
    if (CWnd::OnCmdMsg(call)) return TRUE;
    return m_pDocument && m_pDocument->OnCmdMsg(call);
}
