#include "layout/StyleResolver.h"

#include "dom/InlineStyle.h"
#include "dom/StyleRules.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace layout {

using dom::Tag;

namespace {

CString Lower(CString text) {
    text.Trim();
    text.MakeLower();
    return text;
}

// The font family of FONT face= or font-family. Browsers give the generic family `monospace`,
// named alone, 13/16 of the size it would have; any other family (a named fixed-pitch face
// too, or "monospace, monospace") keeps the size, and takes back one scaled before it.
void SetFontFamily(Style& s, const CString& family) {
    s.fontFamily = family;
    const bool generic = Lower(family) == L"monospace";
    if (generic && !s.unscaledFontSize) {
        s.unscaledFontSize = s.fontSize;
        s.fontSize = std::max(1, (s.fontSize * 13 + 8) / 16);
    } else if (!generic && s.unscaledFontSize) {
        s.fontSize = s.unscaledFontSize;
        s.unscaledFontSize = 0;
    }
}

// Digits with at most a decimal point: a number without a unit.
bool IsPlainNumber(const CString& text) {
    bool digit = false;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (iswdigit(text[i])) digit = true;
        else if (text[i] != L'.') return false;
    }
    return digit;
}

// A size set outright: no longer one the monospace family scaled.
void SetFontSize(Style& s, int size) {
    s.fontSize = size;
    s.unscaledFontSize = 0;
}

// The top and bottom margin of a heading in ems of its own size.
float HeadingMargin(const dom::Node& e) {
    static const float kMargin[] = {0.67f, 0.83f, 1.0f, 1.33f, 1.67f, 2.33f};
    return kMargin[static_cast<int>(e.TagId()) - static_cast<int>(Tag::H1)];
}

// The agent's top and bottom margins given in ems (paragraphs, lists, headings, PRE) come
// from the element's own font size, whatever set it: computed again once the style is complete.
void EmMargins(Style& s, const dom::Node& e) {
    float ems = 0;
    switch (e.TagId()) {
    case Tag::P: case Tag::Dl: case Tag::Figure: case Tag::Blockquote: case Tag::Pre: case Tag::Xmp: case Tag::Listing:
    case Tag::Plaintext:
        ems = 1;
        break;
    case Tag::Ul: case Tag::Ol: case Tag::Dir: case Tag::Menu:
        ems = s.margin.top.value > 0 ? 1 : 0;  // nested lists have none
        break;
    case Tag::H1: case Tag::H2: case Tag::H3: case Tag::H4: case Tag::H5: case Tag::H6:
        ems = HeadingMargin(e);
        break;
    default:
        return;
    }
    if (s.marginTopQuirk) s.margin.top = Length::Px(s.fontSize * ems);
    if (s.marginBottomQuirk) s.margin.bottom = Length::Px(s.fontSize * ems);
}

void SetMargins(Style& s, float vertical, float horizontal, bool quirk) {
    s.margin.top = s.margin.bottom = Length::Px(vertical);
    s.margin.left = s.margin.right = Length::Px(horizontal);
    s.marginTopQuirk = s.marginBottomQuirk = quirk;
}


// Integer attribute value ("3", "3px"); false when it does not start with a digit.
bool AttributeNumber(const dom::Node& e, const wchar_t* name, int& out) {
    const dom::Attribute* a = e.FindAttribute(name);
    if (!a) return false;
    CString text = a->value;
    text.Trim();
    if (text.IsEmpty() || !(iswdigit(text[0]) || text[0] == L'+')) return false;
    long value = std::wcstol(text.GetString(), nullptr, 10);
    out = static_cast<int>(std::clamp(value, 0L, 100000L));
    return true;
}

// width= and height= as browsers read them: pixels, or a percentage.
bool AttributeLength(const dom::Node& e, const wchar_t* name, Length& out) {
    const dom::Attribute* a = e.FindAttribute(name);
    if (!a) return false;
    CString text = a->value;
    text.Trim();
    if (text.IsEmpty() || !iswdigit(text[0])) return false;
    double value = std::wcstod(text.GetString(), nullptr);
    value = std::clamp(value, 0.0, 1e6);
    out = text.Find(L'%') >= 0 ? Length::Percent(static_cast<float>(value)) : Length::Px(static_cast<float>(value));
    return true;
}

bool AttributeColor(const dom::Node& e, const wchar_t* name, paint::Color& out) {
    const dom::Attribute* a = e.FindAttribute(name);
    return a && ParseColor(a->value, out);
}

// align= of a table's row, row group or cell: centre (browsers' legacy centring) also centres
// the fixed-width blocks inside; left and right align only text.
void SetCellAlign(Style& s, TextAlign align) {
    s.textAlign = align;
    s.blockAlign = align == TextAlign::Center ? TextAlign::Center : TextAlign::Left;
}

bool AlignOf(const CString& value, TextAlign& out) {
    CString v = Lower(value);
    if (v == L"left") out = TextAlign::Left;
    else if (v == L"center" || v == L"middle") out = TextAlign::Center;
    else if (v == L"right") out = TextAlign::Right;
    else if (v == L"justify") out = TextAlign::Justify;
    else return false;
    return true;
}

