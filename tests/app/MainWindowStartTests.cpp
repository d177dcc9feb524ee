// Tarvelo.exe started twice: the tree bar comes back at its size, and the page
// last closed opens again with its folder opened in the tree.
#include "AppTestSupport.h"
#include "TempDir.h"
#include "Utf16Bytes.h"

#include <gtest/gtest.h>

namespace {

struct Found {
    const wchar_t* text;
    const wchar_t* className;
    HWND window = nullptr;
};

BOOL CALLBACK FindChild(HWND hwnd, LPARAM data) {
    auto* found = reinterpret_cast<Found*>(data);
    wchar_t text[128] = {}, name[64] = {};
    GetWindowTextW(hwnd, text, 128);
    GetClassNameW(hwnd, name, 64);
    if ((!found->text || lstrcmpW(text, found->text) == 0) && (!found->className || lstrcmpW(name, found->className) == 0)) {
        found->window = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND Child(HWND parent, const wchar_t* text, const wchar_t* className = nullptr) {
    Found found{text, className};
    EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&found));
    return found.window;
}

// The main window, whose title may carry the open page's name.
HWND MainWindowOf(DWORD processId) {
    struct Search {
        DWORD processId;
        HWND found = nullptr;
    } search{processId};
    EnumWindows(
        [](HWND hwnd, LPARAM data) CALLBACK {
            auto* wanted = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            wchar_t text[128] = {};
            GetWindowTextW(hwnd, text, 128);
            if (owner == wanted->processId && IsWindowVisible(hwnd) && wcsncmp(text, L"Tarvelo 2.3", 11) == 0)
                wanted->found = hwnd;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

TEST(MainWindowStart, TreeBarSizeAndLastPageComeBackAtTheNextStart) {
    ProgramRegistryGuard registry;
    TempDir install;
    CString allpages = install / L"Bookmark\\Allpages";
    CreateDirectoryW(install / L"Bookmark", nullptr);
    CreateDirectoryW(allpages, nullptr);
    CreateDirectoryW(allpages + L"\\Sub", nullptr);
    CString page = allpages + L"\\Sub\\Last.htm";
    WriteFileBytes(page, Utf16Bytes(L"<html id=tq1>\n<body>\n</body>\n</html>\n"));
    WriteFileBytes(allpages + L"\\Top.htm", Utf16Bytes(L"<html id=tq1>\n</html>\n"));
    ProgramRegistryGuard::WriteString(L"Settings", L"InstallPath", install.Path());
    ProgramRegistryGuard::WriteString(L"Settings", L"FileHot", page);
    ProgramRegistryGuard::WriteInt(L"Init", L"TreeVX", 260);

    int barWidth = 0, treeItems = 0;
    bool pageOpen = false;
    RunTarvelo(L"", [&](DWORD processId) {
        HWND frame = MainWindowOf(processId);
        if (!frame) return true;
        CRect bar;
        GetWindowRect(Child(frame, L"Bookmark"), &bar);
        barWidth = bar.Width();
        treeItems = static_cast<int>(SendMessageW(Child(frame, nullptr, WC_TREEVIEWW), TVM_GETCOUNT, 0, 0));
        pageOpen = Child(frame, L"Last.htm") != nullptr;
        PostMessageW(frame, WM_CLOSE, 0, 0);
        return false;
    });
    EXPECT_EQ(barWidth, 260);
    EXPECT_EQ(treeItems, 4);  // the root, Sub opened on the way with its page, and Top
    EXPECT_TRUE(pageOpen);
    DWORD saved = 0;
    ASSERT_TRUE(ProgramRegistryGuard::ReadInt(L"Init", L"TreeVX", saved));
    EXPECT_EQ(saved, 260u);

    // A stored width below the least the bar takes comes back at that least.
    ProgramRegistryGuard::WriteInt(L"Init", L"TreeVX", 10);
    RunTarvelo(L"", [&](DWORD processId) {
        HWND frame = MainWindowOf(processId);
        if (!frame) return true;
        CRect bar;
        GetWindowRect(Child(frame, L"Bookmark"), &bar);
        barWidth = bar.Width();
        PostMessageW(frame, WM_CLOSE, 0, 0);
        return false;
    });
    EXPECT_EQ(barWidth, 33);
}
