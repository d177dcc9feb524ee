// Readable gtest output for the framework's strings (force-included into every
// test source).
#pragma once
#include "core/String.h"

#include <ostream>

void PrintTo(const CString& s, std::ostream* os);
void PrintTo(const CStringA& s, std::ostream* os);
