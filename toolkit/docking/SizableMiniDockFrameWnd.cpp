#include "docking/SizableMiniDockFrameWnd.h"

#include "bars/CoolToolBar.h"
#include "bars/DockContext.h"
#include "docking/MDIChildWndSizeDock.h"
#include "docking/SizeBarOwnership.h"
#include "docking/SizeControlBar.h"
#include "docking/SizeDockFrames.h"
#include "docview/Document.h"
#include "docview/View.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"
#include "wnd/Resources.h"

#include <algorithm>

namespace {
// One thread mouse hook for every sizable mini frame, counted like the size bars'.
HHOOK g_hook = nullptr;
int g_hookUsers = 0;
HWND g_lastFrame = nullptr;

COXSizableMiniDockFrameWnd* FrameOf(HWND hwnd) {
    while (hwnd && (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) hwnd = ::GetParent(hwnd);
    return hwnd ? dynamic_cast<COXSizableMiniDockFrameWnd*>(CWnd::FromHandlePermanent(hwnd)) : nullptr;
}

LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && (wParam == WM_MOUSEMOVE || wParam == WM_NCMOUSEMOVE)) {
        HWND now = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam)->hwnd;
        COXSizableMiniDockFrameWnd* last = g_lastFrame && ::IsWindow(g_lastFrame) ? FrameOf(g_lastFrame) : nullptr;
        COXSizableMiniDockFrameWnd* frame = FrameOf(now);
        if (last && last != frame) last->GetMiniFrameSkin()->OnNcMouseMove(last);
        g_lastFrame = frame ? frame->m_hWnd : now;
    }
    return ::CallNextHookEx(g_hook, code, wParam, lParam);
}
}  // namespace

const MessageMap* COXSizableMiniDockFrameWnd::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXSizableMiniDockFrameWnd::OnCreate>(WM_CREATE),
        MapMessage<&COXSizableMiniDockFrameWnd::OnDestroy>(WM_DESTROY),
        MapMessage<&COXSizableMiniDockFrameWnd::OnSize>(WM_SIZE),
        MapMessage<&COXSizableMiniDockFrameWnd::OnNcPaint>(WM_NCPAINT),
        MapMessage<&COXSizableMiniDockFrameWnd::OnNcActivate>(WM_NCACTIVATE),
        MapMessage<&COXSizableMiniDockFrameWnd::OnNcMouseMove>(WM_NCMOUSEMOVE),
        MapMessage<&COXSizableMiniDockFrameWnd::OnSetCursor>(WM_SETCURSOR),
        MapMessage<&COXSizableMiniDockFrameWnd::OnNcLButtonDown>(WM_NCLBUTTONDOWN),
        MapMessage<&COXSizableMiniDockFrameWnd::OnNcLButtonUp>(WM_NCLBUTTONUP),
        MapMessage<&COXSizableMiniDockFrameWnd::OnNcRButtonDown>(WM_NCRBUTTONDOWN),
        MapMessage<&COXSizableMiniDockFrameWnd::OnClose>(WM_CLOSE),
        MapMessage<&COXSizableMiniDockFrameWnd::OnActivate>(WM_ACTIVATE),
        MapMessage<&COXSizableMiniDockFrameWnd::OnMouseActivate>(WM_MOUSEACTIVATE),
        MapMessage<&COXSizableMiniDockFrameWnd::OnParentNotify>(WM_PARENTNOTIFY),
        MapMessage<&COXSizableMiniDockFrameWnd::OnInitMenuPopup>(WM_INITMENUPOPUP),
    };
    static const MessageMap map{CMiniDockFrameWnd::GetMessageMap(), entries};
    return &map;
}

BOOL COXSizableMiniDockFrameWnd::PreCreateWindow(CREATESTRUCTW& cs) {
    cs.style |= WS_THICKFRAME | MFS_THICKFRAME;
    cs.style &= ~(MFS_MOVEFRAME | MFS_4THICKFRAME);
    return CMiniDockFrameWnd::PreCreateWindow(cs);
}

int COXSizableMiniDockFrameWnd::OnCreate(LPCREATESTRUCT cs) {
    m_bClosing = FALSE;
    m_nMenuState = 0;
    if (CMiniDockFrameWnd::OnCreate(cs) == -1) return -1;
    if (g_hookUsers++ == 0 && !g_hook) g_hook = ::SetWindowsHookExW(WH_MOUSE, MouseHookProc, nullptr, ::GetCurrentThreadId());
    return 0;
}

void COXSizableMiniDockFrameWnd::OnDestroy() {
    // Counted: the last mini frame takes the hook away, not the first one to go.
    if (g_hookUsers > 0 && --g_hookUsers == 0 && g_hook) {
        ::UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
    }
    if (g_lastFrame == m_hWnd) g_lastFrame = nullptr;
    Default();
}

