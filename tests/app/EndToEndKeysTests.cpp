// The keyboard as a user meets it in the real Tarvelo.exe: the Alt
// accelerators of the program's table leave the keys in the page (a lone
// Alt still opens the menu), the keys answer at once after a clip dialog of
// another process closed, and the close of an edited read-only page says
// that it cannot be saved.
#include "EndToEndFixture.h"

namespace {

class EndToEndKeys : public EndToEnd {
protected:
    // The program's window thread is in keyboard-menu mode (the menu bar or
    // a system menu highlighted, or a menu open).
    bool InMenuMode() const {
        GUITHREADINFO gui{};
        gui.cbSize = sizeof(gui);
        return GetGUIThreadInfo(GetWindowThreadProcessId(m_program.Frame(), nullptr), &gui) &&
               (gui.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)) != 0;
    }
    // The window with the program's keyboard focus.
    HWND Focus() const {
        GUITHREADINFO gui{};
        gui.cbSize = sizeof(gui);
        return GetGUIThreadInfo(GetWindowThreadProcessId(m_program.Frame(), nullptr), &gui) ? gui.hwndFocus : nullptr;
    }
};

} // namespace

// Every Alt accelerator of the table runs and leaves the keys in the page:
// what is typed next lands there and Ctrl+S saves it, the page stays open.
TEST_F(EndToEndKeys, AltAcceleratorsLeaveTheKeysInThePageAndALoneAltOpensTheMenu) {
    StartProgram();
    OpenPage();
    // Each with the element its format makes, if any (Alt+Backspace undoes).
    const struct {
        WORD key;
        const char* name;
        const wchar_t* element;
    } accelerators[] = {{VK_LEFT, "Alt+Left", L"<STRIKE>"},
                        {VK_UP, "Alt+Up", L"<SUP>"},
                        {VK_DOWN, "Alt+Down", L"<SUB>"},
                        {VK_BACK, "Alt+Backspace", nullptr}};
    auto typedAndSaved = [&](const CString& word) {
        ProgramDriver::Type(word + L" ");
        m_program.Settle();
        SaveWrites(CtrlS);
        EXPECT_NE(PlainText(m_path).Find(word), -1) << PageText().str();
        EXPECT_NE(Engine(), nullptr) << "the page was closed";
        EXPECT_EQ(m_program.TopWindow(L"#32770"), nullptr) << m_program.TopWindows().str();
    };
    int round = 0;
    // Alt let go before the key, as xdotool and a quick hand do, and after it.
    for (bool altUpFirst : {true, false}) {
        SCOPED_TRACE(altUpFirst ? "Alt released before the key" : "the key released before Alt");
        for (const auto& accelerator : accelerators) {
            SCOPED_TRACE(accelerator.name);
            ProgramDriver::KeyEvent(VK_MENU, false);
            ProgramDriver::KeyEvent(accelerator.key, false);
            ProgramDriver::KeyEvent(altUpFirst ? VK_MENU : accelerator.key, true);
            ProgramDriver::KeyEvent(altUpFirst ? accelerator.key : VK_MENU, true);
            m_program.Settle();
            // Else the keys typed next would go to the menu.
            ASSERT_FALSE(InMenuMode()) << "the keyboard went to the menu bar";
            EXPECT_EQ(Focus(), Engine()) << "the page lost the keyboard; up: " << m_program.TopWindows().str();
            CString word;
            word.Format(L"xyz%d", ++round);
            typedAndSaved(word);
            if (accelerator.element) {
                EXPECT_NE(PageText().Find(accelerator.element), -1) << PageText().str();
            }
        }
    }
    // A lone Alt press and release still opens the menu bar to the keyboard;
    // Escape leaves it, and the keys are the page's again.
    ProgramDriver::Key(VK_MENU);
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return InMenuMode(); }, 5000)) << "a lone Alt did not open the menu";
    ProgramDriver::Key(VK_ESCAPE);
    ProgramDriver::Key(VK_ESCAPE);
    m_program.Settle();
    EXPECT_FALSE(InMenuMode());
    typedAndSaved(L"after the menu");
    EXPECT_EQ(m_program.Exit(), 0u);
}

