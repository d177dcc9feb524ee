// The browser's typed-address list (HKCU "Software\Microsoft\Internet
// Explorer\TypedURLs") moved aside while a test lives and put back after.
#pragma once
#include "core/String.h"

#include <windows.h>

#include <utility>
#include <vector>

inline constexpr wchar_t kTypedUrls[] = L"Software\\Microsoft\\Internet Explorer\\TypedURLs";

// The browser's typed-address list, moved aside for the test and put back.
class TypedUrlsAside {
public:
    TypedUrlsAside() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kTypedUrls, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            m_had = true;
            wchar_t name[256];
            wchar_t value[4096];
            for (DWORD index = 0;; ++index) {
                DWORD nameLength = 256, size = sizeof(value), type = 0;
                if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
                    ERROR_SUCCESS)
                    break;
                if (type == REG_SZ) m_values.emplace_back(name, CString(value));
            }
            RegCloseKey(key);
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, kTypedUrls);
        RegDeleteKeyW(HKEY_CURRENT_USER, kTypedUrls);
    }
    ~TypedUrlsAside() {
        RegDeleteKeyW(HKEY_CURRENT_USER, kTypedUrls);
        if (!m_had) return;
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kTypedUrls, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        for (const auto& [name, value] : m_values)
            RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()),
                           static_cast<DWORD>((value.GetLength() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    static void Write(const wchar_t* name, const CString& value) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kTypedUrls, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()),
                       static_cast<DWORD>((value.GetLength() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    static CString Read(const wchar_t* name) {
        CString value = L"<missing>";
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kTypedUrls, 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
        wchar_t text[4096];
        DWORD size = sizeof(text), type = 0;
        if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS &&
            type == REG_SZ)
            value = text;
        RegCloseKey(key);
        return value;
    }

private:
    bool m_had = false;
    std::vector<std::pair<CString, CString>> m_values;
};
