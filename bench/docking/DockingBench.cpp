// Docking benchmark: median and 99th percentile of
//  - one mouse move of a size bar's drag, to the focus rectangle drawn (goal under 8 ms);
//  - the relayout after a splitter drag, six size bars in three rows (goal under 8 ms);
//  - maximising or restoring a bar in its row, layout included (goal under 16 ms), once
//    called directly and once as the user does it: a click on the bar's resize button in an
//    MDI frame whose bars hold list views, up to the window painted again (a list
//    view's own relayout under Wine costs 10-30 ms as it grows from nothing), with the views
//    empty and with 200 items each.
// Beside each relayout figure: the same window moves (the same windows, list views with the
// same items, moved to the same rectangles) done by a bare Win32 window tree that none of our
// code handles, which is the platform's floor; and, per action, the moves and paints each kind
// of window received, ours and the bare tree's (DOCKING_TRACE=1 in the environment also lists
// them in order for one action).
// Run under Wine on a display (Xvfb will do).
#include "BenchTiming.h"
#include "WindowCensus.h"
#include "docking/DragDockContext.h"
#include "docking/SizeDockBar.h"
#include "docking/SizeDockFrames.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <commctrl.h>

using bench::Figures;
using bench::Measure;
using bench::Pump;

namespace {

std::wstring KindOf(HWND hwnd) {
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (dynamic_cast<COXSizeDockBar*>(wnd)) return L"dock bar";
    if (dynamic_cast<COXSizeControlBar*>(wnd)) return L"size bar";
    if (dynamic_cast<CFrameWnd*>(wnd)) return L"frame";
    wchar_t name[64] = L"";
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

struct Timing {
    Figures figures;
    double fastest, cpu;  // the run no other process interrupted; this thread's processor time per run
};

Timing Time(int runs, const std::function<void(int)>& work) {
    const double cpuStart = bench::ThreadProcessorMs();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double start = bench::Now();
        work(i);
        times.push_back(bench::Now() - start);
    }
    const double cpuPerRun = (bench::ThreadProcessorMs() - cpuStart) / runs;
    const double fastest = *std::min_element(times.begin(), times.end());
    return {bench::MedianAndP99(std::move(times)), fastest, cpuPerRun};
}

void PrintTiming(const char* what, const Timing& t, double goal) {
    std::printf("%-62s median %6.3f ms  p99 %6.3f ms", what, t.figures.median, t.figures.p99);
    if (goal > 0) std::printf("  goal %g ms", goal);
    std::printf("\n    fastest %6.3f ms, processor time of this thread %6.3f ms a run\n", t.fastest, t.cpu);
}

// Times an action that flips a layout between two states (runs even, so that it ends where it
// began), counts what one action does to the windows, and does the same window moves bare:
// plainly, and with erasing deferred to the paint as our layout does.
void Report(const char* what, double goal, HWND root, const std::function<void(int)>& action, int runs) {
    const bench::Layout before = bench::ReadLayout(root);
    action(0);
    const bench::Layout after = bench::ReadLayout(root);
    action(1);
    const Timing ours = Time(runs, action);
    PrintTiming(what, ours, goal);
    const int counted = 20;
    {
        bench::MessageCensus census;
        for (int i = 0; i < counted; ++i) action(i);
        std::printf("  per action, ours:\n");
        census.Print(KindOf, counted);
        if (getenv("DOCKING_TRACE")) {
            const std::function<std::wstring(HWND)> kind = KindOf;
            census.Trace(&kind);
            action(0);
            census.Trace(nullptr);
            action(1);
        }
    }
    bench::BareReplica bare(root);
    Pump();
    for (const UINT flags : {0u, static_cast<UINT>(SWP_DEFERERASE)}) {
        auto move = [&](int i) {
            bare.MoveTo((i % 2) ? before : after, flags);
            Pump();
        };
        const Timing floor = Time(runs, move);
        PrintTiming(flags ? "  the same window moves by bare windows, erase deferred (floor)" : "  the same window moves by bare windows, plain moves (floor)",
                    floor, 0);
        std::printf("    ours to this floor: ratio %4.2fx median, %4.2fx p99 (timed apart)\n", ours.figures.median / floor.figures.median,
                    ours.figures.p99 / floor.figures.p99);
        bench::MessageCensus census;
        for (int i = 0; i < counted; ++i) move(i);
        std::printf("  per action, bare (%d windows moved):\n", bare.MovedLast());
        census.Print(KindOf, counted);
    }
    // Ours and the floor (erase deferred) timed in turns of a few actions each, the window in
    // turn brought to the top and painted untimed, so that both see the same load on the machine.
    std::vector<double> oursTimes, floorTimes;
    const int turn = 10;  // even: each turn ends in the layout it began with
    for (int t = 0; t < runs / turn; ++t) {
        for (const bool bareTurn : {true, false}) {
            const HWND top = bareTurn ? bare.Root() : root;
            ::SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            Pump();
            ::RedrawWindow(top, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            for (int i = 0; i < turn; ++i) {
                const double start = bench::Now();
                if (bareTurn) {
                    bare.MoveTo((i % 2) ? before : after, SWP_DEFERERASE);
                    Pump();
                } else {
                    action(i);
                }
                (bareTurn ? floorTimes : oursTimes).push_back(bench::Now() - start);
            }
        }
    }
    const Figures oursInTurns = bench::MedianAndP99(oursTimes), floorInTurns = bench::MedianAndP99(floorTimes);
    std::printf("  in turns with the floor (erase deferred): ours median %6.3f ms  p99 %6.3f ms, floor %6.3f / %6.3f ms, ratio %4.2fx / %4.2fx  goal at most 1.25x\n",
                oursInTurns.median, oursInTurns.p99, floorInTurns.median, floorInTurns.p99, oursInTurns.median / floorInTurns.median,
                oursInTurns.p99 / floorInTurns.p99);
}

// A size bar whose list view fills it, as an application's bars hold their controls.
class ListBar : public COXSizeControlBar {
public:
    ListBar() : COXSizeControlBar(SZBARF_STDMOUSECLICKS) {}
    void OnBarResized(int cx, int cy, int floatState, int flags) override {
        COXSizeControlBar::OnBarResized(cx, cy, floatState, flags);
        CRect client;
        GetClientRect(&client);
        // Erased with the rest of the layout that resized the bar (as the docking's own moves are).
        if (list) ::SetWindowPos(list, nullptr, 0, 0, client.Width(), client.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_DEFERERASE);
    }
    HWND list = nullptr;
};

// Maximising and restoring by clicks on the resize button of a bar in a row of three.
void ClickMaximise(int runs, int items) {
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
        for (int item = 0; item < items; ++item) {
            wchar_t text[32];
            swprintf(text, 32, L"Page %d", item + 1);
            LVITEMW row{};
            row.mask = LVIF_TEXT;
            row.iItem = item;
            row.pszText = text;
            ::SendMessageW(bars[i]->list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&row));
        }
        bars[i]->EnableDocking(CBRS_ALIGN_ANY);
        frame->DockControlBar(bars[i].get(), AFX_IDW_DOCKBAR_BOTTOM);
    }
    auto* dock = dynamic_cast<COXSizeDockBar*>(frame->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM));
    dock->m_arrBars = {nullptr, bars[0].get(), bars[1].get(), bars[2].get(), nullptr};
    frame->RecalcLayout();
    Pump();
    char what[96];
    std::snprintf(what, sizeof what, "maximise or restore by its button, MDI frame, %d items", items);
    Report(what, 16, frame->m_hWnd, [&](int) {
        ListBar& bar = *bars[1];
        const LPARAM at = MAKELPARAM(bar.m_rectResize.CenterPoint().x, bar.m_rectResize.CenterPoint().y);
        bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        bar.SendMessage(WM_LBUTTONUP, 0, at);
        Pump();
    }, runs);
    frame->DestroyWindow();
    Pump();
}

}  // namespace

