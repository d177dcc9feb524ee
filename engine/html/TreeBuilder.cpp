#include "html/TreeBuilder.h"

#include "html/Doctype.h"
#include "html/Parser.h"

#include <algorithm>
#include <array>

namespace html {

using dom::Node;
using dom::NodePtr;
using dom::Tag;

namespace {

bool IsSpace(wchar_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

int LeadingSpace(const CString& text) {
    int count = 0;
    while (count < text.GetLength() && IsSpace(text[count])) ++count;
    return count;
}

bool IsHeading(Tag tag) { return tag >= Tag::H1 && tag <= Tag::H6; }
bool IsTablePart(Tag tag) { return tag == Tag::Tbody || tag == Tag::Thead || tag == Tag::Tfoot; }
bool IsTableContext(Tag tag) { return tag == Tag::Table || IsTablePart(tag) || tag == Tag::Tr; }
bool IsCell(Tag tag) { return tag == Tag::Td || tag == Tag::Th; }

bool IsOneOf(Tag tag, std::initializer_list<Tag> tags) { return std::find(tags.begin(), tags.end(), tag) != tags.end(); }

// What the builder needs to know of each known element, looked up once.
enum Kind : unsigned char {
    kFormatting = 1,  // reopened after blocks that interrupt it
    kBlock = 2,       // its start tag closes an open P, its end tag what is open inside it
    kSpecial = 4,     // end tags of other elements do not close it
    kScopeEdge = 8,   // end tags do not look past it
};

bool Has(Tag tag, unsigned char kind) {
    static const auto kinds = [] {
        std::array<unsigned char, static_cast<size_t>(Tag::Xmp) + 1> table{};
        auto mark = [&table](std::initializer_list<Tag> tags, unsigned char kind) {
            for (Tag tag : tags) table[static_cast<size_t>(tag)] |= kind;
        };
        mark({Tag::A, Tag::B, Tag::Big, Tag::Code, Tag::Em, Tag::Font, Tag::I, Tag::Nobr, Tag::S, Tag::Small, Tag::Strike,
              Tag::Strong, Tag::Tt, Tag::U},
             kFormatting);
        mark({Tag::Address, Tag::Article, Tag::Aside, Tag::Blockquote, Tag::Center, Tag::Details, Tag::Dir, Tag::Div,
              Tag::Dl, Tag::Fieldset, Tag::Figcaption, Tag::Figure, Tag::Footer, Tag::Header, Tag::Hgroup, Tag::Main,
              Tag::Menu, Tag::Nav, Tag::Ol, Tag::Section, Tag::Summary, Tag::Ul},
             kBlock | kSpecial);
        mark({Tag::Applet, Tag::Area, Tag::Base, Tag::Basefont, Tag::Bgsound, Tag::Body, Tag::Br, Tag::Button, Tag::Caption,
              Tag::Col, Tag::Colgroup, Tag::Dd, Tag::Dt, Tag::Embed, Tag::Form, Tag::Frame, Tag::Frameset, Tag::H1, Tag::H2,
              Tag::H3, Tag::H4, Tag::H5, Tag::H6, Tag::Head, Tag::Hr, Tag::Html, Tag::Iframe, Tag::Img, Tag::Input,
              Tag::Isindex, Tag::Keygen, Tag::Li, Tag::Link, Tag::Listing, Tag::Marquee, Tag::Meta, Tag::Noembed,
              Tag::Noframes, Tag::Noscript, Tag::Object, Tag::P, Tag::Param, Tag::Plaintext, Tag::Pre, Tag::Script,
              Tag::Select, Tag::Source, Tag::Style, Tag::Table, Tag::Tbody, Tag::Td, Tag::Textarea, Tag::Tfoot, Tag::Th,
              Tag::Thead, Tag::Title, Tag::Tr, Tag::Track, Tag::Wbr, Tag::Xmp},
             kSpecial);
        mark({Tag::Applet, Tag::Caption, Tag::Html, Tag::Table, Tag::Td, Tag::Th, Tag::Marquee, Tag::Object}, kScopeEdge);
        return table;
    }();
    return (kinds[static_cast<size_t>(tag)] & kind) != 0;
}

bool IsFormatting(Tag tag) { return Has(tag, kFormatting); }
bool IsSpecialTag(Tag tag) { return Has(tag, kSpecial); }

// Elements newer than the tag table, known by name.
bool IsNamed(const Node* node, const wchar_t* name) { return node->TagId() == Tag::Unknown && node->TagName() == name; }
bool IsNamed(const Token& token, const wchar_t* name) { return token.tag == Tag::Unknown && token.name == name; }

bool IsBlock(const Token& token) { return Has(token.tag, kBlock) || IsNamed(token, L"DIALOG") || IsNamed(token, L"SEARCH"); }

bool ClosesImplicitly(const Node* node, Tag tag) {
    return IsOneOf(tag, {Tag::Dd, Tag::Dt, Tag::Li, Tag::Optgroup, Tag::Option, Tag::P}) ||
           IsNamed(node, L"RB") || IsNamed(node, L"RP") || IsNamed(node, L"RT") || IsNamed(node, L"RTC");
}

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

TreeBuilder::TreeBuilder(dom::Document& document, Node* fragmentRoot) : m_document(document), m_fragmentRoot(fragmentRoot) {
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
        switch (token.type) {
        case TokenType::Text: Text(token.data); break;
        case TokenType::StartTag: StartTag(token); break;
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
    while (m_mode == Mode::Initial || m_mode == Mode::BeforeHtml || m_mode == Mode::BeforeHead ||
           m_mode == Mode::InHead || m_mode == Mode::InHeadNoscript || m_mode == Mode::AfterHead)
        ImplyBeforeBody();
}

// Stack of open elements ---------------------------------------------------

Tag TreeBuilder::TagOf(const Node* node) const { return node == m_fragmentRoot ? Tag::Html : node->TagId(); }

bool TreeBuilder::IsOpen(const Node* node) const { return IndexOf(node) >= 0; }

int TreeBuilder::IndexOf(const Node* node) const {
    for (int i = static_cast<int>(m_stack.size()) - 1; i >= 0; --i)
        if (m_stack[static_cast<size_t>(i)] == node) return i;
    return -1;
}

template <typename Pred>
int TreeBuilder::FindInScope(Pred pred, Scope scope) const {
    for (int i = static_cast<int>(m_stack.size()) - 1; i >= 0; --i) {
        const Node* node = m_stack[static_cast<size_t>(i)];
        if (node != m_fragmentRoot && pred(node)) return i;
        Tag tag = TagOf(node);
        bool boundary = false;
        switch (scope) {
        case Scope::Select: boundary = tag != Tag::Optgroup && tag != Tag::Option; break;
        case Scope::Table: boundary = tag == Tag::Html || tag == Tag::Table; break;
        case Scope::ListItem: boundary = tag == Tag::Ol || tag == Tag::Ul; [[fallthrough]];
        case Scope::Button: boundary = boundary || (scope == Scope::Button && tag == Tag::Button); [[fallthrough]];
        case Scope::Default:
            boundary = boundary || Has(tag, kScopeEdge);
            break;
        }
        if (boundary) return -1;
    }
    return -1;
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

int TreeBuilder::FormattingIndex(const Node* element) const {
    for (int i = static_cast<int>(m_formatting.size()) - 1; i >= 0; --i)
        if (m_formatting[static_cast<size_t>(i)] == element) return i;
    return -1;
}

void TreeBuilder::PushFormatting(Node* element) {
    // At most three equal ones since the last marker: a page that opens the
    // same FONT a thousand times does not reopen a thousand.
    int equal = 0, earliest = -1;
    for (int i = static_cast<int>(m_formatting.size()) - 1; i >= 0 && m_formatting[static_cast<size_t>(i)]; --i) {
        const Node* entry = m_formatting[static_cast<size_t>(i)];
        if (entry->TagName() == element->TagName() && SameAttributes(entry, element)) {
            ++equal;
            earliest = i;
        }
    }
    if (equal >= 3) m_formatting.erase(m_formatting.begin() + earliest);
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

// Tokens -------------------------------------------------------------------------

void TreeBuilder::Text(CString& text) {
    if (!m_afterBody.empty()) PlaceCommentsAfterBody(true);
    if (m_raw) {
        InsertText(text);
        return;
    }
    switch (m_mode) {
    case Mode::Initial:
    case Mode::BeforeHtml:
    case Mode::BeforeHead:
    case Mode::InHead:
    case Mode::InHeadNoscript:
    case Mode::AfterHead:
    case Mode::InColumnGroup: {
        // White space here only lays out the source; the rest starts the body.
        int skip = LeadingSpace(text);
        if (skip && m_mode == Mode::InHeadNoscript) {  // kept inside NOSCRIPT, as any content of it
            CString space = text.Left(skip);
            InsertText(space);
        }
        if (skip == text.GetLength()) return;
        if (skip) text = text.Mid(skip);
        if (m_mode == Mode::InColumnGroup && !Current()->Is(Tag::Colgroup)) {
            TextInBody(text);
            return;
        }
        if (!ImplyBeforeBody()) return;
        Text(text);
        return;
    }
    case Mode::InTable:
    case Mode::InTableBody:
    case Mode::InRow:
        if (IsTableContext(TagOf(Current()))) {
            if (LeadingSpace(text) == text.GetLength()) return;
            m_fosterParenting = true;
            TextInBody(text);
            m_fosterParenting = false;
            return;
        }
        TextInBody(text);
        return;
    case Mode::InSelect:
    case Mode::InSelectInTable:
        InsertText(text);
        return;
    case Mode::AfterBody:
    case Mode::AfterAfterBody:
        if (LeadingSpace(text) != text.GetLength()) m_mode = Mode::InBody;
        TextInBody(text);
        return;
    default:
        TextInBody(text);
        return;
    }
}

void TreeBuilder::TextInBody(CString& text) {
    ReconstructFormatting();
    InsertText(text);
}

void TreeBuilder::Comment(const Token& token) {
    NodePtr comment = m_document.CreateComment(token.data);
    comment->ParserName() = token.name;
    if (m_mode == Mode::Initial || m_mode == Mode::BeforeHtml || m_stack.empty()) {
        m_document.ParserAppend(comment);
        return;
    }
    if (m_mode == Mode::AfterBody || m_mode == Mode::AfterAfterBody) {
        // After the end of BODY: it ends up after BODY, or after HTML, unless
        // content follows; then it stays where the page's content ends.
        m_afterBody.push_back({std::move(comment), m_mode == Mode::AfterAfterBody && !m_fragmentRoot});
        return;
    }
    PlaceNode(AppropriatePlace(Current()), comment);
}

void TreeBuilder::PlaceCommentsAfterBody(bool contentFollows) {
    for (auto& [comment, afterHtml] : m_afterBody) {
        if (contentFollows) {
            PlaceNode(AppropriatePlace(Current()), std::move(comment));
        } else if (afterHtml) {
            m_document.ParserAppend(std::move(comment));
        } else {
            m_stack.front()->ParserAppend(std::move(comment));
        }
    }
    m_afterBody.clear();
}

// What a token does before BODY starts when the state has no rule of its
// own for it: the missing HTML, HEAD or BODY is made, or HEAD is closed.
// False when the token is to be ignored.
bool TreeBuilder::ImplyBeforeBody() {
    switch (m_mode) {
    case Mode::Initial:
        m_quirks = true;
        m_mode = Mode::BeforeHtml;
        return true;
    case Mode::BeforeHtml: {
        NodePtr html = m_document.CreateElement(L"HTML");
        m_html = html.get();
        m_document.ParserAppend(html);
        m_stack.push_back(m_html);
        m_mode = Mode::BeforeHead;
        return true;
    }
    case Mode::BeforeHead:
        m_head = InsertImplied(L"HEAD");
        m_mode = Mode::InHead;
        return true;
    case Mode::InHead:
        if (Current() == m_head) Pop();
        m_mode = Mode::AfterHead;
        return true;
    case Mode::InHeadNoscript:
        Pop();
        m_mode = Mode::InHead;
        return true;
    case Mode::AfterHead:
        InsertImplied(L"BODY");
        m_mode = Mode::InBody;
        return true;
    case Mode::InColumnGroup:
        if (!Current()->Is(Tag::Colgroup)) return false;
        Pop();
        m_mode = Mode::InTable;
        return true;
    default:
        return false;
    }
}

void TreeBuilder::StartTag(Token& token) {
    if (!m_afterBody.empty()) PlaceCommentsAfterBody(true);
    Tag tag = token.tag;
    switch (m_mode) {
    case Mode::Initial:
        ImplyBeforeBody();
        return StartTag(token);
    case Mode::BeforeHtml:
        if (tag == Tag::Html) {
            NodePtr html = m_document.CreateElement(std::move(token.name), tag, token.attributes);
            m_html = html.get();
            m_document.ParserAppend(html);
            m_stack.push_back(m_html);
            m_mode = Mode::BeforeHead;
            return;
        }
        ImplyBeforeBody();
        return StartTag(token);
    case Mode::BeforeHead:
        if (tag == Tag::Html) return StartTagInBody(token);
        if (tag == Tag::Head) {
            m_head = InsertElement(token);
            m_mode = Mode::InHead;
            return;
        }
        ImplyBeforeBody();
        return StartTag(token);
    case Mode::InHead:
        return StartTagInHead(token);
    case Mode::InHeadNoscript:
        if (tag == Tag::Html) return StartTagInBody(token);
        if (IsOneOf(tag, {Tag::Basefont, Tag::Bgsound, Tag::Link, Tag::Meta, Tag::Noframes, Tag::Style}))
            return StartTagInHead(token);
        if (tag == Tag::Head || tag == Tag::Noscript) return;
        ImplyBeforeBody();
        return StartTag(token);
    case Mode::AfterHead:
        if (tag == Tag::Html) return StartTagInBody(token);
        if (tag == Tag::Body) {
            if (InsertElement(token)) m_mode = Mode::InBody;
            return;
        }
        if (IsOneOf(tag, {Tag::Base, Tag::Basefont, Tag::Bgsound, Tag::Link, Tag::Meta, Tag::Noframes, Tag::Script,
                          Tag::Style, Tag::Title}) && m_head) {
            m_stack.push_back(m_head);
            StartTagInHead(token);
            RemoveFromStack(IndexOf(m_head));
            return;
        }
        if (tag == Tag::Head) return;
        ImplyBeforeBody();
        return StartTag(token);
    case Mode::InBody:
    case Mode::InCaption:
    case Mode::InTable:
    case Mode::InTableBody:
    case Mode::InRow:
    case Mode::InCell:
        if (m_mode == Mode::InBody) return StartTagInBody(token);
        if (StartTagInTableParts(token)) return;
        if (m_mode == Mode::InCaption || m_mode == Mode::InCell) return StartTagInBody(token);
        m_fosterParenting = true;
        StartTagInBody(token);
        m_fosterParenting = false;
        return;
    case Mode::InColumnGroup:
        if (tag == Tag::Html) return StartTagInBody(token);
        if (tag == Tag::Col) {
            InsertElement(token);
            return;
        }
        if (!ImplyBeforeBody()) return;
        return StartTag(token);
    case Mode::InSelect:
    case Mode::InSelectInTable:
        StartTagInSelect(token);
        return;
    case Mode::AfterBody:
    case Mode::AfterAfterBody:
        if (tag != Tag::Html) m_mode = Mode::InBody;
        return StartTagInBody(token);
    }
}

void TreeBuilder::StartTagInHead(Token& token) {
    switch (token.tag) {
    case Tag::Html: return StartTagInBody(token);
    case Tag::Base:
    case Tag::Basefont:
    case Tag::Bgsound:
    case Tag::Link:
    case Tag::Meta:
    case Tag::Title:
    case Tag::Noframes:
    case Tag::Style:
    case Tag::Script:
        InsertElement(token);
        return;
    case Tag::Noscript:
        if (InsertElement(token)) m_mode = Mode::InHeadNoscript;
        return;
    case Tag::Head:
        return;
    default:
        ImplyBeforeBody();
        return StartTag(token);
    }
}

void TreeBuilder::StartTagInBody(Token& token) {
    Tag tag = token.tag;
    if (IsBlock(token)) {
        ClosePInButtonScope();
        InsertElement(token);
        return;
    }
    if (IsHeading(tag)) {
        ClosePInButtonScope();
        if (IsHeading(TagOf(Current()))) Pop();
        InsertElement(token);
        return;
    }
    if (IsFormatting(tag) && tag != Tag::A && tag != Tag::Nobr) {
        ReconstructFormatting();
        if (Node* element = InsertElement(token)) PushFormatting(element);
        return;
    }
    switch (tag) {
    case Tag::Html:
        if (!m_fragmentRoot) MergeAttributes(m_html, token);
        return;
    case Tag::Base:
    case Tag::Basefont:
    case Tag::Bgsound:
    case Tag::Link:
    case Tag::Meta:
    case Tag::Noframes:
    case Tag::Script:
    case Tag::Style:
    case Tag::Title:
        return StartTagInHead(token);
    case Tag::Body:
        if (m_stack.size() > 1 && m_stack[1]->Is(Tag::Body) && !m_fragmentRoot) MergeAttributes(m_stack[1], token);
        return;
    case Tag::P:
    case Tag::Pre:
    case Tag::Listing:
    case Tag::Plaintext:
        ClosePInButtonScope();
        InsertElement(token);
        return;
    case Tag::Form:
        if (m_form) return;
        ClosePInButtonScope();
        m_form = InsertElement(token);
        return;
    case Tag::Li:
    case Tag::Dd:
    case Tag::Dt:
        for (int i = static_cast<int>(m_stack.size()) - 1; i >= 0; --i) {
            Node* node = m_stack[static_cast<size_t>(i)];
            Tag open = TagOf(node);
            bool closes = tag == Tag::Li ? open == Tag::Li : (open == Tag::Dd || open == Tag::Dt);
            if (closes) {
                GenerateImpliedEndTags(open);
                PopTo(i);
                break;
            }
            if (IsSpecialTag(open) && open != Tag::Address && open != Tag::Div && open != Tag::P) break;
        }
        ClosePInButtonScope();
        InsertElement(token);
        return;
    case Tag::Button:
        if (int at = FindTagInScope(Tag::Button, Scope::Default); at >= 0) {
            GenerateImpliedEndTags();
            PopTo(at);
        }
        ReconstructFormatting();
        InsertElement(token);
        return;
    case Tag::A:
        for (int i = static_cast<int>(m_formatting.size()) - 1; i >= 0 && m_formatting[static_cast<size_t>(i)]; --i) {
            Node* open = m_formatting[static_cast<size_t>(i)];
            if (!open->Is(Tag::A)) continue;
            Token end;
            end.tag = Tag::A;
            end.name = L"A";
            AdoptionAgency(end, false);
            if (int entry = FormattingIndex(open); entry >= 0) m_formatting.erase(m_formatting.begin() + entry);
            if (int at = IndexOf(open); at >= 0) {
                RemoveFromStack(at);
                m_unsettled = true;
            }
            break;
        }
        ReconstructFormatting();
        if (Node* element = InsertElement(token)) PushFormatting(element);
        return;
    case Tag::Nobr:
        ReconstructFormatting();
        if (FindTagInScope(Tag::Nobr, Scope::Default) >= 0) {
            Token end;
            end.tag = Tag::Nobr;
            end.name = L"NOBR";
            if (!AdoptionAgency(end, false)) AnyOtherEndTag(end);
            ReconstructFormatting();
        }
        if (Node* element = InsertElement(token)) PushFormatting(element);
        return;
    case Tag::Applet:
    case Tag::Marquee:
    case Tag::Object:
        ReconstructFormatting();
        if (InsertElement(token)) m_formatting.push_back(nullptr);
        return;
    case Tag::Table:
        if (!m_quirks) ClosePInButtonScope();
        if (InsertElement(token)) m_mode = Mode::InTable;
        return;
    case Tag::Area:
    case Tag::Br:
    case Tag::Embed:
    case Tag::Img:
    case Tag::Keygen:
    case Tag::Wbr:
    case Tag::Input:
        ReconstructFormatting();
        InsertElement(token);
        return;
    case Tag::Param:
    case Tag::Source:
    case Tag::Track:
        InsertElement(token);
        return;
    case Tag::Hr:
        ClosePInButtonScope();
        InsertElement(token);
        return;
    case Tag::Textarea:
    case Tag::Iframe:
    case Tag::Noembed:
        InsertElement(token);
        return;
    case Tag::Xmp:
        ClosePInButtonScope();
        ReconstructFormatting();
        InsertElement(token);
        return;
    case Tag::Select:
        ReconstructFormatting();
        if (!InsertElement(token)) return;
        m_mode = (m_mode == Mode::InTable || m_mode == Mode::InCaption || m_mode == Mode::InTableBody ||
                  m_mode == Mode::InRow || m_mode == Mode::InCell)
                     ? Mode::InSelectInTable
                     : Mode::InSelect;
        return;
    case Tag::Optgroup:
    case Tag::Option:
        if (TagOf(Current()) == Tag::Option) Pop();
        ReconstructFormatting();
        InsertElement(token);
        return;
    case Tag::Caption:
    case Tag::Col:
    case Tag::Colgroup:
    case Tag::Frame:
    case Tag::Head:
    case Tag::Tbody:
    case Tag::Td:
    case Tag::Tfoot:
    case Tag::Th:
    case Tag::Thead:
    case Tag::Tr:
        return;  // table parts outside a table, a second HEAD
    default:
        break;
    }
    if (IsNamed(token, L"IMAGE")) {
        token.name = L"IMG";
        token.tag = Tag::Img;
        return StartTagInBody(token);
    }
    if (IsNamed(token, L"RB") || IsNamed(token, L"RTC") || IsNamed(token, L"RP") || IsNamed(token, L"RT")) {
        if (FindInScope([](const Node* node) { return IsNamed(node, L"RUBY"); }, Scope::Default) >= 0) {
            bool keepRtc = IsNamed(token, L"RP") || IsNamed(token, L"RT");
            GenerateImpliedEndTags(keepRtc ? Tag::Unknown : Tag::Html, keepRtc ? CString(L"RTC") : CString());
        }
        InsertElement(token);
        return;
    }
    ReconstructFormatting();
    InsertElement(token);
}

void TreeBuilder::EndTag(Token& token) {
    if (m_raw) {  // the end of the raw text of TITLE, STYLE, SCRIPT, TEXTAREA and their kin
        if (Current() == m_raw) Pop();
        m_raw = nullptr;
        return;
    }
    Tag tag = token.tag;
    switch (m_mode) {
    case Mode::Initial:
    case Mode::BeforeHtml:
    case Mode::BeforeHead:
    case Mode::InHead:
    case Mode::InHeadNoscript:
    case Mode::AfterHead:
        if (EndTagBeforeBody(token)) return;
        ImplyBeforeBody();
        return EndTag(token);
    case Mode::InBody:
        return EndTagInBody(token);
    case Mode::InCaption:
    case Mode::InTable:
    case Mode::InTableBody:
    case Mode::InRow:
    case Mode::InCell:
        if (EndTagInTableParts(token)) return;
        if (m_mode == Mode::InCaption || m_mode == Mode::InCell) return EndTagInBody(token);
        m_fosterParenting = true;
        EndTagInBody(token);
        m_fosterParenting = false;
        return;
    case Mode::InColumnGroup:
        if (tag == Tag::Colgroup) {
            if (Current()->Is(Tag::Colgroup)) {
                Pop();
                m_mode = Mode::InTable;
            }
            return;
        }
        if (tag == Tag::Col || !ImplyBeforeBody()) return;
        return EndTag(token);
    case Mode::InSelect:
    case Mode::InSelectInTable:
        EndTagInSelect(token);
        return;
    case Mode::AfterBody:
        if (tag == Tag::Html) {
            m_mode = Mode::AfterAfterBody;
            return;
        }
        m_mode = Mode::InBody;
        return EndTagInBody(token);
    case Mode::AfterAfterBody:
        m_mode = Mode::InBody;
        return EndTagInBody(token);
    }
}

// True when the end tag is handled (or ignored) before the body.
bool TreeBuilder::EndTagBeforeBody(Token& token) {
    Tag tag = token.tag;
    bool makesBody = tag == Tag::Body || tag == Tag::Html || tag == Tag::Br;
    switch (m_mode) {
    case Mode::BeforeHtml:
    case Mode::BeforeHead:
        return !(makesBody || tag == Tag::Head);
    case Mode::InHead:
        if (tag == Tag::Head) {
            if (Current() == m_head) Pop();
            m_mode = Mode::AfterHead;
            return true;
        }
        return !makesBody;
    case Mode::InHeadNoscript:
        if (tag == Tag::Noscript) {
            Pop();
            m_mode = Mode::InHead;
            return true;
        }
        return tag != Tag::Br;
    case Mode::AfterHead:
        return !makesBody;
    default:
        return false;
    }
}

void TreeBuilder::EndTagInBody(Token& token) {
    Tag tag = token.tag;
    if (IsBlock(token) || IsOneOf(tag, {Tag::Button, Tag::Listing, Tag::Pre})) {
        int at = FindNameInScope(token, Scope::Default);
        if (at < 0) return;
        GenerateImpliedEndTags();
        PopTo(at);
        return;
    }
    if (IsHeading(tag)) {
        int at = FindInScope([](const Node* node) { return IsHeading(node->TagId()); }, Scope::Default);
        if (at < 0) return;
        GenerateImpliedEndTags();
        PopTo(at);
        return;
    }
    if (IsFormatting(tag)) {
        if (!AdoptionAgency(token, true)) AnyOtherEndTag(token);
        return;
    }
    switch (tag) {
    case Tag::Body:
    case Tag::Html:
        if (FindTagInScope(Tag::Body, Scope::Default) < 0) return;
        m_mode = tag == Tag::Html ? Mode::AfterAfterBody : Mode::AfterBody;
        return;
    case Tag::Form: {
        Node* form = m_form;
        m_form = nullptr;
        if (!form) return;
        if (FindInScope([form](const Node* node) { return node == form; }, Scope::Default) < 0) {
            if (IsOpen(form)) m_unsettled = true;  // a second reading finds it still open
            return;
        }
        GenerateImpliedEndTags();
        if (Current() != form) m_unsettled = true;  // what is open inside it stays open outside it
        RemoveFromStack(IndexOf(form));
        return;
    }
    case Tag::P:
        if (FindTagInScope(Tag::P, Scope::Button) < 0 && !InsertImplied(L"P")) return;
        ClosePInButtonScope();
        return;
    case Tag::Li:
    case Tag::Dd:
    case Tag::Dt: {
        int at = FindTagInScope(tag, tag == Tag::Li ? Scope::ListItem : Scope::Default);
        if (at < 0) return;
        GenerateImpliedEndTags(tag);
        PopTo(at);
        return;
    }
    case Tag::Applet:
    case Tag::Marquee:
    case Tag::Object: {
        int at = FindTagInScope(tag, Scope::Default);
        if (at < 0) return;
        GenerateImpliedEndTags();
        PopTo(at);
        ClearFormattingToMarker();
        return;
    }
    case Tag::Br:
        token.type = TokenType::StartTag;
        token.attributes.clear();
        return StartTagInBody(token);
    default:
        return AnyOtherEndTag(token);
    }
}

void TreeBuilder::AnyOtherEndTag(const Token& token) {
    for (int i = static_cast<int>(m_stack.size()) - 1; i >= 0; --i) {
        Node* node = m_stack[static_cast<size_t>(i)];
        if (node != m_fragmentRoot && node->TagId() == token.tag && node->TagName() == token.name) {
            GenerateImpliedEndTags(token.tag, token.name);
            PopTo(i);
            return;
        }
        if (IsSpecialTag(TagOf(node))) return;
    }
}

// Start tags in a table, its caption, sections, rows and cells; false when the
// tag is handled as in the body.
bool TreeBuilder::StartTagInTableParts(Token& token) {
    Tag tag = token.tag;
    bool tablePart = IsOneOf(tag, {Tag::Caption, Tag::Col, Tag::Colgroup, Tag::Tbody, Tag::Td, Tag::Tfoot, Tag::Th,
                                   Tag::Thead, Tag::Tr});
    switch (m_mode) {
    case Mode::InCaption:
        if (!tablePart) return false;
        if (FindTagInScope(Tag::Caption, Scope::Table) < 0) return true;
        GenerateImpliedEndTags();
        PopUntilTag(Tag::Caption);
        ClearFormattingToMarker();
        m_mode = Mode::InTable;
        StartTag(token);
        return true;
    case Mode::InCell:
        if (!tablePart) return false;
        if (FindInScope([this](const Node* node) { return IsCell(TagOf(node)); }, Scope::Table) < 0) return true;
        CloseCell();
        StartTag(token);
        return true;
    case Mode::InRow:
        if (IsCell(tag)) {
            ClearStackBackTo({Tag::Tr, Tag::Html});
            m_formatting.push_back(nullptr);
            if (InsertElement(token)) {
                m_mode = Mode::InCell;
            } else {
                m_formatting.pop_back();
            }
            return true;
        }
        if (tablePart) {
            if (FindTagInScope(Tag::Tr, Scope::Table) < 0) return true;
            ClearStackBackTo({Tag::Tr, Tag::Html});
            Pop();
            m_mode = Mode::InTableBody;
            StartTag(token);
            return true;
        }
        return StartTagInTable(token);
    case Mode::InTableBody:
        if (tag == Tag::Tr) {
            ClearStackBackTo({Tag::Tbody, Tag::Tfoot, Tag::Thead, Tag::Html});
            if (InsertElement(token)) m_mode = Mode::InRow;
            return true;
        }
        if (IsCell(tag)) {
            ClearStackBackTo({Tag::Tbody, Tag::Tfoot, Tag::Thead, Tag::Html});
            if (!InsertImplied(L"TR")) return true;
            m_mode = Mode::InRow;
            StartTag(token);
            return true;
        }
        if (tablePart) {
            if (FindInScope([this](const Node* node) { return IsTablePart(TagOf(node)); }, Scope::Table) < 0) return true;
            ClearStackBackTo({Tag::Tbody, Tag::Tfoot, Tag::Thead, Tag::Html});
            Pop();
            m_mode = Mode::InTable;
            StartTag(token);
            return true;
        }
        return StartTagInTable(token);
    default:
        return StartTagInTable(token);
    }
}

bool TreeBuilder::StartTagInTable(Token& token) {
    switch (token.tag) {
    case Tag::Caption:
        ClearStackBackTo({Tag::Table, Tag::Html});
        m_formatting.push_back(nullptr);
        if (InsertElement(token)) {
            m_mode = Mode::InCaption;
        } else {
            m_formatting.pop_back();
        }
        return true;
    case Tag::Colgroup:
        ClearStackBackTo({Tag::Table, Tag::Html});
        if (InsertElement(token)) m_mode = Mode::InColumnGroup;
        return true;
    case Tag::Col:  // straight into the table: pages keep COL without COLGROUP
        ClearStackBackTo({Tag::Table, Tag::Html});
        InsertElement(token);
        return true;
    case Tag::Tbody:
    case Tag::Tfoot:
    case Tag::Thead:
        ClearStackBackTo({Tag::Table, Tag::Html});
        if (InsertElement(token)) m_mode = Mode::InTableBody;
        return true;
    case Tag::Td:
    case Tag::Th:
    case Tag::Tr:
        ClearStackBackTo({Tag::Table, Tag::Html});
        if (!InsertImplied(L"TBODY")) return true;
        m_mode = Mode::InTableBody;
        StartTag(token);
        return true;
    case Tag::Table:
        if (FindTagInScope(Tag::Table, Scope::Table) < 0) return true;
        PopUntilTag(Tag::Table);
        ResetInsertionMode();
        StartTag(token);
        return true;
    case Tag::Style:
    case Tag::Script:
        StartTagInHead(token);
        return true;
    case Tag::Input: {
        const dom::Attribute* type = nullptr;
        for (const auto& attribute : token.attributes)
            if (attribute.name.CompareNoCase(L"type") == 0) {
                type = &attribute;
                break;
            }
        if (!type || type->value.CompareNoCase(L"hidden") != 0) return false;
        InsertElement(token);
        return true;
    }
    case Tag::Form:
        if (m_form) return true;
        m_form = InsertElement(token);
        if (m_form) Pop();
        return true;
    default:
        return false;
    }
}

bool TreeBuilder::EndTagInTableParts(Token& token) {
    Tag tag = token.tag;
    bool ignored = IsOneOf(tag, {Tag::Body, Tag::Caption, Tag::Col, Tag::Colgroup, Tag::Html, Tag::Tbody, Tag::Td,
                                 Tag::Tfoot, Tag::Th, Tag::Thead, Tag::Tr});
    switch (m_mode) {
    case Mode::InCaption:
        if (tag == Tag::Caption || tag == Tag::Table) {
            if (FindTagInScope(Tag::Caption, Scope::Table) < 0) return true;
            GenerateImpliedEndTags();
            PopUntilTag(Tag::Caption);
            ClearFormattingToMarker();
            m_mode = Mode::InTable;
            if (tag == Tag::Table) EndTag(token);
            return true;
        }
        return ignored;
    case Mode::InCell:
        if (IsCell(tag)) {
            int at = FindNameInScope(token, Scope::Table);
            if (at < 0) return true;
            GenerateImpliedEndTags();
            PopTo(at);
            ClearFormattingToMarker();
            m_mode = Mode::InRow;
            return true;
        }
        if (tag == Tag::Table || IsTablePart(tag) || tag == Tag::Tr) {
            if (FindNameInScope(token, Scope::Table) < 0) return true;
            CloseCell();
            EndTag(token);
            return true;
        }
        return IsOneOf(tag, {Tag::Body, Tag::Caption, Tag::Col, Tag::Colgroup, Tag::Html});
    case Mode::InRow:
        if (tag == Tag::Tr || tag == Tag::Table || IsTablePart(tag)) {
            if (IsTablePart(tag) && FindNameInScope(token, Scope::Table) < 0) return true;
            if (FindTagInScope(Tag::Tr, Scope::Table) < 0) return true;
            ClearStackBackTo({Tag::Tr, Tag::Html});
            Pop();
            m_mode = Mode::InTableBody;
            if (tag != Tag::Tr) EndTag(token);
            return true;
        }
        break;
    case Mode::InTableBody:
        if (IsTablePart(tag) || tag == Tag::Table) {
            bool found = IsTablePart(tag)
                             ? FindNameInScope(token, Scope::Table) >= 0
                             : FindInScope([this](const Node* node) { return IsTablePart(TagOf(node)); }, Scope::Table) >= 0;
            if (!found) return true;
            ClearStackBackTo({Tag::Tbody, Tag::Tfoot, Tag::Thead, Tag::Html});
            Pop();
            m_mode = Mode::InTable;
            if (tag == Tag::Table) EndTag(token);
            return true;
        }
        break;
    default:
        break;
    }
    if (tag == Tag::Table) {
        if (FindTagInScope(Tag::Table, Scope::Table) < 0) return true;
        PopUntilTag(Tag::Table);
        ResetInsertionMode();
        return true;
    }
    return ignored;
}

bool TreeBuilder::StartTagInSelect(Token& token) {
    Tag tag = token.tag;
    bool tableTag = IsOneOf(tag, {Tag::Caption, Tag::Table, Tag::Tbody, Tag::Tfoot, Tag::Thead, Tag::Tr, Tag::Td, Tag::Th});
    int select = FindTagInScope(Tag::Select, Scope::Select);
    if (m_mode == Mode::InSelectInTable && tableTag) {
        PopUntilTag(Tag::Select);
        ResetInsertionMode();
        StartTag(token);
        return true;
    }
    switch (tag) {
    case Tag::Html: StartTagInBody(token); return true;
    case Tag::Option:
        if (TagOf(Current()) == Tag::Option) Pop();
        InsertElement(token);
        return true;
    case Tag::Optgroup:
        if (TagOf(Current()) == Tag::Option) Pop();
        if (TagOf(Current()) == Tag::Optgroup) Pop();
        InsertElement(token);
        return true;
    case Tag::Select:
        if (select < 0) return true;
        PopTo(select);
        ResetInsertionMode();
        return true;
    case Tag::Input:
    case Tag::Keygen:
    case Tag::Textarea:
        if (select < 0) return true;
        PopTo(select);
        ResetInsertionMode();
        StartTag(token);
        return true;
    case Tag::Script: StartTagInHead(token); return true;
    default: return true;  // nothing else belongs in a list box
    }
}

bool TreeBuilder::EndTagInSelect(Token& token) {
    Tag tag = token.tag;
    bool tableTag = IsOneOf(tag, {Tag::Caption, Tag::Table, Tag::Tbody, Tag::Tfoot, Tag::Thead, Tag::Tr, Tag::Td, Tag::Th});
    if (m_mode == Mode::InSelectInTable && tableTag) {
        if (FindNameInScope(token, Scope::Table) < 0) return true;
        PopUntilTag(Tag::Select);
        ResetInsertionMode();
        EndTag(token);
        return true;
    }
    switch (tag) {
    case Tag::Optgroup:
        if (TagOf(Current()) == Tag::Option && m_stack.size() > 1 && TagOf(m_stack[m_stack.size() - 2]) == Tag::Optgroup) Pop();
        if (TagOf(Current()) == Tag::Optgroup) Pop();
        return true;
    case Tag::Option:
        if (TagOf(Current()) == Tag::Option) Pop();
        return true;
    case Tag::Select: {
        int select = FindTagInScope(Tag::Select, Scope::Select);
        if (select < 0) return true;
        PopTo(select);
        ResetInsertionMode();
        return true;
    }
    default: return true;
    }
}

}  // namespace html
