// Gives the test process a registry hive of its own: HKEY_CURRENT_USER is
// redirected to a fresh key for as long as the object lives, so that tests
// running beside others in the same Wine prefix never see or touch their
// settings.
#pragma once
#include <windows.h>

class PrivateRegistry {
public:
    PrivateRegistry();
    ~PrivateRegistry();
    PrivateRegistry(const PrivateRegistry&) = delete;
    PrivateRegistry& operator=(const PrivateRegistry&) = delete;

private:
    HKEY m_hive = nullptr;
    wchar_t m_path[128] = {};
};
