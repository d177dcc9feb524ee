// Tool-bar skins drawn into memory bitmaps: the Classic gripper, separator
// and state colours of the custom draw, the owner relay (code 32891) in a
// direct call and in a real paint of the bar, and the whole bar as the
// Office XP and 2003 looks paint it.
#include "ToolkitFixture.h"

#include <set>

namespace {

// A frame that watches the relay of its toolbar's custom draw and may draw a stage itself.
class RelayFrame : public CFrameWnd {
public:
    std::set<DWORD> stages;
    bool takeOver = false;
    int relays = 0;
    int dropDowns = 0;

protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMapEntry entries[] = {MapNotify<&RelayFrame::OnRelay>(OXTBN_CUSTOMDRAWRELAY, 32950),
                                                  MapNotify<&RelayFrame::OnDropDown>(TBN_DROPDOWN, 32950)};
        static const MessageMap map{CFrameWnd::GetMessageMap(), entries};
        return &map;
    }
    void OnRelay(NMHDR* header, LRESULT* result) {
        auto* relay = reinterpret_cast<OXTBCUSTOMDRAWRELAY*>(header);
        ++relays;
        stages.insert(relay->pCustomDraw->nmcd.dwDrawStage);
        if (takeOver) {
            relay->bDoDefault = FALSE;
            relay->result = 0x1234;
        }
        *result = 0;
    }
    void OnDropDown(NMHDR*, LRESULT* result) {
        ++dropDowns;
        *result = TBDDRET_DEFAULT;
    }
};

NMTBCUSTOMDRAW Stage(COXCoolToolBar& bar, HDC dc, DWORD stage, const CRect& rect = CRect(), UINT id = 0, UINT state = 0) {
    NMTBCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = bar.m_hWnd;
    draw.nmcd.hdr.idFrom = 32950;
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = stage;
    draw.nmcd.hdc = dc;
    draw.nmcd.rc = rect;
    draw.nmcd.dwItemSpec = id;
    draw.nmcd.uItemState = state;
    return draw;
}

LRESULT DrawStage(COXToolbarSkin& skin, COXCoolToolBar& bar, NMTBCUSTOMDRAW& draw) {
    LRESULT result = -1;
    NMHDR* header = &draw.nmcd.hdr;
    LRESULT* out = &result;
    skin.DrawCustomDraw(header, out, &bar);
    return result;
}

class ToolbarSkins : public ::testing::Test {
protected:
    TestApp<CWinApp> app{L"ToolbarSkinTests"};
    RelayFrame* relayFrame = new RelayFrame;
    BarFrameFixture fixture{relayFrame};
    COXCoolToolBar& bar = fixture.bar;
    COXToolbarSkinClassic classic;
};

