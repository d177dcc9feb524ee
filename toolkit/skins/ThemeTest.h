// The theme test: whether tab controls may be left to the system's visual
// style. TRUE only on Windows 5.1 with a visual style in force for the
// application and common controls of version 6 or later. Every call probes
// the system again; nothing is cached.
#pragma once
#include <windows.h>

#include <functional>

BOOL IsThemeActiveXP();

// The system calls the test makes, replaceable so that every branch can be
// exercised on any system.
struct ThemeProbeCalls {
    std::function<BOOL(OSVERSIONINFOW*)> getVersion;
    std::function<HMODULE(const wchar_t*)> loadLibrary;
    std::function<FARPROC(HMODULE, const char*)> getProcAddress;
    std::function<BOOL(HMODULE)> freeLibrary;

    // The real functions of the system.
    static ThemeProbeCalls System();
};

BOOL IsThemeActiveXPWith(const ThemeProbeCalls& calls);
