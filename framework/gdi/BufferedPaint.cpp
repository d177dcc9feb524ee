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
