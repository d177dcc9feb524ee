// Tab skins drawn into memory bitmaps: the Office XP and 2003 tab control
// (faces, edges, the strip, the frame, no tabs), the scroll arrows, the
// workspace border and the sides AdjustTabRect widens; the Classic vertical
// text; the 2003 theme handles; the skinned controls' shared mouse hooks.
#include "ToolkitFixture.h"

#include "skins/SkinnedComboBox.h"
#include "skins/SkinnedTabCtrl.h"

namespace {

// A popup window holding a skinned tab control of 300 x 120.
struct TabWindow {
    explicit TabWindow(DWORD style = 0, int tabs = 3, int width = 300) {
        EXPECT_TRUE(host.CreateEx(0, nullptr, L"tabs", WS_POPUP | WS_VISIBLE, CRect(40, 40, 40 + width + 20, 200), nullptr, 0));
        EXPECT_TRUE(tab.Create(WS_CHILD | WS_VISIBLE | style, CRect(10, 10, 10 + width, 130), &host, 7));
        tab.SetFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
        for (int i = 0; i < tabs; ++i) {
            CString title;
            title.Format(L"Tab %d", i);
            tab.InsertItem(i, title);
        }
        if (tabs > 1) tab.SetCurSel(1);
        PumpMessages();
    }
    ~TabWindow() {
        host.DestroyWindow();
        PumpMessages();
    }
    CRect Item(int index) {
        CRect r;
        tab.GetItemRect(index, &r);
        return r;
    }
    CRect Display() {
        CRect r;
        tab.GetClientRect(&r);
        tab.AdjustRect(FALSE, &r);
        return r;
    }
    CWnd host;
    COXSkinnedTabCtrl tab;
};

// A visual style that counts its handles.
struct Counting {
    static inline int opened = 0, closed = 0;
    static HANDLE WINAPI Themed(HWND, LPCWSTR) { ++opened; return reinterpret_cast<HANDLE>(1); }
    static HANDLE WINAPI Unthemed(HWND, LPCWSTR) { ++opened; return nullptr; }
    static COLORREF WINAPI Color(HANDLE, int) { return RGB(0, 0, 200); }
    static HRESULT WINAPI Close(HANDLE) { ++closed; return S_OK; }
};

COLORREF Strip() { return COXSkinXP::ScaleColor(GetSysColor(COLOR_BTNFACE), 1.2f, 1.2f, 1.2f); }

}  // namespace

