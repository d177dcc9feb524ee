// Small helpers over the framework's ComPtr for the engine's adapters and
// their callers: querying any pointer, handing a reference to an out parameter.
#pragma once
#include <windows.h>
#include <objbase.h>

#include "com/ComPtr.h"

// Queries an interface of any pointer (null stays null).
template <typename U, typename T>
ComPtr<U> QueryAs(T* pointer) {
    ComPtr<U> result;
    if (pointer) pointer->QueryInterface(__uuidof(U), result.ReceiveVoid());
    return result;
}

// Hands a new reference of what the pointer holds to an out parameter.
template <typename T>
HRESULT CopyTo(const ComPtr<T>& pointer, T** out) {
    if (!out) return E_POINTER;
    *out = pointer.Get();
    if (*out) (*out)->AddRef();
    return S_OK;
}
