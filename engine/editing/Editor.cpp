// The editor's selection basics, typing, Enter, line breaks, deletion and pasting.
#include "editing/Editor.h"

#include "editing/EditorTree.h"
#include "editing/FormatCommands.h"
#include "dom/TreeWalk.h"

#include <algorithm>

namespace editing {

using dom::Node;
using dom::NodePtr;
using dom::Tag;
using namespace tree;

namespace {

// An empty line's placeholder: a lone no-break space, the whole content of
// its block, that keeps the line's height (an emptied paragraph is saved
// so). The caret stands before it.
bool IsLinePlaceholder(const Boundary& at) {
    if (!at.node || !at.node->IsText() || at.offset != 0 || at.node->Data() != CString(kNoBreakSpace)) return false;
    Node* block = BlockOf(at.node.get());
    if (!block) return false;
    bool alone = true;
    dom::WalkTree(*block, [&](const NodePtr& child) {
        if (child.get() != at.node.get() && ((child->IsText() && !IsBlank(*child)) || IsAtom(*child))) alone = false;
        return alone && child->IsElement();
    });
    return alone;
}

// A block that shows no more than an empty line: nothing in it, or a lone
// line break (an empty item as browsers' editors write it). White space
// that folds away (a line end of the page's source) shows nothing.
bool ShowsAnEmptyLine(const Node& block) {
    int breaks = 0;
    bool content = false;
    const bool keepsBlanks = KeepsBlanks(&block);
    dom::WalkTree(block, [&](const NodePtr& child) {
        if (child->Is(Tag::Br)) ++breaks;
        else if ((child->IsText() && child->Data().GetLength() > 0 && (keepsBlanks || !IsBlank(*child))) ||
                 (child->IsElement() && IsAtom(*child)))
            content = true;
        return !content && child->IsElement();
    });
    return !content && breaks <= 1;
}

// Takes out the text of a block that holds nothing but folded white space
// (no text to show, no picture or other atom); white space that shows (PRE,
// LISTING, TEXTAREA) stays.
void DropBlankText(Node& block) {
    for (const Node* at = &block; at; at = at->Parent())
        if (at->Is(Tag::Pre) || at->Is(Tag::Listing) || at->Is(Tag::Textarea) || at->Is(Tag::Plaintext)) return;
    std::vector<Node*> blanks;
    bool shows = false;
    dom::WalkTree(block, [&](const NodePtr& child) {
        if (child->IsText()) {
            if (IsBlank(*child)) blanks.push_back(child.get());
            else shows = true;
        } else if ((IsAtom(*child) || IsEditBlock(*child) || child->Is(Tag::Pre))) {
            shows = true;
        }
        return !shows;
    });
    if (shows) return;
    for (Node* blank : blanks) blank->Remove();
}

}  // namespace

Node* Editor::Root() const {
    if (Node* body = m_document.Body()) return body;
    if (Node* html = m_document.DocumentElement()) return html;
    return &m_document;
}

TextRange Editor::SelectionRange() const {
    TextRange range(std::static_pointer_cast<dom::Document>(m_document.Self()));
    if (m_selection.kind != SelectionKind::Control && IsInDocument(m_document, m_selection.start) &&
        IsInDocument(m_document, m_selection.end)) {
        range.SetStart(m_selection.start);
        range.SetEnd(m_selection.end);
    }
    return range;
}

Boundary Editor::Focus() const { return m_selection.focusAtStart ? m_selection.start : m_selection.end; }

Boundary Editor::Caret() {
    Boundary at = m_selection.start;
    if (at.node && Root()->Contains(at.node.get()))  // a text that got shorter keeps the caret at its end
        at.offset = std::clamp(at.offset, 0, at.node->IsText() ? at.node->Data().GetLength() : at.node->ChildCount());
    if (!IsInDocument(m_document, at) || !Root()->Contains(at.node.get())) at = {Root()->Self(), 0};
    at = NormalizeCaret(at);
    Node* holder = at.node->IsText() ? at.node->Parent() : at.node.get();
    // A list box or a text area is one piece: the caret stands before it.
    if (Node* piece = OutermostPiece(holder); piece && piece->Parent() && Root()->Contains(piece))
        return {piece->Parent()->Self(), piece->IndexInParent()};
    // Text cannot stand in a table outside its cells (between rows, or in a
    // FORM that stands between them): into its first cell, or before the table.
    for (Node* inside = holder; inside && inside != Root(); inside = inside->Parent()) {
        if (inside->Is(Tag::Td) || inside->Is(Tag::Th) || inside->Is(Tag::Caption)) break;
        if (inside->IsElement() && IsTablePart(*inside)) {
            holder = inside;
            break;
        }
    }
    if (holder && holder->IsElement() && IsTablePart(*holder)) {
        Node* table = holder;
        while (!table->Is(Tag::Table) && table->Parent() && IsTablePart(*table->Parent())) table = table->Parent();
        Node* cell = nullptr;
        dom::WalkTree(*table, [&](const NodePtr& child) {
            if (!cell && (child->Is(Tag::Td) || child->Is(Tag::Th))) cell = child.get();
            return !cell && child->IsElement() && IsTablePart(*child);
        });
        if (cell) return NormalizeCaret({cell->Self(), 0});
        if (table->Parent()) return {table->Parent()->Self(), table->IndexInParent()};
    }
    return at;
}

Boundary Editor::InsertionPoint(bool atCaret) { return atCaret ? PastLinkEnds(Caret()) : Caret(); }

void Editor::CollapseTo(Boundary at) {
    m_selection.kind = SelectionKind::None;
    m_selection.typing.clear();
    m_selection.controls.clear();
    m_selection.start = at;
    m_selection.end = at;
    m_selection.focusAtStart = false;
}

void Editor::SetCaret(Boundary at, bool extend) {
    if (!at.node) return;
    m_history.BreakRun();  // typing after a move is a step of its own
    if (!extend || m_selection.kind == SelectionKind::Control || !IsInDocument(m_document, m_selection.start)) {
        CollapseTo(at);
        return;
    }
    m_selection.typing.clear();
    Boundary anchor = m_selection.focusAtStart ? m_selection.end : m_selection.start;
    if (CompareBoundaries(at, anchor) < 0) {
        m_selection.start = at;
        m_selection.end = anchor;
        m_selection.focusAtStart = true;
    } else {
        m_selection.start = anchor;
        m_selection.end = at;
        m_selection.focusAtStart = false;
    }
    m_selection.kind = CompareBoundaries(m_selection.start, m_selection.end) == 0 ? SelectionKind::None : SelectionKind::Text;
}

// Typing -----------------------------------------------------------------------------------

void Editor::DeleteSelection() {
    Scope step(*this);
    if (m_selection.kind == SelectionKind::Control) {
        Boundary at = {Root()->Self(), 0};
        for (auto& control : m_selection.controls) {
            if (!control->Parent() || !m_document.Contains(control.get())) continue;
            at = {control->Parent()->Self(), control->IndexInParent()};
            control->Remove();
        }
        CollapseTo(NormalizeCaret(at));
        return;
    }
    if (m_selection.kind != SelectionKind::Text || !IsInDocument(m_document, m_selection.start) ||
        !IsInDocument(m_document, m_selection.end)) {
        CollapseTo(Caret());
        return;
    }
    Node* startBlock = BlockOf(m_selection.start.node.get());
    NodePtr endBlock = BlockOf(m_selection.end.node.get()) ? BlockOf(m_selection.end.node.get())->Self() : nullptr;
    TextRange range = SelectionRange();
    range.PasteHtml(CString());
    Boundary at = range.Start();
    // Inline elements the deletion emptied go too.
    for (int guard = 0; guard < 64 && at.node && at.node->IsElement(); ++guard) {
        Node* node = at.node.get();
        auto emptyInline = [](Node* child) { return child && child->IsElement() && child->ChildCount() == 0 && !IsAtom(*child) && !IsEditBlock(*child); };
        if (emptyInline(node->Child(at.offset - 1))) {
            node->RemoveChild(node->Child(at.offset - 1));
            --at.offset;
        } else if (emptyInline(node->Child(at.offset))) {
            node->RemoveChild(node->Child(at.offset));
        } else if (node->ChildCount() == 0 && !IsEditBlock(*node) && !IsAtom(*node) && node->Parent()) {
            at = {node->Parent()->Self(), node->IndexInParent()};
            node->Remove();
        } else {
            break;
        }
    }
    // A selection across paragraphs leaves one paragraph, as it reads.
    if (startBlock && endBlock && startBlock != endBlock.get() && m_document.Contains(startBlock) &&
        m_document.Contains(endBlock.get()) && !startBlock->Contains(endBlock.get()) && !endBlock->Contains(startBlock) &&
        IsSplittable(*startBlock) && IsSplittable(*endBlock) && CompareBoundaries({startBlock->Self(), 0}, {endBlock, 0}) < 0) {
        MoveChildren(*endBlock, 0, endBlock->ChildCount(), *startBlock, -1);
        RemoveEmptied(endBlock.get(), Root());
    }
    CollapseTo(NormalizeCaret(at));
}

void Editor::TypeText(const CString& typed) {
    if (typed.IsEmpty()) return;
    Scope step(*this, StepKind::Typing);
    const bool atCaret = m_selection.kind == SelectionKind::None;  // not typed over a selection
    std::vector<TypingFormat> formats;
    if (atCaret) formats = std::move(m_selection.typing);
    else DeleteSelection();
    Boundary at = Caret();
    // Typed where a link ends, the text stands after the link, in the formats it has there.
    bool linkOff = std::any_of(formats.begin(), formats.end(), [](const TypingFormat& f) { return f.off && f.tag == L"A"; });
    if (atCaret && LinkEndingAt(at) && !linkOff) formats.push_back({L"A", {Tag::A}, true});
    if (IsLinePlaceholder(at)) at.node->SetData(CString());  // the first character takes its place
    CString text = typed;
    if (!KeepsBlanks(at.node.get())) {
        Node* block = BlockOf(at.node.get());
        Boundary previous = PositionBefore(at, block);
        wchar_t before = CharAt(previous);
        if (text == L" ") {
            // A blank that would vanish (at a line's start or end, beside another blank) is a no-break space.
            Item after = Neighbour(at, block, true);
            bool spaceAfter = after.kind == ItemKind::Text && IsSpaceChar(after.node == at.node.get() ? at.node->Data()[at.offset] : after.node->Data()[0]);
            if (before == 0 || IsSpaceChar(before) || spaceAfter || after.kind != ItemKind::Text) {
                text = CString(kNoBreakSpace);
                if (before == kNoBreakSpace) PlainBlankAt(previous, block);  // "a&nbsp;&nbsp;" reads "a &nbsp;"
            }
        } else if (before == kNoBreakSpace) {
            PlainBlankAt(previous, block);  // text follows now: the blank no longer needs to be kept
        }
    }
    if (!formats.empty()) {
        TypeFormatted(at, text, formats);
        return;
    }
    if (at.node->IsText()) {
        CString data = at.node->Data();
        data.Insert(at.offset, text);
        at.node->SetData(data);
        at.offset += text.GetLength();
    } else {
        NodePtr node = m_document.CreateText(text);
        at.node->InsertChild(at.offset, node);
        at = {node, text.GetLength()};
    }
    if (autoUrlDetect && text.GetLength() == 1 && (IsSpaceChar(text[0]) || text == L"," || text == L";"))
        LinkTypedAddress(at);
    CollapseTo(at);
}

// The word before the typed blank becomes a link when it reads as an address.
void Editor::LinkTypedAddress(Boundary& caret) {
    Node* text = caret.node.get();
    if (!text->IsText() || AncestorLink(text)) return;
    const CString& data = text->Data();
    int end = caret.offset - 1;
    int start = end;
    while (start > 0 && !IsSpaceChar(data[start - 1])) --start;
    CString word = data.Mid(start, end - start);
    if (!IsAddressStart(word)) return;
    CString address = word.Left(4).CompareNoCase(L"www.") == 0 ? CString(L"http://") + word : word;
    Node* parent = text->Parent();
    Boundary tail = SplitAt({text->Self(), end});           // the blank and what follows
    Boundary head = SplitAt({text->Self(), start});          // the word
    Node* wordNode = parent->Child(head.offset);
    NodePtr link = m_document.CreateElement(L"A");
    link->SetAttribute(L"href", address);
    parent->InsertChild(head.offset, link);
    link->AppendChild(wordNode->Self());
    Node* after = parent->Child(link->IndexInParent() + 1);
    (void)tail;
    if (after && after->IsText()) caret = {after->Self(), 1};
    else caret = {parent->Self(), link->IndexInParent() + 1};
}

void Editor::InsertParagraph() {
    Scope step(*this);
    const bool atCaret = m_selection.kind == SelectionKind::None;
    if (m_selection.kind != SelectionKind::None) DeleteSelection();
    Boundary at = Caret();
    if (autoUrlDetect && at.node->IsText() && at.offset > 0) {  // the address typed last, as a blank would
        Boundary probe = at;
        CString data = probe.node->Data();
        data.Insert(probe.offset, L' ');
        probe.node->SetData(data);
        ++probe.offset;
        LinkTypedAddress(probe);
        CString rest = probe.node->Data();  // take the probe's blank back out
        rest.Delete(probe.offset - 1, 1);
        if (probe.node->IsText()) {
            if (rest.IsEmpty()) at = RemoveEmptied(probe.node.get(), Root());
            else {
                probe.node->SetData(rest);
                at = {probe.node, probe.offset - 1};
            }
        }
        at = NormalizeCaret(at);
    }
    Node* endingLink = atCaret ? LinkEndingAt(at) : nullptr;
    Node* block = BlockOf(at.node.get());
    if (!block) return;
    if (atCaret && IsListItem(*block) && ShowsAnEmptyLine(*block)) {  // Enter on an empty item ends the list
        ItemLeavesList(*block, at);
        return;
    }
    if (!IsSplittable(*block)) {  // a cell, the body, a DIV: the line around the caret becomes a paragraph
        if (block->Is(Tag::Html) || IsTablePart(*block)) return;
        int index = ChildIndexOf(*block, at);
        auto [first, last] = LineAround(*block, index);
        if (AnnotationWouldLeave(*block, *block, first, last, true)) {
            InsertLineBreak();  // a paragraph could not hold the line
            return;
        }
        NodePtr paragraph = m_document.CreateElement(L"P");
        bool caretInBlock = at.node.get() == block;
        if (block->Is(Tag::Div) && first == 0 && last == block->ChildCount() && block->Parent()) {
            // A DIV that is one line of its own is split as a paragraph is:
            // the paragraph takes its place and its attributes, so the new
            // line stands beside it. Lines made so never nest deeper.
            tree::CopyAttributes(*block, *paragraph, true);
            block->Parent()->InsertChild(block->IndexInParent(), paragraph);
            MoveChildren(*block, 0, last, *paragraph, 0);
            block->Remove();
        } else {
            block->InsertChild(first, paragraph);
            MoveChildren(*block, first + 1, last + 1, *paragraph, 0);
        }
        if (caretInBlock) at = {paragraph, index - first};
        block = paragraph.get();
    }
    NodePtr second = SplitUpTo(m_document, *block, at);
    if (!second) {  // no paragraph can hold the caret here: a line break does
        Boundary point = SplitAt(at);
        point.node->InsertChild(point.offset, m_document.CreateElement(L"BR"));
        CollapseTo(NormalizeCaret({point.node, point.offset + 1}));
        return;
    }
    DropEmptyTail(*block);
    // The new line never carries on a link that ended at the caret: its
    // empty copy goes, the formats inside it stay.
    if (endingLink) UnwrapLeadingEmptyLinks(*second);
    // A new line of nothing but white space (a line end that followed the
    // caret in the source) would show no line at all: it is an empty line,
    // as Enter at the end of a text makes it.
    DropBlankText(*second);
    bool heading = block->Is(Tag::H1) || block->Is(Tag::H2) || block->Is(Tag::H3) || block->Is(Tag::H4) ||
                   block->Is(Tag::H5) || block->Is(Tag::H6);
    if (heading && !HasContent(*second)) {  // Enter at a heading's end starts a paragraph
        NodePtr paragraph = m_document.CreateElement(L"P");
        Node* parent = second->Parent();
        int index = second->IndexInParent();
        second->Remove();
        parent->InsertChild(index, paragraph);
        second = paragraph;
    }
    CollapseTo(FirstPlace(*second));
}

void Editor::InsertLineBreak() {
    Scope step(*this);
    const bool atCaret = m_selection.kind == SelectionKind::None;
    if (!atCaret) DeleteSelection();
    Boundary at = SplitAt(InsertionPoint(atCaret));
    NodePtr lineBreak = m_document.CreateElement(L"BR");
    at.node->InsertChild(at.offset, lineBreak);
    CollapseTo(NormalizeCaret({at.node, at.offset + 1}));
}

void Editor::InsertTab() { TypeText(CString(kNoBreakSpace, 3) + L" "); }

void Editor::DeleteBackward() { DeleteCharacter(false); }
void Editor::DeleteForward() { DeleteCharacter(true); }

void Editor::DeleteCharacter(bool forward) {
    Scope step(*this, StepKind::Deleting);
    if (m_selection.kind != SelectionKind::None) {
        DeleteSelection();
        return;
    }
    Boundary at = Caret();
    Node* block = BlockOf(at.node.get());
    if (!block) return;
    Item item = Neighbour(at, block, forward);
    switch (item.kind) {
    case ItemKind::Text: {
        CString data = item.node->Data();
        int offset = item.node == at.node.get() ? at.offset : (forward ? 0 : data.GetLength());
        int units = forward ? UnitsAfter(data, offset) : UnitsBefore(data, offset);
        int from = forward ? offset : offset - units;
        data.Delete(from, units);
        if (data.IsEmpty()) {
            CollapseTo(NormalizeCaret(RemoveEmptied(item.node, block)));
            return;
        }
        item.node->SetData(data);
        CollapseTo({item.node->Self(), from});
        return;
    }
    case ItemKind::Atom:
        CollapseTo(NormalizeCaret(RemoveEmptied(item.node, block)));
        return;
    case ItemKind::Block:
        if (forward) {  // the paragraph nested after the line joins it
            Node* source = DeepBlock(item.node, false);
            if (!source) return;
            Node* parent = item.node->Parent();
            NodePtr line = m_document.CreateElement(L"SPAN");  // gathers the line, then gives it up
            NodePtr keep = item.node->Self();
            if (AnnotationWouldLeave(*parent, *source, 0, LeadingLineEnd(*source))) return;
            MoveLeadingLine(*source, *line);
            MoveChildren(*line, 0, line->ChildCount(), *parent, keep->IndexInParent());
            if (keep->Parent() && keep->ChildCount() == 0) keep->Remove();
            CollapseTo(NormalizeCaret(at));
        } else {  // a paragraph nested before the line: the line joins it
            Node* target = DeepBlock(item.node, true);
            if (!target) return;
            Node* parent = item.node->Parent();
            auto [first, last] = LineAround(*parent, item.node->IndexInParent() + 1);
            if (AnnotationWouldLeave(*target, *parent, first, last)) return;
            int count = target->ChildCount();
            MoveChildren(*parent, first, last, *target, -1);
            CollapseTo(NormalizeCaret({target->Self(), count}));
        }
        return;
    case ItemKind::Edge: break;
    }
    // At the block's edge: it joins what comes before it, or what follows joins it.
    if (IsCellLike(*block) || IsTablePart(*block) || block->Is(Tag::Html) || !block->Parent()) return;
    Node* neighbour = SiblingBlockward(*block, forward);
    if (!neighbour) return;
    if (neighbour->IsElement() && IsAtom(*neighbour)) {
        neighbour->Remove();
        return;
    }
    if (neighbour->IsElement() && IsEditBlock(*neighbour)) {
        if (forward) {
            Node* source = DeepBlock(neighbour, false);
            if (!source) return;
            NodePtr keep = neighbour->Self();
            if (!MoveLeadingLine(*source, *block)) return;
            if (keep->Parent() && keep->ChildCount() == 0) keep->Remove();
            CollapseTo(NormalizeCaret(at));
        } else {
            Node* target = DeepBlock(neighbour, true);
            if (!target) return;
            int count = target->ChildCount();
            if (!MoveLeadingLine(*block, *target)) return;
            CollapseTo(NormalizeCaret({target->Self(), count}));
        }
        return;
    }
    Node* parent = block->Parent();
    if (forward) {  // the line that follows the block joins it
        auto [first, last] = LineAround(*parent, neighbour->IndexInParent());
        if (AnnotationWouldLeave(*block, *parent, first, last)) return;
        MoveChildren(*parent, first, last, *block, -1);
        CollapseTo(NormalizeCaret(at));
        return;
    }
    // Text or inline elements before it: the block's content joins that line.
    int index = block->IndexInParent();
    MoveChildren(*block, 0, block->ChildCount(), *parent, index);
    block->Remove();
    CollapseTo(NormalizeCaret({parent->Self(), index}));
}

void Editor::PasteHtml(const CString& html) {
    Scope step(*this);
    const bool atCaret = m_selection.kind == SelectionKind::None;
    if (!atCaret) DeleteSelection();
    TextRange range(std::static_pointer_cast<dom::Document>(m_document.Self()));
    range.SetStart(InsertionPoint(atCaret));
    range.SetEnd(range.Start());
    range.PasteHtml(html);
    CollapseTo(NormalizeCaret(range.End()));
}

}  // namespace editing
