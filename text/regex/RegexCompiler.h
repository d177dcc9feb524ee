// Compile step: slash pattern -> token program (see RegexProgram.h).
//
// A quantifier needs one token before it to repeat. It is refused with
// "* + - was misused" when there is none: at the start of the pattern, after
// '^', '$', '(' or '[', and after another quantifier. After ']' only '+' is
// accepted ("[set]+"; "[set]*" and "[set]-" are not part of the language).
// A literal character is always a token of its own, whatever its code.
#pragma once

#include "regex/RegexOutput.h"
#include "regex/RegexProgram.h"
#include "regex/RegexSmallVector.h"
#include "regex/RegexTraits.h"

#include <cstddef>
#include <string>

namespace regex_detail {

// Where and why a pattern does not compile.
enum class CompileFaultKind { None, QuantifierFirst, QuantifierAfterAnchor, QuantifierAfterQuantifier,
                              QuantifierAfterSet, TrailingSlash };
struct CompileFault {
    CompileFaultKind kind = CompileFaultKind::None;
    size_t index = 0;  // the offending unit, counted from 0
};

// The cells of one program, held inside the caller's frame for the patterns
// the system writes.
template <typename TChar>
using CellBuffer = SmallVector<TChar, 256>;

template <typename TChar>
class Compiler {
public:
    // Fills `program`; false (program emptied, message printed) on an error.
    static bool Compile(const TChar* pattern, RegexProgramT<TChar>& program) {
        CellBuffer<TChar> cells;
        bool compiled = Compile(pattern, cells);
        program.m_cells.assign(cells.begin(), cells.end());
        return compiled;
    }

    // With `fault`, an error is told there instead of being printed.
    static bool Compile(const TChar* pattern, CellBuffer<TChar>& buffer, CompileFault* fault = nullptr) {
        buffer.clear();
        if (!pattern) return false;
        // Every pattern unit gives at most two cells (a literal, or a quantifier
        // and its Stop); the program ends with two more.
        size_t length = std::char_traits<TChar>::length(pattern);
        TChar* out = buffer.resize_for_overwrite(2 * length + 2);
        size_t n = 0;

        // What the token written last can take: a quantifier or nothing.
        enum class Last { Nothing, Repeatable, SetClose, Quantified };
        Last last = Last::Nothing;
        size_t lastToken = 0;  // index of the last token's first cell

        auto emit = [&](int code, Last kind) {
            lastToken = n;
            out[n++] = static_cast<TChar>(code);
            last = kind;
        };
        auto emitLiteral = [&](TChar ch) {
            lastToken = n;
            out[n++] = static_cast<TChar>(kCellLiteral);
            out[n++] = ch;
            last = Last::Repeatable;
        };
        auto fail = [&](const char* message, CompileFaultKind kind, const TChar* at) {
            if (fault) *fault = {kind, static_cast<size_t>(at - pattern)};
            else PrintDiagnostic(message);
            buffer.clear();
            return false;
        };

        for (const TChar* p = pattern; *p; ++p) {
            TChar ch = *p;
            switch (ch) {
            case '*':
            case '+':
            case '-': {
                bool allowed = last == Last::Repeatable || (last == Last::SetClose && ch == '+');
                if (!allowed) {
                    CompileFaultKind kind = last == Last::Quantified ? CompileFaultKind::QuantifierAfterQuantifier
                                            : last == Last::SetClose ? CompileFaultKind::QuantifierAfterSet
                                            : p == pattern           ? CompileFaultKind::QuantifierFirst
                                                                     : CompileFaultKind::QuantifierAfterAnchor;
                    return fail(kMisusedQuantifier, kind, p);
                }
                int code = ch == '*' ? kCellStar : ch == '+' ? kCellPlus : kCellOption;
                for (size_t i = n; i > lastToken; --i) out[i] = out[i - 1];
                out[lastToken] = static_cast<TChar>(code);
                out[n + 1] = static_cast<TChar>(kCellStop);
                n += 2;
                last = Last::Quantified;
                break;
            }
            case '^': emit(kCellStart, Last::Nothing); break;
            case '$': emit(kCellEnd, Last::Nothing); break;
            case '(': emit(kCellGroupOpen, Last::Nothing); break;
            case '[': emit(kCellSetOpen, Last::Nothing); break;
            case ')': emit(kCellGroupClose, Last::Repeatable); break;
            case ']': emit(kCellSetClose, Last::SetClose); break;
            case '.': emit(kCellAny, Last::Repeatable); break;
            case '/': {
                TChar next = p[1];
                if (!next) return fail(Traits<TChar>::kTrailingSlashError, CompileFaultKind::TrailingSlash, p);
                ++p;
                switch (next) {
                case '/': emit(kCellSlash, Last::Repeatable); break;
                case 'a': emit(kCellLetter, Last::Repeatable); break;
                case 'd': emit(kCellDigit, Last::Repeatable); break;
                case 'n': emit(kCellAlnum, Last::Repeatable); break;
                case 's': emit(kCellSpace, Last::Repeatable); break;
                case 'b':
                    if (Traits<TChar>::kHasNoOpToken) emit(kCellNoOp, Last::Repeatable);
                    else emitLiteral(next);
                    break;
                default: emitLiteral(next); break;
                }
                break;
            }
            default: emitLiteral(ch); break;
            }
        }
        out[n++] = static_cast<TChar>(kCellStop);
        out[n++] = TChar(0);
        buffer.truncate(n);
        return true;
    }
};

} // namespace regex_detail
