#include "docking/SizeControlBar.h"

#include "docking/DragDockContext.h"
#include "docking/MDIChildWndSizeDock.h"
#include "docking/SizableMiniDockFrameWnd.h"
#include "docking/SizeDockBar.h"
#include "docking/SizeDockFrames.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"
#include "wnd/Resources.h"

#include <algorithm>

namespace {
// The registered bars (style bit SZBARF_AUTOTIDY): made with the first, gone with the last.
std::unique_ptr<std::vector<COXSizeControlBar*>> g_bars;

// One thread mouse hook for every size bar, counted: the last bar's window takes it away.
HHOOK g_hook = nullptr;
int g_hookUsers = 0;
HWND g_lastHover = nullptr;

COXSizeControlBar* SizeBarOf(HWND hwnd) {
    for (; hwnd; hwnd = ::GetParent(hwnd)) {
        if (auto* bar = dynamic_cast<COXSizeControlBar*>(CWnd::FromHandlePermanent(hwnd))) return bar;
        if (!(::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) break;
    }
    return nullptr;
}

LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && (wParam == WM_MOUSEMOVE || wParam == WM_NCMOUSEMOVE)) {
        HWND now = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam)->hwnd;
        if (now != g_lastHover) {
            COXSizeControlBar* last = g_lastHover && ::IsWindow(g_lastHover) ? SizeBarOf(g_lastHover) : nullptr;
            if (last && last != SizeBarOf(now)) last->SendMessage(WM_NCPAINT, 1, 0);  // buttons plain again
            g_lastHover = now;
        }
    }
    return ::CallNextHookEx(g_hook, code, wParam, lParam);
}

CString MenuText(UINT id, const wchar_t* fallback) {
    CString text = LoadStringResource(id);
    text = ResourceStringPart(text, 0);
    return text.IsEmpty() ? CString(fallback) : text;
}
}  // namespace

std::vector<COXSizeControlBar*>* COXSizeControlBar::RegisteredBars() { return g_bars.get(); }
BOOL COXSizeControlBar::IsMouseHookInstalled() { return g_hook != nullptr; }

COXSizeControlBar::COXSizeControlBar(int style) : m_Style(static_cast<DWORD>(style)) {
    if (m_Style & SZBARF_AUTOTIDY) {
        if (!g_bars) g_bars = std::make_unique<std::vector<COXSizeControlBar*>>();
        g_bars->push_back(this);
    }
}

COXSizeControlBar::~COXSizeControlBar() {
    // DestroyFrameBars may have deleted the list already: a missing list is nothing to remove from.
    if ((m_Style & SZBARF_AUTOTIDY) && g_bars) {
        auto it = std::find(g_bars->rbegin(), g_bars->rend(), this);
        if (it != g_bars->rend()) g_bars->erase(std::next(it).base());
        if (g_bars->empty()) g_bars.reset();
    }
    if (m_hWnd) DestroyWindow();
    m_pDockContext.reset();
}

const MessageMap* COXSizeControlBar::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXSizeControlBar::OnCreate>(WM_CREATE),
        MapMessage<&COXSizeControlBar::OnDestroy>(WM_DESTROY),
        MapMessage<&COXSizeControlBar::OnNcPaint>(WM_NCPAINT),
        MapMessage<&COXSizeControlBar::OnNcCalcSize>(WM_NCCALCSIZE),
        MapMessage<&COXSizeControlBar::OnNcHitTest>(WM_NCHITTEST),
        MapMessage<&COXSizeControlBar::OnEraseBkgnd>(WM_ERASEBKGND),
        MapMessage<&COXSizeControlBar::OnPaint>(WM_PAINT),
        MapMessage<&COXSizeControlBar::OnLButtonDown>(WM_LBUTTONDOWN),
        MapMessage<&COXSizeControlBar::OnLButtonUp>(WM_LBUTTONUP),
        MapMessage<&COXSizeControlBar::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
        MapMessage<&COXSizeControlBar::OnMouseMove>(WM_MOUSEMOVE),
        MapMessage<&COXSizeControlBar::OnCaptureChanged>(WM_CAPTURECHANGED),
        MapMessage<&COXSizeControlBar::OnSetCursor>(WM_SETCURSOR),
        MapMessage<&COXSizeControlBar::OnWindowPosChanged>(WM_WINDOWPOSCHANGED),
        MapMessage<&COXSizeControlBar::OnContextMenu>(WM_CONTEXTMENU),
        MapMessage<&COXSizeControlBar::OnFillMenu>(WM_SIZEBAR_FILLMENU),
        MapMessage<&COXSizeControlBar::OnFloatSync>(WM_SIZEBAR_FLOATSYNC),
    };
    static const MessageMap map{CControlBar::GetMessageMap(), entries};
    return &map;
}

