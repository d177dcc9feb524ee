// Builds the layout tree of a document: a box per element that shows as a
// block, table, row, cell or atomic inline; inline elements and text become
// items of the block that holds them.
#pragma once
#include "layout/Box.h"
#include "layout/StyleResolver.h"

#include <functional>

namespace layout {

// Finds the picture of an IMG's src (null when it cannot be shown).
using PictureLoader = std::function<paint::PicturePtr(const CString& source)>;

// The boxes of a table row (TR) built before, when nothing they show has
// changed since; null to have them built.
using RowReuse = std::function<std::unique_ptr<Box>(const dom::Node& row)>;

// The root box (the HTML element's block), or null for an empty document.
std::unique_ptr<Box> BuildBoxes(const dom::Document& document, const PictureLoader& loader, const RowReuse& reuse = {});

}  // namespace layout
