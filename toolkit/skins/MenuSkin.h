// Menu skins: how the items of an owner-drawn bitmap menu are laid out and
// drawn (background, image column, image, text and shortcut, separator, the
// drag frame and insertion mark of customisation, the submenu arrow), and,
// in the Office XP and 2003 looks, the popup-menu windows themselves: a flat
// frame, and a drop shadow painted from what the screen showed under the
// popup's 4-pixel right and bottom margin when it first appeared.
//
// Skins are stateless drawing objects apart from the XP skin's map of popup
// positions; the colours recorded for a popup's shadow live with the bitmap
// menu that owns the popup (COXPopupWndStack).
#pragma once
#include "bars/MenuItemInfo.h"
#include "gdi/DC.h"

#include <map>
#include <vector>

class COXBitmapMenu;
class COXShadowedItemWnd;
class COXSkinXP;
class COXSkin2003;
class CWnd;

// Item state bits a bitmap menu adds to DRAWITEMSTRUCT::itemState.
inline constexpr UINT OXODS_HIDDEN = 0x1000;       // shown only because the menu is expanded
inline constexpr UINT OXODS_HIDDENFIRST = 0x2000;  // such an item below a normally shown one
inline constexpr UINT OXODS_HIDDENLAST = 0x4000;   // such an item above a normally shown one

// The colours painted into one popup's shadow margin, with the popup's size
// when they were taken: a popup of another size has them taken again.
struct COXPopupShadowRecord {
    HWND hwnd = nullptr;
    SIZE size{0, 0};
    std::vector<COLORREF> colors;
};
class COXPopupWndStack {
public:
    void Add(HWND hwnd);
    COXPopupShadowRecord* Find(HWND hwnd);
    void Remove(HWND hwnd);
    HWND First() const { return m_records.empty() ? nullptr : m_records.front().hwnd; }
    bool IsEmpty() const { return m_records.empty(); }

private:
    std::vector<COXPopupShadowRecord> m_records;
};

class COXMenuSkin {
public:
    static constexpr int kMetricCount = 10;
    virtual ~COXMenuSkin() = default;

    virtual void DrawBackground(CDC* dc, UINT state, const COXImageInfo* info, const CRect& item, const CRect& image,
                                COXBitmapMenu* menu) = 0;
    virtual void DrawImageFrame(CDC* dc, UINT state, const COXImageInfo* info, const CRect& frame) = 0;
    virtual void DrawImage(CDC* dc, UINT state, const COXImageInfo* info, const CRect& image) = 0;
    virtual void DrawText(CDC* dc, UINT state, const CString& text, const CRect& textRect, const CRect& shortcutRect) = 0;
    virtual void DrawSeparator(CDC* dc, const CRect& item, COXBitmapMenu* menu) = 0;
    // The frame of an item picked up in a customised menu, and the mark where it would go. The
    // flags come from the caller unchanged; no look of the toolkit draws differently for them.
    virtual void DrawDragFrame(CDC* dc, const CRect& rect, UINT flags) = 0;
    virtual void DrawInsertMark(CDC* dc, const CRect& item, BOOL before, UINT flags);
    virtual void DrawTextItem(CDC* dc, UINT state, const CString& text, const COXImageInfo* info, const CRect& item,
                              const CRect& glyph, const CRect& textRect, const CRect& shortcutRect, COXBitmapMenu* menu);
    virtual void DrawSubmenuArrow(CDC* dc, const CRect& rect, UINT state);
    // The ten layout values (see each skin's constructor).
    virtual const int* GetMetrics() const = 0;
    virtual LRESULT MenuWindowProc(WNDPROC saved, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnPopupNcPaint(CWnd* popup, COXBitmapMenu* menu);
    virtual void OnShadowedItemPaint(COXShadowedItemWnd* wnd);
    virtual void AdjustValue(int& value) { (void)value; }
    virtual void LayoutItem(const COXImageInfo* info, BOOL hasImage, const CRect& item, CRect& frame, CRect& image,
                            CRect& text, CRect& shortcut, COXBitmapMenu* menu);

protected:
    static void DrawMarlettGlyph(CDC* dc, const CRect& rect, const wchar_t* glyph, COLORREF color);
    // Splits at the first tab; draws the prefix text with DrawState at the
    // text rectangle and the shortcut right-aligned in its rectangle.
    static void DrawTextAndShortcut(CDC* dc, const CString& text, const CRect& textRect, const CRect& shortcutRect,
                                    COLORREF color, UINT stateFlags);
    static void DrawDisabledImage(CDC* dc, const COXImageInfo* info, int index, const CRect& image, UINT stateFlags, HBRUSH brush);
    static int ImageIndex(UINT state, const COXImageInfo* info);
};

class COXMenuSkinClassic : public COXMenuSkin {
public:
    void DrawBackground(CDC* dc, UINT state, const COXImageInfo* info, const CRect& item, const CRect& image,
                        COXBitmapMenu* menu) override;
    void DrawImageFrame(CDC* dc, UINT state, const COXImageInfo* info, const CRect& frame) override;
    void DrawImage(CDC* dc, UINT state, const COXImageInfo* info, const CRect& image) override;
    void DrawText(CDC* dc, UINT state, const CString& text, const CRect& textRect, const CRect& shortcutRect) override;
    void DrawSeparator(CDC* dc, const CRect& item, COXBitmapMenu* menu) override;
    void DrawDragFrame(CDC* dc, const CRect& rect, UINT flags) override;
    void DrawTextItem(CDC* dc, UINT state, const CString& text, const COXImageInfo* info, const CRect& item, const CRect& glyph,
                      const CRect& textRect, const CRect& shortcutRect, COXBitmapMenu* menu) override;
    const int* GetMetrics() const override { return m_metrics; }

private:
    // The second value says whether an item with a submenu draws its own
    // arrow glyph: 0, since the system draws the arrow of owner-drawn
    // submenu items itself (on Windows and under Wine).
    int m_metrics[kMetricCount] = {2, 0, 8, 2, 3, 4, 3, 8, 0, 12};
};

class COXMenuSkinXP : public COXMenuSkin {
public:
    explicit COXMenuSkinXP(COXSkinXP* skin) : m_pSkin(skin) {}
    // The system's colours or visual style changed: every XP and 2003 menu skin asks its colours
    // again at its next paint.
    static void ColorsChanged() { ++s_colorGeneration; }

