#include "com/StyleAdapters.h"

#include "com/Convert.h"
#include "com/Collections.h"
#include "com/ElementAdapter.h"
#include "dom/InlineStyle.h"
#include "dom/StyleRules.h"

namespace com {

CString CssDeclarations::Get(const wchar_t* property) const { return dom::GetCssProperty(Text(), property); }
void CssDeclarations::Set(const wchar_t* property, const CString& value) { SetText(dom::SetCssProperty(Text(), property, value)); }

namespace {

class StyleAttribute final : public CssDeclarations {
public:
    explicit StyleAttribute(dom::NodePtr element) : m_element(std::move(element)) {}
    CString Text() const override { return m_element->GetAttribute(L"style"); }
    void SetText(const CString& text) override {
        if (text.IsEmpty()) m_element->RemoveAttribute(L"style");
        else m_element->SetAttribute(L"style", text);
    }

private:
    dom::NodePtr m_element;
};

CString SheetText(const dom::Node& sheet) {
    CString text;
    for (const auto& child : sheet.Children())
        if (child->IsText()) text += child->Data();
    return text;
}

void SetSheetText(dom::Node& sheet, const CString& text) {
    sheet.RemoveAllChildren();
    sheet.AppendChild(sheet.Owner()->CreateText(text));
}

class RuleDeclarations final : public CssDeclarations {
public:
    RuleDeclarations(dom::NodePtr sheet, int rule) : m_sheet(std::move(sheet)), m_rule(rule) {}
    CString Text() const override {
        auto rules = dom::ParseStyleRules(SheetText(*m_sheet));
        return m_rule < static_cast<int>(rules.size()) ? rules[static_cast<size_t>(m_rule)].declarations : CString();
    }
    void SetText(const CString& text) override {
        CString sheet = SheetText(*m_sheet);
        auto rules = dom::ParseStyleRules(sheet);
        if (m_rule < static_cast<int>(rules.size()))
            SetSheetText(*m_sheet, dom::ReplaceRuleDeclarations(sheet, rules[static_cast<size_t>(m_rule)], text));
    }

private:
    dom::NodePtr m_sheet;
    int m_rule;
};

HRESULT PutText(CssDeclarations& d, const wchar_t* property, BSTR v) {
    d.Set(property, FromBstr(v));
    return S_OK;
}
HRESULT PutVariant(CssDeclarations& d, const wchar_t* property, const VARIANT& v) {
    d.Set(property, VariantToText(v));
    return S_OK;
}
HRESULT GetText(const CssDeclarations& d, const wchar_t* property, BSTR* p) { return ReturnString(d.Get(property), p); }
HRESULT GetVariant(const CssDeclarations& d, const wchar_t* property, VARIANT* p) { return ReturnVariantString(d.Get(property), p); }

}  // namespace

InlineStyleAdapter::InlineStyleAdapter(StatePtr state, dom::NodePtr element)
    : m_state(std::move(state)), m_declarations(std::make_unique<StyleAttribute>(std::move(element))) {}
InlineStyleAdapter::~InlineStyleAdapter() = default;

void* InlineStyleAdapter::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLStyle) return static_cast<IHTMLStyle*>(this);
    return nullptr;
}

RuleStyleAdapter::RuleStyleAdapter(StatePtr state, dom::NodePtr sheet, int rule)
    : m_state(std::move(state)), m_declarations(std::make_unique<RuleDeclarations>(std::move(sheet), rule)) {}
RuleStyleAdapter::~RuleStyleAdapter() = default;

void* RuleStyleAdapter::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLRuleStyle) return static_cast<IHTMLRuleStyle*>(this);
    return nullptr;
}

