#include "regex/RegexOutput.h"

#include <cstdio>

namespace regex_detail {

void PrintDiagnostic(const char* text) {
    std::fputs(text, stdout);
}

UnknownCellReport::~UnknownCellReport() {
    if (!m_lines.empty()) PrintDiagnostic(m_lines.c_str());
}

void UnknownCellReport::Add(int code) {
    m_lines += "Srch over, ";
    m_lines += std::to_string(code);
    m_lines += " NOT found!\n";
}

void PrintNoPattern() { PrintDiagnostic("No pattern specified\n"); }

} // namespace regex_detail
