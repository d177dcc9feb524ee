// An MDI child that can move its view out into a docking view bar and back
// ("_DOCK_MDICHILD_" in its system menu), the view bar and the wrapper
// window that holds the view inside it, and the MDI child that floats a size
// bar inside the MDI client.
#pragma once
#include "bars/DockBar.h"
#include "docking/SizeControlBar.h"
#include "wnd/MDIChildWnd.h"

class COXMDIChildWndSizeDock;
class COXSizeViewBar;
class CView;

class COXSizeBarWrapper : public CWnd {
public:
    COXSizeViewBar* m_pViewBar = nullptr;
    COXMDIChildWndSizeDock* m_pChildFrame = nullptr;
    BOOL m_bClosing = FALSE;
    BOOL Create(COXSizeViewBar* bar);

protected:
    const MessageMap* GetMessageMap() const override;
    LRESULT OnMouseActivate(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam) { return Forward(WM_LBUTTONDOWN, wParam, lParam); }
    LRESULT OnLButtonDblClk(WPARAM wParam, LPARAM lParam) { return Forward(WM_LBUTTONDBLCLK, wParam, lParam); }
    // A button message goes on to the view bar, in its client coordinates.
    LRESULT Forward(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTest(WPARAM, LPARAM);
    LRESULT OnNcActivate(WPARAM, LPARAM);
    void OnClose();
    void OnSize(UINT type, int cx, int cy);
    void OnNcDestroy();
    void PostNcDestroy() override;
};

class COXSizeViewBar : public COXSizeControlBar {
public:
    COXSizeViewBar() : COXSizeControlBar(SZBARF_STDMOUSECLICKS) {}
    COXMDIChildWndSizeDock* m_pChildFrame = nullptr;
    CView* m_pView = nullptr;
    COXSizeBarWrapper m_wndWrapper;
    BOOL m_bDestroying = FALSE;
    void OnBarResized(int cx, int cy, int floatState, int flags) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Puts the view into the wrapper (docked) or back into its child.
    void TakeView();
    void ReturnView();
};

class COXMDIChildWndSizeDock : public CMDIChildWnd {
public:
    COXSizeViewBar m_wndViewBar;
    BOOL m_bViewDocked = FALSE;
    DWORD m_dwDockSides = CBRS_ALIGN_ANY;
    BOOL m_bClosing = FALSE;
    CString m_strDockTitle = L"&Dock View";

    virtual void FillDockMenu(HMENU menu);
    virtual void AppendDockMenu(HMENU menu);
    void ToggleDockedView() { SetViewDocked(!m_bViewDocked, CBRS_ALIGN_TOP); }
    BOOL SetViewDocked(BOOL docked, DWORD preferredSide);
    BOOL DestroyWindow() override;
    BOOL Create(const wchar_t* className, const wchar_t* title, DWORD style, const RECT& rect, CMDIFrameWnd* parent,
                CCreateContext* context) override;
    void ActivateFrame(int cmdShow = -1) override;
    void OnUpdateFrameTitle(BOOL addToTitle) override;

protected:
    const MessageMap* GetMessageMap() const override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    void OnNcRButtonDown(UINT hitTest, CPoint point);
    void OnClose();
};

class COXMDIFloatWnd : public COXMDIChildWndSizeDock {
public:
    COXMDIFloatWnd() : m_wndDockBar(TRUE) {}
    CDockBar m_wndDockBar;
    BOOL m_bInCreate = FALSE;
    virtual BOOL Create(CMDIFrameWnd* parent, DWORD dockStyle);
    using COXMDIChildWndSizeDock::Create;
    void FillDockMenu(HMENU) override {}
    void AppendDockMenu(HMENU) override {}
    void RecalcLayout(BOOL notify = TRUE) override;
    COXSizeControlBar* FloatedBar() const;

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    void OnSize(UINT type, int cx, int cy);
    LRESULT OnWindowPosChanged(WPARAM, LPARAM);
    void OnShowWindow(BOOL show, UINT status);
    void OnClose();

private:
    BOOL m_bInLayout = FALSE;
};