HRESULT InlineStyleAdapter::put_backgroundColor(VARIANT v) { return PutVariant(*m_declarations, L"background-color", v); }
HRESULT InlineStyleAdapter::get_backgroundColor(VARIANT* p) { return GetVariant(*m_declarations, L"background-color", p); }
HRESULT InlineStyleAdapter::put_color(VARIANT v) { return PutVariant(*m_declarations, L"color", v); }
HRESULT InlineStyleAdapter::get_color(VARIANT* p) { return GetVariant(*m_declarations, L"color", p); }
HRESULT InlineStyleAdapter::put_border(BSTR v) { return PutText(*m_declarations, L"border", v); }
HRESULT InlineStyleAdapter::get_border(BSTR* p) { return GetText(*m_declarations, L"border", p); }
HRESULT InlineStyleAdapter::put_borderWidth(BSTR v) { return PutText(*m_declarations, L"border-width", v); }
HRESULT InlineStyleAdapter::get_borderWidth(BSTR* p) { return GetText(*m_declarations, L"border-width", p); }
HRESULT InlineStyleAdapter::put_borderStyle(BSTR v) { return PutText(*m_declarations, L"border-style", v); }
HRESULT InlineStyleAdapter::get_borderStyle(BSTR* p) { return GetText(*m_declarations, L"border-style", p); }
HRESULT InlineStyleAdapter::put_fontSize(VARIANT v) { return PutVariant(*m_declarations, L"font-size", v); }
HRESULT InlineStyleAdapter::get_fontSize(VARIANT* p) { return GetVariant(*m_declarations, L"font-size", p); }
HRESULT InlineStyleAdapter::put_fontFamily(BSTR v) { return PutText(*m_declarations, L"font-family", v); }
HRESULT InlineStyleAdapter::get_fontFamily(BSTR* p) { return GetText(*m_declarations, L"font-family", p); }
HRESULT InlineStyleAdapter::put_width(VARIANT v) { return PutVariant(*m_declarations, L"width", v); }
HRESULT InlineStyleAdapter::get_width(VARIANT* p) { return GetVariant(*m_declarations, L"width", p); }
HRESULT InlineStyleAdapter::put_height(VARIANT v) { return PutVariant(*m_declarations, L"height", v); }
HRESULT InlineStyleAdapter::get_height(VARIANT* p) { return GetVariant(*m_declarations, L"height", p); }
HRESULT InlineStyleAdapter::put_textDecoration(BSTR v) { return PutText(*m_declarations, L"text-decoration", v); }
HRESULT InlineStyleAdapter::get_textDecoration(BSTR* p) { return GetText(*m_declarations, L"text-decoration", p); }
HRESULT InlineStyleAdapter::put_cssText(BSTR v) {
    m_declarations->SetText(FromBstr(v));
    return S_OK;
}
HRESULT InlineStyleAdapter::get_cssText(BSTR* p) { return ReturnString(m_declarations->Text(), p); }

HRESULT RuleStyleAdapter::put_backgroundColor(VARIANT v) { return PutVariant(*m_declarations, L"background-color", v); }
HRESULT RuleStyleAdapter::get_backgroundColor(VARIANT* p) { return GetVariant(*m_declarations, L"background-color", p); }
HRESULT RuleStyleAdapter::put_color(VARIANT v) { return PutVariant(*m_declarations, L"color", v); }
HRESULT RuleStyleAdapter::get_color(VARIANT* p) { return GetVariant(*m_declarations, L"color", p); }
HRESULT RuleStyleAdapter::put_border(BSTR v) { return PutText(*m_declarations, L"border", v); }
HRESULT RuleStyleAdapter::get_border(BSTR* p) { return GetText(*m_declarations, L"border", p); }
HRESULT RuleStyleAdapter::put_borderWidth(BSTR v) { return PutText(*m_declarations, L"border-width", v); }
HRESULT RuleStyleAdapter::get_borderWidth(BSTR* p) { return GetText(*m_declarations, L"border-width", p); }
HRESULT RuleStyleAdapter::put_borderStyle(BSTR v) { return PutText(*m_declarations, L"border-style", v); }
HRESULT RuleStyleAdapter::get_borderStyle(BSTR* p) { return GetText(*m_declarations, L"border-style", p); }
HRESULT RuleStyleAdapter::put_fontSize(VARIANT v) { return PutVariant(*m_declarations, L"font-size", v); }
HRESULT RuleStyleAdapter::get_fontSize(VARIANT* p) { return GetVariant(*m_declarations, L"font-size", p); }
HRESULT RuleStyleAdapter::put_fontFamily(BSTR v) { return PutText(*m_declarations, L"font-family", v); }
HRESULT RuleStyleAdapter::get_fontFamily(BSTR* p) { return GetText(*m_declarations, L"font-family", p); }
HRESULT RuleStyleAdapter::put_width(VARIANT v) { return PutVariant(*m_declarations, L"width", v); }
HRESULT RuleStyleAdapter::get_width(VARIANT* p) { return GetVariant(*m_declarations, L"width", p); }
HRESULT RuleStyleAdapter::put_height(VARIANT v) { return PutVariant(*m_declarations, L"height", v); }
HRESULT RuleStyleAdapter::get_height(VARIANT* p) { return GetVariant(*m_declarations, L"height", p); }
HRESULT RuleStyleAdapter::put_textDecoration(BSTR v) { return PutText(*m_declarations, L"text-decoration", v); }
HRESULT RuleStyleAdapter::get_textDecoration(BSTR* p) { return GetText(*m_declarations, L"text-decoration", p); }
HRESULT RuleStyleAdapter::put_cssText(BSTR v) {
    m_declarations->SetText(FromBstr(v));
    return S_OK;
}
HRESULT RuleStyleAdapter::get_cssText(BSTR* p) { return ReturnString(m_declarations->Text(), p); }


