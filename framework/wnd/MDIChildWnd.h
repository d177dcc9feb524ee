// CMDIChildWnd: a document window inside the MDI main window. Created by
// its document template through the MDI client (WM_MDICREATE); it has no
// menu of its own but brings the template's shared menu to the main window
// while it is active.
#pragma once
#include "wnd/FrameWnd.h"

class CMDIFrameWnd;

class CMDIChildWnd : public CFrameWnd {
public:
    CMDIChildWnd() = default;

    HMENU m_hMenuShared = nullptr;
    // Hidden while the MDI client still named it active: deactivated by hand, activated again when shown.
    BOOL m_bPseudoInactive = FALSE;

    BOOL LoadFrame(UINT resourceId, DWORD style = WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* parent = nullptr, CCreateContext* context = nullptr) override;
    virtual BOOL Create(const wchar_t* className, const wchar_t* title, DWORD style, const RECT& rect, CMDIFrameWnd* parent,
                CCreateContext* context);
    CMDIFrameWnd* GetMDIFrame() const;
    void MDIDestroy();
    void MDIActivate();
    void MDIMaximize();
    void MDIRestore();

    void ActivateFrame(int cmdShow = -1) override;
    void OnUpdateFrameTitle(BOOL addToTitle) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL DestroyWindow() override;

    int OnCreate(LPCREATESTRUCT cs);

protected:
    const MessageMap* GetMessageMap() const override;
    void OnMDIActivate(HWND deactivated, HWND activated);
    // Brings the shared menu onto the main window while active, and the main
    // window's own menu back when no child is activated in its place.
    void OnUpdateFrameMenu(BOOL active, HWND activated);
};
