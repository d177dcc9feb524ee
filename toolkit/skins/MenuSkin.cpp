#include "skins/MenuSkin.h"

#include "bars/BitmapMenu.h"
#include "bars/CoolToolBar.h"
#include "bars/MenuCustomize.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"
#include "wnd/Wnd.h"

#include <algorithm>

// Saved shadow colours -----------------------------------------------------------------------

void COXPopupWndStack::Add(HWND hwnd) {
    Remove(hwnd);
    COXPopupShadowRecord record;
    record.hwnd = hwnd;
    m_records.push_back(std::move(record));
}

COXPopupShadowRecord* COXPopupWndStack::Find(HWND hwnd) {
    auto it = std::find_if(m_records.begin(), m_records.end(), [hwnd](const auto& r) { return r.hwnd == hwnd; });
    return it == m_records.end() ? nullptr : &*it;
}

void COXPopupWndStack::Remove(HWND hwnd) {
    std::erase_if(m_records, [hwnd](const auto& r) { return r.hwnd == hwnd; });
}

// What every look shares -----------------------------------------------------------------------

namespace {

struct SelectedObject {
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(::SelectObject(dc, object)) {}
    ~SelectedObject() { ::SelectObject(m_dc, m_old); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    HDC m_dc;
    HGDIOBJ m_old;
};

void SolidLine(CDC* dc, COLORREF color, int x1, int y1, int x2, int y2) {
    CPen pen(PS_SOLID, 1, color);
    SelectedObject keep(*dc, pen);
    dc->MoveTo(x1, y1);
    dc->LineTo(x2, y2);
}

void FrameWith(CDC* dc, const CRect& rect, COLORREF color) {
    CBrush brush(color);
    dc->FrameRect(&rect, &brush);
}

void RectangleWith(CDC* dc, const CRect& rect, COLORREF pen, COLORREF fill) {
    CPen p(PS_SOLID, 1, pen);
    CBrush b(fill);
    SelectedObject keepPen(*dc, p), keepBrush(*dc, b);
    dc->Rectangle(&rect);
}

bool Selected(UINT state) { return (state & ODS_SELECTED) != 0; }
bool Disabled(UINT state) { return (state & ODS_DISABLED) != 0; }
bool Checked(UINT state) { return (state & ODS_CHECKED) != 0; }
bool HasOwnImage(const COXImageInfo* info) { return info && info->imageList && !info->defaultImage; }

}  // namespace

int COXMenuSkin::ImageIndex(UINT state, const COXImageInfo* info) {
    return (Selected(state) && info->hotIndex != -1) ? info->hotIndex : info->imageIndex;
}

void COXMenuSkin::DrawMarlettGlyph(CDC* dc, const CRect& rect, const wchar_t* glyph, COLORREF color) {
    LOGFONTW lf{};
    lf.lfHeight = GetSystemMetrics(SM_CYMENUCHECK);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = SYMBOL_CHARSET;
    wcscpy_s(lf.lfFaceName, L"Marlett");
    CFont font;
    font.CreateFontIndirect(&lf);
    SelectedObject keep(*dc, font);
    const int mode = dc->SetBkMode(TRANSPARENT);
    const COLORREF old = dc->SetTextColor(color);
    CRect r(rect);
    dc->DrawText(glyph, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc->SetTextColor(old);
    dc->SetBkMode(mode);
}

void COXMenuSkin::DrawTextAndShortcut(CDC* dc, const CString& text, const CRect& textRect, const CRect& shortcutRect,
                                      COLORREF color, UINT stateFlags) {
    const int tab = text.Find(L'\t');
    const CString item = tab < 0 ? text : text.Left(tab);
    const CString shortcut = tab < 0 ? CString() : text.Mid(tab + 1);
    const COLORREF oldColor = dc->SetTextColor(color);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    ::DrawStateW(*dc, nullptr, nullptr, reinterpret_cast<LPARAM>(item.GetString()), item.GetLength(), textRect.left, textRect.top,
                 textRect.Width(), textRect.Height(), DST_PREFIXTEXT | stateFlags);
    if (!shortcut.IsEmpty()) {
        CRect measured(0, 0, 0, 0);
        dc->DrawText(shortcut, &measured, DT_CALCRECT | DT_SINGLELINE);
        ::DrawStateW(*dc, nullptr, nullptr, reinterpret_cast<LPARAM>(shortcut.GetString()), shortcut.GetLength(),
                     shortcutRect.right - measured.Width(), shortcutRect.top, measured.Width(), shortcutRect.Height(),
                     DST_PREFIXTEXT | stateFlags);
    }
    dc->SetBkMode(oldMode);
    dc->SetTextColor(oldColor);
}

void COXMenuSkin::DrawDisabledImage(CDC* dc, const COXImageInfo* info, int index, const CRect& image, UINT stateFlags, HBRUSH brush) {
    DrawImageState(*dc, info->imageList, index, image.left, image.top, stateFlags, brush);
}

void COXMenuSkin::DrawInsertMark(CDC* dc, const CRect& item, BOOL before) {
    const int left = item.left + 2, right = item.right - 2;
    const int top = before ? item.top - 2 : item.bottom - 2;
    const int bottom = top + 3;
    const POINT points[] = {{left, top},      {left + 1, top + 1},    {right - 1, top + 1}, {right, top},    {right, bottom},
                            {right - 1, bottom - 1}, {left + 1, bottom - 1}, {left, bottom},  {left, top}};
    ::Polyline(*dc, points, static_cast<int>(std::size(points)));
}

void COXMenuSkin::DrawTextItem(CDC* dc, UINT state, const CString& text, const COXImageInfo* info, const CRect& item,
                               const CRect& glyph, const CRect& textRect, const CRect& shortcutRect, COXBitmapMenu* menu) {
    DrawBackground(dc, state, info, item, glyph, menu);
    DrawText(dc, state, text, textRect, shortcutRect);
}

void COXMenuSkin::DrawSubmenuArrow(CDC* dc, const CRect& rect, UINT state) {
    const int index = Disabled(state) ? COLOR_GRAYTEXT : Selected(state) ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
    DrawMarlettGlyph(dc, rect, L"6", GetSysColor(index));
}

LRESULT COXMenuSkin::MenuWindowProc(WNDPROC saved, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(saved, hwnd, message, wParam, lParam);
}

void COXMenuSkin::OnPopupNcPaint(CWnd* popup, COXBitmapMenu*) { popup->Default(); }

void COXMenuSkin::OnShadowedItemPaint(COXShadowedItemWnd* wnd) { wnd->Default(); }

void COXMenuSkin::LayoutItem(const COXImageInfo* info, BOOL hasImage, const CRect& item, CRect& frame, CRect& image, CRect& text,
                             CRect& shortcut, COXBitmapMenu* menu) {
    const int* m = GetMetrics();
    if (hasImage && info) {
        const SIZE size = info->ImageSize();
        image = CRect(item.left, item.top + (item.Height() - size.cy) / 2, item.left + size.cx, 0);
        image.bottom = image.top + size.cy;
        frame = image;
        image.DeflateRect(2, 2);
    }
    text.left = m[0] + menu->GetImageColumnWidth() + m[2];
    text.right = text.left + menu->GetTextWidth();
    shortcut.right = item.right - m[4];
    shortcut.left = shortcut.right - menu->GetShortcutWidth();
    const int margin = (item.Height() - menu->GetTextHeight()) / 2;
    text.top = item.top + margin;
    text.bottom = item.bottom - margin;
    shortcut.top = text.top;
    shortcut.bottom = text.bottom;
}

// Classic ------------------------------------------------------------------------------------

void COXMenuSkinClassic::DrawBackground(CDC* dc, UINT state, const COXImageInfo* info, const CRect& item, const CRect& image,
                                        COXBitmapMenu* menu) {
    const COLORREF fill = GetSysColor(Selected(state) ? COLOR_HIGHLIGHT : COLOR_MENU);
    const bool expanded = (state & OXODS_HIDDEN) != 0;
    const bool own = HasOwnImage(info);
    auto dither = [&](const CRect& r) {
        if (HBRUSH brush = COXBitmapMenu::CreateDitherBrush(GetSysColor(COLOR_MENU), GetSysColor(COLOR_3DHILIGHT))) {
            ::FillRect(*dc, &r, brush);
            ::DeleteObject(brush);
        }
    };
    if ((!expanded || !own) && !(Checked(state) && !Selected(state))) {
        const bool highlight = Selected(state) && !Checked(state) && !own;
        dc->FillSolidRect(&image, GetSysColor(highlight ? COLOR_HIGHLIGHT : COLOR_MENU));
    } else {
        dither(image);
    }
    const int d = Checked(state) ? 2 : own ? 1 : -1;
    CRect textArea(item);
    textArea.left = std::max<int>(item.left, GetMetrics()[0] + menu->GetImageColumnWidth() + d);
    if (!expanded || Selected(state)) {
        textArea.bottom = item.bottom - 1;
        dc->FillSolidRect(&textArea, fill);
    } else {
        dither(textArea);
    }
    if (expanded && !Selected(state)) {
        if (state & OXODS_HIDDENFIRST) SolidLine(dc, GetSysColor(COLOR_3DSHADOW), item.left, item.top, item.right, item.top);
        if (state & OXODS_HIDDENLAST) SolidLine(dc, GetSysColor(COLOR_3DHILIGHT), item.left, item.bottom - 2, item.right, item.bottom - 2);
    }
}

void COXMenuSkinClassic::DrawImageFrame(CDC* dc, UINT state, const COXImageInfo* info, const CRect& frame) {
    CRect r(frame);
    if (Selected(state) && !Disabled(state) && !Checked(state) && HasOwnImage(info)) ::DrawEdge(*dc, &r, BDR_RAISEDINNER, BF_RECT);
    else if (Checked(state)) ::DrawEdge(*dc, &r, BDR_SUNKENOUTER, BF_RECT);
}

void COXMenuSkinClassic::DrawImage(CDC* dc, UINT state, const COXImageInfo* info, const CRect& image) {
    if (!info || !info->imageList || (!HasOwnImage(info) && !Checked(state))) return;
    const int index = ImageIndex(state, info);
    if (!Disabled(state)) ImageList_Draw(info->imageList, index, *dc, image.left, image.top, ILD_TRANSPARENT);
    else DrawDisabledImage(dc, info, index, image, DSS_DISABLED, nullptr);
}

void COXMenuSkinClassic::DrawText(CDC* dc, UINT state, const CString& text, const CRect& textRect, const CRect& shortcutRect) {
    const int index = Disabled(state) ? COLOR_GRAYTEXT : Selected(state) ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
    DrawTextAndShortcut(dc, text, textRect, shortcutRect, GetSysColor(index), (Disabled(state) && !Selected(state)) ? DSS_DISABLED : 0);
}

void COXMenuSkinClassic::DrawSeparator(CDC* dc, const CRect& item, COXBitmapMenu*) {
    const int top = item.top + item.Height() / 2 - 1;
    const int left = item.left + 2, right = item.right - 2;
    dc->FillSolidRect(CRect(left, top, right, top + 1), GetSysColor(COLOR_3DSHADOW));
    dc->FillSolidRect(CRect(left, top + 1, right, top + 2), GetSysColor(COLOR_3DHILIGHT));
}

void COXMenuSkinClassic::DrawDragFrame(CDC* dc, const CRect& rect) {
    // A patterned 2-pixel frame drawn with XOR.
    static const WORD pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, pattern);
    HBRUSH brush = CreatePatternBrush(bitmap);
    DeleteObject(bitmap);
    SelectedObject keep(*dc, brush);
    ::PatBlt(*dc, rect.left, rect.top, rect.Width(), 2, PATINVERT);
    ::PatBlt(*dc, rect.left, rect.bottom - 2, rect.Width(), 2, PATINVERT);
    ::PatBlt(*dc, rect.left, rect.top + 2, 2, rect.Height() - 4, PATINVERT);
    ::PatBlt(*dc, rect.right - 2, rect.top + 2, 2, rect.Height() - 4, PATINVERT);
    ::SelectObject(*dc, keep.m_old);
    DeleteObject(brush);
}

void COXMenuSkinClassic::DrawTextItem(CDC* dc, UINT state, const CString& text, const COXImageInfo* info, const CRect& item,
                                      const CRect& glyph, const CRect& textRect, const CRect& shortcutRect, COXBitmapMenu* menu) {
    DrawBackground(dc, state, info, item, glyph, menu);
    if (m_metrics[1]) DrawMarlettGlyph(dc, glyph, L"8", Disabled(state) ? GetSysColor(COLOR_3DSHADOW) : ::GetTextColor(*dc));
    DrawText(dc, state, text, textRect, shortcutRect);
}

// Office XP ---------------------------------------------------------------------------------

COLORREF COXMenuSkinXP::Cached(int slot, COLORREF (*ask)(const COXSkinXP*, int), int n) const {
    const ULONGLONG now = GetTickCount64();
    if (now - m_cacheTime > 250) {
        std::fill(std::begin(m_cached), std::end(m_cached), false);
        m_cacheTime = now;
    }
    if (slot < 0 || slot >= kCacheSlots) return ask(m_pSkin, n);
    if (!m_cached[slot]) {
        m_cache[slot] = ask(m_pSkin, n);
        m_cached[slot] = true;
    }
    return m_cache[slot];
}

COLORREF COXMenuSkinXP::Color(int n) const {
    return Cached(n, [](const COXSkinXP* skin, int i) { return skin->GetColor(i); }, n);
}

COLORREF COXMenuSkinXP::AuxColor(int n) const {
    return Cached(COXSkinXP::kColorCount + n, [](const COXSkinXP* skin, int i) {
        auto* skin2003 = dynamic_cast<const COXSkin2003*>(skin);
        return skin2003 ? skin2003->GetAuxColor(i) : COLORREF{0};
    }, n);
}

int COXMenuSkinXP::ImageColumnRight(COXBitmapMenu* menu) const { return m_metrics[0] + menu->GetImageColumnWidth() + m_metrics[1]; }

void COXMenuSkinXP::DrawBackground(CDC* dc, UINT state, const COXImageInfo*, const CRect& item, const CRect&, COXBitmapMenu* menu) {
    if (Selected(state) && !Disabled(state)) {
        RectangleWith(dc, item, Color(3), Color(0));
        return;
    }
    dc->FillSolidRect(&item, Color(4));
    const CRect column(item.left, item.top, ImageColumnRight(menu), item.bottom);
    dc->FillSolidRect(&column, (state & OXODS_HIDDEN) ? COXSkinXP::OffsetColor(GetSysColor(COLOR_3DFACE), -8, -8, -8) : Color(6));
}

void COXMenuSkinXP::DrawImageFrame(CDC* dc, UINT state, const COXImageInfo*, const CRect& frame) {
    if (Checked(state)) RectangleWith(dc, frame, Color(3), Color(Selected(state) ? 2 : 1));
}

void COXMenuSkinXP::DrawImage(CDC* dc, UINT state, const COXImageInfo* info, const CRect& image) {
    if (!info || !info->imageList || (!HasOwnImage(info) && !Checked(state))) return;
    const int index = ImageIndex(state, info);
    if (Disabled(state)) {
        CBrush shadow(GetSysColor(COLOR_3DSHADOW));
        DrawDisabledImage(dc, info, index, image, DSS_MONO, shadow);
        return;
    }
    if (!Selected(state) || Checked(state)) {
        ImageList_Draw(info->imageList, index, *dc, image.left, image.top, ILD_TRANSPARENT);
        return;
    }
    // Raised: the image's shape as a shadow, then the image up and to the left.
    CBrush shadow(GetSysColor(COLOR_3DSHADOW));
    SelectedObject keep(*dc, shadow);
    IMAGELISTDRAWPARAMS params{};
    params.cbSize = sizeof(params);
    params.himl = info->imageList;
    params.i = index;
    params.hdcDst = *dc;
    params.x = image.left + 1;
    params.y = image.top + 1;
    params.rgbBk = CLR_NONE;
    params.rgbFg = CLR_NONE;
    params.fStyle = ILD_ROP | ILD_MASK;
    params.dwRop = 0xB8074A;
    ImageList_DrawIndirect(&params);
    ImageList_Draw(info->imageList, index, *dc, image.left - 1, image.top - 1, ILD_TRANSPARENT);
}

void COXMenuSkinXP::DrawText(CDC* dc, UINT state, const CString& text, const CRect& textRect, const CRect& shortcutRect) {
    DrawTextAndShortcut(dc, text, textRect, shortcutRect, Disabled(state) ? Color(17) : GetSysColor(COLOR_MENUTEXT), 0);
}

void COXMenuSkinXP::DrawSeparator(CDC* dc, const CRect& item, COXBitmapMenu* menu) {
    dc->FillSolidRect(&item, Color(4));
    dc->FillSolidRect(CRect(item.left, item.top, ImageColumnRight(menu), item.bottom), Color(6));
    const int y = item.top + item.Height() / 2;
    SolidLine(dc, Color(9), m_metrics[0] + menu->GetImageColumnWidth() + m_metrics[2], y, item.right, y);
}

void COXMenuSkinXP::DrawDragFrame(CDC* dc, const CRect& rect) {
    CRect r(rect);
    FrameWith(dc, r, GetSysColor(COLOR_BTNTEXT));
    r.DeflateRect(1, 1);
    FrameWith(dc, r, GetSysColor(COLOR_BTNTEXT));
}

void COXMenuSkinXP::DrawSubmenuArrow(CDC* dc, const CRect& rect, UINT state) {
    DrawMarlettGlyph(dc, rect, L"6", Disabled(state) ? Color(9) : GetSysColor(COLOR_MENUTEXT));
}

void COXMenuSkinXP::LayoutItem(const COXImageInfo* info, BOOL hasImage, const CRect& item, CRect& frame, CRect& image, CRect& text,
                               CRect& shortcut, COXBitmapMenu* menu) {
    COXMenuSkin::LayoutItem(info, hasImage, item, frame, image, text, shortcut, menu);
    frame = CRect(item.left + 1, item.top + 1, item.left + 1 + 4 + menu->GetImageColumnWidth(), item.bottom - 1);
}

void COXMenuSkinXP::FillImageColumn(CDC* dc, const CRect& rect) { dc->FillSolidRect(&rect, Color(6)); }
void COXMenuSkinXP::FillMenuArea(CDC* dc, const CRect& rect) { FrameWith(dc, rect, Color(6)); }
void COXMenuSkinXP::FillMenuAreaOnHandle(HDC hdc, const CRect& rect) {
    CDC dc;
    dc.Attach(hdc);
    dc.FillSolidRect(&rect, Color(6));
    dc.Detach();
}

void COXMenuSkinXP::OnPopupNcPaint(CWnd* popup, COXBitmapMenu* menu) {
    CWindowDC dc(popup);
    CRect window;
    popup->GetWindowRect(&window);
    window.OffsetRect(-window.left, -window.top);
    dc.FillSolidRect(&window, Color(4));
    const int width = m_metrics[0] + 7 + (menu ? menu->GetImageColumnWidth() : 0);
    dc.FillSolidRect(CRect(0, 2, width, window.Height() - 2), Color(6));
    FrameWith(&dc, window, GetSysColor(COLOR_3DSHADOW));
}

COLORREF COXMenuSkinXP::DarkenColor(COLORREF c, int amount) {
    auto channel = [amount](int v) { return static_cast<BYTE>(MulDiv(v, 255 - amount, 255)); };
    return RGB(channel(GetRValue(c)), channel(GetGValue(c)), channel(GetBValue(c)));
}

namespace {

// What lies on the screen under a window rectangle, copied once.
class ScreenCopy {
public:
    explicit ScreenCopy(const CRect& window) {
        HDC screen = GetDC(GetDesktopWindow());
        m_dc.Attach(CreateCompatibleDC(screen));
        m_bitmap = CreateCompatibleBitmap(screen, std::max(window.Width(), 1), std::max(window.Height(), 1));
        m_old = m_dc.SelectObject(m_bitmap);
        BitBlt(m_dc, 0, 0, window.Width(), window.Height(), screen, window.left, window.top, SRCCOPY);
        ReleaseDC(GetDesktopWindow(), screen);
    }
    ~ScreenCopy() {
        m_dc.SelectObject(m_old);
        m_dc.DeleteDC();
        DeleteObject(m_bitmap);
    }
    ScreenCopy(const ScreenCopy&) = delete;
    ScreenCopy& operator=(const ScreenCopy&) = delete;
    CDC* dc() { return &m_dc; }

private:
    CDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};

// Paints the margin pixels: from the screen copy, or from a record of an
// earlier paint of the same size (taking the record when it is empty).
class ShadowPainter {
public:
    ShadowPainter(CDC* dc, const CRect& window, COXPopupShadowRecord* record, CDC* screen) : m_dc(dc), m_window(window) {
        const SIZE size{window.Width(), window.Height()};
        if (record && (record->size.cx != size.cx || record->size.cy != size.cy)) {
            record->colors.clear();
            record->size = size;
        }
        m_record = record;
        m_replay = record && !record->colors.empty();
        if (!m_replay) {
            if (screen) m_screen = screen;
            else {
                m_copy = std::make_unique<ScreenCopy>(window);
                m_screen = m_copy->dc();
            }
        }
    }
    void Paint(int x, int y, int darken) {
        COLORREF color;
        if (m_replay) {
            if (m_next >= m_record->colors.size()) return;  // the record ran out: paint nothing further
            color = m_record->colors[m_next++];
        } else {
            color = m_screen->GetPixel(x, y);
            if (darken) color = COXMenuSkinXP::DarkenColor(color, darken);
            if (m_record) m_record->colors.push_back(color);
        }
        ::SetPixelV(*m_dc, x, y, color);
    }
    bool Excluded(int x, int y, const CRect& exclude) const {
        const POINT screen{m_window.left + x, m_window.top + y};
        return !exclude.IsRectEmpty() && exclude.PtInRect(screen);
    }

private:
    CDC* m_dc;
    CRect m_window;
    COXPopupShadowRecord* m_record = nullptr;
    bool m_replay = false;
    size_t m_next = 0;
    CDC* m_screen = nullptr;
    std::unique_ptr<ScreenCopy> m_copy;
};

}  // namespace

void COXMenuSkinXP::DrawPopupShadow(CDC* dc, const CRect& window, const CRect& exclude, COXPopupShadowRecord* record, CDC* screen) {
    const int w = window.Width(), h = window.Height();
    if (w < 8 || h < 8) return;
    ShadowPainter painter(dc, window, record, screen);
    for (int k = 1; k <= 4; ++k) {
        const int x = w - k;
        for (int y = 0; y <= 3; ++y) painter.Paint(x, y, 0);
        for (int y = 4; y <= 7; ++y)
            if (!painter.Excluded(x, y, exclude)) painter.Paint(x, y, 3 * k * (y - 3));
        for (int y = 8; y <= h - 5; ++y) painter.Paint(x, y, 15 * k);
        for (int y = h - 4; y <= h - 1; ++y) painter.Paint(x, y, 3 * k * (h - y));
    }
    for (int j = 1; j <= 4; ++j) {
        const int y = h - j;
        for (int x = 0; x <= 3; ++x) painter.Paint(x, y, 0);
        for (int x = 4; x <= 7; ++x)
            if (!painter.Excluded(x, y, exclude)) painter.Paint(x, y, 3 * j * (x - 3));
        for (int x = 8; x <= w - 5; ++x)
            if (!painter.Excluded(x, y, exclude)) painter.Paint(x, y, 15 * j);
    }
    CRect opening;
    if (!exclude.IsRectEmpty() && ::IntersectRect(&opening, &window, &exclude)) {
        opening.OffsetRect(-window.left, -window.top);
        FillMenuAreaOnHandle(*dc, opening);
        CPen pen(PS_SOLID, 1, Color(5));
        SelectedObject keep(*dc, pen);
        if (opening.Width() <= opening.Height()) {
            dc->MoveTo(opening.left, opening.top), dc->LineTo(opening.right, opening.top);
            dc->MoveTo(opening.left, opening.bottom - 1), dc->LineTo(opening.right, opening.bottom - 1);
        } else {
            dc->MoveTo(opening.left, opening.top), dc->LineTo(opening.left, opening.bottom);
            dc->MoveTo(opening.right - 1, opening.top), dc->LineTo(opening.right - 1, opening.bottom);
        }
    }
}

void COXMenuSkinXP::DrawItemShadow(CDC* dc, const CRect& window, int side, CDC* screen) {
    const int w = window.Width(), h = window.Height();
    if (w < 8 || h < 8) return;
    ShadowPainter painter(dc, window, nullptr, screen);
    if (side != 2) {
        for (int k = 1; k <= 4; ++k) {
            const int x = w - k;
            if (side == 4) {
                for (int y = 1; y <= h - 5; ++y) painter.Paint(x, y, 15 * k);
            } else {
                for (int y = 0; y <= 3; ++y) painter.Paint(x, y, 0);
                for (int y = 4; y <= 7; ++y) painter.Paint(x, y, 3 * k * (y - 3));
                for (int y = 8; y <= h - 5; ++y) painter.Paint(x, y, 15 * k);
            }
            if (side != 1)
                for (int y = h - 4; y <= h - 1; ++y) painter.Paint(x, y, 3 * k * (h - y));
        }
    }
    if (side != 1) {
        for (int j = 1; j <= 4; ++j) {
            const int y = h - j;
            if (side == 3) {
                for (int x = 1; x <= w - 5; ++x) painter.Paint(x, y, 15 * j);
            } else {
                for (int x = 0; x <= 3; ++x) painter.Paint(x, y, 0);
                for (int x = 4; x <= 7; ++x) painter.Paint(x, y, 3 * j * (x - 3));
                for (int x = 8; x <= w - 5; ++x) painter.Paint(x, y, 15 * j);
            }
        }
    }
}

bool COXMenuSkinXP::LastPosition(HWND popup, POINT& at) const {
    auto it = m_positions.find(popup);
    if (it == m_positions.end()) return false;
    at = it->second;
    return true;
}

void COXMenuSkinXP::OnShadowedItemPaint(COXShadowedItemWnd* wnd) {
    CPaintDC dc(wnd);
    PaintShadowedItem(&dc, wnd, GetSysColor(COLOR_3DSHADOW));
}

void COXMenuSkinXP::PaintShadowedItem(CDC* dc, COXShadowedItemWnd* wnd, COLORREF frame) {
    CRect client;
    wnd->GetClientRect(&client);
    client.right -= 4;
    client.bottom -= 4;
    CPen pen(PS_SOLID, 1, frame);
    SelectedObject keep(*dc, pen);
    // Three sides: the one towards the popup stays open.
    const int direction = wnd->GetDirection();
    const int r = client.right - 1, b = client.bottom - 1;
    if (direction != 8) dc->MoveTo(client.left, client.top), dc->LineTo(r, client.top);
    if (direction != 1) dc->MoveTo(client.left, b), dc->LineTo(r + 1, b);
    if (direction != 4) dc->MoveTo(client.left, client.top), dc->LineTo(client.left, b);
    if (direction != 2) dc->MoveTo(r, client.top), dc->LineTo(r, b);
    CRect window;
    wnd->GetWindowRect(&window);
    const int side = direction == 1 ? 1 : direction == 2 ? 2 : direction == 8 ? 4 : 3;
    DrawItemShadow(dc, window, side);
}

LRESULT COXMenuSkinXP::MenuWindowProc(WNDPROC saved, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        // The window knows its menu once its own procedure has seen WM_CREATE.
        const LRESULT result = CallWindowProcW(saved, hwnd, message, wParam, lParam);
        if (COXBitmapMenu* menu = COXBitmapMenu::FromPopupWindow(hwnd)) menu->GetPopupWndStack().Add(hwnd);
        return result;
    }
    COXBitmapMenu* menu = COXBitmapMenu::FromPopupWindow(hwnd);
    if (!menu) return CallWindowProcW(saved, hwnd, message, wParam, lParam);
    // A window made before its menu was known (Wine makes it before
    // WM_INITMENUPOPUP) gets its record at its first message after that.
    if (message != WM_DESTROY && message != WM_NCDESTROY && !menu->GetPopupWndStack().Find(hwnd)) menu->GetPopupWndStack().Add(hwnd);
    switch (message) {
    case WM_WINDOWPOSCHANGING: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(pos->flags & SWP_NOSIZE)) {
            pos->cx += 4;
            pos->cy += 4;
        }
        if (!(pos->flags & SWP_NOMOVE)) m_positions[hwnd] = POINT{pos->x, pos->y};
        break;
    }
    case WM_ERASEBKGND:
        return 0;
    case WM_NCPAINT: {
        HDC hdc = wParam == 1 ? GetWindowDC(hwnd) : GetDCEx(hwnd, reinterpret_cast<HRGN>(wParam), DCX_WINDOW | DCX_INTERSECTRGN);
        if (!hdc) return 0;
        CDC dc;
        dc.Attach(hdc);
        CRect window;
        ::GetWindowRect(hwnd, &window);
        m_positions.erase(hwnd);
        PaintPopupFrame(&dc, hwnd, window, menu, menu->GetPopupWndStack().Find(hwnd));
        ReleaseDC(hwnd, dc.Detach());
        return 0;
    }
    case WM_PRINT: {
        // Let the popup's pending work run first, but leave a request to
        // quit for the application's own loop.
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        CRect window;
        ::GetWindowRect(hwnd, &window);
        POINT at;
        if (LastPosition(hwnd, at)) window.OffsetRect(at.x - window.left, at.y - window.top);
        m_positions.erase(hwnd);
        CDC target;
        target.Attach(reinterpret_cast<HDC>(wParam));
        PaintPopupFrame(&target, hwnd, window, menu, nullptr);
        target.Detach();
        return 0;
    }
    case WM_DESTROY:
        menu->GetPopupWndStack().Remove(hwnd);
        break;
    default:
        break;
    }
    return CallWindowProcW(saved, hwnd, message, wParam, lParam);
}