BOOL COXSizeControlBar::Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect,
                               CWnd* parent, UINT id, CCreateContext*) {
    if (!parent) return FALSE;
    m_dwStyle = style & CBRS_ALL;
    CRect place(rect);
    if (place.IsRectNull()) {
        CRect client;
        parent->GetClientRect(&client);
        const int w = client.Width() / 2, h = client.Height() / 4;
        place.SetRect(client.Width() - w, client.Height() - h, client.Width(), client.Height());
    }
    m_FloatSize = m_HorzDockSize = place.Size();
    m_VertDockSize = CSize(place.Height(), place.Width());
    if (!className) className = RegisterWndClass(CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW));
    return CWnd::CreateEx(0, className, windowName, style | WS_CLIPCHILDREN, place, parent, id);
}

int COXSizeControlBar::OnCreate(LPCREATESTRUCT cs) {
    if (CControlBar::OnCreate(cs) == -1) return -1;
    if (g_hookUsers++ == 0 && !g_hook) g_hook = ::SetWindowsHookExW(WH_MOUSE, MouseHookProc, nullptr, ::GetCurrentThreadId());
    return 0;
}

void COXSizeControlBar::OnDestroy() {
    if (auto* frame = dynamic_cast<COXMDIFrameWndSizeDock*>(GetDockingFrame()); frame && frame->m_pActiveSizeBar == this)
        frame->m_pActiveSizeBar = nullptr;
    // Counted: the hook stays while another bar still lives.
    if (g_hookUsers > 0 && --g_hookUsers == 0 && g_hook) {
        ::UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
        g_lastHover = nullptr;
    }
    if (g_lastHover == m_hWnd) g_lastHover = nullptr;
    CControlBar::OnDestroy();
}

void COXSizeControlBar::EnableDocking(DWORD dockStyle) {
    m_dwDockStyle = dockStyle;
    if (!m_pDockContext) m_pDockContext = std::make_unique<COXDragDockContext>(this);
    if (!GetOwner() || GetOwner() == GetParent()) SetOwner(GetParent());
}

COXDockbarSkin* COXSizeControlBar::GetDockbarSkin() {
    return LookupElementSkin<COXDockbarSkin, COXDockbarSkinClassic>(m_pFallbackSkin, &COXSkin::GetDockbarSkin);
}

COXSizeDockBar* COXSizeControlBar::GetSizeDockBar() const { return dynamic_cast<COXSizeDockBar*>(m_pDockBar); }

COXDockTabCtrl* COXSizeControlBar::GetDockTabCtrl() const {
    COXSizeDockBar* dock = GetSizeDockBar();
    if (!dock || !dock->m_TabCtrl.m_hWnd || dock->m_TabCtrl.FindBar(this) < 0) return nullptr;
    return &dock->m_TabCtrl;
}

BOOL COXSizeControlBar::IsInMDIFloatWnd() const {
    return m_pDockBar && dynamic_cast<COXMDIFloatWnd*>(m_pDockBar->GetParent()) != nullptr;
}

CPoint COXSizeControlBar::ClientOriginInWindow() const {
    CRect window;
    GetWindowRect(&window);
    CPoint origin(0, 0);
    ClientToScreen(&origin);
    return CPoint(origin.x - window.left, origin.y - window.top);
}

