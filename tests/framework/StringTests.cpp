#include "core/String.h"

#include <gtest/gtest.h>

TEST(String, ExtractionClampsOutOfRangeIndices) {
    CString s(L"abcdef");
    EXPECT_EQ(s.Mid(2, 3), L"cde");
    EXPECT_EQ(s.Mid(4, 100), L"ef");
    EXPECT_EQ(s.Mid(-3, 2), L"ab");
    EXPECT_EQ(s.Mid(10), L"");
    EXPECT_EQ(s.Left(-1), L"");
    EXPECT_EQ(s.Right(100), L"abcdef");
}

TEST(String, ReplaceCountsAndHandlesGrowingReplacement) {
    CString s(L"aXbXc");
    EXPECT_EQ(s.Replace(L"X", L"XX"), 2);
    EXPECT_EQ(s, L"aXXbXXc");
    EXPECT_EQ(s.Replace(L"", L"q"), 0);
    EXPECT_EQ(s.Replace(L"zz", L"q"), 0);
    EXPECT_EQ(s, L"aXXbXXc");
}

TEST(String, FormatGrowsPastTheFirstBuffer) {
    CString big(L'z', 5000);
    CString s;
    s.Format(L"[%ls|%d]", big.GetString(), 42);
    EXPECT_EQ(s.GetLength(), 5000 + 5);
    EXPECT_EQ(s.Right(4), L"|42]");
}

TEST(String, BufferReleaseTrimsAtTerminator) {
    CString s;
    wchar_t* buffer = s.GetBuffer(10);
    buffer[0] = L'h';
    buffer[1] = L'i';
    buffer[2] = 0;
    s.ReleaseBuffer();
    EXPECT_EQ(s, L"hi");
}

TEST(String, CaseAndTrimTouchOnlyAscii) {
    CString s(L"  \x00e9t\x00e9 Ab\t\r\n");
    s.Trim();
    EXPECT_EQ(s, L"\x00e9t\x00e9 Ab");
    EXPECT_EQ(CString(s).MakeUpper(), L"\x00e9T\x00e9 AB");
    EXPECT_EQ(CString(L"ABC").CompareNoCase(L"abd"), -1);
    EXPECT_EQ(CString(L"ABC").CompareNoCase(L"abc"), 0);
}
