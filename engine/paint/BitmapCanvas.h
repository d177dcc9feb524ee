// A canvas that draws into a bitmap in memory (a DIB section on a memory DC):
// tests read its pixels; the page window uses one as its double buffer.
#pragma once
#include "paint/GdiCanvas.h"

namespace paint {

class BitmapCanvas : public GdiCanvas {
public:
    // A white bitmap of the size (at least 1 x 1).
    BitmapCanvas(int width, int height);
    ~BitmapCanvas() override;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The colour at a point; kTransparent outside the bitmap.
    Color Pixel(int x, int y) const;

private:
    int m_width;
    int m_height;
    HDC m_memory = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    std::uint32_t* m_bits = nullptr;
};

}  // namespace paint