CRect COXSizeControlBar::ToWindow(const CRect& clientRect) const {
    if (clientRect.IsRectEmpty()) return clientRect;
    CRect r = clientRect;
    r.OffsetRect(ClientOriginInWindow());
    return r;
}

void COXSizeControlBar::SetCaptionLayout(const CRect& caption, const CRect& close, const CRect& resize) {
    const CPoint origin = ClientOriginInWindow();
    auto toClient = [&](CRect r) {
        if (!r.IsRectEmpty()) r.OffsetRect(-origin.x, -origin.y);
        else r.SetRectEmpty();
        return r;
    };
    m_rectCaption = toClient(caption);
    m_rectClose = toClient(close);
    m_rectResize = toClient(resize);
}

CSize COXSizeControlBar::CalcFixedLayout(BOOL, BOOL horz) {
    if (IsFloating()) return m_FloatSize;
    return horz ? m_HorzDockSize : m_VertDockSize;
}

CSize COXSizeControlBar::CalcDynamicLayout(int length, DWORD mode) {
    if (IsFloating() || (mode & LM_MRUWIDTH)) {
        if ((mode & LM_COMMIT) && length > 0) {
            if (mode & LM_LENGTHY) m_FloatSize.cy = length;
            else m_FloatSize.cx = length;
        }
        return m_FloatSize;
    }
    if (mode & LM_VERTDOCK) return m_VertDockSize;
    if (mode & LM_HORZDOCK) return m_HorzDockSize;
    return CalcFixedLayout(mode & LM_STRETCH, mode & LM_HORZ);
}

BOOL COXSizeControlBar::CanMaximize() const {
    COXSizeDockBar* dock = GetSizeDockBar();
    if (!dock || IsFloating()) return FALSE;
    if (dock->m_TabCtrl.m_hWnd && dock->m_TabCtrl.GetItemCount() > 0) return FALSE;
    CRect window;
    GetWindowRect(&window);
    return dock->CountOtherBarsInRow(const_cast<COXSizeControlBar*>(this), window) >= 1;
}

void COXSizeControlBar::SetMaximized(BOOL maximized, BOOL redraw) {
    if (m_bMaximized == maximized) return;
    m_bMaximized = maximized;
    if (redraw) RedrawCaption();
}

void COXSizeControlBar::RedrawCaption() {
    // The caption and its buttons live in the non-client area: painted there at once, the
    // client area and the bar's children are left alone.
    if (m_hWnd && IsWindowVisible()) SendMessage(WM_NCPAINT, 1);
}

// Painting -----------------------------------------------------------------------------

LRESULT COXSizeControlBar::OnNcPaint(WPARAM, LPARAM) {
    CWindowDC dc(this);
    dc.ExcludeClientArea();
    DrawDecorations(&dc);
    return 0;
}

void COXSizeControlBar::DrawDecorations(CDC* dc) {
    COXDockbarSkin* skin = GetDockbarSkin();
    CRect window;
    GetWindowRect(&window);
    window.OffsetRect(-window.left, -window.top);
    skin->DrawBarBackground(dc, window, this);
    skin->CalcCaptionLayout(this);
    if (HasGripper()) DrawCaption(dc);
    if (HasCloseButton()) DrawCloseButton(dc);
    if (HasResizeButton()) DrawResizeButton(dc);
}

void COXSizeControlBar::DrawCaption(CDC* dc) { GetDockbarSkin()->DrawCaption(dc, this); }
void COXSizeControlBar::DrawCloseButton(CDC* dc) { GetDockbarSkin()->DrawCloseButton(dc, this); }
void COXSizeControlBar::DrawResizeButton(CDC* dc) { GetDockbarSkin()->DrawResizeButton(dc, this); }
void COXSizeControlBar::OnBarResized(int, int, int, int) {}

