// The matcher's diagnostics. They go to standard output, never to the user.
#pragma once

#include <string>

namespace regex_detail {

void PrintDiagnostic(const char* text);
// "Srch over, <code> NOT found!": a program cell that has no meaning when
// matched. The lines of one operation are collected and written together when
// it ends, in the order they arose.
class UnknownCellReport {
public:
    UnknownCellReport() = default;
    UnknownCellReport(const UnknownCellReport&) = delete;
    UnknownCellReport& operator=(const UnknownCellReport&) = delete;
    ~UnknownCellReport();
    void Add(int code);

private:
    std::string m_lines;
};
// After a compile error, every search and replace operation says so.
void PrintNoPattern();

inline constexpr const char* kMisusedQuantifier = "* + - was misused\n";

} // namespace regex_detail
