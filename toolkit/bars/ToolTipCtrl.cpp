#include "bars/ToolTipCtrl.h"

#include "gdi/NonClientMetrics.h"

#include <algorithm>

COXToolTipCtrl::~COXToolTipCtrl() {
    m_pCurrentTool = nullptr;
    m_tools.clear();
    if (m_hWnd) DestroyWindow();
}

const MessageMap* COXToolTipCtrl::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXToolTipCtrl::OnPaint>(WM_PAINT),
        MapMessage<&COXToolTipCtrl::OnTimer>(WM_TIMER),
        MapMessage<&COXToolTipCtrl::OnLButtonDown>(WM_LBUTTONDOWN),
        MapMessage<&COXToolTipCtrl::OnMouseActivate>(WM_MOUSEACTIVATE),
        MapMessage<&COXToolTipCtrl::OnSetFocus>(WM_SETFOCUS),
        MapMessage<&COXToolTipCtrl::OnDestroy>(WM_DESTROY),
        MapMessage<&COXToolTipCtrl::OnSettingChange>(WM_SETTINGCHANGE),
        MapMessage<&COXToolTipCtrl::OnSetFont>(WM_SETFONT),
        MapMessage<&COXToolTipCtrl::OnGetFont>(WM_GETFONT),
    };
    static const MessageMap map{CWnd::GetMessageMap(), entries};
    return &map;
}

BOOL COXToolTipCtrl::Create(CWnd* parent) {
    m_pParent = parent;
    LOGFONTW font{};
    if (GetSystemStatusFont(font)) SetTipFont(&font, FALSE);
    const wchar_t* cls = RegisterWndClass(CS_SAVEBITS, LoadCursorW(nullptr, IDC_ARROW));
    return CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, cls, L"", WS_POPUP, 0, 0, 0, 0, parent ? parent->GetSafeHwnd() : nullptr, nullptr);
}

BOOL COXToolTipCtrl::AddTool(const OXTOOLINFO& info) {
    if (!info.hwnd) return FALSE;
    auto tool = std::make_unique<Tool>();
    tool->flags = info.uFlags;
    tool->hwnd = info.hwnd;
    tool->id = info.uId;
    tool->rect = CRect(info.rect);
    tool->callback = info.lpszText == LPSTR_TEXTCALLBACKW;
    if (!tool->callback && info.lpszText) {
        if (IS_INTRESOURCE(info.lpszText)) {
            wchar_t buffer[512] = {};
            LoadStringW(info.hinst ? info.hinst : GetModuleHandleW(nullptr), static_cast<UINT>(reinterpret_cast<UINT_PTR>(info.lpszText)),
                        buffer, 512);
            tool->text = buffer;
        } else {
            tool->text = info.lpszText;
        }
    }
    tool->maxWidth = std::max(info.nWidth, 0);
    tool->textColor = info.clrTextColor;
    tool->backColor = info.clrBackColor;
    tool->appValue = info.lParam;
    m_tools.push_back(std::move(tool));
    return TRUE;
}

void COXToolTipCtrl::DelTool(HWND hwnd, UINT_PTR id) {
    Tool* tool = FindToolRecord(hwnd, id);
    if (!tool) return;
    if (tool == m_pCurrentTool) Hide();
    std::erase_if(m_tools, [tool](auto& t) { return t.get() == tool; });
}

COXToolTipCtrl::Tool* COXToolTipCtrl::FindToolRecord(HWND hwnd, UINT_PTR id) const {
    for (auto& tool : m_tools)
        if (tool->hwnd == hwnd && tool->id == id) return tool.get();
    return nullptr;
}

// Fonts -------------------------------------------------------------------------------------------

BOOL COXToolTipCtrl::GetSystemStatusFont(LOGFONTW& font) {
    NONCLIENTMETRICSW metrics{};
    if (!GetNonClientMetrics(metrics)) return FALSE;
    font = metrics.lfStatusFont;
    return TRUE;
}

