// The control side of CMenuExt: what a container that embeds the object
// finds. The object has no window and no properties; it draws its face.
#include "MenuExt.h"

#include <cstddef>

namespace {

// Recompose on resize, can't link inside, inside-out, activate when visible,
// set client site first.
constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                              OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;
static_assert(kMiscStatus == 0x20191);

}  // namespace

void CMenuExt::DrawFace(HDC dc, const RECT& bounds) {
    HRGN previous = CreateRectRgn(0, 0, 0, 0);
    bool hadClip = GetClipRgn(dc, previous) == 1;
    HRGN clip = CreateRectRgnIndirect(&bounds);
    SelectClipRgn(dc, clip);
    Rectangle(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    UINT oldAlign = SetTextAlign(dc, TA_CENTER | TA_BASELINE);
    const wchar_t text[] = L"ATL 8.0 : MenuExt";
    TextOutW(dc, (bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2, text, static_cast<int>(wcslen(text)));
    SetTextAlign(dc, oldAlign);
    SelectClipRgn(dc, hadClip ? previous : nullptr);
    DeleteObject(clip);
    DeleteObject(previous);
}

STDMETHODIMP CMenuExt::SetClientSite(IOleClientSite* site) {
    m_clientSite = ComPtr<IOleClientSite>(site);
    return S_OK;
}

STDMETHODIMP CMenuExt::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = m_clientSite.Get();
    if (*site) (*site)->AddRef();
    return S_OK;
}

STDMETHODIMP CMenuExt::Close(DWORD) {
    if (m_adviseHolder) m_adviseHolder->SendOnClose();
    m_viewSink = nullptr;
    m_clientSite = nullptr;
    return S_OK;
}

STDMETHODIMP CMenuExt::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CMenuExt::GetClipboardData(DWORD, IDataObject** data) {
    if (data) *data = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CMenuExt::DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) {
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:
    case OLEIVERB_HIDE:
        return S_OK;  // nothing to show beyond the drawn face
    default:
        return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

STDMETHODIMP CMenuExt::EnumVerbs(IEnumOLEVERB** verbs) {
    if (!verbs) return E_POINTER;
    return OleRegEnumVerbs(CLSID_MenuExtClass, verbs);
}

STDMETHODIMP CMenuExt::GetUserClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_MenuExtClass;
    return S_OK;
}

STDMETHODIMP CMenuExt::GetUserType(DWORD form, LPOLESTR* type) {
    if (!type) return E_POINTER;
    return OleRegGetUserType(CLSID_MenuExtClass, form, type);
}

STDMETHODIMP CMenuExt::SetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    m_extent = *size;
    return S_OK;
}

STDMETHODIMP CMenuExt::GetExtent(DWORD aspect, SIZEL* size) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    *size = m_extent;
    return S_OK;
}

STDMETHODIMP CMenuExt::Advise(IAdviseSink* sink, DWORD* connection) {
    if (!m_adviseHolder) {
        HRESULT hr = CreateOleAdviseHolder(m_adviseHolder.Receive());
        if (FAILED(hr)) return hr;
    }
    return m_adviseHolder->Advise(sink, connection);
}

STDMETHODIMP CMenuExt::Unadvise(DWORD connection) {
    if (!m_adviseHolder) return OLE_E_NOCONNECTION;
    return m_adviseHolder->Unadvise(connection);
}

STDMETHODIMP CMenuExt::EnumAdvise(IEnumSTATDATA** advises) {
    if (!advises) return E_POINTER;
    *advises = nullptr;
    if (!m_adviseHolder) return S_OK;
    return m_adviseHolder->EnumAdvise(advises);
}

STDMETHODIMP CMenuExt::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = kMiscStatus;
    return S_OK;
}

STDMETHODIMP CMenuExt::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = nullptr;
    return E_FAIL;
}

STDMETHODIMP CMenuExt::SetObjectRects(LPCRECT position, LPCRECT) {
    if (!position) return E_POINTER;
    m_position = *position;
    return S_OK;
}

STDMETHODIMP CMenuExt::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC drawDC, LPCRECTL bounds, LPCRECTL,
                            BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!drawDC) return E_INVALIDARG;
    RECT rect = bounds ? RECT{bounds->left, bounds->top, bounds->right, bounds->bottom} : m_position;
    DrawFace(drawDC, rect);
    return S_OK;
}

