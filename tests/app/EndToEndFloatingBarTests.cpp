// The format toolbar wherever it stands, and the keyboard around it: a click
// on the floating bar applies to the page and leaves the keys there (the main
// window stays active), the font boxes draw their text docked at every side
// and floating, a pick in either box with the mouse sends the next keys to
// the page, and a click in the folder tree leaves the page's scroll position.
#include "EndToEndFixture.h"
#include "FontBoxPick.h"
#include "ScreenShot.h"
#include "ToolbarPlaces.h"

namespace {

RECT WindowRectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// A control's text (asked for: GetWindowText gives only a caption across processes).
CString WindowTextOf(HWND window) {
    wchar_t text[256] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length);
    return text;
}

// The pixels of a rectangle on the screen as dark as text is drawn.
int DarkPixels(const RECT& rect, const char* name) {
    ScreenShot shot(rect, name);
    int dark = 0;
    for (LONG y = rect.top; y < rect.bottom; ++y)
        for (LONG x = rect.left; x < rect.right; ++x) {
            const DWORD pixel = shot.At(x, y);
            if ((pixel & 0xFF) < 0x70 && ((pixel >> 8) & 0xFF) < 0x70 && ((pixel >> 16) & 0xFF) < 0x70) ++dark;
        }
    return dark;
}

class EndToEndFloatingBar : public EndToEnd {
protected:
    // A page of a heading and 120 lines, "Long" beside "Notes"; its path.
    CString WriteLongPage() {
        CString body = L"<DIV><B>Heading of the long page</B></DIV>\n";
        for (int line = 1; line <= 120; ++line) body.AppendFormat(L"<DIV>Line %d of the long page</DIV>\n", line);
        const CString path = m_allpages + L"\\Long.htm";
        WriteFileBytes(path, Utf16Bytes(L"<html id=tq1>\n<HEAD>\n<TITLE>Long</TITLE>\n</HEAD>\n<BODY>\n" + body + kFooter));
        return path;
    }
    // The long page opened by a double-click on its item (whose rectangle comes
    // back): its engine window, null when it did not open.
    HWND OpenLongPage(RECT& item) {
        if (!ProgramDriver::WaitFor([&] {
                HTREEITEM page = m_program.TreeItem(m_tree, L"Long");
                return page && m_program.TreeItemRect(m_tree, page, item);
            }))
            return nullptr;
        ProgramDriver::MouseClick(Middle(item), false, 2);
        return PageEngine();
    }
    // The engine window of the page window of that title ("Long.htm"), once it is open.
    HWND PageEngine(const wchar_t* title = L"Long.htm") {
        HWND engine = nullptr;
        EXPECT_TRUE(ProgramDriver::WaitFor([&] {
            HWND page = ProgramDriver::Child(m_program.Frame(), nullptr, title);
            return page && (engine = ProgramDriver::Child(page, L"Internet Explorer_Server")) != nullptr;
        })) << "the page did not open";
        m_program.Settle();
        return engine;
    }
    // The window thread's active window and keyboard focus.
    GUITHREADINFO Gui() const {
        GUITHREADINFO gui{};
        gui.cbSize = sizeof(gui);
        GetGUIThreadInfo(GetWindowThreadProcessId(m_program.Frame(), nullptr), &gui);
        return gui;
    }
    // Drags the bar by its gripper, or by its frame's caption when it floats, to the
    // point; the bar's top-level window after.
    HWND DragBar(HWND toolbar, POINT to) {
        HWND root = GetAncestor(toolbar, GA_ROOT);
        POINT from = GripperOf(toolbar);
        if (root != m_program.Frame()) {
            const RECT placed = WindowRectOf(root);
            from = POINT{placed.left + 30, placed.top + GetSystemMetrics(SM_CYSIZEFRAME) + GetSystemMetrics(SM_CYSMCAPTION) / 2};
        }
        ProgramDriver::MouseDrag(from, to);
        m_program.Settle(300);
        return GetAncestor(toolbar, GA_ROOT);
    }
    // The program started on the page, the keyboard in it: the format toolbar.
    HWND StartOnThePage() {
        StartProgram();
        OpenPage();
        HWND toolbar = m_program.Toolbar(ID_FORMAT_BOLD);
        EXPECT_NE(toolbar, nullptr);
        return toolbar;
    }
    // The pages' area on the screen.
    RECT PagesArea() { return WindowRectOf(ProgramDriver::Child(m_program.Frame(), L"MDIClient")); }
    // Clicks the button on the bar, wherever the bar stands.
    void ClickButton(HWND toolbar, UINT command) {
        RECT button{};
        ASSERT_TRUE(m_program.ToolbarButtonRect(toolbar, command, button));
        ProgramDriver::MouseClick(Middle(button));
        m_program.Settle();
    }
    // The main window is active, its caption drawn so, and the page has the keyboard.
    void ExpectKeysInThePage(const char* after) {
        SCOPED_TRACE(after);
        const GUITHREADINFO gui = Gui();
        EXPECT_EQ(GetForegroundWindow(), m_program.Frame()) << m_program.TopWindows().str();
        EXPECT_EQ(gui.hwndActive, m_program.Frame());
        EXPECT_EQ(gui.hwndFocus, Engine()) << m_program.TopWindows().str();
    }
};

}  // namespace

