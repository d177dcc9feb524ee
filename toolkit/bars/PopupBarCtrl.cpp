#include "bars/PopupBarCtrl.h"

#include "app/WinApp.h"
#include "gdi/NonClientMetrics.h"
#include "wnd/FloatStatus.h"
#include "wnd/Resources.h"

#include <algorithm>

namespace {
constexpr UINT_PTR kTimerId = 243;
UINT Registered(const wchar_t* name) {
    return RegisterWindowMessageW(name);
}
}  // namespace

UINT COXPopupBarCtrl::OkMessage() {
    static const UINT message = Registered(L"_POPUPBAR_OK_");
    return message;
}
UINT COXPopupBarCtrl::CancelMessage() {
    static const UINT message = Registered(L"_POPUPBAR_CANCEL_");
    return message;
}
UINT COXPopupBarCtrl::CustomButtonMessage() {
    static const UINT message = Registered(L"_POPUPBAR_CUSTOMBUTTONPICKED_");
    return message;
}
UINT COXPopupBarCtrl::TearOffMessage() {
    static const UINT message = Registered(L"_POPUPBAR_TEAROFF_");
    return message;
}

COXPopupBarCtrl::COXPopupBarCtrl(UINT buttons, UINT rows, DWORD defaultValue, int buttonWidth, int buttonHeight, UINT, UINT)
    : m_nButtons(static_cast<int>(std::min<UINT>(buttons, 4096))),
      m_nRows(std::max(static_cast<int>(std::min<UINT>(rows, 4096)), 1)),  // no rows would leave no columns to count
      m_dwDefault(defaultValue),
      m_buttonSize(buttonWidth, buttonHeight) {}

COXPopupBarCtrl::~COXPopupBarCtrl() {
    if (m_hWnd) DestroyWindow();
    if (m_hPalette) DeleteObject(m_hPalette);
}

int COXPopupBarCtrl::GetColumnCount() const { return (m_nButtons + m_nRows - 1) / m_nRows; }

const MessageMap* COXPopupBarCtrl::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXPopupBarCtrl::OnPaint>(WM_PAINT),
        MapMessage<&COXPopupBarCtrl::OnEraseBkgnd>(WM_ERASEBKGND),
        MapMessage<&COXPopupBarCtrl::OnMouseMove>(WM_MOUSEMOVE),
        MapMessage<&COXPopupBarCtrl::OnLButtonDown>(WM_LBUTTONDOWN),
        MapMessage<&COXPopupBarCtrl::OnLButtonDown>(WM_RBUTTONDOWN),
        MapMessage<&COXPopupBarCtrl::OnLButtonUp>(WM_LBUTTONUP),
        MapMessage<&COXPopupBarCtrl::OnLButtonUp>(WM_RBUTTONUP),
        MapMessage<&COXPopupBarCtrl::OnKeyDown>(WM_KEYDOWN),
        MapMessage<&COXPopupBarCtrl::OnKeyUp>(WM_KEYUP),
        MapMessage<&COXPopupBarCtrl::OnTimer>(WM_TIMER),
        MapMessage<&COXPopupBarCtrl::OnDestroy>(WM_DESTROY),
        MapMessage<&COXPopupBarCtrl::OnClose>(WM_CLOSE),
        MapMessage<&COXPopupBarCtrl::OnActivate>(WM_ACTIVATE),
        MapMessage<&COXPopupBarCtrl::OnNcActivate>(WM_NCACTIVATE),
        MapMessage<&COXPopupBarCtrl::OnFloatStatus>(WM_FLOATSTATUS),
        MapMessage<&COXPopupBarCtrl::OnPaletteChange>(WM_QUERYNEWPALETTE),
        MapMessage<&COXPopupBarCtrl::OnPaletteChange>(WM_PALETTECHANGED),
    };
    static const MessageMap map{CWnd::GetMessageMap(), entries};
    return &map;
}

