// Where the main program lives: the value "InstallPath" of the current user's
// key Software\Tarvelo\Tarvelo\Settings. Each library tells the user about a
// missing key or value in its own words, so the reader only reports which.
#pragma once
#include "core/String.h"

enum class InstallPathStatus { Found, KeyMissing, ValueMissing };

struct InstallPathResult {
    InstallPathStatus status = InstallPathStatus::KeyMissing;
    CString path;  // empty unless found
};

// Opens the key for reading only and accepts only a string value, read by its
// queried size (any length; a missing terminator is tolerated).
InstallPathResult ReadInstallPath();

// install path + "\Tarvelo.exe".
CString TarveloProgramPath(const CString& installPath);

extern const wchar_t kSettingsKey[];      // Software\Tarvelo\Tarvelo\Settings
extern const wchar_t kInstallPathValue[];  // InstallPath
