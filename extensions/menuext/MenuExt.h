// CMenuExt: the scriptable object that the browser's page context-menu script
// creates by its ProgID "TQMenuExt.MenuExt" and calls with the page's window.
// AddItem captures the page and its web forms and starts the main program.
#pragma once
#include "TQMenuExt.h"
#include "com/ComObject.h"
#include "com/ComPtr.h"
#include "com/TypeLibrary.h"

#include <exdisp.h>

extern const CLSID CLSID_MenuExtClass;

class CMenuExt : public ComObject<CMenuExt, IMenuExt, IProvideClassInfo, ISupportErrorInfo> {
public:
    CMenuExt() : m_dispatch(IID_IMenuExt) {}

    // IDispatch (the dual interface, through the type library)
    STDMETHODIMP GetTypeInfoCount(UINT* count) override { return m_dispatch.GetTypeInfoCount(count); }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override { return m_dispatch.GetTypeInfo(index, info); }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        return m_dispatch.GetIDsOfNames(names, count, ids);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                        UINT* badArgument) override {
        return m_dispatch.Invoke(static_cast<IMenuExt*>(this), id, flags, params, result, exception, badArgument);
    }

    // IMenuExt
    STDMETHODIMP AddItem(IDispatch* window) override;
    STDMETHODIMP AddLink(BSTR url, BSTR name) override;

    // IProvideClassInfo
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override;

    // ISupportErrorInfo
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override { return iid == IID_IMenuExt ? S_OK : S_FALSE; }

protected:
    void* QueryBaseInterface(REFIID iid) override {
        return iid == IID_IDispatch ? static_cast<IDispatch*>(static_cast<IMenuExt*>(this)) : nullptr;
    }

private:
    CString InstallPathOrTell();

    TypeInfoDispatch m_dispatch;
    ComPtr<IWebBrowser2> m_browser;
};
