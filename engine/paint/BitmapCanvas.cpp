#include "paint/BitmapCanvas.h"

#include "gdi/Dib.h"

namespace paint {

namespace {
HDC MakeMemoryDc() {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    return memory;
}
}  // namespace

BitmapCanvas::BitmapCanvas(int width, int height)
    : GdiCanvas(MakeMemoryDc()), m_width(std::max(width, 1)), m_height(std::max(height, 1)) {
    m_memory = Dc();
    void* bits = nullptr;
    m_bitmap = CreateTopDownDib(m_width, m_height, &bits);
    m_bits = static_cast<std::uint32_t*>(bits);
    m_oldBitmap = SelectObject(m_memory, m_bitmap);
    FillRect({0, 0, m_width, m_height}, Rgb(255, 255, 255));
}

BitmapCanvas::~BitmapCanvas() {
    SelectObject(m_memory, m_oldBitmap);
    DeleteObject(m_bitmap);
    DeleteDC(m_memory);
}

Color BitmapCanvas::Pixel(int x, int y) const {
    if (!m_bits || x < 0 || y < 0 || x >= m_width || y >= m_height) return kTransparent;
    GdiFlush();
    std::uint32_t bgra = m_bits[static_cast<size_t>(y) * m_width + x];
    return Rgb((bgra >> 16) & 255, (bgra >> 8) & 255, bgra & 255);
}

}  // namespace paint
