// The slash pattern matcher, wide engine: syntax, matching rules, the scan and
// the replace operations.
#include "regex/Regex.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// The first group of the first match, or "<no match>".
CString GroupOf(const CString& subject, const wchar_t* pattern, RegexCase caseMode = RegexCase::Exact) {
    CString group = L"<no match>";
    RegexSearchGroup(subject, pattern, group, caseMode);
    return group;
}

RegexMatchMap AllMatches(const CString& subject, const wchar_t* pattern, RegexCase caseMode = RegexCase::Exact) {
    RegexMatchMap matches;
    RegexFindAll(subject, pattern, matches, caseMode);
    return matches;
}

// The text matched at the subject's first unit, or "<no match>".
CString MatchAtStart(const CString& subject, const wchar_t* pattern, RegexCase caseMode = RegexCase::Exact) {
    RegexProgram program;
    if (!RegexCompile(pattern, program)) return L"<bad pattern>";
    const wchar_t* end = RegexMatchHere(subject, subject, program, caseMode);
    return end ? subject.Left(static_cast<int>(end - subject.GetString())) : CString(L"<no match>");
}

std::vector<int> CellsOf(const wchar_t* pattern) {
    RegexProgram program;
    if (!RegexCompile(pattern, program)) return {};
    return std::vector<int>(program.Cells().begin(), program.Cells().end());
}

std::string StdoutOf(const std::function<void()>& action) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

} // namespace

// --- Compile step -------------------------------------------------------------------

TEST(RegexCompile, QuantifierStandsBeforeItsAtomAndStopFollows) {
    EXPECT_EQ(CellsOf(L"[abc]+"), (std::vector<int>{19, 1, 'a', 1, 'b', 1, 'c', 8, 20, 15, 15, 0}));
    EXPECT_EQ(CellsOf(L"x*"), (std::vector<int>{7, 1, 'x', 15, 15, 0}));
    EXPECT_EQ(CellsOf(L"(.+)"), (std::vector<int>{16, 8, 4, 15, 17, 15, 0}));
    EXPECT_EQ(CellsOf(L"^$/a/d/n/s///b/t"), (std::vector<int>{2, 3, 10, 11, 12, 13, 18, 21, 1, 't', 15, 0}));
    EXPECT_EQ(CellsOf(L""), (std::vector<int>{15, 0}));
}

TEST(RegexCompile, EscapedSpecialCharactersAreLiterals) {
    EXPECT_EQ(CellsOf(L"/(/./[/]/*/+/-/$/^"),
              (std::vector<int>{1, '(', 1, '.', 1, '[', 1, ']', 1, '*', 1, '+', 1, '-', 1, '$', 1, '^', 15, 0}));
}

TEST(RegexCompile, QuantifierWithoutAtomIsRefused) {
    for (const wchar_t* pattern : {L"(*", L"^+", L"$-", L"*a", L"+", L"a**", L"a+-", L"[+]", L"[ab]*", L"[ab]-",
                                   L"[ab]++"}) {
        RegexProgram program;
        std::string out = StdoutOf([&] { EXPECT_EQ(RegexCompile(pattern, program), nullptr) << pattern; });
        EXPECT_EQ(out, "* + - was misused\n") << pattern;
        EXPECT_TRUE(program.IsEmpty());
    }
}

TEST(RegexCompile, LiteralControlCharacterCanBeQuantified) {
    // A tab (code 9) is a literal like any other: "\t+" repeats it.
    EXPECT_EQ(MatchAtStart(L"\t\t\tx", L"\t+x"), L"\t\t\tx");
    EXPECT_EQ(MatchAtStart(L"\x02\x02y", L"\x02*y"), L"\x02\x02y");
}

