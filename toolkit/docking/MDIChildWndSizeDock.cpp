#include "docking/MDIChildWndSizeDock.h"

#include "app/WinApp.h"
#include "docking/DragDockContext.h"
#include "docking/SizeBarOwnership.h"
#include "docking/SizableMiniDockFrameWnd.h"
#include "docking/SizeDockFrames.h"
#include "docview/Document.h"
#include "docview/View.h"

UINT DockMdiChildCommand() {
    static const UINT command = ::RegisterWindowMessageW(L"_DOCK_MDICHILD_");
    return command;
}

namespace {
// The view bars' ids: after the first pane's id, up to the end of the panes' range.
constexpr UINT kFirstViewBarId = 0xE901;
constexpr UINT kLastViewBarId = 0xE9FF;

// The first id of the range that no bar of the frame has (0 when all are taken): two view bars
// never share one, so that looking a bar up by its id finds that bar.
UINT FreeViewBarId(const CFrameWnd& frame) {
    for (UINT id = kFirstViewBarId; id <= kLastViewBarId; ++id)
        if (!frame.GetControlBar(id)) return id;
    return 0;
}

COXMDIFrameWndSizeDock* SizeDockMainFrame() { return dynamic_cast<COXMDIFrameWndSizeDock*>(AfxGetMainWnd()); }

bool IsDockCommand(WPARAM wParam) {
    const UINT command = DockMdiChildCommand();
    return command && (static_cast<UINT>(wParam) & 0xFFF0) == (command & 0xFFF0);
}
}  // namespace

// The wrapper ------------------------------------------------------------------------------

const MessageMap* COXSizeBarWrapper::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXSizeBarWrapper::OnMouseActivate>(WM_MOUSEACTIVATE),
        MapMessage<&COXSizeBarWrapper::OnLButtonDown>(WM_LBUTTONDOWN),
        MapMessage<&COXSizeBarWrapper::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
        MapMessage<&COXSizeBarWrapper::OnNcHitTest>(WM_NCHITTEST),
        MapMessage<&COXSizeBarWrapper::OnNcActivate>(WM_NCACTIVATE),
        MapMessage<&COXSizeBarWrapper::OnClose>(WM_CLOSE),
        MapMessage<&COXSizeBarWrapper::OnSize>(WM_SIZE),
        MapMessage<&COXSizeBarWrapper::OnNcDestroy>(WM_NCDESTROY),
    };
    static const MessageMap map{CWnd::GetMessageMap(), entries};
    return &map;
}

BOOL COXSizeBarWrapper::Create(COXSizeViewBar* bar) {
    m_pViewBar = bar;
    m_pChildFrame = bar->m_pChildFrame;
    static const wchar_t* className = [] {
        WNDCLASSW wc{};
        wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = L"MDIChildWndDockWrapper";
        ::RegisterClassW(&wc);
        return L"MDIChildWndDockWrapper";
    }();
    CRect client;
    bar->GetClientRect(&client);
    return CWnd::CreateEx(0, className, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, client, bar, 1);
}

LRESULT COXSizeBarWrapper::OnMouseActivate(WPARAM, LPARAM) {
    const LRESULT answer = Default();
    if (answer != MA_NOACTIVATE && answer != MA_NOACTIVATEANDEAT && m_pViewBar) m_pViewBar->SendMessage(WM_SIZEBAR_ACTIVATE, 1, 2);
    return answer;
}

LRESULT COXSizeBarWrapper::Forward(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_pViewBar) return Default();
    CPoint point(lParam);
    ::MapWindowPoints(m_hWnd, m_pViewBar->m_hWnd, &point, 1);
    return m_pViewBar->SendMessage(message, wParam, MAKELPARAM(point.x, point.y));
}

LRESULT COXSizeBarWrapper::OnNcHitTest(WPARAM wParam, LPARAM lParam) {
    const LRESULT hit = Default();
    if ((hit == HTCLIENT || hit == HTCAPTION) && m_pViewBar) return m_pViewBar->SendMessage(WM_NCHITTEST, wParam, lParam);
    return hit;
}

