#include "skins/StatusbarSkin.h"

#include "bars/SkinnedStatusBar.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"
#include "skins/SkinGdi.h"

#include <algorithm>

namespace {

// What of the bar a device context draws on: its clip box (the part being painted).
CRect PaintedPart(CDC* dc) {
    RECT box{};
    return ::GetClipBox(*dc, &box) == ERROR ? CRect() : CRect(box);
}

bool InPaintedPart(const CRect& painted, const CRect& r) { return CRect().IntersectRect(painted, r) != FALSE; }

bool AnyPaneBitmap(COXStatusBar* bar) {
    for (int i = 0; i < bar->GetCount(); ++i)
        if (bar->HasPaneBitmap(i)) return true;
    return false;
}

}  // namespace

template <typename Steps> void COXStatusbarSkin::PaintOver(CDC* dc, COXStatusBar* bar, Steps&& steps) {
    bar->UpdateAllPanes(FALSE, TRUE);
    steps();
    const CRect painted = PaintedPart(dc);
    for (int i = 0; i < bar->GetCount(); ++i) {
        UINT id = 0, style = 0;
        int width = 0;
        bar->GetPaneInfo(i, id, style, width);
        CRect pane;
        bar->GetItemRect(i, &pane);
        if (!(style & SBPS_DISABLED) && bar->HasPaneBitmap(i) && InPaintedPart(painted, pane)) bar->DrawPaneContents(dc, i, style);
    }
}

// Classic: the control paints itself (the panes through the bar's DrawItem), the bitmaps go
// over it, in the part that was painted.
void COXStatusbarSkinClassic::DrawStatusBar(COXStatusBar* bar) {
    if (!AnyPaneBitmap(bar)) {
        bar->DefWindowProc(WM_PAINT, 0, 0);
        bar->UpdateAllPanes(FALSE, TRUE);
        return;
    }
    RECT update{};
    ::GetUpdateRect(bar->m_hWnd, &update, FALSE);
    bar->DefWindowProc(WM_PAINT, 0, 0);
    CClientDC dc(bar);
    ::IntersectClipRect(dc, update.left, update.top, update.right, update.bottom);
    PaintOver(&dc, bar, [&] {
        DrawPanes(&dc, bar);
        DrawPaneBorders(&dc, bar);
    });
}

// The control prints its client area on the device context, then the bitmaps go over it.
void COXStatusbarSkinClassic::DrawStatusBarOn(CDC* dc, COXStatusBar* bar) {
    bar->DefWindowProc(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc->GetSafeHdc()), PRF_CLIENT);
    PaintOver(dc, bar, [] {});
}

// XP and 2003 -----------------------------------------------------------------------------

void COXStatusbarSkinXP::DrawStatusBar(COXStatusBar* bar) {
    CPaintDC dc(bar);
    DrawStatusBarOn(&dc, bar);
}

void COXStatusbarSkinXP::DrawStatusBarOn(CDC* dc, COXStatusBar* bar) {
    PaintOver(dc, bar, [&] {
        DrawPanes(dc, bar);
        DrawPaneBorders(dc, bar);
        DrawSizeGripper(dc, bar);
    });
}

CRect COXStatusbarSkinXP::PaneRect(COXStatusBar* bar, int i) {
    CRect r;
    bar->GetItemRect(i, &r);
    if (i == bar->GetCount() - 1) {
        UINT id = 0, style = 0;
        int width = 0;
        bar->GetPaneInfo(i, id, style, width);
        r.right = r.left + width + 6;
    }
    return r;
}

void COXStatusbarSkinXP::FillBackground(CDC* dc, const CRect& client) { dc->FillSolidRect(&client, ::GetSysColor(COLOR_3DFACE)); }

