#include "dom/NodeArena.h"

#include <mutex>
#include <new>

namespace dom {

namespace {

using Block = std::unique_ptr<std::byte[]>;

// Blocks of arenas that are gone, kept for the next documents up to a limit.
// Fresh memory costs a page fault for every page first written (under Wine
// freed heap memory goes back to the system at once), and the pages a user
// opens, edits and saves are parsed again and again.
class SpareBlocks {
public:
    // Null once the program's statics are going away.
    static SpareBlocks* Instance() {
        static SpareBlocks spares;
        return s_gone ? nullptr : &spares;
    }
    ~SpareBlocks() { s_gone = true; }

    Block Take() {
        std::lock_guard lock(m_mutex);
        if (m_blocks.empty()) return nullptr;
        Block block = std::move(m_blocks.back());
        m_blocks.pop_back();
        return block;
    }

    // Takes over what fits under the limit; the rest stays with the caller.
    void Keep(std::vector<Block>& blocks) {
        std::lock_guard lock(m_mutex);
        for (auto& block : blocks)
            if (m_blocks.size() < kLimit) m_blocks.push_back(std::move(block));
    }

private:
    static constexpr std::size_t kLimit = 512;  // blocks: 32 MB
    static inline bool s_gone = false;
    std::mutex m_mutex;
    std::vector<Block> m_blocks;
};

}  // namespace

NodeArena::~NodeArena() {
    if (auto* spares = SpareBlocks::Instance()) spares->Keep(m_blocks);
}

std::size_t NodeArena::ClassOf(std::size_t size) {
    if (size <= kSmallLimit) return size == 0 ? 0 : (size - 1) / kGranule;
    std::size_t sizeClass = kSmallLimit / kGranule;
    for (std::size_t chunk = 2 * kSmallLimit; chunk < size; chunk *= 2) ++sizeClass;
    return sizeClass;
}

std::size_t NodeArena::ChunkSize(std::size_t sizeClass) {
    if (sizeClass < kSmallLimit / kGranule) return (sizeClass + 1) * kGranule;
    return kSmallLimit << (sizeClass - kSmallLimit / kGranule + 1);
}

void* NodeArena::Allocate(std::size_t size, std::size_t alignment) {
    if (alignment > kGranule) throw std::bad_alloc();  // nothing in a node asks for more
    if (size > kMediumLimit) {  // a long list: a block of its own
        Block block = std::make_unique_for_overwrite<std::byte[]>(size);
        void* memory = block.get();
        m_largeBlocks.emplace(memory, std::move(block));
        m_largeBytes += size;
        return memory;
    }
    std::size_t sizeClass = ClassOf(size);
    if (FreeChunk* chunk = m_free[sizeClass]) {
        m_free[sizeClass] = chunk->next;
        return chunk;
    }
    return Carve(ChunkSize(sizeClass));
}

void NodeArena::Deallocate(void* memory, std::size_t size) {
    if (!memory) return;
    if (size > kMediumLimit) {
        auto found = m_largeBlocks.find(memory);
        if (found == m_largeBlocks.end()) return;
        m_largeBytes -= size;
        m_largeBlocks.erase(found);
        return;
    }
    std::size_t sizeClass = ClassOf(size);
    m_free[sizeClass] = new (memory) FreeChunk{m_free[sizeClass]};
}

void* NodeArena::Carve(std::size_t size) {
    if (!m_next || m_next + size > m_end) {
        auto* spares = SpareBlocks::Instance();
        Block block = spares ? spares->Take() : nullptr;
        m_blocks.push_back(block ? std::move(block) : std::make_unique_for_overwrite<std::byte[]>(kBlockSize));
        m_next = m_blocks.back().get();
        m_end = m_next + kBlockSize;
    }
    void* memory = m_next;
    m_next += size;
    return memory;
}

}  // namespace dom
