// COXSizeDockBar: the dock bar of a size-dock frame's edges. It holds size
// bars in rows separated by splitters that the user drags, lets one bar of a
// row be maximised, and keeps a tab strip at its bottom that turns several
// bars docked on one spot into tabs of which one is shown. It also decides,
// during the toolkit's drag, which dock bar a dragged bar lands on.
#pragma once
#include "bars/DockBar.h"
#include "controls/TabCtrl.h"
#include "skins/SkinnedTabCtrl.h"
#include "docking/SizeControlBar.h"
#include "wnd/RectTracker.h"

#include <memory>
#include <vector>

class COXSizeDockBar;

// One splitter between rows, or between bars of one row.
class COXSplitterRect {
public:
    enum Type { BetweenRows = 2, BetweenBars = 1 };  // the skin's orientation codes
    COXSplitterRect(int type, const CRect& rect, int index) : m_type(type), m_rect(rect), m_nPos(index) {}
    int m_type;
    CRect m_rect;
    int m_nPos;  // index in the bar array of the entry right after the splitter
};

// The tab strip of a dock bar: each tab stands for one of its size bars. The tab skin paints it.
class COXDockTabCtrl : public COXSkinnedTabCtrl {
public:
    explicit COXDockTabCtrl(COXSizeDockBar* dockBar) : m_pDockBar(dockBar) {}
    static constexpr UINT kId = 3000;

    // The size bar of a tab (null for a tab that stands for another bar).
    COXSizeControlBar* GetBar(int index) const;
    // The bar a tab stands for, whatever its kind.
    CControlBar* GetControlBar(int index) const;
    int FindBar(const CControlBar* bar) const;
    // -1 outside the bottom 48 pixels of the dock bar; else the tab under the point, or 0.
    int HitTestTabArea(CPoint screen) const;
    void InsertTab(COXSizeControlBar* bar, int index, BOOL select);
    void MoveTab(COXSizeControlBar* bar, CPoint screen);
    void RemoveTab(CControlBar* bar);
    void SelectTab(int index);
    void ShowSelectedBar();

protected:
    const MessageMap* GetMessageMap() const override;
    int OnCreate(LPCREATESTRUCT cs);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void InsertRawTab(COXSizeControlBar* bar, int index);

private:
    COXSizeDockBar* m_pDockBar;
    CFont m_font;
    CPoint m_ptDown{-1, -1};
    BOOL m_bDown = FALSE;
};

// Tracks a splitter along one axis within a limit rectangle.
class COXRectTracker : public CRectTracker {
public:
    static constexpr UINT keepTopBottom = 0x100;
    static constexpr UINT keepLeftRight = 0x200;
    CRect m_rectLimit;  // empty: no limit
    CRect m_rectStart;
    BOOL TrackSplitter(int hitCode, CWnd* wnd, CPoint point, CWnd* clipTo = nullptr);
    void DrawTrackerRect(LPCRECT rect, CWnd* clipTo, CDC* dc, CWnd* wnd) override;
    void AdjustRect(int handle, LPRECT rect) override;
};

// What one row holds (MeasureRow).
struct OXROWMEASURE {
    int sizeLength = 0, fixedLength = 0, thickness = 0, fixedThickness = 0;
    int sizeBars = 0, bars = 0, totalLength = 0, minTrackHeight = 0, minTrackWidth = 0;
};

class COXSizeDockBar : public CDockBar {
public:
    COXSizeDockBar();
    ~COXSizeDockBar() override;
    static constexpr int kSplitter = 8;

    std::vector<std::unique_ptr<COXSplitterRect>> m_arrSplitters;
    CSize m_sizeAvail;
    UINT m_nLayoutKey = 0;
    std::vector<CControlBar*> m_arrHiddenBars;
    COXDockTabCtrl m_TabCtrl;

