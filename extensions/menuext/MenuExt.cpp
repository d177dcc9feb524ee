#include "MenuExt.h"

#include "ClipCommandLine.h"
#include "InstallPath.h"
#include "PageCapture.h"
#include "com/BStr.h"
#include "core/MessageBox.h"

#include <servprov.h>
#include <shlguid.h>

const CLSID CLSID_MenuExtClass = {0xC70F0902, 0x53D1, 0x4AA2, {0x97, 0x60, 0xCA, 0xEC, 0x5C, 0xC1, 0x75, 0x57}};

CString CMenuExt::InstallPathOrTell() {
    InstallPathResult found = ReadInstallPath();
    if (found.status == InstallPathStatus::KeyMissing)
        ShowMessageBox(nullptr, L"Error, cannot open hKEY!", L"", MB_OK);
    else if (found.status == InstallPathStatus::ValueMissing)
        ShowMessageBox(nullptr, L"Error, cannot QUERY InstallPath!", L"", MB_OK);
    return found.path;
}

STDMETHODIMP CMenuExt::AddItem(IDispatch* window) {
    try {
        if (!window) return S_OK;
        ComPtr<IServiceProvider> services = ComPtr<IDispatch>(window).As<IServiceProvider>();
        ComPtr<IWebBrowser2> browser;
        if (!services || FAILED(services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2, browser.ReceiveVoid())) ||
            !browser)
            return S_OK;
        m_browser = browser;
        CString installPath = InstallPathOrTell();
        ShellProgramStarter starter;
        CapturePage(m_browser.Get(), BrowserDocument(m_browser.Get()).Get(), installPath, starter);
    } catch (...) {
        // Nothing crosses the COM boundary; the clip is simply not sent.
    }
    return S_OK;
}

STDMETHODIMP CMenuExt::AddLink(BSTR url, BSTR name) {
    try {
        CString installPath = InstallPathOrTell();
        ShellProgramStarter starter;
        CString urlText = url ? CString(url, static_cast<int>(SysStringLen(url))) : CString();
        CString nameText = name ? CString(name, static_cast<int>(SysStringLen(name))) : CString();
        StartTarvelo(starter, installPath, LinkClip(urlText, nameText, FormFlag::Empty));
    } catch (...) {
    }
    return S_OK;
}

void* CMenuExt::QueryBaseInterface(REFIID iid) {
    if (iid == IID_IDispatch) return static_cast<IDispatch*>(static_cast<IMenuExt*>(this));
    if (iid == IID_IPersist) return static_cast<IPersist*>(static_cast<IPersistStreamInit*>(this));
    if (iid == IID_IViewObject) return static_cast<IViewObject*>(this);
    if (iid == IID_IOleWindow) return static_cast<IOleWindow*>(this);
    return nullptr;
}

STDMETHODIMP CMenuExt::GetClassInfo(ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(ComModule::Path(), REGKIND_NONE, library.Receive());
    if (FAILED(hr)) return hr;
    return library->GetTypeInfoOfGuid(CLSID_MenuExtClass, info);
}
