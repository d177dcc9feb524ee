// The engine's layout of the reference pages against what headless Chromium
// measured on them (tools/layout_reference.py writes reference/layout.txt):
// block boxes and form controls within 2 px, framed inline elements within 3 px, table cell
// widths within 3 px or 2 %, the same number of text lines, links within 2 px. Prints the
// agreement per kind of page and per set: the engine's own pages ("base"), the presentational
// pages its rules were built against ("fitted") and those kept apart from that ("held-out";
// their misses print only with TARVELO_SHOW_HELD_OUT set).
#include "LayoutTestSupport.h"
#include "paint/BitmapCanvas.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

namespace {

// Per cent of the engine's own pages, and of the presentational pages the rules were built against.
constexpr int kBlockFloor = 96, kCellFloor = 98, kLineFloor = 97;
constexpr int kFittedBlockFloor = 97, kFittedCellFloor = 92, kFittedLineFloor = 99;

struct Measured {
    int index;
    std::string tag, display;
    int left, top, width, height, lines;
};

struct ReferencePage {
    std::string name;
    std::string set = "base";
    int width = 800;
    int height = 600;
    std::vector<Measured> elements;
};

std::vector<ReferencePage> LoadReference(const std::string& file) {
    std::vector<ReferencePage> pages;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string kind;
        fields >> kind;
        if (kind == "page") {
            pages.emplace_back();
            fields >> pages.back().name >> pages.back().width;
            if (std::string set; fields >> set) pages.back().set = set;
            fields >> pages.back().height;
        } else if (kind == "e" && !pages.empty()) {
            Measured m;
            fields >> m.index >> m.tag >> m.display >> m.left >> m.top >> m.width >> m.height >> m.lines;
            pages.back().elements.push_back(m);
        }
    }
    return pages;
}

CString ReadUtf8(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    CString text;
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.GetBufferSetLength(length), length);
    return text;
}

void CollectElements(const dom::Node& node, std::vector<const dom::Node*>& out) {
    for (const auto& child : node.Children())
        if (child->IsElement()) {
            out.push_back(child.get());
            CollectElements(*child, out);
        }
}

// Lines as the reference counts them: text rectangles in order of their top;
// one that starts above the bottom of the line so far belongs to that line.
int CountLines(std::vector<paint::Rect> rects) {
    std::sort(rects.begin(), rects.end(), [](const paint::Rect& a, const paint::Rect& b) { return a.top < b.top; });
    int count = 0, bottom = -1000000000;
    for (const auto& r : rects) {
        if (r.top >= bottom - 2) ++count, bottom = r.bottom;
        else bottom = std::max(bottom, r.bottom);
    }
    return count;
}

// The kind of page, for the agreement figures: its name up to the first dash.
std::string Construct(const std::string& page) { return page.substr(0, page.find('-')); }

struct Tally {
    int boxes = 0, boxesOk = 0, cells = 0, cellsOk = 0, lines = 0, linesOk = 0, links = 0, linksOk = 0;
    void Add(const Tally& t) {
        boxes += t.boxes, boxesOk += t.boxesOk, cells += t.cells, cellsOk += t.cellsOk;
        lines += t.lines, linesOk += t.linesOk, links += t.links, linksOk += t.linksOk;
    }
    void Print(const std::string& name) const {
        std::printf("%-22s %6d/%-7d %6d/%-7d %6d/%-7d %6d/%-7d\n", name.c_str(), boxesOk, boxes, cellsOk, cells, linesOk, lines,
                    linksOk, links);
    }
};

