// The page view's browsing: edit and browse mode, links and the page opened
// through the shell (double-click, F3, the browse command), the browse-mode
// context menu, the engine's find on the current page, printing, and the
// tree's selection following the active page window.
#include "MessageBoxRecorder.h"
#include "ModalDriver.h"
#include "TreeFixture.h"
#include "com/ComQuery.h"
#include "docview/Document.h"
#include "html/HtmlDocument.h"
#include "page/ShellOpen.h"
#include "page/TarveloView.h"
#include "resource.h"
#include "wnd/MDIChildWnd.h"

#include <mshtmcid.h>

namespace {

// The caret at the start of the tag's element of that index, or at the text
// (the text selected when `select`).
void PutCaret(const CTarveloView* view, const wchar_t* tag, long index, const wchar_t* text = nullptr,
              bool select = false) {
    const bcHtmlDocument& document = view->GetPageDocument();
    ComPtr<IHTMLTxtRange> range;
    bcHtmlElement body = GetCollectionItem(document.GetElementsByTagName(L"BODY").Get(), 0);
    QueryAs<IHTMLBodyElement>(body.GetElement().Get())->createTextRange(range.Receive());
    if (text) {
        VARIANT_BOOL found = VARIANT_FALSE;
        BSTR wanted = SysAllocString(text);
        range->findText(wanted, 0, 0, &found);
        SysFreeString(wanted);
        ASSERT_TRUE(found);
    } else {
        range->moveToElementText(GetCollectionItem(document.GetElementsByTagName(tag).Get(), index).GetElement().Get());
    }
    if (!select) range->collapse(VARIANT_TRUE);
    range->select();
}

CString BodyHtml(const CTarveloView* view) {
    return GetCollectionItem(view->GetPageDocument().GetElementsByTagName(L"BODY").Get(), 0).GetInnerHtml();
}

CString ClipboardText() {
    CString text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT))
        if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    CloseClipboard();
    return text;
}

CString SelectedText(const CTarveloView* view) {
    ComPtr<IHTMLSelectionObject> selection;
    view->GetPageDocument().GetDocument2()->get_selection(selection.Receive());
    ComPtr<IDispatch> dispatch;
    selection->createRange(dispatch.Receive());
    BSTR text = nullptr;
    QueryAs<IHTMLTxtRange>(dispatch.Get())->get_text(&text);
    CString result(text ? text : L"");
    SysFreeString(text);
    return result;
}

// What the context menu showed, and the item to choose once it is up.
struct MenuChoice {
    UINT choose = 0;
    bool shown = false;
    bool openLinkGrey = false;
};
MenuChoice* g_choice = nullptr;

void CALLBACK ChooseWhenShown(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND window = FindWindowW(L"#32768", nullptr);
    if (!window || !IsWindowVisible(window) || !g_choice) return;
    KillTimer(nullptr, timer);
    auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
    g_choice->shown = true;
    g_choice->openLinkGrey = (GetMenuState(menu, 1, MF_BYCOMMAND) & MF_GRAYED) != 0;
    int downs = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (GetMenuState(menu, i, MF_BYPOSITION) & MF_SEPARATOR) continue;
        ++downs;
        if (GetMenuItemID(menu, i) == g_choice->choose) break;
    }
    for (int i = 0; i < downs; ++i) PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(window, WM_KEYDOWN, VK_RETURN, 0);
}

// Right-click in the engine's window; answers what the menu showed.
MenuChoice RightClick(HWND engine, UINT choose) {
    MenuChoice choice{choose};
    g_choice = &choice;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, ChooseWhenShown);
    POINT point{20, 20};
    ClientToScreen(engine, &point);
    SendMessageW(engine, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(engine), MAKELPARAM(point.x, point.y));
    PumpMessages();
    if (!choice.shown) KillTimer(nullptr, timer);
    g_choice = nullptr;
    return choice;
}

}  // namespace

