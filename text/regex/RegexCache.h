// The programs of the patterns a thread used last, kept with what the matcher
// learns about them before any subject is seen (token layout, required text).
// The store runs the same few fixed patterns over every line of a page, so
// most calls find their program here instead of compiling it again. Each
// thread keeps its own few entries: nothing is shared between threads. Only
// programs that compiled are kept, so an error is printed on every call.
#pragma once

#include "regex/RegexCompiler.h"
#include "regex/RegexLayout.h"
#include "regex/RegexPrefilter.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace regex_detail {

template <typename TChar>
class CompiledPattern {
public:
    CompiledPattern(const TChar* pattern, size_t length, const CellBuffer<TChar>& cells)
        : m_text(pattern, length), m_cells(cells.data(), cells.data() + cells.size()) {
        m_layout.emplace(m_cells.data(), m_cells.size());
    }
    CompiledPattern(const CompiledPattern&) = delete;
    CompiledPattern& operator=(const CompiledPattern&) = delete;

    bool Is(const TChar* pattern, size_t length) const {
        return m_text.size() == length && std::char_traits<TChar>::compare(m_text.data(), pattern, length) == 0;
    }
    const TChar* Cells() const { return m_cells.data(); }
    size_t CellCount() const { return m_cells.size(); }
    const Layout<TChar>& GetLayout() const { return *m_layout; }
    const RequiredText<TChar>& Required(bool fold) const {
        std::optional<RequiredText<TChar>>& slot = m_required[fold ? 1 : 0];
        if (!slot) slot.emplace(*m_layout, fold);
        return *slot;
    }

private:
    std::basic_string<TChar> m_text;
    std::vector<TChar> m_cells;
    std::optional<Layout<TChar>> m_layout;  // points into m_cells
    mutable std::optional<RequiredText<TChar>> m_required[2];
};

// The compiled pattern, from the thread's cache or compiled now; null after a
// compile error (printed by the compiler).
template <typename TChar>
const CompiledPattern<TChar>* CompileCached(const TChar* pattern) {
    // Patterns longer than this are compiled on every call and not kept.
    constexpr size_t kLongestKept = 4096;
    constexpr size_t kEntries = 8;
    struct Cache {
        std::array<std::unique_ptr<CompiledPattern<TChar>>, kEntries> entries;
        size_t next = 0;
        std::unique_ptr<CompiledPattern<TChar>> uncached;
        const CompiledPattern<TChar>* last = nullptr;  // the entry found last
    };
    thread_local Cache cache;
    if (!pattern) return nullptr;
    size_t length = std::char_traits<TChar>::length(pattern);
    if (cache.last && cache.last->Is(pattern, length)) return cache.last;
    for (const auto& entry : cache.entries)
        if (entry && entry->Is(pattern, length)) return cache.last = entry.get();
    CellBuffer<TChar> cells;
    if (!Compiler<TChar>::Compile(pattern, cells)) return nullptr;
    auto compiled = std::make_unique<CompiledPattern<TChar>>(pattern, length, cells);
    std::unique_ptr<CompiledPattern<TChar>>& slot = length > kLongestKept ? cache.uncached : cache.entries[cache.next];
    if (length <= kLongestKept) cache.next = (cache.next + 1) % kEntries;
    slot = std::move(compiled);
    return cache.last = slot.get();
}

} // namespace regex_detail
