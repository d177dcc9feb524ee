#include "StoreFixture.h"

#include "pages/PageRewriteLock.h"
#include "util/Download.h"
#include "util/Files.h"
#include "util/Folders.h"
#include "util/PathParts.h"
#include "util/Registry.h"
#include "util/Strings.h"

#include <windows.h>

#include <climits>

TEST(PathParts, SplitPathsAsTheSeparatorRulesSay) {
    EXPECT_EQ(GetPathTail(L"a\\b/c"), L"\\b/c");
    EXPECT_EQ(GetPathTail(L"/abc"), L"/abc");
    EXPECT_EQ(GetPathTail(L"abc"), L"abc");
    EXPECT_EQ(GetPathDir(L"a/b/"), L"");
    EXPECT_EQ(GetPathDir(L"C:\\x\\y.htm"), L"C:\\x\\");
    EXPECT_EQ(GetPathDir(L"C:\\x/y.htm"), L"C:\\x/");
    EXPECT_EQ(GetFileExt(L"C:\\my.folder\\file"), L"folder\\file");
    EXPECT_EQ(GetFileExt(L"name."), L"");
    EXPECT_EQ(GetNameExt(L"name"), L"name");
    EXPECT_EQ(GetNameExt(L"name."), L"");
    EXPECT_EQ(GetFileTitle(L"C:\\x\\Plans.htm"), L"Plans");
    EXPECT_EQ(GetFileTitle(L"Plans.htm"), L"");
    EXPECT_EQ(GetFileTitle(L"C:\\x.y\\Plans"), L"");
    EXPECT_EQ(GetNameWithoutExt(L"a.b.htm"), L"a.b");
    EXPECT_EQ(GetNameWithoutExt(L"a.b."), L"a");
    EXPECT_EQ(GetParentPath(L"C:\\a\\b"), L"C:\\a");
    EXPECT_EQ(GetPathLastPart(L"C:\\a\\b"), L"b");
}

TEST(Strings, SplitStringKeepsTheOddCasesCallersRelyOn) {
    auto split = [](const CString& text) {
        std::vector<CString> parts;
        SplitString(text, parts, L",");
        return parts;
    };
    EXPECT_EQ(split(L"a,b"), (std::vector<CString>{L"a", L"b"}));
    EXPECT_EQ(split(L"a,"), (std::vector<CString>{L"a", L""}));
    EXPECT_EQ(split(L""), (std::vector<CString>{L""}));
    EXPECT_EQ(split(L",a,b"), (std::vector<CString>{L",a,b"}));
    std::vector<CStringA> narrow;
    SplitStringA("x;;y", narrow, ";");
    EXPECT_EQ(narrow, (std::vector<CStringA>{"x", "", "y"}));
}

TEST(Strings, NumbersConvertWithoutOverflow) {
    EXPECT_EQ(IntToString(0), "0");
    EXPECT_EQ(IntToString(-42), "-42");
    EXPECT_EQ(IntToString(INT_MIN), "-2147483648");
    EXPECT_EQ(StringToInt("  +17abc"), 17);
    EXPECT_EQ(StringToInt("-5"), -5);
    EXPECT_EQ(StringToInt("abc"), 0);
    EXPECT_EQ(StringToInt("99999999999999999999"), INT_MAX);
    EXPECT_EQ(StringToInt("-99999999999999999999"), INT_MIN);
    unsigned char small[3] = {9, 9, 9};
    EXPECT_EQ(CopyStringToBuffer(L"ab", small, sizeof(small)), 0);
    EXPECT_EQ(small[0], 9);
    unsigned char room[4] = {9, 9, 9, 9};
    EXPECT_EQ(CopyStringToBuffer(L"ab", room, sizeof(room)), 1);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(room), 4), std::string("ab\0\0", 4));
}

TEST(Files, MakeUniquePathCountsUpFromTwo) {
    TempDir dir;
    CString path = dir / L"pic.jpg";
    EXPECT_EQ(MakeUniquePath(path), path);
    WriteFileBytes(path, "x");
    EXPECT_EQ(MakeUniquePath(path), dir / L"pic2.jpg");
    WriteFileBytes(dir / L"pic2.jpg", "x");
    EXPECT_EQ(MakeUniquePath(path), dir / L"pic3.jpg");
}

