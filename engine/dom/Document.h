// The document node: creates the nodes of its tree and tells observers (the
// layout that a view hangs off the tree) about every change.
#pragma once
#include "dom/ChangeRecorder.h"
#include "dom/Node.h"
#include "dom/NodeArena.h"

namespace dom {

class DocumentObserver {
public:
    virtual ~DocumentObserver() = default;
    virtual void NodeInserted(Node& parent, Node& child) = 0;
    virtual void NodeRemoved(Node& parent, Node& child) = 0;
    virtual void AttributeChanged(Node& element, const CString& name) = 0;
    virtual void TextChanged(Node& node) = 0;
    virtual void DocumentReplaced() = 0;
};

// Holds the arena of a document's nodes: a base, so that it is made before the
// document's own lists and goes after them.
class DocumentArena {
protected:
    std::shared_ptr<NodeArena> m_arena = std::make_shared<NodeArena>();
};

class Document : private DocumentArena, public Node {
public:
    Document() : Node(NodeKind::Document, this, *m_arena) {}
    static std::shared_ptr<Document> Create() { return std::make_shared<Document>(); }

    NodePtr CreateElement(const CString& tagName);  // folded to upper case
    // For the parser: a name already in upper case, its tag already looked up.
    // The attributes are moved out; the vector keeps its capacity for the next tag.
    NodePtr CreateElement(CString&& upperName, Tag tag, std::vector<Attribute>& attributes);
    NodePtr CreateText(const CString& text);
    NodePtr CreateComment(const CString& text);
    NodePtr CreateDoctype(const CString& text);

    // The HTML, HEAD and BODY elements (null when missing).
    Node* DocumentElement() const;
    Node* Head() const;
    Node* Body() const;

    // The memory that the arena of this document's own nodes holds.
    std::size_t ArenaBytes() const { return m_arena->BytesReserved(); }

    // Replaces the whole tree by the children of another document (a load).
    void ReplaceContent(Document& source);

    // One recorder at most (the editor's history); null stops the recording.
    void SetRecorder(ChangeRecorder* recorder) { m_recorder = recorder; }
    ChangeRecorder* Recorder() const { return m_recorder; }
    // Counts the edits of the tree (a load replaces it and is not one), so that
    // whoever saved or loaded it can tell whether it changed since.
    unsigned long long ChangeCount() const { return m_changes; }
    // Counts every change of the tree, loads included: what was worked out
    // from the tree holds while this stays the same.
    unsigned long long Revision() const { return m_revision; }

    void AddObserver(DocumentObserver* observer);
    void RemoveObserver(DocumentObserver* observer);

    // Called by the nodes.
    void NotifyInserted(Node& parent, Node& child);
    void NotifyRemoved(Node& parent, Node& child);
    void NotifyAttribute(Node& element, const CString& name);
    void NotifyText(Node& node);

private:
    NodePtr NewNode(NodeKind kind);
    void Adopt(Node& node);
    std::vector<DocumentObserver*> m_observers;
    ChangeRecorder* m_recorder = nullptr;
    unsigned long long m_changes = 0;
    unsigned long long m_revision = 0;
};

}  // namespace dom
