#include "skins/ShortcutBarSkin.h"

#include "gdi/Dib.h"
#include "shortcutbar/SHBListCtrl.h"
#include "shortcutbar/ShortcutBar.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"
#include "skins/SkinGdi.h"

namespace {

HSHBGROUP GroupOf(LPDRAWITEMSTRUCT dis) { return reinterpret_cast<HSHBGROUP>(static_cast<UINT_PTR>(dis->itemID)); }

}  // namespace

COLORREF COXShortcutBarSkin::OffsetColor(COLORREF color, int amount) {
    auto channel = [amount](int c) { return static_cast<BYTE>(std::clamp(c + amount, 0, 255)); };
    return RGB(channel(GetRValue(color)), channel(GetGValue(color)), channel(GetBValue(color)));
}

// What every look draws -----------------------------------------------------------------------------------

void COXShortcutBarSkin::DrawHeaderContent(CDC* dc, CRect r, LPDRAWITEMSTRUCT dis, COXShortcutBar* bar) {
    const HSHBGROUP group = GroupOf(dis);
    const bool expanded = group == bar->GetExpandedGroup();
    r.DeflateRect(2 * bar->GetTextMargin(), 0);
    HIMAGELIST images = bar->GetImageList();
    const int image = expanded ? bar->GetGroupImageExpanded(group) : bar->GetGroupImage(group);
    if (images && image >= 0 && image < ImageList_GetImageCount(images) && !r.IsRectEmpty()) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(images, &cx, &cy);
        ImageList_Draw(images, image, *dc, r.left, r.top + (r.Height() - cy) / 2, ILD_TRANSPARENT);
        r.left += cx + bar->GetTextMargin();
    }
    const CString text = bar->GetGroupText(group);
    if (!text.IsEmpty() && !r.IsRectEmpty()) {
        COLORREF color = bar->GetGroupHeaderTextColor(group);
        if (expanded) color = Inverse(color);
        LOGFONTW lf{};
        bar->GetGroupHeaderTextFont(group, &lf);
        if ((bar->GetBarStyle() & SHBS_BOLDEXPANDEDGROUP) && expanded) lf.lfWeight = std::min(1000L, (lf.lfWeight ? lf.lfWeight : 400L) + 300L);
        CFont font;
        font.CreateFontIndirect(&lf);
        SelectedObject keep(*dc, font);
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(color);
        dc->DrawText(text, &r, bar->GetGroupHeaderTextFormat(group));
    }
    DrawDropMarker(dc, CRect(dis->rcItem), dis, bar);
}

void COXShortcutBarSkin::DrawDropMarker(CDC* dc, const CRect& header, LPDRAWITEMSTRUCT dis, COXShortcutBar* bar) {
    const HSHBGROUP group = GroupOf(dis);
    if (bar->IsFlatHeaders() || group != bar->GetDropTargetGroup() || group == bar->GetExpandedGroup()) return;
    const COLORREF back = bar->GetGroupHeaderBkColor(group);
    const bool nearRed = std::abs(GetRValue(back) - 255) <= 64 && GetGValue(back) <= 64 && GetBValue(back) <= 64;
    const COLORREF color = nearRed ? RGB(0, 0, 255) : RGB(255, 0, 0);
    FrameWith(dc, header, color);
    CRect r = header;
    r.DeflateRect(4, 4);
    const bool up = bar->GetGroupOrder(group) < bar->GetGroupOrder(bar->GetExpandedGroup());
    CPen pen(PS_SOLID, 1, color);
    SelectedObject keep(*dc, pen);
    const int height = std::min(10, r.Height());
    for (const int left : {r.left, r.right - 8}) {
        for (int row = 0; row < height; ++row) {
            // An arrow 8 wide and 10 high: a head of 4 rows (2, 4, 6 and 8 pixels) over a shaft
            // 2 pixels wide, all centred between left + 3 and left + 4.
            const int y = up ? r.top + row : r.bottom - 1 - row;
            const int half = row < 4 ? row + 1 : 1;
            dc->MoveTo(left + 4 - half, y);
            dc->LineTo(left + 4 + half, y);
        }
    }
}

void COXShortcutBarSkin::FillFlat(CDC* dc, LPCRECT rect, CWnd* wnd, BOOL useColor, COLORREF color) {
    dc->FillSolidRect(rect, useColor ? color : GetBackgroundColor(wnd));
}

