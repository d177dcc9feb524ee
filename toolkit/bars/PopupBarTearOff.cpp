// COXPopupBarCtrl torn off: the outline that follows the mouse while the
// popup is dragged off its strip, and the floating tool window it becomes.
#include "bars/PopupBarCtrl.h"

#include "app/WinApp.h"

namespace {

// A 3-pixel outline drawn by inverting through the halftone pattern.
void InvertOutline(HDC dc, const CRect& r) {
    static const WORD pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, pattern);
    HBRUSH brush = CreatePatternBrush(bitmap);
    DeleteObject(bitmap);
    HGDIOBJ old = SelectObject(dc, brush);
    const int t = 3;
    PatBlt(dc, r.left, r.top, r.Width(), t, PATINVERT);
    PatBlt(dc, r.left, r.bottom - t, r.Width(), t, PATINVERT);
    PatBlt(dc, r.left, r.top + t, t, r.Height() - 2 * t, PATINVERT);
    PatBlt(dc, r.right - t, r.top + t, t, r.Height() - 2 * t, PATINVERT);
    SelectObject(dc, old);
    DeleteObject(brush);
}

}  // namespace

void COXPopupBarCtrl::TearOff() {
    const DWORD pos = GetMessagePos();
    const POINT start{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    CRect window;
    GetWindowRect(&window);
    if (!window.PtInRect(start) || GetCapture()) {
        ShowWindow(SW_HIDE);
        return;
    }
    HWND desktop = GetDesktopWindow();
    const BOOL locked = LockWindowUpdate(desktop);
    HDC dc = GetDCEx(desktop, nullptr, DCX_WINDOW | DCX_CACHE | (locked ? DCX_LOCKWINDOWUPDATE : 0));
    CRect track = window;
    POINT last = start;
    if (dc) InvertOutline(dc, track);
    ::SetCapture(m_hWnd);
    bool done = false, accepted = false;
    MSG msg;
    while (!done) {
        if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (GetCapture() != m_hWnd) break;
        switch (msg.message) {
        case WM_MOUSEMOVE: {
            POINT now = msg.pt;
            if (dc) InvertOutline(dc, track);
            track.OffsetRect(now.x - last.x, now.y - last.y);
            last = now;
            if (dc) InvertOutline(dc, track);
            break;
        }
        case WM_LBUTTONUP: done = accepted = true; break;
        case WM_RBUTTONDOWN: done = true; break;
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE) done = true;
            break;
        default:
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            break;
        }
    }
    if (dc) {
        InvertOutline(dc, track);
        ReleaseDC(desktop, dc);
    }
    if (GetCapture() == m_hWnd) ReleaseCapture();
    if (locked) LockWindowUpdate(nullptr);
    if (!accepted) {
        ShowWindow(SW_HIDE);
        return;
    }
    DestroyWindow();
    m_bTornOff = TRUE;
    m_bHotTracking = TRUE;
    if (!Create(m_pParent, m_dwPopupStyle, m_hBackground) || !CalcLayout()) {
        m_bTornOff = FALSE;
        return;
    }
    RegisterTools();
    SetWindowPos(nullptr, track.left, track.top, m_rectWindow.Width(), m_rectWindow.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
}

LRESULT COXPopupBarCtrl::OnActivate(WPARAM wParam, LPARAM lParam) {
    const LRESULT result = Default();
    if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam) && m_bTornOff) ::SetFocus(m_hWnd);
    (void)lParam;
    return result;
}

LRESULT COXPopupBarCtrl::OnPaletteChange(WPARAM wParam, LPARAM) {
    if (reinterpret_cast<HWND>(wParam) != m_hWnd) Invalidate();
    return Default();
}
