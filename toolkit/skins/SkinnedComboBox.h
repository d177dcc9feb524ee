// COXSkinnedComboBox: a combo box whose face the toolbar skin paints (the
// system's own look with Classic, a flat frame and drop button with the
// Office looks). Combo boxes share one mouse hook that redraws the box the
// mouse enters or leaves, so the skin can show and take off its hot look.
#pragma once
#include "controls/ComboBox.h"
#include "skins/ToolbarSkin.h"

#include <memory>

class COXSkinnedComboBox : public CComboBox {
public:
    COXSkinnedComboBox();
    ~COXSkinnedComboBox() override;
    COXToolbarSkin* GetToolbarSkin();
    // Whether the common controls are version 6.0 or later (the Office skins draw the box to suit).
    BOOL IsComCtl6() const { return m_bComCtl6; }
    // The combo boxes' hook (tests look at it).
    static HHOOK GetHookHandle();

protected:
    const MessageMap* GetMessageMap() const override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    int OnCreate(LPCREATESTRUCT cs);
    void OnDestroy();
    void OnPaint();
    void OnFocusChange();

private:
    void ReleaseHook();
    std::unique_ptr<COXToolbarSkin> m_pFallbackSkin;
    BOOL m_bComCtl6;
    bool m_bHookUser = false;
};