BOOL COXToolTipCtrl::SetTipFont(const LOGFONTW* font, BOOL redraw) {
    if (!font) return FALSE;
    m_logFont = *font;
    LOGFONTW system{};
    m_bSystemFont = GetSystemStatusFont(system) && system.lfHeight == font->lfHeight && system.lfWeight == font->lfWeight &&
                    system.lfItalic == font->lfItalic && system.lfCharSet == font->lfCharSet &&
                    wcscmp(system.lfFaceName, font->lfFaceName) == 0;
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&m_logFont);
    if (redraw && m_hWnd) Invalidate();
    return TRUE;
}

LRESULT COXToolTipCtrl::OnSettingChange(WPARAM, LPARAM) {
    const LRESULT result = Default();
    LOGFONTW system{};
    if (m_bSystemFont && GetSystemStatusFont(system)) SetTipFont(&system, TRUE);
    return result;
}

LRESULT COXToolTipCtrl::OnSetFont(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = Default();
    LOGFONTW font{};
    if (!wParam || !GetObjectW(reinterpret_cast<HGDIOBJ>(wParam), sizeof(font), &font)) GetSystemStatusFont(font);
    SetTipFont(&font, static_cast<BOOL>(lParam) || TRUE);
    return result;
}

LRESULT COXToolTipCtrl::OnSetFocus(WPARAM wParam, LPARAM) {
    const LRESULT result = Default();
    m_hFocusWnd = reinterpret_cast<HWND>(wParam);
    return result;
}

void COXToolTipCtrl::OnDestroy() {
    KillTimer(kDelayTimer);
    KillTimer(kPollTimer);
    Default();
}

// Texts and places ----------------------------------------------------------------------------------

CString COXToolTipCtrl::GetToolText(Tool* tool) {
    if (!tool) return CString();
    CString text = tool->text;
    if (tool->callback) {
        NMTTDISPINFOW info{};
        info.hdr.hwndFrom = m_hWnd;
        info.hdr.idFrom = tool->id;
        info.hdr.code = TTN_NEEDTEXTW;
        ::SendMessageW(tool->hwnd, WM_NOTIFY, tool->id, reinterpret_cast<LPARAM>(&info));
        if (info.hinst && info.lpszText && IS_INTRESOURCE(info.lpszText)) {
            wchar_t buffer[512] = {};
            LoadStringW(info.hinst, static_cast<UINT>(reinterpret_cast<UINT_PTR>(info.lpszText)), buffer, 512);
            text = buffer;
        } else if (info.lpszText && !IS_INTRESOURCE(info.lpszText) && info.lpszText != LPSTR_TEXTCALLBACKW) {
            text = info.lpszText;
        } else {
            info.szText[std::size(info.szText) - 1] = 0;
            text = info.szText;
        }
    }
    m_bHasExtendedText = FALSE;
    if (const int cr = text.Find(L'\r'); cr >= 0) {
        m_bHasExtendedText = TRUE;
        return m_bExtendedShown ? text.Mid(cr + 1) : text.Left(cr);
    }
    return text;
}

CString COXToolTipCtrl::ShownText(Tool* tool) { return GetToolText(tool); }

CRect COXToolTipCtrl::CalcTipRect(const CString& text, int maxWidth) {
    HDC dc = GetDC(m_hWnd);
    HGDIOBJ old = SelectObject(dc, m_font.GetSafeHandle() ? m_font.GetSafeHandle() : GetStockObject(DEFAULT_GUI_FONT));
    int width = maxWidth;
    if (width == 0) {
        int start = 0;
        while (start <= text.GetLength()) {
            int end = text.Find(L'\n', start);
            if (end < 0) end = text.GetLength();
            const CString line = text.Mid(start, end - start);
            SIZE size{};
            GetTextExtentPoint32W(dc, line, line.GetLength(), &size);
            width = std::max<int>(width, size.cx);
            start = end + 1;
        }
    }
    RECT r{0, 0, width, 0};
    DrawTextW(dc, text, text.GetLength(), &r, m_nDrawFlags | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(m_hWnd, dc);
    return CRect(0, 0, (r.right - r.left) + m_margins.left + m_margins.right, (r.bottom - r.top) + m_margins.top + m_margins.bottom);
}

CRect COXToolTipCtrl::AdjustTipRect(CRect rect, CPoint point, Tool* tool) {
    rect.OffsetRect(point.x - rect.left, point.y - rect.top);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &monitor);
    const CRect screen(monitor.rcMonitor);
    if (rect.right > screen.right) rect.OffsetRect(screen.right - rect.right, 0);
    if (rect.left < screen.left) rect.OffsetRect(screen.left - rect.left, 0);
    if (rect.bottom > screen.bottom && tool && tool->hwnd) {
        RECT window;
        ::GetWindowRect(tool->hwnd, &window);
        rect.OffsetRect(0, window.top - rect.bottom);
    }
    return rect;
}

