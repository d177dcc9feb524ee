// Serialises page rewrites across processes: clip processes and the
// interactive program may rewrite the same page at once, and each rewrite
// reads, changes and writes the whole page. One named mutex per store (its
// name derived from the install path) is held from the read to the write.
#pragma once
#include "core/String.h"

#include <windows.h>

class PageRewriteLock {
public:
    // Takes the lock of the store below the current install path.
    PageRewriteLock();
    // Takes the lock of the store below the given install path.
    explicit PageRewriteLock(const CString& installPath);
    ~PageRewriteLock();
    PageRewriteLock(const PageRewriteLock&) = delete;
    PageRewriteLock& operator=(const PageRewriteLock&) = delete;

    // The mutex name of a store.
    static CString MutexName(const CString& installPath);

private:
    void Acquire(const CString& installPath);
    HANDLE m_mutex = nullptr;
    bool m_owned = false;
};
