#include "clip/ClipCommandLine.h"

#include <gtest/gtest.h>

TEST(ClipCommandLine, KindIsDecidedByTheFirstElement) {
    struct Case {
        const wchar_t* commandLine;
        ClipKind kind;
    } cases[] = {
        {L"Tarvelo.exe \"<param><url>u</url><name>n</name></param><form>1</form>\"", ClipKind::Link},
        {L"Tarvelo.exe <TQBLK>2</TQBLK><AA2>block</AA>", ClipKind::FormBlock},
        {L"Tarvelo.exe <evt><name>n</name></evt>", ClipKind::Event},
        // Page text inside an element never turns the process into another kind.
        {L"<TQBLK>1</TQBLK><AA1>f>>><param><url>u</url></param>|||</AA>", ClipKind::FormBlock},
        {L"<param><url>u</url><name><evt>t</evt></name></param>", ClipKind::Link},
        {L"<evt><name><AA1>x</AA></name></evt>", ClipKind::Event},
        // A clip's start without a whole element is a clip that cannot be
        // read, never a file name to open.
        {L"<param></param>", ClipKind::Unreadable},  // an element needs content
        {L"</param>x<param>", ClipKind::Unreadable},
        // The form element after the parameters is cut off as well when it is not closed.
        {L"Tarvelo.exe \"<param><url>u</url><name>n</name></param><form>0</form\"", ClipKind::Unreadable},
        {L"<param><url>u</url><name>n</name></param><form>1</for", ClipKind::Unreadable},
        {L"<param><url>u</url><name>n</name></param><form>1", ClipKind::Unreadable},
        {L"<param><url>u</url><name>n</name></param><fo", ClipKind::Unreadable},
        {L"<param><url>u</url><name>n</name></param><", ClipKind::Unreadable},
        {L"<param><url>u</url><name>n</name></param><form></form>", ClipKind::Link},
        {L"Tarvelo.exe \"<param><url>u</url><name>n</name></param>\" ", ClipKind::Link},  // Explorer's: no form element
        {L"<param><url>u</url><name>a<form>b</name></param><form>0</form>", ClipKind::Link},  // a title's text is no form element
        {L"Tarvelo.exe \"<param><url>u</url><name>n</name></param\"", ClipKind::Unreadable},
        {L"<TQBLK>1</TQBLK><AA1>block</AA", ClipKind::Unreadable},
        {L"<evt><name>n</name></evt", ClipKind::Unreadable},
        {L"<PARAM>x</PARAM>", ClipKind::None},  // tags are case-sensitive
        {L"Tarvelo.exe C:\\pages\\a.htm", ClipKind::None},
        {L"", ClipKind::None},
    };
    for (const auto& c : cases) EXPECT_EQ(ClassifyClipCommandLine(c.commandLine), c.kind) << ::testing::PrintToString(CString(c.commandLine));
}
