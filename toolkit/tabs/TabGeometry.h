// Rectangle helpers of the tab windows.
#pragma once
#include <windows.h>

// Shrinks a rectangle by `offset` on every side; a side not longer than twice the offset collapses.
inline void ShrinkByOffset(RECT& r, int offset) {
    if (r.right - r.left > 2 * offset) {
        r.left += offset;
        r.right -= offset;
    } else {
        r.right = r.left;
    }
    if (r.bottom - r.top > 2 * offset) {
        r.top += offset;
        r.bottom -= offset;
    } else {
        r.bottom = r.top;
    }
}