LRESULT COXSizeBarWrapper::OnNcActivate(WPARAM wParam, LPARAM) {
    if (wParam && m_pChildFrame && m_pChildFrame->m_hWnd)
        if (auto* frame = SizeDockMainFrame(); frame && frame->MDIGetActive() != m_pChildFrame) return FALSE;
    return Default();
}

void COXSizeBarWrapper::OnClose() {
    CView* view = m_pViewBar ? m_pViewBar->m_pView : nullptr;
    CDocument* document = view ? view->GetDocument() : nullptr;
    if (document && m_pChildFrame && !document->CanCloseFrame(m_pChildFrame)) return;
    m_bClosing = TRUE;
    // The view is the child's: it goes back there instead of going down with the wrapper.
    if (m_pViewBar) m_pViewBar->ReturnView();
    DestroyWindow();
}

void COXSizeBarWrapper::OnNcDestroy() {
    if (m_pViewBar && m_pViewBar->m_hWnd && !m_pViewBar->m_bDestroying) m_pViewBar->DestroyWindow();
    Default();
}

void COXSizeBarWrapper::OnSize(UINT, int cx, int cy) {
    Default();
    // Part of the layout that resized the bar: painted with it, once it is done.
    if (HWND child = ::GetWindow(m_hWnd, GW_CHILD)) ::SetWindowPos(child, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
}

void COXSizeBarWrapper::PostNcDestroy() { m_bClosing = FALSE; }

// The view bar -----------------------------------------------------------------------------

void COXSizeViewBar::TakeView() {
    if (!m_pView || !m_pView->m_hWnd) return;
    if (!m_wndWrapper.m_hWnd && !m_wndWrapper.Create(this)) return;
    CRect client;
    GetClientRect(&client);
    // Painted with the layout that resized the bar, once it is done.
    m_wndWrapper.SetWindowPos(nullptr, 0, 0, client.Width(), client.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
    if (::GetParent(m_pView->m_hWnd) != m_wndWrapper.m_hWnd) ::SetParent(m_pView->m_hWnd, m_wndWrapper.m_hWnd);
    m_pView->SetWindowPos(nullptr, 0, 0, client.Width(), client.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_DEFERERASE);
}

void COXSizeViewBar::ReturnView() {
    if (!m_pView || !m_pView->m_hWnd || !m_pChildFrame || !m_pChildFrame->m_hWnd) return;
    if (::GetParent(m_pView->m_hWnd) != m_pChildFrame->m_hWnd) ::SetParent(m_pView->m_hWnd, m_pChildFrame->m_hWnd);
    m_pChildFrame->RecalcLayout();
}

void COXSizeViewBar::OnBarResized(int cx, int cy, int floatState, int flags) {
    COXSizeControlBar::OnBarResized(cx, cy, floatState, flags);
    if (m_pChildFrame && m_pChildFrame->m_hWnd && m_pChildFrame->m_bViewDocked) TakeView();
}

LRESULT COXSizeViewBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZEBAR_ACTIVATE:
        if (lParam == 1 && m_pChildFrame && m_pChildFrame->m_hWnd) {
            if (auto* mini = m_pDockBar ? dynamic_cast<COXSizableMiniDockFrameWnd*>(m_pDockBar->GetParent()) : nullptr) {
                mini->SendMessage(WM_NCACTIVATE, wParam);
                mini->SendMessage(WM_FLOATSTATUS, wParam ? FS_ACTIVATE : FS_DEACTIVATE);
            } else if (m_wndWrapper.m_hWnd) {
                m_wndWrapper.SendMessage(WM_NCACTIVATE, wParam);
            }
        } else if ((lParam == 2 || lParam == 3) && wParam && m_pChildFrame && m_pChildFrame->m_bViewDocked && m_pView && m_pView->m_hWnd) {
            if (auto* frame = SizeDockMainFrame()) frame->OnChildActivated(m_pChildFrame);
            if (::GetFocus() != m_pView->m_hWnd && !::IsChild(m_pView->m_hWnd, ::GetFocus())) m_pView->SetFocus();
        }
        SetActive(static_cast<BOOL>(wParam), FALSE);
        return 0;
    case WM_SIZEBAR_FILLMENU:
        if (m_pChildFrame && m_pChildFrame->m_hWnd) m_pChildFrame->FillDockMenu(reinterpret_cast<HMENU>(lParam));
        return 1;
    case WM_SETTEXT:
        if (m_pDockBar && IsFloating() && m_pDockBar->GetParent()) m_pDockBar->GetParent()->SendMessage(WM_SETTEXT, wParam, lParam);
        else if (m_wndWrapper.m_hWnd) m_wndWrapper.SendMessage(WM_SETTEXT, wParam, lParam);
        break;
    case WM_COMMAND:
        if (IsDockCommand(wParam) && m_pChildFrame) {
            m_pChildFrame->ToggleDockedView();
            return 0;
        }
        break;
    case WM_DESTROY: {
        m_bDestroying = TRUE;
        const LRESULT result = COXSizeControlBar::WindowProc(message, wParam, lParam);
        if (m_pChildFrame && m_pChildFrame->m_hWnd && m_pChildFrame->m_bViewDocked) ReturnView();
        return result;
    }
    case WM_NCDESTROY: {
        if (m_wndWrapper.m_hWnd && !m_wndWrapper.m_bClosing) m_wndWrapper.DestroyWindow();
        // The view's child lives on hidden: it closes in its turn (asking for its document).
        if (m_pChildFrame && m_pChildFrame->m_hWnd && !m_pChildFrame->m_bClosing && m_pChildFrame->m_bViewDocked)
            m_pChildFrame->PostMessage(WM_CLOSE);
        m_bDestroying = FALSE;
        break;
    }
    default:
        break;
    }
    return COXSizeControlBar::WindowProc(message, wParam, lParam);
}

