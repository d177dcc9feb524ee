// Tab workspace benchmark, 50 MDI children, median and 99th percentile of
//  - a click on a tab to its child active and everything painted, beside the floor: the same
//    clicks on a bare Win32 tab control over a bare Win32 MDI frame (goal at most 1.25x the
//    floor, and 16 ms where the floor is under it);
//  - the strip's timed refresh (its timer message), nothing changed (goal under 2 ms).
// Beside them, what the platform costs before the workspace adds anything:
//  - BASELINE: the same activations by a bare Win32 MDI frame (DefFrameProc, an MDICLIENT, 50
//    children by WM_MDICREATE; no framework, no toolkit), painted the same way;
//  - BASELINE: a bare Win32 tab control with the same 50 tabs painting a new selection (the
//    Classic look leaves the strip's painting to that control);
//  - the MDI client's own activation in our frame (the strip attached, no click).
// And the messages each operation sends or posts in this thread (a count that holds still
// under load: it says what our code asks of the window system).
// Run under Wine on a display (Xvfb will do).
#include "BenchTiming.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"
#include "tabs/TabWorkspace.h"
#include "wnd/MDIChildWnd.h"

#include <cstdio>
#include <vector>

using bench::Figures;
using bench::Measure;
using bench::Pump;

namespace {
constexpr int kChildren = 50;
constexpr int kRuns = 300;
constexpr int kTurn = 20;  // clicks of ours or of the floor in a row

const wchar_t* ChildClass() {
    return CWnd::RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
}

class BenchFrame : public CMDIFrameWnd {
public:
    COXTabClientWnd tabs;
};

// Messages this thread's window procedures are handed (sent and posted) while the work runs.
int g_messages = 0;
LRESULT CALLBACK CountSent(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) ++g_messages;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
LRESULT CALLBACK CountPosted(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE) ++g_messages;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
template <typename Work> int MessagesOf(Work&& work) {
    HHOOK sent = SetWindowsHookExW(WH_CALLWNDPROC, CountSent, nullptr, GetCurrentThreadId());
    HHOOK posted = SetWindowsHookExW(WH_GETMESSAGE, CountPosted, nullptr, GetCurrentThreadId());
    g_messages = 0;
    work();
    UnhookWindowsHookEx(posted);
    UnhookWindowsHookEx(sent);
    return g_messages;
}

void RegisterBareClass(const wchar_t* name, WNDPROC proc, UINT style, int background) {
    WNDCLASSW windowClass{};
    windowClass.style = style;
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background + 1));
    windowClass.lpszClassName = name;
    RegisterClassW(&windowClass);
}

// The bare Win32 MDI frame: the platform's own floor for activating and painting a child.
// The bare MDI children of the floors, cascaded in a bare client.
std::vector<HWND> CreateBareChildren(HWND client) {
    std::vector<HWND> children;
    for (int i = 0; i < kChildren; ++i) {
        wchar_t title[32];
        swprintf(title, 32, L"Page %d", i + 1);
        MDICREATESTRUCTW mcs{};
        mcs.szClass = L"BareMdiChild";
        mcs.szTitle = title;
        mcs.hOwner = GetModuleHandleW(nullptr);
        mcs.x = mcs.y = i * 4;
        mcs.cx = 400;
        mcs.cy = 300;
        mcs.style = WS_VISIBLE;
        children.push_back(reinterpret_cast<HWND>(SendMessageW(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs))));
    }
    return children;
}

