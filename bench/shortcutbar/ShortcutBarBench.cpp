// Shortcut-bar benchmark: median and 99th percentile, in the Classic, Office XP
// and Office 2003 skins, of
//  - one frame of the expand animation: the headers between two groups moved by
//    one step, the old group's list moved, and the touched band repainted;
//  - one wheel notch over a list of 1,000 items, repaint included;
//  - one hot-tracking move from item to item, repaint included.
// Goals: a frame under 16 ms, the wheel's 99th percentile under 16 ms, a
// hot-tracking move under 4 ms. Run under Wine on a display (Xvfb will do).
#include "BenchTiming.h"
#include "shortcutbar/SHBListCtrl.h"
#include "shortcutbar/ShortcutBar.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"

#include <cstdio>

namespace {

using bench::Figures;
using bench::Measure;
using bench::Now;
using bench::Pump;

HIMAGELIST Squares(int size) {
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 6, 0);
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < 6; ++i) {
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT r{0, 0, size, size};
        HBRUSH brush = CreateSolidBrush(RGB(40 * i, 200 - 30 * i, 120));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        SelectObject(dc, old);
        ImageList_AddMasked(images, bitmap, RGB(255, 0, 255));
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    ReleaseDC(nullptr, screen);
    return images;
}

void Report(const wchar_t* look, const char* what, Figures f, double goal, bool p99Goal) {
    std::printf("%-12ls %-34s median %6.2f ms  p99 %6.2f ms  (goal: %s under %.0f ms)\n", look, what, f.median, f.p99,
                p99Goal ? "p99" : "each", goal);
}

}  // namespace

int main() {
    COXSkinnedApp app;
    OleInitialize(nullptr);
    CWnd frame;
    frame.CreateEx(0, CWnd::RegisterWndClass(0), L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 280, 640, nullptr, nullptr);
    CRect client;
    frame.GetClientRect(&client);
    COXShortcutBar bar;
    bar.Create(&frame, client, SHBS_TRACKHEADERS | SHBS_ANIMATEEXPAND, 100);
    HIMAGELIST large = Squares(32), small = Squares(16);
    HSHBGROUP groups[4]{};
    const wchar_t* names[] = {L"Notes", L"Clips", L"Web", L"Archive"};
    for (int g = 0; g < 4; ++g) {
        SHB_GROUPINFO info;
        info.nMask = SHBIF_TEXT | SHBIF_VIEW;
        info.SetText(names[g]);
        info.nView = g == 1 ? SHB_SMALLICON : SHB_LARGEICON;
        groups[g] = bar.InsertGroup(&info);
        COXSHBListCtrl* list = bar.GetGroupListCtrl(groups[g]);
        list->SetImageList(large, LVSIL_NORMAL);
        list->SetImageList(small, LVSIL_SMALL);
        const int count = g == 1 ? 1000 : 8;
        list->SetRedraw(FALSE);
        for (int i = 0; i < count; ++i) {
            wchar_t text[32];
            swprintf(text, 32, L"Item %d", i + 1);
            list->InsertItem(i, text, i % 6);
        }
        list->SetRedraw(TRUE);
    }
    bar.ExpandGroup(groups[0]);
    Pump();
    COXSHBListCtrl& clips = *bar.GetGroupListCtrl(groups[1]);
    for (const wchar_t* look : {L"Classic", L"Office XP", L"Office 2003"}) {
        app.SetCurrentSkin(look);
        bar.SendMessage(WM_SIZE);
        bar.ExpandGroup(groups[0]);
        bar.UpdateWindow();
        Pump();
        // One animation frame: what a step does, less the pause between steps.
        const CRect child = bar.GetChildWndRect();
        HWND notesList = bar.GetGroupChildWnd(groups[0]);
        Figures frameTimes = Measure(60, [&](int i) {
            CRect band = bar.GetGroupHeaderRect(groups[1]);
            band.top -= 20 * (i % 10);
            band.bottom = band.top + 40 + 20;
            ::MoveWindow(notesList, child.left, child.top, child.Width(), std::max(1, child.Height() - 20 * (i % 10)), TRUE);
            RedrawWindow(bar.m_hWnd, &band, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
            ::UpdateWindow(notesList);
        });
        ::MoveWindow(notesList, child.left, child.top, child.Width(), child.Height(), TRUE);
        Report(look, "expand animation frame", frameTimes, 16, false);
        // The wheel over the long list.
        bar.ExpandGroup(groups[1]);
        bar.UpdateWindow();
        Pump();
        clips.SetFocus();
        Figures wheel = Measure(200, [&](int i) {
            const int direction = (i / 50) % 2 ? 1 : -1;
            clips.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(direction * WHEEL_DELTA)), 0);
            clips.UpdateWindow();
        });
        Report(look, "wheel notch, 1,000-item list", wheel, 16, true);
        // Hot tracking from item to item under the cursor.
        clips.Scroll(0, -1000000);
        clips.UpdateWindow();
        Figures hot = Measure(100, [&](int i) {
            const CRect icon = clips.GetItemIconRect(i % 12);
            CPoint at = icon.CenterPoint();
            clips.ClientToScreen(&at);
            SetCursorPos(at.x, at.y);
            const double start = Now();
            clips.SendMessage(WM_MOUSEMOVE, 0, 0);
            clips.UpdateWindow();
            return Now() - start;
        });
        Report(look, "hot-tracking move", hot, 4, false);
        bar.ExpandGroup(groups[0]);
    }
    bar.DestroyWindow();
    frame.DestroyWindow();
    ImageList_Destroy(large);
    ImageList_Destroy(small);
    OleUninitialize();
    return 0;
}
