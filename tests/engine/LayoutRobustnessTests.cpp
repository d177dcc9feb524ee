// Hostile pages lay out and paint without a crash, a hang or unbounded
// memory; so does every page of the shared html5lib corpus.
#include "LayoutTestSupport.h"
#include "Random.h"
#include "paint/BitmapCanvas.h"

#include <filesystem>
#include <fstream>

namespace {

void LayOutAndPaint(const CString& html, int width = 800) {
    LaidOutPage page(html, width);
    paint::BitmapCanvas bitmap(400, 300);
    page.layout.Paint(bitmap, {0, 0, 400, 300}, 0, 0);
    page.layout.Paint(bitmap, {0, 0, 400, 300}, 0, std::max(0, page.layout.ContentHeight() - 300));
    page.layout.HitTest(200, 150);
    page.layout.Layout(width / 3);
    EXPECT_GE(page.layout.ContentHeight(), 0);
}

CString Repeat(const wchar_t* text, int count) {
    CString result;
    result.str().reserve(wcslen(text) * static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) result += text;
    return result;
}

TEST(LayoutRobustness, DeepNestingHugeTablesAndLongTextStayBounded) {
    LayOutAndPaint(Repeat(L"<div>", 100000) + L"deep");
    LayOutAndPaint(Repeat(L"<b>", 100000) + L"deep");
    LayOutAndPaint(Repeat(L"<table><tr><td>", 30000) + L"deep");
    LayOutAndPaint(L"<table border=1>" + Repeat(L"<tr><td>cell</td><td>more text</td></tr>", 10000) + L"</table>");
    LayOutAndPaint(L"<p>" + Repeat(L"word ", 5 * 1000 * 1000) + L"</p>");  // 25 M characters: 50 MB of text
    LayOutAndPaint(L"<p>" + CString(L'x', 5 * 1000 * 1000) + L"</p>");
    LayOutAndPaint(L"<pre>" + CString(L'y', 1000 * 1000) + L"</pre>");

    // Trees built through the interfaces are not capped as parsed ones are:
    // blocks and inline elements 30,000 deep, appended one inside the other.
    for (const wchar_t* tag : {L"div", L"span"}) {
        LaidOutPage page(L"<p>x</p>");
        dom::Node* parent = page.document->Body();
        for (int i = 0; i < 30000; ++i) {
            auto element = page.document->CreateElement(tag);
            parent->AppendChild(element);
            parent = element.get();
        }
        parent->AppendChild(page.document->CreateText(L"deep"));
        page.layout.Rebuild();
        page.layout.Layout(800);
        paint::BitmapCanvas bitmap(400, 300);
        page.layout.Paint(bitmap, {0, 0, 400, 300}, 0, 0);
        page.layout.HitTest(20, 10);
        EXPECT_GT(page.layout.ContentHeight(), 0);
    }
}

TEST(LayoutRobustness, AbsurdSizesAreClamped) {
    LaidOutPage page(
        L"<table id=z width=0 height=0></table><table id=w width=1000000><tr><td>x</td></tr></table>"
        L"<font size=1000 id=f>big</font><font size=-1000>small</font><div style='width:99999999999px;font-size:1e30px'>x</div>"
        L"<img id=i width=2000000000 height=2000000000><td colspan=100000 rowspan=100000>x</td>"
        L"<table><tr><td colspan=99999>a</td></tr><tr><td rowspan=0>b</td></tr></table><hr size=999999999>");
    EXPECT_EQ(page.Box(L"z").Height(), 0);
    EXPECT_LE(page.Box(L"w").Width(), 1 << 28);
    page.Paint(page.canvas);
    EXPECT_EQ(page.canvas.FindRun(L"big")->font.pixelSize, 48);
    paint::BitmapCanvas bitmap(100, 100);
    page.layout.Paint(bitmap, {0, 0, 100, 100}, 0, 0);
}

TEST(LayoutRobustness, APictureThatLiesAboutItsSizeShowsAsABrokenPicture) {
    auto liar = std::make_shared<paint::Picture>();
    liar->width = 100000;
    liar->height = 100000;  // far beyond 64 megapixels, with no pixels behind it
    auto shortPixels = std::make_shared<paint::Picture>();
    shortPixels->width = 50;
    shortPixels->height = 50;
    shortPixels->pixels.resize(10);
    layout::PictureLoader loader = [&](const CString& source) -> paint::PicturePtr { return source == L"a" ? liar : shortPixels; };
    LaidOutPage page(L"<img id=a src=a alt=broken><img id=b src=b>", 800, loader);
    EXPECT_LT(page.Box(L"a").Width(), 200);
    paint::BitmapCanvas bitmap(200, 100);
    page.layout.Paint(bitmap, {0, 0, 200, 100}, 0, 0);
}

// Tag soup with the attributes and style properties the engine reads, given values that are
// wrong, huge, negative or empty, laid out at random widths, painted, hit and reached by caret.
TEST(LayoutRobustness, RandomTagSoupWithHostileValues) {
    const std::vector<CString> tags{L"div", L"p", L"span", L"b", L"font", L"table", L"tr", L"td", L"th", L"ul", L"ol", L"li",
                                    L"img", L"hr", L"br", L"pre", L"center", L"a", L"input", L"select", L"option", L"textarea",
                                    L"caption", L"sub", L"h1", L"blockquote", L"tbody", L"nobr", L"x-custom"};
    const std::vector<CString> attributes{L"width", L"height", L"size", L"colspan", L"rowspan", L"cellpadding", L"cellspacing",
                                          L"border", L"align", L"valign", L"color", L"bgcolor", L"face", L"start", L"value",
                                          L"hspace", L"vspace", L"nowrap", L"type", L"src", L"background", L"href", L"cols", L"rows"};
    const std::vector<CString> values{L"0", L"-5", L"1e9", L"100%", L"999999999999", L"+7", L"abc", L"", L"left", L"right",
                                      L"center", L"#fff", L"rgb(1,2", L"50%", L"3px", L"a", L"I", L"\u6f22\u5b57"};
    const std::vector<CString> styles{L"width:-10px", L"margin:-50px auto", L"padding:1e8px", L"font-size:0", L"font-size:-3em",
                                      L"border:99999px solid", L"display:table", L"display:inline-block", L"white-space:pre",
                                      L"float:left", L"height:100%", L"display:none", L"vertical-align:sub", L"margin:1px 2px 3px 4px 5px",
                                      L"list-style-type:upper-roman", L"text-align:right", L"border-left:3px"};
    uint32_t seed = 20261208;
    Random random(seed);
    RecordingCanvas canvas;
    paint::BitmapCanvas bitmap(300, 300);
    for (int page = 0; page < 2000; ++page) {
        CString html;
        int elements = random.Int(1, 60);
        for (int i = 0; i < elements; ++i) {
            if (random.Chance(30)) {
                html += L"</" + random.Pick(tags) + L">";
                continue;
            }
            html += L"<" + random.Pick(tags);
            for (int a = random.Int(0, 3); a > 0; --a) html += L" " + random.Pick(attributes) + L"='" + random.Pick(values) + L"'";
            if (random.Chance(30)) html += L" style='" + random.Pick(styles) + L";" + random.Pick(styles) + L"'";
            html += L">";
            if (random.Chance(60)) html += random.Chance(20) ? random.HostileText(40) : CString(L"word text ");
        }
        auto document = html::ParseDocument(html);
        layout::DocumentLayout layout(*document, canvas);
        int width = random.Int(0, 1200);
        layout.Rebuild(width);
        layout.Paint(canvas, {0, 0, 400, 400}, 0, random.Int(0, 100));
        for (int probe = 0; probe < 5; ++probe) {
            layout::HitPoint hit = layout.HitTest(random.Int(-10, 800), random.Int(-10, 800));
            if (hit.node && hit.node->IsText()) layout.CaretRect(*hit.node, hit.offset);
            if (hit.element) layout.Offsets(*hit.element);
        }
        layout.PageBreaks(random.Int(1, 500));
        layout.Layout(random.Int(0, 1200));
        if (page % 10 == 0) layout.Paint(bitmap, {0, 0, 300, 300}, 0, 0);  // through GDI as well
        ASSERT_GE(layout.ContentHeight(), 0) << "seed " << seed << " page " << page;
    }
}

TEST(LayoutRobustness, EveryCorpusPageLaysOutAndPaints) {
    const char* root = std::getenv("TARVELO_CORPUS");
    std::filesystem::path folder = root ? std::filesystem::path(root) / "html5lib-tree-construction" : std::filesystem::path();
    if (!root || !std::filesystem::is_directory(folder)) GTEST_SKIP() << "html5lib corpus not found (TARVELO_CORPUS)";
    RecordingCanvas canvas;
    int pages = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".dat") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::string line, data;
        bool inData = false;
        auto run = [&]() {
            CString text;
            for (unsigned char c : data) text += static_cast<wchar_t>(c);  // bytes are enough to build odd trees
            auto document = html::ParseDocument(text);
            layout::DocumentLayout layout(*document, canvas);
            layout.Rebuild();
            layout.Layout(300);
            layout.Paint(canvas, {0, 0, 300, 300}, 0, 0);
            layout.HitTest(10, 10);
            ++pages;
        };
        while (std::getline(in, line)) {
            if (line == "#data") inData = true, data.clear();
            else if (line == "#errors" && inData) inData = false, run();
            else if (inData) data += (data.empty() ? "" : "\n") + line;
        }
    }
    EXPECT_GT(pages, 1000);
}

}  // namespace
