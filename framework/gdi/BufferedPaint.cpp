#include "gdi/BufferedPaint.h"

#include "gdi/Dib.h"
#include "wnd/Wnd.h"

namespace {

thread_local HDC t_paintBuffer = nullptr;

}  // namespace

bool IsPaintBuffer(HDC dc) { return dc && dc == t_paintBuffer; }

void PaintThroughBuffer(CWnd& window) {
    HWND hwnd = window.GetSafeHwnd();
    PAINTSTRUCT paint{};
    if (HDC screen = BeginPaint(hwnd, &paint)) {
        // The buffer keeps the window's own coordinates (a control may place
        // its drawing origin itself) and covers what BeginPaint's clip lets
        // through. It starts as what is on the screen: whatever the window
        // leaves undrawn (a transparent toolbar shows its parent) stays as it
        // would without the buffer.
        CBufferedArea buffer(screen, paint.rcPaint, CBufferedArea::Coordinates::Unmoved);
        HDC outer = t_paintBuffer;
        t_paintBuffer = buffer.Dc();
        window.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(buffer.Dc()));
        window.DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(buffer.Dc()), 0);
        t_paintBuffer = outer;
    }
    EndPaint(hwnd, &paint);
}

CBufferedArea::CBufferedArea(HDC target, const RECT& area, Coordinates coordinates, Start start)
    : m_target(target), m_area(area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (!target || width <= 0 || height <= 0) return;
    const bool unmoved = coordinates == Coordinates::Unmoved;
    m_bitmap = unmoved ? CreateTopDownDib(area.right, area.bottom) : CreateTopDownDib(width, height);
    if (m_bitmap) m_memory = CreateCompatibleDC(target);
    if (!m_memory) return;
    m_previousBitmap = SelectObject(m_memory, m_bitmap);
    if (!unmoved) SetViewportOrgEx(m_memory, -area.left, -area.top, nullptr);
    if (start == Start::Target) BitBlt(m_memory, area.left, area.top, width, height, target, area.left, area.top, SRCCOPY);
    IntersectClipRect(m_memory, area.left, area.top, area.right, area.bottom);
    SelectObject(m_memory, GetCurrentObject(target, OBJ_FONT));
    SelectObject(m_memory, GetCurrentObject(target, OBJ_PEN));
    SelectObject(m_memory, GetCurrentObject(target, OBJ_BRUSH));
    SetTextColor(m_memory, GetTextColor(target));
    SetBkColor(m_memory, GetBkColor(target));
    SetBkMode(m_memory, GetBkMode(target));
    SetTextAlign(m_memory, GetTextAlign(target));
}

CBufferedArea::~CBufferedArea() {
    if (m_memory) {
        BitBlt(m_target, m_area.left, m_area.top, m_area.right - m_area.left, m_area.bottom - m_area.top, m_memory,
               m_area.left, m_area.top, SRCCOPY);
        // The target's objects go back to being selected in the target only.
        SelectObject(m_memory, GetStockObject(SYSTEM_FONT));
        SelectObject(m_memory, GetStockObject(BLACK_PEN));
        SelectObject(m_memory, GetStockObject(WHITE_BRUSH));
        SelectObject(m_memory, m_previousBitmap);
        DeleteDC(m_memory);
    }
    if (m_bitmap) DeleteObject(m_bitmap);
}

