// Painting a window through an off-screen bitmap. The window's own procedure
// draws into a DIB section, which then reaches the screen in one blit: nothing
// flickers, and a control that draws many small pictures (a toolbar's buttons,
// a tree's icons) draws them into memory, which is far cheaper than drawing
// each into the window.
#pragma once
#include <windows.h>

class CWnd;

// Answers WM_PAINT for `window`: the window is sent WM_ERASEBKGND and then its
// procedure WM_PAINT, both with the buffer's DC in wParam (as common controls
// take it). If the buffer cannot be made, both go to the screen's DC.
void PaintThroughBuffer(CWnd& window);

// Whether `dc` is the buffer of a paint in progress on this thread. A window
// that paints through a buffer erases only that: the erase BeginPaint asks of
// it on the screen would be covered by the blit anyway.
bool IsPaintBuffer(HDC dc);

// An off-screen copy of one rectangle of a DC: Dc() takes the same
// coordinates as the target and starts with the target's pixels, font, pen,
// brush, colours, background mode and text alignment; drawing is clipped to
// the rectangle. The result reaches the target in one blit when the object
// goes. If the buffer cannot be made, Dc() is the target itself.
class CBufferedArea {
public:
    // Moved: the buffer is the rectangle's size and its origin is moved to
    // the rectangle's corner (for drawing code of our own). Unmoved: the
    // buffer reaches from the target's origin to the rectangle's far corner
    // and keeps the identity mapping (for code that sets the origin itself).
    enum class Coordinates { Moved, Unmoved };
    // Target: the buffer starts as the target's pixels. Blank: it starts
    // undefined, for a caller that paints every pixel of the rectangle (this
    // saves reading the screen back, which under X is a round trip).
    enum class Start { Target, Blank };
    CBufferedArea(HDC target, const RECT& area, Coordinates coordinates = Coordinates::Moved, Start start = Start::Target);
    ~CBufferedArea();
    CBufferedArea(const CBufferedArea&) = delete;
    CBufferedArea& operator=(const CBufferedArea&) = delete;

    HDC Dc() const { return m_memory ? m_memory : m_target; }

private:
    HDC m_target;
    RECT m_area;
    HBITMAP m_bitmap = nullptr;
    HDC m_memory = nullptr;
    HGDIOBJ m_previousBitmap = nullptr;
};