TEST(Files, DetectTextEncodingReadsTheMarks) {
    TempDir dir;
    struct Case { std::string bytes; int expected; };
    const Case cases[] = {{"\xFF\xFEx\0", 1}, {"\xEF\xBB\xBFx", 2}, {"\xFE\xFF", 3},
                          {std::string("\0\0\xFE\xFF", 4), 4}, {"ab", 5}, {"", 5}};
    for (const Case& c : cases) {
        WriteFileBytes(dir / L"f.txt", c.bytes);
        EXPECT_EQ(DetectTextEncoding(dir / L"f.txt"), c.expected);
    }
    MessageBoxRecorder boxes;
    EXPECT_EQ(DetectTextEncoding(dir / L"none.txt"), 0);
    EXPECT_TRUE(boxes.Saw(L"Cannot open " + (dir / L"none.txt")));
}

TEST(Files, ReadLineReturnsTheLastLineWithoutExtraCharacter) {
    TempDir dir;
    WriteFileBytes(dir / L"l.txt", Utf16Bytes(L"one\ntwo", true));
    FILE* file = _wfopen(dir / L"l.txt", L"rb");
    ASSERT_NE(file, nullptr);
    std::fgetwc(file); // the mark
    EXPECT_EQ(ReadLine(file), L"one");
    EXPECT_EQ(ReadLine(file), L"two");
    EXPECT_EQ(ReadLine(file), L"");
    std::fclose(file);
}

TEST(Files, FindFilesRecursiveListsFilesAndHiddenFoldersAndKeepsTheCurrentDirectory) {
    TempDir dir;
    CreateDirectoryW(dir / L"sub", nullptr);
    CreateDirectoryW(dir / L"hidden", nullptr);
    SetFileAttributesW(dir / L"hidden", FILE_ATTRIBUTE_HIDDEN);
    WriteFileBytes(dir / L"a.txt", "a");
    WriteFileBytes(dir / L"sub\\b.txt", "b");
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    std::vector<CString> files;
    EXPECT_EQ(FindFilesRecursive(dir.Path(), files), 1);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<CString>{dir / L"a.txt", dir / L"hidden", dir / L"sub\\b.txt"}));
    wchar_t after[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_EQ(CString(before), CString(after));
}

TEST(Folders, RefuseEverythingButAbsolutePathsBelowARoot) {
    EXPECT_FALSE(IsSafeStorePath(L""));
    EXPECT_FALSE(IsSafeStorePath(L"\\Bookmark\\fav"));
    EXPECT_FALSE(IsSafeStorePath(L"Bookmark\\fav"));
    EXPECT_FALSE(IsSafeStorePath(L"C:\\"));
    EXPECT_FALSE(IsSafeStorePath(L"C:"));
    EXPECT_FALSE(IsSafeStorePath(L"C:Bookmark"));
    EXPECT_FALSE(IsSafeStorePath(L"C:\\a\\..\\.."));
    EXPECT_FALSE(IsSafeStorePath(L"\\\\server\\share"));
    EXPECT_TRUE(IsSafeStorePath(L"C:\\Tarvelo\\Bookmark\\fav\\"));
    EXPECT_TRUE(IsSafeStorePath(L"\\\\server\\share\\Tarvelo"));
    EXPECT_FALSE(DeleteFolder(L"\\Bookmark\\fav"));
    EXPECT_EQ(CopyFolder(L"\\Bookmark\\x", L"\\Bookmark\\Allpages"), 0);
}

