#include "com/RangeAdapters.h"

#include "com/Convert.h"
#include "com/ElementAdapter.h"
#include "html/Serializer.h"

namespace com {

namespace {

bool ParseUnit(BSTR unit, editing::MoveUnit& out) {
    CString text = FromBstr(unit);
    if (text.CompareNoCase(L"character") == 0) out = editing::MoveUnit::Character;
    else if (text.CompareNoCase(L"textedit") == 0) out = editing::MoveUnit::TextEdit;
    else return false;
    return true;
}

bool InDocument(const StatePtr& state, const editing::Boundary& boundary) {
    return boundary.node && state->document->Contains(boundary.node.get());
}

// A control selection whose elements have all left the document becomes a
// caret where the first of them stood.
void DropVanishedControls(const StatePtr& state) {
    auto& selection = state->selection;
    if (selection.kind != editing::SelectionKind::Control) return;
    for (const auto& control : selection.controls)
        if (state->document->Contains(control.get())) return;
    selection.kind = editing::SelectionKind::None;
    selection.controls.clear();
}

}  // namespace

editing::TextRange SelectionRange(const StatePtr& state) {
    DropVanishedControls(state);
    editing::TextRange range(state->document);
    const auto& selection = state->selection;
    if (selection.kind != editing::SelectionKind::Control && InDocument(state, selection.start) && InDocument(state, selection.end)) {
        range.SetStart(selection.start);
        range.SetEnd(selection.end);
    }
    return range;
}

// IHTMLTxtRange -----------------------------------------------------------------

void* TextRangeAdapter::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLTxtRange) return static_cast<IHTMLTxtRange*>(this);
    return nullptr;
}

HRESULT TextRangeAdapter::get_htmlText(BSTR* p) { return ReturnString(m_range.HtmlText(), p); }
HRESULT TextRangeAdapter::put_text(BSTR v) {
    m_range.PasteHtml(html::EscapeText(FromBstr(v)));
    return S_OK;
}
HRESULT TextRangeAdapter::get_text(BSTR* p) { return ReturnString(m_range.Text(), p); }
HRESULT TextRangeAdapter::parentElement(IHTMLElement** parent) { return ReturnNode(m_state, m_range.ParentElement(), parent); }

HRESULT TextRangeAdapter::duplicate(IHTMLTxtRange** range) {
    if (!range) return E_POINTER;
    *range = CreateComObject<TextRangeAdapter>(m_state, m_range);
    return S_OK;
}

HRESULT TextRangeAdapter::collapse(VARIANT_BOOL start) {
    m_range.Collapse(start != VARIANT_FALSE);
    return S_OK;
}

HRESULT TextRangeAdapter::moveStart(BSTR unit, LONG count, LONG* actual) {
    editing::MoveUnit parsed;
    if (!ParseUnit(unit, parsed)) return E_NOTIMPL;
    LONG moved = m_range.MoveStart(parsed, count);
    if (actual) *actual = moved;
    return S_OK;
}

HRESULT TextRangeAdapter::moveEnd(BSTR unit, LONG count, LONG* actual) {
    editing::MoveUnit parsed;
    if (!ParseUnit(unit, parsed)) return E_NOTIMPL;
    LONG moved = m_range.MoveEnd(parsed, count);
    if (actual) *actual = moved;
    return S_OK;
}

HRESULT TextRangeAdapter::select() {
    auto& selection = m_state->selection;
    selection.kind = m_range.IsCollapsed() ? editing::SelectionKind::None : editing::SelectionKind::Text;
    selection.start = m_range.Start();
    selection.end = m_range.End();
    selection.controls.clear();
    if (m_state->commandRan) m_state->commandRan();  // shown at once: the caret and highlight follow
    return S_OK;
}

bool TextRangeAdapter::CoversSelection() const {
    const auto& selection = m_state->selection;
    auto same = [](const editing::Boundary& a, const editing::Boundary& b) { return a.node == b.node && a.offset == b.offset; };
    return m_ofSelection && selection.kind != editing::SelectionKind::Control && same(m_range.Start(), selection.start) &&
           same(m_range.End(), selection.end);
}

HRESULT TextRangeAdapter::pasteHTML(BSTR html) {
    const bool overSelection = CoversSelection();
    m_range.PasteHtml(FromBstr(html));
    if (!overSelection) return S_OK;
    // Pasted over the selection, as an editor pastes: the caret stands right
    // after the new content, where typing goes on, and the window draws it there.
    auto& selection = m_state->selection;
    selection.kind = editing::SelectionKind::None;
    selection.typing.clear();
    selection.controls.clear();
    selection.start = editing::NormalizeCaret(m_range.End());
    selection.end = selection.start;
    selection.focusAtStart = false;
    m_range.SetStart(selection.start);
    m_range.SetEnd(selection.start);
    if (m_state->commandRan) m_state->commandRan();
    return S_OK;
}

