// The document object: IHTMLDocument2 and IHTMLDocument3 over the tree,
// IPersistStreamInit to load a page from a stream (and write it back), and
// IOleCommandTarget for the editing commands (group CGID_MSHTML) that work
// on the selection without a window.
#pragma once
#include "com/EngineComObject.h"
#include "com/DocumentState.h"
#include "com/Geometry.h"
#include "com/NotImplemented.h"

#include <docobj.h>
#include <ocidl.h>

namespace com {

class DocumentAdapter final
    : public EngineComObject<DocumentAdapter, IHTMLDocument2NotImpl, IHTMLDocument3NotImpl, IPersistStreamInit, IOleCommandTarget, IEngineNode> {
public:
    explicit DocumentAdapter(StatePtr state) : m_state(std::move(state)) { m_state->documentAdapter = static_cast<IHTMLDocument2*>(this); }
    ~DocumentAdapter() override { m_state->documentAdapter = nullptr; }
    void* FindInterface(REFIID riid);
    dom::Node* STDMETHODCALLTYPE EngineNode() override { return m_state->document.get(); }

    // IHTMLDocument2
    HRESULT STDMETHODCALLTYPE get_all(IHTMLElementCollection** p) override;
    HRESULT STDMETHODCALLTYPE get_body(IHTMLElement** p) override;
    HRESULT STDMETHODCALLTYPE get_forms(IHTMLElementCollection** p) override;
    HRESULT STDMETHODCALLTYPE get_title(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_designMode(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_designMode(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_selection(IHTMLSelectionObject** p) override;
    HRESULT STDMETHODCALLTYPE get_readyState(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE write(SAFEARRAY* psarray) override;
    HRESULT STDMETHODCALLTYPE writeln(SAFEARRAY* psarray) override;
    HRESULT STDMETHODCALLTYPE close() override;
    HRESULT STDMETHODCALLTYPE createElement(BSTR eTag, IHTMLElement** newElem) override;
    HRESULT STDMETHODCALLTYPE get_styleSheets(IHTMLStyleSheetsCollection** p) override;
    HRESULT STDMETHODCALLTYPE elementFromPoint(LONG x, LONG y, IHTMLElement** p) override { return GetElementFromPoint(m_state, x, y, p); }

    // IHTMLDocument3
    HRESULT STDMETHODCALLTYPE get_documentElement(IHTMLElement** p) override;
    HRESULT STDMETHODCALLTYPE getElementById(BSTR v, IHTMLElement** pel) override;
    HRESULT STDMETHODCALLTYPE getElementsByTagName(BSTR v, IHTMLElementCollection** pelColl) override;
    HRESULT STDMETHODCALLTYPE getElementsByName(BSTR v, IHTMLElementCollection** pelColl) override;

    // IPersistStreamInit
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* classId) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override { return m_state->IsDirty() ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitNew() override;

    // IOleCommandTarget
    HRESULT STDMETHODCALLTYPE QueryStatus(const GUID* group, ULONG count, OLECMD commands[], OLECMDTEXT* text) override;
    HRESULT STDMETHODCALLTYPE Exec(const GUID* group, DWORD id, DWORD options, VARIANT* in, VARIANT* out) override;

private:
    HRESULT WriteArray(SAFEARRAY* array, const wchar_t* lineEnd);
    StatePtr m_state;
};

// A document object over the state (a new object; the tree is shared).
ComPtr<IHTMLDocument2> DocumentOf(const StatePtr& state);

}  // namespace com
