// The length check of a folder's rename: every path below the folder must
// still fit once the folder has its new name.
#include "FolderLink.h"
#include "TempDir.h"
#include "tree/TreeNames.h"

#include <gtest/gtest.h>

#include <windows.h>

// A folder link below the renamed folder moves as one entry: what it leads to
// (a folder elsewhere, or the renamed folder itself) is not counted, while
// the same pages in a real sub-folder are.
TEST(FolderRenameLength, CountsAFolderLinkAsOneEntryAndNeverWalksIntoIt) {
    TempDir dir;
    const int prefix = dir.Path().GetLength();
    // A page as long as fits through "\Deeper\Inside\" and not one more.
    const CString name(L'p', 259 - prefix - 4 - static_cast<int>(wcslen(L"\\Deeper\\Inside\\")) + 1);
    const auto makePage = [&](const CString& folder) {
        ASSERT_TRUE(CreateDirectoryW(folder, nullptr));
        WriteFileBytes(folder + L"\\" + name + L".htm", std::string("\xFF\xFE", 2));
    };
    ASSERT_TRUE(CreateDirectoryW(dir / L"Deep", nullptr));
    makePage(dir / L"Far");
    FolderLink elsewhere(dir / L"Deep\\Inside", dir / L"Far");
    if (!elsewhere.Made()) GTEST_SKIP() << "this system makes no folder link";
    FolderLink loop(dir / L"Deep\\Loop", dir / L"Deep");
    ASSERT_TRUE(loop.Made());
    ASSERT_TRUE(GetFileAttributesW(dir / L"Deep\\Inside") & FILE_ATTRIBUTE_REPARSE_POINT);
    ASSERT_TRUE(PathExists(dir / (L"Deep\\Inside\\" + name + L".htm")));

    EXPECT_EQ(FolderMoveLengthProblem(dir / L"Deep", dir / L"Deeper"), L"");
    // The same page in a real folder is counted.
    ASSERT_TRUE(CreateDirectoryW(dir / L"Real", nullptr));
    makePage(dir / L"Real\\Inside");
    CString expected;
    expected.Format(L"a page inside it would have a path %d characters long, and at most 259 fit", 260);
    EXPECT_EQ(FolderMoveLengthProblem(dir / L"Real", dir / L"Deeper"), expected);
    // The link's own path still has to fit as a folder's.
    // dir + "\" + longer + "\Inside" is one character too long for a folder.
    const CString longer(L'd', 247 - prefix - 1 - static_cast<int>(wcslen(L"\\Inside")) + 1);
    expected.Format(L"a folder inside it would have a path %d characters long, and at most 247 fit", 248);
    EXPECT_EQ(FolderMoveLengthProblem(dir / L"Deep", dir / longer), expected);
}
