// The shortcut bar without real input: its skins drawn into memory, its
// groups and their records, the item lists' geometry and the indexes they
// keep, the in-place edit's records, the tooltip copy, and the drag block read
// as untrusted bytes, also when another process offers it.
#include "ShortcutBarHost.h"

#include "Random.h"
#include "ole/OleDataSource.h"
#include "shortcutbar/SHBDragBlock.h"
#include "skins/ToolbarSkin.h"

#include <objidl.h>

namespace {

constexpr DWORD kStyle = SHBS_EDITHEADERS | SHBS_EDITITEMS;

// Draws one header of the bar as the bar would, into a canvas.
void DrawHeaderInto(MemoryCanvas& canvas, COXShortcutBar& bar, HSHBGROUP group) {
    const CRect r = bar.GetGroupHeaderRect(group);
    DRAWITEMSTRUCT dis{};
    dis.itemID = static_cast<UINT>(reinterpret_cast<UINT_PTR>(group));
    dis.hDC = canvas.dc;
    dis.rcItem = CRect(0, 0, r.Width(), r.Height());
    bar.GetShortcutBarSkin()->DrawGroupHeader(&dis, &bar);
}

bool Near(COLORREF a, COLORREF b, int tolerance = 6) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

LRESULT RelayOver(CWnd& target, UINT message, CPoint point, COleDataObject* data = nullptr, DWORD keys = 0, DROPEFFECT effect = 0) {
    OXDRAGTARGETRELAY relay;
    relay.pWnd = &target;
    relay.pDataObject = data;
    relay.dwKeyState = keys;
    relay.point = point;
    relay.dropEffect = effect;
    target.SendMessage(message, 0, reinterpret_cast<LPARAM>(&relay));
    return relay.result;
}

}  // namespace

TEST(ShortcutBarSkins, HeadersBordersTitleBandAndDropMarkerInTheThreeLooks) {
    TestApp<COXSkinnedApp> app{L"ShortcutBarSkins"};
    app.SetCurrentSkin(L"Classic");
    ShortcutHostWnd host;
    ASSERT_TRUE(host.Build(kStyle));
    COXShortcutBar& bar = host.bar;

    // Classic: a two-pixel raised button; the expanded header in the inverse colour.
    const COLORREF c = RGB(120, 140, 160);
    bar.SetGroupHeaderBkColor(host.clips, c);
    bar.SetGroupHeaderBkColor(host.notes, c);
    const CRect h = bar.GetGroupHeaderRect(host.clips);
    MemoryCanvas collapsed(h.Width(), h.Height());
    DrawHeaderInto(collapsed, bar, host.clips);
    EXPECT_EQ(collapsed.Pixel(0, 0), RGB(184, 204, 224));                  // lighter: +64
    EXPECT_EQ(collapsed.Pixel(h.Width() - 1, h.Height() - 1), RGB(0, 12, 32));  // darker: -128
    EXPECT_EQ(collapsed.Pixel(1, 1), RGB(184, 204, 224));
    EXPECT_EQ(collapsed.Pixel(2, h.Height() / 2), c);
    MemoryCanvas expanded(h.Width(), h.Height());
    DrawHeaderInto(expanded, bar, host.notes);
    EXPECT_EQ(expanded.Pixel(3, 3), RGB(135, 115, 95));
    // Flat headers: the expanded one has no raised inner edge.
    bar.SetBarStyle(kStyle | SHBS_TRACKHEADERS);
    MemoryCanvas flat(h.Width(), h.Height());
    DrawHeaderInto(flat, bar, host.notes);
    EXPECT_EQ(flat.Pixel(1, 1), RGB(135, 115, 95));
    EXPECT_NE(flat.Pixel(0, 0), RGB(135, 115, 95));
    bar.SetBarStyle(kStyle);

    // The Classic item frame is made from the bar's own background.
    bar.SetGroupBkColor(host.notes, RGB(100, 100, 100));
    MemoryCanvas item(20, 20);
    CRect square(0, 0, 20, 20);
    bar.GetShortcutBarSkin()->DrawItemBorder(&item.dc, &square, TRUE, FALSE, &bar);
    EXPECT_EQ(item.Pixel(0, 0), RGB(164, 164, 164));
    EXPECT_EQ(item.Pixel(19, 19), RGB(0, 0, 0));
    bar.GetShortcutBarSkin()->DrawItemBorder(&item.dc, &square, FALSE, TRUE, &bar);
    EXPECT_EQ(item.Pixel(0, 0), RGB(0, 0, 0));

    // Something dragged over a collapsed header frames it: red, blue on a header that is nearly red.
    const CPoint overWeb = bar.GetGroupHeaderRect(host.web).CenterPoint();
    RelayOver(bar, WM_DRAGRELAY_OVER, overWeb);
    EXPECT_EQ(bar.GetDropTargetGroup(), host.web);
    MemoryCanvas marked(h.Width(), h.Height());
    DrawHeaderInto(marked, bar, host.web);
    EXPECT_EQ(marked.Pixel(0, h.Height() / 2), RGB(255, 0, 0));
    // Inside the frame, an arrow at each end: its head's widest row is 8 pixels.
    int widest = 0;
    for (int y = 4; y < h.Height() - 4; ++y) widest = std::max(widest, marked.Count(CRect(2, y, 16, y + 1), RGB(255, 0, 0)));
    EXPECT_EQ(widest, 8);
    bar.SetGroupHeaderBkColor(host.web, RGB(230, 20, 10));
    DrawHeaderInto(marked, bar, host.web);
    EXPECT_EQ(marked.Pixel(0, h.Height() / 2), RGB(0, 0, 255));
    RelayOver(bar, WM_DRAGRELAY_LEAVE, overWeb);
    EXPECT_EQ(bar.GetDropTargetGroup(), nullptr);

    // Office 2003: 32-pixel headers at the bottom, a title band naming the open group above the child.
    app.SetCurrentSkin(L"Office 2003");
    bar.CalculateLayout();
    EXPECT_EQ(bar.GetGroupHeaderRect(host.notes).Height(), 32);
    EXPECT_EQ(bar.GetChildWndRect().top, COXShortcutBarSkin::kTitleBandHeight + 5);
    CRect client;
    bar.GetClientRect(&client);
    EXPECT_EQ(bar.GetGroupHeaderRect(host.calendar).bottom, client.bottom);
    // The open group's name is written in the inverse of its colour here too.
    SHB_DESCRIPTOR colours;
    colours.nMask = SHBIF_HDRCLRTEXT;
    colours.clrHeaderText = RGB(10, 20, 30);
    bar.SetGroupDescriptor(host.notes, &colours);
    const CRect open = bar.GetGroupHeaderRect(host.notes);
    MemoryCanvas name(open.Width(), open.Height());
    DrawHeaderInto(name, bar, host.notes);
    EXPECT_GT(name.Count(CRect(0, 0, open.Width(), open.Height()), RGB(245, 235, 225)), 10);
    EXPECT_EQ(name.Count(CRect(0, 0, open.Width(), open.Height()), RGB(10, 20, 30)), 0);
    MemoryCanvas band(client.Width(), 30);
    bar.GetShortcutBarSkin()->DrawTitleBand(&bar, &band.dc);
    EXPECT_TRUE(Near(band.Pixel(client.Width() - 2, 0), COXShortcutBarSkin2003::kBandTop));
    EXPECT_TRUE(Near(band.Pixel(client.Width() - 2, 24), COXShortcutBarSkin2003::kBandBottom, 12));
    EXPECT_EQ(band.Pixel(5, 27), RGB(1, 2, 3));  // nothing below the band
    EXPECT_GT(band.Count(CRect(6, 2, 80, 25), RGB(255, 255, 255)), 20);  // "Notes" in white
    bar.SetGroupText(host.notes, L"");
    MemoryCanvas empty(client.Width(), 30);
    bar.GetShortcutBarSkin()->DrawTitleBand(&bar, &empty.dc);
    EXPECT_EQ(empty.Count(CRect(0, 0, client.Width(), 25), RGB(255, 255, 255)), 0);
    // Headers that fill the whole height leave no room for a child window.
    for (HSHBGROUP g : {host.notes, host.clips, host.web, host.calendar}) bar.SetGroupHeaderHeight(g, 200);
    EXPECT_TRUE(bar.GetChildWndRect().IsRectEmpty());
    EXPECT_FALSE(::IsWindowVisible(bar.GetGroupChildWnd(host.notes)));
}

