// Editing in the page window with real window messages: clicks place the
// caret, keys and characters type, Enter and Backspace reshape paragraphs,
// the frame's keys reach the editor only when the host left them, browse
// mode selects and copies but never edits, and long seeded runs of keys and
// clicks leave a document that always serializes and parses back the same.
#include "EngineTestSupport.h"
#include "SharedDisplay.h"
#include "Random.h"
#include "TempDir.h"
#include "browser/BrowserWindow.h"
#include "com/ComPtr.h"
#include "com/EngineCommands.h"
#include "dialogs/EditDialogs.h"
#include "editing/Clipboard.h"

#include <mshtmcid.h>
#include <mshtml.h>
#include <mshtmhst.h>

#include <fstream>
#include <thread>

namespace {

void Pump() {
    MSG msg;
    for (int i = 0; i < 20; ++i)
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
}

CString Take(BSTR text) {
    CString result = text ? CString(text) : CString();
    SysFreeString(text);
    return result;
}

// A host that takes Backspace as its own accelerator; nothing else.
class KeyTakingHost : public IDocHostUIHandler {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = riid == IID_IUnknown || riid == IID_IDocHostUIHandler ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg, const GUID*, DWORD) override {
        return msg->message == WM_KEYDOWN && msg->wParam == VK_BACK ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*, IOleInPlaceUIWindow*) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE HideUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UpdateUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR*) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject**) override { return S_FALSE; }
};

