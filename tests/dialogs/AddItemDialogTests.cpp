#include "clip/ClipDialogIds.h"
#include "clip/ClipTitle.h"
#include "clip/DialogAddItem.h"
#include "clip/IndexSnapshot.h"

#include "MessageBoxRecorder.h"
#include "ModalDriver.h"
#include "PrivateRegistry.h"
#include "TempDir.h"

#include "util/Registry.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

std::vector<CString> ListItems(HWND dialog, int id) {
    HWND combo = GetDlgItem(dialog, id);
    std::vector<CString> items;
    int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        int length = static_cast<int>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0));
        CString text;
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.GetBuffer(length + 1)));
        text.ReleaseBuffer(length);
        items.push_back(text);
    }
    return items;
}

CString Selected(HWND dialog, int id) {
    HWND combo = GetDlgItem(dialog, id);
    int index = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
    if (index < 0) return L"<none>";
    return ListItems(dialog, id)[static_cast<size_t>(index)];
}

void SelectPage(HWND dialog, const CString& page) {
    HWND combo = GetDlgItem(dialog, IDC_ADD_PAGE);
    SendMessageW(combo, CB_SETCURSEL, SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                   reinterpret_cast<LPARAM>(page.GetString())), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ADD_PAGE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

class AddItemDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryW(m_dir.Path() + L"\\Bookmark", nullptr);
        CreateDirectoryW(Allpages(), nullptr);
        CreateDirectoryW(Allpages() + L"\\Work", nullptr);
        WriteSettingString(L"Settings", L"InstallPath", m_dir.Path());
    }
    CString Allpages() const { return m_dir.Path() + L"\\Bookmark\\Allpages"; }
    void AddPage(const CString& page, const CString& value, bool onDisk = true) {
        if (onDisk) WriteFileBytes(Allpages() + L"\\" + page + L".htm", "\xFF\xFE");
        WriteSettingString(L"AllPages", page, value);
    }

    PrivateRegistry m_registry;
    TempDir m_dir;
};

}  // namespace

TEST_F(AddItemDialogTest, ListsExistingIndexedPagesSortedAndTheSectionsOfTheChosenPage) {
    AddPage(L"Work\\Plans", L"News,1;a###b,3;END,1;Mail,1");
    AddPage(L"Alpha", L"x,1");
    AddPage(L"beta", L"x,1");
    AddPage(L"Gone", L"y,1", false);
    AddPage(L"Zero", L"0");
    CDialogAddItem dialog(L"T", L"http://e.com/", L"0", L"");
    RunModal(dialog, [](HWND window) {
        EXPECT_EQ(ListItems(window, IDC_ADD_PAGE), (std::vector<CString>{L"Alpha", L"beta", L"Work\\Plans"}));
        SelectPage(window, L"Work\\Plans");
        EXPECT_EQ(ListItems(window, IDC_ADD_SECTION), (std::vector<CString>{L"News", L"a,b", L"Mail"}));
        Click(window, IDCANCEL);
    });
}

TEST_F(AddItemDialogTest, SavedPageAndSectionArePreselected) {
    AddPage(L"Alpha", L"x,1");
    AddPage(L"Work\\Plans", L"News,1;a###b,3");
    WriteSettingString(L"Settings", L"addpage", L"Work\\Plans");
    WriteSettingString(L"Settings", L"addsect", L"a###b");
    CDialogAddItem dialog(L"T", L"http://e.com/", L"1", L"");
    RunModal(dialog, [](HWND window) {
        EXPECT_EQ(Selected(window, IDC_ADD_PAGE), L"Work\\Plans");
        EXPECT_EQ(Selected(window, IDC_ADD_SECTION), L"a,b");
        Click(window, IDOK);
    });
    EXPECT_EQ(dialog.m_strPage, L"Work\\Plans");
    EXPECT_EQ(dialog.m_strSection, L"a,b");
}

TEST_F(AddItemDialogTest, SavedPageWhoseFileIsGoneIsNotPreselected) {
    AddPage(L"Alpha", L"x,1");
    WriteSettingString(L"Settings", L"addpage", L"Old");
    WriteSettingString(L"AllPages", L"Old", L"x,1");
    CDialogAddItem dialog(L"T", L"http://e.com/", L"1", L"");
    RunModal(dialog, [](HWND window) {
        EXPECT_EQ(Selected(window, IDC_ADD_PAGE), L"<none>");
        EXPECT_EQ(TextOf(window, IDC_ADD_PAGE), L"");
        Click(window, IDCANCEL);
    });
}

TEST_F(AddItemDialogTest, FocusSectionIsSelectedForAnotherPage) {
    AddPage(L"Alpha", L"x,1;y,1");
    WriteSettingString(L"Focus", L"Alpha", L"y");
    CDialogAddItem dialog(L"T", L"http://e.com/", L"1", L"");
    RunModal(dialog, [](HWND window) {
        SelectPage(window, L"Alpha");
        EXPECT_EQ(Selected(window, IDC_ADD_SECTION), L"y");
        Click(window, IDCANCEL);
    });
}

