// Block and inline flow, fonts, style rules, lists and rules on the
// recording canvas: 16 px text is 8 px a character and 16 px a line.
#include "LayoutTestSupport.h"

namespace {

TEST(LayoutFlow, BlocksStackWithCollapsedMarginsAndQuirkyBodyStart) {
    LaidOutPage quirks(L"<body><p id=p>aaa bbb</p><p id=q>ccc</p><div id=d></div><div id=e>x</div></body>");
    EXPECT_EQ(quirks.Box(L"p"), (paint::Rect{8, 8, 792, 24}));  // the first paragraph's own margin is dropped
    EXPECT_EQ(quirks.Box(L"q").top, 40);                          // 16 px between paragraphs, not 32
    EXPECT_EQ(quirks.Box(L"d").Height(), 0);
    EXPECT_EQ(quirks.Box(L"e").top, 56 + 16);                    // the empty DIV lets the margins meet

    LaidOutPage standards(L"<!DOCTYPE html><body><p id=p>aaa</p><p id=q>ccc</p></body>");
    EXPECT_EQ(standards.Box(L"p").top, 16);
    EXPECT_EQ(standards.Box(L"q").top, 48);
}

TEST(LayoutFlow, LinesBreakAtBlanksButNotAtNoBreakSpaces) {
    LaidOutPage page(
        L"<div id=a style='width:80px'>aaa bbb ccc ddd</div>"
        L"<div id=b style='width:80px'>aaa&nbsp;bbb&nbsp;ccc</div>"
        L"<div id=c>a<br>b<br><br>c</div>"
        L"<div id=d style='width:40px'>abcdefghijklmnop</div>"
        L"<div id=e style='width:96px'>  many    blanks   here </div>"
        L"<div id=f style='width:40px'>\u6f22\u5b57\u306e\u6587\u7ae0\u306f\u7a7a\u767d\u304c\u306a\u3044\u3002</div>"
        L"<div id=g style='width:40px'>abc\u6f22\u5b57</div>"
        L"<div id=h style='width:80px'>aaaa bbbb<b>cc</b></div>"
        L"<div id=i style='width:40px'>3-1-2026</div>");
    EXPECT_EQ(page.Box(L"a").Height(), 32);
    EXPECT_EQ(page.Box(L"b").Height(), 16);
    EXPECT_EQ(page.Box(L"c").Height(), 64);
    EXPECT_EQ(page.Box(L"d").Height(), 16);  // one word too long for the line overflows
    page.Paint(page.canvas);
    ASSERT_NE(page.canvas.FindRun(L"many"), nullptr);
    EXPECT_EQ(page.canvas.FindRun(L"many")->x, 8);  // white space at the line's start is dropped
    EXPECT_EQ(page.Box(L"e").Height(), 32);           // "many blanks" then "here"
    EXPECT_EQ(page.Box(L"f").Height(), 48);           // ideographs break anywhere: 5, 5 and 2 a line
    EXPECT_EQ(page.Box(L"g").Height(), 16);
    // A word glued to an element's text moves as a whole: "bbbbcc" leaves "aaaa" behind.
    paint::Rect h = page.Box(L"h");
    EXPECT_EQ(h.Height(), 32);
    ASSERT_NE(page.canvas.FindRun(L"aaaa"), nullptr);
    ASSERT_NE(page.canvas.FindRun(L"bbbb"), nullptr);
    EXPECT_EQ(page.canvas.FindRun(L"bbbb")->x, 8);
    EXPECT_EQ(page.canvas.FindRun(L"bbbb")->y, h.top + 16);
    EXPECT_EQ(page.canvas.FindRun(L"cc")->x, 8 + 32);
    // After a hyphen inside a word, keeping the hyphen: "3-1-" and "2026".
    EXPECT_EQ(page.Box(L"i").Height(), 32);
    ASSERT_NE(page.canvas.FindRun(L"3-1-"), nullptr);
    ASSERT_NE(page.canvas.FindRun(L"2026"), nullptr);
}

TEST(LayoutFlow, PreKeepsBlanksAndLineEndsInAMonospaceFont) {
    LaidOutPage page(L"<pre id=p>a  b\nc</pre><div style='white-space:nowrap;width:16px' id=n>aa bb cc</div>");
    page.Paint(page.canvas);
    const auto* run = page.canvas.FindRun(L"a  b");
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->font.family, L"monospace");
    EXPECT_EQ(run->font.pixelSize, 13);
    EXPECT_EQ(page.Box(L"p").Height(), 2 * (13 - 3 + 3));
    EXPECT_EQ(page.Box(L"n").Height(), 16);
}

