#include "IndexThread.h"

#include "app/RegKey.h"

void RebuildAllPagesIndex() {
    // The one place where start-up and the index thread reach the store's
    // rebuild: IndexAllPages(GetAllpagesPath()) once the note store is in.
}

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
