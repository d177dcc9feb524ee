// The caption buttons of a maximised MDI child on a menu bar, in each look,
// and the Office XP flat caption button they are drawn with.
#include "bars/MenuBar.h"
#include "docking/SizeControlBar.h"
#include "skins/DockbarSkinParts.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"

using dockbar_parts::DockedAcross;

namespace {

// A memory bitmap of a given size selected into its own DC.
struct Canvas {
    Canvas(CDC* like, int width, int height) {
        dc.CreateCompatibleDC(like);
        bitmap = ::CreateCompatibleBitmap(*like, width, height);
        old = dc.SelectObject(bitmap);
    }
    ~Canvas() {
        dc.SelectObject(old);
        ::DeleteObject(bitmap);
    }
    CDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

// Copies `source` onto `dest` at (x, y) leaving out the pixels of colour `key`.
void CopyTransparent(CDC* dest, int x, int y, int width, int height, CDC* source, COLORREF key) {
    CDC mask;
    mask.CreateCompatibleDC(dest);
    HBITMAP maskBitmap = ::CreateBitmap(width, height, 1, 1, nullptr);
    HGDIOBJ oldMask = mask.SelectObject(maskBitmap);
    const COLORREF oldSourceBk = source->SetBkColor(key);
    ::BitBlt(mask, 0, 0, width, height, *source, 0, 0, SRCCOPY);
    source->SetBkColor(oldSourceBk);
    const COLORREF oldBk = dest->SetBkColor(RGB(255, 255, 255));
    const COLORREF oldText = ::SetTextColor(*dest, RGB(0, 0, 0));
    ::BitBlt(*dest, x, y, width, height, *source, 0, 0, SRCINVERT);
    ::BitBlt(*dest, x, y, width, height, mask, 0, 0, SRCAND);
    ::BitBlt(*dest, x, y, width, height, *source, 0, 0, SRCINVERT);
    dest->SetBkColor(oldBk);
    ::SetTextColor(*dest, oldText);
    mask.SelectObject(oldMask);
    ::DeleteObject(maskBitmap);
}

}  // namespace

void COXSkinXP::DrawFrameButton(CDC* dc, const CRect& rect, UINT kind, BOOL inactive, BOOL title, COLORREF background,
                                CWnd* window) const {
    DrawFrameButtonOver(dc, rect, kind, inactive, title, background, window,
                        [background](CDC& button, const CRect& whole) { button.FillSolidRect(whole, background); });
}

void COXSkin2003::DrawFrameButton(CDC* dc, const CRect& rect, UINT kind, BOOL inactive, BOOL title, COLORREF background,
                                  CWnd* window) const {
    auto paint = [&](CDC& button, const CRect& whole) {
        if (auto* menuBar = dynamic_cast<COXMenuBar*>(window)) {
            // The dock bars' band, as it runs across the whole frame.
            CRect onScreen = rect;
            CRect barWindow;
            menuBar->GetWindowRect(&barWindow);
            onScreen.OffsetRect(barWindow.TopLeft());
            FillDockBand(&button, DockBandFor(menuBar, onScreen.TopLeft(), whole.Height()));
        } else if (auto* bar = dynamic_cast<COXSizeControlBar*>(window)) {
            // The caption's gradient, continued under the button.
            const CRect caption = bar->ToWindow(bar->m_rectCaption);
            if (DockedAcross(bar)) {
                const CRect band(caption.left - rect.left, 0, caption.right - rect.left, whole.Height());
                GradientFill(&button, band, GetAuxColor(10), GetAuxColor(9), FALSE);
            } else {
                const CRect band(0, caption.top - rect.top, whole.Width(), caption.bottom - rect.top);
                GradientFill(&button, band, GetAuxColor(10), GetAuxColor(9), TRUE);
            }
        } else {
            button.FillSolidRect(whole, background);
        }
    };
    DrawFrameButtonOver(dc, rect, kind, inactive, title, background, window, paint);
}

void COXSkinXP::DrawFrameButtonOver(CDC* dc, const CRect& rect, UINT kind, BOOL inactive, BOOL title, COLORREF background,
                                    CWnd* window, const std::function<void(CDC&, const CRect&)>& paintBackground) const {
    const int width = rect.Width(), height = rect.Height();
    if (width <= 4 || height <= 4) return;
    COLORREF grey = 0;
    if (inactive) {
        grey = title ? OffsetColor(background, 64, 64, 64) : OffsetColor(background, -96, -96, -96);
        title = FALSE;
    }
    POINT cursor{};
    ::GetCursorPos(&cursor);
    CRect windowRect;
    window->GetWindowRect(&windowRect);
    cursor.x -= windowRect.left;
    cursor.y -= windowRect.top;
    const bool pressed = ::GetCapture() && CWnd::FromHandlePermanent(::GetCapture());
    const bool hot = rect.PtInRect(cursor) != FALSE;

    Canvas button(dc, width, height);
    const CRect whole(0, 0, width, height);
    if (!hot || inactive) {
        paintBackground(button.dc, whole);
    } else {
        HBRUSH brush = ::CreateSolidBrush(GetColor(pressed ? 2 : 0));
        HPEN pen = ::CreatePen(PS_SOLID, 1, GetColor(3));
        HGDIOBJ oldBrush = button.dc.SelectObject(brush), oldPen = button.dc.SelectObject(pen);
        ::Rectangle(button.dc, 0, 0, width, height);
        button.dc.SelectObject(oldBrush);
        button.dc.SelectObject(oldPen);
        ::DeleteObject(brush);
        ::DeleteObject(pen);
    }
    // The glyph alone: the flat control drawn larger than its bitmap so that its edge falls outside.
    Canvas glyph(dc, width - 4, height - 4);
    RECT glyphRect{-2, -2, width - 2, height - 2};
    glyph.dc.FillSolidRect(CRect(0, 0, width - 4, height - 4), GetSysColor(COLOR_3DFACE));
    ::DrawFrameControl(glyph.dc, &glyphRect, DFC_CAPTION, kind | DFCS_FLAT);
    COLORREF key = GetSysColor(COLOR_3DFACE);
    if ((pressed && hot) || (title && !hot)) {
        ::PatBlt(glyph.dc, 0, 0, width - 4, height - 4, DSTINVERT);
        key = InvertColor(key);
    }
    CopyTransparent(&button.dc, 2, 2, width - 4, height - 4, &glyph.dc, key);
    if (!inactive) {
        ::BitBlt(*dc, rect.left, rect.top, width, height, button.dc, 0, 0, SRCCOPY);
        return;
    }
    Canvas greyed(dc, width, height);
    greyed.dc.FillSolidRect(whole, grey);
    CopyTransparent(&greyed.dc, 0, 0, width, height, &button.dc, RGB(0, 0, 0));
    ::BitBlt(*dc, rect.left, rect.top, width, height, greyed.dc, 0, 0, SRCCOPY);
}

void COXToolbarSkinClassic::DrawMDIButtons(CDC* dc, COXMenuBar* bar) {
    HWND child = bar->GetMaximizedMDIChild();
    if (!child) return;
    const COXMenuBar::MDIButtonRects& r = bar->GetMDIButtonRects();
    if (r.close.IsRectEmpty()) return;
    const LONG_PTR style = ::GetWindowLongPtrW(child, GWL_STYLE);
    const int pressed = bar->GetPressedMDIButton();
    auto draw = [&](CRect rect, UINT kind, bool inactive, int code) {
        ::DrawFrameControl(*dc, &rect, DFC_CAPTION,
                           kind | (inactive ? DFCS_INACTIVE : 0) | (pressed == code ? DFCS_PUSHED : 0));
    };
    draw(r.close, DFCS_CAPTIONCLOSE, false, OXMB_HIT_CLOSE);
    if (!r.restore.IsRectEmpty()) draw(r.restore, DFCS_CAPTIONRESTORE, !(style & WS_MAXIMIZEBOX), OXMB_HIT_RESTORE);
    if (r.minimize.IsRectEmpty()) return;
    draw(r.minimize, DFCS_CAPTIONMIN, !(style & WS_MINIMIZEBOX), OXMB_HIT_MINIMIZE);
}

void COXToolbarSkinXP::DrawMDIButtons(CDC* dc, COXMenuBar* bar) {
    if (!bar->GetMaximizedMDIChild()) return;
    const COXMenuBar::MDIButtonRects& r = bar->GetMDIButtonRects();
    if (r.close.IsRectEmpty()) return;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    m_pSkin->DrawFrameButton(dc, r.close, DFCS_CAPTIONCLOSE, FALSE, FALSE, face, bar);
    if (!r.restore.IsRectEmpty()) m_pSkin->DrawFrameButton(dc, r.restore, DFCS_CAPTIONRESTORE, FALSE, FALSE, face, bar);
    if (!r.minimize.IsRectEmpty()) m_pSkin->DrawFrameButton(dc, r.minimize, DFCS_CAPTIONMIN, FALSE, FALSE, face, bar);
}
