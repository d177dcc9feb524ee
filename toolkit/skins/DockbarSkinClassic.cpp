#include "docking/SizeControlBar.h"
#include "docking/SizeDockBar.h"
#include "skins/DockbarSkin.h"
#include "skins/DockbarSkinParts.h"

#include <algorithm>

// The memory bitmap the caption buttons are drawn in, kept from one button to the next while
// their size and the target's pixel format stay: a caption is painted again at every resize, and
// making a device context and a bitmap cost several times the drawing. Each skin keeps its own,
// freed with it.
class COXDockbarButtonCanvas {
public:
    ~COXDockbarButtonCanvas() { Release(); }
    HDC For(HDC compatible, const CSize& size) {
        const Format format = FormatOf(compatible);
        if (m_dc && size == m_size && format == m_format) return m_dc;
        Release();
        m_dc = ::CreateCompatibleDC(compatible);
        m_bitmap = m_dc ? ::CreateCompatibleBitmap(compatible, size.cx, size.cy) : nullptr;
        if (!m_bitmap) {
            Release();
            return nullptr;
        }
        m_old = ::SelectObject(m_dc, m_bitmap);
        m_size = size;
        m_format = format;
        return m_dc;
    }

private:
    struct Format {
        int technology = 0, bits = 0, planes = 0;
        bool operator==(const Format&) const = default;
    };
    // A compatible bitmap takes a memory DC's selected bitmap's format, else the device's.
    static Format FormatOf(HDC dc) {
        Format format{::GetDeviceCaps(dc, TECHNOLOGY), ::GetDeviceCaps(dc, BITSPIXEL), ::GetDeviceCaps(dc, PLANES)};
        if (::GetObjectType(dc) == OBJ_MEMDC) {
            BITMAP bitmap{};
            if (HGDIOBJ selected = ::GetCurrentObject(dc, OBJ_BITMAP); selected && ::GetObjectW(selected, sizeof(bitmap), &bitmap)) {
                format.bits = bitmap.bmBitsPixel;
                format.planes = bitmap.bmPlanes;
            }
        }
        return format;
    }
    void Release() {
        if (m_dc && m_old) ::SelectObject(m_dc, m_old);
        if (m_bitmap) ::DeleteObject(m_bitmap);
        if (m_dc) ::DeleteDC(m_dc);
        m_dc = nullptr;
        m_bitmap = nullptr;
        m_old = nullptr;
        m_size = CSize(0, 0);
        m_format = Format{};
    }
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    CSize m_size;
    Format m_format;
};

void COXDockbarSkinClassic::DrawFrameControlButton(CDC* dc, const CRect& rect, UINT state) {
    // A button squeezed to nothing is not drawn: there is no bitmap of no size.
    if (rect.Width() <= 0 || rect.Height() <= 0) return;
    if (!m_pCanvas) m_pCanvas = std::make_unique<COXDockbarButtonCanvas>();
    HDC memory = m_pCanvas->For(*dc, rect.Size());
    if (!memory) return;
    CRect button(0, 0, rect.Width(), rect.Height());
    ::DrawFrameControl(memory, &button, DFC_CAPTION, state);
    ::BitBlt(*dc, rect.left, rect.top, rect.Width(), rect.Height(), memory, 0, 0, SRCCOPY);
}

