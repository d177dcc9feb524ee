// Runs a token program at one position of a subject.
//
// The walk has no general backtracking. Its only look-ahead is the question a
// lazy repetition asks at every step: "does the rest of the program match
// here?". That answer depends on nothing but the rest's first cell and the
// position (a look-ahead always compares exactly and throws its groups away).
// The rest's tokens before its first repetition are compared at once; only
// from a repetition on does a look-ahead need a walk of its own. Such walks
// run on an explicit stack of frames, never by recursion, so programs of any
// length cannot exhaust the thread's stack.
//
// Once a scan has done more than a little work, the matcher remembers what
// its walks learnt about each repetition state (RegexMemo.h): a scan then
// costs at most program length times subject length, whatever the text.
// Before that, costly look-ahead answers are kept by their start.
//
// A cell without a meaning of its own when matched (']' outside a set, the
// wide engine's "/b") prints "Srch over, <code> NOT found!" each time the walk
// evaluates it and is passed over; an answer taken from the kept look-aheads
// is not evaluated again and prints nothing. The lines are written when the
// matcher goes out of scope, at the end of the operation.
#pragma once

#include "regex/RegexCache.h"
#include "regex/RegexLayout.h"
#include "regex/RegexMemo.h"
#include "regex/RegexOutput.h"
#include "regex/RegexPrefilter.h"
#include "regex/RegexProgram.h"
#include "regex/RegexSmallVector.h"
#include "regex/RegexTraits.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace regex_detail {

// What a matcher may use to save work. Both are on in every operation; the
// tests turn them off to compare with the plain walk.
struct MatcherTuning {
    bool remember = true;     // remember repetition states (RegexMemo.h)...
    uint64_t rememberAfter = 4096;  // ...once a scan has taken this many repetition steps
    bool requiredText = true; // skip start positions by required text (RegexPrefilter.h)
};

template <typename TChar>
class Matcher {
public:
    using String = typename Traits<TChar>::String;

    // `cells` must be a compiled (non-empty) program; both it and the subject
    // must outlive the matcher.
    Matcher(const TChar* cells, size_t count, const TChar* subjectStart, bool foldCase,
            MatcherTuning tuning = MatcherTuning())
        : m_ownLayout(std::in_place, cells, count), m_layout(&*m_ownLayout), m_cellCount(count),
          m_subject(subjectStart), m_fold(foldCase && Traits<TChar>::kFoldsCase), m_tuning(tuning) {}
    // A program from the thread's cache, with its layout and required text.
    Matcher(const CompiledPattern<TChar>& compiled, const TChar* subjectStart, bool foldCase,
            MatcherTuning tuning = MatcherTuning())
        : m_layout(&compiled.GetLayout()), m_cellCount(compiled.CellCount()), m_subject(subjectStart),
          m_fold(foldCase && Traits<TChar>::kFoldsCase), m_tuning(tuning) {
        if (tuning.requiredText) m_required.emplace(compiled.Required(m_fold));
    }

    // Position just after the match at `position`, or null. When `groups` is
    // given, the groups of a successful match are appended to it.
    const TChar* Match(const TChar* position, std::vector<String>* groups) {
        m_frames.clear();
        m_visits.clear();
        m_frames.push_back(Frame::At(0, position, false, 0));
        m_groups.clear();
        for (;;) {
            bool isMain = m_frames.size() == 1;
            Step step = Walk(m_frames.back(), isMain && m_fold, isMain && groups ? &m_groups : nullptr);
            if (step.outcome == Outcome::NeedLookAhead) {
                m_frames.push_back(Frame::At(step.pc, step.position, true, m_visits.size()));
                continue;
            }
            bool matched = step.outcome == Outcome::Matched;
            if (isMain) {
                if (!matched) {
                    if (m_memo.IsOn()) Learn(m_frames.back(), false);
                    return nullptr;
                }
                if (groups) groups->insert(groups->end(), m_groups.begin(), m_groups.end());
                return step.position;
            }
            Frame done = m_frames.back();  // copied: the parent is looked up after the pop
            m_frames.pop_back();
            if (m_memo.IsOn()) {
                Learn(done, matched);
                m_memo.Mark(done.startPc, Offset(done.startPosition), Offset(done.startPosition),
                            StateMemo::kEntryKnown | (matched ? StateMemo::kEntryYes : 0));
            } else if (done.cost > kWorthKeeping) {
                m_answers[Key(done.startPc, done.startPosition)] = matched;
            }
            Frame& parent = m_frames.back();
            parent.hasAnswer = true;
            parent.answer = matched;
            parent.cost += done.cost;
        }
    }

