// Through the real Tarvelo.exe with real keys: Enter on an empty list item
// ends the list on a page just made with Ctrl+N, as on a page read from a
// file; Ctrl+A selects the whole text of the edit boxes of the program's
// dialogs, the modeless Find dialog's among them; and Help > Home Page says
// so when no browser opens the page.
#include "EndToEndFixture.h"
#include "ScreenShot.h"
#include "dialogs/DialogIds.h"

namespace {

// The saved page's text from the first `open` to the `close` after it, empty when none.
CString Between(const CString& page, const wchar_t* open, const wchar_t* close) {
    int start = page.Find(open);
    int end = start < 0 ? -1 : page.Find(close, start);
    return end < 0 ? CString() : page.Mid(start, end - start + static_cast<int>(wcslen(close)));
}

int Count(const CString& text, const wchar_t* part) {
    int count = 0;
    for (int at = text.Find(part); at >= 0; at = text.Find(part, at + 1)) ++count;
    return count;
}

// The lowest screen row of a window that shows the colour, -1 when none does.
LONG LowestRowOf(HWND window, DWORD colour) {
    RECT area{};
    GetWindowRect(window, &area);
    const ScreenShot shot(area, "colour-row");
    for (LONG y = area.bottom - 1; y >= area.top; --y)
        for (LONG x = area.left; x < area.right; ++x)
            if (shot.At(x, y) == colour) return y;
    return -1;
}

// A text typed into the box with the keyboard, then Ctrl+A and another text:
// what the box holds then.
CString TypedOverAfterCtrlA(ProgramDriver& program, HWND box, const CString& first, const CString& second) {
    RECT rect{};
    GetWindowRect(box, &rect);
    ProgramDriver::MouseClick(Middle(rect));
    program.Settle();
    ProgramDriver::Type(first);
    ProgramDriver::Key(VK_LEFT);  // the caret inside the text: Ctrl+A still takes all of it
    ProgramDriver::Key('A', true);
    ProgramDriver::Type(second);
    program.Settle();
    return WindowText(box);  // asked of the box itself, across the processes
}

}  // namespace

class EndToEndListEndAndDialogKeys : public EndToEnd {
protected:
    // Ctrl+N with the name typed: the new page's engine window once it is open.
    HWND NewPageWithCtrlN(const CString& name) {
        ProgramDriver::Key('N', true);
        HWND dialog = nullptr;
        EXPECT_TRUE(ProgramDriver::WaitFor([&] { return (dialog = m_program.TopWindow(L"#32770", L"Tarvelo->Input Name")) != nullptr; }))
            << "no name dialog; up: " << m_program.TopWindows().str();
        if (!dialog) return nullptr;
        m_program.Settle();
        ProgramDriver::Type(name);
        ProgramDriver::Key(VK_RETURN);
        HWND engine = nullptr;
        EXPECT_TRUE(ProgramDriver::WaitFor([&] {
            HWND page = ProgramDriver::Child(m_program.Frame(), nullptr, name + L".htm");
            return page && (engine = ProgramDriver::Child(page, L"Internet Explorer_Server")) != nullptr;
        })) << "the new page did not open; up: " << m_program.TopWindows().str();
        m_program.Settle(400);
        return engine;
    }
};

// Ctrl+N, a click on the blank line under the page's heading, Unorder list,
// a1, Enter, Enter, b1: the saved page holds a list of the one item a1, and
// b1 on a line after it; the item holds no line end. Then the same once
// more on the same page, at the line that now follows the list.
TEST_F(EndToEndListEndAndDialogKeys, EnterOnAnEmptyItemEndsTheListOnAPageMadeWithCtrlN) {
    StartProgram();
    HWND engine = NewPageWithCtrlN(L"Fresh");
    ASSERT_NE(engine, nullptr);
    // The blank line stands below the heading's blue line.
    const LONG line = LowestRowOf(engine, 0x0000FF);
    ASSERT_GT(line, 0) << "no blue line under the heading";
    RECT area{};
    GetWindowRect(engine, &area);
    ProgramDriver::MouseClick(POINT{area.left + 40, line + 9});
    m_program.Settle();
    ASSERT_TRUE(m_program.ClickToolbarButton(ID_FORMAT_UNORDER_LIST));
    m_program.Settle();
    ProgramDriver::Type(L"a1");
    ProgramDriver::Key(VK_RETURN);
    m_program.Settle();
    ProgramDriver::Key(VK_RETURN);  // on the empty item: the list ends
    m_program.Settle();
    ProgramDriver::Type(L"b1");
    m_program.Settle();
    const CString path = m_allpages + L"\\Fresh.htm";
    SaveWrites([] { CtrlS(); }, path);

    CString page = TextOfUtf16Bytes(ReadFileBytes(path));
    CString upper = page;
    upper.MakeUpper();
    const CString list = Between(upper, L"<UL>", L"</UL>");
    ASSERT_FALSE(list.IsEmpty()) << page.str();
    EXPECT_EQ(Count(list, L"<LI"), 1) << page.str();
    EXPECT_NE(list.Find(L"<LI>A1</LI>"), -1) << page.str();
    EXPECT_EQ(list.Find(L"B1"), -1) << page.str();
    EXPECT_GT(upper.Find(L"B1"), upper.Find(L"</UL>")) << page.str();
    EXPECT_EQ(Count(upper, L"<UL"), 1) << page.str();
    EXPECT_EQ(m_program.Exit(), 0u);
}

