#include "regex/RegexOutput.h"

#include <cstdio>

namespace regex_detail {

void PrintDiagnostic(const char* text) {
    std::fputs(text, stdout);
    std::fflush(stdout);
}

void PrintUnknownCell(int code) {
    std::printf("Srch over, %d NOT found!\n", code);
    std::fflush(stdout);
}

void PrintNoPattern() { PrintDiagnostic("No pattern specified\n"); }

} // namespace regex_detail
