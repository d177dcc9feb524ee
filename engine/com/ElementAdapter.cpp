#include "com/ElementAdapter.h"

#include "com/Collections.h"
#include "com/Convert.h"
#include "com/DocumentAdapter.h"
#include "com/StyleAdapters.h"
#include "dom/TextContent.h"
#include "html/Parser.h"
#include "html/Serializer.h"

namespace com {

using dom::Node;
using dom::NodeKind;

dom::Node* NodeOf(IUnknown* object) {
    auto engineNode = QueryAs<IEngineNode>(object);
    return engineNode ? engineNode->EngineNode() : nullptr;
}

namespace {

template <typename T>
HRESULT Hand(T* adapter, REFIID riid, void** out) {
    HRESULT hr = adapter->QueryInterface(riid, out);
    adapter->Release();
    return hr;
}

CString AttributeName(BSTR name) {
    CString text = FromBstr(name);
    if (text.CompareNoCase(L"className") == 0) return L"class";
    if (text.CompareNoCase(L"htmlFor") == 0) return L"for";
    return text;
}

void InsertParsed(Node& parent, int index, const CString& text, const Node* context) {
    auto nodes = html::ParseFragment(*parent.Owner(), text, context);
    for (auto& node : nodes) parent.InsertChild(index++, node);
}

}  // namespace

HRESULT WrapNode(const StatePtr& state, Node* node, REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!node) return S_OK;
    if (node->Kind() == NodeKind::Document) return DocumentOf(state).Get()->QueryInterface(riid, out);
    auto live = state->adapters.find(node);
    if (live != state->adapters.end()) return live->second->QueryInterface(riid, out);
    dom::NodePtr self = node->Self();
    using dom::Tag;
    switch (node->IsElement() ? node->TagId() : Tag::Unknown) {
    case Tag::Table: return Hand(CreateComObject<TableAdapter>(state, self), riid, out);
    case Tag::Tr: return Hand(CreateComObject<RowAdapter>(state, self), riid, out);
    case Tag::Td:
    case Tag::Th: return Hand(CreateComObject<CellAdapter>(state, self), riid, out);
    case Tag::Form: return Hand(CreateComObject<FormAdapter>(state, self), riid, out);
    case Tag::Input: return Hand(CreateComObject<InputAdapter>(state, self), riid, out);
    case Tag::Textarea: return Hand(CreateComObject<TextAreaAdapter>(state, self), riid, out);
    case Tag::Select: return Hand(CreateComObject<SelectAdapter>(state, self), riid, out);
    case Tag::Option: return Hand(CreateComObject<OptionAdapter>(state, self), riid, out);
    case Tag::Body: return Hand(CreateComObject<BodyAdapter>(state, self), riid, out);
    default: return Hand(CreateComObject<GenericAdapter>(state, self), riid, out);
    }
}

template <typename D, typename... E>
void* ElementAdapter<D, E...>::FindNodeInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLDOMNode) return static_cast<IHTMLDOMNode*>(this);
    if (riid == __uuidof(IEngineNode)) return static_cast<IEngineNode*>(this);
    if (!m_node->IsElement()) return nullptr;
    if (riid == IID_IHTMLElement) return static_cast<IHTMLElement*>(this);
    if (riid == IID_IHTMLControlElement) return static_cast<IHTMLControlElement*>(this);
    if (riid == IID_IHTMLElement2) return static_cast<IHTMLElement2*>(this);
    return nullptr;
}

