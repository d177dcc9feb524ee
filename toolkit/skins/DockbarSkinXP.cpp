// The Office XP and Office 2003 dock-bar skins.
#include "docking/SizeControlBar.h"
#include "docking/SizeDockBar.h"
#include "skins/DockbarSkin.h"
#include "skins/DockbarSkinParts.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"

#include <algorithm>

using namespace dockbar_parts;

COXDockbarSkinXP::COXDockbarSkinXP(COXSkinXP* skin) : m_pSkin(skin) { m_fontCaption.CreatePointFont(85, L"Tahoma BOLD"); }

void COXDockbarSkinXP::OnNcCalcSize(BOOL, RECT* rect, COXSizeControlBar* bar) { NcCalcSize(rect, bar, 5 + 11); }
void COXDockbarSkinXP::CalcCaptionLayout(COXSizeControlBar* bar) { CaptionLayout(bar, m_nSpacing); }
COLORREF COXDockbarSkinXP::GetLineColor() { return m_pSkin->GetColor(10); }

void COXDockbarSkinXP::DrawCaption(CDC* dc, COXSizeControlBar* bar) {
    if (!HasCaptionParts(bar)) return;
    const bool vertical = DockedAcross(bar);
    const bool titleBar = (bar->m_Style & SZBARF_SOLIDGRIPPER) != 0;
    CRect caption;
    if (titleBar) {
        CRect band;
        band.UnionRect(bar->m_rectCaption, bar->m_rectClose);
        band.UnionRect(CRect(band), bar->m_rectResize);
        band.InflateRect(3, 3);
        band = bar->ToWindow(band);
        band.DeflateRect(vertical ? 2 : 1, 2, 1, 1);
        dc->FillSolidRect(band, ::GetSysColor(COLOR_INACTIVECAPTION));
        caption = band;
    } else {
        caption = bar->ToWindow(bar->m_rectCaption);
        if (vertical) caption.DeflateRect(2, 0);
        else caption.DeflateRect(4, 2);
    }
    const CRect text =
        DrawCaptionText(dc, bar, caption, m_fontCaption, ::GetSysColor(titleBar ? COLOR_CAPTIONTEXT : COLOR_WINDOWTEXT), true);
    if (titleBar) return;
    // Gripper marks: four lines in colour 11 along the part the text leaves.
    CRect g = caption;
    CPen pen(PS_SOLID, 1, m_pSkin->GetColor(11));
    HGDIOBJ old = dc->SelectObject(&pen);
    if (!vertical) {
        if (!text.IsRectEmpty()) g.left = text.right + 3;
        if (g.Width() > 5) {
            g.top += 3;
            g.right -= 1;
            for (int y : {g.top, g.top + 2, g.top + 4, g.top + 6}) {
                dc->MoveTo(g.left, y);
                dc->LineTo(g.right, y);
            }
        }
    } else {
        if (!text.IsRectEmpty()) g.bottom = text.top - 3;
        if (g.Height() > 5) {
            g.left += 3;
            g.bottom -= 1;
            for (int x : {g.left, g.left + 2, g.left + 4, g.left + 6}) {
                dc->MoveTo(x, g.top);
                dc->LineTo(x, g.bottom);
            }
        }
    }
    dc->SelectObject(old);
}

void COXDockbarSkinXP::DrawCloseButton(CDC* dc, COXSizeControlBar* bar) {
    if (!bar->HasCloseButton() || (bar->m_dwStyle & CBRS_FLOATING) || bar->m_rectClose.IsRectEmpty()) return;
    CRect r = bar->ToWindow(bar->m_rectClose);
    r.DeflateRect(1, 1, 2, 2);
    const bool title = (bar->m_Style & SZBARF_SOLIDGRIPPER) != 0;
    m_pSkin->DrawFrameButton(dc, r, DFCS_CAPTIONCLOSE, FALSE, title, ::GetSysColor(title ? COLOR_INACTIVECAPTION : COLOR_3DFACE), bar);
}

void COXDockbarSkinXP::DrawResizeButton(CDC* dc, COXSizeControlBar* bar) {
    if (!bar->HasResizeButton() || (bar->m_dwStyle & CBRS_FLOATING) || bar->m_rectResize.IsRectEmpty()) return;
    CRect r = bar->ToWindow(bar->m_rectResize);
    r.DeflateRect(1, 1, 2, 2);
    const bool title = (bar->m_Style & SZBARF_SOLIDGRIPPER) != 0;
    m_pSkin->DrawFrameButton(dc, r, bar->IsMaximized() ? DFCS_CAPTIONMIN : DFCS_CAPTIONMAX, !bar->CanMaximize(), title,
                             ::GetSysColor(title ? COLOR_INACTIVECAPTION : COLOR_3DFACE), bar);
}

void COXDockbarSkinXP::DrawBarBackground(CDC* dc, const CRect& rect, COXSizeControlBar*) {
    dc->FillSolidRect(rect, ::GetSysColor(COLOR_3DFACE));
}

