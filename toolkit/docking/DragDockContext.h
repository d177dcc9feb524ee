// COXDragDockContext: the drag context of size bars. Its tracking loop shows
// a focus rectangle, chooses between docking and floating, and sizes the
// docking rectangle to the room the target row leaves.
#pragma once
#include "bars/DockContext.h"

class COXSizeDockBar;

class COXDragDockContext : public CDockContext {
public:
    explicit COXDragDockContext(CControlBar* bar) : CDockContext(bar) {}

    CRect m_rectDragHorzAlone;  // docking rectangles as adjusted for the target row
    CRect m_rectDragVertAlone;
    CRect m_rectFloat;          // the last floating rectangle
    COXSizeDockBar* m_pTargetDockBar = nullptr;
    CPoint m_ptLastFloat;

    void StartDrag(CPoint point) override;
    void Move(CPoint point) override;
    void EndDrag() override;
    void CancelLoop() override;
    void OnKey(int key, BOOL down) override;
    void DrawFocusRect(BOOL removeRect = FALSE) override;
    DWORD CanDock() override;
    void ToggleDocking() override;

protected:
    // The rectangle shown for the current state (a docking rectangle fitted to the target row).
    CRect Current() const;
    CRect m_rectShown;
    BOOL m_bShownFloating = FALSE;
};
