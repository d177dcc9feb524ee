// COleDataSource: a data object that offers global-memory blocks, one per
// clipboard format, for an OLE drag or the clipboard. Reference counted: the
// creator holds one reference (Create) and gives it up with InternalRelease.
#pragma once
#include "ole/OleDragDrop.h"

#include <map>
#include <vector>

class COleDataSource : public IDataObject {
public:
    static COleDataSource* Create() { return new COleDataSource; }
    void InternalRelease() { Release(); }

    // Offers a copy of the bytes in `format` (a later call for the format replaces it).
    void CacheData(CLIPFORMAT format, const void* data, size_t size);
    bool HasFormat(CLIPFORMAT format) const { return m_formats.count(format) != 0; }
    DROPEFFECT DoDragDrop(CWnd* wnd, COleDropSource* source, DROPEFFECT allowed) { return source->DoDragDrop(wnd, this, allowed); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    COleDataSource() = default;
    virtual ~COleDataSource() = default;
    LONG m_refs = 1;
    std::map<CLIPFORMAT, std::vector<BYTE>> m_formats;
};

// The bytes of `format` in a data object (empty when it has none as global memory).
std::vector<BYTE> GetGlobalDataBytes(IDataObject* data, CLIPFORMAT format);
