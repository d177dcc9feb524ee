#include "pages/PageRewriteLock.h"

#include "install/InstallPath.h"
#include "util/Registry.h"

#include <cstdint>

namespace {

// The install path as it is stored, without asking the user about failures:
// the lock must not add message boxes of its own.
CString QuietInstallPath() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, GetSettingsKeyPath(L"Settings"), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return CString();
    CString value;
    ReadRegistryString(key, L"InstallPath", value);
    RegCloseKey(key);
    return value;
}

} // namespace

PageRewriteLock::PageRewriteLock() { Acquire(QuietInstallPath()); }

PageRewriteLock::PageRewriteLock(const CString& installPath) { Acquire(installPath); }

PageRewriteLock::~PageRewriteLock() {
    if (m_owned) ReleaseMutex(m_mutex);
    if (m_mutex) CloseHandle(m_mutex);
}

CString PageRewriteLock::MutexName(const CString& installPath) {
    CString folded = installPath;
    folded.MakeUpper();
    while (!folded.IsEmpty() && folded[folded.GetLength() - 1] == L'\\') folded.Truncate(folded.GetLength() - 1);
    uint64_t hash = 1469598103934665603ull; // FNV-1a
    for (wchar_t unit : folded.str()) {
        hash ^= static_cast<uint16_t>(unit);
        hash *= 1099511628211ull;
    }
    CString name;
    name.Format(L"Local\\Tarvelo.PageRewrite.%016llx", static_cast<unsigned long long>(hash));
    return name;
}

void PageRewriteLock::Acquire(const CString& installPath) {
    m_mutex = CreateMutexW(nullptr, FALSE, MutexName(installPath));
    if (!m_mutex) return; // no lock to take: the rewrite still runs alone in this process
    DWORD result = WaitForSingleObject(m_mutex, INFINITE);
    m_owned = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}
