// What a new user meets first, through the real Tarvelo.exe: Find with a
// changed option, Add Table with values that make no table, a page that a
// clip creates while the program runs, F5 on an open page, a page name the
// program refused, and a page named on the command line.
#include "EndToEndFixture.h"
#include "dialogs/DialogIds.h"

namespace {

// The text of the message box up now, answered with OK; empty when none came
// within the wait.
CString TakeMessage(ProgramDriver& program, DWORD waitMs = ProgramDriver::kAppearMs) {
    HWND box = nullptr;
    ProgramDriver::WaitFor([&] { return (box = program.TopWindow(L"#32770", L"Tarvelo")) != nullptr; }, waitMs);
    if (!box) return CString();
    CString text = ProgramDriver::TextOf(box);
    ProgramDriver::Press(box, IDOK);
    ProgramDriver::WaitFor([&] { return !IsWindow(box); });
    program.Settle();
    return text;
}

void ClickControl(HWND dialog, int id) {
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    ProgramDriver::MouseClick(Middle(rect));
}

// Puts a text into a dialog's edit box as the user does: a click, the old
// text selected and typed over.
void TypeInto(ProgramDriver& program, HWND dialog, int id, const CString& text) {
    ClickControl(dialog, id);
    ProgramDriver::Key(VK_HOME);
    ProgramDriver::Key(VK_END, false, true);
    ProgramDriver::Type(text);
    program.Settle();
}

}  // namespace

TEST_F(EndToEnd, FindWithAChangedOptionFindsTheWordAndAfterSearchOverStartsAgain) {
    WriteFileBytes(m_allpages + L"\\Apple.htm", Utf16Bytes(L"<html id=tq1>\n<body>\nthe Needle is here\n</body>\n</html>\n"));
    StartProgram();
    HWND find = OpenDialog(L"Find", ID_EDIT_SEARCH);
    ASSERT_NE(find, nullptr);
    m_program.Settle();
    auto page = [&](const wchar_t* title) { return ProgramDriver::Child(m_program.Frame(), nullptr, title) != nullptr; };
    TypeInto(m_program, find, IDC_FIND_KEYWORDS, L"needle");
    SetDlgItemTextW(find, IDC_FIND_SCOPE, L"All pages");
    auto findNext = [&] {
        ClickControl(find, IDOK);
        m_program.Settle();
    };

    // Case-sensitive, the small word is on no page.
    ClickControl(find, IDC_FIND_CASE);
    m_program.Settle();
    ASSERT_EQ(SendMessageW(GetDlgItem(find, IDC_FIND_CASE), BM_GETCHECK, 0, 0), BST_CHECKED);
    findNext();
    wchar_t typed[64] = {};
    GetDlgItemTextW(find, IDC_FIND_KEYWORDS, typed, 64);
    EXPECT_EQ(TakeMessage(m_program), L"Search over, no match was found.")
        << "typed '" << CString(typed).str() << "'; up: " << m_program.TopWindows().str();
    // Without the case flag the same word is found.
    ClickControl(find, IDC_FIND_CASE);
    m_program.Settle();
    findNext();
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return page(L"Apple.htm"); })) << m_program.TopWindows().str();
    EXPECT_EQ(TakeMessage(m_program, 500), L"");
    findNext();
    EXPECT_EQ(TakeMessage(m_program), L"Search over, no further match was found.");
    // The press after "Search over" searches again and finds the word.
    findNext();
    EXPECT_EQ(TakeMessage(m_program, 2000), L"");
    ProgramDriver::Press(find, IDCANCEL);
    ProgramDriver::WaitFor([&] { return !IsWindow(find); });
    EXPECT_EQ(m_program.Exit(), 0u);
}

TEST_F(EndToEnd, AddTableWithValuesThatMakeNoTableIsRefusedAndTheDialogStays) {
    const std::string before = ReadFileBytes(m_path);
    StartProgram();
    OpenPage();
    ASSERT_TRUE(m_program.ClickToolbarButton(ID_TABLE_ADD));
    HWND dialog = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (dialog = m_program.TopWindow(L"#32770", L"Tarvelo->Add New Table")) != nullptr; }))
        << m_program.TopWindows().str();
    m_program.Settle();
    struct Case {
        int field;
        const wchar_t* text;
        const wchar_t* message;
    } cases[] = {
        {IDC_TABLE_COLUMNS, L"0", L"Column Number must be a whole number from 1 to 100."},
        {IDC_TABLE_COLUMNS, L"abc", L"Column Number must be a whole number from 1 to 100."},
        {IDC_TABLE_WIDTH, L"2", L"First Column Width must be a whole number from 0 to the table width (2)."},
    };
    for (const Case& c : cases) {
        TypeInto(m_program, dialog, c.field, c.text);
        ClickControl(dialog, IDOK);
        EXPECT_EQ(TakeMessage(m_program), c.message);
        EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog closed on " << CString(c.text).str();
        if (c.field == IDC_TABLE_COLUMNS) TypeInto(m_program, dialog, c.field, L"3");
    }
    // The field to mend has the keyboard, its text selected: typing replaces it.
    ProgramDriver::Type(L"40");
    m_program.Settle();
    wchar_t first[16] = {};
    GetDlgItemTextW(dialog, IDC_TABLE_FIRST_COLUMN, first, 16);
    EXPECT_STREQ(first, L"40");
    ProgramDriver::Press(dialog, IDCANCEL);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(dialog); }));
    m_program.Settle();
    EXPECT_EQ(m_program.TopWindow(L"#32770"), nullptr);
    EXPECT_EQ(m_program.Exit(), 0u);
    EXPECT_EQ(ReadFileBytes(m_path), before);
}

