#include "browser/Browser.h"

#include "browser/BrowserWindow.h"
#include "browser/PageSource.h"
#include "browser/PageWindow.h"
#include "browser/PictureFiles.h"
#include "browser/Printing.h"
#include "com/ComPtr.h"
#include "com/DocumentFactory.h"
#include "html/Parser.h"

#include <exdispid.h>
#include <olectl.h>

namespace browser {

namespace {

// The two outer windows only keep their one child the size of their client area.
LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        if (HWND child = GetWindow(hwnd, GW_CHILD)) MoveWindow(child, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        if (auto* browser = reinterpret_cast<Browser*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) browser->OnWindowsDestroyed();
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void RegisterFrameClass(const wchar_t* name) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

CString AddressOf(const VARIANT* url) {
    if (!url) return CString();
    if (url->vt == VT_BSTR) return url->bstrVal ? CString(url->bstrVal) : CString();
    if (url->vt == (VT_BSTR | VT_BYREF) && url->pbstrVal && *url->pbstrVal) return CString(*url->pbstrVal);
    if (url->vt == (VT_VARIANT | VT_BYREF) && url->pvarVal) return AddressOf(url->pvarVal);
    return CString();
}

}  // namespace

Browser::Browser(HWND parent, const RECT& rect, IUnknown* host) : m_host(host) {
    static const bool registered = [] {
        RegisterFrameClass(L"Shell Embedding");
        RegisterFrameClass(L"Shell DocObject View");
        return true;
    }();
    (void)registered;
    html::ParseDocument(*m_state->document, L"<HTML><HEAD></HEAD><BODY></BODY></HTML>");
    m_address = L"about:blank";
    HINSTANCE instance = GetModuleHandleW(nullptr);
    m_embedding = CreateWindowExW(0, L"Shell Embedding", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, instance, nullptr);
    if (!m_embedding) return;
    RECT client{};
    GetClientRect(m_embedding, &client);
    m_docView = CreateWindowExW(0, L"Shell DocObject View", L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, client.right,
                                client.bottom, m_embedding, nullptr, instance, nullptr);
    if (m_docView) m_page = PageWindow::Create(m_docView, *this);
    if (!m_page) {
        DestroyWindow(m_embedding);
        m_embedding = nullptr;
        return;
    }
    // The windows hold the browser until they are destroyed.
    AddRef();
    SetWindowLongPtrW(m_embedding, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Browser::~Browser() {
    for (auto& sink : m_sinks) sink.dispatch->Release();
}

void Browser::OnWindowsDestroyed() {
    SetWindowLongPtrW(m_embedding, GWLP_USERDATA, 0);
    m_embedding = m_docView = nullptr;
    m_page = nullptr;
    Release();
}

void* Browser::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IWebBrowser2 || riid == IID_IWebBrowserApp ||
        riid == IID_IWebBrowser)
        return static_cast<IWebBrowser2*>(this);
    if (riid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
    if (riid == IID_IConnectionPoint) return static_cast<IConnectionPoint*>(this);
    return nullptr;
}

HRESULT Browser::Load(const CString& address) {
    CString text;
    HRESULT hr = ReadPage(address, text);
    if (FAILED(hr)) return hr;
    m_address = address.IsEmpty() ? CString(L"about:blank") : address;
    CString folder = PageFolder(m_address);
    auto view = m_state->view;
    // One cache per document loaded: its pictures are decoded once, not at every layout.
    auto pictures = std::make_shared<PictureCache>();
    if (view)
        view->SetPictureLoader([folder, pictures](const CString& source) { return pictures->Load(LocalFilePath(folder, source)); });
    m_state->selection = editing::Selection();
    m_state->designMode = false;
    html::ParseDocument(*m_state->document, text);
    m_state->MarkClean();
    if (m_page) {
        m_page->ScrollTo(0, 0);
        m_page->UpdateScrollBars();
        InvalidateRect(m_page->Handle(), nullptr, FALSE);
    }
    m_busy = true;
    if (m_page) PostMessageW(m_page->Handle(), kMessageNavigated, 0, 0);
    else OnNavigated();
    return S_OK;
}

HRESULT Browser::Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    return Load(url ? CString(url) : CString());
}

HRESULT Browser::Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    if (!url) return E_INVALIDARG;
    return Load(AddressOf(url));
}

HRESULT Browser::get_Document(IDispatch** p) {
    if (!p) return E_POINTER;
    return com::CreateDocumentObject(m_state, IID_IDispatch, reinterpret_cast<void**>(p));
}

HRESULT Browser::get_LocationURL(BSTR* p) {
    if (!p) return E_POINTER;
    *p = SysAllocString(m_address);
    return S_OK;
}

HRESULT Browser::get_LocationName(BSTR* p) {
    if (!p) return E_POINTER;
    CString path = PathOfAddress(m_address);
    int slash = std::max(path.ReverseFind(L'\\'), path.ReverseFind(L'/'));
    *p = SysAllocString(path.Mid(slash + 1));
    return S_OK;
}

HRESULT Browser::get_Busy(VARIANT_BOOL* p) {
    if (!p) return E_POINTER;
    *p = m_busy ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT Browser::get_ReadyState(READYSTATE* p) {
    if (!p) return E_POINTER;
    *p = m_busy ? READYSTATE_INTERACTIVE : READYSTATE_COMPLETE;
    return S_OK;
}

HRESULT Browser::get_HWND(SHANDLE_PTR* p) {
    if (!p) return E_POINTER;
    *p = reinterpret_cast<SHANDLE_PTR>(m_embedding);
    return S_OK;
}

HRESULT Browser::ExecWB(OLECMDID id, OLECMDEXECOPT option, VARIANT*, VARIANT*) {
    if (id == OLECMDID_PRINT) return PrintWithDialog(m_embedding, *m_state->document, option != OLECMDEXECOPT_DONTPROMPTUSER);
    if (id == OLECMDID_REFRESH) return Refresh();
    if (id == OLECMDID_STOP) return Stop();
    return OLECMDERR_E_NOTSUPPORTED;
}

HRESULT Browser::QueryStatusWB(OLECMDID id, OLECMDF* status) {
    if (!status) return E_POINTER;
    *status = id == OLECMDID_PRINT || id == OLECMDID_REFRESH || id == OLECMDID_STOP
                  ? static_cast<OLECMDF>(OLECMDF_SUPPORTED | OLECMDF_ENABLED) : static_cast<OLECMDF>(0);
    return S_OK;
}

HRESULT Browser::Refresh() { return Load(m_address); }
HRESULT Browser::Refresh2(VARIANT*) { return Refresh(); }
HRESULT Browser::Stop() { return S_OK; }

HRESULT Browser::Quit() {
    if (m_embedding) DestroyWindow(m_embedding);
    return S_OK;
}

// Events ------------------------------------------------------------------------

void Browser::Fire(DISPID id, const CString& address, VARIANT_BOOL* cancel) {
    auto sinks = m_sinks;  // a sink may unadvise while it is called
    for (auto& sink : sinks) sink.dispatch->AddRef();
    for (auto& sink : sinks) {
        VARIANT url;
        VariantInit(&url);
        url.vt = VT_BSTR;
        url.bstrVal = SysAllocString(address);
        VARIANT urlRef;
        urlRef.vt = VT_VARIANT | VT_BYREF;
        urlRef.pvarVal = &url;
        VARIANT args[7];
        for (auto& a : args) VariantInit(&a);
        UINT count = 2;
        // Arguments go in reverse order: the last parameter first.
        if (id == DISPID_BEFORENAVIGATE2) {
            static VARIANT empty;  // flags, frame, post data and headers: empty
            VariantInit(&empty);
            args[0].vt = VT_BOOL | VT_BYREF;
            args[0].pboolVal = cancel;
            for (int i = 1; i <= 4; ++i) args[i].vt = VT_VARIANT | VT_BYREF, args[i].pvarVal = &empty;
            args[5] = urlRef;
            args[6].vt = VT_DISPATCH;
            args[6].pdispVal = static_cast<IWebBrowser2*>(this);
            count = 7;
        } else {
            args[0] = urlRef;
            args[1].vt = VT_DISPATCH;
            args[1].pdispVal = static_cast<IWebBrowser2*>(this);
        }
        DISPPARAMS params{args, nullptr, count, 0};
        sink.dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        VariantClear(&url);
    }
    for (auto& sink : sinks) sink.dispatch->Release();
}

void Browser::OnNavigated() {
    if (!m_busy) return;
    AddRef();
    Fire(DISPID_NAVIGATECOMPLETE2, m_address, nullptr);
    Fire(DISPID_DOCUMENTCOMPLETE, m_address, nullptr);
    m_busy = false;
    Release();
}

bool Browser::BeforeNavigate(const CString& address) {
    VARIANT_BOOL cancel = VARIANT_FALSE;
    Fire(DISPID_BEFORENAVIGATE2, address, &cancel);
    return cancel != VARIANT_FALSE;
}

HRESULT Browser::EnumConnectionPoints(IEnumConnectionPoints**) { return E_NOTIMPL; }

HRESULT Browser::FindConnectionPoint(REFIID riid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid != DIID_DWebBrowserEvents2) return CONNECT_E_NOCONNECTION;
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

HRESULT Browser::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = DIID_DWebBrowserEvents2;
    return S_OK;
}

HRESULT Browser::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = static_cast<IConnectionPointContainer*>(this);
    AddRef();
    return S_OK;
}

HRESULT Browser::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    IDispatch* dispatch = nullptr;
    if (FAILED(sink->QueryInterface(DIID_DWebBrowserEvents2, reinterpret_cast<void**>(&dispatch))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
        return CONNECT_E_CANNOTCONNECT;
    *cookie = m_nextCookie++;
    m_sinks.push_back({*cookie, dispatch});
    return S_OK;
}

HRESULT Browser::Unadvise(DWORD cookie) {
    for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it)
        if (it->cookie == cookie) {
            it->dispatch->Release();
            m_sinks.erase(it);
            return S_OK;
        }
    return CONNECT_E_NOCONNECTION;
}

HRESULT Browser::EnumConnections(IEnumConnections**) { return E_NOTIMPL; }

}  // namespace browser

HRESULT CreateBrowserWindow(HWND parent, const RECT& rect, IUnknown* host, IWebBrowser2** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    auto* browser = CreateComObject<browser::Browser>(parent, rect, host);
    if (!browser->Created()) {
        browser->Release();
        return E_FAIL;
    }
    *out = browser;  // the reference made with it
    return S_OK;
}
