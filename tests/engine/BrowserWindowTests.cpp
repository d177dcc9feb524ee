// The browser window: its window hierarchy, navigation to page files in
// their encodings with events in order, geometry through the document's
// interfaces, browse-mode link clicks and keys, the host's context menu,
// printing into metafiles and pictures decoded through the imaging component.
#include "LayoutTestSupport.h"
#include "TempDir.h"
#include "browser/BrowserWindow.h"
#include "browser/PageSource.h"
#include "browser/PictureFiles.h"
#include "browser/Printing.h"
#include "com/ComPtr.h"

#include <exdispid.h>
#include <mshtml.h>
#include <mshtmhst.h>
#include <ocidl.h>
#include <shlwapi.h>
#include <wincodec.h>

#include <fstream>
#include <functional>
#include <vector>

namespace {

class EventSink : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == DIID_DWebBrowserEvents2) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
        events.push_back(id);
        if (id == DISPID_BEFORENAVIGATE2 && params->cArgs == 7) {
            addresses.push_back(CString(params->rgvarg[5].pvarVal->bstrVal));
            *params->rgvarg[0].pboolVal = cancel ? VARIANT_TRUE : VARIANT_FALSE;
        }
        return S_OK;
    }
    std::vector<DISPID> events;
    std::vector<CString> addresses;
    bool cancel = true;
};

class Host : public IDocHostUIHandler {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDocHostUIHandler) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD id, POINT*, IUnknown*, IDispatch* element) override {
        menus.push_back(id);
        ComPtr<IHTMLElement> e;
        if (element) element->QueryInterface(IID_IHTMLElement, reinterpret_cast<void**>(e.Receive()));
        BSTR tag = nullptr;
        if (e) e->get_tagName(&tag);
        menuTags.push_back(tag ? CString(tag) : CString());
        SysFreeString(tag);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*, IOleInPlaceUIWindow*) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE HideUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UpdateUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, WINBOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR*) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject**) override { return S_FALSE; }
    std::vector<DWORD> menus;
    std::vector<CString> menuTags;
};

void Pump() {
    MSG msg;
    for (int i = 0; i < 50; ++i)
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
}

void WriteBytes(const CString& path, const std::string& bytes) {
    std::ofstream out(path.GetString(), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

struct BrowserFixture : testing::Test {
    void SetUp() override {
        OleInitialize(nullptr);
        frame = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(frame);
        ASSERT_EQ(CreateBrowserWindow(frame, RECT{0, 0, 600, 400}, &host, browser.Receive()), S_OK);
        ComPtr<IConnectionPointContainer> container;
        browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.Receive()));
        ASSERT_TRUE(container);
        ASSERT_EQ(container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.Receive()), S_OK);
        ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
        server = FindWindowExW(FindWindowExW(FindWindowExW(frame, nullptr, L"Shell Embedding", nullptr), nullptr,
                                             L"Shell DocObject View", nullptr), nullptr, L"Internet Explorer_Server", nullptr);
    }
    void TearDown() override {
        if (point) point->Unadvise(cookie);
        point = ComPtr<IConnectionPoint>();
        browser = ComPtr<IWebBrowser2>();
        DestroyWindow(frame);
        Pump();
        OleUninitialize();
    }
    HRESULT Navigate(const CString& address) {
        BSTR url = SysAllocString(address);
        HRESULT hr = browser->Navigate(url, nullptr, nullptr, nullptr, nullptr);
        SysFreeString(url);
        Pump();
        return hr;
    }
    ComPtr<IHTMLDocument2> Document() {
        ComPtr<IDispatch> dispatch;
        browser->get_Document(dispatch.Receive());
        ComPtr<IHTMLDocument2> document;
        if (dispatch) dispatch->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(document.Receive()));
        return document;
    }
    ComPtr<IHTMLElement> ById(const wchar_t* id) {
        auto document = Document();
        ComPtr<IHTMLDocument3> document3;
        document->QueryInterface(IID_IHTMLDocument3, reinterpret_cast<void**>(document3.Receive()));
        ComPtr<IHTMLElement> element;
        BSTR name = SysAllocString(id);
        document3->getElementById(name, element.Receive());
        SysFreeString(name);
        return element;
    }
    CString BodyText() {
        ComPtr<IHTMLElement> body;
        Document()->get_body(body.Receive());
        BSTR text = nullptr;
        body->get_innerText(&text);
        CString result = text ? CString(text) : CString();
        SysFreeString(text);
        return result;
    }
    void SetDesignMode(const wchar_t* mode) {
        BSTR value = SysAllocString(mode);
        Document()->put_designMode(value);
        SysFreeString(value);
    }

    HWND frame = nullptr;
    HWND server = nullptr;
    Host host;
    EventSink sink;
    ComPtr<IWebBrowser2> browser;
    ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
    TempDir temp;
};

