// COXSizeControlBar: a resizable docking bar. Docked in a COXSizeDockBar it
// has a caption (or gripper) with a close and a resize button drawn by the
// dock-bar skin; it floats in a COXSizableMiniDockFrameWnd, as an MDI child
// (COXMDIFloatWnd) or stands as a tab of its dock bar's tab strip. When the
// main window answers WM_QUERYSIZEDOCK, the bar drags itself to dock.
#pragma once
#include "bars/ControlBar.h"
#include "docking/DockingMessages.h"
#include "skins/DockbarSkin.h"

#include <memory>
#include <vector>

class COXDockTabCtrl;
class COXSizeDockBar;

class COXSizeControlBar : public CControlBar {
public:
    explicit COXSizeControlBar(int style = SZBARF_STDMOUSECLICKS);
    ~COXSizeControlBar() override;

    CSize m_FloatSize;
    CSize m_HorzDockSize;
    CSize m_VertDockSize;
    CSize m_RestoreSize;  // the docked size kept while a bar of its row is maximised
    DWORD m_dwSavedDockStyle = 0;
    DWORD m_Style;
    CSize m_LastSize{65535, 65535};
    int m_nLastFloatState = 3;
    BOOL m_bDragging = FALSE;
    BOOL m_bDragPending = FALSE;
    int m_nSavedTabIndex = -1;
    CRect m_rectCaption, m_rectClose, m_rectResize;  // relative to the client origin
    CPoint m_ptDragOffset;
    int m_nHotButton = OX_HOT_NONE;
    BOOL m_bMaximized = FALSE;
    BOOL m_bActive = FALSE;
    CPoint m_ptDragStart;
    BOOL m_bCaptionSpace = FALSE;  // the skin reserved room for the caption

    virtual BOOL Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect, CWnd* parent,
                        UINT id, CCreateContext* context = nullptr);
    using CWnd::Create;
    // Lets the bar dock on the sides given and gives it the toolkit's drag context.
    void EnableDocking(DWORD dockStyle);

    virtual BOOL CanMaximize() const;
    virtual void DrawDecorations(CDC* dc);
    // After the bar's size or docked state changed (flags: 1 size, 2 floating state).
    virtual void OnBarResized(int cx, int cy, int floatState, int flags);
    virtual void DrawCaption(CDC* dc);
    virtual void DrawCloseButton(CDC* dc);
    virtual void DrawResizeButton(CDC* dc);

    CSize CalcFixedLayout(BOOL stretch, BOOL horz) override;
    CSize CalcDynamicLayout(int length, DWORD mode) override;
    void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void SetActive(BOOL active, BOOL deactivateOthers);
    BOOL IsActive() const { return m_bActive; }
    BOOL HasGripper() const { return !(m_Style & SZBARF_NOGRIPPER); }
    BOOL HasCloseButton() const { return !(m_Style & SZBARF_NOCLOSEBTN); }
    BOOL HasResizeButton() const { return !(m_Style & SZBARF_NORESIZEBTN); }
    void ShowBar(BOOL show);
    // The tool under a client point: a visible child window's control id, -1 for none.
    virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFOW* tool) const;
    COXDockTabCtrl* GetDockTabCtrl() const;
    COXSizeDockBar* GetSizeDockBar() const;
    // `redraw` FALSE: the caller's layout resizes the bar, which paints its caption anyway.
    void SetMaximized(BOOL maximized, BOOL redraw = TRUE);
    BOOL IsMaximized() const { return m_bMaximized; }
    COXDockbarSkin* GetDockbarSkin();
    // Where the client area starts inside the window.
    CPoint ClientOriginInWindow() const;
    // A rectangle kept relative to the client origin, in window coordinates.
    CRect ToWindow(const CRect& clientRect) const;
    // Keeps the caption parts the skin laid out in window coordinates (relative to the client origin).
    void SetCaptionLayout(const CRect& caption, const CRect& close, const CRect& resize);
    // Computes the drag offset for a point given in the bar's window coordinates.
    void ComputeDragOffset(CPoint inWindow);
    // Starts the toolkit's own drag (mouse captured on the bar).
    void BeginToolkitDrag();
    // Floats a bar of a frame in a COXMDIFloatWnd (or back): used by the menu's command.
    BOOL IsInMDIFloatWnd() const;

    // Bars made with new are known, so that a floating frame that deletes its bar on close (style
    // bit 0x01) never deletes a member bar nor one that already deleted itself (SizeBarOwnership.cpp).
    static void* operator new(size_t size);
    static void operator delete(void* pointer) noexcept;

    // Destroys every registered bar whose parent frame is `frame` (the size-dock frames call it).
    static void DestroyFrameBars(CFrameWnd* frame);
    // The registered bars; null when none.
    static std::vector<COXSizeControlBar*>* RegisteredBars();
    // Whether the size bars' shared mouse hook is in place (while any size bar window lives).
    static BOOL IsMouseHookInstalled();

protected:
    const MessageMap* GetMessageMap() const override;
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    LRESULT OnNcPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseBkgnd(WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    LRESULT OnCaptureChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
    LRESULT OnWindowPosChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnContextMenu(WPARAM wParam, LPARAM lParam);
    LRESULT OnFillMenu(WPARAM wParam, LPARAM lParam);
    LRESULT OnFloatSync(WPARAM wParam, LPARAM lParam);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // One step of the toolkit drag at a screen point.
    void DragTo(CPoint screen);
    void EndToolkitDrag();
    // Redraws the non-client area (caption and buttons).
    void RedrawCaption();
    // The caption button under a client point (OX_HOT_*).
    int CaptionButtonAt(CPoint point) const;

private:
    std::unique_ptr<COXDockbarSkin> m_pFallbackSkin;
    int m_nHoverButton = OX_HOT_NONE;
    BOOL m_bMaximizing = FALSE;  // the layout of a maximise or restore is under way
    BOOL m_bDragStep = FALSE;    // the drag docks or floats the bar (its capture may move meanwhile)
    friend class COXSizeDockBar;
};
