#include "page/ShellOpen.h"

#include <shellapi.h>

#include <utility>

namespace {

ShellOpenHook& Hook() {
    static ShellOpenHook hook;
    return hook;
}

} // namespace

int OpenWithShell(HWND owner, const CString& target) {
    if (Hook()) {
        Hook()(owner, target);
        return 33;
    }
    HINSTANCE answer = ShellExecuteW(owner, nullptr, target, nullptr, nullptr, SW_SHOWNORMAL);
    return static_cast<int>(reinterpret_cast<INT_PTR>(answer));
}

CString ShellOpenFailureText(int answer) {
    switch (answer) {
    case 0:
    case SE_ERR_OOM: return L"The system is out of memory or resources.";
    case SE_ERR_FNF: return L"The file was not found.";
    case SE_ERR_PNF: return L"Its folder was not found.";
    case SE_ERR_ACCESSDENIED: return L"Access to the file was denied.";
    case SE_ERR_SHARE: return L"The file is in use by another program.";
    case SE_ERR_NOASSOC:
    case SE_ERR_ASSOCINCOMPLETE: return L"No program is set to open this kind of file.";
    default: break;
    }
    CString text;
    text.Format(L"The shell answered with error %d.", answer);
    return text;
}

ShellOpenHook SetShellOpenHook(ShellOpenHook hook) { return std::exchange(Hook(), std::move(hook)); }
