// The lists host: a frame with the toolkit's status bar (a stretching text
// pane, a progress pane a timer drives, a bitmap pane with its own cursor and
// tip, the caps and num indicators), a font combo box, a font list box and
// an extended list box with coloured items and tooltips.
#pragma once
#include "DockingHost.h"
#include "bars/SkinnedStatusBar.h"
#include "lists/FontComboBox.h"

inline constexpr UINT kProgressPane = 3011;
inline constexpr UINT kBitmapPane = 3012;
inline constexpr UINT kFontComboId = 3020;

class ListsHostFrame : public CFrameWnd {
public:
    BOOL Build();
    COXStatusBar status;
    COXFontComboBox fontCombo;
    COXFontListBox fontList;
    COXListBoxEx colours;
    CImageList images;
    UINT lastDoubleClicked = 0;
    int ticks = 0;

protected:
    const MessageMap* GetMessageMap() const override;
    void OnSize(UINT type, int cx, int cy);
    void OnTimer(UINT_PTR id);
    LRESULT OnPaneDoubleClick(WPARAM id, LPARAM);
};
