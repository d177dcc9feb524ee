// TQFileExt as Explorer drives it: initialised with the shell's own data
// object for the selection, it adds "Add to Tarvelo" to the context menu,
// answers the shell's questions about the item, and starts the stand-in main
// program with the first item's path and name.
#include "ClipCommandLine.h"
#include "ExtensionHost.h"

#include <shlobj.h>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

const CLSID kSimpleShlExtClsid = {0x4C816CEB, 0x6FC7, 0x4187, {0x93, 0x27, 0x9B, 0x8B, 0x64, 0xA8, 0xE3, 0x46}};

// The shell's data object for items of one folder, as Explorer hands it over.
ComPtr<IDataObject> ShellSelection(const CString& folder, const std::vector<CString>& names) {
    ComPtr<IShellFolder> desktop;
    SHGetDesktopFolder(desktop.Receive());
    PIDLIST_RELATIVE folderId = nullptr;
    CString folderPath = folder;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, folderPath.GetBuffer(), nullptr, &folderId, nullptr)))
        return nullptr;
    ComPtr<IShellFolder> parent;
    desktop->BindToObject(folderId, nullptr, IID_IShellFolder, parent.ReceiveVoid());
    CoTaskMemFree(folderId);
    if (!parent) return nullptr;
    std::vector<PITEMID_CHILD> items;
    for (CString name : names) {
        PIDLIST_RELATIVE item = nullptr;
        if (SUCCEEDED(parent->ParseDisplayName(nullptr, nullptr, name.GetBuffer(), nullptr, &item, nullptr)))
            items.push_back(reinterpret_cast<PITEMID_CHILD>(item));
    }
    ComPtr<IDataObject> data;
    parent->GetUIObjectOf(nullptr, static_cast<UINT>(items.size()), const_cast<PCUITEMID_CHILD_ARRAY>(items.data()),
                          IID_IDataObject, nullptr, data.ReceiveVoid());
    for (auto item : items) CoTaskMemFree(item);
    return data;
}

// A data object of the drive roots: My Computer's items.
ComPtr<IDataObject> DriveSelection(const CString& drive) {
    ComPtr<IShellFolder> desktop;
    SHGetDesktopFolder(desktop.Receive());
    PIDLIST_ABSOLUTE computer = nullptr;
    SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer);
    ComPtr<IShellFolder> drives;
    desktop->BindToObject(computer, nullptr, IID_IShellFolder, drives.ReceiveVoid());
    CoTaskMemFree(computer);
    PIDLIST_RELATIVE item = nullptr;
    CString name = drive;
    if (!drives || FAILED(drives->ParseDisplayName(nullptr, nullptr, name.GetBuffer(), nullptr, &item, nullptr))) return nullptr;
    ComPtr<IDataObject> data;
    PCUITEMID_CHILD child = reinterpret_cast<PCUITEMID_CHILD>(item);
    drives->GetUIObjectOf(nullptr, 1, &child, IID_IDataObject, nullptr, data.ReceiveVoid());
    CoTaskMemFree(item);
    return data;
}

CMINVOKECOMMANDINFO Command(UINT_PTR verb) {
    CMINVOKECOMMANDINFO info{};
    info.cbSize = sizeof(info);
    info.lpVerb = reinterpret_cast<LPCSTR>(verb);
    info.nShow = SW_SHOW;
    return info;
}

class FileLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        settings.Set(install.Path());
        CreateDirectoryW(items / L"draft.2", nullptr);
        WriteFileBytes(items / L"draft.2.txt", "x");
        WriteFileBytes(items / L"report.final.doc", "x");
        WriteFileBytes(items / L"notes", "x");
        WriteFileBytes(items / L".profile", "x");
        menu = library.Create<IShellExtInit>(kSimpleShlExtClsid);
        ASSERT_TRUE(menu);
    }
    // Initialises the handler with the selection and picks the item.
    HRESULT Pick(const std::vector<CString>& names) {
        ComPtr<IDataObject> data = ShellSelection(items.Path(), names);
        if (!data) return E_FAIL;
        HRESULT hr = menu->Initialize(nullptr, data.Get(), nullptr);
        if (FAILED(hr)) return hr;
        CMINVOKECOMMANDINFO info = Command(0);
        return menu.As<IContextMenu>()->InvokeCommand(&info);
    }

    StandInInstall install;
    InstallPathScope settings;
    TempDir items;
    LoadedLibrary library{L"TQFileExt"};
    ComPtr<IShellExtInit> menu;
};

}  // namespace

TEST_F(FileLibrary, AddsOneItemToTheContextMenuUnlessOnlyTheDefaultIsWanted) {
    auto context = menu.As<IContextMenu>();
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, 1, L"Open");
    EXPECT_EQ(context->QueryContextMenu(popup, 0, 100, 200, CMF_DEFAULTONLY), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0));
    EXPECT_EQ(GetMenuItemCount(popup), 1);
    EXPECT_EQ(context->QueryContextMenu(popup, 1, 100, 200, CMF_NORMAL), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1));
    ASSERT_EQ(GetMenuItemCount(popup), 2);
    wchar_t text[64] = {};
    GetMenuStringW(popup, 1, text, 64, MF_BYPOSITION);
    EXPECT_EQ(CString(text), CString(L"Add to Tarvelo"));
    EXPECT_EQ(GetMenuItemID(popup, 1), 100u);
    DestroyMenu(popup);
}