// valign= as browsers read it; false (and `out` kept) for anything else.
bool VerticalAlignOf(const CString& value, VerticalAlign& out) {
    const CString v = Lower(value);
    if (v == L"top") out = VerticalAlign::Top;
    else if (v == L"bottom") out = VerticalAlign::Bottom;
    else if (v == L"middle" || v == L"center") out = VerticalAlign::Middle;
    else if (v == L"baseline") out = VerticalAlign::Baseline;
    else return false;
    return true;
}

const dom::Node* EnclosingTable(const dom::Node& e) {
    for (const dom::Node* p = e.Parent(); p; p = p->Parent())
        if (p->Is(Tag::Table)) return p;
    return nullptr;
}

ListMarker MarkerOfType(const CString& type, bool ordered) {
    if (type == L"1") return ListMarker::Decimal;
    if (type == L"a") return ListMarker::LowerAlpha;
    if (type == L"A") return ListMarker::UpperAlpha;
    if (type == L"i") return ListMarker::LowerRoman;
    if (type == L"I") return ListMarker::UpperRoman;
    CString lower = Lower(type);
    if (lower == L"disc") return ListMarker::Disc;
    if (lower == L"circle") return ListMarker::Circle;
    if (lower == L"square") return ListMarker::Square;
    return ordered ? ListMarker::Decimal : ListMarker::Disc;
}

int ListDepth(const dom::Node& e) {
    int depth = 0;
    for (const dom::Node* p = e.Parent(); p; p = p->Parent())
        if (p->Is(Tag::Ul) || p->Is(Tag::Ol) || p->Is(Tag::Dir) || p->Is(Tag::Menu)) ++depth;
    return depth;
}

void AgentDefaults(Style& s, const dom::Node& e, const Style& parent) {
    switch (e.TagId()) {
    case Tag::Head: case Tag::Script: case Tag::Style: case Tag::Title: case Tag::Meta: case Tag::Link:
    case Tag::Base: case Tag::Param: case Tag::Noembed: case Tag::Noframes: case Tag::Area: case Tag::Col:
    case Tag::Colgroup: case Tag::Basefont: case Tag::Bgsound: case Tag::Source: case Tag::Track: case Tag::Noscript:
        s.display = Display::None;
        break;
    case Tag::Html: case Tag::Div: case Tag::Address: case Tag::Article: case Tag::Aside: case Tag::Footer:
    case Tag::Header: case Tag::Hgroup: case Tag::Main: case Tag::Nav: case Tag::Section: case Tag::Form:
    case Tag::Details: case Tag::Summary: case Tag::Figcaption: case Tag::Legend: case Tag::Center: case Tag::Frameset:
    case Tag::Frame:
        s.display = Display::Block;
        break;
    case Tag::Body:
        s.display = Display::Block;
        s.margin.SetAll(Length::Px(8));
        break;
    case Tag::P: case Tag::Dl:
        s.display = Display::Block;
        SetMargins(s, static_cast<float>(parent.fontSize), 0, true);
        break;
    case Tag::Figure: case Tag::Blockquote:
        s.display = Display::Block;
        SetMargins(s, static_cast<float>(parent.fontSize), 40, true);
        break;
    case Tag::Fieldset:
        s.display = Display::Block;
        s.margin.left = s.margin.right = Length::Px(2);
        s.padding = {Length::Px(5.6f), Length::Px(12), Length::Px(10), Length::Px(12)};
        s.SetBorder(2, BorderStyle::Inset, paint::Rgb(192, 192, 192));
        break;
    case Tag::Dd:
        s.display = Display::Block;
        s.margin.left = Length::Px(40);
        break;
    case Tag::Dt:
        s.display = Display::Block;
        break;
    case Tag::H1: case Tag::H2: case Tag::H3: case Tag::H4: case Tag::H5: case Tag::H6: {
        static const float kSize[] = {2.0f, 1.5f, 1.17f, 1.0f, 0.83f, 0.67f};
        int level = static_cast<int>(e.TagId()) - static_cast<int>(Tag::H1);
        s.display = Display::Block;
        s.bold = true;
        s.fontSize = std::clamp(static_cast<int>(parent.fontSize * kSize[level] + 0.5f), 1, kMaxFontSize);
        SetMargins(s, s.fontSize * HeadingMargin(e), 0, true);
        break;
    }
    case Tag::Ul: case Tag::Ol: case Tag::Dir: case Tag::Menu: {
        s.display = Display::Block;
        bool nested = ListDepth(e) > 0;
        SetMargins(s, nested ? 0.0f : static_cast<float>(parent.fontSize), 0, true);
        s.padding.left = Length::Px(40);
        if (e.Is(Tag::Ol)) s.listMarker = ListMarker::Decimal;
        else s.listMarker = nested ? (ListDepth(e) == 1 ? ListMarker::Circle : ListMarker::Square) : ListMarker::Disc;
        break;
    }
    case Tag::Li:
        s.display = Display::ListItem;
        break;
    case Tag::Pre: case Tag::Xmp: case Tag::Listing: case Tag::Plaintext:
        s.display = Display::Block;
        s.whiteSpace = WhiteSpace::Pre;
        SetFontFamily(s, L"monospace");
        SetMargins(s, static_cast<float>(s.fontSize), 0, true);
        break;
    case Tag::Code: case Tag::Tt: case Tag::Kbd: case Tag::Samp:
        SetFontFamily(s, L"monospace");
        break;
    case Tag::B: case Tag::Strong:
        s.bold = true;
        break;
    case Tag::I: case Tag::Em: case Tag::Cite: case Tag::Var: case Tag::Dfn:
        s.italic = true;
        break;
    case Tag::U: case Tag::Ins:
        s.underline = true;
        break;
    case Tag::S: case Tag::Strike: case Tag::Del:
        s.strike = true;
        break;
    case Tag::Big:
        s.fontSize = std::min(parent.fontSize * 6 / 5, kMaxFontSize);
        break;
    case Tag::Small:
        s.fontSize = std::max(1, parent.fontSize * 5 / 6);
        break;
    case Tag::Sub: case Tag::Sup:
        s.fontSize = std::max(1, parent.fontSize * 5 / 6);
        s.verticalAlign = e.Is(Tag::Sub) ? VerticalAlign::Sub : VerticalAlign::Super;
        break;
    case Tag::Nobr:
        s.whiteSpace = WhiteSpace::NoWrap;
        break;
    case Tag::A:
        if (e.HasAttribute(L"href")) {
            s.link = true;
            s.color = parent.linkColor;
            s.underline = true;
        }
        break;
    case Tag::Hr:
        s.display = Display::Block;
        s.margin.top = s.margin.bottom = Length::Px(parent.fontSize * 0.5f);
        s.autoMarginLeft = s.autoMarginRight = true;
        s.SetBorder(1, BorderStyle::Inset, paint::Rgb(128, 128, 128));
        break;
    case Tag::Table:
        s.display = Display::Table;
        if (parent.quirks) {  // tables do not inherit the text's font in old pages
            s.fontSize = 16;
            s.bold = s.italic = false;
            s.whiteSpace = WhiteSpace::Normal;
        }
        s.textAlign = TextAlign::Left;
        s.blockAlign = TextAlign::Left;
        break;
    case Tag::Caption:
        s.display = Display::Caption;
        s.textAlign = TextAlign::Center;
        break;
    case Tag::Thead: case Tag::Tbody: case Tag::Tfoot:
        s.display = Display::RowGroup;
        break;
    case Tag::Tr:
        s.display = Display::Row;
        break;
    case Tag::Td: case Tag::Th:
        s.display = Display::Cell;
        s.padding.SetAll(Length::Px(1));
        s.verticalAlign = VerticalAlign::Middle;
        if (e.Is(Tag::Th)) {
            s.bold = true;
            s.textAlign = TextAlign::Center;
        }
        break;
    case Tag::Img: case Tag::Input: case Tag::Select: case Tag::Textarea: case Tag::Button: case Tag::Iframe:
    case Tag::Object: case Tag::Embed: case Tag::Applet:
        s.display = Display::InlineBlock;
        if (e.Is(Tag::Input)) {
            // Check boxes and option buttons keep a little room around them, as browsers give them.
            const CString& type = e.GetAttribute(L"type");
            if (type.CompareNoCase(L"checkbox") == 0) {
                s.margin.SetAll(Length::Px(3));
                s.margin.left = Length::Px(4);
            } else if (type.CompareNoCase(L"radio") == 0) {
                s.margin.SetAll(Length::Px(3));
                s.margin.bottom = Length::Px(0);
                s.margin.left = Length::Px(5);
            }
        }
        break;
    default:
        break;
    }
}

