#include "layout/LayoutEngine.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace layout {

using dom::Tag;

namespace {

constexpr int kMaxColumns = 4096;
constexpr int kMaxExtent = 1 << 28;  // positions stay far from overflowing an int
// The face and size form controls show their text in.
const paint::FontRequest kControlFont{L"DejaVu Sans, sans-serif", 13, false, false};

int Clamp(long long value) { return static_cast<int>(std::clamp<long long>(value, -kMaxExtent, kMaxExtent)); }

bool IsCollapsibleSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f'; }

// Chinese and Japanese text has no blanks: a line may break before and after any of its characters.
bool IsIdeographic(wchar_t c) {
    return (c >= 0x2E80 && c <= 0x31FF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF);
}

// The end of the piece of text that starts at `i` and cannot be broken.
int PieceEnd(const wchar_t* text, int i, int length) {
    if (IsIdeographic(text[i])) return i + 1;
    int end = i;
    while (end < length && !IsCollapsibleSpace(text[end]) && !IsIdeographic(text[end])) ++end;
    return end;
}

// How far the baseline of text moves down (sub) or up (super, negative).
int BaselineShift(const InlineContext& context) {
    int parentSize = context.parent ? context.parent->style.fontSize : context.style.fontSize;
    switch (context.style.verticalAlign) {
    case VerticalAlign::Sub: return parentSize / 5 + 1;
    case VerticalAlign::Super: return -(parentSize / 3 + 1);
    default: return 0;
    }
}

int ShiftOf(const InlineContext* context) {
    int shift = 0;
    for (; context; context = context->parent) shift += BaselineShift(*context);
    return shift;
}

}  // namespace

int LayoutEngine::FontOf(const InlineContext& context) {
    if (context.font >= 0) return context.font;
    const Style& s = context.style;
    const FontKey key{s.fontFamily, s.fontSize, s.bold, s.italic};
    auto it = m_fonts.find(key);
    if (it == m_fonts.end()) it = m_fonts.emplace(key, m_canvas.MakeFont(s.Font())).first;
    context.font = it->second;
    return context.font;
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
}

