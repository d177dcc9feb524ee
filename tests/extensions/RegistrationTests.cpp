// Each library registers itself through regsvr32 with the keys the browser
// and Explorer look for, and unregistration removes them again while keeping
// the shared parent keys.
#include "ExtensionHost.h"

#include <gtest/gtest.h>

namespace {

struct ClassKeys {
    const wchar_t* library;
    const wchar_t* clsid;
    const wchar_t* appid;
    const wchar_t* typeLibrary;
    const wchar_t* progId;
    const wchar_t* versionIndependentProgId;
    const wchar_t* friendlyName;
    const wchar_t* threadingModel;
    bool programmable;
};

const ClassKeys kLibraries[] = {
    {L"TQMenuExt", L"{C70F0902-53D1-4AA2-9760-CAEC5CC17557}", L"{B4F89C04-C7D8-4850-A9FD-CFA35D24A18D}",
     L"{38B2DAED-DB97-4F25-B9C9-75DD9E0F6A15}", L"TQMenuExt.MenuExt.1", L"TQMenuExt.MenuExt", L"MenuExt Class", L"Apartment",
     true},
    {L"BookMark", L"{C53D4CFC-4FC2-4FD2-BDEF-3934B6678B9D}", L"{348DF01C-A683-4412-97FA-23BAC7A18D82}",
     L"{54826A59-38E3-4413-A646-8820749DE774}", L"BookMark.BarObj.1", L"BookMark.BarObj", L"BarObj Class", L"Apartment",
     false},
    {L"TQFileExt", L"{4C816CEB-6FC7-4187-9327-9B8B64A8E346}", L"{C0C1DE0D-DD46-45DF-B387-DC0205BD7479}",
     L"{56DE4B4A-C69C-4513-A6CC-19419363D876}", L"TQFileExt.SimpleShlExt.1", L"TQFileExt.SimpleShlExt",
     L"SimpleShlExt Class", L"Apartment", true},
    {L"TQIEMenuExt", L"{86427792-EC3D-4717-AA35-0A05EEA769A6}", L"{2C8C4ED9-BEF3-4DB8-9A30-B24D7C3A6C7F}",
     L"{DA36A1D9-4BA1-4E9F-87C9-38304F907F8B}", L"TQIEMenuExt.AutoFill.1", L"TQIEMenuExt.AutoFill", L"CAutoFill Object",
     L"apartment", true},
};

const wchar_t kMenuExtItem[] = L"Software\\Microsoft\\Internet Explorer\\MenuExt\\Add to Tarvelo";
const wchar_t kExtensions[] = L"Software\\Microsoft\\Internet Explorer\\Extensions";
const wchar_t kButton[] = L"Software\\Microsoft\\Internet Explorer\\Extensions\\{C1F0025B-8278-4999-B7E6-2718426D9FE6}";
const wchar_t kToolsItem[] = L"Software\\Microsoft\\Internet Explorer\\Extensions\\{C1F0025B-8278-4999-B7E6-2718426D9FE7}";
const wchar_t kHelperObjects[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
const wchar_t kExtensionClsid[] = L"{1FBA04EE-3024-11d2-8F1F-0000F87ABD16}";

int Regsvr32(const CString& arguments) { return RunProgram(L"regsvr32.exe /s " + arguments); }

// A library registers itself in the registry view of its own architecture:
// a 32-bit one, on 64-bit Windows, below Wow6432Node, where 32-bit hosts look.
#ifdef _WIN64
const REGSAM kOwnView = KEY_WOW64_64KEY, kOtherView = KEY_WOW64_32KEY;
const wchar_t kTypeLibraryPlatform[] = L"win64";
#else
const REGSAM kOwnView = KEY_WOW64_32KEY, kOtherView = KEY_WOW64_64KEY;
const wchar_t kTypeLibraryPlatform[] = L"win32";
#endif

bool KeyInView(HKEY root, const CString& path, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

CString Quoted(const CString& path) { return L"\"" + path + L"\""; }

void ExpectClassKeys(const ClassKeys& c) {
    CString module = LibraryPath(c.library);
    CString appId = CString(L"AppID\\") + c.appid;
    CString file = CString(L"AppID\\") + c.library + L".DLL";
    CString classKey = CString(L"CLSID\\") + c.clsid;
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, appId, L""), CString(c.library));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, file, L"AppID"), CString(c.appid));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, c.progId, L""), CString(c.friendlyName));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, CString(c.progId) + L"\\CLSID", L""), CString(c.clsid));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, c.versionIndependentProgId, L""), CString(c.friendlyName));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, CString(c.versionIndependentProgId) + L"\\CLSID", L""), CString(c.clsid));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, CString(c.versionIndependentProgId) + L"\\CurVer", L""), CString(c.progId));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, classKey, L""), CString(c.friendlyName));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, classKey + L"\\ProgID", L""), CString(c.progId));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, classKey + L"\\VersionIndependentProgID", L""),
              CString(c.versionIndependentProgId));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32", L""), module);
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, classKey + L"\\InprocServer32", L"ThreadingModel"), CString(c.threadingModel));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, classKey, L"AppID"), CString(c.appid));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, classKey + L"\\TypeLib", L""), CString(c.typeLibrary));
    EXPECT_EQ(RegistryKeyExists(HKEY_CLASSES_ROOT, classKey + L"\\Programmable"), c.programmable);
    CString typeLibrary = CString(L"TypeLib\\") + c.typeLibrary + L"\\1.0\\0\\" + kTypeLibraryPlatform;
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, typeLibrary, L""), module);
    CString machineClassKey = CString(L"Software\\Classes\\CLSID\\") + c.clsid;
    EXPECT_TRUE(KeyInView(HKEY_LOCAL_MACHINE, machineClassKey, kOwnView));
    EXPECT_FALSE(KeyInView(HKEY_LOCAL_MACHINE, machineClassKey, kOtherView));
}

