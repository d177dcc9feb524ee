// The one narrow interface through which the engine measures and draws:
// fonts, text runs, rectangles, lines, pictures and a clip. GDI sits behind
// it in the program (GdiCanvas, BitmapCanvas); tests put a recording canvas
// with fixed character widths behind it, so layout is the same every run.
#pragma once
#include "core/String.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace paint {

// 0x00BBGGRR, as a COLORREF; kTransparent draws nothing.
using Color = std::uint32_t;
constexpr Color kTransparent = 0xFF000000u;
constexpr Color Rgb(int r, int g, int b) { return Color(r & 255) | (Color(g & 255) << 8) | (Color(b & 255) << 16); }

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool Intersects(const Rect& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
    Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    Rect Intersect(const Rect& o) const {
        return {std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    }
    Rect Union(const Rect& o) const {
        if (IsEmpty()) return o;
        if (o.IsEmpty()) return *this;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
    }
    bool operator==(const Rect&) const = default;
};

struct FontRequest {
    CString family;  // a list as CSS writes it: "Arial, sans-serif"
    int pixelSize = 16;
    bool bold = false;
    bool italic = false;
    bool operator==(const FontRequest&) const = default;
};

struct FontMetrics {
    int ascent = 0;
    int descent = 0;
    int Height() const { return ascent + descent; }
};

// Decoded pixels, 32-bit BGRA rows from the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    bool hasAlpha = false;  // pixels are premultiplied; some are not opaque
};
using PicturePtr = std::shared_ptr<const Picture>;

class Canvas {
public:
    virtual ~Canvas() = default;

    // A font of this canvas (the same request answers the same id).
    virtual int MakeFont(const FontRequest& request) = 0;
    virtual FontMetrics Metrics(int font) = 0;
    virtual int MeasureText(int font, const wchar_t* text, int length) = 0;

    // Text with the top of its line box at y (the baseline lies ascent below).
    virtual void DrawTextRun(int font, int x, int y, const wchar_t* text, int length, Color color) = 0;
    virtual void FillRect(const Rect& rect, Color color) = 0;
    // A line of the given thickness from (x1,y1) to (x2,y2): horizontal or vertical.
    virtual void DrawLine(int x1, int y1, int x2, int y2, int thickness, Color color) = 0;
    virtual void DrawPicture(const Rect& rect, const Picture& picture) = 0;

    // Clips are nested: each push intersects with the clip in force.
    virtual void PushClip(const Rect& rect) = 0;
    virtual void PopClip() = 0;
};

}  // namespace paint
