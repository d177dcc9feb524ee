// The slash pattern matcher, narrow engine: the same rules over 8-bit text,
// without case folding, "/b" as the letter b, and groups only for
// RegexGetGroupA.
#include "regex/Regex.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

std::string StdoutOf(const std::function<void()>& action) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
}

} // namespace

TEST(RegexNarrow, TableAndFormAttributesAreRead) {
    CStringA group;
    EXPECT_EQ(RegexGetGroupA("<TABLE border=1 col=\"3\" id=t>", "<TABLE.+col=\"(/d+)\"", group), 1);
    EXPECT_EQ(group, "3");
    EXPECT_EQ(RegexGetGroupA("<table name=\"News\" col=\"2\">", "name=\"(.+)\"", group), 1);
    EXPECT_EQ(group, "News");
}

TEST(RegexNarrow, NoMatchLeavesGroupAndNoGroupGivesEmpty) {
    CStringA group = "before";
    EXPECT_EQ(RegexGetGroupA("abc", "x(y)", group), 0);
    EXPECT_EQ(group, "before");
    EXPECT_EQ(RegexGetGroupA("abc", "b", group), 1);
    EXPECT_EQ(group, "");
}

TEST(RegexNarrow, FindAllIsCaseSensitive) {
    RegexMatchMapA matches;
    EXPECT_TRUE(RegexFindAllA("x</a>y</A>", "<//a>", matches));
    EXPECT_EQ(matches, (RegexMatchMapA{{1, "</a>"}}));
}

TEST(RegexNarrow, SlashBIsTheLetterB) {
    RegexProgramA program;
    ASSERT_TRUE(RegexCompileA("/b", program));
    EXPECT_EQ(std::vector<int>(program.Cells().begin(), program.Cells().end()), (std::vector<int>{1, 'b', 15, 0}));
    RegexMatchMapA matches;
    EXPECT_TRUE(RegexFindAllA("abc", "/b", matches));
    EXPECT_EQ(matches, (RegexMatchMapA{{1, "b"}}));
}

TEST(RegexNarrow, UnitsAbove127AreOrdinaryLiteralsAndNotBlanks) {
    RegexMatchMapA matches;
    EXPECT_TRUE(RegexFindAllA("a\xe9\xe9z", "\xe9+", matches));
    EXPECT_EQ(matches, (RegexMatchMapA{{1, "\xe9\xe9"}}));
    matches.clear();
    EXPECT_FALSE(RegexFindAllA("\xa0\xff", "/s", matches));
    EXPECT_TRUE(RegexFindAllA("x\xa0y", "[^\xa0]+", matches));
    EXPECT_EQ(matches, (RegexMatchMapA{{0, "x"}, {2, "y"}}));
}

TEST(RegexNarrow, ReplaceAllShiftsLaterMatches) {
    CStringA text = "a<b>c<b>d";
    EXPECT_EQ(RegexReplaceAllA(text, "<b>", "<strong>"), 1);
    EXPECT_EQ(text, "a<strong>c<strong>d");
    EXPECT_EQ(RegexReplaceAllA(text, "<strong>", ""), 1);
    EXPECT_EQ(text, "acd");
}

TEST(RegexNarrow, ReplaceAllReportsSuccessWithoutMatchButNotForBadPattern) {
    CStringA text = "abc";
    EXPECT_EQ(RegexReplaceAllA(text, "x", "y"), 1);
    EXPECT_EQ(text, "abc");
    std::string out = StdoutOf([&] { EXPECT_EQ(RegexReplaceAllA(text, "b/", "y"), 0); });
    EXPECT_EQ(out, "Err using :\nNo pattern specified\n");
    EXPECT_EQ(text, "abc");
}

TEST(RegexNarrow, CompileErrorsUseTheNarrowTexts) {
    RegexProgramA program;
    EXPECT_EQ(StdoutOf([&] { EXPECT_EQ(RegexCompileA("a/", program), nullptr); }), "Err using :\n");
    EXPECT_EQ(StdoutOf([&] { EXPECT_EQ(RegexCompileA("^*", program), nullptr); }), "* + - was misused\n");
    CStringA group = "kept";
    EXPECT_EQ(StdoutOf([&] { EXPECT_EQ(RegexGetGroupA("abc", "(+", group), 0); }),
              "* + - was misused\nNo pattern specified\n");
    EXPECT_EQ(group, "kept");
}

TEST(RegexNarrow, MatchesAndGroupsOfAnyLength) {
    CStringA body(static_cast<char>('x'), 5000);
    RegexMatchMapA matches;
    EXPECT_TRUE(RegexFindAllA(("<" + body + ">").GetString(), "x+", matches));
    EXPECT_EQ(matches, (RegexMatchMapA{{1, body}}));
    CStringA group;
    EXPECT_EQ(RegexGetGroupA(("name=\"" + body + "\"").GetString(), "name=\"(.+)\"", group), 1);
    EXPECT_EQ(group, body);
    CStringA text = "a" + body + "b";
    EXPECT_EQ(RegexReplaceAllA(text, "x", "yy"), 1);
    EXPECT_EQ(text.GetLength(), 10002);
}
