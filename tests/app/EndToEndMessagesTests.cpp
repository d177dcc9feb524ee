// Tarvelo.exe telling the user what happened, by real key and mouse input: a
// page name typed into the tree's label edit that is too long for the store,
// and the status bar's Caps Lock pane lit by the real key.
#include "EndToEndFixture.h"

TEST_F(EndToEnd, ALongTypedNameIsRefusedWholeAndCapsLockLightsItsPane) {
    StartProgram();

    // F2 on the page's item, a 300-character name typed, Enter: the store
    // cannot hold it, so the program says so and offers the whole name again.
    ProgramDriver::MouseClick(TreeItemPoint());
    m_program.Settle();
    const CString name(L'x', 300);
    ProgramDriver::Key(VK_F2);
    HWND edit = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (edit = ProgramDriver::Child(m_tree, L"Edit")) != nullptr; }));
    ProgramDriver::Type(name);
    m_program.Settle();
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0), 300);  // nothing cut while typing
    ProgramDriver::Key(VK_RETURN);
    HWND box = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (box = m_program.TopWindow(L"#32770", L"Tarvelo")) != nullptr; }));
    CString expected;
    expected.Format(L"Not renamed! The name is too long: its path would be %d characters long, and at most 259 fit.",
                    m_allpages.GetLength() + 1 + 300 + 4);
    EXPECT_EQ(ProgramDriver::TextOf(box), expected);
    ProgramDriver::Press(box, IDOK);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (edit = ProgramDriver::Child(m_tree, L"Edit")) != nullptr; }));
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0) == 300; }));
    ProgramDriver::Key(VK_ESCAPE);
    m_program.Settle();
    EXPECT_EQ(m_program.TreeItemText(m_tree, m_program.TreeItem(m_tree, L"Notes")), L"Notes");
    EXPECT_TRUE(PathExists(m_path));
    EXPECT_EQ(ReadBack(m_path).addresses, (std::vector<CString>{L"http://example.com/a", L"http://example.com/b"}));

    // View > Status Bar from the menu, then Caps Lock on and off again.
    ProgramDriver::Key('V', false, false, true);
    ProgramDriver::Key('S');
    HWND status = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] {
        status = ProgramDriver::Child(m_program.Frame(), STATUSCLASSNAMEW);
        return status && IsWindowVisible(status);
    }));
    auto paneLength = [&](int pane) { return LOWORD(SendMessageW(status, SB_GETTEXTLENGTHW, pane, 0)); };
    m_program.Settle();
    const int before = paneLength(1);  // 3 ("CAP") when the key was on already
    ProgramDriver::Key(VK_CAPITAL);
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return paneLength(1) == (before ? 0 : 3); }));
    ProgramDriver::Key(VK_CAPITAL);
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return paneLength(1) == before; }));
    EXPECT_EQ(m_program.Exit(), 0u);
}
