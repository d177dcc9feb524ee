// The drop target of the tab windows: it never takes a drop, but a drag that
// passes over a tab brings that tab's window forward (once per tab entered).
#pragma once
#include "ole/OleDragDrop.h"

#include <commctrl.h>

class COXTabDragActivation : public COleDropTarget {
public:
    DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject*, DWORD, CPoint point) override {
        if (!IsDragActivation(wnd)) return DROPEFFECT_NONE;
        TCHITTESTINFO hit{};
        hit.pt = point;
        const int tab = static_cast<int>(wnd->SendMessage(TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (tab >= 0 && tab != m_nLastTab && ActivateTab(wnd, tab)) m_nLastTab = tab;
        return DROPEFFECT_NONE;
    }
    void OnDragLeave(CWnd* wnd) override {
        m_nLastTab = -1;
        COleDropTarget::OnDragLeave(wnd);
    }
    int m_nLastTab = -1;  // the tab a drag last brought forward

protected:
    // Whether the window lets drags activate its tabs; what bringing a tab forward does (FALSE: nothing).
    virtual BOOL IsDragActivation(CWnd* wnd) const = 0;
    virtual BOOL ActivateTab(CWnd* wnd, int index) = 0;
};