TEST(LayoutFlow, AlignmentCentresLinesAndNarrowBlocks) {
    LaidOutPage page(
        L"<div style='width:100px;text-align:center'><span id=s>abcd</span></div>"
        L"<p align=right style='width:100px'><span id=r>ab</span></p>"
        L"<center><table id=t width=200><tr><td>x</td></tr></table></center>"
        L"<div style='width:300px;margin:0 auto' id=m>x</div>");
    EXPECT_EQ(page.Box(L"s").left, 8 + 34);
    EXPECT_EQ(page.Box(L"r").left, 8 + 100 - 16);
    EXPECT_EQ(page.Box(L"t").left, 8 + (784 - 200) / 2);
    EXPECT_EQ(page.Box(L"m").left, 8 + (784 - 300) / 2);
}

TEST(LayoutFlow, OldPagesFollowTheQuirksOfBrowsers) {
    LaidOutPage page(
        L"<html><head><style>.Note { font-size: 32px } #Lead { margin-left: 40px }</style></head><body>"
        L"<p class=note id=n>x</p><div id=lead>x</div>"
        L"<p><tt>t</tt> <font face='DejaVu Sans Mono'>y</font></p>"
        L"<p id=big style='font-size:32px'>x</p><p id=after>x</p>"
        L"<dl id=dl><p></p><dt id=dt>x</dt></dl><ul><li id=empty></li></ul>"
        L"<div style='width:100px'>aaaa <nobr id=nb>bbbb bbbb</nobr></div>"
        L"<table id=full height=100%><tr><td>x</td></tr></table></body></html>");
    page.layout.SetViewportHeight(600);
    page.layout.Layout(800);
    page.Paint(page.canvas);
    // Class and id selectors match whatever their case.
    EXPECT_EQ(page.Box(L"n").Height(), 32);
    EXPECT_EQ(page.Box(L"lead").left, 8 + 40);
    // The generic monospace family alone is 13/16 of the size; a named fixed-pitch face keeps it.
    ASSERT_TRUE(page.canvas.FindRun(L"t") && page.canvas.FindRun(L"y"));
    EXPECT_EQ(page.canvas.FindRun(L"t")->font.pixelSize, 13);
    EXPECT_EQ(page.canvas.FindRun(L"y")->font.pixelSize, 16);
    // Default margins in ems of the element's own size.
    EXPECT_EQ(page.Box(L"after").top - page.Box(L"big").bottom, 32);
    // An empty paragraph takes no room; an empty list item one line.
    EXPECT_EQ(page.Box(L"dt").top, page.Box(L"dl").top);
    EXPECT_EQ(page.Box(L"empty").Height(), 16);
    // The blank before a NOBR run is where the line breaks.
    EXPECT_EQ(page.Box(L"nb").left, 8);
    // A table of height 100 % fills the viewport within BODY's margins.
    EXPECT_EQ(page.Box(L"full").Height(), 600 - 16);
}

