// The editing commands that change the selected text's format, as
// operations on a text range: wrap the text in an inline element (or set
// the attribute on the element that already holds exactly that text),
// insert a rule, align the block, and read the font at the range.
#pragma once
#include "editing/TextRange.h"

namespace editing {

// The outermost element around the node that editing treats as one piece,
// since a reader of the page keeps no markup inside it: a list box, or an
// element of raw text (text area, script, style, title ...). Null when none.
dom::Node* OutermostPiece(dom::Node* node);
// True for a text node where markup put around it would not read back: in
// such a piece, or directly between the parts of a table.
bool HoldsOnlyText(const dom::Node& text);
bool IsTablePart(const dom::Node& node);  // TABLE, its sections, rows and column groups

// Wraps every text node inside the range in an element of the tag; when a
// text node's parent is already such an element holding nothing else, that
// element is changed instead; text that holds only text is left as it is.
// An empty attribute name adds no attribute;
// a name starting with "style:" sets that CSS property in the style attribute.
void ApplyInlineFormat(TextRange& range, const CString& tag, const CString& attribute, const CString& value);
// Sets the align attribute of the block that holds the range (or of BODY).
void AlignBlock(TextRange& range, const CString& alignment);
// Face and size (1..7) of the FONT elements around the range's start.
CString FontNameAt(const TextRange& range);
int FontSizeAt(const TextRange& range);

}  // namespace editing
