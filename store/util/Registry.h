// The store's own access to the per-user settings key and the registry
// helpers that the store and the application share. Values are read by their
// queried size and only with the expected type; nothing here needs an
// application object.
#pragma once
#include "core/String.h"

#include <windows.h>

#include <vector>

// Root of every setting of the system below HKEY_CURRENT_USER.
inline constexpr wchar_t kTarveloRegistryRoot[] = L"Software\\Tarvelo\\Tarvelo";

// "Software\Tarvelo\Tarvelo\<section>".
CString GetSettingsKeyPath(const CString& section);

// Reads a string value (REG_SZ or REG_EXPAND_SZ, unexpanded) of an open key.
// Returns ERROR_SUCCESS, the registry's error, or ERROR_INVALID_DATATYPE.
LONG ReadRegistryString(HKEY key, const CString& name, CString& value);
// Reads a REG_DWORD value of an open key.
LONG ReadRegistryDword(HKEY key, const CString& name, DWORD& value);

// Settings of HKCU\Software\Tarvelo\Tarvelo\<section>: the default when the key
// or value is missing or of another type.
CString GetSettingString(const CString& section, const CString& name, const CString& fallback);
int GetSettingInt(const CString& section, const CString& name, int fallback);
// Writes the value in one registry call, creating the section's key.
bool WriteSettingString(const CString& section, const CString& name, const CString& value);
bool WriteSettingInt(const CString& section, const CString& name, int value);
// A section's key held open for a run of writes.
class SettingsWriter {
public:
    explicit SettingsWriter(const CString& section);
    ~SettingsWriter();
    SettingsWriter(const SettingsWriter&) = delete;
    SettingsWriter& operator=(const SettingsWriter&) = delete;
    bool WriteString(const CString& name, const CString& value);

private:
    HKEY m_key = nullptr;
};
// Every value name of a section ("" and error -> empty list).
std::vector<CString> GetSettingNames(const CString& section);
// True when the section's key exists.
bool SettingsSectionExists(const CString& section);

// Deletes a key and everything below it: 1 on success or when the key does
// not exist, 0 when it cannot be opened or deleted.
int DeleteRegistryTree(HKEY root, const CString& path);
// Deletes a key's subkeys and values and creates it again empty: 1 / 0.
int ClearRegistryKey(HKEY root, const CString& path);
// Prints the subkeys of an open key ("(%d) %s\n") to the standard output and
// appends the names of its values, in index order, to the list. Returns 1.
int EnumRegistryValueNames(HKEY key, std::vector<CString>& names);
