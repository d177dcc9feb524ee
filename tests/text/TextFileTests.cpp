#include "textfile/StdioFileEx.h"

#include "Random.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include "Utf16Bytes.h"

#include <vector>

namespace {

constexpr UINT kReadText = CFile::typeText;                                                  // 0x4000
constexpr UINT kWriteUtf8 = CFile::modeCreate | CFile::modeWrite | CFile::typeBinary;       // 0x9001
constexpr UINT kWriteUtf16 = CStdioFileEx::modeWriteUtf16 | CFile::modeCreate | CFile::modeWrite;  // 0x21001
constexpr UINT kWriteUtf16ReadWrite = CStdioFileEx::modeWriteUtf16 | CFile::modeCreate | CFile::modeReadWrite;

std::vector<CString> ReadAllLines(const CString& path, UINT flags, int codePage = -1) {
    CStdioFileEx file;
    file.SetCodePage(codePage);
    std::vector<CString> lines;
    if (!file.Open(path, flags)) return lines;
    CString line;
    while (file.ReadString(line)) lines.push_back(line);
    return lines;
}

// A line the reader gives back unchanged: no line feed inside, no carriage return at its end.
CString AsLine(CString text) {
    text.Remove(L'\n');
    return text.TrimRight(L'\r');
}

// Lone surrogates have no UTF-8 form; replace them so the text can round-trip.
CString WithoutLoneSurrogates(CString text) {
    std::wstring& units = text.str();
    for (size_t i = 0; i < units.size(); ++i) {
        bool high = units[i] >= 0xD800 && units[i] <= 0xDBFF;
        bool low = units[i] >= 0xDC00 && units[i] <= 0xDFFF;
        if (high && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            ++i;
        } else if (high || low) {
            units[i] = L'?';
        }
    }
    return text;
}

}  // namespace

TEST(TextFile, FileWithMarkOpenedAsTextReadsAsUtf16WithoutMarkOrLineEnds) {
    TempDir dir;
    CString path = dir / L"page.htm";
    WriteFileBytes(path, Utf16Bytes(L"<html id=tq1>\r\n\x4e2d\x6587\n\nlast\r", true));
    EXPECT_TRUE(CStdioFileEx::IsFileUnicode(path));

    CStdioFileEx file;
    ASSERT_TRUE(file.Open(path, kReadText));
    EXPECT_TRUE(file.IsUnicodeText());
    EXPECT_EQ(file.GetOpenFlags() & (CFile::typeText | CFile::typeBinary), static_cast<UINT>(CFile::typeBinary));
    std::vector<CString> lines;
    CString line;
    while (file.ReadString(line)) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<CString>{L"<html id=tq1>", L"\x4e2d\x6587", L"", L"last"}));
}

TEST(TextFile, OnlyTextReadsAreProbedForTheMark) {
    TempDir dir;
    CString path = dir / L"page.htm";
    WriteFileBytes(path, Utf16Bytes(L"ab\n", true));

    CStdioFileEx binary;
    binary.SetCodePage(1252);
    ASSERT_TRUE(binary.Open(path, CFile::typeBinary));
    EXPECT_FALSE(binary.IsUnicodeText());
    CString line;
    ASSERT_TRUE(binary.ReadString(line));
    EXPECT_EQ(line, CString(L"\x00FF\x00FE" L"a", 3) + CString(L'\0') + L"b" + CString(L'\0'));

    CStdioFileEx untyped;
    ASSERT_TRUE(untyped.Open(path, CFile::modeRead));
    EXPECT_FALSE(untyped.IsUnicodeText());

    CStdioFileEx writer;
    ASSERT_TRUE(writer.Open(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite | CFile::typeText));
    EXPECT_FALSE(writer.IsUnicodeText());
}

