#include "PrivateRegistry.h"

#include <cwchar>

PrivateRegistry::PrivateRegistry() {
    static int counter = 0;
    std::swprintf(m_path, 128, L"Software\\TarveloTestHives\\%lu-%d", GetCurrentProcessId(), ++counter);
    RegDeleteTreeW(HKEY_CURRENT_USER, m_path);
    RegCreateKeyExW(HKEY_CURRENT_USER, m_path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_hive, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, m_hive);
}

PrivateRegistry::~PrivateRegistry() {
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (m_hive) RegCloseKey(m_hive);
    RegDeleteTreeW(HKEY_CURRENT_USER, m_path);
}
