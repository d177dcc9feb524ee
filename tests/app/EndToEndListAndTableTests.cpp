// Lists and tables in the page, through the real Tarvelo.exe: the list type
// changed on a new item keeps the typing where the caret is and the items
// in their order, Enter on an empty item ends the list; and Delete Table is
// taken back by one Ctrl+Z, try after try.
#include "EndToEndFixture.h"
#include "ScreenShot.h"

namespace {

// The saved page's text between the first start tag `open` and its end tag, empty when none.
CString Between(const CString& page, const wchar_t* open, const wchar_t* close) {
    int start = page.Find(open);
    int end = start < 0 ? -1 : page.Find(close, start);
    return end < 0 ? CString() : page.Mid(start, end - start);
}

int Count(const CString& text, const wchar_t* part) {
    int count = 0;
    for (int at = text.Find(part); at >= 0; at = text.Find(part, at + 1)) ++count;
    return count;
}

}  // namespace

class EndToEndListAndTable : public EndToEnd {
protected:
    // A click on a button of a dialog or message box, with the mouse.
    void ClickButton(HWND dialog, int id) {
        RECT button{};
        ASSERT_TRUE(GetWindowRect(GetDlgItem(dialog, id), &button));
        ProgramDriver::MouseClick(Middle(button));
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(dialog); })) << "the window stayed up";
        m_program.Settle();
    }
    // The Table menu (Alt+T) and its item clicked with the mouse: the menu's
    // seven items share its height.
    void TableMenu(int item) {
        ProgramDriver::Key('T', false, false, true);
        HWND menu = nullptr;
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (menu = m_program.TopWindow(L"#32768")) != nullptr; }))
            << "no Table menu; up: " << m_program.TopWindows().str();
        m_program.Settle();
        RECT area{};
        GetWindowRect(menu, &area);
        const LONG border = 3, height = (area.bottom - area.top - 2 * border) / 7;
        ProgramDriver::MouseClick(POINT{(area.left + area.right) / 2, area.top + border + height * item + height / 2});
        ProgramDriver::WaitFor([&] { return !IsWindow(menu) || !IsWindowVisible(menu); });
        m_program.Settle();
    }
    // Ctrl+S, and the file read only once the program is quiet again: a
    // read while the program writes would make its write fail.
    void SaveQuietly() {
        CtrlS();
        m_program.Settle(400);
        EXPECT_EQ(m_program.TopWindow(L"#32770"), nullptr) << m_program.TopWindows().str();
    }
    // The first line of the page, clicked past its end.
    void ClickFirstLineEnd() {
        RECT engine{};
        GetWindowRect(Engine(), &engine);
        ProgramDriver::MouseClick(POINT{engine.right - 60, engine.top + 16});
        m_program.Settle();
    }
};

// On a new empty line: Four, Order list, Enter, Unorder list, Five; then
// Enter twice and Six. The saved page holds one bulleted list of Four and
// Five in that order, and Six on a line after it.
TEST_F(EndToEndListAndTable, ListTypeChangedOnANewItemKeepsTheTypingThere) {
    StartProgram();
    OpenPage();
    ProgramDriver::Key(VK_END);
    ProgramDriver::Key(VK_RETURN);  // an empty line after ">>>News<<<"
    m_program.Settle();
    ProgramDriver::Type(L"Four");
    ASSERT_TRUE(m_program.ClickToolbarButton(ID_FORMAT_ORDER_LIST));
    m_program.Settle();
    ProgramDriver::Key(VK_RETURN);
    m_program.Settle();
    ASSERT_TRUE(m_program.ClickToolbarButton(ID_FORMAT_UNORDER_LIST));
    m_program.Settle();
    ProgramDriver::Type(L"Five");
    ProgramDriver::Key(VK_RETURN);
    ProgramDriver::Key(VK_RETURN);  // on the empty item: the list ends
    m_program.Settle();
    ProgramDriver::Type(L"Six");
    m_program.Settle();
    SaveQuietly();

    const CString page = PageText();
    CString upper = page;
    upper.MakeUpper();
    const CString list = Between(upper, L"<UL>", L"</UL>");
    EXPECT_EQ(Count(list, L"<LI"), 2) << page.str();
    EXPECT_NE(list.Find(L"FOUR"), -1) << page.str();
    EXPECT_GT(list.Find(L"FIVE"), list.Find(L"FOUR")) << page.str();
    EXPECT_EQ(list.Find(L"SIX"), -1) << page.str();
    EXPECT_EQ(upper.Find(L"<OL"), -1) << page.str();
    const CString words = PlainText(m_path);
    EXPECT_EQ(words.Find(L"FiveFour"), -1) << page.str();
    int four = words.Find(L"Four"), five = words.Find(L"Five"), six = words.Find(L"Six");
    EXPECT_TRUE(four >= 0 && four < five && five < six) << words.str();
    EXPECT_LT(words.Find(L"News"), four) << words.str();
    EXPECT_GT(words.Find(L"Work"), six) << words.str();
    EXPECT_EQ(m_program.Exit(), 0u);
}

// Click the end of a line, End, Enter; Table > Add Table > OK; a click in
// a cell; Table > Delete Table; OK with the mouse; Ctrl+Z: the table is
// back, every time, and the saved page holds it.
TEST_F(EndToEndListAndTable, DeleteTableIsUndoneEveryTime) {
    StartProgram();
    OpenPage();
    for (int attempt = 1; attempt <= 4; ++attempt) {
        SCOPED_TRACE(attempt);
        ClickFirstLineEnd();
        ProgramDriver::Key(VK_END);
        ProgramDriver::Key(VK_RETURN);
        m_program.Settle();
        TableMenu(0);  // Add Table
        HWND dialog = nullptr;
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (dialog = m_program.TopWindow(L"#32770", L"Tarvelo->Add New Table")) != nullptr; }))
            << "no Add Table dialog; up: " << m_program.TopWindows().str();
        m_program.Settle();
        ClickButton(dialog, IDOK);
        RECT table{};
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (table = TableArea(Engine())).right > 0; }, 8000)) << "no table shows";
        // In the first row's second cell: past the side cell, below the grid's edge.
        ProgramDriver::MouseClick(POINT{table.left + 60, table.top + 8});
        m_program.Settle();
        TableMenu(1);  // Delete Table
        HWND box = nullptr;
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (box = m_program.TopWindow(L"#32770", L"Warning")) != nullptr; }))
            << "no question; up: " << m_program.TopWindows().str();
        EXPECT_EQ(ProgramDriver::TextOf(box), L"Are you sure to delete? Table can not be recovered after deletion!");
        m_program.Settle();
        ClickButton(box, IDOK);
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return TableArea(Engine()).right == 0 || attempt > 1; }, 8000));
        ProgramDriver::Key('Z', true);
        m_program.Settle();
        SaveQuietly();
        CString upper = PageText();
        upper.MakeUpper();
        ASSERT_EQ(Count(upper, L"<TABLE"), attempt) << PageText().str();
        EXPECT_EQ(ReadBack(m_path).tags, (std::vector<CString>{L"News", L"Work"}));
    }
    EXPECT_EQ(m_program.Exit(), 0u);
}