BOOL COXPopupBarCtrl::Create(CWnd* parent, DWORD popupStyle, HBRUSH background) {
    m_pParent = parent;
    m_dwPopupStyle = popupStyle;
    WNDCLASSW wc{};
    wc.style = CS_SAVEBITS;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background ? background : reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"PopupBarControl";
    WNDCLASSW existing{};
    if (!GetClassInfoW(wc.hInstance, wc.lpszClassName, &existing)) RegisterClassW(&wc);
    m_hBackground = background;
    DWORD style = WS_POPUP, exStyle = WS_EX_DLGMODALFRAME;
    if (m_bTornOff) {
        style |= WS_VISIBLE | WS_CAPTION | WS_SYSMENU | MFS_SYNCACTIVE;  // activation kept in step with the owner frame
        exStyle |= WS_EX_TOOLWINDOW;
    }
    if (!CreateEx(exStyle, L"PopupBarControl", m_strTitle, style, 0, 0, 0, 0, parent ? parent->GetSafeHwnd() : nullptr, nullptr))
        return FALSE;
    m_nTimer = SetTimer(kTimerId, 200);
    m_hToolTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!m_nTimer || !m_hToolTip) {
        DestroyWindow();
        return FALSE;
    }
    if (style & WS_SYSMENU)
        if (HMENU system = GetSystemMenu(m_hWnd, FALSE))
            for (UINT command : {SC_RESTORE, SC_MINIMIZE, SC_MAXIMIZE, SC_SIZE}) DeleteMenu(system, command, MF_BYCOMMAND);
    return TRUE;
}

void COXPopupBarCtrl::OnDestroy() {
    if (m_nTimer) KillTimer(m_nTimer);
    m_nTimer = 0;
    if (m_hToolTip && IsWindow(m_hToolTip)) ::DestroyWindow(m_hToolTip);
    m_hToolTip = nullptr;
    Default();
}

BOOL COXPopupBarCtrl::SetButtons(const DWORD* values, int count) {
    // A torn-off bar's choice no longer stands for the new values.
    if (m_bTornOff) Notify(CancelMessage());
    m_values.assign(values, values + std::max(count, 0));
    return TRUE;
}

BOOL COXPopupBarCtrl::SetToolTips(const std::pair<DWORD, UINT>* tips, int count) {
    m_toolTipTexts.clear();
    for (int i = 0; i < count; ++i) m_toolTipTexts[tips[i].first] = LoadStringResource(tips[i].second);
    return TRUE;
}

// Layout -------------------------------------------------------------------------------------------

