// The slash pattern matcher under random patterns and subjects: a plain
// recursive walker that follows the matching rules word for word (and so can
// take exponential time) checks the matcher's results on small inputs; large
// and hostile inputs must simply finish.
#include "regex/Regex.h"
#include "regex/RegexScan.h"

#include "Random.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const std::vector<CString> kPatternTokens = {
    L"a", L"b", L"A", L"x", L" ", L".", L"^", L"$", L"*", L"+", L"-", L"(", L")", L"[", L"]", L"[^",
    L"/d", L"/s", L"/a", L"/n", L"//", L"/b", L"/(", L"/]", L".+", L"(.+)", L"[ab]+", L"[^a]+", L"\t"};

CString RandomPattern(Random& random, int maxTokens) {
    CString pattern;
    int count = random.Int(1, maxTokens);
    for (int i = 0; i < count; ++i) pattern += random.Pick(kPatternTokens);
    return pattern;
}

CString RandomSubject(Random& random, int maxLength) {
    return random.FromAlphabet(L"aabbAx (/1]\t", 0, maxLength);
}

// Walks a compiled program exactly as the matching rules say, by recursion,
// with no remembered answers and no skipped start positions. It gives up
// (GaveUp()) after a number of steps, since it may take exponential time.
class ReferenceWalker {
public:
    ReferenceWalker(const RegexProgram& program, const wchar_t* subject)
        : m_cells(program.Cells().begin(), program.Cells().end()), m_subject(subject) {}

    bool GaveUp() const { return m_steps > kStepBudget; }

    const wchar_t* Run(size_t pc, const wchar_t* s, bool fold, RegexCaptureList* groups) const {
        const wchar_t* g = s;
        for (;;) {
            if (++m_steps > kStepBudget) return nullptr;
            int code = m_cells[pc];
            switch (code) {
            case 15: return s;
            case 16: g = s; ++pc; break;
            case 17:
                if (groups) groups->push_back(CString(g, static_cast<int>(s - g)));
                ++pc;
                break;
            case 7: case 8: case 9: {
                size_t atom = pc + 1;
                size_t after = atom + (m_cells[atom] == 1 ? 2 : 1) + 1;
                auto runAtom = [&](const wchar_t* at) -> const wchar_t* {
                    if (m_cells[atom] == 17) {  // closes the enclosing group
                        if (groups) groups->push_back(CString(g, static_cast<int>(at - g)));
                        return at;
                    }
                    return Run(atom, at, false, nullptr);
                };
                if (code == 9) {
                    if (const wchar_t* e = runAtom(s)) s = e;
                    pc = after;
                    break;
                }
                if (code == 8) {
                    const wchar_t* e = runAtom(s);
                    if (!e) return nullptr;
                    bool empty = e == s;
                    s = e;
                    if (empty) {
                        pc = after;
                        break;
                    }
                }
                size_t rest = m_cells[after] == 17 ? after + 1 : after;
                bool greedy = m_cells[rest] == 17 || m_cells[rest] == 15;
                while (*s) {
                    const wchar_t* e = runAtom(s);
                    if (!e) break;
                    if (!greedy && Run(rest, s, false, nullptr)) break;
                    bool empty = e == s;
                    s = e;
                    if (empty) break;
                }
                pc = after;
                break;
            }
            case 19: {
                Set set = ReadSet(pc);
                if (!set.plus) {
                    bool member = set.Has(*s);
                    if (set.negated ? (!*s || member) : !member) return nullptr;
                    ++s;
                } else if (!set.negated) {
                    if (!set.Has(*s)) return nullptr;
                    while (set.Has(*s)) ++s;
                } else {
                    if (!*s || set.Has(*s)) return nullptr;
                    ++s;
                    size_t rest = m_cells[set.after] == 17 ? set.after + 1 : set.after;
                    while (!Run(rest, s, false, nullptr) && *s && !set.Has(*s)) ++s;
                }
                pc = set.after;
                break;
            }
            default:
                if (!UnitMatches(code, pc, s, fold)) return nullptr;
                break;
            }
        }
    }

private:
    struct Set {
        bool negated = false, plus = false;
        std::vector<wchar_t> members;
        size_t after = 0;
        bool Has(wchar_t u) const {
            for (wchar_t m : members)
                if (m == u) return true;
            return false;
        }
    };

