#include "skins/SkinnedComboBox.h"

#include "skins/Skin.h"

COXToolbarSkin* COXSkinnedComboBox::GetToolbarSkin() {
    return LookupElementSkin<COXToolbarSkin, COXToolbarSkinClassic>(m_pFallbackSkin, &COXSkin::GetToolbarSkin);
}

const MessageMap* COXSkinnedComboBox::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&COXSkinnedComboBox::OnPaint>(WM_PAINT),
        MapMessage<&COXSkinnedComboBox::OnFocusChange>(WM_SETFOCUS),
        MapMessage<&COXSkinnedComboBox::OnFocusChange>(WM_KILLFOCUS),
    };
    static const MessageMap map{CComboBox::GetMessageMap(), entries};
    return &map;
}

void COXSkinnedComboBox::OnPaint() { GetToolbarSkin()->DrawComboBox(this); }

void COXSkinnedComboBox::OnFocusChange() {
    Default();
    GetToolbarSkin()->DrawComboBoxState(this);
}
