// Insertions in the page, through the real Tarvelo.exe: after Insert
// HyperLink (from the toolbar and from the Edit menu), Insert Line and Insert
// Picture the caret stands right after what came in, outside the link, and
// what is typed next, and the line after an Enter, go there; after Add Table
// the caret is drawn in the new table's first link cell and typing fills it.
#include "EndToEndFixture.h"
#include "ScreenShot.h"

namespace {

// A page of one line, as the user has it before inserting.
const CString kSeePage = L"<html id=tq1>\n<HEAD>\n<TITLE>Notes</TITLE>\n</HEAD>\n<BODY>\n<DIV>See</DIV>\n" + kFooter;

// The page file's text as it reads: its words, line ends as blanks, runs of
// blanks as one.
CString Reading(const CString& path) {
    const CString plain = PlainText(path);
    CString out;
    for (int i = 0; i < plain.GetLength(); ++i) {
        wchar_t c = plain[i] == L'\n' || plain[i] == L'\r' || plain[i] == L'\t' ? L' ' : plain[i];
        if (c == L' ' && !out.IsEmpty() && out[out.GetLength() - 1] == L' ') continue;
        out += c;
    }
    return out;
}

// The text inside the page's links, joined by "|".
CString LinkTexts(const CString& page) {
    CString inside;
    for (int at = page.Find(L"<A "); at >= 0; at = page.Find(L"<A ", at + 1)) {
        int start = page.Find(L'>', at), end = page.Find(L"</A>", at);
        if (start >= 0 && end > start) inside += page.Mid(start + 1, end - start - 1) + L"|";
    }
    return inside;
}

// True when `first` and `second` stand in the page in this order, on one
// line: no block starts or ends between them.
bool OnOneLine(const CString& page, const wchar_t* first, const wchar_t* second) {
    int a = page.Find(first);
    int b = a < 0 ? -1 : page.Find(second, a);
    if (b < 0) return false;
    CString between = page.Mid(a, b - a);
    between.MakeUpper();
    return between.Find(L"<DIV") < 0 && between.Find(L"</DIV>") < 0 && between.Find(L"<P") < 0 && between.Find(L"</P>") < 0;
}

// A 2 by 2 picture of 24-bit pixels, as a BMP file's bytes.
std::string SmallBitmap() {
    std::string bytes = "BM";
    auto put = [&](unsigned value, int size) {
        for (int i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    put(14 + 40 + 16, 4), put(0, 4), put(14 + 40, 4);                // file header
    put(40, 4), put(2, 4), put(2, 4), put(1, 2), put(24, 2);         // info header
    put(0, 4), put(16, 4), put(2835, 4), put(2835, 4), put(0, 4), put(0, 4);
    for (int row = 0; row < 2; ++row) put(0x0000FF, 3), put(0x00FF00, 3), put(0, 2);  // rows padded to 4 bytes
    return bytes;
}

}  // namespace

class EndToEndInsertion : public EndToEnd {
protected:
    // The one-line page open, the caret at the end of its line.
    void OpenSeePage() {
        WriteFileBytes(m_path, Utf16Bytes(kSeePage));
        StartProgram();
        OpenPage();
        ProgramDriver::Key(VK_END);
        m_program.Settle();
    }
    // An item of the Edit menu, by its key (Alt+E, then the item's letter).
    void EditMenu(WORD key) {
        ProgramDriver::Key('E', false, false, true);
        HWND menu = nullptr;
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (menu = m_program.TopWindow(L"#32768")) != nullptr; }))
            << "no Edit menu; up: " << m_program.TopWindows().str();
        m_program.Settle();
        ProgramDriver::Key(key);
        ProgramDriver::WaitFor([&] { return !IsWindow(menu) || !IsWindowVisible(menu); });
        m_program.Settle();
    }
    // A dialog with this caption, once it is up.
    HWND WaitForDialog(const wchar_t* caption) {
        HWND dialog = nullptr;
        EXPECT_TRUE(ProgramDriver::WaitFor([&] { return (dialog = m_program.TopWindow(L"#32770", caption)) != nullptr; }, 8000))
            << "no dialog \"" << CString(caption).str() << "\"; up: " << m_program.TopWindows().str();
        m_program.Settle();
        return dialog;
    }
    // Typed into the dialog's first box, Enter, and the dialog gone.
    void FillAndConfirm(HWND dialog, const std::vector<CString>& boxes) {
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (i > 0) ProgramDriver::Key(VK_TAB);
            ProgramDriver::Type(boxes[i]);
        }
        ProgramDriver::Key(VK_RETURN);
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(dialog); })) << "the dialog stayed up";
        m_program.Settle();
    }
    // The caret's rectangle on the screen, and whether the page's window has it.
    bool CaretOnScreen(RECT& caret) {
        GUITHREADINFO info{sizeof(info)};
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(m_program.Frame(), nullptr), &info) || info.hwndCaret != Engine())
            return false;
        caret = info.rcCaret;
        MapWindowPoints(info.hwndCaret, nullptr, reinterpret_cast<POINT*>(&caret), 2);
        return caret.bottom > caret.top;
    }
    // The link of the issue typed after, then Enter and the next line; saved.
    void TypeAfterTheLinkAndSave() {
        ProgramDriver::Type(L" for more");
        ProgramDriver::Key(VK_RETURN);
        m_program.Settle();
        ProgramDriver::Type(L"Nextline");
        m_program.Settle();
        SaveWrites(CtrlS);
    }
    // See, the link and " for more" on one line, Nextline on the next, outside the link.
    void ExpectLinkInTheLine() {
        const CString page = PageText();
        EXPECT_NE(page.Find(L"https://example.org/two"), -1) << page.str();
        EXPECT_NE(Reading(m_path).Find(L"See Second link for more Nextline"), -1) << page.str();
        EXPECT_TRUE(OnOneLine(page, L"See", L"for more")) << page.str();
        EXPECT_FALSE(OnOneLine(page, L"for more", L"Nextline")) << page.str();
        const CString links = LinkTexts(page);
        EXPECT_NE(links.Find(L"Second link"), -1) << page.str();
        EXPECT_EQ(links.Find(L"Nextline"), -1) << page.str();
        EXPECT_EQ(links.Find(L"for more"), -1) << page.str();
        EXPECT_EQ(m_program.Exit(), 0u);
    }
};