TEST_F(BrowserFixture, WindowsNestAsTheViewLooksThemUpAndPagesLoadInEveryEncoding) {
    ASSERT_TRUE(server);
    CString utf16 = temp.Path() + L"\\utf16.htm", utf8 = temp.Path() + L"\\utf8.htm", ansi = temp.Path() + L"\\ansi.htm";
    WriteBytes(utf16, std::string("\xFF\xFE<\0p\0>\0\xE9\0t\0\xE9\0", 14));
    WriteBytes(utf8, "<p>\xC3\xA9t\xC3\xA9</p>");
    WriteBytes(ansi, "<p>\xE9t\xE9</p>");
    for (const CString& path : {utf16, utf8, ansi}) {
        sink.events.clear();
        ASSERT_EQ(Navigate(path), S_OK);
        EXPECT_EQ(BodyText(), L"\u00E9t\u00E9") << testing::PrintToString(path);
        EXPECT_EQ(sink.events, (std::vector<DISPID>{DISPID_NAVIGATECOMPLETE2, DISPID_DOCUMENTCOMPLETE}));
        VARIANT_BOOL busy = VARIANT_TRUE;
        browser->get_Busy(&busy);
        EXPECT_EQ(busy, VARIANT_FALSE);
    }
    CString address = L"file:///" + utf8;
    address.Replace(L'\\', L'/');
    ASSERT_EQ(Navigate(address), S_OK);
    EXPECT_EQ(BodyText(), L"\u00E9t\u00E9");
    WriteBytes(utf8, "<p>new</p>");
    sink.events.clear();
    ASSERT_EQ(browser->Refresh(), S_OK);
    Pump();
    EXPECT_EQ(BodyText(), L"new");
    EXPECT_EQ(sink.events, (std::vector<DISPID>{DISPID_NAVIGATECOMPLETE2, DISPID_DOCUMENTCOMPLETE}));
    WriteBytes(utf8, "<p>\xC3\xA9t\xC3\xA9</p>");
    ASSERT_EQ(Navigate(address), S_OK);
    BSTR location = nullptr;
    browser->get_LocationURL(&location);
    EXPECT_EQ(CString(location), address);
    SysFreeString(location);
    sink.events.clear();
    EXPECT_TRUE(FAILED(Navigate(temp.Path() + L"\\missing.htm")));
    EXPECT_TRUE(sink.events.empty());
    EXPECT_EQ(BodyText(), L"\u00E9t\u00E9");  // a failed navigation keeps the page
    ASSERT_EQ(Navigate(L"about:blank"), S_OK);
    EXPECT_EQ(BodyText(), L"");
    // The tests' Wine has no printer: printing says so rather than pretending it printed.
    OLECMDF status{};
    EXPECT_EQ(browser->QueryStatusWB(OLECMDID_PRINT, &status), S_OK);
    EXPECT_TRUE(status & OLECMDF_ENABLED);
    EXPECT_TRUE(FAILED(browser->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DONTPROMPTUSER, nullptr, nullptr)));
}

