// The screen's pixels, as the user sees them, for the end-to-end cases that
// compare what a window shows with what a full repaint of it draws.
#pragma once
#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

// The screen's pixels in a rectangle, as the user sees them. With TARVELO_SHOT
// naming a folder, each shot is also kept there as a bitmap file to look at.
class ScreenShot {
public:
    ScreenShot(const RECT& rect, const char* name) : m_rect(rect) {
        const int w = rect.right - rect.left, h = rect.bottom - rect.top;
        m_pixels.resize(static_cast<size_t>(w) * h);
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        if (HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0)) {
            HGDIOBJ old = SelectObject(memory, bitmap);
            BitBlt(memory, 0, 0, w, h, screen, rect.left, rect.top, SRCCOPY);
            GdiFlush();
            memcpy(m_pixels.data(), bits, m_pixels.size() * 4);
            SelectObject(memory, old);
            DeleteObject(bitmap);
        }
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        if (const char* folder = getenv("TARVELO_SHOT")) Keep(info.bmiHeader, std::string(folder) + "/" + name + ".bmp");
    }
    DWORD At(LONG x, LONG y) const {
        return m_pixels[static_cast<size_t>(y - m_rect.top) * (m_rect.right - m_rect.left) + (x - m_rect.left)] & 0xFFFFFF;
    }
    // The share of a part's pixels (screen coordinates) that differ from another shot's.
    double Differs(const ScreenShot& other, const RECT& part) const {
        int differ = 0, all = 0;
        for (LONG y = part.top; y < part.bottom; ++y)
            for (LONG x = part.left; x < part.right; ++x, ++all) differ += At(x, y) != other.At(x, y);
        return all ? double(differ) / all : 0;
    }

private:
    void Keep(const BITMAPINFOHEADER& header, const std::string& path) const {
        FILE* file = fopen(path.c_str(), "wb");
        if (!file) return;
        BITMAPFILEHEADER head{};
        head.bfType = 0x4D42;
        head.bfOffBits = sizeof(head) + sizeof(header);
        head.bfSize = head.bfOffBits + static_cast<DWORD>(m_pixels.size() * 4);
        fwrite(&head, sizeof(head), 1, file);
        fwrite(&header, sizeof(header), 1, file);
        for (DWORD pixel : m_pixels) {
            pixel |= 0xFF000000;  // opaque, as the screen is
            fwrite(&pixel, 4, 1, file);
        }
        fclose(file);
    }
    RECT m_rect;
    std::vector<DWORD> m_pixels;
};

// The grid tables' blue (#6CADD8) in the screen's pixels of a window: the
// rectangle it covers, empty when none shows.
inline RECT TableArea(HWND window) {
    RECT area{};
    GetWindowRect(window, &area);
    const ScreenShot shot(area, "table");
    RECT found{LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    for (LONG y = area.top; y < area.bottom; ++y)
        for (LONG x = area.left; x < area.right; ++x)
            if (shot.At(x, y) == 0x6CADD8) {
                found.left = std::min(found.left, x);
                found.right = std::max(found.right, x + 1);
                found.top = std::min(found.top, y);
                found.bottom = std::max(found.bottom, y + 1);
            }
    return found.left == LONG_MAX ? RECT{} : found;
}
