#include "install/InstallPath.h"

#include "util/Folders.h"
#include "util/Registry.h"
#include "util/Strings.h"

#include "core/MessageBox.h"

#include <windows.h>

namespace {

void ShowError(const wchar_t* text) { ShowMessageBox(nullptr, text, L"Error", MB_OK); }

// Reads a string value of a key below HKCU; empty on failure. The messages are
// shown only when given.
CString ReadUserString(const wchar_t* keyPath, const wchar_t* name, const wchar_t* openError,
                       const wchar_t* queryError) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        if (openError) ShowError(openError);
        return CString();
    }
    CString value;
    LONG status = ReadRegistryString(key, name, value);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        if (queryError) ShowError(queryError);
        return CString();
    }
    return value;
}

} // namespace

CString GetInstallPath() {
    return ReadUserString(GetSettingsKeyPath(L"Settings"), L"InstallPath", L"Error, cannot open hKEY!",
                          L"Error, cannot QUERY InstallPath! Reinstall may fix this problem");
}

CString GetAllpagesPath() { return GetInstallPath() + kAllpagesFolder; }

CStringA GetAllpagesPathA() { return WideToCodePage(GetAllpagesPath(), CP_ACP); }

CString GetFavoritesPath() {
    return ReadUserString(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", L"Favorites",
                          L"Error, cannot open hKEY!", nullptr);
}

bool IsUsableInstallPath(const CString& installPath) { return IsSafeStorePath(installPath); }