void COXStatusbarSkinXP::DrawPanes(CDC* dc, COXStatusBar* bar) {
    CRect client;
    bar->GetClientRect(&client);
    // Only the painted columns: the background's bands run across the whole bar alike.
    const CRect painted = PaintedPart(dc);
    FillBackground(dc, CRect(std::max(client.left, painted.left), client.top, std::min(client.right, painted.right), client.bottom));
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    for (int i = 0; i < bar->GetCount(); ++i) {
        UINT id = 0, style = 0;
        int width = 0;
        bar->GetPaneInfo(i, id, style, width);
        CRect r = PaneRect(bar, i);
        if (!InPaintedPart(painted, r)) continue;
        const int key = id == ID_INDICATOR_CAPS ? VK_CAPITAL : id == ID_INDICATOR_NUM ? VK_NUMLOCK : id == ID_INDICATOR_SCRL ? VK_SCROLL : 0;
        if (!key) {
            DRAWITEMSTRUCT item{};
            item.CtlType = 0;
            item.itemID = static_cast<UINT>(i);
            item.itemAction = ODA_DRAWENTIRE;
            item.hwndItem = bar->m_hWnd;
            item.hDC = *dc;
            item.rcItem = r;
            bar->DrawItem(&item);
            continue;
        }
        SelectedObject font(*dc, bar->GetFont() ? static_cast<HGDIOBJ>(bar->GetFont()) : ::GetStockObject(DEFAULT_GUI_FONT));
        const COLORREF color = (keys[key] & 1) ? ::GetSysColor(COLOR_BTNTEXT) : m_pSkin->GetColor(16);
        const COLORREF oldColor = dc->SetTextColor(color);
        const int oldMode = dc->SetBkMode(TRANSPARENT);
        dc->DrawText(bar->GetPaneText(i), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        dc->SetBkMode(oldMode);
        dc->SetTextColor(oldColor);
    }
}

void COXStatusbarSkinXP::DrawPaneBorders(CDC* dc, COXStatusBar* bar) {
    const COLORREF frame = COXSkinXP::OffsetColor(::GetSysColor(COLOR_3DFACE), 17, 12, 16);
    const CRect painted = PaintedPart(dc);
    for (int i = 0; i < bar->GetCount(); ++i)
        if (const CRect pane = PaneRect(bar, i); InPaintedPart(painted, pane)) FrameWith(dc, pane, frame);
}

// The gripper's square: the client's right n pixels, n its height made even.
static CRect GripperSquare(COXStatusBar* bar) {
    CRect client;
    bar->GetClientRect(&client);
    int n = client.Height();
    if (n % 2) --n;
    return CRect(client.right - n, client.bottom - n, client.right, client.bottom);
}

void COXStatusbarSkinXP::DrawSizeGripper(CDC* dc, COXStatusBar* bar) {
    const CRect square = GripperSquare(bar);
    if (!InPaintedPart(PaintedPart(dc), square) || !bar->WantsSizeGripper()) return;
    const int n = square.Width();
    dc->FillSolidRect(&square, ::GetSysColor(COLOR_3DFACE));
    CPen shadow(PS_SOLID, 1, ::GetSysColor(COLOR_3DSHADOW));
    SelectedObject keep(*dc, shadow);
    for (int i = 0; i < n;) {
        dc->SelectObject(shadow.GetSafeHandle());
        dc->MoveTo(square.right - i, square.bottom);
        dc->LineTo(square.right, square.bottom - i);
        i += 1;
        dc->SelectStockObject(WHITE_PEN);
        dc->MoveTo(square.right - i, square.bottom);
        dc->LineTo(square.right, square.bottom - i);
        i += 3;
    }
}

void COXStatusbarSkin2003::FillBackground(CDC* dc, const CRect& client) {
    auto* skin = static_cast<COXSkin2003*>(m_pSkin);
    const COLORREF h1 = skin->GetAuxColor(1), h2 = skin->GetAuxColor(2), h3 = skin->GetAuxColor(3);
    CRect top(client.left, client.top, client.right, client.top + 3);
    CRect bottom(client.left, client.bottom - 5, client.right, client.bottom);
    skin->GradientFill(dc, top, h3, h2, TRUE);
    dc->FillSolidRect(CRect(client.left, top.bottom, client.right, bottom.top), h2);
    skin->GradientFill(dc, bottom, h2, h1, TRUE);
}

void COXStatusbarSkin2003::DrawPaneBorders(CDC* dc, COXStatusBar* bar) {
    const COLORREF dark = m_pSkin->GetColor(9);
    const CRect painted = PaintedPart(dc);
    for (int i = 0; i < bar->GetCount(); ++i) {
        const CRect pane = PaneRect(bar, i);
        if (!InPaintedPart(painted, CRect(pane.left, pane.top, pane.right + 1, pane.bottom + 1))) continue;
        CRect column(pane.right - 1, pane.top + 2, pane.right, pane.bottom - 2);
        dc->FillSolidRect(&column, dark);
        column.OffsetRect(1, 1);
        dc->FillSolidRect(&column, RGB(255, 255, 255));
    }
}

// Office 2003's gripper: a triangle of 2x2 dots in colour 11, each with a white
// dot one pixel down and right behind it, in steps of 4 pixels.
void COXStatusbarSkin2003::DrawSizeGripper(CDC* dc, COXStatusBar* bar) {
    const CRect square = GripperSquare(bar);
    if (!InPaintedPart(PaintedPart(dc), square) || !bar->WantsSizeGripper()) return;
    const COLORREF dark = m_pSkin->GetColor(11);
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col <= row; ++col) {
            const int x = square.right - 4 - col * 4;
            const int y = square.bottom - 4 - (row - col) * 4;
            if (x < square.left || y < square.top) continue;
            dc->FillSolidRect(CRect(x + 1, y + 1, x + 3, y + 3), RGB(255, 255, 255));
            dc->FillSolidRect(CRect(x, y, x + 2, y + 2), dark);
        }
    }
}
