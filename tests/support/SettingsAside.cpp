#include "SettingsAside.h"

#include <windows.h>

namespace {
constexpr wchar_t kRoot[] = L"Software\\Tarvelo\\Tarvelo";

void CopyKey(const wchar_t* from, const wchar_t* to) {
    HKEY source = nullptr, target = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, from, 0, KEY_READ, &source) == ERROR_SUCCESS &&
        RegCreateKeyExW(HKEY_CURRENT_USER, to, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target, nullptr) == ERROR_SUCCESS)
        RegCopyTreeW(source, nullptr, target);
    if (source) RegCloseKey(source);
    if (target) RegCloseKey(target);
}
}  // namespace

SettingsAside::SettingsAside() {
    m_backup.Format(L"Software\\TarveloTestBackup\\%lu", GetCurrentProcessId());
    RegDeleteTreeW(HKEY_CURRENT_USER, m_backup);
    HKEY existing = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRoot, 0, KEY_READ, &existing) == ERROR_SUCCESS) {
        RegCloseKey(existing);
        CopyKey(kRoot, m_backup);
        m_hadSettings = true;
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kRoot);
}

SettingsAside::~SettingsAside() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kRoot);
    if (m_hadSettings) CopyKey(m_backup, kRoot);
    RegDeleteTreeW(HKEY_CURRENT_USER, m_backup);
}