LRESULT COXSizeControlBar::OnNcCalcSize(WPARAM wParam, LPARAM lParam) {
    Default();
    auto* rect = reinterpret_cast<RECT*>(lParam);  // rgrc[0] starts the params as well
    GetDockbarSkin()->OnNcCalcSize(static_cast<BOOL>(wParam), rect, this);
    return 0;
}

LRESULT COXSizeControlBar::OnNcHitTest(WPARAM, LPARAM lParam) {
    if (IsFloating()) return Default();
    CRect window;
    GetWindowRect(&window);
    return window.PtInRect(CPoint(lParam)) ? HTCLIENT : HTNOWHERE;
}

LRESULT COXSizeControlBar::OnEraseBkgnd(WPARAM wParam, LPARAM) {
    CRect client;
    GetClientRect(&client);
    ::FillRect(reinterpret_cast<HDC>(wParam), &client, ::GetSysColorBrush(COLOR_BTNFACE));
    return TRUE;
}

void COXSizeControlBar::OnPaint() {
    // Nothing to draw in the client area beyond its background: the paint only has it erased
    // where a resize uncovered it (and the caption drawn, when that is due too).
    CPaintDC dc(this);
}

// Caption buttons and the toolkit drag ------------------------------------------------------

int COXSizeControlBar::CaptionButtonAt(CPoint point) const {
    if (IsFloating()) return OX_HOT_NONE;
    if (HasCloseButton() && m_rectClose.PtInRect(point)) return OX_HOT_CLOSE;
    if (HasResizeButton() && m_rectResize.PtInRect(point) && CanMaximize()) return OX_HOT_RESIZE;
    return OX_HOT_NONE;
}

void COXSizeControlBar::OnLButtonDown(UINT flags, CPoint point) {
    if (!IsFloating()) {
        m_nHotButton = OX_HOT_NONE;
        if (const int hot = CaptionButtonAt(point); hot != OX_HOT_NONE) {
            ::SetCapture(m_hWnd);
            m_nHotButton = hot;
            RedrawCaption();
            return;
        }
        if (ToolkitDragWanted()) {
            // Held from the press on, so that a quick first move that leaves the bar still counts.
            m_ptDragStart = point;
            m_bDragPending = TRUE;
            ::SetCapture(m_hWnd);
            return;
        }
    }
    if (IsFloating()) {
        Default();
        return;
    }
    CControlBar::OnLButtonDown(flags, point);
}

void COXSizeControlBar::OnLButtonUp(UINT, CPoint point) {
    if (m_bDragging) {
        EndToolkitDrag();
        return;
    }
    if (m_bDragPending) {
        m_bDragPending = FALSE;
        if (::GetCapture() == m_hWnd) ::ReleaseCapture();
        return;
    }
    const int hot = m_nHotButton;
    m_nHotButton = OX_HOT_NONE;
    if (::GetCapture() != m_hWnd) {
        Default();
        return;
    }
    ::ReleaseCapture();
    COXSizeDockBar* dock = GetSizeDockBar();
    if (hot == OX_HOT_RESIZE && !IsFloating() && m_rectResize.PtInRect(point) && dock) {
        // The button is drawn up again with the new state: by the layout that resizes the
        // bar, or at once by the state change when the layout leaves it as it was.
        dock->MaximizeBar(this, !m_bMaximized);
        if (CFrameWnd* frame = GetDockingFrame()) frame->RecalcLayout();
        return;
    }
    RedrawCaption();
    if (hot == OX_HOT_CLOSE && m_rectClose.PtInRect(point)) ShowBar(FALSE);
}

