#include "html/Parser.h"

#include "html/Tokenizer.h"

#include <algorithm>

namespace html {

using dom::Node;
using dom::NodePtr;
using dom::Tag;

namespace {

bool IsWhitespace(const CString& text) {
    for (wchar_t c : text.str())
        if (c != ' ' && c != '\t' && c != '\n' && c != '\f' && c != '\r') return false;
    return true;
}

bool IsTableStructure(Tag tag) {
    return tag == Tag::Table || tag == Tag::Tbody || tag == Tag::Thead || tag == Tag::Tfoot || tag == Tag::Tr;
}

bool IsCell(Tag tag) { return tag == Tag::Td || tag == Tag::Th; }
bool IsSection(Tag tag) { return tag == Tag::Tbody || tag == Tag::Thead || tag == Tag::Tfoot; }
bool IsHeading(Tag tag) { return tag >= Tag::H1 && tag <= Tag::H6; }

class TreeBuilder {
public:
    TreeBuilder(dom::Document& document, Node* fragmentRoot) : m_document(document), m_fragmentRoot(fragmentRoot) {
        if (fragmentRoot) {
            m_stack.push_back(fragmentRoot);
            m_body = fragmentRoot;
        }
    }

    void Run(const CString& text) {
        Tokenizer tokenizer(text);
        Token token;
        while (tokenizer.Next(token)) {
            switch (token.type) {
            case TokenType::Text: Text(token.data); break;  // may take the text over
            case TokenType::StartTag: StartTag(token); break;
            case TokenType::EndTag: EndTag(token); break;
            case TokenType::Comment: Comment(token); break;
            case TokenType::Doctype: Doctype(token); break;
            case TokenType::End: break;
            }
        }
        if (!m_fragmentRoot) EnsureBody();
    }

private:
    Node* Current() const { return m_stack.empty() ? nullptr : m_stack.back(); }

    static bool Matches(const Node* node, const Token& token) {
        return node->TagId() == token.tag && (token.tag != Tag::Unknown || node->TagName() == token.name);
    }

    // Takes the name and attributes over from the token (the tokenizer refills it).
    NodePtr MakeElement(Token& token) {
        return m_document.CreateElement(std::move(token.name), token.tag, token.attributes);
    }

    void EnsureHtml() {
        if (m_html || m_fragmentRoot) return;
        NodePtr html = m_document.CreateElement(L"HTML");
        m_html = html.get();
        m_document.ParserAppend(html);
        m_stack.assign(1, m_html);
    }

    void EnsureHead() {
        EnsureHtml();
        if (m_head || m_fragmentRoot) return;
        NodePtr head = m_document.CreateElement(L"HEAD");
        m_head = head.get();
        m_html->ParserAppend(head);
    }

    void EnsureBody() {
        if (m_body) return;
        EnsureHead();
        NodePtr body = m_document.CreateElement(L"BODY");
        m_body = body.get();
        m_html->ParserAppend(body);
        m_stack.assign({m_html, m_body});
    }

    // Before a block starts, one line end that ends the text before it goes:
    // the serializer writes one there.
    void TrimLineEndBefore(Node* parent) {
        Node* last = parent->LastChild();
        if (!last || !last->IsText()) return;
        std::wstring& data = last->ParserData().str();
        if (!data.empty() && data.back() == '\n') {
            data.pop_back();
            if (data.empty()) parent->ParserChildren().pop_back();
        }
    }

    void AppendText(Node* parent, CString& text) {
        Node* last = parent->LastChild();
        if (last && last->IsText()) {
            last->ParserData() += text;
            return;
        }
        NodePtr node = m_document.CreateText(CString());
        node->ParserData() = std::move(text);
        parent->ParserAppend(std::move(node));
    }

    void Text(CString& text) {
        if (m_headRaw && Current() == m_headRaw) {
            AppendText(m_headRaw, text);
            return;
        }
        if (!m_body) {
            if (IsWhitespace(text)) return;
            EnsureBody();
        }
        Node* current = Current();
        if (current->Is(Tag::Head) || current->Is(Tag::Html)) {
            if (IsWhitespace(text)) return;
            PopTo(m_body);
            current = Current();
        }
        if (IsTableStructure(current->TagId()) && IsWhitespace(text)) return;
        AppendText(current, text);
    }

    void Comment(const Token& token) {
        NodePtr comment = m_document.CreateComment(token.data);
        comment->ParserName() = token.name;
        Node* parent = Current();
        if (!parent) parent = &m_document;
        parent->ParserAppend(comment);
    }

    void Doctype(const Token& token) {
        if (m_html || m_fragmentRoot || m_sawDoctype) return;
        m_sawDoctype = true;
        m_document.ParserAppend(m_document.CreateDoctype(token.data));
    }

