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
    HDC screen = BeginPaint(hwnd, &paint);
    RECT client{};
    GetClientRect(hwnd, &client);
    HBITMAP buffer = nullptr;
    HDC memory = nullptr;
    if (screen && client.right > 0 && client.bottom > 0) {
        buffer = CreateTopDownDib(client.right, client.bottom);
        if (buffer) memory = CreateCompatibleDC(screen);
    }
    if (memory) {
        HGDIOBJ previous = SelectObject(memory, buffer);
        const RECT& area = paint.rcPaint;
        // The buffer starts as what is on the screen: whatever the window
        // leaves undrawn (a transparent toolbar shows its parent) stays as it
        // would without the buffer.
        BitBlt(memory, area.left, area.top, area.right - area.left, area.bottom - area.top, screen, area.left,
               area.top, SRCCOPY);
        // The window draws what BeginPaint's clip lets through, and no more.
        IntersectClipRect(memory, area.left, area.top, area.right, area.bottom);
        HDC outer = t_paintBuffer;
        t_paintBuffer = memory;
        window.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory));
        window.DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(memory), 0);
        t_paintBuffer = outer;
        BitBlt(screen, area.left, area.top, area.right - area.left, area.bottom - area.top, memory, area.left, area.top,
               SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
    } else if (screen) {
        window.DefWindowProc(WM_PAINT, reinterpret_cast<WPARAM>(screen), 0);
    }
    if (buffer) DeleteObject(buffer);
    EndPaint(hwnd, &paint);
}

CBufferedArea::CBufferedArea(HDC target, const RECT& area) : m_target(target), m_area(area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (!target || width <= 0 || height <= 0) return;
    m_bitmap = CreateTopDownDib(width, height);
    if (m_bitmap) m_memory = CreateCompatibleDC(target);
    if (!m_memory) return;
    m_previousBitmap = SelectObject(m_memory, m_bitmap);
    BitBlt(m_memory, 0, 0, width, height, target, area.left, area.top, SRCCOPY);
    SetViewportOrgEx(m_memory, -area.left, -area.top, nullptr);
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