COXMiniFrameSkin* COXSizableMiniDockFrameWnd::GetMiniFrameSkin() {
    return LookupElementSkin<COXMiniFrameSkin, COXMiniFrameSkinClassic>(m_pFallbackSkin, &COXSkin::GetMiniFrameSkin);
}

int COXSizableMiniDockFrameWnd::FitSystemMenu() {
    if (m_nMenuState) return m_nMenuState;
    CControlBar* first = GetFirstBar();
    if (!first) return 0;
    if (!(m_wndDockBar.m_dwStyle & CBRS_FLOAT_MULTI) && dynamic_cast<COXSizeControlBar*>(first)) {
        m_nMenuState = 2;
        ::GetSystemMenu(m_hWnd, TRUE);
        HMENU menu = ::GetSystemMenu(m_hWnd, FALSE);
        for (UINT command : {SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE, SC_TASKLIST}) ::DeleteMenu(menu, command, MF_BYCOMMAND);
        for (int i = ::GetMenuItemCount(menu); i-- > 0;)
            if (::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) ::DeleteMenu(menu, static_cast<UINT>(i), MF_BYPOSITION);
        if (!(static_cast<COXSizeControlBar*>(first)->m_Style & SZBARF_DESTROY_ON_CLOSE)) {
            CString hide = LoadStringResource(AFX_IDS_HIDE);
            if (hide.IsEmpty()) hide = L"&Hide";
            ::ModifyMenuW(menu, SC_CLOSE, MF_BYCOMMAND | MF_STRING, SC_CLOSE, hide);
        }
    } else if (first->m_dwStyle & CBRS_SIZE_DYNAMIC) {
        m_nMenuState = 1;
        ModifyStyle(0, MFS_4THICKFRAME);
    } else {
        m_nMenuState = 1;
        ModifyStyle(WS_THICKFRAME, MFS_MOVEFRAME, SWP_FRAMECHANGED);
    }
    return m_nMenuState;
}

CRect FloatingBarBorders(const CControlBar& bar) {
    const int cx = ::GetSystemMetrics(SM_CXBORDER), cy = ::GetSystemMetrics(SM_CYBORDER);
    const DWORD style = bar.m_dwStyle;
    return CRect((style & CBRS_BORDER_LEFT) ? cx : 0, (style & CBRS_BORDER_TOP) ? cy : 0, (style & CBRS_BORDER_RIGHT) ? cx : 0,
                 (style & CBRS_BORDER_BOTTOM) ? cy : 0);
}