BOOL COXPopupBarCtrl::CalcLayout() {
    m_rectDefault = m_rectCustom = m_rectTearOff = CRect();
    m_buttonRects.clear();
    const int columns = GetColumnCount();
    const int frameX = GetSystemMetrics(SM_CXDLGFRAME), frameY = GetSystemMetrics(SM_CYDLGFRAME);
    const int cellW = m_buttonSize.cx + m_marginButton.left + m_marginButton.right;
    const int cellH = m_buttonSize.cy + m_marginButton.top + m_marginButton.bottom;
    const int width = m_marginWindow.left + 2 * frameX + m_marginWindow.right + columns * cellW;
    int height = m_marginWindow.top + 2 * frameY + m_marginWindow.bottom + m_nRows * cellH;
    if (m_bTornOff) height += GetSystemMetrics(SM_CYSMCAPTION);
    if (!m_font.GetSafeHandle()) {
        NONCLIENTMETRICSW metrics{};
        GetNonClientMetrics(metrics);
        if (!m_font.CreateFontIndirect(&metrics.lfMessageFont)) return FALSE;
    }
    auto across = [&](CRect& r, const CRect& margin) {
        r.left = m_marginWindow.left + margin.left;
        r.right = r.left + width - (m_marginWindow.left + 2 * frameX + margin.left + m_marginWindow.right + margin.right);
    };
    auto textHeight = [&](const CString& text) {
        HDC screen = GetDC(nullptr);
        HGDIOBJ old = SelectObject(screen, m_font);
        RECT r{0, 0, 0, 0};
        DrawTextW(screen, text, text.GetLength(), &r, DT_CALCRECT);
        SelectObject(screen, old);
        ReleaseDC(nullptr, screen);
        return (r.bottom - r.top) + 8;
    };
    int top = m_marginWindow.top;
    if (HasTearOff()) {
        across(m_rectTearOff, m_marginTearOff);
        m_rectTearOff.top = top + m_marginTearOff.top;
        m_rectTearOff.bottom = m_rectTearOff.top + 6;
        const int grow = 6 + m_marginTearOff.top + m_marginTearOff.bottom;
        height += grow;
        top += grow;
    }
    if (HasDefault()) {
        across(m_rectDefault, m_marginDefault);
        m_rectDefault.top = top + m_marginDefault.top;
        m_rectDefault.bottom = m_rectDefault.top + textHeight(m_strDefault);
        const int grow = m_rectDefault.Height() + m_marginDefault.top + m_marginDefault.bottom;
        height += grow;
        top += grow;
    }
    if (HasCustom()) {
        across(m_rectCustom, m_marginCustom);
        m_rectCustom.top = height - (m_marginWindow.top + 2 * frameY) + m_marginCustom.top;
        if (m_bTornOff) m_rectCustom.top -= GetSystemMetrics(SM_CYSMCAPTION);
        m_rectCustom.bottom = m_rectCustom.top + textHeight(m_strCustom);
        height += m_rectCustom.Height() + m_marginCustom.top + m_marginCustom.bottom;
    }
    const int x = m_marginWindow.left + m_marginButton.left;
    const int y = top + m_marginButton.top;
    for (int r = 0; r < m_nRows; ++r)
        for (int c = 0; c < columns && r * columns + c < m_nButtons; ++c)
            m_buttonRects.emplace_back(x + c * cellW, y + r * cellH, x + c * cellW + m_buttonSize.cx, y + r * cellH + m_buttonSize.cy);
    m_rectWindow = CRect(0, 0, width, height);
    return TRUE;
}

CPoint COXPopupBarCtrl::AlignedPosition(UINT alignment, const CRect& ref, CSize size, CSize offset, bool& placed) {
    placed = true;
    const int dx = offset.cx, dy = offset.cy, W = size.cx, H = size.cy;
    switch (alignment) {
    case 0: return CPoint(ref.left - dx - W, ref.top + dy);
    case 1: return CPoint(ref.right + dx, ref.top + dy);
    case 2: return CPoint(ref.left + dx, ref.top - dy - H);
    case 3: return CPoint(ref.left + dx, ref.bottom + dy);
    case 4: return CPoint(ref.left - dx - W, ref.bottom - dy - H);
    case 5: return CPoint(ref.right + dx, ref.bottom - dy - H);
    case 6: return CPoint(ref.right - dx - W, ref.top - dy - H);
    case 7: return CPoint(ref.right - dx - W, ref.bottom + dy);
    default: placed = false; return CPoint();
    }
}

// Picking ---------------------------------------------------------------------------------------------

BOOL COXPopupBarCtrl::RegisterTools() {
    if (!m_hToolTip) return FALSE;
    while (::SendMessageW(m_hToolTip, TTM_GETTOOLCOUNT, 0, 0) > 0) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        if (!::SendMessageW(m_hToolTip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool))) break;
        ::SendMessageW(m_hToolTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    BOOL all = TRUE;
    auto add = [&](UINT_PTR id, const CRect& rect, const CString& text) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof(tool);
        tool.hwnd = m_hWnd;
        tool.uId = id;
        tool.rect = rect;
        tool.lpszText = const_cast<wchar_t*>(text.GetString());
        if (!::SendMessageW(m_hToolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) all = FALSE;
    };
    for (size_t i = 0; i < m_buttonRects.size(); ++i) {
        auto it = m_toolTipTexts.find(m_values[i]);
        add(i + 1, m_buttonRects[i], it == m_toolTipTexts.end() ? CString() : it->second);
    }
    const UINT_PTR n = static_cast<UINT_PTR>(m_nButtons);
    if (HasDefault()) add(n + 1, m_rectDefault, m_strDefault);
    if (HasCustom()) add(n + 2, m_rectCustom, m_strCustom);
    if (HasTearOff()) add(n + 3, m_rectTearOff, m_strTearOffTip);
    return all;
}

