// Trees in the indented form of the html5lib tree-construction tests: one
// line per node, "| " and two spaces a level, "<name>" with its attributes
// sorted below it, "\"text\"", "<!-- comment -->", "<!DOCTYPE name>".
#pragma once
#include "core/String.h"
#include "dom/Node.h"
#include "Utf16Bytes.h"

#include <string>

// Appends the node (a document: its children) at the depth, in UTF-8.
void AppendTree(const dom::Node& node, int depth, std::string& out);
