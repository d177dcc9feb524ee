#include "layout/LiveLayout.h"

#include "dom/TreeWalk.h"

#include <algorithm>

namespace layout {

LiveLayout::LiveLayout(std::shared_ptr<dom::Document> document, PictureLoader loader)
    : m_document(std::move(document)), m_loader(std::move(loader)) {
    m_document->AddObserver(this);
}

LiveLayout::~LiveLayout() { m_document->RemoveObserver(this); }

void LiveLayout::SetViewport(int width, int height) {
    width = std::max(width, 0);
    if (width != m_width) m_widthChanged = true;
    m_width = width;
    height = std::max(height, 0);
    if (height != m_height && m_layout) {
        m_layout->SetViewportHeight(height);
        if (m_layout->UsesViewportHeight()) m_widthChanged = true;  // laid out again at the next look
    }
    m_height = height;
    ScrollTo(m_scrollX, m_scrollY);
}

int LiveLayout::ScrollWidth() {
    const int width = Current().ContentWidth();
    return width > m_width ? width + 1 : width;
}

void LiveLayout::ScrollTo(int x, int y) {
    DocumentLayout& layout = Current();
    m_scrollX = std::clamp(x, 0, std::max(0, ScrollWidth() - m_width));
    m_scrollY = std::clamp(y, 0, std::max(0, layout.ContentHeight() - m_height));
}

void LiveLayout::SetPictureLoader(PictureLoader loader) {
    m_loader = std::move(loader);
    m_layout.reset();
    m_dirty = true;
}

void LiveLayout::NoteRowChange(const dom::Node& parent, const dom::Node* child) {
    if (!m_rowsOnly) return;
    // Nodes not (yet) in the page show nothing: their insertion counts.
    const dom::Node* top = &parent;
    const dom::Node* row = nullptr;
    for (const dom::Node* at = &parent; at; at = at->Parent()) {
        top = at;
        if (!row && at->Is(dom::Tag::Tr)) row = at;
    }
    if (top != m_document.get()) return;
    // A style sheet coming or going, or its text changing, restyles the whole page.
    bool styles = parent.Is(dom::Tag::Style);
    if (child)
        dom::WalkTree(*child, [&styles](const dom::NodePtr& node) {
            styles = styles || node->Is(dom::Tag::Style) || node->Is(dom::Tag::Link);
            return !styles;
        });
    if (!row || styles || (child && (child->Is(dom::Tag::Style) || child->Is(dom::Tag::Link)))) {
        m_rowsOnly = false;
        return;
    }
    for (const dom::Node* at = row; at; at = at->Parent())
        if (at->Is(dom::Tag::Tr)) m_touchedRows.insert(at);
    if (m_touchedRows.size() > kMostRows) m_rowsOnly = false;
}

void LiveLayout::TextChanged(dom::Node& node) {
    if (node.Parent()) NoteRowChange(*node.Parent(), nullptr);
    else m_rowsOnly = false;
    if (!m_dirty && m_layout) {
        std::optional<paint::Rect> band = m_layout->TextBlockArea(node);
        if (!band) m_dirty = true;
        else m_band = m_changedTexts.empty() ? *band : m_band.Union(*band);
        if (std::find(m_changedTexts.begin(), m_changedTexts.end(), &node) == m_changedTexts.end()) m_changedTexts.push_back(&node);
        if (m_changedTexts.size() > kMostTexts) m_dirty = true;  // a script's rewrite: lay it all out
    } else {
        m_dirty = true;
    }
    if (changed) changed();
}

std::optional<paint::Rect> LiveLayout::ChangedBand() const {
    if (m_dirty || !m_layout || m_widthChanged || m_changedTexts.empty()) return std::nullopt;
    return m_band;
}

DocumentLayout& LiveLayout::Current() {
    if (!m_layout) {
        m_layout = std::make_unique<DocumentLayout>(*m_document, m_measure, m_loader);
        m_layout->SetViewportHeight(m_height);
        m_dirty = true;
    }
    if (!m_dirty && !m_changedTexts.empty()) {
        paint::Rect repaint;
        if (m_widthChanged || !m_layout->RelayoutText(m_changedTexts, repaint)) {
            m_dirty = true;  // built anew: anything on the page may move
            constexpr int kFar = 1 << 29;
            repaint = {-kFar, -kFar, kFar, kFar};
        }
        m_changedTexts.clear();
        if (relaid && !repaint.IsEmpty()) relaid(repaint);
    }
    if (m_dirty) {
        m_dirty = m_widthChanged = false;
        m_changedTexts.clear();
        // Ready for the next changes once this build is done (the scope's end).
        struct Forget {
            LiveLayout& view;
            ~Forget() {
                view.m_rowsOnly = true;
                view.m_touchedRows.clear();
            }
        } forget{*this};
        ++m_fullLayouts;
        if (m_rowsOnly) m_layout->Rebuild(m_width, m_touchedRows);
        else m_layout->Rebuild(m_width);
    } else if (m_widthChanged) {
        m_widthChanged = false;
        m_layout->Layout(m_width);
    }
    return *m_layout;
}

}  // namespace layout
