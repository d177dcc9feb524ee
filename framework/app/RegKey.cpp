#include "app/RegKey.h"

#include <vector>

RegKey RegKey::Open(HKEY parent, const wchar_t* path, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, path, 0, access, &key) != ERROR_SUCCESS) return RegKey();
    return RegKey(key);
}

RegKey RegKey::Create(HKEY parent, const wchar_t* path, REGSAM access) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return RegKey();
    return RegKey(key);
}

bool RegKey::ReadDword(const wchar_t* name, DWORD& value) const {
    if (!m_key) return false;
    DWORD type = 0, data = 0, size = sizeof(data);
    if (RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS) return false;
    if (type != REG_DWORD || size != sizeof(data)) return false;
    value = data;
    return true;
}

bool RegKey::ReadString(const wchar_t* name, CString& value) const {
    if (!m_key) return false;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(m_key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    // The value may change between the two calls; retry with the new size.
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, L'\0');
        DWORD bytes = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
        LONG status = RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
        if (status == ERROR_MORE_DATA) {
            size = bytes;
            continue;
        }
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
        // Stored strings need not be terminated: stop at the data's end or the first terminator.
        size_t units = bytes / sizeof(wchar_t);
        size_t length = 0;
        while (length < units && buffer[length] != L'\0') ++length;
        value = CString(buffer.data(), static_cast<int>(length));
        return true;
    }
    return false;
}

bool RegKey::WriteDword(const wchar_t* name, DWORD value) const {
    return m_key && RegSetValueExW(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) == ERROR_SUCCESS;
}

bool RegKey::WriteString(const wchar_t* name, const wchar_t* value) const {
    if (!m_key) return false;
    const wchar_t* text = value ? value : L"";
    DWORD bytes = static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t));
    return RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes) == ERROR_SUCCESS;
}

bool RegKey::DeleteValue(const wchar_t* name) const {
    return m_key && RegDeleteValueW(m_key, name) == ERROR_SUCCESS;
}

bool RegKey::ReadBinary(const wchar_t* name, std::vector<BYTE>& value) const {
    if (!m_key) return false;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(m_key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_BINARY) return false;
    for (int attempt = 0; attempt < 4; ++attempt) {
        value.assign(size, 0);
        DWORD bytes = size;
        LONG status = RegQueryValueExW(m_key, name, nullptr, &type, value.empty() ? nullptr : value.data(), &bytes);
        if (status == ERROR_MORE_DATA) {
            size = bytes;
            continue;
        }
        if (status != ERROR_SUCCESS || type != REG_BINARY) return false;
        value.resize(bytes);  // the value may have shrunk between the two calls
        return true;
    }
    return false;
}

bool RegKey::WriteBinary(const wchar_t* name, const BYTE* data, DWORD size) const {
    return m_key && RegSetValueExW(m_key, name, 0, REG_BINARY, data, size) == ERROR_SUCCESS;
}
