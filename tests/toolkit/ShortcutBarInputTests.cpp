// The shortcut-bar host driven by the real mouse and keyboard: groups expanded
// by click and by hovering, a long list scrolled by its buttons and the wheel,
// hot-tracking, items dragged within a list, headers dragged onto others, headers
// and items renamed in place (Enter, Escape, a click elsewhere), the context
// menu's commands, and what the owner is told on the way. Screenshots in the
// three looks, with pixel checks of headers, items, title band and buttons.
#include "DockingHost.h"
#include "ShortcutBarHost.h"

#include <thread>

namespace {

constexpr DWORD kHostStyle = SHBS_EDITHEADERS | SHBS_EDITITEMS | SHBS_TRACKHEADERS | SHBS_ANIMATEEXPAND | SHBS_AUTOEXPAND |
                             SHBS_SHOWACTIVEALWAYS | SHBS_UNDERLINEHOTITEM | SHBS_BOLDEXPANDEDGROUP;

CPoint OnScreen(CWnd& wnd, CPoint client) {
    wnd.ClientToScreen(&client);
    return client;
}

CPoint Header(COXShortcutBar& bar, HSHBGROUP group) { return OnScreen(bar, bar.GetGroupHeaderRect(group).CenterPoint()); }
CPoint ItemIcon(COXSHBListCtrl& list, int item) { return OnScreen(list, list.GetItemIconRect(item).CenterPoint()); }

void Key(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof(input));
    Sleep(15);
}
void Press(WORD vk) { Key(vk, false), Key(vk, true); }
void Type(const wchar_t* text) {
    for (; *text; ++text) {
        const SHORT scan = VkKeyScanW(*text);
        if (HIBYTE(scan) & 1) Key(VK_SHIFT, false);
        Press(LOBYTE(scan));
        if (HIBYTE(scan) & 1) Key(VK_SHIFT, true);
    }
}
void Wheel(int notches) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    input.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
    SendInput(1, &input, sizeof(input));
    Sleep(40);
}
void RightClick(CPoint at) {
    mouse::MoveTo(at);
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, input, sizeof(INPUT));
    Sleep(400);
}

bool Contains(const std::vector<UINT>& codes, UINT code) { return std::find(codes.begin(), codes.end(), code) != codes.end(); }

// A screen pixel.
COLORREF ScreenPixel(CPoint at) {
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return c;
}

// The window's client area as it stands on the screen.
std::vector<BYTE> ClientPixels(CWnd& wnd) {
    CRect r;
    wnd.GetClientRect(&r);
    r.OffsetRect(OnScreen(wnd, CPoint()));
    return ScreenPixels(r);
}

}  // namespace

