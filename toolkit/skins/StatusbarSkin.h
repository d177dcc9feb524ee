// Status-bar skins: they paint the toolkit's status bar (COXStatusBar) in the
// three looks. The bar calls DrawStatusBar from its WM_PAINT; the other
// operations are its steps. Classic lets the status bar control paint itself
// (the panes are owner-drawn, so each pane's font and colour show) and adds the
// pane bitmaps; XP and 2003 paint the whole bar: background, the caps, num and
// scroll indicators (grey while their key is off), the other panes through the
// bar's DrawItem, pane frames or separators and the size gripper.
#pragma once
#include "gdi/DC.h"

class COXSkinXP;
class COXStatusBar;

class COXStatusbarSkin {
public:
    virtual ~COXStatusbarSkin() = default;
    virtual void DrawStatusBar(COXStatusBar* bar) = 0;
    virtual void DrawPanes(CDC* dc, COXStatusBar* bar) = 0;
    virtual void DrawPaneBorders(CDC* dc, COXStatusBar* bar) = 0;
    virtual void DrawSizeGripper(CDC* dc, COXStatusBar* bar) = 0;
    // Paints, on `dc`, the part of the bar it is clipped to: the bar's own quick repaint of one
    // part (a progress pane's percentage), without a round of WM_PAINT. (After the four above,
    // whose order callers built against the skins rely on.)
    virtual void DrawStatusBarOn(CDC* dc, COXStatusBar* bar) = 0;

protected:
    // UpdateAllPanes(FALSE, TRUE), `steps`, then every pane bitmap (panes not disabled).
    template <typename Steps> static void PaintOver(CDC* dc, COXStatusBar* bar, Steps&& steps);
};

class COXStatusbarSkinClassic : public COXStatusbarSkin {
public:
    void DrawStatusBar(COXStatusBar* bar) override;
    void DrawPanes(CDC*, COXStatusBar*) override {}
    void DrawPaneBorders(CDC*, COXStatusBar*) override {}
    void DrawSizeGripper(CDC*, COXStatusBar*) override {}
    void DrawStatusBarOn(CDC* dc, COXStatusBar* bar) override;
};

class COXStatusbarSkinXP : public COXStatusbarSkin {
public:
    explicit COXStatusbarSkinXP(COXSkinXP* skin) : m_pSkin(skin) {}
    void DrawStatusBar(COXStatusBar* bar) override;
    void DrawPanes(CDC* dc, COXStatusBar* bar) override;
    void DrawPaneBorders(CDC* dc, COXStatusBar* bar) override;
    void DrawSizeGripper(CDC* dc, COXStatusBar* bar) override;
    void DrawStatusBarOn(CDC* dc, COXStatusBar* bar) override;

    // Pane i's rectangle as these skins draw it: the last pane ends 6 pixels past its width.
    static CRect PaneRect(COXStatusBar* bar, int i);

protected:
    // The background under the panes.
    virtual void FillBackground(CDC* dc, const CRect& client);
    COXSkinXP* m_pSkin;
};

class COXStatusbarSkin2003 : public COXStatusbarSkinXP {
public:
    using COXStatusbarSkinXP::COXStatusbarSkinXP;
    void DrawPaneBorders(CDC* dc, COXStatusBar* bar) override;
    void DrawSizeGripper(CDC* dc, COXStatusBar* bar) override;

protected:
    void FillBackground(CDC* dc, const CRect& client) override;
};
