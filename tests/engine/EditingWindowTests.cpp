// Editing in the page window with real window messages: clicks place the
// caret, keys and characters type, Enter and Backspace reshape paragraphs,
// the frame's keys reach the editor only when the host left them, browse
// mode selects and copies but never edits, and long seeded runs of keys and
// clicks leave a document that always serializes and parses back the same.
#include "EngineTestSupport.h"
#include "Random.h"
#include "TempDir.h"
#include "browser/BrowserWindow.h"
#include "com/ComPtr.h"
#include "editing/Clipboard.h"

#include <mshtml.h>

#include <fstream>

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

struct EditingWindow : testing::Test {
    void SetUp() override {
        OleInitialize(nullptr);
        frame = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(frame);
        ASSERT_EQ(CreateBrowserWindow(frame, RECT{0, 0, 600, 400}, nullptr, browser.Receive()), S_OK);
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
    Key(VK_BACK);  // joins "de" to the paragraph above
    EXPECT_EQ(Body(), L"<P id=a style=\"margin:0\">X\U0001F600abc</P>\r\n<P style=\"margin:0\">new<BR>linede</P>");
    // Control+Z and Control+Y, when the host leaves them to the page, undo and redo.
    SetControl(true);
    Key('Z');
    Key('Z');
    SetControl(false);
    EXPECT_EQ(Body(), L"<P id=a style=\"margin:0\">X\U0001F600abc</P>\r\n<P style=\"margin:0\">new<BR>lin</P>\r\n<P id=b style=\"margin:0\">de</P>");
    SetControl(true);
    Key('Y');
    Key('Y');
    SetControl(false);
    EXPECT_EQ(Body(), L"<P id=a style=\"margin:0\">X\U0001F600abc</P>\r\n<P style=\"margin:0\">new<BR>linede</P>");
}

TEST_F(EditingWindow, SelectionsByMouseAndBrowseModeCopiesButNeverEdits) {
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
    SendMessageW(server, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, middle));
    SendMessageW(server, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(a.right - 2, middle));
    SendMessageW(server, WM_LBUTTONUP, 0, MAKELPARAM(a.right - 2, middle));
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

}  // namespace