TEST(ShortcutBarInput, GroupsExpandListsScrollItemsTrackAndNamesChangeInPlace) {
    TestApp<COXSkinnedApp> app{L"ShortcutBarInput"};
    app.SetCurrentSkin(L"Classic");
    ShortcutHostWnd host;
    ASSERT_TRUE(host.Build(kHostStyle));
    COXShortcutBar& bar = host.bar;
    HMENU menu = CreateMenu(), file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, 1234, L"&Close");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    ::SetMenu(host.m_hWnd, menu);  // destroyed with the window
    SetForegroundWindow(host.m_hWnd);
    mouse::Pump(100);
    // The menu answers its keys, after an edit as before.
    const DWORD uiThread = GetCurrentThreadId();
    auto menuKeys = [&] {
        host.commands.clear();
        mouse::Run([&] {
            Key(VK_MENU, false);
            Press('F');
            Key(VK_MENU, true);
            Sleep(200);
            Press('C');
            Sleep(200);
            // A key lost under load leaves the menu open, its loop holding the test: close it.
            for (int i = 0; i < 3; ++i) {
                GUITHREADINFO gui{};
                gui.cbSize = sizeof(gui);
                const HWND popup = FindWindowW(L"#32768", nullptr);
                const bool inMenu = (GetGUIThreadInfo(uiThread, &gui) && (gui.flags & GUI_INMENUMODE)) || (popup && IsWindowVisible(popup));
                if (!inMenu) break;
                Press(VK_ESCAPE);
                Sleep(100);
            }
        });
        mouse::Pump(100);
        return host.commands == std::vector<UINT>{1234};
    };

    // A click on a collapsed header expands it on release, the headers sliding over.
    mouse::Click(Header(bar, host.clips));
    EXPECT_EQ(bar.GetExpandedGroup(), host.clips);
    std::vector<UINT> codes = host.TakeCodes();
    const std::vector<UINT> expanding = {SHBN_GROUPEXPANDING, SHBN_GROUPEXPANDED};  // the opened list may turn hot after
    EXPECT_NE(std::search(codes.begin(), codes.end(), expanding.begin(), expanding.end()), codes.end()) << ::testing::PrintToString(codes);
    COXSHBListCtrl& clips = *bar.GetGroupListCtrl(host.clips);
    EXPECT_TRUE(clips.IsWindowVisible());
    EXPECT_FALSE(bar.GetGroupListCtrl(host.notes)->IsWindowVisible());

    // The long list: its down button scrolls an item per click, the up button appears.
    ASSERT_FALSE(clips.GetDownButtonRect().IsRectEmpty());
    const CPoint down = OnScreen(clips, clips.GetDownButtonRect().CenterPoint());
    // Pixel check of the scroll button: the platform's arrow glyph in black, none at the top yet.
    const CRect downOnScreen(OnScreen(clips, clips.GetDownButtonRect().TopLeft()), clips.GetDownButtonRect().Size());
    int black = 0;
    for (int y = downOnScreen.top; y < downOnScreen.bottom; ++y)
        for (int x = downOnScreen.left; x < downOnScreen.right; ++x) black += ScreenPixel(CPoint(x, y)) == RGB(0, 0, 0);
    EXPECT_GE(black, 4);
    mouse::Click(down);
    EXPECT_GT(clips.GetScrollOffset().y, 0);
    EXPECT_FALSE(clips.GetUpButtonRect().IsRectEmpty());
    const int afterClick = clips.GetScrollOffset().y;
    // Held down, the button goes on scrolling every 200 ms.
    mouse::Run([&] {
        mouse::MoveTo(down);
        mouse::Down();
        Sleep(900);
        mouse::Up();
    });
    EXPECT_GT(clips.GetScrollOffset().y, afterClick);
    EXPECT_EQ(::GetCapture(), nullptr);

    // Hot tracking: resting on an item makes it hot; its label is underlined in the look.
    const int visible = clips.SendMessage(LVM_GETTOPINDEX) + 1;
    mouse::Run([&] { mouse::MoveTo(ItemIcon(clips, visible)); });
    mouse::Pump(450);
    EXPECT_EQ(clips.GetHotItem(), visible);
    EXPECT_TRUE(Contains(host.TakeCodes(), SHBN_HOTITEM));

    // A click selects: pressed at the press, selected at the release.
    mouse::Click(ItemIcon(clips, visible));
    EXPECT_EQ(clips.GetSelectedItem(), visible);
    codes = host.TakeCodes();
    auto pressed = std::find(codes.begin(), codes.end(), SHBN_PRESSITEM);
    ASSERT_NE(pressed, codes.end());
    EXPECT_NE(std::find(pressed, codes.end(), SHBN_SELECTITEM), codes.end());

    // The wheel scrolls the list under it.
    const int beforeWheel = clips.GetScrollOffset().y;
    mouse::Run([&] { Wheel(-1); });
    mouse::Pump(450);
    EXPECT_GT(clips.GetScrollOffset().y, beforeWheel);
    // Only the uncovered band was painted: the list must look as it does painted whole.
    const std::vector<BYTE> scrolled = ClientPixels(clips);
    clips.Invalidate(FALSE);
    mouse::Pump(150);
    EXPECT_TRUE(scrolled == ClientPixels(clips));
    mouse::Run([&] { Wheel(30); });
    mouse::Pump(100);
    EXPECT_EQ(clips.GetScrollOffset().y, 0);
    EXPECT_TRUE(clips.GetUpButtonRect().IsRectEmpty());

    // Renaming an item in place: Enter keeps the new text, Escape the old, a click elsewhere accepts.
    ASSERT_TRUE(bar.EditItemLabel(host.clips, 1));
    mouse::Run([&] {
        Press(VK_END);
        Type(L" renamed");
        Press(VK_RETURN);
    });
    EXPECT_EQ(clips.GetItemText(1), L"Clip 2 renamed");
    codes = host.TakeCodes();
    EXPECT_TRUE(Contains(codes, SHBN_BEGINITEMEDIT));
    EXPECT_TRUE(Contains(codes, SHBN_ENDITEMEDIT));
    EXPECT_TRUE(menuKeys());
    ASSERT_TRUE(bar.EditItemLabel(host.clips, 1));
    mouse::Run([&] {
        Type(L"thrown away");
        Press(VK_ESCAPE);
    });
    EXPECT_EQ(clips.GetItemText(1), L"Clip 2 renamed");
    EXPECT_FALSE(Contains(host.TakeCodes(), SHBN_ENDITEMEDIT));
    EXPECT_TRUE(menuKeys());
    ASSERT_TRUE(bar.EditItemLabel(host.clips, 2));
    mouse::Run([&] { Type(L"Kept"); });
    mouse::Click(Header(bar, host.web));  // accepts, and the click goes on to the header
    EXPECT_EQ(clips.GetItemText(2), L"Kept");
    EXPECT_EQ(bar.GetExpandedGroup(), host.web);

    // The context menu over a header: rename the group from it.
    mouse::Run([&] {
        RightClick(Header(bar, host.notes));
        Press('N');  // Re&name Group
        Sleep(150);
        Press(VK_END);
        Type(L" and lists");
        Press(VK_RETURN);
    });
    EXPECT_EQ(bar.GetGroupText(host.notes), L"Notes and lists");
    mouse::Run([&] { mouse::MoveTo(OnScreen(bar, bar.GetChildWndRect().CenterPoint())); });  // off the headers: resting opens them
    EXPECT_TRUE(menuKeys());
    codes = host.TakeCodes();
    EXPECT_TRUE(Contains(codes, SHBN_CONTEXTMENU));
    EXPECT_TRUE(Contains(codes, SHBN_BEGINHEADEREDIT));
    EXPECT_TRUE(Contains(codes, SHBN_ENDHEADEREDIT));

    // A new group from the menu opens its name at once; the view commands switch the list.
    const CPoint webHeader = Header(bar, host.web);
    mouse::Run([&] {
        RightClick(webHeader);
        Press('A');  // &Add New Group
    });
    mouse::Run([&] {
        Type(L"Archive");
        Press(VK_RETURN);
    });
    ASSERT_EQ(bar.GetGroupCount(), 5);
    const HSHBGROUP archive = bar.FindGroupByOrder(4);
    EXPECT_EQ(bar.GetGroupText(archive), L"Archive");
    codes = host.TakeCodes();
    EXPECT_TRUE(Contains(codes, SHBN_INSERTGROUP));
    // The other commands, from a menu the owner takes over (it answers the menu notice): the
    // record names the group under the click and, over an item, the item commands are in it.
    host.answers[SHBN_CONTEXTMENU] = 1;
    auto menuAt = [&](CPoint screen) { bar.SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(bar.m_hWnd), MAKELPARAM(screen.x, screen.y)); };
    menuAt(OnScreen(bar, bar.GetChildWndRect().CenterPoint()));
    bar.SendMessage(WM_COMMAND, SHB_IDMSMALLICON);
    EXPECT_EQ(bar.GetGroupView(host.web), SHB_SMALLICON);
    menuAt(Header(bar, archive));
    bar.SendMessage(WM_COMMAND, SHB_IDMREMOVEGROUP);
    EXPECT_EQ(bar.GetGroupCount(), 4);
    EXPECT_FALSE(bar.IsGroup(archive));
    EXPECT_TRUE(Contains(host.TakeCodes(), SHBN_DELETEGROUP));
    COXSHBListCtrl& web = *bar.GetGroupListCtrl(host.web);
    const int sites = web.GetItemCount();
    mouse::Run([&] { mouse::MoveTo(ItemIcon(web, 0)); });
    mouse::Pump(450);
    EXPECT_EQ(web.GetHotItem(), 0);
    host.log.clear();
    menuAt(ItemIcon(web, 0));
    EXPECT_TRUE(Contains(host.TakeCodes(), SHBN_CONTEXTMENU));
    bar.SendMessage(WM_COMMAND, SHB_IDMREMOVEITEM);
    EXPECT_EQ(web.GetItemCount(), sites - 1);
    EXPECT_EQ(web.GetItemText(0), L"Weather");
    host.answers.clear();

    // Resting on a collapsed header opens it after the hover delay.
    mouse::Run([&] {
        mouse::MoveTo(Header(bar, host.calendar));
        Sleep(1300);
    });
    mouse::Pump(100);
    EXPECT_EQ(bar.GetExpandedGroup(), host.calendar);
    EXPECT_TRUE(::IsWindowVisible(host.calendarChild));
}

