// COXStatusBar: the per-pane settings, pane bitmaps, progress panes and tooltips.
#include "bars/SkinnedStatusBar.h"

#include "gdi/BufferedPaint.h"
#include "gdi/Dib.h"
#include "skins/StatusbarSkin.h"
#include "wnd/ToolTips.h"

#include <algorithm>

// Settings ---------------------------------------------------------------------------------

BOOL COXStatusBar::SetPaneCursor(int index, HCURSOR cursor) {
    PaneExtras* extras = Extras(index);
    if (!extras) return FALSE;
    extras->cursor = cursor;
    return TRUE;
}

BOOL COXStatusBar::SetPaneTip(int index, const wchar_t* tip) {
    PaneExtras* extras = Extras(index);
    if (!extras) return FALSE;
    extras->tip = tip ? tip : L"";
    return TRUE;
}

CString COXStatusBar::GetPaneTip(int index) const {
    const PaneExtras* extras = Extras(index);
    return extras ? extras->tip : CString();
}

BOOL COXStatusBar::SetPaneFont(int index, const LOGFONTW* font) {
    PaneExtras* extras = Extras(index);
    if (!extras) return FALSE;
    extras->font.reset();
    if (font) {
        auto copy = std::make_unique<CFont>();
        if (!copy->CreateFontIndirect(font)) return FALSE;
        extras->font = std::move(copy);
    }
    UpdatePanes();
    return TRUE;
}

BOOL COXStatusBar::SetPaneTextColor(int index, COLORREF color) {
    PaneExtras* extras = Extras(index);
    if (!extras) return FALSE;
    extras->textColor = color;
    CRect r;
    GetItemRect(index, &r);
    InvalidateRect(&r, FALSE);
    return TRUE;
}

BOOL COXStatusBar::SetPaneBitmap(int index, HBITMAP bitmap, int placement, COLORREF transparent) {
    PaneExtras* extras = Extras(index);
    if (!extras) {
        if (bitmap) ::DeleteObject(bitmap);
        return FALSE;
    }
    extras->bitmap.reset();
    if (bitmap) {
        auto record = std::make_unique<BitmapRecord>();
        record->bitmap.Attach(bitmap);
        const BITMAP info = record->bitmap.GetBitmapInfo();
        record->width = info.bmWidth;
        record->height = info.bmHeight;
        record->mode = placement;
        record->transparent = transparent;
        extras->bitmap = std::move(record);
    }
    CRect r;
    GetItemRect(index, &r);
    InvalidateRect(&r, TRUE);
    return TRUE;
}

BOOL COXStatusBar::HasPaneBitmap(int index) const {
    const PaneExtras* extras = Extras(index);
    return extras && extras->bitmap;
}

BOOL COXStatusBar::SetUpBar(int index, BOOL showPercent) {
    PaneExtras* extras = Extras(index);
    if (!extras) return FALSE;
    if (!extras->progress) extras->progress = std::make_unique<ProgressRecord>();
    extras->progress->showPercent = showPercent;
    Pane& pane = m_panes[static_cast<size_t>(index)];
    pane.style |= SBPS_PROGRESS;
    pane.text.Empty();
    UpdatePanes();
    return extras->progress->created;
}

BOOL COXStatusBar::SetBarProgress(int index, DWORD total, DWORD done) {
    PaneExtras* extras = Extras(index);
    if (!extras || !extras->progress) return FALSE;
    ProgressRecord& record = *extras->progress;
    const int percent = total ? static_cast<int>(std::min<ULONGLONG>(100, static_cast<ULONGLONG>(done) * 100 / total)) : 0;
    if (percent == record.percent && record.created) return TRUE;
    record.percent = percent;
    if (!record.created) return FALSE;
    record.control.SendMessage(PBM_SETPOS, static_cast<WPARAM>(percent));
    if (record.showPercent) {
        // Only the percentage's room is painted again.
        CRect r;
        GetItemRect(index, &r);
        r.right = record.rect.left;
        PaintPercentage(index, r);
    }
    return TRUE;
}

// A WM_PAINT round (invalidating, the update region, BeginPaint and EndPaint) costs far more
// under Wine than the drawing of a few pixels: a shown bar paints the part at once, composed
// in memory (in the bar's coordinates) and copied to the screen in one piece.
void COXStatusBar::PaintPart(const CRect& part) {
    if (part.IsRectEmpty()) return;
    if (!IsWindowVisible()) {
        InvalidateRect(&part, FALSE);
        return;
    }
    CClientDC dc(this);
    // The skin paints every pixel of the part: nothing needs reading back from the screen.
    CBufferedArea buffer(dc, part, CBufferedArea::Coordinates::Moved, CBufferedArea::Start::Blank);
    CDC memory;
    memory.Attach(buffer.Dc());
    GetStatusbarSkin()->DrawStatusBarOn(&memory, this);
    memory.Detach();
}