void PresentationalAttributes(Style& s, const dom::Node& e, const Style& parent) {
    paint::Color color;
    Length length;
    int number;
    TextAlign align;
    switch (e.TagId()) {
    case Tag::Br:
        // clear=left|right|all (also "both"): the line after the break starts below those floats.
        if (const auto* clear = e.FindAttribute(L"clear")) {
            const CString side = Lower(clear->value);
            s.clear = side == L"left" ? Clear::Left : side == L"right" ? Clear::Right
                      : side == L"all" || side == L"both" ? Clear::Both : Clear::None;
        }
        break;
    case Tag::Font: {
        if (const auto* size = e.FindAttribute(L"size")) {
            bool ok;
            int pixels = FontSizeForHtmlSize(size->value, s.fontSize, ok);
            if (ok) SetFontSize(s, pixels);
        }
        if (const auto* face = e.FindAttribute(L"face"); face && !face->value.IsEmpty()) SetFontFamily(s, face->value);
        if (AttributeColor(e, L"color", color)) s.color = color;
        break;
    }
    case Tag::Body:
        if (AttributeColor(e, L"bgcolor", color)) s.background = color;
        if (AttributeColor(e, L"text", color)) s.color = color;
        if (AttributeColor(e, L"link", color)) s.linkColor = color;
        if (const auto* image = e.FindAttribute(L"background")) s.backgroundImage = image->value;
        if (AttributeNumber(e, L"leftmargin", number)) s.margin.left = s.margin.right = Length::Px(static_cast<float>(number));
        if (AttributeNumber(e, L"topmargin", number)) s.margin.top = s.margin.bottom = Length::Px(static_cast<float>(number));
        if (AttributeNumber(e, L"marginwidth", number)) s.margin.left = s.margin.right = Length::Px(static_cast<float>(number));
        if (AttributeNumber(e, L"marginheight", number)) s.margin.top = s.margin.bottom = Length::Px(static_cast<float>(number));
        break;
    case Tag::P: case Tag::Div: case Tag::H1: case Tag::H2: case Tag::H3: case Tag::H4: case Tag::H5: case Tag::H6:
    case Tag::Caption: case Tag::Legend:
        if (const auto* a = e.FindAttribute(L"align"); a && AlignOf(a->value, align)) {
            // As the legacy text alignments do: blocks of a fixed width inside follow it too.
            s.textAlign = align;
            s.blockAlign = align == TextAlign::Justify ? TextAlign::Left : align;
        }
        break;
    case Tag::Center:
        s.textAlign = s.blockAlign = TextAlign::Center;
        break;
    case Tag::Ul: case Tag::Ol: case Tag::Li:
        if (const auto* type = e.FindAttribute(L"type")) s.listMarker = MarkerOfType(type->value, e.Is(Tag::Ol) || parent.listMarker >= ListMarker::Decimal);
        break;
    case Tag::Hr: {
        bool noshade = e.HasAttribute(L"noshade");
        bool hasColor = AttributeColor(e, L"color", color);
        if (hasColor) {
            s.SetBorder(1, BorderStyle::Solid, color);
            s.background = color;
        } else if (noshade) {
            s.SetBorder(1, BorderStyle::Solid, paint::Rgb(128, 128, 128));
            s.background = paint::Rgb(128, 128, 128);
        }
        if (AttributeNumber(e, L"size", number)) {
            if (number > 1) s.height = Length::Px(static_cast<float>(number - 2));
            else s.borderBottom.width = 0;
        }
        if (AttributeLength(e, L"width", length) && length.value > 0) s.width = length;
        if (const auto* a = e.FindAttribute(L"align"); a && AlignOf(a->value, align)) {
            s.autoMarginLeft = align != TextAlign::Left;
            s.autoMarginRight = align != TextAlign::Right;
            if (!s.autoMarginLeft) s.margin.left = Length::Px(0);
            if (!s.autoMarginRight) s.margin.right = Length::Px(0);
        }
        break;
    }
    case Tag::Table: {
        if (AttributeLength(e, L"width", length) && length.value > 0) s.width = length;
        if (AttributeLength(e, L"height", length) && length.value > 0) s.height = length;
        if (AttributeColor(e, L"bgcolor", color)) s.background = color;
        if (const auto* image = e.FindAttribute(L"background")) s.backgroundImage = image->value;
        if (AttributeNumber(e, L"cellspacing", number)) s.borderSpacing = std::min(number, 10000);
        if (e.HasAttribute(L"border")) {
            int border = 1;
            AttributeNumber(e, L"border", border);
            if (!e.GetAttribute(L"border").IsEmpty() && !AttributeNumber(e, L"border", border)) border = 1;
            border = std::min(border, 10000);
            paint::Color borderColor = paint::Rgb(128, 128, 128);
            if (AttributeColor(e, L"bordercolor", color)) borderColor = color;
            s.SetBorder(border, BorderStyle::Outset, borderColor);
        }
        if (const auto* a = e.FindAttribute(L"align"); a && AlignOf(a->value, align)) {
            if (align == TextAlign::Center) s.autoMarginLeft = s.autoMarginRight = true;
            else if (align == TextAlign::Right) s.autoMarginLeft = true;
            else if (align == TextAlign::Left) s.floating = Float::Left;
            if (align == TextAlign::Right) s.floating = Float::Right;
        }
        break;
    }
    case Tag::Tr: case Tag::Tbody: case Tag::Thead: case Tag::Tfoot:
        if (e.Is(Tag::Tr) && AttributeLength(e, L"height", length) && length.value > 0) s.height = length;
        if (AttributeColor(e, L"bgcolor", color)) s.background = color;
        if (const auto* a = e.FindAttribute(L"align"); a && AlignOf(a->value, align)) SetCellAlign(s, align);
        if (const auto* v = e.FindAttribute(L"valign")) VerticalAlignOf(v->value, s.verticalAlign);
        break;
    case Tag::Td: case Tag::Th: {
        if (const dom::Node* table = EnclosingTable(e)) {
            if (AttributeNumber(*table, L"cellpadding", number)) s.padding.SetAll(Length::Px(static_cast<float>(std::min(number, 10000))));
            if (table->HasAttribute(L"border")) {
                int border = 1;
                if (!table->GetAttribute(L"border").IsEmpty() && !AttributeNumber(*table, L"border", border)) border = 1;
                paint::Color borderColor = paint::Rgb(128, 128, 128);
                if (AttributeColor(*table, L"bordercolor", color)) borderColor = color;
                if (border > 0) s.SetBorder(1, BorderStyle::Inset, borderColor);
            }
        }
        // Row alignment reaches the cells of the row.
        if (const dom::Node* row = e.Parent(); row && row->Is(Tag::Tr))
            if (const auto* a = row->FindAttribute(L"valign")) VerticalAlignOf(a->value, s.verticalAlign);
        if (AttributeLength(e, L"width", length) && (length.value > 0)) s.width = length;
        if (AttributeLength(e, L"height", length) && (length.value > 0)) s.height = length;
        if (AttributeColor(e, L"bgcolor", color)) s.background = color;
        if (const auto* image = e.FindAttribute(L"background")) s.backgroundImage = image->value;
        if (const auto* a = e.FindAttribute(L"align"); a && AlignOf(a->value, align)) SetCellAlign(s, align);
        if (const auto* v = e.FindAttribute(L"valign")) VerticalAlignOf(v->value, s.verticalAlign);
        if (e.HasAttribute(L"nowrap")) s.whiteSpace = WhiteSpace::NoWrap;
        break;
    }
    case Tag::Img: {
        if (AttributeLength(e, L"width", length)) s.width = length;
        if (AttributeLength(e, L"height", length)) s.height = length;
        if (AttributeNumber(e, L"border", number)) s.SetBorder(std::min(number, 1000), BorderStyle::Solid, paint::kTransparent);
        else if (parent.link) s.SetBorder(0, BorderStyle::None, paint::kTransparent);
        if (AttributeNumber(e, L"hspace", number)) s.margin.left = s.margin.right = Length::Px(static_cast<float>(std::min(number, 10000)));
        if (AttributeNumber(e, L"vspace", number)) s.margin.top = s.margin.bottom = Length::Px(static_cast<float>(std::min(number, 10000)));
        if (const auto* a = e.FindAttribute(L"align")) {
            CString value = Lower(a->value);
            // A floating picture keeps 3 px from the text beside it, unless hspace says otherwise.
            const bool spaced = e.HasAttribute(L"hspace");
            if (value == L"left") s.floating = Float::Left, s.margin.right = spaced ? s.margin.right : Length::Px(3);
            else if (value == L"right") s.floating = Float::Right, s.margin.left = spaced ? s.margin.left : Length::Px(3);
            else if (value == L"top" || value == L"texttop") s.verticalAlign = VerticalAlign::Top;
            else if (value == L"middle" || value == L"absmiddle" || value == L"center") s.verticalAlign = VerticalAlign::Middle;
            else if (value == L"bottom" || value == L"absbottom") s.verticalAlign = VerticalAlign::Baseline;
        }
        break;
    }
    case Tag::Pre:
        if (e.HasAttribute(L"wrap")) s.whiteSpace = WhiteSpace::PreWrap;
        break;
    default:
        break;
    }
}

