#include "editing/Editor.h"

#include "editing/FormatCommands.h"
#include "dom/TreeWalk.h"
#include "html/Parser.h"

#include <algorithm>
#include <cwctype>

namespace editing {

using dom::Node;
using dom::NodePtr;
using dom::Tag;

namespace {

constexpr wchar_t kNoBreakSpace = 0x00A0;

bool IsHidden(const Node& element) {
    return element.Is(Tag::Script) || element.Is(Tag::Style) || element.Is(Tag::Title) || element.Is(Tag::Head);
}

// Things the caret goes around as a whole: empty elements, pictures, form controls.
bool IsAtom(const Node& element) {
    if (!element.IsElement()) return false;
    return (element.TagFlags() & dom::kVoid) || element.Is(Tag::Select) || element.Is(Tag::Textarea) ||
           element.Is(Tag::Button) || element.Is(Tag::Object) || element.Is(Tag::Iframe) || element.Is(Tag::Applet);
}

bool IsCellLike(const Node& node) {
    return node.Is(Tag::Td) || node.Is(Tag::Th) || node.Is(Tag::Body) || node.Is(Tag::Caption);
}


// Blocks that Enter splits in two; other blocks get a new paragraph around the line.
bool IsSplittable(const Node& node) {
    return node.Is(Tag::P) || node.Is(Tag::H1) || node.Is(Tag::H2) || node.Is(Tag::H3) || node.Is(Tag::H4) ||
           node.Is(Tag::H5) || node.Is(Tag::H6) || node.Is(Tag::Li) || node.Is(Tag::Pre) || node.Is(Tag::Address) ||
           node.Is(Tag::Dt) || node.Is(Tag::Dd);
}

bool IsBlank(const Node& node) {
    if (!node.IsText()) return false;
    for (wchar_t c : node.Data().str())
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '\f') return false;
    return true;
}

bool IsWordChar(wchar_t c) { return std::iswalnum(c) || c == '_' || (c >= 0x80 && c != kNoBreakSpace); }
bool IsSpaceChar(wchar_t c) { return c == ' ' || c == kNoBreakSpace || c == '\t' || c == '\r' || c == '\n'; }
bool IsHigh(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The units of the character that ends at / starts at the offset (a surrogate pair is one character).
int UnitsBefore(const CString& data, int offset) {
    return offset >= 2 && IsLow(data[offset - 1]) && IsHigh(data[offset - 2]) ? 2 : 1;
}
int UnitsAfter(const CString& data, int offset) {
    return offset + 1 < data.GetLength() && IsHigh(data[offset]) && IsLow(data[offset + 1]) ? 2 : 1;
}

bool HasContent(const Node& node);  // below

enum class ItemKind { Text, Atom, Block, Edge };
struct Item {
    ItemKind kind;
    Node* node;
};

// The first thing before (or after) the boundary inside the limit: text,
// an atom, a block nested in the limit, or the limit's edge.
Item Neighbour(const Boundary& at, Node* limit, bool forward) {
    Node* parent = at.node.get();
    int index = at.offset;
    if (parent->IsText()) {
        int length = parent->Data().GetLength();
        if (forward ? at.offset < length : at.offset > 0) return {ItemKind::Text, parent};
        index = parent->IndexInParent() + (forward ? 1 : 0);
        parent = parent->Parent();
    }
    while (parent) {
        Node* child = forward ? parent->Child(index) : parent->Child(index - 1);
        if (child) {
            if (child->IsText()) {
                // Text between a table's rows is no place to edit (it would move out on the next load).
                if (child->Data().GetLength() > 0 && !IsTablePart(*parent)) return {ItemKind::Text, child};
            } else if (child->IsElement() && !IsHidden(*child)) {
                if (IsAtom(*child)) return {ItemKind::Atom, child};
                if (IsEditBlock(*child)) return {ItemKind::Block, child};
                parent = child;
                index = forward ? 0 : child->ChildCount();
                continue;
            }
            index += forward ? 1 : -1;
            continue;
        }
        if (parent == limit || !parent->Parent()) break;
        index = parent->IndexInParent() + (forward ? 1 : 0);
        parent = parent->Parent();
    }
    return {ItemKind::Edge, nullptr};
}

// The place just before the character that precedes the boundary in its block (no node: none).
Boundary PositionBefore(const Boundary& at, Node* block) {
    Item before = Neighbour(at, block, false);
    if (before.kind != ItemKind::Text) return {};
    int offset = before.node == at.node.get() ? at.offset : before.node->Data().GetLength();
    return {before.node->Self(), offset - UnitsBefore(before.node->Data(), offset)};
}

wchar_t CharAt(const Boundary& at) {
    return at.node && at.node->IsText() && at.offset < at.node->Data().GetLength() ? at.node->Data()[at.offset] : 0;
}

// A no-break space after other text becomes a plain blank.
void PlainBlankAt(const Boundary& at, Node* block) {
    wchar_t before = CharAt(PositionBefore(at, block));
    if (before == 0 || IsSpaceChar(before)) return;
    CString data = at.node->Data();
    data.SetAt(at.offset, L' ');
    at.node->SetData(data);
}

bool KeepsBlanks(const Node* node) {
    for (; node; node = node->Parent())
        if (node->Is(Tag::Pre) || node->Is(Tag::Xmp) || node->Is(Tag::Plaintext) || node->Is(Tag::Textarea)) return true;
    return false;
}

// The sibling before or after the node, passing over blank text.
Node* SiblingBlockward(Node& node, bool forward) {
    Node* sibling = forward ? node.NextSibling() : node.PreviousSibling();
    while (sibling && (IsBlank(*sibling) || sibling->Kind() == dom::NodeKind::Comment))
        sibling = forward ? sibling->NextSibling() : sibling->PreviousSibling();
    return sibling;
}

// The innermost last (first) block of a block: a list's last item, a DIV's last paragraph.
Node* DeepBlock(Node* block, bool last) {
    while (block) {
        if (IsTablePart(*block)) return nullptr;
        Node* child = last ? block->LastChild() : block->FirstChild();
        while (child && (IsBlank(*child) || child->Kind() == dom::NodeKind::Comment))
            child = last ? child->PreviousSibling() : child->NextSibling();
        if (!child || !child->IsElement() || !IsEditBlock(*child) || IsAtom(*child)) return block;
        block = child;
    }
    return nullptr;
}

// Removes an emptied node and the inline elements it leaves empty, up to the
// limit; answers where it was.
Boundary RemoveEmptied(Node* node, Node* limit) {
    Node* parent = node->Parent();
    int index = node->IndexInParent();
    parent->RemoveChild(node);
    while (parent != limit && parent->ChildCount() == 0 && parent->IsElement() && !IsEditBlock(*parent) && parent->Parent()) {
        Node* up = parent->Parent();
        index = parent->IndexInParent();
        up->RemoveChild(parent);
        parent = up;
    }
    return {parent->Self(), index};
}

// Moves the children [from, to) of one node to another, at the index (-1: the end).
void MoveChildren(Node& from, int first, int last, Node& to, int index) {
    if (index < 0) index = to.ChildCount();
    for (int i = first; i < last; ++i) to.InsertChild(index++, from.Child(first)->Self());
}

bool IsNamedOneOf(const Node& node, std::initializer_list<const wchar_t*> names) {
    if (!node.IsElement()) return false;
    return std::any_of(names.begin(), names.end(), [&](const wchar_t* name) { return node.TagName().CompareNoCase(name) == 0; });
}

// A ruby's annotations (RB, RP, RT, RTC) cannot stand directly in a paragraph, list item or
// definition below a RUBY in scope: read again, their start tag closes the paragraph and
// they come out of it. True when the children [first, last) of `from` hold one and would
// stand so in `container` (or, when `inNew`, in a paragraph or item made inside it).
bool AnnotationWouldLeave(const Node& container, const Node& from, int first, int last, bool inNew = false) {
    if (!inNew && !container.Is(Tag::P) && !container.Is(Tag::Li) && !container.Is(Tag::Dd) && !container.Is(Tag::Dt)) return false;
    bool annotation = false;
    for (int i = first; i < last && !annotation; ++i) annotation = IsNamedOneOf(*from.Child(i), {L"RB", L"RP", L"RT", L"RTC"});
    if (!annotation) return false;
    for (const Node* up = &container; up; up = up->Parent()) {
        if (IsNamedOneOf(*up, {L"RUBY"})) return true;
        if (IsCellLike(*up) || up->Is(Tag::Table) || up->Is(Tag::Html) || IsNamedOneOf(*up, {L"APPLET", L"MARQUEE", L"OBJECT", L"TEMPLATE"}))
            return false;
    }
    return false;
}

// The end of a block's first line: its children up to the first nested block.
int LeadingLineEnd(Node& source) {
    int last = 0;
    while (last < source.ChildCount() && !(source.Child(last)->IsElement() && (IsEditBlock(*source.Child(last)) || source.Child(last)->Is(Tag::Hr))))
        ++last;
    return last;
}

// Moves the first line of a block to the end of another; the block goes when
// nothing is left in it. Nothing moves where the line would not read back there.
bool MoveLeadingLine(Node& source, Node& target) {
    int last = LeadingLineEnd(source);
    if (AnnotationWouldLeave(target, source, 0, last)) return false;
    MoveChildren(source, 0, last, target, -1);
    bool empty = std::all_of(source.Children().begin(), source.Children().end(), [](const NodePtr& child) { return IsBlank(*child); });
    if (empty && source.Parent()) source.Remove();
    return true;
}

NodePtr ShallowCopy(dom::Document& document, const Node& element) {
    NodePtr copy = document.CreateElement(element.TagName());
    for (const auto& attribute : element.Attributes()) {
        if (attribute.name.CompareNoCase(L"id") == 0) continue;  // ids stay unique
        if (attribute.hasValue) copy->SetAttribute(attribute.name, attribute.value);
        else copy->AddBareAttribute(attribute.name);
    }
    return copy;
}

// Splits the elements from the boundary up to `top`; answers the new second half of top.
NodePtr SplitUpTo(dom::Document& document, Node& top, const Boundary& at) {
    if (!at.node || !top.Contains(at.node.get()) || !top.Parent()) return nullptr;
    Boundary point = SplitAt(at);
    Node* parent = point.node.get();
    int index = point.offset;
    for (;;) {
        NodePtr copy = ShallowCopy(document, *parent);
        MoveChildren(*parent, index, parent->ChildCount(), *copy, 0);
        Node* grand = parent->Parent();
        int at = parent->IndexInParent() + 1;
        grand->InsertChild(at, copy);
        if (parent == &top) return copy;
        parent = grand;
        index = at;
    }
}

// Removes the inline elements left empty along the block's last children.
void DropEmptyTail(Node& block) {
    Node* node = block.LastChild();
    while (node && node->IsElement() && !IsAtom(*node) && !IsEditBlock(*node)) {
        if (node->ChildCount() == 0) {
            Node* parent = node->Parent();
            parent->RemoveChild(node);
            node = parent == &block ? block.LastChild() : parent;
            continue;
        }
        node = node->LastChild();
    }
}

// The first place to type in a node: inside its first text or innermost first inline element.
Boundary FirstPlace(Node& node) { return NormalizeCaret({node.Self(), 0}); }

// The children of `block` that form the line around the child index: up to the
// nearest blocks on either side.
std::pair<int, int> LineAround(Node& block, int index) {
    int first = index, last = index;
    auto inLine = [](Node* child) {
        if (!child) return false;
        if (!child->IsElement()) return true;
        if (IsEditBlock(*child) || child->Is(Tag::Hr)) return false;
        bool holdsBlock = false;  // an inline element around a block (a misnested page) ends the line too
        dom::WalkTree(*child, [&](const NodePtr& inner) {
            if (inner->IsElement() && (IsEditBlock(*inner) || inner->Is(Tag::Hr))) holdsBlock = true;
            return !holdsBlock && inner->IsElement();
        });
        return !holdsBlock;
    };
    while (first > 0 && inLine(block.Child(first - 1))) --first;
    while (last < block.ChildCount() && inLine(block.Child(last))) ++last;
    return {first, last};
}

// The index of the child of `ancestor` that holds the boundary.
int ChildIndexOf(Node& ancestor, const Boundary& at) {
    if (at.node.get() == &ancestor) return at.offset;
    Node* node = at.node.get();
    while (node->Parent() && node->Parent() != &ancestor) node = node->Parent();
    return node->IndexInParent();
}

bool IsAddressStart(const CString& word) {
    static const wchar_t* const kPrefixes[] = {L"http://", L"https://", L"ftp://", L"file://", L"mailto:", L"www.", L"news:"};
    for (const wchar_t* prefix : kPrefixes) {
        int length = static_cast<int>(wcslen(prefix));
        if (word.GetLength() > length && word.Left(length).CompareNoCase(prefix) == 0) return true;
    }
    return false;
}

Node* AncestorLink(Node* node) {
    for (; node; node = node->Parent())
        if (node->Is(Tag::A)) return node;
    return nullptr;
}

}  // namespace

bool IsEditBlock(const Node& node) {
    if (!node.IsElement() || IsAtom(node)) return false;
    return (node.TagFlags() & dom::kClosesParagraph) || IsCellLike(node) || IsTablePart(node) || node.Is(Tag::Li) ||
           node.Is(Tag::Dd) || node.Is(Tag::Dt) || node.Is(Tag::Html) ||
           IsNamedOneOf(node, {L"DIALOG", L"SEARCH"});  // they close a paragraph too when the page is read
}

Node* BlockOf(Node* node) {
    for (; node; node = node->Parent())
        if (IsEditBlock(*node)) return node;
    return nullptr;
}

Boundary NormalizeCaret(Boundary at) {
    for (int guard = 0; at.node && !at.node->IsText() && guard < 10000; ++guard) {
        Node* node = at.node.get();
        if (IsAtom(*node) && node->Parent()) {  // never inside a picture or a rule
            at = {node->Parent()->Self(), node->IndexInParent() + 1};
            continue;
        }
        Node* before = node->Child(at.offset - 1);
        Node* after = node->Child(at.offset);
        if (before && before->IsText() && IsVisibleText(*before)) return {before->Self(), before->Data().GetLength()};
        if (after && after->IsText() && IsVisibleText(*after)) return {after->Self(), 0};
        auto enterable = [](Node* child) { return child && child->IsElement() && !IsAtom(*child) && !IsHidden(*child); };
        if (enterable(after) && !(before && before->IsElement() && !IsEditBlock(*before) && IsEditBlock(*after))) {
            at = {after->Self(), 0};
            continue;
        }
        if (enterable(before) && !IsEditBlock(*before)) {
            at = {before->Self(), before->ChildCount()};
            continue;
        }
        break;
    }
    return at;
}

bool IsInDocument(const dom::Document& document, const Boundary& at) {
    return at.node && document.Contains(at.node.get()) &&
           at.offset >= 0 && at.offset <= (at.node->IsText() ? at.node->Data().GetLength() : at.node->ChildCount());
}

struct Editor::Scope {
    Editor& editor;
    explicit Scope(Editor& e) : editor(e) { editor.m_history.Begin(editor.m_selection); }
    ~Scope() { editor.m_history.End(editor.m_selection); }
};

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
    Scope step(*this);
    std::vector<TypingFormat> formats;
    if (m_selection.kind == SelectionKind::None) formats = std::move(m_selection.typing);
    else DeleteSelection();
    Boundary at = Caret();
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
    Node* block = BlockOf(at.node.get());
    if (!block) return;
    if (!IsSplittable(*block)) {  // a cell, the body, a DIV: the line around the caret becomes a paragraph
        if (block->Is(Tag::Html) || IsTablePart(*block)) return;
        int index = ChildIndexOf(*block, at);
        auto [first, last] = LineAround(*block, index);
        if (AnnotationWouldLeave(*block, *block, first, last, true)) {
            InsertLineBreak();  // a paragraph could not hold the line
            return;
        }
        NodePtr paragraph = m_document.CreateElement(L"P");
        block->InsertChild(first, paragraph);
        bool caretInBlock = at.node.get() == block;
        MoveChildren(*block, first + 1, last + 1, *paragraph, 0);
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
    if (m_selection.kind != SelectionKind::None) DeleteSelection();
    Boundary at = SplitAt(Caret());
    NodePtr lineBreak = m_document.CreateElement(L"BR");
    at.node->InsertChild(at.offset, lineBreak);
    CollapseTo(NormalizeCaret({at.node, at.offset + 1}));
}

void Editor::InsertTab() { TypeText(CString(kNoBreakSpace, 3) + L" "); }

void Editor::DeleteBackward() { DeleteCharacter(false); }
void Editor::DeleteForward() { DeleteCharacter(true); }

void Editor::DeleteCharacter(bool forward) {
    Scope step(*this);
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
    if (m_selection.kind != SelectionKind::None) DeleteSelection();
    TextRange range(std::static_pointer_cast<dom::Document>(m_document.Self()));
    range.SetStart(Caret());
    range.SetEnd(range.Start());
    range.PasteHtml(html);
    CollapseTo(NormalizeCaret(range.End()));
}

// Commands ------------------------------------------------------------------------------------

void Editor::ToggleList(bool ordered) {
    Scope step(*this);
    Boundary at = Caret();
    Node* block = BlockOf(at.node.get());
    if (!block || block->Is(Tag::Html) || IsTablePart(*block)) return;
    const wchar_t* listTag = ordered ? L"OL" : L"UL";
    Tag wanted = ordered ? Tag::Ol : Tag::Ul;
    if (block->Is(Tag::Li) && block->Parent() && (block->Parent()->Is(Tag::Ul) || block->Parent()->Is(Tag::Ol))) {
        Node* list = block->Parent();
        if (list->Is(wanted)) {  // the item leaves the list as a paragraph
            NodePtr paragraph = m_document.CreateElement(L"P");
            MoveChildren(*block, 0, block->ChildCount(), *paragraph, 0);
            Node* outer = list->Parent();
            int index = list->IndexInParent();
            int item = block->IndexInParent();
            if (item > 0 && item + 1 < list->ChildCount()) {  // a middle item splits the list
                NodePtr rest = SplitUpTo(m_document, *list, {list->Self(), item + 1});
                (void)rest;
            }
            int position = item == 0 ? index : index + 1;
            block->Remove();
            outer->InsertChild(position, paragraph);
            if (list->ChildCount() == 0 || std::all_of(list->Children().begin(), list->Children().end(), [](const NodePtr& c) { return IsBlank(*c); }))
                list->Remove();
            CollapseTo(FirstPlace(*paragraph));
            return;
        }
        NodePtr other = m_document.CreateElement(listTag);  // the other kind of list
        Node* outer = list->Parent();
        int index = list->IndexInParent();
        MoveChildren(*list, 0, list->ChildCount(), *other, 0);
        list->Remove();
        outer->InsertChild(index, other);
        return;
    }
    NodePtr list = m_document.CreateElement(listTag);
    NodePtr item = m_document.CreateElement(L"LI");
    list->AppendChild(item);
    if (IsCellLike(*block) || !IsSplittable(*block)) {  // the line around the caret becomes the item
        auto [first, last] = LineAround(*block, ChildIndexOf(*block, at));
        if (AnnotationWouldLeave(*block, *block, first, last, true)) return;  // no list item could hold the line
        block->InsertChild(first, list);
        MoveChildren(*block, first + 1, last + 1, *item, 0);
    } else {
        Node* parent = block->Parent();
        int index = block->IndexInParent();
        MoveChildren(*block, 0, block->ChildCount(), *item, 0);
        block->Remove();
        parent->InsertChild(index, list);
    }
    CollapseTo(IsInDocument(m_document, at) && item->Contains(at.node.get()) ? at : FirstPlace(*item));
}

namespace {
// Text or an atom somewhere below the node.
bool HasContent(const Node& node) {
    bool found = false;
    dom::WalkTree(node, [&](const NodePtr& child) {
        if ((child->IsText() && child->Data().GetLength() > 0) || IsAtom(*child)) found = true;
        return !found && child->IsElement();
    });
    return found;
}

Node* AncestorOfKind(Node* node, const std::vector<Tag>& kinds) {
    for (; node && !(node->IsElement() && IsEditBlock(*node)); node = node->Parent())
        for (Tag kind : kinds)
            if (node->Is(kind)) return node;
    return nullptr;
}
}  // namespace

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
    if (m_selection.kind == SelectionKind::None) {
        auto& typing = m_selection.typing;
        std::erase_if(typing, [&](const TypingFormat& f) { return f.kinds.empty() && f.tag == tag && f.attribute == attribute; });
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
    if (!picture) {
        if (m_selection.kind == SelectionKind::Text) DeleteSelection();
        picture = m_document.CreateElement(L"IMG");
        Boundary at = SplitAt(Caret());
        at.node->InsertChild(at.offset, picture);
    }
    for (const auto& [name, value] : attributes) {
        if (value.IsEmpty()) picture->RemoveAttribute(name);
        else picture->SetAttribute(name, value);
    }
    SelectControl(*picture);
}

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
    m_selection.kind = SelectionKind::Control;
    m_selection.controls = {element.Self()};
    if (Node* parent = element.Parent()) m_selection.start = {parent->Self(), element.IndexInParent()};
    m_selection.end = m_selection.start;
    m_selection.focusAtStart = false;
}

}  // namespace editing
