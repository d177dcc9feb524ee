#include "bars/ColorPickerCtrl.h"

#include <commdlg.h>

#include <vector>

namespace {

struct BuiltIn {
    BYTE r, g, b;
    UINT tip;
};
constexpr BuiltIn kColors[COXColorPickerCtrl::kBuiltInCount] = {
    {0, 0, 0, 26540},       {165, 42, 42, 26541},   {0, 64, 64, 26542},     {0, 85, 0, 26543},      {0, 0, 94, 26544},
    {0, 0, 139, 26545},     {75, 0, 130, 26546},    {40, 40, 40, 26547},    {139, 0, 0, 26548},     {255, 104, 32, 26549},
    {139, 139, 0, 26550},   {0, 147, 0, 26551},     {56, 142, 142, 26552},  {0, 0, 255, 26553},     {123, 123, 192, 26554},
    {102, 102, 102, 26563}, {255, 0, 0, 26556},     {255, 173, 91, 26557},  {50, 205, 50, 26558},   {60, 179, 113, 26559},
    {127, 255, 212, 26560}, {125, 158, 192, 26561}, {128, 0, 128, 26562},   {127, 127, 127, 26555}, {255, 192, 203, 26564},
    {255, 215, 0, 26565},   {255, 255, 0, 26566},   {0, 255, 0, 26567},     {64, 224, 208, 26568},  {192, 255, 255, 26569},
    {72, 0, 72, 26570},     {192, 192, 192, 26571}, {255, 228, 225, 26572}, {210, 180, 140, 26573}, {255, 255, 224, 26574},
    {152, 251, 152, 26575}, {175, 238, 238, 26576}, {104, 131, 139, 26577}, {230, 230, 250, 26578}, {255, 255, 255, 26579},
};

BOOL RunColorDialog(CHOOSECOLORW& choose) { return ChooseColorW(&choose); }
COXColorPickerCtrl::ColorDialogRunner g_runner = &RunColorDialog;

COLORREF PaletteRelative(COLORREF c) { return 0x02000000 | (c & 0xFFFFFF); }

}  // namespace

COLORREF COXColorPickerCtrl::BuiltInColor(int index) { return RGB(kColors[index].r, kColors[index].g, kColors[index].b); }
UINT COXColorPickerCtrl::BuiltInTipId(int index) { return kColors[index].tip; }
void COXColorPickerCtrl::SetColorDialogRunner(ColorDialogRunner runner) { g_runner = runner ? runner : &RunColorDialog; }

BOOL COXColorPickerCtrl::Pick(UINT alignment, LPCRECT reference, CSize offset) {
    if (m_values.empty()) {
        DWORD colors[kBuiltInCount];
        for (int i = 0; i < kBuiltInCount; ++i) colors[i] = BuiltInColor(i);
        SetButtons(colors, kBuiltInCount);
    }
    if (m_values.size() < static_cast<size_t>(m_nButtons)) m_values.resize(static_cast<size_t>(m_nButtons), 0);
    if (m_toolTipTexts.empty()) {
        std::pair<DWORD, UINT> tips[kBuiltInCount];
        for (int i = 0; i < kBuiltInCount; ++i) tips[i] = {BuiltInColor(i), BuiltInTipId(i)};
        SetToolTips(tips, kBuiltInCount);
    }
    BuildPalette();
    return COXPopupBarCtrl::Pick(alignment, reference, offset);
}

void COXColorPickerCtrl::BuildPalette() {
    if (m_hPalette) DeleteObject(m_hPalette);
    m_hPalette = nullptr;
    const size_t count = std::min<size_t>(m_values.size(), 256);
    if (!count) return;
    std::vector<BYTE> storage(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* palette = reinterpret_cast<LOGPALETTE*>(storage.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<WORD>(count);
    for (size_t i = 0; i < count; ++i) {
        const COLORREF c = m_values[i];
        palette->palPalEntry[i] = PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0};
    }
    m_hPalette = CreatePalette(palette);
}

BOOL COXColorPickerCtrl::OnCustomButton() {
    ReleaseCapture();
    static COLORREF custom[16] = {};
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = m_pParent ? m_pParent->GetSafeHwnd() : nullptr;
    choose.rgbResult = GetSelectedColor() & 0xFFFFFF;
    choose.lpCustColors = custom;
    choose.Flags = CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT;
    if (!g_runner(choose)) return FALSE;
    m_nSelectedIndex = m_nButtons + 1;
    SetSelectedValue(choose.rgbResult);
    return TRUE;
}

void COXColorPickerCtrl::DrawButton(CDC* dc, int index) {
    CRect rect = m_buttonRects[static_cast<size_t>(index)];
    DrawButtonFrame(dc, rect, index + 1);
    rect.DeflateRect(2, 2);
    CBrush shadow(GetSysColor(COLOR_BTNSHADOW));
    dc->FrameRect(&rect, &shadow);
    rect.DeflateRect(1, 1);
    dc->FillSolidRect(&rect, PaletteRelative(m_values[static_cast<size_t>(index)]));
}

void COXColorPickerCtrl::DrawDefaultButton(CDC* dc) {
    DrawButtonFrame(dc, m_rectDefault, 0);
    CRect inner(m_rectDefault);
    inner.DeflateRect(2, 2);
    CBrush shadow(GetSysColor(COLOR_BTNSHADOW));
    dc->FrameRect(&inner, &shadow);
    CRect text(inner);
    if (GetDefaultColor() != static_cast<COLORREF>(-1)) {
        CRect swatch(inner.left, inner.top, inner.left + inner.Height(), inner.bottom);
        swatch.DeflateRect(1, 1);
        dc->FrameRect(&swatch, &shadow);
        swatch.DeflateRect(1, 1);
        dc->FillSolidRect(&swatch, PaletteRelative(GetDefaultColor()));
        text.left = inner.left + inner.Height();
    }
    DrawTextButton(dc, text, m_strDefault);
}
