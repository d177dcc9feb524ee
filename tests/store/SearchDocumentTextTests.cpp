#include "TempDir.h"
#include "search/SearchDocumentText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A page file as the store writes it: UTF-16 little-endian with a byte-order mark.
CString WritePage(const TempDir& folder, const CString& name, const CString& body) {
    CString page = L"\xFEFF<html id=tq1>\n<head>\n<title>T</title>\n</head>\n<body>\n" + body + L"\n</body>\n</html>\n";
    std::string bytes;
    for (wchar_t c : page.str()) bytes += static_cast<char>(c & 0xFF), bytes += static_cast<char>(c >> 8);
    CString path = folder / name;
    WriteFileBytes(path, bytes);
    return path;
}

TEST(SearchDocumentText, PlainModeTakesKeywordsAsAPattern) {
    TempDir folder;
    CString page = WritePage(folder, L"a.htm", L"<p>x abc y</p>");
    std::vector<CString> matches;
    EXPECT_EQ(SearchDocumentText(page, matches, L"a.c", 0, 0), 1);
    EXPECT_TRUE(matches.empty());
    EXPECT_EQ(SearchDocumentText(page, matches, L"zzz", 0, 0), 0);
}

TEST(SearchDocumentText, CaseFlagDecidesLetterCase) {
    TempDir folder;
    CString page = WritePage(folder, L"a.htm", L"A Word here");
    std::vector<CString> matches;
    EXPECT_EQ(SearchDocumentText(page, matches, L"word", 0, 0), 1);
    EXPECT_EQ(SearchDocumentText(page, matches, L"word", 0, 1), 0);
}

TEST(SearchDocumentText, RegularExpressionModeListsDistinctMatches) {
    TempDir folder;
    CString page = WritePage(folder, L"a.htm", L"abc abd abc");
    std::vector<CString> matches;
    EXPECT_EQ(SearchDocumentText(page, matches, L"ab.", 1, 1), 1);
    EXPECT_EQ(matches, (std::vector<CString>{L"abc", L"abd"}));
    std::vector<CString> withPattern{L"abc"};
    CString dotted = WritePage(folder, L"b.htm", L"a.c");
    EXPECT_EQ(SearchDocumentText(dotted, withPattern, L"a/.c", 1, 1), 1);
    EXPECT_EQ(withPattern, (std::vector<CString>{L"abc"}));
}

TEST(SearchDocumentText, PiecesOfAThousandCharacters) {
    TempDir folder;
    CString across = CString(L'x', 998) + L"abcd";  // "ab" ends the first piece, "cd" starts the second
    CString page = WritePage(folder, L"a.htm", across);
    std::vector<CString> matches;
    EXPECT_EQ(SearchDocumentText(page, matches, L"abcd", 0, 1), 0);
    EXPECT_EQ(SearchDocumentText(page, matches, L"cd", 0, 1), 1);
    CString exact = WritePage(folder, L"b.htm", CString(L'y', 999) + L"z");
    EXPECT_EQ(SearchDocumentText(exact, matches, L"z$", 0, 1), 1);
}

TEST(SearchDocumentText, OnlyRenderedTextIsSearched) {
    TempDir folder;
    CString page = WritePage(folder, L"a.htm", L"<a href=\"secret.htm\" title=hidden>Fish &amp; Chips</a><script>var code;</script>");
    std::vector<CString> matches;
    EXPECT_EQ(SearchDocumentText(page, matches, L"secret", 0, 0), 0);
    EXPECT_EQ(SearchDocumentText(page, matches, L"hidden", 0, 0), 0);
    EXPECT_EQ(SearchDocumentText(page, matches, L"code", 0, 0), 0);
    EXPECT_EQ(SearchDocumentText(page, matches, L"Fish & Chips", 0, 1), 1);
}

TEST(SearchDocumentText, UnreadableFileIsSearchedAsEmptyText) {
    TempDir folder;
    std::vector<CString> matches;
    EXPECT_EQ(SearchDocumentText(folder / L"missing.htm", matches, L"a", 0, 0), 0);
}

}  // namespace
