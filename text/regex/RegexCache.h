// The programs of the patterns used last, kept with what the matcher learns
// about them before any subject is seen (token layout, required text). The
// store runs the same few fixed patterns over every line of a page, so most
// calls find their program here instead of compiling it again. An entry is
// complete when it is kept and never changes afterwards, so threads share
// the entries freely; the list of entries is locked only while it is looked
// up or changed. Only programs that compiled are kept, so an error is
// printed on every call.
#pragma once

#include "regex/RegexCompiler.h"
#include "regex/RegexLayout.h"
#include "regex/RegexPrefilter.h"

#include <array>
#include <memory>
#include <mutex>
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
        m_layout->DescribeAll();  // nothing is described later: readers on several threads
        for (bool fold : {false, true}) m_required[fold ? 1 : 0].emplace(*m_layout, fold);
    }
    CompiledPattern(const CompiledPattern&) = delete;
    CompiledPattern& operator=(const CompiledPattern&) = delete;

    bool Is(const TChar* pattern, size_t length) const {
        return m_text.size() == length && std::char_traits<TChar>::compare(m_text.data(), pattern, length) == 0;
    }
    const TChar* Cells() const { return m_cells.data(); }
    size_t CellCount() const { return m_cells.size(); }
    const Layout<TChar>& GetLayout() const { return *m_layout; }
    const RequiredText<TChar>& Required(bool fold) const { return *m_required[fold ? 1 : 0]; }

private:
    std::basic_string<TChar> m_text;
    std::vector<TChar> m_cells;
    std::optional<Layout<TChar>> m_layout;  // points into m_cells
    std::optional<RequiredText<TChar>> m_required[2];  // exact, ignoring case
};

// The compiled pattern, from the kept ones or compiled now; null after a
// compile error (printed by the compiler).
template <typename TChar>
std::shared_ptr<const CompiledPattern<TChar>> CompileCached(const TChar* pattern) {
    // Patterns longer than this are compiled on every call and not kept.
    constexpr size_t kLongestKept = 4096;
    constexpr size_t kEntries = 16;
    struct Cache {
        std::mutex lock;
        std::array<std::shared_ptr<const CompiledPattern<TChar>>, kEntries> entries;
        size_t next = 0;
    };
    // Made once and never destroyed: a thread still scanning while the
    // process ends must find it whole.
    static Cache* const cache = new Cache;
    if (!pattern) return nullptr;
    size_t length = std::char_traits<TChar>::length(pattern);
    {
        std::lock_guard<std::mutex> guard(cache->lock);
        for (const auto& entry : cache->entries)
            if (entry && entry->Is(pattern, length)) return entry;
    }
    CellBuffer<TChar> cells;
    if (!Compiler<TChar>::Compile(pattern, cells)) return nullptr;
    auto compiled = std::make_shared<const CompiledPattern<TChar>>(pattern, length, cells);
    if (length <= kLongestKept) {
        std::lock_guard<std::mutex> guard(cache->lock);
        cache->entries[cache->next] = compiled;
        cache->next = (cache->next + 1) % kEntries;
    }
    return compiled;
}

} // namespace regex_detail
