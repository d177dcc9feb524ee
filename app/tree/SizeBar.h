// CSizeBar: the bar at the side of the main window that carries the folder
// tree. It shows the caption " Bookmark Explorer:" with a close button,
// keeps the tree filling the rest, and is resized by dragging its inner edge.
// The main window lays it out at its left or right side and hides or shows
// it; its sizes (docked across, docked along a side, floating) live in Init
// as "TreeHX"/"TreeHY", "TreeVX"/"TreeVY" and "TreeFX"/"TreeFY".
#pragma once
#include "wnd/Wnd.h"

inline constexpr UINT kTreeBarId = 127;
inline constexpr UINT kDockBarLeft = 59420;
inline constexpr UINT kDockBarRight = 59421;

class CSizeBar : public CWnd {
public:
    CSize m_szVert{190, 200};
    CSize m_szHorz{200, 200};
    CSize m_szFloat{200, 410};
    CSize m_szMinVert{33, 32};
    CSize m_szMinHorz{33, 32};
    CSize m_szMinFloat{37, 32};
    UINT m_nDockBarID = kDockBarLeft;  // the side the bar stands on

    static constexpr int kEdgeWidth = 5;
    static constexpr int kCaptionSize = 15;
    static constexpr int kCaptionHeight = kCaptionSize + 4;

    // Creates the bar window (text "Bookmark") as a child of the frame.
    BOOL Create(const wchar_t* title, CWnd* parent, UINT id, DWORD style);
    // Sizes from Init (the current ones as defaults, raised to the minimums).
    void LoadState(const wchar_t* section);
    void SaveState(const wchar_t* section);

    // Where the tree goes inside the bar, in client coordinates.
    CRect ChildRect() const;
    // The square of the close button and the draggable inner edge, client coordinates.
    CRect CloseButtonRect() const;
    CRect EdgeRect() const;

protected:
    const MessageMap* GetMessageMap() const override;
    void OnPaint();
    void OnSize(UINT type, int cx, int cy);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnCaptureChanged();
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    void OnClose() {}  // hidden only by its close button and the main window's commands

private:
    bool m_tracking = false;
    int m_trackStartX = 0;
    int m_trackStartWidth = 0;
    bool m_closePushed = false;
};
