#include "bars/MiniDockFrameWnd.h"

#include "bars/DockContext.h"
#include "wnd/FloatStatus.h"

#include <algorithm>

CMiniDockFrameWnd::CMiniDockFrameWnd() : m_wndDockBar(TRUE) {}

const MessageMap* CMiniDockFrameWnd::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CMiniDockFrameWnd::OnCreate>(WM_CREATE),
        MapMessage<&CMiniDockFrameWnd::OnClose>(WM_CLOSE),
        MapMessage<&CMiniDockFrameWnd::OnNcLButtonDown>(WM_NCLBUTTONDOWN),
        MapMessage<&CMiniDockFrameWnd::OnNcLButtonDblClk>(WM_NCLBUTTONDBLCLK),
        MapMessage<&CMiniDockFrameWnd::OnNcHitTest>(WM_NCHITTEST),
        MapMessage<&CMiniDockFrameWnd::OnGetMinMaxInfo>(WM_GETMINMAXINFO),
        MapMessage<&CMiniDockFrameWnd::OnIdleUpdateCmdUI>(WM_IDLEUPDATECMDUI),
        MapMessage<&CMiniDockFrameWnd::OnMouseActivate>(WM_MOUSEACTIVATE),
        MapMessage<&CMiniDockFrameWnd::OnNcActivate>(WM_NCACTIVATE),
        MapMessage<&CMiniDockFrameWnd::OnFloatStatus>(WM_FLOATSTATUS),
    };
    static const MessageMap map{CFrameWnd::GetMessageMap(), entries};
    return &map;
}

BOOL CMiniDockFrameWnd::PreCreateWindow(CREATESTRUCTW& cs) {
    // The mini frame styles stay in the low word of the window style, which the system leaves
    // to the window class: derived frames read and change them with GetStyle and ModifyStyle.
    // A frame whose border sizes it gets the system's sizing border.
    if ((cs.style & (MFS_THICKFRAME | MFS_4THICKFRAME)) && !(cs.style & MFS_MOVEFRAME)) cs.style |= WS_THICKFRAME;
    return TRUE;
}

BOOL CMiniDockFrameWnd::Create(CWnd* parent, DWORD barStyle) {
    m_wndDockBar.m_dwStyle = (barStyle & CBRS_FLOAT_MULTI) | CBRS_ALIGN_TOP;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | MFS_MOVEFRAME | MFS_4THICKFRAME | MFS_SYNCACTIVE | MFS_BLOCKSYSMENU;
    if (barStyle & CBRS_SIZE_DYNAMIC) style &= ~MFS_MOVEFRAME;  // the border sizes the bar
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

CRect WorkAreaOf(const RECT& rect) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoW(::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info)) return CRect(info.rcWork);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return CRect(work);
}

void CMiniDockFrameWnd::KeepInWorkArea() {
    CRect window;
    GetWindowRect(&window);
    const CRect work = WorkAreaOf(window);
    CControlBar* bar = GetFirstBar();
    if (bar && (bar->m_dwStyle & CBRS_SIZE_DYNAMIC) && !(m_wndDockBar.m_dwStyle & CBRS_FLOAT_MULTI) &&
        (window.Width() > work.Width() || window.Height() > work.Height())) {
        CRect client;
        GetClientRect(&client);
        const CSize border(window.Width() - client.Width(), window.Height() - client.Height());
        if (window.Width() > work.Width()) bar->CalcDynamicLayout(work.Width() - border.cx, LM_HORZ | LM_COMMIT);
        if (window.Height() > work.Height()) bar->CalcDynamicLayout(work.Height() - border.cy, LM_HORZ | LM_COMMIT | LM_LENGTHY);
        RecalcLayout();
        GetWindowRect(&window);
    }
    // The caption stays reachable when the frame still does not fit.
    const LONG x = std::max(work.left, std::min(window.left, work.right - window.Width()));
    const LONG y = std::max(work.top, std::min(window.top, work.bottom - window.Height()));
    if (x != window.left || y != window.top) SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
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

LRESULT CMiniDockFrameWnd::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
    Default();
    // The bars set their own minimum: the system's smallest sizing frame would be wider than many.
    CRect border(0, 0, 0, 0);
    ::AdjustWindowRectEx(&border, GetStyle(), FALSE, GetExStyle());
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize = CPoint(border.Width(), border.Height());
    return 0;
}

LRESULT CMiniDockFrameWnd::OnNcHitTest(WPARAM, LPARAM lParam) {
    const LRESULT hit = Default();
    if (!(GetStyle() & MFS_4THICKFRAME) || (hit != HTTOPLEFT && hit != HTTOPRIGHT && hit != HTBOTTOMLEFT && hit != HTBOTTOMRIGHT))
        return hit;
    // Four-sided: a corner sizes by the side whose border strip holds the point.
    CRect window;
    GetWindowRect(&window);
    const CPoint point(lParam);
    const int border = ::GetSystemMetrics(SM_CXSIZEFRAME);
    const bool left = hit == HTTOPLEFT || hit == HTBOTTOMLEFT;
    if (left ? point.x < window.left + border : point.x >= window.right - border) return left ? HTLEFT : HTRIGHT;
    return (hit == HTTOPLEFT || hit == HTTOPRIGHT) ? HTTOP : HTBOTTOM;
}

void CMiniDockFrameWnd::OnNcLButtonDown(UINT hitTest, CPoint point) {
    const bool sizing = hitTest >= HTLEFT && hitTest <= HTBOTTOMRIGHT;
    if (hitTest == HTCAPTION || sizing) {
        CControlBar* bar = GetFirstBar();
        if (bar && bar->m_pDockContext && !(m_wndDockBar.m_dwStyle & CBRS_FLOAT_MULTI)) {
            // Raised without taking the activation from the docking frame.
            ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            if (sizing && !(GetStyle() & MFS_MOVEFRAME)) {
                if (bar->m_dwStyle & CBRS_SIZE_DYNAMIC) bar->m_pDockContext->StartResize(static_cast<int>(hitTest), point);
                return;
            }
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

LRESULT CMiniDockFrameWnd::OnMouseActivate(WPARAM, LPARAM) {
    // The docking frame comes to the front as a click on it would bring it, unless a
    // window of its own (a dialog) holds the input.
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && ::IsWindowEnabled(owner) && ::GetActiveWindow() != owner)
        ::SetActiveWindow(owner);
    return MA_NOACTIVATE;
}

LRESULT CMiniDockFrameWnd::OnNcActivate(WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(m_hWnd, WM_NCACTIVATE, AfxSyncActiveState(m_hWnd, static_cast<BOOL>(wParam)), lParam);
}

LRESULT CMiniDockFrameWnd::OnFloatStatus(WPARAM wParam, LPARAM) {
    if (wParam & (FS_ACTIVATE | FS_DEACTIVATE))
        ::DefWindowProcW(m_hWnd, WM_NCACTIVATE, (wParam & FS_ACTIVATE) ? TRUE : FALSE, 0);
    return TRUE;
}
