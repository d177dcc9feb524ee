// The toolkit's tooltip window: short and extended texts with their
// triangle, the size of a text of several lines, placement at the screen's
// edges, texts asked of the tool's window, and the delay and display timers
// driven with WM_TIMER; the system fonts the toolkit's windows take, also
// from a system that answers the metrics query only in its older size.
#include "ToolkitFixture.h"

#include "bars/BitmapMenu.h"
#include "bars/PopupBarCtrl.h"
#include "bars/ToolTipCtrl.h"
#include "gdi/NonClientMetrics.h"

#include <cstring>

namespace {

LRESULT CALLBACK AnsweringProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == TTN_NEEDTEXTW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        wcscpy_s(info->szText, L"Asked for");
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

class ToolTip : public ::testing::Test {
protected:
    ToolTip() {
        owner.CreateEx(0, nullptr, L"tips", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr);
        tool = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 100, owner.m_hWnd, nullptr, nullptr, nullptr);
        tip.Create(&owner);
        PumpMessages();
    }
    ~ToolTip() override {
        tip.DestroyWindow();
        owner.DestroyWindow();
        PumpMessages();
    }
    COXToolTipCtrl::Tool* Add(UINT_PTR id, const wchar_t* text, int width = 0) {
        OXTOOLINFO info;
        info.hwnd = tool;
        info.uId = id;
        info.rect = RECT{0, 0, 200, 100};
        info.lpszText = const_cast<wchar_t*>(text);
        info.nWidth = width;
        tip.AddTool(info);
        return tip.FindToolRecord(tool, id);
    }
    COLORREF ScreenPixel(int x, int y) {
        HDC dc = GetDC(tip.m_hWnd);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(tip.m_hWnd, dc);
        return c;
    }

    TestApp<CWinApp> app{L"ToolTipTests"};
    CWnd owner;
    HWND tool = nullptr;
    COXToolTipCtrl tip;
};

TEST_F(ToolTip, ShortTextFirstAndAClickShowsTheExtendedOne) {
    tip.SetCurrentTool(Add(1, L"Short\rThe extended text is the longer one"));
    tip.Show(CPoint(300, 300), FALSE);
    ASSERT_FALSE(tip.IsHidden());
    EXPECT_TRUE(tip.HasExtendedText());
    EXPECT_EQ(tip.GetToolText(tip.GetCurrentTool()), L"Short");
    tip.UpdateWindow();
    CRect client;
    tip.GetClientRect(&client);
    // The triangle points right at the right edge while the short text shows.
    int blackRight = 0;
    for (int y = 1; y < client.bottom - 1; ++y)
        for (int x = client.right - 6; x < client.right - 1; ++x) blackRight += ScreenPixel(x, y) == RGB(0, 0, 0);
    EXPECT_GT(blackRight, 0);
    const CRect shortRect = client;

    tip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(tip.IsExtendedShown());
    EXPECT_EQ(tip.GetToolText(tip.GetCurrentTool()), L"The extended text is the longer one");
    tip.GetClientRect(&client);
    EXPECT_GT(client.Width(), shortRect.Width());
    tip.UpdateWindow();
    // The triangle points left at the left edge now: black beside the left border.
    int blackLeft = 0;
    for (int y = 1; y < client.bottom - 1; ++y)
        for (int x = 1; x < 6; ++x) blackLeft += ScreenPixel(x, y) == RGB(0, 0, 0);
    EXPECT_GT(blackLeft, 0);
    tip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_FALSE(tip.IsExtendedShown());
}

