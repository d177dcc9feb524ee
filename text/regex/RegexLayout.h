// What the matcher needs to know about a program before it runs it: where
// each repetition's atom and rest begin, whether it is greedy, and each set's
// members. Built once per program and subject scan.
#pragma once

#include "regex/RegexProgram.h"
#include "regex/RegexSmallVector.h"
#include "regex/RegexTraits.h"

#include <algorithm>
#include <cstddef>

namespace regex_detail {

// The units the rest after a repetition can begin with, when it begins with
// a literal (a == b) or a set of one or two literals; a < 0 otherwise.
struct RestStart {
    int a = -1, b = -1;
    bool Known() const { return a >= 0; }
    // False only where a look-ahead of the rest must fail at once.
    bool Allows(unsigned unit) const { return a < 0 || static_cast<int>(unit) == a || static_cast<int>(unit) == b; }
};

// A quantifier cell followed by its atom and the atom's Stop.
struct RepeatInfo {
    int atomPc = 0;
    int afterPc = 0;     // first cell after the atom's Stop
    int lookPc = 0;      // where the look-ahead "does the rest match here" starts
    RestStart rest;      // what the rest must begin with
    bool greedy = false; // the rest begins with ')' or is the program's end
};

// "[...]": its members are the literal cells between firstPc and endPc, the
// digits ("/d") and the blank ("/s"); every other cell there adds none.
struct SetInfo {
    bool negated = false;
    bool plus = false;   // "[...]+"
    bool digits = false;
    bool blank = false;
    int firstPc = 0;
    int endPc = 0;
    int afterPc = 0;
    int lookPc = 0;
    RestStart rest;
};

template <typename TChar>
class Layout {
public:
    // Tokens are described when the walk first reaches them: most attempts
    // fail after a token or two, and the program is compiled on every call.
    Layout(const TChar* cells, size_t count) : m_cells(cells) {
        m_info.fill(count, -1);
        m_endPc = count >= 2 ? static_cast<int>(count) - 2 : 0;
    }

    int Code(int pc) const { return static_cast<int>(UnitValue(m_cells[pc])); }
    TChar Char(int pc) const { return m_cells[pc]; }
    int EndPc() const { return m_endPc; }
    // By value: describing a later token may move the tables.
    RepeatInfo Repeat(int pc) const { return m_repeats[Index(pc)]; }
    SetInfo Set(int pc) const { return m_sets[Index(pc)]; }
    // Whether the token at pc repeats: a quantifier or "[...]+".
    bool Repeats(int pc) const {
        int code = Code(pc);
        return IsQuantifier(code) || (code == kCellSetOpen && m_sets[Index(pc)].plus);
    }

    bool Has(const SetInfo& set, unsigned unit) const {
        if (set.digits && unit >= '0' && unit <= '9') return true;
        if (set.blank && unit == ' ') return true;
        for (int i = set.firstPc; i < set.endPc;) {
            if (Code(i) == kCellLiteral) {
                if (UnitValue(m_cells[i + 1]) == unit) return true;
                i += 2;
            } else {
                ++i;
            }
        }
        return false;
    }

    static bool IsQuantifier(int code) { return code == kCellStar || code == kCellPlus || code == kCellOption; }

private:
    size_t Index(int pc) const {
        int& slot = m_info[static_cast<size_t>(pc)];
        if (slot < 0) Describe(pc);
        return static_cast<size_t>(slot);
    }

    // The look-ahead after a repetition may skip one ')' (it consumes nothing).
    int RestAfter(int pc) const { return Code(pc) == kCellGroupClose ? pc + 1 : pc; }

    // What the program from pc (groups aside) must begin with: a literal's
    // unit, or the members of a set of one or two literals. A look-ahead
    // from pc fails wherever the subject holds another unit.
    RestStart FirstUnit(int pc) const {
        while (pc < m_endPc && (Code(pc) == kCellGroupOpen || Code(pc) == kCellGroupClose)) ++pc;
        RestStart start;
        if (pc >= m_endPc) return start;
        if (Code(pc) == kCellLiteral) {
            start.a = start.b = static_cast<int>(UnitValue(m_cells[pc + 1]));
            return start;
        }
        if (Code(pc) != kCellSetOpen) return start;
        // "[Xx]", "[x]", "[xy]" and their "+" forms (looked at directly: describing the
        // set here would recurse along a run of sets).
        int i = pc + 1, count = 0;
        unsigned members[2] = {0, 0};
        for (; i < m_endPc && Code(i) == kCellLiteral && count < 3; i += 2)
            if (count++ < 2) members[count - 1] = UnitValue(m_cells[i + 1]);
        if (i < m_endPc && Code(i) == kCellPlus) ++i;
        if (count < 1 || count > 2 || i >= m_endPc || Code(i) != kCellSetClose) return start;
        if (count == 1) members[1] = members[0];
        start.a = static_cast<int>(members[0]);
        start.b = static_cast<int>(members[1]);
        return start;
    }

    // Records what the repetition or set at pc needs.
    void Describe(int pc) const {
        int code = Code(pc);
        if (IsQuantifier(code)) {
            RepeatInfo info;
            info.atomPc = pc + 1;
            int stop = info.atomPc + (Code(info.atomPc) == kCellLiteral ? 2 : 1);
            info.afterPc = std::min(stop + 1, m_endPc);
            info.lookPc = RestAfter(info.afterPc);
            info.rest = FirstUnit(info.lookPc);
            int lookCode = Code(info.lookPc);
            info.greedy = lookCode == kCellGroupClose || info.lookPc >= m_endPc;
            m_info[static_cast<size_t>(pc)] = static_cast<int>(m_repeats.size());
            m_repeats.push_back(info);
            return;
        }
        if (code == kCellSetOpen) {
            SetInfo set;
            int i = pc + 1;
            if (i < m_endPc && Code(i) == kCellStart) {
                set.negated = true;
                ++i;
            }
            set.firstPc = i;
            bool closed = false;
            while (i < m_endPc) {
                int member = Code(i);
                if (member == kCellSetClose) {
                    closed = true;
                    break;
                }
                if (member == kCellLiteral) {
                    i += 2;
                    continue;
                }
                if (member == kCellDigit) set.digits = true;
                else if (member == kCellSpace) set.blank = true;
                else if (member == kCellPlus && Code(i + 1) == kCellSetClose) set.plus = true;
                ++i;  // any other cell adds no member
            }
            set.endPc = i;
            // "[...]+" ends with Plus, SetClose, Stop; a set left open runs to the end.
            set.afterPc = closed ? std::min(i + (set.plus ? 2 : 1), m_endPc) : m_endPc;
            set.lookPc = RestAfter(set.afterPc);
            set.rest = FirstUnit(set.lookPc);
            m_info[static_cast<size_t>(pc)] = static_cast<int>(m_sets.size());
            m_sets.push_back(set);
        }
    }

    const TChar* m_cells;
    mutable SmallVector<int, 256> m_info;  // per cell: index into m_repeats or m_sets, -1 before
    mutable SmallVector<RepeatInfo, 16> m_repeats;
    mutable SmallVector<SetInfo, 32> m_sets;
    int m_endPc = 0;
};

} // namespace regex_detail
