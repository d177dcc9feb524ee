#include "docking/SizeBarOwnership.h"

#include "docking/SizeControlBar.h"

#include <new>
#include <unordered_set>

namespace {
// The size bars made with new and not yet deleted (the user-interface thread only). Never destroyed,
// so that a bar deleted late in the program's exit still finds it.
std::unordered_set<const void*>& HeapBars() {
    static auto* bars = new std::unordered_set<const void*>;
    return *bars;
}
}  // namespace

void* COXSizeControlBar::operator new(size_t size) {
    void* pointer = ::operator new(size);
    try {
        HeapBars().insert(pointer);
    } catch (...) {
        ::operator delete(pointer);
        throw;
    }
    return pointer;
}

void COXSizeControlBar::operator delete(void* pointer) noexcept {
    HeapBars().erase(pointer);
    ::operator delete(pointer);
}

bool IsHeapSizeBar(const COXSizeControlBar* bar) { return bar && HeapBars().count(bar) != 0; }

void DestroyAndDeleteSizeBar(COXSizeControlBar* bar) {
    if (!bar) return;
    // A member of another object is not this code's to delete; a bar that deletes itself with its
    // window (auto-delete, or its own PostNcDestroy) is gone once the window is.
    const bool deletable = IsHeapSizeBar(bar) && !bar->m_bAutoDelete;
    bar->DestroyWindow();
    if (deletable && IsHeapSizeBar(bar)) delete bar;
}
