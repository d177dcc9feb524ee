// The layout of a document that follows its changes: it listens to the
// document and lays the page out again, at the viewport's width, the next
// time anyone asks. The browser window paints from it; the engine's
// interfaces read offsets, scroll sizes and the element at a point from it.
// When only the data of text nodes changed (typing), only the blocks that
// hold them are laid out again, and only their bands of the page need
// painting (from the highest of them down when one changed height). When
// all changes lay inside table rows (Enter in a cell), the boxes of the
// other rows are taken over from the last build instead of being built again.
#pragma once
#include "dom/Document.h"
#include "layout/DocumentLayout.h"
#include "paint/BitmapCanvas.h"

#include <functional>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

namespace layout {

class LiveLayout : private dom::DocumentObserver {
public:
    explicit LiveLayout(std::shared_ptr<dom::Document> document, PictureLoader loader = {});
    ~LiveLayout() override;
    LiveLayout(const LiveLayout&) = delete;
    LiveLayout& operator=(const LiveLayout&) = delete;

    // The viewport: its size and the scroll position (kept within the page).
    void SetViewport(int width, int height);
    int ViewportWidth() const { return m_width; }
    int ViewportHeight() const { return m_height; }
    void ScrollTo(int x, int y);
    // How far the view scrolls sideways: the page's width, and one pixel
    // more when it is wider than the view, so that a caret at the end of its
    // widest line shows.
    int ScrollWidth();
    int ScrollX() const { return m_scrollX; }
    int ScrollY() const { return m_scrollY; }

    // The layout, brought up to date first.
    DocumentLayout& Current();
    void Invalidate() {
        m_dirty = true;
        m_rowsOnly = false;
    }
    // The part of the page (page coordinates) that the changes since the
    // last layout made stale so far: the bands of the blocks whose text
    // changed, as they stand. None when all of the page may have changed.
    std::optional<paint::Rect> ChangedBand() const;
    // How many times the boxes were built and laid out anew.
    int FullLayouts() const { return m_fullLayouts; }
    void SetPictureLoader(PictureLoader loader);
    // Called after each change of the document (the window repaints).
    std::function<void()> changed;
    // Called when the layout is brought up to date after typing, with the
    // part of the page (page coordinates) that must be painted again beyond
    // ChangedBand: the blocks as laid out anew, down to the page's end when
    // one changed height, or all of it when the boxes had to be built again.
    std::function<void(const paint::Rect&)> relaid;

private:
    void NodeInserted(dom::Node& parent, dom::Node& child) override {
        NoteRowChange(parent, &child);
        StructureChanged();
    }
    void NodeRemoved(dom::Node& parent, dom::Node& child) override {
        NoteRowChange(parent, &child);
        StructureChanged();
    }
    void AttributeChanged(dom::Node&, const CString&) override {
        m_rowsOnly = false;
        StructureChanged();
    }
    void TextChanged(dom::Node& node) override;
    void DocumentReplaced() override {
        m_rowsOnly = false;
        StructureChanged();
    }

    void StructureChanged() {
        m_dirty = true;
        if (changed) changed();
    }
    // Notes the table rows that hold a change (below `parent`, of `child`
    // when given), or that the change lies elsewhere or may change styles.
    void NoteRowChange(const dom::Node& parent, const dom::Node* child);

    std::shared_ptr<dom::Document> m_document;
    paint::BitmapCanvas m_measure{1, 1};
    std::unique_ptr<DocumentLayout> m_layout;
    PictureLoader m_loader;
    int m_width = 1024;
    int m_height = 768;
    int m_scrollX = 0;
    int m_scrollY = 0;
    bool m_dirty = true;  // the boxes must be built again
    bool m_widthChanged = false;
    static constexpr size_t kMostTexts = 64;
    static constexpr size_t kMostRows = 256;
    std::vector<const dom::Node*> m_changedTexts;  // while not m_dirty
    // Since the last build of the boxes: every change lay in the content of
    // table rows, and these are the rows (all around each change).
    bool m_rowsOnly = true;
    std::unordered_set<const dom::Node*> m_touchedRows;
    paint::Rect m_band;                             // of ChangedBand, while texts changed
    int m_fullLayouts = 0;
};

}  // namespace layout