void COXMenuSkinXP::PaintPopupFrame(CDC* dc, HWND, const CRect& window, COXBitmapMenu* menu, COXPopupShadowRecord* record) {
    CRect f(0, 0, window.Width() - 4, window.Height() - 4);
    CRect inner(f);
    inner.DeflateRect(3, 3);
    ::ExcludeClipRect(*dc, inner.left, inner.top, inner.right, inner.bottom);
    DrawPopupShadow(dc, window, menu->GetExcludeRect(), record);
    dc->FillSolidRect(&f, Color(4));
    FillImageColumn(dc, CRect(f.left, f.top + 2, f.left + m_metrics[0] + menu->GetImageColumnWidth() + 8, f.bottom - 4));
    FrameWith(dc, f, Color(5));
    CRect e(menu->GetExcludeRect());
    if (e.IsRectEmpty()) return;
    e.OffsetRect(-window.left, -window.top);
    if (e.bottom == f.top || e.top == f.bottom) FillMenuArea(dc, CRect(e.left + 1, e.top - 1, e.right - 1, e.bottom + 1));
    else if (e.right == f.left || e.left == f.right) FillMenuArea(dc, CRect(e.left - 1, e.top + 1, e.right + 1, e.bottom - 1));
}

// Office 2003 ---------------------------------------------------------------------------------