TEST_F(AddItemDialogTest, FormFlagAndAddressEnableTheirControlsAndBoxesFollowSettings) {
    WriteSettingInt(L"Settings", L"AddTime", 1);
    CDialogAddItem noForms(L"T", L"", L"0", L"");
    RunModal(noForms, [](HWND window) {
        EXPECT_EQ(GetWindowTextLengthW(window), 23);
        EXPECT_FALSE(IsEnabled(window, IDC_ADD_SAVE_FORMS));
        EXPECT_FALSE(IsEnabled(window, IDC_ADD_ADDRESS));
        EXPECT_FALSE(IsChecked(window, IDC_ADD_DATE));
        EXPECT_TRUE(IsChecked(window, IDC_ADD_SHOW_PICTURE));
        EXPECT_EQ(TextOf(window, IDC_ADD_DATE), L"  Date");
        EXPECT_EQ(TextOf(window, IDC_ADD_SAVE_FORMS), L"Save Forms for AutoFill");
        EXPECT_EQ(TextOf(window, IDCANCEL), L"CANCEL");
        SetTextOf(window, IDC_ADD_PAGE, L"P");  // OK takes a clip only with a page
        Click(window, IDOK);
    });
    EXPECT_EQ(noForms.m_bKeepForms, 0);
    EXPECT_EQ(noForms.m_bShowPicture, 1);

    CDialogAddItem forms(L"T", L"http://e.com/", L"1", L"http://e.com/a.jpg");
    RunModal(forms, [](HWND window) {
        EXPECT_TRUE(IsEnabled(window, IDC_ADD_SAVE_FORMS));
        EXPECT_EQ(TextOf(window, IDC_ADD_PICTURE), L"http://e.com/a.jpg");
        Click(window, IDC_ADD_SAVE_FORMS);
        SetTextOf(window, IDC_ADD_PAGE, L"P");  // OK takes a clip only with a page
        Click(window, IDOK);
    });
    EXPECT_EQ(forms.m_bKeepForms, 1);
}

TEST_F(AddItemDialogTest, DateBoxTogglesTheTailAndBothSettings) {
    CDialogAddItem dialog(L"Story", L"http://www.example.com/a", L"0", L"");
    RunModal(dialog, [](HWND window) {
        EXPECT_TRUE(IsChecked(window, IDC_ADD_DATE));
        Click(window, IDC_ADD_DATE);  // on -> off: the title loses its tail
        EXPECT_FALSE(IsChecked(window, IDC_ADD_DATE));
        EXPECT_EQ(GetSettingInt(L"Settings", L"AddTime", -1), 1);
        EXPECT_EQ(GetSettingInt(L"Settings", L"AddSource", -1), 1);
        EXPECT_EQ(TextOf(window, IDC_ADD_NAME), L"Story");
        Click(window, IDC_ADD_DATE);  // off -> on
        EXPECT_TRUE(IsChecked(window, IDC_ADD_DATE));
        EXPECT_EQ(TextOf(window, IDC_ADD_NAME), L"Story|Example|" + DateTextNow());
        Click(window, IDC_ADD_DATE);
        EXPECT_EQ(TextOf(window, IDC_ADD_NAME), L"Story");
        Click(window, IDCANCEL);
    });
    // The setting survives the Cancel.
    EXPECT_EQ(GetSettingInt(L"Settings", L"AddTime", -1), 1);
}

TEST_F(AddItemDialogTest, TrimButtonsCutTheSiteNameAndKeepTheTail) {
    CDialogAddItem dialog(L"Story - Site|Example|(3-7-2026)", L"http://e.com/", L"0", L"");
    RunModal(dialog, [](HWND window) {
        Click(window, IDC_ADD_TRIM_END);
        EXPECT_EQ(TextOf(window, IDC_ADD_NAME), L"Story |Example|(3-7-2026)");
        SetTextOf(window, IDC_ADD_NAME, L"Site: Story");
        Click(window, IDC_ADD_TRIM_HEAD);
        EXPECT_EQ(TextOf(window, IDC_ADD_NAME), L" Story");
        SetTextOf(window, IDC_ADD_PAGE, L"P");  // OK takes a clip only with a page
        Click(window, IDOK);
    });
    EXPECT_EQ(dialog.m_strName, L" Story");
}

