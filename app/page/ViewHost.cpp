#include "page/ViewHost.h"

#include "com/ComObject.h"
#include "page/TarveloView.h"

#include <mshtmhst.h>

namespace {

// Answers the engine's questions: only the context menu is the view's; for
// everything else the engine keeps its own behaviour.
class ViewHost final : public ComObject<ViewHost, IDocHostUIHandler> {
public:
    explicit ViewHost(CTarveloView& view) : m_view(view) {}

    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD, POINT* point, IUnknown*, IDispatch*) override {
        POINT at{};
        if (point) at = *point;
        m_view.OnShowContextMenu(at);
        return S_OK;  // the engine shows no menu of its own
    }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                                     IOleInPlaceUIWindow*) override {
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE HideUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UpdateUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    // The view filters keys through its subclass of the engine's window.
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD) override {
        if (key) *key = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget** target) override {
        if (target) *target = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override {
        if (external) *external = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject** out) override {
        if (out) *out = nullptr;
        return S_FALSE;
    }

private:
    CTarveloView& m_view;
};

} // namespace

ComPtr<IUnknown> CreateViewHost(CTarveloView& view) {
    return ComPtr<IUnknown>::Attach(static_cast<IDocHostUIHandler*>(ViewHost::Create(view)));
}