TEST(TextFile, MarkProbeAnswersNoForShortMissingAndOtherFiles) {
    TempDir dir;
    WriteFileBytes(dir / L"one.txt", "\xFF");
    WriteFileBytes(dir / L"utf8.txt", "\xEF\xBB\xBFx");
    WriteFileBytes(dir / L"be.txt", "\xFE\xFFx");
    EXPECT_FALSE(CStdioFileEx::IsFileUnicode(dir / L"one.txt"));
    EXPECT_FALSE(CStdioFileEx::IsFileUnicode(dir / L"utf8.txt"));
    EXPECT_FALSE(CStdioFileEx::IsFileUnicode(dir / L"be.txt"));
    EXPECT_FALSE(CStdioFileEx::IsFileUnicode(dir / L"missing.txt"));
    EXPECT_FALSE(CStdioFileEx::IsFileUnicode(dir.Path()));
    EXPECT_FALSE(CStdioFileEx::IsFileUnicode(nullptr));
}

TEST(TextFile, AnsiLinesLoseTheirLineEndsAndEmptyAndUnendedLinesCount) {
    TempDir dir;
    CString path = dir / L"a.txt";
    WriteFileBytes(path, "abc\r\n\r\n\nlast");
    EXPECT_EQ(ReadAllLines(path, kReadText), (std::vector<CString>{L"abc", L"", L"", L"last"}));
    // Binary mode sees the CR itself; the reader still strips "\r\n".
    EXPECT_EQ(ReadAllLines(path, CFile::typeBinary), (std::vector<CString>{L"abc", L"", L"", L"last"}));
}

TEST(TextFile, LongLinesComeBackWholeInEveryEncoding) {
    TempDir dir;
    // 50,000 bytes of two-byte UTF-8 characters: a cut at 40,959 bytes would split one.
    std::string utf8;
    for (int i = 0; i < 25000; ++i) utf8 += "\xC3\xA9";
    WriteFileBytes(dir / L"utf8.txt", utf8 + "\r\nnext\r\n");
    auto lines = ReadAllLines(dir / L"utf8.txt", kReadText, CP_UTF8);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], CString(L'\x00e9', 25000));
    EXPECT_EQ(lines[1], L"next");

    std::string ansi(50000, 'q');
    WriteFileBytes(dir / L"ansi.txt", ansi + "\nnext");
    lines = ReadAllLines(dir / L"ansi.txt", kReadText);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], CString(L'q', 50000));

    std::wstring wide(100000, L'\x4e2d');
    WriteFileBytes(dir / L"wide.htm", Utf16Bytes(wide + L"\r\nnext", true));
    lines = ReadAllLines(dir / L"wide.htm", kReadText);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].str(), wide);
    EXPECT_EQ(lines[1], L"next");
}

TEST(TextFile, Utf16WrittenTwiceCarriesOneMarkAndUnchangedUnits) {
    TempDir dir;
    const std::string expected = Utf16Bytes(L"x\nx\n", true);
    for (UINT flags : {kWriteUtf16 | static_cast<UINT>(CFile::typeBinary), kWriteUtf16, kWriteUtf16ReadWrite,
                       kWriteUtf16 | static_cast<UINT>(CFile::typeText)}) {
        CString path = dir / L"page.htm";
        {
            CStdioFileEx file(path, flags);
            file.WriteString(L"x\n");
            file.WriteString(L"x\n");
        }
        EXPECT_EQ(ReadFileBytes(path), expected) << "flags " << std::hex << flags;
    }
    // A unit holding the byte 0x0A (U+010A) is not taken for a line end either.
    {
        CStdioFileEx file(dir / L"page.htm", kWriteUtf16);
        file.WriteString(L"\x010A\x0A0D\n");
    }
    EXPECT_EQ(ReadAllLines(dir / L"page.htm", kReadText), (std::vector<CString>{L"\x010A\x0A0D"}));
}

