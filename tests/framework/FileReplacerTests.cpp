#include "files/FileReplacer.h"
#include "files/StdioFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

namespace {

CString FolderOf(const CString& path) { return path.Left(path.ReverseFind(L'\\')); }

int CountEntries(const TempDir& dir) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(dir / L"*", &found);
    int count = 0;
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        if (wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L"..")) ++count;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

}  // namespace

TEST(FileReplacer, CommitPutsTheCompleteSiblingInPlaceOfTheOriginal) {
    TempDir dir;
    CString page = dir / L"page.htm";
    WriteFileBytes(page, "old page");
    CFileReplacer replacer(page);
    EXPECT_EQ(FolderOf(replacer.SiblingPath()), dir.Path());
    EXPECT_NE(replacer.SiblingPath(), page);
    EXPECT_EQ(replacer.SiblingPath().Right(4), L".tmp");
    {
        CStdioFile out(replacer.SiblingPath(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        out.Write("new page", 8);
        EXPECT_EQ(ReadFileBytes(page), "old page");
    }
    ASSERT_TRUE(replacer.Commit());
    EXPECT_TRUE(replacer.IsCommitted());
    EXPECT_EQ(ReadFileBytes(page), "new page");
    EXPECT_FALSE(PathExists(replacer.SiblingPath()));
    EXPECT_EQ(CountEntries(dir), 1);
}

TEST(FileReplacer, CommitCreatesATargetThatDidNotExist) {
    TempDir dir;
    CFileReplacer replacer(dir / L"new.htm");
    WriteFileBytes(replacer.SiblingPath(), "fresh");
    ASSERT_TRUE(replacer.Commit());
    EXPECT_EQ(ReadFileBytes(dir / L"new.htm"), "fresh");
}

TEST(FileReplacer, ExceptionMidWriteLeavesOriginalAndRemovesSibling) {
    TempDir dir;
    CString page = dir / L"page.htm";
    WriteFileBytes(page, "precious");
    CString sibling;
    try {
        CFileReplacer replacer(page);
        sibling = replacer.SiblingPath();
        CStdioFile out(replacer.SiblingPath(), CFile::modeCreate | CFile::modeWrite);
        out.WriteString(L"half a pa");
        throw std::runtime_error("write failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(ReadFileBytes(page), "precious");
    EXPECT_FALSE(PathExists(sibling));
    EXPECT_EQ(CountEntries(dir), 1);
}

TEST(FileReplacer, UncommittedReplacerRemovesItsSibling) {
    TempDir dir;
    CString sibling;
    {
        CFileReplacer replacer(dir / L"page.htm");
        sibling = replacer.SiblingPath();
        EXPECT_TRUE(PathExists(sibling));  // the name is reserved at once
    }
    EXPECT_FALSE(PathExists(sibling));
    EXPECT_FALSE(PathExists(dir / L"page.htm"));
}

TEST(FileReplacer, TwoReplacersOfOneFileGetDifferentSiblings) {
    TempDir dir;
    CFileReplacer first(dir / L"page.htm");
    CFileReplacer second(dir / L"page.htm");
    EXPECT_NE(first.SiblingPath(), second.SiblingPath());
}

TEST(FileReplacer, CommitWhileTheSiblingIsStillOpenFailsAndKeepsTheOriginal) {
    TempDir dir;
    CString page = dir / L"page.htm";
    WriteFileBytes(page, "precious");
    CFileReplacer replacer(page);
    CStdioFile out(replacer.SiblingPath(), CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
    out.WriteString(L"unfinished");
    CFileException error;
    EXPECT_FALSE(replacer.Commit(&error));
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    EXPECT_EQ(ReadFileBytes(page), "precious");
}

TEST(FileReplacer, CommitOverAFolderFailsAndLeavesBothFolderAndNoSibling) {
    TempDir dir;
    CString target = dir / L"folder";
    ASSERT_TRUE(CreateDirectoryW(target, nullptr));
    WriteFileBytes(dir / L"folder\\inside.htm", "kept");
    CFileReplacer replacer(target);
    WriteFileBytes(replacer.SiblingPath(), "content");
    CFileException error;
    EXPECT_FALSE(replacer.Commit(&error));
    EXPECT_NE(error.m_cause, CFileException::none);
    EXPECT_EQ(ReadFileBytes(dir / L"folder\\inside.htm"), "kept");
    EXPECT_FALSE(PathExists(replacer.SiblingPath()));
}

TEST(FileReplacer, MissingFolderIsReportedWhenTheSiblingIsOpened) {
    TempDir dir;
    CFileReplacer replacer(dir / L"gone\\page.htm");
    CStdioFile out;
    CFileException error;
    EXPECT_FALSE(out.Open(replacer.SiblingPath(), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::badPath);
    EXPECT_FALSE(replacer.Commit());
}

// Windows lets a rename replace a file whose readers share deletion; Wine
// refuses it. Either way the page is whole: old or new, never in between.
TEST(FileReplacer, CommitWithAReaderOfTheOriginalLeavesAWholePage) {
    TempDir dir;
    CString page = dir / L"page.htm";
    WriteFileBytes(page, "old page\n");
    CStdioFile reader(page, CFile::modeRead);
    CFileReplacer replacer(page);
    WriteFileBytes(replacer.SiblingPath(), "new page\n");
    bool committed = replacer.Commit();
    CString line;
    ASSERT_TRUE(reader.ReadString(line));
    EXPECT_EQ(line, L"old page");
    reader.Close();
    EXPECT_EQ(ReadFileBytes(page), committed ? "new page\n" : "old page\n");
    EXPECT_FALSE(PathExists(replacer.SiblingPath()));
}

// A reader of a moment (the index thread, another program) does not fail
// the save: the commit waits for it.
TEST(FileReplacer, CommitWaitsForAReaderThatLetsGoSoon) {
    TempDir dir;
    CString page = dir / L"page.htm";
    WriteFileBytes(page, "old page\n");
    HANDLE reader = CreateFileW(page, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    std::thread letGo([reader] {
        Sleep(300);
        CloseHandle(reader);
    });
    CFileReplacer replacer(page);
    WriteFileBytes(replacer.SiblingPath(), "new page\n");
    CFileException error;
    bool committed = replacer.Commit(&error);
    letGo.join();
    EXPECT_TRUE(committed) << error.m_cause;
    EXPECT_EQ(ReadFileBytes(page), "new page\n");
    EXPECT_FALSE(PathExists(replacer.SiblingPath()));
}

// A read-only target refuses the move for good: no reader is waited for, so
// the commit has failed long before the attribute is cleared (a commit that
// waited would see it cleared and succeed).
TEST(FileReplacer, CommitOverAReadOnlyTargetFailsAtOnceAndKeepsIt) {
    TempDir dir;
    CString page = dir / L"page.htm";
    WriteFileBytes(page, "kept page\n");
    ASSERT_TRUE(SetFileAttributesW(page, FILE_ATTRIBUTE_READONLY));
    CFileReplacer replacer(page);
    WriteFileBytes(replacer.SiblingPath(), "new page\n");
    HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread makeWritable([&] {
        WaitForSingleObject(started, INFINITE);
        Sleep(1200);
        SetFileAttributesW(page, FILE_ATTRIBUTE_NORMAL);
    });
    SetEvent(started);
    CFileException error;
    bool committed = replacer.Commit(&error);
    makeWritable.join();
    CloseHandle(started);
    EXPECT_FALSE(committed);
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    EXPECT_EQ(error.m_strFileName, page);
    EXPECT_EQ(ReadFileBytes(page), "kept page\n");
    EXPECT_FALSE(PathExists(replacer.SiblingPath()));
}
