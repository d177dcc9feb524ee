// Device-independent bitmaps to draw into in memory.
#pragma once
#include <windows.h>

// A 32-bit top-down DIB section (width and height at least 1). `bits`, when
// given, receives its pixels: one BGRA word each, row by row from the top.
// Drawing into it never goes near the display.
inline HBITMAP CreateTopDownDib(int width, int height, void** bits = nullptr) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width < 1 ? 1 : width;
    info.bmiHeader.biHeight = -(height < 1 ? 1 : height);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits) *bits = pixels;
    return bitmap;
}
