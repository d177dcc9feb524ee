// The shortcut-bar family of element skins: the background of a shortcut bar
// and of its item lists, the group header buttons, the frames of hot and
// pressed items, the drop marker on a header while something is dragged over
// it and, in the Office 2003 look, the title band that names the open group.
//
// The skins read what they draw from the bar (COXShortcutBar); they keep no
// state beyond the layout flag (0: the bar leaves a title band at its top) and,
// in the 2003 look, the bar's gradient painted once for the lists to copy from.
#pragma once
#include "gdi/DC.h"

#include <cstdint>

class COXSkinXP;
class COXSkin2003;
class COXShortcutBar;

class COXShortcutBarSkin {
public:
    virtual ~COXShortcutBarSkin() = default;

    virtual COLORREF GetBackgroundColor(CWnd* wnd) = 0;
    virtual COLORREF GetTextColor(CWnd* wnd) = 0;
    // The frame of a hot or pressed list item; nothing when neither.
    virtual void DrawItemBorder(CDC* dc, LPCRECT rect, BOOL hot, BOOL pressed, COXShortcutBar* bar) = 0;
    // Fills `rect` of `wnd` in its client coordinates (the 2003 look runs one gradient over a bar
    // and its lists).
    virtual void FillBackground(CDC* dc, LPCRECT rect, CWnd* wnd, BOOL useColor, COLORREF color) = 0;
    // One header: the record's item id is the group, its DC and rectangle are drawn into.
    virtual void DrawGroupHeader(LPDRAWITEMSTRUCT dis, COXShortcutBar* bar) = 0;
    virtual void Reserved() {}
    virtual int GetType() { return 3; }
    // The band at the top of the bar naming the expanded group (2003 look only).
    virtual void DrawTitleBand(COXShortcutBar* /*bar*/, CDC* /*dc*/) {}
    // Whether FillBackground paints one colour (a list can then scroll its pixels), with or
    // without the group's own colour.
    virtual bool IsBackgroundFlat(BOOL /*useColor*/) const { return true; }

    // 1: the headers stack from the top; 0: a title band of kTitleBandHeight sits above them.
    BYTE GetLayoutFlag() const { return m_layoutFlag; }
    static constexpr int kTitleBandHeight = 25;

    // Each channel plus `amount`, clamped to 0..255 (lighter: +64, darker: -128).
    static COLORREF OffsetColor(COLORREF color, int amount);
    static COLORREF Lighter(COLORREF color) { return OffsetColor(color, 64); }
    static COLORREF Darker(COLORREF color) { return OffsetColor(color, -128); }
    static COLORREF Inverse(COLORREF color) { return RGB(255 - GetRValue(color), 255 - GetGValue(color), 255 - GetBValue(color)); }

protected:
    explicit COXShortcutBarSkin(BYTE layoutFlag) : m_layoutFlag(layoutFlag) {}
    // What every variant draws on a header once its face is painted: the image, the text and
    // the drop marker, in `r` (the face less its border).
    static void DrawHeaderContent(CDC* dc, CRect r, LPDRAWITEMSTRUCT dis, COXShortcutBar* bar);
    static void DrawDropMarker(CDC* dc, const CRect& header, LPDRAWITEMSTRUCT dis, COXShortcutBar* bar);
    // The Classic and XP pieces: a flat fill, and a header with a 3-D border over a flat face.
    void FillFlat(CDC* dc, LPCRECT rect, CWnd* wnd, BOOL useColor, COLORREF color);
    static void DrawRaisedHeader(LPDRAWITEMSTRUCT dis, COXShortcutBar* bar);

    BYTE m_layoutFlag;
};

