// The clip refusal cases' fixture: an install folder with one page, News,
// and a clip process whose message the test answers.
#pragma once
#include "ClipProcess.h"
#include "SettingsAside.h"
#include "TempDir.h"
#include "Utf16Bytes.h"

#include "util/Registry.h"

#include <gtest/gtest.h>

class ClipRefusal : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryW(m_dir.Path() + L"\\Bookmark", nullptr);
        CreateDirectoryW(Allpages(), nullptr);
        ASSERT_TRUE(WriteSettingString(L"Settings", L"InstallPath", m_dir.Path()));
        WriteFileBytes(Allpages() + L"\\News.htm",
                       Utf16Bytes(L"<html id=tq1>\n<body>\n&gt;&gt;&gt;World&lt;&lt;&lt;\n<br>\n"
                                  L"<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>\n</body>\n</html>\n"));
        WriteSettingString(L"Settings", L"addpage", L"News");
    }
    CString Allpages() const { return m_dir.Path() + L"\\Bookmark\\Allpages"; }

    // Runs the clip and answers the message it shows; the message's text.
    CString Refused(const CString& commandLine) {
        CString shown;
        DWORD code = RunClip(commandLine, L"Tarvelo", [&](HWND box) {
            shown = MessageBoxText(box);
            SendMessageW(box, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(code, 1u);
        return shown;
    }

    SettingsAside m_aside;
    TempDir m_dir;
};
