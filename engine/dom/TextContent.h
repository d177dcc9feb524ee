// Plain text of a subtree: the raw text of its text nodes, and the text as
// the engine renders it (innerText).
#pragma once
#include "dom/Node.h"

namespace dom {

// Every text node below the node, joined, nothing added.
CString RawText(const Node& node);
// The rendered text: white space runs fold to one blank outside PRE and
// TEXTAREA, BR and block boundaries become line breaks (CR LF), SCRIPT,
// STYLE, TITLE and comments give nothing.
CString InnerText(const Node& node);
// Replaces the children by one text node (line ends become BR elements).
void SetInnerText(Node& node, const CString& text);

}  // namespace dom
