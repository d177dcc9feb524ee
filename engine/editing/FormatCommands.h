// The editing commands that change the selected text's format, as
// operations on a text range: wrap the text in an inline element (or set
// the attribute on the element that already holds exactly that text),
// insert a rule, align the block, and read the font at the range.
#pragma once
#include "editing/TextRange.h"

namespace editing {

// Wraps every text node inside the range in an element of the tag; when a
// text node's parent is already such an element holding nothing else, that
// element is changed instead. An empty attribute name adds no attribute;
// a name starting with "style:" sets that CSS property in the style attribute.
void ApplyInlineFormat(TextRange& range, const CString& tag, const CString& attribute, const CString& value);
// Sets the align attribute of the block that holds the range (or of BODY).
void AlignBlock(TextRange& range, const CString& alignment);
// Face and size (1..7) of the FONT elements around the range's start.
CString FontNameAt(const TextRange& range);
int FontSizeAt(const TextRange& range);

}  // namespace editing
