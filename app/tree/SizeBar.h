// The tree bar: a control bar that docks at the left or right side of the
// main window, or floats in a small frame, and carries the folder tree.
//
// CSizeBarBase knows its size for each docking state (docked across the
// frame, docked along a side, floating) and draws its own non-client area:
// a border whose sizing edges the user drags (a halftone tracker shows the
// new place and the bar takes it when the button is released; showing window
// contents while dragging, the bar follows the mouse at once), and keeps its
// first child filling the client area. CSizeBar adds the caption strip
// " Bookmark Explorer:" with a close button. The sizes live in Init as
// "TreeHX"/"TreeHY", "TreeVX"/"TreeVY" and "TreeFX"/"TreeFY".
#pragma once
#include "bars/ControlBar.h"

#include <vector>

inline constexpr UINT kTreeBarId = 127;

// Own style flags of the bar (SetSizeBarStyle). The four edge flags are worked out by the layout.
inline constexpr DWORD SZBARF_EDGELEFT = 1;
inline constexpr DWORD SZBARF_EDGERIGHT = 2;
inline constexpr DWORD SZBARF_EDGETOP = 4;
inline constexpr DWORD SZBARF_EDGEBOTTOM = 8;
inline constexpr DWORD SZBARF_EDGEALL = 15;
inline constexpr DWORD SZBARF_SHOWEDGES = 16;
inline constexpr DWORD SZBARF_SIZECHILD = 32;

class CSizeBarBase : public CControlBar {
public:
    CSize m_szVert{190, 200};
    CSize m_szHorz{200, 200};
    CSize m_szFloat{200, 410};
    CSize m_szMinHorz{33, 32};
    CSize m_szMinVert{33, 32};
    CSize m_szMinFloat{37, 32};
    static constexpr int kEdgeWidth = 5;

    // Creates the bar window (text "Bookmark"); the title is not used.
    virtual BOOL Create(const wchar_t* title, CWnd* parent, UINT id, DWORD style);
    // Gives all three sizes the same value first.
    virtual BOOL CreateWithSize(const wchar_t* title, CWnd* parent, CSize size, BOOL flag, UINT id, DWORD style);
    // Sizes from Init (the current ones as defaults, raised to the minimums);
    // the section argument is not used.
    virtual void LoadState(const wchar_t* section);
    virtual void SaveState(const wchar_t* section);
    // Sets the bar's own flags; the four edge flags are always cleared.
    void SetSizeBarStyle(DWORD style) { m_dwSizeBarStyle = style & ~SZBARF_EDGEALL; }
    DWORD GetSizeBarStyle() const { return m_dwSizeBarStyle; }

    CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
    CSize CalcDynamicLayout(int length, DWORD mode) override;
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}

    // The dock bar the bar stands in (AFX_IDW_DOCKBAR_*), 0 while floating.
    UINT DockSide() const;
    BOOL IsHorzDockedBar() const { return DockSide() == AFX_IDW_DOCKBAR_TOP || DockSide() == AFX_IDW_DOCKBAR_BOTTOM; }
    // The hit code of the edge that faces the frame's client area (0 while floating).
    UINT FacingEdge() const;
    // The strip of a sizing edge in screen coordinates (empty when the bar has no such edge).
    CRect EdgeRect(UINT hitCode) const;
    CRect EdgeRect() const { return EdgeRect(FacingEdge()); }
    BOOL IsTracking() const { return m_bTracking; }

protected:
    const MessageMap* GetMessageMap() const override;
    int OnCreate(LPCREATESTRUCT cs);
    void OnSize(UINT type, int cx, int cy);
    void OnPaint();
    LRESULT OnNcPaint(WPARAM, LPARAM);
    LRESULT OnNcCalcSize(WPARAM, LPARAM lParam);
    LRESULT OnNcHitTest(WPARAM, LPARAM lParam);
    LRESULT OnWindowPosChanging(WPARAM, LPARAM lParam);
    LRESULT OnSettingChange(WPARAM, LPARAM);
    LRESULT OnSetText(WPARAM, LPARAM);
    void OnNcLButtonDown(UINT hitTest, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    LRESULT OnCaptureChanged(WPARAM, LPARAM lParam);
    void OnClose() {}  // hidden only by its close button and the main window's commands

    // Starts dragging a sizing edge from a screen point; moves it; ends it (the dock site lays out).
    virtual void BeginResize(UINT hitTest, CPoint screen);
    virtual void EndResize();
    virtual void TrackResize(CPoint screen);
    // Inverts the tracker at the tracked position (drawn twice it is gone).
    virtual void DrawResizeTracker();
    virtual void DrawCaptionArea(CDC*) {}
    // The client rectangle inside the window rectangle (both in the parent's coordinates).
    virtual void CalcClientArea(RECT* rect);
    // Moves the bars of the row to their places one after another; the dock site lays out when any moved.
    virtual void RealignRow();

    // The visible bars of the bar's row in its dock bar, in order.
    std::vector<CControlBar*> RowBars() const;
    // Shares the row's length among its sizable bars; TRUE when anything changed.
    BOOL ShareRowLength(int rowLength, BOOL horz);
    // Sized from a corner of its floating frame: both dimensions follow the frame's drag rectangle.
    bool IsSizedByCorner() const;
    void FollowCornerDrag();
    LONG& LengthOf(BOOL horz) { return horz ? m_szHorz.cx : m_szVert.cy; }
    LONG& ThicknessOf(BOOL horz) { return horz ? m_szHorz.cy : m_szVert.cx; }
    LONG MinLength(BOOL horz) const { return horz ? m_szMinHorz.cx : m_szMinVert.cy; }
    LONG MinThickness(BOOL horz) const { return horz ? m_szMinHorz.cy : m_szMinVert.cx; }

    DWORD m_dwSizeBarStyle = 0;
    UINT m_nTrackEdge = 0;
    int m_nTrackMin = 0, m_nTrackMax = 0, m_nTrackPos = 0, m_nTrackOffset = 0;
    BOOL m_bTracking = FALSE;
    BOOL m_bKeepSize = FALSE;
    BOOL m_bLayoutPending = FALSE;
    BOOL m_bFullWindowDrag = FALSE;
    UINT m_nDockBarId = 0;
};

class CSizeBar : public CSizeBarBase {
public:
    static constexpr int kCaptionSize = 15;

    // A floating bar has its mini frame's caption instead of its own.
    virtual bool HasCaption() const { return !IsFloating(); }
    // The close button in screen coordinates (empty while floating).
    CRect CloseButtonRect() const;
    void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;
    BOOL IsClosePushed() const { return m_close.pushed; }
    BOOL IsCloseRaised() const { return m_close.raised; }

protected:
    const MessageMap* GetMessageMap() const override;
    void CalcClientArea(RECT* rect) override;
    void DrawCaptionArea(CDC* dc) override;
    LRESULT OnNcHitTest(WPARAM, LPARAM lParam);
    void OnNcLButtonDown(UINT hitTest, CPoint point);
    void OnNcLButtonUp(UINT hitTest, CPoint point);

private:
    struct CloseButton {
        BOOL pushed = FALSE;
        BOOL raised = FALSE;
        CPoint origin;  // window coordinates
    } m_close;
};
