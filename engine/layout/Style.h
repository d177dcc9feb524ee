// The computed style of one box: what the user agent's defaults, the
// presentational attributes, the page's style sheet and the style attribute
// say, in that order, with inheritance from the parent already applied.
#pragma once
#include "core/String.h"
#include "paint/Canvas.h"

#include <algorithm>
#include <memory>

namespace layout {

enum class Display : unsigned char { None, Block, Inline, InlineBlock, ListItem, Table, RowGroup, Row, Cell, Caption };
enum class TextAlign : unsigned char { Left, Center, Right, Justify };
enum class VerticalAlign : unsigned char { Baseline, Sub, Super, Top, Middle, Bottom };
enum class WhiteSpace : unsigned char { Normal, Pre, NoWrap, PreWrap };
enum class ListMarker : unsigned char { None, Disc, Circle, Square, Decimal, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman };
enum class BorderStyle : unsigned char { None, Solid, Inset, Outset, Dotted, Dashed, Double };
enum class Float : unsigned char { None, Left, Right };
enum class Clear : unsigned char { None, Left, Right, Both };
// What shows of content beyond the padding box: all of it, or only what lies inside
// (hidden: scrolled by the scroll position alone; auto and scroll: by the user too).
enum class Overflow : unsigned char { Visible, Hidden, Auto, Scroll };

struct Length {
    enum class Unit : unsigned char { Auto, Px, Percent };
    float value = 0;
    Unit unit = Unit::Auto;
    bool IsAuto() const { return unit == Unit::Auto; }
    bool IsPercent() const { return unit == Unit::Percent; }
    // Pixels against a reference (for percentages); `fallback` when auto.
    int Resolve(int reference, int fallback = 0) const;
    static Length Px(float v) { return {v, Unit::Px}; }
    static Length Percent(float v) { return {v, Unit::Percent}; }
};

struct Edges {
    Length top, right, bottom, left;
    void SetAll(Length l) { top = right = bottom = left = l; }
};

struct Border {
    int width = 0;
    BorderStyle style = BorderStyle::None;
    paint::Color color = paint::kTransparent;  // transparent: the text colour
    int Width() const { return style == BorderStyle::None ? 0 : width; }
};

// A text shared by the styles that hold it: styles are copied for every
// element, and copying a family name must not cost an allocation.
class SharedText {
public:
    SharedText() : m_text(Empty()) {}
    SharedText(const wchar_t* text) : m_text(std::make_shared<const CString>(text)) {}
    SharedText(const CString& text) : m_text(std::make_shared<const CString>(text)) {}
    operator const CString&() const { return *m_text; }
    const CString& Text() const { return *m_text; }
    bool IsEmpty() const { return m_text->IsEmpty(); }

private:
    static const std::shared_ptr<const CString>& Empty() {
        static const std::shared_ptr<const CString> empty = std::make_shared<const CString>();
        return empty;
    }
    std::shared_ptr<const CString> m_text;
};

struct Style {
    // Inherited
    SharedText fontFamily = DefaultFamily();
    int fontSize = 16;
    bool bold = false;
    bool italic = false;
    bool underline = false;  // decorations propagate to the text inside
    bool strike = false;
    paint::Color color = 0;
    TextAlign textAlign = TextAlign::Left;
    WhiteSpace whiteSpace = WhiteSpace::Normal;
    ListMarker listMarker = ListMarker::Disc;
    bool quirks = true;  // the document has no standards-mode doctype
    TextAlign blockAlign = TextAlign::Left;  // where blocks narrower than their container sit (CENTER, align=)
    paint::Color linkColor = paint::Rgb(0, 0, 0xEE);
    // The size before the generic family `monospace` alone scaled it by 13/16 (0: not scaled);
    // a named family after it gets that size back.
    int unscaledFontSize = 0;
    // The size with its fraction (1.17 em of 16 px is 18.72 px) in hundredths of a pixel; 0 when
    // it is `fontSize` itself. Fonts come in whole pixels; lines take their height from this.
    int exactFontSize100 = 0;
    bool borderCollapse = false;  // tables: the borders between cells count once
    // line-height: negative for `normal`; else pixels, or a factor of the font size (a number,
    // which children inherit as the number).
    float lineHeight = -1;
    bool lineHeightFactor = false;
    // Not inherited
    Display display = Display::Inline;
    Float floating = Float::None;
    Clear clear = Clear::None;
    Overflow overflow = Overflow::Visible;
    paint::Color background = paint::kTransparent;
    SharedText backgroundImage;
    VerticalAlign verticalAlign = VerticalAlign::Baseline;
    bool cellMiddle = true;  // a cell's content sits in the middle unless valign says otherwise
    Length width, height;
    Edges margin{Length::Px(0), Length::Px(0), Length::Px(0), Length::Px(0)};
    Edges padding{Length::Px(0), Length::Px(0), Length::Px(0), Length::Px(0)};
    Border borderTop, borderRight, borderBottom, borderLeft;
    bool marginTopQuirk = false;  // the top and bottom margins are the agent's defaults
    bool marginBottomQuirk = false;
    bool autoMarginLeft = false;
    bool autoMarginRight = false;
    int borderSpacing = 2;  // tables: the space around cells
    bool link = false;      // an A element with an address

    void SetBorder(int width, BorderStyle style, paint::Color color) {
        borderTop = borderRight = borderBottom = borderLeft = Border{width, style, color};
    }
    paint::FontRequest Font() const { return {fontFamily.Text(), fontSize, bold, italic}; }
    float ExactFontSize() const { return exactFontSize100 ? exactFontSize100 / 100.0f : static_cast<float>(fontSize); }
    // The height of a line of this style's text in pixels; -1 for `normal` (the font's own).
    int LineHeight() const {
        if (lineHeight < 0) return -1;
        return static_cast<int>(std::min(lineHeightFactor ? lineHeight * fontSize + 0.5f : lineHeight, 100000.0f));
    }
    static const SharedText& DefaultFamily() {
        static const SharedText family(L"Times New Roman");
        return family;
    }
    // The style a child starts from: the inherited properties only.
    Style Inherit() const;
};

// CSS values --------------------------------------------------------------
// A colour name or #rgb/#rrggbb/rgb(r,g,b) (also bare hex as old pages write
// it); false when it is none of those.
bool ParseColor(const CString& text, paint::Color& out);
// A length in px, pt, em (against `fontSize`), % or a bare number (pixels).
bool ParseLength(const CString& text, int fontSize, Length& out);
// font-size: keywords, lengths, percentages, against the parent's size.
bool ParseFontSize(const CString& text, int parentSize, int& out);
bool ParseFontSize(const CString& text, float parentSize, float& out);
// Font sizes are kept within this many pixels.
constexpr int kMaxFontSize = 2000;
// The pixel size of <FONT size=n> (1..7, +n, -n against the base size 3).
int FontSizeForHtmlSize(const CString& text, int current, bool& ok);

}  // namespace layout
