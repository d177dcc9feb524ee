#include "gdi/BufferedPaint.h"
#include "gdi/DC.h"
#include "gdi/GdiObject.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// A memory DC over a screen-compatible bitmap, given back when it goes.
struct ScreenCompatibleCanvas {
    CDC screen, dc;
    CBitmap bitmap;
    HGDIOBJ old = nullptr;
    ScreenCompatibleCanvas(int width, int height) {
        screen.Attach(GetDC(nullptr));
        if (dc.CreateCompatibleDC(&screen) && bitmap.CreateCompatibleBitmap(&screen, width, height))
            old = dc.SelectObject(&bitmap);
    }
    ~ScreenCompatibleCanvas() {
        if (old) dc.SelectObject(old);
        ReleaseDC(nullptr, screen.Detach());
    }
};

}  // namespace

TEST(Gdi, MemoryDcPaintsIntoItsBitmapAndGivesEverythingBack) {
    ScreenCompatibleCanvas canvas(20, 10);
    ASSERT_TRUE(canvas.old);
    CDC& memory = canvas.dc;

    CRect all(0, 0, 20, 10);
    memory.FillSolidRect(&all, RGB(255, 255, 255));
    CRect strip(5, 7, 15, 10);
    CBrush red(RGB(255, 0, 0));
    memory.FillRect(&strip, &red);
    CBrush shadow(RGB(0, 0, 128));
    memory.FrameRect(&all, &shadow);
    EXPECT_EQ(memory.GetPixel(10, 8), RGB(255, 0, 0));
    EXPECT_EQ(memory.GetPixel(10, 3), RGB(255, 255, 255));
    EXPECT_EQ(memory.GetPixel(0, 0), RGB(0, 0, 128));
}

TEST(Gdi, PointFontHeightFollowsTheScreenResolutionWhateverTheSign) {
    CFont positive, negative;
    ASSERT_TRUE(positive.CreatePointFont(80, L"Tahoma"));
    ASSERT_TRUE(negative.CreatePointFont(-80, L"Tahoma"));
    LOGFONTW a{}, b{};
    ASSERT_TRUE(positive.GetLogFont(&a));
    ASSERT_TRUE(negative.GetLogFont(&b));
    HDC screen = GetDC(nullptr);
    int expected = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(a.lfHeight, expected);
    EXPECT_EQ(b.lfHeight, expected);
    EXPECT_STREQ(a.lfFaceName, L"Tahoma");
}

// Drawing through a buffer of one rectangle: the target's coordinates, pixels
// and text colour carry over, nothing reaches the target outside the
// rectangle, and the result arrives when the buffer goes.
TEST(Gdi, BufferedAreaDrawsInTheTargetsCoordinatesAndStaysInsideIt) {
    ScreenCompatibleCanvas canvas(60, 40);
    ASSERT_TRUE(canvas.old);
    CDC& target = canvas.dc;
    target.FillSolidRect(CRect(0, 0, 60, 40), RGB(0, 128, 0));
    target.SetTextColor(RGB(255, 0, 0));
    target.SetBkColor(RGB(0, 0, 255));
    {
        CBufferedArea buffer(target, CRect(10, 20, 50, 40));
        ASSERT_NE(buffer.Dc(), target.m_hDC);
        CDC dc;
        dc.Attach(buffer.Dc());
        EXPECT_EQ(dc.GetPixel(12, 22), RGB(0, 128, 0));  // starts as the target
        dc.FillSolidRect(CRect(0, 0, 30, 30), RGB(255, 255, 255));  // reaches outside: clipped
        ::ExtTextOutW(dc, 40, 30, ETO_OPAQUE, nullptr, L"W", 1, nullptr);  // in the target's colours
        dc.Detach();
        EXPECT_EQ(target.GetPixel(15, 25), RGB(0, 128, 0));  // nothing arrives before the end
    }
    EXPECT_EQ(target.GetPixel(15, 25), RGB(255, 255, 255));
    EXPECT_EQ(target.GetPixel(15, 15), RGB(0, 128, 0));
    EXPECT_EQ(target.GetPixel(35, 25), RGB(0, 128, 0));
    std::set<COLORREF> text;
    for (int y = 30; y < 40; ++y)
        for (int x = 40; x < 50; ++x) text.insert(target.GetPixel(x, y));
    EXPECT_TRUE(text.count(RGB(255, 0, 0)) && text.count(RGB(0, 0, 255)));
}