STDMETHODIMP CMenuExt::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    m_viewAspects = aspects;
    m_viewFlags = flags;
    m_viewSink = ComPtr<IAdviseSink>(sink);
    return S_OK;
}

STDMETHODIMP CMenuExt::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = m_viewAspects;
    if (flags) *flags = m_viewFlags;
    if (sink) {
        *sink = m_viewSink.Get();
        if (*sink) (*sink)->AddRef();
    }
    return S_OK;
}

STDMETHODIMP CMenuExt::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) { return GetExtent(aspect, size); }

STDMETHODIMP CMenuExt::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_MenuExtClass;
    return S_OK;
}

STDMETHODIMP CMenuExt::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = 0;
    return S_OK;
}

STDMETHODIMP CMenuExt::QuickActivate(QACONTAINER* container, QACONTROL* control) {
    // Older containers hand over shorter records: the client site and the
    // advise sink are all the control reads.
    if (!container || !control || container->cbSize < offsetof(QACONTAINER, pPropertyNotifySink) ||
        control->cbSize < sizeof(QACONTROL))
        return E_INVALIDARG;
    SetClientSite(container->pClientSite);
    if (container->pAdviseSink) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
    control->dwMiscStatus = kMiscStatus;
    control->dwViewStatus = 0;
    control->dwEventCookie = 0;
    control->dwPropNotifyCookie = 0;
    control->dwPointerActivationPolicy = 0;
    return S_OK;
}

STDMETHODIMP CMenuExt::QueryGetData(FORMATETC* format) {
    if (!format) return E_POINTER;
    if (format->cfFormat != CF_METAFILEPICT) return DV_E_FORMATETC;
    if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!(format->tymed & TYMED_MFPICT)) return DV_E_TYMED;
    return S_OK;
}

STDMETHODIMP CMenuExt::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!medium) return E_POINTER;
    HRESULT hr = QueryGetData(format);
    if (FAILED(hr)) return hr;
    // The face drawn at the extent, in HIMETRIC units.
    HDC dc = CreateMetaFileW(nullptr);
    if (!dc) return E_OUTOFMEMORY;
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, m_extent.cx, m_extent.cy, nullptr);
    DrawFace(dc, RECT{0, 0, m_extent.cx, m_extent.cy});
    HMETAFILE metafile = CloseMetaFile(dc);
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, sizeof(METAFILEPICT));
    auto* picture = static_cast<METAFILEPICT*>(global ? GlobalLock(global) : nullptr);
    if (!metafile || !picture) {
        if (global) GlobalFree(global);
        if (metafile) DeleteMetaFile(metafile);
        return E_OUTOFMEMORY;
    }
    picture->mm = MM_ANISOTROPIC;
    picture->xExt = m_extent.cx;
    picture->yExt = m_extent.cy;
    picture->hMF = metafile;
    GlobalUnlock(global);
    medium->tymed = TYMED_MFPICT;
    medium->hMetaFilePict = global;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

STDMETHODIMP CMenuExt::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (!out) return E_POINTER;
    out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

STDMETHODIMP CMenuExt::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
    if (!formats) return E_POINTER;
    *formats = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    return OleRegEnumFormatEtc(CLSID_MenuExtClass, direction, formats);
}

STDMETHODIMP CMenuExt::DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) {
    if (!m_dataAdviseHolder) {
        HRESULT hr = CreateDataAdviseHolder(m_dataAdviseHolder.Receive());
        if (FAILED(hr)) return hr;
    }
    return m_dataAdviseHolder->Advise(this, format, flags, sink, connection);
}

STDMETHODIMP CMenuExt::DUnadvise(DWORD connection) {
    if (!m_dataAdviseHolder) return OLE_E_NOCONNECTION;
    return m_dataAdviseHolder->Unadvise(connection);
}

STDMETHODIMP CMenuExt::EnumDAdvise(IEnumSTATDATA** advises) {
    if (!advises) return E_POINTER;
    *advises = nullptr;
    if (!m_dataAdviseHolder) return S_OK;
    return m_dataAdviseHolder->EnumAdvise(advises);
}