TEST(ShortcutBarGroups, OrdersRecordsExpandingAndDeletingAsTheOwnerAllows) {
    TestApp<COXSkinnedApp> app{L"ShortcutBarGroups"};
    app.SetCurrentSkin(L"Classic");
    ShortcutHostWnd host;
    ASSERT_TRUE(host.Build(kStyle));
    COXShortcutBar& bar = host.bar;
    auto orders = [&] {
        std::vector<CString> names;
        for (int i = 0; i < bar.GetGroupCount(); ++i) names.push_back(bar.GetGroupText(bar.FindGroupByOrder(i)));
        return names;
    };
    using Names = std::vector<CString>;
    EXPECT_EQ(orders(), (Names{L"Notes", L"Clips", L"Web", L"Calendar"}));

    // Inserting at a position moves the groups from there down; -1 first, -3 appends and sorts.
    SHB_GROUPINFO info;
    info.nMask = SHBIF_TEXT | SHBIF_ORDER;
    info.SetText(L"Archive");
    info.nOrder = 0;
    HSHBGROUP archive = bar.InsertGroup(&info);
    ASSERT_NE(archive, nullptr);
    EXPECT_EQ(orders(), (Names{L"Archive", L"Notes", L"Clips", L"Web", L"Calendar"}));
    info.SetText(L"Books");
    info.nOrder = 2;
    HSHBGROUP books = bar.InsertGroup(&info);
    EXPECT_EQ(bar.GetGroupOrder(books), 2);
    info.SetText(L"Zoo");
    info.nOrder = SHBI_FIRST;
    bar.InsertGroup(&info);
    EXPECT_EQ(orders().front(), L"Zoo");
    info.SetText(L"Diary");
    info.nOrder = SHBI_SORT;
    bar.InsertGroup(&info);
    EXPECT_EQ(orders(), (Names{L"Archive", L"Books", L"Calendar", L"Clips", L"Diary", L"Notes", L"Web", L"Zoo"}));
    // A move swaps with the group in the way.
    EXPECT_TRUE(bar.SetGroupOrder(host.web, 0));
    EXPECT_EQ(orders()[0], L"Web");
    EXPECT_EQ(orders()[6], L"Archive");
    EXPECT_FALSE(bar.SetGroupOrder(host.web, 8));
    // A position is one of the groups' own: one past the last is refused, as for a move.
    info.SetText(L"Past");
    info.nOrder = bar.GetGroupCount();
    EXPECT_EQ(bar.InsertGroup(&info), nullptr);

    // Records that do not hold together are refused: a foreign mask bit, an image past the list,
    // a child window of another parent.
    SHB_GROUPINFO bad;
    bad.nMask = SHBIF_TEXT | 0x1;
    EXPECT_EQ(bar.InsertGroup(&bad), nullptr);
    bad.nMask = SHBIF_IMAGE;
    bad.nImage = 6;
    EXPECT_EQ(bar.InsertGroup(&bad), nullptr);
    bad.nMask = SHBIF_CHILDWND;
    bad.hwndChild = host.m_hWnd;
    EXPECT_EQ(bar.InsertGroup(&bad), nullptr);
    EXPECT_EQ(bar.GetGroupCount(), 8);

    // A text is copied for its own length, never for a caller's larger buffer size; a smaller one cuts it.
    wchar_t buffer[] = L"Recipes";
    SHB_GROUPINFO text;
    text.nMask = SHBIF_TEXT;
    text.pszText = buffer;
    text.nTextMax = 4096;
    ASSERT_TRUE(bar.SetGroupInfo(books, &text));
    EXPECT_EQ(bar.GetGroupText(books), L"Recipes");
    text.nTextMax = 3;
    ASSERT_TRUE(bar.SetGroupInfo(books, &text));
    EXPECT_EQ(bar.GetGroupText(books), L"Rec");
    // A buffer of exactly its size, without a terminator, right before memory that cannot be read.
    auto* pages = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(pages, nullptr);
    DWORD was = 0;
    ASSERT_TRUE(VirtualProtect(pages + 4096, 4096, PAGE_NOACCESS, &was));
    auto* edge = reinterpret_cast<wchar_t*>(pages + 4096) - 5;
    wmemcpy(edge, L"Plans", 5);
    text.pszText = edge;
    text.nTextMax = 5;
    ASSERT_TRUE(bar.SetGroupInfo(books, &text));
    EXPECT_EQ(bar.GetGroupText(books), L"Plans");
    // A search reads no further than its cap either, and a capped text names a whole header, not the
    // start of a longer one.
    SHB_GROUPINFO capped;
    capped.nMask = SHBIF_TEXT;
    capped.pszText = edge;
    capped.nTextMax = 5;
    EXPECT_EQ(bar.FindGroup(&capped), books);
    capped.nTextMax = 4;
    EXPECT_EQ(bar.FindGroup(&capped), nullptr);
    capped.pszText = nullptr;
    VirtualFree(pages, 0, MEM_RELEASE);
    text.nTextMax = 3;
    text.pszText = buffer;
    ASSERT_TRUE(bar.SetGroupInfo(books, &text));
    text.pszText = nullptr;  // the caller's record does not own the buffer
    SHB_GROUPINFO find;
    find.nMask = SHBIF_TEXT;
    find.SetText(L"Rec");
    EXPECT_EQ(bar.FindGroup(&find), books);

    // Expanding asks the owner; a refusal keeps the open group; the open group again sends nothing.
    // A group that does not exist answers none and leaves a pending hover-expand be.
    RelayOver(bar, WM_DRAGRELAY_OVER, bar.GetGroupHeaderRect(host.web).CenterPoint());
    ASSERT_EQ(bar.GetDropTargetGroup(), host.web);
    EXPECT_EQ(bar.ExpandGroup(reinterpret_cast<HSHBGROUP>(9999)), nullptr);
    EXPECT_EQ(bar.GetDropTargetGroup(), host.web);
    EXPECT_EQ(bar.GetExpandedGroup(), host.notes);
    RelayOver(bar, WM_DRAGRELAY_LEAVE, CPoint());
    host.log.clear();
    host.answers[SHBN_GROUPEXPANDING] = 1;
    EXPECT_EQ(bar.ExpandGroup(host.clips), host.notes);
    EXPECT_EQ(bar.GetExpandedGroup(), host.notes);
    host.answers.clear();
    EXPECT_EQ(bar.ExpandGroup(host.notes), host.notes);
    EXPECT_EQ(host.TakeCodes(), (std::vector<UINT>{SHBN_GROUPEXPANDING}));
    bar.ExpandGroup(host.calendar);
    EXPECT_EQ(host.TakeCodes(), (std::vector<UINT>{SHBN_GROUPEXPANDING, SHBN_GROUPEXPANDED}));
    EXPECT_TRUE(::IsWindowVisible(host.calendarChild));
    CRect child;
    ::GetWindowRect(host.calendarChild, &child);
    bar.ScreenToClient(&child);
    EXPECT_EQ(child, bar.GetChildWndRect());

    // Deleting: the owner may keep the group; the expanded last group hands over to the first.
    host.answers[SHBN_DELETEGROUP] = 1;
    EXPECT_FALSE(bar.DeleteGroup(host.calendar));
    host.answers.clear();
    bar.SetGroupOrder(host.calendar, bar.GetGroupCount() - 1);
    EXPECT_TRUE(bar.DeleteGroup(host.calendar));
    EXPECT_EQ(bar.GetExpandedGroup(), bar.FindGroupByOrder(0));
    EXPECT_FALSE(::IsWindowVisible(host.calendarChild));
    EXPECT_EQ(bar.GetGroupText(host.calendar), L"");
    EXPECT_EQ(bar.GetGroupOrder(host.calendar), -1);
    EXPECT_EQ(bar.GetGroupBkColor(host.calendar), static_cast<COLORREF>(-1));
    EXPECT_TRUE(bar.DeleteAllGroups());
    EXPECT_EQ(bar.GetGroupCount(), 0);
    EXPECT_EQ(bar.GetExpandedGroup(), nullptr);
    EXPECT_TRUE(bar.GetChildWndRect().IsRectEmpty());
}

