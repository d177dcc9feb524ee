// Cutting a laid-out page into printed pages.
#include "layout/DocumentLayout.h"

#include <algorithm>

namespace layout {

std::vector<int> DocumentLayout::PageBreaks(int pageHeight) const {
    pageHeight = std::max(pageHeight, 16);
    // What must not be cut: lines of text, table rows, pictures and controls.
    std::vector<std::pair<int, int>> spans;
    for (const auto& [box, origin] : m_origins) {
        if (box->kind == BoxKind::Row || box->kind == BoxKind::Replaced) spans.emplace_back(origin.second, origin.second + box->height);
        for (const auto& line : box->lines) spans.emplace_back(origin.second + line.top, origin.second + line.top + line.height);
    }
    std::sort(spans.begin(), spans.end());
    std::vector<int> tops{0};
    const int end = m_contentHeight;
    int top = 0;
    while (top + pageHeight < end) {
        const int limit = top + pageHeight;
        int cut = limit;
        for (const auto& [spanTop, spanBottom] : spans) {
            if (spanTop >= limit) break;
            if (spanBottom > limit && spanTop > top) cut = std::min(cut, spanTop);
        }
        top = cut;
        tops.push_back(top);
    }
    return tops;
}

}  // namespace layout
