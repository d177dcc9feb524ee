// The bitmap-menu organizer on a real frame with a real menu and the images
// of a toolbar resource: conversion of popups, recently-used filtering and
// expansion, mnemonics and measuring through the frame, commands that un-hide
// items, the recently-used submenus in the profile (also hostile), and a
// popup tracked by the system so that its items are measured and drawn.
#include "ToolkitFixture.h"

#include "Random.h"
#include "bars/BarArchive.h"
#include "bars/BitmapMenuOrganizer.h"

#include <vector>

namespace {

class MenuFrame : public CFrameWnd {
public:
    int ruChanged = 0;
    std::vector<UINT> menuMessages;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_BITMAPMENU_RUITEMSCHANGED: ++ruChanged; break;
        case WM_INITMENUPOPUP:
        case WM_MENUSELECT:
        case WM_ENTERIDLE:
        case WM_ENTERMENULOOP:
        case WM_EXITMENULOOP:
        case WM_MEASUREITEM:
        case WM_DRAWITEM:
            if (menuMessages.empty() || menuMessages.back() != message) menuMessages.push_back(message);
            break;
        default: break;
        }
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }
};

const CString kLong = CString(L'x', 500) + L"\tCtrl+L";

class Organizer : public ::testing::Test {
protected:
    Organizer() {
        app.m_pMainWnd = frame;
        HMENU bar = CreateMenu();
        file = CreatePopupMenu();
        more = CreatePopupMenu();
        AppendMenuW(more, MF_STRING, 40005, L"Fifth");
        AppendMenuW(file, MF_STRING, 40001, L"&First\tCtrl+F");
        AppendMenuW(file, MF_STRING, 40002, L"&Second");
        AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(file, MF_STRING, 40003, L"&Third");
        AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(file, MF_STRING, 40004, kLong);
        AppendMenuW(file, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(more), L"&More");
        AppendMenuW(file, MF_STRING, 40006, L"&Not on the bar");
        AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(file), L"&File");
        frame->SetMenu(bar);
    }
    ~Organizer() override { app.m_pMainWnd = nullptr; }

    LRESULT Init(HMENU popup) { return frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0); }
    COXItemInfo* Item(HMENU menu, int position) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA;
        GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
        return reinterpret_cast<COXItemInfo*>(info.dwItemData);
    }
    CString Text(HMENU menu, int position) {
        const int length = GetMenuStringW(menu, static_cast<UINT>(position), nullptr, 0, MF_BYPOSITION);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        GetMenuStringW(menu, static_cast<UINT>(position), text.data(), length + 1, MF_BYPOSITION);
        text.resize(static_cast<size_t>(length));
        return CString(text);
    }

    TestApp<CWinApp> app{L"OrganizerTests"};
    MenuFrame* frame = new MenuFrame;
    BarFrameFixture fixture{frame};
    HMENU file = nullptr, more = nullptr;
    COXBitmapMenuOrganizer organizer;
};