    void PopTo(Node* node) {
        if (std::find(m_stack.begin(), m_stack.end(), node) == m_stack.end()) return;
        while (!m_stack.empty() && m_stack.back() != node) m_stack.pop_back();
    }

    // Index in the stack of the nearest open element matching pred, not
    // looking past scope boundaries; -1 when none.
    template <typename Pred>
    int FindOpen(Pred pred, bool tableScope) const {
        for (int i = static_cast<int>(m_stack.size()) - 1; i >= 0; --i) {
            const Node* node = m_stack[static_cast<size_t>(i)];
            if (pred(node)) return i;
            if (node == m_fragmentRoot || node == m_body || node == m_html) return -1;
            if (tableScope ? node->Is(Tag::Table) : (node->TagFlags() & dom::kScope) != 0) return -1;
        }
        return -1;
    }

    // A fragment's root stays open whatever its content says: the stack never
    // drops below it.
    size_t StackFloor() const { return m_fragmentRoot ? 1 : 0; }

    void PopIncluding(int index) {
        if (index >= static_cast<int>(StackFloor())) m_stack.resize(static_cast<size_t>(index));
    }

    void PopCurrent() {
        if (m_stack.size() > StackFloor()) m_stack.pop_back();
    }

    void CloseParagraph() {
        PopIncluding(FindOpen([](const Node* n) { return n->Is(Tag::P); }, false));
    }

    bool InsideHeadPhase(const Token& token) const {
        return !m_body && (dom::TagFlagsOf(token.tag) & dom::kHeadContent) != 0;
    }

    void StartTag(Token& token) {
        Tag tag = token.tag;
        if (!m_fragmentRoot) {
            if (tag == Tag::Html) {
                if (!m_html) {
                    EnsureHtml();
                    for (const auto& attribute : token.attributes) m_html->ParserAddAttribute(attribute);
                } else {
                    MergeAttributes(m_html, token);
                }
                return;
            }
            if (tag == Tag::Head) {
                if (m_head || m_body) return;
                EnsureHead();
                for (const auto& attribute : token.attributes) m_head->ParserAddAttribute(attribute);
                m_stack.push_back(m_head);
                return;
            }
            if (tag == Tag::Body) {
                if (m_body) {
                    MergeAttributes(m_body, token);
                    return;
                }
                EnsureHead();
                NodePtr body = MakeElement(token);
                m_body = body.get();
                m_html->ParserAppend(body);
                m_stack.assign({m_html, m_body});
                return;
            }
            if (InsideHeadPhase(token)) {
                EnsureHead();
                Insert(m_head, token, false);
                return;
            }
            EnsureBody();
            if (Current()->Is(Tag::Head) || Current()->Is(Tag::Html)) PopTo(m_body);
        } else if (tag == Tag::Html || tag == Tag::Head || tag == Tag::Body) {
            return;
        }

        Node* parent = PrepareParent(token);
        if (!parent) return;
        Insert(parent, token, true);
    }

    // Closes what the new element ends and answers where it goes (null: ignored).
    Node* PrepareParent(const Token& token) {
        Tag tag = token.tag;
        unsigned flags = dom::TagFlagsOf(tag);
        if (flags & dom::kClosesParagraph) CloseParagraph();
        switch (tag) {
        case Tag::Li: {
            int at = FindOpen([](const Node* n) { return n->Is(Tag::Li) || n->Is(Tag::Ul) || n->Is(Tag::Ol); }, false);
            if (at >= 0 && m_stack[static_cast<size_t>(at)]->Is(Tag::Li)) PopIncluding(at);
            break;
        }
        case Tag::Dd:
        case Tag::Dt: {
            int at = FindOpen([](const Node* n) { return n->Is(Tag::Dd) || n->Is(Tag::Dt) || n->Is(Tag::Dl); }, false);
            if (at >= 0 && !m_stack[static_cast<size_t>(at)]->Is(Tag::Dl)) PopIncluding(at);
            break;
        }
        case Tag::Option:
            if (Current()->Is(Tag::Option)) PopCurrent();
            break;
        case Tag::Optgroup:
            if (Current()->Is(Tag::Option)) PopCurrent();
            if (Current()->Is(Tag::Optgroup)) PopCurrent();
            break;
        case Tag::A:
            PopIncluding(FindOpen([](const Node* n) { return n->Is(Tag::A); }, false));
            break;
        case Tag::Button:
            PopIncluding(FindOpen([](const Node* n) { return n->Is(Tag::Button); }, false));
            break;
        case Tag::Select:
            if (FindOpen([](const Node* n) { return n->Is(Tag::Select); }, false) >= 0) return nullptr;
            break;
        case Tag::Td:
        case Tag::Th: {
            PopIncluding(FindOpen([](const Node* n) { return IsCell(n->TagId()); }, true));
            Node* current = Current();
            if (current->Is(Tag::Tr)) break;
            if (!IsTableStructure(current->TagId())) return nullptr;
            if (current->Is(Tag::Table)) OpenImplied(L"TBODY");
            OpenImplied(L"TR");
            break;
        }
        case Tag::Tr: {
            PopIncluding(FindOpen([](const Node* n) { return n->Is(Tag::Tr); }, true));
            Node* current = Current();
            if (IsSection(current->TagId())) break;
            if (!current->Is(Tag::Table)) return nullptr;
            OpenImplied(L"TBODY");
            break;
        }
        case Tag::Tbody:
        case Tag::Thead:
        case Tag::Tfoot:
        case Tag::Caption:
        case Tag::Colgroup: {
            int table = FindOpen([](const Node* n) { return n->Is(Tag::Table); }, true);
            if (table < 0) return nullptr;
            m_stack.resize(static_cast<size_t>(table) + 1);
            break;
        }
        case Tag::Col: {
            if (Current()->Is(Tag::Colgroup)) break;
            int table = FindOpen([](const Node* n) { return n->Is(Tag::Table); }, true);
            if (table < 0) return nullptr;
            m_stack.resize(static_cast<size_t>(table) + 1);
            break;
        }
        default:
            if (IsHeading(tag) && IsHeading(Current()->TagId())) PopCurrent();
            break;
        }
        return Current();
    }

