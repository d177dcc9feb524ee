// Saves through the real Tarvelo.exe keep what is on disk and stay inside the
// store: the index marker that Unindex and Index wrote under an open page
// (also into a page that had none), a read-only page (refused, its close
// question offers no save, nothing written anywhere else, its open mark gone
// after its close), and a page whose markup is cut, whose save asks before it
// drops the text the editor could not show, while markup inside closed
// attribute values (clipped pages carry it) asks nothing at any save.
#include "EndToEndFixture.h"
#include "ScreenShot.h"

#include "util/PathParts.h"
#include "util/Registry.h"

#include <initializer_list>

namespace {

class EndToEndSave : public EndToEnd {
protected:
    // The message box (or dialog) that comes up: its text, once `button`
    // answered it; "<none>" when nothing came.
    CString AnswerBox(int button, const wchar_t* caption = nullptr) {
        HWND box = nullptr;
        if (!ProgramDriver::WaitFor([&] { return (box = m_program.TopWindow(L"#32770", caption)) != nullptr; }, 8000))
            return L"<none>";
        CString text = ProgramDriver::TextOf(box);
        ProgramDriver::Press(box, button);
        ProgramDriver::WaitFor([&] { return !IsWindow(box); });
        m_program.Settle();
        return text;
    }
    void Typed(const CString& words) {
        ProgramDriver::Type(words);
        m_program.Settle();
    }
    void CtrlKey(WORD key) {
        ProgramDriver::Key(key, true);
        m_program.Settle();
    }
    // The value names of a section of the program's key.
    static std::vector<CString> ValueNames(const wchar_t* section) {
        std::vector<CString> names;
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, CString(kTarveloRegistryRoot) + L"\\" + section, 0, KEY_READ, &key) !=
            ERROR_SUCCESS)
            return names;
        wchar_t name[512];
        for (DWORD i = 0;; ++i) {
            DWORD length = 512;
            if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            names.push_back(CString(name));
        }
        RegCloseKey(key);
        return names;
    }
    // The tree's open-mark count of the page, as Ctrl+I shows it.
    CString OpenCount() {
        ProgramDriver::MouseClick(TreeItemPoint());
        m_program.Settle();
        CtrlKey('I');
        return AnswerBox(IDOK);
    }
    std::string Bytes() { return ReadFileBytes(m_path); }
    // The page file written as `text`, opened, and "typed " typed into it:
    // the file's bytes before any save.
    std::string OpenTyped(const CString& text) {
        WriteFileBytes(m_path, Utf16Bytes(text));
        const std::string bytes = Bytes();
        OpenPage();
        Typed(L"typed ");
        return bytes;
    }
    // The question before the save of a cut page.
    static CString CutPageWarning(const CString& cause) {
        return L"The markup of the page \"Notes\" is cut (" + cause +
               L"), so part of its text is not shown. Saving would drop that text from the file.\n\n"
               L"OK: save anyway. Cancel: keep the file as it is.";
    }
    // A command of the File menu, by its keys (Alt+F, then the item's keys;
    // the menu opens on its first item).
    void FileMenuKeys(std::initializer_list<WORD> keys) {
        auto menuUp = [&] { return m_program.TopWindow(L"#32768") != nullptr; };
        ASSERT_TRUE(ProgramDriver::WaitFor([&] {
            if (!menuUp()) ProgramDriver::Key('F', false, false, true);  // again when a busy moment lost it
            return ProgramDriver::WaitFor(menuUp, 2000);
        }));
        for (WORD key : keys) ProgramDriver::Key(key);
        m_program.Settle();
    }
};

} // namespace