namespace {

// Where the watched header stood at each paint of the watched bar.
struct HeaderWatch {
    COXShortcutBar* bar = nullptr;
    HSHBGROUP group = nullptr;
    std::vector<int> tops;
} g_headerWatch;

LRESULT CALLBACK WatchHeaderPaints(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_PAINT && g_headerWatch.bar && call->hwnd == g_headerWatch.bar->m_hWnd) {
        const int top = g_headerWatch.bar->GetGroupHeaderRect(g_headerWatch.group).top;
        if (g_headerWatch.tops.empty() || g_headerWatch.tops.back() != top) g_headerWatch.tops.push_back(top);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

TEST(ShortcutBarGroups, AnExpandSlidesTheHeadersInStepsOfTwentyThenFortyBeforeTheyTakeTheirPlaces) {
    TestApp<COXSkinnedApp> app{L"ShortcutBarAnimate"};
    app.SetCurrentSkin(L"Classic");
    ShortcutHostWnd host;
    ASSERT_TRUE(host.Build(kStyle | SHBS_ANIMATEEXPAND));
    COXShortcutBar& bar = host.bar;
    // Four headers and a child area of 100 pixels between its margins.
    const int headers = 4 * bar.GetGroupHeaderHeight(host.notes);
    bar.MoveWindow(0, 0, 200, headers + 110);
    ASSERT_EQ(bar.GetChildWndRect().Height(), 100);
    bar.UpdateWindow();
    const int start = bar.GetGroupHeaderRect(host.web).top;
    g_headerWatch = {&bar, host.web, {}};
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &WatchHeaderPaints, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    EXPECT_EQ(bar.ExpandGroup(host.web), host.notes);
    UnhookWindowsHookEx(hook);
    g_headerWatch.bar = nullptr;
    std::vector<int> moved;
    for (int top : g_headerWatch.tops) moved.push_back(top - start);
    // Web and Clips move up over the open area: 20, 20, 40 and 40 pixels, then the layout's 110.
    EXPECT_EQ(moved, (std::vector<int>{-20, -40, -80, -120, -110}));
    EXPECT_EQ(bar.GetGroupHeaderRect(host.web).top, 2 * bar.GetGroupHeaderHeight(host.web));
}

namespace {

// A dialog template in memory: a static control (id 100) and a report-view list (id 101).
std::vector<WORD> TwoControlDialog() {
    std::vector<WORD> t;
    auto dword = [&](DWORD v) { t.push_back(LOWORD(v)), t.push_back(HIWORD(v)); };
    auto text = [&](const wchar_t* s) {
        for (; *s; ++s) t.push_back(*s);
        t.push_back(0);
    };
    dword(WS_POPUP | WS_VISIBLE | WS_CAPTION);
    dword(0);
    t.insert(t.end(), {2, 10, 10, 240, 180, 0, 0});  // items, x, y, cx, cy, no menu, standard class
    text(L"Attached");
    auto item = [&](DWORD style, short x, const wchar_t* cls, WORD id) {
        if (t.size() % 2) t.push_back(0);  // items start on a DWORD
        dword(WS_CHILD | WS_VISIBLE | style);
        dword(0);
        t.insert(t.end(), {static_cast<WORD>(x), 5, 110, 170, id});
        text(cls);
        t.push_back(0);  // no title
        t.push_back(0);  // no creation data
    };
    item(0, 5, L"STATIC", 100);
    item(LVS_REPORT, 125, L"SysListView32", 101);
    return t;
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

TEST(ShortcutBarGroups, ABarAndAListAttachedToADialogsControlsWorkAsMadeOnes) {
    TestApp<COXSkinnedApp> app{L"ShortcutBarAttach"};
    app.SetCurrentSkin(L"Classic");
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    const std::vector<WORD> layout = TwoControlDialog();
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(layout.data()), nullptr,
                                             QuietDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    {
        COXShortcutBar bar;
        ASSERT_TRUE(bar.SubclassDlgItem(100, CWnd::FromHandle(dialog)));
        EXPECT_EQ(bar.GetBarStyle(), SHBS_ATTACHDEFAULT);
        ASSERT_NE(bar.GetEditControl().m_hWnd, nullptr);
        EXPECT_NE(GetPropW(bar.m_hWnd, L"OleDropTargetInterface"), nullptr);
        EXPECT_TRUE(::KillTimer(bar.m_hWnd, 4));  // the hot-header poll ran
        SHB_GROUPINFO info;
        info.nMask = SHBIF_TEXT;
        info.SetText(L"Notes");
        const HSHBGROUP notes = bar.InsertGroup(&info);
        info.SetText(L"Web");
        const HSHBGROUP web = bar.InsertGroup(&info);
        ASSERT_NE(web, nullptr);
        bar.ExpandGroup(notes);
        EXPECT_TRUE(::IsWindowVisible(bar.GetGroupChildWnd(notes)));
        EXPECT_FALSE(bar.GetGroupHeaderRect(web).IsRectEmpty());
        ASSERT_TRUE(bar.EditGroupHeader(web));
        bar.GetEditControl().SetWindowText(L"Sites");
        bar.GetEditControl().EndEdit(TRUE);
        EXPECT_EQ(bar.GetGroupText(web), L"Sites");

        COXSHBListCtrl alone;
        ASSERT_TRUE(alone.SubclassDlgItem(101, CWnd::FromHandle(dialog)));
        EXPECT_EQ(alone.GetStyle() & LVS_TYPEMASK, static_cast<DWORD>(LVS_ICON));
        EXPECT_NE(alone.SendMessage(LVM_GETEDITCONTROL), 0);
        EXPECT_NE(GetPropW(alone.m_hWnd, L"OleDropTargetInterface"), nullptr);
        alone.InsertItem(0, L"Shopping", -1);
        EXPECT_FALSE(alone.GetItemLabelRect(0).IsRectEmpty());
        DestroyWindow(dialog);
    }
    OleUninitialize();
}

TEST(ShortcutBarList, GeometryScrollingAndIndexesThatFollowTheirItems) {
    TestApp<COXSkinnedApp> app{L"ShortcutBarList"};
    app.SetCurrentSkin(L"Classic");
    ShortcutHostWnd host;
    ASSERT_TRUE(host.Build(kStyle));
    COXShortcutBar& bar = host.bar;
    COXSHBListCtrl& notes = *bar.GetGroupListCtrl(host.notes);

    // Large icons: the icon (32 + 3 on each side) centred, the label below it.
    CRect icon, label, full;
    icon.left = LVIR_ICON;
    ASSERT_TRUE(notes.SendMessage(LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&icon)));
    label.left = LVIR_LABEL;
    notes.SendMessage(LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&label));
    full.left = -1;
    notes.SendMessage(LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&full));
    EXPECT_EQ(icon.Width(), 38);
    EXPECT_EQ(icon.top, full.top);
    EXPECT_EQ(label.top, icon.bottom);
    EXPECT_NEAR(icon.CenterPoint().x, full.CenterPoint().x, 1);
    int code = 0;
    EXPECT_EQ(notes.HitTest(icon.CenterPoint(), &code), 1);
    EXPECT_EQ(code, LVHT_ONITEMICON);
    EXPECT_EQ(notes.HitTest(label.CenterPoint(), &code), 1);
    EXPECT_EQ(code, LVHT_ONITEMLABEL);
    EXPECT_EQ(notes.HitTest(CPoint(full.left + 1, full.top + 1), &code), 1);
    EXPECT_EQ(code, SHBLC_ONITEM);
    EXPECT_EQ(notes.SendMessage(LVM_GETTOPINDEX), 0);
    // A press counts on the icon, the label or the box they span, not elsewhere in the row; the
    // item commands are offered over the same places.
    const CRect wide = notes.GetItemLabelRect(3), wideIcon = notes.GetItemIconRect(3);  // "Books to read"
    ASSERT_LT(wide.left, wideIcon.left);
    const CPoint beside(wide.left + 1, wideIcon.CenterPoint().y), elsewhere(notes.GetItemFullRect(3).left + 1, beside.y);
    ASSERT_EQ(notes.HitTest(beside, &code), 3);
    ASSERT_EQ(code, SHBLC_ONIMAGEANDLABEL);
    ASSERT_EQ(notes.HitTest(elsewhere, &code), 3);
    ASSERT_EQ(code, SHBLC_ONITEM);
    notes.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(elsewhere.x, elsewhere.y));
    EXPECT_EQ(notes.GetPressedItem(), -1);
    notes.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(beside.x, beside.y));
    EXPECT_EQ(notes.GetPressedItem(), 3);
    notes.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(beside.x, beside.y));
    for (const auto& [at, offered] : {std::pair{beside, true}, std::pair{elsewhere, false}}) {
        HMENU menu = ::CreatePopupMenu();
        CPoint screen = at;
        notes.ClientToScreen(&screen);
        SHBContextMenuInfo request{menu, &bar, host.notes, screen};
        EXPECT_EQ(notes.SendMessage(WM_SHB_ADDITEMCOMMANDS, 0, reinterpret_cast<LPARAM>(&request)) != 0, offered);
        EXPECT_EQ(::GetMenuState(menu, SHB_IDMRENAMEITEM, MF_BYCOMMAND) != static_cast<UINT>(-1), offered);
        ::DestroyMenu(menu);
    }
    // An empty label measures no text (only the 4 pixels every label grows by); its edit opens
    // over room for a blank.
    notes.InsertItem(6, L"", 0);
    EXPECT_EQ(notes.GetItemLabelRect(6).Width(), 4);
    ASSERT_TRUE(notes.EditLabel(6));
    CRect typing;
    notes.GetEditControl().GetWindowRect(&typing);
    EXPECT_GE(typing.Height(), notes.GetItemLabelRect(5).Height() - 4);
    notes.GetEditControl().EndEdit(FALSE);
    notes.DeleteItem(6);

    // The long list in small icons: no up button at the top, a down button; scrolling to the end swaps them.
    bar.ExpandGroup(host.clips);
    COXSHBListCtrl& clips = *bar.GetGroupListCtrl(host.clips);
    EXPECT_TRUE(clips.GetUpButtonRect().IsRectEmpty());
    ASSERT_FALSE(clips.GetDownButtonRect().IsRectEmpty());
    EXPECT_EQ(clips.HitTest(clips.GetDownButtonRect().CenterPoint(), &code), -1);
    EXPECT_EQ(code, SHBLC_ONDOWNBUTTON);
    EXPECT_TRUE(clips.EnsureVisible(host.clipItems - 1, FALSE));
    EXPECT_TRUE(clips.GetDownButtonRect().IsRectEmpty());
    EXPECT_FALSE(clips.GetUpButtonRect().IsRectEmpty());
    EXPECT_FALSE(clips.Scroll(0, 50));  // at the end already
    CRect content;
    clips.GetClientRect(&content);
    EXPECT_LE(clips.GetItemFullRect(host.clipItems - 1).bottom, content.bottom - 2);
    EXPECT_TRUE(clips.Scroll(0, -100000));
    EXPECT_EQ(clips.GetScrollOffset().y, 0);
    EXPECT_EQ(clips.SendMessage(LVM_GETTOPINDEX), 0);

    // Every index the list keeps follows its item through insertions and deletions.
    notes.SetSelectedItem(3);
    notes.SetPressedItem(2);
    notes.SetHotItem(4);
    notes.SetHotItem(5);  // 4 becomes the previous hot item
    notes.InsertItem(0, L"First", 0);
    EXPECT_EQ(notes.GetSelectedItem(), 4);
    EXPECT_EQ(notes.GetPressedItem(), 3);
    EXPECT_EQ(notes.GetHotItem(), 6);
    EXPECT_EQ(notes.GetLastHotItem(), 5);
    notes.DeleteItem(4);  // the selected one
    EXPECT_EQ(notes.GetSelectedItem(), -1);
    EXPECT_EQ(notes.GetHotItem(), 5);
    notes.DeleteItem(0);
    EXPECT_EQ(notes.GetPressedItem(), 2);
    EXPECT_EQ(notes.GetLastHotItem(), 3);

    // A label edit open while its item goes writes nowhere; one open while an earlier item goes
    // still renames its own item.
    bar.ExpandGroup(host.notes);
    const int count = notes.GetItemCount();
    ASSERT_TRUE(bar.EditItemLabel(host.notes, 2));
    const CString third = notes.GetItemText(3);
    notes.DeleteItem(2);
    EXPECT_EQ(notes.GetEditItem(), -1);
    notes.GetEditControl().SetWindowText(L"Written nowhere");
    notes.GetEditControl().EndEdit(TRUE);
    EXPECT_EQ(notes.GetItemCount(), count - 1);
    for (int i = 0; i < notes.GetItemCount(); ++i) EXPECT_NE(notes.GetItemText(i), L"Written nowhere");
    EXPECT_EQ(notes.GetItemText(2), third);
    ASSERT_TRUE(notes.EditLabel(3));
    notes.DeleteItem(0);
    EXPECT_EQ(notes.GetEditItem(), 2);
    notes.GetEditControl().SetWindowText(L"Renamed");
    notes.GetEditControl().EndEdit(TRUE);
    EXPECT_EQ(notes.GetItemText(2), L"Renamed");
    EXPECT_EQ(notes.GetItemCount(), count - 2);
    // The owner may refuse a new text.
    host.answers[SHBN_ENDITEMEDIT] = 1;
    ASSERT_TRUE(notes.EditLabel(0));
    notes.GetEditControl().SetWindowText(L"Refused");
    notes.GetEditControl().EndEdit(TRUE);
    EXPECT_NE(notes.GetItemText(0), L"Refused");

    // An empty list: nothing on top, nothing to scroll.
    notes.DeleteAllItems();
    EXPECT_EQ(notes.SendMessage(LVM_GETTOPINDEX), -1);
    EXPECT_FALSE(notes.Scroll(0, 10));
    EXPECT_EQ(notes.GetSelectedItem(), -1);
}

