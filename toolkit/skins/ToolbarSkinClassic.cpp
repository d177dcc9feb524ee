#include "bars/CoolToolBar.h"
#include "skins/SkinGdi.h"
#include "skins/ToolbarSkin.h"

// The owner relay ----------------------------------------------------------------------------

bool COXToolbarSkin::RelayToOwner(NMHDR* header, LRESULT* result, COXCoolToolBar* bar) {
    OXTBCUSTOMDRAWRELAY relay{};
    relay.hdr.hwndFrom = header->hwndFrom;
    relay.hdr.idFrom = header->idFrom;
    relay.hdr.code = OXTBN_CUSTOMDRAWRELAY;
    relay.pCustomDraw = reinterpret_cast<NMTBCUSTOMDRAW*>(header);
    relay.result = 0;
    relay.bDoDefault = TRUE;
    // The frame the bar belongs to, docked or floating: a floating bar's mini
    // frame is only its temporary parent and knows nothing of the owner's drawing.
    CFrameWnd* frame = bar->GetDockingFrame();
    if (frame && frame->m_hWnd) SendMessageW(frame->m_hWnd, WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(&relay));
    if (relay.bDoDefault) return false;
    *result = relay.result;
    return true;
}

// Classic --------------------------------------------------------------------------------------

void COXToolbarSkinClassic::DrawGripper(CDC* dc, const CRect& rect, COXCoolToolBar* bar) {
    if (bar->m_dwStyle & CBRS_FLOATING) return;
    CRect r = rect;
    const COLORREF light = GetSysColor(COLOR_3DHIGHLIGHT), shadow = GetSysColor(COLOR_3DSHADOW);
    if (bar->m_dwStyle & CBRS_ORIENT_HORZ) {
        r.DeflateRect(1, 1);
        r.OffsetRect(0, 1);
        if (bar->m_pDockContext) {
            r.left += 2;
            r.bottom -= 2;
        } else if (bar->m_dwStyle & CBRS_BORDER_BOTTOM) {
            r.top -= 2;
            r.bottom -= 2;
        }
        r.right = r.left + 3;
        dc->Draw3dRect(r, light, shadow);
        r.OffsetRect(3, 0);
        dc->Draw3dRect(r, light, shadow);
    } else {
        r.DeflateRect(0, 1, 2, 1);
        r.OffsetRect(0, 1);
        if (bar->m_pDockContext) r.left += 2;
        else r.right += 2;
        r.bottom = r.top + 3;
        dc->Draw3dRect(r, light, shadow);
        r.OffsetRect(0, 3);
        dc->Draw3dRect(r, light, shadow);
    }
}

void COXToolbarSkinClassic::DrawNonClientArea(CDC* dc, LPCRECT, COXCoolToolBar* bar) {
    CRect client, window;
    bar->GetClientRect(&client);
    bar->GetWindowRect(&window);
    bar->ScreenToClient(&window);
    client.OffsetRect(-window.left, -window.top);
    window.OffsetRect(-window.left, -window.top);
    if (!bar->IsCool()) {
        // The borders stay: the fill covers what lies inside them.
        bar->DrawBorders(dc, window);
        if (!(bar->m_dwStyle & CBRS_BORDER_3D)) window.InflateRect(1, 1);
    }
    IntersectClipRect(*dc, window.left, window.top, window.right, window.bottom);
    ExcludeClipRect(*dc, client.left, client.top, client.right, client.bottom);
    dc->FillSolidRect(window, GetSysColor(COLOR_BTNFACE));
}

void COXToolbarSkinClassic::DrawSeparator(CDC* dc, const CRect& rect, COXCoolToolBar* bar) {
    CRect r = rect;
    if (r.Width() > 8) return;
    if (bar->m_dwStyle & CBRS_ORIENT_HORZ) {
        const int x = (r.left + r.right) / 2;
        r.left = x - 1;
        r.right = x + 1;
    } else {
        const int w = bar->GetButtonSize().cx;
        r.left -= w;
        r.right = r.left + w;
        r.top = r.bottom + 1;
        r.bottom = r.top + 3;
        const int y = (r.top + r.bottom) / 2;
        r.top = y - 1;
        r.bottom = y + 1;
    }
    dc->Draw3dRect(r, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHIGHLIGHT));
}

