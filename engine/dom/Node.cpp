#include "dom/Node.h"

#include "dom/Document.h"

#include <algorithm>

namespace dom {

Node::~Node() {
    // A child that goes with this node hands its own children to this loop
    // instead of destroying them in its destructor, so a deep tree goes
    // without recursion. A child held elsewhere stays, without a parent.
    std::vector<NodePtr> going;
    auto release = [&going](NodeList& children) {
        for (auto& child : children) {
            child->m_parent = nullptr;
            going.push_back(std::move(child));
        }
        children.clear();
    };
    release(m_children);
    while (!going.empty()) {
        NodePtr node = std::move(going.back());
        going.pop_back();
        if (node.use_count() == 1) release(node->m_children);
    }
}

Node* Node::ParentElement() const {
    return m_parent && m_parent->IsElement() ? m_parent : nullptr;
}

Node* Node::Child(int index) const {
    if (index < 0 || index >= ChildCount()) return nullptr;
    return m_children[static_cast<size_t>(index)].get();
}

int Node::IndexInParent() const {
    if (!m_parent) return -1;
    const auto& siblings = m_parent->m_children;
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == this) return static_cast<int>(i);
    return -1;
}

Node* Node::PreviousSibling() const {
    int index = IndexInParent();
    return index > 0 ? m_parent->Child(index - 1) : nullptr;
}

Node* Node::NextSibling() const {
    int index = IndexInParent();
    return index >= 0 ? m_parent->Child(index + 1) : nullptr;
}

bool Node::Contains(const Node* other) const {
    // A node without children holds only itself: a node being appended (made
    // just now, as a tree built through the interfaces appends every node)
    // costs nothing, where walking up from the deepest node of a deep tree
    // would cost its depth on every append.
    if (m_children.empty()) return other == this;
    for (; other; other = other->m_parent)
        if (other == this) return true;
    return false;
}

void Node::AppendChild(NodePtr child) {
    InsertChild(ChildCount(), std::move(child));
}

void Node::InsertChild(int index, NodePtr child) {
    if (!child || child.get() == this || child->Contains(this) || child->m_kind == NodeKind::Document) return;
    if (child->m_parent) {
        Node* oldParent = child->m_parent;
        int oldIndex = child->IndexInParent();
        if (oldParent == this && oldIndex < index) --index;
        child->Remove();
    }
    index = std::clamp(index, 0, ChildCount());
    m_children.insert(m_children.begin() + index, child);
    child->m_parent = this;
    m_owner->NotifyInserted(*this, *child);
    if (ChangeRecorder* recorder = m_owner->Recorder()) recorder->ChildInserted(*this, *child);
}

void Node::InsertBefore(NodePtr child, Node* reference) {
    int index = reference && reference->m_parent == this ? reference->IndexInParent() : ChildCount();
    InsertChild(index, std::move(child));
}

NodePtr Node::RemoveChild(Node* child) {
    if (!child || child->m_parent != this) return nullptr;
    int index = child->IndexInParent();
    if (ChangeRecorder* recorder = m_owner->Recorder()) recorder->ChildRemoving(*this, index, *child);
    NodePtr keep = m_children[static_cast<size_t>(index)];
    m_children.erase(m_children.begin() + index);
    child->m_parent = nullptr;
    m_owner->NotifyRemoved(*this, *child);
    return keep;
}

NodePtr Node::Remove() {
    return m_parent ? m_parent->RemoveChild(this) : NodePtr();
}

void Node::RemoveAllChildren() {
    while (!m_children.empty()) RemoveChild(m_children.back().get());
}

const Attribute* Node::FindAttribute(const wchar_t* name) const {
    for (const auto& attribute : m_attributes)
        if (attribute.name.CompareNoCase(name) == 0) return &attribute;
    return nullptr;
}

CString Node::GetAttribute(const wchar_t* name) const {
    const Attribute* attribute = FindAttribute(name);
    return attribute ? attribute->value : CString();
}

void Node::SetAttribute(const CString& name, const CString& value) {
    if (name.IsEmpty()) return;
    if (ChangeRecorder* recorder = m_owner->Recorder()) recorder->AttributesChanging(*this);
    bool found = false;
    for (auto& attribute : m_attributes) {
        if (attribute.name.CompareNoCase(name) == 0) {
            attribute.value = value;
            attribute.hasValue = true;
            found = true;
            break;
        }
    }
    if (!found) m_attributes.push_back({name, value, true});
    m_owner->NotifyAttribute(*this, name);
}

bool Node::RemoveAttribute(const wchar_t* name) {
    for (auto it = m_attributes.begin(); it != m_attributes.end(); ++it) {
        if (it->name.CompareNoCase(name) == 0) {
            if (ChangeRecorder* recorder = m_owner->Recorder()) recorder->AttributesChanging(*this);
            CString removed = it->name;
            m_attributes.erase(it);
            m_owner->NotifyAttribute(*this, removed);
            return true;
        }
    }
    return false;
}

void Node::RestoreAttributes(const std::vector<Attribute>& attributes) {
    if (ChangeRecorder* recorder = m_owner->Recorder()) recorder->AttributesChanging(*this);
    m_attributes.assign(attributes.begin(), attributes.end());
    m_owner->NotifyAttribute(*this, CString());
}

void Node::AddBareAttribute(const CString& name) {
    if (name.IsEmpty() || HasAttribute(name)) return;
    if (ChangeRecorder* recorder = m_owner->Recorder()) recorder->AttributesChanging(*this);
    m_attributes.push_back({name, CString(), false});
    m_owner->NotifyAttribute(*this, name);
}

void Node::SetData(const CString& data) {
    if (ChangeRecorder* recorder = m_owner->Recorder()) recorder->TextChanging(*this);
    m_data = data;
    m_owner->NotifyText(*this);
}

void Node::ParserAppend(NodePtr child) {
    child->m_parent = this;
    if (m_children.empty()) m_children.reserve(4);
    m_children.push_back(std::move(child));
}

}  // namespace dom
