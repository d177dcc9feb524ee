// The Office XP menu skin's popup windows: their frame, the drop shadow
// painted from the screen under the popup's margin, and the window procedure
// that takes the popup-menu windows over.
#include "skins/MenuSkin.h"

#include "bars/BitmapMenu.h"
#include "bars/CoolToolBar.h"
#include "bars/MenuCustomize.h"
#include "skins/Skin.h"
#include "skins/SkinGdi.h"
#include "skins/ToolbarSkin.h"
#include "wnd/Wnd.h"

#include <algorithm>

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
        // Drawn whole in memory and copied at once, so the printed picture is never half made.
        CDC target;
        target.Attach(reinterpret_cast<HDC>(wParam));
        CDC memory;
        memory.CreateCompatibleDC(&target);
        HBITMAP bitmap = ::CreateCompatibleBitmap(target, window.Width(), window.Height());
        if (bitmap) {
            HGDIOBJ old = memory.SelectObject(bitmap);
            ::BitBlt(memory, 0, 0, window.Width(), window.Height(), target, 0, 0, SRCCOPY);
            PaintPopupFrame(&memory, hwnd, window, menu, nullptr);
            ::BitBlt(target, 0, 0, window.Width(), window.Height(), memory, 0, 0, SRCCOPY);
            memory.SelectObject(old);
            ::DeleteObject(bitmap);
        } else {
            PaintPopupFrame(&target, hwnd, window, menu, nullptr);
        }
        target.Detach();
        return 0;
    }
    case WM_DESTROY:
        // Only Windows 9x needed the parent popup told to repaint its shadow;
        // an NT system (and Wine) repaints what the popup uncovers itself.
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