const COXSkin2003* COXMenuSkin2003::Skin2003() const { return static_cast<const COXSkin2003*>(m_pSkin); }

void COXMenuSkin2003::GradientImageColumn(CDC* dc, const CRect& item, COXBitmapMenu* menu, bool expanded) {
    COLORREF from = AuxColor(12), to = AuxColor(11);
    if (expanded) {
        from = COXSkinXP::BlendColors(from, 0, 0.93f, 0.07f);
        to = COXSkinXP::BlendColors(to, 0, 0.93f, 0.07f);
    }
    Skin2003()->GradientFill(dc, CRect(item.left - 2, item.top, ImageColumnRight(menu), item.bottom), from, to, FALSE);
}

void COXMenuSkin2003::DrawBackground(CDC* dc, UINT state, const COXImageInfo*, const CRect& item, const CRect&, COXBitmapMenu* menu) {
    if (Selected(state) && !Disabled(state)) {
        RectangleWith(dc, item, Color(3), Color(0));
        return;
    }
    dc->FillSolidRect(&item, Color(4));
    GradientImageColumn(dc, item, menu, (state & OXODS_HIDDEN) != 0);
}

void COXMenuSkin2003::DrawImage(CDC* dc, UINT state, const COXImageInfo* info, const CRect& image) {
    if (!info || !info->imageList || (!HasOwnImage(info) && !Checked(state))) return;
    const int index = ImageIndex(state, info);
    if (Disabled(state)) {
        CBrush shadow(GetSysColor(COLOR_3DSHADOW));
        DrawDisabledImage(dc, info, index, image, DSS_MONO, shadow);
    } else {
        ImageList_Draw(info->imageList, index, *dc, image.left, image.top, ILD_TRANSPARENT);
    }
}

