// Clips that hold nothing to link, or whose command line is cut off, through
// the real program: a message says why, and no page changes.
#include "ClipRefusalFixture.h"

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
