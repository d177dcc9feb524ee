#include "browser/PageWindow.h"

#include "browser/Browser.h"
#include "browser/PageSource.h"
#include "browser/PictureFiles.h"
#include "com/ComPtr.h"
#include "com/Geometry.h"

#include <mshtmhst.h>
#include <shellapi.h>
#include <windowsx.h>

namespace browser {

namespace {
constexpr int kLineStep = 40;
}

PageWindow::PageWindow(Browser& browser) : m_browser(browser) {}

PageWindow* PageWindow::Create(HWND parent, Browser& browser) {
    static ATOM registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = ClassName();
        return RegisterClassExW(&wc);
    }();
    (void)registered;
    auto* window = new PageWindow(browser);
    RECT client{};
    GetClientRect(parent, &client);
    HWND hwnd = CreateWindowExW(0, ClassName(), L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_CLIPCHILDREN, 0, 0,
                                client.right, client.bottom, parent, nullptr, GetModuleHandleW(nullptr), window);
    if (!hwnd) {
        delete window;
        return nullptr;
    }
    return window;
}

LRESULT CALLBACK PageWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* window = reinterpret_cast<PageWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        window = static_cast<PageWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
        const com::StatePtr& state = window->m_browser.State();
        window->m_view = state->view ? state->view : (state->view = std::make_shared<layout::LiveLayout>(state->document));
        window->m_view->changed = [window] {  // once until the next paint: an edit may change thousands of nodes
            // The page's size may have changed with it (a wide table came, lines went): the
            // scroll bars follow once the edit is done.
            window->UpdateScrollBarsLater();
            if (window->m_repaintPending) return;
            if (auto band = window->m_view->ChangedBand()) {  // typing: the edited blocks' bands
                window->InvalidatePageArea(*band);
                return;
            }
            window->m_repaintPending = true;
            InvalidateRect(window->m_hwnd, nullptr, FALSE);
        };
        window->m_view->relaid = [window](const paint::Rect& area) {  // the edited blocks as laid out again
            if (!window->m_repaintPending) window->InvalidatePageArea(area);
        };
        state->window = hwnd;
        window->m_input = std::make_unique<EditingInput>(hwnd, state, *window->m_view, [window](int x, int y) { window->ScrollTo(x, y, true); });
        state->viewChanged = [window] {
            window->UpdateScrollBars();
            InvalidateRect(window->m_hwnd, nullptr, FALSE);
        };
        state->commandRan = [window] { window->m_input->AfterCommand(); };
    }
    if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        window->m_view->changed = nullptr;
        window->m_view->relaid = nullptr;
        window->m_browser.State()->viewChanged = nullptr;
        window->m_browser.State()->commandRan = nullptr;
        if (window->m_browser.State()->window == hwnd) window->m_browser.State()->window = nullptr;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        delete window;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    try {
        return window->Handle(message, wParam, lParam);
    } catch (const std::exception&) {
        return DefWindowProcW(hwnd, message, wParam, lParam);  // no exception leaves a window procedure
    }
}

bool PageWindow::DesignMode() const { return m_browser.State()->designMode; }

LRESULT PageWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: OnPaint(); return 0;
    case WM_SIZE: OnSize(LOWORD(lParam), HIWORD(lParam)); return 0;
    case WM_VSCROLL: OnScroll(SB_VERT, LOWORD(wParam)); return 0;
    case WM_HSCROLL: OnScroll(SB_HORZ, LOWORD(wParam)); return 0;
    case WM_MOUSEWHEEL: {
        const int step = -GET_WHEEL_DELTA_WPARAM(wParam) * 3 * kLineStep / WHEEL_DELTA;
        // An element under the pointer that scrolls its content (overflow auto or scroll) takes the
        // wheel while it can still move that way; then the page does.
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(m_hwnd, &at);
        if (m_view->Current().ScrollElementAt(at.x + m_view->ScrollX(), at.y + m_view->ScrollY(), step)) {
            InvalidateRect(m_hwnd, nullptr, FALSE);
            return 0;
        }
        ScrollTo(m_view->ScrollX(), m_view->ScrollY() + step);
        return 0;
    }
    case WM_KEYDOWN:
        if (HostTakesKey(message, wParam, lParam)) return 0;  // the host's accelerator ran: the key is done
        if (m_input->OnKeyDown(static_cast<UINT>(wParam)) || OnKeyDown(static_cast<UINT>(wParam))) return 0;
        break;
    case WM_CHAR:
        if (m_input->OnChar(static_cast<wchar_t>(wParam))) return 0;
        break;
    case WM_SETFOCUS: m_input->OnSetFocus(); return 0;
    case WM_KILLFOCUS: m_input->OnKillFocus(); return 0;
    case WM_LBUTTONDOWN:
        SetFocus(m_hwnd);
        SetCapture(m_hwnd);
        m_input->OnButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), (wParam & MK_SHIFT) != 0);
        return 0;
    case WM_MOUSEMOVE:
        if (wParam & MK_LBUTTON) m_input->OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONDBLCLK: m_input->OnDoubleClick(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == m_hwnd) ReleaseCapture();
        if (!m_input->OnButtonUp()) OnLButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));  // a click, not a drag
        return 0;
    case WM_CONTEXTMENU: OnContextMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case kMessageNavigated: m_browser.OnNavigated(); return 0;
    case kMessageUpdateBars:
        m_barsPending = false;
        ScrollTo(m_view->ScrollX(), m_view->ScrollY());  // within the page as it is now: it may have got smaller
        UpdateScrollBars();
        return 0;
    default: break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

