// Help > Content: the help file beside the program.
#include "HelpFile.h"
#include "MessageBoxRecorder.h"
#include "TempDir.h"

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
