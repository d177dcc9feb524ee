// The toolkit's status bar: stretching panes share the free width, progress
// panes, double clicks and tool hits, the texts set without update, and the
// skins' painting in pixels (indicators, frames, separators, grippers, a
// progress step's percentage).
#include "ToolkitFixture.h"

#include "bars/SkinnedStatusBar.h"
#include "wnd/ToolTips.h"

#include <cstring>

namespace {

constexpr UINT kPanes[] = {ID_SEPARATOR, 3001, 3002, ID_INDICATOR_CAPS};

struct StatusHost {
    explicit StatusHost(DWORD frameStyle = WS_OVERLAPPEDWINDOW) {
        frame = new CFrameWnd;
        frame->CreateEx(0, CWnd::RegisterWndClass(0), L"Status", frameStyle, CRect(0, 0, 600, 300), nullptr, 0);
        bar.Create(frame);
        bar.SetIndicators(kPanes, 4);
        bar.SetPaneInfo(1, 3001, SBPS_STRETCH, 40);
        bar.SetPaneInfo(2, 3002, SBPS_NORMAL, 50);
        bar.SetPaneText(3, L"CAPS");
        frame->RecalcLayout();
        bar.MoveWindow(0, 0, 500, 24);
        PumpMessages();
    }
    ~StatusHost() {
        frame->DestroyWindow();
        PumpMessages();
    }
    // The bar's client width at which `free` pixels are left to stretch.
    int WidthFor(int free) {
        int borders[3] = {};
        bar.SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
        int used = 0;
        for (int i = 0; i < bar.GetCount(); ++i) {
            UINT id, style;
            int width;
            bar.GetPaneInfo(i, id, style, width);
            used += width + 6 + borders[2];
        }
        CRect client, inside;
        bar.GetClientRect(&client);
        inside = client;
        bar.CalcInsideRect(inside, TRUE);
        return free + used - borders[2] + (client.Width() - inside.Width());
    }
    CRect Pane(int i) {
        CRect r;
        bar.GetItemRect(i, &r);
        return r;
    }
    CFrameWnd* frame;
    COXStatusBar bar;
};

class DblClkCatcher : public CFrameWnd {
public:
    UINT lastId = 0;
    int count = 0;

protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {MapMessage<&DblClkCatcher::OnPaneDblClk>(WM_OX_STATUSBAR_DBLCLK)};
        static const MessageMap map{CFrameWnd::GetMessageMap(), entries};
        return &map;
    }
    LRESULT OnPaneDblClk(WPARAM id, LPARAM) {
        lastId = static_cast<UINT>(id);
        ++count;
        return 0;
    }
};

TEST(StatusBar, StretchingPanesShareTheFreeWidthInOrderAndProgressPanesKeepRoomForThePercentage) {
    StatusHost host;
    COXStatusBar& bar = host.bar;
    // Two stretching panes (the message pane and 3001), 101 pixels free: 50 then 51.
    bar.MoveWindow(0, 0, host.WidthFor(101), 24);
    PumpMessages();
    EXPECT_EQ(host.Pane(0).Width(), 6 + 0 + 50);
    EXPECT_EQ(host.Pane(1).Width(), 6 + 40 + 51);
    EXPECT_EQ(host.Pane(2).Width(), 6 + 50);
    // Too narrow: nobody stretches.
    bar.MoveWindow(0, 0, host.WidthFor(-30), 24);
    PumpMessages();
    EXPECT_EQ(host.Pane(0).Width(), 6);
    EXPECT_EQ(host.Pane(1).Width(), 46);

    bar.MoveWindow(0, 0, 500, 24);
    ASSERT_TRUE(bar.SetUpBar(2, TRUE));
    CWnd* progress = bar.GetPaneProgress(2);
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(bar.GetPaneText(2), L"");
    EXPECT_FALSE(progress->GetExStyle() & WS_EX_STATICEDGE);
    CRect inside, placed;
    progress->GetWindowRect(&placed);
    bar.ScreenToClient(&placed);
    ASSERT_TRUE(bar.GetPaneControlRect(2, inside, TRUE));
    EXPECT_EQ(placed.right, inside.right);
    EXPECT_GT(placed.left, inside.left + 10);  // "999%" fits left of the bar
    EXPECT_TRUE(bar.SetBarProgress(2, 200, 50));
    EXPECT_EQ(bar.GetBarPercent(2), 25);
    EXPECT_EQ(progress->SendMessage(PBM_GETPOS), 25);
    EXPECT_TRUE(bar.SetBarProgress(2, 10, 99));  // more done than there is: full, never over
    EXPECT_EQ(bar.GetBarPercent(2), 100);
    EXPECT_FALSE(bar.SetBarProgress(1, 10, 5));  // not a progress pane
    EXPECT_FALSE(bar.SetUpBar(9, TRUE));

    // The progress control is a tool of its own: pane index + pane count. (The first query
    // clears a press another program's test left in the button's "pressed since" bit.)
    GetAsyncKeyState(VK_LBUTTON);
    bar.SetPaneTip(1, L"Words");
    bar.SetPaneTip(2, L"Saving");
    CToolInfo overBar;
    EXPECT_EQ(bar.OnToolHitTest(placed.CenterPoint(), &overBar), 2 + bar.GetCount());
    EXPECT_EQ(overBar.GetText(), L"Saving");
    EXPECT_FALSE(overBar.uFlags & TTF_CENTERTIP);
    CToolInfo overPane;
    EXPECT_EQ(bar.OnToolHitTest(host.Pane(1).CenterPoint(), &overPane), 3001);
    EXPECT_EQ(CRect(overPane.rect), host.Pane(1));
    EXPECT_EQ(overPane.hwnd, bar.m_hWnd);
    EXPECT_EQ(overPane.GetText(), L"Words");
    CToolInfo outside;
    EXPECT_EQ(bar.OnToolHitTest(CPoint(-5, -5), &outside), -1);
}

