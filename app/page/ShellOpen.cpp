#include "page/ShellOpen.h"

#include <shellapi.h>

#include <utility>

namespace {

ShellOpenHook& Hook() {
    static ShellOpenHook hook;
    return hook;
}

} // namespace

void OpenWithShell(HWND owner, const CString& target) {
    if (Hook()) {
        Hook()(owner, target);
        return;
    }
    ShellExecuteW(owner, nullptr, target, nullptr, nullptr, SW_SHOWNORMAL);
}

ShellOpenHook SetShellOpenHook(ShellOpenHook hook) { return std::exchange(Hook(), std::move(hook)); }
