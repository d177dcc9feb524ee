// The document's selection: nothing (a caret), a text range, or a set of
// elements selected as objects (images, tables). For a text selection start
// comes before end in the document; `focusAtStart` tells which end moves
// when the selection is extended (the other one is the anchor).
#pragma once
#include "editing/TextRange.h"

#include <vector>

namespace editing {

enum class SelectionKind { None, Text, Control };

struct Selection {
    SelectionKind kind = SelectionKind::None;
    Boundary start;  // for None (the caret) and Text
    Boundary end;
    std::vector<dom::NodePtr> controls;
    bool focusAtStart = false;
};

}  // namespace editing
