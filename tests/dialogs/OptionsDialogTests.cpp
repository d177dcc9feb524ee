#include "dialogs/DialogIds.h"
#include "dialogs/OptionsDlg.h"

#include "ModalDriver.h"
#include "PrivateRegistry.h"

#include "util/Registry.h"

#include <gtest/gtest.h>

namespace {

const wchar_t* const kEightOptions[] = {L"HeadTitle",   L"HeadLine",       L"Foot",    L"FootLine",
                                        L"StartBackUp", L"OpenRecentFile", L"AddTime", L"AddSource"};
const int kSevenBoxes[] = {IDC_HEAD_TITLE, IDC_HEAD_LINE, IDC_FOOT, IDC_FOOT_LINE,
                           IDC_OPEN_RECENT_FILE, IDC_ADD_TIME, IDC_ADD_SOURCE};

// The page of the dialog that holds the control.
HWND PageOf(HWND dialog, int id) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgItem(child, id)) return child;
    return nullptr;
}

// Runs the dialog; the script works on the pages; OK or Cancel ends it, and
// after OK the options are saved as the application's command does.
INT_PTR RunOptions(const std::function<void(HWND)>& script, int end) {
    COptionsDlg dialog;
    INT_PTR result = RunModal(dialog, [&](HWND window) {
        script(window);
        Click(window, end);
    });
    if (result == IDOK) SaveOptions(dialog.m_pageNewPage, dialog.m_pageSettings);
    return result;
}

class OptionsDialogTest : public ::testing::Test {
protected:
    PrivateRegistry m_registry;
};

}  // namespace

TEST_F(OptionsDialogTest, WithNoValuesAllBoxesStartCheckedAndOkWritesEightZeros) {
    RunOptions([](HWND dialog) {
        for (int id : kSevenBoxes) EXPECT_TRUE(IsChecked(PageOf(dialog, id), id)) << id;
        EXPECT_EQ(TextOf(dialog, IDOK), L"OK");
    }, IDOK);
    for (const wchar_t* name : kEightOptions) EXPECT_EQ(GetSettingInt(L"Settings", name, -1), 0) << ::testing::PrintToString(CString(name));
}

TEST_F(OptionsDialogTest, UncheckingFootWritesOne) {
    RunOptions([](HWND dialog) { Click(PageOf(dialog, IDC_FOOT), IDC_FOOT); }, IDOK);
    EXPECT_EQ(GetSettingInt(L"Settings", L"Foot", -1), 1);
    EXPECT_EQ(GetSettingInt(L"Settings", L"HeadTitle", -1), 0);
}

TEST_F(OptionsDialogTest, OddStoredValueShowsUncheckedAndIsWrittenBackAsZeroOrOneAfterTwoClicks) {
    WriteSettingInt(L"Settings", L"AddTime", 2);
    WriteSettingInt(L"Settings", L"AddSource", 2);
    RunOptions([](HWND dialog) {
        HWND page = PageOf(dialog, IDC_ADD_TIME);
        EXPECT_FALSE(IsChecked(page, IDC_ADD_TIME));
        Click(page, IDC_ADD_SOURCE);
        Click(page, IDC_ADD_SOURCE);
        EXPECT_FALSE(IsChecked(page, IDC_ADD_SOURCE));
    }, IDOK);
    EXPECT_EQ(GetSettingInt(L"Settings", L"AddTime", -1), 0);
    EXPECT_EQ(GetSettingInt(L"Settings", L"AddSource", -1), 1);
}

TEST_F(OptionsDialogTest, CancelLeavesTheRegistryAsItWas) {
    WriteSettingInt(L"Settings", L"Foot", 1);
    EXPECT_EQ(RunOptions([](HWND dialog) { Click(PageOf(dialog, IDC_HEAD_LINE), IDC_HEAD_LINE); }, IDCANCEL), IDCANCEL);
    EXPECT_EQ(GetSettingInt(L"Settings", L"Foot", -1), 1);
    EXPECT_EQ(GetSettingInt(L"Settings", L"HeadLine", -1), -1);
}

TEST_F(OptionsDialogTest, SwitchingTabsShowsOnlyTheChosenPageBelowTheTabs) {
    RunOptions([](HWND dialog) {
        HWND tab = GetDlgItem(dialog, IDC_OPTIONS_TAB);
        HWND newPage = PageOf(dialog, IDC_HEAD_TITLE);
        HWND settings = PageOf(dialog, IDC_ADD_TIME);
        EXPECT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), 2);
        EXPECT_TRUE(IsWindowVisible(newPage));
        EXPECT_FALSE(IsWindowVisible(settings));

        // The user picks the second tab.
        SendMessageW(tab, TCM_SETCURSEL, 1, 0);
        NMHDR header{tab, IDC_OPTIONS_TAB, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(dialog, WM_NOTIFY, IDC_OPTIONS_TAB, reinterpret_cast<LPARAM>(&header));
        EXPECT_FALSE(IsWindowVisible(newPage));
        EXPECT_TRUE(IsWindowVisible(settings));

        RECT item{}, page{};
        SendMessageW(tab, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
        MapWindowPoints(tab, nullptr, reinterpret_cast<POINT*>(&item), 2);
        GetWindowRect(settings, &page);
        EXPECT_GE(page.top, item.bottom);
        wchar_t caption[32] = {};
        TCITEMW tabItem{};
        tabItem.mask = TCIF_TEXT;
        tabItem.pszText = caption;
        tabItem.cchTextMax = 32;
        SendMessageW(tab, TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&tabItem));
        EXPECT_EQ(CString(caption), L"Settings");
    }, IDOK);
}
