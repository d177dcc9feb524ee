#include "dialogs/DialogAddTable.h"
#include "dialogs/DialogHideDrive.h"
#include "dialogs/DialogIds.h"
#include "dialogs/DirDialog.h"
#include "dialogs/ManualAddItem.h"

#include "MessageBoxRecorder.h"
#include "ModalDriver.h"
#include "PrivateRegistry.h"

#include <gtest/gtest.h>

namespace {

constexpr wchar_t kPolicyKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

DWORD ReadNoDrives(DWORD fallback) {
    DWORD value = fallback, size = sizeof(value);
    RegGetValueW(HKEY_CURRENT_USER, kPolicyKey, L"NoDrives", RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

void WriteNoDrives(DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kPolicyKey, L"NoDrives", REG_DWORD, &value, sizeof(value));
}

CString Caption(HWND window) {
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
}

}  // namespace

TEST(LinkItemDialog, ShowsTheInitialNameAndReturnsNameAndAddress) {
    CManualAddItem dialog;
    dialog.m_strInitialName = L"Start";
    RunModal(dialog, [](HWND window) {
        EXPECT_EQ(Caption(window), L"Add Item");
        EXPECT_EQ(TextOf(window, IDC_NAME), L"Start");
        SetTextOf(window, IDC_ITEM_ADDRESS, L"http://example.com/");
        Click(window, IDOK);
    });
    EXPECT_EQ(dialog.m_strName, L"Start");
    EXPECT_EQ(dialog.m_strAddress, L"http://example.com/");
}

TEST(TableDialog, DefaultsPassTheChecks) {
    CDialogAddTable dialog;
    RunModal(dialog, [](HWND window) {
        EXPECT_EQ(Caption(window), L"Tarvelo->Add New Table");
        EXPECT_FALSE(IsEnabled(window, IDC_TABLE_NAME));
        EXPECT_EQ(TextOf(window, IDC_TABLE_COLLAPSE), L"<<");
        Click(window, IDOK);
    });
    int width, columns, first, last, height, rows;
    CString name;
    EXPECT_TRUE(dialog.GetTableParams(width, columns, first, last, height, rows, name));
    EXPECT_EQ(width, 984);
    EXPECT_EQ(columns, 3);
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(height, 22);
    EXPECT_EQ(first, 40);
    EXPECT_EQ(last, 40);
}

TEST(TableDialog, ValuesOutsideTheirRangesFailTheChecks) {
    TableParams params;
    auto parse = [&](const wchar_t* width, const wchar_t* columns, const wchar_t* first, const wchar_t* last,
                     const wchar_t* height, const wchar_t* rows) {
        return ParseTableParams(width, columns, first, last, height, rows, L"", params);
    };
    EXPECT_TRUE(parse(L"984", L"3", L"40", L"40", L"22", L"1"));
    EXPECT_FALSE(parse(L"5001", L"3", L"40", L"40", L"22", L"1"));
    EXPECT_FALSE(parse(L"984", L"0", L"40", L"40", L"22", L"1"));
    EXPECT_FALSE(parse(L"984", L"3", L"40", L"40", L"22", L"101"));
    EXPECT_FALSE(parse(L"984", L"3", L"40", L"40", L"1001", L"1"));
    EXPECT_FALSE(parse(L"100", L"3", L"101", L"40", L"22", L"1"));
    EXPECT_TRUE(parse(L" 12px", L"+3", L"0", L"0", L"0", L"1"));
    EXPECT_EQ(params.width, 12);
    EXPECT_EQ(TextToIntLikeAtoi(CString(L'9', 400)), INT_MAX);
    EXPECT_EQ(TextToIntLikeAtoi(L"-" + CString(L'9', 400)), INT_MIN);
    EXPECT_EQ(TextToIntLikeAtoi(L"abc"), 0);
}

TEST(TableDialog, ValuesThatMakeNoTableAreNamedWithTheirField) {
    auto problem = [](const wchar_t* width, const wchar_t* columns, const wchar_t* first, const wchar_t* last,
                      const wchar_t* height, const wchar_t* rows) {
        return FindTableParamsProblem(width, columns, first, last, height, rows);
    };
    EXPECT_TRUE(problem(L"984", L"3", L"40", L"40", L"22", L"1").message.IsEmpty());
    EXPECT_TRUE(problem(L" 12px", L"+3", L"0", L"0", L"0", L"1").message.IsEmpty());  // atoi's reading stays
    TableParamsProblem zero = problem(L"984", L"0", L"40", L"40", L"22", L"1");
    EXPECT_EQ(zero.message, L"Column Number must be a whole number from 1 to 100.");
    EXPECT_EQ(zero.field, IDC_TABLE_COLUMNS);
    EXPECT_EQ(problem(L"984", L"abc", L"40", L"40", L"22", L"1").field, IDC_TABLE_COLUMNS);
    EXPECT_EQ(problem(L"984", L"3", L"40", L"40", L"x", L"1").message,
              L"Row Height must be a whole number from 0 to 1000.");  // letters are no height of 0
    EXPECT_EQ(problem(L"984", L"3", L"40", L"40", L"", L"1").field, IDC_TABLE_ROW_HEIGHT);
    EXPECT_EQ(problem(L"5001", L"3", L"40", L"40", L"22", L"1").message,
              L"Table Width must be a whole number from 1 to 5000.");
    EXPECT_EQ(problem(L"984", L"3", L"40", L"40", L"22", L"101").field, IDC_TABLE_ROWS);
    TableParamsProblem narrow = problem(L"2", L"3", L"40", L"40", L"22", L"1");
    EXPECT_EQ(narrow.message, L"First Column Width must be a whole number from 0 to the table width (2).");
    EXPECT_EQ(narrow.field, IDC_TABLE_FIRST_COLUMN);
    EXPECT_EQ(problem(L"100", L"3", L"0", L"-1", L"22", L"1").field, IDC_TABLE_LAST_COLUMN);
    // Whatever the dialog takes, the add-table command's own check takes too.
    TableParams params;
    EXPECT_TRUE(ParseTableParams(L" 12px", L"+3", L"0", L"0", L"0", L"1", L"", params));
}

TEST(TableDialog, OkWithValuesThatMakeNoTableSaysWhyAndTheDialogStays) {
    MessageBoxRecorder boxes;
    CDialogAddTable dialog;
    bool stayed = false;
    DWORD selStart = 1, selEnd = 0;
    HWND focused = nullptr, columns = nullptr;
    INT_PTR result = RunModal(dialog, [&](HWND window) {
        columns = GetDlgItem(window, IDC_TABLE_COLUMNS);
        SetTextOf(window, IDC_TABLE_COLUMNS, L"0");
        Click(window, IDOK);
        stayed = IsWindowVisible(window) != FALSE;
        focused = GetFocus();
        SendMessageW(columns, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
        SetTextOf(window, IDC_TABLE_COLUMNS, L"4");
        Click(window, IDOK);
    });
    EXPECT_TRUE(stayed);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, L"Column Number must be a whole number from 1 to 100.");
    EXPECT_EQ(focused, columns);
    EXPECT_EQ(selStart, 0u);
    EXPECT_EQ(selEnd, 1u);
    EXPECT_EQ(result, IDOK);
    int width, count, first, last, height, rows;
    CString name;
    EXPECT_TRUE(dialog.GetTableParams(width, count, first, last, height, rows, name));
    EXPECT_EQ(count, 4);
}

TEST(TableDialog, CollapseButtonFoldsToTheMarkerLineAndBack) {
    CDialogAddTable dialog;
    RunModal(dialog, [](HWND window) {
        RECT full{}, folded{}, marker{}, again{};
        GetWindowRect(window, &full);
        Click(window, IDC_TABLE_COLLAPSE);
        EXPECT_EQ(TextOf(window, IDC_TABLE_COLLAPSE), L">>");
        GetWindowRect(window, &folded);
        GetWindowRect(GetDlgItem(window, IDC_TABLE_MARKER), &marker);
        EXPECT_EQ(folded.bottom, marker.bottom);
        EXPECT_EQ(folded.left, full.left);
        Click(window, IDC_TABLE_COLLAPSE);
        EXPECT_EQ(TextOf(window, IDC_TABLE_COLLAPSE), L"<<");
        GetWindowRect(window, &again);
        EXPECT_EQ(again.bottom, full.bottom);
        Click(window, IDCANCEL);
    });
}

TEST(DriveDialog, MaskRuleSetsOnHideAndFlipsOnUnhide) {
    EXPECT_EQ(DriveMaskAfterOk(true, 0x10, 0x8), 0x18u);
    EXPECT_EQ(DriveMaskAfterOk(false, 0x18, 0x8), 0x10u);
    EXPECT_EQ(kDriveBoxes[4].id, IDC_DRIVE_G);
    EXPECT_EQ(kDriveBoxes[4].bit, 0x40u);
}

TEST(DriveDialog, HidingAPresentDriveAddsItsBitAndHiddenDrivesAreOnlyOfferedForUnhide) {
    PrivateRegistry registry;
    DWORD present = GetLogicalDrives();
    ASSERT_TRUE(present & 0x4) << "the prefix has a C: drive";
    WriteNoDrives(0x1000);  // a drive beyond L: stays hidden
    CDialogHideDrive dialog;
    RunModal(dialog, [&](HWND window) {
        EXPECT_EQ(Caption(window), L"Tarvelo->Drive Hide");
        EXPECT_TRUE(IsChecked(window, IDC_DRIVE_HIDE));
        for (const DriveBox& box : kDriveBoxes)
            EXPECT_EQ(IsEnabled(window, box.id), (present & box.bit) != 0) << box.id;
        Click(window, IDC_DRIVE_C);
        Click(window, IDOK);
    });
    EXPECT_EQ(ReadNoDrives(0), 0x1004u);

    CDialogHideDrive unhide;
    RunModal(unhide, [&](HWND window) {
        EXPECT_FALSE(IsEnabled(window, IDC_DRIVE_C));  // hidden: cannot be hidden again
        Click(window, IDC_DRIVE_UNHIDE);
        EXPECT_TRUE(IsEnabled(window, IDC_DRIVE_C));
        for (const DriveBox& box : kDriveBoxes)
            if (box.id != IDC_DRIVE_C) {
                EXPECT_FALSE(IsEnabled(window, box.id)) << box.id;
            }
        Click(window, IDC_DRIVE_C);
        Click(window, IDOK);
    });
    EXPECT_EQ(ReadNoDrives(0), 0x1000u);
}

TEST(DriveDialog, CancelWritesNothing) {
    PrivateRegistry registry;
    CDialogHideDrive dialog;
    RunModal(dialog, [](HWND window) {
        Click(window, IDC_DRIVE_C);
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(ReadNoDrives(0xDEAD), 0xDEADu);
}

TEST(FolderPicker, WithoutTitleShowsOpenAndCancelReturnsFalse) {
    CDirDialog picker;
    BOOL result = TRUE;
    bool sawOpen = false;
    RunWithWindow(nullptr, [&] { result = picker.DoBrowse(); }, [&](HWND window) {
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (Caption(child) == L"Open") sawOpen = true;
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(sawOpen);
    EXPECT_FALSE(result);
}