// The child --------------------------------------------------------------------------------

const MessageMap* COXMDIChildWndSizeDock::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXMDIChildWndSizeDock::OnSetText>(WM_SETTEXT),
        MapMessage<&COXMDIChildWndSizeDock::OnNcRButtonDown>(WM_NCRBUTTONDOWN),
        MapMessage<&COXMDIChildWndSizeDock::OnClose>(WM_CLOSE),
    };
    static const MessageMap map{CMDIChildWnd::GetMessageMap(), entries};
    return &map;
}

void COXMDIChildWndSizeDock::AppendDockMenu(HMENU menu) {
    if (!menu || !DockMdiChildCommand()) return;
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    FillDockMenu(menu);
}

void COXMDIChildWndSizeDock::FillDockMenu(HMENU menu) {
    if (!menu || !DockMdiChildCommand()) return;
    ::AppendMenuW(menu, MF_STRING | (m_bViewDocked ? MF_CHECKED : 0), DockMdiChildCommand(), m_strDockTitle);
}

BOOL COXMDIChildWndSizeDock::Create(const wchar_t* className, const wchar_t* title, DWORD style, const RECT& rect,
                                    CMDIFrameWnd* parent, CCreateContext* context) {
    if (!parent) parent = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
    if (!parent) return FALSE;
    parent->RecalcLayout();
    // As every window's creation, this one goes through PreCreateWindow: the class, title,
    // style and extended style it settles on make the window, and a refusal makes none. The object stays its
    // creator's then, as after any failed creation.
    CREATESTRUCTW cs{};
    cs.lpszClass = className;
    cs.lpszName = title;
    cs.style = style;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.hwndParent = parent->m_hWnd;
    cs.hInstance = ::GetModuleHandleW(nullptr);
    cs.lpCreateParams = context;
    if (!PreCreateWindow(cs)) return FALSE;
    style = cs.style;
    if (!CMDIChildWnd::Create(cs.lpszClass, cs.lpszName, style, rect, parent, context)) return FALSE;
    // The MDI client makes its children without an extended style of their own choosing: the
    // one PreCreateWindow settled on goes on before the window is shown.
    if (cs.dwExStyle) ModifyStyleEx(0, cs.dwExStyle, SWP_FRAMECHANGED);
    if (style & WS_VISIBLE) {
        ::BringWindowToTop(m_hWnd);
        ShowWindow((style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
        if (auto* frame = dynamic_cast<COXMDIFrameWndSizeDock*>(parent)) frame->OnChildActivated(this);
        else parent->MDIActivate(this);
        ::SendMessageW(parent->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
    }
    if (HMENU system = ::GetSystemMenu(m_hWnd, FALSE)) AppendDockMenu(system);
    return TRUE;
}

BOOL COXMDIChildWndSizeDock::DestroyWindow() {
    m_bClosing = TRUE;
    if (m_wndViewBar.m_hWnd) {
        if (m_bViewDocked) m_wndViewBar.ReturnView();
        m_bViewDocked = FALSE;
        m_wndViewBar.DestroyWindow();
    }
    if (auto* frame = SizeDockMainFrame(); frame && frame->m_pActiveFloatChild == this) frame->SetActiveFloatChild(nullptr);
    return CMDIChildWnd::DestroyWindow();
}

BOOL COXMDIChildWndSizeDock::SetViewDocked(BOOL docked, DWORD preferredSide) {
    COXMDIFrameWndSizeDock* frame = SizeDockMainFrame();
    if (!frame) return FALSE;
    if (docked == m_bViewDocked) return TRUE;
    if (docked) {
        CView* view = GetActiveView();
        if (!view) return FALSE;
        m_wndViewBar.m_pChildFrame = this;
        m_wndViewBar.m_pView = view;
        if (!m_wndViewBar.m_hWnd) {
            const UINT id = FreeViewBarId(*frame);
            if (!id || !m_wndViewBar.Create(nullptr, GetWindowText(), WS_CHILD | WS_VISIBLE | CBRS_TOP, CRect(0, 0, 300, 200), frame, id))
                return FALSE;
        }
        // The sides as they are now: they may have changed since the view was docked last.
        m_wndViewBar.EnableDocking(m_dwDockSides);
        m_bViewDocked = TRUE;
        m_wndViewBar.TakeView();
        ShowWindow(SW_HIDE);
        UINT id = 0;
        if (preferredSide & CBRS_ALIGN_TOP) id = AFX_IDW_DOCKBAR_TOP;
        else if (preferredSide & CBRS_ALIGN_BOTTOM) id = AFX_IDW_DOCKBAR_BOTTOM;
        else if (preferredSide & CBRS_ALIGN_LEFT) id = AFX_IDW_DOCKBAR_LEFT;
        else if (preferredSide & CBRS_ALIGN_RIGHT) id = AFX_IDW_DOCKBAR_RIGHT;
        if (!(m_dwDockSides & preferredSide) || !frame->GetControlBar(id)) id = 0;
        frame->DockControlBar(&m_wndViewBar, id);
        frame->ShowControlBar(&m_wndViewBar, TRUE, FALSE);
        frame->OnChildActivated(this);
        frame->RecalcLayout();
    } else {
        m_bViewDocked = FALSE;
        m_wndViewBar.ReturnView();
        ShowWindow(SW_SHOWNORMAL);
        if (m_wndViewBar.m_hWnd) frame->ShowControlBar(&m_wndViewBar, FALSE, FALSE);
        frame->OnChildActivated(this);
        RecalcLayout();
    }
    ::SendMessageW(frame->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
    if (HMENU system = ::GetSystemMenu(m_hWnd, FALSE))
        ::CheckMenuItem(system, DockMdiChildCommand(), MF_BYCOMMAND | (m_bViewDocked ? MF_CHECKED : MF_UNCHECKED));
    return TRUE;
}

void COXMDIChildWndSizeDock::ActivateFrame(int cmdShow) {
    const BOOL wasVisible = IsWindowVisible();
    // The framework's activation; a show command of -1 follows the maximised state that the frame's
    // active-child lookup reports (a docked view's child counts as not maximised).
    CMDIChildWnd::ActivateFrame(cmdShow);
    CMDIFrameWnd* frame = GetMDIFrame();
    if (!frame || !frame->m_hWndMDIClient) return;
    ::SendMessageW(frame->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
    const HWND client = frame->m_hWndMDIClient;
    const auto clientActive = [client] { return reinterpret_cast<HWND>(::SendMessageW(client, WM_MDIGETACTIVE, 0, 0)); };
    const BOOL visible = IsWindowVisible();
    if (wasVisible && !visible && clientActive() == m_hWnd) {
        frame->MDINext();
        if (clientActive() == m_hWnd) {
            // Nothing else to activate: deactivated by hand, active again once shown.
            SendMessage(WM_MDIACTIVATE, reinterpret_cast<WPARAM>(m_hWnd), 0);
            m_bPseudoInactive = TRUE;
        }
    } else if (!wasVisible && visible && m_bPseudoInactive) {
        m_bPseudoInactive = FALSE;
        SendMessage(WM_MDIACTIVATE, 0, reinterpret_cast<LPARAM>(m_hWnd));
    }
}

void COXMDIChildWndSizeDock::OnUpdateFrameTitle(BOOL addToTitle) {
    if (CMDIFrameWnd* frame = GetMDIFrame()) frame->OnUpdateFrameTitle(addToTitle);
    if (!(GetStyle() & FWS_ADDTOTITLE)) return;
    CDocument* document = GetActiveDocument();
    if (!addToTitle || !document) return;
    // Built in a growable string: a long document title is never cut off or overrun.
    CString title = document->GetTitle();
    if (m_nWindow > 0) title.AppendFormat(L":%d", m_nWindow);
    if (GetWindowText() != title) SetWindowText(title);
    if (m_bViewDocked && m_wndViewBar.m_hWnd) m_wndViewBar.SetWindowText(title);
}

void COXMDIChildWndSizeDock::OnClose() {
    const HWND self = m_hWnd;
    CFrameWnd::OnClose();
    // Refused after its view bar went (the view is back here): the child shows its view again
    // rather than staying hidden.
    if (CWnd::FromHandlePermanent(self) != this || !m_bViewDocked || m_wndViewBar.m_hWnd) return;
    m_bViewDocked = FALSE;
    ShowWindow(SW_SHOWNORMAL);
    if (auto* frame = SizeDockMainFrame()) frame->OnChildActivated(this);
}

LRESULT COXMDIChildWndSizeDock::OnSetText(WPARAM wParam, LPARAM lParam) {
    if (m_bViewDocked && m_wndViewBar.m_hWnd) m_wndViewBar.SendMessage(WM_SETTEXT, wParam, lParam);
    return Default();
}

void COXMDIChildWndSizeDock::OnNcRButtonDown(UINT hitTest, CPoint point) {
    if (hitTest != HTCAPTION) {
        Default();
        return;
    }
    HMENU menu = ::CreatePopupMenu();
    FillDockMenu(menu);
    const UINT command = static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd, nullptr));
    ::DestroyMenu(menu);
    if (command) SendMessage(WM_SYSCOMMAND, command);
}

LRESULT COXMDIChildWndSizeDock::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message == WM_SYSCOMMAND || message == WM_COMMAND) && IsDockCommand(wParam)) {
        ToggleDockedView();
        return 0;
    }
    // Activated in the MDI client with its view at home: a docked view's child is no longer the
    // active one (commands go to the child the user turned to).
    if (message == WM_MDIACTIVATE && reinterpret_cast<HWND>(lParam) == m_hWnd && !m_bViewDocked)
        if (auto* frame = dynamic_cast<COXMDIFrameWndSizeDock*>(GetMDIFrame()); frame && frame->m_pActiveFloatChild != this)
            frame->SetActiveFloatChild(nullptr);
    return CMDIChildWnd::WindowProc(message, wParam, lParam);
}

