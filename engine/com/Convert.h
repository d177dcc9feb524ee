// Translation between the engine's strings and the COM types: BSTR,
// VARIANT and the out-parameter conventions.
#pragma once
#include "core/String.h"

#include <windows.h>
#include <oleauto.h>

namespace com {

// A new BSTR with the text in *out (S_OK), or E_POINTER.
HRESULT ReturnString(const CString& text, BSTR* out);
// The text of a BSTR the caller keeps (null is empty).
CString FromBstr(BSTR text);
// A VARIANT as text: strings as they are, numbers in decimal, true as "-1", else empty.
CString VariantToText(const VARIANT& value);
// A VARIANT holding a number (or a string of digits) as an index.
bool VariantToIndex(const VARIANT& value, long& index);
// Fills a VARIANT the caller owns with a new BSTR.
HRESULT ReturnVariantString(const CString& text, VARIANT* out);
inline VARIANT_BOOL ToVariantBool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

}  // namespace com
