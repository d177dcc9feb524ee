#include "html/HtmlStyle.h"

#include "html/HtmlConvert.h"

namespace {

// One property on either kind of style object: the same members exist on both.
template <typename Style>
bool SetOn(Style* style, int code, const CString& text) {
    ScopedBstr value(text);
    VARIANT variant;
    variant.vt = VT_BSTR;
    variant.bstrVal = value;
    switch (code) {
    case bcStyleBackgroundColor: return SUCCEEDED(style->put_backgroundColor(variant));
    case bcStyleColor: return SUCCEEDED(style->put_color(variant));
    case bcStyleBorder: return SUCCEEDED(style->put_border(value));
    case bcStyleBorderWidth: return SUCCEEDED(style->put_borderWidth(value));
    case bcStyleBorderStyle: return SUCCEEDED(style->put_borderStyle(value));
    case bcStyleFontSize: return SUCCEEDED(style->put_fontSize(variant));
    case bcStyleFontFamily: return SUCCEEDED(style->put_fontFamily(value));
    case bcStyleWidth: return SUCCEEDED(style->put_width(variant));
    case bcStyleHeight: return SUCCEEDED(style->put_height(variant));
    case bcStyleTextDecoration: return SUCCEEDED(style->put_textDecoration(value));
    default: return false;
    }
}

template <typename Style>
CString GetFrom(Style* style, int code) {
    VARIANT variant;
    VariantInit(&variant);
    BSTR text = nullptr;
    HRESULT hr = E_FAIL;
    bool isVariant = true;
    switch (code) {
    case bcStyleBackgroundColor: hr = style->get_backgroundColor(&variant); break;
    case bcStyleColor: hr = style->get_color(&variant); break;
    case bcStyleFontSize: hr = style->get_fontSize(&variant); break;
    case bcStyleWidth: hr = style->get_width(&variant); break;
    case bcStyleHeight: hr = style->get_height(&variant); break;
    case bcStyleBorder: isVariant = false, hr = style->get_border(&text); break;
    case bcStyleBorderWidth: isVariant = false, hr = style->get_borderWidth(&text); break;
    case bcStyleBorderStyle: isVariant = false, hr = style->get_borderStyle(&text); break;
    case bcStyleFontFamily: isVariant = false, hr = style->get_fontFamily(&text); break;
    case bcStyleTextDecoration: isVariant = false, hr = style->get_textDecoration(&text); break;
    default: return CString();
    }
    if (FAILED(hr)) return CString();
    if (!isVariant) return BstrToString(text);
    CString result = VariantToString(variant);
    VariantClear(&variant);
    return result;
}

}  // namespace

bool bcHtmlStyle::SetProperty(int code, const CString& text) {
    if (m_style) return SetOn(m_style.Get(), code, text);
    if (m_ruleStyle) return SetOn(m_ruleStyle.Get(), code, text);
    return false;
}

CString bcHtmlStyle::GetProperty(int code) const {
    if (m_style) return GetFrom(m_style.Get(), code);
    if (m_ruleStyle) return GetFrom(m_ruleStyle.Get(), code);
    return CString();
}

bcHtmlStyle bcHtmlStyleSheet::GetRuleStyle(const CString& selector) const {
    if (!IsValid()) return bcHtmlStyle();
    LONG count = 0;
    if (FAILED(m_rules->get_length(&count))) return bcHtmlStyle();
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IHTMLStyleSheetRule> rule;
        if (FAILED(m_rules->item(i, rule.Receive())) || !rule) continue;
        BSTR text = nullptr;
        if (FAILED(rule->get_selectorText(&text))) continue;
        if (BstrToString(text).CompareNoCase(selector) != 0) continue;
        ComPtr<IHTMLRuleStyle> style;
        if (FAILED(rule->get_style(style.Receive()))) return bcHtmlStyle();
        return bcHtmlStyle(nullptr, style.Get());
    }
    return bcHtmlStyle();
}