TEST_F(TreeWindow, PageViewBrowsesOpensLinksFindsPrintsAndLeadsTheTree) {
    Page(L"Links.htm", L"<DIV><A href=\"http://example.com/x\">away</A> plain words</DIV><DIV><A href=\"Other.htm\">beside</A></DIV>");
    Page(L"Other.htm", L"other page");
    OpenWindow();
    MessageBoxRecorder boxes;
    std::vector<CString> opened;
    ShellOpenHook previous = SetShellOpenHook([&](HWND, const CString& target) { opened.push_back(target); });
    Tree().OpenPage(Item(L"Links.htm"));
    CDocument* page = OpenDocument(L"Links.htm");
    ASSERT_NE(page, nullptr);
    auto* view = dynamic_cast<CTarveloView*>(page->GetViews().front());
    ASSERT_NE(view, nullptr);
    HWND engine = view->GetEngineWindow();
    ASSERT_NE(engine, nullptr);
    auto command = [&](UINT id) {
        m_frame->SendMessage(WM_COMMAND, id);
        PumpMessages();
    };

    // Mode switches between edit and browse mode and back.
    EXPECT_EQ(view->GetEditMode(), static_cast<unsigned>(IDM_EDITMODE));
    command(ID_VIEW_MODE);
    EXPECT_EQ(view->GetEditMode(), static_cast<unsigned>(IDM_BROWSEMODE));
    command(ID_VIEW_MODE);
    EXPECT_EQ(view->GetEditMode(), static_cast<unsigned>(IDM_EDITMODE));

    // F3 and a double-click open the link at the caret (a relative one beside
    // the page); outside a link nothing opens. Browse opens the page itself.
    PutCaret(view, L"A", 0);
    command(ID_OPEN_LINK);
    MSG doubleClick{engine, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5)};
    EXPECT_TRUE(m_app.PreTranslateMessage(&doubleClick));
    PutCaret(view, L"A", 1);
    command(ID_OPEN_LINK);
    PutCaret(view, nullptr, 0, L"plain");
    command(ID_OPEN_LINK);
    EXPECT_TRUE(m_app.PreTranslateMessage(&doubleClick));
    command(ID_VIEW_BROWSE);
    EXPECT_EQ(opened, (std::vector<CString>{L"http://example.com/x", L"http://example.com/x", Full(L"Other.htm"),
                                            Full(L"Links.htm")}));

    // No context menu in edit mode; in browse mode the view's own, "Open Link"
    // greyed outside a link.
    EXPECT_FALSE(RightClick(engine, 3).shown);
    command(ID_VIEW_MODE);
    MenuChoice choice = RightClick(engine, 3);
    EXPECT_TRUE(choice.shown);
    EXPECT_TRUE(choice.openLinkGrey);
    EXPECT_EQ(opened.back(), Full(L"Links.htm"));
    PutCaret(view, L"A", 0);
    choice = RightClick(engine, 1);
    EXPECT_FALSE(choice.openLinkGrey);
    EXPECT_EQ(opened.back(), L"http://example.com/x");
    EXPECT_EQ(opened.size(), 6u);
    // The menu's Copy copies the page being browsed, and its Paste pastes
    // there: the menu offers both while the page is browsed.
    PutCaret(view, nullptr, 0, L"plain", true);
    EXPECT_TRUE(RightClick(engine, 4).shown);
    EXPECT_EQ(ClipboardText(), L"plain");
    PutCaret(view, nullptr, 0, L"words");
    EXPECT_TRUE(RightClick(engine, 5).shown);
    EXPECT_NE(BodyHtml(view).Find(L"plainwords"), -1) << BodyHtml(view).str();
    VARIANT none;
    VariantInit(&none);
    EXPECT_TRUE(view->ExecEditCommand(IDM_UNDO, none, true));
    EXPECT_EQ(BodyHtml(view).Find(L"plainwords"), -1) << BodyHtml(view).str();
    command(ID_VIEW_MODE);

    // Search Current Page runs the engine's find on this page.
    RunWithWindow(L"Find", [&] { command(ID_EDIT_SEARCH_PAGE); },
                  [](HWND dialog) {
                      SetTextOf(dialog, 1021, L"words");
                      Click(dialog, IDOK);
                      Click(dialog, IDCANCEL);
                  });
    EXPECT_EQ(SelectedText(view), L"words");
    EXPECT_TRUE(boxes.Boxes().empty());

    // The tree selects the page whose window comes to the front.
    Tree().OpenPage(Item(L"Other.htm"));
    PumpMessages();
    EXPECT_EQ(Tree().GetSelectedItem(), Item(L"Other.htm"));
    m_frame->MDIActivate(view->GetParentFrame());
    PumpMessages();
    EXPECT_EQ(Tree().GetSelectedItem(), Item(L"Links.htm"));

    // Print shows the engine's print dialog; Cancel prints nothing and says
    // nothing. (The tests' Wine has no printer: its dialog answers OK as Cancel.)
    int printDialogs = 0;
    for (int button : {IDCANCEL, IDOK})
        RunWithWindow(L"Print", [&] { command(ID_FILE_PRINT); }, [&, button](HWND dialog) {
            ++printDialogs;
            PostMessageW(dialog, WM_COMMAND, button, 0);
        });
    EXPECT_EQ(printDialogs, 2);
    EXPECT_TRUE(boxes.Boxes().empty());

    // A page the shell cannot open is said to be so, naming the page and why.
    SetShellOpenHook(previous);
    ASSERT_TRUE(DeleteFileW(Full(L"Links.htm")));
    m_frame->MDIActivate(view->GetParentFrame());
    command(ID_VIEW_BROWSE);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text,
              L"The page could not be opened outside Tarvelo:\n" + Full(L"Links.htm") + L"\n\nThe file was not found.");
}
