// The dock-bar skins: they draw the resizable docking bars (caption or
// gripper, close and resize buttons, borders), the splitters between docked
// bars and the dock bars' backgrounds, and compute a bar's non-client size
// and the rectangles of its caption parts, so that the bar's hit tests agree
// with what is drawn. Rectangles of the caption parts are kept by the bar
// relative to its client origin; the skins draw them in window coordinates.
#pragma once
#include "gdi/DC.h"
#include "gdi/GdiObject.h"

#include <memory>

class COXSizeControlBar;
class COXSizeDockBar;
class COXSkinXP;
class COXSkin2003;

// One splitter between docked bars as the dock bar hands it to its skin.
struct COXSplitterDraw {
    CRect rect;
    int orientation = 1;  // 1: a vertical splitter (between bars of a row), 2: a horizontal one
};

class COXDockbarSkin {
public:
    virtual ~COXDockbarSkin() = default;
    virtual void DrawCaption(CDC* dc, COXSizeControlBar* bar) = 0;
    virtual void DrawCloseButton(CDC* dc, COXSizeControlBar* bar) = 0;
    virtual void DrawResizeButton(CDC* dc, COXSizeControlBar* bar) = 0;
    virtual int* GetButtonSpacing() = 0;
    // The bar's borders and background over `rect` (window coordinates).
    virtual void DrawBarBackground(CDC* dc, const CRect& rect, COXSizeControlBar* bar) = 0;
    virtual void DrawDockBar(CDC* dc, const COXSplitterDraw& splitter, COXSizeDockBar* dockBar) = 0;
    // The dock bar's non-client area, after the window's own painting.
    virtual void DrawBarFrame(COXSizeDockBar* dockBar) = 0;
    virtual void EraseDockBarBackground(CDC* dc, COXSizeDockBar* dockBar) = 0;
    // Shrinks the window rectangle to the client rectangle inside borders and caption.
    virtual void OnNcCalcSize(BOOL calcValidRects, RECT* rect, COXSizeControlBar* bar) = 0;
    virtual void CalcCaptionLayout(COXSizeControlBar* bar) = 0;
    virtual COLORREF GetLineColor() = 0;
};

class COXDockbarButtonCanvas;

class COXDockbarSkinClassic : public COXDockbarSkin {
public:
    COXDockbarSkinClassic();
    ~COXDockbarSkinClassic() override;
    void DrawCaption(CDC* dc, COXSizeControlBar* bar) override;
    void DrawCloseButton(CDC* dc, COXSizeControlBar* bar) override;
    void DrawResizeButton(CDC* dc, COXSizeControlBar* bar) override;
    int* GetButtonSpacing() override { return &m_nSpacing; }
    void DrawBarBackground(CDC* dc, const CRect& rect, COXSizeControlBar* bar) override;
    void DrawDockBar(CDC* dc, const COXSplitterDraw& splitter, COXSizeDockBar* dockBar) override;
    void DrawBarFrame(COXSizeDockBar*) override {}  // the window's own painting is all
    void EraseDockBarBackground(CDC* dc, COXSizeDockBar* dockBar) override;
    void OnNcCalcSize(BOOL calcValidRects, RECT* rect, COXSizeControlBar* bar) override;
    void CalcCaptionLayout(COXSizeControlBar* bar) override;
    COLORREF GetLineColor() override { return ::GetSysColor(COLOR_WINDOWFRAME); }

protected:
    // A caption button drawn by DrawFrameControl into the skin's memory bitmap and copied into place.
    void DrawFrameControlButton(CDC* dc, const CRect& rect, UINT state);
    CFont m_fontLarge;  // "Arial" 10 points
    CFont m_fontSmall;  // "Arial" 8 points
    int m_nSpacing = 2;

private:
    std::unique_ptr<COXDockbarButtonCanvas> m_pCanvas;
};

class COXDockbarSkinXP : public COXDockbarSkin {
public:
    explicit COXDockbarSkinXP(COXSkinXP* skin);
    void DrawCaption(CDC* dc, COXSizeControlBar* bar) override;
    void DrawCloseButton(CDC* dc, COXSizeControlBar* bar) override;
    void DrawResizeButton(CDC* dc, COXSizeControlBar* bar) override;
    int* GetButtonSpacing() override { return &m_nSpacing; }
    void DrawBarBackground(CDC* dc, const CRect& rect, COXSizeControlBar* bar) override;
    void DrawDockBar(CDC* dc, const COXSplitterDraw& splitter, COXSizeDockBar* dockBar) override;
    void DrawBarFrame(COXSizeDockBar* dockBar) override;
    void EraseDockBarBackground(CDC* dc, COXSizeDockBar* dockBar) override;
    void OnNcCalcSize(BOOL calcValidRects, RECT* rect, COXSizeControlBar* bar) override;
    void CalcCaptionLayout(COXSizeControlBar* bar) override;
    COLORREF GetLineColor() override;

protected:
    // Fills the dock bar's window outside its client area.
    void FillBarFrame(COXSizeDockBar* dockBar, COLORREF color);
    COXSkinXP* m_pSkin;
    CFont m_fontCaption;  // "Tahoma BOLD" 8.5 points
    int m_nSpacing = 3;
};

class COXDockbarSkin2003 : public COXDockbarSkinXP {
public:
    explicit COXDockbarSkin2003(COXSkinXP* skin) : COXDockbarSkinXP(skin) {}
    void DrawCaption(CDC* dc, COXSizeControlBar* bar) override;
    void DrawCloseButton(CDC* dc, COXSizeControlBar* bar) override;
    void DrawResizeButton(CDC* dc, COXSizeControlBar* bar) override;
    void DrawBarBackground(CDC* dc, const CRect& rect, COXSizeControlBar* bar) override;
    void DrawDockBar(CDC* dc, const COXSplitterDraw& splitter, COXSizeDockBar* dockBar) override;
    void DrawBarFrame(COXSizeDockBar* dockBar) override;
    void EraseDockBarBackground(CDC* dc, COXSizeDockBar* dockBar) override;
    void OnNcCalcSize(BOOL calcValidRects, RECT* rect, COXSizeControlBar* bar) override;
    void CalcCaptionLayout(COXSizeControlBar* bar) override;

private:
    COXSkin2003* Skin2003() const;
    // The band as wide as the screen (or the frame) that 2003 dock bars paint: H8 to H7 over its left half.
    void FillBand(CDC* dc, const CRect& band) const;
};