BOOL COXPopupBarCtrl::Pick(UINT alignment, LPCRECT reference, CSize offset) {
    if (m_bTornOff) {
        // A floating popup becomes a popup again.
        if (m_hWnd) DestroyWindow();
        m_bTornOff = FALSE;
        if (!Create(m_pParent, m_dwPopupStyle, m_hBackground)) return FALSE;
    }
    if (!m_hWnd) return FALSE;
    if (m_values.size() < static_cast<size_t>(m_nButtons)) m_values.resize(static_cast<size_t>(m_nButtons), 0);
    if (!CalcLayout()) return FALSE;
    // Placement.
    RECT area{};
    CWnd* main = AfxGetMainWnd();
    if (main && main->GetSafeHwnd() && (main->GetExStyle() & WS_EX_TOPMOST)) ::GetWindowRect(GetDesktopWindow(), &area);
    else SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    if (m_rectWindow.Width() > area.right - area.left || m_rectWindow.Height() > area.bottom - area.top) return FALSE;
    CRect ref;
    if (reference) ref = CRect(*reference);
    else if (m_pParent) m_pParent->GetWindowRect(&ref);
    bool placed = false;
    const CPoint at = AlignedPosition(alignment, ref, CSize(m_rectWindow.Width(), m_rectWindow.Height()), offset, placed);
    if (placed) m_rectWindow.OffsetRect(at.x - m_rectWindow.left, at.y - m_rectWindow.top);

    m_nHotIndex = m_nSelectedIndex = -1;
    if (m_dwSelected != static_cast<DWORD>(-1)) {
        if (HasDefault() && m_dwSelected == m_dwDefault) m_nSelectedIndex = 0;
        else if (auto it = std::find(m_values.begin(), m_values.begin() + m_nButtons, m_dwSelected); it != m_values.begin() + m_nButtons)
            m_nSelectedIndex = static_cast<int>(it - m_values.begin()) + 1;
        else if (HasCustom()) m_nSelectedIndex = m_nButtons + 1;
    }
    if (!RegisterTools()) return FALSE;
    if (m_hToolTip) ::SendMessageW(m_hToolTip, TTM_ACTIVATE, !(m_dwPopupStyle & POPUPBAR_NOTOOLTIPS), 0);

    SetWindowPos(nullptr, m_rectWindow.left, m_rectWindow.top, m_rectWindow.Width(), m_rectWindow.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(SW_SHOWNA);
    HWND focus = ::SetFocus(nullptr);
    HWND previousCapture = ::SetCapture(m_hWnd);
    m_bMouseDown = FALSE;
    m_bClickPending = FALSE;
    m_nState = 0;
    MSG msg;
    while (m_nState == 0) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {  // a request to quit ends the pick; the loop above ours still sees it
            PostQuitMessage(static_cast<int>(msg.wParam));
            m_nState = 2;
            break;
        }
        if (got < 0) break;
        if (m_hToolTip) {
            MSG relay = msg;
            ::SendMessageW(m_hToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relay));
        }
        if (GetCapture() != m_hWnd) {  // another window took the mouse: a cancel
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            m_nState = 2;
            break;
        }
        if (msg.message == WM_SYSKEYUP) OnKeyUp(static_cast<UINT>(msg.wParam), LOWORD(msg.lParam), HIWORD(msg.lParam));
        else if (msg.message == WM_SYSKEYDOWN) OnKeyDown(static_cast<UINT>(msg.wParam), LOWORD(msg.lParam), HIWORD(msg.lParam));
        else if (msg.message == OkMessage()) m_nState = 1;
        else if (msg.message == CancelMessage()) m_nState = 2;
        else if (msg.message == CustomButtonMessage()) {
            m_nState = 3;
            break;
        } else if (msg.message == TearOffMessage()) {
            m_nState = 4;
            break;
        } else {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            if (msg.message == WM_LBUTTONDOWN) {
                m_endingClick = msg;
                m_bClickPending = TRUE;
                continue;
            }
        }
        if (m_nState == 0) m_bClickPending = FALSE;
    }
    if (m_nState != 4) ShowWindow(SW_HIDE);
    BOOL result = m_nState == 1;
    if (m_nState == 3) result = OnCustomButton();
    if (focus && IsWindow(focus)) ::SetFocus(focus);
    if (GetCapture() == m_hWnd) ReleaseCapture();
    if (previousCapture && IsWindow(previousCapture)) ::SetCapture(previousCapture);
    m_bMouseDown = FALSE;
    if (m_bClickPending) PassOnClick();
    if (m_nState == 4) TearOff();
    return result;
}