CSize PlaceFloatingSizeBar(COXSizeControlBar& bar, CWnd& dockBar) {
    const CRect borders = FloatingBarBorders(bar);
    const CSize client(std::max<LONG>(0, bar.m_FloatSize.cx - borders.left - borders.right),
                       std::max<LONG>(0, bar.m_FloatSize.cy - borders.top - borders.bottom));
    dockBar.SetWindowPos(nullptr, 0, 0, client.cx, client.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    bar.SetWindowPos(nullptr, -borders.left, -borders.top, bar.m_FloatSize.cx, bar.m_FloatSize.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    return client;
}

namespace {
// The size bar that a frame's floating dock bar holds alone; null otherwise.
COXSizeControlBar* LoneSizeBar(CMiniDockFrameWnd& frame) {
    if (frame.m_wndDockBar.m_dwStyle & CBRS_FLOAT_MULTI) return nullptr;
    auto* bar = dynamic_cast<COXSizeControlBar*>(frame.GetFirstBar());
    return bar && bar->m_hWnd ? bar : nullptr;
}
}  // namespace

void COXSizableMiniDockFrameWnd::RecalcLayout(BOOL notify) {
    if (m_bInLayout) return;  // the frame's own resize below
    COXSizeControlBar* bar = LoneSizeBar(*this);
    if (!bar) {
        CMiniDockFrameWnd::RecalcLayout(notify);
        return;
    }
    m_bInLayout = TRUE;
    m_bLayoutPending = FALSE;
    m_wndDockBar.m_rectLayout.SetRectEmpty();
    m_wndDockBar.m_bLayoutQuery = FALSE;
    m_wndDockBar.CalcFixedLayout(FALSE, TRUE);  // carries out a pending show or hide of the bar
    if (bar->GetStyle() & WS_VISIBLE) {
        CRect frame(CPoint(0, 0), PlaceFloatingSizeBar(*bar, m_wndDockBar));
        ::AdjustWindowRectEx(&frame, GetStyle(), FALSE, GetExStyle());
        SetWindowPos(nullptr, 0, 0, frame.Width(), frame.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (const CString title = bar->GetWindowText(); GetWindowText() != title) SetWindowText(title);
    m_bInLayout = FALSE;
}

void COXSizableMiniDockFrameWnd::OnSize(UINT type, int cx, int cy) {
    Default();
    if (cx <= 0 || cy <= 0 || type == SIZE_MINIMIZED || m_bInLayout) return;
    // Sized by the user: the bar's floating size follows, its borders included.
    if (COXSizeControlBar* bar = LoneSizeBar(*this); bar && (bar->GetStyle() & WS_VISIBLE)) {
        const CRect borders = FloatingBarBorders(*bar);
        bar->m_FloatSize = CSize(cx + borders.left + borders.right, cy + borders.top + borders.bottom);
    }
    RecalcLayout();
}

LRESULT COXSizableMiniDockFrameWnd::OnNcPaint(WPARAM, LPARAM) {
    GetMiniFrameSkin()->OnNcPaint(this);
    return 0;
}

LRESULT COXSizableMiniDockFrameWnd::OnNcActivate(WPARAM wParam, LPARAM) {
    return GetMiniFrameSkin()->OnNcActivate(static_cast<BOOL>(wParam), this);
}

LRESULT COXSizableMiniDockFrameWnd::OnNcMouseMove(WPARAM, LPARAM) {
    GetMiniFrameSkin()->OnNcMouseMove(this);
    return Default();
}

LRESULT COXSizableMiniDockFrameWnd::OnSetCursor(WPARAM, LPARAM lParam) {
    const wchar_t* cursor = IDC_ARROW;
    const CFrameWnd* top = GetTopLevelFrame();
    if (m_bHelpMode || (top && top->m_bHelpMode)) cursor = IDC_HELP;
    else switch (LOWORD(lParam)) {
    case HTTOP:
    case HTBOTTOM: cursor = IDC_SIZENS; break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: cursor = IDC_SIZENESW; break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: cursor = IDC_SIZENWSE; break;
    case HTLEFT:
    case HTRIGHT: cursor = IDC_SIZEWE; break;
    default: break;
    }
    ::SetCursor(::LoadCursorW(nullptr, cursor));
    return TRUE;
}

void COXSizableMiniDockFrameWnd::OnNcLButtonDown(UINT hitTest, CPoint point) {
    FitSystemMenu();
    const bool sizing = hitTest >= HTLEFT && hitTest <= HTBOTTOMRIGHT;
    CControlBar* first = GetFirstBar();
    if (m_nMenuState == 2 && sizing) {
        ::SetActiveWindow(m_hWnd);
        Default();
        return;
    }
    if (m_nMenuState == 2 && hitTest == HTSYSMENU) {
        CPoint origin(0, 0);
        ClientToScreen(&origin);
        TrackSystemMenu(origin);
        return;
    }
    if (hitTest == HTCAPTION) {
        ::SetActiveWindow(m_hWnd);
        if (!(m_wndDockBar.m_dwStyle & CBRS_FLOAT_MULTI) && ToolkitDragWanted()) {
            if (auto* coolBar = dynamic_cast<COXCoolToolBar*>(first)) {
                CRect barWindow;
                coolBar->GetWindowRect(&barWindow);
                coolBar->SetDragOffset(point.x - barWindow.left, point.y - barWindow.top);
                coolBar->BeginOwnDrag();
                return;
            }
            if (auto* bar = dynamic_cast<COXSizeControlBar*>(first)) {
                CRect window;
                GetWindowRect(&window);
                bar->ComputeDragOffset(CPoint(point.x - window.left, point.y - window.top));
                bar->BeginToolkitDrag();
                return;
            }
        }
        CMiniDockFrameWnd::OnNcLButtonDown(hitTest, point);
        return;
    }
    if (sizing && first && first->m_pDockContext) {
        ::SetActiveWindow(m_hWnd);
        first->m_pDockContext->StartResize(static_cast<int>(hitTest), point);
        return;
    }
    if (hitTest == HTCLOSE) GetMiniFrameSkin()->OnNcMouseMove(this);
    Default();
}

void COXSizableMiniDockFrameWnd::OnNcLButtonUp(UINT hitTest, CPoint) {
    if (hitTest == HTCLOSE) {
        HMENU menu = ::GetSystemMenu(m_hWnd, FALSE);
        if (menu && !(::GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED))) {
            SendMessage(WM_SYSCOMMAND, SC_CLOSE);
            return;
        }
    }
    Default();
}

void COXSizableMiniDockFrameWnd::TrackSystemMenu(CPoint screen) {
    HMENU menu = ::GetSystemMenu(m_hWnd, FALSE);
    if (!menu) return;
    const UINT command = static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN, screen.x, screen.y, 0, m_hWnd, nullptr));
    if (command) SendMessage(WM_SYSCOMMAND, command);
}

void COXSizableMiniDockFrameWnd::OnNcRButtonDown(UINT, CPoint point) {
    FitSystemMenu();
    TrackSystemMenu(point);
}

void COXSizableMiniDockFrameWnd::OnClose() {
    if (m_bClosing) return;
    m_bClosing = TRUE;
    if (!(m_wndDockBar.m_dwStyle & CBRS_FLOAT_MULTI)) {
        auto* bar = dynamic_cast<COXSizeControlBar*>(GetFirstBar());
        if (auto* viewBar = dynamic_cast<COXSizeViewBar*>(bar); viewBar && viewBar->m_hWnd && !viewBar->m_bDestroying) {
            // The view's document decides, as for its own child frame.
            CDocument* document = viewBar->m_pView ? viewBar->m_pView->GetDocument() : nullptr;
            if (document && viewBar->m_pChildFrame && !document->CanCloseFrame(viewBar->m_pChildFrame)) {
                m_bClosing = FALSE;
                return;
            }
            if (CFrameWnd* site = viewBar->GetDockingFrame()) site->ShowControlBar(viewBar, FALSE, FALSE);
            if (viewBar->m_pDockContext) viewBar->m_pDockContext->ToggleDocking();
            if (viewBar->m_wndWrapper.m_hWnd) viewBar->m_wndWrapper.SendMessage(WM_CLOSE);
            m_bClosing = FALSE;
            return;
        }
        if (bar && (bar->m_Style & SZBARF_DESTROY_ON_CLOSE)) {
            DestroyAndDeleteSizeBar(bar);
            m_bClosing = FALSE;
            DestroyWindow();
            return;
        }
    }
    // An empty frame destroys itself, and the object goes with its window.
    const HWND self = m_hWnd;
    CMiniDockFrameWnd::OnClose();
    if (CWnd::FromHandlePermanent(self) == this) m_bClosing = FALSE;
}

LRESULT COXSizableMiniDockFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOMMAND) {
        GetMiniFrameSkin()->DrawCaption(this);
        if ((wParam & 0xFFF0) == (DockMdiChildCommand() & 0xFFF0) && DockMdiChildCommand()) {
            if (auto* viewBar = dynamic_cast<COXSizeViewBar*>(GetFirstBar()); viewBar && viewBar->m_pChildFrame) {
                viewBar->m_pChildFrame->ToggleDockedView();
                return 0;
            }
        }
    }
    return CMiniDockFrameWnd::WindowProc(message, wParam, lParam);
}

