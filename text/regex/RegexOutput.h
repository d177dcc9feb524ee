// The matcher's diagnostics. They go to standard output, never to the user.
#pragma once

namespace regex_detail {

void PrintDiagnostic(const char* text);
// "Srch over, <code> NOT found!": a program cell that has no meaning when matched.
void PrintUnknownCell(int code);
// After a compile error, every search and replace operation says so.
void PrintNoPattern();

inline constexpr const char* kMisusedQuantifier = "* + - was misused\n";

} // namespace regex_detail
