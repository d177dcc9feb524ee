// Styles: an element's inline style or a style-sheet rule's style, read and
// written by property code; and an embedded style sheet with its rules.
#pragma once
#include "com/ComQuery.h"
#include "core/String.h"

#include <windows.h>
#include <mshtml.h>

// Property codes of bcHtmlStyle.
enum bcStyleProperty {
    bcStyleBackgroundColor = 0,
    bcStyleColor = 1,
    bcStyleBorder = 2,
    bcStyleBorderWidth = 3,
    bcStyleBorderStyle = 4,
    bcStyleFontSize = 5,
    bcStyleFontFamily = 6,
    bcStyleWidth = 7,
    bcStyleHeight = 8,
    bcStyleTextDecoration = 9,
};

class bcHtmlStyle {
public:
    bcHtmlStyle() = default;
    bcHtmlStyle(IHTMLStyle* inlineStyle, IHTMLRuleStyle* ruleStyle) : m_style(inlineStyle), m_ruleStyle(ruleStyle) {}
    virtual ~bcHtmlStyle() = default;
    bcHtmlStyle(const bcHtmlStyle&) = default;
    bcHtmlStyle& operator=(const bcHtmlStyle&) = default;

    virtual bool IsValid() const { return m_style || m_ruleStyle; }
    // Writes the property on the inline style when there is one, else on the rule's style.
    bool SetProperty(int code, const CString& text);
    CString GetProperty(int code) const;

private:
    ComPtr<IHTMLStyle> m_style;
    ComPtr<IHTMLRuleStyle> m_ruleStyle;
};

class bcHtmlStyleSheet {
public:
    bcHtmlStyleSheet() = default;
    bcHtmlStyleSheet(IHTMLStyleSheet* sheet, IHTMLStyleSheetRulesCollection* rules) : m_sheet(sheet), m_rules(rules) {}
    virtual ~bcHtmlStyleSheet() = default;
    bcHtmlStyleSheet(const bcHtmlStyleSheet&) = default;
    bcHtmlStyleSheet& operator=(const bcHtmlStyleSheet&) = default;

    virtual bool IsValid() const { return m_sheet && m_rules; }
    // The style of the first rule whose selector equals the text, ignoring case.
    bcHtmlStyle GetRuleStyle(const CString& selector) const;

private:
    ComPtr<IHTMLStyleSheet> m_sheet;
    ComPtr<IHTMLStyleSheetRulesCollection> m_rules;
};
