// Block flow: children stacked with their margins collapsing, floats placed and
// cleared, tables and blocks that hold their own floats set beside them.
#include "layout/LayoutEngine.h"
#include "layout/LayoutShared.h"

#include <algorithm>
#include <climits>

namespace layout {

using dom::Tag;

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
            // An empty block: its margins join the ones around it (in old pages, one at the top of
            // BODY or a cell brings neither of its default margins).
            child.y = box.ContentTop() + y + (atTop && collapseTop ? 0 : joined);
            const bool quirkBlank = quirkContainer && atTop && child.style.marginBottomQuirk;
            pending = std::max(joined, quirkBlank ? 0 : child.collapsedBottom);
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
    // Old pages: a paragraph that ends a cell leaves its default bottom margin out of the cell.
    if (last && quirkContainer && box.kind == BoxKind::Cell && last->node && last->node->Is(Tag::P) &&
        last->style.marginBottomQuirk)
        pending = std::max(0, pending - last->margin[2]);
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

}  // namespace layout
