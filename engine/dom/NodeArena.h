// Memory for the nodes of one document. Parsing a page makes tens of
// thousands of small nodes, and the system heap is slow at small blocks, so
// the nodes are cut one after another from large blocks instead. A node's
// memory stays until the arena goes; the arena goes with the last of the
// document and the nodes made from it (each node's allocator holds it), so a
// node held by an interface adapter outlives its document safely.
#pragma once
#include <cstddef>
#include <memory>
#include <vector>

namespace dom {

class NodeArena {
public:
    NodeArena() = default;
    NodeArena(const NodeArena&) = delete;
    NodeArena& operator=(const NodeArena&) = delete;

    void* Allocate(std::size_t size, std::size_t alignment);

private:
    static constexpr std::size_t kBlockSize = 64 * 1024;
    std::vector<std::unique_ptr<std::byte[]>> m_blocks;
    std::byte* m_next = nullptr;
    std::size_t m_left = 0;
};

// Hands the arena to std::allocate_shared. Giving memory back does nothing:
// the arena releases all of it at once.
template <typename T>
class ArenaAllocator {
public:
    using value_type = T;

    explicit ArenaAllocator(std::shared_ptr<NodeArena> arena) : m_arena(std::move(arena)) {}
    template <typename U>
    ArenaAllocator(const ArenaAllocator<U>& other) : m_arena(other.Arena()) {}

    T* allocate(std::size_t count) { return static_cast<T*>(m_arena->Allocate(count * sizeof(T), alignof(T))); }
    void deallocate(T*, std::size_t) {}

    const std::shared_ptr<NodeArena>& Arena() const { return m_arena; }
    template <typename U>
    bool operator==(const ArenaAllocator<U>& other) const { return m_arena == other.Arena(); }

private:
    std::shared_ptr<NodeArena> m_arena;
};

}  // namespace dom