void COXSizeControlBar::OnLButtonDblClk(UINT flags, CPoint point) {
    // The second press of a quick double click on a caption button is a press of that button.
    if (CaptionButtonAt(point) != OX_HOT_NONE) {
        OnLButtonDown(flags, point);
        return;
    }
    // Elsewhere on a docked bar, where no tool answers, the bar floats (or docks back).
    if (!IsFloating() && OnToolHitTest(point, nullptr) == -1 && m_pDockContext) {
        if (COXSizeDockBar* dock = GetSizeDockBar(); dock && ToolkitDragWanted() && dock->m_TabCtrl.FindBar(this) >= 0)
            dock->m_TabCtrl.RemoveTab(this);
        m_pDockContext->ToggleDocking();
        return;
    }
    // On a tool of a docked bar the double-click is the window's own; the framework's would
    // float the bar. A floating bar takes the framework's: its dock context docks it back.
    if (!IsFloating() && m_pDockContext) {
        Default();
        return;
    }
    CControlBar::OnLButtonDblClk(flags, point);
}

void COXSizeControlBar::OnMouseMove(UINT flags, CPoint point) {
    if (m_bDragging) {
        // The button came up where the bar did not hear it: the drag is over.
        if (!(flags & MK_LBUTTON)) {
            EndToolkitDrag();
            return;
        }
        ClientToScreen(&point);
        DragTo(point);
        return;
    }
    if (m_bDragPending && (flags & MK_LBUTTON)) {
        if (std::abs(point.x - m_ptDragStart.x) >= 4 || std::abs(point.y - m_ptDragStart.y) >= 4) {
            const CPoint origin = ClientOriginInWindow();
            ComputeDragOffset(CPoint(m_ptDragStart.x + origin.x, m_ptDragStart.y + origin.y));
            BeginToolkitDrag();
            ClientToScreen(&point);
            DragTo(point);
        }
        return;
    }
    if (::GetCapture() != m_hWnd) {
        const int hover = CaptionButtonAt(point);
        if (hover != m_nHoverButton) {
            m_nHoverButton = hover;
            RedrawCaption();
        }
    }
    Default();
}

LRESULT COXSizeControlBar::OnCaptureChanged(WPARAM, LPARAM lParam) {
    // Another window took the mouse (a message box, Alt+Tab, another drag): the press on the bar
    // and any drag it started are over. The bar's own moves while it docks or floats do not count.
    if (reinterpret_cast<HWND>(lParam) != m_hWnd && !m_bDragStep) {
        m_bDragPending = FALSE;
        if (m_bDragging) EndToolkitDrag();
        if (m_nHotButton != OX_HOT_NONE) {
            m_nHotButton = OX_HOT_NONE;
            RedrawCaption();
        }
    }
    return Default();
}

LRESULT COXSizeControlBar::OnSetCursor(WPARAM wParam, LPARAM) {
    if (reinterpret_cast<HWND>(wParam) != m_hWnd) return Default();
    ::SetCursor(::LoadCursorW(nullptr, m_bDragging ? IDC_SIZEALL : IDC_ARROW));
    return TRUE;
}

void COXSizeControlBar::ComputeDragOffset(CPoint inWindow) {
    CRect window;
    GetWindowRect(&window);
    const int floatWidth = m_FloatSize.cx;
    int x = inWindow.x;
    if (!IsFloating()) {
        // The offset scales to the floating width; a bar with no extent has nothing to scale by.
        const bool horz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
        const int extent = horz ? window.Width() : window.Height();
        const int along = horz ? inWindow.x : inWindow.y;
        x = extent > 0 ? static_cast<int>(static_cast<long long>(along) * floatWidth / extent) : 5;
        m_ptDragOffset.y = 10;
    } else {
        m_ptDragOffset.y = inWindow.y;
    }
    m_ptDragOffset.x = std::max(5, std::min(x, floatWidth - 20));
}

void COXSizeControlBar::BeginToolkitDrag() {
    m_bDragPending = FALSE;
    m_bDragging = TRUE;
    ::SetCapture(m_hWnd);
    ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEALL));
}