// The MDI float window ------------------------------------------------------------------------

const MessageMap* COXMDIFloatWnd::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXMDIFloatWnd::OnSize>(WM_SIZE),
        MapMessage<&COXMDIFloatWnd::OnWindowPosChanged>(WM_WINDOWPOSCHANGED),
        MapMessage<&COXMDIFloatWnd::OnShowWindow>(WM_SHOWWINDOW),
        MapMessage<&COXMDIFloatWnd::OnClose>(WM_CLOSE),
    };
    static const MessageMap map{COXMDIChildWndSizeDock::GetMessageMap(), entries};
    return &map;
}

BOOL COXMDIFloatWnd::PreCreateWindow(CREATESTRUCTW& cs) {
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    return COXMDIChildWndSizeDock::PreCreateWindow(cs);
}

BOOL COXMDIFloatWnd::Create(CMDIFrameWnd* parent, DWORD dockStyle) {
    m_bInCreate = TRUE;
    const wchar_t* className = RegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    const BOOL made =
        COXMDIChildWndSizeDock::Create(className, L"", WS_CHILD | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW, CRect(0, 0, 0, 0), parent, nullptr);
    if (!made) {
        m_bInCreate = FALSE;
        return FALSE;
    }
    const DWORD align = (dockStyle & CBRS_ORIENT_VERT) ? CBRS_ALIGN_LEFT : CBRS_ALIGN_TOP;
    m_wndDockBar.m_dwStyle = (dockStyle & CBRS_FLOAT_MULTI) | align;
    const BOOL docked = m_wndDockBar.Create(this, WS_CHILD | WS_VISIBLE | m_wndDockBar.m_dwStyle, AFX_IDW_DOCKBAR_FLOAT);
    m_wndDockBar.SetOwner(parent);
    m_bInCreate = FALSE;
    return docked;
}