// Floated, the bar's Bold applies to the page the user clicked into, and the
// words typed next land there bold: the main window stays active throughout.
TEST_F(EndToEndFloatingBar, BoldOnTheFloatingBarAppliesToThePageAndTheKeysStayThere) {
    HWND toolbar = StartOnThePage();
    ASSERT_NE(toolbar, nullptr);
    HWND frame = m_program.Frame();
    RECT pages = PagesArea();
    HWND floating = DragBar(toolbar, POINT{(pages.left + pages.right) / 2, pages.bottom - 60});
    ASSERT_NE(floating, frame) << "the toolbar did not float";
    ExpectKeysInThePage("the bar floated");

    // Into the page beside its first line: the caret goes to that line's end.
    RECT engine = WindowRectOf(Engine());
    const POINT beside{engine.right - 22, engine.top + 16};
    RECT placed = WindowRectOf(floating);
    ASSERT_FALSE(PtInRect(&placed, beside)) << "the floating bar covers the page's first line";
    ProgramDriver::MouseClick(beside);
    m_program.Settle();
    ExpectKeysInThePage("a click in the page");

    ClickButton(toolbar, ID_FORMAT_BOLD);
    ExpectKeysInThePage("Bold on the floating bar");
    ProgramDriver::Type(L"boldword");
    m_program.Settle();
    // A second click on the caption-less bar's body, off any button, takes nothing either.
    RECT bar = WindowRectOf(toolbar);
    ProgramDriver::MouseClick(POINT{bar.right - 3, bar.bottom - 3});
    m_program.Settle();
    ExpectKeysInThePage("a click on the floating bar's edge");
    ClickButton(toolbar, ID_FORMAT_BOLD);
    ProgramDriver::Type(L"plain");
    m_program.Settle();
    SaveWrites(CtrlS);
    const CString text = PageText();
    EXPECT_NE(text.Find(L"<STRONG>boldword</STRONG>plain"), -1) << text.str();
    EXPECT_EQ(ReadBack(m_path).tags, (std::vector<CString>{L"News", L"Work"}));
    ExpectKeysInThePage("the save");
    EXPECT_EQ(m_program.Exit(), 0u);
}

