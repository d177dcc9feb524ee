// Drawing helpers the element skins share: a one-pixel frame in a colour,
// a solid line, and a selection that is undone when it goes out of scope.
#pragma once
#include "gdi/DC.h"

struct SelectedObject {
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(::SelectObject(dc, object)) {}
    ~SelectedObject() { ::SelectObject(m_dc, m_old); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    HDC m_dc;
    HGDIOBJ m_old;
};

inline void FrameWith(CDC* dc, const CRect& r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    ::FrameRect(*dc, &r, brush);
    DeleteObject(brush);
}

inline void LineWith(CDC* dc, COLORREF color, int x1, int y1, int x2, int y2) {
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    {
        SelectedObject keep(*dc, pen);
        dc->MoveTo(x1, y1);
        dc->LineTo(x2, y2);
    }
    DeleteObject(pen);
}