// A step changes only the percentage's text: the room's background, painted once by the skin,
// is kept and the text drawn over a copy of it (a skin paints the whole bar's look, which costs
// more than the text). A pane with a bitmap over its text is painted whole each time.
void COXStatusBar::PaintPercentage(int index, const CRect& room) {
    if (room.IsRectEmpty()) return;
    if (IsWindowVisible() && !HasPaneBitmap(index)) {
        if (!m_percentRoom || m_percentRoom->pane != index || m_percentRoom->rect != room || m_percentRoom->skin != GetStatusbarSkin())
            m_percentRoom = BuildPercentRoom(index, room);
        if (m_percentRoom) {
            PercentRoom& kept = *m_percentRoom;
            kept.composed.BitBlt(room.left, room.top, room.Width(), room.Height(), &kept.background, room.left, room.top, SRCCOPY);
            DrawPaneText(kept.composed, index, kept.item);
            CClientDC dc(this);
            dc.BitBlt(room.left, room.top, room.Width(), room.Height(), &kept.composed, room.left, room.top, SRCCOPY);
            return;
        }
    }
    PaintPart(room);
}

std::unique_ptr<COXStatusBar::PercentRoom> COXStatusBar::BuildPercentRoom(int index, const CRect& room) {
    auto kept = std::make_unique<PercentRoom>();
    kept->pane = index;
    kept->rect = room;
    kept->skin = GetStatusbarSkin();
    for (auto [bits, dc] : {std::pair{&kept->backgroundBits, &kept->background}, std::pair{&kept->composedBits, &kept->composed}}) {
        if (!bits->Attach(CreateTopDownDib(room.Width(), room.Height())) || !dc->CreateCompatibleDC(nullptr)) return nullptr;
        dc->SelectObject(bits->GetSafeHandle());
        // Drawn in the bar's coordinates.
        ::SetViewportOrgEx(*dc, -room.left, -room.top, nullptr);
        ::IntersectClipRect(*dc, room.left, room.top, room.right, room.bottom);
    }
    m_buildingPercentRoom = kept.get();
    GetStatusbarSkin()->DrawStatusBarOn(&kept->background, this);
    m_buildingPercentRoom = nullptr;
    // A skin that did not ask for the pane's drawing leaves no place for the text.
    if (!kept->itemSeen) return nullptr;
    return kept;
}

int COXStatusBar::GetBarPercent(int index) const {
    const PaneExtras* extras = Extras(index);
    return (extras && extras->progress) ? extras->progress->percent : -1;
}

CWnd* COXStatusBar::GetPaneProgress(int index) const {
    const PaneExtras* extras = Extras(index);
    return (extras && extras->progress && extras->progress->created) ? &extras->progress->control : nullptr;
}

// Bitmaps ----------------------------------------------------------------------------------

void COXStatusBar::DrawPaneContents(CDC* dc, int index, UINT style) {
    if (style & SBPS_DISABLED) return;
    const PaneExtras* extras = Extras(index);
    if (!extras || !extras->bitmap) return;
    const BitmapRecord& record = *extras->bitmap;
    CRect pane;
    if (!GetPaneControlRect(index, pane, FALSE)) return;
    const int dx = pane.Width() - record.width;
    const int dy = pane.Height() - record.height;
    CRect target(pane.left, pane.top, pane.left + (dx < 1 ? pane.Width() : record.width),
                 pane.top + (dy < 1 ? pane.Height() : record.height));
    if (dy >= 1) target.OffsetRect(0, dy / 2);
    CSize source(record.width, record.height);
    const bool cropped = record.mode >= OX_BMP_CROP_LEFT && record.mode <= OX_BMP_CROP_RIGHT;
    switch (record.mode) {
    case OX_BMP_STRETCH:
        target = pane;
        break;
    case OX_BMP_CENTER:
    case OX_BMP_CROP_CENTER:
        if (dx >= 1) target.OffsetRect(dx / 2, 0);
        break;
    case OX_BMP_RIGHT:
    case OX_BMP_CROP_RIGHT:
        if (dx >= 1) target.OffsetRect(dx, 0);
        break;
    default:
        break;
    }
    if (cropped) source = CSize(target.Width(), target.Height());
    DrawTransparentBitmap(dc, record, target, source);
}

