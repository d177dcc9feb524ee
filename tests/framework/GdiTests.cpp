#include "gdi/DC.h"
#include "gdi/GdiObject.h"

#include <gtest/gtest.h>

TEST(Gdi, MemoryDcPaintsIntoItsBitmapAndGivesEverythingBack) {
    CDC screen;
    screen.Attach(GetDC(nullptr));
    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(&screen));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 20, 10));
    HGDIOBJ old = memory.SelectObject(&bitmap);

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
    memory.SelectObject(old);
    ReleaseDC(nullptr, screen.Detach());
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