// "1px solid red" and its parts.
void ApplyBorder(Border& border, const CString& value, int fontSize, bool setWidth, bool setStyle, bool setColor) {
    int start = 0;
    CString text = value + L" ";
    bool sawStyle = false;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] != L' ') continue;
        CString part = Lower(text.Mid(start, i - start));
        start = i + 1;
        if (part.IsEmpty()) continue;
        Length length;
        paint::Color color;
        if (setStyle && (part == L"solid" || part == L"inset" || part == L"outset" || part == L"dotted" || part == L"dashed" ||
                         part == L"double" || part == L"groove" || part == L"ridge" || part == L"none" || part == L"hidden")) {
            border.style = part == L"none" || part == L"hidden" ? BorderStyle::None
                           : part == L"inset" || part == L"groove" ? BorderStyle::Inset
                           : part == L"outset" || part == L"ridge" ? BorderStyle::Outset
                           : part == L"dotted" ? BorderStyle::Dotted
                           : part == L"dashed" ? BorderStyle::Dashed
                           : part == L"double" ? BorderStyle::Double : BorderStyle::Solid;
            sawStyle = true;
        } else if (setWidth && (part == L"thin" || part == L"medium" || part == L"thick")) {
            border.width = part == L"thin" ? 1 : part == L"medium" ? 3 : 5;
        } else if (setWidth && ParseLength(part, fontSize, length) && !length.IsPercent() && !length.IsAuto()) {
            border.width = std::clamp(length.Resolve(0), 0, 10000);
        } else if (setColor && ParseColor(part, color)) {
            border.color = color;
        }
    }
    if (setWidth && setStyle && !sawStyle) border.style = BorderStyle::None;
    if (setWidth && setStyle && setColor && sawStyle && border.width == 0 && value.Find(L'0') < 0) border.width = 3;
}

