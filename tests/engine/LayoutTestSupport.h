// A parsed page laid out on the recording canvas, with shortcuts to find
// elements and read their boxes.
#pragma once
#include "RecordingCanvas.h"
#include "dom/Document.h"
#include "html/Parser.h"
#include "layout/DocumentLayout.h"

#include <gtest/gtest.h>

struct LaidOutPage {
    explicit LaidOutPage(const CString& html, int width = 800, layout::PictureLoader loader = {})
        : document(html::ParseDocument(html)), layout(*document, canvas, std::move(loader)) {
        layout.Rebuild();
        layout.Layout(width);
    }

    // The first element with the id.
    const dom::Node* ById(const CString& id) const { return Find(*document, id); }
    paint::Rect Box(const CString& id) const {
        const dom::Node* element = ById(id);
        EXPECT_NE(element, nullptr) << "no element " << testing::PrintToString(id);
        auto rect = element ? layout.BorderBox(*element) : std::nullopt;
        EXPECT_TRUE(rect.has_value()) << "no box for " << testing::PrintToString(id);
        return rect.value_or(paint::Rect{});
    }
    layout::OffsetBox Offsets(const CString& id) const { return layout.Offsets(*ById(id)); }
    void Paint(paint::Canvas& target) const {
        layout.Paint(target, {0, 0, layout.ContentWidth(), layout.ContentHeight()}, 0, 0);
    }

    static const dom::Node* Find(const dom::Node& node, const CString& id) {
        if (node.IsElement() && node.GetAttribute(L"id") == id) return &node;
        for (const auto& child : node.Children())
            if (const dom::Node* found = Find(*child, id)) return found;
        return nullptr;
    }

    RecordingCanvas canvas;
    std::shared_ptr<dom::Document> document;
    layout::DocumentLayout layout;
};

namespace paint {
inline void PrintTo(const Rect& r, std::ostream* out) { *out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}"; }
}  // namespace paint
