// The narrow (8-bit) engine's operations: the same matcher over char, without
// case folding.
#include "regex/Regex.h"

#include "regex/RegexScan.h"

using namespace regex_detail;

const RegexProgramA* RegexCompileA(const char* pattern, RegexProgramA& program) {
    return Compiler<char>::Compile(pattern, program) ? &program : nullptr;
}

bool RegexFindAllA(const char* subject, const char* pattern, RegexMatchMapA& matches) {
    return FindMatches(subject, pattern, matches, false) == ScanResult::Found;
}

int RegexReplaceAllA(CStringA& text, const char* pattern, const char* replacement) {
    return ReplaceMatches(text, pattern, replacement, false) == ScanResult::BadPattern ? 0 : 1;
}

int RegexGetGroupA(const char* subject, const char* pattern, CStringA& group) {
    return SearchFirstGroup(subject, pattern, group, false) == ScanResult::Found ? 1 : 0;
}