TEST(ShortcutBarEdit, RecordsThatDoNotHoldTogetherAreRefusedAndTheEndCarriesTheAcceptFlag) {
    ShortcutHostWnd host;
    ASSERT_TRUE(host.Build(kStyle));
    COXSHBEdit& edit = host.bar.GetEditControl();
    SHBEditInfo info{};
    info.nMask = SHBEIF_RECTDISPLAY | SHBEIF_ENLARGE;
    info.rectDisplay = CRect(10, 10, 100, 30);
    info.bEnlargeAsTyping = TRUE;
    EXPECT_FALSE(edit.StartEdit(&info));  // growth without bounds
    info.nMask |= SHBEIF_RECTMAX;
    info.rectMax = CRect(0, 0, 80, 80);
    EXPECT_FALSE(edit.StartEdit(&info));  // display outside the bounds
    info.rectMax = CRect(0, 0, 200, 200);
    info.nMask |= SHBEIF_TEXT | SHBEIF_SELRANGE;
    info.pszText = L"";
    info.nTextSelStart = 0;
    info.nTextSelEnd = -1;
    EXPECT_TRUE(edit.StartEdit(&info));  // all of an empty text
    edit.EndEdit(FALSE);
    info.pszText = L"abc";
    info.nTextSelStart = 1;
    info.nTextSelEnd = 9;
    EXPECT_FALSE(edit.StartEdit(&info));
    info.nMask |= SHBEIF_RECTMIN;
    info.nTextSelEnd = 2;
    info.rectMin = CRect(0, 0, 0, 0);
    EXPECT_FALSE(edit.StartEdit(&info));
    info.nMask = 0x400;
    EXPECT_FALSE(edit.StartEdit(&info));

    // Renaming a header: Enter's accept (flag 1 in the field after the header) stores the text.
    ASSERT_TRUE(host.bar.EditGroupHeader(host.web));
    EXPECT_TRUE(edit.IsEditing());
    EXPECT_EQ(edit.GetWindowText(), L"Web");
    edit.SetWindowText(L"Sites");
    edit.SendMessage(WM_KEYDOWN, VK_RETURN);
    EXPECT_FALSE(edit.IsEditing());
    EXPECT_EQ(host.bar.GetGroupText(host.web), L"Sites");
    ASSERT_TRUE(host.bar.EditGroupHeader(host.web));
    edit.SetWindowText(L"Dropped");
    edit.SendMessage(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(host.bar.GetGroupText(host.web), L"Sites");
    ASSERT_GE(host.log.size(), 2u);
    EXPECT_EQ(host.log.back().code, SHBN_ENDHEADEREDIT);
    EXPECT_EQ(host.log.back().text, L"Sites");
    // A group deleted while its name is open takes the edit with it.
    ASSERT_TRUE(host.bar.EditGroupHeader(host.web));
    host.bar.DeleteGroup(host.web);
    EXPECT_FALSE(edit.IsEditing());
    EXPECT_EQ(host.bar.GetEditedGroup(), nullptr);
}

TEST(ShortcutBarNotify, TooltipTextsStayInsideTheTooltipsBuffers) {
    // 80 characters that take two bytes each in the Japanese code page.
    std::wstring wide(80, L'\x3042');
    char out[80 + 8];
    memset(out, 'G', sizeof(out));
    CopyToAnsiBuffer(wide.c_str(), out, 80, 932);
    const size_t length = strlen(out);
    EXPECT_LE(length, 79u);
    EXPECT_EQ(length % 2, 0u);  // no lead byte without its trail
    for (size_t i = 80; i < sizeof(out); ++i) EXPECT_EQ(out[i], 'G');
    CopyToAnsiBuffer(L"Notes", out, 80, 932);
    EXPECT_STREQ(out, "Notes");

    SHBToolTipInfo info{};
    for (wchar_t& c : info.szText) c = L'x';  // the owner filled all 80 characters
    NMTTDISPINFOA a{};
    a.hdr.code = TTN_GETDISPINFOA;
    AnswerToolTipRequest(&a.hdr, info);
    EXPECT_EQ(strlen(a.szText), 79u);
    NMTTDISPINFOW w{};
    w.hdr.code = TTN_GETDISPINFOW;
    AnswerToolTipRequest(&w.hdr, info);
    EXPECT_EQ(wcslen(w.lpszText), 79u);
    info.lpszText = const_cast<wchar_t*>(L"Pointer");
    AnswerToolTipRequest(&w.hdr, info);
    EXPECT_STREQ(w.lpszText, L"Pointer");
}

namespace {

// A valid block: a text, a value, both images, extra data.
std::string ValidBlock(HIMAGELIST large, HIMAGELIST small) {
    SHBDragItem item;
    item.text = L"Travel plans";
    item.lParam = static_cast<LPARAM>(0x1234567890LL & static_cast<long long>(~static_cast<LPARAM>(0) >> 1));
    item.images.push_back({0, WriteDragImage(large, 2)});
    item.images.push_back({1, WriteDragImage(small, 2)});
    item.extra = {1, 2, 3};
    const std::vector<BYTE> bytes = PackDragBlock(item);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST(ShortcutBarDragBlock, ValidBlocksComeBackWholeAndDamagedOnesAreRefused) {
    HIMAGELIST large = MakeSquareImages(32, 6), small = MakeSquareImages(16, 6);
    const std::string valid = ValidBlock(large, small);
    SHBDragItem back;
    ASSERT_TRUE(ParseDragBlock(reinterpret_cast<const BYTE*>(valid.data()), valid.size(), back));
    EXPECT_EQ(back.text, L"Travel plans");
    ASSERT_EQ(back.images.size(), 2u);
    EXPECT_EQ(back.extra, (std::vector<BYTE>{1, 2, 3}));
    HIMAGELIST image = ReadDragImage(back.images[0].data);
    ASSERT_NE(image, nullptr);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(image, &cx, &cy);
    EXPECT_EQ(cx, 32);
    ImageList_Destroy(image);
    // Pictures whose heads promise more than the block holds never reach the platform's reader:
    // a block cut short, a bitmap grown wider than its rows, one of 100 planes.
    const std::vector<BYTE> picture = back.images[0].data;
    const size_t info = 28 + sizeof(BITMAPFILEHEADER);
    EXPECT_EQ(ReadDragImage(std::vector<BYTE>(picture.begin(), picture.end() - 64)), nullptr);
    std::vector<BYTE> wider = picture;
    const LONG width = 4096;
    memcpy(wider.data() + info + offsetof(BITMAPINFOHEADER, biWidth), &width, sizeof(width));
    EXPECT_EQ(ReadDragImage(wider), nullptr);
    std::vector<BYTE> planes = picture;
    const WORD hundred = 100;
    memcpy(planes.data() + info + offsetof(BITMAPINFOHEADER, biPlanes), &hundred, sizeof(hundred));
    EXPECT_EQ(ReadDragImage(planes), nullptr);

    // A value as wide as a pointer survives.
    SHBDragItem wide;
    wide.text = L"x";
    wide.lParam = static_cast<LPARAM>(~static_cast<ULONG_PTR>(0) - 5);
    const std::vector<BYTE> packed = PackDragBlock(wide);
    ASSERT_TRUE(ParseDragBlock(packed.data(), packed.size(), back));
    EXPECT_EQ(back.lParam, wide.lParam);

    // Blocks that lie about themselves.
    auto refuse = [&](std::string block) {
        SHBDragItem item;
        item.text = L"untouched";
        EXPECT_FALSE(ParseDragBlock(reinterpret_cast<const BYTE*>(block.data()), block.size(), item));
        EXPECT_EQ(item.text, L"untouched");
    };
    refuse(std::string("a\0b\0", 4));                    // no terminator
    refuse(valid.substr(0, valid.size() - 1));           // extra data cut short
    const size_t countAt = (12 + 1) * 2 + sizeof(LPARAM);  // after "Travel plans" and the value
    for (int32_t count : {-1, 3, INT32_MAX}) {
        std::string block = valid;
        memcpy(block.data() + countAt, &count, 4);
        refuse(block);
    }
    std::string huge = valid;
    const int32_t size = 0x7FFFFFF0;
    memcpy(huge.data() + countAt + 12, &size, 4);
    refuse(huge);
    EXPECT_EQ(ReadDragImage(std::vector<BYTE>(40, 0)), nullptr);

    // Seeded damage: never more than the block, never a crash.
    for (uint32_t seed = 1; seed <= 400; ++seed) {
        Random random(seed);
        const std::string block = random.Damaged(valid);
        SHBDragItem item;
        if (ParseDragBlock(reinterpret_cast<const BYTE*>(block.data()), block.size(), item)) {
            EXPECT_LE(static_cast<size_t>(item.text.GetLength()) * 2, block.size()) << "seed " << seed;
            for (const SHBDragImage& i : item.images)
                if (HIMAGELIST list = ReadDragImage(i.data)) ImageList_Destroy(list);
        }
    }
    ImageList_Destroy(large);
    ImageList_Destroy(small);
}

// The second process: offers one damaged block (seed in the environment) on the clipboard and ends.
TEST(ShortcutBarDropPeer, DISABLED_OfferADamagedBlock) {
    ASSERT_EQ(OleInitialize(nullptr), S_OK);
    wchar_t value[16] = {};
    GetEnvironmentVariableW(L"TARVELO_SHB_SEED", value, 16);
    HIMAGELIST large = MakeSquareImages(32, 6), small = MakeSquareImages(16, 6);
    Random random(static_cast<uint32_t>(_wtoi(value)));
    const std::string block = _wtoi(value) == 0 ? ValidBlock(large, small) : random.Damaged(ValidBlock(large, small));
    COleDataSource* source = COleDataSource::Create();
    source->CacheData(GetShortcutBarItemFormat(), block.data(), block.size());
    source->CacheData(CF_UNICODETEXT, L"peer", sizeof(L"peer"));
    ASSERT_EQ(OleSetClipboard(source), S_OK);
    ASSERT_EQ(OleFlushClipboard(), S_OK);
    source->InternalRelease();
    ImageList_Destroy(large);
    ImageList_Destroy(small);
    OleUninitialize();
}

TEST(ShortcutBarDragBlock, BlocksAnotherProcessOffersAreDroppedWholeOrNotAtAll) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    ShortcutHostWnd host;
    ASSERT_TRUE(host.Build(kStyle));
    COXSHBListCtrl& list = *host.bar.GetGroupListCtrl(host.notes);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    HIMAGELIST large = MakeSquareImages(32, 6), small = MakeSquareImages(16, 6);
    const std::string valid = ValidBlock(large, small);
    int dropped = 0;
    for (int seed = 0; seed <= 24; ++seed) {
        CString env;
        env.Format(L"%d", seed);
        SetEnvironmentVariableW(L"TARVELO_SHB_SEED", env);
        CString command = L"\"" + CString(self) + L"\" --gtest_also_run_disabled_tests --gtest_filter=ShortcutBarDropPeer.* --gtest_brief=1";
        STARTUPINFOW startup = {sizeof(startup)};
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessW(nullptr, command.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
        ASSERT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
        DWORD code = 1;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        ASSERT_EQ(code, 0u) << "seed " << seed;

        std::vector<CString> before;
        for (int i = 0; i < list.GetItemCount(); ++i) before.push_back(list.GetItemText(i));
        IDataObject* offered = nullptr;
        ASSERT_EQ(OleGetClipboard(&offered), S_OK);
        COleDataObject data;
        data.Attach(offered);
        const CPoint below(20, list.GetItemFullRect(list.GetItemCount() - 1).bottom + 3);
        RelayOver(list, WM_DRAGRELAY_ENTER, below, &data);
        ASSERT_EQ(list.GetInsertIndex(), list.GetItemCount()) << "seed " << seed;
        RelayOver(list, WM_DRAGRELAY_DROP, below, &data, 0, DROPEFFECT_COPY);
        const std::string block = seed == 0 ? valid : Random(static_cast<uint32_t>(seed)).Damaged(valid);
        SHBDragItem expected;
        const bool whole = ParseDragBlock(reinterpret_cast<const BYTE*>(block.data()), block.size(), expected);
        // The items that were there stay as they were; a whole block adds one item at the end.
        ASSERT_EQ(list.GetItemCount(), static_cast<int>(before.size()) + (whole ? 1 : 0)) << "seed " << seed;
        for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(list.GetItemText(static_cast<int>(i)), before[i]) << "seed " << seed;
        if (whole) {
            EXPECT_EQ(list.GetItemText(list.GetItemCount() - 1), expected.text);
            EXPECT_EQ(list.GetItemData(list.GetItemCount() - 1), 0);  // a value from elsewhere is not taken
            list.DeleteItem(list.GetItemCount() - 1);
            ++dropped;
        }
        EXPECT_EQ(list.GetInsertIndex(), -1);
    }
    SetEnvironmentVariableW(L"TARVELO_SHB_SEED", nullptr);
    EXPECT_GE(dropped, 1);  // at least the valid block
    ImageList_Destroy(large);
    ImageList_Destroy(small);
    OleUninitialize();
}