    Set ReadSet(size_t pc) const {
        Set set;
        size_t end = m_cells.size() - 2, i = pc + 1;
        if (m_cells[i] == 2 && i < end) set.negated = true, ++i;
        while (i < end && m_cells[i] != 20) {
            if (m_cells[i] == 1) {
                set.members.push_back(static_cast<wchar_t>(m_cells[i + 1]));
                i += 2;
                continue;
            }
            if (m_cells[i] == 11)
                for (wchar_t d = L'0'; d <= L'9'; ++d) set.members.push_back(d);
            if (m_cells[i] == 13) set.members.push_back(L' ');
            if (m_cells[i] == 8 && m_cells[i + 1] == 20) set.plus = true;
            ++i;
        }
        set.after = i >= end ? end : i + (set.plus ? 2 : 1);
        return set;
    }

    bool UnitMatches(int code, size_t& pc, const wchar_t*& s, bool fold) const {
        wchar_t u = *s;
        bool ok = true, consumes = true;
        switch (code) {
        case 1: {
            wchar_t ch = static_cast<wchar_t>(m_cells[pc + 1]);
            ok = fold ? RegexFoldCase(u) == RegexFoldCase(ch) : u == ch;
            ++pc;
            break;
        }
        case 2: ok = s == m_subject; consumes = false; break;
        case 3: ok = u == 0; consumes = false; break;
        case 4: ok = u != 0; break;
        case 10: ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z'); break;
        case 11: ok = u >= '0' && u <= '9'; break;
        case 12: ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9'); break;
        case 13: ok = u >= 1 && u <= 32; break;
        case 18: ok = u == '/'; break;
        default: consumes = false; break;  // no meaning when matched
        }
        ++pc;
        if (ok && consumes) ++s;
        return ok;
    }

    static constexpr long kStepBudget = 300000;
    std::vector<int> m_cells;
    const wchar_t* m_subject;
    mutable long m_steps = 0;
};

} // namespace

// Compares every start position, the scan and the first group of one pattern
// and subject with the plain walker. False when the walker gave up.
bool AgreesWithPlainWalker(const CString& pattern, const CString& subject, bool fold) {
    RegexCase caseMode = fold ? RegexCase::IgnoreCase : RegexCase::Exact;
    RegexProgram program;
    if (!RegexCompile(pattern, program)) return false;
    SCOPED_TRACE(testing::Message() << "pattern [" << pattern.GetString() << "] subject [" << subject.GetString()
                                    << "] fold " << fold);
    ReferenceWalker reference(program, subject);
    std::vector<const wchar_t*> expectedEnds;
    std::vector<RegexCaptureList> expectedGroups;
    for (const wchar_t* p = subject; *p; ++p) {
        expectedGroups.emplace_back();
        expectedEnds.push_back(reference.Run(0, p, fold, &expectedGroups.back()));
    }
    if (reference.GaveUp()) return false;
    for (size_t i = 0; i < expectedEnds.size(); ++i) {
        RegexCaptureList actualGroups;
        EXPECT_EQ(RegexMatchCapture(subject, subject.GetString() + i, program, actualGroups, caseMode),
                  expectedEnds[i])
            << "at " << i;
        if (expectedEnds[i]) {
            EXPECT_EQ(actualGroups, expectedGroups[i]) << "at " << i;
        }
    }
    // The scan resumes after each match, one unit on after an empty one.
    RegexMatchMap expectedAll;
    CString expectedGroup = L"<none>";
    int expectedFound = 0;
    for (size_t i = 0; i < expectedEnds.size();) {
        const wchar_t* p = subject.GetString() + i;
        if (!expectedEnds[i]) {
            ++i;
            continue;
        }
        if (!expectedFound) {
            expectedFound = 1;
            expectedGroup = expectedGroups[i].empty() ? CString() : expectedGroups[i].front();
        }
        expectedAll.emplace(static_cast<int>(i), CString(p, static_cast<int>(expectedEnds[i] - p)));
        i += expectedEnds[i] > p ? static_cast<size_t>(expectedEnds[i] - p) : 1;
    }
    RegexMatchMap actualAll;
    EXPECT_EQ(RegexFindAll(subject, pattern, actualAll, caseMode), !expectedAll.empty());
    EXPECT_EQ(actualAll, expectedAll);
    CString actualGroup = L"<none>";
    EXPECT_EQ(RegexSearchGroup(subject, pattern, actualGroup, caseMode), expectedFound);
    EXPECT_EQ(actualGroup, expectedGroup);
    return true;
}

