#include "layout/DocumentLayout.h"

#include "layout/LayoutEngine.h"

#include <algorithm>
#include <climits>
#include <tuple>

namespace layout {

using dom::Tag;

DocumentLayout::DocumentLayout(const dom::Document& document, paint::Canvas& measure, PictureLoader loader)
    : m_document(document), m_measure(measure), m_loader(std::move(loader)) {}

void DocumentLayout::Rebuild() { Rebuild(m_viewportWidth); }

void DocumentLayout::Rebuild(int viewportWidth) {
    m_root = BuildBoxes(m_document, m_loader);
    Layout(viewportWidth);
}

namespace {

// A box taken over is measured again, as a new one would be.
void ForgetMeasures(Box& box) {
    box.minWidth = box.maxWidth = -1;
    for (auto& child : box.children) ForgetMeasures(*child);
    for (auto& atomic : box.inlineBoxes) ForgetMeasures(*atomic);
}

}  // namespace

void DocumentLayout::Rebuild(int viewportWidth, const std::unordered_set<const dom::Node*>& touchedRows) {
    if (!m_root) return Rebuild(viewportWidth);
    // The old boxes stay until the new tree is built: each untouched row moves over once.
    auto reuse = [&](const dom::Node& row) -> std::unique_ptr<Box> {
        if (touchedRows.count(&row)) return nullptr;
        auto found = m_boxes.find(&row);
        if (found == m_boxes.end() || found->second->kind != BoxKind::Row || !found->second->parent) return nullptr;
        for (auto& sibling : found->second->parent->children)
            if (sibling.get() == found->second) {
                std::unique_ptr<Box> kept = std::move(sibling);
                m_boxes.erase(found);
                ForgetMeasures(*kept);
                return kept;
            }
        return nullptr;
    };
    m_root = BuildBoxes(m_document, m_loader, reuse);
    Layout(viewportWidth);
}

void DocumentLayout::Layout(int viewportWidth) {
    m_viewportWidth = std::max(viewportWidth, 0);
    m_boxes.clear();
    m_origins.clear();
    m_contentWidth = m_viewportWidth;
    m_contentHeight = 0;
    m_hasFloats = false;
    if (!m_root) return;
    LayoutEngine engine(m_measure);
    engine.LayoutRoot(*m_root, m_viewportWidth, m_viewportHeight);
    m_usesViewportHeight = engine.UsedViewportHeight();
    Index(*m_root, 0, 0);
    RestoreScrollPositions();
}

namespace {

// Calls visit(box, x, y) with the page origin of the box and of every box below it.
template <typename Visit>
void ForEachBoxAt(Box& top, int parentX, int parentY, Visit&& visit) {
    // Iterative: deep pages must not exhaust the stack.
    struct Entry {
        Box* box;
        int x, y;
    };
    std::vector<Entry> stack{{&top, parentX, parentY}};
    while (!stack.empty()) {
        Entry e = stack.back();
        stack.pop_back();
        int x = e.x + e.box->x, y = e.y + e.box->y;
        visit(*e.box, x, y);
        for (const auto& child : e.box->children) stack.push_back({child.get(), x, y});
        for (const auto& child : e.box->inlineBoxes) stack.push_back({child.get(), x, y});
    }
}

// What boxes cover, in page coordinates: the right and bottom edges that the
// page's extent counts, and the band from the highest to the lowest pixel they
// may paint (text and inline frames reaching out of their lines included).
struct Extent {
    int right = INT_MIN, bottom = INT_MIN;
    int inkTop = INT_MAX, inkBottom = INT_MIN;
    void Cover(const Box& box, int x, int y) {
        right = std::max(right, x + box.width + box.margin[1]);
        bottom = std::max(bottom, y + box.height + box.margin[2]);
        Ink(y, y + box.height);
        for (const auto& line : box.lines) {
            const int top = y + line.top;
            Ink(top, top + line.height);
            for (const auto& fragment : line.fragments) {
                right = std::max(right, x + fragment.x + fragment.width);
                Ink(top + fragment.top, top + fragment.top + fragment.height);
            }
            for (const auto& span : line.spans) Ink(top + span.top, top + span.bottom);
        }
    }
    void Ink(int top, int bottom) {
        inkTop = std::min(inkTop, top);
        inkBottom = std::max(inkBottom, bottom);
    }
    // The band across the page's full width.
    paint::Rect Band() const { return inkTop < inkBottom ? paint::Rect{0, inkTop, kFar, inkBottom} : paint::Rect{}; }
    static constexpr int kFar = 1 << 29;
};

}  // namespace

Box* DocumentLayout::TextBlock(const dom::Node& text) const {
    const dom::Node* ancestor = text.Parent();
    while (ancestor && !m_boxes.count(ancestor)) ancestor = ancestor->Parent();
    if (!ancestor) return nullptr;
    // Its own items, or those of an anonymous block in it.
    std::vector<Box*> stack{m_boxes.at(ancestor)};
    while (!stack.empty()) {
        Box* box = stack.back();
        stack.pop_back();
        for (const auto& item : box->items)
            if (item.node == &text) return item.kind == InlineItem::Kind::Text ? box : nullptr;
        for (const auto& child : box->children)
            if (!child->node) stack.push_back(child.get());
    }
    return nullptr;
}

std::optional<paint::Rect> DocumentLayout::TextBlockArea(const dom::Node& text) const {
    Box* block = TextBlock(text);
    if (!block) return std::nullopt;
    auto [x, y] = m_origins.at(block);
    Extent extent;
    ForEachBoxAt(*block, x - block->x, y - block->y, [&](const Box& b, int bx, int by) { extent.Cover(b, bx, by); });
    return extent.Band();
}

namespace {

bool IsAllSpace(const CString& text) {
    for (wchar_t c : text.str())
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\f') return false;
    return true;
}

// True where laying out the block's lines again can change nothing but the
// block's height: it and the boxes around it are plain blocks.
bool RelaysAlone(const Box& block) {
    int depth = 0;
    for (const Box* box = &block; box; box = box->parent, ++depth)
        if ((box->kind != BoxKind::Block && box->kind != BoxKind::ListItem) || box->ClipsContent() || depth > 1000) return false;
    if (block.node) return true;
    // An anonymous block of nothing but white space goes when the boxes are built.
    return std::any_of(block.items.begin(), block.items.end(), [](const InlineItem& item) {
        return item.kind != InlineItem::Kind::Text || !IsAllSpace(item.node->Data());
    });
}

}  // namespace

bool DocumentLayout::RelayoutText(const std::vector<const dom::Node*>& texts, paint::Rect& repaint) {
    if (!m_root || m_hasFloats || m_usesViewportHeight) return false;
    std::vector<Box*> blocks;
    for (const dom::Node* text : texts) {
        Box* block = TextBlock(*text);
        // An emptied text has no item once the boxes are built again.
        if (!block || text->Data().IsEmpty()) return false;
        if (std::find(blocks.begin(), blocks.end(), block) == blocks.end()) blocks.push_back(block);
    }
    for (Box* block : blocks)
        if (!RelaysAlone(*block)) return false;
    struct Relaid {
        Box* block;
        int parentX, parentY;  // the page origin of its parent
        Extent before;
    };
    std::vector<Relaid> relaid;
    for (Box* block : blocks) {
        auto [x, y] = m_origins.at(block);
        Relaid r{block, x - block->x, y - block->y, {}};
        ForEachBoxAt(*block, r.parentX, r.parentY, [&](const Box& b, int bx, int by) { r.before.Cover(b, bx, by); });
        relaid.push_back(r);
    }
    LayoutEngine engine(m_measure);
    bool moved = false;
    for (Box* block : blocks) {
        const int before = block->height;
        engine.RelayoutContent(*block);
        // What follows in each box around it moves by the change, up to a box of fixed height.
        const int dy = block->height - before;
        moved = moved || dy != 0;
        for (Box* box = block; dy != 0 && box->parent; box = box->parent) {
            Box& parent = *box->parent;
            auto at = std::find_if(parent.children.begin(), parent.children.end(), [&](const auto& c) { return c.get() == box; });
            for (++at; at != parent.children.end(); ++at) (*at)->y += dy;
            if (parent.style.height.unit == Length::Unit::Px) break;
            parent.height += dy;
        }
    }
    // Nothing moved: only the blocks' own boxes need their origins, and the page's
    // extent changes with theirs, unless one that reached it shrank. What needs
    // painting is the blocks' bands, as they were and as they are; when anything
    // moved, all from the highest block down (from its top even when it painted
    // nothing before: a block of only white space, no height, that gets its first
    // line).
    repaint = {};
    bool shrank = moved;
    int movedTop = INT_MAX;
    for (Relaid& r : relaid) {
        repaint = repaint.Union(r.before.Band());
        if (moved) {
            movedTop = std::min(movedTop, r.before.inkTop);
            continue;
        }
        Extent after;
        ForEachBoxAt(*r.block, r.parentX, r.parentY, [&](const Box& b, int bx, int by) { after.Cover(b, bx, by); });
        repaint = repaint.Union(after.Band());
        shrank = shrank || (r.before.right >= m_contentWidth && after.right < r.before.right) ||
                 (r.before.bottom >= m_contentHeight && after.bottom < r.before.bottom);
        Index(*r.block, r.parentX, r.parentY);
    }
    if (moved) repaint = repaint.Union({0, movedTop, Extent::kFar, Extent::kFar});
    if (shrank) IndexAll();
    return true;
}

void DocumentLayout::Index(Box& box, int parentX, int parentY) {
    // Iterative: deep pages must not exhaust the stack.
    struct Entry {
        Box* box;
        int x, y;
        bool clipped;  // inside a box that cuts off its content: no part of the page's extent
    };
    std::vector<Entry> stack{{&box, parentX, parentY, false}};
    while (!stack.empty()) {
        Entry e = stack.back();
        stack.pop_back();
        Box& b = *e.box;
        int x = e.x + b.x, y = e.y + b.y;
        ++m_boxesPlaced;
        m_origins[&b] = {x, y};
        if (b.node) m_boxes[b.node] = &b;
        if (b.style.floating != Float::None) m_hasFloats = true;
        if (!e.clipped) {
            m_contentWidth = std::max(m_contentWidth, x + b.width + b.margin[1]);
            m_contentHeight = std::max(m_contentHeight, y + b.height + b.margin[2]);
            for (const auto& line : b.lines)
                for (const auto& fragment : line.fragments)
                    m_contentWidth = std::max(m_contentWidth, x + fragment.x + fragment.width);
        }
        b.scrollX = b.scrollY = 0;
        if (b.node && !m_scrollPositions.empty() && b.ClipsContent())
            if (auto held = m_scrollPositions.find(b.node); held != m_scrollPositions.end()) std::tie(b.scrollX, b.scrollY) = held->second;
        const bool clipped = e.clipped || b.ClipsContent();
        for (const auto& child : b.children) stack.push_back({child.get(), x - b.scrollX, y - b.scrollY, clipped});
        for (const auto& child : b.inlineBoxes) stack.push_back({child.get(), x - b.scrollX, y - b.scrollY, clipped});
    }
}

void DocumentLayout::IndexAll() {
    m_boxes.clear();
    m_origins.clear();
    m_contentWidth = m_viewportWidth;
    m_contentHeight = 0;
    m_hasFloats = false;
    if (m_root) Index(*m_root, 0, 0);
}

void DocumentLayout::RestoreScrollPositions() {
    bool moved = false;
    for (auto it = m_scrollPositions.begin(); it != m_scrollPositions.end();) {
        auto found = m_boxes.find(it->first);
        if (found == m_boxes.end() || !found->second->ClipsContent()) {
            it = m_scrollPositions.erase(it);  // the element went, or no longer scrolls
            continue;
        }
        const ClientArea area = Client(*it->first);
        const std::pair<int, int> kept{std::clamp(it->second.first, 0, std::max(0, area.scrollWidth - area.clientWidth)),
                                       std::clamp(it->second.second, 0, std::max(0, area.scrollHeight - area.clientHeight))};
        moved = moved || kept != it->second;
        it->second = kept;
        ++it;
    }
    if (moved) IndexAll();
}

bool DocumentLayout::ScrollElementAt(int x, int y, int dy) {
    for (const dom::Node* node = HitTest(x, y).element; node; node = node->Parent()) {
        auto it = m_boxes.find(node);
        if (it == m_boxes.end() || !it->second->ClipsContent()) continue;
        const Overflow overflow = it->second->style.overflow;
        if (overflow != Overflow::Auto && overflow != Overflow::Scroll) continue;
        const ClientArea area = Client(*node);
        const auto [left, top] = ElementScroll(*node);
        const long long wanted = std::clamp<long long>(static_cast<long long>(top) + dy, 0, std::max(0, area.scrollHeight - area.clientHeight));
        if (wanted == top) continue;  // at its end that way: the one around it moves
        return ScrollElement(*node, left, static_cast<int>(wanted));
    }
    return false;
}

paint::Rect DocumentLayout::VisibleArea(const dom::Node& node) const {
    paint::Rect area{INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2};
    const dom::Node* ancestor = &node;
    while (ancestor && !m_boxes.count(ancestor)) ancestor = ancestor->Parent();
    if (!ancestor) return area;
    for (const Box* box = m_boxes.at(ancestor); box; box = box->parent) {
        if (!box->ClipsContent()) continue;
        auto [x, y] = m_origins.at(box);
        area = area.Intersect({x + box->border[3], y + box->border[0], x + box->width - box->border[1], y + box->height - box->border[2]});
    }
    return area;
}

std::pair<int, int> DocumentLayout::ElementScroll(const dom::Node& element) const {
    auto it = m_boxes.find(&element);
    if (it == m_boxes.end()) return {0, 0};
    return {it->second->scrollX, it->second->scrollY};
}

bool DocumentLayout::ScrollElement(const dom::Node& element, int x, int y) {
    auto it = m_boxes.find(&element);
    if (it == m_boxes.end() || !it->second->ClipsContent()) return false;
    m_scrollPositions[&element] = {x, y};
    IndexAll();  // the boxes take the held position
    RestoreScrollPositions();
    return true;
}

paint::Color DocumentLayout::CanvasBackground() const {
    if (!m_root) return paint::Rgb(255, 255, 255);
    if (m_root->style.background != paint::kTransparent) return m_root->style.background;
    for (const auto& child : m_root->children)
        if (child->node && child->node->Is(Tag::Body) && child->style.background != paint::kTransparent) return child->style.background;
    return paint::Rgb(255, 255, 255);
}

namespace {

// Calls visit(block, blockX, blockY, line, fragment) for every fragment below the box.
// (The origin given is the box's border box; its content moves with its scroll position.)
template <typename Visit>
void ForEachFragment(const Box& box, int x, int y, Visit&& visit) {
    x -= box.scrollX;
    y -= box.scrollY;
    for (const auto& line : box.lines)
        for (const auto& fragment : line.fragments) visit(box, x, y, line, fragment);
    for (const auto& child : box.children)
        if (!child->node) ForEachFragment(*child, x + child->x, y + child->y, visit);
}

// Calls visit(blockX, blockY, line) for every line of the box and of its anonymous blocks.
template <typename Visit>
void ForEachLine(const Box& box, int x, int y, Visit&& visit) {
    x -= box.scrollX;
    y -= box.scrollY;
    for (const auto& line : box.lines) visit(x, y, line);
    for (const auto& child : box.children)
        if (!child->node) ForEachLine(*child, x + child->x, y + child->y, visit);
}

bool InContext(const InlineContext* context, const dom::Node& element) {
    for (; context; context = context->parent)
        if (context->element == &element) return true;
    return false;
}

}  // namespace

std::optional<paint::Rect> DocumentLayout::BorderBox(const dom::Node& element, int* firstLeft) const {
    if (auto it = m_boxes.find(&element); it != m_boxes.end()) {
        const Box& box = *it->second;
        auto [x, y] = m_origins.at(&box);
        if (firstLeft) *firstLeft = x;
        int height = box.height;
        // Old pages: HTML, and BODY within its margins, are at least as tall as the viewport.
        const bool root = !box.parent, body = element.Is(dom::Tag::Body) && box.parent && !box.parent->parent;
        if (box.style.quirks && m_viewportHeight > 0 && box.style.height.IsAuto() && (root || body))
            height = std::max(height, root ? m_viewportHeight : m_viewportHeight - box.margin[0] - box.margin[2]);
        return paint::Rect{x, y, x + box.width, y + height};
    }
    // An inline element or text: the fragments it holds, in its nearest block.
    const dom::Node* ancestor = element.Parent();
    while (ancestor && !m_boxes.count(ancestor)) ancestor = ancestor->Parent();
    if (!ancestor) return std::nullopt;
    const Box& block = *m_boxes.at(ancestor);
    auto [bx, by] = m_origins.at(&block);
    std::optional<paint::Rect> result;
    ForEachFragment(block, bx, by, [&](const Box&, int x, int y, const Line& line, const Fragment& fragment) {
        bool inside = fragment.node == &element || InContext(fragment.context, element) ||
                      (fragment.node && element.Contains(fragment.node));
        if (!inside) return;
        paint::Rect r{x + fragment.x, y + line.top + fragment.top, x + fragment.x + fragment.width,
                      y + line.top + fragment.top + fragment.height};
        if (fragment.box && fragment.box->node != &element) {
            // A link (or other inline element) around a picture: browsers report the element's
            // own box on the line, its font's height on the baseline, not the picture's.
            const InlineContext* c = fragment.context;
            while (c && c->element != &element) c = c->parent;
            if (c) {
                const paint::FontMetrics m = m_measure.Metrics(c->font >= 0 ? c->font : m_measure.MakeFont(c->style.Font()));
                r.top = y + line.top + line.baseline - m.ascent;
                r.bottom = y + line.top + line.baseline + m.descent;
            }
        }
        if (!result && firstLeft) *firstLeft = r.left;
        result = result ? result->Union(r) : r;
        if (result->IsEmpty()) result = r;
    });
    bool opened = false;
    // With a border or padding, the element's own boxes on its lines.
    ForEachLine(block, bx, by, [&](int x, int y, const Line& line) {
        for (const auto& span : line.spans)
            if (span.context->element == &element) {
                paint::Rect r{x + span.left, y + line.top + span.top, x + span.right, y + line.top + span.bottom};
                if (!opened && firstLeft) *firstLeft = r.left;
                opened = true;
                result = result ? result->Union(r) : r;
            }
    });
    return result;
}

std::vector<paint::Rect> DocumentLayout::TextRects(const dom::Node& node) const {
    std::vector<paint::Rect> rects;
    const dom::Node* ancestor = &node;
    while (ancestor && !m_boxes.count(ancestor)) ancestor = ancestor->Parent();
    if (!ancestor) return rects;
    std::vector<const Box*> stack{m_boxes.at(ancestor)};
    while (!stack.empty()) {
        const Box* box = stack.back();
        stack.pop_back();
        auto [x, y] = m_origins.at(box);
        x -= box->scrollX;
        y -= box->scrollY;
        for (const auto& line : box->lines)
            for (const auto& fragment : line.fragments)
                if (!fragment.box && fragment.node && node.Contains(fragment.node))
                    rects.push_back({x + fragment.x, y + line.top + fragment.top, x + fragment.x + fragment.width,
                                     y + line.top + fragment.top + fragment.height});
        for (const auto& child : box->children) stack.push_back(child.get());
        for (const auto& child : box->inlineBoxes) stack.push_back(child.get());
    }
    return rects;
}

OffsetBox DocumentLayout::Offsets(const dom::Node& element) const {
    OffsetBox result;
    int firstLeft = 0;
    auto rect = BorderBox(element, &firstLeft);
    if (!rect) return result;
    result.width = rect->Width();
    result.height = rect->Height();
    if (element.Is(Tag::Body) || element.Is(Tag::Html)) return result;
    const dom::Node* parent = element.Parent();
    for (; parent; parent = parent->Parent())
        if (parent->Is(Tag::Td) || parent->Is(Tag::Th) || parent->Is(Tag::Table) || parent->Is(Tag::Body)) break;
    result.parent = parent;
    int originX = 0, originY = 0;
    if (parent && !parent->Is(Tag::Body)) {
        if (auto it = m_boxes.find(parent); it != m_boxes.end()) {
            auto [x, y] = m_origins.at(it->second);
            // Measured against the offset parent's content as it lies unscrolled.
            originX = x + it->second->border[3] - it->second->scrollX;
            originY = y + it->second->border[0] - it->second->scrollY;
        }
    }
    result.left = firstLeft - originX;  // an inline element over several lines: where it begins
    result.top = rect->top - originY;
    return result;
}

namespace {

struct Hit {
    const Box* box = nullptr;
    int x = 0, y = 0;  // the box's origin
};

// The innermost box at the point, children before their parents.
Hit FindBox(const Box& box, int x, int y, int px, int py, const std::unordered_map<const Box*, std::pair<int, int>>& origins) {
    Hit hit;
    const Box* current = &box;
    int cx = x + box.x, cy = y + box.y;
    hit = {current, cx, cy};
    // Descend: at each level take the last child that holds the point.
    for (int guard = 0; guard < 100000; ++guard) {
        const Box* next = nullptr;
        int nx = 0, ny = 0;
        auto consider = [&](const std::vector<std::unique_ptr<Box>>& children) {
            for (auto it = children.rbegin(); it != children.rend() && !next; ++it) {
                const Box& child = **it;
                int ox = cx + child.x, oy = cy + child.y;
                if (px >= ox && px < ox + child.width && py >= oy && py < oy + child.height) next = &child, nx = ox, ny = oy;
            }
        };
        cx -= current->scrollX;
        cy -= current->scrollY;
        consider(current->inlineBoxes);
        consider(current->children);
        if (!next) break;
        current = next;
        cx = nx;
        cy = ny;
        hit = {current, cx, cy};
    }
    (void)origins;
    return hit;
}

}  // namespace

HitPoint DocumentLayout::HitTest(int px, int py) const {
    HitPoint result;
    if (!m_root) return result;
    Hit hit = FindBox(*m_root, 0, 0, px, py, m_origins);
    const Box* box = hit.box;
    // The block of lines nearest the point: the box itself, or an anonymous child.
    const Box* block = box;
    int bx = hit.x - box->scrollX, by = hit.y - box->scrollY;
    if (!box->HasInlineContent()) {
        for (const auto& child : box->children)
            if (!child->node && child->HasInlineContent() && py >= by + child->y && py < by + child->y + child->height) {
                block = child.get();
                bx += child->x;
                by += child->y;
                break;
            }
    }
    const dom::Node* owner = box->node;
    for (const Box* b = box; !owner && b; b = b->parent) owner = b->node;
    result.element = owner;
    result.node = owner;
    if (block->lines.empty()) return result;
    const Line* line = &block->lines.front();
    for (const auto& candidate : block->lines) {
        if (py >= by + candidate.top) line = &candidate;
    }
    return HitLine(*line, bx, px, result);
}

HitPoint DocumentLayout::HitLine(const Line& line, int bx, int px, HitPoint result) const {
    if (line.fragments.empty()) return result;
    const Fragment* fragment = &line.fragments.front();
    for (const auto& candidate : line.fragments)
        if (px >= bx + candidate.x) fragment = &candidate;
    result.pastLineEnd = fragment == &line.fragments.back() && px >= bx + fragment->x + fragment->width;
    if (fragment->box) {
        result.element = result.node = fragment->node;
        return result;
    }
    const dom::Node* element = fragment->context && fragment->context->element ? fragment->context->element : result.node;
    result.element = element;
    result.node = fragment->node;
    result.offset = 0;
    // The character whose left half or the one before whose right half holds the point.
    const CString& data = fragment->node->Data();
    int font = fragment->context->font >= 0 ? fragment->context->font : m_measure.MakeFont(fragment->context->style.Font());
    int x = bx + fragment->x;
    int offset = fragment->start;
    const int end = std::min(fragment->start + fragment->length, data.GetLength());
    while (offset < end) {
        int w = m_measure.MeasureText(font, data.GetString() + offset, 1);
        if (px < x + (w + 1) / 2) break;
        x += w;
        ++offset;
    }
    result.offset = offset;
    return result;
}

HitPoint DocumentLayout::NearestTextPosition(int px, int py, int direction) const {
    HitPoint hit = HitTest(px, py);
    if (hit.node && hit.node->IsText()) return hit;
    // The line nearest the point, by height first, then sideways (the upper
    // one of two as near), and the place in it nearest the point. A line
    // without text counts when a BR made it (the caret stands in it), except
    // below the page's last line, where the last text is meant.
    struct Nearest {
        const Line* line = nullptr;
        const Box* box = nullptr;
        int bx = 0, by = 0;
        long dy = 0, dx = 0;
        void Offer(const Nearest& other) {
            if (line && (other.dy > dy || (other.dy == dy && (other.dx > dx || (other.dx == dx && other.by + other.line->top >= by + line->top)))))
                return;
            *this = other;
        }
    } best, bestText;
    int lastBottom = INT_MIN;  // of the page's lowest line
    for (const auto& [box, origin] : m_origins) {
        const int bx = origin.first - box->scrollX, by = origin.second - box->scrollY;
        for (const Line& line : box->lines) {
            const bool empty = line.fragments.empty();
            if (empty && !line.breakNode) continue;
            const int top = by + line.top, bottom = top + std::max(line.height, 1);
            lastBottom = std::max(lastBottom, bottom);
            if ((direction > 0 && bottom <= py) || (direction < 0 && top > py)) continue;
            const int left = empty ? px : bx + line.fragments.front().x;
            const int right = empty ? px + 1 : bx + line.fragments.back().x + line.fragments.back().width;
            const long dy = py < top ? top - py : (py >= bottom ? py - bottom + 1 : 0);
            const long dx = px < left ? left - px : (px >= right ? px - right + 1 : 0);
            const Nearest candidate{&line, box, bx, by, dy, dx};
            best.Offer(candidate);
            if (!empty) bestText.Offer(candidate);
        }
    }
    const bool belowPage = direction == 0 && py >= lastBottom;
    const Nearest& nearest = belowPage ? bestText : best;
    if (!nearest.line) return hit;
    if (nearest.line->fragments.empty()) {  // an empty line: the place before the BR that ends it
        const dom::Node* parent = nearest.line->breakNode->Parent();
        if (!parent) return hit;
        HitPoint before;
        before.node = before.element = parent;
        before.offset = nearest.line->breakNode->IndexInParent();
        return before;
    }
    HitPoint start;
    for (const Box* b = nearest.box; b && !start.node; b = b->parent) start.node = start.element = b->node;
    // Below the page's last line: the end of the line nearest the point.
    if (belowPage) px = INT_MAX / 2;
    return HitLine(*nearest.line, nearest.bx, px, start);
}

const dom::Node* DocumentLayout::ElementFromPoint(int x, int y) const {
    if (x < 0 || y < 0) return nullptr;
    HitPoint hit = HitTest(x, y);
    return hit.element;
}

std::optional<paint::Rect> DocumentLayout::CaretRect(const dom::Node& text, int offset) const {
    const dom::Node* ancestor = text.Parent();
    while (ancestor && !m_boxes.count(ancestor)) ancestor = ancestor->Parent();
    if (!ancestor) return std::nullopt;
    const Box& block = *m_boxes.at(ancestor);
    auto [bx, by] = m_origins.at(&block);
    std::optional<paint::Rect> result;
    ForEachFragment(block, bx, by, [&](const Box&, int x, int y, const Line& line, const Fragment& fragment) {
        if (result || fragment.node != &text || fragment.box) return;
        int end = fragment.start + fragment.length + (fragment.collapsedSpaceAfter ? 1 : 0);
        if (offset < fragment.start || offset > end) return;
        int font = fragment.context->font >= 0 ? fragment.context->font : m_measure.MakeFont(fragment.context->style.Font());
        int length = std::min(offset, fragment.start + fragment.length) - fragment.start;
        int left = x + fragment.x + m_measure.MeasureText(font, text.Data().GetString() + fragment.start, length);
        if (offset > fragment.start + fragment.length) left = x + fragment.x + fragment.width;
        int top = y + line.top + fragment.top;
        result = paint::Rect{left, top, left + 1, top + fragment.height};
    });
    return result;
}

ClientArea DocumentLayout::Client(const dom::Node& element) const {
    ClientArea result;
    auto it = m_boxes.find(&element);
    if (it == m_boxes.end()) return result;
    const Box& box = *it->second;
    result.clientLeft = box.border[3];
    result.clientTop = box.border[0];
    result.clientWidth = std::max(0, box.width - box.border[1] - box.border[3]);
    result.clientHeight = std::max(0, box.height - box.border[0] - box.border[2]);
    // What the box holds, measured from its padding box's top left as it lies unscrolled, plus
    // the padding after it. What a box inside clips away does not count.
    auto [ox, oy] = m_origins.at(&box);
    ox += box.border[3] - box.scrollX;
    oy += box.border[0] - box.scrollY;
    int right = 0, bottom = 0;
    std::vector<const Box*> stack;
    auto pushChildren = [&](const Box& b) {
        for (const auto& child : b.children) stack.push_back(child.get());
        for (const auto& child : b.inlineBoxes) stack.push_back(child.get());
    };
    auto measureLines = [&](const Box& b) {
        auto [x, y] = m_origins.at(&b);
        x -= b.scrollX;
        y -= b.scrollY;
        for (const auto& line : b.lines) {
            bottom = std::max(bottom, y + line.top + line.height - oy);
            for (const auto& fragment : line.fragments) right = std::max(right, x + fragment.x + fragment.width - ox);
        }
    };
    measureLines(box);
    pushChildren(box);
    while (!stack.empty()) {
        const Box* b = stack.back();
        stack.pop_back();
        auto [x, y] = m_origins.at(b);
        right = std::max(right, x + b->width + b->margin[1] - ox);
        bottom = std::max(bottom, y + b->height + b->margin[2] - oy);
        if (b->ClipsContent()) continue;
        measureLines(*b);
        pushChildren(*b);
    }
    result.scrollWidth = std::max(result.clientWidth, right + box.padding[1]);
    result.scrollHeight = std::max(result.clientHeight, bottom + box.padding[2]);
    return result;
}

}  // namespace layout
