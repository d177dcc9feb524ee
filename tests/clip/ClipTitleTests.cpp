#include "clip/ClipTitle.h"
#include "clip/NewsSites.h"

#include <gtest/gtest.h>

namespace {
SYSTEMTIME Day(WORD year, WORD month, WORD day) {
    SYSTEMTIME t{};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    return t;
}
const SYSTEMTIME kMarch7 = Day(2026, 3, 7);
}  // namespace

TEST(ClipTitle, HostIsTakenBetweenSchemeAndPath) {
    struct Case { const wchar_t* address; const wchar_t* host; } cases[] = {
        {L"http://a.example.com/news/1", L"a.example.com"},
        {L"https://example.com", L"example.com"},
        {L"http://example.com/", L"example.com/"},
        {L"example.com/x", L"example.com"},
        {L"C:\\Docs\\a.txt", L"C:\\Docs\\a.txt"},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(HostOfAddress(c.address), c.host) << ::testing::PrintToString(CString(c.address));
}

TEST(ClipTitle, SiteWordIsSecondLabelOfLongHostsAndFirstOfShortOnes) {
    struct Case { const wchar_t* host; const wchar_t* word; } cases[] = {
        {L"a.example.com", L"example"},
        {L"example.com", L"example"},
        {L"www.bbc.co.uk", L"bbc"},
        {L"localhost", L""},
        {L"host.", L""},
        {L"", L""},
        {L"a..b", L"a"},
    };
    for (const Case& c : cases) EXPECT_EQ(SiteWordOfHost(c.host), c.word) << ::testing::PrintToString(CString(c.host));
}

TEST(ClipTitle, SourceNameComesFromTheNewsTableOrTheCapitalisedSiteWord) {
    EXPECT_EQ(SourceNameOfAddress(L"http://www.nytimes.com/2026/a.html"), L"New York Times");
    EXPECT_EQ(SourceNameOfAddress(L"https://edition.cnn.com/x"), L"CNN");
    EXPECT_EQ(SourceNameOfAddress(L"http://a.example.com/x"), L"Example");
    EXPECT_EQ(SourceNameOfAddress(L"http://localhost/x"), L"");
    // The table is compared exactly.
    EXPECT_EQ(NewsSourceName(L"BBC"), L"");
    EXPECT_EQ(NewsSourceName(L"bbc"), L"BBC News");
}

TEST(ClipTitle, NineNewsSitesAreKnown) {
    const wchar_t* words[] = {L"nytimes", L"washingtonpost", L"wsj", L"bbc", L"cnn",
                              L"reuters", L"theguardian", L"bloomberg", L"apnews"};
    for (const wchar_t* word : words) EXPECT_FALSE(NewsSourceName(word).IsEmpty()) << ::testing::PrintToString(CString(word));
}

TEST(ClipTitle, DateTextHasNoLeadingZeros) {
    EXPECT_EQ(DateText(kMarch7), L"(3-7-2026)");
    EXPECT_EQ(DateText(Day(2026, 12, 31)), L"(12-31-2026)");
}

TEST(ClipTitle, BothOptionsAppendSourceAndDate) {
    EXPECT_EQ(DecorateClipTitle(L"T", L"http://a.example.com/x", true, true, kMarch7), L"T|Example|(3-7-2026)");
    EXPECT_EQ(DecorateClipTitle(L"T", L"http://example.com/x", true, true, kMarch7), L"T|Example|(3-7-2026)");
    EXPECT_EQ(DecorateClipTitle(L"T", L"http://localhost/x", true, true, kMarch7), L"T||(3-7-2026)");
}

TEST(ClipTitle, TitleBarTailIsCutOnlyWhenAnOptionIsOn) {
    EXPECT_EQ(DecorateClipTitle(L"News|old tail", L"http://example.com/", true, false, kMarch7), L"News(3-7-2026)");
    EXPECT_EQ(DecorateClipTitle(L"News|old tail", L"http://example.com/", false, true, kMarch7), L"News|Example|");
    EXPECT_EQ(DecorateClipTitle(L"News|old tail", L"http://example.com/", false, false, kMarch7), L"News|old tail");
    // A "|" with nothing after it is not a tail.
    EXPECT_EQ(CutAddedTail(L"News|"), L"News|");
}

TEST(ClipTitle, PressingDateTwiceRestoresTheTitle) {
    CString on = ToggleDateTail(L"Story", L"http://example.com/a", false, kMarch7);
    EXPECT_EQ(on, L"Story|Example|(3-7-2026)");
    EXPECT_EQ(ToggleDateTail(on, L"http://example.com/a", true, kMarch7), L"Story");
}

TEST(ClipTitle, TrimEndDropsSiteAfterLastHyphenAndKeepsTheTail) {
    EXPECT_EQ(TrimTitleEnd(L"Story - Site|Example|(3-7-2026)"), L"Story |Example|(3-7-2026)");
    EXPECT_EQ(TrimTitleEnd(L"Story - Site"), L"Story ");
    EXPECT_EQ(TrimTitleEnd(L"Story: Site"), L"Story");
    EXPECT_EQ(TrimTitleEnd(L"a-b: c-d"), L"a-b: c");
    EXPECT_EQ(TrimTitleEnd(L"Story-"), L"Story-");
    EXPECT_EQ(TrimTitleEnd(L"Plain"), L"Plain");
}

TEST(ClipTitle, TrimHeadDropsSiteBeforeFirstHyphenAndKeepsTheTail) {
    EXPECT_EQ(TrimTitleHead(L"Site: Story"), L" Story");
    EXPECT_EQ(TrimTitleHead(L"Site - Story|Example|(3-7-2026)"), L" Story|Example|(3-7-2026)");
    EXPECT_EQ(TrimTitleHead(L"-x: y"), L" y");
    EXPECT_EQ(TrimTitleHead(L"Plain"), L"Plain");
}

TEST(ClipTitle, TrimNeverDuplicatesATitleThatBeginsWithABar) {
    EXPECT_EQ(TrimTitleEnd(L"|a-b|Src|(1-2-2026)"), L"|a|Src|(1-2-2026)");
    EXPECT_EQ(TrimTitleHead(L"|a-b|Src|(1-2-2026)"), L"b|Src|(1-2-2026)");
}