COXSizeControlBar* COXMDIFloatWnd::FloatedBar() const {
    for (CControlBar* bar : m_wndDockBar.m_arrBars)
        if (IsBarPointer(bar)) return dynamic_cast<COXSizeControlBar*>(bar);
    return nullptr;
}

void COXMDIFloatWnd::RecalcLayout(BOOL) {
    m_bLayoutPending = FALSE;
    if (m_bInCreate || m_bInLayout || !m_wndDockBar.m_hWnd) return;
    CRect client;
    GetClientRect(&client);
    COXSizeControlBar* bar = FloatedBar();
    if (!bar || !bar->m_hWnd) {
        m_wndDockBar.SetWindowPos(nullptr, 0, 0, client.Width(), client.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    if (client.IsRectEmpty()) {
        // First layout: the window takes the bar's floating size, less the bar's borders.
        const CRect borders = FloatingBarBorders(*bar);
        CRect frame(0, 0, bar->m_FloatSize.cx - borders.left - borders.right, bar->m_FloatSize.cy - borders.top - borders.bottom);
        ::AdjustWindowRectEx(&frame, GetStyle(), FALSE, GetExStyle());
        m_bInLayout = TRUE;  // this resize is the layout's own
        SetWindowPos(nullptr, 0, 0, frame.Width(), frame.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        m_bInLayout = FALSE;
    }
    PlaceFloatingSizeBar(*bar, m_wndDockBar);
    if (const CString title = bar->GetWindowText(); GetWindowText() != title) SetWindowText(title);
}

void COXMDIFloatWnd::OnSize(UINT type, int cx, int cy) {
    // Sized by the user: the floated bar's floating size follows, its borders included.
    if (COXSizeControlBar* bar = FloatedBar(); bar && !m_bInCreate && !m_bInLayout && cx > 0 && cy > 0 && type != SIZE_MINIMIZED) {
        const CRect borders = FloatingBarBorders(*bar);
        bar->m_FloatSize = CSize(cx + borders.left + borders.right, cy + borders.top + borders.bottom);
    }
    COXMDIChildWndSizeDock::OnSize(type, cx, cy);
}

void COXMDIFloatWnd::OnShowWindow(BOOL show, UINT status) {
    Default();
    // Shown by a direct call (not as its parent is shown or restored): on top of the other children.
    if (show && status == 0) ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

LRESULT COXMDIFloatWnd::OnWindowPosChanged(WPARAM, LPARAM) {
    const LRESULT result = Default();
    if (COXSizeControlBar* bar = FloatedBar(); bar && bar->m_pDockContext) {
        CRect window;
        GetWindowRect(&window);
        if (auto* context = dynamic_cast<COXDragDockContext*>(bar->m_pDockContext.get())) context->m_ptLastFloat = window.TopLeft();
    }
    return result;
}

void COXMDIFloatWnd::OnClose() {
    COXSizeControlBar* bar = FloatedBar();
    if (bar && (bar->m_Style & SZBARF_DESTROY_ON_CLOSE)) {
        DestroyAndDeleteSizeBar(bar);
        DestroyWindow();
        return;
    }
    if (bar) bar->SendMessage(WM_COMMAND, ID_OX_HIDEBAR);
    else DestroyWindow();
}
