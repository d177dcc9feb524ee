// What the parts of the layout engine share: limits, the clamp that keeps positions
// from overflowing, and where text may break.
#pragma once
#include "layout/Box.h"
#include "paint/Canvas.h"

#include <algorithm>
#include <cwctype>

namespace layout {

inline constexpr int kMaxColumns = 4096;
inline constexpr int kMaxExtent = 1 << 28;  // positions stay far from overflowing an int
// The face and size form controls show their text in.
inline const paint::FontRequest kControlFont{L"DejaVu Sans, sans-serif", 13, false, false};

inline int Clamp(long long value) { return static_cast<int>(std::clamp<long long>(value, -kMaxExtent, kMaxExtent)); }

inline bool IsCollapsibleSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f'; }

// Chinese and Japanese text has no blanks: a line may break before and after any of its characters.
inline bool IsIdeographic(wchar_t c) {
    return (c >= 0x2E80 && c <= 0x31FF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF00 && c <= 0xFFEF);
}

// A line may break before `i` after a hyphen inside a word ("3-1-2026", "e-mail"): one
// between a character of the word and a letter or digit.
inline bool BreakAfterHyphen(const wchar_t* text, int i) {
    return i >= 2 && text[i - 1] == L'-' && !IsCollapsibleSpace(text[i - 2]) && text[i - 2] != L'-' && iswalnum(text[i]);
}

// The end of the piece of text that starts at `i` and cannot be broken.
inline int PieceEnd(const wchar_t* text, int i, int length) {
    if (IsIdeographic(text[i])) return i + 1;
    int end = i;
    while (end < length && !IsCollapsibleSpace(text[end]) && !IsIdeographic(text[end])) {
        ++end;
        if (end < length && end - 2 >= i && BreakAfterHyphen(text, end)) break;
    }
    return end;
}

// The room taken by the edges of the inline elements left and entered between two contexts of a block.
int EdgeRoom(const InlineContext* from, const InlineContext* to, int reference);

}  // namespace layout
