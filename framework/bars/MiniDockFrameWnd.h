// CMiniDockFrameWnd: the small tool window a floating bar lives in. It holds
// one floating CDockBar, sizes itself to the bars in it, hides them instead
// of closing, and lets its caption drag or double-click the bar back.
#pragma once
#include "bars/DockBar.h"

// Mini frame styles, taken off the window style before creation.
inline constexpr DWORD MFS_SYNCACTIVE = 0x0100;
inline constexpr DWORD MFS_4THICKFRAME = 0x0200;
inline constexpr DWORD MFS_THICKFRAME = 0x0400;
inline constexpr DWORD MFS_MOVEFRAME = 0x0800;
inline constexpr DWORD MFS_BLOCKSYSMENU = 0x2000;

class CMiniDockFrameWnd : public CFrameWnd {
public:
    CMiniDockFrameWnd();

    CDockBar m_wndDockBar;

    // Creates the frame owned by `parent` (the docking frame); barStyle's
    // CBRS_FLOAT_MULTI lets it hold several bars.
    virtual BOOL Create(CWnd* parent, DWORD barStyle);
    void RecalcLayout(BOOL notify = TRUE) override;
    // The first bar the frame holds, or null.
    CControlBar* GetFirstBar() const;

    // Handlers derived frames call as their base.
    void OnClose();
    void OnNcLButtonDown(UINT hitTest, CPoint point);
    void OnNcLButtonDblClk(UINT hitTest, CPoint point);

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    void PostNcDestroy() override { delete this; }
    int OnCreate(LPCREATESTRUCT cs);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    // The mini frame style bits (MFS_*) the frame was created with.
    DWORD m_dwMiniStyle = 0;
};
