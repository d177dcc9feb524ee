// Memory for the nodes of one document and their lists. Parsing a page makes
// tens of thousands of small nodes, and the system heap is slow at small
// blocks, so they are cut one after another from large blocks instead. Their
// memory stays until the arena goes; the arena goes with the last of the
// document and the nodes made from it (each node's allocator holds it), so a
// node held by an interface adapter outlives its document safely. The blocks
// of an arena that goes are kept for the next documents, up to a limit.
#pragma once
#include <cstddef>
#include <memory>
#include <vector>

namespace dom {

class NodeArena {
public:
    NodeArena() = default;
    ~NodeArena();
    NodeArena(const NodeArena&) = delete;
    NodeArena& operator=(const NodeArena&) = delete;

    void* Allocate(std::size_t size, std::size_t alignment);

private:
    static constexpr std::size_t kBlockSize = 64 * 1024;
    using Block = std::unique_ptr<std::byte[]>;
    static std::byte* Align(std::byte* at, std::size_t alignment);

    std::vector<Block> m_blocks;       // all kBlockSize long
    std::vector<Block> m_largeBlocks;  // one allocation each
    std::byte* m_next = nullptr;
    std::byte* m_end = nullptr;
};

// Allocates from an arena that something else keeps alive: the lists inside a
// node, whose arena the node itself holds. Giving memory back does nothing:
// the arena releases all of it at once.
template <typename T>
class ArenaAllocator {
public:
    using value_type = T;

    explicit ArenaAllocator(NodeArena& arena) : m_arena(&arena) {}
    template <typename U>
    ArenaAllocator(const ArenaAllocator<U>& other) : m_arena(&other.Arena()) {}

    T* allocate(std::size_t count) { return static_cast<T*>(m_arena->Allocate(count * sizeof(T), alignof(T))); }
    void deallocate(T*, std::size_t) {}

    NodeArena& Arena() const { return *m_arena; }
    template <typename U>
    bool operator==(const ArenaAllocator<U>& other) const { return m_arena == &other.Arena(); }

private:
    NodeArena* m_arena;
};

// Allocates a node for std::allocate_shared and keeps the arena alive as long
// as the node is.
template <typename T>
class SharingArenaAllocator {
public:
    using value_type = T;

    explicit SharingArenaAllocator(std::shared_ptr<NodeArena> arena) : m_arena(std::move(arena)) {}
    template <typename U>
    SharingArenaAllocator(const SharingArenaAllocator<U>& other) : m_arena(other.Arena()) {}

    T* allocate(std::size_t count) { return static_cast<T*>(m_arena->Allocate(count * sizeof(T), alignof(T))); }
    void deallocate(T*, std::size_t) {}

    const std::shared_ptr<NodeArena>& Arena() const { return m_arena; }
    template <typename U>
    bool operator==(const SharingArenaAllocator<U>& other) const { return m_arena == other.Arena(); }

private:
    std::shared_ptr<NodeArena> m_arena;
};

}  // namespace dom
