// Enter in the page, through the real Tarvelo.exe: the Enter that closes a
// dialog or message box in front of the page leaves the page as it was;
// lines typed with Enter stand beside each other; and what is typed after a
// link, on its line or on the next, is not part of the link.
#include "EndToEndFixture.h"

namespace {

// A page of paragraphs, as the program's first page is written.
const CString kParagraphPage = L"<html id=tq1>\n<HEAD>\n<TITLE>Notes</TITLE>\n</HEAD>\n<BODY>\n"
                               L"<P>Welcome to your notes.</P>\n"
                               L"<P>&gt;&gt;&gt;News&lt;&lt;&lt;</P>\n"
                               L"<A href=\"http://example.com/a\">&nbsp;Alpha&nbsp;</A><BR>\n" +
                               kFooter;

// The deepest nesting of DIV elements in a page's text.
int DivDepth(const CString& page) {
    std::wstring text = page.str();
    for (wchar_t& c : text) c = static_cast<wchar_t>(towupper(c));
    int depth = 0, deepest = 0;
    for (size_t at = text.find(L'<'); at != std::wstring::npos; at = text.find(L'<', at + 1)) {
        if (text.compare(at, 4, L"<DIV") == 0 && (text[at + 4] == L'>' || text[at + 4] == L' ')) deepest = std::max(deepest, ++depth);
        else if (text.compare(at, 6, L"</DIV>") == 0) --depth;
    }
    return deepest;
}

// The text inside the page's links, joined.
CString LinkTexts(const CString& page) {
    std::wstring text = page.str(), inside;
    for (size_t at = text.find(L"<A "); at != std::wstring::npos; at = text.find(L"<A ", at + 1)) {
        size_t start = text.find(L'>', at), end = text.find(L"</A>", at);
        if (start != std::wstring::npos && end != std::wstring::npos && start < end) inside += text.substr(start + 1, end - start - 1) + L"|";
    }
    return CString(inside);
}

}  // namespace

// New Directory from the tree's menu and from the File menu, and the Table
// menu's Border Color message outside a table, each answered with Enter: the
// page behind them is not changed, Close asks nothing, the file is as it was.
TEST_F(EndToEnd, EnterThatClosesADialogLeavesThePageBehindUntouched) {
    WriteFileBytes(m_path, Utf16Bytes(kParagraphPage));
    const std::string before = ReadFileBytes(m_path);
    StartProgram();
    OpenPage();
    auto nameDialog = [&](const wchar_t* name, const wchar_t* item) {
        HWND dialog = nullptr;
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (dialog = m_program.TopWindow(L"#32770", L"Tarvelo->Input Name")) != nullptr; }, 8000));
        m_program.Settle();
        ProgramDriver::Type(name);
        ProgramDriver::Key(VK_RETURN);
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(dialog); }));
        m_program.Settle();
        EXPECT_TRUE(ProgramDriver::WaitFor([&] { return m_program.TreeItem(m_tree, item) != nullptr; }, 3000)) << "no folder " << item;
    };
    // The tree's menu, on the page's item: its last item.
    ProgramDriver::MouseClick(TreeItemPoint(), true);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return m_program.TopWindow(L"#32768") != nullptr; }));
    ProgramDriver::Key(VK_UP);
    ProgramDriver::Key(VK_RETURN);
    nameDialog(L"Trips", L"Trips");
    // Back in the page, the File menu by its keys.
    RECT engine{};
    GetWindowRect(Engine(), &engine);
    ProgramDriver::MouseClick(POINT{engine.left + 40, engine.bottom - 20});
    m_program.Settle();
    ProgramDriver::Key('F', false, false, true);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return m_program.TopWindow(L"#32768") != nullptr; }));
    ProgramDriver::Key(VK_DOWN);  // "New Di&rectory", below "&New"
    ProgramDriver::Key(VK_RETURN);
    nameDialog(L"Books", L"Trips\\Books");  // in the folder the tree selected last
    // The message of Border Color with the caret outside a table.
    PostMessageW(m_program.Frame(), WM_COMMAND, ID_TABLE_BORDER_COLOR, 0);
    HWND box = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (box = m_program.TopWindow(L"#32770")) != nullptr; }, 8000));
    EXPECT_EQ(ProgramDriver::TextOf(box), L"Please put the cursor inside the talbe to select it.");
    m_program.Settle();
    ProgramDriver::Key(VK_RETURN);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(box); }));
    m_program.Settle();

    ProgramDriver::Key('Q', true);
    HWND question = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !PageWindow() || (question = m_program.TopWindow(L"#32770")) != nullptr; }, 8000));
    if (question) {
        ADD_FAILURE() << "Close asked to save a page the user never changed: " << ProgramDriver::TextOf(question).str();
        ProgramDriver::Press(question, IDNO);
        ProgramDriver::WaitFor([&] { return !PageWindow(); });
    }
    m_program.Settle();
    EXPECT_EQ(ReadFileBytes(m_path), before) << PageText().str();
    EXPECT_EQ(m_program.Exit(), 0u);
}