TEST_F(ToolTip, SizeFollowsTheWidestLinePlusMargins) {
    const CString ten(L'a', 10), forty(L'b', 40);
    const CRect r = tip.CalcTipRect(ten + L"\n" + forty, 0);
    HDC dc = GetDC(tip.m_hWnd);
    HGDIOBJ old = SelectObject(dc, tip.GetFont());
    SIZE wide{}, line{};
    GetTextExtentPoint32W(dc, forty, forty.GetLength(), &wide);
    GetTextExtentPoint32W(dc, ten, ten.GetLength(), &line);
    SelectObject(dc, old);
    ReleaseDC(tip.m_hWnd, dc);
    EXPECT_EQ(r.Width(), wide.cx + 5);
    EXPECT_GE(r.Height(), 2 * line.cy + 5);
    // A maximum width wraps the text into more lines.
    const CRect narrow = tip.CalcTipRect(forty + L" " + forty, wide.cx);
    EXPECT_LE(narrow.Width(), wide.cx + 5);
    EXPECT_GE(narrow.Height(), 2 * line.cy + 5);
}

TEST_F(ToolTip, TipsStayOnTheMonitorAndGoAboveTheToolAtTheBottom) {
    COXToolTipCtrl::Tool* t = Add(1, L"text");
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(tool, MONITOR_DEFAULTTONEAREST), &monitor);
    const CRect screen(monitor.rcMonitor);
    const CRect right = tip.AdjustTipRect(CRect(0, 0, 80, 20), CPoint(screen.right - 10, 100), t);
    EXPECT_EQ(right.right, screen.right);
    const CRect left = tip.AdjustTipRect(CRect(0, 0, 80, 20), CPoint(screen.left - 30, 100), t);
    EXPECT_EQ(left.left, screen.left);
    const CRect bottom = tip.AdjustTipRect(CRect(0, 0, 80, 20), CPoint(200, screen.bottom - 5), t);
    RECT window;
    GetWindowRect(tool, &window);
    EXPECT_EQ(bottom.bottom, window.top);
}

TEST_F(ToolTip, CallbackToolsAskTheirWindowForTheText) {
    SetWindowLongPtrW(tool, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AnsweringProc));
    COXToolTipCtrl::Tool* t = Add(7, LPSTR_TEXTCALLBACKW);
    EXPECT_EQ(tip.GetToolText(t), L"Asked for");
    OXTOOLINFO info;
    EXPECT_TRUE(tip.FindTool(tool, CPoint(50, 50), info));  // the tool's window is at (10, 10) in the owner
    EXPECT_EQ(info.uId, 7u);
    EXPECT_FALSE(tip.FindTool(tool, CPoint(5, 5), info));
}

TEST_F(ToolTip, ShowsAfterTheDelayAndHidesAfterTheDisplayTime) {
    Add(1, L"A tool");
    POINT over{60, 60};
    ClientToScreen(owner.m_hWnd, &over);
    SetCursorPos(over.x, over.y);
    MSG move{};
    move.hwnd = tool;
    move.message = WM_MOUSEMOVE;
    tip.RelayEvent(&move);
    ASSERT_NE(tip.GetCurrentTool(), nullptr);
    EXPECT_TRUE(tip.IsHidden());
    tip.SendMessage(WM_TIMER, COXToolTipCtrl::kDelayTimer);
    ASSERT_FALSE(tip.IsHidden());
    CRect shown;
    tip.GetWindowRect(&shown);
    EXPECT_EQ(shown.top, over.y + 20);
    for (int tick = 0; tick < 9; ++tick) tip.SendMessage(WM_TIMER, COXToolTipCtrl::kPollTimer);
    EXPECT_FALSE(tip.IsHidden());  // 4500 ms of 5000
    tip.SendMessage(WM_TIMER, COXToolTipCtrl::kPollTimer);
    EXPECT_TRUE(tip.IsHidden());
    EXPECT_EQ(tip.GetCurrentTool(), nullptr);

    // A cursor that left the tool before the delay ran out shows nothing.
    tip.RelayEvent(&move);
    SetCursorPos(over.x + 300, over.y + 300);
    tip.SendMessage(WM_TIMER, COXToolTipCtrl::kDelayTimer);
    EXPECT_TRUE(tip.IsHidden());
}