TEST_F(BrowserFixture, GeometryComesFromTheWindowsLayout) {
    CString page = temp.Path() + L"\\geo.htm";
    std::string html = "<body><p id=a>first</p><div id=b style='width:200px;height:50px'>box</div>";
    for (int i = 0; i < 200; ++i) html += "<div>line</div>";
    WriteBytes(page, html);
    ASSERT_EQ(Navigate(page), S_OK);
    LONG top = -1, width = -1, height = -1;
    auto b = ById(L"b");
    ASSERT_TRUE(b);
    b->get_offsetTop(&top);
    b->get_offsetWidth(&width);
    b->get_offsetHeight(&height);
    EXPECT_GT(top, 8);
    EXPECT_EQ(width, 200);
    EXPECT_EQ(height, 50);
    ComPtr<IHTMLElement> body;
    Document()->get_body(body.Receive());
    ComPtr<IHTMLElement2> body2;
    body->QueryInterface(IID_IHTMLElement2, reinterpret_cast<void**>(body2.Receive()));
    LONG clientWidth = 0, scrollHeight = 0, scrollTop = -1;
    body2->get_clientWidth(&clientWidth);
    body2->get_scrollHeight(&scrollHeight);
    RECT client;
    GetClientRect(server, &client);
    EXPECT_EQ(clientWidth, client.right);
    EXPECT_GT(scrollHeight, 200 * 16);
    ComPtr<IHTMLElement> hit;
    Document()->elementFromPoint(20, top + 10, hit.Receive());
    EXPECT_EQ(hit.Get() == b.Get(), true);
    // Browse mode: the scroll keys scroll; edit mode leaves them to the editor.
    SendMessageW(server, WM_KEYDOWN, VK_NEXT, 0);
    body2->get_scrollTop(&scrollTop);
    EXPECT_GT(scrollTop, 0);
    SetDesignMode(L"On");
    LONG before = scrollTop;
    SendMessageW(server, WM_KEYDOWN, VK_NEXT, 0);
    body2->get_scrollTop(&scrollTop);
    EXPECT_EQ(scrollTop, before);
    SendMessageW(server, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    body2->get_scrollTop(&scrollTop);
    EXPECT_GT(scrollTop, before);
    body2->put_scrollTop(0);
    body2->get_scrollTop(&scrollTop);
    EXPECT_EQ(scrollTop, 0);
}

TEST_F(BrowserFixture, EveryElementAnswersItsClientAndScrollSizes) {
    CString page = temp.Path() + L"\\client.htm";
    WriteBytes(page, "<body><div id=c style='width:200px;height:50px;border:3px solid black;padding:4px'>"
                     "<div style='height:120px'>tall</div></div><p><span id=s>inline</span></p>"
                     "<div id=o style='width:200px;height:50px;border:3px solid black;padding:4px;overflow:auto'>"
                     "<div style='height:120px'>tall</div></div></body>");
    ASSERT_EQ(Navigate(page), S_OK);
    auto Metrics = [&](const wchar_t* id, LONG scrollTo) {
        std::vector<LONG> values(7, -1);
        ComPtr<IHTMLElement2> element;
        auto plain = ById(id);
        if (!plain || FAILED(plain->QueryInterface(IID_IHTMLElement2, reinterpret_cast<void**>(element.Receive())))) return values;
        element->get_clientWidth(&values[0]);
        element->get_clientHeight(&values[1]);
        element->get_clientLeft(&values[2]);
        element->get_clientTop(&values[3]);
        element->get_scrollWidth(&values[4]);
        element->get_scrollHeight(&values[5]);
        element->put_scrollTop(scrollTo);  // only an element that clips its content scrolls
        element->get_scrollTop(&values[6]);
        return values;
    };
    EXPECT_EQ(Metrics(L"c", 30), (std::vector<LONG>{208, 58, 3, 3, 208, 128, 0}));
    EXPECT_EQ(Metrics(L"s", 30), (std::vector<LONG>{0, 0, 0, 0, 0, 0, 0}));  // inline: no inner area
    EXPECT_EQ(Metrics(L"o", 30), (std::vector<LONG>{208, 58, 3, 3, 208, 128, 30}));
    EXPECT_EQ(Metrics(L"o", 1000), (std::vector<LONG>{208, 58, 3, 3, 208, 128, 70}));  // kept within its range
    // The wheel over it scrolls it, not the page.
    ComPtr<IHTMLElement2> o;
    ById(L"o")->QueryInterface(IID_IHTMLElement2, reinterpret_cast<void**>(o.Receive()));
    o->put_scrollTop(0);
    LONG left = 0, top = 0, scrolled = -1;
    ById(L"o")->get_offsetLeft(&left);
    ById(L"o")->get_offsetTop(&top);
    POINT at{left + 20, top + 20};
    ClientToScreen(server, &at);
    SendMessageW(server, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 4)), MAKELPARAM(at.x, at.y));
    o->get_scrollTop(&scrolled);
    EXPECT_EQ(scrolled, 30);
}

