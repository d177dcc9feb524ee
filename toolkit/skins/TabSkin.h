// Tab skins: tab controls and their scroll arrows, the tab workspace's border
// and its MDI client's border. Classic leaves the controls to the system (it
// only redraws the text of vertical tabs under the XP visual style, which
// draws it wrongly); Office XP and 2003 paint the whole control flat and
// double-buffered, 2003 with gradients.
#pragma once
#include "controls/SpinButtonCtrl.h"
#include "controls/TabCtrl.h"
#include "gdi/DC.h"

#include <optional>

class COXSkinXP;
class COXSkin2003;

// A tab's text (at most kTabTextMax characters) and image (-1 when none).
inline constexpr int kTabTextMax = 510;
CString GetTabItemText(const CTabCtrl* tab, int index, int* image = nullptr);
// The system's menu font, from the non-client metrics.
LOGFONTW GetMenuLogFont();

class COXTabSkin {
public:
    virtual ~COXTabSkin() = default;
    // The whole control, from BeginPaint to EndPaint (WM_PAINT of a skinned tab control).
    virtual void DrawTabCtrl(CTabCtrl* tab) = 0;
    // A tab control's scroll arrows (WM_PAINT of a skinned spin control).
    virtual void DrawSpinCtrl(CSpinButtonCtrl* spin) = 0;
    // The tab workspace's border round `rect`.
    virtual void DrawWorkspaceBorder(CDC* dc, const CRect& rect, CWnd* workspace) = 0;
    // The non-client area of the workspace's MDI client (its WM_NCPAINT).
    virtual void DrawClientBorder(CWnd* client) = 0;
    // Widens `rect` by `amount` on each side of the control that carries no tabs.
    virtual void AdjustTabRect(CRect& rect, int amount, CTabCtrl* tab) = 0;
};

class COXTabSkinClassic : public COXTabSkin {
public:
    void DrawTabCtrl(CTabCtrl* tab) override;
    void DrawSpinCtrl(CSpinButtonCtrl* spin) override;
    void DrawWorkspaceBorder(CDC* dc, const CRect& rect, CWnd* workspace) override;
    void DrawClientBorder(CWnd* client) override;
    void AdjustTabRect(CRect&, int, CTabCtrl*) override {}

    // The text of each tab of a vertical tab control, rotated to read upward, over what is in `dc`.
    static void DrawVerticalTabText(CDC* dc, CTabCtrl* tab);
};

class COXTabSkinXP : public COXTabSkin {
public:
    explicit COXTabSkinXP(COXSkinXP* skin);
    ~COXTabSkinXP() override;
    COXTabSkinXP(const COXTabSkinXP&) = delete;
    COXTabSkinXP& operator=(const COXTabSkinXP&) = delete;

    void DrawTabCtrl(CTabCtrl* tab) override;
    void DrawSpinCtrl(CSpinButtonCtrl* spin) override;
    void DrawWorkspaceBorder(CDC* dc, const CRect& rect, CWnd* workspace) override;
    void DrawClientBorder(CWnd* client) override;
    void AdjustTabRect(CRect& rect, int amount, CTabCtrl* tab) override;
    // One tab's face and its edges; the background of the control.
    virtual void DrawItem(LPDRAWITEMSTRUCT item, CTabCtrl* tab);
    virtual void DrawBackground(CDC* dc, const CRect& rect, CTabCtrl* tab);
    virtual void DrawItemBorder(LPDRAWITEMSTRUCT item, CTabCtrl* tab);

    // The picture DrawTabCtrl and DrawSpinCtrl put on the screen, drawn into `target` (client
    // coordinates of the control); the spin's hot frame follows the cursor and the left button.
    void PaintTabCtrl(CDC* target, CTabCtrl* tab);
    void PaintSpinCtrl(CDC* target, CSpinButtonCtrl* spin);

protected:
    // The band behind the tabs (and behind the scroll arrows), and an unselected tab's face.
    virtual void FillStrip(CDC* dc, const CRect& rect) const;
    virtual void FillUnselectedTab(CDC* dc, const CRect& rect) const;
    COLORREF StripColor() const;
    // A paint of the control or of its arrows begins or ends: a look takes what it asks of the
    // system once for the whole paint.
    virtual void OnPaintBegin() {}
    virtual void OnPaintEnd() {}

    COXSkinXP* m_pSkin;
    CPen m_separatorPen;
    CFont m_font;
    CBrush m_arrowBrush;
    CPen m_arrowPen;

private:
    struct PaintScope {
        explicit PaintScope(COXTabSkinXP& skin) : skin(skin) { skin.OnPaintBegin(); }
        ~PaintScope() { skin.OnPaintEnd(); }
        PaintScope(const PaintScope&) = delete;
        PaintScope& operator=(const PaintScope&) = delete;
        COXTabSkinXP& skin;
    };
    // A memory DC with a bitmap selected, kept from paint to paint while the controls fit in it:
    // making one costs the display driver several server round trips.
    struct PaintBuffer {
        PaintBuffer() = default;
        PaintBuffer(const PaintBuffer&) = delete;
        PaintBuffer& operator=(const PaintBuffer&) = delete;
        ~PaintBuffer();
        // Grows the bitmap (compatible with `like`) to at least the size; false when it cannot be made.
        bool Fit(CDC* like, int width, int height);
        CDC dc;
        CBitmap bitmap;
        HGDIOBJ old = nullptr;
        CSize size{0, 0};
    };
    PaintBuffer m_picture, m_item;  // the whole control, and one tab at a time
};

class COXTabSkin2003 : public COXTabSkinXP {
public:
    explicit COXTabSkin2003(COXSkin2003* skin);
    void DrawBackground(CDC* dc, const CRect& rect, CTabCtrl* tab) override;

    // The gradient colours of this look: asked of the visual style at each call (a paint asks once).
    struct Gradient {
        COLORREF light, dark, middle;
    };
    Gradient GetGradient() const;

protected:
    void FillStrip(CDC* dc, const CRect& rect) const override;
    void FillUnselectedTab(CDC* dc, const CRect& rect) const override;
    void OnPaintBegin() override { m_paintGradient = GetGradient(); }
    void OnPaintEnd() override { m_paintGradient.reset(); }

private:
    Gradient PaintGradient() const { return m_paintGradient ? *m_paintGradient : GetGradient(); }
    COXSkin2003* m_pSkin2003;
    std::optional<Gradient> m_paintGradient;
};