// The tools the framework's tooltip holds, with their texts.
CString ToolTexts(HWND tip) {
    CString texts;
    const int count = tip ? static_cast<int>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0)) : 0;
    for (int i = 0; i < count; ++i) {
        wchar_t text[80] = {};
        TOOLINFOW info{};
        info.cbSize = sizeof(info);
        info.lpszText = text;
        SendMessageW(tip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
        texts += CString(text) + L";";
    }
    return texts;
}

TEST(StatusBar, PaneTipsShowThroughTheFrameworksTooltipAndNewIndicatorsStartBare) {
    StatusHost host;
    COXStatusBar& bar = host.bar;
    GetAsyncKeyState(VK_LBUTTON);
    ASSERT_TRUE(bar.SetUpBar(2, TRUE));
    const HWND progress = bar.GetPaneProgress(2)->m_hWnd;
    bar.SetPaneTip(1, L"Words");
    bar.SetPaneCursor(1, LoadCursorW(nullptr, IDC_HAND));
    auto moveOver = [&](int pane) {
        CPoint point = host.Pane(pane).CenterPoint();
        point.x = host.Pane(pane).left + 2;  // left of a progress control
        MSG msg{bar.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y), 0, point};
        bar.ClientToScreen(&msg.pt);
        bar.PreTranslateMessage(&msg);
        return ToolTexts(GetFrameworkToolTip());
    };
    EXPECT_EQ(moveOver(1), L"Words;");
    EXPECT_EQ(moveOver(0), L"");  // a pane without a tip has no tool
    EXPECT_EQ(moveOver(1), L"Words;");
    bar.SetPaneTip(1, L"Letters");
    EXPECT_EQ(moveOver(1), L"Letters;");

    // Refused indicators change nothing; new ones drop every pane's extras with the old panes.
    EXPECT_FALSE(bar.SetIndicators(kPanes, 300));
    EXPECT_EQ(bar.GetPaneTip(1), L"Letters");
    EXPECT_EQ(bar.GetPaneProgress(2)->m_hWnd, progress);
    ASSERT_TRUE(bar.SetIndicators(kPanes, 3));
    PumpMessages();
    EXPECT_FALSE(IsWindow(progress));
    EXPECT_EQ(bar.GetPaneProgress(2), nullptr);
    EXPECT_EQ(bar.GetBarPercent(2), -1);
    EXPECT_EQ(bar.GetPaneTip(1), L"");
    EXPECT_EQ(moveOver(1), L"");
    EXPECT_TRUE(bar.SetUpBar(2, FALSE));  // the new pane takes a bar of its own
    EXPECT_NE(bar.GetPaneProgress(2), nullptr);
}

