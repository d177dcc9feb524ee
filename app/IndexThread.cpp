#include "IndexThread.h"

#include "app/RegKey.h"
#include "index/AllPagesIndex.h"

void EnsureAllPagesIndex() {
    RegKey key = RegKey::Open(HKEY_CURRENT_USER, L"Software\\Tarvelo\\Tarvelo\\AllPages", KEY_READ);
    if (!key) RebuildAllPagesIndex();
}

DWORD WINAPI IndexAllPagesThreadProc(LPVOID) {
    RebuildAllPagesIndex();
    return 0;
}

void StartIndexThread() {
    HANDLE thread = CreateThread(nullptr, 0, IndexAllPagesThreadProc, nullptr, 0, nullptr);
    if (thread) CloseHandle(thread);
}