TEST(LayoutFlow, FontsFollowFontElementsStyleAttributesAndRules) {
    LaidOutPage page(
        L"<style>p.big { font-size: 20px } #red { color: red } div span { font-weight: bold } .a.b { font-style: italic }"
        L" .k { color: #0000ff } .k2 { color: #00ff00 } p { color: #ff0000 } .k2 * { font-weight: bold }</style>"
        L"<font size=7>seven</font> <font size=+1>plus</font> <font size=1000>huge</font> <font size=1>one</font>"
        L"<font face='Verdana' color=#00ff00>face</font> <b>bold</b> <span style='font-size:12pt'>points</span>"
        L"<p class=big>big</p><p id=red>red</p><div><i><span>deep</span></i></div><p class='b a'>both</p>"
        L"<span style='font-size:100000px'>capped</span><big>big2</big><small>small</small><sub>sub</sub>"
        L"<h1>head</h1><code>code</code><p class='k2\tk k'>order <i>inner</i></p>");
    page.Paint(page.canvas);
    auto font = [&](const wchar_t* text) {
        const auto* run = page.canvas.FindRun(text);
        EXPECT_NE(run, nullptr) << testing::PrintToString(CString(text));
        return run ? *run : RecordingCanvas::Run{};
    };
    EXPECT_EQ(font(L"seven").font.pixelSize, 48);
    EXPECT_EQ(font(L"plus").font.pixelSize, 18);
    EXPECT_EQ(font(L"huge").font.pixelSize, 48);
    EXPECT_EQ(font(L"one").font.pixelSize, 10);
    EXPECT_EQ(font(L"face").font.family, L"Verdana");
    EXPECT_EQ(font(L"face").color, paint::Rgb(0, 255, 0));
    EXPECT_TRUE(font(L"bold").font.bold);
    EXPECT_EQ(font(L"points").font.pixelSize, 16);
    EXPECT_EQ(font(L"big").font.pixelSize, 20);
    EXPECT_EQ(font(L"red").color, paint::Rgb(255, 0, 0));
    EXPECT_TRUE(font(L"deep").font.bold);
    EXPECT_TRUE(font(L"deep").font.italic);
    EXPECT_TRUE(font(L"both").font.italic);
    EXPECT_EQ(font(L"capped").font.pixelSize, layout::kMaxFontSize);
    EXPECT_EQ(font(L"big2").font.pixelSize, 19);
    EXPECT_EQ(font(L"small").font.pixelSize, 13);
    EXPECT_EQ(font(L"sub").font.pixelSize, 13);
    EXPECT_EQ(font(L"head").font.pixelSize, 32);
    EXPECT_TRUE(font(L"head").font.bold);
    EXPECT_EQ(font(L"code").font.pixelSize, 13);
    EXPECT_EQ(font(L"order").color, paint::Rgb(0, 255, 0));  // of two classes the later rule; the tag's is weaker
    EXPECT_FALSE(font(L"order").font.bold);
    EXPECT_TRUE(font(L"inner").font.bold);  // a rule whose subject is any element
}

TEST(LayoutFlow, BoxPropertiesOfTheStyleAttribute) {
    LaidOutPage page(
        L"<div id=a style='width:100px;height:50px;border:2px solid red;padding:3px;margin:10px'>x</div>"
        L"<div id=b style='padding-left:20px; border-left: 5px solid blue; width: 50%'>y</div>");
    EXPECT_EQ(page.Box(L"a"), (paint::Rect{18, 10, 18 + 110, 10 + 60}));  // the body's margin and the DIV's meet
    paint::Rect b = page.Box(L"b");
    EXPECT_EQ(b.Width(), 392 + 25);
    EXPECT_EQ(b.top, 10 + 60 + 10);
    page.Paint(page.canvas);
    EXPECT_EQ(page.canvas.FindRun(L"y")->x, 8 + 25);
}

TEST(LayoutFlow, ListsIndentTheirItemsAndNumberThem) {
    LaidOutPage page(L"<ol start=3><li id=a>x<li id=b>y<li value=10>z</ol><ul><li id=u>u<ul><li>v</ul></ul><ol type=a><li>p<li>q</ol>");
    EXPECT_EQ(page.Box(L"a").left, 48);
    EXPECT_EQ(page.Box(L"b").top, page.Box(L"a").bottom);
    page.Paint(page.canvas);
    EXPECT_NE(page.canvas.FindRun(L"3. "), nullptr);
    EXPECT_NE(page.canvas.FindRun(L"4. "), nullptr);
    EXPECT_NE(page.canvas.FindRun(L"10. "), nullptr);
    EXPECT_NE(page.canvas.FindRun(L"b. "), nullptr);
    EXPECT_LT(page.canvas.FindRun(L"3. ")->x, 48);
}