// The font-name and size boxes show "Times New Roman" and "16" for the page,
// and draw them wherever the bar stands: docked at the top, at the foot, at the
// left and the right, floating, back at the top and floating again.
TEST_F(EndToEndFloatingBar, FontBoxesDrawTheirTextWhereverTheBarStands) {
    HWND toolbar = StartOnThePage();
    ASSERT_NE(toolbar, nullptr);
    HWND frame = m_program.Frame();
    HWND nameBox = GetDlgItem(toolbar, ID_FORMAT_FONT_NAME);
    HWND sizeBox = GetDlgItem(toolbar, ID_FORMAT_FONT_SIZE);
    ASSERT_NE(nameBox, nullptr);
    ASSERT_NE(sizeBox, nullptr);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return WindowTextOf(nameBox) == L"Times New Roman" && WindowTextOf(sizeBox) == L"16"; }))
        << WindowTextOf(nameBox).str() << " / " << WindowTextOf(sizeBox).str();
    const RECT client = ScreenClientOf(frame);
    const RECT pages = PagesArea();
    const POINT middle{(pages.left + pages.right) / 2, (pages.top + pages.bottom) / 2};
    auto expectDrawn = [&](const char* where, int side) {
        SCOPED_TRACE(where);
        EXPECT_EQ(DockSideOf(toolbar, frame), side) << "the bar is not where it was dragged";
        // Both boxes stand whole on the bar and are drawn, with their text, on the screen.
        for (HWND box : {nameBox, sizeBox}) {
            EXPECT_TRUE(IsWindowVisible(box));
            EXPECT_EQ(WindowTextOf(box), box == nameBox ? L"Times New Roman" : L"16");
            HWND edit = GetWindow(box, GW_CHILD);
            ASSERT_NE(edit, nullptr);
            const RECT field = ScreenClientOf(edit);
            const std::string name = std::string("font-boxes-") + where + (box == nameBox ? "-name" : "-size");
            EXPECT_GE(DarkPixels(field, name.c_str()), box == nameBox ? 40 : 8) << "the box draws no text";
        }
    };
    expectDrawn("top", kTopDockBar);
    DragBar(toolbar, POINT{middle.x, client.bottom - 4});
    expectDrawn("bottom", kBottomDockBar);
    DragBar(toolbar, POINT{client.left + 4, middle.y});
    expectDrawn("left", kLeftDockBar);
    DragBar(toolbar, POINT{client.right - 4, middle.y});
    expectDrawn("right", kRightDockBar);
    ASSERT_NE(DragBar(toolbar, middle), frame);
    expectDrawn("floating", 0);
    // By the floating frame's caption back up to the top row.
    DragBar(toolbar, POINT{client.left + 90, client.top + 2});
    expectDrawn("top-by-caption", kTopDockBar);
    ASSERT_NE(DragBar(toolbar, middle), frame);
    expectDrawn("floating-again", 0);
    // Back at the top by the frame's resize.
    RECT window = WindowRectOf(frame);
    SetWindowPos(frame, nullptr, 0, 0, window.right - window.left - 40, window.bottom - window.top - 30, SWP_NOMOVE | SWP_NOZORDER);
    m_program.Settle(300);
    expectDrawn("top-again", kTopDockBar);
    EXPECT_EQ(m_program.Exit(), 0u);
}

// A size and a font picked from the boxes' lists with the mouse: End and the
// letters typed next go into the page, at the line's end, and not into a box.
TEST_F(EndToEndFloatingBar, KeysAfterAPickInAFontBoxGoToThePage) {
    HWND toolbar = StartOnThePage();
    ASSERT_NE(toolbar, nullptr);
    auto pick = [&](int boxId, int item) { PickInFontBox(m_program, toolbar, boxId, item); };
    ProgramDriver::Type(L"first");  // at the start of the first line, the News tag's
    pick(ID_FORMAT_FONT_SIZE, 16);  // "24"
    ExpectKeysInThePage("a size picked");
    ProgramDriver::Key(VK_END);
    ProgramDriver::Type(L"zz");
    m_program.Settle();
    pick(ID_FORMAT_FONT_NAME, 3);
    ExpectKeysInThePage("a font picked");
    ProgramDriver::Key(VK_END);
    ProgramDriver::Type(L"yy");
    m_program.Settle();
    EXPECT_EQ(WindowTextOf(GetDlgItem(toolbar, ID_FORMAT_FONT_SIZE)).Find(L"z"), -1);
    EXPECT_EQ(WindowTextOf(GetDlgItem(toolbar, ID_FORMAT_FONT_NAME)).Find(L"y"), -1);
    SaveWrites(CtrlS);
    // Typed at the end of the first line, which holds the News tag.
    const CString plain = PlainText(m_path);
    const int zz = plain.Find(L"zz"), yy = plain.Find(L"yy");
    EXPECT_GT(zz, plain.Find(L"News")) << PageText().str();
    EXPECT_LT(zz, plain.Find(L"Alpha")) << PageText().str();
    EXPECT_GT(yy, zz) << PageText().str();
    EXPECT_LT(yy, plain.Find(L"Alpha")) << PageText().str();
    EXPECT_EQ(m_program.Exit(), 0u);
}

