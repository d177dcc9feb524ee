// Shortcut-bar benchmark: median and 99th percentile, in the Classic, Office XP
// and Office 2003 skins, of
//  - one frame of the expand animation: the headers between two groups moved by
//    one step, the old group's list moved, and the touched band repainted;
//  - one wheel notch over a list of 1,000 items, repaint included;
//  - one hot-tracking move from item to item, repaint included.
// Goals: a frame under 16 ms, the wheel's 99th percentile under 16 ms, a
// hot-tracking move under 4 ms. Beside them, a full repaint of the long list, and
// a bare Win32 window doing the same painting, scrolling and two-item repaint with
// none of our code: Wine's own share. (The bare window paints on a device-dependent
// bitmap, as a plain program would; the list's canvases are DIB sections, on which Wine
// draws image-list icons several times faster.) Run under Wine on a display (Xvfb will do).
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

void Inform(const wchar_t* look, const char* what, Figures f) {
    std::printf("%-12ls %-34s median %6.2f ms  p99 %6.2f ms\n", look, what, f.median, f.p99);
}

// The baseline: a bare window the list's size, painted by a few lines of plain Win32 the
// way the list paints (a fill, then per item an off-screen bitmap with an icon and a label
// copied to the screen), none of our code in the way: what Wine and the X server cost.
constexpr int kBareItemHeight = 58;
HIMAGELIST g_bareImages = nullptr;

LRESULT CALLBACK BareProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;
    if (message != WM_PAINT) return DefWindowProcW(wnd, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    RECT client;
    GetClientRect(wnd, &client);
    HBRUSH back = CreateSolidBrush(RGB(128, 128, 128));
    FillRect(dc, &ps.rcPaint, back);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, kBareItemHeight);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SelectObject(memory, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(memory, TRANSPARENT);
    const int first = ps.rcPaint.top / kBareItemHeight, last = ps.rcPaint.bottom / kBareItemHeight;
    for (int i = first; i <= last; ++i) {
        RECT r{0, 0, client.right, kBareItemHeight - 6};
        FillRect(memory, &r, back);
        ImageList_Draw(g_bareImages, i % 6, memory, (client.right - 32) / 2, 4, ILD_TRANSPARENT);
        RECT label{0, 40, client.right, kBareItemHeight - 6};
        DrawTextW(memory, L"Item", 4, &label, DT_CENTER | DT_SINGLELINE);
        BitBlt(dc, 0, i * kBareItemHeight, client.right, kBareItemHeight - 6, memory, 0, 0, SRCCOPY);
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    DeleteObject(back);
    EndPaint(wnd, &ps);
    return 0;
}

void Baseline(const CRect& screenRect, HIMAGELIST images) {
    g_bareImages = images;
    WNDCLASSW wc{};
    wc.lpfnWndProc = BareProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ShortcutBarBenchBare";
    RegisterClassW(&wc);
    HWND bare = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, screenRect.left, screenRect.top, screenRect.Width(),
                                screenRect.Height(), nullptr, nullptr, wc.hInstance, nullptr);
    UpdateWindow(bare);
    Pump();
    const wchar_t* look = L"bare window";
    Inform(look, "full repaint (baseline)", Measure(200, [&](int) {
        InvalidateRect(bare, nullptr, FALSE);
        UpdateWindow(bare);
    }));
    Inform(look, "scroll by 3 items (baseline)", Measure(200, [&](int i) {
        ScrollWindowEx(bare, 0, ((i / 50) % 2 ? 1 : -1) * 3 * kBareItemHeight, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
        UpdateWindow(bare);
    }));
    Inform(look, "two items repainted (baseline)", Measure(200, [&](int i) {
        RECT a{0, (i % 8) * kBareItemHeight, screenRect.Width(), (i % 8) * kBareItemHeight + 52};
        RECT b{0, ((i + 1) % 8) * kBareItemHeight, screenRect.Width(), ((i + 1) % 8) * kBareItemHeight + 52};
        InvalidateRect(bare, &a, FALSE);
        InvalidateRect(bare, &b, FALSE);
        UpdateWindow(bare);
    }));
    DestroyWindow(bare);
    Pump();
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
        // What the paths above avoid: the whole list painted again.
        Inform(look, "full repaint of the list", Measure(100, [&](int) {
            clips.Invalidate(FALSE);
            clips.UpdateWindow();
        }));
        bar.ExpandGroup(groups[0]);
    }
    CRect listOnScreen;
    clips.GetWindowRect(&listOnScreen);
    Baseline(listOnScreen, large);
    bar.DestroyWindow();
    frame.DestroyWindow();
    ImageList_Destroy(large);
    ImageList_Destroy(small);
    OleUninitialize();
    return 0;
}
