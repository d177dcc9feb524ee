// Menu benchmark: median and 99th percentile of
//  - opening a 30-item bitmap popup menu: extents, measuring and painting
//    every item (image, text, shortcut) into a memory bitmap, in the
//    Classic, Office XP and Office 2003 skins;
//  - the colour picker's first paint: a new 20-colour picker created, laid
//    out, shown and painted.
// Goal: each under 16 ms. Run under Wine on a display (Xvfb will do).
#include "BenchTiming.h"
#include "bars/BitmapMenu.h"
#include "bars/ColorPickerCtrl.h"
#include "gdi/BufferedPaint.h"
#include "gdi/ImageList.h"
#include "skins/MenuSkin.h"
#include "skins/Skin.h"
#include "skins/ToolbarSkin.h"
#include "wnd/FrameWnd.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

using bench::Figures;
using bench::Measure;
using bench::Now;
using bench::Pump;

}  // namespace

int main() {
    COXSkinnedApp app;
    auto* frame = new CFrameWnd;
    frame->CreateEx(0, nullptr, L"bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 800, 600, nullptr, nullptr);
    app.m_pMainWnd = frame;

    CImageList images;
    images.Create(16, 15, ILC_COLOR24 | ILC_MASK, 30, 0);
    HDC screen = GetDC(nullptr);
    for (int i = 0; i < 30; ++i) {
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 15);
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT r{0, 0, 16, 15};
        HBRUSH brush = CreateSolidBrush(RGB(i * 8, 255 - i * 8, 128));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        SelectObject(dc, old);
        DeleteDC(dc);
        images.Add(bitmap, RGB(255, 255, 255));
        DeleteObject(bitmap);
    }
    ReleaseDC(nullptr, screen);

    std::vector<std::unique_ptr<COXImageInfo>> infos;
    std::vector<COXItemInfo*> items;
    COXBitmapMenu menu(CreatePopupMenu());
    for (int i = 0; i < 30; ++i) {
        infos.push_back(std::make_unique<COXImageInfo>(images.m_hImageList, i, FALSE, -1));
        wchar_t text[64];
        swprintf(text, 64, L"Menu command &%d\tCtrl+%d", i, i);
        COXItemInfo* item = menu.AddItemInfo(std::make_unique<COXItemInfo>(infos.back().get(), text));
        items.push_back(item);
        AppendMenuW(menu.m_hMenu, MF_OWNERDRAW | (i % 7 == 3 ? MF_GRAYED : 0), 40000u + static_cast<UINT>(i),
                    reinterpret_cast<const wchar_t*>(item));
    }
    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    HDC screenDc = GetDC(nullptr);
    HBITMAP canvas = CreateCompatibleBitmap(screenDc, 400, 30 * 40);
    ReleaseDC(nullptr, screenDc);
    HGDIOBJ oldBitmap = memory.SelectObject(canvas);

    const int runs = 200;
    std::printf("menu benchmark, %d runs each, goal: median and p99 under 16 ms\n", runs);
    for (const wchar_t* skin : {L"Classic", L"Office XP", L"Office 2003"}) {
        app.SetCurrentSkin(skin);
        const Figures open = Measure(runs, [&](int run) {
            menu.CalcExtents();
            int top = 0;
            for (int i = 0; i < 30; ++i) {
                MEASUREITEMSTRUCT measure{};
                measure.CtlType = ODT_MENU;
                measure.itemID = 40000u + static_cast<UINT>(i);
                MENUITEMINFOW info{};
                info.cbSize = sizeof(info);
                info.fMask = MIIM_DATA;
                GetMenuItemInfoW(menu.m_hMenu, static_cast<UINT>(i), TRUE, &info);
                measure.itemData = info.dwItemData;
                menu.MeasureItem(&measure);
                DRAWITEMSTRUCT draw{};
                draw.CtlType = ODT_MENU;
                draw.itemID = measure.itemID;
                draw.itemData = info.dwItemData;
                draw.itemAction = ODA_DRAWENTIRE;
                draw.itemState = (i == run % 30 ? ODS_SELECTED : 0) | (i % 7 == 3 ? ODS_DISABLED : 0);
                draw.hDC = memory;
                draw.rcItem = CRect(0, top, static_cast<int>(measure.itemWidth), top + static_cast<int>(measure.itemHeight));
                menu.DrawItem(&draw);
                top += static_cast<int>(measure.itemHeight);
            }
        });
        std::printf("30-item bitmap popup, measure and paint, %-11ls median %6.3f ms  p99 %6.3f ms\n", skin, open.median, open.p99);
        const Figures extents = Measure(runs, [&](int) { menu.CalcExtents(); });
        std::printf("  of which the extents (every text measured)                median %6.3f ms  p99 %6.3f ms\n", extents.median, extents.p99);
        // The share of the item backgrounds (the 2003 look fills its image column with a gradient).
        COXMenuSkin* menuSkin = COXBitmapMenu::GetMenuSkin();
        const Figures backgrounds = Measure(runs, [&](int) {
            for (int i = 0; i < 30; ++i) {
                const CRect item(0, i * 22, 300, i * 22 + 22), image(2, i * 22 + 2, 22, i * 22 + 20);
                menuSkin->DrawBackground(&memory, 0, infos[static_cast<size_t>(i)].get(), item, image, &menu);
            }
        });
        std::vector<CString> labels;
        for (const auto& item : items) labels.push_back(item->text);
        const Figures texts = Measure(runs, [&](int) {
            for (int i = 0; i < 30; ++i) {
                const CRect text(30, i * 22, 200, i * 22 + 22), shortcut(200, i * 22, 290, i * 22 + 22);
                menuSkin->DrawText(&memory, 0, labels[static_cast<size_t>(i)], text, shortcut);
            }
        });
        std::printf("  of which the 30 texts and shortcuts                       median %6.3f ms  p99 %6.3f ms\n", texts.median, texts.p99);
        // As an item draws them: into its off-screen copy of the item's rectangle.
        const Figures pictures = Measure(runs, [&](int) {
            for (int i = 0; i < 30; ++i) {
                CBufferedArea buffer(memory, CRect(0, i * 22, 300, i * 22 + 22));
                CDC itemDc;
                itemDc.Attach(buffer.Dc());
                menuSkin->DrawImage(&itemDc, 0, infos[static_cast<size_t>(i)].get(), CRect(3, i * 22 + 3, 19, i * 22 + 18));
                itemDc.Detach();
            }
        });
        std::printf("  of which the 30 images                                    median %6.3f ms  p99 %6.3f ms\n", pictures.median, pictures.p99);
        std::printf("  of which the 30 item backgrounds                          median %6.3f ms  p99 %6.3f ms\n", backgrounds.median,
                    backgrounds.p99);
    }
    memory.SelectObject(oldBitmap);
    DeleteObject(canvas);
    DestroyMenu(menu.Detach());

    app.SetCurrentSkin(L"Classic");
    CRect button(100, 100, 123, 122);
    // Each picker is destroyed after its figure is taken: closing it is not part of its first paint.
    std::unique_ptr<COXColorPickerCtrl> shown;
    const Figures picker = Measure(runs, [&](int) {
        shown.reset();
        auto ctrl = std::make_unique<COXColorPickerCtrl>(20, 4, static_cast<DWORD>(-1), 18, 18, 26536, 26537);
        const double start = bench::Now();
        ctrl->Create(frame, POPUPBAR_NOTEAROFF);
        DWORD colors[20];
        for (int i = 0; i < 20; ++i) colors[i] = COXColorPickerCtrl::BuiltInColor(i);
        ctrl->SetButtons(colors, 20);
        ctrl->SetDefaultColor(0x800000);
        ctrl->CalcLayout();
        const CRect r = ctrl->GetWindowRectangle();
        ctrl->SetWindowPos(nullptr, button.left, button.bottom, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        RedrawWindow(ctrl->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        shown = std::move(ctrl);
        return bench::Now() - start;
    });
    shown.reset();
    std::printf("colour picker first paint (create, lay out, show, paint) median %6.3f ms  p99 %6.3f ms\n", picker.median, picker.p99);
    frame->DestroyWindow();
    Pump();
    return 0;
}
