// COXSkinnedComboBox: a combo box whose face the toolbar skin paints (the
// system's own look with Classic, a flat frame and drop button with the
// Office looks). Otherwise a standard combo box.
#pragma once
#include "controls/ComboBox.h"
#include "skins/ToolbarSkin.h"

#include <memory>

class COXSkinnedComboBox : public CComboBox {
public:
    COXToolbarSkin* GetToolbarSkin();

protected:
    const MessageMap* GetMessageMap() const override;
    void OnPaint();
    void OnFocusChange();

private:
    std::unique_ptr<COXToolbarSkin> m_pFallbackSkin;
};