void COXToolbarSkinClassic::DrawCustomizeFrame(CDC* dc, const CRect& rect, COXCoolToolBar*) {
    // A 2-pixel halftone frame inverted inside the rectangle: drawn twice it is gone.
    static const WORD pattern[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
    HBITMAP bitmap = CreateBitmap(8, 8, 1, 1, pattern);
    HBRUSH halftone = CreatePatternBrush(bitmap);
    HGDIOBJ old = dc->SelectObject(halftone);
    const CRect& r = rect;
    PatBlt(*dc, r.left, r.top, r.Width(), 2, PATINVERT);
    PatBlt(*dc, r.left, r.bottom - 2, r.Width(), 2, PATINVERT);
    PatBlt(*dc, r.left, r.top + 2, 2, r.Height() - 4, PATINVERT);
    PatBlt(*dc, r.right - 2, r.top + 2, 2, r.Height() - 4, PATINVERT);
    dc->SelectObject(old);
    DeleteObject(halftone);
    DeleteObject(bitmap);
}

void COXToolbarSkinClassic::DrawComboBox(CWnd* combo) {
    combo->Default();  // the system paints it
}

void COXToolbarSkinClassic::DrawCustomDraw(NMHDR*& header, LRESULT*& result, COXCoolToolBar* bar) {
    if (RelayToOwner(header, result, bar)) return;
    auto* draw = reinterpret_cast<NMTBCUSTOMDRAW*>(header);
    const bool newControls = COXCoolToolBar::GetComCtlVersion() >= kComCtl471;
    CDC dc;
    dc.Attach(draw->nmcd.hdc);
    *result = 0;
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT: {
        CRect client;
        bar->GetClientRect(&client);
        dc.FillSolidRect(client, GetSysColor(COLOR_BTNFACE));
        if (!newControls && bar->IsFlat() && bar->GetSeparator()) {
            const int count = bar->GetCount();
            for (int i = 0; i < count; ++i) {
                UINT id = 0, style = 0;
                int image = 0;
                bar->GetButtonInfo(i, id, style, image);
                const UINT state = HIWORD(style) ^ TBSTATE_ENABLED;
                if (!(style & TBSTYLE_SEP) || state == TBSTATE_HIDDEN) continue;
                CRect item;
                bar->GetItemRect(i, &item);
                if (state & TBSTATE_WRAP) {
                    dc.FillSolidRect(item, GetSysColor(COLOR_BTNFACE));
                } else {
                    item.top -= 1;
                    DrawSeparator(&dc, item, bar);
                }
            }
        }
        const int customized = bar->GetCustomizedButton();
        if (customized != -1 && bar->IsCustomButton(customized)) {
            CRect item;
            bar->GetItemRect(customized, &item);
            DrawCustomizeFrame(&dc, item, bar);
        }
        *result = CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
        break;
    }
    case CDDS_ITEMPREPAINT: {
        *result = CDRF_NOTIFYPOSTPAINT;
        CRect frame = draw->nmcd.rc, fill = draw->nmcd.rc;
        if (bar->SendMessage(TB_ISBUTTONHIDDEN, draw->nmcd.dwItemSpec)) break;
        const UINT state = draw->nmcd.uItemState;
        const bool checked = state & CDIS_CHECKED, hot = state & CDIS_HOT, selected = state & CDIS_SELECTED;
        OXTBColor text = OXTB_DEFAULT_TEXT, back = OXTB_DEFAULT_BK, border = OXTB_DEFAULT_BORDER;
        if (checked) {
            if (hot) text = OXTB_SELECTED_TEXT, back = OXTB_SELECTED_BK, border = OXTB_SELECTED_BORDER;
            else text = OXTB_CHECKED_TEXT, back = OXTB_CHECKED_BK, border = OXTB_CHECKED_BORDER;
        } else if (selected) {
            text = OXTB_SELECTED_TEXT, back = OXTB_SELECTED_BK, border = OXTB_SELECTED_BORDER;
        } else if (hot) {
            text = OXTB_HOT_TEXT, back = OXTB_HOT_BK, border = OXTB_HOT_BORDER;
        }
        if (bar->GetColor(text) != kColorNotSet) {
            if (newControls) draw->clrText = bar->GetColor(text);
            else dc.SetTextColor(bar->GetColor(text));
        }
        if (bar->GetColor(border) != kColorNotSet) {
            FrameWith(&dc, frame, bar->GetColor(border));
            fill.DeflateRect(1, 1);
            if (newControls) *result |= TBCDRF_NOEDGES;
        }
        if (bar->GetColor(back) != kColorNotSet) {
            dc.FillSolidRect(fill, bar->GetColor(back));
            if (checked && newControls) *result |= TBCDRF_NOETCHEDEFFECT;
        }
        break;
    }
    case CDDS_ITEMPOSTPAINT: {
        const int index = bar->CommandToIndex(static_cast<UINT>(draw->nmcd.dwItemSpec));
        const bool hidden = bar->SendMessage(TB_ISBUTTONHIDDEN, draw->nmcd.dwItemSpec) != 0;
        const bool arrows = newControls ? (bar->SendMessage(TB_GETEXTENDEDSTYLE) & TBSTYLE_EX_DRAWDDARROWS) != 0
                                        : bar->IsDropDownArrow();
        const UINT style = index >= 0 ? bar->GetButtonStyle(index) : 0;
        if (!hidden && arrows && (style & TBSTYLE_DROPDOWN)) {
            CRect arrow = draw->nmcd.rc;
            arrow.left = arrow.right - bar->GetDropDownArrowWidth();
            const UINT state = draw->nmcd.uItemState;
            const bool checked = state & CDIS_CHECKED, hot = state & CDIS_HOT, selected = state & CDIS_SELECTED;
            OXTBColor border = OXTB_DEFAULT_BORDER;
            if (checked && hot) border = OXTB_SELECTED_BORDER;
            else if (checked) border = OXTB_CHECKED_BORDER;
            else if (hot && selected) border = OXTB_SELECTED_BORDER;
            else if (hot) border = OXTB_HOT_BORDER;
            else if (selected) border = OXTB_SELECTED_BORDER;
            if (bar->GetColor(border) != kColorNotSet) FrameWith(&dc, arrow, bar->GetColor(border));
        }
        if (index >= 0 && index == bar->GetCustomizedButton() && !bar->IsCustomButton(index)) {
            CRect item;
            bar->GetItemRect(index, &item);
            DrawCustomizeFrame(&dc, item, bar);
        }
        break;
    }
    default:
        break;
    }
    dc.Detach();
}