TEST(RegexCompile, TrailingSlashIsRefusedAndSearchesSayNoPattern) {
    RegexProgram program;
    EXPECT_EQ(StdoutOf([&] { EXPECT_EQ(RegexCompile(L"ab/", program), nullptr); }), "Err using :/\n");
    CString text = L"ab/";
    std::string out = StdoutOf([&] { EXPECT_EQ(RegexReplaceAll(text, L"b/", L"x"), 0); });
    EXPECT_EQ(out, "Err using :/\nNo pattern specified\n");
    EXPECT_EQ(text, L"ab/");
    RegexMatchMap matches{{5, L"kept"}};
    out = StdoutOf([&] { EXPECT_FALSE(RegexFindAll(L"abc", L"(*", matches, RegexCase::Exact)); });
    EXPECT_EQ(out, "* + - was misused\nNo pattern specified\n");
    EXPECT_EQ(matches, (RegexMatchMap{{5, L"kept"}}));
    CString group = L"before";
    out = StdoutOf([&] { EXPECT_FALSE(RegexGetGroup(L"abc", L"a/", group)); });
    EXPECT_EQ(out, "Err using :/\nNo pattern specified\n");
    EXPECT_EQ(group, L"before");
}

TEST(RegexCompile, FaultSaysWhatIsWrongAndWhereWithoutPrinting) {
    std::string out = StdoutOf([] {
        EXPECT_EQ(RegexPatternFault(L"*+"), L"'*' at character 1 has nothing before it to repeat");
        EXPECT_EQ(RegexPatternFault(L"ab+*"), L"'*' at character 4 follows another repetition sign");
        EXPECT_EQ(RegexPatternFault(L"x(+"), L"'+' at character 3 follows '(', which cannot be repeated");
        EXPECT_EQ(RegexPatternFault(L"[ab]*"), L"'*' at character 5 follows ']': only '+' can repeat a set");
        EXPECT_EQ(RegexPatternFault(L"a//b/"), L"'/' at character 5 ends the pattern: write '//' for the character '/'");
        EXPECT_EQ(RegexPatternFault(L"[ab]+c/+"), L"");
    });
    EXPECT_EQ(out, "");
}

// --- Matching at one position ---------------------------------------------------------

TEST(RegexMatch, LazyGroupStopsAtFirstPlaceWhereRestMatches) {
    EXPECT_EQ(GroupOf(L"<name>Paper</name>", L"<name>(.+)<//name>"), L"Paper");
    EXPECT_EQ(GroupOf(L"<title>a</title>b</title>", L"<title>(.+)<//title>"), L"a");
    // Without a closing tag the group runs to the end and the match fails.
    EXPECT_EQ(GroupOf(L"<name>Paper", L"<name>(.+)<//name>"), L"<no match>");
    // A group that ends the pattern takes everything.
    EXPECT_EQ(GroupOf(L"key=value and more", L"=(.+)"), L"value and more");
}

TEST(RegexMatch, TextBeforeFirstMarkerByCaseClasses) {
    EXPECT_EQ(GroupOf(L"News &LT;&lt;&Lt; more &lt;&lt;&lt;", L"^(.+)&[Ll][Tt];&[Ll][Tt];&[Ll][Tt];"), L"News ");
}

TEST(RegexMatch, OptionIsTakenWheneverItMatches) {
    EXPECT_EQ(MatchAtStart(L"ab", L"a-b"), L"ab");
    EXPECT_EQ(MatchAtStart(L"b", L"a-b"), L"b");
    EXPECT_EQ(MatchAtStart(L"abc", L"ab-c"), L"abc");
    EXPECT_EQ(MatchAtStart(L"ac", L"ab-c"), L"ac");
}

TEST(RegexMatch, NoBacktrackingIntoRepetitions) {
    EXPECT_EQ(MatchAtStart(L"aXbX", L".+X"), L"aX");
    EXPECT_EQ(AllMatches(L"abc", L"[abc]+c"), RegexMatchMap{});
    EXPECT_EQ(MatchAtStart(L"aaa", L"a*"), L"aaa");
    EXPECT_EQ(MatchAtStart(L"xyz", L"a*x"), L"x");
}