// A bare tab control over a frame's client area, one tab per child.
HWND CreateBareTabs(HWND frame, const RECT& area) {
    HWND tabs = CreateWindowExW(0, WC_TABCONTROLW, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_FOCUSNEVER | TCS_HOTTRACK, 0, 0,
                                area.right, area.bottom, frame, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(tabs, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
    for (int i = 0; i < kChildren; ++i) {
        wchar_t title[32];
        swprintf(title, 32, L"Page %d", i + 1);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = title;
        SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    return tabs;
}

struct BareMdi {
    HWND frame = nullptr, client = nullptr;
    std::vector<HWND> children;

    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<BareMdi*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        return DefFrameProcW(hwnd, self ? self->client : nullptr, message, wParam, lParam);
    }
    static LRESULT CALLBACK ChildProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        return DefMDIChildProcW(hwnd, message, wParam, lParam);
    }

    BareMdi() {
        RegisterBareClass(L"BareMdiFrame", FrameProc, 0, COLOR_APPWORKSPACE);
        RegisterBareClass(L"BareMdiChild", ChildProc, CS_DBLCLKS, COLOR_WINDOW);
        frame = CreateWindowExW(0, L"BareMdiFrame", L"bare", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, 1000, 700,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        CLIENTCREATESTRUCT ccs{};
        ccs.idFirstChild = 0xFF00;
        RECT area;
        GetClientRect(frame, &area);
        client = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL,
                                 0, 0, area.right, area.bottom, frame, nullptr, GetModuleHandleW(nullptr), &ccs);
        SetWindowLongPtrW(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        children = CreateBareChildren(client);
        Pump();
    }
    ~BareMdi() { DestroyWindow(frame); }

    void Activate(int i) {
        SendMessageW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(children[static_cast<size_t>(i)]), 0);
        Pump();
        RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
};

// A bare Win32 tab control of the strip's size with the same tabs: what the platform's own
// control costs to paint a new selection (the Classic look leaves the strip to it).
struct BareTabs {
    HWND frame = nullptr, tabs = nullptr;

    BareTabs() {
        frame = CreateWindowExW(0, L"BareMdiFrame", L"bare tabs", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, 1000, 700,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        RECT area;
        GetClientRect(frame, &area);
        tabs = CreateBareTabs(frame, area);
        Pump();
    }
    ~BareTabs() { DestroyWindow(frame); }

    void Select(int i) {
        SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(i), 0);
        Pump();
        RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
};

// The floor of a click on a tab: a bare Win32 MDI frame under a bare Win32 tab control of the
// same tabs, whose frame activates the tab's child on TCN_SELCHANGE; the same clicks, activations
// and paints as ours, with none of our code.
struct BareTabbedMdi {
    HWND frame = nullptr, tabs = nullptr, client = nullptr;
    std::vector<HWND> children;

    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<BareTabbedMdi*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == TCN_SELCHANGE) {
            const auto selected = static_cast<size_t>(SendMessageW(self->tabs, TCM_GETCURSEL, 0, 0));
            if (selected < self->children.size())
                SendMessageW(self->client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(self->children[selected]), 0);
            return 0;
        }
        if (message == WM_SIZE) return 0;  // laid out once, at creation
        return DefFrameProcW(hwnd, self ? self->client : nullptr, message, wParam, lParam);
    }

    BareTabbedMdi() {
        frame = CreateWindowExW(0, L"BareTabbedFrame", L"bare tabbed", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, 1000, 700,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        RECT area;
        GetClientRect(frame, &area);
        tabs = CreateBareTabs(frame, area);
        RECT display = area;
        SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
        CLIENTCREATESTRUCT ccs{};
        ccs.idFirstChild = 0xFF00;
        client = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL,
                                 display.left, display.top, display.right - display.left, display.bottom - display.top, frame, nullptr,
                                 GetModuleHandleW(nullptr), &ccs);
        children = CreateBareChildren(client);
        SendMessageW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(children[0]), 0);
        SendMessageW(tabs, TCM_SETCURSEL, 0, 0);
        Pump();
    }
    ~BareTabbedMdi() { DestroyWindow(frame); }

    // A click on tab `index`, everything painted.
    void Click(int index) {
        RECT r;
        SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(tabs, WM_LBUTTONUP, 0, at);
        Pump();
        RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
};

// Our figure beside the floor measured in the same run: the ratio of the medians and of the p99s.
void PrintRatio(const char* look, const char* what, const Figures& ours, const Figures& floor, const char* goal) {
    std::printf("%-12s %-58s median %6.3f ms  p99 %6.3f ms  floor %6.3f / %6.3f ms  ratio %4.2fx / %4.2fx  goal %s\n", look, what, ours.median,
                ours.p99, floor.median, floor.p99, ours.median / floor.median, ours.p99 / floor.p99, goal);
}

void Print(const char* look, const char* what, const Figures& figures, const char* goal = nullptr) {
    std::printf("%-12s %-58s median %6.3f ms  p99 %6.3f ms%s%s\n", look, what, figures.median, figures.p99, goal ? "  goal " : "",
                goal ? goal : "");
}
}  // namespace