void ExpectClassKeysGone(const ClassKeys& c) {
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, CString(L"CLSID\\") + c.clsid));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, c.progId));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, c.versionIndependentProgId));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, CString(L"AppID\\") + c.appid));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, CString(L"AppID\\") + c.library + L".DLL"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, CString(L"TypeLib\\") + c.typeLibrary));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"AppID"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"CLSID"));
}

class LibraryRegistration : public ::testing::TestWithParam<ClassKeys> {};

}  // namespace

TEST_P(LibraryRegistration, Regsvr32WritesTheClassKeysAndUnregistrationRemovesThem) {
    const ClassKeys& c = GetParam();
    ASSERT_EQ(Regsvr32(Quoted(LibraryPath(c.library))), 0);
    ExpectClassKeys(c);
    ASSERT_EQ(Regsvr32(L"/u " + Quoted(LibraryPath(c.library))), 0);
    ExpectClassKeysGone(c);
}

INSTANTIATE_TEST_SUITE_P(EveryLibrary, LibraryRegistration, ::testing::ValuesIn(kLibraries),
                         [](const auto& info) {
                             std::wstring name = info.param.library;
                             return std::string(name.begin(), name.end());
                         });

TEST(MenuExtRegistration, AddsThePageContextMenuItemWithItsControlKeys) {
    CString module = LibraryPath(L"TQMenuExt");
    ASSERT_EQ(Regsvr32(Quoted(module)), 0);
    CString classKey = L"CLSID\\{C70F0902-53D1-4AA2-9760-CAEC5CC17557}";
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kMenuExtItem, L""), L"res://" + module + L"/202");
    EXPECT_EQ(RegistryNumber(HKEY_CURRENT_USER, kMenuExtItem, L"Contexts"), 1u);
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, classKey + L"\\Control"));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, classKey + L"\\ToolboxBitmap32", L""), module + L", 102");
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, classKey + L"\\MiscStatus", L""), CString(L"0"));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, classKey + L"\\MiscStatus\\1", L""), CString(L"131473"));
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, classKey + L"\\Version", L""), CString(L"1.0"));
    ASSERT_EQ(Regsvr32(L"/u " + Quoted(module)), 0);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kMenuExtItem));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer"));
}

