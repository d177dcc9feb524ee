#include "layout/StyleResolver.h"

#include "dom/InlineStyle.h"
#include "dom/StyleRules.h"
#include "layout/HtmlPresentation.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace layout {

using dom::Tag;

namespace {

// Digits with at most a decimal point: a number without a unit.
bool IsPlainNumber(const CString& text) {
    bool digit = false;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (iswdigit(text[i])) digit = true;
        else if (text[i] != L'.') return false;
    }
    return digit;
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
        if (float exact = 0; ParseFontSize(value, parent.ExactFontSize(), exact)) SetExactFontSize(s, exact);
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