// "1px 2px", "1px 2px 3px 4px" into four edges.
void ApplyBox(Edges& edges, const CString& value, int fontSize, bool& autoLeft, bool& autoRight) {
    std::vector<Length> parts;
    std::vector<bool> automatic;
    int start = 0;
    CString text = value + L" ";
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] != L' ') continue;
        CString part = text.Mid(start, i - start);
        start = i + 1;
        if (part.IsEmpty()) continue;
        Length length;
        if (!ParseLength(part, fontSize, length)) return;
        automatic.push_back(length.IsAuto());
        if (length.IsAuto()) length = Length::Px(0);
        parts.push_back(length);
    }
    if (parts.empty() || parts.size() > 4) return;
    size_t n = parts.size();
    edges.top = parts[0];
    edges.right = parts[n > 1 ? 1 : 0];
    edges.bottom = parts[n > 2 ? 2 : 0];
    edges.left = parts[n > 3 ? 3 : n > 1 ? 1 : 0];
    autoRight = automatic[n > 1 ? 1 : 0];
    autoLeft = automatic[n > 3 ? 3 : n > 1 ? 1 : 0];
}

}  // namespace

std::vector<PreparedDeclaration> PrepareDeclarations(const CString& declarations) {
    std::vector<PreparedDeclaration> result;
    for (auto& [name, text] : dom::ParseCssDeclarations(declarations)) {
        CString value = text;
        const int important = Lower(value).Find(L"!important");
        if (important >= 0) {
            value = value.Left(important);
            value.Trim();
        }
        result.push_back({Lower(name), value, Lower(value)});
    }
    return result;
}

