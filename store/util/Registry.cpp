#include "util/Registry.h"

#include <cstdio>

namespace {

// Closes an open key when it goes out of scope.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { if (m_key) RegCloseKey(m_key); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY* Receive() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

LONG OpenSettings(const CString& section, REGSAM access, RegistryKey& key) {
    return RegOpenKeyExW(HKEY_CURRENT_USER, GetSettingsKeyPath(section), 0, access, key.Receive());
}

LONG CreateSettings(const CString& section, RegistryKey& key) {
    return RegCreateKeyExW(HKEY_CURRENT_USER, GetSettingsKeyPath(section), 0, nullptr, 0, KEY_WRITE | KEY_READ,
                           nullptr, key.Receive(), nullptr);
}

} // namespace

CString GetSettingsKeyPath(const CString& section) {
    CString path(kTarveloRegistryRoot);
    if (!section.IsEmpty()) path += L"\\" + section;
    return path;
}

LONG ReadRegistryString(HKEY key, const CString& name, CString& value) {
    // The value may change between the size query and the read: ask again then.
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD type = 0, bytes = 0;
        LONG status = RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes);
        if (status != ERROR_SUCCESS) return status;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATATYPE;
        std::wstring buffer(bytes / sizeof(wchar_t) + 2, L'\0');
        DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return status;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATATYPE;
        buffer.resize(size / sizeof(wchar_t));
        size_t end = buffer.find(L'\0');
        if (end != std::wstring::npos) buffer.resize(end);
        value = CString(std::move(buffer));
        return ERROR_SUCCESS;
    }
    return ERROR_MORE_DATA;
}

LONG ReadRegistryDword(HKEY key, const CString& name, DWORD& value) {
    DWORD type = 0, data = 0, size = sizeof(data);
    LONG status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (status != ERROR_SUCCESS) return status;
    if (type != REG_DWORD || size != sizeof(data)) return ERROR_INVALID_DATATYPE;
    value = data;
    return ERROR_SUCCESS;
}

CString GetSettingString(const CString& section, const CString& name, const CString& fallback) {
    RegistryKey key;
    if (OpenSettings(section, KEY_READ, key) != ERROR_SUCCESS) return fallback;
    CString value;
    if (ReadRegistryString(key.Get(), name, value) != ERROR_SUCCESS) return fallback;
    return value;
}

int GetSettingInt(const CString& section, const CString& name, int fallback) {
    RegistryKey key;
    if (OpenSettings(section, KEY_READ, key) != ERROR_SUCCESS) return fallback;
    DWORD value = 0;
    if (ReadRegistryDword(key.Get(), name, value) != ERROR_SUCCESS) return fallback;
    return static_cast<int>(value);
}

SettingsWriter::SettingsWriter(const CString& section) {
    if (RegCreateKeyExW(HKEY_CURRENT_USER, GetSettingsKeyPath(section), 0, nullptr, 0, KEY_WRITE, nullptr, &m_key,
                        nullptr) != ERROR_SUCCESS)
        m_key = nullptr;
}

SettingsWriter::~SettingsWriter() {
    if (m_key) RegCloseKey(m_key);
}

bool SettingsWriter::WriteString(const CString& name, const CString& value) {
    if (!m_key) return false;
    DWORD bytes = static_cast<DWORD>((value.GetLength() + 1) * sizeof(wchar_t));
    return RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()), bytes) ==
           ERROR_SUCCESS;
}

bool WriteSettingString(const CString& section, const CString& name, const CString& value) {
    RegistryKey key;
    if (CreateSettings(section, key) != ERROR_SUCCESS) return false;
    DWORD bytes = static_cast<DWORD>((value.GetLength() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()), bytes) ==
           ERROR_SUCCESS;
}

bool WriteSettingInt(const CString& section, const CString& name, int value) {
    RegistryKey key;
    if (CreateSettings(section, key) != ERROR_SUCCESS) return false;
    DWORD data = static_cast<DWORD>(value);
    return RegSetValueExW(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data)) ==
           ERROR_SUCCESS;
}

std::vector<CString> GetSettingNames(const CString& section) {
    std::vector<CString> names;
    RegistryKey key;
    if (OpenSettings(section, KEY_READ, key) != ERROR_SUCCESS) return names;
    DWORD longest = 0;
    if (RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &longest, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    std::wstring buffer(longest + 2, L'\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(buffer.size());
        LONG status = RegEnumValueW(key.Get(), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {
            buffer.assign(buffer.size() * 2, L'\0');
            --index;
            continue;
        }
        if (status != ERROR_SUCCESS) break;
        names.emplace_back(buffer.data(), static_cast<int>(length));
    }
    return names;
}

bool SettingsSectionExists(const CString& section) {
    RegistryKey key;
    return OpenSettings(section, KEY_READ, key) == ERROR_SUCCESS;
}

int DeleteRegistryTree(HKEY root, const CString& path) {
    if (path.IsEmpty()) return 0; // never the whole root
    if (RegDeleteKeyW(root, path) == ERROR_SUCCESS) return 1;
    RegistryKey key;
    LONG status = RegOpenKeyExW(root, path, 0, KEY_READ | KEY_WRITE | DELETE, key.Receive());
    if (status == ERROR_FILE_NOT_FOUND) return 1;
    if (status != ERROR_SUCCESS) return 0;
    if (RegDeleteTreeW(key.Get(), nullptr) != ERROR_SUCCESS) return 0;
    return RegDeleteKeyW(root, path) == ERROR_SUCCESS ? 1 : 0;
}

int ClearRegistryKey(HKEY root, const CString& path) {
    if (path.IsEmpty()) return 0;
    {
        RegistryKey key;
        LONG status = RegOpenKeyExW(root, path, 0, KEY_READ, key.Receive());
        if (status == ERROR_FILE_NOT_FOUND) return 1;
        if (status != ERROR_SUCCESS) return 0;
    }
    if (!DeleteRegistryTree(root, path)) return 0;
    RegistryKey created;
    return RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, created.Receive(), nullptr) ==
                   ERROR_SUCCESS
               ? 1
               : 0;
}

int EnumRegistryValueNames(HKEY key, std::vector<CString>& names) {
    DWORD subkeys = 0, longestSubkey = 0, values = 0, longestValue = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, &longestSubkey, nullptr, &values, &longestValue,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return 1;
    std::wstring name(std::max(longestSubkey, longestValue) + 2, L'\0');
    for (DWORD i = 0; i < subkeys; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
            std::printf("(%lu) %ls\n", static_cast<unsigned long>(i + 1), name.c_str());
    }
    for (DWORD i = 0; i < values; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueW(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
            names.emplace_back(name.data(), static_cast<int>(length));
    }
    return 1;
}