    int GetTabStripHeight() const;
    int CountBarsInRow(COXSizeControlBar* bar);
    int FindRowInsertIndex(CControlBar* bar, const CRect& rect);
    int CountOtherBarsInRow(CControlBar* bar, const CRect& rect);
    COXSizeControlBar* FindSizeControlBar(CControlBar* except = nullptr) const;
    CControlBar* FindCoolToolBar(CControlBar* except = nullptr) const;
    int CountSizeControlBars(CControlBar* except = nullptr) const;
    static COXSizeDockBar* FindDockBarAt(CControlBar* bar, CPoint screen);

    void DockControlBar(CControlBar* bar, LPCRECT rect = nullptr) override;
    BOOL RemoveControlBar(CControlBar* bar) override;
    OXROWMEASURE MeasureRow(int start, const std::vector<CControlBar*>& bars) const;
    BOOL FitRow(int start, int length, std::vector<CControlBar*>& bars);
    BOOL FitAllRows(int length);
    int ShrinkBarsAfter(int index, int amount, BOOL apply, int* count);
    int ShrinkBarsBefore(int index, int amount, BOOL apply, int* count);
    // Walks the visible size bars from `index` by `step` to the row's end, giving up `amount`;
    // answers what remains, `end` the index where the walk stopped.
    int ShrinkWalk(int index, int step, int amount, BOOL apply, int* count, int* end);
    void MakeRoomInRow(COXSizeControlBar* bar);
    void MaximizeBar(COXSizeControlBar* bar, BOOL maximize);
    COXDockbarSkin* GetDockbarSkin();
    // The arrangement key of the bar array (visible bars, their places and the row ends).
    UINT LayoutKey() const;
    // Marks every splitter's rectangle for painting (with its background).
    void InvalidateSplitters();
    // Lays the frame out again after bars were resized by hand. The bars' own moves repaint what
    // they cover and uncover; of the splitters, drawn by this bar, those that moved are painted
    // again where they were and where they now are.
    void RecalcLayoutAfterResize(CFrameWnd* frame);
    // The bar array's rows: [start, end) index pairs.
    std::vector<std::pair<int, int>> Rows() const;
    BOOL IsHorz() const { return (m_dwStyle & CBRS_ORIENT_HORZ) != 0; }

    CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;

protected:
    const MessageMap* GetMessageMap() const override;
    int OnCreate(LPCREATESTRUCT cs);
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    void OnPaint();
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcPaint(WPARAM wParam, LPARAM lParam);
    void OnMouseMove(UINT flags, CPoint point);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    void OnLButtonDown(UINT flags, CPoint point);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void PlaceTabStrip();
    COXSplitterRect* SplitterAt(CPoint point) const;
    void DragSplitter(COXSplitterRect* splitter, CPoint point);
    int BarLength(CControlBar* bar) const;  // along the row, from the window rectangle
    LONG& DockedLength(COXSizeControlBar* bar) const;
    int RowStartOf(int index) const;
    int RowEndOf(int index) const;
    int RowIndexOfRect(const CRect& rect) const;
    // The rectangle a bar dropped at `screen` is inserted at: moved past a menu bar that it would
    // overlap in its row, and onto the doubled border when it lies just before an edge.
    CRect AdjustInsertRect(CControlBar* bar, const CRect& screen) const;

private:
    std::vector<CRect> SplitterRects() const;
    void InvalidateRects(const std::vector<CRect>& rects);

    std::unique_ptr<COXDockbarSkin> m_pFallbackSkin;
    HCURSOR m_hcurAcross = nullptr, m_hcurAlong = nullptr;
    BOOL m_bDraggingSplitter = FALSE;
    BOOL m_bRedocking = FALSE;  // a bar with a tab moves within this dock bar
    friend class COXDockTabCtrl;
};

// Whether an entry of a bar array is a size bar (and not a size tool bar, when `plain`).
bool IsSizeBar(const CControlBar* bar, bool plain = false);