namespace {

void ApplyDeclaration(Style& s, const PreparedDeclaration& declaration, const Style& parent) {
    const CString& name = declaration.name;
    const CString& value = declaration.value;
    const CString& lower = declaration.lower;
    paint::Color color;
    Length len;
    int size;
    TextAlign align;
    bool ignoredLeft = false, ignoredRight = false;
    if (name == L"color") {
        if (ParseColor(value, color)) s.color = color;
    } else if (name == L"background-color") {
        if (ParseColor(value, color)) s.background = color;
        else if (lower == L"transparent") s.background = paint::kTransparent;
    } else if (name == L"background") {
        int space = 0;
        CString text = lower + L" ";
        for (int i = 0; i < text.GetLength(); ++i)
            if (text[i] == L' ') {
                if (ParseColor(text.Mid(space, i - space), color)) s.background = color;
                space = i + 1;
            }
    } else if (name == L"font-family") {
        if (!value.IsEmpty()) SetFontFamily(s, value);
    } else if (name == L"font-size") {
        if (ParseFontSize(value, parent.fontSize, size)) SetFontSize(s, size);
    } else if (name == L"border-collapse") {
        if (lower == L"collapse") s.borderCollapse = true;
        else if (lower == L"separate") s.borderCollapse = false;
    } else if (name == L"line-height") {
        if (lower == L"normal") {
            s.lineHeight = -1;
        } else if (IsPlainNumber(lower)) {
            s.lineHeight = std::clamp(static_cast<float>(std::wcstod(lower.GetString(), nullptr)), 0.0f, 1000.0f);
            s.lineHeightFactor = true;
        } else if (ParseLength(value, s.fontSize, len) && !len.IsAuto() && len.value >= 0) {
            s.lineHeight = static_cast<float>(len.Resolve(s.fontSize));
            s.lineHeightFactor = false;
        }
    } else if (name == L"font-weight") {
        if (lower == L"bold" || lower == L"bolder") s.bold = true;
        else if (lower == L"normal" || lower == L"lighter") s.bold = false;
        else if (iswdigit(lower.IsEmpty() ? L'x' : lower[0])) s.bold = std::wcstol(lower.GetString(), nullptr, 10) >= 600;
    } else if (name == L"font-style") {
        s.italic = lower == L"italic" || lower == L"oblique";
    } else if (name == L"text-decoration" || name == L"text-decoration-line") {
        if (lower.Find(L"none") >= 0) s.underline = s.strike = false;
        if (lower.Find(L"underline") >= 0) s.underline = true;
        if (lower.Find(L"line-through") >= 0) s.strike = true;
    } else if (name == L"text-align") {
        if (AlignOf(lower, align)) s.textAlign = align, s.blockAlign = TextAlign::Left;  // aligns text, not blocks
    } else if (name == L"white-space") {
        s.whiteSpace = lower == L"pre" ? WhiteSpace::Pre : lower == L"nowrap" ? WhiteSpace::NoWrap
                      : lower == L"pre-wrap" || lower == L"pre-line" ? WhiteSpace::PreWrap : WhiteSpace::Normal;
    } else if (name == L"width") {
        if (ParseLength(value, s.fontSize, len) && len.value >= 0) s.width = len;
    } else if (name == L"height") {
        if (ParseLength(value, s.fontSize, len) && len.value >= 0) s.height = len;
    } else if (name == L"margin") {
        ApplyBox(s.margin, value, s.fontSize, s.autoMarginLeft, s.autoMarginRight);
        s.marginTopQuirk = s.marginBottomQuirk = false;
    } else if (name == L"margin-top" || name == L"margin-bottom" || name == L"margin-left" || name == L"margin-right") {
        if (!ParseLength(value, s.fontSize, len)) return;
        bool automatic = len.IsAuto();
        if (automatic) len = Length::Px(0);
        if (name == L"margin-top") s.margin.top = len, s.marginTopQuirk = false;
        else if (name == L"margin-bottom") s.margin.bottom = len, s.marginBottomQuirk = false;
        else if (name == L"margin-left") s.margin.left = len, s.autoMarginLeft = automatic;
        else s.margin.right = len, s.autoMarginRight = automatic;
    } else if (name == L"padding") {
        ApplyBox(s.padding, value, s.fontSize, ignoredLeft, ignoredRight);
    } else if (name == L"padding-top" || name == L"padding-bottom" || name == L"padding-left" || name == L"padding-right") {
        if (!ParseLength(value, s.fontSize, len) || len.IsAuto() || len.value < 0) return;
        if (name == L"padding-top") s.padding.top = len;
        else if (name == L"padding-bottom") s.padding.bottom = len;
        else if (name == L"padding-left") s.padding.left = len;
        else s.padding.right = len;
    } else if (name == L"border" || name == L"border-width" || name == L"border-style" || name == L"border-color") {
        bool all = name == L"border";
        for (Border* border : {&s.borderTop, &s.borderRight, &s.borderBottom, &s.borderLeft}) {
            if (all) *border = Border{3, BorderStyle::None, paint::kTransparent};
            ApplyBorder(*border, value, s.fontSize, all || name == L"border-width", all || name == L"border-style",
                        all || name == L"border-color");
        }
    } else if (name.Find(L"border-") == 0) {
        CString side = name.Mid(7);
        int dash = side.Find(L'-');
        CString part = dash < 0 ? CString() : side.Mid(dash + 1);
        if (dash >= 0) side = side.Left(dash);
        Border* border = side == L"top" ? &s.borderTop : side == L"right" ? &s.borderRight : side == L"bottom" ? &s.borderBottom
                         : side == L"left" ? &s.borderLeft : nullptr;
        if (!border) return;
        if (part.IsEmpty()) *border = Border{3, BorderStyle::None, paint::kTransparent};
        ApplyBorder(*border, value, s.fontSize, part.IsEmpty() || part == L"width", part.IsEmpty() || part == L"style",
                    part.IsEmpty() || part == L"color");
    } else if (name == L"display") {
        if (lower == L"none") s.display = Display::None;
        else if (lower == L"block") s.display = Display::Block;
        else if (lower == L"inline") s.display = Display::Inline;
        else if (lower == L"inline-block") s.display = Display::InlineBlock;
        else if (lower == L"list-item") s.display = Display::ListItem;
        else if (lower == L"table") s.display = Display::Table;
    } else if (name == L"vertical-align") {
        s.verticalAlign = lower == L"top" || lower == L"text-top" ? VerticalAlign::Top
                          : lower == L"middle" ? VerticalAlign::Middle
                          : lower == L"bottom" || lower == L"text-bottom" ? VerticalAlign::Bottom
                          : lower == L"sub" ? VerticalAlign::Sub : lower == L"super" ? VerticalAlign::Super : VerticalAlign::Baseline;
    } else if (name == L"list-style-type" || name == L"list-style") {
        s.listMarker = lower.Find(L"none") >= 0 ? ListMarker::None : MarkerOfType(lower.Find(L"decimal") >= 0 ? CString(L"1") : lower, false);
    } else if (name == L"float") {
        s.floating = lower == L"left" ? Float::Left : lower == L"right" ? Float::Right : Float::None;
    } else if (name == L"clear") {
        s.clear = lower == L"left" ? Clear::Left : lower == L"right" ? Clear::Right : lower == L"both" ? Clear::Both : Clear::None;
    } else if (name == L"overflow") {
        s.overflow = lower == L"hidden" ? Overflow::Hidden : lower == L"auto" ? Overflow::Auto
                     : lower == L"scroll" ? Overflow::Scroll : Overflow::Visible;
    }
}

}  // namespace