void COXSizeControlBar::DragTo(CPoint screen) {
    MSG msg;
    while (::PeekMessageW(&msg, m_hWnd, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
        if (!(msg.wParam & MK_LBUTTON)) {
            EndToolkitDrag();
            return;
        }
        screen = CPoint(msg.lParam);
        ClientToScreen(&screen);
    }
    CFrameWnd* frame = GetDockingFrame();
    if (!frame) return;
    // Docking or floating moves the bar to another parent, which may take the capture from it
    // for a moment: that is no end of the drag.
    const BOOL step = m_bDragStep;
    m_bDragStep = TRUE;
    COXSizeDockBar* dock = COXSizeDockBar::FindDockBarAt(this, screen);
    if (dock && ::GetKeyState(VK_CONTROL) >= 0) {
        CRect window;
        GetWindowRect(&window);
        // Over its own place in the same dock bar: it stays where it is.
        if (!(dock == m_pDockBar && window.PtInRect(screen) && dock->m_TabCtrl.HitTestTabArea(screen) == -1)) {
            CRect place(screen, window.Size());
            frame->DockControlBar(this, dock, &place);
        }
    } else {
        if (COXSizeDockBar* own = GetSizeDockBar(); own && own->m_TabCtrl.FindBar(this) >= 0) own->m_TabCtrl.RemoveTab(this);
        frame->FloatControlBar(this, CPoint(screen.x - m_ptDragOffset.x, screen.y - m_ptDragOffset.y), CBRS_ALIGN_TOP);
        SendMessage(WM_SIZEBAR_FLOATSYNC);
    }
    m_bDragStep = step;
    if (!m_bDragging || !m_hWnd) return;
    if (::GetCapture() != m_hWnd) ::SetCapture(m_hWnd);
    ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEALL));
}

void COXSizeControlBar::EndToolkitDrag() {
    m_bDragging = FALSE;
    m_bDragPending = FALSE;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    if (CFrameWnd* frame = GetDockingFrame()) frame->RecalcLayout();
}

