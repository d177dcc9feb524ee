// The cool toolbar's own drag: while the main window asks for the toolkit's
// docking, a press where the bar has no button moves the bar with the mouse,
// onto the size dock bars or floating, instead of the framework's drag.
#include "app/WinApp.h"
#include "bars/CoolToolBar.h"
#include "docking/SizeDockBar.h"
#include "docking/SizeDockFrames.h"

void COXCoolToolBar::BeginOwnDrag() {
    m_bOwnDragging = TRUE;
    ::SetCapture(m_hWnd);
    ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEALL));
}

void COXCoolToolBar::EndOwnDrag() {
    m_bOwnDragging = FALSE;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    if (CFrameWnd* frame = GetDockingFrame()) frame->RecalcLayout();
}

bool COXCoolToolBar::OnOwnDragMouse(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (m_bOwnDragging || IsFloating() || !ToolkitDragWanted()) return false;
        CPoint point(lParam);
        // A press on a button is the button's; a separator or the space beside the buttons has no tool.
        const int hit = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
        if (hit >= 0) {
            TBBUTTON button{};
            SendMessage(TB_GETBUTTON, static_cast<WPARAM>(hit), reinterpret_cast<LPARAM>(&button));
            if (!(button.fsStyle & TBSTYLE_SEP)) return false;
        }
        result = 0;
        if (!m_bOwnDragEnabled || message == WM_LBUTTONDBLCLK) return !m_bOwnDragEnabled;
        CRect window;
        GetWindowRect(&window);
        ClientToScreen(&point);
        m_ptDragOffset = CPoint(point.x - window.left, point.y - window.top);
        BeginOwnDrag();
        return true;
    }
    case WM_MOUSEMOVE: {
        if (!m_bOwnDragging) return false;
        result = 0;
        CFrameWnd* frame = GetDockingFrame();
        if (::GetKeyState(VK_LBUTTON) >= 0 || !dynamic_cast<CFrameWnd*>(AfxGetMainWnd()) || !frame) {
            EndOwnDrag();
            return true;
        }
        // Pending paints first, so that the bar's old place is drawn again as it goes.
        MSG msg;
        for (int i = 0; i < 32 && ::PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i) ::DispatchMessageW(&msg);
        CPoint screen(lParam);
        ClientToScreen(&screen);
        const CPoint corner(screen.x - m_ptDragOffset.x, screen.y - m_ptDragOffset.y);
        COXSizeDockBar* dock = m_pDockContext ? COXSizeDockBar::FindDockBarAt(this, screen) : nullptr;
        if (!m_pDockContext) {
            frame->FloatControlBar(this, screen, CBRS_ALIGN_TOP);
        } else if (!dock || (wParam & MK_CONTROL)) {
            frame->FloatControlBar(this, corner, CBRS_ALIGN_TOP);
        } else {
            CRect window;
            GetWindowRect(&window);
            if (!(dock == m_pDockBar && window.PtInRect(screen))) {
                const CRect place(corner, window.Size());
                frame->DockControlBar(this, dock, &place);
            }
        }
        if (::GetCapture() != m_hWnd) ::SetCapture(m_hWnd);
        return true;
    }
    case WM_LBUTTONUP:
        if (!m_bOwnDragging) return false;
        EndOwnDrag();
        result = 0;
        return true;
    default:
        return false;
    }
}
