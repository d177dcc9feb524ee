#include "core/MessageBox.h"

#include <mutex>

namespace {
std::mutex g_hookLock;
MessageBoxHook g_hook;
}

int ShowMessageBox(HWND owner, const CString& text, const CString& caption, UINT type) {
    MessageBoxHook hook;
    {
        std::lock_guard lock(g_hookLock);
        hook = g_hook;
    }
    if (hook) return hook(owner, text, caption, type);
    return MessageBoxW(owner, text, caption, type);
}

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    std::lock_guard lock(g_hookLock);
    std::swap(g_hook, hook);
    return hook;
}
