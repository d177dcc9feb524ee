// A counted reference to a COM interface: AddRef on copy, Release on
// destruction. The one owner of interface pointers in the libraries.
#pragma once

#include <objbase.h>

#include <utility>

// In a namespace of its own so that no other ComPtr of the program (the
// engine keeps one) can meet it at link time.
namespace comserver {

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference to `p`.
    explicit ComPtr(T* p) : m_p(p) { if (m_p) m_p->AddRef(); }
    ComPtr(const ComPtr& other) : ComPtr(other.m_p) {}
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other) { ComPtr(other).Swap(*this); return *this; }
    ComPtr& operator=(ComPtr&& other) noexcept { ComPtr(std::move(other)).Swap(*this); return *this; }
    ComPtr& operator=(std::nullptr_t) { Reset(); return *this; }

    // Adopts a pointer that already carries a reference.
    static ComPtr Attach(T* p) { ComPtr r; r.m_p = p; return r; }
    T* Detach() { return std::exchange(m_p, nullptr); }

    void Reset() { if (T* p = std::exchange(m_p, nullptr)) p->Release(); }
    void Swap(ComPtr& other) noexcept { std::swap(m_p, other.m_p); }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // Out-parameter for calls that hand back a new reference.
    T** Receive() { Reset(); return &m_p; }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

    // QueryInterface for another interface; empty when it is not answered.
    template <typename U>
    ComPtr<U> As() const {
        ComPtr<U> out;
        if (m_p) m_p->QueryInterface(__uuidof(U), out.ReceiveVoid());
        return out;
    }

private:
    T* m_p = nullptr;
};

// The identity of a COM object: its IUnknown, compared by address.
inline bool SameComObject(IUnknown* a, IUnknown* b) {
    if (!a || !b) return a == b;
    ComPtr<IUnknown> ua, ub;
    a->QueryInterface(IID_IUnknown, ua.ReceiveVoid());
    b->QueryInterface(IID_IUnknown, ub.ReceiveVoid());
    return ua.Get() == ub.Get();
}

}  // namespace comserver

using comserver::ComPtr;
using comserver::SameComObject;