TEST(StatusBar, DoubleClicksNameThePaneAndTextsSetWithoutUpdateAreSetAgainLater) {
    auto* frame = new DblClkCatcher;
    frame->CreateEx(0, CWnd::RegisterWndClass(0), L"Status", WS_OVERLAPPEDWINDOW, CRect(0, 0, 600, 300), nullptr, 0);
    COXStatusBar bar;
    bar.Create(frame);
    bar.SetIndicators(kPanes, 4);
    frame->RecalcLayout();
    PumpMessages();
    CRect pane;
    bar.GetItemRect(2, &pane);
    bar.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(pane.left + 2, pane.top + 2));
    EXPECT_EQ(frame->count, 1);
    EXPECT_EQ(frame->lastId, 3002u);
    CRect client;
    bar.GetClientRect(&client);
    bar.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(client.right + 40, 2));  // outside every pane
    EXPECT_EQ(frame->count, 1);

    bar.SetPaneText(0, L"later", FALSE);
    EXPECT_EQ(bar.GetPaneText(0), L"later");
    bar.UpdateAllPanes(FALSE, TRUE);
    // Set again with update: the flag is gone, the pane is owner-drawn with its index.
    EXPECT_EQ(bar.SendMessage(SB_GETTEXTW, 0, 0) & 0xFFFF, 0);
    EXPECT_TRUE(bar.SetPaneCursor(1, LoadCursorW(nullptr, IDC_HAND)));
    EXPECT_FALSE(bar.SetPaneTip(7, L"none"));
    frame->DestroyWindow();
    PumpMessages();
}

// Pixels ---------------------------------------------------------------------------------

// The virtual slot a member function pointer names (the Itanium ABI keeps 1 + its byte offset).
template <typename F> ptrdiff_t SlotOf(F f) {
    ptrdiff_t raw[2] = {};
    static_assert(sizeof(f) == sizeof(raw));
    std::memcpy(raw, &f, sizeof(raw));
    return (raw[0] - 1) / static_cast<ptrdiff_t>(sizeof(void*));
}

