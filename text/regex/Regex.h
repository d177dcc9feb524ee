// The slash pattern matcher: a small regular-expression language whose escape
// character is '/' ("<//title>" stands for the text "</title>").
//
// Syntax: a literal character matches itself; '.' any unit; '/a' an ASCII
// letter; '/d' a digit; '/n' an ASCII letter or digit; '/s' a blank or control
// unit; '//' the character '/'; '/' before any other character makes it a
// literal ('/(' '/.' '/*' ...; '/t' is the letter t). '^' is the subject's
// start wherever it stands, '$' its end. '(' and ')' delimit the group that
// the group searches return. '*' (zero or more), '+' (one or more) and '-'
// (zero or one) follow the one token they repeat. '[...]' is a set of
// literals, '/d' (digits) and '/s' (inside brackets: the blank only);
// '[^...]' its complement; '[...]+' one or more members.
//
// Matching never backtracks: an option is taken whenever it matches; a
// repetition that ends the pattern (or a group) takes as much as it can; any
// other repetition stops at the first position from which the rest of the
// pattern matches. The programs of the last few patterns are kept (complete
// and unchanging once kept, behind a lock); nothing else outlives a call, so
// calls may run on several threads at once.
//
// Cost: one scan of a subject takes at most time proportional to the
// pattern's length times the subject's, whatever the text (repetition states
// that a scan has seen fail are not walked again), and start positions that
// cannot hold the literal text every match needs are skipped.
//
// Compile errors are printed to standard output ("* + - was misused",
// "Err using :/", narrow "Err using :"), and the search and replace
// operations then print "No pattern specified" and report failure.
//
// There is no fixed capacity: patterns, groups and matches of any length work.
#pragma once

#include "regex/RegexProgram.h"

#include "core/String.h"

#include <map>
#include <vector>

// Matches by the index of their first unit in the subject.
using RegexMatchMap = std::map<int, CString>;
using RegexMatchMapA = std::map<int, CStringA>;
// The groups of one match, in the order their ')' was reached.
using RegexCaptureList = std::vector<CString>;

// Whether unquantified literals outside brackets are compared without regard
// to the case of 'a'..'z' (quantified atoms, sets and look-aheads always
// compare exactly).
enum class RegexCase { Exact = 0, IgnoreCase = 1 };

// --- Wide engine (UTF-16) -------------------------------------------------------

// 'a'..'z' become 'A'..'Z'; every other unit is returned unchanged.
wchar_t RegexFoldCase(wchar_t unit);

// Compiles a pattern into `program`. Returns &program, or null after a compile
// error (the message is printed; the program is then empty). A null pattern
// fails without a message.
const RegexProgram* RegexCompile(const wchar_t* pattern, RegexProgram& program);

// Why a pattern does not compile, in words for the user: what is wrong and at
// which character (counted from 1), e.g. "'+' at character 2 follows another
// repetition sign". Empty when the pattern compiles. Prints nothing.
CString RegexPatternFault(const wchar_t* pattern);

// Runs a program at `position` of the subject that starts at `subjectStart`.
// Returns the position just after the match, or null when it does not match.
const wchar_t* RegexMatchHere(const wchar_t* subjectStart, const wchar_t* position,
                              const RegexProgram& program, RegexCase caseMode);
// The same, appending every group reached to `captures` when the program
// matches (a failed match leaves `captures` as it was).
const wchar_t* RegexMatchCapture(const wchar_t* subjectStart, const wchar_t* position,
                                 const RegexProgram& program, RegexCaptureList& captures,
                                 RegexCase caseMode);

// Adds every match, scanning left to right and going on after each one, to
// `matches` (existing keys are kept; the map is not emptied first). A match of
// zero length is recorded too and the scan goes on at the next unit. True when
// the map holds at least one entry afterwards; false after a compile error.
bool RegexFindAll(const wchar_t* subject, const wchar_t* pattern, RegexMatchMap& matches,
                  RegexCase caseMode);
bool RegexFindAllNoCaseW(const wchar_t* subject, const wchar_t* pattern, RegexMatchMap& matches);
bool RegexFindAllNoCase(const CString& subject, const wchar_t* pattern, RegexMatchMap& matches);

// Finds the first match; `group` then receives its first group (the empty
// string when the match reached no ')'), and the result is 1. Otherwise 0 and
// `group` is left as it was.
int RegexSearchGroup(const wchar_t* subject, const wchar_t* pattern, CString& group, RegexCase caseMode);
bool RegexGetGroup(const CString& subject, const wchar_t* pattern, CString& group);
bool RegexGetGroupNoCase(const CString& subject, const wchar_t* pattern, CString& group);
// True when the pattern matches anywhere (case-sensitive).
bool RegexIsMatch(const CString& subject, const wchar_t* pattern);

// Replace every match (or only the first) by the literal `replacement`
// (case-sensitive). 1 when something was replaced; 0, with `text` untouched,
// when nothing matched or the pattern did not compile.
int RegexReplaceAll(CString& text, const wchar_t* pattern, const wchar_t* replacement);
int RegexReplaceFirst(CString& text, const wchar_t* pattern, const wchar_t* replacement);

// --- Narrow engine (8-bit text) -------------------------------------------------
// The same syntax without case folding; '/b' is the letter b.

const RegexProgramA* RegexCompileA(const char* pattern, RegexProgramA& program);
// As RegexFindAll, always case-sensitive.
bool RegexFindAllA(const char* subject, const char* pattern, RegexMatchMapA& matches);
// Replaces every match in place. 1, also when nothing matched (the text is
// then unchanged); 0 only when the pattern did not compile.
int RegexReplaceAllA(CStringA& text, const char* pattern, const char* replacement);
// 1 when a match was found (`group` = its first group, or the empty string when
// it reached no ')'); 0 otherwise, `group` untouched.
int RegexGetGroupA(const char* subject, const char* pattern, CStringA& group);