void COXPopupBarCtrl::PassOnClick() {
    m_bClickPending = FALSE;
    POINT pt{static_cast<short>(LOWORD(m_endingClick.lParam)), static_cast<short>(HIWORD(m_endingClick.lParam))};
    ::ClientToScreen(m_endingClick.hwnd ? m_endingClick.hwnd : m_hWnd, &pt);
    HWND target = WindowFromPoint(pt);
    if (!target || target == m_hWnd) return;
    const LRESULT hit = ::SendMessageW(target, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    if (hit == HTCLIENT) {
        POINT client = pt;
        ::ScreenToClient(target, &client);
        ::PostMessageW(target, WM_LBUTTONDOWN, HTCLIENT, MAKELPARAM(client.x, client.y));
    } else {
        ::PostMessageW(target, WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), MAKELPARAM(pt.x, pt.y));
    }
}

void COXPopupBarCtrl::Notify(UINT message) {
    if (m_bTornOff) {
        if (message == CustomButtonMessage() && !OnCustomButton()) return;
        if (message == CancelMessage()) {
            m_bHotTracking = FALSE;
            ShowWindow(SW_HIDE);
            return;
        }
        if (m_pParent) m_pParent->PostMessage(WM_POPUPBAR_NOTIFY, 0, reinterpret_cast<LPARAM>(m_hWnd));
        return;
    }
    PostMessage(message, 0, 0);
}