TEST(ShortcutBarInput, ItemsAndHeadersDragIntoNewPlaces) {
    TestApp<COXSkinnedApp> app{L"ShortcutBarInput"};
    app.SetCurrentSkin(L"Office XP");
    ShortcutHostWnd host;
    ASSERT_TRUE(host.Build((kHostStyle & ~SHBS_AUTOEXPAND) | SHBS_DRAWITEMDRAGIMAGE));
    COXShortcutBar& bar = host.bar;
    SetForegroundWindow(host.m_hWnd);
    mouse::Pump(100);
    COXSHBListCtrl& notes = *bar.GetGroupListCtrl(host.notes);
    const int count = notes.GetItemCount();

    // The drag image of an item: its icon and label without frames, the background see-through.
    CPoint corner;
    HIMAGELIST dragImage = reinterpret_cast<HIMAGELIST>(notes.SendMessage(LVM_CREATEDRAGIMAGE, 1, reinterpret_cast<LPARAM>(&corner)));
    ASSERT_NE(dragImage, nullptr);
    CRect bounds;
    bounds.UnionRect(notes.GetItemIconRect(1), notes.GetItemLabelRect(1));
    EXPECT_EQ(corner, bounds.TopLeft());
    int cx = 0, cy = 0;
    ImageList_GetIconSize(dragImage, &cx, &cy);
    EXPECT_EQ(CSize(cx, cy), bounds.Size());
    ImageList_Destroy(dragImage);
    EXPECT_EQ(notes.SendMessage(LVM_CREATEDRAGIMAGE, 99, reinterpret_cast<LPARAM>(&corner)), 0);

    // To the end of its own list: one copy at the end, the source gone.
    const CPoint from = ItemIcon(notes, 0);
    CRect client;
    notes.GetClientRect(&client);
    const CPoint end = OnScreen(notes, CPoint(client.Width() / 2, notes.GetItemFullRect(count - 1).bottom + 3));
    ASSERT_LT(notes.GetItemFullRect(count - 1).bottom + 3, client.bottom - 10);
    // On the way, the dragged item's red icon follows the mouse over the list (no other item
    // there is red): it is held where it was grabbed, the move that started the drag above it.
    int reddish = 0;
    mouse::Run([&] {
        mouse::MoveTo(from);
        mouse::Down();
        for (int i = 1; i <= 12; ++i) mouse::MoveTo(CPoint(from.x + (end.x - from.x) * i / 12, from.y + (end.y - from.y) * i / 12));
        Sleep(250);
        for (int y = end.y - 90; y < end.y; y += 2) {
            for (int x = end.x - 24; x < end.x + 24; x += 2) {
                const COLORREF c = ScreenPixel(CPoint(x, y));
                reddish += GetRValue(c) > GetGValue(c) + 60 && GetRValue(c) > GetBValue(c) + 60;
            }
        }
        SaveScreenshot(host, L"shortcutbar-itemdrag");
        mouse::Up();
    });
    EXPECT_GT(reddish, 20);
    mouse::Pump(150);
    ASSERT_EQ(notes.GetItemCount(), count);
    EXPECT_EQ(notes.GetItemText(count - 1), L"Shopping");
    EXPECT_EQ(notes.GetItemText(0), L"Recipes");
    std::vector<UINT> codes = host.TakeCodes();
    for (UINT code : {SHBN_PRESSITEM, SHBN_BEGINDRAGITEM, SHBN_GETDRAGDATA, SHBN_BEGINDRAG, SHBN_DRAGENTER, SHBN_DROP, SHBN_INSERTITEM,
                      SHBN_DELETEITEM, SHBN_DRAGDROPDONE})
        EXPECT_TRUE(Contains(codes, code)) << std::hex << code << " " << ::testing::PrintToString(codes);

    // Onto a collapsed header: resting there opens its group, and the item drops into its list.
    // (The drag begins only while the mouse is still on the pressed item: a first move that
    // leaves it at once starts nothing.)
    COXSHBListCtrl& clips = *bar.GetGroupListCtrl(host.clips);
    const int clipCount = clips.GetItemCount();
    const CPoint recipes = ItemIcon(notes, 0), clipsHeader = Header(bar, host.clips);
    HSHBGROUP openDuringDrag = nullptr;
    int firstShown = 0;
    mouse::Run([&] {
        mouse::MoveTo(recipes);
        mouse::Down();
        mouse::MoveTo(CPoint(recipes.x, recipes.y + 12));  // the drag starts on the item pressed
        Sleep(100);
        for (int i = 1; i <= 12; ++i)
            mouse::MoveTo(CPoint(recipes.x + (clipsHeader.x - recipes.x) * i / 12, recipes.y + (clipsHeader.y - recipes.y) * i / 12));
        for (int i = 0; i < 12; ++i) {  // resting, the mouse trembling a little
            Sleep(100);
            mouse::MoveTo(CPoint(clipsHeader.x + i % 2, clipsHeader.y));
        }
        openDuringDrag = bar.GetExpandedGroup();
        // The mouse came to rest at the opened list's lower edge, which scrolls it: to its middle
        // (the scrolling stops), then into the gap under the first item wholly in sight (on an
        // item nothing drops).
        CRect area;
        clips.GetClientRect(&area);
        const CPoint middle = OnScreen(clips, area.CenterPoint());
        for (int i = 1; i <= 6; ++i) mouse::MoveTo(CPoint(clipsHeader.x, clipsHeader.y + (middle.y - clipsHeader.y) * i / 6));
        Sleep(150);
        while (firstShown < clipCount - 1 && clips.GetItemFullRect(firstShown).top < 2) ++firstShown;
        const CPoint into = OnScreen(clips, CPoint(middle.x - OnScreen(clips, CPoint()).x, clips.GetItemFullRect(firstShown).bottom + 3));
        for (int i = 1; i <= 4; ++i) mouse::MoveTo(CPoint(middle.x, middle.y + (into.y - middle.y) * i / 4));
        Sleep(100);
        mouse::Up();
    });
    mouse::Pump(150);
    EXPECT_EQ(openDuringDrag, host.clips);
    EXPECT_EQ(clips.GetItemCount(), clipCount + 1);
    EXPECT_EQ(clips.GetItemText(firstShown + 1), L"Recipes");
    EXPECT_EQ(notes.GetItemCount(), count - 1);

    // A header dragged onto another takes its place, and that group the dragged one's: they swap.
    bar.SetBarStyle(kHostStyle & ~(SHBS_AUTOEXPAND | SHBS_TRACKHEADERS));
    bar.ExpandGroup(host.calendar);
    mouse::Pump(100);
    const int clipsOrder = bar.GetGroupOrder(host.clips), calendarOrder = bar.GetGroupOrder(host.calendar);
    ASSERT_GT(calendarOrder, clipsOrder + 1);  // a group lies between them
    const CPoint a = Header(bar, host.calendar), b = Header(bar, host.clips);
    mouse::Run([&] {
        mouse::MoveTo(a);
        mouse::Down();
        Sleep(150);
        mouse::MoveTo(CPoint(a.x + 2, a.y));
        for (int i = 1; i <= 6; ++i) mouse::MoveTo(CPoint(a.x, a.y + (b.y - a.y) * i / 6));
        Sleep(60);
        mouse::Up();
    });
    EXPECT_EQ(bar.GetGroupOrder(host.calendar), clipsOrder);
    EXPECT_EQ(bar.GetGroupOrder(host.clips), calendarOrder);
    codes = host.TakeCodes();
    EXPECT_TRUE(Contains(codes, SHBN_BEGINDRAGHEADER));
    EXPECT_TRUE(Contains(codes, SHBN_DROPGROUP));
}