void COXDockbarSkinXP::DrawDockBar(CDC* dc, const COXSplitterDraw& splitter, COXSizeDockBar*) {
    CRect r = splitter.rect;
    r.bottom = std::min<LONG>(r.bottom, 8000);
    dc->FillSolidRect(r, ::GetSysColor(COLOR_3DFACE));
    const CPoint centre = r.CenterPoint();
    if (splitter.orientation == 1) dc->FillSolidRect(CRect(centre.x, r.top, centre.x + 1, r.bottom), m_pSkin->GetColor(9));
    else dc->FillSolidRect(CRect(r.left, centre.y, r.right, centre.y + 1), m_pSkin->GetColor(9));
}

void COXDockbarSkinXP::FillBarFrame(COXSizeDockBar* dockBar, COLORREF color) {
    CWindowDC dc(dockBar);
    dc.FillSolidRect(dc.ExcludeClientArea(), color);
}

void COXDockbarSkinXP::DrawBarFrame(COXSizeDockBar* dockBar) { FillBarFrame(dockBar, ::GetSysColor(COLOR_3DFACE)); }

void COXDockbarSkinXP::EraseDockBarBackground(CDC* dc, COXSizeDockBar* dockBar) {
    CRect client;
    dockBar->GetClientRect(&client);
    dc->FillSolidRect(client, ::GetSysColor(COLOR_3DFACE));
}

// Office 2003 --------------------------------------------------------------------------------

COXSkin2003* COXDockbarSkin2003::Skin2003() const { return static_cast<COXSkin2003*>(m_pSkin); }

void COXDockbarSkin2003::OnNcCalcSize(BOOL, RECT* rect, COXSizeControlBar* bar) { NcCalcSize(rect, bar, 24); }

void COXDockbarSkin2003::CalcCaptionLayout(COXSizeControlBar* bar) {
    CRect window;
    bar->GetWindowRect(&window);
    CRect caption(0, 0, window.Width(), window.Height());
    CRect close, resize;
    if (HasCaptionParts(bar)) {
        const bool across = DockedAcross(bar);
        if (across) {
            caption.DeflateRect(0, 2);
            caption.right = caption.left + 24;
        } else {
            caption.DeflateRect(2, 0);
            caption.bottom = caption.top + 24;
        }
        // Each button is the caption's end square, deflated; the resize button stands beside the close one.
        CRect square = across ? CRect(caption.left, caption.top, caption.right, caption.top + caption.Width())
                              : CRect(caption.right - caption.Height(), caption.top, caption.right, caption.bottom);
        square.DeflateRect(7, 7, 6, 6);
        if (bar->HasCloseButton()) close = square;
        if (bar->HasResizeButton()) {
            resize = square;
            if (bar->HasCloseButton()) resize.OffsetRect(across ? 0 : -(resize.Width() + 3), across ? resize.Height() + 3 : 0);
        }
    }
    bar->SetCaptionLayout(caption, close, resize);
    bar->m_bCaptionSpace = FALSE;
}

void COXDockbarSkin2003::DrawCaption(CDC* dc, COXSizeControlBar* bar) {
    if (!HasCaptionParts(bar)) return;
    COXSkin2003* skin = Skin2003();
    const CRect c = bar->ToWindow(bar->m_rectCaption);
    const bool vertical = DockedAcross(bar);
    // The gradient runs across a vertical caption and down a horizontal one; Windows 9x draws it line by line.
    if (::GetVersion() & 0x80000000u) {
        COXSkin2003 lines;
        lines.UseLineGradients();
        lines.GradientFill(dc, c, skin->GetAuxColor(10), skin->GetAuxColor(9), !vertical);
    } else {
        skin->GradientFill(dc, c, skin->GetAuxColor(10), skin->GetAuxColor(9), !vertical);
    }
    if (bar->m_pDockBar && bar->m_pDockBar->m_hWnd) {
        CRect inDock;
        bar->GetWindowRect(&inDock);
        bar->m_pDockBar->ScreenToClient(&inDock);
        if (vertical && inDock.left > 0) dc->FillSolidRect(CRect(c.left, c.top, c.left + 2, c.bottom), skin->GetColor(7));
        if (!vertical && inDock.top > 0) dc->FillSolidRect(CRect(c.left, c.top, c.right, c.top + 2), skin->GetColor(7));
    }
    CRect dots = c;
    if (vertical) {
        dots.DeflateRect(5, 5);
        dots.top = dots.bottom - 2;
        skin->DrawGripperDots(dc, dots, FALSE);
    } else {
        dots.DeflateRect(3, 6);
        dots.right = dots.left + 2;
        skin->DrawGripperDots(dc, dots, TRUE);
    }
    const CString text = bar->GetWindowText();
    if (text.IsEmpty()) return;
    CRect textRect = vertical ? CRect(c.left + 6, c.top, c.left + c.Height(), c.bottom + 2) : CRect(c.left + 13, c.top + 2, c.right + 13, c.bottom + 2);
    const CRect& limitClient = bar->HasResizeButton() ? bar->m_rectResize : bar->m_rectClose;
    if ((bar->HasResizeButton() || bar->HasCloseButton()) && !limitClient.IsRectEmpty()) {
        const CRect limit = bar->ToWindow(limitClient);
        if (vertical) textRect.top = limit.bottom + 1;
        else textRect.right = limit.left - 1;
    }
    CFont rotated;
    CFont* font = vertical ? RotatedCopy(m_fontCaption, rotated) : &m_fontCaption;
    HGDIOBJ oldFont = dc->SelectObject(font);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    if (vertical) {
        // The turned text runs up from the bottom of the band, its cell standing right of the
        // rectangle's left edge. The rectangle's width is the length the text may run: up to the
        // limiting button, where the ellipsis ends it; its height clips it below that button.
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(*dc, &metrics);
        const int start = textRect.bottom - metrics.tmHeight;
        const int length = std::max<int>(0, start - textRect.top);
        textRect.left = c.left + 6;
        textRect.right = textRect.left + length;
        dc->DrawText(text, &textRect, DT_END_ELLIPSIS | DT_SINGLELINE | DT_BOTTOM);
    } else {
        dc->DrawText(text, &textRect, DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER);
    }
    dc->SetBkMode(oldMode);
    dc->SelectObject(oldFont);
}