INT_PTR COXSizeControlBar::OnToolHitTest(CPoint point, TOOLINFOW* tool) const {
    // A visible child window under the point is a tool, named by its control id.
    HWND child = ::ChildWindowFromPointEx(m_hWnd, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    if (!child || child == m_hWnd) return -1;
    if (tool) {
        tool->hwnd = m_hWnd;
        tool->uFlags = TTF_IDISHWND;
        tool->uId = reinterpret_cast<UINT_PTR>(child);
        tool->lpszText = LPSTR_TEXTCALLBACKW;
    }
    return ::GetDlgCtrlID(child);
}

// Place and state ---------------------------------------------------------------------------

LRESULT COXSizeControlBar::OnWindowPosChanged(WPARAM, LPARAM) {
    const LRESULT result = Default();
    CRect window;
    GetWindowRect(&window);
    const CSize size = window.Size();
    const int floatState = (IsFloating() || !m_pDockBar) ? 1 : 0;
    int flags = 0;
    if (!(size == m_LastSize)) flags |= 1;
    if (floatState != m_nLastFloatState) flags |= 2;
    if (flags) {
        m_LastSize = size;
        m_nLastFloatState = floatState;
        OnBarResized(size.cx, size.cy, floatState, flags);
        // A resize has the platform paint the caption again (its non-client area is new) and
        // what the client gained, once the layout is done: only a bar that docked or floated
        // draws another frame and is painted whole.
        if (flags & 2) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    }
    GetDockbarSkin()->CalcCaptionLayout(this);
    // A bar that left its row is no longer maximised there. The layout a maximise or restore
    // causes leaves the state alone, so that the bar can be restored.
    if (flags & 2) SetMaximized(FALSE);
    return result;
}

void COXSizeControlBar::OnUpdateCmdUI(CFrameWnd*, BOOL) {
    HWND focus = ::GetFocus();
    const BOOL active = focus && (focus == m_hWnd || ::IsChild(m_hWnd, focus));
    if (active != m_bActive) SetActive(active, FALSE);
}

void COXSizeControlBar::SetActive(BOOL active, BOOL deactivateOthers) {
    m_bActive = active;
    if (active) {
        HWND focus = ::GetFocus();
        if (!(focus && (focus == m_hWnd || ::IsChild(m_hWnd, focus)))) {
            // The bar, then its first child, that child's first child...: until the focus stays.
            for (HWND next = m_hWnd; next; next = ::GetWindow(next, GW_CHILD)) {
                ::SetFocus(next);
                HWND now = ::GetFocus();
                if (now == next || (now && ::IsChild(m_hWnd, now) && now != m_hWnd)) break;
            }
        }
    }
    CFrameWnd* frame = GetDockingFrame();
    if (deactivateOthers && frame) {
        for (CControlBar* other : frame->m_listControlBars) {
            auto* bar = dynamic_cast<COXSizeControlBar*>(other);
            if (bar && bar != this && bar->m_bActive && !dynamic_cast<COXSizeViewBar*>(bar)) {
                bar->m_bActive = FALSE;
                bar->RedrawCaption();
            }
        }
    }
    if (auto* sizeFrame = dynamic_cast<COXMDIFrameWndSizeDock*>(frame)) {
        if (active) {
            sizeFrame->m_pActiveSizeBar = this;
        } else if (sizeFrame->m_pActiveSizeBar == this) {
            if (CMDIChildWnd* child = sizeFrame->MDIGetActive(); child && child->m_hWnd) {
                CView* view = child->GetActiveView();
                ::SetFocus(view ? reinterpret_cast<CWnd*>(view)->m_hWnd : child->m_hWnd);
            }
        }
    }
    RedrawCaption();
}

void COXSizeControlBar::ShowBar(BOOL show) {
    const BOOL visible = IsVisible();
    if (visible == show) return;
    CFrameWnd* frame = GetDockingFrame();
    if (!frame) return;
    COXSizeDockBar* dock = IsFloating() ? nullptr : GetSizeDockBar();
    if (show) {
        if (dock && dock->m_TabCtrl.FindBar(this) >= 0) {
            dock->m_TabCtrl.SelectTab(dock->m_TabCtrl.FindBar(this));
            frame->RecalcLayout();
            return;
        }
        // A docked bar shows with the next layout, in the place that layout gives it; a floating
        // one at once, with its frame.
        frame->ShowControlBar(this, TRUE, dock != nullptr);
        if (dock && m_nSavedTabIndex >= 0 && dock->CountSizeControlBars(this) >= 1 &&
            (dock->m_TabCtrl.GetItemCount() > 0 || dock->CountBarsInRow(this) > 1)) {
            dock->m_TabCtrl.InsertTab(this, m_nSavedTabIndex, TRUE);
            frame->RecalcLayout();
        }
    } else {
        if (dock && dock->m_TabCtrl.GetItemCount() > 0) {
            m_nSavedTabIndex = dock->m_TabCtrl.FindBar(this);
            frame->ShowControlBar(this, FALSE, FALSE);
            if (m_nSavedTabIndex >= 0) dock->m_TabCtrl.RemoveTab(this);
            frame->RecalcLayout();
            return;
        }
        frame->ShowControlBar(this, FALSE, FALSE);
    }
}

// Menu and commands ------------------------------------------------------------------------

LRESULT COXSizeControlBar::OnContextMenu(WPARAM, LPARAM lParam) {
    if (!(m_Style & SZBARF_STDMOUSECLICKS)) return Default();
    HMENU menu = ::CreatePopupMenu();
    if (!menu) return 0;
    SendMessage(WM_SIZEBAR_FILLMENU, 0, reinterpret_cast<LPARAM>(menu));
    CPoint point(lParam);
    if (lParam == -1) {
        point = CPoint(0, 0);
        ClientToScreen(&point);
    }
    ::TrackPopupMenu(menu, TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd, nullptr);
    ::DestroyMenu(menu);
    return 0;
}

LRESULT COXSizeControlBar::OnFillMenu(WPARAM, LPARAM lParam) {
    HMENU menu = reinterpret_cast<HMENU>(lParam);
    const BOOL inFloatWnd = IsInMDIFloatWnd();
    if ((m_Style & SZBARF_ALLOW_MDI_FLOAT) && m_pDockContext)
        ::AppendMenuW(menu, MF_STRING | (inFloatWnd ? MF_CHECKED : 0), ID_OX_MDIFLOAT, MenuText(ID_OX_MDIFLOAT, L"&Float in MDI window"));
    if (!inFloatWnd && ((m_dwDockStyle & CBRS_ALIGN_ANY) || m_dwSavedDockStyle))
        ::AppendMenuW(menu, MF_STRING | ((m_dwDockStyle & CBRS_ALIGN_ANY) ? MF_CHECKED : 0), ID_OX_ALLOWDOCKING,
                      MenuText(ID_OX_ALLOWDOCKING, L"Allow &Docking"));
    ::AppendMenuW(menu, MF_STRING, ID_OX_HIDEBAR, MenuText(ID_OX_HIDEBAR, L"&Hide"));
    return 1;
}

LRESULT COXSizeControlBar::OnFloatSync(WPARAM, LPARAM) {
    if (m_pDockBar)
        if (auto* mini = dynamic_cast<COXSizableMiniDockFrameWnd*>(m_pDockBar->GetParent())) mini->FitSystemMenu();
    return 1;
}

BOOL COXSizeControlBar::OnCommand(WPARAM wParam, LPARAM) {
    CFrameWnd* frame = GetDockingFrame();
    switch (LOWORD(wParam)) {
    case ID_OX_ALLOWDOCKING:
        if (m_dwDockStyle & CBRS_ALIGN_ANY) {
            m_dwSavedDockStyle = m_dwDockStyle & CBRS_ALIGN_ANY;
            if (!IsFloating() && m_pDockContext) m_pDockContext->ToggleDocking();
            m_dwDockStyle &= ~CBRS_ALIGN_ANY;
        } else {
            EnableDocking(m_dwSavedDockStyle | (m_dwDockStyle & ~CBRS_ALIGN_ANY));
        }
        return TRUE;
    case ID_OX_HIDEBAR:
        if (IsInMDIFloatWnd()) {
            auto* floatWnd = dynamic_cast<COXMDIFloatWnd*>(m_pDockBar->GetParent());
            if (frame) frame->ShowControlBar(this, FALSE, FALSE);
            floatWnd->ShowWindow(SW_HIDE);
            if (auto* mdi = dynamic_cast<CMDIFrameWnd*>(frame)) mdi->MDINext();
        } else {
            ShowBar(FALSE);
        }
        return TRUE;
    case ID_OX_MDIFLOAT:
        if (auto* sizeFrame = dynamic_cast<COXMDIFrameWndSizeDock*>(frame)) {
            if (IsInMDIFloatWnd()) {
                sizeFrame->FloatControlBarFromMDIChild(this, CPoint(0, 0), CBRS_ALIGN_TOP);
            } else {
                CPoint at(0, 0);
                if (auto* context = dynamic_cast<COXDragDockContext*>(m_pDockContext.get())) at = context->m_ptLastFloat;
                sizeFrame->FloatControlBarInMDIChild(this, at, CBRS_ALIGN_TOP, TRUE);
            }
        }
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT COXSizeControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // The bar's own commands first; others go on to the owner as any bar's do.
    if (message == WM_COMMAND && lParam == 0 && OnCommand(wParam, lParam)) return 1;
    return CControlBar::WindowProc(message, wParam, lParam);
}

void COXSizeControlBar::DestroyFrameBars(CFrameWnd* frame) {
    if (!g_bars) return;
    for (size_t i = g_bars->size(); i-- > 0 && g_bars;) {
        if (i >= g_bars->size()) continue;
        COXSizeControlBar* bar = (*g_bars)[i];
        if (!bar->m_hWnd || !::IsWindow(bar->m_hWnd)) {
            g_bars->erase(g_bars->begin() + static_cast<long>(i));
            continue;
        }
        if (bar->GetDockingFrame() == frame || bar->GetParentFrame() == frame) bar->DestroyWindow();
    }
    if (g_bars && g_bars->empty()) g_bars.reset();
}
