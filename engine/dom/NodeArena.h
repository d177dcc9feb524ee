// Memory for the nodes of one document and their lists. Parsing a page makes
// tens of thousands of small nodes, and the system heap is slow at small
// blocks, so they are cut one after another from large blocks instead. Memory
// given back goes to a free list of its size class and serves the next
// request of that class, so an editing session that replaces content again
// and again reuses the same memory; a long list has a block of its own, freed
// when the list gives it back. The arena goes with the last of the document
// and the nodes made from it (each node's allocator holds it), so a node held
// by an interface adapter outlives its document safely. The blocks of an
// arena that goes are kept for the next documents, up to a limit.
#pragma once
#include <array>
#include <cstddef>
#include <memory>
#include <unordered_map>
#include <vector>

namespace dom {

class NodeArena {
public:
    NodeArena() = default;
    ~NodeArena();
    NodeArena(const NodeArena&) = delete;
    NodeArena& operator=(const NodeArena&) = delete;

    // Alignments up to kGranule.
    void* Allocate(std::size_t size, std::size_t alignment);
    void Deallocate(void* memory, std::size_t size);

    // The memory the arena holds from the system, in use or free for reuse.
    std::size_t BytesReserved() const { return m_blocks.size() * kBlockSize + m_largeBytes; }

private:
    static constexpr std::size_t kBlockSize = 64 * 1024;
    static constexpr std::size_t kGranule = 16;
    static constexpr std::size_t kSmallLimit = 1024;           // classes every 16 bytes up to here
    static constexpr std::size_t kMediumLimit = kBlockSize / 2;  // then powers of two up to here
    static constexpr std::size_t kClasses = kSmallLimit / kGranule + 5;
    using Block = std::unique_ptr<std::byte[]>;
    struct FreeChunk {
        FreeChunk* next;
    };
    // The size class of a request and the size of its chunks; requests above kMediumLimit have none.
    static std::size_t ClassOf(std::size_t size);
    static std::size_t ChunkSize(std::size_t sizeClass);
    void* Carve(std::size_t size);

    std::vector<Block> m_blocks;  // all kBlockSize long
    std::unordered_map<void*, Block> m_largeBlocks;
    std::size_t m_largeBytes = 0;
    std::array<FreeChunk*, kClasses> m_free{};
    std::byte* m_next = nullptr;
    std::byte* m_end = nullptr;
};

// Allocates from an arena that something else keeps alive: the lists inside a
// node, whose arena the node itself holds.
template <typename T>
class ArenaAllocator {
public:
    using value_type = T;

    explicit ArenaAllocator(NodeArena& arena) : m_arena(&arena) {}
    template <typename U>
    ArenaAllocator(const ArenaAllocator<U>& other) : m_arena(&other.Arena()) {}

    T* allocate(std::size_t count) { return static_cast<T*>(m_arena->Allocate(count * sizeof(T), alignof(T))); }
    void deallocate(T* memory, std::size_t count) { m_arena->Deallocate(memory, count * sizeof(T)); }

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
    void deallocate(T* memory, std::size_t count) { m_arena->Deallocate(memory, count * sizeof(T)); }

    const std::shared_ptr<NodeArena>& Arena() const { return m_arena; }
    template <typename U>
    bool operator==(const SharingArenaAllocator<U>& other) const { return m_arena == other.Arena(); }

private:
    std::shared_ptr<NodeArena> m_arena;
};

}  // namespace dom