TEST_F(BrowserFixture, LinkClicksGoToTheHostAndContextMenusAskIt) {
    CString page = temp.Path() + L"\\links.htm";
    WriteBytes(page, "<body style='margin:0'><a id=l href='other.htm'>a link to elsewhere</a><p>plain</p></body>");
    ASSERT_EQ(Navigate(page), S_OK);
    LONG width = 0, height = 0;
    auto link = ById(L"l");
    link->get_offsetWidth(&width);
    link->get_offsetHeight(&height);
    ASSERT_GT(width, 0);
    sink.events.clear();
    SendMessageW(server, WM_LBUTTONUP, 0, MAKELPARAM(width / 2, height / 2));
    ASSERT_EQ(sink.events, std::vector<DISPID>{DISPID_BEFORENAVIGATE2});
    EXPECT_EQ(sink.addresses.back(), L"other.htm");
    BSTR location = nullptr;
    browser->get_LocationURL(&location);
    EXPECT_EQ(CString(location), page);  // the page window never leaves its page
    SysFreeString(location);
    // In edit mode a click edits: nothing goes to the host.
    SetDesignMode(L"On");
    sink.events.clear();
    SendMessageW(server, WM_LBUTTONUP, 0, MAKELPARAM(width / 2, height / 2));
    EXPECT_TRUE(sink.events.empty());
    POINT point{width / 2, height / 2};
    ClientToScreen(server, &point);
    SendMessageW(server, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(server), MAKELPARAM(point.x, point.y));
    ASSERT_EQ(host.menus.size(), 1u);
    EXPECT_EQ(host.menus[0], static_cast<DWORD>(CONTEXT_MENU_DEFAULT));
    EXPECT_EQ(host.menuTags[0], L"A");
    // Switching modes does not reload: the text typed stays; the document knows it changed until saved.
    ComPtr<IPersistStreamInit> persist;
    Document()->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(persist.Receive()));
    ASSERT_TRUE(persist);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);  // a mode switch is no edit
    BSTR text = SysAllocString(L"changed");
    link->put_innerText(text);
    SysFreeString(text);
    SetDesignMode(L"Off");
    EXPECT_EQ(BodyText().Left(7), L"changed");
    EXPECT_EQ(persist->IsDirty(), S_OK);
    ComPtr<IStream> stream = ComPtr<IStream>::Attach(SHCreateMemStream(nullptr, 0));
    ASSERT_EQ(persist->Save(stream.Get(), FALSE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_OK);
    ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    ASSERT_EQ(Navigate(page), S_OK);
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
}

