// CFrameWnd: a top-level (or MDI child) window that holds a view, a menu
// and an accelerator table, routes commands to its active view first,
// updates menu items before they drop down and its title on idle.
//
// Created by LoadFrame(resource id): the resource's string gives the title
// (its first "\n" part), the menu, accelerator table and icon of the same
// id are loaded when present.
#pragma once
#include "wnd/CreateContext.h"
#include "wnd/Wnd.h"

#include <vector>

class CControlBar;
class CDockBar;
class CDocument;
class CMiniDockFrameWnd;
class CPreviewView;
class CView;

// Frame styles kept in the low word of the window style.
inline constexpr DWORD FWS_ADDTOTITLE = 0x00008000;
inline constexpr DWORD FWS_PREFIXTITLE = 0x00004000;

class CFrameWnd : public CWnd {
public:
    CFrameWnd() = default;

    CString m_strTitle;
    HACCEL m_hAccelTable = nullptr;
    HMENU m_hMenuDefault = nullptr;
    UINT m_nIDHelp = 0;
    BOOL m_bAutoMenuEnable = TRUE;  // menu items without a command handler are greyed
    // The print preview shown in this frame (null when none), and the hook
    // that a close of the frame runs in place of closing while it is up.
    CPreviewView* m_pPreview = nullptr;
    void (*m_lpfnCloseProc)(CFrameWnd* frame) = nullptr;
    // Context-help mode of a top-level frame: its windows show the help cursor.
    BOOL m_bHelpMode = FALSE;

    virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
                           CCreateContext* context = nullptr);

    // The frame whose view has the focus: this one, or an MDI frame's active child.
    virtual CFrameWnd* GetActiveFrame() { return this; }
    CView* GetActiveView() const { return m_pViewActive; }
    virtual void SetActiveView(CView* view, BOOL notify = TRUE);
    virtual CDocument* GetActiveDocument();

    virtual void ActivateFrame(int cmdShow = -1);
    virtual void InitialUpdateFrame(CDocument* document, BOOL makeVisible);
    virtual void OnUpdateFrameTitle(BOOL addToTitle);
    void UpdateFrameTitleForDocument(const wchar_t* documentName);
    virtual void RecalcLayout(BOOL notify = TRUE);
    // While a preview is up it takes the whole client area: true when it did.
    BOOL PlacePreview();
    CWnd* CreateView(CCreateContext* context, UINT id = AFX_IDW_PANE_FIRST);
    void SetTitle(const wchar_t* title) { m_strTitle = title; }
    CString GetTitle() const { return m_strTitle; }
    virtual HACCEL GetDefaultAccelerator() { return m_hAccelTable; }

    BOOL OnCmdMsg(CommandCall& call) override;
    BOOL PreTranslateMessage(MSG* msg) override;

    // Control bars and docking -------------------------------------------------
    // The bars of this frame (docked, floating or plain), in creation order; not owned.
    std::vector<CControlBar*> m_listControlBars;
    // Makes the dock bars of the sides given (CBRS_ALIGN_*), once each.
    void EnableDocking(DWORD dockStyle);
    // Docks a bar on the dock bar of that id (0: the first side the bar allows), at a screen rectangle or in a new row.
    void DockControlBar(CControlBar* bar, UINT dockBarId = 0, LPCRECT rect = nullptr);
    void DockControlBar(CControlBar* bar, CDockBar* dockBar, LPCRECT rect = nullptr);
    // Floats a bar in a mini frame whose top-left is the screen point.
    void FloatControlBar(CControlBar* bar, CPoint point, DWORD style = 0x2000 /* CBRS_ALIGN_TOP */);
    void ShowControlBar(CControlBar* bar, BOOL show, BOOL delay);
    CControlBar* GetControlBar(UINT id) const;
    // The floating frame for a bar; frames with their own mini frames override it.
    virtual CMiniDockFrameWnd* CreateFloatingFrame(DWORD style);
    void AddControlBar(CControlBar* bar);
    void RemoveControlBar(CControlBar* bar);
    // Lays the bars out and gives the rest of the client area to `pane`. With `query`
    // nothing moves; `freeRect` (when given) receives what the bars leave free.
    void RepositionBars(HWND pane, CRect* freeRect = nullptr, bool query = false);
    // The same, the pane being the child with id `paneId` (found in the one walk through the children).
    void RepositionBars(UINT paneId, CRect* freeRect = nullptr, bool query = false);
    // Asks for a layout pass at the next idle time.
    void DelayRecalcLayout() { m_bLayoutPending = TRUE; }
    // Keeps each bar's place (dock side and position, or floating position) and visibility
    // under sections "<profileName>-Bar<n>" of the application profile.
    void SaveBarState(const wchar_t* profileName) const;
    void LoadBarState(const wchar_t* profileName);

    // Handlers derived frames call as their base.
    int OnCreate(LPCREATESTRUCT cs);
    void OnClose();
    void OnDestroy();
    void OnSize(UINT type, int cx, int cy);

    // The frame's number among the frames that show its document (CDocument::UpdateFrameCounts):
    // 1, 2, ... while there are several, 0 for the only one, -1 before it was counted.
    int m_nWindow = -1;

protected:
    // The frame's children in z-order: each step of a walk through them is a round trip to the server.
    std::vector<HWND> ListChildren() const;
    void LayOutBars(const std::vector<HWND>& children, HWND pane, CRect* freeRect, bool query);

    const MessageMap* GetMessageMap() const override;
    virtual BOOL OnCreateClient(LPCREATESTRUCT cs, CCreateContext* context);
    int OnCreateHelper(LPCREATESTRUCT cs, CCreateContext* context);
    // Deletes the object; the application's main window also ends the message loop.
    void PostNcDestroy() override;
    BOOL LoadAccelTable(UINT resourceId);
    // Registers the frame's window class with the icon of the resource id.
    static const wchar_t* FrameClassFor(UINT resourceId, HBRUSH background);

    void OnInitMenuPopup(HMENU menu, UINT index, BOOL sysMenu);
    LRESULT OnIdleUpdateCmdUI(WPARAM, LPARAM);
    void OnSetFocus();
    LRESULT OnNcActivate(WPARAM wParam, LPARAM lParam);
    // A top-level frame whose place in the z-order changed (its activation
    // by a click raises it) puts the windows it owns back above itself.
    LRESULT OnWindowPosChanged(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM id, LPARAM lParam);
    LRESULT OnMouseActivate(WPARAM wParam, LPARAM lParam);
    void CheckOwnedWindowsForAWhile();
    void RaiseOwnedWindows();
    UINT m_ownedWindowChecks = 0;
    // A top-level frame activated by another window's going (a dialog of
    // another program closing over it) gives its focus window the
    // display's keyboard once more, a moment later: see OnActivate.
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
    void ClaimKeyboardAgain();
    HWND m_hWndFocusAtActivation = nullptr;

    BOOL m_bLayoutPending = FALSE;
    CView* m_pViewActive = nullptr;
    CString m_strTitleShown;  // the text the title updates set last
};
