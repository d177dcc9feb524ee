// Places the boxes of a layout tree: block flow with margin collapsing, lines
// of inline content, tables by the automatic algorithm, atomic inline boxes.
// Measures through the canvas it is given.
#pragma once
#include "layout/Box.h"
#include "paint/Canvas.h"

namespace layout {

class LayoutEngine {
public:
    explicit LayoutEngine(paint::Canvas& canvas) : m_canvas(canvas) {}

    // Lays out the root box in a viewport of the width.
    void LayoutRoot(Box& root, int viewportWidth);

    // The canvas font of an inline context (made on first use).
    int FontOf(const InlineContext& context);

private:
    void ResolveEdges(Box& box, int containingWidth);
    void LayoutBlock(Box& box, int containingWidth, const Style& parentStyle);
    void PlaceHorizontally(Box& box, int containingWidth, const Style& parentStyle);
    int LayoutContent(Box& box);      // the content height; lines or children
    int LayoutChildren(Box& box);
    int LayoutLines(Box& box);
    void LayoutTable(Box& table, int containingWidth);
    void LayoutAtomic(Box& box, int containingWidth);
    void ShiftContent(Box& box, int dy);

    struct Intrinsic {
        int min = 0;
        int max = 0;
    };
    Intrinsic Measure(Box& box);          // border box, cached
    Intrinsic MeasureInline(Box& box);    // the content of a block of lines
    Intrinsic MeasureTable(Box& table);
    int HorizontalEdges(const Box& box) const;

    struct Grid;
    void BuildGrid(Box& table, Grid& grid);

    paint::Canvas& m_canvas;
    int m_depth = 0;
};

}  // namespace layout
