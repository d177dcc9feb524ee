// A size picked from the format toolbar's size box at a bare caret: the text
// typed next takes it in pixels, and the text typed before keeps its size.
#include "EndToEndFixture.h"
#include "FontBoxPick.h"

namespace {

// A control's text (asked for: GetWindowText gives only a caption across processes).
CString WindowTextOf(HWND window) {
    wchar_t text[256] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length);
    return text;
}

class EndToEndFontSize : public EndToEnd {};

}  // namespace

TEST_F(EndToEndFontSize, SizePickedAtTheCaretGoesToTheTextTypedNextInPixels) {
    StartProgram();
    OpenPage();
    HWND toolbar = m_program.Toolbar(ID_FORMAT_BOLD);
    ASSERT_NE(toolbar, nullptr);
    ProgramDriver::Type(L"abc");  // at the start of the first line, the News tag's
    m_program.Settle();
    PickInFontBox(m_program, toolbar, ID_FORMAT_FONT_SIZE, 16);  // "24"
    ProgramDriver::Type(L"def");
    m_program.Settle();
    EXPECT_EQ(WindowTextOf(GetDlgItem(toolbar, ID_FORMAT_FONT_SIZE)), CString(L"24"));
    SaveWrites(CtrlS);
    const CString text = PageText();
    EXPECT_NE(text.Find(L"<DIV>abc<FONT style=\"FONT-SIZE: 24px\">def</FONT>&gt;&gt;&gt;News"), -1) << text.str();
    EXPECT_EQ(text.Find(L"size=7"), -1) << text.str();
    EXPECT_EQ(m_program.Exit(), 0u);
}
