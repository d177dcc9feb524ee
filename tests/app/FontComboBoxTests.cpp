// The font-name box of the format toolbar and the recently used fonts.
#include "AppTestSupport.h"
#include "MainFrame.h"
#include "TarveloApp.h"
#include "page/FontComboBox.h"
#include "page/FontHot.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<CString> Items(const CFontComboBox& box) {
    std::vector<CString> items(static_cast<size_t>(box.GetCount()));
    for (int i = 0; i < box.GetCount(); ++i) box.GetLBText(i, items[static_cast<size_t>(i)]);
    return items;
}

// Whether the text shows whole in the combo box's field, in the box's font.
bool ShowsWhole(HWND combo, const CString& text) {
    HWND edit = GetWindow(combo, GW_CHILD);
    RECT field{};
    GetClientRect(edit, &field);
    const DWORD margins = static_cast<DWORD>(SendMessageW(edit, EM_GETMARGINS, 0, 0));
    HDC dc = GetDC(edit);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text, text.GetLength(), &size);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
    return size.cx <= field.right - LOWORD(margins) - HIWORD(margins);
}

// How many items the combo box's dropped list shows at once.
int DroppedRows(HWND combo) {
    RECT dropped{}, closed{};
    SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    GetWindowRect(combo, &closed);
    const int item = static_cast<int>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
    return item > 0 ? (dropped.bottom - dropped.top - (closed.bottom - closed.top) - 2) / item : 0;
}

} // namespace

TEST(FontItems, RecentNamesFirstThenTheListableFacesInOrder) {
    std::vector<FontRecord> records = {
        {L"Verdana", L"Western"},           {L"Verdana", L"Cyrillic"},
        {L"Arial", L""},                    {L"@MS Mincho", L"Japanese"},
        {L"OnlyGreekFace", L"Greek"},       {L"SeventeenLetters1", L"Western"},
        {L"EighteenLetters123", L"Western"}, {L"Courier", L"Baltic"},
        {L"Courier", L"Central European"},
    };
    EXPECT_EQ(BuildFontItems(records, L""),
              (std::vector<CString>{L"Arial", L"OnlyGreekFace", L"SeventeenLetters1", L"Verdana"}));
    // Stored names come first in their order, also when not installed or listed
    // again below; empty parts add no empty item.
    EXPECT_EQ(BuildFontItems(records, L";Verdana;;Gone Face;"),
              (std::vector<CString>{L"Verdana", L"Gone Face", L"Arial", L"OnlyGreekFace", L"SeventeenLetters1",
                                    L"Verdana"}));
}

TEST(FontHotValue, KeepsTenWholeNamesNewestFirst) {
    EXPECT_EQ(NextFontHot(L"", L"Arial"), L"Arial");
    EXPECT_EQ(NextFontHot(L"Arial", L"Verdana"), L"Verdana;Arial");
    EXPECT_EQ(NextFontHot(L"Arial;Verdana", L"Verdana"), L"Verdana;Arial");
    // Names are compared whole and exactly, never as patterns.
    EXPECT_EQ(NextFontHot(L"Arial Black;Arial", L"Arial"), L"Arial;Arial Black");
    EXPECT_EQ(NextFontHot(L"A.+;B", L"A/d"), L"A/d;A.+;B");
    EXPECT_EQ(NextFontHot(L";;Tahoma;", L"Arial"), L"Arial;Tahoma");
    EXPECT_EQ(NextFontHot(L"Arial", L""), L"Arial");
    CString ten = L"F0;F1;F2;F3;F4;F5;F6;F7;F8;F9";
    EXPECT_EQ(NextFontHot(ten, L"New"), L"New;F0;F1;F2;F3;F4;F5;F6;F7;F8");
    EXPECT_EQ(NextFontHot(ten, L"F9"), L"F9;F0;F1;F2;F3;F4;F5;F6;F7;F8");
    EXPECT_EQ(NextFontHot(ten, L"F3"), L"F3;F0;F1;F2;F4;F5;F6;F7;F8;F9");
}