namespace dockbar_parts {

bool DockedAcross(const COXSizeControlBar* bar) { return (bar->m_dwStyle & CBRS_ORIENT_HORZ) != 0; }

bool HasCaptionParts(const COXSizeControlBar* bar) { return bar->HasGripper() && !(bar->m_dwStyle & CBRS_FLOATING); }

void NcCalcSize(RECT* rect, COXSizeControlBar* bar, int band) {
    CRect r(*rect);
    r.DeflateRect(5, 5);
    if (HasCaptionParts(bar)) {
        if (DockedAcross(bar)) r.left = std::min<LONG>(r.left + band, r.right);
        else r.top = std::min<LONG>(r.top + band, r.bottom);
        bar->m_bCaptionSpace = TRUE;
    }
    *rect = r;
}

void CaptionLayout(COXSizeControlBar* bar, int spacing) {
    CRect window;
    bar->GetWindowRect(&window);
    CRect gripper(0, 0, window.Width(), window.Height());
    gripper.DeflateRect(5, 5);
    CRect close, resize;
    if (HasCaptionParts(bar)) {
        if (DockedAcross(bar)) {
            gripper.right = gripper.left + 11;
            if (bar->HasCloseButton()) {
                close = CRect(gripper.left, gripper.top, gripper.right, gripper.top + 11);
                gripper.top += spacing + 11;
            }
            if (bar->HasResizeButton()) {
                resize = CRect(gripper.left, gripper.top, gripper.right, gripper.top + 11);
                gripper.top += spacing + 11;
            }
        } else {
            gripper.bottom = gripper.top + 11;
            if (bar->HasCloseButton()) {
                close = CRect(gripper.right - 11, gripper.top, gripper.right, gripper.bottom);
                gripper.right -= spacing + 11;
            }
            if (bar->HasResizeButton()) {
                resize = CRect(gripper.right - 11, gripper.top, gripper.right, gripper.bottom);
                gripper.right -= spacing + 11;
            }
        }
    }
    bar->SetCaptionLayout(gripper, close, resize);
    bar->m_bCaptionSpace = FALSE;
}

CFont* RotatedCopy(CFont& font, CFont& rotated) {
    LOGFONTW lf{};
    font.GetLogFont(&lf);
    lf.lfEscapement = lf.lfOrientation = 900;
    rotated.CreateFontIndirect(&lf);
    return &rotated;
}

CRect DrawCaptionText(CDC* dc, COXSizeControlBar* bar, const CRect& caption, CFont& font, COLORREF color, bool transparent) {
    const CString text = bar->GetWindowText();
    if ((bar->m_Style & SZBARF_NOCAPTION) || text.IsEmpty() || caption.IsRectEmpty()) return CRect();
    const bool vertical = DockedAcross(bar);
    CFont rotated;
    CFont* use = vertical ? RotatedCopy(font, rotated) : &font;
    HGDIOBJ oldFont = dc->SelectObject(use);
    const COLORREF oldColor = dc->SetTextColor(color);
    const int oldMode = dc->SetBkMode(transparent ? TRANSPARENT : OPAQUE);
    if (!transparent) dc->SetBkColor(::GetSysColor(COLOR_3DFACE));
    CRect measure(0, 0, 32000, 100);
    dc->SelectObject(&font);
    dc->DrawText(text, &measure, DT_CALCRECT | DT_SINGLELINE);
    dc->SelectObject(use);
    CRect textRect;
    if (!vertical) {
        const int room = std::max(0, caption.Width() - 6);
        const int width = std::min<int>(measure.Width(), room);
        textRect = CRect(caption.left + 6, caption.top + (caption.Height() - measure.Height()) / 2, caption.left + 6 + width,
                         caption.top + (caption.Height() - measure.Height()) / 2 + measure.Height());
        CRect draw = textRect;
        dc->DrawText(text, &draw, DT_END_ELLIPSIS | DT_SINGLELINE | DT_VCENTER);
    } else {
        const int room = std::max(0, caption.Height() - 6);
        const int length = std::min<int>(measure.Width(), room);
        const int x = caption.left + (caption.Width() - measure.Height()) / 2;
        textRect = CRect(x, caption.bottom - 6 - length, x + measure.Height(), caption.bottom - 6);
        // The turned text runs up from 6 pixels above the foot, its cell right of x. The
        // rectangle's width is the length it may run, where the ellipsis ends it.
        CRect draw(x, caption.bottom - 6 - room, x + room, caption.bottom - 6 + measure.Height());
        dc->DrawText(text, &draw, DT_END_ELLIPSIS | DT_SINGLELINE | DT_BOTTOM);
    }
    dc->SetBkMode(oldMode);
    dc->SetTextColor(oldColor);
    dc->SelectObject(oldFont);
    return textRect;
}

}  // namespace dockbar_parts

using namespace dockbar_parts;

COXDockbarSkinClassic::~COXDockbarSkinClassic() = default;

COXDockbarSkinClassic::COXDockbarSkinClassic() {
    m_fontLarge.CreatePointFont(100, L"Arial");
    m_fontSmall.CreatePointFont(80, L"Arial");
}

void COXDockbarSkinClassic::OnNcCalcSize(BOOL, RECT* rect, COXSizeControlBar* bar) { NcCalcSize(rect, bar, 5 + 11); }

void COXDockbarSkinClassic::CalcCaptionLayout(COXSizeControlBar* bar) { CaptionLayout(bar, m_nSpacing); }

