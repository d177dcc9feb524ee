// COXSkinnedTabCtrl and COXSkinnedSpinCtrl: a tab control and its scroll
// arrows painted by the current tab skin. The Office tab skins subclass the
// control's own up-down child into the tab control's spin member when they
// first paint it. Spin controls share one mouse hook that takes the hot look
// off the control the mouse has left.
#pragma once
#include "controls/SpinButtonCtrl.h"
#include "controls/TabCtrl.h"
#include "skins/TabSkin.h"

#include <memory>

class COXSkinnedSpinCtrl : public CSpinButtonCtrl {
public:
    COXSkinnedSpinCtrl() = default;
    ~COXSkinnedSpinCtrl() override;
    COXTabSkin* GetTabSkin();
    // The spin controls' hook (tests look at it).
    static HHOOK GetHookHandle();

protected:
    const MessageMap* GetMessageMap() const override;
    void PreSubclassWindow() override;
    int OnCreate(LPCREATESTRUCT cs);
    void OnPaint();
    void OnMouseMove(UINT flags, CPoint point);
    LRESULT OnEraseBkgnd(HDC) { return TRUE; }
    void OnDestroy();

private:
    void UseHook();
    void ReleaseHook();
    std::unique_ptr<COXTabSkin> m_pFallbackSkin;
    bool m_bHookUser = false;
};

class COXSkinnedTabCtrl : public CTabCtrl {
public:
    COXSkinnedTabCtrl() = default;
    ~COXSkinnedTabCtrl() override;
    COXTabSkin* GetTabSkin();
    // The control's scroll arrows once a tab skin has taken them over.
    COXSkinnedSpinCtrl& GetSpinCtrl() { return m_spin; }

protected:
    const MessageMap* GetMessageMap() const override;
    void OnPaint();

private:
    std::unique_ptr<COXTabSkin> m_pFallbackSkin;
    COXSkinnedSpinCtrl m_spin;
};