void COXDockbarSkin2003::DrawCloseButton(CDC* dc, COXSizeControlBar* bar) {
    if (!bar->HasCloseButton() || (bar->m_dwStyle & CBRS_FLOATING) || bar->m_rectClose.IsRectEmpty()) return;
    CRect r = bar->ToWindow(bar->m_rectClose);
    r.DeflateRect(1, 1, 2, 2);
    m_pSkin->DrawFrameButton(dc, r, DFCS_CAPTIONCLOSE, FALSE, FALSE, ::GetSysColor(COLOR_3DFACE), bar);
}

void COXDockbarSkin2003::DrawResizeButton(CDC* dc, COXSizeControlBar* bar) {
    if (!bar->HasResizeButton() || (bar->m_dwStyle & CBRS_FLOATING) || bar->m_rectResize.IsRectEmpty()) return;
    CRect r = bar->ToWindow(bar->m_rectResize);
    r.DeflateRect(1, 1, 2, 2);
    m_pSkin->DrawFrameButton(dc, r, bar->IsMaximized() ? DFCS_CAPTIONMIN : DFCS_CAPTIONMAX, !bar->CanMaximize(), FALSE,
                             ::GetSysColor(COLOR_3DFACE), bar);
}

void COXDockbarSkin2003::DrawBarBackground(CDC* dc, const CRect& rect, COXSizeControlBar*) {
    dc->FillSolidRect(rect, Skin2003()->GetColor(7));
}

void COXDockbarSkin2003::DrawDockBar(CDC* dc, const COXSplitterDraw& splitter, COXSizeDockBar*) {
    COXSkin2003* skin = Skin2003();
    CRect r = splitter.rect;
    r.bottom = std::min<LONG>(r.bottom, 8000);
    dc->FillSolidRect(r, skin->GetColor(7));
    const COLORREF line = skin->IsThemed() ? skin->GetAuxColor(4) : skin->COXSkinXP::GetSeparatorColor();
    const CPoint centre = r.CenterPoint();
    if (splitter.orientation == 1) dc->FillSolidRect(CRect(centre.x, r.top, centre.x + 1, r.bottom), line);
    else dc->FillSolidRect(CRect(r.left, centre.y, r.right, centre.y + 1), line);
}

void COXDockbarSkin2003::FillBand(CDC* dc, const CRect& band) const { Skin2003()->FillDockBand(dc, band); }

void COXDockbarSkin2003::DrawBarFrame(COXSizeDockBar* dockBar) {
    CWindowDC dc(dockBar);
    dc.ExcludeClientArea();
    CRect window;
    dockBar->GetWindowRect(&window);
    CRect frameWindow = window;
    if (CWnd* frame = dockBar->GetParentFrame()) frame->GetWindowRect(&frameWindow);
    const int width = std::max<int>(::GetSystemMetrics(SM_CXSCREEN), frameWindow.Width());
    const CRect band(frameWindow.left - window.left, 0, frameWindow.left - window.left + width, window.Height());
    if (dockBar->FindSizeControlBar()) dc.FillSolidRect(band, Skin2003()->GetColor(7));
    else FillBand(&dc, band);
}

void COXDockbarSkin2003::EraseDockBarBackground(CDC* dc, COXSizeDockBar* dockBar) {
    CRect client;
    dockBar->GetClientRect(&client);
    client.right = client.left + std::max<int>(::GetSystemMetrics(SM_CXSCREEN), client.Width());
    FillBand(dc, client);
}