void COXMenuSkin2003::DrawSeparator(CDC* dc, const CRect& item, COXBitmapMenu* menu) {
    dc->FillSolidRect(&item, Color(4));
    GradientImageColumn(dc, item, menu, false);
    const int y = item.top + item.Height() / 2;
    SolidLine(dc, Color(9), m_metrics[0] + menu->GetImageColumnWidth() + m_metrics[2], y, item.right, y);
}

void COXMenuSkin2003::FillImageColumn(CDC* dc, const CRect& rect) {
    CRect r(rect);
    r.bottom += 2;
    Skin2003()->GradientFill(dc, r, AuxColor(12), AuxColor(11), FALSE);
}

void COXMenuSkin2003::FillMenuArea(CDC* dc, const CRect& rect) {
    Skin2003()->GradientFill(dc, rect, AuxColor(6), AuxColor(5), TRUE);
}

void COXMenuSkin2003::OnShadowedItemPaint(COXShadowedItemWnd* wnd) {
    CPaintDC dc(wnd);
    // The bar button under the window, repainted on the bar's gradient.
    if (auto* bar = dynamic_cast<COXCoolToolBar*>(wnd->GetBar()); bar && bar->GetSafeHwnd() && wnd->GetIndex() >= 0) {
        TBBUTTON button{};
        RECT item{};
        if (bar->SendMessage(TB_GETBUTTON, static_cast<WPARAM>(wnd->GetIndex()), reinterpret_cast<LPARAM>(&button)) &&
            bar->SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(wnd->GetIndex()), reinterpret_cast<LPARAM>(&item))) {
            MapWindowPoints(bar->GetSafeHwnd(), wnd->GetSafeHwnd(), reinterpret_cast<POINT*>(&item), 2);
            const CRect rect(item);
            Skin2003()->GradientFill(&dc, rect, AuxColor(6), AuxColor(5), TRUE);
            if (auto* toolbar = dynamic_cast<COXToolbarSkinXP*>(bar->GetToolbarSkin())) toolbar->DrawButton(&dc, button, rect, bar, FALSE);
        }
    }
    PaintShadowedItem(&dc, wnd, Color(5));
}