    // The match at a position that NextCandidate() returned: as Match(), but a
    // program of plain literals alone has matched already where it was found.
    const TChar* MatchCandidate(const TChar* position) {
        if (m_required && m_required->WholeLength() > 0) return position + m_required->WholeLength();
        return Match(position, nullptr);
    }

    // The first position at or after `position` where a match can begin, or
    // null when there is none: the program's first unit-consuming token must
    // accept the unit there, and the text every match holds must follow.
    const TChar* NextCandidate(const TChar* position) {
        if (!m_tuning.requiredText) return FirstTokenCandidate(position);
        if (!m_required) m_required.emplace(*m_layout, m_fold);
        for (;;) {
            if (!position) return nullptr;
            const TChar* byText = m_required->Next(position);
            if (!byText) return nullptr;
            const TChar* byToken = FirstTokenCandidate(byText);
            if (byToken == byText) return byText;
            position = byToken;
        }
    }

private:
    // Only skips positions the walk would reject at once.
    const TChar* FirstTokenCandidate(const TChar* position) const {
        int pc = 0;
        while (pc < m_layout->EndPc() &&
               (m_layout->Code(pc) == kCellGroupOpen || m_layout->Code(pc) == kCellGroupClose))
            ++pc;
        const TChar* p = position;
        switch (pc < m_layout->EndPc() ? m_layout->Code(pc) : 0) {
        case kCellLiteral: {
            TChar ch = m_layout->Char(pc + 1);
            if (m_fold) {
                TChar folded = FoldUnit(ch);
                while (*p && FoldUnit(*p) != folded) ++p;
            } else {
                while (*p && *p != ch) ++p;
            }
            break;
        }
        case kCellStart:
            return position == m_subject && *position ? position : nullptr;
        case kCellSetOpen: {
            const SetInfo set = m_layout->Set(pc);
            if (!set.negated)
                while (*p && !m_layout->Has(set, UnitValue(*p))) ++p;
            break;
        }
        default: break;
        }
        return *p ? p : nullptr;
    }

    // A look-ahead that took more steps than this is remembered for the scan
    // (before the repetition states are).
    static constexpr uint64_t kWorthKeeping = 32;

    enum class Outcome { Matched, Failed, NeedLookAhead };
    struct Step {
        Outcome outcome;
        int pc = 0;                       // NeedLookAhead: where the rest starts
        const TChar* position = nullptr;  // Matched: end; NeedLookAhead: where to ask
    };
    enum class Answer { No, Yes, Unknown };

    // One walk over the program: the caller's match, or a look-ahead.
    struct Frame {
        int startPc = 0;
        const TChar* startPosition = nullptr;
        int pc = 0;
        const TChar* s = nullptr;
        const TChar* g = nullptr;           // where the current group began
        int loopPc = -1;                    // repetition in progress
        bool hasPendingAtom = false;        // atom already run at s before a look-ahead was asked
        const TChar* pendingAtom = nullptr;
        int answerPc = -1;                  // the look-ahead asked last, and its answer
        const TChar* answerPosition = nullptr;
        bool hasAnswer = false;
        bool answer = false;
        uint64_t cost = 0;
        bool lookAhead = false;             // answers yes or no; its end and groups do not matter
        const TChar* loopFrom = nullptr;    // the repetition's first loop state
        size_t visitBase = 0;               // this walk's loop states in m_visits start here

        static Frame At(int pc, const TChar* position, bool lookAhead, size_t visitBase) {
            Frame f;
            f.visitBase = visitBase;
            f.lookAhead = lookAhead;
            f.startPc = f.pc = pc;
            f.startPosition = f.s = f.g = position;
            return f;
        }
    };

    static Step Failed() { return {Outcome::Failed}; }

    // A look-ahead whose repetition stopped because the rest matches there has
    // its answer: the rest of its walk is that very rest, from that position.
    bool Settled(Frame& f, int pc, Step& step) {
        CloseLoop(f, pc);
        step = {Outcome::Matched, 0, f.s};
        return true;
    }

    size_t Offset(const TChar* p) const { return static_cast<size_t>(p - m_subject); }