TEST(RegexMatch, SetsAndTheirForms) {
    EXPECT_EQ(MatchAtStart(L" x", L"[/s+]"), L" ");
    EXPECT_EQ(MatchAtStart(L"   x", L"[/s+]+"), L"   ");
    EXPECT_EQ(MatchAtStart(L"\tx", L"[/s]"), L"<no match>");  // inside brackets /s is the blank only
    EXPECT_EQ(MatchAtStart(L"a", L"[a-z]"), L"a");
    EXPECT_EQ(MatchAtStart(L"z", L"[a-z]"), L"z");
    EXPECT_EQ(MatchAtStart(L"m", L"[a-z]"), L"<no match>");
    EXPECT_EQ(MatchAtStart(L"-", L"[a/-z]"), L"-");
    EXPECT_EQ(MatchAtStart(L"7", L"[/d]"), L"7");
    EXPECT_EQ(AllMatches(L"a//b/", L"[//]"), RegexMatchMap{});
    EXPECT_EQ(MatchAtStart(L"b", L"[^a]"), L"b");
    EXPECT_EQ(MatchAtStart(L"a", L"[^a]"), L"<no match>");
    EXPECT_EQ(MatchAtStart(L"]", L"[/]]"), L"]");
    EXPECT_EQ(MatchAtStart(L"\x4e2d", L"[\x4e2d]"), L"\x4e2d");
}

TEST(RegexMatch, NegatedSetPlusIsLazyAndStopsBeforeMembers) {
    EXPECT_EQ(MatchAtStart(L"ab\"c", L"[^\"]+\""), L"ab\"");
    EXPECT_EQ(MatchAtStart(L"abc", L"[^x]+"), L"a");         // at the pattern's end: one unit
    EXPECT_EQ(MatchAtStart(L"abxc", L"[^x]+x"), L"abx");
    EXPECT_EQ(MatchAtStart(L"ab", L"ab[^x]+"), L"<no match>");  // at the subject's end: fails
    EXPECT_EQ(MatchAtStart(L"abcd", L"[^x]+c"), L"abc");
}

TEST(RegexMatch, SlashTIsTheLetterT) {
    EXPECT_EQ(MatchAtStart(L"t", L"/t"), L"t");
    EXPECT_EQ(MatchAtStart(L"\t", L"/t"), L"<no match>");
}

TEST(RegexMatch, AnchorsMeanSubjectStartAndEnd) {
    EXPECT_EQ(AllMatches(L"x^y", L"x^y"), RegexMatchMap{});
    EXPECT_EQ(AllMatches(L"abc", L"$"), RegexMatchMap{});
    EXPECT_EQ(AllMatches(L"abc", L"c$"), (RegexMatchMap{{2, L"c"}}));
    EXPECT_EQ(AllMatches(L"aaa", L"^a"), (RegexMatchMap{{0, L"a"}}));
    EXPECT_EQ(AllMatches(L"", L"a-"), RegexMatchMap{});
}

TEST(RegexMatch, CaseFlagFoldsOnlyPlainLiterals) {
    EXPECT_EQ(MatchAtStart(L"ABC", L"abc", RegexCase::IgnoreCase), L"ABC");
    EXPECT_EQ(MatchAtStart(L"aBc", L"abc", RegexCase::IgnoreCase), L"aBc");
    EXPECT_EQ(MatchAtStart(L"A", L"a+", RegexCase::IgnoreCase), L"<no match>");
    EXPECT_EQ(MatchAtStart(L"A", L"[a]", RegexCase::IgnoreCase), L"<no match>");
    EXPECT_EQ(MatchAtStart(L"ABC", L"abc"), L"<no match>");
    EXPECT_EQ(RegexFoldCase(L'v'), L'V');
    EXPECT_EQ(RegexFoldCase(L'a'), L'A');
    EXPECT_EQ(RegexFoldCase(L'z'), L'Z');
    EXPECT_EQ(RegexFoldCase(L'V'), L'V');
    EXPECT_EQ(RegexFoldCase(L'\x00e9'), L'\x00e9');
    EXPECT_EQ(RegexFoldCase(L'{'), L'{');
}

TEST(RegexMatch, UnitClasses) {
    EXPECT_EQ(MatchAtStart(L"aZ9", L"/a/a/d"), L"aZ9");
    EXPECT_EQ(MatchAtStart(L" \x01\x1f", L"/s/s/s"), L" \x01\x1f");
    EXPECT_EQ(MatchAtStart(L"!", L"/s"), L"<no match>");
    EXPECT_EQ(MatchAtStart(L"/", L"//"), L"/");
    EXPECT_EQ(MatchAtStart(L"\x00e9", L"/a"), L"<no match>");
}

