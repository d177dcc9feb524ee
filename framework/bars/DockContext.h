// CDockContext: moves a control bar with the mouse. StartDrag runs a
// tracking loop (mouse captured on the bar) that shows where the bar would
// go: docked on a side whose dock bar the dragged rectangle touches, or
// floating; Ctrl held forces floating, Esc or the right button cancels.
// ToggleDocking floats a docked bar or docks a floating one where it was.
#pragma once
#include "bars/ControlBar.h"

class CDockBar;

class CDockContext {
public:
    explicit CDockContext(CControlBar* bar);
    virtual ~CDockContext();
    CDockContext(const CDockContext&) = delete;
    CDockContext& operator=(const CDockContext&) = delete;

    CControlBar* m_pBar;
    CFrameWnd* m_pDockSite;
    DWORD m_dwDockStyle = 0;      // the sides the bar may dock on
    DWORD m_dwOverDockStyle = 0;  // the side under the drag (0: floating)
    DWORD m_dwStyle = 0;          // the bar's style when the drag began
    BOOL m_bForceFrame = FALSE;   // Ctrl held: float
    BOOL m_bDragging = FALSE;
    BOOL m_bResizing = FALSE;
    int m_nHitTest = 0;  // the sizing border of a resize
    CPoint m_ptStart;
    CPoint m_ptLast;
    CRect m_rectLast;
    CRect m_rectDragHorz;       // docked on the top or bottom
    CRect m_rectDragVert;       // docked on the left or right
    CRect m_rectFrameDragHorz;  // floating
    // Where the bar was docked last, and where it floated last.
    UINT m_uMRUDockID = 0;
    CRect m_rectMRUDockPos;
    DWORD m_dwMRUFloatStyle = CBRS_ALIGN_TOP;
    CPoint m_ptMRUFloatPos;
    HDC m_pDC = nullptr;  // the screen DC the focus rectangle is drawn in

    // Starts a drag at a screen point and tracks the mouse until it ends.
    virtual void StartDrag(CPoint point);
    virtual void Move(CPoint point);
    virtual void EndDrag();
    virtual void CancelLoop();
    virtual void OnKey(int key, BOOL down);
    virtual void DrawFocusRect(BOOL removeRect = FALSE);
    // The side (CBRS_ALIGN_*) the current drag rectangles would dock on, 0 for none.
    virtual DWORD CanDock();
    virtual CDockBar* GetDockBar(DWORD side);
    virtual void ToggleDocking();
    // Sizes a floating bar's frame by one of its sizing borders (hit code HTLEFT..HTBOTTOMRIGHT)
    // from a screen point, within the work area: the bar takes the length the frame was given
    // (while it does, m_bResizing is set, m_nHitTest names the border and m_rectFrameDragHorz
    // holds the frame's new rectangle); the sides not dragged stay in place.
    virtual void StartResize(int hitTest, CPoint point);

protected:
    // The message loop of a drag; false when it was cancelled.
    virtual BOOL Track();
    // The rectangle shown for the current state.
    CRect CurrentRect() const;
    int m_lastThickness = 1;
};
