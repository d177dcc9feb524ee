#include "html/HtmlElement.h"

#include "html/HtmlConvert.h"
#include "html/HtmlStyle.h"
#include "html/HtmlTable.h"

const wchar_t* const kInlineTagList = L"<A><B><U><I><EM><STRONG><NOBR>";


bcHtmlElement GetCollectionItem(IHTMLElementCollection* collection, long index) {
    if (!collection) return bcHtmlElement();
    VARIANT name, at;
    name.vt = VT_I4;
    name.lVal = index;
    at.vt = VT_I4;
    at.lVal = 0;
    ComPtr<IDispatch> item;
    if (FAILED(collection->item(name, at, item.Receive())) || !item) return bcHtmlElement();
    return bcHtmlElement(item.Get());
}

bool bcHtmlDomNode::RemoveNode() {
    if (!m_node) return false;
    ComPtr<IHTMLDOMNode> removed;
    return SUCCEEDED(m_node->removeNode(VARIANT_TRUE, removed.Receive()));
}

bcHtmlElement bcHtmlDomNode::AppendChild(const bcHtmlDomNode& child) {
    if (!m_node || !child.GetNode()) return bcHtmlElement();
    ComPtr<IHTMLDOMNode> appended;
    if (FAILED(m_node->appendChild(child.GetNode(), appended.Receive()))) return bcHtmlElement();
    return bcHtmlElement(appended.Get());
}

bcHtmlDomNode bcHtmlDomNode::GetFirstChild() const {
    ComPtr<IHTMLDOMNode> first;
    if (!m_node || FAILED(m_node->get_firstChild(first.Receive())) || !first) return bcHtmlDomNode();
    return bcHtmlDomNode(first.Get());
}

CString bcHtmlElement::GetTagName() const {
    BSTR tag = nullptr;
    if (!m_element || FAILED(m_element->get_tagName(&tag))) return CString();
    return BstrToString(tag);
}

bcHtmlStyle bcHtmlElement::GetStyle() const {
    ComPtr<IHTMLStyle> style;
    if (m_element) m_element->get_style(style.Receive());
    return bcHtmlStyle(style.Get(), nullptr);
}

int bcHtmlElement::GetChildCount() const {
    if (!m_element) return 0;
    ComPtr<IDispatch> children;
    if (FAILED(m_element->get_children(children.Receive())) || !children) return 0;
    auto collection = children.As<IHTMLElementCollection>();
    LONG length = 0;
    if (!collection || FAILED(collection->get_length(&length))) return 0;
    return static_cast<int>(length);
}

bcHtmlElement bcHtmlElement::GetParentElement() const {
    ComPtr<IHTMLElement> parent;
    if (!m_element || FAILED(m_element->get_parentElement(parent.Receive())) || !parent) return bcHtmlElement();
    return bcHtmlElement(parent.Get());
}

bcHtmlElement bcHtmlElement::GetPreviousSiblingElement() const {
    if (!m_node) return bcHtmlElement();
    ComPtr<IHTMLDOMNode> node = m_node;
    for (;;) {
        ComPtr<IHTMLDOMNode> previous;
        if (FAILED(node->get_previousSibling(previous.Receive())) || !previous) return bcHtmlElement();
        LONG type = 0;
        previous->get_nodeType(&type);
        if (type == 1) return bcHtmlElement(previous.Get());
        node = previous;
    }
}

bcHtmlElement bcHtmlElement::FindAncestorByTag(const CString& tag) const {
    for (bcHtmlElement element = *this; element.IsValid(); element = element.GetParentElement())
        if (element.GetTagName() == tag) return element;
    return bcHtmlElement();
}

bcHtmlElement bcHtmlElement::SkipInlineElements(const CString& inlineTags) const {
    for (bcHtmlElement element = *this; element.IsValid(); element = element.GetParentElement())
        if (inlineTags.Find(L"<" + element.GetTagName() + L">") < 0) return element;
    return bcHtmlElement();
}

bool bcHtmlElement::InsertAdjacentHtml(const CString& html, bool atStart, bool inside) {
    if (!m_element) return false;
    const wchar_t* where = inside ? (atStart ? L"afterBegin" : L"beforeEnd") : (atStart ? L"beforeBegin" : L"afterEnd");
    return SUCCEEDED(m_element->insertAdjacentHTML(ScopedBstr(where), ScopedBstr(html)));
}

bool bcHtmlElement::SetInnerHtml(const CString& html) {
    return m_element && SUCCEEDED(m_element->put_innerHTML(ScopedBstr(html)));
}

CString bcHtmlElement::GetInnerHtml() const {
    BSTR text = nullptr;
    if (!m_element || FAILED(m_element->get_innerHTML(&text))) return CString();
    return BstrToString(text);
}

CString bcHtmlElement::GetOuterHtml() const {
    BSTR text = nullptr;
    if (!m_element || FAILED(m_element->get_outerHTML(&text))) return CString();
    return BstrToString(text);
}

CString bcHtmlElement::GetInnerText() const {
    BSTR text = nullptr;
    if (!m_element || FAILED(m_element->get_innerText(&text))) return CString();
    return BstrToString(text);
}

bool bcHtmlElement::SetDivContent(const CString& text) { return SetInnerHtml(L"<DIV>" + text + L"</DIV>"); }

bool bcHtmlElement::IsContentEmpty() const {
    CString html = GetInnerHtml();
    while (!html.IsEmpty() && CString(L"\r\n \t").Find(html[0]) >= 0) html.Delete(0);
    while (!html.IsEmpty() && CString(L"\r\n \t").Find(html[html.GetLength() - 1]) >= 0) html.Truncate(html.GetLength() - 1);
    return html.IsEmpty();
}

CString bcHtmlElement::GetAttribute(const CString& name) const {
    if (!m_element) return CString();
    VARIANT value;
    VariantInit(&value);
    if (FAILED(m_element->getAttribute(ScopedBstr(name), 0, &value))) return CString();
    CString text = VariantToString(value);
    VariantClear(&value);
    return text;
}

bool bcHtmlElement::RemoveAttribute(const CString& name) {
    if (!m_element) return false;
    VARIANT_BOOL removed = VARIANT_FALSE;
    return SUCCEEDED(m_element->removeAttribute(ScopedBstr(name), 0, &removed)) && removed;
}

bcHtmlTable bcHtmlElement::GetParentTable() const { return bcHtmlTable(FindAncestorByTag(L"TABLE")); }
bcHtmlTableRow bcHtmlElement::GetParentRow() const { return bcHtmlTableRow(FindAncestorByTag(L"TR")); }