// A clip dialog of another process, answered with the mouse as the user
// does: clicks (and a double-click) in its page list keep it up; its OK
// writes the clip; the keys are back in the page at once.
TEST_F(EndToEndKeys, KeysAnswerAtOnceAfterAClipDialogClosesAndAListClickNeverClosesIt) {
    StartProgram();
    OpenPage();
    auto clipByMouse = [&](const CString& address) {
        ClipProcess process(L"<param><url>" + address + L"</url><name>Clipped</name></param><form>0</form>");
        HWND dialog = process.WaitForWindow(L"Tarvelo->Add to Tarvelo");
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(WaitForComboItems(dialog, 1008, 1));
        m_program.Settle();
        // The list part of the simple combo box lies below its edit field.
        RECT pages{};
        GetWindowRect(GetDlgItem(dialog, 1008), &pages);
        POINT first{pages.left + 30, pages.top + 34};
        ProgramDriver::MouseClick(first);
        ProgramDriver::MouseClick(first, false, 2);
        Sleep(300);
        EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog closed on a click in its list";
        EXPECT_EQ(ControlText(dialog, 1008), L"Notes");
        ChooseComboItem(dialog, 1009, L"Work");
        RECT ok{};
        GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
        ProgramDriver::MouseClick(Middle(ok));
        EXPECT_EQ(process.WaitForExit(), 1u);
    };
    ProgramDriver::Type(L"before the clip ");
    m_program.Settle();
    clipByMouse(L"http://example.com/z");
    // Ctrl+S at once saves the words and the clip, without a question.
    SaveWrites(CtrlS);
    ExpectClipAndWordsKept(L"before the clip");
    EXPECT_EQ(Focus(), Engine()) << m_program.TopWindows().str();

    // F5 at once after the next clip: the edited page asks, and comes back.
    OpenPage();
    ProgramDriver::Type(L"before the refresh ");
    m_program.Settle();
    clipByMouse(L"http://example.com/y");
    ProgramDriver::Key(VK_F5);
    ASSERT_TRUE(Answer(IDYES)) << "F5 asked nothing; up: " << m_program.TopWindows().str();
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return Engine() != nullptr; }));
    EXPECT_NE(PlainText(m_path).Find(L"before the refresh"), -1) << PageText().str();
    // The page shown anew has the keyboard, without a click into it.
    m_program.Settle();
    EXPECT_EQ(Focus(), Engine()) << "after the refresh; up: " << m_program.TopWindows().str();
    ProgramDriver::Type(L"after the refresh ");
    m_program.Settle();
    SaveWrites(CtrlS);
    EXPECT_NE(PlainText(m_path).Find(L"after the refresh"), -1) << PageText().str();
    EXPECT_EQ(m_program.Exit(), 0u);
}

// The close of an edited read-only page, by each way a page closes: the
// question says that it cannot be saved; Enter (Cancel, the default) keeps
// the page open with the edits, OK closes it without them.
TEST_F(EndToEndKeys, ReadOnlyPageCloseQuestionSaysItCannotBeSavedThere) {
    ASSERT_TRUE(SetFileAttributesW(m_path, FILE_ATTRIBUTE_READONLY));
    struct Writable {
        CString path;
        ~Writable() { SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL); }
    } writable{m_path};
    const std::string before = ReadFileBytes(m_path);
    const CString question = L"The page \"Notes\" is read-only, so your changes cannot be saved there.\n\n"
                             L"OK: close it without saving them. Cancel: keep it open with your changes.";
    StartProgram();
    OpenPage();
    ProgramDriver::Type(L"kept here ");
    m_program.Settle();
    auto asked = [&](WORD key, bool control) {
        ProgramDriver::Key(key, control);
        HWND box = nullptr;
        EXPECT_TRUE(ProgramDriver::WaitFor([&] { return (box = m_program.TopWindow(L"#32770", L"Tarvelo")) != nullptr; }))
            << "no question; up: " << m_program.TopWindows().str();
        return box;
    };
    for (const auto& [key, control] : {std::pair<WORD, bool>{'Q', true}, std::pair<WORD, bool>{VK_F5, false}}) {
        SCOPED_TRACE(control ? "Ctrl+Q" : "F5");
        HWND box = asked(key, control);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(ProgramDriver::TextOf(box), question);
        ProgramDriver::Key(VK_RETURN);
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(box); }));
        m_program.Settle();
        EXPECT_EQ(m_program.TopWindow(L"#32770"), nullptr) << "a save was offered after all";
        ASSERT_NE(Engine(), nullptr) << "the page closed";
    }
    // Still edited: the words are in the window, not in the file.
    ProgramDriver::Type(L"and more ");
    m_program.Settle();
    HWND box = asked('Q', true);
    ASSERT_NE(box, nullptr);
    ProgramDriver::Press(box, IDOK);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return Engine() == nullptr; })) << "OK left the page open";
    m_program.Settle();
    EXPECT_EQ(ReadFileBytes(m_path), before);
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"Settings", L"FileHot"), m_path);
    EXPECT_EQ(m_program.Exit(), 0u);
}