void COXStatusBar::DrawTransparentBitmap(CDC* dc, const BitmapRecord& record, const CRect& target, CSize source) {
    const int w = source.cx;
    const int h = source.cy;
    if (w <= 0 || h <= 0 || target.IsRectEmpty() || !m_memDC.GetSafeHdc()) return;
    // The bitmap itself goes into the bar's own memory DC.
    CDC& image = m_memDC;
    CDC mask, inverse, back;
    mask.CreateCompatibleDC(dc);
    inverse.CreateCompatibleDC(dc);
    back.CreateCompatibleDC(dc);
    const int mapMode = ::GetMapMode(*dc);
    for (CDC* d : {&image, &mask, &inverse, &back}) ::SetMapMode(*d, mapMode);

    HGDIOBJ oldImage = image.SelectObject(record.bitmap.GetSafeHandle());
    HBITMAP maskBits = ::CreateBitmap(w, h, 1, 1, nullptr);
    HBITMAP inverseBits = ::CreateBitmap(w, h, 1, 1, nullptr);
    HBITMAP backBits = ::CreateCompatibleBitmap(*dc, w, h);
    HBITMAP resultBits = ::CreateCompatibleBitmap(*dc, w, h);
    HGDIOBJ oldMask = mask.SelectObject(maskBits);
    HGDIOBJ oldInverse = inverse.SelectObject(inverseBits);
    HGDIOBJ oldBack = back.SelectObject(backBits);

    // The mask: white where the bitmap has the transparent colour.
    const COLORREF oldBk = image.SetBkColor(record.transparent);
    mask.BitBlt(0, 0, w, h, &image, 0, 0, SRCCOPY);
    image.SetBkColor(oldBk);
    inverse.BitBlt(0, 0, w, h, &mask, 0, 0, NOTSRCCOPY);
    // The pane's background under the target, brought to the source's size.
    ::SetStretchBltMode(back, COLORONCOLOR);
    ::StretchBlt(back, 0, 0, w, h, *dc, target.left, target.top, target.Width(), target.Height(), SRCCOPY);
    back.BitBlt(0, 0, w, h, &mask, 0, 0, SRCAND);
    // The bitmap's opaque pixels over it.
    CDC result;
    result.CreateCompatibleDC(dc);
    HGDIOBJ oldResult = result.SelectObject(resultBits);
    result.BitBlt(0, 0, w, h, &image, 0, 0, SRCCOPY);
    result.BitBlt(0, 0, w, h, &inverse, 0, 0, SRCAND);
    result.BitBlt(0, 0, w, h, &back, 0, 0, SRCPAINT);
    ::SetStretchBltMode(*dc, COLORONCOLOR);
    ::StretchBlt(*dc, target.left, target.top, target.Width(), target.Height(), result, 0, 0, w, h, SRCCOPY);

    result.SelectObject(oldResult);
    back.SelectObject(oldBack);
    inverse.SelectObject(oldInverse);
    mask.SelectObject(oldMask);
    image.SelectObject(oldImage);
    for (HBITMAP b : {maskBits, inverseBits, backBits, resultBits}) ::DeleteObject(b);
}

// Tooltips ---------------------------------------------------------------------------------

INT_PTR COXStatusBar::OnToolHitTest(CPoint point, CToolInfo* tool) const {
    // No tip while the button is held or has been pressed since the last look.
    if (::GetAsyncKeyState(VK_LBUTTON) & 0x8001) return -1;
    const int count = GetCount();
    // A progress control (its id is its pane's index) answers for its pane, as a tool of its own.
    const INT_PTR child = CStatusBar::OnToolHitTest(point, tool);
    if (child != -1) {
        if (tool) {
            tool->uFlags &= ~TTF_CENTERTIP;
            tool->SetText(GetPaneTip(static_cast<int>(child)));
        }
        return child + count;
    }
    const int pane = PaneAt(point);
    if (pane < 0) return -1;
    if (tool) {
        CRect r;
        GetItemRect(pane, &r);
        tool->hwnd = m_hWnd;
        tool->uId = GetItemID(pane);
        tool->rect = r;
        tool->SetText(GetPaneTip(pane));
    }
    return static_cast<INT_PTR>(GetItemID(pane));
}

BOOL COXStatusBar::PreTranslateMessage(MSG* msg) {
    FilterToolTipMessage(msg);
    return CStatusBar::PreTranslateMessage(msg);
}