TEST(TextFile, Utf16AppendedLaterDoesNotRepeatTheMark) {
    TempDir dir;
    CString path = dir / L"page.htm";
    {
        CStdioFileEx file(path, kWriteUtf16);
        file.WriteString(L"one\n");
    }
    {
        CStdioFileEx file(path, kWriteUtf16 | CFile::modeNoTruncate);
        file.SeekToEnd();
        file.WriteString(L"two\n");
    }
    EXPECT_EQ(ReadFileBytes(path), Utf16Bytes(L"one\ntwo\n", true));
}

TEST(TextFile, ReadingAgainFromTheStartSkipsTheMarkAgain) {
    TempDir dir;
    CString path = dir / L"page.htm";
    WriteFileBytes(path, Utf16Bytes(L"one\ntwo\n", true));
    CStdioFileEx file(path, kReadText);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, L"two");
    file.SeekToBegin();
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, L"one");
    file.Seek(2, CFile::begin);
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, L"one");
}

TEST(TextFile, Utf8CodePageWritesUtf8BytesWithoutMarkOrReplacement) {
    TempDir dir;
    CString path = dir / L"form.txt";
    {
        CStdioFileEx file;
        file.SetCodePage(CP_UTF8);
        ASSERT_TRUE(file.Open(path, kWriteUtf8));
        file.WriteString(L"a\x00e9\x20ac\xd83d\xde00#\n");
    }
    EXPECT_EQ(ReadFileBytes(path), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80#\n");
    EXPECT_EQ(ReadAllLines(path, kReadText, CP_UTF8), (std::vector<CString>{L"a\x00e9\x20ac\xd83d\xde00#"}));
}

TEST(TextFile, AnsiCodePageWritesHashForWhatItLacks) {
    TempDir dir;
    CString path = dir / L"a.txt";
    {
        CStdioFileEx file;
        file.SetCodePage(1252);
        ASSERT_TRUE(file.Open(path, kWriteUtf8));
        file.WriteString(L"a\x00e9\x4e2d\n");
    }
    EXPECT_EQ(ReadFileBytes(path), "a\xE9#\n");
    // Text mode writes every line feed as CR LF.
    {
        CStdioFileEx file;
        file.SetCodePage(1252);
        ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite));
        file.WriteString(L"a\nb\n");
    }
    EXPECT_EQ(ReadFileBytes(path), "a\r\nb\r\n");
}

TEST(TextFile, DefaultCodePageFollowsTheSystemAnsiCodePage) {
    const wchar_t* text = L"caf\x00e9 \x4e2d \x0416";
    int acp = static_cast<int>(GetACP());
    EXPECT_EQ(CStdioFileEx::GetRequiredMultiByteLength(text, -1), CStdioFileEx::GetRequiredMultiByteLength(text, acp));

    TempDir dir;
    for (int codePage : {-1, acp}) {
        CStdioFileEx file;
        file.SetCodePage(codePage);
        ASSERT_TRUE(file.Open(dir / (codePage == -1 ? L"default.txt" : L"acp.txt"), kWriteUtf8));
        file.WriteString(text);
    }
    EXPECT_EQ(ReadFileBytes(dir / L"default.txt"), ReadFileBytes(dir / L"acp.txt"));
    EXPECT_FALSE(ReadFileBytes(dir / L"default.txt").empty());
}

