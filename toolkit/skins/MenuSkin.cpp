#include "skins/MenuSkin.h"

#include "bars/BitmapMenu.h"
#include "bars/CoolToolBar.h"
#include "bars/MenuCustomize.h"
#include "skins/Skin.h"
#include "skins/SkinGdi.h"
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

void SolidLine(CDC* dc, COLORREF color, int x1, int y1, int x2, int y2) {
    CPen pen(PS_SOLID, 1, color);
    SelectedObject keep(*dc, pen);
    dc->MoveTo(x1, y1);
    dc->LineTo(x2, y2);
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

void COXMenuSkin::DrawInsertMark(CDC* dc, const CRect& item, BOOL before, UINT) {
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

void COXMenuSkinClassic::DrawDragFrame(CDC* dc, const CRect& rect, UINT) {
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
    if (now - m_cacheTime > 250 || m_cacheGeneration != s_colorGeneration) {
        std::fill(std::begin(m_cached), std::end(m_cached), false);
        m_cacheTime = now;
        m_cacheGeneration = s_colorGeneration;
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

void COXMenuSkinXP::DrawDragFrame(CDC* dc, const CRect& rect, UINT) {
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
