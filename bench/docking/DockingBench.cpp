// Docking benchmark: median and 99th percentile of
//  - one mouse move of a size bar's drag, to the focus rectangle drawn (goal under 8 ms);
//  - the relayout after a splitter drag, six size bars in three rows (goal under 8 ms);
//  - maximising or restoring a bar in its row, layout included (goal under 16 ms), once
//    called directly and once as the user does it: a click on the bar's resize button in an
//    MDI frame whose bars hold list views, up to the window painted again (a list
//    view's own relayout under Wine costs 10-30 ms as it grows from nothing: the views stay
//    empty, so that the figure is the docking's).
// Run under Wine on a display (Xvfb will do).
#include "BenchTiming.h"
#include "docking/DragDockContext.h"
#include "docking/SizeDockBar.h"
#include "docking/SizeDockFrames.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"

#include <cstdio>
#include <memory>

#include <commctrl.h>

using bench::Figures;
using bench::Measure;
using bench::Pump;

namespace {

// A size bar whose list view fills it, as an application's bars hold their controls.
class ListBar : public COXSizeControlBar {
public:
    ListBar() : COXSizeControlBar(SZBARF_STDMOUSECLICKS) {}
    void OnBarResized(int cx, int cy, int floatState, int flags) override {
        COXSizeControlBar::OnBarResized(cx, cy, floatState, flags);
        CRect client;
        GetClientRect(&client);
        if (list) ::SetWindowPos(list, nullptr, 0, 0, client.Width(), client.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    HWND list = nullptr;
};

// Maximising and restoring by clicks on the resize button of a bar in a row of three.
Figures ClickMaximise(int runs) {
    auto* frame = new COXMDIFrameWndSizeDock;
    frame->CreateEx(0, nullptr, L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, 1000, 700, nullptr, nullptr);
    AfxGetApp()->m_pMainWnd = frame;
    frame->EnableDocking(CBRS_ALIGN_ANY);
    std::unique_ptr<ListBar> bars[3];
    for (int i = 0; i < 3; ++i) {
        bars[i] = std::make_unique<ListBar>();
        bars[i]->Create(nullptr, L"List", WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, CRect(0, 0, 300, 160), frame, 3400 + static_cast<UINT>(i));
        bars[i]->list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_LIST, 0, 0, 100, 100, bars[i]->m_hWnd,
                                        nullptr, nullptr, nullptr);
        bars[i]->EnableDocking(CBRS_ALIGN_ANY);
        frame->DockControlBar(bars[i].get(), AFX_IDW_DOCKBAR_BOTTOM);
    }
    auto* dock = dynamic_cast<COXSizeDockBar*>(frame->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM));
    dock->m_arrBars = {nullptr, bars[0].get(), bars[1].get(), bars[2].get(), nullptr};
    frame->RecalcLayout();
    Pump();
    const Figures figures = Measure(runs, [&](int) {
        ListBar& bar = *bars[1];
        const LPARAM at = MAKELPARAM(bar.m_rectResize.CenterPoint().x, bar.m_rectResize.CenterPoint().y);
        bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        bar.SendMessage(WM_LBUTTONUP, 0, at);
        Pump();
    });
    frame->DestroyWindow();
    Pump();
    return figures;
}

}  // namespace

int main() {
    CWinApp app;
    auto* frame = new COXFrameWndSizeDock;  // deletes itself with its window
    frame->CreateEx(0, nullptr, L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, 1000, 700, nullptr, nullptr);
    app.m_pMainWnd = frame;
    frame->EnableDocking(CBRS_ALIGN_ANY);
    std::unique_ptr<COXSizeControlBar> bars[6];
    for (int i = 0; i < 6; ++i) {
        bars[i] = std::make_unique<COXSizeControlBar>(SZBARF_STDMOUSECLICKS);
        wchar_t title[16];
        swprintf(title, 16, L"Bar %d", i + 1);
        bars[i]->Create(nullptr, title, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, CRect(0, 0, 300, 90), frame, 3300 + static_cast<UINT>(i));
        bars[i]->EnableDocking(CBRS_ALIGN_ANY);
        frame->DockControlBar(bars[i].get(), AFX_IDW_DOCKBAR_BOTTOM);
    }
    auto* dock = dynamic_cast<COXSizeDockBar*>(frame->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM));
    dock->m_arrBars = {nullptr, bars[0].get(), bars[1].get(), nullptr, bars[2].get(), bars[3].get(), nullptr,
                       bars[4].get(), bars[5].get(), nullptr};
    frame->RecalcLayout();
    Pump();
    const int runs = 300;
    std::printf("docking benchmark, %d runs each\n", runs);

    // A splitter between the two bars of the middle row moved by 20 pixels one way and back.
    const Figures splitter = Measure(runs, [&](int i) {
        const int d = (i % 2) ? 20 : -20;
        const int given = dock->ShrinkBarsAfter(5, d, TRUE, nullptr);
        dock->ShrinkBarsBefore(4, -given, TRUE, nullptr);
        dock->m_nLayoutKey = dock->LayoutKey();
        dock->Invalidate(TRUE);
        frame->RecalcLayout();
        Pump();
    });
    std::printf("relayout after a splitter drag, six bars in three rows  median %6.3f ms  p99 %6.3f ms  goal 8 ms\n",
                splitter.median, splitter.p99);

    const Figures maximise = Measure(runs, [&](int) {
        dock->MaximizeBar(bars[2].get(), !bars[2]->IsMaximized());
        frame->RecalcLayout();
        Pump();
    });
    std::printf("maximise or restore of a bar in its row                  median %6.3f ms  p99 %6.3f ms  goal 16 ms\n",
                maximise.median, maximise.p99);

    // One step of the drag context's tracking: the rectangles follow the mouse, the target is
    // found and the focus rectangle drawn again.
    COXDragDockContext context(bars[0].get());
    context.m_pDockSite = frame;
    context.m_dwDockStyle = CBRS_ALIGN_ANY;
    CRect window;
    bars[0]->GetWindowRect(&window);
    context.m_rectDragHorz = window;
    context.m_rectDragVert = CRect(window.left, window.top, window.left + 90, window.top + 300);
    context.m_rectFrameDragHorz = CRect(window.TopLeft(), CSize(310, 120));
    context.m_ptStart = context.m_ptLast = window.CenterPoint();
    context.m_pDC = GetDCEx(GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    context.DrawFocusRect();
    const Figures drag = Measure(runs, [&](int i) {
        const CPoint at = window.CenterPoint();
        context.Move(CPoint(at.x - (i % 40) * 5, at.y - (i % 40) * 9));
    });
    context.DrawFocusRect(TRUE);
    ReleaseDC(GetDesktopWindow(), context.m_pDC);
    context.m_pDC = nullptr;
    std::printf("one mouse move of a drag, to the tracker drawn            median %6.3f ms  p99 %6.3f ms  goal 8 ms\n", drag.median,
                drag.p99);
    frame->DestroyWindow();
    Pump();

    const Figures click = ClickMaximise(runs);
    std::printf("maximise or restore by its button, MDI frame, list views    median %6.3f ms  p99 %6.3f ms  goal 16 ms\n", click.median,
                click.p99);
    return 0;
}
