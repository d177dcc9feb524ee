// Hears of every change of a document's tree before the old state is gone,
// so that the change can be taken back (the editor's undo history).
#pragma once

namespace dom {

class Node;

class ChangeRecorder {
public:
    virtual ~ChangeRecorder() = default;
    virtual void ChildInserted(Node& parent, Node& child) = 0;           // after the insertion
    virtual void ChildRemoving(Node& parent, int index, Node& child) = 0;  // before the removal
    virtual void AttributesChanging(Node& element) = 0;                  // before any attribute changes
    virtual void TextChanging(Node& node) = 0;                           // before the data changes
    virtual void ContentReplaced() = 0;                                  // a load: nothing before it can be taken back
};

}  // namespace dom