// IHTMLDOMNode ---------------------------------------------------------------

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_nodeType(LONG* p) {
    if (!p) return E_POINTER;
    switch (m_node->Kind()) {
    case NodeKind::Element: *p = 1; break;
    case NodeKind::Text: *p = 3; break;
    case NodeKind::Comment: *p = 8; break;
    case NodeKind::Document: *p = 9; break;
    case NodeKind::Doctype: *p = 10; break;
    }
    return S_OK;
}

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_parentNode(IHTMLDOMNode** p) {
    Node* parent = m_node->Parent();
    return ReturnNode(m_state, parent && parent->IsElement() ? parent : nullptr, p);
}

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::hasChildNodes(VARIANT_BOOL* p) {
    if (!p) return E_POINTER;
    *p = ToVariantBool(m_node->ChildCount() > 0);
    return S_OK;
}

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_childNodes(IDispatch** p) {
    if (!p) return E_POINTER;
    const auto& children = m_node->Children();
    auto* list = CreateComObject<ChildNodeList>(m_state, std::vector<dom::NodePtr>(children.begin(), children.end()));
    *p = static_cast<IHTMLDOMChildrenCollection*>(list);
    return S_OK;
}

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::insertBefore(IHTMLDOMNode* newChild, VARIANT refChild, IHTMLDOMNode** node) {
    Node* child = NodeOf(newChild);
    if (!child) return E_INVALIDARG;
    Node* reference = (refChild.vt == VT_DISPATCH || refChild.vt == VT_UNKNOWN) ? NodeOf(refChild.punkVal) : nullptr;
    if (child->Contains(m_node.get())) return E_INVALIDARG;
    m_node->InsertBefore(child->Self(), reference);
    return node ? ReturnNode(m_state, child, node) : S_OK;
}

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::removeChild(IHTMLDOMNode* oldChild, IHTMLDOMNode** node) {
    Node* child = NodeOf(oldChild);
    if (!child || child->Parent() != m_node.get()) return E_INVALIDARG;
    dom::NodePtr keep = m_node->RemoveChild(child);
    return node ? ReturnNode(m_state, keep.get(), node) : S_OK;
}

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::removeNode(VARIANT_BOOL deep, IHTMLDOMNode** node) {
    dom::NodePtr self = m_node;
    Node* parent = m_node->Parent();
    if (parent) {
        if (!deep) {  // the children stay in its place
            int index = m_node->IndexInParent();
            while (m_node->ChildCount() > 0) parent->InsertChild(index++, m_node->Child(0)->Self());
        }
        parent->RemoveChild(m_node.get());
    }
    return node ? ReturnNode(m_state, self.get(), node) : S_OK;
}

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_nodeName(BSTR* p) {
    switch (m_node->Kind()) {
    case NodeKind::Element: return ReturnString(m_node->TagName(), p);
    case NodeKind::Text: return ReturnString(L"#text", p);
    case NodeKind::Comment: return ReturnString(L"#comment", p);
    default: return ReturnString(L"#document", p);
    }
}

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::put_nodeValue(VARIANT v) {
    if (m_node->IsElement()) return S_OK;
    m_node->SetData(VariantToText(v));
    return S_OK;
}

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_nodeValue(VARIANT* p) {
    if (!p) return E_POINTER;
    if (m_node->IsElement()) {
        VariantInit(p);
        p->vt = VT_NULL;
        return S_OK;
    }
    return ReturnVariantString(m_node->Data(), p);
}

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_firstChild(IHTMLDOMNode** p) { return ReturnNode(m_state, m_node->FirstChild(), p); }
template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_lastChild(IHTMLDOMNode** p) { return ReturnNode(m_state, m_node->LastChild(), p); }
template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_previousSibling(IHTMLDOMNode** p) { return ReturnNode(m_state, m_node->PreviousSibling(), p); }
template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_nextSibling(IHTMLDOMNode** p) { return ReturnNode(m_state, m_node->NextSibling(), p); }

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::appendChild(IHTMLDOMNode* newChild, IHTMLDOMNode** node) {
    Node* child = NodeOf(newChild);
    if (!child || child->Contains(m_node.get()) || !m_node->IsElement()) return E_INVALIDARG;
    m_node->AppendChild(child->Self());
    return node ? ReturnNode(m_state, child, node) : S_OK;
}