TEST_F(Organizer, TakesImagesFromTheToolbarAndConvertsPopupsWhenTheyOpen) {
    ASSERT_TRUE(organizer.AttachFrameWnd(frame));
    EXPECT_FALSE(organizer.AttachFrameWnd(frame));
    EXPECT_EQ(COXBitmapMenuOrganizer::FindOrganizer(frame->m_hWnd), &organizer);
    ASSERT_TRUE(organizer.AutoSetMenuImages());
    COXImageInfo* third = organizer.GetImageInfo(40003);
    ASSERT_NE(third, nullptr);
    EXPECT_FALSE(third->defaultImage);
    EXPECT_EQ(third->imageIndex, 2);
    EXPECT_EQ(third->ImageSize().cx, 16);
    EXPECT_EQ(organizer.GetImageInfo(40006), nullptr);

    organizer.ShowOnlyRecentlyUsedItems(FALSE);
    Init(file);
    COXBitmapMenu* menu = organizer.FindConverted(file);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(file), 8);  // nothing hidden: no expand item
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(GetMenuState(file, static_cast<UINT>(i), MF_BYPOSITION) & MF_OWNERDRAW) << i;
    EXPECT_EQ(Item(file, 0)->imageInfo, organizer.GetImageInfo(40001));
    EXPECT_TRUE(Item(file, 7)->imageInfo->defaultImage);  // a command on no bar: the check image
    // The check images are entered under the command's key; separators carry the image info of id 0.
    const CImageList* check = organizer.GetImageList(COXBitmapMenuOrganizer::MakeImageKey(GetMenuItemID(file, 7), FALSE));
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->m_hImageList, Item(file, 7)->imageInfo->imageList);
    for (int i = 0; i < 8; ++i) {
        if (GetMenuItemID(file, static_cast<UINT>(i)) != 0) continue;
        EXPECT_EQ(Item(file, i)->imageInfo, organizer.GetImageInfo(0)) << i;
    }
    EXPECT_EQ(Item(file, 5)->text, kLong);                // long texts are taken whole
    EXPECT_EQ(menu->GetImageColumnWidth(), std::max(16, COXBitmapMenu::GetMenuSkin()->GetMetrics()[8]));

    // Measuring and mnemonics go through the frame.
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemID = 40001;
    measure.itemData = reinterpret_cast<ULONG_PTR>(Item(file, 0));
    EXPECT_TRUE(frame->SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
    EXPECT_GT(measure.itemHeight, 15u);
    EXPECT_GT(static_cast<int>(measure.itemWidth), menu->GetTextWidth());
    EXPECT_EQ(frame->SendMessage(WM_MENUCHAR, MAKEWPARAM(L't', MF_POPUP), reinterpret_cast<LPARAM>(file)), MAKELONG(3, MNC_EXECUTE));
    EXPECT_EQ(frame->SendMessage(WM_MENUCHAR, MAKEWPARAM(L'q', MF_POPUP), reinterpret_cast<LPARAM>(file)), 0);

    // A command-UI handler's text reaches the owner-drawn item.
    CBitmapMenuCmdUI state;
    state.m_hMenu = file;
    state.m_nIndex = 1;
    state.SetText(L"Second again");
    EXPECT_EQ(Item(file, 1)->text, L"Second again");

    // Detaching turns the menus back into plain ones with their texts.
    EXPECT_EQ(organizer.DetachFrameWnd(), frame);
    EXPECT_FALSE(GetMenuState(file, 0, MF_BYPOSITION) & MF_OWNERDRAW);
    EXPECT_EQ(Text(file, 5), kLong);
    EXPECT_EQ(Text(file, 1), L"Second again");
    EXPECT_EQ(COXBitmapMenuOrganizer::FindOrganizer(frame->m_hWnd), nullptr);
}

TEST_F(Organizer, RecentlyUsedMenusHideExpandAndFilterAgain) {
    ASSERT_TRUE(organizer.AttachFrameWnd(frame));
    organizer.AutoSetMenuImages();
    organizer.HideCommand(40002);
    organizer.HideCommand(40003);
    Init(file);
    // First, separator, the long item, More, Not on the bar, expand: no separator twice, none on top.
    ASSERT_EQ(GetMenuItemCount(file), 6);
    EXPECT_EQ(GetMenuItemID(file, 0), 40001u);
    EXPECT_TRUE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(file, 2), 40004u);
    EXPECT_EQ(GetSubMenu(file, 3), more);
    EXPECT_EQ(GetMenuItemID(file, 5), ID_BITMAPMENU_EXPAND);
    EXPECT_EQ(frame->SendMessage(WM_MENUCHAR, MAKEWPARAM(L'n', MF_POPUP), reinterpret_cast<LPARAM>(file)), MAKELONG(4, MNC_EXECUTE));

    // The expand command shows the whole menu until the menu loop ends.
    frame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, MF_HILITE), reinterpret_cast<LPARAM>(file));  // binds the popup to its window
    frame->SendMessage(WM_COMMAND, ID_BITMAPMENU_EXPAND, 0);
    EXPECT_TRUE(organizer.IsExpanded());
    EXPECT_EQ(GetMenuItemCount(file), 8);
    EXPECT_EQ(Text(file, 1), L"&Second");
    EXPECT_EQ(Text(file, 5), kLong);
    Init(file);
    EXPECT_EQ(GetMenuItemCount(file), 8);  // expanded: nothing filtered
    frame->SendMessage(WM_EXITMENULOOP, 0, 0);
    EXPECT_FALSE(organizer.IsExpanded());
    PumpMessages();

    // Using a hidden command shows it from then on, and the frame hears of it.
    Init(file);
    EXPECT_EQ(GetMenuItemCount(file), 6);
    frame->SendMessage(WM_COMMAND, 40003, 0);
    EXPECT_TRUE(organizer.IsCommandShown(40003));
    EXPECT_EQ(frame->ruChanged, 1);
    frame->SendMessage(WM_EXITMENULOOP, 0, 0);
    organizer.Empty(TRUE);
    Init(file);
    EXPECT_EQ(GetMenuItemCount(file), 8);  // all but Second, and the expand item
    EXPECT_EQ(GetMenuItemID(file, 2), 40003u);
}

