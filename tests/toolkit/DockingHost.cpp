#include "DockingHost.h"

#include "docview/RuntimeClass.h"

#include <atomic>
#include <thread>

BOOL HostBar::CreateWithChild(CFrameWnd* frame, UINT id, const wchar_t* title, const wchar_t* childClass, DWORD childStyle) {
    if (!Create(nullptr, title, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, CRect(0, 0, 260, 160), frame, id)) return FALSE;
    child = CreateWindowExW(WS_EX_CLIENTEDGE, childClass, L"", WS_CHILD | WS_VISIBLE | childStyle, 0, 0, 10, 10, m_hWnd,
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(1)), GetModuleHandleW(nullptr), nullptr);
    return child != nullptr;
}

void HostBar::OnBarResized(int cx, int cy, int floatState, int flags) {
    COXSizeControlBar::OnBarResized(cx, cy, floatState, flags);
    CRect client;
    GetClientRect(&client);
    // Erased with the rest of the layout that resized the bar, not at once.
    if (child) ::SetWindowPos(child, nullptr, 0, 0, client.Width(), client.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
}

void HostView::OnDraw(CDC* dc) {
    CRect client;
    GetClientRect(&client);
    dc->FillSolidRect(client, RGB(255, 255, 224));
    dc->TextOut(4, 4, L"Page view");
}

DockingHostFrame::DockingHostFrame() { m_bSizeDockDrag = TRUE; }

const MessageMap* DockingHostFrame::GetMessageMap() const {
    static const MessageMapEntry entries[] = {
        MapMessage<&DockingHostFrame::OnClose>(WM_CLOSE),
        MapCommand<&DockingHostFrame::OnShowTree>(ID_SHOW_TREE),
        MapCommand<&DockingHostFrame::OnShowList>(ID_SHOW_LIST),
    };
    static const MessageMap map{COXMDIFrameWndSizeDock::GetMessageMap(), entries};
    return &map;
}

BOOL DockingHostFrame::Build(CWinApp* app) {
    if (!LoadFrame(kHostResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE)) return FALSE;
    SetWindowPos(nullptr, 40, 40, 820, 600, SWP_NOZORDER | SWP_NOACTIVATE);
    app->m_pMainWnd = this;
    EnableDocking(CBRS_ALIGN_ANY);
    if (!tree.CreateWithChild(this, kTreeBarId, L"Folders", WC_TREEVIEWW, TVS_HASLINES | TVS_HASBUTTONS)) return FALSE;
    if (!list.CreateWithChild(this, kListBarId, L"Pages", WC_LISTVIEWW, LVS_LIST)) return FALSE;
    static const UINT kButtons[] = {40001, 40002, 40003};
    tools.SetButtonTable(kButtons, 3);
    if (!tools.Create(nullptr, L"Tools", WS_CHILD | WS_VISIBLE | CBRS_LEFT, CRect(0, 0, 120, 200), this, kToolsBarId)) return FALSE;
    TBBUTTON buttons[3]{};
    for (int i = 0; i < 3; ++i) {
        buttons[i].iBitmap = i;
        buttons[i].idCommand = static_cast<int>(kButtons[i]);
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].iString = -1;
    }
    TBADDBITMAP bitmap{GetModuleHandleW(nullptr), 300};
    tools.m_ToolBarCtrl.SendMessage(TB_ADDBITMAP, 5, reinterpret_cast<LPARAM>(&bitmap));
    tools.m_ToolBarCtrl.SendMessage(TB_ADDBUTTONSW, 3, reinterpret_cast<LPARAM>(buttons));
    for (COXSizeControlBar* bar : {static_cast<COXSizeControlBar*>(&tree), static_cast<COXSizeControlBar*>(&list), static_cast<COXSizeControlBar*>(&tools)})
        bar->EnableDocking(CBRS_ALIGN_ANY);
    DefaultLayout();
    layoutLoaded = LoadSizeDockLayout(this, L"Docking", L"Layout");
    ShowWindow(SW_SHOW);
    UpdateWindow();
    return TRUE;
}

void DockingHostFrame::DefaultLayout() {
    tree.m_HorzDockSize = list.m_HorzDockSize = CSize(260, 160);
    tools.m_VertDockSize = CSize(120, 200);
    DockControlBar(&tools, AFX_IDW_DOCKBAR_LEFT);
    DockControlBar(&tree, AFX_IDW_DOCKBAR_BOTTOM);
    RecalcLayout();
    // The list beside the tree, in the same row.
    CRect at = ScreenRect(tree);
    at.OffsetRect(at.Width() + 20, 0);
    DockControlBar(&list, Dock(AFX_IDW_DOCKBAR_BOTTOM), &at);
    RecalcLayout();
}

void DockingHostFrame::OnClose() {
    if (saveOnClose) SaveSizeDockLayout(this, L"Docking", L"Layout");
    COXMDIFrameWndSizeDock::OnClose();
}

DockingHost::DockingHost(CWinApp& application) : app(application) {
    frame = new DockingHostFrame;
    docTemplate = new CMultiDocTemplate(kHostResource, RuntimeClass<HostDoc>(), RuntimeClass<HostChild>(), RuntimeClass<HostView>());
    app.AddDocTemplate(docTemplate);
    if (!frame->Build(&app)) {
        ADD_FAILURE() << "the docking host was not made";
        return;
    }
    docTemplate->OpenDocumentFile(nullptr);
    child = dynamic_cast<HostChild*>(frame->MDIGetActive());
    SetForegroundWindow(frame->m_hWnd);
    mouse::Pump(50);
}

