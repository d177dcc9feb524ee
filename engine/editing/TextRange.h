// A stretch of the document between two boundary points, as the editor's
// text ranges and selection see it: its text and HTML, the element that
// holds it, replacing it by HTML, searching text, moving its ends by
// characters. Positions count the characters of the visible text nodes
// (SCRIPT, STYLE, TITLE and HEAD do not count).
#pragma once
#include "dom/Document.h"

#include <memory>
#include <vector>

namespace editing {

// A point in the tree: inside a text node (offset in units) or between the
// children of an element (offset = index of the child after it).
struct Boundary {
    dom::NodePtr node;
    int offset = 0;
};

enum class MoveUnit { Character, TextEdit };

class TextRange {
public:
    // Collapsed at the start of the body.
    explicit TextRange(std::shared_ptr<dom::Document> document);

    dom::Document& Document() const { return *m_document; }
    const std::shared_ptr<dom::Document>& DocumentPtr() const { return m_document; }
    const Boundary& Start() const { return m_start; }
    const Boundary& End() const { return m_end; }
    void SetStart(Boundary start) { m_start = std::move(start); }
    void SetEnd(Boundary end) { m_end = std::move(end); }

    void SelectContents(dom::Node& node);  // the node's content, start to end
    void Collapse(bool toStart);
    bool IsCollapsed() const;
    CString Text() const;
    CString HtmlText() const;
    dom::Node* ParentElement() const;  // the element holding both ends
    // Replaces the range by the parsed HTML and collapses it after the new content.
    void PasteHtml(const CString& html);
    // Searches the text from the range's start (backwards from its end when
    // forward is false) within the range, or to the document's end when
    // collapsed; on a hit the range covers it.
    bool FindText(const CString& text, bool forward, bool matchCase, bool wholeWord);
    int MoveStart(MoveUnit unit, int count);  // the characters moved
    int MoveEnd(MoveUnit unit, int count);
    // Splits text nodes at the ends and answers the text nodes wholly inside,
    // in document order; the range then runs from the first to the last.
    std::vector<dom::NodePtr> IsolateTextNodes();

    int StartOffset() const;
    int EndOffset() const;
    int TextLength() const;
    Boundary AtOffset(int offset, bool preferNext) const;

private:
    dom::Node* Root() const;
    int OffsetOf(const Boundary& boundary) const;
    void DeleteContents();

    std::shared_ptr<dom::Document> m_document;
    Boundary m_start;
    Boundary m_end;
};

// -1, 0 or 1 as a comes before, at or after b in document order.
int CompareBoundaries(const Boundary& a, const Boundary& b);
// Makes a boundary inside a text node a boundary between children (the text is split there).
Boundary SplitAt(const Boundary& boundary);

// True for text nodes whose characters the ranges count.
bool IsVisibleText(const dom::Node& node);

}  // namespace editing