TEST(RegexMatch, SlashNIsAnAsciiLetterOrDigit) {
    EXPECT_EQ(MatchAtStart(L"a", L"/n"), L"a");
    EXPECT_EQ(MatchAtStart(L"Q", L"/n"), L"Q");
    EXPECT_EQ(MatchAtStart(L"5", L"/n"), L"5");
    EXPECT_EQ(MatchAtStart(L"_", L"/n"), L"<no match>");
    EXPECT_EQ(MatchAtStart(L"ab12-", L"/n+"), L"ab12");
    EXPECT_EQ(MatchAtStart(L"a", L"[/n]"), L"<no match>");  // adds no member inside brackets
}

TEST(RegexMatch, NestedGroupStartsAtTheLatestOpen) {
    RegexProgram program;
    ASSERT_TRUE(RegexCompile(L"(a(b)c)d", program));
    const wchar_t* subject = L"abcd";
    RegexCaptureList groups;
    ASSERT_NE(RegexMatchCapture(subject, subject, program, groups, RegexCase::Exact), nullptr);
    EXPECT_EQ(groups, (RegexCaptureList{L"b", L"bc"}));
    // A ')' without '(' closes a group that began where the run began.
    groups.clear();
    ASSERT_TRUE(RegexCompile(L"ab)c", program));
    ASSERT_NE(RegexMatchCapture(subject, subject, program, groups, RegexCase::Exact), nullptr);
    EXPECT_EQ(groups, (RegexCaptureList{L"ab"}));
}

TEST(RegexMatch, FailedMatchAddsNoGroups) {
    RegexProgram program;
    ASSERT_TRUE(RegexCompile(L"(a)x", program));
    const wchar_t* subject = L"ab";
    RegexCaptureList groups{L"earlier"};
    EXPECT_EQ(RegexMatchCapture(subject, subject, program, groups, RegexCase::Exact), nullptr);
    EXPECT_EQ(groups, (RegexCaptureList{L"earlier"}));
}

TEST(RegexMatch, CaretChecksTheCallersSubjectStart) {
    RegexProgram program;
    ASSERT_TRUE(RegexCompile(L"^b", program));
    const wchar_t* subject = L"ab";
    EXPECT_EQ(RegexMatchHere(subject, subject + 1, program, RegexCase::Exact), nullptr);
    EXPECT_EQ(RegexMatchHere(subject + 1, subject + 1, program, RegexCase::Exact), subject + 2);
}

// --- Scanning and replacing --------------------------------------------------------------

TEST(RegexScan, FindAllKeysAreStartIndices) {
    EXPECT_EQ(AllMatches(L"x</a>y</A>", L"<//[Aa]>"), (RegexMatchMap{{1, L"</a>"}, {6, L"</A>"}}));
    EXPECT_EQ(AllMatches(L"aaaa", L"aa"), (RegexMatchMap{{0, L"aa"}, {2, L"aa"}}));
    EXPECT_EQ(AllMatches(L"x</A>", L"<//a>", RegexCase::IgnoreCase), (RegexMatchMap{{1, L"</A>"}}));
}

TEST(RegexScan, FindAllKeepsExistingEntries) {
    RegexMatchMap matches{{1, L"old"}, {9, L"other"}};
    EXPECT_TRUE(RegexFindAll(L"xab", L"ab", matches, RegexCase::Exact));
    EXPECT_EQ(matches, (RegexMatchMap{{1, L"old"}, {9, L"other"}}));
    // Not emptied first: the result says whether the map holds anything.
    EXPECT_TRUE(RegexFindAll(L"zzz", L"ab", matches, RegexCase::Exact));
    RegexMatchMap empty;
    EXPECT_FALSE(RegexFindAll(L"zzz", L"ab", empty, RegexCase::Exact));
}

TEST(RegexScan, ZeroLengthMatchesAreRecordedAndTheScanMovesOn) {
    EXPECT_EQ(AllMatches(L"bab", L"a-"), (RegexMatchMap{{0, L""}, {1, L"a"}, {2, L""}}));
    EXPECT_EQ(AllMatches(L"ab", L""), (RegexMatchMap{{0, L""}, {1, L""}}));
    CString text = L"xyz";
    EXPECT_EQ(RegexReplaceAll(text, L"q*", L"-"), 1);
    EXPECT_EQ(text, L"-x-y-z");
}