HRESULT TextRangeAdapter::moveToElementText(IHTMLElement* element) {
    dom::Node* node = NodeOf(element);
    if (!node || !m_state->document->Contains(node)) return E_INVALIDARG;
    m_range.SelectContents(*node);
    return S_OK;
}

HRESULT TextRangeAdapter::findText(BSTR text, LONG count, LONG flags, VARIANT_BOOL* success) {
    bool found = m_range.FindText(FromBstr(text), count >= 0, (flags & 4) != 0, (flags & 2) != 0);
    if (success) *success = ToVariantBool(found);
    return S_OK;
}

// IHTMLControlRange --------------------------------------------------------------

void* ControlRangeAdapter::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLControlRange) return static_cast<IHTMLControlRange*>(this);
    return nullptr;
}

HRESULT ControlRangeAdapter::select() {
    auto& selection = m_state->selection;
    selection.kind = editing::SelectionKind::Control;
    selection.controls = m_controls;
    if (!m_controls.empty() && m_controls.front()->Parent()) {
        dom::Node* parent = m_controls.front()->Parent();
        selection.start = {parent->Self(), m_controls.front()->IndexInParent()};
        selection.end = selection.start;
    }
    if (m_state->commandRan) m_state->commandRan();
    return S_OK;
}

HRESULT ControlRangeAdapter::add(IHTMLControlElement* item) {
    dom::Node* node = NodeOf(item);
    if (!node || !node->IsElement()) return E_INVALIDARG;
    m_controls.push_back(node->Self());
    return S_OK;
}

HRESULT ControlRangeAdapter::remove(LONG index) {
    if (index < 0 || index >= static_cast<LONG>(m_controls.size())) return E_INVALIDARG;
    m_controls.erase(m_controls.begin() + index);
    return S_OK;
}

HRESULT ControlRangeAdapter::item(LONG index, IHTMLElement** element) {
    if (!element) return E_POINTER;
    *element = nullptr;
    if (index < 0 || index >= static_cast<LONG>(m_controls.size())) return E_INVALIDARG;
    return ReturnNode(m_state, m_controls[static_cast<size_t>(index)].get(), element);
}

HRESULT ControlRangeAdapter::commonParentElement(IHTMLElement** parent) {
    if (m_controls.empty()) return ReturnNode(m_state, static_cast<dom::Node*>(nullptr), parent);
    return ReturnNode(m_state, m_controls.front()->ParentElement(), parent);
}

HRESULT ControlRangeAdapter::get_length(LONG* p) {
    if (!p) return E_POINTER;
    *p = static_cast<LONG>(m_controls.size());
    return S_OK;
}

// IHTMLSelectionObject ------------------------------------------------------------

void* SelectionAdapter::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLSelectionObject)
        return static_cast<IHTMLSelectionObject*>(this);
    return nullptr;
}

HRESULT SelectionAdapter::createRange(IDispatch** range) {
    if (!range) return E_POINTER;
    DropVanishedControls(m_state);
    if (m_state->selection.kind == editing::SelectionKind::Control) {
        *range = CreateComObject<ControlRangeAdapter>(m_state, m_state->selection.controls);
        return S_OK;
    }
    *range = CreateComObject<TextRangeAdapter>(m_state, SelectionRange(m_state), true);
    return S_OK;
}

HRESULT SelectionAdapter::empty() {
    m_state->selection = editing::Selection();
    return S_OK;
}

HRESULT SelectionAdapter::clear() {
    auto& selection = m_state->selection;
    if (selection.kind == editing::SelectionKind::Control) {
        for (auto& control : selection.controls) control->Remove();
    } else if (selection.kind == editing::SelectionKind::Text) {
        auto range = SelectionRange(m_state);
        range.PasteHtml(CString());
    }
    selection = editing::Selection();
    return S_OK;
}

HRESULT SelectionAdapter::get_type(BSTR* p) {
    switch (m_state->selection.kind) {
    case editing::SelectionKind::Text: return ReturnString(L"Text", p);
    case editing::SelectionKind::Control: return ReturnString(L"Control", p);
    default: return ReturnString(L"None", p);
    }
}

}  // namespace com
