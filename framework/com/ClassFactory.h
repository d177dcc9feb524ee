// The class object of a COM class: creates instances with `T::Create()` and
// keeps the module loaded while a client holds LockServer(TRUE).
#pragma once
#include "com/ComObject.h"
#include "com/ComPtr.h"

template <typename T>
class ClassFactory : public ComObject<ClassFactory<T>, IClassFactory> {
public:
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto object = ComPtr<T>::Attach(T::Create());
        if (!object) return E_OUTOFMEMORY;
        return object->QueryInterface(iid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock) ComModule::Lock(); else ComModule::Unlock();
        return S_OK;
    }
};

// DllGetClassObject for a library with the one class T of identifier `clsid`.
template <typename T>
HRESULT GetClassObjectOf(REFCLSID clsid, REFCLSID requested, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (requested != clsid) return CLASS_E_CLASSNOTAVAILABLE;
    auto factory = ComPtr<ClassFactory<T>>::Attach(ClassFactory<T>::Create());
    if (!factory) return E_OUTOFMEMORY;
    return factory->QueryInterface(iid, out);
}
