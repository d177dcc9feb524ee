#include "Placement.h"

CRect MainWindowPlacement(int left, int top, int right, int bottom) {
    // Computed in 64 bits: values read from the registry may be anything.
    long long width = static_cast<long long>(right) - left;
    long long height = static_cast<long long>(bottom) - top;
    if (width <= 0 || height <= 0 || width > 0x7FFF || height > 0x7FFF) return CRect(kDefaultMainWindowRect);
    return CRect(left, top, right, bottom);
}