TEST_F(EndToEndSave, UnindexAndIndexUnderAnOpenPageSurviveItsSaves) {
    StartProgram();
    OpenPage();
    FileMenuKeys({'U'});
    ASSERT_EQ(ReadBack(m_path).marker, 2) << PageText().str();
    Typed(L"off ");
    CtrlKey('S');
    EXPECT_EQ(AnswerBox(IDCANCEL), L"<none>");  // no "changed by another program"
    EXPECT_EQ(ReadBack(m_path).marker, 2) << PageText().str();
    EXPECT_NE(PlainText(m_path).Find(L"off"), -1);
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Notes"), L"");

    PostMessageW(m_program.Frame(), WM_COMMAND, ID_FILE_INDEX, 0);
    m_program.Settle();
    ASSERT_EQ(ReadBack(m_path).marker, 1);
    Typed(L"on ");
    CtrlKey('S');
    EXPECT_EQ(AnswerBox(IDCANCEL), L"<none>");
    StoreView view = ReadBack(m_path);
    EXPECT_EQ(view.marker, 1);
    EXPECT_EQ(view.tags, (std::vector<CString>{L"News", L"Work"}));
    EXPECT_NE(PlainText(m_path).Find(L"on "), -1) << PageText().str();
    EXPECT_NE(PlainText(m_path).Find(L"off "), -1);
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Notes"), L"News,1;Work,1");
    EXPECT_EQ(m_program.Exit(), 0u);
}

TEST_F(EndToEndSave, IndexAndUnindexOfAPageWithoutMarkerSurviveItsSaves) {
    CString plain = kPage;
    plain.Replace(L"<html id=tq1>", L"<html>");
    WriteFileBytes(m_path, Utf16Bytes(plain));
    StartProgram();
    OpenPage();
    Typed(L"chosen ");
    // File > Index: its letter is New's too, so it is reached by the arrows.
    FileMenuKeys({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    ASSERT_EQ(ReadBack(m_path).marker, 1) << PageText().str() << m_program.TopWindows().str();
    CtrlKey('S');
    EXPECT_EQ(AnswerBox(IDCANCEL), L"<none>");  // no "changed by another program"
    StoreView view = ReadBack(m_path);
    EXPECT_EQ(view.marker, 1) << PageText().str();
    EXPECT_EQ(view.tags, (std::vector<CString>{L"News", L"Work"}));
    EXPECT_NE(PlainText(m_path).Find(L"chosen "), -1) << PageText().str();
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Notes"), L"News,1;Work,1");
    // The editor still holds the plain tag: the next save keeps the marker too.
    Typed(L"again ");
    CtrlKey('S');
    EXPECT_EQ(AnswerBox(IDCANCEL), L"<none>");
    EXPECT_EQ(ReadBack(m_path).marker, 1) << PageText().str();
    EXPECT_NE(PlainText(m_path).Find(L"again "), -1) << PageText().str();
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Notes"), L"News,1;Work,1");

    Typed(L"hidden ");
    FileMenuKeys({'U'});  // File > Unindex
    ASSERT_EQ(ReadBack(m_path).marker, 2) << PageText().str();
    CtrlKey('S');
    EXPECT_EQ(AnswerBox(IDCANCEL), L"<none>");
    EXPECT_EQ(ReadBack(m_path).marker, 2) << PageText().str();
    EXPECT_NE(PlainText(m_path).Find(L"hidden "), -1) << PageText().str();
    EXPECT_EQ(ProgramRegistryGuard::ReadString(L"AllPages", L"Notes"), L"");
    EXPECT_EQ(m_program.Exit(), 0u);
}

TEST_F(EndToEndSave, ReadOnlyPageIsRefusedByNameAndNothingLandsOutsideTheStore) {
    ASSERT_TRUE(SetFileAttributesW(m_path, FILE_ATTRIBUTE_READONLY));
    struct Writable {
        CString path;
        ~Writable() { SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL); }  // the folder can go
    } writable{m_path};
    const std::string before = Bytes();
    StartProgram();
    OpenPage();
    Typed(L"kept here ");
    CtrlKey('S');
    const CString refused = L"The page \"Notes\" is read-only, so it was not saved. Your changes stay in its window.";
    EXPECT_EQ(AnswerBox(IDOK), refused);
    EXPECT_EQ(AnswerBox(IDCANCEL), L"<none>");  // no Save As after it
    EXPECT_EQ(Bytes(), before);
    // Nor does a Save As command lead anywhere else.
    PostMessageW(m_program.Frame(), WM_COMMAND, ID_FILE_SAVE_AS, 0);
    EXPECT_EQ(AnswerBox(IDOK), refused);
    // The close question offers no save: Cancel keeps the page open, OK closes it unsaved.
    const CString closing = L"The page \"Notes\" is read-only, so your changes cannot be saved there.\n\n"
                            L"OK: close it without saving them. Cancel: keep it open with your changes.";
    CtrlKey('Q');
    EXPECT_EQ(AnswerBox(IDCANCEL), closing);
    EXPECT_EQ(AnswerBox(IDCANCEL), L"<none>");
    EXPECT_NE(Engine(), nullptr);
    CtrlKey('Q');
    EXPECT_EQ(AnswerBox(IDOK), closing);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return Engine() == nullptr; }));
    EXPECT_EQ(OpenCount(), L"0");
    EXPECT_EQ(Bytes(), before);

    // Its source, edited, is refused the same way, at Save and at the close.
    // (The click on the selected item starts a label edit a moment later:
    // Escape ends it before the double-click.)
    ASSERT_TRUE(ProgramDriver::WaitFor([&] {
        ProgramDriver::Key(VK_ESCAPE);
        ProgramDriver::MouseClick(TreeItemPoint(), false, 2);
        return ProgramDriver::WaitFor([&] { return Engine() != nullptr; }, 3000);
    }));
    OpenPage();
    HWND source = OpenSource();
    ASSERT_NE(source, nullptr);
    Typed(L"in source ");
    CtrlKey('S');
    EXPECT_EQ(AnswerBox(IDOK), refused);
    CtrlKey('Q');
    EXPECT_EQ(AnswerBox(IDCANCEL), closing);
    EXPECT_EQ(AnswerBox(IDCANCEL), L"<none>");
    EXPECT_TRUE(IsWindow(source));
    CtrlKey('Q');
    EXPECT_EQ(AnswerBox(IDOK), closing);
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(m_program.Exit(), 0u);
    for (const CString& name : ValueNames(L"AllPages")) EXPECT_EQ(name, L"Notes");
    for (const CString& name : ValueNames(L"Recent File List")) {
        CString file = ProgramRegistryGuard::ReadString(L"Recent File List", name);
        EXPECT_TRUE(file.IsEmpty() || IsPathWithin(file, m_allpages)) << file.GetString();
    }
}

