#include "ole/OleDataSource.h"

#include <shlobj.h>

#include <cstring>

void COleDataSource::CacheData(CLIPFORMAT format, const void* data, size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    m_formats[format].assign(bytes, bytes + size);
}

HRESULT COleDataSource::QueryInterface(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDataObject) {
        *out = static_cast<IDataObject*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG COleDataSource::Release() {
    const LONG refs = InterlockedDecrement(&m_refs);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
}

HRESULT COleDataSource::QueryGetData(FORMATETC* format) {
    if (!format) return E_POINTER;
    if (!(format->tymed & TYMED_HGLOBAL) || format->dwAspect != DVASPECT_CONTENT) return DV_E_FORMATETC;
    return HasFormat(format->cfFormat) ? S_OK : DV_E_FORMATETC;
}

HRESULT COleDataSource::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!medium) return E_POINTER;
    if (const HRESULT hr = QueryGetData(format); hr != S_OK) return hr;
    const std::vector<BYTE>& bytes = m_formats[format->cfFormat];
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
    if (!memory) return E_OUTOFMEMORY;
    if (!bytes.empty()) {
        void* copy = GlobalLock(memory);
        if (!copy) {
            GlobalFree(memory);
            return E_OUTOFMEMORY;
        }
        memcpy(copy, bytes.data(), bytes.size());
        GlobalUnlock(memory);
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT COleDataSource::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (out) out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT COleDataSource::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    std::vector<FORMATETC> formats;
    for (const auto& entry : m_formats) formats.push_back(FORMATETC{entry.first, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
    return SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.data(), out);
}

std::vector<BYTE> GetGlobalDataBytes(IDataObject* data, CLIPFORMAT format) {
    std::vector<BYTE> out;
    if (!data) return out;
    FORMATETC want{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&want, &medium))) return out;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
        const SIZE_T size = GlobalSize(medium.hGlobal);
        if (const auto* bytes = static_cast<const BYTE*>(GlobalLock(medium.hGlobal))) {
            out.assign(bytes, bytes + size);
            GlobalUnlock(medium.hGlobal);
        }
    }
    ReleaseStgMedium(&medium);
    return out;
}
