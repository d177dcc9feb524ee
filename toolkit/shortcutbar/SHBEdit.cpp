#include "shortcutbar/SHBEdit.h"

#include "gdi/DC.h"

#include <algorithm>

namespace {

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
}

// The non-client twin of a client mouse message (0 for none).
UINT NonClientTwin(UINT message) {
    switch (message) {
    case WM_MOUSEMOVE: return WM_NCMOUSEMOVE;
    case WM_LBUTTONDOWN: return WM_NCLBUTTONDOWN;
    case WM_LBUTTONDBLCLK: return WM_NCLBUTTONDBLCLK;
    case WM_RBUTTONDOWN: return WM_NCRBUTTONDOWN;
    case WM_RBUTTONDBLCLK: return WM_NCRBUTTONDBLCLK;
    case WM_MBUTTONDOWN: return WM_NCMBUTTONDOWN;
    case WM_MBUTTONDBLCLK: return WM_NCMBUTTONDBLCLK;
    default: return 0;
    }
}

}  // namespace

COXSHBEdit::COXSHBEdit() { m_brush.CreateSysColorBrush(COLOR_WINDOW); }

COXSHBEdit::~COXSHBEdit() {
    if (m_hWnd) DestroyWindow();
}

BOOL COXSHBEdit::ValidateEditInfo(const SHBEditInfo* info) const {
    if (!info) return TRUE;
    if (info->nMask & ~0x3FFu) return FALSE;
    if ((info->nMask & SHBEIF_ENLARGE) && !(info->nMask & SHBEIF_RECTMAX)) return FALSE;
    if (info->nMask & SHBEIF_SELRANGE) {
        const bool all = info->nTextSelStart == 0 && info->nTextSelEnd == -1;
        if (!all && info->nTextSelStart != -1) {
            const int length = (info->nMask & SHBEIF_TEXT) ? (info->pszText ? static_cast<int>(wcslen(info->pszText)) : 0)
                                                          : (m_hWnd ? GetWindowTextLength() : 0);
            // An end of -1 runs to the end of the text.
            if (info->nTextSelStart < 0 || info->nTextSelStart > length) return FALSE;
            if (info->nTextSelEnd != -1 && (info->nTextSelEnd < 0 || info->nTextSelEnd > length)) return FALSE;
        }
    }
    CRect display;
    if (info->nMask & SHBEIF_RECTDISPLAY) display = info->rectDisplay;
    else if (m_hWnd) GetClientRect(&display);
    if (display.IsRectEmpty()) return FALSE;
    if (info->nMask & SHBEIF_RECTMAX) {
        if (!Inside(display, info->rectMax)) return FALSE;
        if ((info->nMask & SHBEIF_RECTMIN) &&
            (!Inside(info->rectMin, info->rectMax) || CRect(info->rectMin).IsRectEmpty()))
            return FALSE;
    }
    return TRUE;
}

BOOL COXSHBEdit::StartEdit(const SHBEditInfo* info) {
    if (!ValidateEditInfo(info)) return FALSE;
    if (!m_hWnd && !(info && (info->nMask & SHBEIF_RECTDISPLAY))) return FALSE;
    DWORD style = m_hWnd ? GetStyle() : WS_CHILD | WS_BORDER;
    CString text = m_hWnd ? GetWindowText() : CString();
    CRect rect;
    UINT id = 0xFFFF;
    HWND parent = nullptr;
    if (m_hWnd) {
        GetWindowRect(&rect);
        parent = ::GetParent(m_hWnd);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        id = static_cast<UINT>(GetDlgCtrlID());
    }
    if (info) {
        m_pInfo = std::make_unique<SHBEditInfo>(*info);
        if (info->nMask & SHBEIF_TEXT) text = info->pszText ? info->pszText : L"";
        m_strText = text;
        m_pInfo->pszText = m_strText.GetString();
        if (info->nMask & SHBEIF_RECTDISPLAY) rect = info->rectDisplay;
        if (info->nMask & SHBEIF_STYLE) style = info->dwStyle;
        if (info->nMask & SHBEIF_FONT) {
            m_font.DeleteObject();
            LOGFONTW lf{};
            if (info->hFont && ::GetObjectW(info->hFont, sizeof(lf), &lf)) m_font.CreateFontIndirect(&lf);
        }
        if (info->nMask & SHBEIF_RECTMIN) {
            rect.left = std::min(rect.left, info->rectMin.left);
            rect.top = std::min(rect.top, info->rectMin.top);
            rect.right = std::max(rect.right, info->rectMin.right);
            rect.bottom = std::max(rect.bottom, info->rectMin.bottom);
        }
    } else {
        m_pInfo.reset();
    }
    if (!parent) return FALSE;
    if (m_hWnd) DestroyWindow();
    style = (style | WS_CHILD) & ~WS_VISIBLE;
    if (!CreateEx(0, L"EDIT", text, style, rect.left, rect.top, rect.Width(), rect.Height(), parent,
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id))))
        return FALSE;
    if (m_font.GetSafeHandle()) SetFont(m_font, FALSE);
    SetWindowText(text);
    if (m_pInfo && (m_pInfo->nMask & SHBEIF_CLRBACK)) {
        m_brush.DeleteObject();
        m_brush.CreateSolidBrush(m_pInfo->clrBackground);
    }
    if (m_pInfo && (m_pInfo->nMask & SHBEIF_SELRANGE)) SetSel(m_pInfo->nTextSelStart, m_pInfo->nTextSelEnd, TRUE);
    CRect client;
    GetClientRect(&client);
    SendMessage(EM_SETRECT, 0, reinterpret_cast<LPARAM>(&client));
    m_bEditing = TRUE;
    ShowWindow(SW_SHOW);
    SetFocus();
    return TRUE;
}

