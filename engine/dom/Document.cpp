#include "dom/Document.h"

#include <algorithm>
#include <iterator>

namespace dom {

namespace {
Node* FirstChildElement(const Node* parent, const wchar_t* tag) {
    if (!parent) return nullptr;
    for (const auto& child : parent->Children())
        if (child->IsElement(tag)) return child.get();
    return nullptr;
}
}  // namespace

NodePtr Document::NewNode(NodeKind kind) {
    return std::allocate_shared<Node>(SharingArenaAllocator<Node>(m_arena), kind, this, *m_arena);
}

NodePtr Document::CreateElement(const CString& tagName) {
    auto node = NewNode(NodeKind::Element);
    node->m_name = tagName;
    node->m_name.MakeUpper();
    node->m_tag = LookupTag(node->m_name, node->m_name.GetLength());
    return node;
}

NodePtr Document::CreateElement(CString&& upperName, Tag tag, std::vector<Attribute>& attributes) {
    auto node = NewNode(NodeKind::Element);
    node->m_name = std::move(upperName);
    node->m_tag = tag;
    node->m_attributes.assign(std::make_move_iterator(attributes.begin()), std::make_move_iterator(attributes.end()));
    attributes.clear();
    return node;
}

NodePtr Document::CreateText(const CString& text) {
    auto node = NewNode(NodeKind::Text);
    node->m_data = text;
    return node;
}

NodePtr Document::CreateComment(const CString& text) {
    auto node = NewNode(NodeKind::Comment);
    node->m_data = text;
    return node;
}

NodePtr Document::CreateDoctype(const CString& text) {
    auto node = NewNode(NodeKind::Doctype);
    node->m_data = text;
    return node;
}

Node* Document::DocumentElement() const { return FirstChildElement(this, L"HTML"); }
Node* Document::Head() const { return FirstChildElement(DocumentElement(), L"HEAD"); }
Node* Document::Body() const {
    Node* html = DocumentElement();
    Node* body = FirstChildElement(html, L"BODY");
    return body ? body : FirstChildElement(html, L"FRAMESET");
}

void Document::Adopt(Node& node) {
    node.m_owner = this;
    std::vector<Node*> pending{&node};
    while (!pending.empty()) {
        Node* next = pending.back();
        pending.pop_back();
        for (auto& child : next->m_children) {
            child->m_owner = this;
            pending.push_back(child.get());
        }
    }
}

void Document::ReplaceContent(Document& source) {
    for (auto& child : m_children) child->m_parent = nullptr;
    m_children = std::move(source.m_children);
    source.m_children.clear();
    for (auto& child : m_children) {
        child->m_parent = this;
        Adopt(*child);
    }
    ++m_revision;
    if (m_recorder) m_recorder->ContentReplaced();
    for (auto* observer : m_observers) observer->DocumentReplaced();
}

void Document::AddObserver(DocumentObserver* observer) { m_observers.push_back(observer); }
void Document::RemoveObserver(DocumentObserver* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

void Document::NotifyInserted(Node& parent, Node& child) {
    ++m_changes;
    ++m_revision;
    if (child.m_owner != this) Adopt(child);
    for (auto* observer : m_observers) observer->NodeInserted(parent, child);
}
void Document::NotifyRemoved(Node& parent, Node& child) {
    ++m_changes;
    ++m_revision;
    for (auto* observer : m_observers) observer->NodeRemoved(parent, child);
}
void Document::NotifyAttribute(Node& element, const CString& name) {
    ++m_changes;
    ++m_revision;
    for (auto* observer : m_observers) observer->AttributeChanged(element, name);
}
void Document::NotifyText(Node& node) {
    ++m_changes;
    ++m_revision;
    for (auto* observer : m_observers) observer->TextChanged(node);
}

}  // namespace dom
