// Bytes of a page as the engine reads them from a stream: UTF-16 when the
// byte-order mark says so, UTF-8 when marked or valid, else the ANSI code page.
#pragma once
#include "core/String.h"

#include <string>

namespace com {

CString DecodePageBytes(const std::string& bytes);

}  // namespace com
