// Styles: an element's inline style (IHTMLStyle), the style of a rule of an
// embedded style sheet (IHTMLRuleStyle), the sheets themselves and their rules.
#pragma once
#include "com/EngineComObject.h"
#include "com/DocumentState.h"
#include "com/NotImplemented.h"

namespace com {

// Where a style's declarations live.
class CssDeclarations {
public:
    virtual ~CssDeclarations() = default;
    virtual CString Text() const = 0;
    virtual void SetText(const CString& text) = 0;
    CString Get(const wchar_t* property) const;
    void Set(const wchar_t* property, const CString& value);
};

class InlineStyleAdapter final : public EngineComObject<InlineStyleAdapter, IHTMLStyleNotImpl> {
public:
    InlineStyleAdapter(StatePtr state, dom::NodePtr element);
    ~InlineStyleAdapter() override;
    void* FindInterface(REFIID riid);
    HRESULT STDMETHODCALLTYPE put_backgroundColor(VARIANT v) override;
    HRESULT STDMETHODCALLTYPE get_backgroundColor(VARIANT* p) override;
    HRESULT STDMETHODCALLTYPE put_color(VARIANT v) override;
    HRESULT STDMETHODCALLTYPE get_color(VARIANT* p) override;
    HRESULT STDMETHODCALLTYPE put_border(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_border(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_borderWidth(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_borderWidth(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_borderStyle(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_borderStyle(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_fontSize(VARIANT v) override;
    HRESULT STDMETHODCALLTYPE get_fontSize(VARIANT* p) override;
    HRESULT STDMETHODCALLTYPE put_fontFamily(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_fontFamily(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_width(VARIANT v) override;
    HRESULT STDMETHODCALLTYPE get_width(VARIANT* p) override;
    HRESULT STDMETHODCALLTYPE put_height(VARIANT v) override;
    HRESULT STDMETHODCALLTYPE get_height(VARIANT* p) override;
    HRESULT STDMETHODCALLTYPE put_textDecoration(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_textDecoration(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_cssText(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_cssText(BSTR* p) override;

private:
    StatePtr m_state;
    std::unique_ptr<CssDeclarations> m_declarations;
};

class RuleStyleAdapter final : public EngineComObject<RuleStyleAdapter, IHTMLRuleStyleNotImpl> {
public:
    RuleStyleAdapter(StatePtr state, dom::NodePtr sheet, int rule);
    ~RuleStyleAdapter() override;
    void* FindInterface(REFIID riid);
    HRESULT STDMETHODCALLTYPE put_backgroundColor(VARIANT v) override;
    HRESULT STDMETHODCALLTYPE get_backgroundColor(VARIANT* p) override;
    HRESULT STDMETHODCALLTYPE put_color(VARIANT v) override;
    HRESULT STDMETHODCALLTYPE get_color(VARIANT* p) override;
    HRESULT STDMETHODCALLTYPE put_border(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_border(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_borderWidth(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_borderWidth(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_borderStyle(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_borderStyle(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_fontSize(VARIANT v) override;
    HRESULT STDMETHODCALLTYPE get_fontSize(VARIANT* p) override;
    HRESULT STDMETHODCALLTYPE put_fontFamily(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_fontFamily(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_width(VARIANT v) override;
    HRESULT STDMETHODCALLTYPE get_width(VARIANT* p) override;
    HRESULT STDMETHODCALLTYPE put_height(VARIANT v) override;
    HRESULT STDMETHODCALLTYPE get_height(VARIANT* p) override;
    HRESULT STDMETHODCALLTYPE put_textDecoration(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_textDecoration(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_cssText(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_cssText(BSTR* p) override;

private:
    StatePtr m_state;
    std::unique_ptr<CssDeclarations> m_declarations;
};

class StyleSheetAdapter final : public EngineComObject<StyleSheetAdapter, IHTMLStyleSheetNotImpl> {
public:
    StyleSheetAdapter(StatePtr state, dom::NodePtr owner) : m_state(std::move(state)), m_owner(std::move(owner)) {}
    void* FindInterface(REFIID riid);
    HRESULT STDMETHODCALLTYPE get_href(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_rules(IHTMLStyleSheetRulesCollection** p) override;
    HRESULT STDMETHODCALLTYPE get_owningElement(IHTMLElement** p) override;
    HRESULT STDMETHODCALLTYPE get_cssText(BSTR* p) override;

private:
    StatePtr m_state;
    dom::NodePtr m_owner;  // the STYLE or LINK element
};

class RulesCollectionAdapter final : public EngineComObject<RulesCollectionAdapter, IHTMLStyleSheetRulesCollectionNotImpl> {
public:
    RulesCollectionAdapter(StatePtr state, dom::NodePtr sheet) : m_state(std::move(state)), m_sheet(std::move(sheet)) {}
    void* FindInterface(REFIID riid);
    HRESULT STDMETHODCALLTYPE get_length(LONG* p) override;
    HRESULT STDMETHODCALLTYPE item(LONG index, IHTMLStyleSheetRule** rule) override;

private:
    StatePtr m_state;
    dom::NodePtr m_sheet;
};

class RuleAdapter final : public EngineComObject<RuleAdapter, IHTMLStyleSheetRuleNotImpl> {
public:
    RuleAdapter(StatePtr state, dom::NodePtr sheet, int index) : m_state(std::move(state)), m_sheet(std::move(sheet)), m_index(index) {}
    void* FindInterface(REFIID riid);
    HRESULT STDMETHODCALLTYPE get_selectorText(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE get_style(IHTMLRuleStyle** p) override;

private:
    StatePtr m_state;
    dom::NodePtr m_sheet;
    int m_index;
};

class StyleSheetsAdapter final : public EngineComObject<StyleSheetsAdapter, IHTMLStyleSheetsCollectionNotImpl> {
public:
    explicit StyleSheetsAdapter(StatePtr state);
    void* FindInterface(REFIID riid);
    HRESULT STDMETHODCALLTYPE get_length(LONG* p) override;
    HRESULT STDMETHODCALLTYPE item(VARIANT* index, VARIANT* result) override;

private:
    StatePtr m_state;
    std::vector<dom::NodePtr> m_owners;
};

}  // namespace com