BOOL COXPopupBarCtrl::PreTranslateMessage(MSG* msg) {
    if (m_hToolTip) {
        ::SendMessageW(m_hToolTip, TTM_ACTIVATE, TRUE, 0);
        ::SendMessageW(m_hToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
    }
    return CWnd::PreTranslateMessage(msg);
}

// Mouse and keys -----------------------------------------------------------------------------------

int COXPopupBarCtrl::HitTest(CPoint point) const {
    if (HasDefault() && m_rectDefault.PtInRect(point)) return 0;
    for (size_t i = 0; i < m_buttonRects.size(); ++i)
        if (m_buttonRects[i].PtInRect(point)) return static_cast<int>(i) + 1;
    if (HasCustom() && m_rectCustom.PtInRect(point)) return m_nButtons + 1;
    return -1;
}

CRect COXPopupBarCtrl::IndexRect(int index) const {
    if (index == 0) return m_rectDefault;
    if (index == m_nButtons + 1) return m_rectCustom;
    if (index >= 1 && index <= static_cast<int>(m_buttonRects.size())) return m_buttonRects[static_cast<size_t>(index - 1)];
    return CRect();
}

void COXPopupBarCtrl::InvalidateIndex(int index) {
    if (index < 0 || !m_hWnd) return;
    const CRect r = IndexRect(index);
    InvalidateRect(&r, FALSE);
}

void COXPopupBarCtrl::SetHotIndex(int index) {
    if (index == m_nHotIndex) return;
    InvalidateIndex(m_nHotIndex);
    m_nHotIndex = index;
    InvalidateIndex(index);
}

void COXPopupBarCtrl::SetSelectedIndex(int index) {
    if (index == m_nSelectedIndex) return;
    InvalidateIndex(m_nSelectedIndex);
    m_nSelectedIndex = index;
    InvalidateIndex(index);
}

void COXPopupBarCtrl::OnMouseMove(UINT, CPoint point) {
    if (point == m_lastMouse) return;
    m_lastMouse = point;
    SetHotIndex(HitTest(point));
    if (m_bTornOff) m_bHotTracking = TRUE;
    if (m_bTearOffArmed && !m_rectTearOff.PtInRect(point)) {
        m_bTearOffArmed = FALSE;
        PostMessage(TearOffMessage());
    }
}

void COXPopupBarCtrl::OnButtonDown(CPoint point) {
    CRect client;
    GetClientRect(&client);
    if (client.PtInRect(point)) {
        m_bMouseDown = TRUE;
        InvalidateIndex(HitTest(point));
        if (HasTearOff() && m_rectTearOff.PtInRect(point)) m_bTearOffArmed = TRUE;
    } else if (!m_bTornOff) {
        PostMessage(CancelMessage());
    }
}

void COXPopupBarCtrl::Choose() {
    if (m_nHotIndex == m_nButtons + 1 && HasCustom()) {
        Notify(CustomButtonMessage());
        return;
    }
    SetSelectedIndex(m_nHotIndex);
    m_dwSelected = m_nHotIndex == 0 ? m_dwDefault : m_values[static_cast<size_t>(m_nHotIndex - 1)];
    Notify(OkMessage());
}

void COXPopupBarCtrl::OnButtonUp(CPoint) {
    m_bTearOffArmed = FALSE;
    if (m_bMouseDown && m_nHotIndex != -1) Choose();
    else if (m_bMouseDown && !m_bTornOff) PostMessage(CancelMessage());
    m_bMouseDown = FALSE;
}

void COXPopupBarCtrl::OnKeyDown(UINT key, UINT, UINT) {
    if (m_bTornOff) m_bHotTracking = FALSE;
    const int C = GetColumnCount(), F = FirstIndex(), L = LastIndex(), N = m_nButtons, h = m_nHotIndex;
    const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    int next = h;
    switch (key) {
    case VK_DOWN:
        if (h == -1 || h == L) next = F;
        else if (h + C > L && L == N) next = F;
        else if (h == 0) next = 1;
        else if (h + C >= L && L != N) next = L;
        else next = h + C;
        break;
    case VK_UP:
        if (h == -1 || h == F) next = L;
        else if (h < F + C && F == 1) next = L;
        else if (h == N + 1) next = N;
        else if (h <= F + C && F == 0) next = 0;
        else next = h - C;
        break;
    case VK_RIGHT: next = (h == -1 || h == L) ? F : h + 1; break;
    case VK_LEFT: next = (h == -1 || h == F) ? L : h - 1; break;
    case VK_TAB:
        if (!shift) {
            if (h == 0) next = 1;
            else if (h >= 1 && h <= N) next = HasCustom() ? N + 1 : F;
            else next = F;
        } else {
            if (h == N + 1) next = 1;
            else if (h >= 1 && h <= N) next = HasDefault() ? 0 : HasCustom() ? N + 1 : 1;
            else next = HasCustom() ? N + 1 : 1;
        }
        break;
    case VK_RETURN:
        if (h != -1) Choose();
        else if (!m_bTornOff) PostMessage(CancelMessage());
        return;
    case VK_SPACE:
        if (!m_bMouseDown && h != -1) {
            m_bMouseDown = TRUE;
            InvalidateIndex(h);
        }
        return;
    default: return;
    }
    SetHotIndex(next);
}

void COXPopupBarCtrl::OnKeyUp(UINT key, UINT, UINT) {
    if (key == VK_ESCAPE) {
        Notify(CancelMessage());
    } else if (key == VK_SPACE) {
        m_bMouseDown = FALSE;
        if (m_nHotIndex != -1) Choose();
        else if (!m_bTornOff) PostMessage(CancelMessage());
    }
}

void COXPopupBarCtrl::OnTimer(UINT_PTR id) {
    if (id != kTimerId) {
        Default();
        return;
    }
    // Floating: the hot button goes when the cursor is over none.
    if (!m_bTornOff || !m_bHotTracking || m_nHotIndex == -1) return;
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(&pt);
    if (HitTest(CPoint(pt.x, pt.y)) == -1) SetHotIndex(-1);
}

// Painting ---------------------------------------------------------------------------------------

void COXPopupBarCtrl::OnPaint() {
    CPaintDC dc(this);
    HPALETTE oldPalette = nullptr;
    if (m_hPalette) {
        oldPalette = SelectPalette(dc, m_hPalette, FALSE);
        RealizePalette(dc);
    }
    DrawBackground(&dc);
    for (int i = 0; i < static_cast<int>(m_buttonRects.size()); ++i) DrawButton(&dc, i);
    if (HasTearOff()) DrawTearOffStrip(&dc);
    if (HasDefault()) DrawDefaultButton(&dc);
    if (HasCustom()) DrawCustomButton(&dc);
    if (oldPalette) SelectPalette(dc, oldPalette, FALSE);
}

void COXPopupBarCtrl::DrawBackground(CDC* dc) {
    CRect client;
    GetClientRect(&client);
    auto brush = reinterpret_cast<HBRUSH>(GetClassLongPtrW(m_hWnd, GCLP_HBRBACKGROUND));
    if (reinterpret_cast<UINT_PTR>(brush) <= COLOR_MENUBAR + 1 && brush)
        brush = GetSysColorBrush(static_cast<int>(reinterpret_cast<UINT_PTR>(brush)) - 1);
    ::FillRect(*dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
}

void COXPopupBarCtrl::DrawButtonFrame(CDC* dc, CRect rect, int index) {
    auto frame3d = [&](COLORREF topLeft, COLORREF bottomRight) {
        dc->FillSolidRect(CRect(rect.left, rect.top, rect.right - 1, rect.top + 1), topLeft);
        dc->FillSolidRect(CRect(rect.left, rect.top, rect.left + 1, rect.bottom - 1), topLeft);
        dc->FillSolidRect(CRect(rect.right - 1, rect.top, rect.right, rect.bottom), bottomRight);
        dc->FillSolidRect(CRect(rect.left, rect.bottom - 1, rect.right, rect.bottom), bottomRight);
    };
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    if (index == m_nSelectedIndex) frame3d(shadow, light);
    else if (index == m_nHotIndex) {
        if (m_bMouseDown) frame3d(shadow, light);
        else frame3d(light, shadow);
    }
    rect.DeflateRect(1, 1);
    if (index == m_nSelectedIndex && index != m_nHotIndex) dc->FillSolidRect(&rect, GetSysColor(COLOR_3DLIGHT));
}

void COXPopupBarCtrl::DrawButton(CDC* dc, int index) { DrawButtonFrame(dc, m_buttonRects[static_cast<size_t>(index)], index + 1); }

void COXPopupBarCtrl::DrawTearOffStrip(CDC* dc) { dc->FillSolidRect(&m_rectTearOff, GetSysColor(COLOR_ACTIVECAPTION)); }

void COXPopupBarCtrl::DrawTextButton(CDC* dc, CRect rect, const CString& text) {
    HGDIOBJ old = dc->SelectObject(m_font);
    const int mode = dc->SetBkMode(TRANSPARENT);
    const COLORREF color = dc->SetTextColor(GetSysColor(COLOR_BTNTEXT));
    dc->DrawText(text, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    dc->SetTextColor(color);
    dc->SetBkMode(mode);
    dc->SelectObject(old);
}

void COXPopupBarCtrl::DrawDefaultButton(CDC* dc) {
    DrawButtonFrame(dc, m_rectDefault, 0);
    CRect inner(m_rectDefault);
    inner.DeflateRect(2, 2);
    CBrush shadow(GetSysColor(COLOR_BTNSHADOW));
    dc->FrameRect(&inner, &shadow);
    DrawTextButton(dc, inner, m_strDefault);
}

void COXPopupBarCtrl::DrawCustomButton(CDC* dc) {
    DrawButtonFrame(dc, m_rectCustom, m_nButtons + 1);
    CRect inner(m_rectCustom);
    inner.DeflateRect(3, 3);
    DrawTextButton(dc, inner, m_strCustom);
}
