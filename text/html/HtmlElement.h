// Value wrappers over the engine's nodes and elements. Each holds counted
// interface pointers; copying shares them; a wrapper whose pointers are null
// is invalid and every operation on it does nothing and answers an empty or
// invalid result.
#pragma once
#include "com/ComQuery.h"
#include "core/String.h"

#include <windows.h>
#include <mshtml.h>

class bcHtmlElement;
class bcHtmlStyle;
class bcHtmlTable;
class bcHtmlTableRow;

class bcHtmlDomNode {
public:
    bcHtmlDomNode() = default;
    explicit bcHtmlDomNode(IUnknown* object) : m_node(QueryAs<IHTMLDOMNode>(object)) {}
    virtual ~bcHtmlDomNode() = default;
    bcHtmlDomNode(const bcHtmlDomNode&) = default;
    bcHtmlDomNode& operator=(const bcHtmlDomNode&) = default;

    virtual bool IsValid() const { return static_cast<bool>(m_node); }
    IHTMLDOMNode* GetNode() const { return m_node.Get(); }

    // Takes the node with its whole subtree out of the document.
    bool RemoveNode();
    // Appends a node (moving it when it is in the document already); the
    // appended node as an element.
    bcHtmlElement AppendChild(const bcHtmlDomNode& child);
    // The first child node of any kind; invalid when there is none.
    bcHtmlDomNode GetFirstChild() const;

protected:
    ComPtr<IHTMLDOMNode> m_node;
};

class bcHtmlElement : public bcHtmlDomNode {
public:
    bcHtmlElement() = default;
    explicit bcHtmlElement(IUnknown* object) : bcHtmlDomNode(object), m_element(QueryAs<IHTMLElement>(object)) {}
    bcHtmlElement(const bcHtmlElement&) = default;
    bcHtmlElement& operator=(const bcHtmlElement&) = default;

    bool IsValid() const override { return m_element && m_node; }
    ComPtr<IHTMLElement> GetElement() const { return m_element; }

    CString GetTagName() const;
    bcHtmlStyle GetStyle() const;
    int GetChildCount() const;
    bcHtmlElement GetParentElement() const;
    bcHtmlElement GetPreviousSiblingElement() const;
    // This element or its nearest ancestor with the tag name; invalid when none.
    bcHtmlElement FindAncestorByTag(const CString& tag) const;
    // From this element upwards, the first whose "<TAG>" does not occur in the list.
    bcHtmlElement SkipInlineElements(const CString& inlineTags) const;
    bool InsertAdjacentHtml(const CString& html, bool atStart, bool inside);
    bool SetInnerHtml(const CString& html);
    CString GetInnerHtml() const;
    CString GetOuterHtml() const;
    CString GetInnerText() const;
    bool SetDivContent(const CString& text);
    bool IsContentEmpty() const;
    CString GetAttribute(const CString& name) const;
    bool RemoveAttribute(const CString& name);
    bcHtmlTable GetParentTable() const;
    bcHtmlTableRow GetParentRow() const;

protected:
    ComPtr<IHTMLElement> m_element;
};

// The tags the font-size commands step over: A, B, U, I, EM, STRONG, NOBR.
extern const wchar_t* const kInlineTagList;

// Item of an element collection as an element (invalid when missing).
bcHtmlElement GetCollectionItem(IHTMLElementCollection* collection, long index);