TEST_F(EndToEnd, APageAClipCreatesShowsInTheTreeAtOnceAndRefreshKeepsTheOpenMark) {
    StartProgram();
    OpenPage();
    auto openCount = [&] {
        PostMessageW(m_program.Frame(), WM_COMMAND, ID_SHOW_OPEN_COUNT, 0);
        return TakeMessage(m_program);
    };
    SelectPage();
    ASSERT_EQ(openCount(), L"1");

    // A clip into a page that does not exist yet, from a clip process.
    {
        ClipProcess process(L"<param><url>http://example.com/new</url><name>Brand new</name></param><form>0</form>");
        HWND clip = process.WaitForWindow(L"Tarvelo->Add to Tarvelo");
        ASSERT_NE(clip, nullptr);
        ASSERT_TRUE(WaitForComboItems(clip, 1008, 1));
        TypeText(clip, 1008, L"Fresh");
        TypeText(clip, 1009, L"");
        PressButton(clip, IDOK);
        EXPECT_EQ(process.WaitForExit(), 1u);
    }
    ASSERT_TRUE(PathExists(m_allpages + L"\\Fresh.htm"));
    // The running program lists it without any command, the page stays open.
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return m_program.TreeItem(m_tree, L"Fresh") != nullptr; }, 10000))
        << "the tree does not list the new page";
    EXPECT_NE(Engine(), nullptr);
    EXPECT_EQ(openCount(), L"1");

    // F5 shows the page anew; the tree still marks it open.
    RECT engine{};
    GetWindowRect(Engine(), &engine);
    ProgramDriver::MouseClick(POINT{engine.left + 40, engine.bottom - 20});
    m_program.Settle();
    HWND pageBefore = PageWindow();
    ProgramDriver::Key(VK_F5);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return PageWindow() && PageWindow() != pageBefore && Engine(); }))
        << m_program.TopWindows().str();
    m_program.Settle();
    SelectPage();
    EXPECT_EQ(openCount(), L"1");
    EXPECT_EQ(m_program.Exit(), 0u);
}

TEST_F(EndToEnd, ANameTheProgramRefusedComesBackSelected) {
    StartProgram();
    auto nameDialog = [&] {
        HWND dialog = nullptr;
        EXPECT_TRUE(ProgramDriver::WaitFor([&] { return (dialog = m_program.TopWindow(L"#32770", L"Tarvelo->Input Name")) != nullptr; }))
            << m_program.TopWindows().str();
        m_program.Settle();
        return dialog;
    };
    PostMessageW(m_program.Frame(), WM_COMMAND, ID_FILE_NEW_PAGE, 0);
    HWND dialog = nameDialog();
    ASSERT_NE(dialog, nullptr);
    ProgramDriver::Type(L"Trip:2026");
    ProgramDriver::Key(VK_RETURN);
    EXPECT_NE(TakeMessage(m_program).Find(L"File not created"), -1);
    dialog = nameDialog();
    ASSERT_NE(dialog, nullptr);
    DWORD start = 1, end = 0;
    SendMessageW(GetDlgItem(dialog, IDC_NAME), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 9u);
    // Ctrl+A selects it again after the caret moved; typing replaces it.
    ProgramDriver::Key(VK_END);
    ProgramDriver::Key('A', true);
    ProgramDriver::Type(L"Trips");
    ProgramDriver::Key(VK_RETURN);
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return PathExists(m_allpages + L"\\Trips.htm"); })) << m_program.TopWindows().str();
    m_program.Settle();
    EXPECT_NE(m_program.TreeItem(m_tree, L"Trips"), nullptr);
    EXPECT_EQ(m_program.Exit(), 0u);
}

// A page file named on the command line (its path in quotes, with a blank in
// it) opens with the start; a start without arguments, and one whose only
// argument is blanks after the program's name, open no page.
TEST_F(EndToEnd, APageNamedOnTheCommandLineOpensAndAStartWithoutArgumentsOpensNone) {
    CString spaced = m_allpages + L"\\Two words.htm";
    WriteFileBytes(spaced, Utf16Bytes(kPage));
    ASSERT_TRUE(m_program.Start(TarveloExePath(), L"\"" + spaced + L"\""));
    EXPECT_TRUE(ProgramDriver::WaitFor(
        [&] { return ProgramDriver::Child(m_program.Frame(), nullptr, L"Two words.htm") != nullptr; }))
        << "the page named on the command line did not open; up: " << m_program.TopWindows().str();
    EXPECT_EQ(m_program.Exit(), 0u);

    for (const wchar_t* arguments : {L"", L"  \t "}) {
        SCOPED_TRACE(arguments);
        ProgramRegistryGuard::WriteString(L"Settings", L"FileHot", L"");  // nothing to reopen
        ProgramDriver plain;
        ASSERT_TRUE(plain.Start(TarveloExePath(), arguments));
        plain.Settle();
        EXPECT_EQ(ProgramDriver::Child(plain.Frame(), L"Internet Explorer_Server"), nullptr) << "a page opened";
        EXPECT_EQ(plain.Exit(), 0u);
    }
}
