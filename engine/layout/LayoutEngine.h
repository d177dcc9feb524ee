// Places the boxes of a layout tree: block flow with margin collapsing, lines
// of inline content, tables by the automatic algorithm, atomic inline boxes.
// Measures through the canvas it is given.
#pragma once
#include "layout/Box.h"
#include "paint/Canvas.h"

#include <unordered_map>
#include <utility>
#include <vector>

namespace layout {

class LayoutEngine {
public:
    explicit LayoutEngine(paint::Canvas& canvas) : m_canvas(canvas) {}

    // Lays out the root box in a viewport of the size (height 0: none, as on paper).
    void LayoutRoot(Box& root, int viewportWidth, int viewportHeight = 0);
    // The layout took the viewport's height somewhere (BODY filling it, a percentage height).
    bool UsedViewportHeight() const { return m_usedViewportHeight; }
    // Lays out again the content of a block already laid out (its text
    // changed) at the width it has, and sets its height; no floats may be
    // about. Its place in its parent is the caller's.
    void RelayoutContent(Box& box);

    // The canvas font of an inline context (made on first use).
    int FontOf(const InlineContext& context);
    // Its ascent and descent at the exact size of its style (18.72 px for H3), rounded as
    // browsers round them: fonts come in whole pixels, lines take the fraction into account.
    paint::FontMetrics FontMetricsOf(const InlineContext& context);

private:
    void ResolveEdges(Box& box, int containingWidth);
    void LayoutBlock(Box& box, int containingWidth, const Style& parentStyle);
    void PlaceHorizontally(Box& box, int containingWidth, const Style& parentStyle);
    int LayoutContent(Box& box);      // the content height; lines or children
    int LayoutChildren(Box& box);
    int LayoutLines(Box& box);
    void LayoutTable(Box& table, int containingWidth);
    void LayoutAtomic(Box& box, int containingWidth);
    int AtomicBaseline(const Box& atomic);
    void ShiftContent(Box& box, int dy);
    // Old pages: the height BODY's content fills (the viewport's less BODY's margins, border and
    // padding), which percentage heights of the blocks and tables in it take; -1 for none.
    int QuirksPercentBase(const Box& box);
    // Old pages: HTML and BODY are at least as tall as the viewport.
    void FillViewport(Box& box);

    struct Intrinsic {
        int min = 0;
        int max = 0;
    };
    Intrinsic Measure(Box& box);          // border box, cached
    Intrinsic MeasureInline(Box& box);    // the content of a block of lines
    Intrinsic MeasureTable(Box& table);
    int HorizontalEdges(const Box& box) const;
    // A text item's characters and the font they measure in.
    struct TextItem {
        const wchar_t* text;
        int length;
        int font;
    };
    TextItem TextOf(const InlineItem& item);

    struct Grid;
    void BuildGrid(Box& table, Grid& grid);
    void CollapseBorders(Box& table, const Grid& grid);
    struct ColumnRequests {
        std::vector<int> min, max, fixed;  // fixed: -1 for none
        std::vector<float> percent;        // 0 for none
    };
    ColumnRequests RequestColumns(const Grid& grid, int spacing);
    static long long WidestContent(const ColumnRequests& cols);
    // The width of each column, and the table's border-box width in `width`.
    std::vector<int> ColumnWidths(Box& table, const Grid& grid, int cw, long long& width);

    // Floats: the margin boxes of those placed so far in the block formatting context being
    // laid out, in its coordinates; the lines of every block in it flow around them.
    struct FloatArea {
        bool left;
        int x, top, right, bottom;
    };
    // Where the border box of the block being laid out lies in the context's coordinates.
    struct FloatOrigin {
        int x = 0, y = 0;
    };
    bool EstablishesContext(const Box& box) const;
    // The room the floats leave between `top` and `bottom` of a content box at `origin`.
    void FloatEdges(int top, int bottom, FloatOrigin origin, int width, int& left, int& right) const;
    // Places a float of the margin box size at or below `top` of a content box at `origin`;
    // returns its left and top there.
    std::pair<int, int> PlaceFloat(bool left, int width, int height, int top, FloatOrigin origin, int contentWidth);
    // The top below the floats on the side from `top` of a content box at `origin`.
    int ClearFloats(int top, FloatOrigin origin, Clear side) const;

    // The canvas fonts made so far, by the family text the styles share and the rest of the request:
    // thousands of inline contexts ask for a handful of fonts.
    // (The key holds the family text, so its address stays its own while the key lives.)
    struct FontKey {
        SharedText family;
        int size;
        bool bold, italic;
        bool operator==(const FontKey& o) const {
            return &family.Text() == &o.family.Text() && size == o.size && bold == o.bold && italic == o.italic;
        }
    };
    struct FontKeyHash {
        size_t operator()(const FontKey& k) const {
            return std::hash<const void*>()(&k.family.Text()) ^ (static_cast<size_t>(k.size) << 2) ^ (k.bold ? 1 : 0) ^ (k.italic ? 2 : 0);
        }
    };
    std::unordered_map<FontKey, int, FontKeyHash> m_fonts;

    paint::Canvas& m_canvas;
    int m_depth = 0;
    int m_viewportHeight = 0;
    bool m_usedViewportHeight = false;
    std::vector<FloatArea> m_floats;
    int m_floatBottom = 0;
    FloatOrigin m_origin;
};

}  // namespace layout