TEST_F(Organizer, HiddenSubmenusRoundTripThroughTheProfileAndHostileDataLoadsAsDefaults) {
    ASSERT_TRUE(organizer.AttachFrameWnd(frame));
    HMENU root = frame->GetMenu();
    organizer.HideSubmenu(more);
    frame->SendMessage(WM_BITMAPMENU_SAVERUITEMS, reinterpret_cast<WPARAM>(root), reinterpret_cast<LPARAM>(L"Main"));
    organizer.ShowSubmenu(more);
    EXPECT_TRUE(organizer.IsSubmenuShown(more));
    frame->SendMessage(WM_BITMAPMENU_LOADRUITEMS, reinterpret_cast<WPARAM>(root), reinterpret_cast<LPARAM>(L"Main"));
    EXPECT_FALSE(organizer.IsSubmenuShown(more));
    std::vector<BYTE> stored;
    ASSERT_TRUE(app.GetProfileBinary(L"Main_RecentlyUsedSubmenuItems", L"RUContents", stored));
    EXPECT_EQ(stored.size(), 16u);  // count, the path 0 then 6, terminator

    // Hidden commands: a count larger than the data holds hides nothing.
    CBarArchiveWriter commands;
    commands.WriteInt(0x7FFFFFFF);
    commands.WriteInt(40001);
    CBarArchiveReader commandReader(commands.Bytes());
    organizer.HideCommand(40002);
    organizer.LoadHiddenCommands(commandReader);
    EXPECT_TRUE(organizer.IsCommandShown(40001));
    EXPECT_TRUE(organizer.IsCommandShown(40002));

    // Hostile blobs and sizes: no crash, and only real submenus of the root are hidden.
    Random random(2024);
    for (int run = 0; run < 200; ++run) {
        std::string bytes = random.AnyBytes(0, 64);
        if (random.Chance(40)) {
            // Mostly well formed: small counts and positions.
            CBarArchiveWriter out;
            const int count = random.Int(-2, 4);
            out.WriteInt(count);
            for (int i = 0; i < random.Int(0, 6); ++i) out.WriteInt(random.Chance(30) ? -1 : random.Int(-3, 9));
            bytes.assign(out.Bytes().begin(), out.Bytes().end());
        }
        std::vector<BYTE> blob(bytes.begin(), bytes.end());
        app.WriteProfileBinary(L"RecentlyUsedSubmenuItems", L"RUContents", blob.data(), static_cast<UINT>(blob.size()));
        app.WriteProfileInt(L"RecentlyUsedSubmenuItems", L"RUItemsDataSize", random.Int(-5, 100000));
        organizer.ShowSubmenu(more);
        organizer.LoadRUItems(root, L"");
        for (HMENU hidden : organizer.GetHiddenSubmenus()) EXPECT_TRUE(hidden == file || hidden == more) << "seed 2024 run " << run;
    }
}

// The system tracks a converted popup: it measures and draws its items
// through the frame and, in the Office XP look, the popup window is the
// skin's (the menu window class of this instance is taken over).
struct TrackingProbe {
    bool popupFound = false;
    bool popupIsSkinned = false;
    COLORREF itemPixel = CLR_INVALID;
    COLORREF framePixel = CLR_INVALID;
};
TrackingProbe g_probe;

class CountingOrganizer : public COXBitmapMenuOrganizer {
public:
    int measured = 0;
    BOOL OnMeasureItem(int controlId, MEASUREITEMSTRUCT* measure) override {
        ++measured;
        return COXBitmapMenuOrganizer::OnMeasureItem(controlId, measure);
    }
};

