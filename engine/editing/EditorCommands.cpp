// The editor's commands: lists, inline formats, alignment, find, links and pictures.
#include "editing/Editor.h"

#include "editing/EditorTree.h"
#include "editing/FormatCommands.h"

#include <algorithm>

namespace editing {

using dom::Node;
using dom::NodePtr;
using dom::Tag;
using namespace tree;

namespace {

// The line around the caret as it shows: the run of inline content between
// blocks, cut at its line breaks, the break that ends the caret's line
// included. A run of several lines (a new page's blank lines,
// "<BR><BR><BR>") gives just the caret's line.
std::pair<int, int> ShownLineAround(Node& block, int index) {
    auto [first, last] = LineAround(block, index);
    int start = first, end = last;
    for (int i = std::min(index, last) - 1; i >= first; --i)
        if (block.Child(i)->Is(Tag::Br)) {
            start = i + 1;
            break;
        }
    for (int i = std::max(index, start); i < last; ++i)
        if (block.Child(i)->Is(Tag::Br)) {
            end = i + 1;
            break;
        }
    return {start, end};
}

// Takes out the white space at an item's start and end that only a line end
// of the page's source left there: it shows nothing, and text typed after it
// would carry it inside the item.
void DropEdgeBlanks(Node& item) {
    while (item.ChildCount() > 0 && IsBlank(*item.Child(0))) item.Child(0)->Remove();
    while (item.ChildCount() > 0 && IsBlank(*item.Child(item.ChildCount() - 1))) item.Child(item.ChildCount() - 1)->Remove();
}

}  // namespace

// Commands ------------------------------------------------------------------------------------

void Editor::ToggleList(bool ordered) {
    Scope step(*this);
    Boundary at = Caret();
    Node* block = BlockOf(at.node.get());
    if (!block || block->Is(Tag::Html) || IsTablePart(*block)) return;
    const wchar_t* listTag = ordered ? L"OL" : L"UL";
    Tag wanted = ordered ? Tag::Ol : Tag::Ul;
    if (IsListItem(*block)) {
        Node* list = block->Parent();
        if (list->Is(wanted)) {  // the item leaves the list as a paragraph
            ItemLeavesList(*block, at);
            return;
        }
        // The other kind of list: it stands in the old one's place before
        // the items move into it, so the selection moves along with them.
        NodePtr other = m_document.CreateElement(listTag);
        list->Parent()->InsertChild(list->IndexInParent(), other);
        MoveChildren(*list, 0, list->ChildCount(), *other, 0);
        list->Remove();
        return;
    }
    NodePtr list = m_document.CreateElement(listTag);
    NodePtr item = m_document.CreateElement(L"LI");
    list->AppendChild(item);
    if (IsCellLike(*block) || !IsSplittable(*block)) {  // the line around the caret becomes the item
        auto [first, last] = ShownLineAround(*block, ChildIndexOf(*block, at));
        if (AnnotationWouldLeave(*block, *block, first, last, true)) return;  // no list item could hold the line
        block->InsertChild(first, list);
        MoveChildren(*block, first + 1, last + 1, *item, 0);
        if (!KeepsBlanks(block)) DropEdgeBlanks(*item);
    } else {
        Node* parent = block->Parent();
        int index = block->IndexInParent();
        MoveChildren(*block, 0, block->ChildCount(), *item, 0);
        block->Remove();
        parent->InsertChild(index, list);
    }
    CollapseTo(IsInDocument(m_document, at) && item->Contains(at.node.get()) ? at : FirstPlace(*item));
}

bool Editor::IsListItem(const Node& block) {
    return block.Is(Tag::Li) && block.Parent() && (block.Parent()->Is(Tag::Ul) || block.Parent()->Is(Tag::Ol));
}

void Editor::ItemLeavesList(Node& item, const Boundary& at) {
    NodePtr list = item.Parent()->Self();
    Node* outer = list->Parent();
    int index = item.IndexInParent();
    // A middle item splits the list: the items after it stay a list of their own.
    NodePtr rest = index + 1 < list->ChildCount() ? SplitUpTo(m_document, *list, {list, index + 1}) : nullptr;
    NodePtr paragraph = m_document.CreateElement(L"P");
    outer->InsertChild(list->IndexInParent() + 1, paragraph);
    MoveChildren(item, 0, item.ChildCount(), *paragraph, 0);
    item.Remove();
    auto holdsNoItem = [](const Node& part) {
        return std::all_of(part.Children().begin(), part.Children().end(), [](const NodePtr& c) { return IsBlank(*c); });
    };
    for (const NodePtr& part : {list, rest})
        if (part && part->Parent() && holdsNoItem(*part)) part->Remove();
    CollapseTo(IsInDocument(m_document, at) && paragraph->Contains(at.node.get()) ? at : FirstPlace(*paragraph));
}

bool Editor::HasInline(const std::vector<Tag>& kinds) const {
    Boundary at = NormalizeCaret(m_selection.start);
    if (m_selection.kind == SelectionKind::None) {
        for (const TypingFormat& format : m_selection.typing)
            if (format.kinds == kinds) return !format.off;
    }
    if (m_selection.kind == SelectionKind::Text) {  // the first selected character decides
        TextRange range = SelectionRange();
        at = range.AtOffset(range.StartOffset(), true);
    }
    return at.node && AncestorOfKind(at.node.get(), kinds) != nullptr;
}

void Editor::ToggleInline(const wchar_t* tag, const std::vector<Tag>& kinds) {
    m_history.BreakRun();
    if (m_selection.kind == SelectionKind::None) {
        auto& typing = m_selection.typing;
        auto same = std::find_if(typing.begin(), typing.end(), [&](const TypingFormat& f) { return f.kinds == kinds; });
        if (same != typing.end()) typing.erase(same);  // switched back: the text typed next is as the caret's
        else typing.push_back({tag, kinds, HasInline(kinds)});
        return;
    }
    if (m_selection.kind != SelectionKind::Text) return;
    Scope step(*this);
    bool remove = HasInline(kinds);
    TextRange range = SelectionRange();
    if (!remove) ApplyInlineFormat(range, tag, CString(), CString());
    else RemoveInline(range, kinds);
    if (!range.Start().node || !IsInDocument(m_document, range.Start())) return;
    m_selection.start = range.Start();
    m_selection.end = range.End();
    m_selection.kind = range.IsCollapsed() ? SelectionKind::None : SelectionKind::Text;
}

void Editor::RemoveInline(TextRange& range, const std::vector<Tag>& kinds) {
    for (const NodePtr& text : range.IsolateTextNodes()) {
        // Split each formatting element around the text and drop the middle part.
        while (Node* element = AncestorOfKind(text.get(), kinds)) {
            NodePtr first = element->Self();
            NodePtr last = SplitUpTo(m_document, *element, {text->Parent()->Self(), text->IndexInParent() + 1});
            NodePtr middle = SplitUpTo(m_document, *element, {text->Parent()->Self(), text->IndexInParent()});
            if (!last || !middle) break;
            Node* parent = middle->Parent();
            int index = middle->IndexInParent();
            MoveChildren(*middle, 0, middle->ChildCount(), *parent, index + 1);
            middle->Remove();
            for (const NodePtr& half : {first, last})
                if (half->Parent() && !HasContent(*half)) half->Remove();
        }
    }
}

void Editor::FormatSelection(const CString& tag, const CString& attribute, const CString& value) {
    m_history.BreakRun();
    if (m_selection.kind == SelectionKind::None) {
        auto& typing = m_selection.typing;
        // A size in pixels and an HTML size are one choice: the later one counts.
        auto isSize = [](const CString& name) { return name == L"size" || name == L"style:font-size"; };
        std::erase_if(typing, [&](const TypingFormat& f) {
            return f.kinds.empty() && f.tag == tag && (f.attribute == attribute || (isSize(f.attribute) && isSize(attribute)));
        });
        typing.push_back({tag, {}, false, attribute, value});
        return;
    }
    if (m_selection.kind != SelectionKind::Text) return;
    Scope step(*this);
    TextRange range = SelectionRange();
    ApplyInlineFormat(range, tag, attribute, value);
    m_selection.start = range.Start();
    m_selection.end = range.End();
}

void Editor::TypeFormatted(Boundary at, const CString& text, const std::vector<TypingFormat>& formats) {
    Boundary point = SplitAt(at);
    NodePtr node = m_document.CreateText(text);
    point.node->InsertChild(point.offset, node);
    TextRange range(std::static_pointer_cast<dom::Document>(m_document.Self()));
    range.SetStart({node, 0});
    range.SetEnd({node, text.GetLength()});
    for (const TypingFormat& format : formats) {
        if (format.off) RemoveInline(range, format.kinds);
        else ApplyInlineFormat(range, format.tag, format.attribute, format.value);
        range.SetStart({node, 0});  // the text node stays itself, wherever the formats put it
        range.SetEnd({node, text.GetLength()});
    }
    CollapseTo({node, text.GetLength()});
}

void Editor::Align(const CString& alignment) {
    Scope step(*this);
    TextRange range = SelectionRange();
    if (m_selection.kind == SelectionKind::None) range.SetStart(Caret()), range.SetEnd(Caret());
    AlignBlock(range, alignment);
}

bool Editor::IsInList(bool ordered) const {
    Node* block = BlockOf(NormalizeCaret(m_selection.start).node.get());
    return block && block->Is(Tag::Li) && block->Parent() && block->Parent()->Is(ordered ? Tag::Ol : Tag::Ul);
}

bool Editor::Find(const CString& text, bool up, bool matchCase, bool wholeWord, bool fromEdge) {
    TextRange range = SelectionRange();
    if (fromEdge) {
        TextRange whole(std::static_pointer_cast<dom::Document>(m_document.Self()));
        range = whole;
        if (up) range.MoveStart(MoveUnit::TextEdit, 1);
    } else {
        range.Collapse(up);
    }
    if (!range.FindText(text, !up, matchCase, wholeWord)) return false;
    m_selection.kind = SelectionKind::Text;
    m_selection.controls.clear();
    m_selection.start = range.Start();
    m_selection.end = range.End();
    m_selection.focusAtStart = false;
    return true;
}

CString Editor::LinkAddress() const {
    Node* link = AncestorLink(m_selection.start.node.get());
    return link ? link->GetAttribute(L"href") : CString();
}

void Editor::SetLink(const CString& address) {
    if (address.IsEmpty()) return;
    Scope step(*this);
    if (Node* link = AncestorLink(m_selection.start.node.get()); link && m_document.Contains(link)) {
        link->SetAttribute(L"href", address);
        return;
    }
    if (m_selection.kind == SelectionKind::Text) {
        TextRange range = SelectionRange();
        ApplyInlineFormat(range, L"A", L"href", address);
        m_selection.start = range.Start();
        m_selection.end = range.End();
        return;
    }
    Boundary at = SplitAt(Caret());
    NodePtr link = m_document.CreateElement(L"A");
    link->SetAttribute(L"href", address);
    link->AppendChild(m_document.CreateText(address));
    at.node->InsertChild(at.offset, link);
    CollapseTo({at.node, at.offset + 1});
}

Node* Editor::SelectedPicture() const {
    if (m_selection.kind != SelectionKind::Control || m_selection.controls.size() != 1) return nullptr;
    Node* node = m_selection.controls.front().get();
    return node->Is(Tag::Img) && m_document.Contains(node) ? node : nullptr;
}

void Editor::SetPicture(const std::vector<std::pair<CString, CString>>& attributes) {
    Scope step(*this);
    NodePtr picture = SelectedPicture() ? SelectedPicture()->Self() : nullptr;
    const bool inserted = !picture;
    Boundary after;
    if (inserted) {
        const bool atCaret = m_selection.kind == SelectionKind::None;
        if (m_selection.kind == SelectionKind::Text) DeleteSelection();
        picture = m_document.CreateElement(L"IMG");
        Boundary at = SplitAt(InsertionPoint(atCaret));
        at.node->InsertChild(at.offset, picture);
        after = {at.node, at.offset + 1};
    }
    for (const auto& [name, value] : attributes) {
        if (value.IsEmpty()) picture->RemoveAttribute(name);
        else picture->SetAttribute(name, value);
    }
    // A new picture leaves the caret right after it, where typing goes on
    // (typed over a selected picture, text would replace it); a picture that
    // was selected to be changed stays selected.
    if (inserted) CollapseTo(NormalizeCaret(after));
    else SelectControl(*picture);
}

}  // namespace editing