void LayoutEngine::LayoutRoot(Box& root, int viewportWidth) {
    m_depth = 0;
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
    if (box.style.height.unit == Length::Unit::Px) content = std::max(box.style.height.Resolve(0), 0);
    box.height = Clamp(static_cast<long long>(content) + box.border[0] + box.border[2] + box.padding[0] + box.padding[2]);
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

bool LayoutEngine::EstablishesContext(const Box& box) const {
    return !box.parent || box.kind == BoxKind::Cell || box.kind == BoxKind::InlineBlock || box.kind == BoxKind::Replaced ||
           box.style.floating != Float::None || box.ClipsContent();
}

void LayoutEngine::FloatEdges(int top, int bottom, FloatOrigin origin, int width, int& left, int& right) const {
    left = 0;
    right = width;
    for (const auto& f : m_floats)
        if (f.top - origin.y < bottom && f.bottom - origin.y > top) {
            if (f.left) left = std::max(left, f.right - origin.x);
            else right = std::min(right, f.x - origin.x);
        }
}

std::pair<int, int> LayoutEngine::PlaceFloat(bool left, int width, int height, int top, FloatOrigin origin, int contentWidth) {
    // Floats wholly above this one no longer matter (the flow only moves down): keep the list short.
    if (m_floats.size() > 32)
        std::erase_if(m_floats, [&](const FloatArea& f) { return f.bottom <= origin.y + top; });
    int x = 0;
    for (int guard = 0; guard < 100000; ++guard) {
        int l, r;
        FloatEdges(top, top + std::max(height, 1), origin, contentWidth, l, r);
        x = left ? l : r - width;
        if (r - l >= width || (l == 0 && r == contentWidth)) break;
        int next = INT_MAX;  // below the float that ends first
        for (const auto& f : m_floats)
            if (f.bottom - origin.y > top) next = std::min(next, f.bottom - origin.y);
        if (next == INT_MAX) break;
        top = next;
    }
    x = std::max(x, 0);
    FloatArea area{left, origin.x + x, origin.y + top, origin.x + x + width, origin.y + top + height};
    m_floats.push_back(area);
    m_floatBottom = std::max(m_floatBottom, area.bottom);
    return {x, top};
}

int LayoutEngine::ClearFloats(int top, FloatOrigin origin, Clear side) const {
    for (const auto& f : m_floats)
        if (side == Clear::Both || (side == Clear::Left) == f.left) top = std::max(top, f.bottom - origin.y);
    return top;
}

int LayoutEngine::LayoutChildren(Box& box) {
    const bool isRoot = !box.parent;
    const bool container = box.kind == BoxKind::Cell || box.kind == BoxKind::InlineBlock || isRoot || box.ClipsContent();
    const bool quirkContainer = box.style.quirks && (box.kind == BoxKind::Cell || (box.node && box.node->Is(Tag::Body)));
    const bool collapseTop = !container && box.border[0] == 0 && box.padding[0] == 0;
    const bool collapseBottom = !container && box.border[2] == 0 && box.padding[2] == 0 && box.style.height.IsAuto();
    const int contentWidth = std::max(box.ContentWidth(), 0);
    box.collapsedTop = box.margin[0];
    box.collapsedBottom = box.margin[2];
    int y = 0;
    int pending = 0;
    bool atTop = true;
    Box* last = nullptr;
    const FloatOrigin here = m_origin;
    const FloatOrigin content{here.x + box.ContentLeft(), here.y + box.ContentTop()};
    for (auto& childPtr : box.children) {
        Box& child = *childPtr;
        child.selfCollapsing = true;
        if (child.style.floating != Float::None) {
            // Out of the flow: beside the content that follows, at the line it comes in.
            LayoutBlock(child, contentWidth, box.style);
            ResolveEdges(child, contentWidth);  // a float's automatic margins are 0
            const int width = child.width + child.margin[1] + child.margin[3];
            const int height = child.height + child.margin[0] + child.margin[2];
            int top = y + (atTop && collapseTop ? 0 : pending);
            if (child.style.clear != Clear::None) top = ClearFloats(top, content, child.style.clear);
            auto [fx, fy] = PlaceFloat(child.style.floating == Float::Left, width, height, top, content, contentWidth);
            child.x = box.ContentLeft() + fx + child.margin[3];
            child.y = box.ContentTop() + fy + child.margin[0];
            continue;
        }
        // Where the child will lie (its top margin collapsing as it stands), for the floats beside it.
        ResolveEdges(child, contentWidth);
        int estimate = y + (atTop && collapseTop ? 0 : std::max(pending, child.margin[0]));
        // Clearance: a block that clears floats starts with its border below them, its margins
        // no longer joining those before it.
        int cleared = -1;
        if (child.style.clear != Clear::None && !m_floats.empty()) {
            const int below = ClearFloats(estimate, content, child.style.clear);
            if (below > estimate) cleared = estimate = below;
        }
        // A block that holds its own floats (overflow other than visible) does not run under those
        // around it: it sits beside them, narrower.
        int besideLeft = 0, room = contentWidth;
        if (child.ClipsContent() && child.kind != BoxKind::Table && !m_floats.empty()) {
            int right = contentWidth;
            FloatEdges(estimate, estimate + 1, content, contentWidth, besideLeft, right);
            room = std::max(0, right - besideLeft);
        }
        m_origin = {content.x + besideLeft + child.margin[3], content.y + estimate};
        LayoutBlock(child, room, box.style);
        m_origin = here;
        if (cleared >= 0) {
            child.x = box.ContentLeft() + besideLeft + child.margin[3];
            child.y = box.ContentTop() + cleared;
            y = Clamp(static_cast<long long>(cleared) + child.height);
            pending = child.selfCollapsing ? 0 : child.collapsedBottom;
            atTop = false;
            last = &child;
            continue;
        }
        int top = child.collapsedTop;
        if (quirkContainer && atTop && child.style.marginTopQuirk) top = std::max(0, child.collapsedTop - child.margin[0]);
        int joined = std::max(pending, top);
        child.x = box.ContentLeft() + besideLeft + child.margin[3];
        if (child.selfCollapsing) {
            // An empty block: its margins join the ones around it.
            child.y = box.ContentTop() + y + (atTop && collapseTop ? 0 : joined);
            pending = std::max(joined, child.collapsedBottom);
            continue;
        }
        if (atTop && collapseTop) {
            box.collapsedTop = std::max(box.collapsedTop, joined);
            child.y = box.ContentTop() + y;
        } else {
            y = Clamp(static_cast<long long>(y) + joined);
            child.y = box.ContentTop() + y;
        }
        if (child.kind == BoxKind::Table && !m_floats.empty()) {
            // A table does not flow around floats: it goes beside them where it fits, else below.
            const int width = child.width + child.margin[1] + child.margin[3];
            int left = 0, right = contentWidth;
            for (int guard = 0; guard < 100000; ++guard) {
                FloatEdges(y, y + std::max(child.height, 1), content, contentWidth, left, right);
                if (right - left >= width || (left == 0 && right == contentWidth)) break;
                int next = ClearFloats(y, content, Clear::Both);
                for (const auto& f : m_floats)
                    if (f.bottom - content.y > y) next = std::min(next, f.bottom - content.y);
                if (next <= y) break;
                y = next;
            }
            child.y = box.ContentTop() + y;
            child.x = std::max(child.x, box.ContentLeft() + left + child.margin[3]);
            child.x = std::max(box.ContentLeft() + left, std::min(child.x, box.ContentLeft() + right - child.width - child.margin[1]));
        }
        {
            y = Clamp(static_cast<long long>(y) + child.height);
            pending = child.collapsedBottom;
            atTop = false;
            last = &child;
        }
    }
    if (last && quirkContainer && last->style.marginBottomQuirk) pending = std::max(0, pending - last->margin[2]);
    if (atTop && collapseTop && collapseBottom) {
        // Nothing but collapsing children: the block's own margins join theirs.
        box.collapsedTop = std::max(box.collapsedTop, pending);
        box.collapsedBottom = std::max(box.collapsedBottom, pending);
        box.selfCollapsing = true;
        return 0;
    }
    box.selfCollapsing = false;
    if (collapseBottom && !atTop) box.collapsedBottom = std::max(box.collapsedBottom, pending);
    else if (!atTop || !collapseTop) y = Clamp(static_cast<long long>(y) + pending);
    return y;
}

// Lines ------------------------------------------------------------------------------

// Takes the fragments from a break point on out of the line (splitting the fragment that
// holds the point), drops the blank before the point, and hands them over shifted to start at 0.
template <typename Continue>
void MoveToNextLine(Line& line, size_t index, int start, int breakX, int spaceWidth, Continue&& next) {
    if (index >= line.fragments.size()) return;
    Line moved;
    moved.top = breakX;  // the shift, read back by the caller
    Fragment& holder = line.fragments[index];
    size_t firstMoved = index;
    if (!holder.box && holder.start < start) {
        Fragment tail = holder;
        tail.start = start;
        tail.length = holder.start + holder.length - start;
        tail.x = breakX;
        tail.width = holder.x + holder.width - breakX;
        holder.length = std::max(0, start - 1 - holder.start);
        holder.width = std::max(0, breakX - holder.x - spaceWidth);
        holder.collapsedSpaceAfter = false;
        moved.fragments.push_back(tail);
        firstMoved = index + 1;
    } else if (index > 0) {
        Fragment& previous = line.fragments[index - 1];
        previous.width = std::max(0, previous.width - spaceWidth);
        previous.collapsedSpaceAfter = false;
    }
    for (size_t k = firstMoved; k < line.fragments.size(); ++k) moved.fragments.push_back(line.fragments[k]);
    line.fragments.erase(line.fragments.begin() + static_cast<std::ptrdiff_t>(firstMoved), line.fragments.end());
    next(moved);
}

namespace {

// The room an inline element takes before or after its content: margin, border and padding.
int InlineEdge(const Style& s, bool start, int reference) {
    long long room = start ? static_cast<long long>(s.margin.left.Resolve(reference)) + s.borderLeft.Width() + s.padding.left.Resolve(reference)
                           : static_cast<long long>(s.margin.right.Resolve(reference)) + s.borderRight.Width() + s.padding.right.Resolve(reference);
    return static_cast<int>(std::clamp(room, -static_cast<long long>(kMaxExtent), static_cast<long long>(kMaxExtent)));
}

// The room taken by the edges of the inline elements left and entered between two contexts of a block.
int EdgeRoom(const InlineContext* from, const InlineContext* to, int reference) {
    long long room = 0;
    auto leave = [&](const InlineContext*& c) {
        if (c->element) room += InlineEdge(c->style, false, reference);
        c = c->parent;
    };
    auto open = [&](const InlineContext*& c) {
        if (c->element) room += InlineEdge(c->style, true, reference);
        c = c->parent;
    };
    while (from && to && from->depth > to->depth) leave(from);
    while (from && to && to->depth > from->depth) open(to);
    while (from && to && from != to) leave(from), open(to);
    return static_cast<int>(std::clamp(room, -static_cast<long long>(kMaxExtent), static_cast<long long>(kMaxExtent)));
}

bool HasInlineFrame(const Style& s) {
    return s.borderTop.Width() || s.borderRight.Width() || s.borderBottom.Width() || s.borderLeft.Width() ||
           s.padding.top.value || s.padding.right.value || s.padding.bottom.value || s.padding.left.value;
}

// The border boxes of the block's framed inline elements on each of its lines, from the
// fragments they hold. Elements nested deeper than kDeepest below a fragment's own go unframed.
void FrameInlineElements(Box& box, int reference) {
    constexpr int kDeepest = 64;
    bool any = false;
    for (const auto& context : box.contexts) any = any || (context->element && HasInlineFrame(context->style));
    if (!any) return;
    for (auto& line : box.lines) {
        line.spans.clear();
        for (const auto& fragment : line.fragments) {
            int k = 0;
            for (const InlineContext* c = fragment.context; c && c->element && k < kDeepest; c = c->parent, ++k) {
                if (!HasInlineFrame(c->style)) continue;
                auto it = std::find_if(line.spans.begin(), line.spans.end(), [&](const InlineSpan& span) { return span.context == c; });
                if (it == line.spans.end()) {
                    line.spans.push_back({c, fragment.x, fragment.x + fragment.width, fragment.top, fragment.top + fragment.height});
                    continue;
                }
                it->left = std::min(it->left, fragment.x);
                it->right = std::max(it->right, fragment.x + fragment.width);
                it->top = std::min(it->top, fragment.top);
                it->bottom = std::max(it->bottom, fragment.top + fragment.height);
            }
        }
        std::sort(line.spans.begin(), line.spans.end(), [](const InlineSpan& a, const InlineSpan& b) { return a.context->depth < b.context->depth; });
    }
    // The first and the last line of each element carry its left and right sides.
    std::vector<const InlineContext*> seen;
    for (auto& line : box.lines)
        for (auto& span : line.spans)
            if (std::find(seen.begin(), seen.end(), span.context) == seen.end()) span.opens = true, seen.push_back(span.context);
    seen.clear();
    for (auto line = box.lines.rbegin(); line != box.lines.rend(); ++line)
        for (auto& span : line->spans)
            if (std::find(seen.begin(), seen.end(), span.context) == seen.end()) span.closes = true, seen.push_back(span.context);
    for (auto& line : box.lines)
        for (auto& span : line.spans) {
            const Style& s = span.context->style;
            if (span.opens) span.left -= s.borderLeft.Width() + s.padding.left.Resolve(reference);
            if (span.closes) span.right += s.borderRight.Width() + s.padding.right.Resolve(reference);
            span.top -= s.borderTop.Width() + s.padding.top.Resolve(reference);
            span.bottom += s.borderBottom.Width() + s.padding.bottom.Resolve(reference);
        }
}

}  // namespace

int LayoutEngine::LayoutLines(Box& box) {
    box.selfCollapsing = false;
    box.collapsedTop = box.margin[0];
    box.collapsedBottom = box.margin[2];
    box.lines.clear();
    const int fullWidth = std::max(box.ContentWidth(), 0);
    int avail = fullWidth;  // of the current line, beside the floats
    int lineLeft = 0;
    const InlineContext* rootContext = box.contexts.empty() ? nullptr : box.contexts.front().get();
    paint::FontMetrics strut{};
    if (rootContext) strut = m_canvas.Metrics(FontOf(*rootContext));
    const bool standards = !box.style.quirks;

    Line line;
    int x = 0;
    int ascent = 0, descent = 0, tallest = 0;
    bool hasText = false;
    bool rootText = false;  // text directly in the block, outside inline elements
    bool lastWasSpace = true;   // white space at a line's start is dropped
    bool pendingSpace = false;  // a collapsed space waits between the last piece and the next
    int pendingWidth = 0;
    bool afterAtomic = false;
    bool afterIdeograph = false;
    int y = 0;
    // Where the line may break last: a piece of text after a blank or an ideograph, or an atomic box.
    struct BreakPoint {
        bool valid = false;
        size_t index = 0;  // the fragment that holds the piece
        int start = 0;     // the piece's first character (text)
        int x = 0;         // where the piece starts on the line
        int spaceWidth = 0;  // of the blank before it, dropped when the line breaks there
    } lastBreak;

    // Floats (pictures aligned left or right, and those of the blocks before): the lines beside them are shorter.
    const FloatOrigin content{m_origin.x + box.ContentLeft(), m_origin.y + box.ContentTop()};
    std::vector<Box*> waiting;  // floats that did not fit beside the line they came in
    auto startLine = [&]() {
        int left, right;
        FloatEdges(y, y + std::max(strut.Height(), 1), content, fullWidth, left, right);
        lineLeft = left;
        avail = std::max(0, right - left);
    };
    auto placeFloat = [&](Box& atomic) {
        const int width = atomic.width + atomic.margin[1] + atomic.margin[3];
        const int height = atomic.height + atomic.margin[0] + atomic.margin[2];
        auto [fx, fy] = PlaceFloat(atomic.style.floating == Float::Left, width, height, y, content, fullWidth);
        atomic.x = box.ContentLeft() + fx + atomic.margin[3];
        atomic.y = box.ContentTop() + fy + atomic.margin[0];
    };

    // The number of fragments on the line when an inline element's edge last took room there:
    // a space after that edge belongs to no fragment before it.
    size_t edgeAfter = SIZE_MAX;
    auto commitSpace = [&]() {
        if (!pendingSpace) return;
        if (!line.fragments.empty() && line.fragments.size() != edgeAfter) {
            Fragment& previous = line.fragments.back();
            previous.width += pendingWidth;
            if (!previous.box) previous.collapsedSpaceAfter = true;
        }
        x += pendingWidth;
        pendingSpace = false;
    };
    auto finishLine = [&](bool forced, const InlineContext* breakContext) {
        pendingSpace = false;
        if (line.fragments.empty() && !forced) return;
        if (line.fragments.empty() && breakContext) {
            paint::FontMetrics m = m_canvas.Metrics(FontOf(*breakContext));
            ascent = std::max(ascent, m.ascent);
            descent = std::max(descent, m.descent);
        }
        if (rootText || standards || (line.fragments.empty() && forced)) {
            ascent = std::max(ascent, strut.ascent);
            descent = std::max(descent, strut.descent);
        }
        line.height = std::max(ascent + descent, tallest);
        line.baseline = ascent;
        int offset = lineLeft;
        if (box.style.textAlign == TextAlign::Center) offset += std::max(0, (avail - x) / 2);
        else if (box.style.textAlign == TextAlign::Right) offset += std::max(0, avail - x);
        for (auto& fragment : line.fragments) {
            fragment.x += box.ContentLeft() + offset;
            if (fragment.box) {
                Box& atomic = *fragment.box;
                int marginHeight = atomic.height + atomic.margin[0] + atomic.margin[2];
                switch (atomic.style.verticalAlign) {
                case VerticalAlign::Top: fragment.top = 0; break;
                case VerticalAlign::Bottom: fragment.top = line.height - marginHeight; break;
                default: fragment.top = ascent - fragment.top; break;  // top held the box's ascent
                }
                atomic.x = fragment.x + atomic.margin[3];
                atomic.y = box.ContentTop() + y + fragment.top + atomic.margin[0];
            } else {
                fragment.top = ascent - fragment.top;  // top held the font's ascent less the shift
            }
        }
        line.top = box.ContentTop() + y;
        y = Clamp(static_cast<long long>(y) + line.height);
        box.lines.push_back(std::move(line));
        line = Line{};
        edgeAfter = SIZE_MAX;
        x = 0;
        ascent = descent = tallest = 0;
        hasText = rootText = false;
        lastWasSpace = true;
        afterAtomic = afterIdeograph = false;
        lastBreak.valid = false;
        for (Box* pending : waiting) placeFloat(*pending);
        waiting.clear();
        startLine();
    };
    startLine();
    auto addHeight = [&](int a, int d) {
        ascent = std::max(ascent, a);
        descent = std::max(descent, d);
    };

    // Entering and leaving inline elements: their margins, borders and padding take room on the line.
    const InlineContext* inside = rootContext;
    auto enter = [&](const InlineContext* to) {
        const int room = EdgeRoom(inside, to, fullWidth);
        inside = to;
        if (room == 0) return;
        commitSpace();
        x = std::clamp(x + room, 0, kMaxExtent);
        edgeAfter = line.fragments.size();
    };

    for (const InlineItem& item : box.items) {
        const InlineContext& context = *item.context;
        if (&context != inside) enter(&context);
        const WhiteSpace ws = context.style.whiteSpace;
        const bool canWrap = ws == WhiteSpace::Normal || ws == WhiteSpace::PreWrap;
        if (item.kind == InlineItem::Kind::Break) {
            finishLine(true, &context);
            if (item.clear != Clear::None) {
                y = ClearFloats(y, content, item.clear);
                startLine();
            }
            continue;
        }
        if (item.kind == InlineItem::Kind::Atomic) {
            Box& atomic = *item.box;
            LayoutAtomic(atomic, fullWidth);
            if (atomic.style.floating != Float::None && atomic.kind == BoxKind::Replaced) {
                int width = atomic.width + atomic.margin[1] + atomic.margin[3];
                if (line.fragments.empty() || x + width <= avail) {
                    placeFloat(atomic);
                    if (line.fragments.empty()) {
                        startLine();
                    } else {
                        avail = std::max(0, avail - width);
                        if (atomic.style.floating == Float::Left) lineLeft += width;
                    }
                } else {
                    waiting.push_back(&atomic);
                }
                continue;
            }
            int width = atomic.width + atomic.margin[1] + atomic.margin[3];
            int height = atomic.height + atomic.margin[0] + atomic.margin[2];
            int spaceWidth = pendingSpace ? pendingWidth : 0;
            if (canWrap && !line.fragments.empty() && x + spaceWidth + width > avail) finishLine(false, nullptr);
            int spaceBefore = pendingSpace ? pendingWidth : 0;
            commitSpace();
            if (canWrap && !line.fragments.empty()) lastBreak = {true, line.fragments.size(), 0, x, spaceBefore};
            Fragment fragment;
            fragment.node = item.node;
            fragment.context = &context;
            fragment.box = &atomic;
            fragment.x = x;
            fragment.width = width;
            fragment.height = height;
            int shift = ShiftOf(&context);
            switch (atomic.style.verticalAlign) {
            case VerticalAlign::Top: case VerticalAlign::Bottom:
                tallest = std::max(tallest, height);
                fragment.top = 0;
                break;
            case VerticalAlign::Middle: {
                int above = height / 2 + (context.style.fontSize * 27 + 50) / 100;
                addHeight(above, height - above);
                fragment.top = above;
                break;
            }
            default: {
                int baseline = AtomicBaseline(atomic);
                addHeight(baseline - shift, height - baseline + shift);
                fragment.top = baseline - shift;
                break;
            }
            }
            line.fragments.push_back(fragment);
            x = Clamp(static_cast<long long>(x) + width);
            lastWasSpace = false;
            afterAtomic = true;
            continue;
        }
        // Text
        const auto [text, length, font] = TextOf(item);
        const paint::FontMetrics metrics = m_canvas.Metrics(font);
        const int shift = ShiftOf(&context);
        auto addPiece = [&](int start, int end, int width, bool glued) {
            if (glued && !line.fragments.empty()) {
                Fragment& previous = line.fragments.back();
                if (previous.node == item.node && previous.context == &context && !previous.box &&
                    previous.start + previous.length + (previous.collapsedSpaceAfter ? 1 : 0) == start) {
                    previous.length = end - previous.start;
                    previous.width += width;
                    previous.collapsedSpaceAfter = false;
                    x = Clamp(static_cast<long long>(x) + width);
                    return;
                }
            }
            Fragment fragment;
            fragment.node = item.node;
            fragment.context = &context;
            fragment.start = start;
            fragment.length = end - start;
            fragment.x = x;
            fragment.width = width;
            fragment.height = metrics.Height();
            fragment.top = metrics.ascent - shift;
            line.fragments.push_back(fragment);
            x = Clamp(static_cast<long long>(x) + width);
        };
        if (ws == WhiteSpace::Pre || ws == WhiteSpace::PreWrap) {
            int i = 0;
            while (i < length) {
                if (text[i] == L'\n' || text[i] == L'\r') {
                    if (text[i] == L'\r' && i + 1 < length && text[i + 1] == L'\n') ++i;
                    addHeight(metrics.ascent - shift, metrics.descent + shift);
                    hasText = true;
                    finishLine(true, &context);
                    ++i;
                    continue;
                }
                int end = i;
                if (text[i] == L'\t') {
                    int space = std::max(1, m_canvas.MeasureText(font, L" ", 1));
                    int stop = 8 * space;
                    addPiece(i, i + 1, stop - x % stop, false);
                    end = i + 1;
                } else {
                    while (end < length && text[end] != L'\n' && text[end] != L'\r' && text[end] != L'\t') ++end;
                    int width = m_canvas.MeasureText(font, text + i, end - i);
                    if (ws == WhiteSpace::PreWrap && !line.fragments.empty() && x + width > avail) finishLine(false, nullptr);
                    addPiece(i, end, width, false);
                }
                addHeight(metrics.ascent - shift, metrics.descent + shift);
                hasText = true;
                rootText = rootText || !context.element;
                lastWasSpace = false;
                i = end;
            }
            continue;
        }
        int i = 0;
        while (i < length) {
            if (IsCollapsibleSpace(text[i])) {
                int end = i;
                while (end < length && IsCollapsibleSpace(text[end])) ++end;
                if (!lastWasSpace && !pendingSpace) {
                    pendingSpace = true;
                    pendingWidth = m_canvas.MeasureText(font, L" ", 1);
                }
                i = end;
                continue;
            }
            int end = PieceEnd(text, i, length);
            int width = m_canvas.MeasureText(font, text + i, end - i);
            bool hadSpace = pendingSpace;
            bool opportunity = pendingSpace || afterAtomic || afterIdeograph || IsIdeographic(text[i]);
            int spaceWidth = pendingSpace ? pendingWidth : 0;
            bool singleSpaceBefore = pendingSpace && i > 0 && text[i - 1] == L' ' && (i < 2 || !IsCollapsibleSpace(text[i - 2]));
            if (canWrap && opportunity && !line.fragments.empty() && x + spaceWidth + width > avail) {
                finishLine(false, nullptr);
                singleSpaceBefore = false;
            } else if (canWrap && !opportunity && lastBreak.valid && lastBreak.x > 0 && x + width > avail) {
                // The piece is glued to what precedes it: all of that goes to the next line.
                MoveToNextLine(line, lastBreak.index, lastBreak.start, lastBreak.x, lastBreak.spaceWidth, [&](Line& moved) {
                    x = lastBreak.x - lastBreak.spaceWidth;
                    finishLine(false, nullptr);
                    for (auto& fragment : moved.fragments) {
                        fragment.x -= moved.top;  // top carried the shift
                        addHeight(fragment.top, fragment.height - fragment.top);
                        hasText = hasText || !fragment.box;
                        rootText = rootText || (!fragment.box && !fragment.context->element);
                        line.fragments.push_back(fragment);
                    }
                    x = line.fragments.empty() ? 0 : line.fragments.back().x + line.fragments.back().width;
                });
            }
            int breakX = x + (pendingSpace ? pendingWidth : 0);
            commitSpace();
            if (canWrap && opportunity && !line.fragments.empty()) lastBreak = {true, 0, i, breakX, spaceWidth};
            // Pieces of one text node on one line share a fragment when nothing but one blank lies between.
            addPiece(i, end, width, singleSpaceBefore || !hadSpace);
            if (lastBreak.valid && lastBreak.start == i && lastBreak.x == breakX) lastBreak.index = line.fragments.size() - 1;
            addHeight(metrics.ascent - shift, metrics.descent + shift);
            hasText = true;
            rootText = rootText || !context.element;
            lastWasSpace = false;
            afterAtomic = false;
            afterIdeograph = IsIdeographic(text[end - 1]);
            i = end;
        }
    }
    if (rootContext) enter(rootContext);
    finishLine(false, nullptr);
    for (Box* pending : waiting) placeFloat(*pending);
    FrameInlineElements(box, fullWidth);
    // Floats reach below the block into the ones after it, unless it holds its own.
    return y;
}

void LayoutEngine::LayoutAtomic(Box& box, int cw) {
    ResolveEdges(box, cw);
    const Style& s = box.style;
    const int hEdges = HorizontalEdges(box);
    const int vEdges = box.border[0] + box.border[2] + box.padding[0] + box.padding[2];
    if (box.kind == BoxKind::Table) {
        LayoutTable(box, cw);
        return;
    }
    if (box.kind == BoxKind::InlineBlock) {
        Intrinsic size = Measure(box);
        int width = s.width.IsAuto() ? std::min(std::max(size.min, cw - box.margin[1] - box.margin[3]), size.max)
                                     : s.width.Resolve(cw) + hEdges;
        box.width = std::max(width, hEdges);
        int content = LayoutContent(box);
        if (s.height.unit == Length::Unit::Px) content = s.height.Resolve(0);
        box.height = content + vEdges;
        return;
    }
    // Replaced: pictures and controls.
    int width = 0, height = 0;
    const dom::Node& e = *box.node;
    paint::FontMetrics metrics{13, 3};
    if (e.Is(Tag::Img)) {
        int iw = box.intrinsicWidth, ih = box.intrinsicHeight;
        if (box.brokenPicture) {
            CString alt = e.GetAttribute(L"alt");
            int font = m_canvas.MakeFont(s.Font());
            iw = alt.IsEmpty() ? 16 : m_canvas.MeasureText(font, alt, alt.GetLength()) + 4;
            ih = alt.IsEmpty() ? 16 : m_canvas.Metrics(font).Height() + 4;
        }
        bool hasW = !s.width.IsAuto(), hasH = !s.height.IsAuto() && !s.height.IsPercent();
        width = hasW ? s.width.Resolve(cw) : iw;
        height = hasH ? s.height.Resolve(0) : ih;
        if (hasW && !hasH && iw > 0 && !box.brokenPicture) height = static_cast<int>(static_cast<long long>(width) * ih / iw);
        if (hasH && !hasW && ih > 0 && !box.brokenPicture) width = static_cast<int>(static_cast<long long>(height) * iw / ih);
    } else {
        int font = m_canvas.MakeFont(kControlFont);
        metrics = m_canvas.Metrics(font);
        CString type = e.GetAttribute(L"type");
        type.MakeLower();
        if (e.Is(Tag::Input) && (type == L"checkbox" || type == L"radio")) {
            width = height = 13;
        } else if (e.Is(Tag::Input) && (type == L"button" || type == L"submit" || type == L"reset")) {
            CString label = e.GetAttribute(L"value");
            if (label.IsEmpty() && type == L"submit") label = L"Submit";
            if (label.IsEmpty() && type == L"reset") label = L"Reset";
            width = m_canvas.MeasureText(font, label, label.GetLength()) + 16;
            height = metrics.Height() + 6;
        } else if (e.Is(Tag::Select)) {
            int widest = 0;
            for (const auto& option : e.Children())
                if (option->IsElement()) {
                    CString label;
                    for (const auto& t : option->Children())
                        if (t->IsText()) label += t->Data();
                    label.Trim();
                    widest = std::max(widest, m_canvas.MeasureText(font, label, std::min(label.GetLength(), 500)));
                }
            width = widest + 24;
            height = metrics.Height() + 4;
        } else if (e.Is(Tag::Textarea)) {
            long cols = std::wcstol(e.GetAttribute(L"cols").GetString(), nullptr, 10);
            long rows = std::wcstol(e.GetAttribute(L"rows").GetString(), nullptr, 10);
            // Columns of the fixed-pitch face (0.6 em of 13.33 px), the frame and the scroll bar beside them.
            width = static_cast<int>(std::clamp(cols <= 0 ? 20L : cols, 1L, 1000L) * 803 / 100) + 6 + 15;
            height = static_cast<int>(std::clamp(rows <= 0 ? 2L : rows, 1L, 1000L)) * metrics.Height() + 6;
        } else if (e.Is(Tag::Input)) {
            long size = std::wcstol(e.GetAttribute(L"size").GetString(), nullptr, 10);
            // As browsers size a text field: characters of the face's average width (6.76 px at
            // 13.33 px) and the room its widest glyph needs beyond one average, inside the frame.
            width = static_cast<int>((std::clamp(size <= 0 ? 20L : size, 1L, 1000L) * 676 + 3340 + 50) / 100) + 8;
            height = metrics.Height() + 6;
        } else {
            width = 300;
            height = 150;
        }
        if (!s.width.IsAuto()) width = s.width.Resolve(cw);
        if (!s.height.IsAuto() && !s.height.IsPercent()) height = s.height.Resolve(0);
    }
    box.width = Clamp(static_cast<long long>(std::max(width, 0)) + hEdges);
    box.height = Clamp(static_cast<long long>(std::max(height, 0)) + vEdges);
}

// From the top of an atomic box's margin box to its baseline: a control that shows text has
// the baseline of its text, a check box or option button the bottom of its frame, a picture
// and anything else the bottom of its margin box.
int LayoutEngine::AtomicBaseline(const Box& atomic) {
    const int marginHeight = atomic.height + atomic.margin[0] + atomic.margin[2];
    const dom::Node* e = atomic.node;
    if (atomic.kind != BoxKind::Replaced || !e) return marginHeight;
    const CString& type = e->GetAttribute(L"type");
    const bool check = type.CompareNoCase(L"checkbox") == 0 || type.CompareNoCase(L"radio") == 0;
    if (e->Is(Tag::Input) && check) return atomic.margin[0] + atomic.height;
    if (!e->Is(Tag::Input) && !e->Is(Tag::Select) && !e->Is(Tag::Button)) return marginHeight;
    paint::FontMetrics metrics = m_canvas.Metrics(m_canvas.MakeFont(kControlFont));
    int inner = atomic.height - atomic.border[0] - atomic.border[2] - atomic.padding[0] - atomic.padding[2];
    int baseline = atomic.margin[0] + atomic.border[0] + atomic.padding[0] + (inner - metrics.Height()) / 2 + metrics.ascent;
    return std::clamp(baseline, 0, marginHeight);
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

LayoutEngine::Intrinsic LayoutEngine::MeasureInline(Box& box) {
    Intrinsic result;
    long long lineWidth = 0;  // since the last forced break
    long long segment = 0;    // since the last break opportunity
    bool lastWasSpace = true;
    auto endSegment = [&]() {
        result.min = std::max(result.min, Clamp(segment));
        segment = 0;
    };
    auto endLine = [&]() {
        endSegment();
        result.max = std::max(result.max, Clamp(lineWidth));
        lineWidth = 0;
        lastWasSpace = true;
    };
    const InlineContext* inside = box.contexts.empty() ? nullptr : box.contexts.front().get();
    auto enter = [&](const InlineContext* to) {
        const int room = std::max(0, EdgeRoom(inside, to, 0));
        inside = to;
        segment += room;
        lineWidth += room;
    };
    for (const InlineItem& item : box.items) {
        const InlineContext& context = *item.context;
        const WhiteSpace ws = context.style.whiteSpace;
        const bool canWrap = ws == WhiteSpace::Normal || ws == WhiteSpace::PreWrap;
        if (&context != inside) enter(&context);
        if (item.kind == InlineItem::Kind::Break) {
            endLine();
            continue;
        }
        if (item.kind == InlineItem::Kind::Atomic) {
            Intrinsic c = Measure(*item.box);
            int margins = item.box->margin[1] + item.box->margin[3];
            if (canWrap) endSegment();
            segment += c.min + margins;
            lineWidth += c.max + margins;
            if (canWrap) endSegment();
            lastWasSpace = false;
            continue;
        }
        const auto [text, length, font] = TextOf(item);
        const bool pre = ws == WhiteSpace::Pre || ws == WhiteSpace::PreWrap;
        int i = 0;
        while (i < length) {
            if (pre && (text[i] == L'\n' || text[i] == L'\r')) {
                endLine();
                ++i;
                continue;
            }
            if (!pre && IsCollapsibleSpace(text[i])) {
                while (i < length && IsCollapsibleSpace(text[i])) ++i;
                if (!lastWasSpace) {
                    int space = m_canvas.MeasureText(font, L" ", 1);
                    lineWidth += space;
                    if (canWrap) endSegment();
                    else segment += space;
                    lastWasSpace = true;
                }
                continue;
            }
            int end = i;
            if (pre) {
                while (end < length && text[end] != L'\n' && text[end] != L'\r') ++end;
            } else {
                end = PieceEnd(text, i, length);
                if (canWrap && (IsIdeographic(text[i]) || (i > 0 && IsIdeographic(text[i - 1])))) endSegment();
            }
            int width = m_canvas.MeasureText(font, text + i, end - i);
            segment += width;
            lineWidth += width;
            lastWasSpace = false;
            i = end;
        }
    }
    if (inside) enter(box.contexts.front().get());
    endLine();
    return result;
}

// Tables -----------------------------------------------------------------------------

struct LayoutEngine::Grid {
    std::vector<Box*> rows;
    Box* caption = nullptr;
    int columns = 0;
    std::vector<Box*> cells;
};

void LayoutEngine::BuildGrid(Box& table, Grid& grid) {
    for (auto& child : table.children) {
        if (child->kind == BoxKind::Row) grid.rows.push_back(child.get());
        else if (!grid.caption) grid.caption = child.get();
    }
    std::vector<int> busyUntil;  // per column: the row where a cell spanning rows ends
    const int rowCount = static_cast<int>(grid.rows.size());
    for (int r = 0; r < rowCount; ++r) {
        int column = 0;
        for (auto& cellPtr : grid.rows[r]->children) {
            Box& cell = *cellPtr;
            while (column < static_cast<int>(busyUntil.size()) && busyUntil[column] > r) ++column;
            if (column >= kMaxColumns) {
                cell.colspan = 0;  // beyond the columns a table may have: not shown
                continue;
            }
            cell.column = column;
            cell.row = r;
            cell.colspan = std::min(std::max(cell.colspan, 1), kMaxColumns - column);
            cell.rowspan = std::min(std::max(cell.rowspan, 1), rowCount - r);
            if (static_cast<int>(busyUntil.size()) < column + cell.colspan) busyUntil.resize(column + cell.colspan, 0);
            for (int c = column; c < column + cell.colspan; ++c) busyUntil[c] = r + cell.rowspan;
            column += cell.colspan;
            grid.cells.push_back(&cell);
        }
    }
    grid.columns = static_cast<int>(busyUntil.size());
}

namespace {

struct Columns {
    std::vector<int> min, max, fixed;
    std::vector<float> percent;
};

void SpreadSpan(std::vector<int>& widths, int first, int span, int needed) {
    long long have = 0;
    for (int c = first; c < first + span; ++c) have += widths[c];
    if (needed <= have) return;
    long long extra = needed - have;
    for (int c = first; c < first + span; ++c) {
        long long share = have > 0 ? extra * widths[c] / have : extra / span;
        widths[c] += static_cast<int>(share);
    }
    long long now = 0;
    for (int c = first; c < first + span; ++c) now += widths[c];
    widths[first + span - 1] += static_cast<int>(needed - now);
}

// Cells spanning columns spread what they need beyond the spacing between those columns over them.
template <typename MeasureCell>
void SpreadSpanningCells(const std::vector<Box*>& cells, int spacing, Columns& cols, MeasureCell&& measure) {
    for (Box* cell : cells) {
        if (cell->colspan <= 1) continue;
        const auto c = measure(*cell);
        const int inner = spacing * (cell->colspan - 1);
        SpreadSpan(cols.min, cell->column, cell->colspan, c.min - inner);
        SpreadSpan(cols.max, cell->column, cell->colspan, c.max - inner);
    }
}

}  // namespace

LayoutEngine::Intrinsic LayoutEngine::MeasureTable(Box& table) {
    Grid grid;
    BuildGrid(table, grid);
    Columns cols;
    cols.min.assign(grid.columns, 0);
    cols.max.assign(grid.columns, 0);
    for (Box* cell : grid.cells) {
        if (cell->colspan != 1) continue;
        Intrinsic c = Measure(*cell);
        int column = cell->column;
        cols.min[column] = std::max(cols.min[column], c.min);
        int max = c.max;
        if (cell->style.width.unit == Length::Unit::Px) max = std::max(c.min, cell->style.width.Resolve(0) + HorizontalEdges(*cell));
        cols.max[column] = std::max(cols.max[column], max);
    }
    const int spacing = table.style.borderSpacing;
    SpreadSpanningCells(grid.cells, spacing, cols, [&](Box& cell) { return Measure(cell); });
    ResolveEdges(table, 0);
    long long fixedPart = static_cast<long long>(spacing) * (grid.columns + 1) + HorizontalEdges(table);
    if (grid.columns == 0) fixedPart = HorizontalEdges(table);
    Intrinsic result;
    long long min = fixedPart, max = fixedPart;
    for (int c = 0; c < grid.columns; ++c) min += cols.min[c], max += std::max(cols.max[c], cols.min[c]);
    result.min = Clamp(min);
    result.max = Clamp(max);
    if (table.style.width.unit == Length::Unit::Px) result.min = result.max = std::max(result.min, table.style.width.Resolve(0));
    if (grid.caption) {
        Intrinsic c = Measure(*grid.caption);
        result.min = std::max(result.min, c.min);
        result.max = std::max(result.max, c.min);
    }
    return result;
}

void LayoutEngine::LayoutTable(Box& table, int cw) {
    Grid grid;
    BuildGrid(table, grid);
    const int spacing = table.style.borderSpacing;
    const int n = grid.columns;
    // Column widths from the cells' intrinsic widths.
    Columns cols;
    cols.min.assign(n, 0);
    cols.max.assign(n, 0);
    cols.fixed.assign(n, -1);
    cols.percent.assign(n, 0);
    for (Box* cell : grid.cells) {
        Intrinsic c = Measure(*cell);
        ResolveEdges(*cell, 0);
        if (cell->colspan != 1) continue;
        int column = cell->column;
        cols.min[column] = std::max(cols.min[column], c.min);
        cols.max[column] = std::max(cols.max[column], c.max);
        if (cell->style.width.unit == Length::Unit::Px)
            cols.fixed[column] = std::max(cols.fixed[column], cell->style.width.Resolve(0) + HorizontalEdges(*cell));
        else if (cell->style.width.IsPercent())
            cols.percent[column] = std::max(cols.percent[column], std::min(cell->style.width.value, 100.0f));
    }
    SpreadSpanningCells(grid.cells, spacing, cols, [&](Box& cell) { return Measure(cell); });
    ResolveEdges(table, cw);
    const int edges = HorizontalEdges(table);
    const long long spacingTotal = n > 0 ? static_cast<long long>(spacing) * (n + 1) : 0;
    long long sumMin = 0, sumTarget = 0;
    std::vector<int> target(n);
    for (int c = 0; c < n; ++c) {
        sumMin += cols.min[c];
        cols.max[c] = std::max(cols.max[c], cols.min[c]);
        if (cols.fixed[c] >= 0) cols.max[c] = std::max(cols.min[c], cols.fixed[c]);
    }
    const int available = std::max(0, cw - table.margin[1] - table.margin[3]);
    long long width;
    const long long minTable = sumMin + spacingTotal + edges;
    if (!table.style.width.IsAuto()) {
        width = std::max<long long>(table.style.width.Resolve(cw), minTable);
    } else {
        long long sumMax = 0;
        for (int c = 0; c < n; ++c) sumMax += cols.max[c];
        long long maxTable = sumMax + spacingTotal + edges;
        // Percent columns ask for the table width that gives them their share.
        float percentSum = 0;
        for (int c = 0; c < n; ++c) percentSum += cols.percent[c];
        if (percentSum > 0) {
            for (int c = 0; c < n; ++c)
                if (cols.percent[c] > 0) maxTable = std::max<long long>(maxTable, static_cast<long long>(cols.max[c] * 100 / cols.percent[c]));
            if (percentSum < 100) {
                long long rest = 0;
                for (int c = 0; c < n; ++c)
                    if (cols.percent[c] <= 0) rest += cols.max[c];
                maxTable = std::max<long long>(maxTable, static_cast<long long>(rest * 100 / (100 - percentSum)) + spacingTotal + edges);
            } else {
                maxTable = std::max<long long>(maxTable, available);
            }
        }
        width = std::max(std::min<long long>(available, maxTable), minTable);
    }
    if (grid.caption) width = std::max<long long>(width, Measure(*grid.caption).min);  // the caption widens its table
    width = std::clamp<long long>(width, 0, kMaxExtent);
    const long long room = std::max<long long>(0, width - spacingTotal - edges);
    for (int c = 0; c < n; ++c) {
        if (cols.percent[c] > 0) target[c] = std::max(cols.min[c], static_cast<int>(room * cols.percent[c] / 100));
        else target[c] = cols.max[c];
        sumTarget += target[c];
    }
    std::vector<int> widths(n);
    if (room >= sumTarget) {
        long long extra = room - sumTarget;
        long long autoSum = 0;
        int autoCount = 0;
        for (int c = 0; c < n; ++c)
            if (cols.percent[c] <= 0 && cols.fixed[c] < 0) autoSum += target[c], ++autoCount;
        bool toAuto = autoCount > 0;
        long long base = toAuto ? autoSum : sumTarget;
        int count = toAuto ? autoCount : n;
        long long given = 0;
        int lastTaker = -1;
        for (int c = 0; c < n; ++c) {
            widths[c] = target[c];
            bool takes = !toAuto || (cols.percent[c] <= 0 && cols.fixed[c] < 0);
            if (!takes) continue;
            long long share = base > 0 ? extra * target[c] / base : extra / std::max(count, 1);
            widths[c] += static_cast<int>(share);
            given += share;
            lastTaker = c;
        }
        if (lastTaker >= 0) widths[lastTaker] += static_cast<int>(extra - given);
    } else {
        long long extra = room - sumMin;
        for (int c = 0; c < n; ++c) widths[c] = cols.min[c];
        // Percent columns first, then fixed ones, then the rest in proportion.
        for (int pass = 0; pass < 2 && extra > 0; ++pass)
            for (int c = 0; c < n && extra > 0; ++c) {
                bool inPass = pass == 0 ? cols.percent[c] > 0 : cols.fixed[c] >= 0 && cols.percent[c] <= 0;
                if (!inPass) continue;
                long long grow = std::min<long long>(extra, target[c] - widths[c]);
                if (grow > 0) widths[c] += static_cast<int>(grow), extra -= grow;
            }
        long long want = 0;
        for (int c = 0; c < n; ++c)
            if (cols.percent[c] <= 0 && cols.fixed[c] < 0) want += target[c] - widths[c];
        if (want > 0 && extra > 0) {
            long long given = 0;
            int lastTaker = -1;
            for (int c = 0; c < n; ++c) {
                if (cols.percent[c] > 0 || cols.fixed[c] >= 0) continue;
                long long share = std::min<long long>(extra * (target[c] - widths[c]) / want, target[c] - widths[c]);
                widths[c] += static_cast<int>(share);
                given += share;
                lastTaker = c;
            }
            if (lastTaker >= 0) widths[lastTaker] += static_cast<int>(std::min<long long>(extra - given, std::max(0, target[lastTaker] - widths[lastTaker])));
        }
    }
    table.width = static_cast<int>(width);
    table.columnWidths = widths;
    table.columnX.assign(n, 0);
    long long x = table.border[3] + table.padding[3] + spacing;
    for (int c = 0; c < n; ++c) {
        table.columnX[c] = Clamp(x);
        x += static_cast<long long>(widths[c]) + spacing;
    }
    // Caption above the grid.
    long long y = 0;
    if (grid.caption) {
        LayoutBlock(*grid.caption, table.width, table.style);
        grid.caption->x = grid.caption->margin[3];
        grid.caption->y = grid.caption->margin[0];
        y = static_cast<long long>(grid.caption->height) + grid.caption->margin[0] + grid.caption->margin[2];
    }
    const long long gridTop = y;
    y += table.border[0] + table.padding[0] + spacing;
    // Cells: widths, content, then row heights.
    const int rowCount = static_cast<int>(grid.rows.size());
    std::vector<long long> rowHeights(rowCount, 0);
    for (int r = 0; r < rowCount; ++r)
        if (grid.rows[r]->style.height.unit == Length::Unit::Px) rowHeights[r] = grid.rows[r]->style.height.Resolve(0);
    for (Box* cell : grid.cells) {
        long long cellWidth = static_cast<long long>(spacing) * (cell->colspan - 1);
        for (int c = cell->column; c < cell->column + cell->colspan; ++c) cellWidth += widths[c];
        ResolveEdges(*cell, static_cast<int>(width));
        cell->width = Clamp(cellWidth);
        int content = LayoutContent(*cell);
        long long height = static_cast<long long>(content) + cell->border[0] + cell->border[2] + cell->padding[0] + cell->padding[2];
        if (cell->style.height.unit == Length::Unit::Px) height = std::max<long long>(height, cell->style.height.Resolve(0));
        cell->height = Clamp(height);
        cell->collapsedTop = content;  // the content height, until the row is known
        if (cell->rowspan == 1) rowHeights[cell->row] = std::max<long long>(rowHeights[cell->row], height);
    }
    for (Box* cell : grid.cells) {
        if (cell->rowspan <= 1) continue;
        long long have = static_cast<long long>(spacing) * (cell->rowspan - 1);
        for (int r = cell->row; r < cell->row + cell->rowspan; ++r) have += rowHeights[r];
        if (cell->height > have) rowHeights[cell->row + cell->rowspan - 1] += cell->height - have;
    }
    std::vector<long long> rowY(rowCount);
    for (int r = 0; r < rowCount; ++r) {
        rowY[r] = y;
        Box& row = *grid.rows[r];
        row.x = n > 0 ? table.columnX[0] : 0;
        row.y = Clamp(y);
        row.width = n > 0 ? Clamp(x - spacing - row.x) : 0;
        row.height = Clamp(rowHeights[r]);
        y += rowHeights[r] + spacing;
    }
    for (Box* cell : grid.cells) {
        Box& row = *grid.rows[cell->row];
        long long height = static_cast<long long>(spacing) * (cell->rowspan - 1);
        for (int r = cell->row; r < cell->row + cell->rowspan; ++r) height += rowHeights[r];
        int content = cell->collapsedTop;
        cell->collapsedTop = cell->margin[0];
        cell->x = table.columnX[cell->column] - row.x;
        cell->y = 0;
        cell->height = Clamp(height);
        int inner = cell->height - cell->border[0] - cell->border[2] - cell->padding[0] - cell->padding[2];
        int free = std::max(0, inner - content);
        if (cell->style.verticalAlign == VerticalAlign::Middle) ShiftContent(*cell, free / 2);
        else if (cell->style.verticalAlign == VerticalAlign::Bottom) ShiftContent(*cell, free);
    }
    long long height = y + table.padding[2] + table.border[2];
    if (rowCount == 0 || n == 0) height = gridTop + table.border[0] + table.padding[0] + table.padding[2] + table.border[2];
    if (table.style.height.unit == Length::Unit::Px) height = std::max<long long>(height, gridTop + table.style.height.Resolve(0));
    table.height = Clamp(height);
    table.selfCollapsing = false;
    table.collapsedTop = table.margin[0];
    table.collapsedBottom = table.margin[2];
}

}  // namespace layout
