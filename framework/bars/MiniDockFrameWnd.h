// CMiniDockFrameWnd: the small tool window a floating bar lives in. It holds
// one floating CDockBar, sizes itself to the bars in it, hides them instead
// of closing, and lets its caption drag or double-click the bar back. For a
// bar that sizes itself (CBRS_SIZE_DYNAMIC) it has a sizing border: dragging
// an edge sizes the bar through its dock context; MFS_4THICKFRAME folds the
// corners into the edges. Otherwise (MFS_MOVEFRAME) the border only moves it.
#pragma once
#include "bars/DockBar.h"

// Mini frame styles, kept in the class-specific low word of the frame's window style.
inline constexpr DWORD MFS_SYNCACTIVE = 0x0100;
inline constexpr DWORD MFS_4THICKFRAME = 0x0200;
inline constexpr DWORD MFS_THICKFRAME = 0x0400;
inline constexpr DWORD MFS_MOVEFRAME = 0x0800;
inline constexpr DWORD MFS_BLOCKSYSMENU = 0x2000;

// The work area (the screen less the task bar) of the monitor nearest the rectangle.
CRect WorkAreaOf(const RECT& rect);

class CMiniDockFrameWnd : public CFrameWnd {
public:
    CMiniDockFrameWnd();

    CDockBar m_wndDockBar;

    // Creates the frame owned by `parent` (the docking frame); barStyle's
    // CBRS_FLOAT_MULTI lets it hold several bars, CBRS_SIZE_DYNAMIC gives it
    // a sizing border.
    virtual BOOL Create(CWnd* parent, DWORD barStyle);
    void RecalcLayout(BOOL notify = TRUE) override;
    // The first bar the frame holds, or null.
    CControlBar* GetFirstBar() const;
    // Moves the frame onto the work area of its monitor; a frame taller or wider than the
    // work area first has its bar (one that sizes itself) take a length that fits.
    void KeepInWorkArea();

    // Handlers derived frames call as their base.
    void OnClose();
    void OnNcLButtonDown(UINT hitTest, CPoint point);
    void OnNcLButtonDblClk(UINT hitTest, CPoint point);
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetMinMaxInfo(WPARAM wParam, LPARAM lParam);
    // A click in the frame or on its bars activates neither: the docking frame stays (or
    // becomes) the active window and keeps the keyboard, as with a docked bar.
    LRESULT OnMouseActivate(WPARAM wParam, LPARAM lParam);
    // The caption is drawn active while the docking frame is (MFS_SYNCACTIVE).
    LRESULT OnNcActivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnFloatStatus(WPARAM wParam, LPARAM lParam);

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    void PostNcDestroy() override { delete this; }
    int OnCreate(LPCREATESTRUCT cs);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
};
