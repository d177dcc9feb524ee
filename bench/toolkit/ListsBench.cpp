// Lists benchmark: median and 99th percentile of
//  - filling the font list box with every font of the display (enumerating,
//    sorting, one font and one measured item per face);
//  - filling it with 500 faces from a font source of the benchmark's own
//    (names the font mapper does not know, so each maps to a stand-in);
//  - one step of the status bar's progress pane, painted at once.
// Goals: a fill under 100 ms, a progress step under 2 ms. Run under Wine on a display.
#include "BenchTiming.h"
#include "bars/SkinnedStatusBar.h"
#include "lists/FontListBox.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"
#include "wnd/FrameWnd.h"

#include <cstdio>

namespace {

using bench::Measure;
using bench::Pump;

class MadeFonts : public COXFontListBox {
protected:
    void EnumerateFonts(HDC, const FontSink& sink) override {
        for (int i = 0; i < 500; ++i) {
            LOGFONTW lf{};
            swprintf(lf.lfFaceName, LF_FACESIZE, L"Made Face %03d", (i * 7919) % 500);
            lf.lfCharSet = ANSI_CHARSET;
            sink(lf, i % 3 ? TRUETYPE_FONTTYPE : RASTER_FONTTYPE);
        }
    }
};

}  // namespace

int main() {
    COXSkinnedApp app;
    auto* frame = new CFrameWnd;
    frame->CreateEx(0, nullptr, L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 700, 500, nullptr, nullptr);
    app.m_pMainWnd = frame;
    const int runs = 30;
    std::printf("lists benchmark, %d runs each, goals: a fill under 100 ms, a progress step under 2 ms\n", runs);

    const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER;
    COXFontListBox system;
    system.CreateEx(0, L"LISTBOX", L"", style, CRect(10, 10, 250, 400), frame, 1);
    MadeFonts made;
    made.CreateEx(0, L"LISTBOX", L"", style, CRect(260, 10, 500, 400), frame, 2);
    Pump();
    const auto fillSystem = Measure(runs, [&](int) { system.FillFontList(); });
    std::printf("font list box, every font of the display (%3d faces)  median %7.3f ms  p99 %7.3f ms\n", system.GetCount(),
                fillSystem.median, fillSystem.p99);
    const auto fillMade = Measure(runs, [&](int) { made.FillFontList(); });
    std::printf("font list box, 500 made faces (%3d listed)            median %7.3f ms  p99 %7.3f ms\n", made.GetCount(),
                fillMade.median, fillMade.p99);

    COXStatusBar bar;
    bar.Create(frame);
    const UINT panes[] = {ID_SEPARATOR, 100, ID_INDICATOR_CAPS};
    bar.SetIndicators(panes, 3);
    bar.SetPaneInfo(1, 100, SBPS_NORMAL, 150);
    bar.SetUpBar(1, TRUE);
    frame->RecalcLayout();
    Pump();
    for (const wchar_t* look : {L"Classic", L"Office XP", L"Office 2003"}) {
        app.SetCurrentSkin(look);
        Pump();
        const auto step = Measure(runs * 10, [&](int i) {
            bar.SetBarProgress(1, 300, static_cast<DWORD>(i % 300));
            bar.UpdateWindow();
        });
        std::printf("progress pane step, painted, %-11ls               median %7.3f ms  p99 %7.3f ms\n", look, step.median, step.p99);
    }
    app.m_pMainWnd = nullptr;
    frame->DestroyWindow();
    return 0;
}
