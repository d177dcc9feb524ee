// Builds the document tree from HTML text as browsers do (TreeBuilder.h):
// HTML, HEAD and BODY are implied when missing, unclosed elements end where
// their container ends, stray end tags are ignored, and no text is dropped.
#pragma once
#include "core/String.h"
#include "dom/Document.h"

#include <vector>

namespace html {

// Replaces the document's content by the parsed text.
void ParseDocument(dom::Document& document, const CString& text);
std::shared_ptr<dom::Document> ParseDocument(const CString& text);

// Parses text as the content of an element like `context` (innerHTML,
// insertAdjacentHTML, pasteHTML): the new nodes, owned by `owner`, not yet in any tree.
std::vector<dom::NodePtr> ParseFragment(dom::Document& owner, const CString& text, const dom::Node* context);

// Elements nest at most this deep; deeper start tags are ignored (their text stays).
constexpr int kMaxDepth = 400;

}  // namespace html