// IHTMLElement -------------------------------------------------------------------

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::setAttribute(BSTR name, VARIANT value, LONG) {
    CString attribute = AttributeName(name);
    if (attribute.IsEmpty()) return E_INVALIDARG;
    m_node->SetAttribute(attribute, VariantToText(value));
    return S_OK;
}

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::getAttribute(BSTR name, LONG, VARIANT* value) {
    if (!value) return E_POINTER;
    const dom::Attribute* attribute = m_node->FindAttribute(AttributeName(name));
    if (!attribute) {
        VariantInit(value);
        value->vt = VT_NULL;
        return S_OK;
    }
    return ReturnVariantString(attribute->value, value);
}

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::removeAttribute(BSTR name, LONG, VARIANT_BOOL* success) {
    bool removed = m_node->RemoveAttribute(AttributeName(name));
    if (success) *success = ToVariantBool(removed);
    return S_OK;
}

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::put_className(BSTR v) {
    m_node->SetAttribute(L"class", FromBstr(v));
    return S_OK;
}
template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_className(BSTR* p) { return ReturnString(m_node->GetAttribute(L"class"), p); }
template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::put_id(BSTR v) {
    m_node->SetAttribute(L"id", FromBstr(v));
    return S_OK;
}
template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_id(BSTR* p) { return ReturnString(m_node->GetAttribute(L"id"), p); }
template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_tagName(BSTR* p) { return ReturnString(m_node->TagName(), p); }
template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_parentElement(IHTMLElement** p) { return ReturnNode(m_state, m_node->ParentElement(), p); }

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_style(IHTMLStyle** p) {
    if (!p) return E_POINTER;
    *p = CreateComObject<InlineStyleAdapter>(m_state, m_node);
    return S_OK;
}

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_document(IDispatch** p) {
    if (!p) return E_POINTER;
    return CopyTo(DocumentOf(m_state).As<IDispatch>(), p);
}

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::contains(IHTMLElement* child, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    Node* node = NodeOf(child);
    *result = ToVariantBool(node && m_node->Contains(node));
    return S_OK;
}

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::put_innerHTML(BSTR v) {
    if (m_node->TagFlags() & dom::kVoid) return E_INVALIDARG;
    m_node->RemoveAllChildren();
    InsertParsed(*m_node, 0, FromBstr(v), m_node.get());
    return S_OK;
}
template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_innerHTML(BSTR* p) { return ReturnString(html::SerializeInner(*m_node), p); }

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::put_innerText(BSTR v) {
    if (m_node->TagFlags() & dom::kVoid) return E_INVALIDARG;
    dom::SetInnerText(*m_node, FromBstr(v));
    return S_OK;
}
template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_innerText(BSTR* p) { return ReturnString(dom::InnerText(*m_node), p); }

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::put_outerHTML(BSTR v) {
    Node* parent = m_node->Parent();
    if (!parent || !parent->IsElement()) return E_INVALIDARG;
    int index = m_node->IndexInParent();
    dom::NodePtr self = m_node;
    parent->RemoveChild(self.get());
    InsertParsed(*parent, index, FromBstr(v), parent);
    return S_OK;
}
template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_outerHTML(BSTR* p) { return ReturnString(html::SerializeOuter(*m_node), p); }

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::insertAdjacentHTML(BSTR where, BSTR htmlText) {
    CString place = FromBstr(where);
    CString text = FromBstr(htmlText);
    Node* parent = m_node->Parent();
    if (place.CompareNoCase(L"beforeBegin") == 0 || place.CompareNoCase(L"afterEnd") == 0) {
        if (!parent || !parent->IsElement()) return E_INVALIDARG;
        int index = m_node->IndexInParent() + (place.CompareNoCase(L"afterEnd") == 0 ? 1 : 0);
        InsertParsed(*parent, index, text, parent);
        return S_OK;
    }
    if (m_node->TagFlags() & dom::kVoid) return E_INVALIDARG;
    if (place.CompareNoCase(L"afterBegin") == 0) {
        InsertParsed(*m_node, 0, text, m_node.get());
        return S_OK;
    }
    if (place.CompareNoCase(L"beforeEnd") == 0) {
        InsertParsed(*m_node, m_node->ChildCount(), text, m_node.get());
        return S_OK;
    }
    return E_INVALIDARG;
}

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_children(IDispatch** p) {
    std::vector<dom::NodePtr> elements;
    for (const auto& child : m_node->Children())
        if (child->IsElement()) elements.push_back(child);
    return ReturnCollection(m_state, std::move(elements), p);
}

template <typename D, typename... E>
HRESULT ElementAdapter<D, E...>::get_all(IDispatch** p) {
    return ReturnCollection(m_state, FindElements(*m_node, L"*"), p);
}

template class ElementAdapter<GenericAdapter>;
template class ElementAdapter<TableAdapter, IHTMLTableNotImpl>;
template class ElementAdapter<RowAdapter, IHTMLTableRowNotImpl>;
template class ElementAdapter<CellAdapter, IHTMLTableCellNotImpl>;
template class ElementAdapter<FormAdapter, IHTMLFormElementNotImpl>;
template class ElementAdapter<InputAdapter, IHTMLInputElementNotImpl, IHTMLOptionButtonElementNotImpl>;
template class ElementAdapter<TextAreaAdapter, IHTMLTextAreaElementNotImpl>;
template class ElementAdapter<SelectAdapter, IHTMLSelectElementNotImpl>;
template class ElementAdapter<OptionAdapter, IHTMLOptionElementNotImpl>;
template class ElementAdapter<BodyAdapter, IHTMLBodyElementNotImpl>;

}  // namespace com