void ApplyDeclarations(Style& style, const std::vector<PreparedDeclaration>& declarations, const Style& parent) {
    for (const auto& declaration : declarations) ApplyDeclaration(style, declaration, parent);
}

void ApplyDeclarations(Style& style, const CString& declarations, const Style& parent) {
    ApplyDeclarations(style, PrepareDeclarations(declarations), parent);
}

StyleResolver::StyleResolver(const dom::Document& document) {
    for (const auto& child : document.Children())
        if (child->Kind() == dom::NodeKind::Doctype) {
            CString text = Lower(child->Data());
            if (text.Find(L"doctype") == 0) text = Lower(text.Mid(7));
            if (text == L"html" || text.Find(L"strict") >= 0 || text.Find(L"xhtml") >= 0 || text.Find(L"http://") >= 0)
                m_initial.quirks = false;
        }
    // The sheets, in document order.
    std::vector<const dom::Node*> stack{&document};
    while (!stack.empty()) {
        const dom::Node* node = stack.back();
        stack.pop_back();
        if (node->Is(Tag::Style)) {
            CString sheet;
            for (const auto& text : node->Children())
                if (text->IsText()) sheet += text->Data();
            AddSheet(sheet);
            continue;
        }
        const auto& children = node->Children();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            if ((*it)->IsElement()) stack.push_back(it->get());
    }
    std::stable_sort(m_rules.begin(), m_rules.end(), [](const Rule& a, const Rule& b) {
        return a.specificity != b.specificity ? a.specificity < b.specificity : a.order < b.order;
    });
    IndexRules();
}

void StyleResolver::IndexRules() {
    for (int i = 0; i < static_cast<int>(m_rules.size()); ++i) {
        const Compound& subject = m_rules[i].chain.back();
        if (!subject.id.IsEmpty()) m_byId[subject.id].push_back(i);
        else if (!subject.classes.empty()) m_byClass[subject.classes.front()].push_back(i);
        else if (!subject.tag.IsEmpty()) m_byTag[subject.tag].push_back(i);
        else m_anyElement.push_back(i);
    }
}