TEST(StatusBarSkins, OfficeLooksDrawIndicatorsByTheirKeyFramesSeparatorsAndGrippersOnlyWhereTheFrameSizes) {
    // Skins are called by slot: the four operations follow the destructor's two in this order.
    EXPECT_EQ(SlotOf(&COXStatusbarSkin::DrawStatusBar), 2);
    EXPECT_EQ(SlotOf(&COXStatusbarSkin::DrawPanes), 3);
    EXPECT_EQ(SlotOf(&COXStatusbarSkin::DrawPaneBorders), 4);
    EXPECT_EQ(SlotOf(&COXStatusbarSkin::DrawSizeGripper), 5);
    EXPECT_GT(SlotOf(&COXStatusbarSkin::DrawStatusBarOn), 5);

    StatusHost host;
    COXStatusBar& bar = host.bar;
    bar.MoveWindow(0, 0, 400, 23);  // odd height: the gripper is one pixel narrower
    PumpMessages();
    CRect client;
    bar.GetClientRect(&client);
    COXSkinXP xp;
    COXSkin2003 office2003;
    auto* xpSkin = xp.GetStatusbarSkin();
    auto* skin2003 = office2003.GetStatusbarSkin();
    const CRect caps = COXStatusbarSkinXP::PaneRect(&bar, 3);
    UINT capsId, capsStyle;
    int capsWidth;
    bar.GetPaneInfo(3, capsId, capsStyle, capsWidth);
    EXPECT_EQ(caps.Width(), capsWidth + 6);

    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE before = keys[VK_CAPITAL];
    auto capsPixels = [&](bool on, COLORREF color) {
        keys[VK_CAPITAL] = on ? 1 : 0;
        SetKeyboardState(keys);
        MemoryCanvas canvas(client.Width(), client.Height());
        xpSkin->DrawPanes(&canvas.dc, &bar);
        return canvas.Count(caps, color);
    };
    const COLORREF text = GetSysColor(COLOR_BTNTEXT), grey = xp.GetColor(16);
    EXPECT_GT(capsPixels(true, text), 10);
    EXPECT_EQ(capsPixels(true, grey), 0);
    EXPECT_GT(capsPixels(false, grey), 10);
    EXPECT_EQ(capsPixels(false, text), 0);
    keys[VK_CAPITAL] = before;
    SetKeyboardState(keys);

    {
        MemoryCanvas canvas(client.Width(), client.Height());
        xpSkin->DrawPaneBorders(&canvas.dc, &bar);
        const COLORREF frame = COXSkinXP::OffsetColor(GetSysColor(COLOR_3DFACE), 17, 12, 16);
        const CRect p1 = COXStatusbarSkinXP::PaneRect(&bar, 1);
        EXPECT_EQ(canvas.Pixel(p1.left, p1.top + 3), frame);
        EXPECT_EQ(canvas.Pixel(p1.right - 1, p1.top + 3), frame);
        EXPECT_EQ(canvas.Pixel(p1.left + 3, p1.top + 3), RGB(1, 2, 3));
    }
    auto gripperPixels = [&](COXStatusbarSkin* skin, COLORREF color) {
        MemoryCanvas canvas(client.Width(), client.Height());
        skin->DrawSizeGripper(&canvas.dc, &bar);
        return canvas.Count(client, color);
    };
    // 22 x 22 at the right: filled, shadow lines every 4 pixels.
    EXPECT_EQ(gripperPixels(xpSkin, GetSysColor(COLOR_3DFACE)) + gripperPixels(xpSkin, GetSysColor(COLOR_3DSHADOW)) +
                  gripperPixels(xpSkin, RGB(255, 255, 255)),
              22 * 22);
    EXPECT_GT(gripperPixels(skin2003, office2003.GetColor(11)), 8);
    // Maximized, or a frame without a sizing border: no gripper.
    host.frame->ShowWindow(SW_MAXIMIZE);
    PumpMessages();
    EXPECT_EQ(gripperPixels(xpSkin, GetSysColor(COLOR_3DSHADOW)), 0);
    host.frame->ShowWindow(SW_RESTORE);
    {
        // A bar in a window of a sizable frame (as in a floating frame's dock bar): the frame decides.
        CWnd holder;
        ASSERT_TRUE(holder.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 23), host.frame, 7));
        COXStatusBar inner;
        ASSERT_TRUE(inner.Create(&holder));
        inner.MoveWindow(0, 0, 400, 23);
        MemoryCanvas canvas(client.Width(), client.Height());
        xpSkin->DrawSizeGripper(&canvas.dc, &inner);
        EXPECT_GT(canvas.Count(client, GetSysColor(COLOR_3DSHADOW)), 8);
    }
    host.frame->ModifyStyle(WS_THICKFRAME, 0);
    EXPECT_EQ(gripperPixels(skin2003, office2003.GetColor(11)), 0);

    bar.MoveWindow(0, 0, 400, 23);
    bar.GetClientRect(&client);
    {
        MemoryCanvas canvas(client.Width(), client.Height());
        skin2003->DrawPaneBorders(&canvas.dc, &bar);
        const CRect p2 = COXStatusbarSkinXP::PaneRect(&bar, 2);
        EXPECT_EQ(canvas.Pixel(p2.right - 1, p2.top + 2), office2003.GetColor(9));
        EXPECT_EQ(canvas.Pixel(p2.right, p2.top + 3), RGB(255, 255, 255));
        EXPECT_EQ(canvas.Pixel(p2.right - 1, p2.top + 1), RGB(1, 2, 3));  // shortened by 2 at the top
        MemoryCanvas back(client.Width(), client.Height());
        skin2003->DrawPanes(&back.dc, &bar);
        auto close = [](COLORREF a, COLORREF b) {
            return std::abs(GetRValue(a) - GetRValue(b)) < 8 && std::abs(GetGValue(a) - GetGValue(b)) < 8 &&
                   std::abs(GetBValue(a) - GetBValue(b)) < 8;
        };
        EXPECT_TRUE(close(back.Pixel(5, 0), office2003.GetAuxColor(3)));  // the top band starts at H3
        EXPECT_EQ(back.Pixel(5, client.Height() / 2), office2003.GetAuxColor(2));
    }
}

