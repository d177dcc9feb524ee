// What the matcher needs to know about a program before it runs it: where
// each repetition's atom and rest begin, whether it is greedy, and each set's
// members. Built once per program and subject scan.
#pragma once

#include "regex/RegexProgram.h"
#include "regex/RegexTraits.h"

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <vector>

namespace regex_detail {

// A quantifier cell followed by its atom and the atom's Stop.
struct RepeatInfo {
    int atomPc = 0;
    int afterPc = 0;     // first cell after the atom's Stop
    int lookPc = 0;      // where the look-ahead "does the rest match here" starts
    bool greedy = false; // the rest begins with ')' or is the program's end
};

// "[...]" with its members: literals, digits ("/d") and the blank ("/s").
struct SetInfo {
    bool negated = false;
    bool plus = false;   // "[...]+"
    bool digits = false;
    std::bitset<256> small;        // members below 256 (the blank included)
    std::vector<unsigned> large;   // members from 256 up, sorted
    int afterPc = 0;
    int lookPc = 0;

    bool Has(unsigned unit) const {
        if (unit < 256) return small.test(unit) || (digits && unit >= '0' && unit <= '9');
        return std::binary_search(large.begin(), large.end(), unit);
    }
};

template <typename TChar>
class Layout {
public:
    explicit Layout(const std::vector<TChar>& cells) : m_cells(cells), m_info(cells.size(), -1) {
        m_endPc = cells.size() >= 2 ? static_cast<int>(cells.size()) - 2 : 0;
        std::vector<int> tokens;
        for (int pc = 0; pc < m_endPc;) {
            tokens.push_back(pc);
            pc = Describe(pc);
        }
        // From a token on, is the rest free of repetitions? Then a look-ahead
        // from there costs at most one pass over the program.
        m_plainFrom.assign(cells.size() + 1, 1);
        for (auto it = tokens.rbegin(); it != tokens.rend(); ++it) {
            int pc = *it;
            bool repeats = IsQuantifier(Code(pc)) || (Code(pc) == kCellSetOpen && m_sets[Index(pc)].plus);
            m_plainFrom[static_cast<size_t>(pc)] = !repeats && m_plainFrom[static_cast<size_t>(NextToken(pc))];
        }
    }

    int Code(int pc) const { return static_cast<int>(UnitValue(m_cells[static_cast<size_t>(pc)])); }
    TChar Char(int pc) const { return m_cells[static_cast<size_t>(pc)]; }
    int EndPc() const { return m_endPc; }
    const RepeatInfo& Repeat(int pc) const { return m_repeats[Index(pc)]; }
    const SetInfo& Set(int pc) const { return m_sets[Index(pc)]; }
    bool PlainFrom(int pc) const { return m_plainFrom[static_cast<size_t>(pc)] != 0; }

    static bool IsQuantifier(int code) { return code == kCellStar || code == kCellPlus || code == kCellOption; }

private:
    size_t Index(int pc) const { return static_cast<size_t>(m_info[static_cast<size_t>(pc)]); }

    int NextToken(int pc) const {
        int code = Code(pc);
        if (code == kCellLiteral) return pc + 2;
        if (IsQuantifier(code)) return m_repeats[Index(pc)].afterPc;
        if (code == kCellSetOpen) return m_sets[Index(pc)].afterPc;
        return pc + 1;
    }

    // The look-ahead after a repetition may skip one ')' (it consumes nothing).
    int RestAfter(int pc) const { return Code(pc) == kCellGroupClose ? pc + 1 : pc; }

    // Records what the token at pc needs; returns the next token's pc.
    int Describe(int pc) {
        int code = Code(pc);
        if (code == kCellLiteral) return pc + 2;
        if (IsQuantifier(code)) {
            RepeatInfo info;
            info.atomPc = pc + 1;
            int stop = info.atomPc + (Code(info.atomPc) == kCellLiteral ? 2 : 1);
            info.afterPc = std::min(stop + 1, m_endPc);
            info.lookPc = RestAfter(info.afterPc);
            int lookCode = Code(info.lookPc);
            info.greedy = lookCode == kCellGroupClose || info.lookPc >= m_endPc;
            m_info[static_cast<size_t>(pc)] = static_cast<int>(m_repeats.size());
            m_repeats.push_back(info);
            return info.afterPc;
        }
        if (code == kCellSetOpen) {
            SetInfo set;
            int i = pc + 1;
            if (i < m_endPc && Code(i) == kCellStart) {
                set.negated = true;
                ++i;
            }
            bool closed = false;
            while (i < m_endPc) {
                int member = Code(i);
                if (member == kCellSetClose) {
                    closed = true;
                    break;
                }
                if (member == kCellLiteral) {
                    unsigned unit = UnitValue(Char(i + 1));
                    if (unit < 256) set.small.set(unit);
                    else set.large.push_back(unit);
                    i += 2;
                    continue;
                }
                if (member == kCellDigit) set.digits = true;
                else if (member == kCellSpace) set.small.set(' ');
                else if (member == kCellPlus && Code(i + 1) == kCellSetClose) set.plus = true;
                ++i;  // any other cell adds no member
            }
            std::sort(set.large.begin(), set.large.end());
            // "[...]+" ends with Plus, SetClose, Stop; a set left open runs to the end.
            set.afterPc = closed ? std::min(i + (set.plus ? 2 : 1), m_endPc) : m_endPc;
            set.lookPc = RestAfter(set.afterPc);
            m_info[static_cast<size_t>(pc)] = static_cast<int>(m_sets.size());
            m_sets.push_back(std::move(set));
            return m_sets.back().afterPc;
        }
        return pc + 1;
    }

    const std::vector<TChar>& m_cells;
    std::vector<int> m_info;  // per cell: index into m_repeats or m_sets
    std::vector<RepeatInfo> m_repeats;
    std::vector<SetInfo> m_sets;
    std::vector<uint8_t> m_plainFrom;
    int m_endPc = 0;
};

} // namespace regex_detail
