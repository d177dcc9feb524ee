// The state of one in-process COM server: its lock count (objects alive and
// class-factory locks), its module handle and its file path. The framework is
// linked statically into each library, so every library has its own.
#pragma once
#include "core/String.h"

#include <windows.h>

namespace ComModule {

void Lock();
void Unlock();
long LockCount();
// S_OK when nothing holds the module, else S_FALSE (DllCanUnloadNow).
HRESULT CanUnloadNow();

// The module this code is linked into (the library, or the executable of a test).
HMODULE Handle();
// Full path of that module's file.
CString Path();

}  // namespace ComModule

// Holds a module lock while it lives: a member of every COM object.
class ComModuleLock {
public:
    ComModuleLock() { ComModule::Lock(); }
    ~ComModuleLock() { ComModule::Unlock(); }
    ComModuleLock(const ComModuleLock&) = delete;
    ComModuleLock& operator=(const ComModuleLock&) = delete;
};
