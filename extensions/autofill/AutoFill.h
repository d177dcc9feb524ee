// CAutoFill: the browser helper object. The browser creates one per browser
// window and hands it its site; the object listens to the browser's events
// and, whenever a document finishes loading, fills the page's web forms from
// the form record kept for the page's address, when there is one.
#pragma once
#include "TQIEMenuExt.h"
#include "com/ComObject.h"
#include "com/ComPtr.h"

#include <docobj.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <ocidl.h>

extern const CLSID CLSID_AutoFillClass;

class CAutoFill : public ComObject<CAutoFill, IObjectWithSite, IAutoFill, IOleCommandTarget, IProvideClassInfo> {
public:
    ~CAutoFill() override;

    // IObjectWithSite
    STDMETHODIMP SetSite(IUnknown* site) override;
    STDMETHODIMP GetSite(REFIID iid, void** out) override;

    // IDispatch: the sink of the browser's DWebBrowserEvents2
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                        UINT* badArgument) override;

    // IOleCommandTarget
    STDMETHODIMP QueryStatus(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT* text) override;
    STDMETHODIMP Exec(const GUID* group, DWORD command, DWORD options, VARIANT* in, VARIANT* out) override;

    // IProvideClassInfo
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override;

protected:
    void* QueryBaseInterface(REFIID iid) override {
        return iid == IID_IDispatch ? static_cast<IDispatch*>(static_cast<IAutoFill*>(this)) : nullptr;
    }

private:
    void ConnectEvents();
    void DisconnectEvents();
    void OnNavigateComplete(IUnknown* frame);
    void OnDocumentComplete(IUnknown* frame);
    void KeepDocumentHost();
    void FillFromRecord();

    ComPtr<IWebBrowser2> m_browser;
    ComPtr<IConnectionPoint> m_events;  // where the sink is connected, while it is
    DWORD m_cookie = 0;
    ComPtr<IUnknown> m_topFrame;        // from the first NavigateComplete2 until its DocumentComplete
    ComPtr<IDocHostUIHandler> m_uiHandler;
    ComPtr<IOleCommandTarget> m_commandTarget;
};
