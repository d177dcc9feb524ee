// What the dock-bar skins share: the caption layout of the Classic and XP
// looks and the caption text.
#pragma once
#include "gdi/DC.h"
#include "gdi/GdiObject.h"

class COXSizeControlBar;

namespace dockbar_parts {
// Docked at the top or bottom: the caption is a gripper along the left edge.
bool DockedAcross(const COXSizeControlBar* bar);
// The bar shows caption parts: it has a gripper and does not float.
bool HasCaptionParts(const COXSizeControlBar* bar);
// The client rectangle inside 5-pixel borders and a caption band of `band` pixels.
void NcCalcSize(RECT* rect, COXSizeControlBar* bar, int band);
// Gripper, close and resize rectangles of the Classic and XP looks.
void CaptionLayout(COXSizeControlBar* bar, int spacing);
// Draws the bar's title in the caption (turned for a vertical caption); answers where it went.
CRect DrawCaptionText(CDC* dc, COXSizeControlBar* bar, const CRect& caption, CFont& font, COLORREF color, bool transparent);
CFont* RotatedCopy(CFont& font, CFont& rotated);
}  // namespace dockbar_parts