TEST_F(BrowserFixture, TheWindowPaintsThePageAndWhatScrollsIntoView) {
    CString page = temp.Path() + L"\\colours.htm";
    WriteBytes(page, "<body bgcolor=#ff0000 style='margin:0'><div style='height:2000px'></div>"
                     "<div style='height:500px;background-color:#0000ff'></div></body>");
    ASSERT_EQ(Navigate(page), S_OK);
    UpdateWindow(server);
    HDC dc = GetDC(server);
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(255, 0, 0));
    ReleaseDC(server, dc);
    SendMessageW(server, WM_KEYDOWN, VK_END, 0);  // browse mode: to the end, blue
    UpdateWindow(server);
    dc = GetDC(server);
    EXPECT_EQ(GetPixel(dc, 5, 5), RGB(0, 0, 255));
    ReleaseDC(server, dc);
    SCROLLINFO info{sizeof(info), SIF_ALL};
    GetScrollInfo(server, SB_VERT, &info);
    EXPECT_EQ(info.nMax, 2499);
    EXPECT_EQ(info.nPos + static_cast<int>(info.nPage), 2500);
}

// The scroll bars follow the page's size after every change, not only after
// a scroll or a new window size: a table wider than the window brings the
// horizontal bar with its whole width, a taller page the vertical range, and
// a page that got shorter brings the view back within it.
TEST_F(BrowserFixture, TheScrollBarsFollowThePagesSizeAfterEveryChange) {
    CString page = temp.Path() + L"\\lines.htm";
    WriteBytes(page, "<body style='margin:0'><div id=top>a line</div></body>");
    ASSERT_EQ(Navigate(page), S_OK);
    SetDesignMode(L"On");
    UpdateWindow(server);
    RECT client{};
    GetClientRect(server, &client);
    auto bar = [&](int which) {
        SCROLLINFO info{sizeof(info), SIF_ALL};
        GetScrollInfo(server, which, &info);
        return info;
    };
    auto insert = [&](const wchar_t* where, const wchar_t* html) {
        BSTR w = SysAllocString(where), h = SysAllocString(html);
        EXPECT_EQ(ById(L"top")->insertAdjacentHTML(w, h), S_OK);
        SysFreeString(w);
        SysFreeString(h);
        Pump();
    };
    EXPECT_FALSE(GetWindowLongW(server, GWL_STYLE) & WS_HSCROLL) << "a horizontal bar for a page that fits";

    insert(L"afterEnd", L"<table id=wide width=1500 border=0 cellspacing=0 cellpadding=0><tr><td>x</td></tr></table>");
    ASSERT_TRUE(GetWindowLongW(server, GWL_STYLE) & WS_HSCROLL) << "no horizontal bar for a table wider than the window";
    SCROLLINFO across = bar(SB_HORZ);
    EXPECT_GE(across.nMax + 1, 1500);  // the table's last column can be reached
    GetClientRect(server, &client);
    EXPECT_EQ(static_cast<int>(across.nPage), client.right);

    insert(L"afterEnd", L"<div id=tall style='height:3000px'></div>");
    EXPECT_GE(bar(SB_VERT).nMax + 1, 3000);
    SendMessageW(server, WM_VSCROLL, SB_BOTTOM, 0);
    ASSERT_GT(bar(SB_VERT).nPos, 2000);

    // The tall block and the table go: the view comes back to the page's top.
    ComPtr<IHTMLDOMNode> removed;
    for (const wchar_t* id : {L"tall", L"wide"}) {
        ComPtr<IHTMLDOMNode> node;
        ById(id)->QueryInterface(IID_IHTMLDOMNode, reinterpret_cast<void**>(node.Receive()));
        ASSERT_TRUE(node);
        removed = ComPtr<IHTMLDOMNode>();
        EXPECT_EQ(node->removeNode(VARIANT_TRUE, removed.Receive()), S_OK);
    }
    Pump();
    EXPECT_FALSE(GetWindowLongW(server, GWL_STYLE) & WS_HSCROLL);
    EXPECT_EQ(bar(SB_VERT).nPos, 0);
    ComPtr<IHTMLElement> body;
    Document()->get_body(body.Receive());
    ComPtr<IHTMLElement2> body2;
    body->QueryInterface(IID_IHTMLElement2, reinterpret_cast<void**>(body2.Receive()));
    LONG scrollTop = -1;
    body2->get_scrollTop(&scrollTop);
    EXPECT_EQ(scrollTop, 0);
}