TEST_F(FileLibrary, AnswersEachKindOfCommandStringRequest) {
    auto context = menu.As<IContextMenu>();
    wchar_t wide[64] = {};
    char narrow[64] = {};
    EXPECT_EQ(context->GetCommandString(0, GCS_HELPTEXTW, nullptr, reinterpret_cast<char*>(wide), 64), S_OK);
    EXPECT_EQ(CString(wide), CString(L"Add this file or folder to Tarvelo"));
    EXPECT_EQ(context->GetCommandString(0, GCS_HELPTEXTA, nullptr, narrow, 64), S_OK);
    EXPECT_STREQ(narrow, "Add this file or folder to Tarvelo");
    EXPECT_EQ(context->GetCommandString(0, GCS_VERBW, nullptr, reinterpret_cast<char*>(wide), 64), S_OK);
    EXPECT_EQ(CString(wide), CString(L"AddToTarvelo"));
    EXPECT_EQ(context->GetCommandString(0, GCS_VERBA, nullptr, narrow, 64), S_OK);
    EXPECT_STREQ(narrow, "AddToTarvelo");
    EXPECT_EQ(context->GetCommandString(0, GCS_VALIDATEW, nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(context->GetCommandString(0, GCS_VALIDATEA, nullptr, nullptr, 0), S_OK);
    EXPECT_EQ(context->GetCommandString(1, GCS_HELPTEXTW, nullptr, reinterpret_cast<char*>(wide), 64), E_INVALIDARG);
    EXPECT_EQ(context->GetCommandString(0, GCS_HELPTEXTW, nullptr, reinterpret_cast<char*>(wide), 4), S_OK);
    EXPECT_EQ(CString(wide), CString(L"Add"));
    // A short buffer takes as much of the text as fits, terminated, in either form; nothing past it is written.
    std::fill(std::begin(narrow), std::end(narrow), '#');
    EXPECT_EQ(context->GetCommandString(0, GCS_HELPTEXTA, nullptr, narrow, 4), S_OK);
    EXPECT_STREQ(narrow, "Add");
    EXPECT_EQ(narrow[4], '#');
    EXPECT_EQ(context->GetCommandString(0, GCS_VERBA, nullptr, narrow, 6), S_OK);
    EXPECT_STREQ(narrow, "AddTo");
    EXPECT_EQ(context->GetCommandString(0, GCS_HELPTEXTA, nullptr, narrow, 1), S_OK);
    EXPECT_STREQ(narrow, "");
    EXPECT_EQ(narrow[1], 'd');
}

TEST_F(FileLibrary, SendsTheFirstSelectedFileWithItsNameUpToTheFirstDot) {
    EXPECT_EQ(Pick({L"report.final.doc", L"notes"}), S_OK);
    EXPECT_EQ(Pick({L"notes"}), S_OK);
    EXPECT_EQ(install.Starts(), (std::vector<CString>{LinkClip(items / L"notes", L"notes", FormFlag::Absent),
                                                      LinkClip(items / L"report.final.doc", L"report", FormFlag::Absent)}));
}

TEST_F(FileLibrary, FolderNameEndsInASlash) {
    EXPECT_EQ(Pick({L"draft.2"}), S_OK);
    EXPECT_EQ(Pick({L"draft.2.txt"}), S_OK);
    EXPECT_EQ(install.Starts(), (std::vector<CString>{LinkClip(items / L"draft.2.txt", L"draft", FormFlag::Absent),
                                                      LinkClip(items / L"draft.2", L"draft/", FormFlag::Absent)}));
}

TEST_F(FileLibrary, DriveRootIsSentAsAFolderNamedAfterTheDrive) {
    ComPtr<IDataObject> data = DriveSelection(L"C:\\");
    ASSERT_TRUE(data);
    ASSERT_EQ(menu->Initialize(nullptr, data.Get(), nullptr), S_OK);
    CMINVOKECOMMANDINFO info = Command(0);
    EXPECT_EQ(menu.As<IContextMenu>()->InvokeCommand(&info), S_OK);
    EXPECT_EQ(install.Starts(), std::vector<CString>{LinkClip(L"C:\\", L"C:/", FormFlag::Absent)});
}

TEST_F(FileLibrary, NameBeginningWithADotIsToldAndSentEmpty) {
    MessageBoxAnswerer answerer;
    EXPECT_EQ(Pick({L".profile"}), S_OK);
    EXPECT_EQ(answerer.Texts(), std::vector<CString>{L"Short file name exception"});
    EXPECT_EQ(install.Starts(), std::vector<CString>{LinkClip(items / L".profile", L"", FormFlag::Absent)});
}

TEST_F(FileLibrary, RefusesOtherCommandsAndStringVerbsWithoutReadingTheRegistry) {
    ComPtr<IDataObject> data = ShellSelection(items.Path(), {L"notes"});
    ASSERT_EQ(menu->Initialize(nullptr, data.Get(), nullptr), S_OK);
    settings.RemoveKey();
    MessageBoxAnswerer answerer;
    auto context = menu.As<IContextMenu>();
    CMINVOKECOMMANDINFO other = Command(1);
    EXPECT_EQ(context->InvokeCommand(&other), E_INVALIDARG);
    CMINVOKECOMMANDINFO verb = Command(0);
    verb.lpVerb = "open";
    EXPECT_EQ(context->InvokeCommand(&verb), E_INVALIDARG);
    EXPECT_TRUE(answerer.Boxes().empty());
    EXPECT_EQ(menu->Initialize(nullptr, nullptr, nullptr), E_INVALIDARG);
}

TEST_F(FileLibrary, MissingSettingsKeyIsToldAndStartsNothing) {
    settings.RemoveKey();
    MessageBoxAnswerer answerer;
    EXPECT_EQ(Pick({L"notes"}), S_OK);
    ASSERT_EQ(answerer.Boxes().size(), 1u);
    EXPECT_EQ(answerer.Boxes()[0].text, CString(L"Error, cannot open hKEY!"));
    EXPECT_EQ(answerer.Boxes()[0].caption, CString(L"Error"));
    EXPECT_TRUE(install.Starts().empty());
}
