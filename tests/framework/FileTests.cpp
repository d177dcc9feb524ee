#include "files/File.h"
#include "files/StdioFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

TEST(File, OpenOfMissingFileReturnsFalseWithTheErrorRecordFilled) {
    TempDir dir;
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(dir / L"missing.htm", CFile::modeRead, &error));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_lOsError, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(error.m_strFileName, dir / L"missing.htm");
    EXPECT_NE(error.GetErrorMessage().Find(dir / L"missing.htm"), -1);

    EXPECT_FALSE(file.Open(L"", CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::badPath);
}

TEST(File, OpeningConstructorThrowsByValueForAMissingFolder) {
    TempDir dir;
    try {
        CFile file(dir / L"no\\such\\folder.txt", CFile::modeCreate | CFile::modeWrite);
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::badPath);
        EXPECT_EQ(e.m_strFileName, dir / L"no\\such\\folder.txt");
    }
}

TEST(File, CreateEmptiesAnExistingFileUnlessNoTruncateIsGiven) {
    TempDir dir;
    CString path = dir / L"a.bin";
    WriteFileBytes(path, "old content");
    {
        CFile file(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
        EXPECT_EQ(file.GetLength(), 11u);
        file.Write("OLD", 3);
    }
    EXPECT_EQ(ReadFileBytes(path), "OLD content");
    {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        EXPECT_EQ(file.GetLength(), 0u);
    }
    EXPECT_EQ(ReadFileBytes(path), "");
}

TEST(File, WriteSeekReadAndLengthAgree) {
    TempDir dir;
    CFile file(dir / L"a.bin", CFile::modeCreate | CFile::modeReadWrite);
    file.Write("0123456789", 10);
    EXPECT_EQ(file.GetPosition(), 10u);
    EXPECT_EQ(file.GetLength(), 10u);
    EXPECT_EQ(file.Seek(-4, CFile::end), 6u);
    char buffer[8] = {};
    EXPECT_EQ(file.Read(buffer, 8), 4u);
    EXPECT_STREQ(buffer, "6789");
    EXPECT_EQ(file.Read(buffer, 8), 0u);
    file.SetLength(3);
    EXPECT_EQ(file.GetLength(), 3u);
    file.SeekToBegin();
    EXPECT_EQ(file.Read(buffer, 8), 3u);
    EXPECT_EQ(file.GetFileName(), L"a.bin");
    EXPECT_EQ(file.GetFilePath(), dir / L"a.bin");
}

TEST(File, ShareModesAndAccessAreEnforced) {
    TempDir dir;
    CString path = dir / L"a.bin";
    WriteFileBytes(path, "x");
    {
        CFile exclusive(path, CFile::modeRead | CFile::shareExclusive);
        CFile second;
        CFileException error;
        EXPECT_FALSE(second.Open(path, CFile::modeRead, &error));
        EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    }
    CFile reader(path, CFile::modeRead);
    CFile otherReader(path, CFile::modeRead);  // the default shares with other readers and writers
    try {
        reader.Write("y", 1);
        FAIL() << "write to a read-only file succeeded";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::accessDenied);
        EXPECT_EQ(e.m_strFileName, path);
    }
}

TEST(File, StatusLookupFindsFilesFoldersWildcardsAndRoots) {
    TempDir dir;
    WriteFileBytes(dir / L"page.htm", "12345");
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(dir / L"page.htm", status));
    EXPECT_EQ(status.m_size, 5u);
    EXPECT_FALSE(status.IsDirectory());
    EXPECT_EQ(status.m_szFullName, dir / L"page.htm");

    ASSERT_TRUE(CFile::GetStatus(dir.Path(), status));
    EXPECT_TRUE(status.IsDirectory());
    EXPECT_TRUE(CFile::GetStatus(dir.Path() + L"\\", status));
    EXPECT_TRUE(CFile::GetStatus(dir / L"*.htm", status));
    EXPECT_TRUE(CFile::GetStatus(L"C:\\", status));

    EXPECT_FALSE(CFile::GetStatus(dir / L"*.txt", status));
    EXPECT_FALSE(CFile::GetStatus(dir / L"missing.htm", status));
    EXPECT_FALSE(CFile::GetStatus(L"", status));
}