class MetafileSink : public browser::PageSink {
public:
    HDC BeginPage() override {
        HDC reference = GetDC(nullptr);
        RECT frame{0, 0, 21000, 29700};
        HDC dc = CreateEnhMetaFileW(reference, nullptr, &frame, nullptr);
        ReleaseDC(nullptr, reference);
        return dc;
    }
    void EndPage(HDC dc) override {
        HENHMETAFILE file = CloseEnhMetaFile(dc);
        sizes.push_back(GetEnhMetaFileBits(file, 0, nullptr));
        DeleteEnhMetaFile(file);
    }
    std::vector<UINT> sizes;
};

TEST(Printing, PagesBreakBetweenLinesAndRowsIntoMetafiles) {
    CString html = L"<body>";
    for (int i = 0; i < 100; ++i) html += L"<div>A line of text that fills part of the page</div>";
    html += L"<table border=1>";
    for (int i = 0; i < 60; ++i) html += L"<tr><td>row<br>two lines</td></tr>";
    html += L"</table></body>";
    auto document = html::ParseDocument(html);
    HDC screen = GetDC(nullptr);
    MetafileSink sink;
    int pages = browser::PrintPages(*document, screen, 96, 700, 500, sink);
    ReleaseDC(nullptr, screen);
    EXPECT_GE(pages, 8);
    EXPECT_EQ(sink.sizes.size(), static_cast<size_t>(pages));
    for (UINT size : sink.sizes) EXPECT_GT(size, 200u);
    // Every break lies on the top of a line or a row: nothing is cut.
    RecordingCanvas canvas;
    layout::DocumentLayout layout(*document, canvas);
    layout.Rebuild(700);
    auto tops = layout.PageBreaks(100);
    std::vector<std::pair<int, int>> spans;  // lines and rows, in page coordinates
    std::function<void(const layout::Box&, int, int)> collect = [&](const layout::Box& box, int x, int y) {
        x += box.x, y += box.y;
        if (box.kind == layout::BoxKind::Row) spans.emplace_back(y, y + box.height);
        for (const auto& line : box.lines) spans.emplace_back(y + line.top, y + line.top + line.height);
        for (const auto& child : box.children) collect(*child, x, y);
    };
    collect(*layout.Root(), 0, 0);
    EXPECT_GT(spans.size(), 150u);
    for (size_t i = 1; i < tops.size(); ++i) {
        EXPECT_LE(tops[i] - tops[i - 1], 100);
        EXPECT_GT(tops[i], tops[i - 1]);
        for (const auto& [top, bottom] : spans) EXPECT_FALSE(top < tops[i] && tops[i] < bottom) << tops[i];
    }
}