void PageWindow::InvalidatePageArea(const paint::Rect& area) {
    const paint::Rect visible =
        area.Offset(-m_view->ScrollX(), -m_view->ScrollY()).Intersect({0, 0, m_view->ViewportWidth(), m_view->ViewportHeight()});
    if (visible.IsEmpty()) return;
    RECT rect{visible.left, visible.top, visible.right, visible.bottom};
    InvalidateRect(m_hwnd, &rect, FALSE);
}

void PageWindow::OnPaint() {
    // Brought up to date before the update region is taken: what typing
    // moved joins the region this paint covers.
    layout::DocumentLayout& layout = m_view->Current();
    PAINTSTRUCT ps;
    m_repaintPending = false;
    HDC dc = BeginPaint(m_hwnd, &ps);
    RECT client{};
    GetClientRect(m_hwnd, &client);
    if (!m_buffer || m_buffer->Width() < client.right || m_buffer->Height() < client.bottom)
        m_buffer = std::make_unique<paint::BitmapCanvas>(std::max<int>(client.right, 1), std::max<int>(client.bottom, 1));
    const int sx = m_view->ScrollX(), sy = m_view->ScrollY();
    paint::Rect dirty{ps.rcPaint.left + sx, ps.rcPaint.top + sy, ps.rcPaint.right + sx, ps.rcPaint.bottom + sy};
    layout.Paint(*m_buffer, dirty, sx, sy);
    m_input->PaintSelection(m_buffer->Dc(), ps.rcPaint);
    BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left, ps.rcPaint.bottom - ps.rcPaint.top,
           m_buffer->Dc(), ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
    EndPaint(m_hwnd, &ps);
}