TEST_F(EndToEndSave, CutPageAsksBeforeItsSaveDropsTextAndKeepsItsBytesWhenTold) {
    const CString head = L"<html id=tq1>\n<HEAD>\n<TITLE>Notes</TITLE>\n</HEAD>\n<BODY>\n";
    // Broken, but every word shows: saved without a question.
    WriteFileBytes(m_path, Utf16Bytes(head + L"<DIV>&gt;&gt;&gt;News&lt;&lt;&lt;</DIV>\n<b>bold <i>both</b> open\n"
                                             L"<A title=\"a > b\" href=\"http://example.com/a\">Alpha</A> 1 < 2\n"
                                             L"<p>para <div>block</p> rest\n</BODY></HTML>\n"));
    StartProgram();
    OpenPage();
    Typed(L"typed ");
    CtrlKey('S');
    EXPECT_EQ(AnswerBox(IDCANCEL), L"<none>");
    for (const wchar_t* word : {L"typed", L"bold", L"both", L"open", L"Alpha", L"para", L"block", L"rest"})
        EXPECT_NE(PlainText(m_path).Find(word), -1) << word << "\n" << PageText().str();
    CtrlKey('Q');
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return Engine() == nullptr; }));

    // A quote that never closes: the editor shows News only.
    const std::string cut = OpenTyped(head + L"<DIV>&gt;&gt;&gt;News&lt;&lt;&lt;</DIV>\n"
                                             L"<A href=\"http://example.com/a>Alpha</A><BR>\n"
                                             L"<DIV>&gt;&gt;&gt;Work&lt;&lt;&lt;</DIV>\nBeta words\n</BODY></HTML>\n");
    const CString warning = CutPageWarning(L"a quote is never closed");
    CtrlKey('S');
    EXPECT_EQ(AnswerBox(IDCANCEL, L"Warning"), warning);
    EXPECT_EQ(Bytes(), cut);
    // At the close, Enter keeps the file too: Cancel is the default.
    CtrlKey('Q');
    EXPECT_EQ(AnswerBox(IDYES), L"Save changes to " + m_path + L"?");
    HWND box = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (box = m_program.TopWindow(L"#32770", L"Warning")) != nullptr; }));
    EXPECT_EQ(ProgramDriver::TextOf(box), warning);
    ProgramDriver::Key(VK_RETURN);
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(box); }));
    m_program.Settle();
    EXPECT_NE(Engine(), nullptr);
    EXPECT_EQ(Bytes(), cut);
    // Told to, the save goes on.
    CtrlKey('S');
    EXPECT_EQ(AnswerBox(IDOK, L"Warning"), warning);
    EXPECT_NE(Bytes(), cut);
    EXPECT_NE(PlainText(m_path).Find(L"typed"), -1) << PageText().str();
    CtrlKey('Q');
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return Engine() == nullptr; }));
    EXPECT_EQ(m_program.Exit(), 0u);
}

