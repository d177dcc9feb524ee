// Clips that hold nothing to link, or whose command line is cut off, through
// the real program: a message says why, and no page changes.
#include "ClipProcess.h"
#include "SettingsAside.h"
#include "TempDir.h"
#include "Utf16Bytes.h"

#include "util/Registry.h"

#include <gtest/gtest.h>

namespace {

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

}  // namespace

TEST_F(ClipRefusal, AClipWithNeitherAddressNorNameChangesNoPage) {
    const std::string before = ReadFileBytes(Allpages() + L"\\News.htm");
    EXPECT_EQ(Refused(L"<param><url></url><name></name></param><form>0</form>"),
              L"The clip holds neither an address nor a name: nothing was added.");
    EXPECT_EQ(ReadFileBytes(Allpages() + L"\\News.htm"), before);
    EXPECT_EQ(ListFolder(Allpages()), std::vector<CString>{L"News.htm"});
}

TEST_F(ClipRefusal, AClipLineCutOffSaysTheClipCouldNotBeRead) {
    const std::string before = ReadFileBytes(Allpages() + L"\\News.htm");
    for (const wchar_t* line : {L"<param><url>http://e.com/</url><name>N</name></param",
                                L"<TQBLK>1</TQBLK><AA1>a>>>1|||</AA"}) {
        EXPECT_EQ(Refused(line), L"The clip could not be read (its text is cut off): nothing was added.")
            << CString(line).str();
    }
    EXPECT_EQ(ReadFileBytes(Allpages() + L"\\News.htm"), before);
    EXPECT_EQ(ListFolder(Allpages()), std::vector<CString>{L"News.htm"});
    EXPECT_FALSE(PathExists(m_dir.Path() + L"\\BookMark\\TQ_TP_FORM"));
}
