#include "AutoFill.h"

#include "FormFiller.h"
#include "InstallPath.h"
#include "com/BStr.h"
#include "com/ComModule.h"
#include "core/MessageBox.h"
#include "forms/FormRecordName.h"

#include <exdispid.h>

const CLSID CLSID_AutoFillClass = {0x86427792, 0xEC3D, 0x4717, {0xAA, 0x35, 0x0A, 0x05, 0xEE, 0xA7, 0x69, 0xA6}};

namespace {

// The event's first argument (DISPPARAMS hold them last to first).
IUnknown* FrameArgument(const DISPPARAMS* params) {
    if (params->cArgs == 0 || !params->rgvarg) return nullptr;
    const VARIANT& first = params->rgvarg[params->cArgs - 1];
    if (first.vt == VT_DISPATCH) return first.pdispVal;
    if (first.vt == VT_UNKNOWN) return first.punkVal;
    if (first.vt == (VT_DISPATCH | VT_BYREF) && first.ppdispVal) return *first.ppdispVal;
    return nullptr;
}

ComPtr<IOleClientSite> ClientSiteOf(IHTMLDocument2* document) {
    ComPtr<IOleClientSite> site;
    if (auto object = ComPtr<IHTMLDocument2>(document).As<IOleObject>()) object->GetClientSite(site.Receive());
    return site;
}

ComPtr<IHTMLDocument2> DocumentOf(IWebBrowser2* browser) {
    ComPtr<IDispatch> document;
    if (!browser || FAILED(browser->get_Document(document.Receive())) || !document) return nullptr;
    return document.As<IHTMLDocument2>();
}

// The install path, or empty after telling the user what is missing.
CString InstallPathOrTell() {
    InstallPathResult found = ReadInstallPath();
    if (found.status == InstallPathStatus::KeyMissing)
        ShowMessageBox(nullptr, L"Error, cannot open hKEY!", L"Error", MB_OK);
    else if (found.status == InstallPathStatus::ValueMissing)
        ShowMessageBox(nullptr, L"Error, cannot QUERY InstallPath!", L"Error", MB_OK);
    return found.path;
}

}  // namespace

CAutoFill::~CAutoFill() { DisconnectEvents(); }

STDMETHODIMP CAutoFill::SetSite(IUnknown* site) {
    try {
        if (!site) {
            DisconnectEvents();
            m_browser = nullptr;
            m_topFrame = nullptr;
            m_uiHandler = nullptr;
            m_commandTarget = nullptr;
            return S_OK;
        }
        ComPtr<IWebBrowser2> browser = ComPtr<IUnknown>(site).As<IWebBrowser2>();
        if (!browser || SameComObject(browser.Get(), m_browser.Get())) return S_OK;
        DisconnectEvents();
        m_browser = browser;
        ConnectEvents();
    } catch (...) {
    }
    return S_OK;
}

STDMETHODIMP CAutoFill::GetSite(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!m_browser) return E_FAIL;
    return m_browser->QueryInterface(iid, out);
}

void CAutoFill::ConnectEvents() {
    auto container = m_browser.As<IConnectionPointContainer>();
    ComPtr<IConnectionPoint> point;
    if (!container || FAILED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.Receive())) || !point) return;
    DWORD cookie = 0;
    if (FAILED(point->Advise(static_cast<IDispatch*>(static_cast<IAutoFill*>(this)), &cookie))) return;
    m_events = point;
    m_cookie = cookie;
}

void CAutoFill::DisconnectEvents() {
    if (!m_events) return;
    ComPtr<IConnectionPoint> point = std::move(m_events);
    m_events = nullptr;
    point->Unadvise(m_cookie);
    m_cookie = 0;
}

STDMETHODIMP CAutoFill::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP CAutoFill::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CAutoFill::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP CAutoFill::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
    if (!params) return E_INVALIDARG;
    try {
        if (id == DISPID_NAVIGATECOMPLETE2) OnNavigateComplete(FrameArgument(params));
        else if (id == DISPID_DOCUMENTCOMPLETE) OnDocumentComplete(FrameArgument(params));
    } catch (...) {
        // Nothing crosses the COM boundary; the page stays as it is.
    }
    return S_OK;
}

void CAutoFill::OnNavigateComplete(IUnknown* frame) {
    if (!m_topFrame && frame) m_topFrame = ComPtr<IUnknown>(frame);
}

void CAutoFill::OnDocumentComplete(IUnknown* frame) {
    if (m_topFrame && SameComObject(m_topFrame.Get(), frame)) {
        m_topFrame = nullptr;
        KeepDocumentHost();
    }
    FillFromRecord();
}

void CAutoFill::KeepDocumentHost() {
    ComPtr<IOleClientSite> site = ClientSiteOf(DocumentOf(m_browser.Get()).Get());
    if (!site) return;
    if (auto handler = site.As<IDocHostUIHandler>()) m_uiHandler = handler;
    if (auto target = site.As<IOleCommandTarget>()) m_commandTarget = target;
}

// The fill attempt of every completed document, top or frame: always from the
// browser's top-level address.
void CAutoFill::FillFromRecord() {
    if (!m_browser) return;
    BStr address;
    if (FAILED(m_browser->get_LocationURL(address.Receive()))) return;
    CString installPath = InstallPathOrTell();
    if (installPath.IsEmpty()) return;  // never look for records from the drive's root
    CString path = installPath + L"\\Bookmark\\Forms\\" + FormRecordFileName(address.Text());
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return;
    ComPtr<IHTMLDocument2> document = DocumentOf(m_browser.Get());
    if (!document) return;
    if (ComPtr<IOleClientSite> site = ClientSiteOf(document.Get()))
        if (auto target = site.As<IOleCommandTarget>()) m_commandTarget = target;
    LoadFormRecords(document.Get(), path);
}

STDMETHODIMP CAutoFill::QueryStatus(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT* text) {
    if (!m_commandTarget) return OLECMDERR_E_NOTSUPPORTED;
    return m_commandTarget->QueryStatus(group, count, commands, text);
}

STDMETHODIMP CAutoFill::Exec(const GUID* group, DWORD command, DWORD options, VARIANT* in, VARIANT* out) {
    if (command == OLECMDID_SHOWSCRIPTERROR) {
        // Scripts go on running.
        if (out) {
            VariantClear(out);
            out->vt = VT_BOOL;
            out->boolVal = VARIANT_TRUE;
        }
        return S_OK;
    }
    if (!m_commandTarget) return OLECMDERR_E_NOTSUPPORTED;
    return m_commandTarget->Exec(group, command, options, in, out);
}

STDMETHODIMP CAutoFill::GetClassInfo(ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(ComModule::Path(), REGKIND_NONE, library.Receive());
    if (FAILED(hr)) return hr;
    return library->GetTypeInfoOfGuid(CLSID_AutoFillClass, info);
}
