#include "bars/ControlBar.h"

#include "app/WinApp.h"
#include "bars/DockBar.h"
#include "bars/DockContext.h"
#include "bars/MiniDockFrameWnd.h"
#include "wnd/Resources.h"

#include <algorithm>

HDWP AfxLayoutBatch(AFX_SIZEPARENTPARAMS* layout) {
    if (!layout->hDWP && layout->bBatchOnDemand) {
        layout->hDWP = ::BeginDeferWindowPos(4);
        layout->bBatchOnDemand = layout->hDWP != nullptr;
    }
    return layout->hDWP;
}

void AfxRepositionWindow(AFX_SIZEPARENTPARAMS* layout, HWND hwnd, LPCRECT rect) {
    if (!layout || AfxIsLayoutQuery(layout)) return;  // a query moves nothing
    HWND parent = ::GetParent(hwnd);
    CRect old;
    ::GetWindowRect(hwnd, &old);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&old), 2);
    if (CRect(*rect) == old) return;
    // Erased and painted once the whole layout stands: erasing at each move repaints the
    // parent and every sibling it uncovers again for each window of the batch.
    layout->hDWP = ::DeferWindowPos(AfxLayoutBatch(layout), hwnd, nullptr, rect->left, rect->top, rect->right - rect->left,
                                    rect->bottom - rect->top, SWP_NOACTIVATE | SWP_NOZORDER | SWP_DEFERERASE);
}

CControlBar::CControlBar() = default;

CControlBar::~CControlBar() {
    if (m_pDockSite) m_pDockSite->RemoveControlBar(this);
    if (m_pDockBar && ::IsWindow(m_pDockBar->m_hWnd)) m_pDockBar->RemoveControlBar(this);
    if (m_hWnd) DestroyWindow();
}

const MessageMap* CControlBar::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&CControlBar::OnCreate>(WM_CREATE),
        MapMessage<&CControlBar::OnDestroy>(WM_DESTROY),
        MapMessage<&CControlBar::OnPaint>(WM_PAINT),
        MapMessage<&CControlBar::OnSizeParent>(WM_SIZEPARENT),
        MapMessage<&CControlBar::OnIdleUpdateCmdUI>(WM_IDLEUPDATECMDUI),
        MapMessage<&CControlBar::OnWindowPosChanging>(WM_WINDOWPOSCHANGING),
        MapMessage<&CControlBar::OnLButtonDown>(WM_LBUTTONDOWN),
        MapMessage<&CControlBar::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
    };
    static const MessageMap map{CWnd::GetMessageMap(), entries};
    return &map;
}

BOOL CControlBar::PreCreateWindow(CREATESTRUCTW& cs) {
    // The bar's own style bits never reach the window.
    m_dwStyle = cs.style & CBRS_ALL;
    cs.style &= ~CBRS_ALL;
    cs.style |= WS_CLIPSIBLINGS;
    return TRUE;
}

int CControlBar::OnCreate(LPCREATESTRUCT cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    CWnd* parent = CWnd::FromHandlePermanent(cs->hwndParent);
    if (!m_pDockSite) {
        if (auto* frame = dynamic_cast<CFrameWnd*>(parent); frame && !dynamic_cast<CMiniDockFrameWnd*>(frame)) {
            m_pDockSite = frame;
        } else if (parent) {
            m_pDockSite = parent->GetParentFrame();
        }
        if (m_pDockSite) m_pDockSite->AddControlBar(this);
    }
    return 0;
}

void CControlBar::OnDestroy() {
    if (m_pDockBar && ::IsWindow(m_pDockBar->m_hWnd)) m_pDockBar->RemoveControlBar(this);
    m_pDockBar = nullptr;
    if (m_pDockSite) m_pDockSite->RemoveControlBar(this);
    m_pDockSite = nullptr;
    Default();
}

void CControlBar::PostNcDestroy() {
    if (m_bAutoDelete) delete this;
}

void CControlBar::SetBarStyle(DWORD style) {
    if (m_dwStyle == style) return;
    m_dwStyle = style;
    if (m_hWnd) {
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        Invalidate();
    }
}

void CControlBar::SetBorders(int left, int top, int right, int bottom) {
    m_cxLeftBorder = left;
    m_cyTopBorder = top;
    m_cxRightBorder = right;
    m_cyBottomBorder = bottom;
}

void CControlBar::EnableDocking(DWORD dockStyle) {
    m_dwDockStyle = dockStyle;
    if (!m_pDockContext && dockStyle) m_pDockContext = std::make_unique<CDockContext>(this);
    if (!m_pOwner && m_hWnd) m_pOwner = GetParent();
}

BOOL CControlBar::IsFloating() const { return (m_dwStyle & CBRS_FLOATING) != 0; }
BOOL CControlBar::IsHorzDocked() const { return !IsFloating() && (m_dwStyle & CBRS_ORIENT_HORZ); }
BOOL CControlBar::IsVertDocked() const { return !IsFloating() && (m_dwStyle & CBRS_ORIENT_VERT); }

