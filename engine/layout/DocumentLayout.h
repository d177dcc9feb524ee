// The view's layout of one document: builds the boxes, lays them out for a
// viewport width, answers geometry (offset boxes, the element at a point,
// the node and character offset at a point and back) and paints.
#pragma once
#include "dom/Document.h"
#include "layout/Box.h"
#include "layout/BoxBuilder.h"
#include "paint/Canvas.h"

#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace layout {

struct OffsetBox {
    int left = 0, top = 0, width = 0, height = 0;
    const dom::Node* parent = nullptr;  // the offset parent, null for BODY and HTML
};

// An element's inner area (inside its border) and the extent of what it holds.
struct ClientArea {
    int clientLeft = 0, clientTop = 0;  // the border's widths
    int clientWidth = 0, clientHeight = 0;
    int scrollWidth = 0, scrollHeight = 0;
};

struct HitPoint {
    const dom::Node* node = nullptr;  // a text node, or the element hit
    int offset = 0;                   // the character offset in a text node; else the child index
    const dom::Node* element = nullptr;  // the innermost element under the point
    bool pastLineEnd = false;            // the point lies beyond the end of the line's text
};

class DocumentLayout {
public:
    // `measure` is the canvas whose fonts lay the page out; it must outlive this object.
    DocumentLayout(const dom::Document& document, paint::Canvas& measure, PictureLoader loader = {});

    // Builds the boxes anew (after the document changed) and lays them out.
    void Rebuild();
    void Rebuild(int viewportWidth);
    // The same, taking over the boxes of the table rows built last time
    // that are not among `touchedRows` (the rows whose content changed):
    // for changes that touched nothing but the content of table rows.
    void Rebuild(int viewportWidth, const std::unordered_set<const dom::Node*>& touchedRows);
    // Lays the boxes out for another viewport width.
    void Layout(int viewportWidth);
    // The viewport's height: old pages' HTML and BODY report boxes that fill it (at once), and
    // their tables and blocks with a percentage height take it at the next layout (0: the page
    // has no viewport, as when printed).
    void SetViewportHeight(int height) { m_viewportHeight = std::max(height, 0); }
    // The last layout depended on the viewport's height: a change of height lays it out again.
    bool UsesViewportHeight() const { return m_usesViewportHeight; }
    // After the data of the text nodes changed (and nothing else): lays out
    // again only the blocks that hold them and moves what follows by the
    // change of their heights, with the result a full layout would give.
    // Answers false where it cannot promise that (floats about, a table or
    // an inline block around the text, text that a rebuild would drop); the
    // layout must then be rebuilt. `repaint` receives the part of the page
    // that changed: the blocks' bands as they were and are now, or from the
    // highest of them down when any changed height.
    bool RelayoutText(const std::vector<const dom::Node*>& texts, paint::Rect& repaint);
    // The band of the page (page coordinates, its full width) that the block
    // whose lines hold the text node paints in (none when no line does).
    std::optional<paint::Rect> TextBlockArea(const dom::Node& text) const;

    // How many boxes the layouts placed (gave their page origins) since this object was made:
    // the work of a relayout, which the benchmarks count per key.
    long long BoxesPlaced() const { return m_boxesPlaced; }

    const Box* Root() const { return m_root.get(); }
    int ViewportWidth() const { return m_viewportWidth; }
    // The extent of everything laid out (at least the viewport's width).
    int ContentWidth() const { return m_contentWidth; }
    int ContentHeight() const { return m_contentHeight; }
    paint::Color CanvasBackground() const;

    // Geometry in page coordinates (the page's top left is 0,0).
    // `firstLeft`, when given, receives the left of the box's first piece (an inline element's first line).
    std::optional<paint::Rect> BorderBox(const dom::Node& element, int* firstLeft = nullptr) const;
    OffsetBox Offsets(const dom::Node& element) const;
    // Zero for inline elements, which have no inner area.
    ClientArea Client(const dom::Node& element) const;
    const dom::Node* ElementFromPoint(int x, int y) const;
    // The rectangles of the text runs below a node, in page coordinates.
    std::vector<paint::Rect> TextRects(const dom::Node& node) const;
    HitPoint HitTest(int x, int y) const;
    // Where a click puts the caret, as browsers place it: the text at the
    // point, or else the nearest place of the line nearest the point (beside
    // a line: its end; below the page's last line: the end of that line;
    // both say `pastLineEnd`). With a direction, only lines reaching below
    // (1) or above (-1) the point count.
    HitPoint NearestTextPosition(int x, int y, int direction = 0) const;
    // The caret's rectangle before the character at the offset of a text node.
    std::optional<paint::Rect> CaretRect(const dom::Node& text, int offset) const;

    // The scroll position of an element that cuts off its content (overflow other than
    // visible); 0,0 for any other. Setting it keeps it within the element's scroll range and
    // holds it across layouts; false when the element does not scroll.
    std::pair<int, int> ElementScroll(const dom::Node& element) const;
    // Where a node's content shows: inside the padding boxes of the elements around it that
    // cut their content off (everywhere when none does).
    paint::Rect VisibleArea(const dom::Node& node) const;
    bool ScrollElement(const dom::Node& element, int x, int y);
    // Scrolls by `dy` the innermost element at the point that the user may scroll (overflow auto
    // or scroll) and that can still move that way; false when none can.
    bool ScrollElementAt(int x, int y, int dy);

    // The tops of the pages when the page is cut into pages of the height:
    // a page ends before a line of text or a table row that it would cut.
    std::vector<int> PageBreaks(int pageHeight) const;

    // Paints what lies in `dirty` (page coordinates) with the page shifted by the scroll position.
    void Paint(paint::Canvas& canvas, const paint::Rect& dirty, int scrollX, int scrollY) const;

private:
    void Index(Box& box, int x, int y);
    void IndexAll();
    // Brings the held scroll positions within their elements' ranges after a layout.
    void RestoreScrollPositions();
    // The place in the line (its block's origin at bx) nearest the point's x;
    // `result` holds the line's element, answered when the line has no text.
    HitPoint HitLine(const Line& line, int bx, int px, HitPoint result) const;
    // The block whose items hold the text node, or null.
    Box* TextBlock(const dom::Node& text) const;

    const dom::Document& m_document;
    paint::Canvas& m_measure;
    PictureLoader m_loader;
    std::unique_ptr<Box> m_root;
    int m_viewportWidth = 0;
    int m_viewportHeight = 0;
    bool m_usesViewportHeight = false;
    int m_contentWidth = 0;
    int m_contentHeight = 0;
    long long m_boxesPlaced = 0;
    bool m_hasFloats = false;
    // Every element's box, and the absolute origin of every box.
    std::unordered_map<const dom::Node*, Box*> m_boxes;
    std::unordered_map<const Box*, std::pair<int, int>> m_origins;
    // The scroll positions set on elements, held while they keep clipping their content.
    std::unordered_map<const dom::Node*, std::pair<int, int>> m_scrollPositions;
};

}  // namespace layout
