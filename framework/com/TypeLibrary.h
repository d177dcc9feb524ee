// The type library a library carries as its resource 1: registration, and
// the type information behind its dual interfaces.
#pragma once
#include "com/ComPtr.h"
#include "core/String.h"

#include <oaidl.h>

// Registers the type library of the module file (resource 1).
HRESULT RegisterModuleTypeLibrary(const CString& modulePath);
// Removes that registration again; a library that was never registered is no error.
HRESULT UnregisterModuleTypeLibrary(const CString& modulePath);

// IDispatch of a dual interface through its type information in the module's
// type library. A COM class forwards its four IDispatch methods to one of these.
class TypeInfoDispatch {
public:
    explicit TypeInfoDispatch(REFIID iid) : m_iid(iid) {}

    HRESULT GetTypeInfoCount(UINT* count);
    HRESULT GetTypeInfo(UINT index, ITypeInfo** info);
    HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids);
    HRESULT Invoke(void* object, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                   UINT* badArgument);

private:
    ITypeInfo* Info();

    IID m_iid;
    ComPtr<ITypeInfo> m_info;
};