TEST_F(ToolbarSkins, ClassicGripperAndSeparatorsAreEtchedLines) {
    const COLORREF light = GetSysColor(COLOR_3DHIGHLIGHT), shadow = GetSysColor(COLOR_3DSHADOW), fill = RGB(1, 2, 3);
    MemoryCanvas canvas(40, 40, fill);
    classic.DrawGripper(&canvas.dc, CRect(0, 0, 10, 30), &bar);
    // Two bars 3 pixels wide, their left edges 3 apart.
    EXPECT_EQ(canvas.Pixel(3, 10), light);
    EXPECT_EQ(canvas.Pixel(5, 10), shadow);
    EXPECT_EQ(canvas.Pixel(6, 10), light);
    EXPECT_EQ(canvas.Pixel(8, 10), shadow);
    EXPECT_EQ(canvas.Pixel(4, 10), fill);
    EXPECT_EQ(canvas.Pixel(9, 10), fill);

    // A floating bar has no gripper.
    MemoryCanvas floating(40, 40, fill);
    bar.m_dwStyle |= CBRS_FLOATING;
    classic.DrawGripper(&floating.dc, CRect(0, 0, 10, 30), &bar);
    bar.m_dwStyle &= ~CBRS_FLOATING;
    EXPECT_EQ(floating.Count(CRect(0, 0, 40, 40), fill), 1600);

    MemoryCanvas separators(40, 40, fill);
    classic.DrawSeparator(&separators.dc, CRect(10, 0, 19, 22), &bar);  // 9 wide: nothing
    EXPECT_EQ(separators.Count(CRect(0, 0, 40, 40), fill), 1600);
    classic.DrawSeparator(&separators.dc, CRect(10, 0, 18, 22), &bar);  // 8 wide: a groove at its centre
    EXPECT_EQ(separators.Pixel(13, 10), shadow);
    EXPECT_EQ(separators.Pixel(14, 10), light);
    EXPECT_EQ(separators.Pixel(12, 10), fill);
    EXPECT_EQ(separators.Pixel(15, 10), fill);

    // The non-client area keeps a 3-D border: shadow line outside, highlight line inside.
    bar.SetBarStyle(bar.GetBarStyle() | CBRS_BORDER_TOP | CBRS_BORDER_3D);
    fixture.frame->RecalcLayout();
    CRect window;
    bar.GetWindowRect(&window);
    MemoryCanvas nonClient(window.Width(), window.Height(), fill);
    classic.DrawNonClientArea(&nonClient.dc, nullptr, &bar);
    EXPECT_EQ(nonClient.Pixel(window.Width() / 2, 0), shadow);
    EXPECT_EQ(nonClient.Pixel(window.Width() / 2, 1), light);
}

TEST_F(ToolbarSkins, ClassicItemColoursFollowTheButtonState) {
    const COLORREF fill = RGB(1, 2, 3);
    MemoryCanvas canvas(60, 60, fill);
    const CRect item(10, 10, 33, 32);
    const bool newControls = COXCoolToolBar::GetComCtlVersion() >= kComCtl471;

    // Every colour unset: nothing drawn, the control draws the button itself.
    auto plain = Stage(bar, canvas.dc, CDDS_ITEMPREPAINT, item, 40001, CDIS_HOT);
    EXPECT_EQ(DrawStage(classic, bar, plain), CDRF_NOTIFYPOSTPAINT);
    EXPECT_EQ(canvas.Count(CRect(0, 0, 60, 60), fill), 3600);

    // Only the hot border: hot buttons framed in it, their fill inset, the control's edges off.
    bar.SetColor(OXTB_HOT_BORDER, RGB(255, 0, 0));
    bar.SetColor(OXTB_HOT_BK, RGB(0, 0, 255));
    auto hot = Stage(bar, canvas.dc, CDDS_ITEMPREPAINT, item, 40001, CDIS_HOT);
    const LRESULT hotResult = DrawStage(classic, bar, hot);
    EXPECT_EQ(canvas.Pixel(10, 10), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(11, 11), RGB(0, 0, 255));
    if (newControls) {
        EXPECT_EQ(hotResult, CDRF_NOTIFYPOSTPAINT | TBCDRF_NOEDGES);
    }

    // Checked and hot: the selected colours, not the checked ones, and no etched look.
    bar.SetColor(OXTB_SELECTED_BK, RGB(0, 255, 0));
    bar.SetColor(OXTB_CHECKED_BK, RGB(255, 255, 0));
    bar.SetColor(OXTB_SELECTED_TEXT, RGB(9, 9, 9));
    auto both = Stage(bar, canvas.dc, CDDS_ITEMPREPAINT, item, 40001, CDIS_HOT | CDIS_CHECKED);
    const LRESULT bothResult = DrawStage(classic, bar, both);
    EXPECT_EQ(canvas.Pixel(20, 20), RGB(0, 255, 0));
    if (newControls) {
        EXPECT_EQ(bothResult & TBCDRF_NOETCHEDEFFECT, static_cast<LRESULT>(TBCDRF_NOETCHEDEFFECT));
        EXPECT_EQ(both.clrText, RGB(9, 9, 9));
    }
    auto checked = Stage(bar, canvas.dc, CDDS_ITEMPREPAINT, item, 40001, CDIS_CHECKED);
    DrawStage(classic, bar, checked);
    EXPECT_EQ(canvas.Pixel(20, 20), RGB(255, 255, 0));

    // The pre-paint stage fills the client area and asks for the item stages.
    MemoryCanvas client(800, 60, fill);
    auto prepaint = Stage(bar, client.dc, CDDS_PREPAINT);
    EXPECT_EQ(DrawStage(classic, bar, prepaint), CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT);
    EXPECT_EQ(client.Pixel(2, 2), GetSysColor(COLOR_BTNFACE));
}