void COXShortcutBarSkin::DrawRaisedHeader(LPDRAWITEMSTRUCT dis, COXShortcutBar* bar) {
    CDC dc;
    dc.Attach(dis->hDC);
    const HSHBGROUP group = GroupOf(dis);
    CRect r = dis->rcItem;
    const bool expanded = group == bar->GetExpandedGroup();
    COLORREF c = bar->GetGroupHeaderBkColor(group);
    if (expanded) c = Inverse(c);
    const COLORREF l = Lighter(c), d = Darker(c);
    auto step = [&](COLORREF a, COLORREF b) {
        dc.Draw3dRect(r, a, b);
        r.DeflateRect(1, 1);
    };
    const HSHBGROUP pressed = bar->GetPressedGroup(), hot = bar->GetHotGroup();
    if (!(bar->GetBarStyle() & SHBS_TRACKHEADERS)) {
        step(l, d), step(l, d);
    } else if (expanded || bar->IsFlatHeaders()) {
        step(l, d), step(c, c);
    } else if (!pressed) {
        step(l, d);
        step(c, group == hot ? d : c);
    } else if (pressed == group) {
        if (group == hot) step(d, c), step(d, l);
        else step(l, d), step(c, d);
    } else {
        step(l, d), step(c, c);
    }
    dc.FillSolidRect(&r, c);
    DrawHeaderContent(&dc, r, dis, bar);
    dc.Detach();
}

// Classic ---------------------------------------------------------------------------------------------------

COLORREF COXShortcutBarSkinClassic::GetBackgroundColor(CWnd*) { return ::GetSysColor(COLOR_3DSHADOW); }
COLORREF COXShortcutBarSkinClassic::GetTextColor(CWnd*) { return ::GetSysColor(COLOR_CAPTIONTEXT); }

void COXShortcutBarSkinClassic::DrawItemBorder(CDC* dc, LPCRECT rect, BOOL hot, BOOL pressed, COXShortcutBar* bar) {
    // The bar's background: the open group's own colour when it sets one.
    const COLORREF back = bar && bar->GetExpandedGroup() ? bar->GetGroupBkColor(bar->GetExpandedGroup()) : GetBackgroundColor(bar);
    const COLORREF l = Lighter(back), d = Darker(back);
    if (pressed) dc->Draw3dRect(rect, d, l);
    else if (hot) dc->Draw3dRect(rect, l, d);
}

void COXShortcutBarSkinClassic::FillBackground(CDC* dc, LPCRECT rect, CWnd* wnd, BOOL useColor, COLORREF color) {
    FillFlat(dc, rect, wnd, useColor, color);
}

void COXShortcutBarSkinClassic::DrawGroupHeader(LPDRAWITEMSTRUCT dis, COXShortcutBar* bar) { DrawRaisedHeader(dis, bar); }

// Office XP -------------------------------------------------------------------------------------------------

ShortcutBarColorCache::Key ShortcutBarColorCache::CurrentKey() {
    return {s_generation, ::GetSysColor(COLOR_WINDOW), ::GetSysColor(COLOR_3DFACE), ::GetSysColor(COLOR_HIGHLIGHT),
            ::GetSysColor(COLOR_ACTIVECAPTION)};
}

COLORREF COXShortcutBarSkinXP::SkinColor(int n) { return m_colors.Get(n, [&] { return m_pSkin->GetColor(n); }); }

COLORREF COXShortcutBarSkinXP::GetBackgroundColor(CWnd*) { return SkinColor(6); }
COLORREF COXShortcutBarSkinXP::GetTextColor(CWnd*) { return ::GetSysColor(COLOR_WINDOWTEXT); }

void COXShortcutBarSkinXP::DrawItemBorder(CDC* dc, LPCRECT rect, BOOL hot, BOOL pressed, COXShortcutBar*) {
    CPen pen(PS_SOLID, 1, SkinColor(3));
    CBrush brush;
    if (hot && pressed) brush.CreateSolidBrush(SkinColor(2));
    else if (hot) brush.CreateSolidBrush(SkinColor(0));
    else if (pressed) brush.CreateSolidBrush(SkinColor(1));
    SelectedObject keepPen(*dc, pen);
    SelectedObject keepBrush(*dc, brush.GetSafeHandle() ? brush.GetSafeHandle() : ::GetCurrentObject(*dc, OBJ_BRUSH));
    dc->Rectangle(rect);
}

void COXShortcutBarSkinXP::FillBackground(CDC* dc, LPCRECT rect, CWnd* wnd, BOOL useColor, COLORREF color) {
    FillFlat(dc, rect, wnd, useColor, color);
}

void COXShortcutBarSkinXP::DrawGroupHeader(LPDRAWITEMSTRUCT dis, COXShortcutBar* bar) { DrawRaisedHeader(dis, bar); }

// Office 2003 -------------------------------------------------------------------------------------------

COXShortcutBarSkin2003::COXShortcutBarSkin2003(COXSkin2003* skin) : COXShortcutBarSkinXP(skin, 0) {}

COXSkin2003* COXShortcutBarSkin2003::Skin2003() const { return static_cast<COXSkin2003*>(m_pSkin); }