void COXToolTipCtrl::Hide() {
    if (m_hWnd) ShowWindow(SW_HIDE);
    m_bHidden = TRUE;
    m_pCurrentTool = nullptr;
}

void COXToolTipCtrl::Show(CPoint point, BOOL extended) {
    if (!m_hWnd || !m_pCurrentTool) return;
    m_bExtendedShown = extended;
    const CString text = GetToolText(m_pCurrentTool);
    if (text.IsEmpty()) return;
    const CRect rect = AdjustTipRect(CalcTipRect(text, m_pCurrentTool->maxWidth), point, m_pCurrentTool);
    ShowWindow(SW_HIDE);
    SetWindowPos(HWND_TOPMOST, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Invalidate();
    m_bHidden = FALSE;
}

// Tools under the cursor --------------------------------------------------------------------------------

CPoint COXToolTipCtrl::CursorInParent() const {
    POINT pt;
    GetCursorPos(&pt);
    if (m_pParent) ::ScreenToClient(m_pParent->GetSafeHwnd(), &pt);
    return CPoint(pt.x, pt.y);
}

BOOL COXToolTipCtrl::FindTool(HWND hwnd, CPoint point, OXTOOLINFO& info) const {
    if (!hwnd) return FALSE;
    HWND parent = m_pParent ? m_pParent->GetSafeHwnd() : hwnd;
    POINT local = point;
    MapWindowPoints(parent, hwnd, &local, 1);
    for (auto& tool : m_tools) {
        if (tool->hwnd != hwnd || !tool->rect.PtInRect(local)) continue;
        info = OXTOOLINFO{};
        info.uFlags = tool->flags;
        info.hwnd = tool->hwnd;
        info.uId = tool->id;
        info.rect = tool->rect;
        info.lpszText = tool->callback ? LPSTR_TEXTCALLBACKW : const_cast<wchar_t*>(tool->text.GetString());
        info.lParam = tool->appValue;
        info.nWidth = tool->maxWidth;
        info.clrTextColor = tool->textColor;
        info.clrBackColor = tool->backColor;
        return TRUE;
    }
    // A child at the point that is itself a tool's window.
    if (HWND child = ChildWindowFromPointEx(hwnd, local, CWP_SKIPINVISIBLE); child && child != hwnd)
        for (auto& tool : m_tools)
            if (tool->hwnd == child) return FindTool(child, point, info);
    return FALSE;
}

COXToolTipCtrl::Tool* COXToolTipCtrl::ToolFromPoint(CPoint point) const {
    if (!m_pParent) return nullptr;
    HWND parent = m_pParent->GetSafeHwnd();
    HWND under = ChildWindowFromPointEx(parent, point, CWP_SKIPINVISIBLE);
    if (!under) return nullptr;
    OXTOOLINFO info;
    if (!FindTool(under, point, info) && (under == parent || !FindTool(parent, point, info))) return nullptr;
    return FindToolRecord(info.hwnd, info.uId);
}

BOOL COXToolTipCtrl::IsCursorOverTool(Tool* tool) const {
    if (!tool) return FALSE;
    OXTOOLINFO info;
    return FindTool(tool->hwnd, CursorInParent(), info) && info.uId == tool->id;
}

BOOL COXToolTipCtrl::IsCursorInTip() const {
    if (m_bHidden || !m_hWnd || !IsWindowVisible()) return FALSE;
    POINT pt;
    GetCursorPos(&pt);
    CRect r;
    GetWindowRect(&r);
    return r.PtInRect(pt);
}

void COXToolTipCtrl::RelayEvent(const MSG* msg) {
    if (!msg || !m_hWnd || !m_bEnabled || msg->message != WM_MOUSEMOVE) return;
    Tool* tool = ToolFromPoint(CursorInParent());
    if (tool == m_pCurrentTool) return;
    if (!m_bHidden) {
        KillTimer(kPollTimer);
        Hide();
    }
    m_pCurrentTool = tool;
    if (tool) SetTimer(kDelayTimer, m_nInitialDelay);
}

// Timers, mouse, painting --------------------------------------------------------------------------

void COXToolTipCtrl::OnTimer(UINT_PTR id) {
    if (id == kDelayTimer) {
        KillTimer(kDelayTimer);
        if (!m_pCurrentTool) return;
        if (!IsCursorOverTool(m_pCurrentTool)) {
            m_pCurrentTool = nullptr;
            return;
        }
        POINT pt;
        GetCursorPos(&pt);
        Show(CPoint(pt.x + m_cursorOffset.x, pt.y + m_cursorOffset.y), FALSE);
        m_nElapsed = 0;
        SetTimer(kPollTimer, m_nPollInterval);
    } else if (id == kPollTimer) {
        if (!m_pCurrentTool || m_bHidden) return;
        m_nElapsed += m_nPollInterval;
        Tool* under = ToolFromPoint(CursorInParent());
        if (under && under != m_pCurrentTool) {
            KillTimer(kPollTimer);
            Hide();
        } else if (under == m_pCurrentTool && m_nElapsed < m_nDisplayTime) {
            // still showing
        } else if (!IsCursorInTip()) {
            KillTimer(kPollTimer);
            Hide();
        }
    } else {
        Default();
    }
}

void COXToolTipCtrl::OnLButtonDown(UINT, CPoint) {
    if (m_pCurrentTool && !m_bHidden && m_bHasExtendedText) {
        CRect r;
        GetWindowRect(&r);
        Show(CPoint(r.left, r.top), !m_bExtendedShown);
    }
    if (m_hFocusWnd && IsWindow(m_hFocusWnd)) ::SetFocus(m_hFocusWnd);
}

void COXToolTipCtrl::OnPaint() {
    CPaintDC dc(this);
    if (!m_pCurrentTool) return;
    const CString text = GetToolText(m_pCurrentTool);
    if (text.IsEmpty()) return;
    CRect client;
    GetClientRect(&client);
    const COLORREF back = m_pCurrentTool->backColor == OXTT_DEFAULT_COLOR ? GetSysColor(COLOR_INFOBK) : m_pCurrentTool->backColor;
    const COLORREF fore = m_pCurrentTool->textColor == OXTT_DEFAULT_COLOR ? GetSysColor(COLOR_INFOTEXT) : m_pCurrentTool->textColor;
    dc.FillSolidRect(&client, back);
    HGDIOBJ oldBrush = dc.SelectStockObject(HOLLOW_BRUSH);
    HGDIOBJ oldPen = dc.SelectStockObject(BLACK_PEN);
    dc.Rectangle(&client);
    HGDIOBJ oldFont = dc.SelectObject(m_font.GetSafeHandle() ? m_font.GetSafeHandle() : GetStockObject(DEFAULT_GUI_FONT));
    dc.SetTextColor(fore);
    dc.SetBkMode(TRANSPARENT);
    CRect textRect(client);
    textRect.DeflateRect(m_margins.left, m_margins.top, m_margins.right, m_margins.bottom);
    dc.DrawText(text, &textRect, m_nDrawFlags);
    if (m_bHasExtendedText) {
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        const int size = std::max<int>(metrics.tmAscent / 3, 2);
        const int midY = textRect.top + metrics.tmHeight / 2;
        POINT triangle[3];
        if (!m_bExtendedShown) {  // pointing right, at the right edge
            const int x = client.right - 2;
            triangle[0] = {x - size, midY - size};
            triangle[1] = {x, midY};
            triangle[2] = {x - size, midY + size};
        } else {  // pointing left, at the left edge
            const int x = client.left + 1;
            triangle[0] = {x + size, midY - size};
            triangle[1] = {x, midY};
            triangle[2] = {x + size, midY + size};
        }
        dc.SelectStockObject(BLACK_BRUSH);
        Polygon(dc, triangle, 3);
    }
    dc.SelectObject(oldFont);
    dc.SelectObject(oldPen);
    dc.SelectObject(oldBrush);
}