// Forty lines typed with Enter, each at the end of the one before, and one
// split in its middle: all stand beside each other in the saved page, in
// the order typed, and the page keeps its sections.
TEST_F(EndToEnd, LinesTypedWithEnterStandBesideEachOther) {
    StartProgram();
    OpenPage();
    for (int line = 0; line < 40; ++line) {
        CString word;
        word.Format(L"w%dx", line);
        ProgramDriver::Type(word);
        ProgramDriver::Key(VK_RETURN);
    }
    ProgramDriver::Key(VK_UP);
    ProgramDriver::Key(VK_HOME);
    ProgramDriver::Key(VK_RIGHT);
    ProgramDriver::Key(VK_RETURN);  // "w39x" split after its "w"
    m_program.Settle();
    ProgramDriver::Key('S', true);
    m_program.Settle();
    const CString page = PageText();
    EXPECT_LE(DivDepth(page), 2) << page.str();
    const CString words = PlainText(m_path);
    int at = 0;
    for (int line = 0; line <= 40; ++line) {
        CString word;
        if (line < 39) word.Format(L"w%dx", line);
        else word = line == 39 ? L"w" : L"39x";
        int found = words.Find(word, at);
        ASSERT_NE(found, -1) << "line " << line << " is missing or out of order: " << page.str();
        at = found + word.GetLength();
    }
    EXPECT_EQ(ReadBack(m_path).tags, (std::vector<CString>{L"News", L"Work"}));
    EXPECT_EQ(m_program.Exit(), 0u);
}

// A link inserted at a line's end, then End, Enter, words and a picture on
// the new line, and words typed at the end of the link itself: the link
// keeps its own text alone.
TEST_F(EndToEnd, TextAfterALinkAndEnterIsOutsideTheLink) {
    const CString picture = m_install.Path() + L"\\pic.gif";
    // A one-pixel picture.
    WriteFileBytes(picture, std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;", 35));
    StartProgram();
    OpenPage();
    ProgramDriver::Key(VK_END);  // the end of the line ">>>News<<<"
    ASSERT_NO_FATAL_FAILURE(InsertLink(L"Gamma", L"http://example.com/g"));
    ProgramDriver::Key(VK_END);
    ProgramDriver::Key(VK_RETURN);
    ProgramDriver::Type(L"after");
    ASSERT_TRUE(m_program.ClickToolbarButton(ID_EDIT_INSERT_PICTURE));
    HWND pictureDialog = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (pictureDialog = m_program.TopWindow(L"#32770", L"Picture")) != nullptr; }, 8000));
    m_program.Settle();
    SetDlgItemTextW(pictureDialog, 1011, picture);
    ProgramDriver::Key(VK_RETURN);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(pictureDialog); }));
    m_program.Settle();
    // The end of the link's line, by the keys: typing there stays out of it too.
    ProgramDriver::Key(VK_UP);
    ProgramDriver::Key(VK_END);
    ProgramDriver::Type(L"tail");
    m_program.Settle();
    ProgramDriver::Key('S', true);
    m_program.Settle();

    const CString page = PageText();
    StoreView view = ReadBack(m_path);
    EXPECT_EQ(view.addresses, (std::vector<CString>{L"http://example.com/g", L"http://example.com/a", L"http://example.com/b"}));
    const CString links = LinkTexts(page);
    EXPECT_NE(links.Find(L"Gamma"), -1) << page.str();
    for (const wchar_t* outside : {L"after", L"tail", L"<IMG"}) EXPECT_EQ(links.Find(outside), -1) << outside << " is inside a link: " << page.str();
    EXPECT_NE(page.Find(L"after<IMG"), -1) << page.str();
    EXPECT_NE(PlainText(m_path).Find(L"tail"), -1) << page.str();
    EXPECT_EQ(m_program.Exit(), 0u);
}
