// What the walks of one subject scan have learnt about repetition states.
//
// A walk that stands at the top of a repetition's loop (cell pc, position s)
// goes on in a way that depends on nothing else: its groups change what it
// captures, never whether it matches. So once a walk from such a state has
// failed, every later walk that reaches the state fails too, and once a
// look-ahead from it has answered, every later look-ahead gets the same
// answer. Each state then costs work once per scan, which keeps a scan within
// program length times subject length.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace regex_detail {

class StateMemo {
public:
    enum Bits : uint8_t {
        kMainFails = 1,   // the caller's walk from the loop state fails
        kLookKnown = 2,   // a look-ahead from the loop state has answered...
        kLookYes = 4,     // ...yes
        kEntryKnown = 8,  // a look-ahead that starts at the repetition (before its first atom)...
        kEntryYes = 16,   // ...answered yes
    };

    bool IsOn() const { return m_on; }
    void TurnOn(size_t cellCount, size_t subjectLength) {
        m_on = true;
        m_length = subjectLength;
        m_slotOf.assign(cellCount, -1);
    }

    // Positions past the subject's first terminator (a caller may start a
    // match there) are never remembered.
    uint8_t Get(int pc, size_t position) const {
        int slot = m_slotOf[static_cast<size_t>(pc)];
        return slot < 0 || position > m_length ? 0 : m_rows[static_cast<size_t>(slot)][position];
    }
    // Adds the bits to every position from `from` to `to`, both included.
    void Mark(int pc, size_t from, size_t to, uint8_t bits) {
        if (from > to || from > m_length) return;
        std::vector<uint8_t>& row = Row(pc);
        for (size_t p = from; p <= std::min(to, m_length); ++p) row[p] |= bits;
    }

private:
    std::vector<uint8_t>& Row(int pc) {
        int& slot = m_slotOf[static_cast<size_t>(pc)];
        if (slot < 0) {
            slot = static_cast<int>(m_rows.size());
            m_rows.emplace_back(m_length + 1, uint8_t{0});
        }
        return m_rows[static_cast<size_t>(slot)];
    }

    bool m_on = false;
    size_t m_length = 0;
    std::vector<int> m_slotOf;  // per program cell: its row, -1 before the first mark
    std::vector<std::vector<uint8_t>> m_rows;
};

} // namespace regex_detail
