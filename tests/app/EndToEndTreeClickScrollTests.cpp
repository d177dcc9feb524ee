// A page brought to the front again from the folder tree stands where it was
// scrolled to: the focus coming back places its caret and does not scroll the
// caret into view.
#include "EndToEndFixture.h"
#include "ScreenShot.h"
#include "ToolbarPlaces.h"

namespace {

class EndToEndTreeClickScroll : public EndToEnd {
protected:
    // The sample page of a first start, "Welcome" beside "Notes": a centred heading and three short lines.
    void WriteShortPage() {
        WriteFileBytes(m_allpages + L"\\Welcome.htm",
                       Utf16Bytes(L"<html id=tq1>\n<head>\n<title>Welcome</title>\n</head>\n<body background=\"#606666\" color =\"#606666\">\n"
                                  L"<center><font size=5><B>Welcome</B></font></center>\n"
                                  L"<P>Pages live in the folder tree on the left.</P>\n<P>&gt;&gt;&gt;Links&lt;&lt;&lt;</P>\n"
                                  L"<A href=\"http://www.tarvelo.com\">Tarvelo</A><BR>\n" + kFooter));
    }
    // A double-click on the item of that name; the engine window of its page
    // window (titled `title`), null when it did not come to the front.
    HWND OpenFromTree(const wchar_t* name, const wchar_t* title) {
        RECT item{};
        if (!ProgramDriver::WaitFor([&] {
                HTREEITEM page = m_program.TreeItem(m_tree, name);
                return page && m_program.TreeItemRect(m_tree, page, item);
            }))
            return nullptr;
        ProgramDriver::MouseClick(Middle(item), false, 2);
        HWND engine = nullptr;
        ProgramDriver::WaitFor([&] {
            HWND page = ProgramDriver::Child(m_program.Frame(), nullptr, title);
            HWND client = ProgramDriver::Child(m_program.Frame(), L"MDIClient");
            return page && client && reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, 0)) == page &&
                   (engine = ProgramDriver::Child(page, L"Internet Explorer_Server")) != nullptr;
        });
        m_program.Settle(300);
        return engine;
    }
};

}  // namespace

// As a new user tries it: the page made longer than the view by Enter lines,
// the caret at its end and the page wheeled back to its top; another page
// opened from the tree and this one brought back by its item leave the heading in view.
TEST_F(EndToEndTreeClickScroll, APageBroughtBackFromTheTreeStaysAtItsTop) {
    WriteShortPage();
    StartProgram();
    HWND engine = OpenFromTree(L"Welcome", L"Welcome.htm");
    ASSERT_NE(engine, nullptr) << "the page did not open";
    const RECT view = ScreenClientOf(engine);
    ProgramDriver::MouseClick(POINT{view.left + 60, view.bottom - 24});  // the caret at the end of the text
    m_program.Settle();
    for (int line = 0; line < 40; ++line) ProgramDriver::Key(VK_RETURN);
    ProgramDriver::Type(L"End line");
    m_program.Settle(300);
    ScreenShot end(view, "brought-back-1-typed");
    Wheel(Middle(view), -60);
    m_program.Settle(300);
    ScreenShot top(view, "brought-back-2-wheeled-up");
    const RECT heading{view.left, view.top, view.right, view.top + 40};  // the heading's band
    ASSERT_GT(top.Differs(end, heading), 0.01) << "the page did not grow past the view, or the wheel did not scroll it";
    ASSERT_NE(OpenFromTree(L"Notes", L"Notes.htm"), nullptr) << "the other page did not come to the front";
    HWND again = OpenFromTree(L"Welcome", L"Welcome.htm");
    ASSERT_EQ(again, engine) << "the page did not come back to the front";
    ScreenShot back(ScreenClientOf(again), "brought-back-3-in-front-again");
    EXPECT_LT(back.Differs(top, heading), 0.01) << "the heading left the view when the page's item brought it back";
    EXPECT_LT(back.Differs(top, view), 0.01) << "the page moved when its item brought it back";
    ProgramDriver::Key('S', true);  // saved: the program closes without asking
    m_program.Settle(300);
    EXPECT_EQ(m_program.Exit(), 0u);
}