// The other process of the next test: the same host beside the first, its title telling
// where its first gap and its second item lie on the screen; once hidden it writes its Notes
// list to the file the first process names, and ends.
TEST(ShortcutBarDragPeer, DISABLED_HostsABarInAnotherProcess) {
    wchar_t out[MAX_PATH] = L"";
    ASSERT_NE(GetEnvironmentVariableW(L"TARVELO_SHB_PEER_OUT", out, MAX_PATH), 0u);
    TestApp<COXSkinnedApp> app{L"ShortcutBarPeer"};
    app.SetCurrentSkin(L"Office XP");
    ShortcutHostWnd peer;
    ASSERT_TRUE(peer.Build(kHostStyle & ~SHBS_AUTOEXPAND, CRect(340, 40, 600, 620)));
    COXSHBListCtrl& notes = *peer.bar.GetGroupListCtrl(peer.notes);
    const CPoint gap = OnScreen(notes, CPoint(notes.GetItemIconRect(0).CenterPoint().x, notes.GetItemFullRect(0).bottom + 3));
    const CPoint second = ItemIcon(notes, 1);
    CString title;
    title.Format(L"Shortcut bar peer %ld %ld %ld %ld", gap.x, gap.y, second.x, second.y);
    peer.SetWindowText(title);
    for (const DWORD end = GetTickCount() + 60000; peer.IsWindowVisible() && static_cast<LONG>(end - GetTickCount()) > 0;) mouse::Pump(20);
    FILE* file = _wfopen(out, L"w, ccs=UTF-8");
    ASSERT_NE(file, nullptr);
    for (int i = 0; i < notes.GetItemCount(); ++i) fwprintf(file, L"%ls\n", notes.GetItemText(i).GetString());
    fclose(file);
}