TEST_F(AddItemDialogTest, ShowPictureFollowsTheStoredSetting) {
    CDialogAddItem dialog(L"T", L"http://e.com/", L"0", L"");
    RunModal(dialog, [](HWND window) {
        Click(window, IDC_ADD_SHOW_PICTURE);
        EXPECT_FALSE(IsChecked(window, IDC_ADD_SHOW_PICTURE));
        EXPECT_EQ(GetSettingInt(L"Settings", L"showpic", -1), 1);
        Click(window, IDC_ADD_SHOW_PICTURE);
        EXPECT_TRUE(IsChecked(window, IDC_ADD_SHOW_PICTURE));
        EXPECT_EQ(GetSettingInt(L"Settings", L"showpic", -1), 0);
        SetTextOf(window, IDC_ADD_PAGE, L"P");  // OK takes a clip only with a page
        Click(window, IDOK);
    });
}

TEST_F(AddItemDialogTest, CancelDeletesTheFormBlocks) {
    CString blocks = m_dir.Path() + L"\\BookMark\\TQ_TP_FORM";
    CreateDirectoryW(blocks, nullptr);
    WriteFileBytes(blocks + L"\\1.txt", "\xFF\xFE" "a\0");
    CDialogAddItem dialog(L"T", L"http://e.com/", L"1", L"");
    EXPECT_EQ(RunModal(dialog, [](HWND window) { Click(window, IDCANCEL); }), IDCANCEL);
    EXPECT_FALSE(PathExists(blocks));
}

TEST_F(AddItemDialogTest, TypedPageAndSectionAreTakenAsTyped) {
    AddPage(L"Alpha", L"x,1");
    CDialogAddItem dialog(L"T", L"http://e.com/", L"0", L"");
    RunModal(dialog, [](HWND window) {
        SetTextOf(window, IDC_ADD_PAGE, L"Al");
        SetTextOf(window, IDC_ADD_SECTION, L"New one");
        Click(window, IDOK);
    });
    EXPECT_EQ(dialog.m_strPage, L"Al");
    EXPECT_EQ(dialog.m_strSection, L"New one");
}

TEST_F(AddItemDialogTest, PageNameTooLongForTheStoreIsRefusedAndTheDialogStays) {
    // Allpages\ + name + ".htm" must stay within 259 characters.
    int room = 259 - Allpages().GetLength() - 1 - 4;
    MessageBoxRecorder boxes;
    CDialogAddItem dialog(L"T", L"http://e.com/", L"0", L"");
    bool stayed = false;
    INT_PTR result = RunModal(dialog, [&](HWND window) {
        SetTextOf(window, IDC_ADD_PAGE, CString(L'n', room + 1));
        Click(window, IDOK);
        stayed = IsWindowVisible(window) != FALSE;
        SetTextOf(window, IDC_ADD_PAGE, L"Work\\" + CString(L'w', room - 5 + 1));
        Click(window, IDOK);
        SetTextOf(window, IDC_ADD_PAGE, CString(L'f', room));
        Click(window, IDOK);
    });
    EXPECT_TRUE(stayed);
    EXPECT_EQ(result, IDOK);
    const CString expected = L"The page name is too long: its path would be 260 characters long, and at most 259 fit. "
                             L"Please choose a shorter name.";
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].text, expected);
    EXPECT_EQ(boxes.Boxes()[1].text, expected);
    EXPECT_EQ(dialog.m_strPage, CString(L'f', room));  // the longest name that fits is taken whole
}

namespace {
// Lets the dialog handle its messages until the condition holds.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 20000) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(1);
    }
    return true;
}
}  // namespace

TEST_F(AddItemDialogTest, PagesReadInTheBackgroundAreListedWithTheSavedChoice) {
    HKEY index = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Tarvelo\\Tarvelo\\AllPages", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                    &index, nullptr);
    for (int i = 0; i < 3000; ++i) {
        CString name;
        name.Format(L"Work\\P%04d", i);
        const wchar_t value[] = L"A,1;B,1";
        RegSetValueExW(index, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof(value));
        if (i % 10 == 0) WriteFileBytes(Allpages() + L"\\" + name + L".htm", "\xFF\xFE");
    }
    RegCloseKey(index);
    WriteSettingString(L"Settings", L"addpage", L"Work\\P0500");
    WriteSettingString(L"Settings", L"addsect", L"B");

    StartIndexPrefetch(L"Tarvelo.exe <param><url>u</url><name>n</name></param>");
    CDialogAddItem dialog(L"T", L"http://e.com/", L"0", L"");
    RunModal(dialog, [](HWND window) {
        ASSERT_TRUE(PumpUntil([&] { return ListItems(window, IDC_ADD_PAGE).size() == 300; }));
        EXPECT_EQ(Selected(window, IDC_ADD_PAGE), L"Work\\P0500");
        EXPECT_EQ(TextOf(window, IDC_ADD_PAGE), L"Work\\P0500");
        EXPECT_EQ(Selected(window, IDC_ADD_SECTION), L"B");
        Click(window, IDOK);
    });
    EXPECT_EQ(dialog.m_strPage, L"Work\\P0500");
    EXPECT_EQ(dialog.m_strSection, L"B");
}