TEST(TextFile, ConversionHelpersReportLengthsAndRefuseWhatDoesNotFit) {
    EXPECT_EQ(CStdioFileEx::GetRequiredMultiByteLength(L"\x00e9", CP_UTF8), 3);
    EXPECT_EQ(CStdioFileEx::GetRequiredMultiByteLength(L"", 1252), 1);
    EXPECT_EQ(CStdioFileEx::GetRequiredMultiByteLength(nullptr, 1252), 0);

    char bytes[8] = {};
    EXPECT_EQ(CStdioFileEx::WideToMultiByte(L"\x00e9x", bytes, 8, CP_UTF8), 3);
    EXPECT_STREQ(bytes, "\xC3\xA9x");
    EXPECT_EQ(CStdioFileEx::WideToMultiByte(L"abcdefghij", bytes, 8, 1252), 0);
    EXPECT_EQ(CStdioFileEx::WideToMultiByte(L"a", nullptr, 8, 1252), 0);

    wchar_t units[4] = {};
    EXPECT_EQ(CStdioFileEx::MultiByteToWide("\xC3\xA9x", units, 4, CP_UTF8), 2);
    EXPECT_EQ(std::wstring(units), L"\x00e9x");
    EXPECT_EQ(CStdioFileEx::MultiByteToWide("abcdef", units, 4, 1252), 0);
    EXPECT_EQ(CStdioFileEx::MultiByteToWide(nullptr, units, 4, 1252), 0);
    EXPECT_EQ(CStdioFileEx::MultiByteToWide("a", nullptr, 4, 1252), 0);
}

TEST(TextFile, LineThatConvertsToNothingIsEmptyNotThePreviousLine) {
    TempDir dir;
    CString path = dir / L"a.txt";
    WriteFileBytes(path, "first\nsecond\n");
    CStdioFileEx file;
    ASSERT_TRUE(file.Open(path, kReadText));
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, L"first");
    file.SetCodePage(12345);  // no such code page
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, L"");
    EXPECT_FALSE(file.ReadString(line));
}

TEST(TextFile, ZeroBytesAndAnOddLastByteAreKept) {
    TempDir dir;
    WriteFileBytes(dir / L"a.txt", std::string("a\0b\n", 4));
    EXPECT_EQ(ReadAllLines(dir / L"a.txt", kReadText), (std::vector<CString>{CString(L"a\0b", 3)}));
    WriteFileBytes(dir / L"w.htm", Utf16Bytes(L"ab\n", true) + "c");
    EXPECT_EQ(ReadAllLines(dir / L"w.htm", kReadText), (std::vector<CString>{L"ab", L"c"}));
}

TEST(TextFile, OpenFailureFillsTheRecordAndTheOpeningConstructorThrows) {
    TempDir dir;
    CStdioFileEx file;
    CFileException error;
    EXPECT_FALSE(file.Open(dir / L"missing.htm", kReadText, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_strFileName, dir / L"missing.htm");
    EXPECT_THROW(CStdioFileEx(dir / L"missing\\page.htm", kWriteUtf16), CFileException);
}

TEST(TextFile, RandomWideTextRoundTripsAsUtf16LineByLine) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        Random random(seed);
        TempDir dir;
        CString path = dir / L"page.htm";
        std::vector<CString> lines;
        int count = random.Int(1, 30);
        for (int i = 0; i < count; ++i) lines.push_back(AsLine(random.AnyWide(0, random.Chance(5) ? 60000 : 200)));
        {
            CStdioFileEx file(path, random.Chance(50) ? kWriteUtf16 : kWriteUtf16ReadWrite);
            for (const CString& line : lines) file.WriteString(line + (random.Chance(30) ? L"\r\n" : L"\n"));
        }
        ASSERT_EQ(ReadAllLines(path, kReadText), lines) << "seed " << seed;
    }
}

TEST(TextFile, RandomWideTextRoundTripsAsUtf8LineByLine) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        Random random(seed);
        TempDir dir;
        CString path = dir / L"form.txt";
        std::vector<CString> lines;
        int count = random.Int(1, 30);
        for (int i = 0; i < count; ++i) lines.push_back(AsLine(WithoutLoneSurrogates(random.AnyWide(0, 200))));
        {
            CStdioFileEx file;
            file.SetCodePage(CP_UTF8);
            ASSERT_TRUE(file.Open(path, random.Chance(50) ? kWriteUtf8 : CFile::modeCreate | CFile::modeWrite));
            for (const CString& line : lines) file.WriteString(line + L"\n");
        }
        ASSERT_EQ(ReadAllLines(path, kReadText, CP_UTF8), lines) << "seed " << seed;
    }
}