struct EditingWindow : testing::Test {
    void SetUp() override {
        OleInitialize(nullptr);
        frame = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(frame);
        ASSERT_EQ(CreateBrowserWindow(frame, RECT{0, 0, 600, 400}, &host, browser.Receive()), S_OK);
        server = FindWindowExW(FindWindowExW(FindWindowExW(frame, nullptr, L"Shell Embedding", nullptr), nullptr,
                                             L"Shell DocObject View", nullptr), nullptr, L"Internet Explorer_Server", nullptr);
        ASSERT_TRUE(server);
    }
    void TearDown() override {
        SetControl(false);
        browser = ComPtr<IWebBrowser2>();
        DestroyWindow(frame);
        Pump();
        OleUninitialize();
    }
    void Open(const char* page, bool edit = true) {
        CString path = temp / L"page.htm";
        std::ofstream(path.GetString(), std::ios::binary) << page;
        BSTR url = SysAllocString(path);
        ASSERT_EQ(browser->Navigate(url, nullptr, nullptr, nullptr, nullptr), S_OK);
        SysFreeString(url);
        Pump();
        BSTR mode = SysAllocString(edit ? L"On" : L"Off");
        Document()->put_designMode(mode);
        SysFreeString(mode);
        SetFocus(server);
    }
    ComPtr<IHTMLDocument2> Document() {
        ComPtr<IDispatch> dispatch;
        browser->get_Document(dispatch.Receive());
        ComPtr<IHTMLDocument2> document;
        if (dispatch) dispatch->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(document.Receive()));
        return document;
    }
    CString Body() {
        ComPtr<IHTMLElement> body;
        Document()->get_body(body.Receive());
        BSTR text = nullptr;
        body->get_innerHTML(&text);
        return Take(text);
    }
    RECT Box(const wchar_t* id) {
        ComPtr<IHTMLDocument3> document3;
        Document()->QueryInterface(IID_IHTMLDocument3, reinterpret_cast<void**>(document3.Receive()));
        ComPtr<IHTMLElement> element;
        BSTR name = SysAllocString(id);
        document3->getElementById(name, element.Receive());
        SysFreeString(name);
        LONG left = 0, top = 0, width = 0, height = 0;
        if (element) {
            element->get_offsetLeft(&left);
            element->get_offsetTop(&top);
            element->get_offsetWidth(&width);
            element->get_offsetHeight(&height);
        }
        return {left, top, left + width, top + height};
    }
    void Click(int x, int y, bool twice = false) {
        SendMessageW(server, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(server, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        if (twice) SendMessageW(server, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    }
    void Key(UINT key) {
        SendMessageW(server, WM_KEYDOWN, key, 0);
        SendMessageW(server, WM_KEYUP, key, 0);
    }
    void Type(const CString& text) {
        for (wchar_t c : text.str()) SendMessageW(server, WM_CHAR, c, 0);
    }
    // Holds (or lets go of) Control for the keys that follow, as the thread's key state.
    void SetControl(bool down, int key = VK_CONTROL) {
        BYTE state[256];
        GetKeyboardState(state);
        state[key] = down ? 0x80 : 0;
        SetKeyboardState(state);
    }

    KeyTakingHost host;
    HWND frame = nullptr;
    HWND server = nullptr;
    ComPtr<IWebBrowser2> browser;
    TempDir temp;
};

TEST_F(EditingWindow, ClicksKeysAndCharactersEditTheDocument) {
    Open("<body style='margin:0'><p id=a style='margin:0'>abc</p><p id=b style='margin:0'>de</p></body>");
    RECT a = Box(L"a");
    Click(1, (a.top + a.bottom) / 2);  // before "a"
    POINT before{};
    GetCaretPos(&before);
    Type(L"X\xD83D\xDE00");
    POINT after{};
    GetCaretPos(&after);
    EXPECT_GT(after.x, before.x);  // the caret follows the typing
    EXPECT_EQ(Body(), L"<P id=a style=\"margin:0\">X\U0001F600abc</P>\r\n<P id=b style=\"margin:0\">de</P>");
    Key(VK_END);
    Key(VK_RETURN);
    Type(L"new");
    SetControl(true, VK_SHIFT);
    Key(VK_RETURN);
    SetControl(false, VK_SHIFT);
    Type(L"line");
    EXPECT_EQ(Body(), L"<P id=a style=\"margin:0\">X\U0001F600abc</P>\r\n<P style=\"margin:0\">new<BR>line</P>\r\n<P id=b style=\"margin:0\">de</P>");
    Key(VK_DOWN);
    Key(VK_HOME);
    Key(VK_BACK);  // the host's accelerator: the page does nothing with it
    EXPECT_EQ(Body(), L"<P id=a style=\"margin:0\">X\U0001F600abc</P>\r\n<P style=\"margin:0\">new<BR>line</P>\r\n<P id=b style=\"margin:0\">de</P>");
    Key(VK_LEFT);  // to the end of "line"
    Key(VK_DELETE);  // a key the host left to the page: "de" joins the line
    EXPECT_EQ(Body(), L"<P id=a style=\"margin:0\">X\U0001F600abc</P>\r\n<P style=\"margin:0\">new<BR>linede</P>");
    // Control+Z and Control+Y, when the host leaves them to the page, undo
    // and redo: the Delete, then the word typed after the line break at once.
    SetControl(true);
    Key('Z');
    Key('Z');
    SetControl(false);
    EXPECT_EQ(Body(), L"<P id=a style=\"margin:0\">X\U0001F600abc</P>\r\n<P style=\"margin:0\">new<BR></P>\r\n<P id=b style=\"margin:0\">de</P>");
    SetControl(true);
    Key('Y');
    Key('Y');
    SetControl(false);
    EXPECT_EQ(Body(), L"<P id=a style=\"margin:0\">X\U0001F600abc</P>\r\n<P style=\"margin:0\">new<BR>linede</P>");
    // Undo and redo as the host's accelerator runs them, through the command
    // target: the caret goes back to where the sentence began, and forth.
    POINT start{}, typed{}, undone{}, redone{};
    GetCaretPos(&start);
    Type(L" and a sentence");
    GetCaretPos(&typed);
    ASSERT_GT(typed.x, start.x);
    static const GUID kMshtml = {0xde4ba900, 0x59ca, 0x11cf, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    ComPtr<IOleCommandTarget> commands;
    ASSERT_EQ(Document()->QueryInterface(IID_IOleCommandTarget, reinterpret_cast<void**>(commands.Receive())), S_OK);
    ASSERT_EQ(commands->Exec(&kMshtml, IDM_UNDO, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr), S_OK);
    GetCaretPos(&undone);
    EXPECT_EQ(undone.x, start.x);
    EXPECT_EQ(undone.y, start.y);
    ASSERT_EQ(commands->Exec(&kMshtml, IDM_REDO, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr), S_OK);
    GetCaretPos(&redone);
    EXPECT_EQ(redone.x, typed.x);
}

// A click puts the caret in the nearest line's text: beside a line at its
// end, below the text at the end of the last line. With a content end named
// by the host, clicks and keys never leave the caret after it.
TEST_F(EditingWindow, ClicksTakeTheNearestLineAndTheCaretStaysBeforeTheContentEnd) {
    Open("<body style='margin:0'><p id=a style='margin:0;width:200px'>some words that wrap onto a second line here</p>"
         "<p id=b style='margin:0'>last</p><hr id=bodyend><center id=c>footer</center></body>");
    RECT a = Box(L"a"), c = Box(L"c");
    Click(a.right - 2, a.top + 3);  // in the paragraph, right of its first line's end
    Type(L"X");
    CString body = Body();
    int x = body.Find(L"X");
    ASSERT_GT(x, 0) << body.str();
    EXPECT_TRUE(iswalpha(body[x - 1])) << body.str();  // right after the line's last word
    EXPECT_LT(x, body.Find(L"</P>"));
    EXPECT_NE(body.Find(L">some words"), -1);
    Click(700, a.top + 3);  // beside the page's text altogether
    Type(L"Y");
    EXPECT_EQ(Body().Find(L"XY"), x);
    ComPtr<IOleCommandTarget> commands;
    Document()->QueryInterface(IID_IOleCommandTarget, reinterpret_cast<void**>(commands.Receive()));
    VARIANT id{};
    id.vt = VT_BSTR;
    id.bstrVal = SysAllocString(L"BodyEnd");
    ASSERT_EQ(commands->Exec(&kEngineCommandGroup, kEngineKeepCaretBefore, OLECMDEXECOPT_DONTPROMPTUSER, &id, nullptr), S_OK);
    VariantClear(&id);
    Click(20, c.bottom + 40);  // below everything: the footer's line is nearest, but lies after the end
    Type(L"1");
    SetControl(true);
    Key(VK_END);
    SetControl(false);
    Type(L"2");
    Click(c.left + (c.right - c.left) / 2, (c.top + c.bottom) / 2);  // on the footer itself
    Key(VK_DOWN);
    Type(L"3");
    EXPECT_NE(Body().Find(L"<P id=b style=\"margin:0\">last123</P>"), -1) << Body().str();
    EXPECT_NE(Body().Find(L">footer</CENTER>"), -1);

    // A click past the end of a line that a link ends, beside it or below the page's last
    // line (a page as the program saves it, its end named), types after the link, not into
    // it; one Undo takes the typing back and leaves the links as they were. A click in a
    // link's text still types into it.
    Open("<body style='margin:0'><p id=p style='margin:0'>see <a href=\"http://x.com/\">the <b>link</b></a></p>\n"
         "<a id=l href=\"y.htm\">&nbsp;note 1&nbsp;</a><br>\n<br><br><hr id=BodyEnd width=\"50%\" size=1>\n</body>");
    const CString saved = Body();
    id.vt = VT_BSTR;
    id.bstrVal = SysAllocString(L"BodyEnd");
    ASSERT_EQ(commands->Exec(&kEngineCommandGroup, kEngineKeepCaretBefore, OLECMDEXECOPT_DONTPROMPTUSER, &id, nullptr), S_OK);
    VariantClear(&id);
    RECT p = Box(L"p"), l = Box(L"l");
    Click(500, (p.top + p.bottom) / 2);
    Type(L"!");
    Click(l.left + 5, Box(L"BodyEnd").bottom + 60);
    Type(L"ZY");
    EXPECT_EQ(Body(), L"<P id=p style=\"margin:0\">see <A href=\"http://x.com/\">the <B>link</B></A><B>!</B></P>\r\n"
                      L"<A id=l href=y.htm>&nbsp;note 1 </A>ZY<BR>\r\n<BR><BR>\r\n<HR id=BodyEnd width=\"50%\" size=1>\r\n");
    SetControl(true);
    Key('Z');
    Key('Z');
    SetControl(false);
    EXPECT_EQ(Body(), saved);
    Click(l.left + 12, (l.top + l.bottom) / 2);
    Type(L"x");
    EXPECT_NE(Body().Find(L"y.htm>&nbsp;nxote 1&nbsp;</A>"), -1) << Body().str();

    // A new page: a heading, its rule, empty lines and the end line. A click
    // on any empty line below the rule, or below the page, types after the
    // rule, never into the heading.
    const char* fresh = "<body><DIV>\n<center><font size=5><B id=t>Soup</B></font></center>\n<hr id=r color=blue size=1>\n"
                        "<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" size=1>\n<center>footer</center>\n</DIV></body>";
    for (int below : {4, 25, 50, 300}) {
        Open(fresh);
        id.vt = VT_BSTR;
        id.bstrVal = SysAllocString(L"bodyend");
        ASSERT_EQ(commands->Exec(&kEngineCommandGroup, kEngineKeepCaretBefore, OLECMDEXECOPT_DONTPROMPTUSER, &id, nullptr), S_OK);
        VariantClear(&id);
        Click(60, Box(L"r").bottom + below);
        Type(L"Flour");
        body = Body();
        EXPECT_NE(body.Find(L">Soup</B>"), -1) << below << body.str();
        EXPECT_GT(body.Find(L"Flour"), body.Find(L"<HR id=r")) << below << body.str();
        EXPECT_LT(body.Find(L"Flour"), body.Find(L"<HR id=bodyend")) << below << body.str();
    }
}

TEST_F(EditingWindow, SelectionsByMouseAndBrowseModeCopiesButNeverEdits) {
    ClipboardTurn clipboard;
    Open("<body style='margin:0'><p id=a style='margin:0'>one two three</p><img id=i src=none.gif width=40 height=30></body>");
    RECT a = Box(L"a");
    int middle = (a.top + a.bottom) / 2;
    // A double-click selects a word; typing replaces it.
    Click(a.left + 2, middle, true);
    Type(L"1 ");
    EXPECT_EQ(Body().Find(L"<P id=a style=\"margin:0\">1 two three</P>"), 0);
    // A click on the picture selects it as an object; Delete removes it.
    RECT picture = Box(L"i");
    Click((picture.left + picture.right) / 2, (picture.top + picture.bottom) / 2);
    ComPtr<IHTMLSelectionObject> selection;
    Document()->get_selection(selection.Receive());
    BSTR type = nullptr;
    selection->get_type(&type);
    EXPECT_EQ(Take(type), L"Control");
    Key(VK_DELETE);
    EXPECT_EQ(Body().Find(L"<IMG"), -1);

    Open("<body style='margin:0'><p id=a style='margin:0'>copy me please</p></body>", false);
    a = Box(L"a");
    middle = (a.top + a.bottom) / 2;
    CString before = Body();
    auto darkPixels = [&] {  // along the middle of the line, as painted
        UpdateWindow(server);
        HDC dc = GetDC(server);
        int dark = 0;
        for (int x = a.left + 1; x < a.left + 60; ++x) {
            COLORREF color = GetPixel(dc, x, middle);
            if (GetRValue(color) + GetGValue(color) + GetBValue(color) < 3 * 128) ++dark;
        }
        ReleaseDC(server, dc);
        return dark;
    };
    int unselected = darkPixels();
    SendMessageW(server, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, middle));
    SendMessageW(server, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(a.right - 2, middle));
    SendMessageW(server, WM_LBUTTONUP, 0, MAKELPARAM(a.right - 2, middle));
    EXPECT_GT(darkPixels(), unselected + 20);  // the selected text is painted inverted
    Type(L"zz");
    Key(VK_BACK);
    // The selection stays when the focus goes elsewhere (the host's font boxes).
    SetFocus(frame);
    ComPtr<IHTMLSelectionObject> kept;
    Document()->get_selection(kept.Receive());
    BSTR keptType = nullptr;
    kept->get_type(&keptType);
    EXPECT_EQ(Take(keptType), L"Text");
    SetFocus(server);
    SetControl(true);
    Key('C');
    SetControl(false);
    EXPECT_EQ(Body(), before);
    CString html, text;
    ASSERT_TRUE(editing::ReadClipboard(nullptr, html, text));
    EXPECT_EQ(text.Left(7), L"copy me");
}

// The view turns the paragraphs of Enter into DIVs through the document's
// interfaces after the key; the caret stays on the new line and typing goes on there.
// The host's fix-up after Enter, as the page view makes it: each P becomes
// a DIV by moving its nodes over (an empty one gets a no-break space), joined
// to the Enter's undo step. The caret moves along with its nodes.
TEST_F(EditingWindow, TheViewsParagraphFixUpKeepsTheCaretOnTheNewLine) {
    Open("<html><head></head><body><div></div></body></html>");
    auto enter = [&] {
        Key(VK_RETURN);
        Document().As<IOleCommandTarget>()->Exec(&kEngineCommandGroup, kEngineJoinLastUndoStep, 0, nullptr, nullptr);
        ComPtr<IHTMLDocument3> document3 = Document().As<IHTMLDocument3>();
        ComPtr<IHTMLElementCollection> paragraphs;
        BSTR tag = SysAllocString(L"P");
        document3->getElementsByTagName(tag, paragraphs.Receive());
        SysFreeString(tag);
        LONG count = 0;
        paragraphs->get_length(&count);
        std::vector<ComPtr<IHTMLDOMNode>> found;
        for (LONG i = 0; i < count; ++i) {
            VARIANT index, none;
            index.vt = VT_I4, index.lVal = i;
            VariantInit(&none);
            ComPtr<IDispatch> item;
            paragraphs->item(index, none, item.Receive());
            found.push_back(item.As<IHTMLDOMNode>());
        }
        for (auto it = found.rbegin(); it != found.rend(); ++it) {
            ComPtr<IHTMLElement> paragraph = it->As<IHTMLElement>();
            ComPtr<IHTMLDOMNode> child, previous, moved;
            BSTR where = SysAllocString(L"beforeBegin"), html = SysAllocString(L"<DIV></DIV>");
            paragraph->insertAdjacentHTML(where, html);
            SysFreeString(where);
            SysFreeString(html);
            (*it)->get_previousSibling(previous.Receive());
            if (((*it)->get_firstChild(child.Receive()), !child)) {
                where = SysAllocString(L"afterBegin"), html = SysAllocString(L"&nbsp;");
                paragraph->insertAdjacentHTML(where, html);
                SysFreeString(where);
                SysFreeString(html);
            }
            while ((child = {}, (*it)->get_firstChild(child.Receive()), child)) previous->appendChild(child.Get(), moved.Receive());
            ComPtr<IHTMLDOMNode> removed;
            (*it)->removeNode(VARIANT_TRUE, removed.Receive());
        }
        // The view selects the selection again: the caret is drawn where the
        // line now lies, as a key would put it, not where the paragraph stood.
        ComPtr<IHTMLSelectionObject> selection;
        ComPtr<IDispatch> range;
        Document()->get_selection(selection.Receive());
        selection->createRange(range.Receive());
        range.As<IHTMLTxtRange>()->select();
    };
    Type(L"abc");
    enter();  // at the line's end: the caret on the new empty line, whose placeholder gives way
    POINT drawn{}, keyed{};
    GetCaretPos(&drawn);
    Key(VK_HOME);  // already there: the key only puts the caret where the line is
    GetCaretPos(&keyed);
    EXPECT_EQ(drawn.y, keyed.y);
    Type(L"next");
    EXPECT_EQ(Body(), L"<DIV>abc</DIV>\r\n<DIV>next</DIV>");
    Key(VK_HOME);
    enter();  // at the line's start: the line moves down with the caret
    Type(L"X");
    enter();  // within a line
    Type(L"Y");
    // Each line stands beside the others, never inside the one it came from.
    EXPECT_EQ(Body(), L"<DIV>abc</DIV>\r\n<DIV>&nbsp;</DIV>\r\n<DIV>X</DIV>\r\n<DIV>Ynext</DIV>");
    // One undo takes back the typing, the next an Enter with its fix-up.
    SetControl(true);
    Key('Z');
    Key('Z');
    SetControl(false);
    EXPECT_EQ(Body(), L"<DIV>abc</DIV>\r\n<DIV>&nbsp;</DIV>\r\n<DIV>Xnext</DIV>");
}

// Control+F, as the view's "Search Current Page" synthesises it, opens the
// engine's Find dialog; Find Next selects the match in the page.
TEST_F(EditingWindow, ControlFOpensFindAndFindNextSelectsTheMatch) {
    Open("<body><p>alpha beta gamma beta</p></body>");
    std::thread user([owner = GetCurrentThreadId()] {
        HWND dialog = nullptr;
        for (int i = 0; i < 500 && !dialog; ++i) {
            dialog = FindThreadDialog(owner, L"Find");
            if (!dialog) Sleep(10);
        }
        if (!dialog) return;
        SetDlgItemTextW(dialog, dialogs::kIdFindText, L"beta");
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    SetControl(true);
    Key('F');
    SetControl(false);
    user.join();
    ComPtr<IHTMLSelectionObject> selection;
    Document()->get_selection(selection.Receive());
    ComPtr<IDispatch> dispatch;
    selection->createRange(dispatch.Receive());
    ComPtr<IHTMLTxtRange> range;
    ASSERT_EQ(dispatch->QueryInterface(IID_IHTMLTxtRange, reinterpret_cast<void**>(range.Receive())), S_OK);
    BSTR text = nullptr;
    range->get_text(&text);
    EXPECT_EQ(Take(text), L"beta");
    LONG moved = 0;  // the second match: nothing but "beta" lies after it
    range->moveEnd(SysAllocString(L"Character"), 100, &moved);
    EXPECT_EQ(moved, 0);
}

TEST_F(EditingWindow, SeededKeysAndClicksLeaveADocumentThatParsesBackTheSame) {
    const uint32_t seed = 11;
    Random random(seed);
    Open("<body><h1>Title</h1><p>Some <b>bold</b> and <i>italic</i> text, <a href=x>a link</a>.</p>"
         "<table border=1><tr><td>a<td>b</tr><tr><td>c<td><ul><li>one<li>two</ul></tr></table><pre>pre  text</pre></body>");
    const std::vector<int> keys = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_HOME, VK_END, VK_BACK, VK_DELETE, VK_RETURN, VK_TAB, VK_PRIOR, VK_NEXT};
    for (int i = 0; i < 2000; ++i) {
        int what = random.Int(0, 9);
        if (what < 4) {
            Key(static_cast<UINT>(random.Pick(keys)));
        } else if (what < 7) {
            Type(CString(static_cast<wchar_t>(random.Int(0, 3) == 0 ? random.Int(0x20, 0x2FF) : random.Int('a', 'z'))));
        } else if (what < 9) {
            Click(random.Int(0, 599), random.Int(0, 399), random.Chance(10));
        } else {
            bool shift = random.Chance(50);
            SetControl(shift, VK_SHIFT);
            Key(static_cast<UINT>(random.Pick(keys)));
            SetControl(false, VK_SHIFT);
        }
        if (i % 50 == 0) {
            CString page = html::SerializeDocument(*html::ParseDocument(L"<body>" + Body()));
            ASSERT_EQ(Reserialize(page), page) << "seed " << seed << " event " << i;
        }
    }
}


// Home and End in a page with the default body margin: the line's ends lie
// inside the block, the margin beside it holds no line.
TEST_F(EditingWindow, HomeAndEndStayOnTheCaretsLine) {
    Open("<html><body>\n<DIV>Hello <STRONG>bold</STRONG>&gt;&gt;&gt;News&lt;&lt;&lt;</DIV>\n"
         "<DIV><DIV>two <EM>x</EM></DIV></DIV>\n<A href=\"http://example.com/a\">&nbsp;Alpha&nbsp;</A><BR>\n</body></html>");
    Click(30, 14);
    Key(VK_END);
    POINT end{};
    GetCaretPos(&end);
    EXPECT_GT(end.x, 100);
    Type(L"Z");
    Key(VK_HOME);
    POINT home{};
    GetCaretPos(&home);
    EXPECT_EQ(home.y, end.y);
    EXPECT_LT(home.x, 12);
    Type(L"A");
    Key(VK_DOWN);
    Key(VK_END);
    Type(L"Y");
    Key(VK_DOWN);
    Key(VK_END);
    Type(L"W");  // after the link that ends the line, not into it
    EXPECT_EQ(Body(), L"<DIV>AHello <STRONG>bold</STRONG>&gt;&gt;&gt;News&lt;&lt;&lt;Z</DIV>\r\n"
                      L"<DIV>\r\n<DIV>two <EM>xY</EM></DIV></DIV>\r\n<A href=\"http://example.com/a\">&nbsp;Alpha </A>W<BR>\r\n");
    // A word typed on past the window's edge scrolls the page sideways: the caret stays in
    // view at every key, and Home brings the line's start back; the scroll bar follows.
    RECT client{};
    GetClientRect(server, &client);
    Key(VK_UP);
    Key(VK_END);
    for (int i = 0; i < 120; ++i) {
        Type(L"w");
        POINT caret{};
        GetCaretPos(&caret);
        ASSERT_GE(caret.x, 0) << i;
        ASSERT_LT(caret.x, client.right) << i;
    }
    Pump();
    SCROLLINFO bar{sizeof(bar), SIF_ALL};
    GetScrollInfo(server, SB_HORZ, &bar);
    EXPECT_GT(bar.nPos, 0);
    EXPECT_EQ(bar.nPos + static_cast<int>(bar.nPage), bar.nMax + 1);  // at the line's end
    SetFocus(server);  // tests running beside this one may have taken it: the caret is the focus's
    Key(VK_HOME);
    POINT start{};
    GetCaretPos(&start);
    EXPECT_EQ(start.x, home.x);
    Pump();
    GetScrollInfo(server, SB_HORZ, &bar);
    EXPECT_EQ(bar.nPos, 0);
}

// The focus coming back (the page brought to the front, a click elsewhere and
// back) places the caret and leaves the page where it was scrolled to; the
// next key brings the caret into view.
TEST_F(EditingWindow, TheFocusComingBackLeavesThePageScrolledWhereItWas) {
    std::string page = "<html><body>\n";
    for (int line = 0; line < 80; ++line) page += "<DIV>line " + std::to_string(line) + "</DIV>\n";
    Open((page + "</body></html>").c_str());
    Click(30, 14);
    for (int line = 0; line < 79; ++line) Key(VK_DOWN);
    Pump();
    auto position = [&] {
        SCROLLINFO bar{sizeof(bar), SIF_POS};
        GetScrollInfo(server, SB_VERT, &bar);
        return bar.nPos;
    };
    ASSERT_GT(position(), 0) << "the caret's moves did not scroll the page";
    SendMessageW(server, WM_VSCROLL, SB_TOP, 0);
    Pump();
    ASSERT_EQ(position(), 0);
    SetFocus(frame);
    SetFocus(server);
    Pump();
    EXPECT_EQ(position(), 0) << "the focus scrolled the caret into view";
    POINT caret{};
    GetCaretPos(&caret);
    RECT client{};
    GetClientRect(server, &client);
    EXPECT_GE(caret.y, client.bottom);  // placed at its line, below the view
    Type(L"z");
    Pump();
    EXPECT_GT(position(), 0) << "a key did not bring the caret into view";
}

}  // namespace
