// Tables by the automatic algorithm, and the geometry the page answers:
// offsets, the element at a point, the character at a point and back.
#include "LayoutTestSupport.h"

namespace {

TEST(LayoutTable, ColumnsTakeTheirContentWidthsWithSpacingPaddingAndBorders) {
    LaidOutPage page(
        L"<table id=t border=1 cellspacing=2 cellpadding=3><tr><td id=a>aaaa</td><td id=b>bb</td></tr>"
        L"<tr><td id=c colspan=2>cccccccccccccccc</td></tr></table>");
    // Cell a: 32 px of text, 3 px of padding and a 1 px border each side.
    paint::Rect a = page.Box(L"a"), b = page.Box(L"b"), c = page.Box(L"c"), t = page.Box(L"t");
    EXPECT_EQ(a.left, 8 + 1 + 2);
    EXPECT_EQ(a.Height(), 16 + 8);
    EXPECT_EQ(b.left, a.right + 2);
    EXPECT_EQ(c.Width(), 128 + 8);                      // the spanning cell widens the columns
    EXPECT_EQ(c.Width(), b.right - a.left);
    EXPECT_EQ(t.Width(), c.Width() + 2 * 2 + 2 * 1);
    EXPECT_EQ(t.Height(), 1 + 2 + 24 + 2 + 24 + 2 + 1);
    EXPECT_EQ(c.top, a.bottom + 2);
}

TEST(LayoutTable, WidthsInPixelsAndPercentSpreadTheRoomByContent) {
    LaidOutPage page(
        L"<table id=t width=100% cellspacing=0 cellpadding=0><tr><td id=a>aaaa</td><td id=b>aaaaaaaaaaaa</td></tr></table>"
        L"<table id=u width=300 cellspacing=0 cellpadding=0><tr><td id=c width=50>a</td><td id=d>b</td></tr></table>"
        L"<table id=v cellspacing=0 cellpadding=0 style='width:200px'><tr><td id=e width=25%>a</td><td>b</td></tr></table>"
        L"<div style='width:100px'><table id=w cellspacing=0 cellpadding=0><tr><td id=f>aaaa aaaa aaaa aaaa</td>"
        L"<td id=g>bbbbbbbb</td></tr></table></div>");
    EXPECT_EQ(page.Box(L"t").Width(), 784);
    EXPECT_EQ(page.Box(L"a").Width(), 784 / 4);  // extra room in proportion to the widest content
    EXPECT_EQ(page.Box(L"c").Width(), 50);
    EXPECT_EQ(page.Box(L"d").Width(), 250);
    EXPECT_EQ(page.Box(L"e").Width(), 50);
    // Too narrow for the longest lines: the wrapping column gives way, the other keeps its word.
    EXPECT_EQ(page.Box(L"g").Width(), 64);
    EXPECT_EQ(page.Box(L"f").Width(), 36);
    EXPECT_GE(page.Box(L"w").Width(), 100);
}

TEST(LayoutTable, RowsTakeTheTallestCellAndCellsAlignTheirContent) {
    LaidOutPage page(
        L"<table cellspacing=0 cellpadding=0><tr><td id=a>a<br>b<br>c</td><td id=b><span id=m>m</span></td>"
        L"<td valign=top><span id=t>t</span></td><td valign=bottom><span id=o>o</span></td><td rowspan=2 id=r>r</td></tr>"
        L"<tr bgcolor=red><td id=n height=40>n</td></tr></table>");
    EXPECT_EQ(page.Box(L"b").Height(), 48);
    EXPECT_EQ(page.Box(L"m").top, page.Box(L"a").top + 16);
    EXPECT_EQ(page.Box(L"t").top, page.Box(L"a").top);
    EXPECT_EQ(page.Box(L"o").top, page.Box(L"a").top + 32);
    EXPECT_EQ(page.Box(L"n").Height(), 40);
    EXPECT_EQ(page.Box(L"r").Height(), 88);
}

TEST(LayoutTable, CellsAskingMoreThanTheTableHasShareItAndSpansShareTheirWidthAndHeight) {
    LaidOutPage page(
        L"<table cellspacing=0 cellpadding=0 width=400><tr><td id=a width=300>a</td><td id=b width=200>b</td>"
        L"<td id=c width=100>c</td></tr></table>"
        L"<table cellspacing=0 cellpadding=0><tr><td colspan=3 width=300>x</td></tr>"
        L"<tr><td id=f width=50>x</td><td id=g>yy</td><td id=h>z</td></tr></table>"
        L"<table cellspacing=0 cellpadding=0><tr><td id=s rowspan=2 height=90>s</td><td id=r1 height=20>1</td></tr>"
        L"<tr><td id=r2 height=10>2</td></tr></table>"
        L"<table id=k border=1 cellpadding=0 style='border-collapse:collapse'><tr><td id=k1>a</td><td id=k2>b</td></tr>"
        L"<tr><td id=k3>c</td><td>d</td></tr></table>");
    // Fixed widths beyond the table: each column keeps its content and gets the same share of
    // what it asked beyond that (8 px each, then 376 of the 576 asked beyond).
    EXPECT_EQ(page.Box(L"a").Width(), 8 + 292 * 376 / 576);
    EXPECT_EQ(page.Box(L"b").Width(), 8 + 192 * 376 / 576);
    EXPECT_EQ(page.Box(L"a").Width() + page.Box(L"b").Width() + page.Box(L"c").Width(), 400);
    // A spanning cell's width: the fixed column keeps its own, the others share the rest by content.
    EXPECT_EQ(page.Box(L"f").Width(), 50);
    EXPECT_EQ(page.Box(L"g").Width(), 250 * 16 / 24);
    EXPECT_EQ(page.Box(L"f").Width() + page.Box(L"g").Width() + page.Box(L"h").Width(), 300);
    // A row spanning cell's height goes to its rows in proportion to theirs (20 and 16 of 90).
    EXPECT_EQ(page.Box(L"r1").Height(), 20 + 54 * 20 / 36);
    EXPECT_EQ(page.Box(L"r1").Height() + page.Box(L"r2").Height(), 90);
    // Collapsed borders count once: of each 1 px border the box on the left (or above) takes it.
    EXPECT_EQ(page.Box(L"k1").Width(), 8 + 1);
    EXPECT_EQ(page.Box(L"k2").Width(), 8 + 1);
    EXPECT_EQ(page.Box(L"k3").Height(), 16 + 1);
    EXPECT_EQ(page.Box(L"k").Width(), 1 + 9 + 9);
    EXPECT_EQ(page.Box(L"k").Height(), 1 + 17 + 17);
}

TEST(LayoutTable, NestedTablesAndTheQuirkThatTablesKeepTheDefaultFont) {
    LaidOutPage page(
        L"<font size=7><table><tr><td id=o><table id=i border=1><tr><td>inner</td></tr></table></td></tr></table></font>");
    page.Paint(page.canvas);
    ASSERT_NE(page.canvas.FindRun(L"inner"), nullptr);
    EXPECT_EQ(page.canvas.FindRun(L"inner")->font.pixelSize, 16);
    paint::Rect o = page.Box(L"o"), i = page.Box(L"i");
    EXPECT_TRUE(o.left < i.left && i.right < o.right && o.top < i.top && i.bottom < o.bottom);
}

TEST(LayoutGeometry, OffsetsAreRelativeToTheOffsetParent) {
    LaidOutPage page(
        L"<body><p id=p>text <b id=b>bold</b></p><table id=t border=1 cellspacing=2><tr><td id=c><span id=s>x</span>"
        L"</td></tr></table></body>");
    layout::OffsetBox p = page.Offsets(L"p");
    EXPECT_EQ(p.parent, page.document->Body());
    EXPECT_EQ(p.left, 8);
    EXPECT_EQ(p.top, 8);
    EXPECT_EQ(p.width, 784);
    layout::OffsetBox b = page.Offsets(L"b");
    EXPECT_EQ(b.left, 8 + 5 * 8);
    EXPECT_EQ(b.width, 32);
    EXPECT_EQ(b.height, 16);
    layout::OffsetBox c = page.Offsets(L"c");
    EXPECT_EQ(c.parent, page.ById(L"t"));
    EXPECT_EQ(c.left, 2);
    layout::OffsetBox s = page.Offsets(L"s");
    EXPECT_EQ(s.parent, page.ById(L"c"));
    EXPECT_EQ(s.left, 1);
    layout::OffsetBox body = page.layout.Offsets(*page.document->Body());
    EXPECT_EQ(body.parent, nullptr);
    EXPECT_EQ(body.top, 0);
}

TEST(LayoutGeometry, PointsFindNodesAndOffsetsAndCaretsComeBack) {
    LaidOutPage page(L"<p id=p>hello <a id=a href=x>world</a></p><div id=d style='height:50px'></div>");
    const dom::Node* hello = page.ById(L"p")->FirstChild();
    const dom::Node* world = page.ById(L"a")->FirstChild();
    layout::HitPoint hit = page.layout.HitTest(8 + 2 * 8 + 1, 10);
    EXPECT_EQ(hit.node, hello);
    EXPECT_EQ(hit.offset, 2);
    hit = page.layout.HitTest(8 + 2 * 8 + 5, 10);  // the right half of the "l" counts as after it
    EXPECT_EQ(hit.offset, 3);
    hit = page.layout.HitTest(8 + 7 * 8 + 1, 10);
    EXPECT_EQ(hit.node, world);
    EXPECT_EQ(hit.offset, 1);
    EXPECT_EQ(hit.element, page.ById(L"a"));
    EXPECT_EQ(page.layout.ElementFromPoint(8 + 7 * 8 + 1, 10), page.ById(L"a"));
    EXPECT_EQ(page.layout.ElementFromPoint(20, page.Box(L"d").top + 10), page.ById(L"d"));
    EXPECT_EQ(page.layout.ElementFromPoint(-1, 5), nullptr);
    auto caret = page.layout.CaretRect(*world, 1);
    ASSERT_TRUE(caret.has_value());
    EXPECT_EQ(caret->left, 8 + 7 * 8);
    EXPECT_EQ(caret->Height(), 16);
    hit = page.layout.HitTest(caret->left + 1, caret->top + 1);
    EXPECT_EQ(hit.node, world);
    EXPECT_EQ(hit.offset, 1);
    // Beyond the end of the line: the end of its last text.
    hit = page.layout.HitTest(700, 10);
    EXPECT_EQ(hit.node, world);
    EXPECT_EQ(hit.offset, 5);
}

}  // namespace
