// Text ranges (IHTMLTxtRange), control ranges (IHTMLControlRange) and the
// selection object (IHTMLSelectionObject) over the editing layer.
#pragma once
#include "com/EngineComObject.h"
#include "com/DocumentState.h"
#include "com/NotImplemented.h"
#include "editing/TextRange.h"

namespace com {

class TextRangeAdapter final : public EngineComObject<TextRangeAdapter, IHTMLTxtRangeNotImpl> {
public:
    // ofSelection: the range the selection made (createRange), which pastes
    // as the selection would while it still covers what the selection does.
    TextRangeAdapter(StatePtr state, editing::TextRange range, bool ofSelection = false)
        : m_state(std::move(state)), m_range(std::move(range)), m_ofSelection(ofSelection) {}
    void* FindInterface(REFIID riid);
    editing::TextRange& Range() { return m_range; }

    HRESULT STDMETHODCALLTYPE get_htmlText(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE put_text(BSTR v) override;
    HRESULT STDMETHODCALLTYPE get_text(BSTR* p) override;
    HRESULT STDMETHODCALLTYPE parentElement(IHTMLElement** parent) override;
    HRESULT STDMETHODCALLTYPE duplicate(IHTMLTxtRange** range) override;
    HRESULT STDMETHODCALLTYPE collapse(VARIANT_BOOL start) override;
    HRESULT STDMETHODCALLTYPE moveStart(BSTR unit, LONG count, LONG* actual) override;
    HRESULT STDMETHODCALLTYPE moveEnd(BSTR unit, LONG count, LONG* actual) override;
    HRESULT STDMETHODCALLTYPE select() override;
    HRESULT STDMETHODCALLTYPE pasteHTML(BSTR html) override;
    HRESULT STDMETHODCALLTYPE moveToElementText(IHTMLElement* element) override;
    HRESULT STDMETHODCALLTYPE findText(BSTR text, LONG count, LONG flags, VARIANT_BOOL* success) override;

private:
    // True while the range is the selection's own: made by it, and neither
    // it nor the selection moved since.
    bool CoversSelection() const;

    StatePtr m_state;
    editing::TextRange m_range;
    bool m_ofSelection = false;
};

class ControlRangeAdapter final : public EngineComObject<ControlRangeAdapter, IHTMLControlRangeNotImpl> {
public:
    ControlRangeAdapter(StatePtr state, std::vector<dom::NodePtr> controls) : m_state(std::move(state)), m_controls(std::move(controls)) {}
    void* FindInterface(REFIID riid);
    HRESULT STDMETHODCALLTYPE select() override;
    HRESULT STDMETHODCALLTYPE add(IHTMLControlElement* item) override;
    HRESULT STDMETHODCALLTYPE remove(LONG index) override;
    HRESULT STDMETHODCALLTYPE item(LONG index, IHTMLElement** element) override;
    HRESULT STDMETHODCALLTYPE commonParentElement(IHTMLElement** parent) override;
    HRESULT STDMETHODCALLTYPE get_length(LONG* p) override;

private:
    StatePtr m_state;
    std::vector<dom::NodePtr> m_controls;
};

class SelectionAdapter final : public EngineComObject<SelectionAdapter, IHTMLSelectionObjectNotImpl> {
public:
    explicit SelectionAdapter(StatePtr state) : m_state(std::move(state)) {}
    void* FindInterface(REFIID riid);
    HRESULT STDMETHODCALLTYPE createRange(IDispatch** range) override;
    HRESULT STDMETHODCALLTYPE empty() override;
    HRESULT STDMETHODCALLTYPE clear() override;
    HRESULT STDMETHODCALLTYPE get_type(BSTR* p) override;

private:
    StatePtr m_state;
};

// The selection as a text range (a caret at the body's start when nothing was selected).
editing::TextRange SelectionRange(const StatePtr& state);

}  // namespace com