void COXSHBEdit::EndEdit(BOOL accept) {
    if (!m_bEditing) return;
    m_bEditing = FALSE;
    if (::GetCapture() == m_hWnd) ReleaseCapture();
    SHBNotifyInfo info{};
    info.hdr.hwndFrom = m_hWnd;
    info.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    info.hdr.code = SHBN_ENDEDIT;
    info.hGroup = reinterpret_cast<HSHBGROUP>(static_cast<UINT_PTR>(accept ? 1 : 0));
    info.nItem = -1;
    HWND parent = ::GetParent(m_hWnd);
    ::SendMessageW(parent, WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    if (!m_hWnd) return;
    // The keyboard goes back to the window the edit was opened over, not to nowhere.
    if (::GetFocus() == m_hWnd) ::SetFocus(parent);
    ShowWindow(SW_HIDE);
}

HBRUSH COXSHBEdit::OnCtlColor(HDC dc) {
    const bool back = m_pInfo && (m_pInfo->nMask & SHBEIF_CLRBACK);
    ::SetBkColor(dc, back ? m_pInfo->clrBackground : ::GetSysColor(COLOR_WINDOW));
    if (m_pInfo && (m_pInfo->nMask & SHBEIF_CLRTEXT)) ::SetTextColor(dc, m_pInfo->clrText);
    return m_brush;
}

BOOL COXSHBEdit::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND && HIWORD(wParam) == EN_UPDATE) {
        Grow();
        return TRUE;
    }
    return CEdit::OnChildNotify(message, wParam, lParam, result);
}

void COXSHBEdit::Grow() {
    if (!m_pInfo || !m_bEditing) return;
    const SHBEditInfo& info = *m_pInfo;
    if (!(info.nMask & SHBEIF_ENLARGE) || !(info.nMask & SHBEIF_RECTMAX) || !info.bEnlargeAsTyping) return;
    const CRect start = (info.nMask & SHBEIF_RECTMIN) ? CRect(info.rectMin) : CRect(info.rectDisplay);
    const CRect bounds = info.rectMax;
    CRect window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    const int borderX = window.Width() - client.Width(), borderY = window.Height() - client.Height();
    const DWORD style = GetStyle();
    UINT format = DT_CALCRECT | DT_VCENTER | DT_CENTER;
    if (style & ES_MULTILINE) format |= DT_WORDBREAK | DT_EDITCONTROL;
    CRect measure(0, 0, std::max(1, start.Width() - borderX), std::max(1, start.Height() - borderY));
    {
        CClientDC dc(this);
        HGDIOBJ old = ::SelectObject(dc, GetFont() ? static_cast<HGDIOBJ>(GetFont()) : ::GetStockObject(DEFAULT_GUI_FONT));
        CString text = GetWindowText();
        if (text.IsEmpty()) text = L" ";
        dc.DrawText(text, &measure, format);
        ::SelectObject(dc, old);
    }
    int width = std::min(measure.Width() + borderX + 4, bounds.Width());
    int height = std::min(measure.Height() + borderY, bounds.Height());
    width = std::max(width, std::min(start.Width(), bounds.Width()));
    height = std::max(height, std::min(start.Height(), bounds.Height()));
    int left = bounds.left;
    if (style & ES_CENTER) left = bounds.left + (bounds.Width() - width) / 2;
    else if (style & ES_RIGHT) left = bounds.right - width;
    SetWindowPos(nullptr, left, bounds.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(&client);
    SendMessage(EM_SETRECT, 0, reinterpret_cast<LPARAM>(&client));
}

BOOL COXSHBEdit::RouteMouseOutside(UINT message, LPARAM lParam) {
    CPoint point(lParam);
    CRect client;
    GetClientRect(&client);
    if (client.PtInRect(point)) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
        return FALSE;
    }
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    CPoint screen = point;
    ClientToScreen(&screen);
    HWND target = ::WindowFromPoint(screen);
    if (message != WM_MOUSEMOVE) EndEdit(TRUE);
    if (!target || target == m_hWnd) return TRUE;
    const LRESULT hit = ::SendMessageW(target, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    if (hit != HTCLIENT) {
        ::SendMessageW(target, NonClientTwin(message), static_cast<WPARAM>(hit), MAKELPARAM(screen.x, screen.y));
    } else {
        CPoint local = screen;
        ::ScreenToClient(target, &local);
        ::SendMessageW(target, message, 0, MAKELPARAM(local.x, local.y));
    }
    ::SendMessageW(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(hit, message));
    return TRUE;
}

LRESULT COXSHBEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
            EndEdit(wParam == VK_RETURN);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) return 0;  // no beep, no line
        break;
    case WM_GETDLGCODE:
        return CEdit::WindowProc(message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_SETFOCUS: {
        const LRESULT result = CEdit::WindowProc(message, wParam, lParam);
        if (m_bEditing) SetCapture(m_hWnd);
        return result;
    }
    case WM_KILLFOCUS: {
        const LRESULT result = CEdit::WindowProc(message, wParam, lParam);
        if (m_bEditing) EndEdit(TRUE);
        return result;
    }
    case WM_CAPTURECHANGED:
        // A system menu, a message box or another window taking the mouse: the edit takes it back
        // while it has the focus; otherwise the focus change ends the edit.
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        if (m_bEditing && RouteMouseOutside(message, lParam)) return 0;
        break;
    default: break;
    }
    const LRESULT result = CEdit::WindowProc(message, wParam, lParam);
    if (m_bEditing && m_hWnd && ::GetFocus() == m_hWnd && ::GetCapture() != m_hWnd && message != WM_CAPTURECHANGED &&
        (::GetKeyState(VK_LBUTTON) & 0x8000) == 0)
        SetCapture(m_hWnd);
    return result;
}
