// An open registry key, closed when it goes out of scope.
#pragma once
#include "core/String.h"

#include <windows.h>

#include <vector>

class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : m_key(key) {}
    ~RegKey() { Close(); }
    RegKey(RegKey&& other) noexcept : m_key(other.m_key) { other.m_key = nullptr; }
    RegKey& operator=(RegKey&& other) noexcept {
        if (this != &other) {
            Close();
            m_key = other.m_key;
            other.m_key = nullptr;
        }
        return *this;
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    static RegKey Open(HKEY parent, const wchar_t* path, REGSAM access = KEY_READ);
    static RegKey Create(HKEY parent, const wchar_t* path, REGSAM access = KEY_READ | KEY_WRITE);

    explicit operator bool() const { return m_key != nullptr; }
    HKEY Get() const { return m_key; }
    void Close() {
        if (m_key) RegCloseKey(m_key);
        m_key = nullptr;
    }

    // Values of the wrong type or size read as absent.
    bool ReadDword(const wchar_t* name, DWORD& value) const;
    bool ReadString(const wchar_t* name, CString& value) const;
    // A REG_BINARY value, read by the length the registry returns.
    bool ReadBinary(const wchar_t* name, std::vector<BYTE>& value) const;
    bool WriteDword(const wchar_t* name, DWORD value) const;
    bool WriteBinary(const wchar_t* name, const BYTE* data, DWORD size) const;
    bool WriteString(const wchar_t* name, const wchar_t* value) const;
    bool DeleteValue(const wchar_t* name) const;

private:
    HKEY m_key = nullptr;
};
