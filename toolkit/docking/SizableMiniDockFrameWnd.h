// COXSizableMiniDockFrameWnd: the floating frame of size bars. Sized by its
// thick frame, it sizes the bar with it; it paints its caption through the
// mini-frame skin, turns its system menu into Move, Size and a Close that
// reads "&Hide", starts the toolkit's drag from its caption when the main
// window asks for it, and tells view bars when it is activated.
#pragma once
#include "bars/MiniDockFrameWnd.h"
#include "skins/FrameSkin.h"

#include <memory>

class COXSizableMiniDockFrameWnd : public CMiniDockFrameWnd {
public:
    BOOL m_bClosing = FALSE;
    int m_nMenuState = 0;  // 0 not fitted, 1 fitted for another bar, 2 fitted for a size bar

    COXMiniFrameSkin* GetMiniFrameSkin();
    int FitSystemMenu();
    // A size bar alone in the frame keeps the floating size; the frame's client area is that size
    // less the bar's borders, which lie under the frame's edges.
    void RecalcLayout(BOOL notify = TRUE) override;

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnNcPaint(WPARAM, LPARAM);
    LRESULT OnNcActivate(WPARAM, LPARAM);
    LRESULT OnNcMouseMove(WPARAM, LPARAM);
    LRESULT OnSetCursor(WPARAM, LPARAM);
    void OnNcLButtonDown(UINT hitTest, CPoint point);
    void OnNcLButtonUp(UINT hitTest, CPoint point);
    void OnNcRButtonDown(UINT hitTest, CPoint point);
    void OnClose();
    LRESULT OnActivate(WPARAM, LPARAM);
    LRESULT OnMouseActivate(WPARAM, LPARAM);
    LRESULT OnParentNotify(WPARAM, LPARAM);
    void OnInitMenuPopup(HMENU menu, UINT index, BOOL sysMenu);
    void TrackSystemMenu(CPoint screen);

private:
    std::unique_ptr<COXMiniFrameSkin> m_pFallbackSkin;
    BOOL m_bInLayout = FALSE;
};

class COXSizeControlBar;
// The room of a floating bar's borders on each side (CBRS_BORDER_*: the system border width or height).
CRect FloatingBarBorders(const CControlBar& bar);
// Places a floating size bar in the client area of its frame: the window takes the floating size,
// its borders outside the client area. Answers the client size the floating size asks for.
CSize PlaceFloatingSizeBar(COXSizeControlBar& bar, CWnd& dockBar);
