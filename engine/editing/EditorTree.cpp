// The tree operations the editor shares, and the editing blocks and caret places of Editor.h.
#include "editing/EditorTree.h"

#include "editing/FormatCommands.h"
#include "dom/TreeWalk.h"

#include <algorithm>
#include <cwctype>

namespace editing {

using dom::Node;
using dom::NodePtr;
using dom::Tag;

namespace tree {

namespace {

bool IsHigh(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

NodePtr ShallowCopy(dom::Document& document, const Node& element) {
    NodePtr copy = document.CreateElement(element.TagName());
    CopyAttributes(element, *copy, false);  // ids stay unique
    return copy;
}

}  // namespace

void CopyAttributes(const Node& from, Node& to, bool withId) {
    for (const auto& attribute : from.Attributes()) {
        if (!withId && attribute.name.CompareNoCase(L"id") == 0) continue;
        if (attribute.hasValue) to.SetAttribute(attribute.name, attribute.value);
        else to.AddBareAttribute(attribute.name);
    }
}

bool IsHidden(const Node& element) {
    return element.Is(Tag::Script) || element.Is(Tag::Style) || element.Is(Tag::Title) || element.Is(Tag::Head);
}

bool IsAtom(const Node& element) {
    if (!element.IsElement()) return false;
    return (element.TagFlags() & dom::kVoid) || element.Is(Tag::Select) || element.Is(Tag::Textarea) ||
           element.Is(Tag::Button) || element.Is(Tag::Object) || element.Is(Tag::Iframe) || element.Is(Tag::Applet);
}

bool IsCellLike(const Node& node) {
    return node.Is(Tag::Td) || node.Is(Tag::Th) || node.Is(Tag::Body) || node.Is(Tag::Caption);
}


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

int UnitsBefore(const CString& data, int offset) {
    return offset >= 2 && IsLow(data[offset - 1]) && IsHigh(data[offset - 2]) ? 2 : 1;
}
int UnitsAfter(const CString& data, int offset) {
    return offset + 1 < data.GetLength() && IsHigh(data[offset]) && IsLow(data[offset + 1]) ? 2 : 1;
}

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

Boundary PositionBefore(const Boundary& at, Node* block) {
    Item before = Neighbour(at, block, false);
    if (before.kind != ItemKind::Text) return {};
    int offset = before.node == at.node.get() ? at.offset : before.node->Data().GetLength();
    return {before.node->Self(), offset - UnitsBefore(before.node->Data(), offset)};
}

wchar_t CharAt(const Boundary& at) {
    return at.node && at.node->IsText() && at.offset < at.node->Data().GetLength() ? at.node->Data()[at.offset] : 0;
}

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

Node* SiblingBlockward(Node& node, bool forward) {
    Node* sibling = forward ? node.NextSibling() : node.PreviousSibling();
    while (sibling && (IsBlank(*sibling) || sibling->Kind() == dom::NodeKind::Comment))
        sibling = forward ? sibling->NextSibling() : sibling->PreviousSibling();
    return sibling;
}

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

void MoveChildren(Node& from, int first, int last, Node& to, int index) {
    if (index < 0) index = to.ChildCount();
    for (int i = first; i < last; ++i) to.InsertChild(index++, from.Child(first)->Self());
}

bool IsNamedOneOf(const Node& node, std::initializer_list<const wchar_t*> names) {
    if (!node.IsElement()) return false;
    return std::any_of(names.begin(), names.end(), [&](const wchar_t* name) { return node.TagName().CompareNoCase(name) == 0; });
}

bool AnnotationWouldLeave(const Node& container, const Node& from, int first, int last, bool inNew) {
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

int LeadingLineEnd(Node& source) {
    int last = 0;
    while (last < source.ChildCount() && !(source.Child(last)->IsElement() && (IsEditBlock(*source.Child(last)) || source.Child(last)->Is(Tag::Hr))))
        ++last;
    return last;
}

bool MoveLeadingLine(Node& source, Node& target) {
    int last = LeadingLineEnd(source);
    if (AnnotationWouldLeave(target, source, 0, last)) return false;
    MoveChildren(source, 0, last, target, -1);
    bool empty = std::all_of(source.Children().begin(), source.Children().end(), [](const NodePtr& child) { return IsBlank(*child); });
    if (empty && source.Parent()) source.Remove();
    return true;
}

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

void UnwrapLeadingEmptyLinks(Node& block) {
    Node* node = block.FirstChild();
    while (node && node->IsElement() && !IsAtom(*node) && !IsEditBlock(*node)) {
        if (!node->Is(Tag::A) || !node->HasAttribute(L"href") || HasContent(*node)) {
            node = node->FirstChild();
            continue;
        }
        Node* parent = node->Parent();
        int index = node->IndexInParent();
        Node* first = node->FirstChild();
        MoveChildren(*node, 0, node->ChildCount(), *parent, index + 1);
        node->Remove();
        node = first;
    }
}

Boundary FirstPlace(Node& node) { return NormalizeCaret({node.Self(), 0}); }

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

Node* LinkEndingAt(const Boundary& at) {
    Node* place = at.node.get();
    Node* link = place ? AncestorLink(place) : nullptr;
    if (!link || !link->HasAttribute(L"href")) return nullptr;
    auto shows = [](Node* node) { return node->IsText() ? IsVisibleText(*node) : HasContent(*node); };
    if (place->IsText() && at.offset != place->Data().GetLength()) return nullptr;
    if (!place->IsText())  // a place between children, after a picture in the link say
        for (int i = at.offset; i < place->ChildCount(); ++i)
            if (shows(place->Child(i))) return nullptr;
    for (Node* node = place; node != link; node = node->Parent())
        for (Node* after = node->NextSibling(); after; after = after->NextSibling())
            if (shows(after)) return nullptr;
    return link;
}

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

}  // namespace tree

using namespace tree;

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

Boundary PastLinkEnds(Boundary at) {
    Node* link = LinkEndingAt(at);
    if (!link || !link->Parent()) return at;
    Node* parent = link->Parent();
    int index = link->IndexInParent() + 1;
    // Into the text that follows, so that typing joins it.
    if (Node* next = parent->Child(index); next && next->IsText()) return {next->Self(), 0};
    return {parent->Self(), index};
}

bool IsInDocument(const dom::Document& document, const Boundary& at) {
    return at.node && document.Contains(at.node.get()) &&
           at.offset >= 0 && at.offset <= (at.node->IsText() ? at.node->Data().GetLength() : at.node->ChildCount());
}

}  // namespace editing
