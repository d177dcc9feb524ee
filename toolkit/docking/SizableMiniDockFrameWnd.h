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
};