TEST(RegexRandom, MatcherAgreesWithPlainWalkerOnSmallInputs) {
    Random random(20261208);
    int compared = 0;
    testing::internal::CaptureStdout();  // compile errors and "/b" messages
    for (int round = 0; round < 20000 && !HasFailure(); ++round)
        compared += AgreesWithPlainWalker(RandomPattern(random, 8), RandomSubject(random, 12), random.Chance(30));
    testing::internal::GetCapturedStdout();
    EXPECT_GT(compared, 8000);
}

TEST(RegexRandom, MatcherAgreesWithPlainWalkerWhereAnswersAreRemembered) {
    // Longer subjects and nested repetitions: here look-aheads are costly
    // enough to be remembered for the rest of the scan.
    static const std::vector<CString> heavy = {L".+", L"(.+)", L"[^x]+", L".*", L"a+", L"x", L"b", L"[ab]+", L"a-",
                                               L")", L"(", L"/s+", L"x+"};
    Random random(99);
    int compared = 0;
    testing::internal::CaptureStdout();
    for (int round = 0; round < 1500 && !HasFailure(); ++round) {
        CString pattern;
        for (int i = random.Int(2, 7); i > 0; --i) pattern += random.Pick(heavy);
        compared += AgreesWithPlainWalker(pattern, random.FromAlphabet(L"aab xb", 10, 60), random.Chance(20));
    }
    testing::internal::GetCapturedStdout();
    EXPECT_GT(compared, 500);
}

TEST(RegexRandom, LargeRandomInputsFinishWithoutHarm) {
    Random random(77);
    testing::internal::CaptureStdout();
    for (int round = 0; round < 3000; ++round) {
        CString pattern = RandomPattern(random, 30);
        CString subject = random.Chance(50) ? RandomSubject(random, 400) : random.HostileText(400);
        SCOPED_TRACE(testing::Message() << "round " << round);
        RegexMatchMap matches;
        RegexFindAll(subject, pattern, matches, random.Chance(50) ? RegexCase::IgnoreCase : RegexCase::Exact);
        int covered = 0;
        for (const auto& [index, match] : matches) {
            ASSERT_GE(index, covered);
            ASSERT_EQ(subject.Mid(index, match.GetLength()), match);
            covered = index + match.GetLength();
        }
        CString text = subject;
        if (RegexReplaceAll(text, pattern, L"#") == 0) {
            ASSERT_EQ(text, subject);
        }
        CString group;
        if (RegexGetGroup(subject, pattern, group)) {
            ASSERT_LE(group.GetLength(), subject.GetLength());
        }
    }
    testing::internal::GetCapturedStdout();
}

TEST(RegexRandom, NarrowEngineTakesAnyBytes) {
    Random random(4242);
    testing::internal::CaptureStdout();
    for (int round = 0; round < 2000; ++round) {
        CStringA pattern, subject;
        CString widePattern = RandomPattern(random, 12);
        for (wchar_t unit : widePattern.str()) pattern += static_cast<char>(unit);
        std::string bytes = random.AnyBytes(0, 300);
        subject = CStringA(bytes.c_str());  // up to the first zero byte, as the matcher sees it
        RegexMatchMapA matches;
        RegexFindAllA(subject, pattern, matches);
        for (const auto& [index, match] : matches) ASSERT_EQ(subject.Mid(index, match.GetLength()), match);
        CStringA text = subject, group;
        RegexReplaceAllA(text, pattern, "-");
        RegexGetGroupA(subject, pattern, group);
    }
    testing::internal::GetCapturedStdout();
}

