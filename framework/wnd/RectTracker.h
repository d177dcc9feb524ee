// CRectTracker: moves or sizes a rectangle with the mouse. Track runs a
// loop of its own (mouse captured on the window given) that shows the
// rectangle as an inverted outline while it moves, and answers whether it
// changed; Esc, the right button or a lost capture cancel. Derived trackers
// limit the rectangle (AdjustRect) or draw it their own way (DrawTrackerRect);
// TrackHandle tracks one handle (a corner, a side or the whole rectangle).
#pragma once
#include "gdi/DC.h"
#include "wnd/Wnd.h"

// The halftone brush of drag outlines (one process-wide brush, never deleted).
HBRUSH AfxGetHalftoneBrush();
// Inverts the outline of `rect` (thickness size.cx across, size.cy down) with the halftone brush;
// inverting it again takes it away.
void AfxInvertDragFrame(HDC dc, const RECT& rect, SIZE size);

class CRectTracker {
public:
    enum StyleFlags { solidLine = 1, dottedLine = 2, hatchedBorder = 4, resizeInside = 8, resizeOutside = 16, hatchInside = 32 };
    enum TrackerHit {
        hitNothing = -1,
        hitTopLeft = 0,
        hitTopRight = 1,
        hitBottomRight = 2,
        hitBottomLeft = 3,
        hitTop = 4,
        hitRight = 5,
        hitBottom = 6,
        hitLeft = 7,
        hitMiddle = 8,
    };

    CRectTracker() = default;
    CRectTracker(LPCRECT rect, UINT style) : m_rect(*rect), m_nStyle(style) {}
    virtual ~CRectTracker() = default;

    CRect m_rect;           // in the client coordinates of the tracking window
    UINT m_nStyle = 0;
    CSize m_sizeMin{4, 4};  // a sized rectangle keeps at least this size
    int m_nHandleSize = 4;

    // Moves the whole rectangle with the mouse from `point` (client coordinates of `wnd`).
    // The outline is drawn in `clipTo`'s coordinates when given, else in `wnd`'s.
    BOOL Track(CWnd* wnd, CPoint point, BOOL allowInvert = FALSE, CWnd* clipTo = nullptr);
    // The handle under a point: a corner, a side, the middle, or hitNothing.
    int HitTest(CPoint point) const;

    virtual void DrawTrackerRect(LPCRECT rect, CWnd* clipTo, CDC* dc, CWnd* wnd);
    // Keeps a rectangle that handle `handle` moved to the tracker's rules.
    virtual void AdjustRect(int handle, LPRECT rect);
    virtual void OnChangedRect(const CRect&) {}

protected:
    // Tracks one handle (a TrackerHit value) from `point`; answers whether the rectangle changed.
    virtual BOOL TrackHandle(int handle, CWnd* wnd, CPoint point, CWnd* clipTo);
    // The rectangle `handle` gives when the mouse moved by (dx, dy) from where it started.
    static CRect MovedRect(const CRect& start, int handle, int dx, int dy);

    BOOL m_bAllowInvert = FALSE;
    CRect m_rectLast;
};