int main() {
    OleInitialize(nullptr);
    COXSkinnedApp app;
    RegisterBareClass(L"BareTabbedFrame", BareTabbedMdi::FrameProc, 0, COLOR_APPWORKSPACE);
    std::printf("tab workspace benchmark, %d children\n", kChildren);

    // The clicks below go to the 17 or so tabs in sight; the bare frame activates as many children.
    const int inSight = 17;
    {
        BareMdi bare;
        const Figures floor = Measure(kRuns, [&](int i) { bare.Activate(i % inSight); });
        Print("BASELINE", "bare Win32 MDI frame: activation, painted", floor);
        std::printf("%-12s %-58s %d\n", "BASELINE", "messages per activation", MessagesOf([&] { bare.Activate(3); }));
    }
    {
        BareTabs bare;
        Print("BASELINE", "bare Win32 tab control, 50 tabs: a new selection, painted", Measure(kRuns, [&](int i) { bare.Select(i % inSight); }));
    }
    Pump();

    auto* frame = new BenchFrame;  // deletes itself with its window
    frame->CreateEx(0, nullptr, L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, 1000, 700, nullptr, nullptr);
    app.m_pMainWnd = frame;
    frame->tabs.Attach(frame);
    for (int i = 0; i < kChildren; ++i) {
        auto* child = new CMDIChildWnd;
        wchar_t title[32];
        swprintf(title, 32, L"Page %d", i + 1);
        child->Create(ChildClass(), title, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CRect(i * 4, i * 4, i * 4 + 400, i * 4 + 300), frame, nullptr);
        child->ShowWindow(SW_SHOW);
        child->MDIActivate();
    }
    BareTabbedMdi bare;  // the floor of a click, timed in turns with ours
    COXTabWorkspace& strip = *frame->tabs.GetTabCtrl();
    strip.UpdateContents(TRUE, TRUE);
    frame->RecalcLayout();
    Pump();
    if (strip.GetTabCount() != kChildren) std::printf("only %d tabs\n", strip.GetTabCount());

    // The tabs in sight from the first on (the strip scrolls the rest).
    ::SendMessageW(frame->m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(strip.GetTabWindow(0)), 0);
    strip.SetCurSel(0);
    Pump();
    CRect client;
    strip.GetClientRect(&client);
    std::vector<int> visible;
    for (int i = 0; i < strip.GetItemCount(); ++i) {
        CRect r;
        strip.GetItemRect(i, &r);
        if (r.left >= 0 && r.right < client.right - 40) visible.push_back(i);
    }
    std::printf("clicks go to the %d tabs in sight\n", static_cast<int>(visible.size()));
    if (visible.size() < 2) return 1;
    auto click = [&](int i) {
        CRect r;
        strip.GetItemRect(visible[static_cast<size_t>(i) % visible.size()], &r);
        const LPARAM at = MAKELPARAM(r.CenterPoint().x, r.CenterPoint().y);
        strip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        strip.SendMessage(WM_LBUTTONUP, 0, at);
        Pump();
        ::RedrawWindow(frame->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (strip.GetCurSel() != visible[static_cast<size_t>(i) % visible.size()]) std::printf("a click missed its tab\n");
    };
    auto activate = [&](int i) {
        ::SendMessageW(frame->m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(strip.GetTabWindow(visible[static_cast<size_t>(i) % visible.size()])), 0);
        Pump();
        ::RedrawWindow(frame->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    };
    // The timer message itself, as the strip gets it every half second.
    auto refresh = [&](int) { strip.SendMessage(WM_TIMER, IDT_OX_TABUPDATE); };
    for (const char* look : {"Classic", "Office XP", "Office 2003"}) {
        wchar_t name[32];
        swprintf(name, 32, L"%hs", look);
        app.SetCurrentSkin(name);
        Pump();
        // Ours and the floor in turns of a few clicks each (the frame in turn brought to the top
        // and painted, untimed), so that both see the same load on the machine.
        std::vector<double> ours, floor;
        for (int turn = 0; turn < kRuns / kTurn; ++turn) {
            for (const bool bareTurn : {true, false}) {
                const HWND top = bareTurn ? bare.frame : frame->m_hWnd;
                ::SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
                Pump();
                ::RedrawWindow(top, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
                for (int i = 0; i < kTurn; ++i) {
                    const int n = turn * kTurn + i;
                    const double start = bench::Now();
                    if (bareTurn) bare.Click(n % inSight);
                    else click(n);
                    (bareTurn ? floor : ours).push_back(bench::Now() - start);
                }
            }
        }
        PrintRatio(look, "click on a tab to its child active and painted", bench::MedianAndP99(ours), bench::MedianAndP99(floor),
                   "at most 1.25x the floor, 16 ms where the floor is under it");
        Print(look, "of which the frame's layout after the click", Measure(kRuns, [&](int) { frame->RecalcLayout(TRUE); }));
        Print(look, "the MDI client's own activation (strip attached), painted", Measure(kRuns, activate));
        Print(look, "of which the strip's whole repaint", Measure(kRuns, [&](int) {
                  ::RedrawWindow(strip.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
              }));
        Print(look, "the strip's refresh, nothing changed", Measure(kRuns, refresh), "2 ms");
        std::printf("%-12s messages per click %d, per activation %d, per refresh %d\n", look, MessagesOf([&] { click(5); }),
                    MessagesOf([&] { activate(6); }), MessagesOf([&] { refresh(0); }));
    }
    // The full walk of the children, as after a child came or went.
    Print("", "for comparison: a full walk of the children (UpdateContents)", Measure(kRuns, [&](int) { strip.UpdateContents(TRUE, FALSE); }));
    frame->DestroyWindow();
    OleUninitialize();
    return 0;
}
