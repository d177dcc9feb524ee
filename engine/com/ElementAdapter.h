// The COM face of a tree node: IHTMLDOMNode for every node, IHTMLElement
// and IHTMLControlElement for elements; the classes below add the
// interface of their kind of element (tables, rows, cells, forms and their
// controls, the body). Each method translates and forwards to the tree.
#pragma once
#include "com/EngineComObject.h"
#include "com/DocumentState.h"
#include "com/Geometry.h"
#include "com/NotImplemented.h"

namespace com {

template <typename Derived, typename... Extra>
class ElementAdapter : public EngineComObject<Derived, IHTMLDOMNodeNotImpl, IHTMLElementNotImpl, IHTMLControlElementNotImpl,
                                              IHTMLElement2NotImpl, IEngineNode, Extra...> {
public:
    ElementAdapter(StatePtr state, dom::NodePtr node) : m_state(std::move(state)), m_node(std::move(node)) {
        m_state->adapters[m_node.get()] = static_cast<IHTMLDOMNode*>(this);
    }
    ~ElementAdapter() override { m_state->adapters.erase(m_node.get()); }

    void* FindNodeInterface(REFIID riid);
    dom::Node* STDMETHODCALLTYPE EngineNode() override { return m_node.get(); }

    // IHTMLDOMNode
    HRESULT STDMETHODCALLTYPE get_nodeType(LONG* p) override;
    HRESULT STDMETHODCALLTYPE get_parentNode(IHTMLDOMNode** p) override;
    HRESULT STDMETHODCALLTYPE hasChildNodes(VARIANT_BOOL* p) override;
    HRESULT STDMETHODCALLTYPE get_childNodes(IDispatch** p) override;
    HRESULT STDMETHODCALLTYPE insertBefore(IHTMLDOMNode* newChild, VARIANT refChild, IHTMLDOMNode** node) override;
    HRESULT STDMETHODCALLTYPE removeChild(IHTMLDOMNode* oldChild, IHTMLDOMNode** node) override;
    HRESULT STDMETHODCALLTYPE removeNode(VARIANT_BOOL fDeep, IHTMLDOMNode** node) override;
    HRESULT STDMETHODCALLTYPE get_nodeName(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_nodeValue(VARIANT v) override;
    HRESULT STDMETHODCALLTYPE get_nodeValue(VARIANT* p) override;
    HRESULT STDMETHODCALLTYPE get_firstChild(IHTMLDOMNode** p) override;
    HRESULT STDMETHODCALLTYPE get_lastChild(IHTMLDOMNode** p) override;
    HRESULT STDMETHODCALLTYPE get_previousSibling(IHTMLDOMNode** p) override;
    HRESULT STDMETHODCALLTYPE get_nextSibling(IHTMLDOMNode** p) override;
    HRESULT STDMETHODCALLTYPE appendChild(IHTMLDOMNode* newChild, IHTMLDOMNode** node) override;

    // IHTMLElement
    HRESULT STDMETHODCALLTYPE setAttribute(BSTR name, VARIANT value, LONG flags) override;
    HRESULT STDMETHODCALLTYPE getAttribute(BSTR name, LONG flags, VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE removeAttribute(BSTR name, LONG flags, VARIANT_BOOL* success) override;
    HRESULT STDMETHODCALLTYPE put_className(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_className(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_id(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_id(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_tagName(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_parentElement(IHTMLElement** p) override;
    HRESULT STDMETHODCALLTYPE get_style(IHTMLStyle** p) override;
    HRESULT STDMETHODCALLTYPE get_document(IDispatch** p) override;
    HRESULT STDMETHODCALLTYPE contains(IHTMLElement* child, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE put_innerHTML(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_innerHTML(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_innerText(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_innerText(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_outerHTML(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_outerHTML(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE insertAdjacentHTML(BSTR where, BSTR html) override;
    HRESULT STDMETHODCALLTYPE get_offsetLeft(LONG* p) override { return GetOffset(m_state, m_node.get(), OffsetPart::Left, p); }
    HRESULT STDMETHODCALLTYPE get_offsetTop(LONG* p) override { return GetOffset(m_state, m_node.get(), OffsetPart::Top, p); }
    HRESULT STDMETHODCALLTYPE get_offsetWidth(LONG* p) override { return GetOffset(m_state, m_node.get(), OffsetPart::Width, p); }
    HRESULT STDMETHODCALLTYPE get_offsetHeight(LONG* p) override { return GetOffset(m_state, m_node.get(), OffsetPart::Height, p); }
    HRESULT STDMETHODCALLTYPE get_offsetParent(IHTMLElement** p) override { return GetOffsetParent(m_state, m_node.get(), p); }
    HRESULT STDMETHODCALLTYPE get_children(IDispatch** p) override;
    HRESULT STDMETHODCALLTYPE get_all(IDispatch** p) override;
    // IHTMLElement2 (its members that IHTMLControlElement shares answer for both)
    HRESULT STDMETHODCALLTYPE get_clientHeight(LONG* p) override { return Metric(BodyMetric::ClientHeight, p); }
    HRESULT STDMETHODCALLTYPE get_clientWidth(LONG* p) override { return Metric(BodyMetric::ClientWidth, p); }
    HRESULT STDMETHODCALLTYPE get_clientTop(LONG* p) override { return Metric(BodyMetric::ClientTop, p); }
    HRESULT STDMETHODCALLTYPE get_clientLeft(LONG* p) override { return Metric(BodyMetric::ClientLeft, p); }
    HRESULT STDMETHODCALLTYPE get_scrollHeight(LONG* p) override { return Metric(BodyMetric::ScrollHeight, p); }
    HRESULT STDMETHODCALLTYPE get_scrollWidth(LONG* p) override { return Metric(BodyMetric::ScrollWidth, p); }
    HRESULT STDMETHODCALLTYPE get_scrollTop(LONG* p) override { return Metric(BodyMetric::ScrollTop, p); }
    HRESULT STDMETHODCALLTYPE get_scrollLeft(LONG* p) override { return Metric(BodyMetric::ScrollLeft, p); }
    HRESULT STDMETHODCALLTYPE put_scrollTop(LONG v) override { return PutElementScroll(m_state, m_node.get(), BodyMetric::ScrollTop, v); }
    HRESULT STDMETHODCALLTYPE put_scrollLeft(LONG v) override { return PutElementScroll(m_state, m_node.get(), BodyMetric::ScrollLeft, v); }
    HRESULT STDMETHODCALLTYPE addFilter(IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE removeFilter(IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE blur() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE focus() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_accessKey(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accessKey(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onblur(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onblur(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onfocus(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onfocus(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onresize(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onresize(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_tabIndex(short*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_tabIndex(short) override { return E_NOTIMPL; }

protected:
    HRESULT Metric(BodyMetric metric, LONG* p) { return GetElementMetric(m_state, m_node.get(), metric, p); }
    dom::Node& Target() const { return *m_node; }
    StatePtr m_state;
    dom::NodePtr m_node;
};

class GenericAdapter final : public ElementAdapter<GenericAdapter> {
public:
    using ElementAdapter::ElementAdapter;
    void* FindInterface(REFIID riid) { return FindNodeInterface(riid); }
};

class TableAdapter final : public ElementAdapter<TableAdapter, IHTMLTableNotImpl> {
public:
    using ElementAdapter::ElementAdapter;
    void* FindInterface(REFIID riid);
    HRESULT STDMETHODCALLTYPE put_bgColor(VARIANT v) override;
    HRESULT STDMETHODCALLTYPE get_bgColor(VARIANT* p) override;
    HRESULT STDMETHODCALLTYPE get_rows(IHTMLElementCollection** p) override;
    HRESULT STDMETHODCALLTYPE insertRow(LONG index, IDispatch** row) override;
    HRESULT STDMETHODCALLTYPE deleteRow(LONG index) override;
    HRESULT STDMETHODCALLTYPE get_tBodies(IHTMLElementCollection** p) override;
};

class RowAdapter final : public ElementAdapter<RowAdapter, IHTMLTableRowNotImpl> {
public:
    using ElementAdapter::ElementAdapter;
    void* FindInterface(REFIID riid);
    HRESULT STDMETHODCALLTYPE put_bgColor(VARIANT v) override;
    HRESULT STDMETHODCALLTYPE get_bgColor(VARIANT* p) override;
    HRESULT STDMETHODCALLTYPE get_rowIndex(LONG* p) override;
    HRESULT STDMETHODCALLTYPE get_sectionRowIndex(LONG* p) override;
    HRESULT STDMETHODCALLTYPE get_cells(IHTMLElementCollection** p) override;
    HRESULT STDMETHODCALLTYPE insertCell(LONG index, IDispatch** cell) override;
    HRESULT STDMETHODCALLTYPE deleteCell(LONG index) override;
};

class CellAdapter final : public ElementAdapter<CellAdapter, IHTMLTableCellNotImpl> {
public:
    using ElementAdapter::ElementAdapter;
    void* FindInterface(REFIID riid);
    HRESULT STDMETHODCALLTYPE put_rowSpan(LONG v) override;
    HRESULT STDMETHODCALLTYPE get_rowSpan(LONG* p) override;
    HRESULT STDMETHODCALLTYPE put_colSpan(LONG v) override;
    HRESULT STDMETHODCALLTYPE get_colSpan(LONG* p) override;
    HRESULT STDMETHODCALLTYPE put_bgColor(VARIANT v) override;
    HRESULT STDMETHODCALLTYPE get_bgColor(VARIANT* p) override;
    HRESULT STDMETHODCALLTYPE get_cellIndex(LONG* p) override;
};

class FormAdapter final : public ElementAdapter<FormAdapter, IHTMLFormElementNotImpl> {
public:
    using ElementAdapter::ElementAdapter;
    void* FindInterface(REFIID riid);
    HRESULT STDMETHODCALLTYPE get_name(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_elements(IDispatch** p) override;
    HRESULT STDMETHODCALLTYPE get_length(LONG* p) override;
    HRESULT STDMETHODCALLTYPE item(VARIANT name, VARIANT index, IDispatch** result) override;
};

class InputAdapter final : public ElementAdapter<InputAdapter, IHTMLInputElementNotImpl, IHTMLOptionButtonElementNotImpl> {
public:
    using ElementAdapter::ElementAdapter;
    void* FindInterface(REFIID riid);
    HRESULT STDMETHODCALLTYPE get_type(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_value(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_value(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_name(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_name(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_checked(VARIANT_BOOL v) override;
    HRESULT STDMETHODCALLTYPE get_checked(VARIANT_BOOL* p) override;
    // Members both input interfaces declare, not used by the system.
    HRESULT STDMETHODCALLTYPE put_defaultChecked(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_defaultChecked(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_onchange(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_onchange(VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_disabled(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_disabled(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_status(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_status(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_indeterminate(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_indeterminate(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_form(IHTMLFormElement**) override { return E_NOTIMPL; }
};

class TextAreaAdapter final : public ElementAdapter<TextAreaAdapter, IHTMLTextAreaElementNotImpl> {
public:
    using ElementAdapter::ElementAdapter;
    void* FindInterface(REFIID riid);
    HRESULT STDMETHODCALLTYPE get_type(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_value(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_value(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_name(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_name(BSTR* p) override;
};

class SelectAdapter final : public ElementAdapter<SelectAdapter, IHTMLSelectElementNotImpl> {
public:
    using ElementAdapter::ElementAdapter;
    void* FindInterface(REFIID riid);
    HRESULT STDMETHODCALLTYPE get_type(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_name(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_name(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_selectedIndex(LONG v) override;
    HRESULT STDMETHODCALLTYPE get_selectedIndex(LONG* p) override;
    HRESULT STDMETHODCALLTYPE put_length(LONG v) override;
    HRESULT STDMETHODCALLTYPE get_length(LONG* p) override;
    HRESULT STDMETHODCALLTYPE get_value(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE item(VARIANT name, VARIANT index, IDispatch** result) override;
    HRESULT STDMETHODCALLTYPE get_options(IDispatch** p) override;
};

class OptionAdapter final : public ElementAdapter<OptionAdapter, IHTMLOptionElementNotImpl> {
public:
    using ElementAdapter::ElementAdapter;
    void* FindInterface(REFIID riid);
    HRESULT STDMETHODCALLTYPE put_selected(VARIANT_BOOL v) override;
    HRESULT STDMETHODCALLTYPE get_selected(VARIANT_BOOL* p) override;
    HRESULT STDMETHODCALLTYPE put_value(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_value(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_text(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_text(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_index(LONG* p) override;
};

class BodyAdapter final : public ElementAdapter<BodyAdapter, IHTMLBodyElementNotImpl> {
public:
    using ElementAdapter::ElementAdapter;
    void* FindInterface(REFIID riid);
    HRESULT STDMETHODCALLTYPE createControlRange(IDispatch** range) override;
    // The page's own client and scroll sizes, and its scroll position.
    HRESULT STDMETHODCALLTYPE get_clientHeight(LONG* p) override { return GetBodyMetric(m_state, BodyMetric::ClientHeight, p); }
    HRESULT STDMETHODCALLTYPE get_clientWidth(LONG* p) override { return GetBodyMetric(m_state, BodyMetric::ClientWidth, p); }
    HRESULT STDMETHODCALLTYPE get_scrollHeight(LONG* p) override { return GetBodyMetric(m_state, BodyMetric::ScrollHeight, p); }
    HRESULT STDMETHODCALLTYPE get_scrollWidth(LONG* p) override { return GetBodyMetric(m_state, BodyMetric::ScrollWidth, p); }
    HRESULT STDMETHODCALLTYPE get_scrollTop(LONG* p) override { return GetBodyMetric(m_state, BodyMetric::ScrollTop, p); }
    HRESULT STDMETHODCALLTYPE get_scrollLeft(LONG* p) override { return GetBodyMetric(m_state, BodyMetric::ScrollLeft, p); }
    HRESULT STDMETHODCALLTYPE put_scrollTop(LONG v) override { return PutBodyScroll(m_state, BodyMetric::ScrollTop, v); }
    HRESULT STDMETHODCALLTYPE put_scrollLeft(LONG v) override { return PutBodyScroll(m_state, BodyMetric::ScrollLeft, v); }
    HRESULT STDMETHODCALLTYPE createTextRange(IHTMLTxtRange** range) override;
    HRESULT STDMETHODCALLTYPE put_bgColor(VARIANT v) override;
    HRESULT STDMETHODCALLTYPE get_bgColor(VARIANT* p) override;
};

}  // namespace com