// The colours of a look that take a theme query to learn (a good part of a millisecond each
// under Wine), kept from paint to paint until the system's colours or theme change: a change
// of the plain system colours shows at once, a change of theme when a shortcut bar or list
// hears of it (ColorsChanged).
class ShortcutBarColorCache {
public:
    template <typename Fetch> COLORREF Get(int slot, Fetch fetch) {
        const Key now = CurrentKey();
        if (!(now == m_key)) {
            m_key = now;
            m_known = 0;
        }
        if (slot < 0 || slot >= kSlots) return fetch();
        if (!(m_known & (uint64_t{1} << slot))) {
            m_colors[slot] = fetch();
            m_known |= uint64_t{1} << slot;
        }
        return m_colors[slot];
    }
    static void ColorsChanged() { ++s_generation; }
    static constexpr int kSlots = 64;

private:
    struct Key {
        unsigned generation = ~0u;
        COLORREF window = 0, face = 0, highlight = 0, caption = 0;
        bool operator==(const Key&) const = default;
    };
    static Key CurrentKey();
    static inline unsigned s_generation = 0;
    Key m_key;
    uint64_t m_known = 0;
    COLORREF m_colors[kSlots]{};
};

class COXShortcutBarSkinClassic : public COXShortcutBarSkin {
public:
    COXShortcutBarSkinClassic() : COXShortcutBarSkin(1) {}
    COLORREF GetBackgroundColor(CWnd* wnd) override;
    COLORREF GetTextColor(CWnd* wnd) override;
    void DrawItemBorder(CDC* dc, LPCRECT rect, BOOL hot, BOOL pressed, COXShortcutBar* bar) override;
    void FillBackground(CDC* dc, LPCRECT rect, CWnd* wnd, BOOL useColor, COLORREF color) override;
    void DrawGroupHeader(LPDRAWITEMSTRUCT dis, COXShortcutBar* bar) override;
    int GetType() override { return 0; }
};

class COXShortcutBarSkinXP : public COXShortcutBarSkin {
public:
    explicit COXShortcutBarSkinXP(COXSkinXP* skin) : COXShortcutBarSkin(1), m_pSkin(skin) {}
    COLORREF GetBackgroundColor(CWnd* wnd) override;
    COLORREF GetTextColor(CWnd* wnd) override;
    void DrawItemBorder(CDC* dc, LPCRECT rect, BOOL hot, BOOL pressed, COXShortcutBar* bar) override;
    void FillBackground(CDC* dc, LPCRECT rect, CWnd* wnd, BOOL useColor, COLORREF color) override;
    void DrawGroupHeader(LPDRAWITEMSTRUCT dis, COXShortcutBar* bar) override;
    int GetType() override { return 1; }

protected:
    COXShortcutBarSkinXP(COXSkinXP* skin, BYTE layoutFlag) : COXShortcutBarSkin(layoutFlag), m_pSkin(skin) {}
    // XP colour n of the owning skin, through the cache.
    COLORREF SkinColor(int n);
    COXSkinXP* m_pSkin;
    ShortcutBarColorCache m_colors;
};

class COXShortcutBarSkin2003 : public COXShortcutBarSkinXP {
public:
    explicit COXShortcutBarSkin2003(COXSkin2003* skin);
    void FillBackground(CDC* dc, LPCRECT rect, CWnd* wnd, BOOL useColor, COLORREF color) override;
    void DrawGroupHeader(LPDRAWITEMSTRUCT dis, COXShortcutBar* bar) override;
    int GetType() override { return 2; }
    void DrawTitleBand(COXShortcutBar* bar, CDC* dc) override;
    bool IsBackgroundFlat(BOOL useColor) const override { return useColor; }

    static constexpr COLORREF kHotOrange = RGB(247, 192, 91);
    static constexpr COLORREF kPressedOrange = RGB(238, 149, 21);
    static constexpr COLORREF kBandTop = RGB(85, 131, 211);
    static constexpr COLORREF kBandBottom = RGB(3, 56, 147);

private:
    COXSkin2003* Skin2003() const;
    // Auxiliary colour n of the 2003 skin, through the cache.
    COLORREF AuxColor(int n);
    // The bar's gradient at `size` in the current colours, painted again only when they change.
    CDC* Gradient(CSize size);

    CBitmap m_gradientBitmap;
    CDC m_gradient;
    CSize m_gradientSize;
    COLORREF m_gradientColors[2]{};
};