TEST(FontComboBox, ToolbarBoxListsRecentFontsAndTheScreenFaces) {
    ProgramRegistryGuard registry;
    ProgramRegistryGuard::WriteString(L"Settings", L"FontHot", L"Courier New;Made Up");
    AppTestApp app;
    auto* frame = new CMainFrame;
    ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    app.m_pMainWnd = frame;
    CWnd* hosted = frame->m_wndToolBar.GetCustomButtonWindow(16);
    auto* box = dynamic_cast<CFontComboBox*>(hosted);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetDlgCtrlID(), ID_FORMAT_FONT_NAME);
    EXPECT_EQ(box->GetStyle() & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE | CBS_SORT | CBS_DROPDOWNLIST),
              static_cast<DWORD>(CBS_DROPDOWN));
    std::vector<CString> items = Items(*box);
    ASSERT_GT(items.size(), 3u);
    EXPECT_EQ(items[0], L"Courier New");
    EXPECT_EQ(items[1], L"Made Up");
    for (size_t i = 2; i < items.size(); ++i) {
        EXPECT_FALSE(items[i].IsEmpty());
        EXPECT_NE(items[i][0], L'@');
        EXPECT_LT(items[i].GetLength(), 18);
        if (i > 2) {
            EXPECT_LE(items[i - 1].str(), items[i].str());
        }
    }
    EXPECT_FALSE(box->Fonts().empty());
    // Every face shows whole in the box's field, and both boxes drop lists
    // with room for their items (the size box's 23 sizes at once).
    for (const CString& item : items) EXPECT_TRUE(ShowsWhole(box->m_hWnd, item)) << item.str();
    EXPECT_GE(DroppedRows(box->m_hWnd), std::min<int>(static_cast<int>(items.size()), 23));
    CWnd* sizes = frame->m_wndToolBar.GetCustomButtonWindow(17);
    ASSERT_NE(sizes, nullptr);
    EXPECT_TRUE(ShowsWhole(sizes->m_hWnd, L"36"));
    EXPECT_GE(DroppedRows(sizes->m_hWnd), 23);

    // A second fill gives the same list, and a box without FontHot starts
    // with the faces themselves.
    box->FillFonts(nullptr, DEFAULT_CHARSET);
    EXPECT_EQ(Items(*box), items);
    ProgramRegistryGuard::WriteString(L"Settings", L"FontHot", L"");
    box->FillFonts(nullptr, DEFAULT_CHARSET);
    EXPECT_EQ(Items(*box), std::vector<CString>(items.begin() + 2, items.end()));
    // With a printer, its fonts are listed as the printer's beside the
    // screen's, a face of both once (the screen's context stands in here).
    HDC printer = GetDC(nullptr);
    box->FillFonts(printer, DEFAULT_CHARSET);
    ReleaseDC(nullptr, printer);
    EXPECT_EQ(Items(*box), std::vector<CString>(items.begin() + 2, items.end()));
    for (const FontRecord& record : box->Fonts()) EXPECT_TRUE(record.fontKind & kPrinterFont) << record.faceName.str();

    // The down arrow opens the list; Tab, Return and Escape stay in the box.
    HWND edit = ::GetWindow(box->m_hWnd, GW_CHILD);
    ASSERT_NE(edit, nullptr);
    MSG down{edit, WM_KEYDOWN, VK_DOWN, 0};
    EXPECT_TRUE(app.PreTranslateMessage(&down));
    EXPECT_TRUE(box->SendMessage(CB_GETDROPPEDSTATE));
    box->ShowDropDown(FALSE);
    for (WPARAM key : {VK_TAB, VK_RETURN, VK_ESCAPE}) {
        MSG msg{edit, WM_KEYDOWN, key, 0};
        EXPECT_TRUE(app.PreTranslateMessage(&msg));
    }
    MSG letter{box->m_hWnd, WM_KEYDOWN, 'A', 0};
    EXPECT_FALSE(box->PreTranslateMessage(&letter));

    // A copy of the hosted box for another bar owns records of its own.
    COXCustomTBButtonTemplate* copy = dynamic_cast<COXCustomTBButtonTemplate*>(box)->CreateCopy(frame);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetWindow()->SendMessage(CB_GETCOUNT), box->GetCount());
    copy->GetWindow()->DestroyWindow();
    frame->DestroyWindow();
}

// The application keeps, from its construction on, the screen's device
// context and the stock font of its font boxes, and a font box made while it
// lives takes them.
TEST(TarveloApp, KeepsTheScreenContextAndTheFontBoxesStockFontFromItsConstruction) {
    ProgramRegistryGuard registry;
    CTarveloApp app;
    EXPECT_TRUE(app.m_bWin4);  // every system this program runs on is version 4 or later
    EXPECT_EQ(app.m_nDefFont, DEFAULT_GUI_FONT);
    ASSERT_NE(app.m_dcScreen.GetSafeHdc(), nullptr);
    EXPECT_EQ(app.m_dcScreen.GetDeviceCaps(TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_EQ(app.m_dcScreen.GetDeviceCaps(HORZRES), GetSystemMetrics(SM_CXSCREEN));

    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, L"STATIC", L"", WS_POPUP, CRect(0, 0, 300, 200), nullptr, 0));
    CFontComboBox box;
    ASSERT_TRUE(box.Create(WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWN, CRect(0, 0, 200, 150), &parent, 1));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(box.SendMessage(WM_GETFONT)), GetStockObject(app.m_nDefFont));
    box.FillFonts(nullptr, DEFAULT_CHARSET);
    EXPECT_FALSE(box.Fonts().empty());
    EXPECT_GT(box.GetCount(), 0);
    box.DestroyWindow();
    parent.DestroyWindow();
}