void PageWindow::OnSize(int width, int height) {
    m_view->SetViewport(width, height);
    UpdateScrollBars();
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

void PageWindow::UpdateScrollBars() {
    layout::DocumentLayout& layout = m_view->Current();
    SetBar(SB_VERT, layout.ContentHeight(), m_view->ViewportHeight(), m_view->ScrollY());
    SetBar(SB_HORZ, m_view->ScrollWidth(), m_view->ViewportWidth(), m_view->ScrollX());
}

void PageWindow::UpdateScrollBarsLater() {
    if (!m_barsPending) m_barsPending = PostMessageW(m_hwnd, kMessageUpdateBars, 0, 0) != FALSE;
}

void PageWindow::SetBar(int bar, int extent, int page, int position) {
    BarState now{std::max(extent, 1) - 1, page, position};
    BarState& shown = bar == SB_VERT ? m_vertical : m_horizontal;
    if (now == shown) return;
    shown = now;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    // The vertical bar stays, disabled when the page fits, as in the browser this window stands in
    // for: the page's width never changes with its height, so a page that turns out taller than
    // the window is not laid out a second time when the bar would come.
    if (bar == SB_VERT) info.fMask |= SIF_DISABLENOSCROLL;
    info.nMax = now.max;
    info.nPage = static_cast<UINT>(now.page);
    info.nPos = now.position;
    SetScrollInfo(m_hwnd, bar, &info, TRUE);
}

void PageWindow::ScrollTo(int x, int y, bool barsLater) {
    const int oldX = m_view->ScrollX(), oldY = m_view->ScrollY();
    m_view->ScrollTo(x, y);
    int dx = oldX - m_view->ScrollX(), dy = oldY - m_view->ScrollY();
    if (dx == 0 && dy == 0) return;
    // What stays visible moves; only the uncovered band is painted again.
    // When the whole window is to be painted anyway (the page's boxes were
    // built anew), nothing is moved: that paint shows the new position.
    if (!m_repaintPending) ScrollWindowEx(m_hwnd, dx, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    if (!barsLater) UpdateScrollBars();
    else UpdateScrollBarsLater();
    if (!m_repaintPending) UpdateWindow(m_hwnd);
}

void PageWindow::OnScroll(int bar, int code) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(m_hwnd, bar, &info);
    const int page = bar == SB_VERT ? m_view->ViewportHeight() : m_view->ViewportWidth();
    int position = info.nPos;
    switch (code) {
    case SB_LINEUP: position -= kLineStep; break;
    case SB_LINEDOWN: position += kLineStep; break;
    case SB_PAGEUP: position -= std::max(page - kLineStep, kLineStep); break;
    case SB_PAGEDOWN: position += std::max(page - kLineStep, kLineStep); break;
    case SB_THUMBTRACK: case SB_THUMBPOSITION: position = info.nTrackPos; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = info.nMax; break;
    default: return;
    }
    if (bar == SB_VERT) ScrollTo(m_view->ScrollX(), position);
    else ScrollTo(position, m_view->ScrollY());
}

bool PageWindow::OnKeyDown(UINT key) {
    if (DesignMode()) return false;  // the editor takes the keys in edit mode
    const int page = std::max(m_view->ViewportHeight() - kLineStep, kLineStep);
    const int x = m_view->ScrollX(), y = m_view->ScrollY();
    switch (key) {
    case VK_UP: ScrollTo(x, y - kLineStep); return true;
    case VK_DOWN: ScrollTo(x, y + kLineStep); return true;
    case VK_LEFT: ScrollTo(x - kLineStep, y); return true;
    case VK_RIGHT: ScrollTo(x + kLineStep, y); return true;
    case VK_PRIOR: ScrollTo(x, y - page); return true;
    case VK_NEXT: case VK_SPACE: ScrollTo(x, y + page); return true;
    case VK_HOME: ScrollTo(x, 0); return true;
    case VK_END: ScrollTo(x, INT_MAX / 2); return true;
    default: return false;
    }
}

bool PageWindow::HostTakesKey(UINT message, WPARAM wParam, LPARAM lParam) {
    ComPtr<IDocHostUIHandler> handler;
    if (IUnknown* host = m_browser.Host())
        host->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(handler.Receive()));
    if (!handler) return false;
    MSG msg{m_hwnd, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    // {DE4BA900-59CA-11CF-9592-444553540000}: the engine's command group
    static const GUID kGroup = {0xde4ba900, 0x59ca, 0x11cf, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    return handler->TranslateAccelerator(&msg, &kGroup, 0) == S_OK;
}

CString PageWindow::LinkAt(int x, int y) {
    const dom::Node* element = m_view->Current().ElementFromPoint(x + m_view->ScrollX(), y + m_view->ScrollY());
    for (; element; element = element->Parent()) {
        if (element->Is(dom::Tag::Html)) break;
        if (element->Is(dom::Tag::A) && element->HasAttribute(L"href")) return element->GetAttribute(L"href");
    }
    return CString();
}

void PageWindow::OnLButtonUp(int x, int y) {
    if (DesignMode()) return;
    CString href = LinkAt(x, y);
    href.Trim();
    if (href.IsEmpty() || href[0] == L'#') return;
    // The host may take the link; else the shell opens it. The page stays.
    if (m_browser.BeforeNavigate(href)) return;
    CString target = href;
    if (href.Find(L':') < 0) {  // relative to the page's own file
        CString local = LocalFilePath(PageFolder(m_browser.Address()), href);
        if (!local.IsEmpty()) target = local;
    }
    ShellExecuteW(m_hwnd, nullptr, target, nullptr, nullptr, SW_SHOWNORMAL);
}

void PageWindow::OnContextMenu(int x, int y) {
    POINT point{x, y};
    if (x == -1 && y == -1) {
        point = {10, 10};
        ClientToScreen(m_hwnd, &point);
    }
    ComPtr<IDocHostUIHandler> handler;
    if (IUnknown* host = m_browser.Host())
        host->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(handler.Receive()));
    if (!handler) return;
    POINT client = point;
    ScreenToClient(m_hwnd, &client);
    const dom::Node* element = m_view->Current().ElementFromPoint(client.x + m_view->ScrollX(), client.y + m_view->ScrollY());
    ComPtr<IDispatch> target;
    if (element) com::WrapNode(m_browser.State(), const_cast<dom::Node*>(element), IID_IDispatch, reinterpret_cast<void**>(target.Receive()));
    handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &point, nullptr, target.Get());
    // The engine has no menu of its own to show when the host declines.
}

}  // namespace browser
