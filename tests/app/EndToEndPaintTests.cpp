// What the page window shows after edits, through the real Tarvelo.exe: the
// screen holds the page as it now is (the same pixels as a full repaint of
// the window draws), and the scroll bars follow the page's size at once.
#include "EndToEndFixture.h"
#include "ScreenShot.h"

namespace {

// A page of one DIV per line, as the program's own Enter writes them.
const CString kLinesPage = L"<html id=tq1>\n<HEAD>\n<TITLE>Notes</TITLE>\n</HEAD>\n<BODY>\n"
                           L"<DIV>first line</DIV>\n"
                           L"<DIV>second line</DIV>\n"
                           L"<DIV>third line</DIV>\n"
                           L"<DIV>fourth line</DIV>\n" +
                           kFooter;

RECT ScreenRect(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The lowest row of a shot's left part (where the lines of text start; the
// page's footer stands in the middle) that holds a dark pixel, -1 when none.
LONG LowestTextRow(const ScreenShot& shot, const RECT& rect) {
    for (LONG y = rect.bottom - 1; y >= rect.top; --y)
        for (LONG x = rect.left; x < rect.left + 120; ++x) {
            const DWORD pixel = shot.At(x, y);
            if ((pixel & 0xFF) + ((pixel >> 8) & 0xFF) + ((pixel >> 16) & 0xFF) < 3 * 128) return y;
        }
    return -1;
}

}  // namespace

class EndToEndPaint : public EndToEnd {
protected:
    // What the page window shows on the screen is what a full repaint of it
    // draws (give or take the caret).
    void ExpectShownAsRepainted(const RECT& engine, const std::string& name) {
        ScreenShot shown(engine, (name + "-shown").c_str());
        RedrawWindow(Engine(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        m_program.Settle(300);
        ScreenShot repainted(engine, (name + "-repainted").c_str());
        EXPECT_LT(shown.Differs(repainted, engine), 0.0005) << name << ": the screen does not show the page as it is";
    }
};

// A link inserted at the end of a line, End, a letter, Enter and a letter:
// the new line shows below the link's line and the old lines below it, as
// a full repaint draws them.
TEST_F(EndToEndPaint, ALineTypedAfterALinkIsPainted) {
    WriteFileBytes(m_path, Utf16Bytes(kLinesPage));
    StartProgram();
    OpenPage();
    const RECT engine = ScreenRect(Engine());
    // Beside the second line: the caret goes to its end.
    ProgramDriver::MouseClick(POINT{engine.left + 400, engine.top + 8 + 18 + 9});
    m_program.Settle();
    ASSERT_NO_FATAL_FAILURE(InsertLink(L"L2", L"http://e.com/"));
    ProgramDriver::MouseAt(POINT{engine.right - 30, engine.bottom - 30});  // no tool tip over the page
    m_program.Settle();
    ProgramDriver::Key(VK_END);
    ProgramDriver::Type(L"z");
    m_program.Settle(300);
    const LONG lowest = LowestTextRow(ScreenShot(engine, "line-after-link-0-link"), engine);
    ASSERT_GT(lowest, engine.top);
    ProgramDriver::Key(VK_RETURN);
    m_program.Settle(300);  // the new line is painted before the letter comes, as when a user types
    ExpectShownAsRepainted(engine, "line-after-link-1-enter");
    // The new line stands between the link's line and the old lines, which moved down a line.
    EXPECT_GT(LowestTextRow(ScreenShot(engine, "line-after-link-1-moved"), engine), lowest + 10);
    ProgramDriver::Type(L"q");
    m_program.Settle(300);
    ExpectShownAsRepainted(engine, "line-after-link-2-typed");

    ProgramDriver::Key('S', true);
    m_program.Settle();
    const CString page = PageText();
    const int link = page.Find(L"http://e.com/"), q = page.Find(L"<DIV>q</DIV>"), third = page.Find(L"third line");
    EXPECT_NE(link, -1) << page.str();
    EXPECT_GT(q, link) << page.str();
    EXPECT_GT(third, q) << page.str();
    EXPECT_EQ(m_program.Exit(), 0u);
}

// The page window maximised and a table of the Add Table dialog's defaults,
// wider than the window: the horizontal scroll bar comes at once, and its
// clicks take the view to the table's last column and its right edge.
TEST_F(EndToEndPaint, AWideTableGetsItsScrollBarAtOnce) {
    WriteFileBytes(m_path, Utf16Bytes(kLinesPage));
    StartProgram();
    OpenPage();
    // A main window narrower than the table, as on a smaller screen.
    if (IsZoomed(m_program.Frame())) {
        PostMessageW(m_program.Frame(), WM_SYSCOMMAND, SC_RESTORE, 0);
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsZoomed(m_program.Frame()); }));
    }
    SetWindowPos(m_program.Frame(), nullptr, 0, 0, 900, 640, SWP_NOMOVE | SWP_NOZORDER);
    m_program.Settle();
    ASSERT_TRUE(IsZoomed(PageWindow())) << "the page window is not maximised";  // pages open so
    const RECT engine = ScreenRect(Engine());
    ProgramDriver::MouseClick(POINT{engine.left + 40, engine.bottom - 20});
    m_program.Settle();
    ASSERT_FALSE(GetWindowLongW(Engine(), GWL_STYLE) & WS_HSCROLL) << "a horizontal scroll bar before the page is wider";
    ASSERT_LT(engine.right - engine.left, 984) << "the window is wide enough for the table";
    HWND dialog = OpenDialog(L"Tarvelo->Add New Table", ID_TABLE_ADD);
    ASSERT_NE(dialog, nullptr);
    m_program.Settle();
    ProgramDriver::Key(VK_RETURN);  // the defaults
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !IsWindow(dialog); }));
    ProgramDriver::MouseAt(POINT{engine.left + 40, engine.bottom - 60});
    m_program.Settle(300);
    ASSERT_TRUE(GetWindowLongW(Engine(), GWL_STYLE) & WS_HSCROLL) << "no horizontal scroll bar for the table";

    // The table (its grid colour, #6CADD8) runs out of the view on the right.
    const RECT view = ScreenRect(Engine());
    auto gridColumns = [&](const ScreenShot& shot) {
        std::vector<LONG> columns;
        for (LONG x = view.left; x < view.right; ++x)
            for (LONG y = view.top; y < view.bottom; ++y)
                if (shot.At(x, y) == 0x6CADD8) {
                    columns.push_back(x);
                    break;
                }
        return columns;
    };
    std::vector<LONG> before = gridColumns(ScreenShot(view, "wide-table-1-added"));
    ASSERT_FALSE(before.empty()) << "the table is not shown";
    EXPECT_EQ(before.back(), view.right - 1);
    // Clicks on the bar beside its right arrow page the view to the right, up to the page's end.
    const POINT barPage{view.right - GetSystemMetrics(SM_CXHSCROLL) - 4, view.bottom + GetSystemMetrics(SM_CYHSCROLL) / 2};
    for (int click = 0; click < 4; ++click) {
        ProgramDriver::MouseClick(barPage);
        m_program.Settle(100);
    }
    ProgramDriver::MouseAt(POINT{view.left + 40, view.bottom - 60});
    m_program.Settle(300);
    std::vector<LONG> after = gridColumns(ScreenShot(view, "wide-table-2-right-end"));
    ASSERT_FALSE(after.empty()) << "the table is not shown at the right end";
    EXPECT_LT(after.back(), view.right - 1) << "the table's right edge cannot be reached";
    SaveWrites(CtrlS);
    EXPECT_NE(PageText().Find(L"width=984"), -1) << PageText().str();
    EXPECT_EQ(m_program.Exit(), 0u);
}
