#include "layout/HtmlPresentation.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <cwctype>

namespace layout {

using dom::Tag;

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
        s.exactFontSize100 = 0;
    } else if (!generic && s.unscaledFontSize) {
        s.fontSize = s.unscaledFontSize;
        s.unscaledFontSize = 0;
        s.exactFontSize100 = 0;
    }
}


// A size set outright: no longer one the monospace family scaled.
void SetFontSize(Style& s, int size) {
    s.fontSize = size;
    s.unscaledFontSize = 0;
    s.exactFontSize100 = 0;
}

void SetExactFontSize(Style& s, float size) {
    size = std::clamp(size, 1.0f, static_cast<float>(kMaxFontSize));
    SetFontSize(s, static_cast<int>(std::lround(size)));
    const int exact = static_cast<int>(std::lround(size * 100));
    if (exact != s.fontSize * 100) s.exactFontSize100 = exact;
}

namespace {

// The top and bottom margin of a heading in ems of its own size.
float HeadingMargin(const dom::Node& e) {
    static const float kMargin[] = {0.67f, 0.83f, 1.0f, 1.33f, 1.67f, 2.33f};
    return kMargin[static_cast<int>(e.TagId()) - static_cast<int>(Tag::H1)];
}

}  // namespace

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

namespace {

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

}  // namespace

bool AlignOf(const CString& value, TextAlign& out) {
    CString v = Lower(value);
    if (v == L"left") out = TextAlign::Left;
    else if (v == L"center" || v == L"middle") out = TextAlign::Center;
    else if (v == L"right") out = TextAlign::Right;
    else if (v == L"justify") out = TextAlign::Justify;
    else return false;
    return true;
}

namespace {

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

}  // namespace

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

namespace {

int ListDepth(const dom::Node& e) {
    int depth = 0;
    for (const dom::Node* p = e.Parent(); p; p = p->Parent())
        if (p->Is(Tag::Ul) || p->Is(Tag::Ol) || p->Is(Tag::Dir) || p->Is(Tag::Menu)) ++depth;
    return depth;
}

}  // namespace

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
        SetExactFontSize(s, parent.ExactFontSize() * kSize[level]);
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
        SetExactFontSize(s, parent.ExactFontSize() * 1.2f);
        break;
    case Tag::Small:
        SetExactFontSize(s, parent.ExactFontSize() / 1.2f);
        break;
    case Tag::Sub: case Tag::Sup:
        SetExactFontSize(s, parent.ExactFontSize() / 1.2f);
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

}  // namespace layout