TEST(RegexRandom, NestedLazyRepetitionsStayCheap) {
    // Each ".+" asks whether the rest matches at every step; with nothing
    // remembered, twelve of them over a few hundred units would never end.
    CString subject(L'a', 300);
    CString pattern = L"(.+.+.+.+.+.+.+.+.+.+.+.+)x";
    RegexMatchMap matches;
    EXPECT_FALSE(RegexFindAll(subject, pattern, matches, RegexCase::Exact));
    EXPECT_FALSE(RegexIsMatch(subject, L"[^x]+.+[^x]+.+[^x]+.+[^x]+.+x"));
    EXPECT_TRUE(RegexIsMatch(subject + L"x", pattern));
    CString group;
    EXPECT_TRUE(RegexGetGroup(subject + L"x", L"(.+.+.+.+.+.+)x", group));
    EXPECT_EQ(group, subject);
}

// The remembered repetition states and the required-text skipping must never
// change a result: every scan is compared with the plain walk (both off), on
// random programs and on subjects built from pieces of the pattern itself, so
// that required text is present and repetitions run long.
TEST(RegexRandom, RememberedStatesAndRequiredTextChangeNoResult) {
    using regex_detail::MatcherTuning;
    const MatcherTuning plain{false, 0, false};
    const MatcherTuning eager{true, 0, true};  // remembers from the first step
    static const std::vector<CString> tokens = {L".+", L"(.+)", L"[^x]+", L".*", L"a+", L"x", L"b", L"[ab]+", L"a-",
                                                L")", L"(", L"/s+", L"[Bb]", L"[xX]", L"ab", L"$", L"^", L"[Aa]+",
                                                L"/d+", L"=\"", L"a*"};
    Random random(170016);
    testing::internal::CaptureStdout();
    for (int round = 0; round < 3000 && !HasFailure(); ++round) {
        CString pattern = random.Chance(30) ? RandomPattern(random, 10) : CString();
        for (int i = random.Int(1, 7); pattern.IsEmpty() && i > 0; --i) pattern += random.Pick(tokens);
        CString subject;
        if (random.Chance(50)) {
            subject = random.FromAlphabet(L"aab xbAB=\"1", 0, 300);
        } else {
            std::wstring piece;
            for (wchar_t unit : pattern.str())
                if (unit != L'+' && unit != L'*' && unit != L'(' && unit != L')' && unit != L'[' && unit != L']')
                    piece += unit;
            for (int i = random.Int(1, 40); i > 0; --i)
                subject += CString(piece.substr(0, static_cast<size_t>(random.Int(0, static_cast<int>(piece.size())))).c_str()) +
                           random.FromAlphabet(L"ab x", 0, 3);
        }
        bool fold = random.Chance(30);
        SCOPED_TRACE(testing::Message() << "pattern [" << pattern.GetString() << "] subject [" << subject.GetString()
                                        << "] fold " << fold);
        RegexMatchMap expected, actual;
        auto expectedResult = regex_detail::FindMatches(subject.GetString(), pattern.GetString(), expected, fold,
                                                        false, plain);
        EXPECT_EQ(regex_detail::FindMatches(subject.GetString(), pattern.GetString(), actual, fold, false, eager),
                  expectedResult);
        EXPECT_EQ(actual, expected);
        CString expectedGroup = L"<none>", actualGroup = L"<none>";
        EXPECT_EQ(regex_detail::SearchFirstGroup(subject.GetString(), pattern.GetString(), actualGroup, fold, eager),
                  regex_detail::SearchFirstGroup(subject.GetString(), pattern.GetString(), expectedGroup, fold, plain));
        EXPECT_EQ(actualGroup, expectedGroup);
    }
    testing::internal::GetCapturedStdout();
}
