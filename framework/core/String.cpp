// CString is header-only; this unit keeps one instantiation of each width in
// the framework library so that every user shares it.
#include "core/String.h"

template class CStringT<wchar_t>;
template class CStringT<char>;