    // Counts repetition steps; once a scan has taken enough, its repetition
    // states are remembered from then on (the memory costs a pass over the
    // subject, which short lines never need).
    void Tick(uint64_t steps = 1) {
        m_steps += steps;
        if (m_steps >= m_tuning.rememberAfter && !m_memo.IsOn() && m_tuning.remember)
            m_memo.TurnOn(m_cellCount, std::char_traits<TChar>::length(m_subject));
    }

    // At the top of the loop of the repetition at pc: true, with `step`, when
    // an earlier walk already knows how a walk from this state ends.
    bool Known(Frame& f, int pc, Step& step) {
        Tick();
        if (!m_memo.IsOn()) return false;
        uint8_t bits = m_memo.Get(pc, Offset(f.s));
        if (!(bits & (f.lookAhead ? StateMemo::kLookKnown : StateMemo::kMainFails))) return false;
        CloseLoop(f, pc);
        if (f.lookAhead && (bits & StateMemo::kLookYes)) step = {Outcome::Matched, 0, f.s};
        else step = Failed();
        return true;
    }

    // The loop of the repetition at pc has stood at every position from
    // f.loopFrom to f.s; the walk's end will tell what those states lead to.
    void CloseLoop(const Frame& f, int pc) {
        if (m_memo.IsOn() && f.loopFrom) m_visits.push_back({pc, Offset(f.loopFrom), Offset(f.s)});
    }

    // Records how a finished walk ended for every loop state it passed (a
    // caller's walk that matched teaches nothing: no later walk repeats it).
    void Learn(const Frame& f, bool matched) {
        uint8_t bits = f.lookAhead ? static_cast<uint8_t>(StateMemo::kLookKnown | (matched ? StateMemo::kLookYes : 0))
                                   : static_cast<uint8_t>(matched ? 0 : StateMemo::kMainFails);
        if (bits)
            for (size_t i = f.visitBase; i < m_visits.size(); ++i)
                m_memo.Mark(m_visits[i].pc, m_visits[i].from, m_visits[i].to, bits);
        m_visits.truncate(std::min(f.visitBase, m_visits.size()));
    }

    uint64_t Key(int pc, const TChar* position) const {
        return (static_cast<uint64_t>(static_cast<uint32_t>(pc)) << 32) |
               static_cast<uint64_t>(position - m_subject);
    }