TEST_F(EndToEndInsertion, HyperLinkFromTheToolbarLeavesTheCaretAfterTheLink) {
    OpenSeePage();
    InsertLink(L"Second link", L"https://example.org/two");
    TypeAfterTheLinkAndSave();
    ExpectLinkInTheLine();
}

TEST_F(EndToEndInsertion, HyperLinkFromTheEditMenuLeavesTheCaretAfterTheLink) {
    OpenSeePage();
    EditMenu('H');
    HWND dialog = WaitForDialog(L"Add Item");
    ASSERT_NE(dialog, nullptr);
    FillAndConfirm(dialog, {L"Second link", L"https://example.org/two"});
    TypeAfterTheLinkAndSave();
    ExpectLinkInTheLine();
}

// Insert Line, then typing: the text stands below the rule, on See's line
// no longer; Insert Picture, then typing: after the picture, which stays.
TEST_F(EndToEndInsertion, LineAndPictureLeaveTheCaretAfterThem) {
    WriteFileBytes(m_allpages + L"\\pic.bmp", SmallBitmap());
    OpenSeePage();
    EditMenu('L');
    ProgramDriver::Type(L"under");
    m_program.Settle();
    EditMenu('I');
    HWND dialog = WaitForDialog(L"Picture");
    ASSERT_NE(dialog, nullptr);
    FillAndConfirm(dialog, {L"pic.bmp"});
    ProgramDriver::Type(L"beside");
    m_program.Settle();
    SaveWrites(CtrlS);
    CString page = PageText();
    CString upper = page;
    upper.MakeUpper();
    const int see = page.Find(L"See"), rule = upper.Find(L"<HR", see), under = page.Find(L"under");
    const int picture = upper.Find(L"<IMG"), beside = page.Find(L"beside");
    EXPECT_TRUE(see >= 0 && see < rule && rule < under) << page.str();
    EXPECT_TRUE(under < picture && picture < beside) << page.str();
    EXPECT_NE(page.Find(L"pic.bmp"), -1) << page.str();
    EXPECT_EQ(m_program.Exit(), 0u);
}

// Table > Add Table, OK: the caret is drawn in the first link cell, past
// the narrow side cell; typed text lands there, not above the table.
TEST_F(EndToEndInsertion, AddTablePutsTheCaretInTheFirstLinkCell) {
    OpenSeePage();
    ProgramDriver::Key(VK_RETURN);  // a line of its own for the table
    m_program.Settle();
    ProgramDriver::Key('T', false, false, true);
    HWND menu = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (menu = m_program.TopWindow(L"#32768")) != nullptr; }))
        << "no Table menu; up: " << m_program.TopWindows().str();
    m_program.Settle();
    ProgramDriver::Key('T');  // Add &Table
    HWND dialog = WaitForDialog(L"Tarvelo->Add New Table");
    ASSERT_NE(dialog, nullptr);
    RECT ok{};
    ASSERT_TRUE(GetWindowRect(GetDlgItem(dialog, IDOK), &ok));
    ProgramDriver::MouseClick(Middle(ok));
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(dialog); })) << "the dialog stayed up";
    m_program.Settle();
    RECT table{};
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (table = TableArea(Engine())).right > 0; }, 8000)) << "no table shows";
    // The dialog's widths: side cells of 40 pixels on a table of 984, three
    // link cells of 301 between them.
    RECT caret{};
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return CaretOnScreen(caret); }, 3000)) << "no caret in the page";
    EXPECT_GT(caret.left, table.left + 40) << caret.left << " table from " << table.left;
    EXPECT_LT(caret.left, table.left + 40 + 301) << caret.left << " table from " << table.left;
    EXPECT_GE(caret.top, table.top) << caret.top << " table from " << table.top;
    EXPECT_LE(caret.bottom, table.bottom + 2) << caret.bottom << " table to " << table.bottom;
    ProgramDriver::Type(L"cell");
    m_program.Settle();
    SaveWrites(CtrlS);
    const CString page = PageText();
    CString upper = page;
    upper.MakeUpper();
    const int start = upper.Find(L"<TABLE"), first = upper.Find(L"POS=", start), cell = page.Find(L">cell<");
    ASSERT_GE(start, 0) << page.str();
    EXPECT_GT(cell, first) << page.str();  // past the side cell
    EXPECT_LT(cell, upper.Find(L"</TD>", first)) << page.str();  // in the first link cell
    EXPECT_EQ(m_program.Exit(), 0u);
}