TEST(Folders, DeleteFolderRemovesReadOnlyFilesAndNestedFolders) {
    TempDir dir;
    CString root = dir / L"tree";
    CreateDirectoryW(root, nullptr);
    CreateDirectoryW(root + L"\\inner", nullptr);
    WriteFileBytes(root + L"\\inner\\locked.htm", "x");
    SetFileAttributesW(root + L"\\inner\\locked.htm", FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW(root + L"\\inner", FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(DeleteFolder(root + L"\\"));
    EXPECT_FALSE(PathExists(root));

    CreateDirectoryW(root, nullptr);
    WriteFileBytes(root + L"\\a.htm", "x");
    EmptyFolder(root);
    EXPECT_TRUE(PathExists(root));
    EXPECT_FALSE(PathExists(root + L"\\a.htm"));
}

TEST(Folders, CopyFolderCopiesEverythingAndLeavesTheSourceAlone) {
    TempDir dir;
    CString source = dir / L"src", target = dir / L"dst";
    CreateDirectoryW(source, nullptr);
    CreateDirectoryW(source + L"\\Work", nullptr);
    WriteFileBytes(source + L"\\Work\\Plans.htm", "plans");
    WriteFileBytes(source + L"\\top.htm", "top");
    SetFileAttributesW(source + L"\\top.htm", FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(CopyFolder(target, source), 1);
    EXPECT_EQ(ReadFileBytes(target + L"\\Work\\Plans.htm"), "plans");
    EXPECT_EQ(ReadFileBytes(target + L"\\top.htm"), "top");
    EXPECT_TRUE(GetFileAttributesW(source + L"\\top.htm") & FILE_ATTRIBUTE_READONLY);
    // A second copy over the read-only copy still succeeds.
    EXPECT_EQ(CopyFolder(target, source), 1);

    MessageBoxRecorder boxes;
    EXPECT_EQ(CopyFolder(target, dir / L"missing"), 0);
    EXPECT_EQ(CopyFolder(dir / L"no\\such\\deep", source), 0);
    EXPECT_TRUE(boxes.Saw(L"Not Exported! Cannot create destination directory!"));
}

class RegistryHelpers : public StoreTest {};

TEST_F(RegistryHelpers, ReadStringsOfAnyLengthAndOnlyOfStringType) {
    CString longValue(L'x', 5000);
    ASSERT_TRUE(WriteSettingString(L"Settings", L"Long", longValue));
    EXPECT_EQ(GetSettingString(L"Settings", L"Long", L"none"), longValue);
    ASSERT_TRUE(WriteSettingInt(L"Settings", L"Number", 7));
    EXPECT_EQ(GetSettingString(L"Settings", L"Number", L"none"), L"none");
    EXPECT_EQ(GetSettingInt(L"Settings", L"Number", 0), 7);
    EXPECT_EQ(GetSettingInt(L"Settings", L"Long", 3), 3);
    EXPECT_EQ(GetSettingInt(L"Nowhere", L"Number", 5), 5);
}

TEST_F(RegistryHelpers, DeleteAndClearKeysWithSubkeys) {
    CString base = GetSettingsKeyPath(L"Scratch");
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, base + L"\\a\\b\\c", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    WriteSettingString(L"Scratch", L"v", L"1");
    EXPECT_EQ(ClearRegistryKey(HKEY_CURRENT_USER, base), 1);
    EXPECT_TRUE(SettingsSectionExists(L"Scratch"));
    EXPECT_TRUE(GetSettingNames(L"Scratch").empty());
    EXPECT_EQ(GetSettingString(L"Scratch\\a", L"", L"gone"), L"gone");
    EXPECT_EQ(DeleteRegistryTree(HKEY_CURRENT_USER, base), 1);
    EXPECT_FALSE(SettingsSectionExists(L"Scratch"));
    EXPECT_EQ(DeleteRegistryTree(HKEY_CURRENT_USER, base), 1);
    EXPECT_EQ(ClearRegistryKey(HKEY_CURRENT_USER, base), 1);
    EXPECT_EQ(DeleteRegistryTree(HKEY_CURRENT_USER, L""), 0);
}

TEST_F(RegistryHelpers, EnumRegistryValueNamesListsEveryValueName) {
    CString longName(L'n', 300);
    WriteSettingString(L"Scratch", L"first", L"1");
    WriteSettingString(L"Scratch", longName, L"2");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, GetSettingsKeyPath(L"Scratch"), 0, KEY_READ, &key), ERROR_SUCCESS);
    std::vector<CString> names;
    EXPECT_EQ(EnumRegistryValueNames(key, names), 1);
    RegCloseKey(key);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<CString>{L"first", longName}));
    DeleteRegistryTree(HKEY_CURRENT_USER, GetSettingsKeyPath(L"Scratch"));
}

TEST(Download, FailedDownloadLeavesNoFileBehind) {
    TempDir dir;
    CString path = dir / L"pic.jpg";
    WriteFileBytes(path, "old picture");
    EXPECT_FALSE(DownloadUrlToFile(L"http://127.0.0.1:1/none.jpg", path));
    EXPECT_EQ(ReadFileBytes(path), "old picture");
    EXPECT_FALSE(DownloadUrlToFile(L"http://127.0.0.1:1/none.jpg", L"\\Bookmark\\Pic\\x.jpg"));
    EXPECT_FALSE(PathExists(dir / L"pic.jpg.download"));
}

TEST(PageRewriteLock, OneLockPerStoreWhateverTheSpelling) {
    EXPECT_EQ(PageRewriteLock::MutexName(L"C:\\Tarvelo"), PageRewriteLock::MutexName(L"c:\\TARVELO\\"));
    EXPECT_NE(PageRewriteLock::MutexName(L"C:\\Tarvelo"), PageRewriteLock::MutexName(L"C:\\Other"));
}
