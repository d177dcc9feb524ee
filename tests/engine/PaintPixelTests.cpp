// Painting into a memory bitmap through GDI: backgrounds, borders, link
// colour, pictures, and a repaint of part of a scrolled page.
#include "LayoutTestSupport.h"
#include "paint/BitmapCanvas.h"

namespace {

struct PaintedPage {
    PaintedPage(const CString& html, int width, int height, layout::PictureLoader loader = {})
        : bitmap(width, height), document(html::ParseDocument(html)), layout(*document, bitmap, std::move(loader)) {
        layout.Rebuild();
        layout.Layout(width);
        layout.Paint(bitmap, {0, 0, width, height}, 0, 0);
    }
    bool Holds(const paint::Rect& area, paint::Color color) const {
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (bitmap.Pixel(x, y) == color) return true;
        return false;
    }
    paint::Rect Box(const CString& id) const { return *layout.BorderBox(*LaidOutPage::Find(*document, id)); }

    paint::BitmapCanvas bitmap;
    std::shared_ptr<dom::Document> document;
    layout::DocumentLayout layout;
};

TEST(PaintPixels, BackgroundsBordersAndLinksShowTheirColours) {
    PaintedPage page(
        L"<body bgcolor=#ffff00 link=#00aa00><div id=d style='background-color:#0000ff;border:4px solid #ff0000;height:20px'>"
        L"</div><a id=a href='x.htm'>MMMMMMMM</a><table id=t bgcolor=#00ff00><tr><td id=c bgcolor=#ff00ff>cell</td></tr>"
        L"</table><span id=s style='color: white; background-color: darkblue'>mark</span></body>",
        300, 200);
    paint::Rect d = page.Box(L"d");
    EXPECT_EQ(page.bitmap.Pixel(2, 2), paint::Rgb(255, 255, 0));
    EXPECT_EQ(page.bitmap.Pixel(d.left + 1, d.top + 1), paint::Rgb(255, 0, 0));
    EXPECT_EQ(page.bitmap.Pixel(d.left + 10, d.top + 10), paint::Rgb(0, 0, 255));
    EXPECT_TRUE(page.Holds(page.Box(L"a"), paint::Rgb(0, 0xAA, 0)));  // underline in the body's link colour
    paint::Rect t = page.Box(L"t"), c = page.Box(L"c");
    EXPECT_EQ(page.bitmap.Pixel(t.left, t.top), paint::Rgb(0, 255, 0));
    EXPECT_EQ(page.bitmap.Pixel(c.left, c.top), paint::Rgb(255, 0, 255));
    paint::Rect s = page.Box(L"s");
    EXPECT_EQ(page.bitmap.Pixel(s.left, s.top), paint::Rgb(0, 0, 139));  // a search hit, white on dark blue
    EXPECT_TRUE(page.Holds(s, paint::Rgb(255, 255, 255)));
    EXPECT_GT(page.Box(L"a").Width(), 8 * 8);  // real glyph widths from GDI
}

TEST(PaintPixels, AFramedInlineElementDrawsItsSidesOnItsFirstAndLastLines) {
    PaintedPage page(
        L"<body style='margin:10px'><div style='width:120px'>x<span id=f style='border:3px solid #ff0000;padding:0 5px;"
        L"background-color:#00ff00;margin-left:10px'>words that wrap over lines</span>y</div></body>",
        200, 200);
    paint::Rect f = page.Box(L"f");
    auto Lines = page.layout.TextRects(*LaidOutPage::Find(*page.document, L"f"));
    ASSERT_GE(Lines.size(), 2u);
    const paint::Rect first = Lines.front(), last = Lines.back();
    // Margin, border and padding push the text right on the first line.
    EXPECT_GE(first.left, f.left + 8);
    EXPECT_EQ(page.bitmap.Pixel(first.left - 7, first.top + 2), paint::Rgb(255, 0, 0));     // left side
    EXPECT_EQ(page.bitmap.Pixel(first.left - 2, first.top + 2), paint::Rgb(0, 255, 0));     // padding
    EXPECT_EQ(page.bitmap.Pixel(first.left + 1, first.top - 1), paint::Rgb(255, 0, 0));     // top, every line
    EXPECT_EQ(page.bitmap.Pixel(last.left + 1, last.bottom + 1), paint::Rgb(255, 0, 0));   // bottom, every line
    EXPECT_NE(page.bitmap.Pixel(last.left - 7, last.top + 2), paint::Rgb(255, 0, 0));      // no left side on a later line
    EXPECT_EQ(page.bitmap.Pixel(last.right + 6, last.top + 2), paint::Rgb(255, 0, 0));     // right side on the last
}

TEST(PaintPixels, AFloatShowsAboveTheBackgroundOfTheBlockItReachesInto) {
    PaintedPage page(L"<body><table id=t align=left bgcolor=#00ff00 width=60 height=60><tr><td></td></tr></table>"
                     L"<div id=d style='background-color:#0000ff'>beside the table</div></body>",
                     300, 200);
    paint::Rect t = page.Box(L"t"), d = page.Box(L"d");
    ASSERT_LT(d.top, t.bottom);  // the block lies beside the table, not below it
    EXPECT_EQ(page.bitmap.Pixel(t.left + 5, d.top + 2), paint::Rgb(0, 255, 0));
    EXPECT_EQ(page.bitmap.Pixel(t.right + 60, d.top + 2), paint::Rgb(0, 0, 255));
}

TEST(PaintPixels, PicturesDrawTheirPixelsAndBrokenOnesAFrame) {
    auto picture = std::make_shared<paint::Picture>();
    picture->width = 2;
    picture->height = 2;
    picture->pixels = {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0x00FFFFFFu};  // BGRA: red, green / blue, white
    layout::PictureLoader loader = [&](const CString& source) -> paint::PicturePtr {
        return source == L"pic.png" ? picture : nullptr;
    };
    PaintedPage page(L"<body background='#606666'><img id=i src='pic.png' width=20 height=20><img id=m src='missing.png' "
                     L"alt='gone' width=60 height=30><table id=t background='pic.png' width=40 height=20 cellspacing=0><tr><td>"
                     L"</td></tr></table></body>",
                     200, 100, loader);
    EXPECT_EQ(page.bitmap.Pixel(1, 1), paint::Rgb(255, 255, 255));  // a colour where a picture belongs is ignored
    paint::Rect t = page.Box(L"t");
    EXPECT_EQ(page.bitmap.Pixel(t.left + 2, t.top + 2), paint::Rgb(255, 0, 0));  // tiled at its own size from the corner
    EXPECT_EQ(page.bitmap.Pixel(t.left + 3, t.top + 2), paint::Rgb(0, 255, 0));
    EXPECT_EQ(page.bitmap.Pixel(t.left + 3, t.top + 3), paint::Rgb(255, 255, 255));
    paint::Rect i = page.Box(L"i");
    EXPECT_EQ(i.Width(), 20);
    EXPECT_EQ(page.bitmap.Pixel(i.left + 2, i.top + 2), paint::Rgb(255, 0, 0));
    EXPECT_EQ(page.bitmap.Pixel(i.left + 15, i.top + 2), paint::Rgb(0, 255, 0));
    EXPECT_EQ(page.bitmap.Pixel(i.left + 2, i.top + 15), paint::Rgb(0, 0, 255));
    paint::Rect m = page.Box(L"m");
    EXPECT_EQ(m.Width(), 60);
    EXPECT_EQ(page.bitmap.Pixel(m.left, m.top + 10), paint::Rgb(192, 192, 192));
}

TEST(PaintPixels, ARepaintOfAScrolledRegionMatchesAFullPaint) {
    CString html = L"<body>";
    for (int i = 0; i < 60; ++i) {
        CString line;
        line.Format(L"<div style='background-color:#%02x%02x00;height:20px'>line %d</div>", i * 4, 255 - i * 4, i);
        html += line;
    }
    PaintedPage page(html, 200, 100);
    paint::BitmapCanvas full(200, 100), part(200, 100);
    page.layout.Paint(full, {0, 300, 200, 400}, 0, 300);
    page.layout.Paint(part, {0, 300, 200, 400}, 0, 300);
    page.layout.Paint(part, {0, 340, 200, 360}, 0, 300);  // one invalidated band
    for (int y = 0; y < 100; y += 7)
        for (int x = 0; x < 200; x += 13) ASSERT_EQ(part.Pixel(x, y), full.Pixel(x, y)) << x << "," << y;
    EXPECT_EQ(full.Pixel(150, 5), paint::Rgb(4 * 14, 255 - 4 * 14, 0));  // page y 305 lies in line 14 (8 + 14 * 20 = 288)
}

TEST(PaintPixels, AnElementThatClipsShowsWhatItsScrollPositionBringsIntoView) {
    PaintedPage page(
        L"<body style='margin:0'><div id=o style='overflow:hidden;height:20px;width:100px;margin-bottom:30px'>"
        L"<div style='height:20px;background-color:#ff0000'></div><div id=g style='height:20px;background-color:#00ff00'></div></div>"
        L"<div style='height:10px;background-color:#0000ff'></div></body>",
        200, 100);
    const paint::Color white = paint::Rgb(255, 255, 255);
    EXPECT_EQ(page.bitmap.Pixel(50, 10), paint::Rgb(255, 0, 0));
    EXPECT_EQ(page.bitmap.Pixel(50, 30), white);  // the green block lies beyond the clip
    ASSERT_TRUE(page.layout.ScrollElement(*LaidOutPage::Find(*page.document, L"o"), 0, 500));
    page.layout.Paint(page.bitmap, {0, 0, 200, 100}, 0, 0);
    EXPECT_EQ(page.bitmap.Pixel(50, 10), paint::Rgb(0, 255, 0));  // scrolled to its end, 20 px
    EXPECT_EQ(page.bitmap.Pixel(50, 30), white);
    EXPECT_EQ(page.bitmap.Pixel(50, 55), paint::Rgb(0, 0, 255));
    EXPECT_EQ(page.layout.ElementFromPoint(50, 10), LaidOutPage::Find(*page.document, L"g"));
}

}  // namespace
