#include "skins/ThemeTest.h"

#include <gtest/gtest.h>

#include <shlwapi.h>

#include <map>
#include <string>

namespace {

// A pretend system: a chosen version, pretend libraries and functions, and a
// count of every load and free.
struct FakeSystem {
    DWORD major = 5, minor = 1;
    bool uxthemePresent = true, comctlPresent = true;
    bool hasIsAppThemed = true, hasIsThemeActive = true, hasDllGetVersion = true;
    std::map<std::wstring, int> loads, frees;

    static inline BOOL appThemed = TRUE, themeActive = TRUE;
    static inline HRESULT versionResult = S_OK;
    static inline DWORD comctlMajor = 6;
    static inline DWORD sizeSeen = 0;

    static BOOL WINAPI IsAppThemed() { return appThemed; }
    static BOOL WINAPI IsThemeActive() { return themeActive; }
    static HRESULT CALLBACK DllGetVersion(DLLVERSIONINFO* info) {
        sizeSeen = info->cbSize;
        info->dwMajorVersion = comctlMajor;
        return versionResult;
    }

    HMODULE UxTheme() const { return reinterpret_cast<HMODULE>(0x1000); }
    HMODULE Comctl() const { return reinterpret_cast<HMODULE>(0x2000); }

    ThemeProbeCalls Calls() {
        ThemeProbeCalls calls;
        calls.getVersion = [this](OSVERSIONINFOW* info) {
            info->dwMajorVersion = major;
            info->dwMinorVersion = minor;
            return TRUE;
        };
        calls.loadLibrary = [this](const wchar_t* name) -> HMODULE {
            std::wstring lib(name);
            if (lib == L"uxtheme.dll" && uxthemePresent) { ++loads[lib]; return UxTheme(); }
            if (lib == L"comctl32.dll" && comctlPresent) { ++loads[lib]; return Comctl(); }
            return nullptr;
        };
        calls.getProcAddress = [this](HMODULE module, const char* name) -> FARPROC {
            std::string proc(name);
            if (module == UxTheme() && proc == "IsAppThemed" && hasIsAppThemed)
                return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FakeSystem::IsAppThemed));
            if (module == UxTheme() && proc == "IsThemeActive" && hasIsThemeActive)
                return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FakeSystem::IsThemeActive));
            if (module == Comctl() && proc == "DllGetVersion" && hasDllGetVersion)
                return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FakeSystem::DllGetVersion));
            return nullptr;
        };
        calls.freeLibrary = [this](HMODULE module) {
            ++frees[module == UxTheme() ? L"uxtheme.dll" : L"comctl32.dll"];
            return TRUE;
        };
        return calls;
    }

    FakeSystem() {
        appThemed = TRUE;
        themeActive = TRUE;
        versionResult = S_OK;
        comctlMajor = 6;
        sizeSeen = 0;
    }
};

}  // namespace

TEST(ThemeTest, TrueOnlyForXpWithVisualStyleAndCommonControls6) {
    FakeSystem system;
    EXPECT_TRUE(IsThemeActiveXPWith(system.Calls()));
    EXPECT_EQ(FakeSystem::sizeSeen, 20u);
    EXPECT_EQ(system.loads[L"uxtheme.dll"], 1);
    EXPECT_EQ(system.frees[L"uxtheme.dll"], 1);
    EXPECT_EQ(system.loads[L"comctl32.dll"], 1);
    EXPECT_EQ(system.frees[L"comctl32.dll"], 1);
}

TEST(ThemeTest, OtherWindowsVersionsAnswerFalseWithoutLoadingLibraries) {
    const DWORD versions[][2] = {{5, 0}, {5, 2}, {6, 0}, {6, 1}, {10, 0}, {4, 1}};
    for (auto& v : versions) {
        FakeSystem system;
        system.major = v[0];
        system.minor = v[1];
        EXPECT_FALSE(IsThemeActiveXPWith(system.Calls())) << v[0] << "." << v[1];
        EXPECT_TRUE(system.loads.empty());
    }
}

TEST(ThemeTest, ClassicStyleAnswersFalseWithoutLoadingCommonControls) {
    FakeSystem system;
    FakeSystem::themeActive = FALSE;
    EXPECT_FALSE(IsThemeActiveXPWith(system.Calls()));
    EXPECT_EQ(system.loads[L"comctl32.dll"], 0);
    EXPECT_EQ(system.frees[L"uxtheme.dll"], 1);

    FakeSystem unthemedApp;
    FakeSystem::appThemed = FALSE;
    EXPECT_FALSE(IsThemeActiveXPWith(unthemedApp.Calls()));
    EXPECT_EQ(unthemedApp.loads[L"comctl32.dll"], 0);
}

TEST(ThemeTest, OldCommonControlsOrFailedVersionQueryAnswerFalseAndFreeBoth) {
    FakeSystem old;
    FakeSystem::comctlMajor = 5;
    EXPECT_FALSE(IsThemeActiveXPWith(old.Calls()));
    EXPECT_EQ(old.frees[L"comctl32.dll"], 1);
    EXPECT_EQ(old.frees[L"uxtheme.dll"], 1);

    FakeSystem failing;
    FakeSystem::versionResult = E_FAIL;
    EXPECT_FALSE(IsThemeActiveXPWith(failing.Calls()));
    EXPECT_EQ(failing.frees[L"comctl32.dll"], 1);
}

TEST(ThemeTest, MissingLibrariesOrFunctionsAnswerFalse) {
    FakeSystem noTheme;
    noTheme.uxthemePresent = false;
    EXPECT_FALSE(IsThemeActiveXPWith(noTheme.Calls()));

    FakeSystem noFunction;
    noFunction.hasIsThemeActive = false;
    EXPECT_FALSE(IsThemeActiveXPWith(noFunction.Calls()));
    EXPECT_EQ(noFunction.frees[L"uxtheme.dll"], 1);

    FakeSystem noComctl;
    noComctl.comctlPresent = false;
    EXPECT_FALSE(IsThemeActiveXPWith(noComctl.Calls()));
    EXPECT_EQ(noComctl.frees[L"uxtheme.dll"], 1);

    FakeSystem noVersionExport;
    noVersionExport.hasDllGetVersion = false;
    EXPECT_FALSE(IsThemeActiveXPWith(noVersionExport.Calls()));
    EXPECT_EQ(noVersionExport.frees[L"comctl32.dll"], 1);
}

TEST(ThemeTest, RealSystemAnswersWithoutCrashing) {
    // Wine reports a later Windows than 5.1 unless told otherwise.
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExW(&version);
    BOOL expected = (version.dwMajorVersion == 5 && version.dwMinorVersion == 1) ? IsThemeActiveXP() : FALSE;
    EXPECT_EQ(IsThemeActiveXP(), expected);
}
