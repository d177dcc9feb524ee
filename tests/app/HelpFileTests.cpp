// Help > Content: the help file beside the program.
#include "AppTestSupport.h"
#include "HelpFile.h"
#include "MessageBoxRecorder.h"
#include "TempDir.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

TEST(HelpFile, LiesBesideTheProgramAndAMissingOneIsToldWithItsPath) {
    EXPECT_EQ(HelpFileBeside(L"C:\\Program Files\\Tarvelo\\Tarvelo.exe"), L"C:\\Program Files\\Tarvelo\\TQHelp.chm");
    EXPECT_EQ(HelpFileBeside(L"C:\\Tarvelo.exe"), L"C:\\TQHelp.chm");

    TempDir folder;
    MessageBoxRecorder boxes;
    CString missing = folder / L"TQHelp.chm";
    ShowHelpFile(nullptr, missing);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_GE(boxes.Boxes()[0].text.Find(missing), 0) << ::testing::PrintToString(boxes.Boxes()[0].text);
    EXPECT_EQ(boxes.Boxes()[0].caption, L"Tarvelo");
    // A folder of that name is no help file either.
    CreateDirectoryW(missing, nullptr);
    ShowHelpFile(nullptr, missing);
    EXPECT_EQ(boxes.Boxes().size(), 2u);
}

// The help file the build makes lies beside Tarvelo.exe; Help > Content in
// the running program opens it in the system's help viewer.
TEST(HelpFile, ContentOpensTheBuiltHelpFileInTheHelpViewer) {
    CString helpFile = HelpFileBeside(TarveloExePath());
    HANDLE file = CreateFileW(helpFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "no help file " << ::testing::PrintToString(helpFile);
    char signature[4] = {};
    DWORD read = 0;
    ReadFile(file, signature, sizeof(signature), &read, nullptr);
    CloseHandle(file);
    EXPECT_EQ(std::string(signature, read), "ITSF");  // a compiled HTML Help file

    ProgramRegistryGuard registry;
    TempDir install;
    CreateDirectoryW(install / L"Bookmark", nullptr);
    CreateDirectoryW(install / L"Bookmark\\Allpages", nullptr);
    ProgramRegistryGuard::WriteString(L"Settings", L"InstallPath", install.Path());

    bool asked = false, viewerShown = false;
    DWORD askedAt = 0;
    RunTarvelo(L"", [&](DWORD processId) {
        HWND frame = FindVisibleWindow(processId, L"Tarvelo 2.3");
        if (!frame) return true;
        if (!asked) {
            PostMessageW(frame, WM_COMMAND, ID_HELP_CONTENT, 0);
            asked = true;
            askedAt = GetTickCount();
            return true;
        }
        // The viewer's window carries the help file's title.
        viewerShown = FindVisibleWindow(processId, L"Tarvelo Help") != nullptr;
        if (!viewerShown && GetTickCount() - askedAt < 20000) return true;
        PostMessageW(frame, WM_CLOSE, 0, 0);
        return false;
    });
    EXPECT_TRUE(viewerShown);
}

namespace {

// A menu item's words as the help names them: no '&', no key after the tab,
// no "..." and no blanks at the ends.
CString MenuWords(CString text) {
    if (int tab = text.Find(L'\t'); tab >= 0) text = text.Left(tab);
    text.Remove(L'&');
    text.Trim();
    if (text.Right(3) == L"...") text = text.Left(text.GetLength() - 3);
    return text;
}

// "Popup > Item" for every item of the program's two menus (no page open, a page open).
std::set<CString> MenuCommands() {
    std::set<CString> commands;
    for (UINT id : {IDR_MAINFRAME, IDR_PAGETYPE}) {
        HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
        if (!menu) continue;
        auto textOf = [](HMENU owner, int index) {
            wchar_t text[128] = {};
            GetMenuStringW(owner, static_cast<UINT>(index), text, 128, MF_BYPOSITION);
            return MenuWords(text);
        };
        for (int top = 0; top < GetMenuItemCount(menu); ++top) {
            HMENU popup = GetSubMenu(menu, top);
            if (!popup) continue;
            for (int item = 0; item < GetMenuItemCount(popup); ++item)
                if (!textOf(popup, item).IsEmpty()) commands.insert(textOf(menu, top) + L" > " + textOf(popup, item));
        }
        DestroyMenu(menu);
    }
    return commands;
}

std::wstring ReadHelpPage(const CString& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0) bytes.append(chunk, read);
    CloseHandle(file);
    return std::wstring(bytes.begin(), bytes.end());  // the pages' menu names are ASCII
}

}  // namespace

// Every menu command a help page names ("<b>File &gt; Save</b>") is an item
// of the program's File menu, in one of its two menus.
TEST(HelpFile, EveryMenuCommandThePagesNameIsInTheProgramsMenus) {
    const std::set<CString> commands = MenuCommands();
    ASSERT_TRUE(commands.count(L"File > New Directory") && commands.count(L"Help > Home Page"));
    CString folder(L"Z:");
    for (const char* c = TARVELO_HELP_SOURCE_UNIX_PATH; *c; ++c) folder += static_cast<wchar_t>(*c == '/' ? '\\' : *c);
    const std::wregex reference(L"<b>([^<>]+?) &gt; ([^<>]+?)</b>");
    int named = 0;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(folder + L"\\*.htm", &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << folder.str();
    do {
        const std::wstring page = ReadHelpPage(folder + L"\\" + found.cFileName);
        ASSERT_FALSE(page.empty()) << found.cFileName;
        for (std::wsregex_iterator it(page.begin(), page.end(), reference), end; it != end; ++it, ++named) {
            CString command = CString((*it)[1].str().c_str()) + L" > " + CString((*it)[2].str().c_str());
            command.Replace(L"\r\n", L" ");
            command.Replace(L'\n', L' ');
            EXPECT_TRUE(commands.count(command)) << found.cFileName << ": " << command.str();
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
    EXPECT_GT(named, 20);
}