TEST(LayoutFlow, RulesTakeSizeWidthAlignmentAndColour) {
    LaidOutPage page(
        L"<hr id=a><hr id=b size=6 width=50% align=left><hr id=c width=100 align=right>"
        L"<hr id=d color=#ff0000 size=4 noshade>");
    EXPECT_EQ(page.Box(L"a").Width(), 784);
    EXPECT_EQ(page.Box(L"a").Height(), 2);
    EXPECT_EQ(page.Box(L"b"), (paint::Rect{8, page.Box(L"b").top, 8 + 392 + 2, page.Box(L"b").top + 6}));
    EXPECT_EQ(page.Box(L"c").left, 792 - 102);  // the width leaves out the rule's borders
    page.Paint(page.canvas);
    paint::Rect d = page.Box(L"d");
    bool red = false;
    for (const auto& fill : page.canvas.fills)
        if (fill.rect == d && fill.color == paint::Rgb(255, 0, 0)) red = true;
    EXPECT_TRUE(red);
}

TEST(LayoutFlow, HiddenElementsTakeNoRoomAndUnknownOnesFlowInline) {
    LaidOutPage page(
        L"<head><title>t</title><style>x{}</style></head><body><script>var a;</script><div id=a><blink>one</blink> "
        L"<custom>two</custom></div><span style='display:none'>gone</span><div style='display:none'>gone</div></body>");
    EXPECT_EQ(page.Box(L"a").Height(), 16);
    page.Paint(page.canvas);
    EXPECT_EQ(page.canvas.FindRun(L"gone"), nullptr);
    EXPECT_EQ(page.canvas.FindRun(L"var a;"), nullptr);
    EXPECT_EQ(page.canvas.FindRun(L"t"), nullptr);
    EXPECT_EQ(page.canvas.FindRun(L"two")->x, 8 + 4 * 8);
}

}  // namespace

namespace {

TEST(LayoutFlow, PicturesAlignedLeftOrRightFloatAndTheLinesGoAround) {
    LaidOutPage page(
        L"<div id=d style='width:200px'><img id=l align=left width=50 height=40><img id=r align=right width=30 height=20>"
        L"aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj kkkk</div><div id=e style='width:200px'>x<img id=late align=left "
        L"width=195 height=10>yyyy</div>");
    EXPECT_EQ(page.Box(L"l"), (paint::Rect{8, 8, 58, 48}));
    EXPECT_EQ(page.Box(L"r"), (paint::Rect{178, 8, 208, 28}));
    page.Paint(page.canvas);
    auto at = [&](const wchar_t* text) {
        const auto* run = page.canvas.FindRun(text);
        EXPECT_NE(run, nullptr) << testing::PrintToString(CString(text));
        return run ? std::make_pair(run->x, run->y) : std::make_pair(-1, -1);
    };
    // 3 px between a floating picture and the text beside it.
    EXPECT_EQ(at(L"aaaa bbbb cccc"), std::make_pair(61, 8));  // 114 px beside both floats
    EXPECT_EQ(at(L"dddd eeee ffff"), std::make_pair(61, 24));
    EXPECT_EQ(at(L"gggg hhhh iiii"), std::make_pair(61, 40));  // 147 px beside the left one
    EXPECT_EQ(at(L"jjjj kkkk"), std::make_pair(8, 56));        // below both
    EXPECT_GE(page.Box(L"d").Height(), 40);
    // A float too wide for what is left of its line goes below that line.
    EXPECT_EQ(page.Box(L"late").top, page.Box(L"e").top + 16);
    EXPECT_EQ(page.layout.ElementFromPoint(20, 20), page.ById(L"l"));
}

}  // namespace

