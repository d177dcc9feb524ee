// Element collections (all, forms, rows, cells, getElementsByTagName,
// children) and child-node lists. A collection holds the nodes it found when
// it was made.
#pragma once
#include "com/EngineComObject.h"
#include "com/DocumentState.h"
#include "com/NotImplemented.h"

#include <vector>

namespace com {

class ElementCollection final : public EngineComObject<ElementCollection, IHTMLElementCollectionNotImpl> {
public:
    ElementCollection(StatePtr state, std::vector<dom::NodePtr> nodes) : m_state(std::move(state)), m_nodes(std::move(nodes)) {}
    void* FindInterface(REFIID riid);
    HRESULT STDMETHODCALLTYPE get_length(LONG* p) override;
    HRESULT STDMETHODCALLTYPE item(VARIANT name, VARIANT index, IDispatch** result) override;
    HRESULT STDMETHODCALLTYPE tags(VARIANT tagName, IDispatch** result) override;

private:
    StatePtr m_state;
    std::vector<dom::NodePtr> m_nodes;
};

class ChildNodeList final : public EngineComObject<ChildNodeList, IHTMLDOMChildrenCollectionNotImpl> {
public:
    ChildNodeList(StatePtr state, std::vector<dom::NodePtr> nodes) : m_state(std::move(state)), m_nodes(std::move(nodes)) {}
    void* FindInterface(REFIID riid);
    HRESULT STDMETHODCALLTYPE get_length(LONG* p) override;
    HRESULT STDMETHODCALLTYPE item(LONG index, IDispatch** result) override;

private:
    StatePtr m_state;
    std::vector<dom::NodePtr> m_nodes;
};

// The elements below root (not root itself) in document order whose tag
// equals tag (any case); "*" or an empty tag takes all.
std::vector<dom::NodePtr> FindElements(dom::Node& root, const CString& tag);
// The controls of a form: INPUT, SELECT, TEXTAREA, BUTTON below it.
std::vector<dom::NodePtr> FormControls(dom::Node& form);

template <typename I>
HRESULT ReturnCollection(const StatePtr& state, std::vector<dom::NodePtr> nodes, I** out) {
    if (!out) return E_POINTER;
    auto* collection = CreateComObject<ElementCollection>(state, std::move(nodes));
    HRESULT hr = collection->QueryInterface(__uuidof(I), reinterpret_cast<void**>(out));
    collection->Release();
    return hr;
}

}  // namespace com