TEST_F(ToolbarSkins, TheOwnerIsOfferedEveryStageAndMayDrawItItself) {
    MemoryCanvas canvas(60, 60, RGB(1, 2, 3));
    relayFrame->takeOver = true;
    auto prepaint = Stage(bar, canvas.dc, CDDS_PREPAINT);
    EXPECT_EQ(DrawStage(classic, bar, prepaint), 0x1234);
    EXPECT_EQ(canvas.Pixel(2, 2), RGB(1, 2, 3));  // the skin drew nothing
    COXSkinXP xp;
    auto again = Stage(bar, canvas.dc, CDDS_PREPAINT);
    EXPECT_EQ(DrawStage(*xp.GetToolbarSkin(), bar, again), 0x1234);

    // A real paint of the bar: the stages the toolbar control asks for reach the owner.
    relayFrame->takeOver = false;
    relayFrame->stages.clear();
    ::RedrawWindow(bar.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_TRUE(relayFrame->stages.count(CDDS_PREPAINT));
    EXPECT_TRUE(relayFrame->stages.count(CDDS_ITEMPREPAINT));
    EXPECT_TRUE(relayFrame->stages.count(CDDS_ITEMPOSTPAINT));

    // Floating, the bar's mini frame is only its parent: the relay and the
    // drop-down notice still reach the frame the bar belongs to.
    bar.SetButtonStyle(0, bar.GetButtonStyle(0) | TBSTYLE_DROPDOWN);
    bar.SetDropDownArrow(TRUE);
    fixture.frame->FloatControlBar(&bar, CPoint(300, 300));
    PumpMessages();
    ASSERT_TRUE(bar.IsFloating());
    relayFrame->stages.clear();
    ::RedrawWindow(bar.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_TRUE(relayFrame->stages.count(CDDS_PREPAINT));
    EXPECT_TRUE(relayFrame->stages.count(CDDS_ITEMPOSTPAINT));
    CRect first;
    bar.GetItemRect(0, &first);
    const LPARAM arrow = MAKELPARAM(first.right - 3, first.CenterPoint().y);
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, arrow);
    bar.SendMessage(WM_LBUTTONUP, 0, arrow);
    EXPECT_EQ(relayFrame->dropDowns, 1);
}

TEST_F(ToolbarSkins, OfficeLooksPaintTheWholeBarThemselves) {
    CRect client;
    bar.GetClientRect(&client);
    COXSkinXP xp;
    auto* xpSkin = static_cast<COXToolbarSkinXP*>(xp.GetToolbarSkin());
    // Button 0 hot, button 1 checked, button 3 disabled, button 4 hidden.
    bar.SendMessage(TB_SETHOTITEM, 0);
    bar.SendMessage(TB_CHECKBUTTON, 40002, TRUE);
    bar.SendMessage(TB_ENABLEBUTTON, 40003, FALSE);
    bar.SendMessage(TB_HIDEBUTTON, 40005, TRUE);
    MemoryCanvas canvas(client.Width(), client.Height());
    xpSkin->PaintBar(&canvas.dc, &bar);
    CRect hot, checked, disabled, last;
    bar.GetItemRect(0, &hot);
    bar.GetItemRect(1, &checked);
    bar.GetItemRect(3, &disabled);
    bar.GetItemRect(5, &last);
    EXPECT_EQ(canvas.Pixel(client.right - 2, client.bottom - 2), xp.GetColor(6));
    EXPECT_EQ(canvas.Pixel(hot.left, hot.top + 5), xp.GetColor(3));        // frame
    EXPECT_EQ(canvas.Pixel(hot.left + 1, hot.top + 1), xp.GetColor(0));    // face
    EXPECT_EQ(canvas.Pixel(checked.left + 1, checked.top + 1), xp.GetColor(1));
    EXPECT_GT(canvas.Count(disabled, xp.GetColor(16)), 10);  // a monochrome silhouette
    EXPECT_EQ(canvas.Count(last, xp.GetColor(6)), last.Width() * last.Height());  // hidden: background only

    // An insertion mark after the last visible button fills its right 3 pixels.
    TBINSERTMARK mark{3, TBIMHT_AFTER};
    bar.SendMessage(TB_SETINSERTMARK, 0, reinterpret_cast<LPARAM>(&mark));
    xpSkin->PaintBar(&canvas.dc, &bar);
    EXPECT_EQ(canvas.Pixel(disabled.right - 2, disabled.top + 3), GetSysColor(COLOR_BTNTEXT));
    EXPECT_NE(canvas.Pixel(disabled.right - 4, disabled.top + 3), GetSysColor(COLOR_BTNTEXT));

    // The 2003 look: a gradient across the bar, the embossed separator.
    COXSkin2003 office2003(COXUxTheme::Functions{});
    office2003.UseLineGradients();
    MemoryCanvas gradient(client.Width(), client.Height());
    static_cast<COXToolbarSkinXP*>(office2003.GetToolbarSkin())->PaintBar(&gradient.dc, &bar);
    const COLORREF W = GetSysColor(COLOR_WINDOW), F = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(gradient.Pixel(client.right - 2, 0), COXSkinXP::BlendColors(W, F, 0.78f, 0.22f));
    EXPECT_NE(gradient.Pixel(client.right - 2, 0), gradient.Pixel(client.right - 2, client.bottom - 1));
    CRect separator;
    bar.GetItemRect(2, &separator);
    const int x = (separator.left + separator.right) / 2 - 1;
    EXPECT_EQ(gradient.Pixel(x, separator.top + 10), office2003.GetColor(9));
    EXPECT_EQ(gradient.Pixel(x + 1, separator.top + 11), RGB(255, 255, 255));
}

TEST_F(ToolbarSkins, OfficeDropDownsTheDocked2003FrameAndComboBoxInsets) {
    CRect client, first;
    bar.GetClientRect(&client);
    bar.GetItemRect(0, &first);
    COXSkinXP xp;
    auto* xpSkin = static_cast<COXToolbarSkinXP*>(xp.GetToolbarSkin());
    MemoryCanvas canvas(client.Width(), client.Height());

    // A hot drop-down button without an arrow part of its own: the framed face is a pixel shorter at both ends.
    bar.SetButtonStyle(0, bar.GetButtonStyle(0) | TBSTYLE_DROPDOWN);
    bar.SendMessage(TB_SETHOTITEM, 0);
    xpSkin->PaintBar(&canvas.dc, &bar);
    EXPECT_EQ(canvas.Pixel(first.left + 4, first.top), xp.GetColor(6));
    EXPECT_EQ(canvas.Pixel(first.left + 4, first.top + 1), xp.GetColor(3));
    EXPECT_EQ(canvas.Pixel(first.left + 4, first.bottom - 2), xp.GetColor(3));

    // Its menu opened: a flat face, once; the next paint is hot again.
    const LPARAM at = MAKELPARAM(first.CenterPoint().x, first.CenterPoint().y);
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
    bar.SendMessage(WM_LBUTTONUP, 0, at);
    ASSERT_EQ(relayFrame->dropDowns, 1);
    ASSERT_EQ(bar.GetOpenDropDownIndex(), 0);
    bar.SendMessage(TB_SETHOTITEM, 0);
    xpSkin->PaintBar(&canvas.dc, &bar);
    EXPECT_EQ(canvas.Count(first, xp.GetColor(3)), 0);
    EXPECT_EQ(bar.GetOpenDropDownIndex(), -1);
    xpSkin->PaintBar(&canvas.dc, &bar);
    EXPECT_GT(canvas.Count(first, xp.GetColor(3)), 10);

    // The docked 2003 bar's edge stands on the dock band, its corners rounded; the client is left alone.
    COXSkin2003 office(COXUxTheme::Functions{});
    CRect window;
    bar.GetWindowRect(&window);
    MemoryCanvas edge(window.Width(), window.Height());
    const CRect whole(0, 0, window.Width(), window.Height());
    office.GetToolbarSkin()->DrawNonClientArea(&edge.dc, &whole, &bar);
    MemoryCanvas band(window.Width(), window.Height());
    office.FillDockBand(&band.dc, DockBandFor(&bar, window.TopLeft(), window.Height()));
    EXPECT_EQ(edge.Pixel(window.Width() - 3, 0), band.Pixel(window.Width() - 3, 0));
    EXPECT_NE(band.Pixel(0, 0), band.Pixel(window.Width() - 3, 0));
    EXPECT_EQ(edge.Pixel(2, 2), edge.Pixel(1, 1));
    CRect inside;
    bar.GetClientRect(&inside);
    bar.ClientToScreen(&inside);
    EXPECT_EQ(edge.Pixel(inside.left - window.left + 5, inside.top - window.top + 5), RGB(1, 2, 3));
    fixture.frame->FloatControlBar(&bar, CPoint(300, 300));
    PumpMessages();
    bar.GetWindowRect(&window);
    const CRect floating(0, 0, window.Width(), window.Height());
    office.GetToolbarSkin()->DrawNonClientArea(&edge.dc, &floating, &bar);
    EXPECT_EQ(edge.Pixel(1, 1), office.GetColor(7));
}

TEST_F(ToolbarSkins, TheCustomiseFrameInvertsAndOfficeComboBoxesLightUpWithTheFocus) {
    MemoryCanvas canvas(40, 40, RGB(200, 100, 50));
    classic.DrawCustomizeFrame(&canvas.dc, CRect(5, 5, 30, 30), &bar);
    EXPECT_LT(canvas.Count(CRect(5, 5, 30, 30), RGB(200, 100, 50)), 25 * 25);
    classic.DrawCustomizeFrame(&canvas.dc, CRect(5, 5, 30, 30), &bar);  // twice: gone
    EXPECT_EQ(canvas.Count(CRect(0, 0, 40, 40), RGB(200, 100, 50)), 1600);

    COXSkinXP xp;
    auto* skin = static_cast<COXToolbarSkinXP*>(xp.GetToolbarSkin());
    CWnd combo;
    ASSERT_TRUE(combo.CreateEx(0, L"ComboBox", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, CRect(300, 200, 400, 320), fixture.frame, 41200));
    CRect client;
    combo.GetClientRect(&client);
    const CPoint button(client.right - 5, client.Height() / 2);
    SetCursorPos(0, 0);
    ::SetFocus(fixture.frame->m_hWnd);
    skin->DrawComboBoxState(&combo);
    HDC dc = GetDC(combo.m_hWnd);
    EXPECT_EQ(GetPixel(dc, button.x, button.y - 3), xp.GetColor(6));
    // The drop button is inset 2 at the top and bottom and 3 at the right, in the window colour.
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    EXPECT_EQ(GetPixel(dc, client.right - 4, button.y), xp.GetColor(6));
    EXPECT_EQ(GetPixel(dc, client.right - 3, button.y), window);
    EXPECT_EQ(GetPixel(dc, button.x, 1), window);
    EXPECT_EQ(GetPixel(dc, button.x, 2), xp.GetColor(6));
    EXPECT_EQ(GetPixel(dc, button.x, client.bottom - 3), xp.GetColor(6));
    EXPECT_EQ(GetPixel(dc, button.x, client.bottom - 2), window);
    ::SetFocus(::GetWindow(combo.m_hWnd, GW_CHILD));  // its edit
    skin->DrawComboBoxState(&combo);
    EXPECT_EQ(GetPixel(dc, button.x, button.y - 3), xp.GetColor(0));
    EXPECT_EQ(GetPixel(dc, 0, client.Height() / 2), xp.GetColor(3));
    ReleaseDC(combo.m_hWnd, dc);
    combo.DestroyWindow();
}

}  // namespace
