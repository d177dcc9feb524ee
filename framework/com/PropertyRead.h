// Small helpers for walking a document through its automation interfaces:
// an index argument for collection items and a text property read.
#pragma once
#include "com/BStr.h"
#include "core/String.h"

#include <oleauto.h>

// A VT_I4 variant holding the index, as collection item() calls take it.
inline VARIANT IndexVariant(long index) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = index;
    return v;
}

// A property read through a BSTR getter; false when the read fails.
template <typename I>
bool ReadText(I* object, HRESULT (STDMETHODCALLTYPE I::*getter)(BSTR*), CString& out) {
    BStr value;
    if (FAILED((object->*getter)(value.Receive()))) return false;
    out = value.Text();
    return true;
}
