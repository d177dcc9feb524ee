// Runs a token program at one position of a subject.
//
// The walk has no general backtracking. Its only look-ahead is the question a
// lazy repetition asks at every step: "does the rest of the program match
// here?". That answer depends on nothing but the rest's first cell and the
// position (a look-ahead always compares exactly and throws its groups away),
// so answers that took real work are kept for the whole scan of a subject:
// nested lazy repetitions then cost a bounded number of steps instead of
// multiplying. The rest's tokens before its first repetition are compared at
// once; only from a repetition on does a look-ahead need a walk of its own.
// Such walks run on an explicit stack of frames, never by recursion, so
// programs of any length cannot exhaust the thread's stack.
//
// A cell without a meaning of its own when matched (']' outside a set, the
// wide engine's "/b") prints "Srch over, <code> NOT found!" each time the walk
// evaluates it and is passed over; an answer taken from the kept look-aheads
// is not evaluated again and prints nothing. The lines are written when the
// matcher goes out of scope, at the end of the operation.
#pragma once

#include "regex/RegexLayout.h"
#include "regex/RegexOutput.h"
#include "regex/RegexProgram.h"
#include "regex/RegexSmallVector.h"
#include "regex/RegexTraits.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace regex_detail {

template <typename TChar>
class Matcher {
public:
    using String = typename Traits<TChar>::String;

    // `cells` must be a compiled (non-empty) program; both it and the subject
    // must outlive the matcher.
    Matcher(const TChar* cells, size_t count, const TChar* subjectStart, bool foldCase)
        : m_layout(cells, count), m_subject(subjectStart), m_fold(foldCase && Traits<TChar>::kFoldsCase) {}

    // Position just after the match at `position`, or null. When `groups` is
    // given, the groups of a successful match are appended to it.
    const TChar* Match(const TChar* position, std::vector<String>* groups) {
        m_frames.clear();
        m_frames.push_back(Frame::At(0, position, false));
        m_groups.clear();
        for (;;) {
            bool isMain = m_frames.size() == 1;
            Step step = Walk(m_frames.back(), isMain && m_fold, isMain && groups ? &m_groups : nullptr);
            if (step.outcome == Outcome::NeedLookAhead) {
                m_frames.push_back(Frame::At(step.pc, step.position, true));
                continue;
            }
            bool matched = step.outcome == Outcome::Matched;
            if (isMain) {
                if (!matched) return nullptr;
                if (groups) groups->insert(groups->end(), m_groups.begin(), m_groups.end());
                return step.position;
            }
            Frame done = m_frames.back();  // copied: the parent is looked up after the pop
            m_frames.pop_back();
            if (done.cost > kWorthKeeping) m_answers[Key(done.startPc, done.startPosition)] = matched;
            Frame& parent = m_frames.back();
            parent.hasAnswer = true;
            parent.answer = matched;
            parent.cost += done.cost;
        }
    }

    // The first position at or after `position` where a match can begin (the
    // program's first unit-consuming token accepts the unit there), or null
    // when there is none. Only skips positions the walk would reject at once.
    const TChar* NextCandidate(const TChar* position) const {
        int pc = 0;
        while (pc < m_layout.EndPc() &&
               (m_layout.Code(pc) == kCellGroupOpen || m_layout.Code(pc) == kCellGroupClose))
            ++pc;
        const TChar* p = position;
        switch (pc < m_layout.EndPc() ? m_layout.Code(pc) : 0) {
        case kCellLiteral: {
            TChar ch = m_layout.Char(pc + 1);
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
            const SetInfo set = m_layout.Set(pc);
            if (!set.negated)
                while (*p && !m_layout.Has(set, UnitValue(*p))) ++p;
            break;
        }
        default: break;
        }
        return *p ? p : nullptr;
    }

private:
    // A look-ahead that took more steps than this is remembered for the scan.
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

