// The browser object behind CreateBrowserWindow: IWebBrowser2 over one
// document state, the connection point of DWebBrowserEvents2, and the three
// windows. The innermost window's behaviour lives in PageWindow.
#pragma once
#include "browser/BrowserNotImplemented.h"
#include "com/DocumentState.h"
#include "com/EngineComObject.h"

#include <ocidl.h>

#include <vector>

namespace browser {

class PageWindow;

class Browser final : public EngineComObject<Browser, IWebBrowser2NotImpl, IConnectionPointContainer, IConnectionPoint> {
public:
    Browser(HWND parent, const RECT& rect, IUnknown* host);
    void* FindInterface(REFIID riid);
    bool Created() const { return m_embedding != nullptr; }

    // IWebBrowser2
    HRESULT STDMETHODCALLTYPE Navigate(BSTR url, VARIANT* flags, VARIANT* frame, VARIANT* postData, VARIANT* headers) override;
    HRESULT STDMETHODCALLTYPE Navigate2(VARIANT* url, VARIANT* flags, VARIANT* frame, VARIANT* postData, VARIANT* headers) override;
    HRESULT STDMETHODCALLTYPE get_Document(IDispatch** p) override;
    HRESULT STDMETHODCALLTYPE get_LocationURL(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_LocationName(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_Busy(VARIANT_BOOL* p) override;
    HRESULT STDMETHODCALLTYPE get_ReadyState(READYSTATE* p) override;
    HRESULT STDMETHODCALLTYPE get_HWND(SHANDLE_PTR* p) override;
    HRESULT STDMETHODCALLTYPE ExecWB(OLECMDID id, OLECMDEXECOPT option, VARIANT* in, VARIANT* out) override;
    HRESULT STDMETHODCALLTYPE QueryStatusWB(OLECMDID id, OLECMDF* status) override;
    HRESULT STDMETHODCALLTYPE Refresh() override;
    HRESULT STDMETHODCALLTYPE Refresh2(VARIANT* level) override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Quit() override;

    // IConnectionPointContainer
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** out) override;
    // IConnectionPoint (DWebBrowserEvents2)
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

    // Called by the windows.
    void OnNavigated();           // fires NavigateComplete2, then DocumentComplete
    bool BeforeNavigate(const CString& address);  // true when the host cancels
    IUnknown* Host() const { return m_host; }
    const CString& Address() const { return m_address; }
    const com::StatePtr& State() const { return m_state; }
    void OnWindowsDestroyed();

    ~Browser() override;

private:
    HRESULT Load(const CString& address);
    void Fire(DISPID id, const CString& address, VARIANT_BOOL* cancel);

    com::StatePtr m_state = std::make_shared<com::DocumentState>();
    IUnknown* m_host;  // not held
    HWND m_embedding = nullptr;
    HWND m_docView = nullptr;
    PageWindow* m_page = nullptr;  // owned by its window
    CString m_address;
    bool m_busy = false;
    struct Sink {
        DWORD cookie;
        IDispatch* dispatch;
    };
    std::vector<Sink> m_sinks;
    DWORD m_nextCookie = 1;
};

}  // namespace browser