void DockingHost::Close(BOOL save) {
    if (!frame || !frame->m_hWnd) return;
    frame->saveOnClose = save;
    for (CDocument* document : std::vector<CDocument*>(docTemplate->GetDocuments())) document->SetModifiedFlag(FALSE);
    frame->SendMessage(WM_CLOSE);
    mouse::Pump(30);
    if (frame && ::IsWindow(frame->m_hWnd)) frame->DestroyWindow();
    app.m_pMainWnd = nullptr;
    frame = nullptr;
    PumpMessages();
}

DockingHost::~DockingHost() { Close(FALSE); }

namespace mouse {
namespace {
void Send(DWORD flags, CPoint at = CPoint(0, 0)) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
        input.mi.dx = static_cast<LONG>((static_cast<long long>(at.x) * 65536 + cx / 2) / cx);
        input.mi.dy = static_cast<LONG>((static_cast<long long>(at.y) * 65536 + cy / 2) / cy);
    }
    SendInput(1, &input, sizeof(input));
}
}  // namespace

void MoveTo(CPoint screen) {
    Send(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen);
    Sleep(25);
}
void Down() {
    Send(MOUSEEVENTF_LEFTDOWN);
    Sleep(40);
}
void Up() {
    Send(MOUSEEVENTF_LEFTUP);
    Sleep(40);
}

void Pump(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    do {
        PumpMessages();
        Sleep(5);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

void Run(const std::function<void()>& script) {
    std::atomic<bool> done{false};
    std::thread input([&] {
        script();
        Sleep(60);
        done = true;
    });
    while (!done) {
        PumpMessages();
        Sleep(5);
    }
    input.join();
    Pump(60);
}

void Drag(CPoint from, CPoint to, int steps) {
    Run([=] {
        MoveTo(from);
        Down();
        for (int i = 1; i <= steps; ++i) MoveTo(CPoint(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps));
        Sleep(40);
        Up();
    });
}

void Click(CPoint at) {
    Run([=] {
        MoveTo(at);
        Down();
        Up();
    });
}

void DoubleClick(CPoint at) {
    Run([=] {
        MoveTo(at);
        Send(MOUSEEVENTF_LEFTDOWN);
        Send(MOUSEEVENTF_LEFTUP);
        Sleep(20);
        Send(MOUSEEVENTF_LEFTDOWN);
        Send(MOUSEEVENTF_LEFTUP);
        Sleep(60);
    });
}
}  // namespace mouse

bool MakeCoolBarFrame(CWinApp& app, COXFrameWndSizeDock* frame, COXCoolToolBar& bar) {
    if (!frame->CreateEx(0, nullptr, L"cool toolbar", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 700, 500, nullptr, nullptr))
        return false;
    app.m_pMainWnd = frame;
    frame->EnableDocking(CBRS_ALIGN_ANY);
    if (!bar.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_ANY | CBRS_GRIPPER, CRect(3, 1, 0, 1), 32950))
        return false;
    bar.LoadToolBar(300);
    bar.EnableDocking(CBRS_ALIGN_ANY, TRUE);
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    frame->RecalcLayout();
    PumpMessages();
    return true;
}

CRect ScreenRect(CWnd& wnd) {
    CRect r;
    wnd.GetWindowRect(&r);
    return r;
}

CPoint CaptionPoint(COXSizeControlBar& bar) {
    CRect caption = bar.ToWindow(bar.m_rectCaption);
    const CRect window = ScreenRect(bar);
    caption.OffsetRect(window.left, window.top);
    // Into the caption, clear of the text's start.
    return CPoint(caption.left + std::min<int>(caption.Width() - 2, 30), caption.top + caption.Height() / 2);
}

std::vector<BYTE> ScreenPixels(const CRect& r) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = r.Width();
    info.bmiHeader.biHeight = r.Height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, r.Width(), r.Height(), screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const size_t stride = ((static_cast<size_t>(r.Width()) * 3 + 3) & ~size_t{3});
    std::vector<BYTE> pixels;
    if (bits) pixels.assign(static_cast<BYTE*>(bits), static_cast<BYTE*>(bits) + stride * static_cast<size_t>(r.Height()));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

void SaveScreenshot(CWnd& wnd, const wchar_t* name) {
    const CRect r = ScreenRect(wnd);
    const std::vector<BYTE> pixels = ScreenPixels(r);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = r.Width();
    header.biHeight = r.Height();
    header.biPlanes = 1;
    header.biBitCount = 24;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    wchar_t path[MAX_PATH];
    GetTempPathW(MAX_PATH, path);
    CString target = CString(path) + name + L".bmp";
    HANDLE out = CreateFileW(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(out, &file, sizeof(file), &written, nullptr);
        WriteFile(out, &header, sizeof(header), &written, nullptr);
        WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
        CloseHandle(out);
    }
}

bool PaintedAsAWholeRepaintWould(CWnd& wnd) {
    const CRect r = ScreenRect(wnd);
    const std::vector<BYTE> left = ScreenPixels(r);
    ::RedrawWindow(wnd.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    mouse::Pump(50);
    return !left.empty() && left == ScreenPixels(r);
}
