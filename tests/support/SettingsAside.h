// Puts the program's settings key (HKCU\Software\Tarvelo\Tarvelo) aside for a
// test that starts the real program, and brings it back afterwards; the test
// works on an empty key meanwhile.
#pragma once
#include "core/String.h"

class SettingsAside {
public:
    SettingsAside();
    ~SettingsAside();
    SettingsAside(const SettingsAside&) = delete;
    SettingsAside& operator=(const SettingsAside&) = delete;

private:
    CString m_backup;
    bool m_hadSettings = false;
};
