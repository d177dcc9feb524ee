#include "com/DocumentFactory.h"

#include "com/DocumentAdapter.h"

namespace com {

HRESULT CreateDocumentObject(const StatePtr& state, REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!state) return E_INVALIDARG;
    if (state->documentAdapter) return state->documentAdapter->QueryInterface(riid, out);
    auto* document = CreateComObject<DocumentAdapter>(state);
    HRESULT hr = document->QueryInterface(riid, out);
    document->Release();
    return hr;
}

}  // namespace com