CFrameWnd* CControlBar::GetDockingFrame() const {
    if (m_pDockSite) return m_pDockSite;
    return GetParentFrame();
}

BOOL CControlBar::IsVisible() const {
    if (m_pending == Pending::Show) return TRUE;
    if (m_pending == Pending::Hide) return FALSE;
    return m_hWnd && (GetStyle() & WS_VISIBLE);
}

CWnd* CControlBar::GetOwner() const {
    if (m_pOwner) return m_pOwner;
    if (m_pDockSite) return m_pDockSite;
    return GetParent();
}

CSize CControlBar::CalcFixedLayout(BOOL stretch, BOOL horz) {
    CSize size;
    size.cx = (stretch && horz) ? 32767 : 0;
    size.cy = (stretch && !horz) ? 32767 : 0;
    return size;
}

CSize CControlBar::CalcDynamicLayout(int, DWORD mode) {
    return CalcFixedLayout(mode & LM_STRETCH, mode & LM_HORZ);
}

void CControlBar::CalcInsideRect(CRect& rect, BOOL horz) const {
    const DWORD style = m_dwStyle;
    if (style & CBRS_BORDER_LEFT) rect.left += 1;
    if (style & CBRS_BORDER_TOP) rect.top += 1;
    if (style & CBRS_BORDER_RIGHT) rect.right -= 1;
    if (style & CBRS_BORDER_BOTTOM) rect.bottom -= 1;
    rect.DeflateRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder);
    if ((style & CBRS_GRIPPER) && !(style & CBRS_FLOATING)) {
        if (horz) rect.left += kGripperRoom;
        else rect.top += kGripperRoom;
    }
}

void CControlBar::DrawBorders(CDC* dc, CRect& rect) {
    const DWORD style = m_dwStyle;
    if (!(style & CBRS_BORDER_ANY)) return;
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    CRect r = rect;
    if (style & CBRS_BORDER_LEFT) dc->FillSolidRect(CRect(r.left, r.top, r.left + 1, r.bottom), shadow);
    if (style & CBRS_BORDER_TOP) dc->FillSolidRect(CRect(r.left, r.top, r.right, r.top + 1), shadow);
    if (style & CBRS_BORDER_RIGHT) dc->FillSolidRect(CRect(r.right - 1, r.top, r.right, r.bottom), shadow);
    if (style & CBRS_BORDER_BOTTOM) dc->FillSolidRect(CRect(r.left, r.bottom - 1, r.right, r.bottom), shadow);
    if (style & CBRS_BORDER_3D) {
        if (style & CBRS_BORDER_LEFT) dc->FillSolidRect(CRect(r.left + 1, r.top, r.left + 2, r.bottom), light);
        if (style & CBRS_BORDER_TOP) dc->FillSolidRect(CRect(r.left, r.top + 1, r.right, r.top + 2), light);
    }
    const int step = (style & CBRS_BORDER_3D) ? 2 : 1;
    if (style & CBRS_BORDER_LEFT) rect.left += step;
    if (style & CBRS_BORDER_TOP) rect.top += step;
    if (style & CBRS_BORDER_RIGHT) rect.right -= 1;
    if (style & CBRS_BORDER_BOTTOM) rect.bottom -= 1;
}

void CControlBar::DrawGripper(CDC* dc, const CRect& rect) {
    if (!(m_dwStyle & CBRS_GRIPPER) || (m_dwStyle & CBRS_FLOATING)) return;
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    CRect r = rect;
    if (m_dwStyle & CBRS_ORIENT_HORZ) {
        r.SetRect(r.left + 2, r.top + 2, r.left + 5, r.bottom - 2);
    } else {
        r.SetRect(r.left + 2, r.top + 2, r.right - 2, r.top + 5);
    }
    dc->FillSolidRect(r, shadow);
    dc->FillSolidRect(CRect(r.left, r.top, r.right - 1, r.bottom - 1), light);
    dc->FillSolidRect(CRect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 1), GetSysColor(COLOR_BTNFACE));
}

void CControlBar::DoPaint(CDC* dc) {
    CRect client;
    GetClientRect(&client);
    dc->FillSolidRect(client, GetSysColor(COLOR_BTNFACE));
}

void CControlBar::OnPaint() {
    CPaintDC dc(this);
    DoPaint(&dc);
}

void CControlBar::DelayShow(BOOL show) {
    const BOOL visible = m_hWnd && (GetStyle() & WS_VISIBLE);
    if (show == visible) m_pending = Pending::None;
    else m_pending = show ? Pending::Show : Pending::Hide;
}