TEST(File, RemoveAndRenameThrowWhenTheyFail) {
    TempDir dir;
    WriteFileBytes(dir / L"a.txt", "a");
    CFile::Rename(dir / L"a.txt", dir / L"b.txt");
    EXPECT_FALSE(PathExists(dir / L"a.txt"));
    EXPECT_THROW(CFile::Rename(dir / L"a.txt", dir / L"c.txt"), CFileException);
    CFile::Remove(dir / L"b.txt");
    EXPECT_FALSE(PathExists(dir / L"b.txt"));
    try {
        CFile::Remove(dir / L"b.txt");
        FAIL() << "removing a missing file succeeded";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    }
}

TEST(File, DestructorClosesSoTheFileCanBeRemoved) {
    TempDir dir;
    CString path = dir / L"a.txt";
    {
        CStdioFile file(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
        file.WriteString(L"text");
    }
    EXPECT_EQ(ReadFileBytes(path), "text");
    EXPECT_NO_THROW(CFile::Remove(path));
}

TEST(StdioFile, TextModeTranslatesLineEndsOnlyAndKeepsCtrlZ) {
    TempDir dir;
    CString path = dir / L"a.txt";
    {
        CStdioFile file(path, CFile::modeCreate | CFile::modeWrite);
        file.WriteString(L"one\ntwo\x1A" L"three\rfour\n");
    }
    EXPECT_EQ(ReadFileBytes(path), "one\r\ntwo\x1Athree\rfour\r\n");

    CStdioFile file(path, CFile::modeRead);
    CString line;
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, L"one");
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, L"two\x1A" L"three\rfour");
    EXPECT_FALSE(file.ReadString(line));
}

TEST(StdioFile, BinaryModeKeepsEveryByte) {
    TempDir dir;
    CString path = dir / L"a.bin";
    std::string bytes("a\r\nb\n\r\x1A\0z", 9);
    {
        CStdioFile file(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        file.Write(bytes.data(), static_cast<UINT>(bytes.size()));
    }
    EXPECT_EQ(ReadFileBytes(path), bytes);
    CStdioFile file(path, CFile::modeRead | CFile::typeBinary);
    std::string back(20, '\0');
    back.resize(file.Read(back.data(), 20));
    EXPECT_EQ(back, bytes);
}

TEST(StdioFile, TextModeReadOfCrLfGivesLfAcrossReadCalls) {
    TempDir dir;
    CString path = dir / L"a.txt";
    WriteFileBytes(path, "ab\r\ncd\r");
    CStdioFile file(path, CFile::modeRead);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, 3), 3u);  // "ab\n"
    EXPECT_STREQ(buffer, "ab\n");
    EXPECT_EQ(file.Read(buffer, 16), 3u);  // a lone CR at the end stays
    EXPECT_EQ(std::string(buffer, 3), "cd\r");
}

TEST(StdioFile, ReadingAndWritingOneStreamInTurnKeepsThePosition) {
    TempDir dir;
    CString path = dir / L"a.bin";
    WriteFileBytes(path, "abcdef");
    {
        CStdioFile file(path, CFile::modeReadWrite | CFile::typeBinary);
        char buffer[2] = {};
        EXPECT_EQ(file.Read(buffer, 2), 2u);
        file.Write("XY", 2);
        EXPECT_EQ(file.Read(buffer, 2), 2u);
        EXPECT_EQ(std::string(buffer, 2), "ef");
        EXPECT_EQ(file.GetLength(), 6u);
        EXPECT_EQ(file.GetPosition(), 6u);
    }
    EXPECT_EQ(ReadFileBytes(path), "abXYef");
}

TEST(StdioFile, LastLineWithoutLineFeedAndEmptyLinesAreRead) {
    TempDir dir;
    CString path = dir / L"a.txt";
    WriteFileBytes(path, "\r\n\nlast");
    CStdioFile file(path, CFile::modeRead);
    CString line = L"stale";
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, L"");
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, L"");
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, L"last");
    EXPECT_FALSE(file.ReadString(line));
}

TEST(File, UseOfAClosedFileThrowsInsteadOfCrashing) {
    CFile file;
    char byte = 0;
    EXPECT_THROW(file.Read(&byte, 1), CFileException);
    EXPECT_THROW(file.Write(&byte, 1), CFileException);
    EXPECT_THROW(file.GetLength(), CFileException);
    CStdioFile stream;
    CString line;
    EXPECT_THROW(stream.ReadString(line), CFileException);
    EXPECT_THROW(stream.WriteString(L"x"), CFileException);
    try {
        stream.Seek(0, CFile::begin);
        FAIL() << "seek on a closed file succeeded";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::invalidFile);
    }
    EXPECT_NO_THROW(stream.Close());
}
