// COXColorPickerCtrl: the popup bar with colours for values. Each grid
// button shows a swatch of its colour, "Default" a swatch of the default
// colour beside its text, and "Custom..." opens the system colour dialog.
// Without values of its own it shows the first of forty built-in colours.
#pragma once
#include "bars/PopupBarCtrl.h"

#include <commdlg.h>

inline constexpr COLORREF OX_CLR_DEFAULT = 0xFF000000;

class COXColorPickerCtrl : public COXPopupBarCtrl {
public:
    using COXPopupBarCtrl::COXPopupBarCtrl;

    // CLR_DEFAULT selects the current default colour.
    void SetSelectedColor(COLORREF color) { SetSelectedValue(color == OX_CLR_DEFAULT ? GetDefaultValue() : color); }
    COLORREF GetSelectedColor() const { return GetSelectedValue(); }
    void SetDefaultColor(COLORREF color) { SetDefaultValue(color); }
    COLORREF GetDefaultColor() const { return GetDefaultValue(); }
    BOOL Pick(UINT alignment, LPCRECT reference, CSize offset) override;

    static constexpr int kBuiltInCount = 40;
    static COLORREF BuiltInColor(int index);
    static UINT BuiltInTipId(int index);
    // What the colour dialog is run with; tests put their own answer here.
    using ColorDialogRunner = BOOL (*)(CHOOSECOLORW& choose);
    static void SetColorDialogRunner(ColorDialogRunner runner);

protected:
    BOOL OnCustomButton() override;
    void DrawButton(CDC* dc, int index) override;
    void DrawDefaultButton(CDC* dc) override;

private:
    void BuildPalette();
};