TEST(StatusBarSkins, AProgressStepPaintsItsPercentageAsAWholeRepaintWouldInEachLook) {
    TestApp<COXSkinnedApp> app{L"StatusBarStep"};
    StatusHost host;
    COXStatusBar& bar = host.bar;
    host.frame->ShowWindow(SW_SHOW);
    ASSERT_TRUE(bar.SetUpBar(2, TRUE));
    PumpMessages();
    CRect room;
    bar.GetItemRect(2, &room);
    CRect placed;
    bar.GetPaneProgress(2)->GetWindowRect(&placed);
    bar.ScreenToClient(&placed);
    room.right = placed.left;
    // The bar's pixels as the screen shows them.
    auto shown = [&] {
        auto canvas = std::make_unique<MemoryCanvas>(room.right, room.bottom);
        HDC dc = GetDC(bar.m_hWnd);
        BitBlt(canvas->dc, 0, 0, room.right, room.bottom, dc, 0, 0, SRCCOPY);
        ReleaseDC(bar.m_hWnd, dc);
        return canvas;
    };
    for (const wchar_t* look : {L"Classic", L"Office XP", L"Office 2003"}) {
        ASSERT_TRUE(app.SetCurrentSkin(look));
        bar.SetBarProgress(2, 100, 88);
        PumpMessages();
        bar.SetBarProgress(2, 100, 37);  // painted at once, over "88%"
        bar.SetBarProgress(2, 100, 61);  // over the room kept from the step before
        const auto stepped = shown();
        ::RedrawWindow(bar.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        const auto whole = shown();
        int differing = 0, text = 0;
        for (int y = room.top; y < room.bottom; ++y)
            for (int x = room.left; x < room.right; ++x) {
                differing += stepped->Pixel(x, y) != whole->Pixel(x, y);
                text += whole->Pixel(x, y) == GetSysColor(COLOR_BTNTEXT);
            }
        EXPECT_EQ(differing, 0) << look;
        EXPECT_GT(text, 10) << look;
    }
}

TEST(StatusBarSkins, PaneBitmapsShowThePaneThroughTheirTransparentColourInEachPlacement) {
    StatusHost host;
    COXStatusBar& bar = host.bar;
    bar.MoveWindow(0, 0, 500, 30);
    PumpMessages();
    CRect pane;
    ASSERT_TRUE(bar.GetPaneControlRect(2, pane, FALSE));
    // A bitmap 8 wide and twice the pane's height: red, with a magenta (transparent) left half.
    const int h = pane.Height() * 2;
    MemoryCanvas source(8, h);
    source.dc.FillSolidRect(CRect(0, 0, 4, h), RGB(255, 0, 255));
    source.dc.FillSolidRect(CRect(4, 0, 8, h), RGB(255, 0, 0));
    auto makeBitmap = [&] {
        HBITMAP b = CreateCompatibleBitmap(source.dc, 8, h);
        CDC copy;
        copy.CreateCompatibleDC(&source.dc);
        HGDIOBJ old = copy.SelectObject(b);
        copy.BitBlt(0, 0, 8, h, &source.dc, 0, 0, SRCCOPY);
        copy.SelectObject(old);
        return b;
    };
    CRect client;
    bar.GetClientRect(&client);
    auto draw = [&](int mode) {
        auto canvas = std::make_unique<MemoryCanvas>(client.Width(), client.Height(), RGB(0, 128, 0));
        bar.SetPaneBitmap(2, makeBitmap(), mode, RGB(255, 0, 255));
        bar.DrawPaneContents(&canvas->dc, 2, 0);
        return canvas;
    };
    const int dx = pane.Width() - 8;
    {
        auto c = draw(OX_BMP_RIGHT);  // at the right, squeezed to the pane's height
        EXPECT_EQ(c->Pixel(pane.left + dx + 1, pane.top + 1), RGB(0, 128, 0));  // transparent half
        EXPECT_EQ(c->Pixel(pane.left + dx + 6, pane.top + 1), RGB(255, 0, 0));
        EXPECT_EQ(c->Pixel(pane.left + 2, pane.top + 1), RGB(0, 128, 0));
        EXPECT_EQ(c->Count(pane, RGB(255, 0, 0)), 4 * pane.Height());
    }
    {
        auto c = draw(OX_BMP_CROP_CENTER);  // centred, cut to the pane
        EXPECT_EQ(c->Pixel(pane.left + dx / 2 + 5, pane.bottom - 1), RGB(255, 0, 0));
        EXPECT_EQ(c->Count(pane, RGB(255, 0, 0)), 4 * pane.Height());
    }
    {
        auto c = draw(OX_BMP_STRETCH);  // over the whole pane
        EXPECT_EQ(c->Pixel(pane.right - 2, pane.top), RGB(255, 0, 0));
        EXPECT_EQ(c->Pixel(pane.left + 1, pane.top), RGB(0, 128, 0));
    }
    {
        auto c = std::make_unique<MemoryCanvas>(client.Width(), client.Height(), RGB(0, 128, 0));
        bar.DrawPaneContents(&c->dc, 2, SBPS_DISABLED);
        EXPECT_EQ(c->Count(client, RGB(255, 0, 0)), 0);
    }
    EXPECT_TRUE(bar.SetPaneBitmap(2, nullptr, 0, 0));
    EXPECT_FALSE(bar.HasPaneBitmap(2));
}

}  // namespace
