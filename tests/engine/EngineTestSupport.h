// Parsing and serializing shortcuts for the engine's tests.
#pragma once
#include "core/String.h"
#include "dom/Document.h"
#include "html/Parser.h"
#include "html/Serializer.h"

#include <gtest/gtest.h>

#include <string>

inline std::string Show(const CString& text) { return testing::PrintToString(text); }

inline CString BodyHtml(const CString& page) {
    auto document = html::ParseDocument(page);
    return html::SerializeInner(*document->Body());
}

inline CString Reserialize(const CString& page) {
    return html::SerializeDocument(*html::ParseDocument(page));
}

// The text of every text node below the node, in document order.
inline void CollectText(const dom::Node& node, CString& out) {
    if (node.IsText()) out += node.Data();
    for (const auto& child : node.Children()) CollectText(*child, out);
}