// A long page at its top and scrolled by the wheel: a click on a page's item
// and on the tree's empty part leave the page where it stands.
TEST_F(EndToEndFloatingBar, ClickInTheTreeLeavesThePageScrolledAsItWas) {
    WriteLongPage();
    StartProgram();
    RECT item{};
    HWND engine = OpenLongPage(item);
    ASSERT_NE(engine, nullptr);
    const RECT view = ScreenClientOf(engine);
    const RECT treeArea = ScreenClientOf(m_tree);
    const POINT notes = TreeItemPoint();
    const POINT empty{(treeArea.left + treeArea.right) / 2, treeArea.bottom - 12};
    int shots = 0;
    auto expectUnmoved = [&](const char* state, const char* click, POINT at) {
        SCOPED_TRACE(std::string(state) + ", " + click);
        const std::string name = "tree-click-" + std::to_string(++shots) + "-" + state;
        ScreenShot shown(view, (name + "-before").c_str());
        ProgramDriver::MouseClick(at);
        m_program.Settle(300);
        ScreenShot after(view, (name + "-after").c_str());
        // The caret may blink away: a line's worth of pixels.
        EXPECT_LT(after.Differs(shown, view), 0.01) << "the page moved";
    };
    expectUnmoved("just opened", "another page's item", notes);
    expectUnmoved("just opened", "the tree's empty part", empty);
    // The caret into the heading's line.
    ProgramDriver::MouseClick(POINT{view.left + 40, view.top + 12});
    m_program.Settle();
    expectUnmoved("top", "the page's own item", Middle(item));
    // Into the page, off the caret's line (the keys stay unpressed), and the tree's empty part.
    ProgramDriver::MouseClick(POINT{view.right - 30, (view.top + view.bottom) / 2});
    m_program.Settle();
    expectUnmoved("top", "the tree's empty part", empty);
    // Scrolled by the wheel, the caret in the heading out of the view.
    ProgramDriver::MouseClick(POINT{view.left + 40, view.top + 12});
    m_program.Settle();
    ScreenShot top(view, "tree-click-top");
    Wheel(Middle(view), 8);
    m_program.Settle(300);
    ScreenShot scrolled(view, "tree-click-scrolled");
    ASSERT_GT(scrolled.Differs(top, view), 0.05) << "the wheel did not scroll the page";
    expectUnmoved("middle", "another page's item", notes);  // not selected: the page's own is
    expectUnmoved("middle", "the tree's empty part", empty);
    ScreenShot still(view, "tree-click-middle-still");
    EXPECT_LT(still.Differs(scrolled, view), 0.01) << "the page is not where the wheel left it";
    EXPECT_EQ(m_program.Exit(), 0u);
}

// The page the program reopens at its start (the one last left in front)
// stands at its top; clicks in the tree leave it there.
TEST_F(EndToEndFloatingBar, ClickInTheTreeLeavesThePageReopenedAtTheStartAtItsTop) {
    ProgramRegistryGuard::WriteString(L"Settings", L"FileHot", WriteLongPage());
    StartProgram();
    HWND engine = PageEngine();
    ASSERT_NE(engine, nullptr);
    const RECT view = ScreenClientOf(engine);
    const RECT treeArea = ScreenClientOf(m_tree);
    const POINT notes = TreeItemPoint();
    ScreenShot opened(view, "reopened-1-opened");
    ProgramDriver::MouseClick(POINT{(treeArea.left + treeArea.right) / 2, treeArea.bottom - 12});
    m_program.Settle(300);
    ScreenShot empty(view, "reopened-2-tree-empty-part");
    EXPECT_LT(empty.Differs(opened, view), 0.01) << "the page moved at a click in the tree";
    ProgramDriver::MouseClick(notes);
    m_program.Settle(300);
    ScreenShot item(view, "reopened-3-tree-item");
    EXPECT_LT(item.Differs(opened, view), 0.01) << "the page moved at a click on a tree item";
    EXPECT_EQ(m_program.Exit(), 0u);
}

