// Required text: runs of literals that every match must hold.
//
// The walk has no backtracking, so a match passes every plain literal of the
// program's top level, in order, at consecutive units. A run of such tokens
// ("</" in "<//[Bb]", or "<table" in "<[Tt][Aa][Bb][Ll][Ee]", a set of one
// letter in both cases counting as that letter in either case) must therefore
// stand in the subject at or after the match's start plus the fewest units the
// tokens before it can take. A scan that finds a run missing from the rest of
// the subject is over; a run at a fixed distance from the match's start tells
// where the next match can begin.
#pragma once

#include "regex/RegexLayout.h"
#include "regex/RegexProgram.h"
#include "regex/RegexTraits.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cstdint>

namespace regex_detail {

template <typename TChar>
class RequiredText {
public:
    RequiredText(const Layout<TChar>& layout, bool fold) { Collect(layout, fold); }

    // The first position at or after `position` where a match can still begin
    // as far as the runs tell, or null when none can.
    const TChar* Next(const TChar* position) {
        if (m_fixed >= 0) {
            Run& run = m_runs[static_cast<size_t>(m_fixed)];
            const TChar* at = Find(run, Advance(position, run.offset));
            if (!at) return nullptr;
            position = at - run.offset;
        }
        for (size_t i = 0; i < m_count; ++i)
            if (!Find(m_runs[i], Advance(position, m_runs[i].offset))) return nullptr;
        return position;
    }

    // When the whole program is one run of plain literals, its length: a match
    // is then exactly the run, found where Next() placed the candidate.
    int WholeLength() const { return m_whole ? static_cast<int>(m_runs[0].size) : 0; }

private:
    struct Unit {
        TChar a{}, b{};  // the unit in the subject may be either
        bool Accepts(TChar u) const { return u == a || u == b; }
    };
    // Runs are kept without allocating (the matcher is built for every line
    // the store scans): at most kMaxRuns of them, each cut to kMaxUnits units
    // (a run's beginning is required as much as the whole run).
    static constexpr size_t kMaxRuns = 4;
    static constexpr size_t kMaxUnits = 16;

    struct Run {
        Unit units[kMaxUnits];
        size_t size = 0;
        int offset = 0;               // fewest units a match takes before the run
        bool fixed = false;           // ... and exactly that many
        const TChar* found = nullptr; // the first occurrence at or after `from`
        const TChar* from = nullptr;
        bool searched = false;
        bool none = false;            // no occurrence at or after `from`
    };

    // `count` units on from `position`, or null when the subject ends first.
    static const TChar* Advance(const TChar* position, int count) {
        for (; count > 0; --count, ++position)
            if (!*position) return nullptr;
        return position;
    }

