// The wide (UTF-16) engine's operations.
#include "regex/Regex.h"

#include "regex/RegexScan.h"

using namespace regex_detail;

namespace {

bool Folds(RegexCase caseMode) { return caseMode == RegexCase::IgnoreCase; }

template <typename TChar>
const TChar* MatchAt(const TChar* subjectStart, const TChar* position, const RegexProgramT<TChar>& program,
                     std::vector<typename Traits<TChar>::String>* groups, bool foldCase) {
    if (program.IsEmpty() || !subjectStart || !position) return nullptr;
    Matcher<TChar> matcher(program.Cells().data(), program.Cells().size(), subjectStart, foldCase);
    return matcher.Match(position, groups);
}

} // namespace

CString RegexPatternFault(const wchar_t* pattern) {
    if (!pattern) return CString();
    CellBuffer<wchar_t> cells;
    CompileFault fault;
    if (Compiler<wchar_t>::Compile(pattern, cells, &fault)) return CString();
    CString sign(pattern[fault.index]);
    CString at;
    at.Format(L"'%ls' at character %d", sign.GetString(), static_cast<int>(fault.index) + 1);
    CString before = fault.index > 0 ? CString(pattern[fault.index - 1]) : CString();
    switch (fault.kind) {
    case CompileFaultKind::QuantifierFirst:
        return at + L" has nothing before it to repeat";
    case CompileFaultKind::QuantifierAfterAnchor:
        return at + L" follows '" + before + L"', which cannot be repeated";
    case CompileFaultKind::QuantifierAfterQuantifier:
        return at + L" follows another repetition sign";
    case CompileFaultKind::QuantifierAfterSet:
        return at + L" follows ']': only '+' can repeat a set";
    case CompileFaultKind::TrailingSlash:
        return at + L" ends the pattern: write '//' for the character '/'";
    case CompileFaultKind::None:
        break;
    }
    return at + L" is misplaced";
}

wchar_t RegexFoldCase(wchar_t unit) { return FoldUnit(unit); }

const RegexProgram* RegexCompile(const wchar_t* pattern, RegexProgram& program) {
    return Compiler<wchar_t>::Compile(pattern, program) ? &program : nullptr;
}

const wchar_t* RegexMatchHere(const wchar_t* subjectStart, const wchar_t* position, const RegexProgram& program,
                              RegexCase caseMode) {
    return MatchAt(subjectStart, position, program, nullptr, Folds(caseMode));
}

const wchar_t* RegexMatchCapture(const wchar_t* subjectStart, const wchar_t* position, const RegexProgram& program,
                                 RegexCaptureList& captures, RegexCase caseMode) {
    return MatchAt(subjectStart, position, program, &captures, Folds(caseMode));
}

bool RegexFindAll(const wchar_t* subject, const wchar_t* pattern, RegexMatchMap& matches, RegexCase caseMode) {
    return FindMatches(subject, pattern, matches, Folds(caseMode)) == ScanResult::Found;
}

bool RegexFindAllNoCaseW(const wchar_t* subject, const wchar_t* pattern, RegexMatchMap& matches) {
    return RegexFindAll(subject, pattern, matches, RegexCase::IgnoreCase);
}

bool RegexFindAllNoCase(const CString& subject, const wchar_t* pattern, RegexMatchMap& matches) {
    return RegexFindAllNoCaseW(subject.GetString(), pattern, matches);
}

int RegexSearchGroup(const wchar_t* subject, const wchar_t* pattern, CString& group, RegexCase caseMode) {
    return SearchFirstGroup(subject, pattern, group, Folds(caseMode)) == ScanResult::Found ? 1 : 0;
}

bool RegexGetGroup(const CString& subject, const wchar_t* pattern, CString& group) {
    return RegexSearchGroup(subject.GetString(), pattern, group, RegexCase::Exact) == 1;
}

bool RegexGetGroupNoCase(const CString& subject, const wchar_t* pattern, CString& group) {
    return RegexSearchGroup(subject.GetString(), pattern, group, RegexCase::IgnoreCase) == 1;
}

bool RegexIsMatch(const CString& subject, const wchar_t* pattern) {
    CString group;
    return RegexSearchGroup(subject.GetString(), pattern, group, RegexCase::Exact) == 1;
}

int RegexReplaceAll(CString& text, const wchar_t* pattern, const wchar_t* replacement) {
    return ReplaceMatches(text, pattern, replacement, false) == ScanResult::Found ? 1 : 0;
}

int RegexReplaceFirst(CString& text, const wchar_t* pattern, const wchar_t* replacement) {
    return ReplaceMatches(text, pattern, replacement, true) == ScanResult::Found ? 1 : 0;
}
