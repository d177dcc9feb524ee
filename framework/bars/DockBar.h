// CDockBar: the strip along one side of a frame (or inside a floating
// frame) that holds docked control bars in rows. The bar list keeps rows
// apart with null entries; the list starts with one. Each layout pass puts
// the bars of a row side by side, keeping a bar at the place it was moved
// to when there is room, and wraps a bar that would start past the end.
#pragma once
#include "bars/ControlBar.h"

#include <vector>

class CDockBar : public CControlBar {
public:
    explicit CDockBar(BOOL floating = FALSE);

    BOOL m_bFloating;
    BOOL m_bLayoutQuery = FALSE;  // the current layout pass moves nothing
    CRect m_rectLayout;           // the free frame rectangle of the last layout pass
    std::vector<CControlBar*> m_arrBars;

    BOOL Create(CWnd* parent, DWORD style, UINT id);

    // Takes a bar in: at the screen rectangle given (its row and its place
    // in the row follow from it), or in a new row at the end.
    virtual void DockControlBar(CControlBar* bar, LPCRECT rect = nullptr);
    // Takes a bar out of the list (its empty row goes too).
    virtual BOOL RemoveControlBar(CControlBar* bar);
    int FindBar(const CControlBar* bar) const;
    int GetDockedCount() const;
    int GetDockedVisibleCount() const;
    CControlBar* GetDockedControlBar(int index) const;
    BOOL IsDockBar() const override { return TRUE; }
    BOOL IsHorizontal() const { return (m_dwStyle & CBRS_ORIENT_HORZ) != 0; }

    CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
    void DoPaint(CDC* dc) override;

    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);

protected:
    const MessageMap* GetMessageMap() const override;
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    // The index at which a bar dropped at `rect` (client coordinates) goes in.
    int InsertIndexFor(const CRect& rect);
};
