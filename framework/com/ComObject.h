// Reference counting and QueryInterface for the COM classes of the libraries.
// A class lists the interfaces it implements; each object holds a module lock
// while it lives, so DllCanUnloadNow answers S_FALSE until the last is gone.
//
//   class CBarObj : public ComObject<CBarObj, IObjectWithSite, IOleCommandTarget> { ... };
//
// Interfaces that several listed ones derive from (IDispatch, say) are found
// through QueryBaseInterface, which a class overrides to pick the path.
#pragma once
#include "com/ComModule.h"

#include <objbase.h>

#include <atomic>
#include <new>

namespace comserver {

template <typename Derived, typename First, typename... Rest>
class ComObject : public First, public Rest... {
public:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    virtual ~ComObject() = default;

    // A new object with one reference, or null when memory is out.
    template <typename... Args>
    static Derived* Create(Args&&... args) { return new (std::nothrow) Derived(std::forward<Args>(args)...); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown) {
            *out = static_cast<First*>(this);
        } else if (!(FindListed<First, Rest...>(iid, out))) {
            *out = QueryBaseInterface(iid);
        }
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override {
        ULONG left = --m_references;
        if (left == 0) delete this;
        return left;
    }

protected:
    // Interfaces reached only through a listed one (IDispatch, IPersist, ...).
    virtual void* QueryBaseInterface(REFIID) { return nullptr; }

private:
    template <typename I, typename... More>
    bool FindListed(REFIID iid, void** out) {
        if (iid == __uuidof(I)) {
            *out = static_cast<I*>(this);
            return true;
        }
        if constexpr (sizeof...(More) > 0) return FindListed<More...>(iid, out);
        return false;
    }

    std::atomic<ULONG> m_references{1};
    ComModuleLock m_lock;
};

}  // namespace comserver

using comserver::ComObject;