    void OpenImplied(const wchar_t* name) {
        NodePtr element = m_document.CreateElement(name);
        Node* raw = element.get();
        Current()->ParserAppend(element);
        m_stack.push_back(raw);
    }

    void Insert(Node* parent, Token& token, bool push) {
        unsigned flags = dom::TagFlagsOf(token.tag);
        bool isVoid = (flags & dom::kVoid) != 0;
        if (!isVoid && static_cast<int>(m_stack.size()) >= kMaxDepth) return;
        if (flags & dom::kLineBreakBefore) TrimLineEndBefore(parent);
        NodePtr element = MakeElement(token);
        Node* raw = element.get();
        parent->ParserAppend(element);
        if (isVoid) return;
        if (push) {
            m_stack.push_back(raw);
        } else if (flags & (dom::kRawText | dom::kRcData)) {
            m_headRaw = raw;  // the raw text that follows belongs to this head element
            m_stack.push_back(raw);
        }
    }

    static void MergeAttributes(Node* element, const Token& token) {
        for (const auto& attribute : token.attributes)
            if (!element->HasAttribute(attribute.name)) element->ParserAddAttribute(attribute);
    }

    void EndTag(Token& token) {
        Tag tag = token.tag;
        if (m_headRaw && Current() == m_headRaw) {  // the end of TITLE, STYLE or SCRIPT in HEAD
            m_stack.pop_back();
            m_headRaw = nullptr;
            return;
        }
        switch (tag) {
        case Tag::Html:
        case Tag::Body:
            return;
        case Tag::Head:
            if (Current() == m_head && m_head) m_stack.pop_back();
            return;
        case Tag::Br: {
            Token br = token;
            br.type = TokenType::StartTag;
            StartTag(br);
            return;
        }
        case Tag::Table:
        case Tag::Tbody:
        case Tag::Thead:
        case Tag::Tfoot:
        case Tag::Tr:
        case Tag::Td:
        case Tag::Th:
        case Tag::Caption:
        case Tag::Colgroup:
            PopIncluding(FindOpen([&](const Node* n) { return Matches(n, token); }, true));
            return;
        default:
            break;
        }
        PopIncluding(FindOpen([&](const Node* n) { return Matches(n, token); }, false));
    }

    dom::Document& m_document;
    Node* m_fragmentRoot = nullptr;
    Node* m_html = nullptr;
    Node* m_head = nullptr;
    Node* m_body = nullptr;
    Node* m_headRaw = nullptr;
    bool m_sawDoctype = false;
    std::vector<Node*> m_stack;
};

}  // namespace

void ParseDocument(dom::Document& document, const CString& text) {
    auto parsed = dom::Document::Create();
    TreeBuilder builder(*parsed, nullptr);
    builder.Run(text);
    document.ReplaceContent(*parsed);
}

std::shared_ptr<dom::Document> ParseDocument(const CString& text) {
    auto document = dom::Document::Create();
    TreeBuilder builder(*document, nullptr);
    builder.Run(text);
    return document;
}

std::vector<dom::NodePtr> ParseFragment(dom::Document& owner, const CString& text, const dom::Node* context) {
    NodePtr root = owner.CreateElement(context && context->IsElement() ? context->TagName() : CString(L"BODY"));
    {
        TreeBuilder builder(owner, root.get());
        builder.Run(text);
    }
    auto& children = root->ParserChildren();
    std::vector<NodePtr> nodes(std::make_move_iterator(children.begin()), std::make_move_iterator(children.end()));
    children.clear();
    for (auto& node : nodes) node->ParserDetach();
    return nodes;
}

}  // namespace html