// The sample page of a first start, its heading centred in a larger font:
// reopened at the start, clicked into, and a click in the tree leaves it as it stands.
TEST_F(EndToEndFloatingBar, ClickInTheTreeLeavesACentredHeadingInView) {
    const CString path = m_allpages + L"\\Welcome.htm";
    WriteFileBytes(path, Utf16Bytes(L"<html id=tq1>\n<head>\n<title>Welcome</title>\n</head>\n<body background=\"#606666\" color =\"#606666\">\n"
                                    L"<center><font size=5><B>Welcome</B></font></center>\n"
                                    L"<P>Pages live in the folder tree on the left.</P>\n<P>&gt;&gt;&gt;Links&lt;&lt;&lt;</P>\n"
                                    L"<A href=\"http://www.tarvelo.com\">Tarvelo</A><BR>\n" + kFooter));
    ProgramRegistryGuard::WriteString(L"Settings", L"FileHot", path);
    StartProgram();
    HWND engine = PageEngine(L"Welcome.htm");
    ASSERT_NE(engine, nullptr);
    const RECT view = ScreenClientOf(engine);
    const POINT notes = TreeItemPoint();
    const RECT treeArea = ScreenClientOf(m_tree);
    auto expectUnmoved = [&](const char* name, POINT at) {
        SCOPED_TRACE(name);
        ScreenShot before(view, (std::string("welcome-") + name + "-before").c_str());
        ProgramDriver::MouseClick(at);
        m_program.Settle(300);
        ScreenShot after(view, (std::string("welcome-") + name + "-after").c_str());
        EXPECT_LT(after.Differs(before, view), 0.01) << "the page moved at a click in the tree";
    };
    expectUnmoved("opened", POINT{(treeArea.left + treeArea.right) / 2, treeArea.bottom - 12});
    // Into the page below its text: the caret at the end of its last line.
    ProgramDriver::MouseClick(POINT{view.left + 60, view.bottom - 24});
    m_program.Settle();
    expectUnmoved("clicked-into", notes);
    expectUnmoved("clicked-into-empty", POINT{(treeArea.left + treeArea.right) / 2, treeArea.bottom - 12});
    EXPECT_EQ(m_program.Exit(), 0u);
}

// The caret at the long page's end and the page wheeled back to its top: a
// click on a folder of the tree, which opens it, and on a page's item leave the
// heading in view.
TEST_F(EndToEndFloatingBar, ClickInTheTreeLeavesTheHeadingInViewWithTheCaretAtTheEnd) {
    WriteLongPage();
    CreateDirectoryW(m_allpages + L"\\Sub", nullptr);
    WriteFileBytes(m_allpages + L"\\Sub\\Inner.htm", Utf16Bytes(kPage));
    StartProgram();
    RECT item{};
    HWND engine = OpenLongPage(item);
    ASSERT_NE(engine, nullptr);
    const RECT view = ScreenClientOf(engine);
    ProgramDriver::MouseClick(POINT{view.left + 40, view.top + 12});
    m_program.Settle();
    ScreenShot top(view, "caret-at-end-1-top");
    ProgramDriver::Key(VK_END, true);
    m_program.Settle(300);
    Wheel(Middle(view), -60);
    m_program.Settle(300);
    ScreenShot wheeled(view, "caret-at-end-2-wheeled-up");
    ASSERT_LT(wheeled.Differs(top, view), 0.01) << "the wheel did not bring the page back to its top";
    RECT folder{};
    ASSERT_TRUE(m_program.TreeItemRect(m_tree, m_program.TreeItem(m_tree, L"Sub"), folder));
    ProgramDriver::MouseClick(Middle(folder), false, 2);  // opens the folder
    m_program.Settle(300);
    ScreenShot opened(view, "caret-at-end-3-folder-opened");
    EXPECT_LT(opened.Differs(top, view), 0.01) << "the page moved when a folder of the tree opened";
    ProgramDriver::MouseClick(TreeItemPoint());
    m_program.Settle(300);
    ScreenShot clicked(view, "caret-at-end-4-item-clicked");
    EXPECT_LT(clicked.Differs(top, view), 0.01) << "the page moved at a click on a page's item";
    EXPECT_EQ(m_program.Exit(), 0u);
}
