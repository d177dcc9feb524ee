#include "com/Collections.h"

#include "com/Convert.h"
#include "dom/TreeWalk.h"

namespace com {

std::vector<dom::NodePtr> FindElements(dom::Node& root, const CString& tag) {
    CString upper = tag;
    upper.MakeUpper();
    std::vector<dom::NodePtr> out;
    bool all = upper.IsEmpty() || upper == L"*";
    dom::WalkTree(root, [&](const dom::NodePtr& child) {
        if (!child->IsElement()) return false;
        if (all || child->TagName() == upper) out.push_back(child);
        return true;
    });
    return out;
}

std::vector<dom::NodePtr> FormControls(dom::Node& form) {
    std::vector<dom::NodePtr> out;
    for (auto& element : FindElements(form, L"*")) {
        if (element->Is(dom::Tag::Input) || element->Is(dom::Tag::Select) || element->Is(dom::Tag::Textarea) ||
            element->Is(dom::Tag::Button))
            out.push_back(element);
    }
    return out;
}

void* ElementCollection::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLElementCollection)
        return static_cast<IHTMLElementCollection*>(this);
    return nullptr;
}

HRESULT ElementCollection::get_length(LONG* p) {
    if (!p) return E_POINTER;
    *p = static_cast<LONG>(m_nodes.size());
    return S_OK;
}

HRESULT ElementCollection::item(VARIANT name, VARIANT index, IDispatch** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    long at = 0;
    if (VariantToIndex(name, at)) {
        if (at < 0 || at >= static_cast<long>(m_nodes.size())) return S_OK;
        return ReturnNode(m_state, m_nodes[static_cast<size_t>(at)].get(), result);
    }
    if (name.vt != VT_BSTR) return S_OK;
    CString wanted = FromBstr(name.bstrVal);
    std::vector<dom::NodePtr> matches;
    for (const auto& node : m_nodes)
        if (node->GetAttribute(L"id").CompareNoCase(wanted) == 0 || node->GetAttribute(L"name").CompareNoCase(wanted) == 0)
            matches.push_back(node);
    long nth = 0;
    if (VariantToIndex(index, nth)) {
        if (nth < 0 || nth >= static_cast<long>(matches.size())) return S_OK;
        return ReturnNode(m_state, matches[static_cast<size_t>(nth)].get(), result);
    }
    if (matches.empty()) return S_OK;
    if (matches.size() == 1) return ReturnNode(m_state, matches[0].get(), result);
    return ReturnCollection(m_state, std::move(matches), result);
}

HRESULT ElementCollection::tags(VARIANT tagName, IDispatch** result) {
    if (!result) return E_POINTER;
    CString tag = VariantToText(tagName);
    tag.MakeUpper();
    std::vector<dom::NodePtr> matches;
    for (const auto& node : m_nodes)
        if (node->TagName() == tag) matches.push_back(node);
    return ReturnCollection(m_state, std::move(matches), result);
}

void* ChildNodeList::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLDOMChildrenCollection)
        return static_cast<IHTMLDOMChildrenCollection*>(this);
    return nullptr;
}

HRESULT ChildNodeList::get_length(LONG* p) {
    if (!p) return E_POINTER;
    *p = static_cast<LONG>(m_nodes.size());
    return S_OK;
}

HRESULT ChildNodeList::item(LONG index, IDispatch** result) {
    if (!result) return E_POINTER;
    *result = nullptr;
    if (index < 0 || index >= static_cast<LONG>(m_nodes.size())) return E_INVALIDARG;
    return ReturnNode(m_state, m_nodes[static_cast<size_t>(index)].get(), result);
}

}  // namespace com
