#include "layout/LiveLayout.h"

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
    m_height = std::max(height, 0);
    ScrollTo(m_scrollX, m_scrollY);
}

void LiveLayout::ScrollTo(int x, int y) {
    DocumentLayout& layout = Current();
    m_scrollX = std::clamp(x, 0, std::max(0, layout.ContentWidth() - m_width));
    m_scrollY = std::clamp(y, 0, std::max(0, layout.ContentHeight() - m_height));
}

void LiveLayout::SetPictureLoader(PictureLoader loader) {
    m_loader = std::move(loader);
    m_layout.reset();
    m_dirty = true;
}

DocumentLayout& LiveLayout::Current() {
    if (!m_layout) {
        m_layout = std::make_unique<DocumentLayout>(*m_document, m_measure, m_loader);
        m_dirty = true;
    }
    if (m_dirty) {
        m_dirty = m_widthChanged = false;
        m_layout->Rebuild(m_width);
    } else if (m_widthChanged) {
        m_widthChanged = false;
        m_layout->Layout(m_width);
    }
    return *m_layout;
}

}  // namespace layout
