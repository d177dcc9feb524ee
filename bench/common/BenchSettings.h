// The program's settings key put aside for a benchmark's run (copied under a
// backup key of the benchmark's own and deleted) and brought back after it.
#pragma once
#include <windows.h>

namespace bench {

inline const wchar_t kProgramKey[] = L"Software\\Tarvelo\\Tarvelo";

inline void PutSettingsAside(const wchar_t* backupKey) {
    RegDeleteTreeW(HKEY_CURRENT_USER, backupKey);
    HKEY settings = nullptr, saved = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, &settings) == ERROR_SUCCESS) {
        RegCreateKeyExW(HKEY_CURRENT_USER, backupKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &saved, nullptr);
        RegCopyTreeW(settings, nullptr, saved);
        RegCloseKey(saved);
        RegCloseKey(settings);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
}

inline void BringSettingsBack(const wchar_t* backupKey) {
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
    HKEY from = nullptr, to = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, backupKey, 0, KEY_READ, &from) != ERROR_SUCCESS) return;
    RegCreateKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &to, nullptr);
    if (to) RegCopyTreeW(from, nullptr, to);
    if (to) RegCloseKey(to);
    RegCloseKey(from);
    RegDeleteTreeW(HKEY_CURRENT_USER, backupKey);
}

}  // namespace bench
