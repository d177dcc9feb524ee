// The frames that host size bars: an MDI and a single-document frame whose
// edges hold COXSizeDockBar windows and whose floating frames are
// COXSizableMiniDockFrameWnd. Both answer WM_QUERYSIZEDOCK and destroy their
// registered size bars with themselves; the MDI frame also tracks the active
// size bar and a docked view's child as the active child, and floats bars as
// MDI children (COXMDIFloatWnd).
#pragma once
#include "docking/SizeControlBar.h"
#include "wnd/MDIFrameWnd.h"

class COXMDIFrameWndSizeDock : public CMDIFrameWnd {
public:
    COXSizeControlBar* m_pActiveSizeBar = nullptr;
    CWnd* m_pActiveFloatChild = nullptr;
    BOOL m_bClosing = FALSE;
    BOOL m_bSizeDockDrag = TRUE;  // the toolkit's own drag (answer to WM_QUERYSIZEDOCK)

    // Puts size dock bars on the sides given and makes floating frames sizable.
    void EnableDocking(DWORD dockStyle);
    CMiniDockFrameWnd* CreateFloatingFrame(DWORD style) override;
    CMDIChildWnd* MDIGetActive(BOOL* maximized = nullptr) const override;
    void SetActiveFloatChild(CWnd* child);
    void OnChildActivated(CMDIChildWnd* child);
    void FloatControlBarInMDIChild(CControlBar* bar, CPoint point, DWORD dockStyle, BOOL show = TRUE);
    void FloatControlBarFromMDIChild(CControlBar* bar, CPoint point, DWORD dockStyle);

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT OnQuerySizeDock(WPARAM, LPARAM) { return m_bSizeDockDrag; }
    void OnClose();
    void OnDestroy();
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
    // A new window on the document of the active child (a docked view's child included).
    void OnWindowNew();
};

class COXFrameWndSizeDock : public CFrameWnd {
public:
    BOOL m_bSizeDockDrag = TRUE;
    void EnableDocking(DWORD dockStyle);
    CMiniDockFrameWnd* CreateFloatingFrame(DWORD style) override;

protected:
    const MessageMap* GetMessageMap() const override;
    LRESULT OnQuerySizeDock(WPARAM, LPARAM) { return m_bSizeDockDrag; }
    void OnDestroy();
};

// Puts COXSizeDockBar windows on a frame's sides (those that have none yet).
void EnableSizeDocking(CFrameWnd* frame, DWORD dockStyle);
// Whether the frame's main window asks for the toolkit's own drag.
BOOL ToolkitDragWanted();