LRESULT COXSizableMiniDockFrameWnd::OnActivate(WPARAM wParam, LPARAM) {
    const LRESULT result = Default();
    if (auto* viewBar = dynamic_cast<COXSizeViewBar*>(GetFirstBar()))
        viewBar->SendMessage(WM_SIZEBAR_ACTIVATE, LOWORD(wParam) != WA_INACTIVE, 3);
    return result;
}

LRESULT COXSizableMiniDockFrameWnd::OnMouseActivate(WPARAM, LPARAM lParam) {
    FitSystemMenu();
    const UINT hit = LOWORD(lParam);
    if (m_nMenuState == 2 && hit >= HTLEFT && hit <= HTBOTTOMRIGHT) return Default();
    if (auto* viewBar = dynamic_cast<COXSizeViewBar*>(GetFirstBar())) viewBar->SendMessage(WM_SIZEBAR_ACTIVATE, 1, 3);
    return Default();
}

LRESULT COXSizableMiniDockFrameWnd::OnParentNotify(WPARAM wParam, LPARAM) {
    const UINT event = LOWORD(wParam);
    if (event == WM_LBUTTONDOWN || event == WM_RBUTTONDOWN || event == WM_MBUTTONDOWN)
        if (auto* viewBar = dynamic_cast<COXSizeViewBar*>(GetFirstBar())) viewBar->SendMessage(WM_SIZEBAR_ACTIVATE, 1, 3);
    return Default();
}

void COXSizableMiniDockFrameWnd::OnInitMenuPopup(HMENU menu, UINT, BOOL sysMenu) {
    Default();
    if (!sysMenu) return;
    auto* viewBar = dynamic_cast<COXSizeViewBar*>(GetFirstBar());
    const UINT command = DockMdiChildCommand();
    if (!viewBar || !viewBar->m_pChildFrame || !viewBar->m_pChildFrame->m_hWnd || !command) return;
    if (::GetMenuState(menu, command, MF_BYCOMMAND) != static_cast<UINT>(-1)) return;
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING | (viewBar->m_pChildFrame->m_bViewDocked ? MF_CHECKED : 0), command,
                  viewBar->m_pChildFrame->m_strDockTitle);
}
