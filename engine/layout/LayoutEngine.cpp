// The engine's entry points and what every kind of box shares: fonts, edges, the
// placing of a block in its parent, and intrinsic widths.
#include "layout/LayoutEngine.h"
#include "layout/LayoutShared.h"

#include <algorithm>
#include <cmath>

namespace layout {

using dom::Tag;

int LayoutEngine::FontOf(const InlineContext& context) {
    if (context.font >= 0) return context.font;
    const Style& s = context.style;
    const FontKey key{s.fontFamily, s.fontSize, s.bold, s.italic};
    auto it = m_fonts.find(key);
    if (it == m_fonts.end()) it = m_fonts.emplace(key, m_canvas.MakeFont(s.Font())).first;
    context.font = it->second;
    return context.font;
}

paint::FontMetrics LayoutEngine::FontMetricsOf(const InlineContext& context) {
    const int font = FontOf(context);
    const Style& s = context.style;
    if (!s.exactFontSize100) return m_canvas.Metrics(font);
    // The face's proportions, to a hundredth of a pixel at the sizes of text; of its regular
    // weight, whose ascent browsers give the bold one too (Windows' own is taller for bold).
    constexpr int kLarge = 640;
    const paint::FontMetrics large = m_canvas.Metrics(m_canvas.MakeFont({s.fontFamily.Text(), kLarge, false, s.italic}));
    const float scale = s.ExactFontSize() / kLarge;
    return {static_cast<int>(std::lround(large.ascent * scale)), static_cast<int>(std::lround(large.descent * scale))};
}

LayoutEngine::TextItem LayoutEngine::TextOf(const InlineItem& item) {
    const CString& data = item.node->Data();
    return {data.GetString(), data.GetLength(), FontOf(*item.context)};
}

int LayoutEngine::HorizontalEdges(const Box& box) const {
    return box.border[1] + box.border[3] + box.padding[1] + box.padding[3];
}

void LayoutEngine::ResolveEdges(Box& box, int cw) {
    const Style& s = box.style;
    box.margin[0] = s.margin.top.Resolve(cw);
    box.margin[1] = s.margin.right.Resolve(cw);
    box.margin[2] = s.margin.bottom.Resolve(cw);
    box.margin[3] = s.margin.left.Resolve(cw);
    box.border[0] = s.borderTop.Width();
    box.border[1] = s.borderRight.Width();
    box.border[2] = s.borderBottom.Width();
    box.border[3] = s.borderLeft.Width();
    box.padding[0] = std::max(0, s.padding.top.Resolve(cw));
    box.padding[1] = std::max(0, s.padding.right.Resolve(cw));
    box.padding[2] = std::max(0, s.padding.bottom.Resolve(cw));
    box.padding[3] = std::max(0, s.padding.left.Resolve(cw));
    if (box.gridBorder[0] >= 0) {
        for (int k = 0; k < 4; ++k) box.border[k] = box.gridBorder[k];
        if (box.kind == BoxKind::Table) box.padding[0] = box.padding[1] = box.padding[2] = box.padding[3] = 0;
    }
}

void LayoutEngine::LayoutRoot(Box& root, int viewportWidth, int viewportHeight) {
    m_depth = 0;
    m_viewportHeight = std::max(viewportHeight, 0);
    m_usedViewportHeight = false;
    Style initial;
    LayoutBlock(root, std::max(viewportWidth, 0), initial);
    root.x = root.margin[3];
    root.y = root.margin[0];
}

void LayoutEngine::RelayoutContent(Box& box) {
    m_depth = 0;
    m_floats.clear();
    m_floatBottom = 0;
    m_origin = {};
    int content = LayoutContent(box);
    if (box.style.height.unit == Length::Unit::Px) content = std::max(box.style.height.Resolve(0), 0);
    box.height = Clamp(static_cast<long long>(content) + box.border[0] + box.border[2] + box.padding[0] + box.padding[2]);
}

void LayoutEngine::PlaceHorizontally(Box& box, int cw, const Style& parentStyle) {
    int free = cw - box.width - box.margin[1] - box.margin[3];
    bool sized = !box.style.width.IsAuto() || box.kind == BoxKind::Table;
    if (!sized || free <= 0) return;
    if (box.style.autoMarginLeft && box.style.autoMarginRight) box.margin[3] += free / 2, box.margin[1] += free - free / 2;
    else if (box.style.autoMarginLeft) box.margin[3] += free;
    else if (box.style.autoMarginRight) box.margin[1] += free;
    else if (parentStyle.blockAlign == TextAlign::Center) box.margin[3] += free / 2;
    else if (parentStyle.blockAlign == TextAlign::Right) box.margin[3] += free;
}

void LayoutEngine::LayoutBlock(Box& box, int cw, const Style& parentStyle) {
    ResolveEdges(box, cw);
    if (box.kind == BoxKind::Table) {
        LayoutTable(box, cw);
        PlaceHorizontally(box, cw, parentStyle);
        return;
    }
    int edges = HorizontalEdges(box);
    if (box.style.width.IsAuto()) box.width = std::max(cw - box.margin[1] - box.margin[3], edges);
    else box.width = Clamp(static_cast<long long>(std::max(box.style.width.Resolve(cw), 0)) + edges);
    PlaceHorizontally(box, cw, parentStyle);
    int content = LayoutContent(box);
    // A list item with nothing in it still shows its marker on a line of its own.
    if (content == 0 && box.style.display == Display::ListItem && box.style.listMarker != ListMarker::None && box.lines.empty())
        content = m_canvas.Metrics(m_canvas.MakeFont(box.style.Font())).Height();
    if (box.style.height.unit == Length::Unit::Px) content = std::max(box.style.height.Resolve(0), 0);
    else if (box.style.height.IsPercent())
        if (const int base = QuirksPercentBase(box); base >= 0) content = std::max(box.style.height.Resolve(base), 0);
    box.height = Clamp(static_cast<long long>(content) + box.border[0] + box.border[2] + box.padding[0] + box.padding[2]);
    FillViewport(box);
    if (box.selfCollapsing && (box.height > 0 || box.style.height.unit == Length::Unit::Px)) box.selfCollapsing = false;
}

int LayoutEngine::LayoutContent(Box& box) {
    if (++m_depth > 2000) {  // the parser limits nesting; this guards what it cannot see
        --m_depth;
        return 0;
    }
    int height = 0;
    if (EstablishesContext(box)) {
        // Its own floats: none from outside reach in, and it grows to hold those inside.
        std::vector<FloatArea> outer;
        outer.swap(m_floats);
        const int outerBottom = std::exchange(m_floatBottom, 0);
        const FloatOrigin outerOrigin = std::exchange(m_origin, FloatOrigin{});
        height = box.HasInlineContent() ? LayoutLines(box) : LayoutChildren(box);
        height = std::max(height, m_floatBottom - box.ContentTop());
        m_floats.swap(outer);
        m_floatBottom = outerBottom;
        m_origin = outerOrigin;
    } else {
        height = box.HasInlineContent() ? LayoutLines(box) : LayoutChildren(box);
    }
    --m_depth;
    return height;
}

int LayoutEngine::QuirksPercentBase(const Box& box) {
    if (!box.style.quirks || m_viewportHeight <= 0) return -1;
    for (const Box* b = box.parent; b; b = b->parent) {
        if (b->node && b->node->Is(Tag::Body)) {
            if (!b->style.height.IsAuto()) return -1;
            m_usedViewportHeight = true;
            return std::max(0, m_viewportHeight - b->margin[0] - b->margin[2] - b->border[0] - b->border[2] - b->padding[0] -
                                   b->padding[2]);
        }
        if (b->kind != BoxKind::Block || !b->style.height.IsAuto()) return -1;
    }
    return -1;
}

void LayoutEngine::FillViewport(Box& box) {
    if (!box.style.quirks || m_viewportHeight <= 0 || !box.style.height.IsAuto()) return;
    const bool root = !box.parent, body = box.node && box.node->Is(Tag::Body) && box.parent && !box.parent->parent;
    if (!root && !body) return;
    const int fill = root ? m_viewportHeight : m_viewportHeight - box.margin[0] - box.margin[2];
    if (box.height < fill) {
        box.height = fill;
        box.selfCollapsing = false;
        m_usedViewportHeight = true;
    }
}

void LayoutEngine::ShiftContent(Box& box, int dy) {
    if (dy == 0) return;
    for (auto& line : box.lines) line.top += dy;
    for (auto& atomic : box.inlineBoxes) atomic->y += dy;
    for (auto& child : box.children) child->y += dy;
}

// Intrinsic widths -----------------------------------------------------------------

LayoutEngine::Intrinsic LayoutEngine::Measure(Box& box) {
    if (box.minWidth >= 0) return {box.minWidth, box.maxWidth};
    if (++m_depth > 2000) {
        --m_depth;
        return {};
    }
    ResolveEdges(box, 0);
    Intrinsic result;
    const int edges = HorizontalEdges(box);
    if (box.kind == BoxKind::Replaced) {
        LayoutAtomic(box, 0);
        result.min = result.max = box.style.width.IsPercent() ? 0 : box.width;
    } else if (box.kind == BoxKind::Table) {
        result = MeasureTable(box);
    } else {
        if (box.HasInlineContent()) {
            result = MeasureInline(box);
        } else {
            for (auto& child : box.children) {
                Intrinsic c = Measure(*child);
                int margins = std::max(0, child->style.margin.left.Resolve(0)) + std::max(0, child->style.margin.right.Resolve(0));
                result.min = std::max(result.min, c.min + margins);
                result.max = std::max(result.max, c.max + margins);
            }
        }
        if (box.style.width.unit == Length::Unit::Px && box.kind != BoxKind::Cell) {
            result.min = result.max = box.style.width.Resolve(0);
        }
        result.min += edges;
        result.max += edges;
    }
    result.max = std::max(result.max, result.min);
    box.minWidth = result.min;
    box.maxWidth = result.max;
    --m_depth;
    return result;
}

}  // namespace layout