int main(int argc, char** argv) {
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
    // Fewer runs when asked (an even count: each action flips its layout and back).
    const int runs = argc > 1 ? std::max(2, std::atoi(argv[1]) / 2 * 2) : 300;
    std::printf("docking benchmark, %d runs each\n", runs);

    // A splitter between the two bars of the middle row moved by 20 pixels one way and back.
    Report("relayout after a splitter drag, six bars in three rows", 8, frame->m_hWnd, [&](int i) {
        const int d = (i % 2) ? 20 : -20;
        const int given = dock->ShrinkBarsAfter(5, d, TRUE, nullptr);
        dock->ShrinkBarsBefore(4, -given, TRUE, nullptr);
        dock->m_nLayoutKey = dock->LayoutKey();
        dock->RecalcLayoutAfterResize(frame);
        Pump();
    }, runs);

    Report("maximise or restore of a bar in its row", 16, frame->m_hWnd, [&](int) {
        dock->MaximizeBar(bars[2].get(), !bars[2]->IsMaximized());
        frame->RecalcLayout();
        Pump();
    }, runs);

    // The layout pass alone: what our code costs when no window has to move.
    {
        auto relayout = [&](int) {
            frame->RecalcLayout();
            Pump();
        };
        PrintTiming("a relayout that moves nothing (our layout code alone)", Time(runs, relayout), 0);
        bench::MessageCensus census;
        for (int i = 0; i < 20; ++i) relayout(i);
        std::printf("  per relayout:\n");
        census.Print(KindOf, 20);
    }

    // What the platform calls a layout pass makes cost each: walking the windows and making a
    // batch are round trips to the server, reading a window's place is not.
    {
        const int calls = 200;
        HWND first = ::GetWindow(frame->m_hWnd, GW_CHILD);
        auto perCall = [&](auto&& call) {
            const double start = bench::Now();
            for (int i = 0; i < calls; ++i) call();
            return (bench::Now() - start) * 1000.0 / calls;
        };
        CRect r;
        const double next = perCall([&] { ::GetWindow(first, GW_HWNDNEXT); });
        const double item = perCall([&] { ::GetDlgItem(frame->m_hWnd, AFX_IDW_DOCKBAR_LEFT); });
        const double batch = perCall([] { ::EndDeferWindowPos(::BeginDeferWindowPos(4)); });
        const double place = perCall([&] { ::GetWindowRect(first, &r); });
        const double cpuBefore = bench::ThreadProcessorMs();
        const double caption = perCall([&] { bars[0]->SendMessage(WM_NCPAINT, 1); });
        const double captionCpu = (bench::ThreadProcessorMs() - cpuBefore) * 1000.0 / calls;
        std::printf("  one size bar's caption and frame painted (its WM_NCPAINT): %.1f microseconds, %.1f of them processor time\n",
                    caption, captionCpu);
        std::printf("  platform calls, microseconds each: GetWindow %.1f, GetDlgItem %.1f, an empty DeferWindowPos batch %.1f, GetWindowRect %.2f\n",
                    next, item, batch, place);
    }

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
    std::printf("%-60s median %6.3f ms  p99 %6.3f ms  goal 8 ms\n", "one mouse move of a drag, to the tracker drawn", drag.median, drag.p99);
    frame->DestroyWindow();
    Pump();

    ClickMaximise(runs, 0);
    ClickMaximise(runs, 200);
    return 0;
}
