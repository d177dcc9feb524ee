// Tab workspace benchmark, 50 MDI children, median and 99th percentile of
//  - a click on a tab to its child active and everything painted (goal under 16 ms);
//  - the strip's timed refresh, nothing changed (goal under 2 ms).
// Beside the click, the MDI client's own activation of the same children, painted, without
// the strip: what the platform costs before the workspace adds anything.
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
const wchar_t* ChildClass() {
    return CWnd::RegisterWndClass(CS_DBLCLKS, LoadCursor(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
}

class BenchFrame : public CMDIFrameWnd {
public:
    COXTabClientWnd tabs;
};
}  // namespace

int main() {
    OleInitialize(nullptr);
    COXSkinnedApp app;
    auto* frame = new BenchFrame;  // deletes itself with its window
    frame->CreateEx(0, nullptr, L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 20, 20, 1000, 700, nullptr, nullptr);
    app.m_pMainWnd = frame;
    frame->tabs.Attach(frame);
    for (int i = 0; i < 50; ++i) {
        auto* child = new CMDIChildWnd;
        wchar_t title[32];
        swprintf(title, 32, L"Page %d", i + 1);
        child->Create(ChildClass(), title, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CRect(i * 4, i * 4, i * 4 + 400, i * 4 + 300), frame, nullptr);
        child->ShowWindow(SW_SHOW);
        child->MDIActivate();
    }
    COXTabWorkspace& strip = *frame->tabs.GetTabCtrl();
    strip.UpdateContents(TRUE, TRUE);
    frame->RecalcLayout();
    Pump();
    std::printf("tab workspace benchmark, %d tabs\n", strip.GetTabCount());

    // The tabs in sight from the first on (the strip scrolls the rest).
    ::SendMessageW(frame->m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(strip.GetTabWindow(0)), 0);
    strip.SetCurSel(0);
    Pump();
    CRect client;
    strip.GetClientRect(&client);
    std::vector<int> visible;
    if (strip.GetItemCount() == 0) return 1;
    for (int i = 0; i < strip.GetItemCount(); ++i) {
        CRect r;
        strip.GetItemRect(i, &r);
        if (r.left >= 0 && r.right < client.right - 40) visible.push_back(i);
    }
    const int runs = 300;
    std::printf("clicks go to the %d tabs in sight\n", static_cast<int>(visible.size()));
    if (visible.size() < 2) return 1;
    for (const wchar_t* look : {L"Classic", L"Office XP", L"Office 2003"}) {
        app.SetCurrentSkin(look);
        Pump();
        const Figures click = Measure(runs, [&](int i) {
            CRect r;
            strip.GetItemRect(visible[static_cast<size_t>(i) % visible.size()], &r);
            const LPARAM at = MAKELPARAM(r.CenterPoint().x, r.CenterPoint().y);
            strip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
            strip.SendMessage(WM_LBUTTONUP, 0, at);
            Pump();
            ::RedrawWindow(frame->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            if (strip.GetCurSel() != visible[static_cast<size_t>(i) % visible.size()]) std::printf("a click missed its tab\n");
        });
        std::printf("%-12ls click on a tab to its child active and painted   median %6.3f ms  p99 %6.3f ms  goal 16 ms\n", look,
                    click.median, click.p99);
        const Figures bare = Measure(runs, [&](int i) {
            ::SendMessageW(frame->m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(strip.GetTabWindow(visible[static_cast<size_t>(i) % visible.size()])), 0);
            Pump();
            ::RedrawWindow(frame->m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        });
        std::printf("%-12ls for comparison: the MDI client's own activation     median %6.3f ms  p99 %6.3f ms\n", look, bare.median, bare.p99);
        const Figures refresh = Measure(runs, [&](int) { strip.UpdateContents(TRUE, FALSE); });
        std::printf("%-12ls the strip's refresh, 50 children                 median %6.3f ms  p99 %6.3f ms  goal 2 ms\n", look,
                    refresh.median, refresh.p99);
    }
    frame->DestroyWindow();
    OleUninitialize();
    return 0;
}
