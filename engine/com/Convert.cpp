#include "com/Convert.h"

namespace com {

HRESULT ReturnString(const CString& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(text.GetString(), static_cast<UINT>(text.GetLength()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

CString FromBstr(BSTR text) {
    return text ? CString(text, static_cast<int>(SysStringLen(text))) : CString();
}

CString VariantToText(const VARIANT& value) {
    CString text;
    switch (value.vt) {
    case VT_BSTR: return FromBstr(value.bstrVal);
    case VT_I4: text.Format(L"%ld", static_cast<long>(value.lVal)); return text;
    case VT_I2: text.Format(L"%d", value.iVal); return text;
    case VT_INT: text.Format(L"%d", value.intVal); return text;
    case VT_UI4: text.Format(L"%lu", static_cast<unsigned long>(value.ulVal)); return text;
    case VT_BOOL: text.Format(L"%d", value.boolVal); return text;
    default: return text;
    }
}

bool VariantToIndex(const VARIANT& value, long& index) {
    switch (value.vt) {
    case VT_I4: index = value.lVal; return true;
    case VT_I2: index = value.iVal; return true;
    case VT_INT: index = value.intVal; return true;
    case VT_UI4: index = static_cast<long>(value.ulVal); return true;
    default: return false;
    }
}

HRESULT ReturnVariantString(const CString& text, VARIANT* out) {
    if (!out) return E_POINTER;
    VariantInit(out);
    out->vt = VT_BSTR;
    return ReturnString(text, &out->bstrVal);
}

}  // namespace com
