// The caret's moves by characters, words and to the document's ends, and the selections made at once.
#include "editing/Editor.h"

#include "editing/EditorTree.h"

#include <algorithm>

namespace editing {

using dom::Node;
using dom::NodePtr;
using dom::Tag;
using namespace tree;

// Caret moves ---------------------------------------------------------------------------------

void Editor::MoveCharacter(bool forward, bool extend) {
    if (!extend && m_selection.kind != SelectionKind::None) {  // an arrow collapses the selection to its side
        Boundary side = forward ? m_selection.end : m_selection.start;
        CollapseTo(m_selection.kind == SelectionKind::Control ? Caret() : side);
        return;
    }
    Boundary at = NormalizeCaret(Focus());
    if (!IsInDocument(m_document, at)) at = Caret();
    Node* root = Root();
    if (at.node->IsText()) {
        const CString& data = at.node->Data();
        if (forward ? at.offset < data.GetLength() : at.offset > 0) {
            int units = forward ? UnitsAfter(data, at.offset) : UnitsBefore(data, at.offset);
            SetCaret({at.node, at.offset + (forward ? units : -units)}, extend);
            return;
        }
    }
    // Into the next text or past the next atom; a block border passed is a step of its own.
    Boundary probe = at;
    bool crossed = false;
    for (int guard = 0; guard < 100000; ++guard) {
        Item item = Neighbour(probe, root, forward);
        if (item.kind == ItemKind::Edge) {
            // Leaving a nested block counts as a border passed.
            Node* block = BlockOf(probe.node.get());
            if (!block || block == root || !block->Parent() || !root->Contains(block)) return;
            probe = {block->Parent()->Self(), block->IndexInParent() + (forward ? 1 : 0)};
            crossed = true;
            continue;
        }
        if (item.kind == ItemKind::Block) {
            probe = {item.node->Self(), forward ? 0 : item.node->ChildCount()};
            crossed = true;
            continue;
        }
        if (item.kind == ItemKind::Atom) {
            Node* parent = item.node->Parent();
            int index = item.node->IndexInParent();
            SetCaret({parent->Self(), crossed ? (forward ? index : index + 1) : (forward ? index + 1 : index)}, extend);
            return;
        }
        const CString& data = item.node->Data();
        int offset = forward ? 0 : data.GetLength();
        if (!crossed) offset += forward ? UnitsAfter(data, 0) : -UnitsBefore(data, offset);
        SetCaret({item.node->Self(), offset}, extend);
        return;
    }
}

void Editor::MoveWord(bool forward, bool extend) {
    auto charAt = [](const Boundary& at, bool after) -> wchar_t {
        if (!at.node || !at.node->IsText()) return 0;
        int index = after ? at.offset : at.offset - 1;
        return index >= 0 && index < at.node->Data().GetLength() ? at.node->Data()[index] : 0;
    };
    for (int guard = 0; guard < 10000; ++guard) {
        Boundary before = Focus();
        MoveCharacter(forward, extend);
        Boundary now = Focus();
        if (now.node == before.node && now.offset == before.offset) return;
        wchar_t next = charAt(now, true), previous = charAt(now, false);
        if (forward ? (IsWordChar(next) && !IsWordChar(previous)) || next == 0
                    : (IsWordChar(next) && !IsWordChar(previous)) || previous == 0)
            return;
    }
}

void Editor::MoveToEdge(bool end, bool extend) {
    Node* root = Root();
    Boundary at = end ? Boundary{root->Self(), root->ChildCount()} : Boundary{root->Self(), 0};
    // Into the first or last text of the document.
    for (int guard = 0; guard < 100000; ++guard) {
        Node* node = at.node.get();
        Node* child = end ? node->Child(at.offset - 1) : node->Child(at.offset);
        while (child && (IsBlank(*child) && !IsVisibleText(*child) ? true : child->Kind() == dom::NodeKind::Comment || (child->IsElement() && IsHidden(*child)))) {
            at.offset += end ? -1 : 1;
            child = end ? node->Child(at.offset - 1) : node->Child(at.offset);
        }
        if (!child || !child->IsElement() || IsAtom(*child)) break;
        at = {child->Self(), end ? child->ChildCount() : 0};
    }
    SetCaret(NormalizeCaret(at), extend);
}

void Editor::SetCaretPastLineEnd(Boundary at) {
    SetCaret(at, false);
    if (LinkEndingAt(at)) m_selection.typing.push_back({L"A", {Tag::A}, true});  // switched off for the text typed next
}

void Editor::SelectWordAt(Boundary at) {
    at = NormalizeCaret(at);
    if (!at.node || !at.node->IsText()) {
        CollapseTo(at);
        return;
    }
    const CString& data = at.node->Data();
    int start = at.offset, end = at.offset;
    while (start > 0 && IsWordChar(data[start - 1])) --start;
    while (end < data.GetLength() && IsWordChar(data[end])) ++end;
    while (end < data.GetLength() && data[end] == ' ') ++end;  // with its trailing blank, as editors of its kind do
    CollapseTo({at.node, start});
    SetCaret({at.node, end}, true);
}

void Editor::SelectAll() {
    MoveToEdge(false, false);
    MoveToEdge(true, true);
}

void Editor::SelectControl(Node& element) {
    m_history.BreakRun();  // a picture or table clicked: as a caret move
    m_selection.kind = SelectionKind::Control;
    m_selection.controls = {element.Self()};
    if (Node* parent = element.Parent()) m_selection.start = {parent->Self(), element.IndexInParent()};
    m_selection.end = m_selection.start;
    m_selection.focusAtStart = false;
}

}  // namespace editing
