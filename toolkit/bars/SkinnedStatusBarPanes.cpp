// COXStatusBar: the per-pane settings, pane bitmaps, progress panes and tooltips.
#include "bars/SkinnedStatusBar.h"

#include "gdi/BufferedPaint.h"
#include "gdi/Dib.h"
#include "skins/StatusbarSkin.h"

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
    m_nLastTool = -1;  // the tip shown is laid out again at the next move
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

INT_PTR COXStatusBar::OnToolHitTest(CPoint point, TOOLINFOW* tool) const {
    if (::GetAsyncKeyState(VK_LBUTTON) & 0x8001) return -1;
    const int count = GetCount();
    // A progress control over its pane answers for the pane.
    HWND child = ::ChildWindowFromPointEx(m_hWnd, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    if (child && child != m_hWnd) {
        const int k = ::GetDlgCtrlID(child);
        if (k < 0 || k >= count) return -1;
        if (tool) {
            CRect r;
            ::GetWindowRect(child, &r);
            ScreenToClient(&r);
            tool->hwnd = m_hWnd;
            tool->uId = static_cast<UINT_PTR>(k + count);
            tool->rect = r;
            tool->uFlags &= ~TTF_CENTERTIP;
        }
        return k + count;
    }
    const int pane = PaneAt(point);
    if (pane < 0) return -1;
    if (tool) {
        CRect r;
        GetItemRect(pane, &r);
        tool->hwnd = m_hWnd;
        tool->uId = GetItemID(pane);
        tool->rect = r;
    }
    return static_cast<INT_PTR>(GetItemID(pane));
}

BOOL COXStatusBar::PreTranslateMessage(MSG* msg) {
    if (msg->message < WM_MOUSEFIRST || msg->message > WM_MOUSELAST || !m_hWnd) return CStatusBar::PreTranslateMessage(msg);
    if (msg->hwnd != m_hWnd && ::GetParent(msg->hwnd) != m_hWnd) return CStatusBar::PreTranslateMessage(msg);
    if (!m_hTip) {
        m_hTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0,
                                   m_hWnd, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        if (!m_hTip) return FALSE;
    }
    CPoint point(msg->pt);
    ScreenToClient(&point);
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    const INT_PTR hit = OnToolHitTest(point, &info);
    // The pane whose tip shows: the pane itself, or the pane a progress control lies over.
    HWND child = ::ChildWindowFromPointEx(m_hWnd, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
    const int pane = hit < 0 ? -1 : (child && child != m_hWnd) ? ::GetDlgCtrlID(child) : PaneAt(point);
    const CString tip = GetPaneTip(pane);
    if (hit != m_nLastTool) {
        TOOLINFOW old{};
        old.cbSize = sizeof(old);
        old.hwnd = m_hWnd;
        old.uId = 1;
        ::SendMessageW(m_hTip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&old));
        if (hit >= 0 && !tip.IsEmpty()) {
            info.hwnd = m_hWnd;
            info.uId = 1;
            info.uFlags |= TTF_TRANSPARENT;
            info.lpszText = const_cast<wchar_t*>(static_cast<const wchar_t*>(tip));
            ::SendMessageW(m_hTip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&info));
        }
        m_nLastTool = hit;
    }
    MSG relayed = *msg;
    relayed.hwnd = m_hWnd;
    relayed.lParam = MAKELPARAM(point.x, point.y);
    ::SendMessageW(m_hTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    return CStatusBar::PreTranslateMessage(msg);
}