TEST(TabSkin, OfficeLooksPaintFacesEdgesStripAndFrameAndStillPaintAControlWithoutTabs) {
    TestApp<COXSkinnedApp> app{L"TabSkinPaint"};
    for (const wchar_t* look : {L"Office XP", L"Office 2003"}) {
        SCOPED_TRACE(CString(look).GetString());
        ASSERT_TRUE(app.SetCurrentSkin(look));
        auto* skin = dynamic_cast<COXTabSkinXP*>(app.GetCurrentSkin()->GetTabSkin());
        ASSERT_NE(skin, nullptr);
        TabWindow w;
        MemoryCanvas canvas(300, 120);
        skin->PaintTabCtrl(&canvas.dc, &w.tab);
        EXPECT_EQ(canvas.Count(CRect(0, 0, 300, 120), RGB(1, 2, 3)), 0);  // every pixel painted

        const CRect selected = w.Item(1), other = w.Item(0), display = w.Display();
        // The selected tab: button face, a white edge left and top, a black one at the right.
        EXPECT_EQ(canvas.Pixel(selected.left + 6, selected.bottom - 2), GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(canvas.Pixel(selected.left, selected.top + 4), RGB(255, 255, 255));
        EXPECT_EQ(canvas.Pixel(selected.left + 8, selected.top), RGB(255, 255, 255));
        EXPECT_EQ(canvas.Pixel(selected.right - 1, selected.top + 4), RGB(0, 0, 0));
        // The strip above the tabs: flat (XP), or a gradient that darkens downward (2003); a white line closes it.
        const int x = display.right - 10;
        const COLORREF top = canvas.Pixel(x, 1), nearTabs = canvas.Pixel(x, display.top - 5);
        if (CString(look) == L"Office XP") {
            EXPECT_EQ(top, Strip());
            EXPECT_EQ(nearTabs, Strip());
            EXPECT_EQ(canvas.Pixel(other.left + 4, other.top + 2), Strip());  // an unselected tab's face
        } else {
            EXPECT_GT(GetRValue(top) + GetGValue(top) + GetBValue(top), GetRValue(nearTabs) + GetGValue(nearTabs) + GetBValue(nearTabs));
        }
        EXPECT_EQ(canvas.Pixel(x, display.top - 3), RGB(255, 255, 255));
        // The shadow frame round the display area.
        EXPECT_EQ(canvas.Pixel(display.left, display.top + 20), GetSysColor(COLOR_3DSHADOW));
        EXPECT_EQ(canvas.Pixel(display.right - 1, display.top + 20), GetSysColor(COLOR_3DSHADOW));
        // The page itself is the look's background (XP: button face; 2003: its colour 7).
        EXPECT_EQ(canvas.Pixel(display.CenterPoint().x, display.CenterPoint().y), app.GetCurrentSkin()->GetTabSkin() == skin && CString(look) == L"Office XP"
                                                                                       ? GetSysColor(COLOR_BTNFACE)
                                                                                       : dynamic_cast<COXSkinXP*>(app.GetCurrentSkin())->GetColor(7));

        // Tabs at the bottom: a black line under the display area, a white one down the selected tab's left.
        TabWindow low(TCS_BOTTOM);
        MemoryCanvas lower(300, 120);
        skin->PaintTabCtrl(&lower.dc, &low.tab);
        const CRect area = low.Display(), sel = low.Item(1);
        EXPECT_EQ(lower.Pixel(area.right - 10, area.bottom + 2), RGB(0, 0, 0));
        EXPECT_EQ(lower.Pixel(sel.left, sel.top + 4), RGB(255, 255, 255));
        EXPECT_EQ(lower.Pixel(sel.left + 8, sel.bottom - 1), RGB(0, 0, 0));

        // No tabs: the background still reaches the target (nothing is left unpainted).
        TabWindow empty(0, 0);
        MemoryCanvas blank(300, 120);
        skin->PaintTabCtrl(&blank.dc, &empty.tab);
        EXPECT_EQ(blank.Count(CRect(0, 0, 300, 120), RGB(1, 2, 3)), 0);
    }
}

TEST(TabSkin, ScrollArrowsAreSubclassedFilledWhileTheyCanMoveAndTabsUnderThemAreCut) {
    TestApp<COXSkinnedApp> app{L"TabSkinSpin"};
    ASSERT_TRUE(app.SetCurrentSkin(L"Office XP"));
    auto* skin = dynamic_cast<COXTabSkinXP*>(app.GetCurrentSkin()->GetTabSkin());
    TabWindow w(0, 12, 200);  // far more tabs than fit: the control shows its arrows
    w.tab.UpdateWindow();
    PumpMessages();
    COXSkinnedSpinCtrl& spin = w.tab.GetSpinCtrl();
    ASSERT_NE(spin.m_hWnd, nullptr);  // taken over by the first paint
    EXPECT_NE(COXSkinnedSpinCtrl::GetHookHandle(), nullptr);

    CRect client;
    spin.GetClientRect(&client);
    const COLORREF arrow = app.GetCurrentSkin()->GetTabSkin() ? dynamic_cast<COXSkinXP*>(app.GetCurrentSkin())->GetColor(8) : 0;
    auto arrowPixels = [&](int pos) {
        spin.SetPos(pos);
        MemoryCanvas canvas(client.Width(), client.Height());
        skin->PaintSpinCtrl(&canvas.dc, &spin);
        const int half = client.Width() / 2;
        return std::pair(canvas.Count(CRect(0, 0, half, client.Height()), arrow), canvas.Count(CRect(half, 0, client.Width(), client.Height()), arrow));
    };
    const auto [leftAtStart, rightAtStart] = arrowPixels(0);
    EXPECT_LT(leftAtStart, rightAtStart);  // at the start only the right arrow can move: an outline on the left
    const auto [leftInside, rightInside] = arrowPixels(1);
    EXPECT_EQ(leftInside, rightInside);  // both filled

    // A tab that reaches under the arrows is cut at their left edge.
    MemoryCanvas canvas(200, 120);
    canvas.dc.FillSolidRect(CRect(0, 0, 200, 120), RGB(1, 2, 3));
    spin.SetPos(0);
    skin->PaintTabCtrl(&canvas.dc, &w.tab);
    CRect spinRect;
    spin.GetWindowRect(&spinRect);
    w.tab.ScreenToClient(&spinRect);
    int cutTab = -1;
    for (int i = 0; i < 12 && cutTab < 0; ++i)
        if (w.Item(i).left < spinRect.left && w.Item(i).right > spinRect.left) cutTab = i;
    ASSERT_GE(cutTab, 0);
    const CRect cut = w.Item(cutTab);
    // Right of the arrows' edge the row shows the strip only: no text, no separator of the cut tab.
    CRect display;
    w.tab.GetClientRect(&display);
    w.tab.AdjustRect(FALSE, &display);
    const CRect under(spinRect.left, cut.top + 1, 200, display.top - 4);
    EXPECT_EQ(canvas.Count(under, Strip()), under.Width() * under.Height());
}

TEST(TabSkin, BordersAndTheSidesWithoutTabsFollowTheLook) {
    TestApp<COXSkinnedApp> app{L"TabSkinBorders"};
    COXTabSkinClassic classic;
    MemoryCanvas canvas(40, 30);
    classic.DrawWorkspaceBorder(&canvas.dc, CRect(0, 0, 40, 30), nullptr);
    EXPECT_EQ(canvas.Pixel(10, 0), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(canvas.Pixel(0, 10), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(canvas.Pixel(39, 10), GetSysColor(COLOR_3DHIGHLIGHT));
    EXPECT_EQ(canvas.Pixel(10, 29), GetSysColor(COLOR_3DHIGHLIGHT));
    EXPECT_EQ(canvas.Pixel(10, 10), RGB(1, 2, 3));

    ASSERT_TRUE(app.SetCurrentSkin(L"Office XP"));
    auto* xp = app.GetCurrentSkin()->GetTabSkin();
    MemoryCanvas flat(40, 30);
    xp->DrawWorkspaceBorder(&flat.dc, CRect(0, 0, 40, 30), nullptr);
    const COLORREF border = dynamic_cast<COXSkinXP*>(app.GetCurrentSkin())->GetColor(10);
    EXPECT_EQ(flat.Count(CRect(0, 0, 40, 30), border), 2 * 40 + 2 * 28);

    // Tabs on top: the rectangle grows on the left, right and bottom only; at the bottom: all but the bottom.
    TabWindow top;
    CRect r(10, 10, 100, 100);
    xp->AdjustTabRect(r, 5, &top.tab);
    EXPECT_EQ(r, CRect(5, 10, 105, 105));
    TabWindow bottom(TCS_BOTTOM);
    r = CRect(10, 10, 100, 100);
    xp->AdjustTabRect(r, 4, &bottom.tab);
    EXPECT_EQ(r, CRect(6, 6, 104, 100));
    r = CRect(10, 10, 100, 100);
    classic.AdjustTabRect(r, 5, &top.tab);
    EXPECT_EQ(r, CRect(10, 10, 100, 100));
}

TEST(TabSkin, ClassicVerticalTextLongTitlesAndThe2003ThemeHandles) {
    // Vertical tabs: each tab's text is drawn rotated inside its own rectangle.
    TabWindow w(TCS_VERTICAL | TCS_MULTILINE, 2);
    MemoryCanvas canvas(300, 120, RGB(255, 255, 255));
    COXTabSkinClassic::DrawVerticalTabText(&canvas.dc, &w.tab);
    for (int i = 0; i < 2; ++i) {
        const CRect item = w.Item(i);
        EXPECT_GT(item.Width() * item.Height() - canvas.Count(item, RGB(255, 255, 255)), 5) << "tab " << i;
    }

    // The tabs' font is the system's menu font (the metrics are asked in the size older systems take).
    NONCLIENTMETRICSW full{};
    full.cbSize = sizeof(full);
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(full), &full, 0));
    const LOGFONTW menuFont = GetMenuLogFont();
    EXPECT_STREQ(menuFont.lfFaceName, full.lfMenuFont.lfFaceName);
    EXPECT_EQ(menuFont.lfHeight, full.lfMenuFont.lfHeight);

    // A title longer than the text buffer comes back cut to the buffer, never past it.
    const CString longTitle(L'x', 600);
    w.tab.InsertItem(2, longTitle);
    int image = 7;
    EXPECT_EQ(GetTabItemText(&w.tab, 2, &image).GetLength(), kTabTextMax);
    EXPECT_EQ(image, -1);

    // Every theme handle the 2003 colours open is closed again, with and without a style.
    int& opened = Counting::opened;
    int& closed = Counting::closed;
    for (bool themed : {true, false}) {
        const COXUxTheme::Functions f{themed ? &Counting::Themed : &Counting::Unthemed, &Counting::Color, &Counting::Close};
        COXSkin2003 skin(f);
        auto* tabs = dynamic_cast<COXTabSkin2003*>(skin.GetTabSkin());
        ASSERT_NE(tabs, nullptr);
        opened = closed = 0;
        const auto g = tabs->GetGradient();
        tabs->GetGradient();
        EXPECT_EQ(opened, 2);
        EXPECT_EQ(closed, themed ? 2 : 0);  // a failed open leaves nothing to close
        const COLORREF window = GetSysColor(COLOR_WINDOW);
        EXPECT_EQ(g.dark, themed ? COXSkinXP::BlendColors(window, RGB(0, 0, 200), 0.2f, 0.8f)
                                 : COXSkinXP::BlendColors(window, GetSysColor(COLOR_BTNFACE), 0.04f, 0.96f));
    }
}

TEST(SkinnedControls, EachKindSharesOneMouseHookThatLastsUntilTheLastControlGoes) {
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, nullptr, L"host", WS_POPUP | WS_VISIBLE, CRect(0, 0, 300, 200), nullptr, 0));
    {
        COXSkinnedSpinCtrl first, second;
        ASSERT_TRUE(first.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 30, 20), &host, 1));
        ASSERT_TRUE(second.Create(WS_CHILD | WS_VISIBLE, CRect(40, 0, 70, 20), &host, 2));
        const HHOOK hook = COXSkinnedSpinCtrl::GetHookHandle();
        ASSERT_NE(hook, nullptr);
        first.DestroyWindow();
        EXPECT_EQ(COXSkinnedSpinCtrl::GetHookHandle(), hook);  // the other spin still tracks the mouse
        second.DestroyWindow();
        EXPECT_EQ(COXSkinnedSpinCtrl::GetHookHandle(), nullptr);
    }
    {
        COXSkinnedComboBox first, second;
        ASSERT_TRUE(first.CreateEx(0, L"ComboBox", nullptr, WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, CRect(0, 30, 120, 200), &host, 3));
        ASSERT_TRUE(second.CreateEx(0, L"ComboBox", nullptr, WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(0, 60, 120, 200), &host, 4));
        ASSERT_NE(COXSkinnedComboBox::GetHookHandle(), nullptr);
        first.DestroyWindow();
        EXPECT_NE(COXSkinnedComboBox::GetHookHandle(), nullptr);
        // A combo box whose creation fails installs nothing.
        COXSkinnedComboBox orphan;
        EXPECT_FALSE(orphan.CreateEx(0, L"ComboBox", nullptr, WS_CHILD, CRect(0, 0, 10, 10), nullptr, 5));
        second.DestroyWindow();
        EXPECT_EQ(COXSkinnedComboBox::GetHookHandle(), nullptr);
        // comctl32's own answer, though no tool bar has been built in this process.
        DWORD major = 0, minor = 0;
        ASSERT_TRUE(SUCCEEDED(COXCoolToolBar::ProbeComCtlVersion(&major, &minor)));
        EXPECT_EQ(COXCoolToolBar::GetComCtlVersion(), (major << 16) | minor);
        EXPECT_EQ(first.IsComCtl6(), ((major << 16) | minor) >= 0x60000 ? TRUE : FALSE);
    }
    host.DestroyWindow();
}