TEST(ReferenceLayout, BoxesColumnsAndLinesAgreeWithChromium) {
    const char* source = std::getenv("TARVELO_SOURCE");
    if (!source) GTEST_SKIP() << "TARVELO_SOURCE not set";
    const std::string folder = std::string(source) + "/tests/engine/reference";
    auto pages = LoadReference(folder + "/layout.txt");
    ASSERT_GE(pages.size(), 60u);
    std::map<std::string, Tally> tallies, sets;  // by set and construct; by set
    Tally total;
    const bool showHeldOut = std::getenv("TARVELO_SHOW_HELD_OUT") != nullptr;
    std::vector<std::string> misses;
    paint::BitmapCanvas measure(1, 1);
    for (const auto& page : pages) {
        auto document = html::ParseDocument(ReadUtf8(folder + "/pages/" + page.name + ".htm"));
        layout::DocumentLayout layout(*document, measure);
        layout.SetViewportHeight(page.height);
        layout.Rebuild(page.width);
        std::vector<const dom::Node*> elements;
        if (document->Body()) CollectElements(*document->Body(), elements);
        Tally& tally = tallies[page.set + " " + Construct(page.name)];
        std::vector<std::string> pageMisses;
        for (const auto& m : page.elements) {
            if (m.tag == "BR" || m.display == "none" || m.display == "table-row" || m.display == "table-row-group") continue;
            const dom::Node* element = m.index < static_cast<int>(elements.size()) ? elements[m.index] : nullptr;
            std::string where = page.name + "@" + std::to_string(page.width) + " #" + std::to_string(m.index) + " " + m.tag;
            if (!element || std::string(element->TagName().str().begin(), element->TagName().str().end()) != m.tag) {
                misses.push_back(where + ": not the same tree");
                continue;
            }
            layout::OffsetBox ours = layout.Offsets(*element);
            char detail[200];
            std::snprintf(detail, sizeof detail, ": ours %ld,%ld %ldx%ld, reference %d,%d %dx%d", static_cast<long>(ours.left),
                          static_cast<long>(ours.top), static_cast<long>(ours.width), static_cast<long>(ours.height), m.left, m.top,
                          m.width, m.height);
            if (m.display == "table-cell") {
                int tolerance = std::max(3, m.width / 50);
                bool ok = std::abs(ours.width - m.width) <= tolerance;
                ++tally.cells, tally.cellsOk += ok;
                if (!ok) pageMisses.push_back(where + detail);
            } else if (m.display == "block" || m.display == "list-item" || m.display == "table" || m.display == "inline-block") {
                bool ok = std::abs(ours.left - m.left) <= 2 && std::abs(ours.top - m.top) <= 2 &&
                          std::abs(ours.width - m.width) <= 2 && std::abs(ours.height - m.height) <= 2;
                ++tally.boxes, tally.boxesOk += ok;
                if (!ok) pageMisses.push_back(where + detail);
            }
            // Links: where the text (or picture) they hold lies, without the blank after them; their
            // text widths add up, so their width within 3 px or 2 %.
            if (m.display == "inline" && m.tag == "A") {
                bool ok = std::abs(ours.left - m.left) <= 2 && std::abs(ours.top - m.top) <= 2 &&
                          std::abs(ours.width - m.width) <= std::max(3, m.width / 50) && std::abs(ours.height - m.height) <= 2;
                ++tally.links, tally.linksOk += ok;
                if (!ok) pageMisses.push_back(where + detail);
            }
            // Inline elements with a frame of their own: their text widths add up, so 3 px.
            CString inlineStyle = element->GetAttribute(L"style");
            if (m.display == "inline" && (inlineStyle.Find(L"border") >= 0 || inlineStyle.Find(L"padding") >= 0)) {
                bool ok = std::abs(ours.left - m.left) <= 3 && std::abs(ours.top - m.top) <= 3 &&
                          std::abs(ours.width - m.width) <= 3 && std::abs(ours.height - m.height) <= 3;
                ++tally.boxes, tally.boxesOk += ok;
                if (!ok) pageMisses.push_back(where + detail);
            }
            if (m.lines > 0 && m.display != "inline") {
                int lines = CountLines(layout.TextRects(*element));
                ++tally.lines, tally.linesOk += lines == m.lines;
                if (lines != m.lines) pageMisses.push_back(where + ": " + std::to_string(lines) + " lines, reference " + std::to_string(m.lines));
            }
        }
        if (page.set != "held-out" || showHeldOut) misses.insert(misses.end(), pageMisses.begin(), pageMisses.end());
    }
    std::printf("%-22s %14s %14s %14s %14s\n", "set, construct", "blocks", "cell widths", "line counts", "links");
    for (const auto& [name, t] : tallies) {
        t.Print(name);
        sets[name.substr(0, name.find(' '))].Add(t);
        total.Add(t);
    }
    for (const auto& [name, t] : sets) t.Print("set " + name);
    total.Print("all");
    for (const auto& miss : misses) std::printf("  off: %s\n", miss.c_str());
    // The floors below are the agreement reached; a change of layout must not fall below them.
    const Tally& base = sets["base"];
    EXPECT_GE(base.boxesOk * 100, base.boxes * kBlockFloor);
    EXPECT_GE(base.cellsOk * 100, base.cells * kCellFloor);
    EXPECT_GE(base.linesOk * 100, base.lines * kLineFloor);
    const Tally& fitted = sets["fitted"];
    EXPECT_GE(fitted.boxesOk * 100, fitted.boxes * kFittedBlockFloor);
    EXPECT_GE(fitted.cellsOk * 100, fitted.cells * kFittedCellFloor);
    EXPECT_GE(fitted.linesOk * 100, fitted.lines * kFittedLineFloor);
}

// Runs of 16 px DejaVu Serif as headless Chromium measured them (getBoundingClientRect of
// a span): fractional advances with the font's kerning pairs ("AVATAR Tea" kerns 7 px).
TEST(ReferenceLayout, TextRunsMeasureAsChromiumMeasuresThem) {
    const struct {
        const wchar_t* text;
        double width;
    } kRuns[] = {
        {L"Notes are kept as pages and every page is one file below the bookmark folder; links arrive from the browser "
         L"and land in the section the user picks.", 1196.5},
        {L"longer content", 119.03}, {L"row colour", 87.36}, {L"AVATAR Tea", 98.83}, {L"inner a", 57.47},
        {L"spanning all three columns of the table", 318.14}, {L" ", 5.09}};
    paint::BitmapCanvas canvas(1, 1);
    const int font = canvas.MakeFont({L"DejaVu Serif", 16, false, false});
    for (const auto& run : kRuns) {
        const int ours = canvas.MeasureText(font, run.text, static_cast<int>(wcslen(run.text)));
        EXPECT_LE(std::abs(ours - run.width), 1 + run.width / 500) << testing::PrintToString(CString(run.text));
    }
}

}  // namespace
