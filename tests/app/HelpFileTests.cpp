// Help > Content: the help file beside the program.
#include "AppTestSupport.h"
#include "HelpFile.h"
#include "MessageBoxRecorder.h"
#include "TempDir.h"
#include "resource.h"

#include <gtest/gtest.h>

TEST(HelpFile, LiesBesideTheProgramAndAMissingOneIsToldWithItsPath) {
    EXPECT_EQ(HelpFileBeside(L"C:\\Program Files\\Tarvelo\\Tarvelo.exe"), L"C:\\Program Files\\Tarvelo\\TQHelp.chm");
    EXPECT_EQ(HelpFileBeside(L"C:\\Tarvelo.exe"), L"C:\\TQHelp.chm");

    TempDir folder;
    MessageBoxRecorder boxes;
    CString missing = folder / L"TQHelp.chm";
    ShowHelpFile(nullptr, missing);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_GE(boxes.Boxes()[0].text.Find(missing), 0) << ::testing::PrintToString(boxes.Boxes()[0].text);
    EXPECT_EQ(boxes.Boxes()[0].caption, L"Tarvelo");
    // A folder of that name is no help file either.
    CreateDirectoryW(missing, nullptr);
    ShowHelpFile(nullptr, missing);
    EXPECT_EQ(boxes.Boxes().size(), 2u);
}

// The help file the build makes lies beside Tarvelo.exe; Help > Content in
// the running program opens it in the system's help viewer.
TEST(HelpFile, ContentOpensTheBuiltHelpFileInTheHelpViewer) {
    CString helpFile = HelpFileBeside(TarveloExePath());
    HANDLE file = CreateFileW(helpFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "no help file " << ::testing::PrintToString(helpFile);
    char signature[4] = {};
    DWORD read = 0;
    ReadFile(file, signature, sizeof(signature), &read, nullptr);
    CloseHandle(file);
    EXPECT_EQ(std::string(signature, read), "ITSF");  // a compiled HTML Help file

    ProgramRegistryGuard registry;
    TempDir install;
    CreateDirectoryW(install / L"Bookmark", nullptr);
    CreateDirectoryW(install / L"Bookmark\\Allpages", nullptr);
    ProgramRegistryGuard::WriteString(L"Settings", L"InstallPath", install.Path());

    bool asked = false, viewerShown = false;
    DWORD askedAt = 0;
    RunTarvelo(L"", [&](DWORD processId) {
        HWND frame = FindVisibleWindow(processId, L"Tarvelo 2.3");
        if (!frame) return true;
        if (!asked) {
            PostMessageW(frame, WM_COMMAND, ID_HELP_CONTENT, 0);
            asked = true;
            askedAt = GetTickCount();
            return true;
        }
        // The viewer's window carries the help file's title.
        viewerShown = FindVisibleWindow(processId, L"Tarvelo Help") != nullptr;
        if (!viewerShown && GetTickCount() - askedAt < 20000) return true;
        PostMessageW(frame, WM_CLOSE, 0, 0);
        return false;
    });
    EXPECT_TRUE(viewerShown);
}