DWORD CControlBar::RecalcDelayShow(AFX_SIZEPARENTPARAMS* layout) {
    DWORD style = GetStyle();
    if (m_pending == Pending::None) return style;
    const bool show = m_pending == Pending::Show;
    // A layout query only asks how things would be: the change stays pending.
    if (layout && AfxIsLayoutQuery(layout)) return show ? (style | WS_VISIBLE) : (style & ~WS_VISIBLE);
    m_pending = Pending::None;
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    if (layout) layout->hDWP = ::DeferWindowPos(AfxLayoutBatch(layout), m_hWnd, nullptr, 0, 0, 0, 0, flags);
    else SetWindowPos(nullptr, 0, 0, 0, 0, flags);
    return show ? (style | WS_VISIBLE) : (style & ~WS_VISIBLE);
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam) {
    auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    const DWORD style = RecalcDelayShow(layout);
    if (!(style & WS_VISIBLE) || !(m_dwStyle & CBRS_ALIGN_ANY)) return 0;
    CRect free(layout->rect);
    DWORD mode = layout->bStretch ? LM_STRETCH : 0;
    if ((m_dwStyle & CBRS_SIZE_DYNAMIC) && (m_dwStyle & CBRS_FLOATING)) mode |= LM_HORZ | LM_MRUWIDTH;
    else if (m_dwStyle & CBRS_ORIENT_HORZ) mode |= LM_HORZ | LM_HORZDOCK;
    else mode |= LM_VERTDOCK;
    CSize size = CalcDynamicLayout(-1, mode);
    size.cx = std::min<LONG>(size.cx, std::max(0, free.Width()));
    size.cy = std::min<LONG>(size.cy, std::max(0, free.Height()));
    CRect place = free;
    if (m_dwStyle & CBRS_ORIENT_HORZ) {
        layout->sizeTotal.cy += size.cy;
        layout->sizeTotal.cx = std::max(layout->sizeTotal.cx, size.cx);
        if (m_dwStyle & CBRS_ALIGN_TOP) {
            layout->rect.top += size.cy;
        } else {
            place.top = place.bottom - size.cy;
            layout->rect.bottom -= size.cy;
        }
    } else {
        layout->sizeTotal.cx += size.cx;
        layout->sizeTotal.cy = std::max(layout->sizeTotal.cy, size.cy);
        if (m_dwStyle & CBRS_ALIGN_LEFT) {
            layout->rect.left += size.cx;
        } else {
            place.left = place.right - size.cx;
            layout->rect.right -= size.cx;
        }
    }
    place.right = place.left + size.cx;
    place.bottom = place.top + size.cy;
    AfxRepositionWindow(layout, m_hWnd, &place);
    return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
    if (!(GetStyle() & WS_VISIBLE)) return 0;
    CWnd* owner = GetOwner();
    auto* target = dynamic_cast<CFrameWnd*>(owner);
    if (!target) target = GetParentFrame();
    if (target) OnUpdateCmdUI(target, static_cast<BOOL>(wParam));
    return 0;
}

void CControlBar::OnWindowPosChanging(WPARAM, LPARAM) {
    Default();
}

void CControlBar::OnLButtonDown(UINT, CPoint point) {
    // A docked bar with a dock context is dragged by any spot of its own.
    if (m_pDockContext && !IsFloating()) {
        ClientToScreen(&point);
        m_pDockContext->StartDrag(point);
        return;
    }
    Default();
}

void CControlBar::OnLButtonDblClk(UINT, CPoint) {
    if (m_pDockContext) {
        m_pDockContext->ToggleDocking();
        return;
    }
    Default();
}

BOOL CControlBar::ForwardToOwner(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    CWnd* owner = GetOwner();
    if (!owner || !owner->m_hWnd || owner == this) return FALSE;
    *result = owner->SendMessage(message, wParam, lParam);
    return TRUE;
}

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Children's notifications: the child itself first (reflection), then the owner.
    if (message == WM_NOTIFY || message == WM_COMMAND || message == WM_DRAWITEM || message == WM_MEASUREITEM) {
        LRESULT result = 0;
        if (message == WM_NOTIFY) {
            auto* header = reinterpret_cast<NMHDR*>(lParam);
            CWnd* child = header ? FromHandlePermanent(header->hwndFrom) : nullptr;
            if (child && child != this && child->GetSafeHwnd() && ::GetParent(child->m_hWnd) == m_hWnd) {
                if (child->OnChildNotify(message, wParam, lParam, &result)) return result;
            }
            // Tooltips of the bar's buttons: the second line of the command's string.
            if (header && (header->code == TTN_GETDISPINFOW)) {
                auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
                const UINT id = (info->uFlags & TTF_IDISHWND) ? static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom)))
                                                               : static_cast<UINT>(header->idFrom);
                CString tip = ResourceStringPart(LoadStringResource(id), 1);
                if (!tip.IsEmpty()) {
                    lstrcpynW(info->szText, tip, static_cast<int>(std::size(info->szText)));
                    info->lpszText = info->szText;
                    info->hinst = nullptr;
                    return 0;
                }
            }
        } else if (message == WM_COMMAND && lParam) {
            CWnd* child = FromHandlePermanent(reinterpret_cast<HWND>(lParam));
            if (child && child != this && ::GetParent(child->m_hWnd) == m_hWnd &&
                child->OnChildNotify(message, wParam, lParam, &result))
                return result;
        }
        if (ForwardToOwner(message, wParam, lParam, &result)) return result;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
