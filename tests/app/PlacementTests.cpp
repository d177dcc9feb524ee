#include "Placement.h"
#include "Random.h"

#include <gtest/gtest.h>

#include <climits>

TEST(Placement, RememberedRectangleIsUsedAsItStands) {
    EXPECT_EQ(MainWindowPlacement(100, 120, 700, 520), CRect(100, 120, 700, 520));
    // Off to the left or above is still a window the user can move back.
    EXPECT_EQ(MainWindowPlacement(-300, -10, 200, 300), CRect(-300, -10, 200, 300));
}

TEST(Placement, RectangleWithoutAreaOrBeyondAnyScreenTakesTheDefault) {
    const CRect fallback(kDefaultMainWindowRect);
    EXPECT_EQ(MainWindowPlacement(500, 100, 500, 400), fallback);
    EXPECT_EQ(MainWindowPlacement(100, 400, 600, 100), fallback);
    EXPECT_EQ(MainWindowPlacement(INT_MIN, 0, INT_MAX, 500), fallback);
    Random random(7);
    for (int i = 0; i < 2000; ++i) {
        int l = random.Int(INT_MIN, INT_MAX), t = random.Int(INT_MIN, INT_MAX);
        int r = random.Int(INT_MIN, INT_MAX), b = random.Int(INT_MIN, INT_MAX);
        CRect place = MainWindowPlacement(l, t, r, b);
        EXPECT_GT(place.Width(), 0);
        EXPECT_GT(place.Height(), 0);
    }
}
