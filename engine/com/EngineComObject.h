// The base of the engine's COM objects: one reference count and one
// QueryInterface for all the interfaces a class implements, and a minimal
// IDispatch (the system's callers use the interfaces directly, never by name).
// The derived class answers FindInterface(riid) with the pointer to hand out.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <atomic>

template <typename Derived, typename... Bases>
class EngineComObject : public Bases... {
public:
    EngineComObject() = default;
    EngineComObject(const EngineComObject&) = delete;
    EngineComObject& operator=(const EngineComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = static_cast<Derived*>(this)->FindInterface(riid);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_references;
        if (left == 0) delete static_cast<Derived*>(this);
        return left;
    }

    virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
        return DISP_E_MEMBERNOTFOUND;
    }

protected:
    virtual ~EngineComObject() = default;

private:
    std::atomic<ULONG> m_references{1};
};

// A new object with one reference, owned by the answer.
template <typename T, typename... Args>
T* CreateComObject(Args&&... args) {
    return new T(std::forward<Args>(args)...);
}
