#include "com/ComModule.h"

#include <atomic>
#include <vector>

namespace {
std::atomic<long> g_lockCount{0};
}

namespace ComModule {

void Lock() { ++g_lockCount; }
void Unlock() { --g_lockCount; }
long LockCount() { return g_lockCount.load(); }
HRESULT CanUnloadNow() { return g_lockCount.load() == 0 ? S_OK : S_FALSE; }

HMODULE Handle() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&g_lockCount), &module);
    return module;
}

CString Path() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(Handle(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return CString();
        if (length < buffer.size()) return CString(buffer.data(), static_cast<int>(length));
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace ComModule
