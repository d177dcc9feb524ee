// The layout tree: boxes built from the document's elements, each with its
// computed style and, after layout, its border box relative to its parent
// box. A block whose content is inline holds its text and atomic boxes as a
// flat list of items, and after layout as lines of fragments.
#pragma once
#include "dom/Node.h"
#include "layout/Style.h"

#include <memory>
#include <vector>

namespace layout {

enum class BoxKind : unsigned char {
    Block,      // a block container (also the anonymous block around inline runs)
    ListItem,   // a block with a marker
    Table,
    Row,
    Cell,
    Replaced,   // a picture or a form control: an atomic inline box
    InlineBlock,
};

// An inline element around text (B, FONT, A, SPAN): its style and its parent.
struct InlineContext {
    const dom::Node* element = nullptr;  // null: the block itself
    Style style;
    const InlineContext* parent = nullptr;
    int depth = 0;  // of nesting below the block
    mutable int font = -1;  // the measuring canvas's font, made at layout
};

struct Box;

struct InlineItem {
    enum class Kind : unsigned char { Text, Atomic, Break };
    Kind kind = Kind::Text;
    const dom::Node* node = nullptr;  // the text node, the atomic box's element, the BR
    const InlineContext* context = nullptr;
    Box* box = nullptr;  // Atomic
    Clear clear = Clear::None;  // Break: the floats the next line starts below
};

// A piece of one line: a slice of a text node's data (shown as it stands),
// or an atomic box.
struct Fragment {
    const dom::Node* node = nullptr;
    const InlineContext* context = nullptr;
    Box* box = nullptr;
    int start = 0;
    int length = 0;
    int x = 0;       // relative to the block's border box
    int width = 0;
    int top = 0;     // of its font's height (text) or margin box (atomic), relative to the line
    int height = 0;
    bool collapsedSpaceAfter = false;  // a collapsed run of white space follows (part of the width)
};

// The border box of an inline element with a border or padding, on one line. Its left
// side is drawn on the element's first line, its right side on its last.
struct InlineSpan {
    const InlineContext* context = nullptr;
    int left = 0, right = 0;   // relative to the block's border box
    int top = 0, bottom = 0;   // relative to the line
    bool opens = false, closes = false;
};

struct Line {
    int top = 0;  // relative to the block's border box
    int height = 0;
    int baseline = 0;  // from the line's top
    std::vector<Fragment> fragments;
    std::vector<InlineSpan> spans;  // outer elements first
    const dom::Node* breakNode = nullptr;  // the BR that ended the line, when one did
};

struct Box {
    BoxKind kind = BoxKind::Block;
    const dom::Node* node = nullptr;  // null for anonymous boxes
    Style style;
    Box* parent = nullptr;
    std::vector<std::unique_ptr<Box>> children;

    // Inline content (a block with no block children).
    std::vector<std::unique_ptr<InlineContext>> contexts;
    std::vector<InlineItem> items;
    std::vector<std::unique_ptr<Box>> inlineBoxes;  // the atomic boxes among the items
    std::vector<Line> lines;

    // Geometry, after layout: the border box relative to the parent box's border box.
    int x = 0, y = 0, width = 0, height = 0;
    int margin[4] = {0, 0, 0, 0};   // top, right, bottom, left
    int border[4] = {0, 0, 0, 0};
    int padding[4] = {0, 0, 0, 0};
    // Tables with collapsing borders and their cells: the widths of the grid's borders the box
    // takes instead of its own (-1: its own). The boxes on the two sides of a border each take a
    // half of it (the table those of the outer ones), so that it counts once.
    int gridBorder[4] = {-1, -1, -1, -1};
    int scrollX = 0, scrollY = 0;  // how far the content of a box that clips it is scrolled
    int collapsedTop = 0;     // margins after collapsing with the first and last children
    int collapsedBottom = 0;
    bool selfCollapsing = false;

    // Tables and cells.
    int column = 0, colspan = 1, row = 0, rowspan = 1;
    int minWidth = -1, maxWidth = -1;  // intrinsic widths of the border box, once measured
    std::vector<int> columnX, columnWidths;

    // Lists: the marker text ("3.") or a bullet.
    CString marker;

    // The background picture (tiled), and for replaced boxes their picture.
    paint::PicturePtr backgroundPicture;
    paint::PicturePtr picture;
    int intrinsicWidth = 0, intrinsicHeight = 0;
    bool brokenPicture = false;

    bool HasInlineContent() const { return !items.empty(); }
    // Content beyond the padding box is cut off (and may be scrolled into view).
    // (BODY's overflow belongs to the page's own scrolling, as in browsers.)
    bool ClipsContent() const {
        return style.overflow != Overflow::Visible && parent && kind != BoxKind::Row && kind != BoxKind::Replaced &&
               !(node && node->Is(dom::Tag::Body));
    }
    int ContentLeft() const { return border[3] + padding[3]; }
    int ContentTop() const { return border[0] + padding[0]; }
    int ContentWidth() const { return width - border[1] - border[3] - padding[1] - padding[3]; }
    paint::Rect Rect() const { return {x, y, x + width, y + height}; }
};

}  // namespace layout