// The modeless Find dialog's "Find what" and "Look in" boxes, the modal Add
// Item dialog's two boxes, and the editor's own Find box: in each, a typed
// text, Ctrl+A and a new text leave only the new text.
TEST_F(EndToEndListEndAndDialogKeys, CtrlASelectsTheWholeTextInTheDialogsEditBoxes) {
    StartProgram();
    OpenPage();
    HWND find = OpenDialog(L"Find", ID_EDIT_SEARCH);
    ASSERT_NE(find, nullptr);
    m_program.Settle();
    EXPECT_EQ(TypedOverAfterCtrlA(m_program, GetDlgItem(find, IDC_FIND_KEYWORDS), L"FLOUR", L"fl.ur"), L"fl.ur");
    HWND scopeBox = ProgramDriver::Child(GetDlgItem(find, IDC_FIND_SCOPE), L"Edit");
    ASSERT_NE(scopeBox, nullptr);
    EXPECT_EQ(TypedOverAfterCtrlA(m_program, scopeBox, L"x", L"All pages"), L"All pages");
    // The keys went to the boxes only: the page is as it was.
    ProgramDriver::Press(find, IDCANCEL);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(find); }));
    m_program.Settle();

    // The modal Add Item dialog of Insert HyperLink.
    RECT engine{};
    GetWindowRect(Engine(), &engine);
    ProgramDriver::MouseClick(POINT{engine.left + 40, engine.bottom - 20});
    m_program.Settle();
    ASSERT_TRUE(m_program.ClickToolbarButton(ID_EDIT_INSERT_HYPERLINK));
    HWND item = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (item = m_program.TopWindow(L"#32770", L"Add Item")) != nullptr; }));
    m_program.Settle();
    EXPECT_EQ(TypedOverAfterCtrlA(m_program, GetDlgItem(item, IDC_NAME), L"Frist", L"First"), L"First");
    EXPECT_EQ(TypedOverAfterCtrlA(m_program, GetDlgItem(item, IDC_ITEM_ADDRESS), L"htp:/", L"http://example.org/"),
              L"http://example.org/");
    ProgramDriver::Key(VK_ESCAPE);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(item); }));
    m_program.Settle();

    // The editor's own Find box (Search Current Page, Ctrl+F).
    ProgramDriver::MouseClick(POINT{engine.left + 40, engine.bottom - 20});
    m_program.Settle();
    ProgramDriver::Key('F', true);
    HWND pageFind = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] {
        pageFind = m_program.TopWindow(L"#32770", L"Find");
        return pageFind && GetDlgItem(pageFind, 1021) != nullptr;
    })) << m_program.TopWindows().str();
    m_program.Settle();
    EXPECT_EQ(TypedOverAfterCtrlA(m_program, GetDlgItem(pageFind, 1021), L"Bta", L"Beta"), L"Beta");
    ProgramDriver::Key(VK_ESCAPE);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(pageFind); }));
    m_program.Settle();
    EXPECT_FALSE(m_program.TopWindow(L"#32770", L"Tarvelo")) << m_program.TopWindows().str();
    EXPECT_EQ(m_program.Exit(), 0u);
    EXPECT_EQ(PageText(), kPage);  // nothing was typed into the page, nothing saved
}

namespace {

// Wine's winebrowser hands web addresses to the browsers its settings name:
// while this lives it names one that is on no machine, so that no browser
// starts, whatever this machine has.
class NoBrowserForWine {
public:
    NoBrowserForWine() {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_READ | KEY_WRITE,
                            nullptr, &m_key, nullptr) != ERROR_SUCCESS)
            return;
        DWORD size = sizeof(m_old);
        m_hadValue = RegQueryValueExW(m_key, L"Browsers", nullptr, &m_oldType, reinterpret_cast<BYTE*>(m_old), &size) ==
                     ERROR_SUCCESS;
        m_oldSize = size;
        const wchar_t none[] = L"tarvelo-test-no-such-browser";
        RegSetValueExW(m_key, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(none), sizeof(none));
    }
    ~NoBrowserForWine() {
        if (!m_key) return;
        if (m_hadValue) RegSetValueExW(m_key, L"Browsers", 0, m_oldType, reinterpret_cast<const BYTE*>(m_old), m_oldSize);
        else RegDeleteValueW(m_key, L"Browsers");
        RegCloseKey(m_key);
    }
    NoBrowserForWine(const NoBrowserForWine&) = delete;
    NoBrowserForWine& operator=(const NoBrowserForWine&) = delete;

private:
    HKEY m_key = nullptr;
    bool m_hadValue = false;
    DWORD m_oldType = 0, m_oldSize = 0;
    wchar_t m_old[512] = {};
};

}  // namespace

// Help > Home Page with the keys (Alt+H, H) when no browser can open the
// page: a message says so and why, as View > Browse does for a page.
TEST_F(EndToEndListEndAndDialogKeys, HomePageSaysWhenNoBrowserOpensIt) {
    NoBrowserForWine noBrowser;
    StartProgram();
    m_program.Settle();
    ProgramDriver::Key('H', false, false, true);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return m_program.TopWindow(L"#32768") != nullptr; }))
        << "no Help menu; up: " << m_program.TopWindows().str();
    m_program.Settle();
    ProgramDriver::Key('H');
    HWND box = nullptr;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return (box = m_program.TopWindow(L"#32770", L"Tarvelo")) != nullptr; }))
        << "no message; up: " << m_program.TopWindows().str();
    const CString text = ProgramDriver::TextOf(box);
    EXPECT_EQ(text.Find(L"The home page could not be opened:\nhttp://www.tarvelo.com\n\n"), 0) << text.str();
    EXPECT_GT(text.GetLength(), CString(L"The home page could not be opened:\nhttp://www.tarvelo.com\n\n").GetLength());
    ProgramDriver::Key(VK_RETURN);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(box); }));
    m_program.Settle();
    EXPECT_EQ(m_program.Exit(), 0u);
}
