// The document tree: one node class for the document, elements, text,
// comments and the doctype. Children are shared so that a node removed from
// the tree (or held by an interface adapter) stays alive and keeps its
// identity; the parent link is a plain back pointer, cleared on removal.
// Tree edits go through the owning document, which tells its observers.
#pragma once
#include "core/String.h"
#include "dom/NodeArena.h"
#include "dom/Tags.h"

#include <memory>
#include <vector>

namespace dom {

class Document;
class Node;
using NodePtr = std::shared_ptr<Node>;

enum class NodeKind { Document, Element, Text, Comment, Doctype };

struct Attribute {
    CString name;
    CString value;
    bool hasValue = true;  // false for a bare name such as <BR 2>
};

// A node's lists live in the arena of the document that made it.
using NodeList = std::vector<NodePtr, ArenaAllocator<NodePtr>>;
using AttributeList = std::vector<Attribute, ArenaAllocator<Attribute>>;

class Node : public std::enable_shared_from_this<Node> {
public:
    // The arena must outlive the node (the document's allocator sees to it).
    Node(NodeKind kind, Document* owner, NodeArena& arena)
        : m_kind(kind), m_owner(owner), m_children(ArenaAllocator<NodePtr>(arena)), m_attributes(ArenaAllocator<Attribute>(arena)) {}
    virtual ~Node();  // without recursion, however deep the subtree
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    NodeKind Kind() const { return m_kind; }
    bool IsElement() const { return m_kind == NodeKind::Element; }
    bool IsText() const { return m_kind == NodeKind::Text; }
    bool IsElement(const wchar_t* tag) const { return m_kind == NodeKind::Element && m_name == tag; }
    Document* Owner() const { return m_owner; }

    // Structure -----------------------------------------------------------
    Node* Parent() const { return m_parent; }
    Node* ParentElement() const;
    const NodeList& Children() const { return m_children; }
    int ChildCount() const { return static_cast<int>(m_children.size()); }
    Node* Child(int index) const;
    Node* FirstChild() const { return m_children.empty() ? nullptr : m_children.front().get(); }
    Node* LastChild() const { return m_children.empty() ? nullptr : m_children.back().get(); }
    int IndexInParent() const;
    Node* PreviousSibling() const;
    Node* NextSibling() const;
    bool Contains(const Node* other) const;  // other is this node or below it
    NodePtr Self() { return shared_from_this(); }

    // Edits (the document's observers hear of each) ---------------------------
    void AppendChild(NodePtr child);
    void InsertChild(int index, NodePtr child);
    void InsertBefore(NodePtr child, Node* reference);  // null reference appends
    NodePtr RemoveChild(Node* child);
    NodePtr Remove();  // takes this node out of its parent
    void RemoveAllChildren();

    // Element ----------------------------------------------------------------
    const CString& TagName() const { return m_name; }  // upper case
    Tag TagId() const { return m_tag; }
    bool Is(Tag tag) const { return m_tag == tag && m_kind == NodeKind::Element; }
    unsigned TagFlags() const { return TagFlagsOf(m_tag); }
    const AttributeList& Attributes() const { return m_attributes; }
    const Attribute* FindAttribute(const wchar_t* name) const;  // any case
    bool HasAttribute(const wchar_t* name) const { return FindAttribute(name) != nullptr; }
    CString GetAttribute(const wchar_t* name) const;
    void SetAttribute(const CString& name, const CString& value);
    bool RemoveAttribute(const wchar_t* name);
    // Puts back a whole attribute list, order included (the undo history).
    void RestoreAttributes(const std::vector<Attribute>& attributes);
    // Adds a bare name such as CHECKED, told like any other change.
    void AddBareAttribute(const CString& name);

    // Text, comment, doctype ---------------------------------------------------------
    const CString& Data() const { return m_data; }
    void SetData(const CString& data);

    // Building without notifications (parser, cloning) -------------------------------
    void ParserAppend(NodePtr child);
    void ParserAddAttribute(Attribute attribute) { m_attributes.push_back(std::move(attribute)); }
    CString& ParserData() { return m_data; }
    CString& ParserName() { return m_name; }
    void ParserDetach() { m_parent = nullptr; }
    NodeList& ParserChildren() { return m_children; }

protected:
    friend class Document;
    NodeKind m_kind;
    Document* m_owner;
    Node* m_parent = nullptr;
    NodeList m_children;
    CString m_name;  // element: tag name; comment: "" for <!-- -->, "!" for <!...>, "?" for <?...>
    Tag m_tag = Tag::Unknown;
    CString m_data;
    AttributeList m_attributes;
};

}  // namespace dom
