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
#include "regex/RegexTraits.h"

#include <cstddef>

namespace regex_detail {

template <typename TChar>
class Compiler {
public:
    // Fills `program`; false (program emptied, message printed) on an error.
    static bool Compile(const TChar* pattern, RegexProgramT<TChar>& program) {
        std::vector<TChar>& out = program.m_cells;
        out.clear();
        if (!pattern) return false;

        // What the token written last can take: a quantifier or nothing.
        enum class Last { Nothing, Repeatable, SetClose, Quantified };
        Last last = Last::Nothing;
        size_t lastToken = 0;  // index of the last token's first cell

        auto emit = [&](int code, Last kind) {
            lastToken = out.size();
            out.push_back(static_cast<TChar>(code));
            last = kind;
        };
        auto emitLiteral = [&](TChar ch) {
            lastToken = out.size();
            out.push_back(static_cast<TChar>(kCellLiteral));
            out.push_back(ch);
            last = Last::Repeatable;
        };
        auto fail = [&](const char* message) {
            PrintDiagnostic(message);
            out.clear();
            return false;
        };

        for (const TChar* p = pattern; *p; ++p) {
            TChar ch = *p;
            switch (ch) {
            case '*':
            case '+':
            case '-': {
                bool allowed = last == Last::Repeatable || (last == Last::SetClose && ch == '+');
                if (!allowed) return fail(kMisusedQuantifier);
                int code = ch == '*' ? kCellStar : ch == '+' ? kCellPlus : kCellOption;
                out.insert(out.begin() + static_cast<std::ptrdiff_t>(lastToken), static_cast<TChar>(code));
                out.push_back(static_cast<TChar>(kCellStop));
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
                if (!next) return fail(Traits<TChar>::kTrailingSlashError);
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
        out.push_back(static_cast<TChar>(kCellStop));
        out.push_back(TChar(0));
        return true;
    }
};

} // namespace regex_detail
