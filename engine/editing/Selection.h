// The document's selection: nothing (a caret), a text range, or a set of
// elements selected as objects (images, tables). For a text selection start
// comes before end in the document; `focusAtStart` tells which end moves
// when the selection is extended (the other one is the anchor).
#pragma once
#include "editing/TextRange.h"

#include <vector>

namespace editing {

enum class SelectionKind { None, Text, Control };

// A format chosen while the selection is a caret: the text typed next at the
// caret takes it. A switched format (bold, italic ...) names the tags that
// count as it and may be switched off inside one of them; a value format
// (FONT face, size, colour) gives its attribute and value.
struct TypingFormat {
    CString tag;
    std::vector<dom::Tag> kinds;
    bool off = false;
    CString attribute, value;
};

struct Selection {
    SelectionKind kind = SelectionKind::None;
    Boundary start;  // for None (the caret) and Text
    Boundary end;
    std::vector<dom::NodePtr> controls;
    bool focusAtStart = false;
    std::vector<TypingFormat> typing;  // for a caret; it goes when the caret moves
};

}  // namespace editing
