// Inline flow: the items of a block broken into lines around the floats, the line
// box from the strut and what stands on it, framed inline elements, and the
// widths the content asks for.
#include "layout/LayoutEngine.h"
#include "layout/LayoutShared.h"

#include <algorithm>
#include <cstdint>

namespace layout {

using dom::Tag;

namespace {

// How far the baseline of text moves down (sub) or up (super, negative).
int BaselineShift(const InlineContext& context) {
    int parentSize = context.parent ? context.parent->style.fontSize : context.style.fontSize;
    switch (context.style.verticalAlign) {
    case VerticalAlign::Sub: return parentSize / 5 + 1;
    case VerticalAlign::Super: return -(parentSize / 3 + 1);
    default: return 0;
    }
}

// A font's ascent and descent with the leading of the line height asked for (half above,
// half below); as they are for `normal`.
paint::FontMetrics WithLineHeight(paint::FontMetrics m, const Style& s) {
    const int height = s.LineHeight();
    if (height < 0) return m;
    const int leading = height - m.ascent - m.descent;
    const int above = m.ascent + (leading >= 0 ? leading / 2 : -((-leading + 1) / 2));
    return {above, height - above};
}

int ShiftOf(const InlineContext* context) {
    int shift = 0;
    for (; context; context = context->parent) shift += BaselineShift(*context);
    return shift;
}

}  // namespace

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
        // The blank the line breaks at goes; a hyphen or an ideograph before the break stays.
        const CString& data = holder.node->Data();
        const bool blank = start > 0 && start <= data.GetLength() && IsCollapsibleSpace(data[start - 1]);
        holder.length = std::max(0, start - (blank ? 1 : 0) - holder.start);
        holder.width = std::max(0, breakX - holder.x - spaceWidth);
        holder.collapsedSpaceAfter = false;
        moved.fragments.push_back(tail);
        firstMoved = index + 1;
    } else if (index > 0 && line.fragments[index - 1].collapsedSpaceAfter) {
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

}  // namespace

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

namespace {

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
    if (rootContext) strut = WithLineHeight(FontMetricsOf(*rootContext), rootContext->style);
    const bool standards = !box.style.quirks;

    Line line;
    int x = 0;
    int ascent = 0, descent = 0, tallest = 0;
    bool hasText = false;
    bool rootText = false;  // text directly in the block, outside inline elements
    bool lastWasSpace = true;   // white space at a line's start is dropped
    bool pendingSpace = false;  // a collapsed space waits between the last piece and the next
    int pendingWidth = 0;
    bool pendingSpaceWraps = false;  // the line may break at it (it lies where text wraps)
    const dom::Node* pendingSpaceNode = nullptr;  // the text it comes from
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
        // The blank belongs to the text it stands in: a piece before it in another element (a link,
        // a picture) ends where its own text ends.
        if (!line.fragments.empty() && line.fragments.size() != edgeAfter && !line.fragments.back().box &&
            line.fragments.back().node == pendingSpaceNode) {
            Fragment& previous = line.fragments.back();
            previous.width += pendingWidth;
            previous.collapsedSpaceAfter = true;
        }
        x += pendingWidth;
        pendingSpace = false;
    };
    auto finishLine = [&](bool forced, const InlineContext* breakContext) {
        pendingSpace = false;
        if (line.fragments.empty() && !forced) return;
        if (line.fragments.empty() && breakContext) {
            paint::FontMetrics m = WithLineHeight(FontMetricsOf(*breakContext), breakContext->style);
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
            line.breakNode = item.node;
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
        const paint::FontMetrics metrics = FontMetricsOf(context);
        const paint::FontMetrics spaced = WithLineHeight(metrics, context.style);  // the room it takes on its line
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
                    addHeight(spaced.ascent - shift, spaced.descent + shift);
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
                } else if (ws == WhiteSpace::PreWrap) {
                    // A word and the blanks after it: the line may break after blanks, which hang
                    // at its end rather than push the word to the next line.
                    int word = i;
                    while (word < length && text[word] != L' ' && text[word] != L'\n' && text[word] != L'\r' && text[word] != L'\t') ++word;
                    end = word;
                    while (end < length && text[end] == L' ') ++end;
                    const int wordWidth = m_canvas.MeasureText(font, text + i, word - i);
                    if (!line.fragments.empty() && x + wordWidth > avail && (i == 0 || text[i - 1] == L' ')) finishLine(false, nullptr);
                    addPiece(i, end, m_canvas.MeasureText(font, text + i, end - i), true);
                } else {
                    while (end < length && text[end] != L'\n' && text[end] != L'\r' && text[end] != L'\t') ++end;
                    addPiece(i, end, m_canvas.MeasureText(font, text + i, end - i), false);
                }
                addHeight(spaced.ascent - shift, spaced.descent + shift);
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
                    pendingSpaceWraps = canWrap;
                    pendingSpaceNode = item.node;
                }
                i = end;
                continue;
            }
            int end = PieceEnd(text, i, length);
            int width = m_canvas.MeasureText(font, text + i, end - i);
            bool hadSpace = pendingSpace;
            bool opportunity = pendingSpace || afterAtomic || afterIdeograph || IsIdeographic(text[i]) || BreakAfterHyphen(text, i);
            // A blank where text wraps lets the line break before a run that does not (NOBR).
            const bool breakable = opportunity && (canWrap || (pendingSpace && pendingSpaceWraps));
            int spaceWidth = pendingSpace ? pendingWidth : 0;
            bool singleSpaceBefore = pendingSpace && i > 0 && text[i - 1] == L' ' && (i < 2 || !IsCollapsibleSpace(text[i - 2]));
            if (breakable && !line.fragments.empty() && x + spaceWidth + width > avail) {
                finishLine(false, nullptr);
                singleSpaceBefore = false;
            } else if (!breakable && lastBreak.valid && lastBreak.x > 0 && x + spaceWidth + width > avail) {
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
            if (breakable && !line.fragments.empty()) lastBreak = {true, 0, i, breakX, spaceWidth};
            // Pieces of one text node on one line share a fragment when nothing but one blank lies between.
            addPiece(i, end, width, singleSpaceBefore || !hadSpace);
            if (lastBreak.valid && lastBreak.start == i && lastBreak.x == breakX) lastBreak.index = line.fragments.size() - 1;
            addHeight(spaced.ascent - shift, spaced.descent + shift);
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
    // Nothing but collapsible white space makes no line: the block's margins collapse through it
    // (a bookmark file's "<DL><p>" takes no room).
    if (box.lines.empty()) box.selfCollapsing = true;
    // Floats reach below the block into the ones after it, unless it holds its own.
    return y;
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
            if (ws == WhiteSpace::PreWrap && text[i] == L' ') {  // blanks hang: the next word may start a line
                while (end < length && text[end] == L' ') ++end;
                lineWidth += m_canvas.MeasureText(font, text + i, end - i);
                endSegment();
                i = end;
                continue;
            }
            if (ws == WhiteSpace::PreWrap) {
                while (end < length && text[end] != L'\n' && text[end] != L'\r' && text[end] != L' ') ++end;
            } else if (pre) {
                while (end < length && text[end] != L'\n' && text[end] != L'\r') ++end;
            } else {
                end = PieceEnd(text, i, length);
                if (canWrap && (IsIdeographic(text[i]) || (i > 0 && IsIdeographic(text[i - 1])) || BreakAfterHyphen(text, i))) endSegment();
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

}  // namespace layout
