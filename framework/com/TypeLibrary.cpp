#include "com/TypeLibrary.h"

#include "com/ComModule.h"

namespace {

ComPtr<ITypeLib> LoadFromModule(const CString& modulePath) {
    ComPtr<ITypeLib> library;
    if (FAILED(LoadTypeLibEx(modulePath, REGKIND_NONE, library.Receive()))) return nullptr;
    return library;
}

}  // namespace

HRESULT RegisterModuleTypeLibrary(const CString& modulePath) {
    ComPtr<ITypeLib> library = LoadFromModule(modulePath);
    if (!library) return TYPE_E_CANTLOADLIBRARY;
    CString path = modulePath;
    return RegisterTypeLib(library.Get(), const_cast<LPOLESTR>(path.GetString()), nullptr);
}

HRESULT UnregisterModuleTypeLibrary(const CString& modulePath) {
    ComPtr<ITypeLib> library = LoadFromModule(modulePath);
    if (!library) return TYPE_E_CANTLOADLIBRARY;
    TLIBATTR* attributes = nullptr;
    HRESULT hr = library->GetLibAttr(&attributes);
    if (FAILED(hr)) return hr;
    hr = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum, attributes->lcid,
                           attributes->syskind);
    library->ReleaseTLibAttr(attributes);
    return (hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_LIBNOTREGISTERED) ? S_OK : hr;
}

ITypeInfo* TypeInfoDispatch::Info() {
    if (!m_info) {
        if (ComPtr<ITypeLib> library = LoadFromModule(ComModule::Path()))
            library->GetTypeInfoOfGuid(m_iid, m_info.Receive());
    }
    return m_info.Get();
}

HRESULT TypeInfoDispatch::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT TypeInfoDispatch::GetTypeInfo(UINT index, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    ITypeInfo* found = Info();
    if (!found) return TYPE_E_CANTLOADLIBRARY;
    found->AddRef();
    *info = found;
    return S_OK;
}

HRESULT TypeInfoDispatch::GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) {
    ITypeInfo* found = Info();
    if (!found) return TYPE_E_CANTLOADLIBRARY;
    return found->GetIDsOfNames(names, count, ids);
}

HRESULT TypeInfoDispatch::Invoke(void* object, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* exception, UINT* badArgument) {
    ITypeInfo* found = Info();
    if (!found) return TYPE_E_CANTLOADLIBRARY;
    return found->Invoke(object, id, flags, params, result, exception, badArgument);
}
