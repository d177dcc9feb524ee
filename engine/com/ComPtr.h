// A counted reference to a COM interface: AddRef on copy, Release on
// destruction, QueryInterface through As<I>().
#pragma once
#include <windows.h>
#include <objbase.h>

#include <utility>

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    explicit ComPtr(T* pointer) : m_pointer(pointer) {  // takes a new reference
        if (m_pointer) m_pointer->AddRef();
    }
    static ComPtr Adopt(T* pointer) {  // takes over a reference the caller owned
        ComPtr result;
        result.m_pointer = pointer;
        return result;
    }
    ComPtr(const ComPtr& other) : ComPtr(other.m_pointer) {}
    ComPtr(ComPtr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(m_pointer, other.m_pointer);
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset() {
        if (T* old = std::exchange(m_pointer, nullptr)) old->Release();
    }
    T* Get() const { return m_pointer; }
    T* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }
    // For out parameters: releases what is held and answers the slot.
    T** Put() {
        Reset();
        return &m_pointer;
    }
    T* Detach() { return std::exchange(m_pointer, nullptr); }
    // Hands a new reference to an out parameter.
    HRESULT CopyTo(T** out) const {
        if (!out) return E_POINTER;
        *out = m_pointer;
        if (m_pointer) m_pointer->AddRef();
        return S_OK;
    }

    template <typename U>
    ComPtr<U> As() const {
        ComPtr<U> result;
        if (m_pointer) m_pointer->QueryInterface(__uuidof(U), reinterpret_cast<void**>(result.Put()));
        return result;
    }

private:
    T* m_pointer = nullptr;
};

// Queries an interface of any pointer (null stays null).
template <typename U, typename T>
ComPtr<U> QueryAs(T* pointer) {
    ComPtr<U> result;
    if (pointer) pointer->QueryInterface(__uuidof(U), reinterpret_cast<void**>(result.Put()));
    return result;
}
