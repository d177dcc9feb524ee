#include "TabHost.h"

#include "docview/RuntimeClass.h"
#include "wnd/CreateContext.h"

#include <shlobj.h>

const MessageMap* TabHostChild::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&TabHostChild::OnTabTitle>(WM_OX_TABTITLE),
    };
    static const MessageMap map{CMDIChildWnd::GetMessageMap(), entries};
    return &map;
}

namespace {
// Page windows without a class icon: a tab shows an image only for a child that has an icon.
const wchar_t* ChildClass() {
    return CWnd::RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
}
}  // namespace

TabWorkspaceHost::TabWorkspaceHost(CWinApp& application, int count, DWORD tabStyle) : app(application) {
    frame = new TabHostFrame;
    if (!frame->LoadFrame(kHostResource, WS_OVERLAPPEDWINDOW)) {
        ADD_FAILURE() << "the tab host was not made";
        frame = nullptr;
        return;
    }
    frame->SetWindowPos(nullptr, 60, 40, 760, 520, SWP_NOZORDER | SWP_NOACTIVATE);
    app.m_pMainWnd = frame;
    frame->ShowWindow(SW_SHOW);
    EXPECT_TRUE(frame->tabClient.Attach(frame, tabStyle));
    static const wchar_t* const kTitles[] = {L"Notes && Clips", L"Recipes", L"A page with a rather long title about travel plans",
                                             L"Inbox", L"Reading list"};
    HICON icons[] = {LoadIcon(nullptr, IDI_APPLICATION), LoadIcon(nullptr, IDI_INFORMATION), nullptr,
                     LoadIcon(nullptr, IDI_APPLICATION), LoadIcon(nullptr, IDI_WARNING)};
    for (int i = 0; i < count; ++i) {
        TabHostChild* child = AddChild(i < 5 ? kTitles[i] : L"Page", i < 5 ? icons[i] : nullptr);
        if (i == 3) child->answer = L"Answered title";
    }
    SetForegroundWindow(frame->m_hWnd);
    mouse::Pump(80);
}

TabHostChild* TabWorkspaceHost::AddChild(const wchar_t* title, HICON icon) {
    auto* child = new TabHostChild;
    const int n = static_cast<int>(children.size());
    if (!child->Create(ChildClass(), title, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CRect(20 * n, 20 * n, 20 * n + 360, 20 * n + 220),
                       frame, nullptr)) {
        ADD_FAILURE() << "a page window was not made";
        delete child;
        return nullptr;
    }
    // The title of "Notes && Clips" keeps a real "&": the MDI client shows it as typed.
    CString text(title);
    text.Replace(L"&&", L"&");
    child->SetWindowText(text);
    if (icon) child->SetIcon(icon, FALSE);
    child->ShowWindow(SW_SHOW);
    child->MDIActivate();
    children.push_back(child);
    mouse::Pump(20);
    return child;
}

HWND TabWorkspaceHost::Active() const {
    return reinterpret_cast<HWND>(::SendMessageW(frame->m_hWndMDIClient, WM_MDIGETACTIVE, 0, 0));
}

bool TabWorkspaceHost::ClientInDisplayArea() {
    COXTabWorkspace& tabs = Tabs();
    CRect client, display;
    ::GetWindowRect(frame->m_hWndMDIClient, &client);
    tabs.GetClientRect(&display);
    tabs.AdjustRect(FALSE, &display);
    tabs.ClientToScreen(&display);
    display.InflateRect(5, 5);  // the look's border round the client
    if (client.left < display.left || client.top < display.top || client.right > display.right || client.bottom > display.bottom) return false;
    for (int i = 0; i < tabs.GetItemCount(); ++i) {
        CRect tab, overlap;
        tabs.GetItemRect(i, &tab);
        tabs.ClientToScreen(&tab);
        if (::IntersectRect(&overlap, &tab, &client)) return false;
    }
    return true;
}

CPoint TabWorkspaceHost::TabPoint(int index) {
    CRect r;
    Tabs().GetItemRect(index, &r);
    Tabs().ClientToScreen(&r);
    return r.CenterPoint();
}

