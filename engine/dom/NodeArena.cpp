#include "dom/NodeArena.h"

#include <cstdint>
#include <mutex>

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

void* NodeArena::Allocate(std::size_t size, std::size_t alignment) {
    if (size + alignment > kBlockSize) {  // a long list: a block of its own, not kept for reuse
        m_largeBlocks.push_back(std::make_unique_for_overwrite<std::byte[]>(size + alignment));
        return Align(m_largeBlocks.back().get(), alignment);
    }
    std::byte* memory = m_next ? Align(m_next, alignment) : nullptr;
    if (!memory || memory + size > m_end) {
        auto* spares = SpareBlocks::Instance();
        Block block = spares ? spares->Take() : nullptr;
        m_blocks.push_back(block ? std::move(block) : std::make_unique_for_overwrite<std::byte[]>(kBlockSize));
        m_end = m_blocks.back().get() + kBlockSize;
        memory = Align(m_blocks.back().get(), alignment);
    }
    m_next = memory + size;
    return memory;
}

std::byte* NodeArena::Align(std::byte* at, std::size_t alignment) {
    std::size_t padding = (alignment - reinterpret_cast<std::uintptr_t>(at) % alignment) % alignment;
    return at + padding;
}

}  // namespace dom