    // Tokens that test one unit (or none, for '^' and '$').
    bool MatchUnit(int pc, const TChar*& s, bool fold) const {
        unsigned u = UnitValue(*s);
        switch (m_layout->Code(pc)) {
        case kCellLiteral: {
            TChar ch = m_layout->Char(pc + 1);
            if (fold ? FoldUnit(*s) != FoldUnit(ch) : *s != ch) return false;
            break;
        }
        case kCellStart: return s == m_subject;
        case kCellEnd: return u == 0;
        case kCellAny: if (u == 0) return false; break;
        case kCellLetter: if (!((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z'))) return false; break;
        case kCellDigit: if (!(u >= '0' && u <= '9')) return false; break;
        case kCellAlnum:
            if (!((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9'))) return false;
            break;
        case kCellSpace: if (!(u >= 1 && u <= 32)) return false; break;
        case kCellSlash: if (u != '/') return false; break;
        case kCellSetOpen: {
            const SetInfo set = m_layout->Set(pc);
            bool member = m_layout->Has(set, u);
            if (set.negated ? (u == 0 || member) : !member) return false;
            break;
        }
        default: return false;
        }
        ++s;
        return true;
    }

    // A quantifier's atom, run alone at s (always exact). Null when it does not
    // match; an atom that consumes nothing returns s.
    const TChar* MatchAtom(Frame& f, int atomPc, const TChar* s, std::vector<String>* groups) const {
        int code = m_layout->Code(atomPc);
        switch (code) {
        case kCellGroupOpen:
            f.g = s;
            return s;
        case kCellGroupClose:
            if (groups) groups->emplace_back(f.g, static_cast<int>(s - f.g));
            return s;
        case kCellLiteral: case kCellStart: case kCellEnd: case kCellAny: case kCellLetter:
        case kCellDigit: case kCellAlnum: case kCellSpace: case kCellSlash:
            return MatchUnit(atomPc, s, false) ? s : nullptr;
        default:
            m_unknownCells.Add(code);
            return s;
        }
    }

    // Walks the rest of the program from (pc, s) up to its first repetition or
    // its end, comparing exactly. False when a token fails on the way.
    bool MatchPlainPrefix(Frame& f, int& pc, const TChar*& s) const {
        for (;;) {
            ++f.cost;
            int code = m_layout->Code(pc);
            switch (code) {
            case kCellStop: return true;
            case kCellGroupOpen: case kCellGroupClose: ++pc; break;
            case kCellLiteral: case kCellStart: case kCellEnd: case kCellAny: case kCellLetter:
            case kCellDigit: case kCellAlnum: case kCellSpace: case kCellSlash:
                if (!MatchUnit(pc, s, false)) return false;
                pc += code == kCellLiteral ? 2 : 1;
                break;
            case kCellSetOpen:
            case kCellStar: case kCellPlus: case kCellOption:
                if (m_layout->Repeats(pc)) return true;
                if (!MatchUnit(pc, s, false)) return false;
                pc = m_layout->Set(pc).afterPc;
                break;
            default:
                m_unknownCells.Add(code);
                ++pc;
                break;
            }
        }
    }

    // Does the rest of the program from `pc` match at s? The part before its
    // first repetition is walked at once; from there on the answer is taken
    // from the frame's last answer or the kept answers, or else asked for:
    // Unknown, with `ask` saying where a look-ahead frame must start.
    Answer LookAhead(Frame& f, int pc, const TChar* s, Step& ask) {
        if (f.hasAnswer && f.answerPc == pc && f.answerPosition == s) {
            f.hasAnswer = false;
            return f.answer ? Answer::Yes : Answer::No;
        }
        int restPc = pc;
        const TChar* restPosition = s;
        if (!MatchPlainPrefix(f, restPc, restPosition)) return Answer::No;
        if (m_layout->Code(restPc) == kCellStop) return Answer::Yes;
        if (m_memo.IsOn()) {
            uint8_t bits = m_memo.Get(restPc, Offset(restPosition));
            if (bits & StateMemo::kEntryKnown) return bits & StateMemo::kEntryYes ? Answer::Yes : Answer::No;
        } else {
            auto kept = m_answers.find(Key(restPc, restPosition));
            if (kept != m_answers.end()) return kept->second ? Answer::Yes : Answer::No;
        }
        f.answerPc = pc;
        f.answerPosition = s;
        f.hasAnswer = false;
        ask = {Outcome::NeedLookAhead, restPc, restPosition};
        return Answer::Unknown;
    }

    // '*', '+', '-' at f.pc. Returns true when the walk must stop with `step`.
    bool Repeat(Frame& f, std::vector<String>* groups, Step& step) {
        int pc = f.pc;
        int code = m_layout->Code(pc);
        const RepeatInfo info = m_layout->Repeat(pc);
        if (f.loopPc != pc) {
            if (code == kCellOption) {
                if (const TChar* end = MatchAtom(f, info.atomPc, f.s, groups)) f.s = end;
                f.pc = info.afterPc;
                return false;
            }
            if (code == kCellPlus) {
                const TChar* end = MatchAtom(f, info.atomPc, f.s, groups);
                if (!end) {
                    step = Failed();
                    return true;
                }
                bool empty = end == f.s;
                f.s = end;
                if (empty) {  // an atom that consumes nothing is not repeated
                    f.pc = info.afterPc;
                    return false;
                }
            }
            f.loopPc = pc;
            f.loopFrom = f.s;
            f.hasPendingAtom = false;
        }
        // A lazy "." whose rest begins with a known unit takes every unit up to
        // the next one the rest can begin with.
        bool skipToRest = !info.greedy && info.rest.Known() && m_layout->Code(info.atomPc) == kCellAny;
        for (;;) {
            ++f.cost;
            if (!f.hasPendingAtom && Known(f, pc, step)) return true;
            if (skipToRest && !f.hasPendingAtom) {
                const TChar* from = f.s;
                while (*f.s && !info.rest.Allows(UnitValue(*f.s))) ++f.s;
                f.cost += static_cast<uint64_t>(f.s - from);
                Tick(static_cast<uint64_t>(f.s - from));
            }
            if (*f.s == 0) break;
            const TChar* end;
            if (f.hasPendingAtom) {
                end = f.pendingAtom;
                f.hasPendingAtom = false;
            } else {
                end = MatchAtom(f, info.atomPc, f.s, groups);
            }
            if (!end) break;
            if (!info.greedy && info.rest.Allows(UnitValue(*f.s))) {
                Answer rest = LookAhead(f, info.lookPc, f.s, step);
                if (rest == Answer::Unknown) {
                    f.hasPendingAtom = true;
                    f.pendingAtom = end;
                    return true;
                }
                if (rest == Answer::Yes) {
                    if (f.lookAhead) return Settled(f, pc, step);
                    break;
                }
            }
            bool empty = end == f.s;
            f.s = end;
            if (empty) break;
        }
        CloseLoop(f, pc);
        f.loopPc = -1;
        f.pc = info.afterPc;
        return false;
    }

    // "[...]" and its "+" forms at f.pc. Returns true when the walk must stop.
    bool MatchSet(Frame& f, Step& step) {
        int pc = f.pc;
        const SetInfo set = m_layout->Set(pc);
        if (!set.plus) {
            if (!MatchUnit(pc, f.s, false)) {
                step = Failed();
                return true;
            }
        } else if (!set.negated) {
            // Greedy, no look-ahead: every following member.
            if (!m_layout->Has(set, UnitValue(*f.s))) {
                step = Failed();
                return true;
            }
            ++f.s;
            if (!m_memo.IsOn()) {
                const TChar* from = f.s;
                while (m_layout->Has(set, UnitValue(*f.s))) ++f.s;
                Tick(static_cast<uint64_t>(f.s - from) + 1);
            } else {
                f.loopFrom = f.s;
                for (;;) {
                    if (Known(f, pc, step)) return true;
                    if (!m_layout->Has(set, UnitValue(*f.s))) break;
                    ++f.s;
                }
                CloseLoop(f, pc);
            }
        } else {
            // "[^...]+": one non-member, then stop where the rest matches, before a
            // member, or at the end.
            if (f.loopPc != pc) {
                unsigned u = UnitValue(*f.s);
                if (u == 0 || m_layout->Has(set, u)) {
                    step = Failed();
                    return true;
                }
                ++f.s;
                f.loopPc = pc;
                f.loopFrom = f.s;
            }
            for (;;) {
                ++f.cost;
                if (!f.hasAnswer && Known(f, pc, step)) return true;
                Answer rest = set.rest.Allows(UnitValue(*f.s))
                                  ? LookAhead(f, set.lookPc, f.s, step)
                                  : Answer::No;
                if (rest == Answer::Unknown) return true;
                if (rest == Answer::Yes) {
                    if (f.lookAhead) return Settled(f, pc, step);
                    break;
                }
                unsigned u = UnitValue(*f.s);
                if (u == 0 || m_layout->Has(set, u)) break;
                ++f.s;
            }
            CloseLoop(f, pc);
            f.loopPc = -1;
        }
        f.pc = set.afterPc;
        return false;
    }

    // Walks the frame on from where it stopped.
    Step Walk(Frame& f, bool fold, std::vector<String>* groups) {
        Step step{Outcome::Failed};
        for (;;) {
            ++f.cost;
            int code = m_layout->Code(f.pc);
            switch (code) {
            case kCellStop:
                return {Outcome::Matched, 0, f.s};
            case kCellGroupOpen:
                f.g = f.s;
                ++f.pc;
                break;
            case kCellGroupClose:
                if (groups) groups->emplace_back(f.g, static_cast<int>(f.s - f.g));
                ++f.pc;
                break;
            case kCellStar: case kCellPlus: case kCellOption:
                if (Repeat(f, groups, step)) return step;
                break;
            case kCellSetOpen:
                if (MatchSet(f, step)) return step;
                break;
            case kCellLiteral: case kCellStart: case kCellEnd: case kCellAny: case kCellLetter:
            case kCellDigit: case kCellAlnum: case kCellSpace: case kCellSlash:
                if (!MatchUnit(f.pc, f.s, fold && code == kCellLiteral)) return Failed();
                f.pc += code == kCellLiteral ? 2 : 1;
                break;
            default:
                m_unknownCells.Add(code);
                ++f.pc;
                break;
            }
        }
    }

    struct Visit {
        int pc;
        size_t from, to;
    };

    std::optional<Layout<TChar>> m_ownLayout;
    const Layout<TChar>* m_layout;
    size_t m_cellCount;
    const TChar* m_subject;
    bool m_fold;
    MatcherTuning m_tuning;
    std::optional<RequiredText<TChar>> m_required;
    StateMemo m_memo;
    uint64_t m_steps = 0;
    SmallVector<Visit, 16> m_visits;
    SmallVector<Frame, 8> m_frames;
    std::vector<String> m_groups;
    std::unordered_map<uint64_t, bool> m_answers;
    mutable UnknownCellReport m_unknownCells;
};

} // namespace regex_detail
