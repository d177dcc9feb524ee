#include "html/TreeBuilder.h"

#include "html/Doctype.h"
#include "html/ElementKinds.h"
#include "html/Parser.h"

#include <algorithm>

namespace html {

using dom::Node;
using dom::NodePtr;
using dom::Tag;
using namespace kinds;

namespace {

bool SameAttributes(const Node* a, const Node* b) {
    if (a->Attributes().size() != b->Attributes().size()) return false;
    for (const auto& attribute : a->Attributes()) {
        const dom::Attribute* other = b->FindAttribute(attribute.name);
        if (!other || other->value != attribute.value) return false;
    }
    return true;
}

NodePtr Detach(Node* node) {
    Node* parent = node->Parent();
    if (!parent) return nullptr;
    auto& children = parent->ParserChildren();
    // From the end: the builder takes back what it placed last.
    auto it = std::find_if(children.rbegin(), children.rend(), [node](const NodePtr& child) { return child.get() == node; });
    NodePtr keep = std::move(*it);
    children.erase(std::next(it).base());
    keep->ParserDetach();
    return keep;
}

}  // namespace

TreeBuilder::TreeBuilder(dom::Document& document, Node* fragmentRoot, const Node* form)
    : m_document(document), m_fragmentRoot(fragmentRoot), m_form(form) {
    if (!fragmentRoot) return;
    m_stack.push_back(fragmentRoot);
    m_html = fragmentRoot;
    m_contextTag = fragmentRoot->TagId();
    ResetInsertionMode();
}

void TreeBuilder::Run(const CString& text) {
    Tokenizer tokenizer(text);
    Token token;
    while (tokenizer.Next(token)) {
        bool skipLineFeed = m_skipLineFeed;
        m_skipLineFeed = false;
        switch (token.type) {
        case TokenType::Text:
            // The line end right after <PRE>, <LISTING> or <TEXTAREA> only lays out the source.
            if (skipLineFeed && !token.data.IsEmpty() && token.data.str().front() == L'\n') token.data.str().erase(0, 1);
            if (!token.data.IsEmpty()) Text(token.data);
            break;
        case TokenType::StartTag:
            StartTag(token);
            m_skipLineFeed = (token.tag == Tag::Pre || token.tag == Tag::Listing || token.tag == Tag::Textarea) &&
                             !m_stack.empty() && Current()->Is(token.tag);
            break;
        case TokenType::EndTag: EndTag(token); break;
        case TokenType::Comment: Comment(token); break;
        case TokenType::Doctype:
            if (m_mode == Mode::Initial) {
                m_document.ParserAppend(m_document.CreateDoctype(token.data));
                m_quirks = IsQuirksDoctype(ParseDoctype(token.data.str()));
                m_mode = Mode::BeforeHtml;
            }
            break;
        case TokenType::End: break;
        }
    }
    PlaceCommentsAfterBody(false);
    // The page has its HTML, HEAD and BODY however little the text says.
    if (m_raw && Current() == m_raw) Pop();
    m_raw = nullptr;
    while (BeforeBody()) ImplyBeforeBody();
}

// Stack of open elements ---------------------------------------------------

Tag TreeBuilder::TagOf(const Node* node) const { return node == m_fragmentRoot ? Tag::Html : node->TagId(); }

bool TreeBuilder::IsOpen(const Node* node) const { return IndexOf(node) >= 0; }

int TreeBuilder::IndexOf(const Node* node) const {
    for (int i = static_cast<int>(m_stack.size()) - 1; i >= 0; --i)
        if (m_stack[static_cast<size_t>(i)] == node) return i;
    return -1;
}

bool TreeBuilder::IsScopeEdge(Tag tag, Scope scope) {
    switch (scope) {
    case Scope::Select: return tag != Tag::Optgroup && tag != Tag::Option;
    case Scope::Table: return tag == Tag::Html || tag == Tag::Table;
    case Scope::ListItem: return tag == Tag::Ol || tag == Tag::Ul || Has(tag, kScopeEdge);
    case Scope::Button: return tag == Tag::Button || Has(tag, kScopeEdge);
    case Scope::Default: return Has(tag, kScopeEdge);
    }
    return true;
}

int TreeBuilder::FindTagInScope(Tag tag, Scope scope) const {
    return FindInScope([tag](const Node* node) { return node->TagId() == tag; }, scope);
}

int TreeBuilder::FindNameInScope(const Token& token, Scope scope) const {
    return FindInScope([&token](const Node* node) { return node->TagId() == token.tag && node->TagName() == token.name; }, scope);
}

// The HTML element (a fragment's root) at the bottom of the stack stays open.
void TreeBuilder::Pop() {
    if (m_stack.size() > 1) m_stack.pop_back();
}

void TreeBuilder::PopTo(int index) {
    if (index >= 1 && static_cast<size_t>(index) < m_stack.size()) m_stack.resize(static_cast<size_t>(index));
}

void TreeBuilder::PopUntilTag(Tag tag) {
    for (int i = static_cast<int>(m_stack.size()) - 1; i >= 0; --i)
        if (TagOf(m_stack[static_cast<size_t>(i)]) == tag) return PopTo(i);
}

void TreeBuilder::RemoveFromStack(int index) {
    if (index >= 1 && static_cast<size_t>(index) < m_stack.size()) m_stack.erase(m_stack.begin() + index);
}

void TreeBuilder::GenerateImpliedEndTags(Tag except, const CString& exceptName) {
    while (Node* current = Current()) {
        Tag tag = TagOf(current);
        if (!ClosesImplicitly(current, tag) || current == m_fragmentRoot) return;
        if (tag == except && (except != Tag::Unknown || current->TagName() == exceptName)) return;
        Pop();
    }
}

void TreeBuilder::ClosePInButtonScope() {
    int at = FindTagInScope(Tag::P, Scope::Button);
    if (at < 0) return;
    GenerateImpliedEndTags(Tag::P);
    PopTo(at);
}

void TreeBuilder::ClearStackBackTo(std::initializer_list<Tag> tags) {
    while (Current() && !IsOneOf(TagOf(Current()), tags) && Current() != m_fragmentRoot) Pop();
}

void TreeBuilder::CloseCell() {
    int at = FindInScope([this](const Node* node) { return IsCell(TagOf(node)); }, Scope::Table);
    if (at < 0) return;
    GenerateImpliedEndTags();
    PopTo(at);
    ClearFormattingToMarker();
    m_mode = Mode::InRow;
}

void TreeBuilder::ResetInsertionMode() {
    for (int i = static_cast<int>(m_stack.size()) - 1; i >= 0; --i) {
        const Node* node = m_stack[static_cast<size_t>(i)];
        bool last = i == 0;
        Tag tag = last && m_fragmentRoot ? m_contextTag : node->TagId();
        switch (tag) {
        case Tag::Select:
            m_mode = Mode::InSelect;
            for (int j = i - 1; j > 0 && !last; --j)
                if (m_stack[static_cast<size_t>(j)]->Is(Tag::Table)) m_mode = Mode::InSelectInTable;
            return;
        case Tag::Td:
        case Tag::Th:
            if (last) break;
            m_mode = Mode::InCell;
            return;
        case Tag::Tr: m_mode = Mode::InRow; return;
        case Tag::Tbody:
        case Tag::Thead:
        case Tag::Tfoot: m_mode = Mode::InTableBody; return;
        case Tag::Caption: m_mode = Mode::InCaption; return;
        case Tag::Colgroup: m_mode = Mode::InColumnGroup; return;
        case Tag::Table: m_mode = Mode::InTable; return;
        case Tag::Head:
            if (last) break;
            m_mode = Mode::InHead;
            return;
        case Tag::Body: m_mode = Mode::InBody; return;
        case Tag::Html: m_mode = m_head ? Mode::AfterHead : Mode::BeforeHead; return;
        default: break;
        }
        if (last) break;
    }
    m_mode = Mode::InBody;
}

// Inserting ------------------------------------------------------------------

TreeBuilder::Place TreeBuilder::AppropriatePlace(Node* target) const {
    if (!m_fosterParenting || !IsTableContext(TagOf(target))) return {target, nullptr};
    // Content that strays into a table goes before it.
    for (int i = static_cast<int>(m_stack.size()) - 1; i >= 0; --i) {
        Node* table = m_stack[static_cast<size_t>(i)];
        if (TagOf(table) != Tag::Table) continue;
        if (table->Parent()) return {table->Parent(), table};
        return {m_stack[static_cast<size_t>(i - 1)], nullptr};
    }
    return {m_stack.front(), nullptr};
}

void TreeBuilder::PlaceNode(const Place& place, NodePtr node) {
    auto& children = place.parent->ParserChildren();
    place.parent->ParserAppend(std::move(node));
    if (!place.before) return;
    auto at = std::find_if(children.rbegin() + 1, children.rend(), [&](const NodePtr& child) { return child.get() == place.before; });
    std::rotate(std::next(at).base(), children.end() - 1, children.end());
}

namespace {
Node* NodeBefore(const Node* parent, const Node* before) {
    if (!before) return parent->LastChild();
    const auto& children = parent->Children();
    for (size_t i = children.size(); i-- > 1;)
        if (children[i].get() == before) return children[i - 1].get();
    return nullptr;
}
}  // namespace

bool TreeBuilder::RoomForElement() {
    if (static_cast<int>(m_stack.size()) < kMaxDepth) return true;
    m_unsettled = true;
    return false;
}

Node* TreeBuilder::InsertNode(NodePtr element) {
    Place place = AppropriatePlace(Current());
    if (place.parent != Current()) m_unsettled = true;
    if (element->TagFlags() & dom::kLineBreakBefore) {
        // The serializer writes a line end before a block: the one in the
        // text before it is that line end.
        Node* previous = NodeBefore(place.parent, place.before);
        if (previous && previous->IsText()) {
            std::wstring& data = previous->ParserData().str();
            if (!data.empty() && data.back() == '\n') data.pop_back();
            if (data.empty()) Detach(previous);
        }
    }
    Node* raw = element.get();
    PlaceNode(place, std::move(element));
    return raw;
}

Node* TreeBuilder::InsertElement(Token& token) {
    unsigned flags = dom::TagFlagsOf(token.tag);
    bool isVoid = (flags & dom::kVoid) != 0;
    if (!isVoid && !RoomForElement()) return nullptr;
    Node* element = InsertNode(m_document.CreateElement(std::move(token.name), token.tag, token.attributes));
    if (isVoid) return element;
    m_stack.push_back(element);
    // The tokenizer reads the element's text up to its end tag; PLAINTEXT has
    // none, and its text is body text (in formatting elements reopened in it,
    // which its serialization turns into text).
    if (token.tag == Tag::Plaintext) m_unsettled = true;
    else if (flags & (dom::kRawText | dom::kRcData)) m_raw = element;
    return element;
}

Node* TreeBuilder::InsertImplied(const wchar_t* name) {
    if (!RoomForElement()) return nullptr;
    Node* element = InsertNode(m_document.CreateElement(name));
    m_stack.push_back(element);
    return element;
}

void TreeBuilder::InsertText(CString& text) {
    Place place = AppropriatePlace(Current());
    Node* previous = NodeBefore(place.parent, place.before);
    if (previous && previous->IsText()) {
        previous->ParserData() += text;
        return;
    }
    NodePtr node = m_document.CreateText(CString());
    node->ParserData() = std::move(text);
    PlaceNode(place, std::move(node));
}

void TreeBuilder::MergeAttributes(Node* element, const Token& token) {
    if (!element || element == m_fragmentRoot) return;
    for (const auto& attribute : token.attributes)
        if (!element->HasAttribute(attribute.name)) element->ParserAddAttribute(attribute);
}

// Formatting elements ----------------------------------------------------------

// A cell or caption: formatting opened outside it is not reopened inside it.
void TreeBuilder::InsertBehindMarker(Token& token, Mode mode) {
    m_formatting.push_back(nullptr);
    if (InsertElement(token)) {
        m_mode = mode;
    } else {
        m_formatting.pop_back();
    }
}

int TreeBuilder::FormattingIndex(const Node* element) const {
    for (int i = static_cast<int>(m_formatting.size()) - 1; i >= 0; --i)
        if (m_formatting[static_cast<size_t>(i)] == element) return i;
    return -1;
}

void TreeBuilder::PushFormatting(Node* element) {
    // At most three equal ones since the last marker: a page that opens the
    // same FONT a thousand times does not reopen a thousand. And at most
    // kMaxFormatting in all: each paragraph of a page that opens a thousand
    // different ones (and closes none) reopens the last few, not a thousand.
    int equal = 0, earliestEqual = -1, count = 0, earliest = -1;
    for (int i = static_cast<int>(m_formatting.size()) - 1; i >= 0 && m_formatting[static_cast<size_t>(i)]; --i) {
        const Node* entry = m_formatting[static_cast<size_t>(i)];
        ++count;
        earliest = i;
        if (entry->TagName() == element->TagName() && SameAttributes(entry, element)) {
            ++equal;
            earliestEqual = i;
        }
    }
    if (equal >= 3) {
        m_formatting.erase(m_formatting.begin() + earliestEqual);
    } else if (count >= kMaxFormatting) {
        m_formatting.erase(m_formatting.begin() + earliest);
    }
    m_formatting.push_back(element);
}

NodePtr TreeBuilder::Clone(const Node* element) {
    std::vector<dom::Attribute> attributes(element->Attributes().begin(), element->Attributes().end());
    return m_document.CreateElement(CString(element->TagName()), element->TagId(), attributes);
}

void TreeBuilder::ReconstructFormatting() {
    if (m_formatting.empty() || !m_formatting.back() || IsOpen(m_formatting.back())) return;
    size_t first = m_formatting.size() - 1;
    while (first > 0 && m_formatting[first - 1] && !IsOpen(m_formatting[first - 1])) --first;
    for (size_t i = first; i < m_formatting.size(); ++i) {
        if (!RoomForElement()) {  // too deep: what cannot reopen is forgotten
            m_formatting.resize(i);
            return;
        }
        Node* element = InsertNode(Clone(m_formatting[i]));
        m_stack.push_back(element);
        m_formatting[i] = element;
    }
}

void TreeBuilder::ClearFormattingToMarker() {
    while (!m_formatting.empty()) {
        Node* entry = m_formatting.back();
        m_formatting.pop_back();
        if (!entry) return;
    }
}

// Closes a formatting element that other elements were opened in: the blocks
// opened inside it move out of it and get a copy of it inside them.
bool TreeBuilder::AdoptionAgency(const Token& token, bool endTag) {
    auto isSubject = [&](const Node* node) { return node->TagId() == token.tag; };
    Node* current = Current();
    if (current && current != m_fragmentRoot && isSubject(current) && FormattingIndex(current) < 0) {
        Pop();
        return true;
    }
    for (int outer = 0; outer < 8; ++outer) {
        int listIndex = -1;
        for (int i = static_cast<int>(m_formatting.size()) - 1; i >= 0 && m_formatting[static_cast<size_t>(i)]; --i)
            if (isSubject(m_formatting[static_cast<size_t>(i)])) {
                listIndex = i;
                break;
            }
        if (listIndex < 0) return false;
        Node* formatting = m_formatting[static_cast<size_t>(listIndex)];
        int stackIndex = IndexOf(formatting);
        if (stackIndex < 0) {
            m_formatting.erase(m_formatting.begin() + listIndex);
            return true;
        }
        if (FindInScope([formatting](const Node* node) { return node == formatting; }, Scope::Default) < 0) return true;
        int blockIndex = -1;
        for (size_t i = static_cast<size_t>(stackIndex) + 1; i < m_stack.size(); ++i)
            if (IsSpecialTag(TagOf(m_stack[i]))) {
                blockIndex = static_cast<int>(i);
                break;
            }
        if (blockIndex < 0) {
            // Inline elements opened inside it that hold something end with
            // it (pages saved by older editors rely on it: "<b>x<i>y</b>z</i>"
            // keeps z plain); empty ones open again after it.
            for (size_t i = static_cast<size_t>(stackIndex) + 1; endTag && outer == 0 && i < m_stack.size(); ++i) {
                int entry = FormattingIndex(m_stack[i]);
                if (entry >= 0 && m_stack[i]->ChildCount() > 0) m_formatting.erase(m_formatting.begin() + entry);
            }
            m_formatting.erase(m_formatting.begin() + FormattingIndex(formatting));
            PopTo(stackIndex);
            return true;
        }
        m_unsettled = true;
        Node* commonAncestor = m_stack[static_cast<size_t>(stackIndex) - 1];
        Node* furthestBlock = m_stack[static_cast<size_t>(blockIndex)];
        int bookmark = listIndex;
        Node* lastNode = furthestBlock;
        NodePtr lastNodeOwned;  // a new copy that is in no tree yet
        int nodeIndex = blockIndex;
        for (int inner = 1;; ++inner) {
            --nodeIndex;
            Node* node = m_stack[static_cast<size_t>(nodeIndex)];
            if (node == formatting) break;
            int entry = FormattingIndex(node);
            if (inner > 3 && entry >= 0) {
                m_formatting.erase(m_formatting.begin() + entry);
                if (entry < bookmark) --bookmark;
                entry = -1;
            }
            if (entry < 0) {
                RemoveFromStack(nodeIndex);
                continue;
            }
            NodePtr copy = Clone(node);
            m_formatting[static_cast<size_t>(entry)] = copy.get();
            m_stack[static_cast<size_t>(nodeIndex)] = copy.get();
            if (lastNode == furthestBlock) bookmark = entry + 1;
            NodePtr moving = lastNodeOwned ? std::move(lastNodeOwned) : Detach(lastNode);
            copy->ParserAppend(std::move(moving));
            lastNode = copy.get();
            lastNodeOwned = std::move(copy);
        }
        NodePtr moving = lastNodeOwned ? std::move(lastNodeOwned) : Detach(lastNode);
        PlaceNode(AppropriatePlace(commonAncestor), std::move(moving));

        NodePtr copy = Clone(formatting);
        auto& children = furthestBlock->ParserChildren();
        std::vector<NodePtr> moved(std::make_move_iterator(children.begin()), std::make_move_iterator(children.end()));
        children.clear();
        for (auto& child : moved) copy->ParserAppend(std::move(child));
        Node* copyRaw = copy.get();
        furthestBlock->ParserAppend(std::move(copy));

        int oldEntry = FormattingIndex(formatting);
        m_formatting.erase(m_formatting.begin() + oldEntry);
        if (oldEntry < bookmark) --bookmark;
        m_formatting.insert(m_formatting.begin() + std::clamp(bookmark, 0, static_cast<int>(m_formatting.size())), copyRaw);
        RemoveFromStack(IndexOf(formatting));
        m_stack.insert(m_stack.begin() + IndexOf(furthestBlock) + 1, copyRaw);
    }
    return true;
}


}  // namespace html