    void DrawBackground(CDC* dc, UINT state, const COXImageInfo* info, const CRect& item, const CRect& image,
                        COXBitmapMenu* menu) override;
    void DrawImageFrame(CDC* dc, UINT state, const COXImageInfo* info, const CRect& frame) override;
    void DrawImage(CDC* dc, UINT state, const COXImageInfo* info, const CRect& image) override;
    void DrawText(CDC* dc, UINT state, const CString& text, const CRect& textRect, const CRect& shortcutRect) override;
    void DrawSeparator(CDC* dc, const CRect& item, COXBitmapMenu* menu) override;
    void DrawDragFrame(CDC* dc, const CRect& rect, UINT flags) override;
    void DrawSubmenuArrow(CDC* dc, const CRect& rect, UINT state) override;
    const int* GetMetrics() const override { return m_metrics; }
    LRESULT MenuWindowProc(WNDPROC saved, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnPopupNcPaint(CWnd* popup, COXBitmapMenu* menu) override;
    void OnShadowedItemPaint(COXShadowedItemWnd* wnd) override;
    void AdjustValue(int& value) override { value = value / 2 + 1; }
    void LayoutItem(const COXImageInfo* info, BOOL hasImage, const CRect& item, CRect& frame, CRect& image, CRect& text,
                    CRect& shortcut, COXBitmapMenu* menu) override;

    virtual void FillImageColumn(CDC* dc, const CRect& rect);
    virtual void FillMenuArea(CDC* dc, const CRect& rect);
    virtual void FillMenuAreaOnHandle(HDC dc, const CRect& rect);

    // c with each channel times (255 - amount) / 255.
    static COLORREF DarkenColor(COLORREF c, int amount);
    // The popup menu's shadow in the window's right and bottom margin. With a
    // record, the colours of its first paint are painted again as long as
    // the popup keeps its size; without one the screen is read every time.
    void DrawPopupShadow(CDC* dc, const CRect& window, const CRect& exclude, COXPopupShadowRecord* record, CDC* screen = nullptr);
    // The shadow of the window that stands over the button of an open menu
    // (side code 1 popup below, 2 to the right, 3 to the left, 4 above).
    void DrawItemShadow(CDC* dc, const CRect& window, int side, CDC* screen = nullptr);
    // The latest position of a popup window, as its moves were seen.
    bool LastPosition(HWND popup, POINT& at) const;

protected:
    // The look's colour n and auxiliary colour n (2003), asked of the skin at
    // most once per quarter second: a visual-style query is slow (under Wine
    // the 2003 items of one popup take milliseconds without it). A change of
    // colours or theme that a toolkit window hears of (ColorsChanged) shows at
    // the next paint, any other after the quarter second.
    COLORREF Color(int n) const;
    COLORREF AuxColor(int n) const;
    COLORREF Cached(int slot, COLORREF (*ask)(const COXSkinXP*, int), int n) const;
    // The three-sided frame of a shadowed item window and its shadow.
    void PaintShadowedItem(CDC* dc, COXShadowedItemWnd* wnd, COLORREF frame);
    // Frame, image column, shadow and the opening towards the bar button of a popup-menu window.
    void PaintPopupFrame(CDC* dc, HWND popup, const CRect& window, COXBitmapMenu* menu, COXPopupShadowRecord* record);
    int ImageColumnRight(COXBitmapMenu* menu) const;
    COXSkinXP* m_pSkin;
    int m_metrics[kMetricCount] = {3, 5, 15, 12, 6, 10, 4, 3, 16, 16};
    std::map<HWND, POINT> m_positions;
    static constexpr int kCacheSlots = 32;
    mutable COLORREF m_cache[kCacheSlots] = {};
    mutable bool m_cached[kCacheSlots] = {};
    mutable ULONGLONG m_cacheTime = 0;
    mutable unsigned m_cacheGeneration = 0;
    static inline unsigned s_colorGeneration = 0;
};

class COXMenuSkin2003 : public COXMenuSkinXP {
public:
    using COXMenuSkinXP::COXMenuSkinXP;
    void DrawBackground(CDC* dc, UINT state, const COXImageInfo* info, const CRect& item, const CRect& image,
                        COXBitmapMenu* menu) override;
    void DrawImage(CDC* dc, UINT state, const COXImageInfo* info, const CRect& image) override;
    void DrawSeparator(CDC* dc, const CRect& item, COXBitmapMenu* menu) override;
    void OnShadowedItemPaint(COXShadowedItemWnd* wnd) override;
    void FillImageColumn(CDC* dc, const CRect& rect) override;
    void FillMenuArea(CDC* dc, const CRect& rect) override;
    void FillMenuAreaOnHandle(HDC, const CRect&) override {}

private:
    const COXSkin2003* Skin2003() const;
    void GradientImageColumn(CDC* dc, const CRect& item, COXBitmapMenu* menu, bool expanded);
};
