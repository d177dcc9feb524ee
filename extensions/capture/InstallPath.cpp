#include "InstallPath.h"

#include <windows.h>

const wchar_t kSettingsKey[] = L"Software\\Tarvelo\\Tarvelo\\Settings";
const wchar_t kInstallPathValue[] = L"InstallPath";

namespace {

// A string value of any length, or false when the value is missing or not text.
bool ReadStringValue(HKEY key, const wchar_t* name, CString& out) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0, size = 0;
        if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
        std::wstring buffer(size / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
        if (status == ERROR_MORE_DATA) continue;  // the value grew in between
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
        buffer.resize(got / sizeof(wchar_t));
        size_t end = buffer.find(L'\0');
        if (end != std::wstring::npos) buffer.resize(end);
        out = CString(std::move(buffer));
        return true;
    }
    return false;
}

}  // namespace

InstallPathResult ReadInstallPath() {
    InstallPathResult result;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        result.status = InstallPathStatus::KeyMissing;
        return result;
    }
    result.status = ReadStringValue(key, kInstallPathValue, result.path) ? InstallPathStatus::Found
                                                                         : InstallPathStatus::ValueMissing;
    RegCloseKey(key);
    return result;
}

CString TarveloProgramPath(const CString& installPath) { return installPath + L"\\Tarvelo.exe"; }