VOID CALLBACK EndTracking(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (HWND popup = FindWindowW(L"#32768", nullptr)) {
        g_probe.popupFound = true;
        COXBitmapMenu* menu = COXBitmapMenu::FromPopupWindow(popup);
        g_probe.popupIsSkinned = menu && menu->GetPopupWndStack().Find(popup);
        RECT client;
        GetClientRect(popup, &client);
        HDC dc = GetDC(popup);
        g_probe.itemPixel = GetPixel(dc, client.right - 12, 4);
        ReleaseDC(popup, dc);
        HDC window = GetWindowDC(popup);
        g_probe.framePixel = GetPixel(window, 0, 10);
        ReleaseDC(popup, window);
        SendMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
    }
    EndMenu();
}

TEST(OrganizerTracking, TheSystemMeasuresAndDrawsConvertedItems) {
    TestApp<COXSkinnedApp> app{L"OrganizerTracking"};
    ASSERT_TRUE(app.SetCurrentSkin(L"Office XP"));
    auto* frame = new MenuFrame;
    BarFrameFixture fixture{frame};
    app.m_pMainWnd = frame;
    HMENU bar = CreateMenu(), popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, 40001, L"&First");
    AppendMenuW(popup, MF_STRING, 40002, L"&Second");
    AppendMenuW(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), L"&File");
    frame->SetMenu(bar);
    CountingOrganizer organizer;
    organizer.ShowOnlyRecentlyUsedItems(FALSE);
    ASSERT_TRUE(organizer.AttachFrameWnd(frame));
    organizer.AutoSetMenuImages();
    SetForegroundWindow(frame->m_hWnd);
    g_probe = TrackingProbe{};
    SetTimer(nullptr, 0, 300, &EndTracking);
    TrackPopupMenu(popup, TPM_LEFTALIGN, 200, 200, 0, frame->m_hWnd, nullptr);
    PumpMessages();
    EXPECT_GE(organizer.measured, 2);
    EXPECT_TRUE(g_probe.popupFound);
    auto* xp = dynamic_cast<COXSkinXP*>(app.GetCurrentSkin());
    EXPECT_TRUE(g_probe.popupIsSkinned);
    EXPECT_EQ(g_probe.itemPixel, xp->GetColor(4));   // an item drawn by the skin
    EXPECT_EQ(g_probe.framePixel, xp->GetColor(5));  // the flat frame of the popup window
    app.m_pMainWnd = nullptr;
}

}  // namespace

namespace {

CRect g_popupRect;
VOID CALLBACK RecordAndEnd(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (HWND popup = FindWindowW(L"#32768", nullptr)) GetWindowRect(popup, &g_popupRect);
    EndMenu();
}

// A bitmap menu dropped from a toolbar button in the Office 2003 look opens
// below the button while the shadowed item window covers the button.
TEST(BarPopup, OpensBelowItsButton) {
    TestApp<COXSkinnedApp> app{L"BarPopup"};
    ASSERT_TRUE(app.SetCurrentSkin(L"Office 2003"));
    BarFrameFixture fixture;
    app.m_pMainWnd = fixture.frame;
    COXBitmapMenu menu(CreatePopupMenu());
    AppendMenuW(menu.m_hMenu, MF_STRING, 40001, L"One");
    AppendMenuW(menu.m_hMenu, MF_STRING, 40002, L"Two");
    fixture.bar.SendMessage(TB_PRESSBUTTON, 40002, TRUE);
    CRect button;
    fixture.bar.GetItemRect(1, &button);
    fixture.bar.ClientToScreen(&button);
    g_popupRect = CRect();
    SetForegroundWindow(fixture.frame->m_hWnd);
    SetTimer(nullptr, 0, 300, &RecordAndEnd);
    menu.TrackPopupMenu(&fixture.bar, fixture.frame);
    PumpMessages();
    EXPECT_TRUE(menu.GetExcludeRect().IsRectEmpty());  // emptied when tracking ends
    ASSERT_FALSE(g_popupRect.IsRectEmpty());
    EXPECT_EQ(g_popupRect.left, button.left);
    EXPECT_GE(g_popupRect.top, button.bottom - 1);
    app.m_pMainWnd = nullptr;
    DestroyMenu(menu.Detach());
}

}  // namespace