namespace {

TEST(LayoutFlow, BlocksThatClearStartBelowTheFloatsOnTheirSide) {
    LaidOutPage page(
        L"<div id=l style='float:left;width:100px;height:40px'></div>"
        L"<div id=r style='float:right;width:50px;height:70px'></div>"
        L"<div id=a>beside</div>"
        L"<div id=cl style='clear:left'>below left</div>"
        L"<div id=cb style='clear:both;margin-top:4px'>below both</div>"
        L"<div id=f1 style='float:left;width:30px;height:10px'></div><div id=f2 style='float:left;clear:left;width:30px;height:10px'></div>"
        L"<div id=cr style='clear:right'>nothing right to clear</div>"
        L"<p id=p><img id=i align=left width=20 height=50>x<br style='clear:both'>after</p>");
    EXPECT_EQ(page.Box(L"l"), (paint::Rect{8, 8, 108, 48}));
    EXPECT_EQ(page.Box(L"r"), (paint::Rect{742, 8, 792, 78}));
    EXPECT_EQ(page.Box(L"a").top, 8);
    EXPECT_EQ(page.Box(L"cl").top, 48);  // its border right below the left float
    EXPECT_EQ(page.Box(L"cb").top, 78);  // below the right one too; its margin is inside the clearance
    EXPECT_EQ(page.Box(L"f1"), (paint::Rect{8, 94, 38, 104}));
    EXPECT_EQ(page.Box(L"f2"), (paint::Rect{8, 104, 38, 114}));  // a float that clears goes below the one before
    EXPECT_EQ(page.Box(L"cr").top, 94);
    page.Paint(page.canvas);
    ASSERT_NE(page.canvas.FindRun(L"after"), nullptr);
    EXPECT_GE(page.canvas.FindRun(L"after")->y, page.Box(L"i").bottom);  // BR styled clear:both
}

TEST(LayoutFlow, OverflowCutsOffHoldsFloatsAndScrollsItsContent) {
    LaidOutPage page(
        L"<div id=o style='overflow:hidden;height:32px;width:100px'><p id=in style='margin:0'>one two three four five six</p></div>"
        L"<div id=bfc style='overflow:auto'><img align=left width=20 height=50></div><div id=v>x</div>");
    const dom::Node& o = *page.ById(L"o");
    layout::ClientArea area = page.layout.Client(o);
    EXPECT_EQ(area.clientHeight, 32);
    EXPECT_EQ(area.scrollHeight, 48);  // three lines
    EXPECT_EQ(page.Box(L"bfc").Height(), 50);  // it holds its float
    EXPECT_EQ(page.layout.ElementScroll(o), std::make_pair(0, 0));
    ASSERT_TRUE(page.layout.ScrollElement(o, 5, 1000));
    EXPECT_EQ(page.layout.ElementScroll(o), std::make_pair(0, 16));  // within its range
    EXPECT_EQ(page.Box(L"in").top, page.Box(L"o").top - 16);
    EXPECT_EQ(page.layout.ElementFromPoint(20, page.Box(L"o").top + 2), page.ById(L"in"));
    EXPECT_EQ(page.layout.Offsets(*page.ById(L"in")).top, page.Box(L"o").top - 16);
    EXPECT_EQ(page.layout.VisibleArea(*page.ById(L"in")->Child(0)), page.Box(L"o"));  // its text shows inside the box only
    EXPECT_LT(page.layout.VisibleArea(*page.ById(L"v")).left, -1000000);
    page.layout.Layout(600);  // the position holds across layouts
    EXPECT_EQ(page.layout.ElementScroll(o), std::make_pair(0, 16));
    EXPECT_FALSE(page.layout.ScrollElement(*page.ById(L"v"), 0, 10));  // it does not clip: no scrolling
    EXPECT_EQ(page.layout.ElementScroll(*page.ById(L"v")), std::make_pair(0, 0));
    page.Paint(page.canvas);
    ASSERT_NE(page.canvas.FindRun(L"three four"), nullptr);
    EXPECT_EQ(page.canvas.FindRun(L"three four")->y, page.Box(L"o").top);

    // Beside a float it keeps out from under it, narrower, where a plain block runs beneath.
    LaidOutPage beside(L"<img id=f align=left width=100 height=60><div id=b style='overflow:hidden'>x</div><div id=p>y</div>");
    EXPECT_EQ(beside.Box(L"b"), (paint::Rect{111, 8, 792, 24}));  // past the float and its 3 px
    EXPECT_EQ(beside.Box(L"p").left, 8);
}

}  // namespace