TEST(BookMarkRegistration, AddsTheToolbarButtonAndToolsItemAndUnregistrationKeepsTheExtensionsKey) {
    CString module = LibraryPath(L"BookMark");
    ASSERT_EQ(Regsvr32(Quoted(module)), 0);
    const CString clsid = L"{C53D4CFC-4FC2-4FD2-BDEF-3934B6678B9D}";
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kButton, L"ButtonText"), CString(L"Add to Tarvelo"));
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kButton, L"Icon"), module + L",209");
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kButton, L"HotIcon"), module + L",209");
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kButton, L"CLSID"), CString(kExtensionClsid));
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kButton, L"ClsidExtension"), clsid);
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kButton, L"Default Visible"), CString(L"yes"));
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kToolsItem, L"CLSID"), CString(kExtensionClsid));
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kToolsItem, L"ClsidExtension"), clsid);
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kToolsItem, L"MenuText"), CString(L"Add to Tarvelo"));
    HICON icon = static_cast<HICON>(LoadImageW(LoadLibraryExW(module, nullptr, LOAD_LIBRARY_AS_DATAFILE),
                                               MAKEINTRESOURCEW(209), IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(icon, nullptr);
    ASSERT_EQ(Regsvr32(L"/u " + Quoted(module)), 0);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kButton));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kToolsItem));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kExtensions));
}

TEST(FileExtRegistration, HandlesTheContextMenuOfEveryFileAndFolder) {
    CString module = LibraryPath(L"TQFileExt");
    ASSERT_EQ(Regsvr32(Quoted(module)), 0);
    const CString clsid = L"{4C816CEB-6FC7-4187-9327-9B8B64A8E346}";
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, L"*\\ShellEx\\ContextMenuHandlers\\SimpleShlExt", L""), clsid);
    EXPECT_EQ(RegistryText(HKEY_CLASSES_ROOT, L"folder\\ShellEx\\ContextMenuHandlers\\SimpleShlExt", L""), clsid);
    ASSERT_EQ(Regsvr32(L"/u " + Quoted(module)), 0);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"*\\ShellEx\\ContextMenuHandlers\\SimpleShlExt"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"folder\\ShellEx\\ContextMenuHandlers\\SimpleShlExt"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"*\\ShellEx\\ContextMenuHandlers"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_CLASSES_ROOT, L"folder\\ShellEx\\ContextMenuHandlers"));
}

TEST(AutoFillRegistration, RegistersTheBrowserHelperObject) {
    CString module = LibraryPath(L"TQIEMenuExt");
    ASSERT_EQ(Regsvr32(Quoted(module)), 0);
    CString helper = CString(kHelperObjects) + L"\\{86427792-EC3D-4717-AA35-0A05EEA769A6}";
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, helper, L""), CString(L"TQIEMenuExt"));
    EXPECT_TRUE(KeyInView(HKEY_LOCAL_MACHINE, helper, kOwnView));
    EXPECT_FALSE(KeyInView(HKEY_LOCAL_MACHINE, helper, kOtherView));
    ASSERT_EQ(Regsvr32(L"/u " + Quoted(module)), 0);
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, helper));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kHelperObjects));
}

TEST(LibraryResources, CarryTheirProjectNameAndTypeLibrary) {
    for (const ClassKeys& c : kLibraries) {
        HMODULE module = LoadLibraryExW(LibraryPath(c.library), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
        wchar_t name[64] = {};
        LoadStringW(module, 100, name, 64);
        EXPECT_EQ(CString(name), CString(c.library));
        EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), L"TYPELIB"), nullptr);
        FreeLibrary(module);
        // Only the browser helper says in its version block that it registers itself.
        DWORD size = GetFileVersionInfoSizeW(LibraryPath(c.library), nullptr);
        std::vector<BYTE> version(size);
        ASSERT_TRUE(GetFileVersionInfoW(LibraryPath(c.library), 0, size, version.data()));
        void* entry = nullptr;
        UINT length = 0;
        bool selfRegister = VerQueryValueW(version.data(), L"\\StringFileInfo\\040904B0\\OLESelfRegister", &entry, &length);
        EXPECT_EQ(selfRegister, CString(c.library) == L"TQIEMenuExt") << ::testing::PrintToString(CString(c.library));
    }
}
