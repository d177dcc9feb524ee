// COXSizeToolBar: a size bar whose client area holds a toolbar control that
// wraps its buttons to the bar's size. Clicks on empty toolbar space reach
// the bar, so that the bar can be dragged there.
#pragma once
#include "docking/SizeControlBar.h"

class COXToolBarCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    // The index of the button under a client point; -1 for none (a separator counts as none).
    int ButtonAt(CPoint point) const;

protected:
    const MessageMap* GetMessageMap() const override;
    void OnLButtonDown(UINT flags, CPoint point);
};

class COXToolCmdUI : public CCmdUI {
public:
    CWnd* m_pToolBar = nullptr;
    void Enable(BOOL on = TRUE) override;
    void SetCheck(int check = 1) override;
    void SetText(const wchar_t*) override {}
};

class COXSizeToolBar : public COXSizeControlBar {
public:
    explicit COXSizeToolBar(int style = SZBARF_STDMOUSECLICKS) : COXSizeControlBar(style) {}
    static constexpr UINT kToolBarId = 99;
    COXToolBarCtrl m_ToolBarCtrl;
    HBITMAP m_bmpButtons = nullptr;
    const UINT* m_pButtonIDs = nullptr;
    int m_nButtonCount = 0;

    // The button table a customising user chooses from (not owned); set before Create.
    void SetButtonTable(const UINT* ids, int count) {
        m_pButtonIDs = ids;
        m_nButtonCount = count;
    }
    void OnBarResized(int cx, int cy, int floatState, int flags) override;
    void OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler) override;

protected:
    const MessageMap* GetMessageMap() const override;
    int OnCreate(LPCREATESTRUCT cs);
    BOOL OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) override { return FALSE; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The bar's answer to a notification of its toolbar; FALSE when it does not handle it.
    BOOL OnToolBarNotify(NMHDR* header, LRESULT* result);
};