// The program's own import of user32's SystemParametersInfoW, pointed at a
// stand-in while the object lives (the toolkit is linked into the program).
class SystemParametersStandIn {
public:
    using Function = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT);
    explicit SystemParametersStandIn(Function standIn) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
        for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); entry->Name && !m_slot; ++entry) {
            if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), "user32.dll") != 0) continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                auto* name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (strcmp(reinterpret_cast<const char*>(name->Name), "SystemParametersInfoW") == 0) {
                    m_slot = reinterpret_cast<Function*>(&slots->u1.Function);
                    break;
                }
            }
        }
        if (m_slot) original = Swap(standIn);
    }
    ~SystemParametersStandIn() {
        if (m_slot) Swap(original);
    }
    bool Active() const { return m_slot != nullptr; }
    static inline Function original = nullptr;

private:
    Function Swap(Function to) {
        DWORD protection = 0;
        VirtualProtect(m_slot, sizeof(*m_slot), PAGE_READWRITE, &protection);
        const Function was = *m_slot;
        *m_slot = to;
        VirtualProtect(m_slot, sizeof(*m_slot), protection, &protection);
        return was;
    }
    Function* m_slot = nullptr;
};

int g_metricsAsked = 0;

// Older 32-bit Windows: the metrics only in the size without the padded border width.
BOOL WINAPI OlderSystemParameters(UINT action, UINT size, PVOID data, UINT flags) {
    if (action == SPI_GETNONCLIENTMETRICS) ++g_metricsAsked;
    if (action == SPI_GETNONCLIENTMETRICS && (size != 500 || static_cast<NONCLIENTMETRICSW*>(data)->cbSize != 500)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return SystemParametersStandIn::original(action, size, data, flags);
}

class FontOfPopupBar : public COXPopupBarCtrl {
public:
    FontOfPopupBar() : COXPopupBarCtrl(4, 1, 0, 18, 18, 0, 0) {}
    LOGFONTW Font() {
        LOGFONTW font{};
        if (m_font.GetSafeHandle()) ::GetObjectW(m_font.GetSafeHandle(), sizeof(font), &font);
        return font;
    }
};

TEST(SystemFonts, TipMenuAndPopupBarFontsComeFromASystemThatTakesOnlyTheOlderMetricsSize) {
    TestApp<CWinApp> app{L"SystemFontTests"};
    NONCLIENTMETRICSW full{};
    full.cbSize = sizeof(full);
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(full), &full, 0));
    SystemParametersStandIn older(&OlderSystemParameters);
    ASSERT_TRUE(older.Active());

    NONCLIENTMETRICSW metrics{};
    ASSERT_TRUE(GetNonClientMetrics(metrics));
    EXPECT_EQ(metrics.cbSize, 500u);
    EXPECT_STREQ(metrics.lfMenuFont.lfFaceName, full.lfMenuFont.lfFaceName);

    LOGFONTW status{};
    EXPECT_TRUE(COXToolTipCtrl::GetSystemStatusFont(status));
    EXPECT_STREQ(status.lfFaceName, full.lfStatusFont.lfFaceName);
    EXPECT_EQ(status.lfHeight, full.lfStatusFont.lfHeight);

    for (const LONG weight : {0L, static_cast<LONG>(FW_BOLD)}) {
        CFont menu;
        ASSERT_TRUE(COXBitmapMenu::CreateMenuFont(menu, weight));
        LOGFONTW made{};
        ::GetObjectW(menu.GetSafeHandle(), sizeof(made), &made);
        EXPECT_STREQ(made.lfFaceName, full.lfMenuFont.lfFaceName);
        EXPECT_EQ(made.lfHeight, full.lfMenuFont.lfHeight);
        EXPECT_EQ(made.lfWeight, weight ? weight : full.lfMenuFont.lfWeight);
    }

    FontOfPopupBar popup;
    ASSERT_TRUE(popup.CalcLayout());
    EXPECT_STREQ(popup.Font().lfFaceName, full.lfMessageFont.lfFaceName);
    EXPECT_EQ(popup.Font().lfHeight, full.lfMessageFont.lfHeight);
    EXPECT_GE(g_metricsAsked, 5);  // every query went to the older system
}

}  // namespace
