#include "dom/NodeArena.h"

#include <algorithm>
#include <cstdint>

namespace dom {

void* NodeArena::Allocate(std::size_t size, std::size_t alignment) {
    std::size_t padding = (alignment - reinterpret_cast<std::uintptr_t>(m_next) % alignment) % alignment;
    if (!m_next || padding + size > m_left) {
        std::size_t blockSize = std::max(kBlockSize, size + alignment);
        m_blocks.push_back(std::make_unique_for_overwrite<std::byte[]>(blockSize));
        m_next = m_blocks.back().get();
        m_left = blockSize;
        padding = (alignment - reinterpret_cast<std::uintptr_t>(m_next) % alignment) % alignment;
    }
    std::byte* memory = m_next + padding;
    m_next = memory + size;
    m_left -= padding + size;
    return memory;
}

}  // namespace dom