TEST_F(EndToEndSave, MarkupInClosedValuesSavesWithoutAQuestionAndALateClosedQuoteWarns) {
    const CString head = L"<html id=tq1>\n<HEAD>\n<TITLE>Notes</TITLE>\n"
                         L"<META name=description content=\"a <b>bold</b> claim\">\n</HEAD>\n<BODY>\n";
    WriteFileBytes(m_path, Utf16Bytes(head + L"<DIV>&gt;&gt;&gt;News&lt;&lt;&lt;</DIV>\n"
                                             L"<A title=\"<b>Note</b>\" href=\"http://example.com/a\">Alpha</A>\n"
                                             L"<A href=\"#\" onmouseover=\"return overlib('<b>Tip</b> text')\">Hover</A>\n"
                                             L"<SPAN data-tip=\"&lt;b&gt;Note&lt;/b&gt;\">Tipped</SPAN> words\n" +
                                             kFooter));
    StartProgram();
    OpenPage();
    // Two saves in a row: the second reads the values as the first wrote them ("<" raw).
    for (const wchar_t* typed : {L"first ", L"second "}) {
        Typed(typed);
        CtrlKey('S');
        EXPECT_EQ(AnswerBox(IDCANCEL), L"<none>") << typed;
        for (const wchar_t* word : {L"first", L"Alpha", L"Hover", L"Tipped", L"words"})
            EXPECT_NE(PlainText(m_path).Find(word), -1) << word << "\n" << PageText().str();
        EXPECT_NE(PlainText(m_path).Find(typed), -1) << PageText().str();
    }
    CString saved;
    ASSERT_TRUE(ReadPageText(m_path, saved));
    EXPECT_NE(saved.Find(L"<b>Tip</b> text"), -1) << saved.GetString();
    EXPECT_NE(saved.Find(L"<b>Note</b>"), -1) << saved.GetString();
    CtrlKey('Q');
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return Engine() == nullptr; }));

    // A link's quote closed only by the picture's: "Click here" and the
    // address are hidden, and a save would drop them.
    const std::string cut = OpenTyped(head + L"<DIV>&gt;&gt;&gt;News&lt;&lt;&lt;</DIV>\n"
                                             L"<A href=\"http://x.example/page.htm>Click here <IMG src=\"icon.gif\"></A> rest\n"
                                             L"<FONT color=\"red>Important words <B class=\"x\">more</B></FONT>\n" + kFooter);
    const CString warning = CutPageWarning(L"a quote is closed only by the next attribute's quote");
    CtrlKey('S');
    HWND box = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (box = m_program.TopWindow(L"#32770", L"Warning")) != nullptr; }));
    m_program.Settle();
    RECT area{};
    GetWindowRect(box, &area);
    ScreenShot shot(area, "late-quote-warning");
    EXPECT_EQ(AnswerBox(IDCANCEL, L"Warning"), warning);
    EXPECT_EQ(Bytes(), cut);
    CtrlKey('S');
    EXPECT_EQ(AnswerBox(IDOK, L"Warning"), warning);
    EXPECT_NE(Bytes(), cut);
    EXPECT_NE(PlainText(m_path).Find(L"typed"), -1) << PageText().str();
    // What the save wrote hides nothing more: the next save asks nothing.
    Typed(L"again ");
    CtrlKey('S');
    EXPECT_EQ(AnswerBox(IDCANCEL), L"<none>");
    EXPECT_NE(PlainText(m_path).Find(L"again"), -1) << PageText().str();
    CtrlKey('Q');
    EXPECT_TRUE(ProgramDriver::WaitFor([&] { return Engine() == nullptr; }));
    EXPECT_EQ(m_program.Exit(), 0u);
}