TEST(Pictures, EveryFormatDecodesThroughTheImagingComponent) {
    OleInitialize(nullptr);
    TempDir temp;
    ComPtr<IWICImagingFactory> factory;
    ASSERT_EQ(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                               reinterpret_cast<void**>(factory.Receive())), S_OK);
    struct Format {
        const GUID* container;
        const wchar_t* name;
        bool exact;
    };
    const Format formats[] = {{&GUID_ContainerFormatBmp, L"p.bmp", true}, {&GUID_ContainerFormatPng, L"p.png", true},
                              {&GUID_ContainerFormatJpeg, L"p.jpg", false}, {&GUID_ContainerFormatGif, L"p.gif", false}};
    std::vector<BYTE> pixels(16 * 16 * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) pixels[i] = 0, pixels[i + 1] = 0, pixels[i + 2] = 255, pixels[i + 3] = 255;
    for (const auto& format : formats) {
        CString path = temp.Path() + L"\\" + format.name;
        ComPtr<IWICStream> stream;
        ComPtr<IWICBitmapEncoder> encoder;
        ComPtr<IWICBitmapFrameEncode> frame;
        ComPtr<IPropertyBag2> options;
        ASSERT_EQ(factory->CreateStream(stream.Receive()), S_OK);
        ASSERT_EQ(stream->InitializeFromFilename(path, GENERIC_WRITE), S_OK);
        if (FAILED(factory->CreateEncoder(*format.container, nullptr, encoder.Receive()))) {
            ADD_FAILURE() << "no encoder for " << testing::PrintToString(CString(format.name));
            continue;
        }
        encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
        encoder->CreateNewFrame(frame.Receive(), options.Receive());
        frame->Initialize(options.Get());
        frame->SetSize(16, 16);
        WICPixelFormatGUID pixelFormat = GUID_WICPixelFormat32bppBGRA;
        frame->SetPixelFormat(&pixelFormat);
        if (pixelFormat != GUID_WICPixelFormat32bppBGRA) {
            ComPtr<IWICBitmap> bitmap;
            factory->CreateBitmapFromMemory(16, 16, GUID_WICPixelFormat32bppBGRA, 64, static_cast<UINT>(pixels.size()), pixels.data(), bitmap.Receive());
            ComPtr<IWICFormatConverter> converter;
            factory->CreateFormatConverter(converter.Receive());
            converter->Initialize(bitmap.Get(), pixelFormat, WICBitmapDitherTypeNone, nullptr, 0, WICBitmapPaletteTypeMedianCut);
            frame->WriteSource(converter.Get(), nullptr);
        } else {
            frame->WritePixels(16, 64, static_cast<UINT>(pixels.size()), pixels.data());
        }
        frame->Commit();
        encoder->Commit();
        frame = ComPtr<IWICBitmapFrameEncode>();
        encoder = ComPtr<IWICBitmapEncoder>();
        stream = ComPtr<IWICStream>();  // the file is closed
        auto picture = browser::LoadPictureFile(path);
        ASSERT_TRUE(picture) << testing::PrintToString(path);
        EXPECT_EQ(picture->width, 16);
        std::uint32_t pixel = picture->pixels[5 * 16 + 5];
        int red = (pixel >> 16) & 255, green = (pixel >> 8) & 255;
        EXPECT_GT(red, format.exact ? 254 : 200) << testing::PrintToString(path);
        EXPECT_LT(green, format.exact ? 1 : 60);
    }
    WriteBytes(temp.Path() + L"\\lies.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\x7f\xff\xff\xff\x7f\xff\xff\xff\x08\x06\0\0\0", 33));
    EXPECT_FALSE(browser::LoadPictureFile(temp.Path() + L"\\lies.png"));
    EXPECT_FALSE(browser::LoadPictureFile(temp.Path() + L"\\missing.png"));

    // A document's pictures: decoded once, again only when the file changes; a colour where a
    // picture's address stands ("#606666" in a template's background attribute) names no file.
    browser::PictureCache cache;
    const CString png = temp.Path() + L"\\p.png";
    auto first = cache.Load(png);
    ASSERT_TRUE(first);
    EXPECT_EQ(cache.Load(png), first);
    ASSERT_TRUE(CopyFileW(temp.Path() + L"\\p.bmp", png, FALSE));  // another size, another time of writing
    auto changed = cache.Load(png);
    ASSERT_TRUE(changed);
    EXPECT_NE(changed, first);
    EXPECT_EQ(cache.Load(png), changed);
    EXPECT_TRUE(browser::LocalFilePath(temp.Path(), L"#606666").IsEmpty());
    EXPECT_TRUE(browser::LocalFilePath(temp.Path(), L" #fff").IsEmpty());
    EXPECT_EQ(browser::LocalFilePath(temp.Path(), L"p.png"), png);
    EXPECT_FALSE(cache.Load(CString()));
    EXPECT_FALSE(cache.Load(temp.Path() + L"\\missing.png"));
    OleUninitialize();
}

}  // namespace