void COXDockbarSkinClassic::DrawCaption(CDC* dc, COXSizeControlBar* bar) {
    if (!HasCaptionParts(bar)) return;
    const bool vertical = DockedAcross(bar);
    CRect caption = bar->ToWindow(bar->m_rectCaption);
    const bool titleBar = (bar->m_Style & SZBARF_SOLIDGRIPPER) != 0;
    if (titleBar) dc->FillSolidRect(caption, ::GetSysColor(bar->IsActive() ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
    else caption.DeflateRect(2, 2);
    const COLORREF color = titleBar ? ::GetSysColor(bar->IsActive() ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT)
                                    : ::GetSysColor(bar->IsActive() ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    const CRect text = DrawCaptionText(dc, bar, caption, titleBar ? m_fontSmall : m_fontLarge, color, titleBar);
    if (titleBar) return;
    // Two parallel 3-D bars along the part the text leaves.
    CRect rest = caption;
    if (!text.IsRectEmpty()) {
        if (vertical) rest.bottom = text.top - 3;
        else rest.left = text.right + 3;
    }
    const int length = vertical ? rest.Height() : rest.Width();
    if (rest.IsRectEmpty() || length < 6) return;
    const COLORREF light = ::GetSysColor(COLOR_3DHILIGHT), shadow = ::GetSysColor(COLOR_3DSHADOW);
    auto bar3d = [&](const CRect& r) {
        dc->FillSolidRect(CRect(r.left, r.top, r.right - 1, r.top + 1), light);
        dc->FillSolidRect(CRect(r.left, r.top, r.left + 1, r.bottom - 1), light);
        dc->FillSolidRect(CRect(r.right - 1, r.top, r.right, r.bottom), shadow);
        dc->FillSolidRect(CRect(r.left, r.bottom - 1, r.right, r.bottom), shadow);
    };
    if (vertical) {
        const int x = rest.left + rest.Width() / 2 - 3;
        bar3d(CRect(x, rest.top, x + 3, rest.bottom));
        bar3d(CRect(x + 4, rest.top, x + 7, rest.bottom));
    } else {
        const int y = rest.top + rest.Height() / 2 - 3;
        bar3d(CRect(rest.left, y, rest.right, y + 3));
        bar3d(CRect(rest.left, y + 4, rest.right, y + 7));
    }
}

void COXDockbarSkinClassic::DrawCloseButton(CDC* dc, COXSizeControlBar* bar) {
    if (!bar->HasCloseButton() || (bar->m_dwStyle & CBRS_FLOATING)) return;
    DrawFrameControlButton(dc, bar->ToWindow(bar->m_rectClose), DFCS_CAPTIONCLOSE | (bar->m_nHotButton == OX_HOT_CLOSE ? DFCS_PUSHED : 0));
}

void COXDockbarSkinClassic::DrawResizeButton(CDC* dc, COXSizeControlBar* bar) {
    if (!bar->HasResizeButton() || (bar->m_dwStyle & CBRS_FLOATING)) return;
    UINT state = bar->IsMaximized() ? DFCS_CAPTIONMIN : DFCS_CAPTIONMAX;
    if (bar->m_nHotButton == OX_HOT_RESIZE) state |= DFCS_PUSHED;
    if (!bar->CanMaximize()) state |= DFCS_INACTIVE;
    DrawFrameControlButton(dc, bar->ToWindow(bar->m_rectResize), state);
}

void COXDockbarSkinClassic::DrawBarBackground(CDC* dc, const CRect& rect, COXSizeControlBar* bar) {
    CRect inside = rect;
    bar->DrawBorders(dc, inside);
    dc->FillSolidRect(inside, ::GetSysColor(COLOR_3DFACE));
}

void COXDockbarSkinClassic::DrawDockBar(CDC* dc, const COXSplitterDraw& splitter, COXSizeDockBar*) {
    const CRect& r = splitter.rect;
    if (splitter.orientation == 1) {
        dc->FillSolidRect(CRect(r.left + 1, r.top, r.left + 2, r.bottom), ::GetSysColor(COLOR_3DFACE));
        dc->FillSolidRect(CRect(r.left + 2, r.top, r.left + 3, r.bottom), ::GetSysColor(COLOR_3DHILIGHT));
        dc->FillSolidRect(CRect(r.right - 1, r.top, r.right, r.bottom), ::GetSysColor(COLOR_WINDOWFRAME));
        dc->FillSolidRect(CRect(r.right - 2, r.top, r.right - 1, r.bottom), ::GetSysColor(COLOR_3DSHADOW));
    } else {
        dc->FillSolidRect(CRect(r.left, r.top + 1, r.right, r.top + 2), ::GetSysColor(COLOR_3DFACE));
        dc->FillSolidRect(CRect(r.left, r.top + 2, r.right, r.top + 3), ::GetSysColor(COLOR_3DHILIGHT));
        dc->FillSolidRect(CRect(r.left, r.bottom - 1, r.right, r.bottom), ::GetSysColor(COLOR_WINDOWFRAME));
        dc->FillSolidRect(CRect(r.left, r.bottom - 2, r.right, r.bottom - 1), ::GetSysColor(COLOR_3DSHADOW));
    }
}

void COXDockbarSkinClassic::EraseDockBarBackground(CDC* dc, COXSizeDockBar* dockBar) {
    CRect client;
    dockBar->GetClientRect(&client);
    dc->FillSolidRect(client, ::GetSysColor(COLOR_3DFACE));
}