BOOL CALLBACK FindPeer(HWND wnd, LPARAM found) {
    wchar_t title[100] = L"";
    GetWindowTextW(wnd, title, 100);
    if (wcsncmp(title, L"Shortcut bar peer ", 18) != 0 || !IsWindowVisible(wnd)) return TRUE;
    *reinterpret_cast<HWND*>(found) = wnd;
    return FALSE;
}

TEST(ShortcutBarInput, ItemsTravelToAnotherProcessAndBack) {
    TestApp<COXSkinnedApp> app{L"ShortcutBarInput"};
    app.SetCurrentSkin(L"Office XP");
    ShortcutHostWnd host;
    ASSERT_TRUE(host.Build(kHostStyle & ~SHBS_AUTOEXPAND));
    COXSHBListCtrl& notes = *host.bar.GetGroupListCtrl(host.notes);
    wchar_t self[MAX_PATH] = L"", temp[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    GetTempPathW(MAX_PATH, temp);
    const CString out = CString(temp) + L"shortcutbar-peer.txt";
    DeleteFileW(out);
    SetEnvironmentVariableW(L"TARVELO_SHB_PEER_OUT", out);
    CString command = L"\"" + CString(self) + L"\" --gtest_also_run_disabled_tests --gtest_filter=ShortcutBarDragPeer.* --gtest_brief=1";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(nullptr, command.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    HWND peer = nullptr;
    CPoint gap, second;
    for (const DWORD end = GetTickCount() + 30000; !peer && static_cast<LONG>(end - GetTickCount()) > 0;) {
        mouse::Pump(100);
        EnumWindows(FindPeer, reinterpret_cast<LPARAM>(&peer));
    }
    ASSERT_NE(peer, nullptr);
    wchar_t title[100] = L"";
    GetWindowTextW(peer, title, 100);
    ASSERT_EQ(swscanf(title, L"Shortcut bar peer %ld %ld %ld %ld", &gap.x, &gap.y, &second.x, &second.y), 4);
    SetForegroundWindow(host.m_hWnd);
    mouse::Pump(300);

    // Over there: our first item leaves our list for the gap after the peer's first item.
    const int count = notes.GetItemCount();
    const CString travelling = notes.GetItemText(0);
    auto dragTo = [](CPoint from, CPoint to) {
        mouse::Run([&] {
            mouse::MoveTo(from);
            mouse::Down();
            mouse::MoveTo(CPoint(from.x, from.y + 12));  // the drag starts on the item pressed
            Sleep(150);
            for (int i = 1; i <= 10; ++i) mouse::MoveTo(CPoint(from.x + (to.x - from.x) * i / 10, from.y + (to.y - from.y) * i / 10));
            Sleep(200);
            mouse::Up();
        });
        mouse::Pump(300);
    };
    dragTo(ItemIcon(notes, 0), gap);
    ASSERT_EQ(notes.GetItemCount(), count - 1);
    EXPECT_EQ(notes.GetItemText(0), L"Recipes");

    // And back: the peer's second item (the one that came) into the gap after our first.
    const CPoint ours = OnScreen(notes, CPoint(notes.GetItemIconRect(0).CenterPoint().x, notes.GetItemFullRect(0).bottom + 3));
    dragTo(second, ours);
    ASSERT_EQ(notes.GetItemCount(), count);
    EXPECT_EQ(notes.GetItemText(1), travelling);
    EXPECT_EQ(notes.GetItemData(1), 0);  // a value from another process is not taken

    ::ShowWindow(peer, SW_HIDE);  // the peer's sign to write its list down and end
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    SetEnvironmentVariableW(L"TARVELO_SHB_PEER_OUT", nullptr);
    EXPECT_EQ(code, 0u);
    // The peer's list is whole again: what came in went back out.
    FILE* file = _wfopen(out, L"r, ccs=UTF-8");
    ASSERT_NE(file, nullptr);
    std::vector<CString> peerItems;
    for (wchar_t line[100]; fgetws(line, 100, file);) peerItems.push_back(CString(line).TrimRight());
    fclose(file);
    DeleteFileW(out);
    const std::vector<CString> original = {L"Shopping", L"Recipes", L"Travel plans", L"Books to read", L"Ideas", L"Passwords hint"};
    EXPECT_EQ(peerItems, original);
}

TEST(ShortcutBarInput, LooksInTheThreeSkins) {
    TestApp<COXSkinnedApp> app{L"ShortcutBarInput"};
    ShortcutHostWnd host;
    ASSERT_TRUE(host.Build(kHostStyle));
    app.m_pMainWnd = &host;  // a change of look lays the main window's tree out again
    SetForegroundWindow(host.m_hWnd);
    COXShortcutBar& bar = host.bar;
    COXSHBListCtrl& notes = *bar.GetGroupListCtrl(host.notes);
    for (const wchar_t* look : {L"Classic", L"Office XP", L"Office 2003"}) {
        app.SetCurrentSkin(look);
        mouse::Run([&] { mouse::MoveTo(ItemIcon(notes, 1)); });
        mouse::Pump(450);
        SaveScreenshot(host, (CString(L"shortcutbar-") + look).GetString());
        // Items: the square of the first item's image in its colour on the screen.
        EXPECT_EQ(ScreenPixel(ItemIcon(notes, 0)), SquareColor(0)) << look;
        const CRect collapsed = bar.GetGroupHeaderRect(host.web);
        const COLORREF face = ScreenPixel(OnScreen(bar, CPoint(collapsed.right - 8, collapsed.top + 4)));
        if (CString(look) == L"Office 2003") {
            // The title band over the list and gradient headers at the bottom.
            EXPECT_EQ(bar.GetChildWndRect().top, COXShortcutBarSkin::kTitleBandHeight + 5);
            const COLORREF top = ScreenPixel(OnScreen(bar, CPoint(bar.GetChildWndRect().right - 2, 0)));
            EXPECT_LE(std::abs(GetBValue(top) - 211) + std::abs(GetRValue(top) - 85), 12) << std::hex << top;
            app.m_pMainWnd = nullptr;
        } else {
            EXPECT_EQ(face, ::GetSysColor(COLOR_BTNFACE)) << look;
            EXPECT_EQ(bar.GetGroupHeaderRect(host.notes).top, 0);
        }
    }

    // Info tips: resting on an item or a header shows what the owner names it.
    bar.SetBarStyle(kHostStyle | SHBS_INFOTIP);
    auto tipAfterRest = [&](CPoint at) {
        mouse::Run([&] {
            mouse::MoveTo(CPoint(at.x + 1, at.y));
            mouse::MoveTo(at);
        });
        mouse::Pump(1400);
        for (HWND tip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); tip; tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) {
            wchar_t text[100] = L"";
            if (IsWindowVisible(tip) && GetWindowThreadProcessId(tip, nullptr) == GetCurrentThreadId()) {
                ::SendMessageW(tip, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
                return CString(text);
            }
        }
        return CString();
    };
    EXPECT_EQ(tipAfterRest(ItemIcon(notes, 2)), L"Open Travel plans");
    SaveScreenshot(host, L"shortcutbar-infotip");
    const std::vector<UINT> codes = host.TakeCodes();
    EXPECT_TRUE(Contains(codes, SHBN_GETITEMINFOTIP)) << ::testing::PrintToString(codes);
    EXPECT_EQ(tipAfterRest(Header(bar, host.clips)), L"The Clips group");
    // Not over an item (between the icon and the list's edge): no tip.
    EXPECT_EQ(tipAfterRest(OnScreen(notes, CPoint(2, notes.GetItemIconRect(2).CenterPoint().y))), L"");
}
