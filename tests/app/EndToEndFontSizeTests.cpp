// A size picked from the format toolbar's size box at a bare caret: the text
// typed next takes it in pixels, and the text typed before keeps its size.
#include "EndToEndFixture.h"
#include "ToolbarPlaces.h"

namespace {

RECT WindowRectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// A control's text (asked for: GetWindowText gives only a caption across processes).
CString WindowTextOf(HWND window) {
    wchar_t text[256] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length);
    return text;
}

class EndToEndFontSize : public EndToEnd {
protected:
    // Picks the item of the box's list with the mouse, as a user does.
    void PickSize(HWND toolbar, int item) {
        HWND box = GetDlgItem(toolbar, ID_FORMAT_FONT_SIZE);
        ASSERT_NE(box, nullptr);
        RECT closed = WindowRectOf(box);
        ProgramDriver::MouseClick(POINT{closed.right - 6, (closed.top + closed.bottom) / 2});
        HWND list = nullptr;
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (list = m_program.TopWindow(L"ComboLBox")) != nullptr; }, 8000))
            << "the list did not drop down; up: " << m_program.TopWindows().str();
        m_program.Settle();
        const int height = static_cast<int>(SendMessageW(box, CB_GETITEMHEIGHT, 0, 0));
        const int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
        const RECT area = ScreenClientOf(list);
        ASSERT_GT(height, 0);
        ProgramDriver::MouseClick(POINT{area.left + 12, area.top + (item - top) * height + height / 2});
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindowVisible(list); }, 8000)) << "the list stays down";
        m_program.Settle();
    }
};

}  // namespace

TEST_F(EndToEndFontSize, SizePickedAtTheCaretGoesToTheTextTypedNextInPixels) {
    StartProgram();
    OpenPage();
    HWND toolbar = m_program.Toolbar(ID_FORMAT_BOLD);
    ASSERT_NE(toolbar, nullptr);
    ProgramDriver::Type(L"abc");  // at the start of the first line, the News tag's
    m_program.Settle();
    PickSize(toolbar, 16);  // "24"
    ProgramDriver::Type(L"def");
    m_program.Settle();
    EXPECT_EQ(WindowTextOf(GetDlgItem(toolbar, ID_FORMAT_FONT_SIZE)), CString(L"24"));
    SaveWrites(CtrlS);
    const CString text = PageText();
    EXPECT_NE(text.Find(L"<DIV>abc<FONT style=\"FONT-SIZE: 24px\">def</FONT>&gt;&gt;&gt;News"), -1) << text.str();
    EXPECT_EQ(text.Find(L"size=7"), -1) << text.str();
    EXPECT_EQ(m_program.Exit(), 0u);
}
