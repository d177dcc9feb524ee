#include "skins/ThemeTest.h"

#include <shlwapi.h>

namespace {

using IsAppThemedProc = BOOL(WINAPI*)();
using IsThemeActiveProc = BOOL(WINAPI*)();
using DllGetVersionProc = HRESULT(CALLBACK*)(DLLVERSIONINFO*);

// Loads a library for the length of a scope and frees it again.
class LoadedLibrary {
public:
    LoadedLibrary(const ThemeProbeCalls& calls, const wchar_t* name) : m_calls(calls), m_module(calls.loadLibrary(name)) {}
    ~LoadedLibrary() {
        if (m_module) m_calls.freeLibrary(m_module);
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    explicit operator bool() const { return m_module != nullptr; }
    template <typename Proc>
    Proc Find(const char* name) const {
        return reinterpret_cast<Proc>(reinterpret_cast<void*>(m_calls.getProcAddress(m_module, name)));
    }

private:
    const ThemeProbeCalls& m_calls;
    HMODULE m_module;
};

bool CommonControlsAreVersion6(const ThemeProbeCalls& calls) {
    LoadedLibrary comctl(calls, L"comctl32.dll");
    if (!comctl) return false;
    auto getVersion = comctl.Find<DllGetVersionProc>("DllGetVersion");
    if (!getVersion) return false;
    DLLVERSIONINFO info{};
    info.cbSize = 20;
    if (getVersion(&info) != S_OK) return false;
    return info.dwMajorVersion >= 6;
}

}  // namespace

ThemeProbeCalls ThemeProbeCalls::System() {
    ThemeProbeCalls calls;
    calls.getVersion = [](OSVERSIONINFOW* info) { return GetVersionExW(info); };
    calls.loadLibrary = [](const wchar_t* name) { return LoadLibraryW(name); };
    calls.getProcAddress = [](HMODULE module, const char* name) { return GetProcAddress(module, name); };
    calls.freeLibrary = [](HMODULE module) { return FreeLibrary(module); };
    return calls;
}

// The version record is 276 bytes on both architectures.
static_assert(sizeof(OSVERSIONINFOW) == 276);

BOOL IsThemeActiveXPWith(const ThemeProbeCalls& calls) {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    calls.getVersion(&version);
    if (version.dwMajorVersion != 5 || version.dwMinorVersion != 1) return FALSE;

    LoadedLibrary uxtheme(calls, L"uxtheme.dll");
    if (!uxtheme) return FALSE;
    auto isAppThemed = uxtheme.Find<IsAppThemedProc>("IsAppThemed");
    auto isThemeActive = uxtheme.Find<IsThemeActiveProc>("IsThemeActive");
    if (!isAppThemed || !isThemeActive) return FALSE;
    if (!isAppThemed() || !isThemeActive()) return FALSE;
    return CommonControlsAreVersion6(calls) ? TRUE : FALSE;
}

BOOL IsThemeActiveXP() { return IsThemeActiveXPWith(ThemeProbeCalls::System()); }