TEST(RegexScan, NoCaseWrappers) {
    RegexMatchMap matches;
    EXPECT_TRUE(RegexFindAllNoCaseW(L"A.HTM", L".htm", matches));
    EXPECT_EQ(matches, (RegexMatchMap{{1, L".HTM"}}));
    matches.clear();
    EXPECT_TRUE(RegexFindAllNoCase(CString(L"<TD>"), L"<td>", matches));
    CString group;
    EXPECT_TRUE(RegexGetGroupNoCase(L"<TITLE>Doc</TITLE>", L"<title>(.+)<//TITLE>", group));
    EXPECT_EQ(group, L"Doc");
    EXPECT_FALSE(RegexGetGroup(L"<TITLE>Doc</TITLE>", L"<title>(.+)<//TITLE>", group));
}

TEST(RegexScan, SearchGroupIsEmptyWithoutGroupAndUntouchedWithoutMatch) {
    CString group = L"before";
    EXPECT_TRUE(RegexGetGroup(L"abc", L"b", group));
    EXPECT_EQ(group, L"");
    group = L"before";
    EXPECT_FALSE(RegexGetGroup(L"abc", L"(x)", group));
    EXPECT_EQ(group, L"before");
    EXPECT_EQ(GroupOf(L"http://host/x#12", L"#(/d+)$"), L"12");
    EXPECT_EQ(GroupOf(L"dir/sub/file", L"^(.+)//"), L"dir");
}

TEST(RegexScan, GroupsOfFailedAttemptsAreDiscarded) {
    // The attempt at 0 reaches ')' with "a" and then fails; the match at 2 wins.
    EXPECT_EQ(GroupOf(L"axab", L"(a)b"), L"a");
    EXPECT_EQ(GroupOf(L"a1xb2y", L"(./d)y"), L"b2");
}

TEST(RegexScan, IsMatchIsCaseSensitive) {
    EXPECT_TRUE(RegexIsMatch(L"page.htm", L".htm$"));
    EXPECT_FALSE(RegexIsMatch(L"page.HTM", L".htm$"));
}

TEST(RegexReplace, AllFirstAndNone) {
    CString text = L"a.htm";
    EXPECT_EQ(RegexReplaceAll(text, L".[Hh][Tt][Mm]$", L""), 1);
    EXPECT_EQ(text, L"a");
    text = L"a.txt";
    EXPECT_EQ(RegexReplaceAll(text, L".[Hh][Tt][Mm]$", L""), 0);
    EXPECT_EQ(text, L"a.txt");
    text = L"x<BR 2>y<br 2>z";
    EXPECT_EQ(RegexReplaceAll(text, L"<[Bb][Rr] 2>", L"|"), 1);
    EXPECT_EQ(text, L"x|y|z");
    text = L"x<BR 2>y<br 2>z";
    EXPECT_EQ(RegexReplaceFirst(text, L"<[Bb][Rr] 2>", L""), 1);
    EXPECT_EQ(text, L"xy<br 2>z");
    text = L"abc";
    EXPECT_EQ(RegexReplaceFirst(text, L"x", L"y"), 0);
    EXPECT_EQ(text, L"abc");
    text = L"http://host/page";
    EXPECT_EQ(RegexReplaceAll(text, L"^.*////", L""), 1);
    EXPECT_EQ(text, L"host/page");
}

TEST(RegexReplace, ReplacementIsLiteral) {
    CString text = L"a1b";
    EXPECT_EQ(RegexReplaceAll(text, L"(/d)", L"$1//\\1"), 1);
    EXPECT_EQ(text, L"a$1//\\1b");
}

TEST(RegexReplace, ReplaceIsCaseSensitive) {
    CString text = L"ABC";
    EXPECT_EQ(RegexReplaceAll(text, L"b", L"x"), 0);
    EXPECT_EQ(text, L"ABC");
}

// --- Repetition modes and atoms that consume nothing ------------------------------------

