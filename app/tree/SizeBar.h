// The tree bar: a control bar that docks at the left or right side of the
// main window, or floats in a small frame, and carries the folder tree.
//
// CSizeBarBase knows its size for each docking state (docked across the
// frame, docked along a side, floating), lets the user drag its inner edge,
// and keeps its first child filling it. CSizeBar adds the caption strip
// " Bookmark Explorer:" with a close button. The sizes live in Init as
// "TreeHX"/"TreeHY", "TreeVX"/"TreeVY" and "TreeFX"/"TreeFY".
#pragma once
#include "bars/ControlBar.h"

inline constexpr UINT kTreeBarId = 127;

// Own style flags of the bar (SetSizeBarStyle).
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
    // Sizes from Init (the current ones as defaults, raised to the minimums);
    // the section argument is not used.
    virtual void LoadState(const wchar_t* section);
    virtual void SaveState(const wchar_t* section);
    void SetSizeBarStyle(DWORD style) { m_dwSizeBarStyle = style; }
    DWORD GetSizeBarStyle() const { return m_dwSizeBarStyle; }

    CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
    CSize CalcDynamicLayout(int length, DWORD mode) override;
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}

    // The dock bar the bar stands in (AFX_IDW_DOCKBAR_*), 0 while floating.
    UINT DockSide() const;
    // Where the child goes, in client coordinates.
    virtual CRect ChildRect() const;
    // The draggable edge that faces the frame's client area, client coordinates
    // (empty while floating).
    CRect EdgeRect() const;

protected:
    const MessageMap* GetMessageMap() const override;
    void OnSize(UINT type, int cx, int cy);
    void OnPaint();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnCaptureChanged();
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    void OnClose() {}  // hidden only by its close button and the main window's commands

    virtual void DrawCaptionArea(CDC*) {}
    // Whether a press at the point belongs to the caption's own buttons.
    virtual bool OnCaptionButton(CPoint, bool /*released*/) { return false; }

    DWORD m_dwSizeBarStyle = 0;
    bool m_tracking = false;
    int m_trackStart = 0;
    int m_trackStartWidth = 0;
};

class CSizeBar : public CSizeBarBase {
public:
    static constexpr int kCaptionSize = 15;
    static constexpr int kCaptionHeight = kCaptionSize + 4;

    // A floating bar has its mini frame's caption instead of its own.
    bool HasCaption() const { return !IsFloating(); }
    CRect ChildRect() const override;
    CRect CloseButtonRect() const;

protected:
    void DrawCaptionArea(CDC* dc) override;
    bool OnCaptionButton(CPoint point, bool released) override;

private:
    bool m_closePushed = false;
};
