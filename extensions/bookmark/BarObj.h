// CBarObj: the command object that the browser runs when the user clicks the
// toolbar button or the Tools-menu item "Add to Tarvelo". The browser hands it
// its site; Exec captures the current page like the context-menu item does.
#pragma once
#include "com/ComObject.h"
#include "com/ComPtr.h"

#include <docobj.h>
#include <exdisp.h>
#include <ocidl.h>

extern const CLSID CLSID_BarObjClass;

class CBarObj : public ComObject<CBarObj, IObjectWithSite, IOleCommandTarget> {
public:
    // IObjectWithSite
    STDMETHODIMP SetSite(IUnknown* site) override;
    STDMETHODIMP GetSite(REFIID iid, void** out) override;

    // IOleCommandTarget
    STDMETHODIMP QueryStatus(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT* text) override;
    STDMETHODIMP Exec(const GUID* group, DWORD command, DWORD options, VARIANT* in, VARIANT* out) override;

private:
    ComPtr<IUnknown> m_site;
    ComPtr<IWebBrowser2> m_browser;
};