        static Frame At(int pc, const TChar* position, bool lookAhead) {
            Frame f;
            f.lookAhead = lookAhead;
            f.startPc = f.pc = pc;
            f.startPosition = f.s = f.g = position;
            return f;
        }
    };

    static Step Failed() { return {Outcome::Failed}; }

    // A look-ahead whose repetition stopped because the rest matches there has
    // its answer: the rest of its walk is that very rest, from that position.
    static bool Settled(Frame& f, Step& step) {
        step = {Outcome::Matched, 0, f.s};
        return true;
    }

    uint64_t Key(int pc, const TChar* position) const {
        return (static_cast<uint64_t>(static_cast<uint32_t>(pc)) << 32) |
               static_cast<uint64_t>(position - m_subject);
    }

    // Tokens that test one unit (or none, for '^' and '$').
    bool MatchUnit(int pc, const TChar*& s, bool fold) const {
        unsigned u = UnitValue(*s);
        switch (m_layout.Code(pc)) {
        case kCellLiteral: {
            TChar ch = m_layout.Char(pc + 1);
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
            const SetInfo set = m_layout.Set(pc);
            bool member = m_layout.Has(set, u);
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
        int code = m_layout.Code(atomPc);
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
            int code = m_layout.Code(pc);
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
                if (m_layout.Repeats(pc)) return true;
                if (!MatchUnit(pc, s, false)) return false;
                pc = m_layout.Set(pc).afterPc;
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
        if (m_layout.Code(restPc) == kCellStop) return Answer::Yes;
        auto kept = m_answers.find(Key(restPc, restPosition));
        if (kept != m_answers.end()) return kept->second ? Answer::Yes : Answer::No;
        f.answerPc = pc;
        f.answerPosition = s;
        f.hasAnswer = false;
        ask = {Outcome::NeedLookAhead, restPc, restPosition};
        return Answer::Unknown;
    }

    // '*', '+', '-' at f.pc. Returns true when the walk must stop with `step`.
    bool Repeat(Frame& f, std::vector<String>* groups, Step& step) {
        int pc = f.pc;
        int code = m_layout.Code(pc);
        const RepeatInfo info = m_layout.Repeat(pc);
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
            f.hasPendingAtom = false;
        }
        // A lazy "." whose rest begins with a literal takes every unit up to the
        // next one the rest can begin with.
        bool skipToRest = !info.greedy && info.restUnit >= 0 && m_layout.Code(info.atomPc) == kCellAny;
        for (;;) {
            ++f.cost;
            if (skipToRest && !f.hasPendingAtom) {
                const TChar* from = f.s;
                while (*f.s && static_cast<int>(UnitValue(*f.s)) != info.restUnit) ++f.s;
                f.cost += static_cast<uint64_t>(f.s - from);
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
            if (!info.greedy && (info.restUnit < 0 || static_cast<int>(UnitValue(*f.s)) == info.restUnit)) {
                Answer rest = LookAhead(f, info.lookPc, f.s, step);
                if (rest == Answer::Unknown) {
                    f.hasPendingAtom = true;
                    f.pendingAtom = end;
                    return true;
                }
                if (rest == Answer::Yes) {
                    if (f.lookAhead) return Settled(f, step);
                    break;
                }
            }
            bool empty = end == f.s;
            f.s = end;
            if (empty) break;
        }
        f.loopPc = -1;
        f.pc = info.afterPc;
        return false;
    }

    // "[...]" and its "+" forms at f.pc. Returns true when the walk must stop.
    bool MatchSet(Frame& f, Step& step) {
        int pc = f.pc;
        const SetInfo set = m_layout.Set(pc);
        if (!set.plus) {
            if (!MatchUnit(pc, f.s, false)) {
                step = Failed();
                return true;
            }
        } else if (!set.negated) {
            // Greedy, no look-ahead: every following member.
            if (!m_layout.Has(set, UnitValue(*f.s))) {
                step = Failed();
                return true;
            }
            while (m_layout.Has(set, UnitValue(*f.s))) ++f.s;
        } else {
            // "[^...]+": one non-member, then stop where the rest matches, before a
            // member, or at the end.
            if (f.loopPc != pc) {
                unsigned u = UnitValue(*f.s);
                if (u == 0 || m_layout.Has(set, u)) {
                    step = Failed();
                    return true;
                }
                ++f.s;
                f.loopPc = pc;
            }
            for (;;) {
                ++f.cost;
                Answer rest = set.restUnit < 0 || static_cast<int>(UnitValue(*f.s)) == set.restUnit
                                  ? LookAhead(f, set.lookPc, f.s, step)
                                  : Answer::No;
                if (rest == Answer::Unknown) return true;
                if (rest == Answer::Yes) {
                    if (f.lookAhead) return Settled(f, step);
                    break;
                }
                unsigned u = UnitValue(*f.s);
                if (u == 0 || m_layout.Has(set, u)) break;
                ++f.s;
            }
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
            int code = m_layout.Code(f.pc);
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

    Layout<TChar> m_layout;
    const TChar* m_subject;
    bool m_fold;
    SmallVector<Frame, 8> m_frames;
    std::vector<String> m_groups;
    std::unordered_map<uint64_t, bool> m_answers;
    mutable UnknownCellReport m_unknownCells;
};

} // namespace regex_detail
