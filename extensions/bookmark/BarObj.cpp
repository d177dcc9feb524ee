#include "BarObj.h"

#include "InstallPath.h"
#include "PageCapture.h"
#include "core/MessageBox.h"

#include <servprov.h>
#include <shlguid.h>

const CLSID CLSID_BarObjClass = {0xC53D4CFC, 0x4FC2, 0x4FD2, {0xBD, 0xEF, 0x39, 0x34, 0xB6, 0x67, 0x8B, 0x9D}};

namespace {

// The toolbar button says nothing about a missing settings key; a missing
// value gets its message box.
CString InstallPathOrTell() {
    InstallPathResult found = ReadInstallPath();
    if (found.status == InstallPathStatus::ValueMissing)
        ShowMessageBox(nullptr, L"Error, cannot QUERY InstallPath!", L"Error", MB_OK);
    return found.path;
}

}  // namespace

STDMETHODIMP CBarObj::SetSite(IUnknown* site) {
    if (!site) {
        m_site = nullptr;
        m_browser = nullptr;
        return S_OK;
    }
    ComPtr<IUnknown> kept(site);
    if (auto services = kept.As<IServiceProvider>()) {
        ComPtr<IWebBrowser2> browser;
        services->QueryService(SID_SWebBrowserApp, IID_IWebBrowser2, browser.ReceiveVoid());
        m_browser = browser;
    }
    m_site = kept;
    return S_OK;
}

STDMETHODIMP CBarObj::GetSite(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!m_site) return E_FAIL;
    return m_site->QueryInterface(iid, out);
}

STDMETHODIMP CBarObj::QueryStatus(const GUID*, ULONG count, OLECMD* commands, OLECMDTEXT*) {
    if (count == 0) return E_INVALIDARG;
    if (!commands) return E_POINTER;
    commands[0].cmdf = OLECMDF_ENABLED;
    return S_OK;
}

STDMETHODIMP CBarObj::Exec(const GUID*, DWORD, DWORD, VARIANT*, VARIANT*) {
    try {
        if (!m_site || !m_browser) return S_OK;
        ComPtr<IHTMLDocument2> document = BrowserDocument(m_browser.Get());
        if (!document) return S_OK;
        CString installPath = InstallPathOrTell();
        ShellProgramStarter starter;
        CapturePage(m_browser.Get(), document.Get(), installPath, starter);
    } catch (...) {
        // Nothing crosses the COM boundary; the clip is simply not sent.
    }
    return S_OK;
}