void StyleResolver::Candidates(const dom::Node& element, std::vector<int>& out) const {
    auto add = [&](const std::unordered_map<CString, std::vector<int>>& index, const CString& key) {
        if (auto it = index.find(key); it != index.end()) out.insert(out.end(), it->second.begin(), it->second.end());
    };
    out = m_anyElement;
    if (!m_byTag.empty()) add(m_byTag, element.TagName());
    if (!m_byId.empty())
        if (const auto* id = element.FindAttribute(L"id")) add(m_byId, NameKey(id->value));
    if (!m_byClass.empty())
        if (const auto* classes = element.FindAttribute(L"class")) {
            const CString& text = classes->value;
            for (int i = 0; i < text.GetLength();) {
                while (i < text.GetLength() && iswspace(text[i])) ++i;
                int end = i;
                while (end < text.GetLength() && !iswspace(text[end])) ++end;
                if (end > i) add(m_byClass, NameKey(text.Mid(i, end - i)));
                i = end;
            }
        }
    // In the order the rules apply; a class named twice brings its rules once.
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
}

void StyleResolver::AddSheet(const CString& sheet) {
    constexpr size_t kMaxRules = 10000;
    for (const auto& parsed : dom::ParseStyleRules(sheet)) {
        const std::vector<PreparedDeclaration> declarations = PrepareDeclarations(parsed.declarations);
        int start = 0;
        CString selectors = parsed.selector + L",";
        for (int i = 0; i < selectors.GetLength(); ++i) {
            if (selectors[i] != L',') continue;
            CString selector = selectors.Mid(start, i - start);
            start = i + 1;
            selector.Trim();
            if (selector.IsEmpty() || m_rules.size() >= kMaxRules) continue;
            Rule rule;
            rule.order = static_cast<int>(m_rules.size());
            rule.declarations = declarations;
            bool valid = true;
            CString text = selector + L" ";
            int partStart = 0;
            for (int j = 0; j < text.GetLength(); ++j) {
                wchar_t c = text[j];
                if (c != L' ' && c != L'\t' && c != L'\n' && c != L'\r') continue;
                CString part = text.Mid(partStart, j - partStart);
                partStart = j + 1;
                if (part.IsEmpty()) continue;
                if (part == L">" || part == L"+" || part == L"~") {
                    valid = false;
                    break;
                }
                Compound compound;
                int k = 0;
                auto readName = [&]() {
                    int from = k;
                    while (k < part.GetLength() && part[k] != L'.' && part[k] != L'#' && part[k] != L':' && part[k] != L'[') ++k;
                    return part.Mid(from, k - from);
                };
                CString tag = readName();
                if (tag != L"*") {
                    compound.tag = tag;
                    compound.tag.MakeUpper();
                    if (!tag.IsEmpty()) rule.specificity += 1;
                }
                while (k < part.GetLength() && valid) {
                    wchar_t kind = part[k++];
                    CString name = readName();
                    if (kind == L'.') compound.classes.push_back(NameKey(name)), rule.specificity += 100;
                    else if (kind == L'#') compound.id = NameKey(name), rule.specificity += 10000;
                    else if (kind == L':') {
                        CString pseudo = Lower(name);
                        rule.specificity += 100;
                        if (pseudo == L"link") compound.link = true;
                        else compound.never = true;
                    } else valid = false;
                }
                rule.chain.push_back(compound);
            }
            if (valid && !rule.chain.empty()) m_rules.push_back(std::move(rule));
        }
    }
}

CString StyleResolver::NameKey(const CString& name) const {
    if (!m_initial.quirks) return name;
    CString lower = name;
    lower.MakeLower();
    return lower;
}

bool StyleResolver::Matches(const Compound& compound, const dom::Node& element) const {
    if (compound.never) return false;
    if (!compound.tag.IsEmpty() && compound.tag != element.TagName()) return false;
    if (compound.link && !(element.Is(Tag::A) && element.HasAttribute(L"href"))) return false;
    if (!compound.id.IsEmpty() && NameKey(element.GetAttribute(L"id")) != compound.id) return false;
    if (!compound.classes.empty()) {
        CString classes = L" " + NameKey(element.GetAttribute(L"class")) + L" ";
        classes.Replace(L'\t', L' ');
        for (const auto& name : compound.classes)
            if (classes.Find(L" " + name + L" ") < 0) return false;
    }
    return true;
}

bool StyleResolver::Matches(const Rule& rule, const dom::Node& element) const {
    int index = static_cast<int>(rule.chain.size()) - 1;
    if (!Matches(rule.chain[index], element)) return false;
    const dom::Node* ancestor = element.Parent();
    for (--index; index >= 0; --index) {
        while (ancestor && !(ancestor->IsElement() && Matches(rule.chain[index], *ancestor))) ancestor = ancestor->Parent();
        if (!ancestor) return false;
        ancestor = ancestor->Parent();
    }
    return true;
}

Style StyleResolver::Resolve(const dom::Node& element, const Style& parent) const {
    Style style = parent.Inherit();
    AgentDefaults(style, element, parent);
    PresentationalAttributes(style, element, parent);
    if (!m_rules.empty()) {
        std::vector<int> candidates;
        Candidates(element, candidates);
        for (int index : candidates)
            if (Matches(m_rules[index], element)) ApplyDeclarations(style, m_rules[index].declarations, parent);
    }
    if (const auto* inlineStyle = element.FindAttribute(L"style")) ApplyDeclarations(style, inlineStyle->value, parent);
    EmMargins(style, element);
    if (style.borderCollapse && style.display == Display::Table) style.borderSpacing = 0;
    return style;
}

}  // namespace layout
