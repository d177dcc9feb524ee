// The token program a slash pattern compiles to: a sequence of cells (one code
// unit each) ended by the two cells End, 0. A literal takes two cells (Literal
// and the character); a quantifier stands in front of the one token it repeats,
// which is followed by End: "X*" compiles to Star, X, End.
#pragma once

#include <vector>

namespace regex_detail {
template <typename TChar>
class Compiler;
}

enum RegexCell : int {
    kCellLiteral = 1,     // the next cell holds the character
    kCellStart = 2,       // ^
    kCellEnd = 3,         // $
    kCellAny = 4,         // .
    kCellStar = 7,        // *  zero or more of the following atom
    kCellPlus = 8,        // +  one or more
    kCellOption = 9,      // -  zero or one
    kCellLetter = 10,     // /a
    kCellDigit = 11,      // /d
    kCellAlnum = 12,      // /n  an ASCII letter or digit (outside brackets; inside, no member)
    kCellSpace = 13,      // /s
    kCellStop = 15,       // end of a quantified atom; Stop, 0 ends the program
    kCellGroupOpen = 16,  // (
    kCellGroupClose = 17, // )
    kCellSlash = 18,      // //
    kCellSetOpen = 19,    // [
    kCellSetClose = 20,   // ]
    kCellNoOp = 21,       // /b (wide engine only)
};

template <typename TChar>
class RegexProgramT {
public:
    using Cell = TChar;
    const std::vector<TChar>& Cells() const { return m_cells; }
    bool IsEmpty() const { return m_cells.empty(); }

private:
    friend class regex_detail::Compiler<TChar>;
    std::vector<TChar> m_cells;
};

using RegexProgram = RegexProgramT<wchar_t>;
using RegexProgramA = RegexProgramT<char>;
