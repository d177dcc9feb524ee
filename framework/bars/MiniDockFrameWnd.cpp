#include "bars/MiniDockFrameWnd.h"

#include "bars/DockContext.h"

CMiniDockFrameWnd::CMiniDockFrameWnd() : m_wndDockBar(TRUE) {}

const MessageMap* CMiniDockFrameWnd::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CMiniDockFrameWnd::OnCreate>(WM_CREATE),
        MapMessage<&CMiniDockFrameWnd::OnClose>(WM_CLOSE),
        MapMessage<&CMiniDockFrameWnd::OnNcLButtonDown>(WM_NCLBUTTONDOWN),
        MapMessage<&CMiniDockFrameWnd::OnNcLButtonDblClk>(WM_NCLBUTTONDBLCLK),
        MapMessage<&CMiniDockFrameWnd::OnIdleUpdateCmdUI>(WM_IDLEUPDATECMDUI),
    };
    static const MessageMap map{CFrameWnd::GetMessageMap(), entries};
    return &map;
}

BOOL CMiniDockFrameWnd::PreCreateWindow(CREATESTRUCTW&) {
    // The mini frame styles stay in the low word of the window style, which the system leaves
    // to the window class: derived frames read and change them with GetStyle and ModifyStyle.
    return TRUE;
}

BOOL CMiniDockFrameWnd::Create(CWnd* parent, DWORD barStyle) {
    m_wndDockBar.m_dwStyle = (barStyle & CBRS_FLOAT_MULTI) | CBRS_ALIGN_TOP;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | MFS_MOVEFRAME | MFS_4THICKFRAME | MFS_SYNCACTIVE | MFS_BLOCKSYSMENU;
    return CWnd::CreateEx(WS_EX_TOOLWINDOW, RegisterWndClass(CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW),
                                                            reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)),
                          L"", style, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, parent ? parent->m_hWnd : nullptr, nullptr);
}

int CMiniDockFrameWnd::OnCreate(LPCREATESTRUCT cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    if (!m_wndDockBar.Create(this, WS_CHILD | WS_VISIBLE | m_wndDockBar.m_dwStyle, AFX_IDW_DOCKBAR_FLOAT)) return -1;
    m_wndDockBar.SetOwner(CWnd::FromHandle(cs->hwndParent));
    return 0;
}

CControlBar* CMiniDockFrameWnd::GetFirstBar() const {
    for (CControlBar* bar : m_wndDockBar.m_arrBars)
        if (IsBarPointer(bar)) return bar;
    return nullptr;
}

void CMiniDockFrameWnd::RecalcLayout(BOOL) {
    m_bLayoutPending = FALSE;
    if (!m_wndDockBar.m_hWnd) return;
    // The frame takes the size of the bars it holds.
    m_wndDockBar.m_rectLayout.SetRectEmpty();
    m_wndDockBar.m_bLayoutQuery = FALSE;
    CSize size = m_wndDockBar.CalcFixedLayout(FALSE, TRUE);
    CRect frame(0, 0, size.cx, size.cy);
    AdjustWindowRectEx(&frame, GetStyle(), FALSE, GetExStyle());
    SetWindowPos(nullptr, 0, 0, frame.Width(), frame.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_wndDockBar.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    if (CControlBar* bar = GetFirstBar(); bar && !(m_wndDockBar.m_dwStyle & CBRS_FLOAT_MULTI)) SetWindowText(bar->GetWindowText());
}

void CMiniDockFrameWnd::OnClose() {
    // An empty frame goes; one that holds bars hides them (the bars live on).
    if (m_wndDockBar.GetDockedCount() == 0) {
        DestroyWindow();
        return;
    }
    CFrameWnd* site = nullptr;
    for (CControlBar* bar : m_wndDockBar.m_arrBars) {
        if (!IsBarPointer(bar)) continue;
        site = bar->GetDockingFrame();
        if (site) site->ShowControlBar(bar, FALSE, FALSE);
    }
    ShowWindow(SW_HIDE);
}

void CMiniDockFrameWnd::OnNcLButtonDown(UINT hitTest, CPoint point) {
    if (hitTest == HTCAPTION) {
        CControlBar* bar = GetFirstBar();
        if (bar && bar->m_pDockContext && !(m_wndDockBar.m_dwStyle & CBRS_FLOAT_MULTI)) {
            ::BringWindowToTop(m_hWnd);
            bar->m_pDockContext->StartDrag(point);
            return;
        }
    }
    Default();
}

void CMiniDockFrameWnd::OnNcLButtonDblClk(UINT hitTest, CPoint) {
    if (hitTest == HTCAPTION) {
        CControlBar* bar = GetFirstBar();
        if (bar && bar->m_pDockContext) {
            bar->m_pDockContext->ToggleDocking();
            return;
        }
    }
    Default();
}

LRESULT CMiniDockFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
    if (m_bLayoutPending) RecalcLayout();
    return 0;
}