void* StyleSheetAdapter::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLStyleSheet) return static_cast<IHTMLStyleSheet*>(this);
    return nullptr;
}

HRESULT StyleSheetAdapter::get_href(BSTR* p) {
    return ReturnString(m_owner->Is(dom::Tag::Link) ? m_owner->GetAttribute(L"href") : CString(), p);
}

HRESULT StyleSheetAdapter::get_rules(IHTMLStyleSheetRulesCollection** p) {
    if (!p) return E_POINTER;
    *p = CreateComObject<RulesCollectionAdapter>(m_state, m_owner);
    return S_OK;
}

HRESULT StyleSheetAdapter::get_owningElement(IHTMLElement** p) { return ReturnNode(m_state, m_owner.get(), p); }
HRESULT StyleSheetAdapter::get_cssText(BSTR* p) { return ReturnString(m_owner->Is(dom::Tag::Style) ? SheetText(*m_owner) : CString(), p); }

void* RulesCollectionAdapter::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLStyleSheetRulesCollection)
        return static_cast<IHTMLStyleSheetRulesCollection*>(this);
    return nullptr;
}

HRESULT RulesCollectionAdapter::get_length(LONG* p) {
    if (!p) return E_POINTER;
    *p = m_sheet->Is(dom::Tag::Style) ? static_cast<LONG>(dom::ParseStyleRules(SheetText(*m_sheet)).size()) : 0;
    return S_OK;
}

HRESULT RulesCollectionAdapter::item(LONG index, IHTMLStyleSheetRule** rule) {
    if (!rule) return E_POINTER;
    *rule = nullptr;
    LONG length = 0;
    get_length(&length);
    if (index < 0 || index >= length) return E_INVALIDARG;
    *rule = CreateComObject<RuleAdapter>(m_state, m_sheet, static_cast<int>(index));
    return S_OK;
}

void* RuleAdapter::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLStyleSheetRule) return static_cast<IHTMLStyleSheetRule*>(this);
    return nullptr;
}

HRESULT RuleAdapter::get_selectorText(BSTR* p) {
    auto rules = dom::ParseStyleRules(SheetText(*m_sheet));
    return ReturnString(m_index < static_cast<int>(rules.size()) ? rules[static_cast<size_t>(m_index)].selector : CString(), p);
}

HRESULT RuleAdapter::get_style(IHTMLRuleStyle** p) {
    if (!p) return E_POINTER;
    *p = CreateComObject<RuleStyleAdapter>(m_state, m_sheet, m_index);
    return S_OK;
}

StyleSheetsAdapter::StyleSheetsAdapter(StatePtr state) : m_state(std::move(state)) {
    for (auto& element : FindElements(*m_state->document, L"*")) {
        if (element->Is(dom::Tag::Style) ||
            (element->Is(dom::Tag::Link) && element->GetAttribute(L"rel").CompareNoCase(L"stylesheet") == 0))
            m_owners.push_back(element);
    }
}

void* StyleSheetsAdapter::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLStyleSheetsCollection)
        return static_cast<IHTMLStyleSheetsCollection*>(this);
    return nullptr;
}

HRESULT StyleSheetsAdapter::get_length(LONG* p) {
    if (!p) return E_POINTER;
    *p = static_cast<LONG>(m_owners.size());
    return S_OK;
}

HRESULT StyleSheetsAdapter::item(VARIANT* index, VARIANT* result) {
    if (!index || !result) return E_POINTER;
    long at = 0;
    if (!VariantToIndex(*index, at) || at < 0 || at >= static_cast<long>(m_owners.size())) return E_INVALIDARG;
    VariantInit(result);
    result->vt = VT_DISPATCH;
    result->pdispVal = CreateComObject<StyleSheetAdapter>(m_state, m_owners[static_cast<size_t>(at)]);
    return S_OK;
}

}  // namespace com