TEST(RegexRepeat, StarBeforeGroupCloseLooksPastItLikePlus) {
    EXPECT_EQ(GroupOf(L"abxcx", L"(.*)x"), L"ab");
    EXPECT_EQ(GroupOf(L"abxcx", L"(.+)x"), L"ab");
    EXPECT_EQ(GroupOf(L"abxcx", L"(.*)"), L"abxcx");
    EXPECT_EQ(GroupOf(L"abxcx", L"(.+))"), L"abxcx");
    EXPECT_EQ(GroupOf(L"x", L"x(.*)"), L"");
}

TEST(RegexRepeat, QuantifiedGroupCloseClosesTheGroupOnce) {
    EXPECT_EQ(GroupOf(L"xab", L"(a)+b"), L"a");
    EXPECT_EQ(GroupOf(L"xab", L"(a)-b"), L"a");
    EXPECT_EQ(MatchAtStart(L"ab", L"(a)*b"), L"ab");
}

TEST(RegexRepeat, NoOpAtomStopsAfterOneEmptyStepAndPrintsEachTime) {
    std::string out = StdoutOf([] { EXPECT_EQ(MatchAtStart(L"xy", L"x/b+y"), L"xy"); });
    EXPECT_EQ(out, "Srch over, 21 NOT found!\n");
    out = StdoutOf([] { EXPECT_EQ(MatchAtStart(L"xy", L"x/b*y"), L"xy"); });
    EXPECT_EQ(out, "Srch over, 21 NOT found!\n");
    out = StdoutOf([] { EXPECT_EQ(AllMatches(L"ab", L"/b"), (RegexMatchMap{{0, L""}, {1, L""}})); });
    EXPECT_EQ(out, "Srch over, 21 NOT found!\nSrch over, 21 NOT found!\n");
}

TEST(RegexRepeat, StraySetCloseIsPassedOverWithAMessage) {
    std::string out = StdoutOf([] { EXPECT_EQ(MatchAtStart(L"ab", L"a]b"), L"ab"); });
    EXPECT_EQ(out, "Srch over, 20 NOT found!\n");
    out = StdoutOf([] { EXPECT_EQ(MatchAtStart(L"ab", L"a]+b"), L"ab"); });
    EXPECT_EQ(out, "Srch over, 20 NOT found!\n");
}

TEST(RegexRepeat, SetLeftOpenRunsToThePatternsEnd) {
    EXPECT_EQ(MatchAtStart(L"b", L"[ab"), L"b");
    EXPECT_EQ(MatchAtStart(L"c", L"[ab"), L"<no match>");
    EXPECT_EQ(MatchAtStart(L"bbb", L"[a+b"), L"b");
}

TEST(RegexRepeat, InnerQuantifiersOfASetAddNoMember) {
    EXPECT_EQ(MatchAtStart(L"b", L"[ab*]"), L"b");
    EXPECT_EQ(MatchAtStart(L"*", L"[ab*]"), L"<no match>");
    EXPECT_EQ(MatchAtStart(L"aab", L"[a+b]+"), L"aab");
}

// --- No fixed capacity ----------------------------------------------------------------------

TEST(RegexCapacity, LongProgramsGroupsAndMatchesAreKeptWhole) {
    CString longLiteral(L'q', 5000);
    CString subject = L"<" + longLiteral + L">";
    EXPECT_EQ(AllMatches(subject, longLiteral), (RegexMatchMap{{1, longLiteral}}));
    CString body(L'x', 100000);
    EXPECT_EQ(GroupOf(L"<b>" + body + L"</b>", L"<b>(.+)<//b>"), body);
    CString text = L"a" + body + L"z";
    EXPECT_EQ(RegexReplaceAll(text, L"x+", L"-"), 1);
    EXPECT_EQ(text, L"a-z");
}

TEST(RegexCapacity, ManyNestedLazyRepetitionsNeedNoDeepStack) {
    // Every "a+" but the last asks whether the rest matches, which asks again,
    // twenty thousand levels deep.
    CString pattern;
    for (int i = 0; i < 20000; ++i) pattern += L"a+";
    pattern += L"b";
    CString subject = CString(L'a', 30000) + L"b";
    EXPECT_EQ(MatchAtStart(subject, pattern), subject);
    CString shortPattern;
    for (int i = 0; i < 300; ++i) shortPattern += L"a+";
    shortPattern += L"b";
    EXPECT_EQ(MatchAtStart(CString(L'a', 299) + L"b", shortPattern), L"<no match>");
}