COLORREF COXShortcutBarSkin2003::AuxColor(int n) { return m_colors.Get(32 + n, [&] { return Skin2003()->GetAuxColor(n); }); }

void COXShortcutBarSkin2003::FillBackground(CDC* dc, LPCRECT rect, CWnd* wnd, BOOL useColor, COLORREF color) {
    if (useColor) return FillFlat(dc, rect, wnd, TRUE, color);
    // One gradient over the whole bar: a list fills its part of the bar's gradient.
    const CRect r = *rect;
    CRect span = r;
    if (auto* list = dynamic_cast<COXSHBListCtrl*>(wnd); list && list->GetBar()) {
        CRect bar, inBar;
        list->GetBar()->GetClientRect(&bar);
        list->GetWindowRect(&inBar);
        list->GetBar()->ScreenToClient(&inBar);
        span = bar;
        span.OffsetRect(-inBar.left, -inBar.top);
    } else if (wnd && wnd->m_hWnd) {
        wnd->GetClientRect(&span);
    }
    CRect part;
    if (!part.IntersectRect(r, span)) return;
    if (CDC* gradient = Gradient(span.Size())) {
        dc->BitBlt(part.left, part.top, part.Width(), part.Height(), gradient, part.left - span.left, part.top - span.top, SRCCOPY);
        return;
    }
    const int saved = ::SaveDC(*dc);
    ::IntersectClipRect(*dc, r.left, r.top, r.right, r.bottom);
    Skin2003()->GradientFill(dc, span, AuxColor(6), AuxColor(5), TRUE);
    ::RestoreDC(*dc, saved);
}

CDC* COXShortcutBarSkin2003::Gradient(CSize size) {
    const COLORREF top = AuxColor(6), bottom = AuxColor(5);
    if (m_gradient.GetSafeHdc() && size == m_gradientSize && top == m_gradientColors[0] && bottom == m_gradientColors[1])
        return &m_gradient;
    if (size.cx <= 0 || size.cy <= 0) return nullptr;
    HBITMAP bitmap = CreateTopDownDib(size.cx, size.cy);
    const bool made = bitmap && (m_gradient.GetSafeHdc() || m_gradient.CreateCompatibleDC(nullptr));
    if (!made) {
        if (bitmap) ::DeleteObject(bitmap);
        return nullptr;
    }
    ::SelectObject(m_gradient, bitmap);  // lets the old bitmap go before it is deleted
    m_gradientBitmap.DeleteObject();
    m_gradientBitmap.Attach(bitmap);
    m_gradientSize = size;
    m_gradientColors[0] = top;
    m_gradientColors[1] = bottom;
    Skin2003()->GradientFill(&m_gradient, CRect(CPoint(), size), top, bottom, TRUE);
    return &m_gradient;
}

void COXShortcutBarSkin2003::DrawGroupHeader(LPDRAWITEMSTRUCT dis, COXShortcutBar* bar) {
    CDC dc;
    dc.Attach(dis->hDC);
    const HSHBGROUP group = GroupOf(dis);
    const CRect r = dis->rcItem;
    const bool hot = group == bar->GetHotGroup() && !bar->IsFlatHeaders();
    const bool selected = (group == bar->GetPressedGroup() || group == bar->GetExpandedGroup()) && !bar->IsFlatHeaders();
    COLORREF top = AuxColor(6), bottom = AuxColor(5);
    if (selected && hot) top = kPressedOrange, bottom = kHotOrange;
    else if (selected) top = kHotOrange, bottom = kPressedOrange;
    else if (hot) top = RGB(255, 255, 220), bottom = kHotOrange;
    Skin2003()->GradientFill(&dc, r, top, bottom, TRUE);
    FrameWith(&dc, CRect(r.left, r.bottom - 1, r.right, r.bottom), SkinColor(3));
    DrawHeaderContent(&dc, r, dis, bar);
    dc.Detach();
}

void COXShortcutBarSkin2003::DrawTitleBand(COXShortcutBar* bar, CDC* dc) {
    CRect band;
    bar->GetClientRect(&band);
    band.bottom = band.top + kTitleBandHeight;
    Skin2003()->GradientFill(dc, band, kBandTop, kBandBottom, TRUE);
    const HSHBGROUP group = bar->GetExpandedGroup();
    const CString text = bar->GetGroupText(group);
    if (!text.IsEmpty()) {
        LOGFONTW lf{};
        bar->GetGroupHeaderTextFont(group, &lf);
        lf.lfHeight = 22;
        lf.lfWeight = FW_BOLD;
        CFont font;
        font.CreateFontIndirect(&lf);
        SelectedObject keep(*dc, font);
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(RGB(255, 255, 255));
        CRect r = band;
        r.OffsetRect(6, 2);
        dc->DrawText(text, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
    }
    ::ExcludeClipRect(*dc, band.left, band.top, band.right, band.bottom);
}