TabWorkspaceHost::~TabWorkspaceHost() {
    if (frame && ::IsWindow(frame->m_hWnd)) frame->DestroyWindow();
    app.m_pMainWnd = nullptr;
    PumpMessages();
}

// Container host ---------------------------------------------------------------------------

void PageView::OnDraw(CDC* dc) {
    CRect client;
    GetClientRect(&client);
    dc->FillSolidRect(client, color);
    dc->TextOut(6, 6, L"Page view");
}

void PageView::OnInitialUpdate() {
    ++initialUpdates;
    if (auto* doc = dynamic_cast<PageDoc*>(GetDocument())) ++doc->views;
}

TabContainerHost::TabContainerHost(CWinApp& application) : app(application) {
    frame = new CFrameWnd;
    if (!frame->CreateEx(0, nullptr, L"Tab views", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CRect(80, 60, 700, 500), nullptr, 0)) {
        ADD_FAILURE() << "the container host was not made";
        frame = nullptr;
        return;
    }
    app.m_pMainWnd = frame;
    EXPECT_TRUE(container.Create(nullptr, L"Pages", 0, CRect(0, 0, 100, 100), frame, AFX_IDW_PANE_FIRST));
    CCreateContext context;
    context.m_pCurrentDoc = document;
    context.m_pCurrentFrame = frame;
    EXPECT_TRUE(container.AddPage(0, RuntimeClass<PageView>(), &context, L"Page"));
    // The others share the active view's document.
    EXPECT_TRUE(container.AddPage(1, RuntimeClass<NotesView>(), nullptr, L"Notes"));
    EXPECT_TRUE(container.AddPage(2, RuntimeClass<SourceView>(), nullptr, L"Source"));
    frame->ShowWindow(SW_SHOW);
    frame->RecalcLayout();
    SetForegroundWindow(frame->m_hWnd);
    mouse::Pump(80);
}

CPoint TabContainerHost::TabPoint(int index) {
    CRect r;
    container.GetItemRect(index, &r);
    container.ClientToScreen(&r);
    return r.CenterPoint();
}

TabContainerHost::~TabContainerHost() {
    if (frame && ::IsWindow(frame->m_hWnd)) frame->DestroyWindow();
    app.m_pMainWnd = nullptr;
    PumpMessages();
}

// A file drag ------------------------------------------------------------------------------

namespace {
class FileData : public IDataObject {
public:
    explicit FileData(const wchar_t* path) : m_path(path) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = (riid == IID_IUnknown || riid == IID_IDataObject) ? static_cast<IDataObject*>(this) : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        const size_t chars = wcslen(m_path) + 2;
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
        auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
        drop->pFiles = sizeof(DROPFILES);
        drop->fWide = TRUE;
        wcscpy(reinterpret_cast<wchar_t*>(drop + 1), m_path);
        GlobalUnlock(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC** out) override {
        static FORMATETC formats[] = {{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}};
        return SHCreateStdEnumFmtEtc(1, formats, out);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    const wchar_t* m_path;
};

// Holds the button down (as the drag's own mouse) and walks the cursor to the target, then lets go.
class WalkingSource : public COleDropSource {
public:
    CPoint from, to;
    int steps = 0;
    SCODE QueryContinueDrag(BOOL, DWORD) override {
        ++steps;
        const int n = std::min(steps, 10);
        SetCursorPos(from.x + (to.x - from.x) * n / 10, from.y + (to.y - from.y) * n / 10);
        Sleep(15);
        return steps < 16 ? S_OK : DRAGDROP_S_CANCEL;
    }
};
}  // namespace

void DragFileOver(CWnd& sourceWnd, CPoint over, const wchar_t* path) {
    FileData data(path);
    WalkingSource source;
    GetCursorPos(&source.from);
    source.to = over;
    source.DoDragDrop(&sourceWnd, &data, DROPEFFECT_COPY | DROPEFFECT_LINK);
}