    // The first unit at or after `p` that is `a`, `b` or the terminator; wide
    // text eight units at a time. Loads of 16 aligned bytes never reach past
    // the block, and so the page, that holds the terminator.
    static const TChar* ScanFor(const TChar* p, TChar a, TChar b) {
#if defined(__SSE2__)
        if constexpr (sizeof(TChar) == 2) {
            while (reinterpret_cast<std::uintptr_t>(p) & 15) {
                if (*p == a || *p == b || !*p) return p;
                ++p;
            }
            const __m128i wantA = _mm_set1_epi16(static_cast<short>(a));
            const __m128i wantB = _mm_set1_epi16(static_cast<short>(b));
            const __m128i end = _mm_setzero_si128();
            for (;; p += 8) {
                const __m128i units = _mm_load_si128(reinterpret_cast<const __m128i*>(p));
                const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(units, wantA), _mm_cmpeq_epi16(units, wantB)),
                                                  _mm_cmpeq_epi16(units, end));
                if (const int mask = _mm_movemask_epi8(hits)) return p + (__builtin_ctz(static_cast<unsigned>(mask)) >> 1);
            }
        }
#endif
        while (*p && *p != a && *p != b) ++p;
        return p;
    }

    // The first occurrence of the run at or after `at`, or null. Scans never
    // go back, so an earlier answer serves every later position it lies past.
    static const TChar* Find(Run& run, const TChar* at) {
        if (!at) return nullptr;
        if (run.searched && at >= run.from && (run.none || run.found >= at)) return run.found;
        const Unit first = run.units[0];
        const TChar* p = at;
        for (;; ++p) {
            p = ScanFor(p, first.a, first.b);
            if (!*p) break;
            size_t i = 1;  // p[i] is read only while p[i - 1] is not the terminator
            while (i < run.size && run.units[i].Accepts(p[i])) ++i;
            if (i == run.size) break;
        }
        run.searched = true;
        run.from = at;
        run.none = *p == 0;
        run.found = run.none ? nullptr : p;
        return run.found;
    }

    static bool IsLetterPair(TChar x, TChar y) {
        return x != y && FoldUnit(x) == FoldUnit(y) && UnitValue(FoldUnit(x)) >= 'A' && UnitValue(FoldUnit(x)) <= 'Z';
    }

    // A set that accepts one unit, or one letter in both cases.
    static bool SetAsUnit(const Layout<TChar>& layout, const SetInfo& set, Unit& unit) {
        if (set.negated || set.plus || set.digits || set.blank) return false;
        int count = (set.endPc - set.firstPc) / 2;
        if (count < 1 || count > 2) return false;
        for (int i = set.firstPc; i < set.endPc; i += 2)
            if (layout.Code(i) != kCellLiteral) return false;
        TChar first = layout.Char(set.firstPc + 1), last = layout.Char(set.endPc - 1);
        if (first != last && !IsLetterPair(first, last)) return false;
        unit = {first, last};
        return true;
    }

    void Collect(const Layout<TChar>& layout, bool fold) {
        Run current;
        int offset = 0;
        bool fixed = true;
        bool onlyRun = true;  // no token so far that is not part of a run
        auto close = [&] {
            if (current.size) Keep(current);
            current.size = 0;
        };
        auto add = [&](Unit unit) {
            if (!current.size) {
                current.offset = offset;
                current.fixed = fixed;
            }
            if (current.size < kMaxUnits) current.units[current.size++] = unit;
            ++offset;
        };
        for (int pc = 0; pc < layout.EndPc();) {
            int code = layout.Code(pc);
            if (code == kCellGroupOpen || code == kCellGroupClose) {
                onlyRun = false;
                ++pc;
                continue;
            }
            if (code == kCellLiteral) {
                TChar ch = layout.Char(pc + 1);
                TChar other = ch;
                if (fold) {
                    TChar upper = FoldUnit(ch);
                    if (UnitValue(upper) >= 'A' && UnitValue(upper) <= 'Z') {
                        ch = upper;
                        other = static_cast<TChar>(upper - 'A' + 'a');
                    }
                }
                add({ch, other});
                pc += 2;
                continue;
            }
            if (code == kCellSetOpen) {
                const SetInfo set = layout.Set(pc);
                Unit unit;
                if (SetAsUnit(layout, set, unit)) {
                    add(unit);
                } else {
                    onlyRun = false;
                    close();
                    ++offset;  // any set takes at least one unit
                    if (set.plus) fixed = false;
                }
                pc = std::max(set.afterPc, pc + 1);
                continue;
            }
            onlyRun = false;
            close();
            if (Layout<TChar>::IsQuantifier(code)) {
                const RepeatInfo info = layout.Repeat(pc);
                int atom = layout.Code(info.atomPc);
                bool takesUnit = atom == kCellLiteral || atom == kCellAny || atom == kCellLetter ||
                                 atom == kCellDigit || atom == kCellAlnum || atom == kCellSpace || atom == kCellSlash;
                if (code == kCellPlus && takesUnit) ++offset;
                fixed = false;
                pc = std::max(info.afterPc, pc + 1);
                continue;
            }
            switch (code) {
            case kCellAny: case kCellLetter: case kCellDigit: case kCellAlnum: case kCellSpace: case kCellSlash:
                ++offset;
                break;
            default: break;  // '^', '$' and cells without a meaning take nothing
            }
            ++pc;
        }
        m_whole = onlyRun && current.size && offset == static_cast<int>(current.size);
        close();
        // The longest run at a fixed distance places the candidates.
        for (size_t i = 0; i < m_count; ++i)
            if (m_runs[i].fixed && (m_fixed < 0 || m_runs[i].size > m_runs[static_cast<size_t>(m_fixed)].size))
                m_fixed = static_cast<int>(i);
    }

    // Keeps the longest runs.
    void Keep(const Run& run) {
        if (m_count < kMaxRuns) {
            m_runs[m_count++] = run;
            return;
        }
        size_t shortest = 0;
        for (size_t i = 1; i < m_count; ++i)
            if (m_runs[i].size < m_runs[shortest].size) shortest = i;
        if (m_runs[shortest].size < run.size) m_runs[shortest] = run;
    }

    Run m_runs[kMaxRuns];
    size_t m_count = 0;
    int m_fixed = -1;  // index of the run that places candidates
    bool m_whole = false;
};

} // namespace regex_detail
