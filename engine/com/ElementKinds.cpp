// The interfaces of particular elements: tables, rows, cells, forms and
// their controls, the body.
#include "com/Collections.h"
#include "com/Convert.h"
#include "com/ElementAdapter.h"
#include "com/RangeAdapters.h"
#include "dom/TextContent.h"

namespace com {

using dom::Node;
using dom::NodePtr;
using dom::Tag;

namespace {

// The rows in the order a browser gives them: those of the header sections,
// then those of the bodies and of the table itself, then those of the footers.
std::vector<NodePtr> TableRows(Node& table) {
    std::vector<NodePtr> rows;
    auto sectionRows = [&rows](const Node& section) {
        for (const auto& row : section.Children())
            if (row->Is(Tag::Tr)) rows.push_back(row);
    };
    for (const auto& child : table.Children())
        if (child->Is(Tag::Thead)) sectionRows(*child);
    for (const auto& child : table.Children()) {
        if (child->Is(Tag::Tr)) rows.push_back(child);
        if (child->Is(Tag::Tbody)) sectionRows(*child);
    }
    for (const auto& child : table.Children())
        if (child->Is(Tag::Tfoot)) sectionRows(*child);
    return rows;
}

std::vector<NodePtr> RowCells(Node& row) {
    std::vector<NodePtr> cells;
    for (const auto& child : row.Children())
        if (child->Is(Tag::Td) || child->Is(Tag::Th)) cells.push_back(child);
    return cells;
}

std::vector<NodePtr> SelectOptions(Node& select) { return FindElements(select, L"OPTION"); }

// A drop-down list (one choice, shown one line high) always shows an option:
// with none marked selected, the first that is not disabled. A list box
// shows none.
bool IsDropDown(const Node& select) { return !select.HasAttribute(L"multiple") && _wtoi(select.GetAttribute(L"size")) <= 1; }

LONG SelectedOption(Node& select) {
    auto options = SelectOptions(select);
    for (size_t i = 0; i < options.size(); ++i)
        if (options[i]->HasAttribute(L"selected")) return static_cast<LONG>(i);
    if (IsDropDown(select))
        for (size_t i = 0; i < options.size(); ++i)
            if (!options[i]->HasAttribute(L"disabled")) return static_cast<LONG>(i);
    return -1;
}

Node* Ancestor(Node& node, Tag tag) {
    for (Node* parent = node.Parent(); parent; parent = parent->Parent())
        if (parent->Is(tag)) return parent;
    return nullptr;
}

HRESULT PutColour(Node& element, const VARIANT& v) {
    element.SetAttribute(L"bgColor", VariantToText(v));
    return S_OK;
}

HRESULT GetColour(Node& element, VARIANT* p) { return ReturnVariantString(element.GetAttribute(L"bgColor"), p); }

LONG Span(Node& cell, const wchar_t* name) {
    int span = _wtoi(cell.GetAttribute(name));
    return span >= 1 ? span : 1;
}


}  // namespace

// TABLE -----------------------------------------------------------------------

void* TableAdapter::FindInterface(REFIID riid) {
    if (riid == IID_IHTMLTable) return static_cast<IHTMLTable*>(this);
    return FindNodeInterface(riid);
}

HRESULT TableAdapter::put_bgColor(VARIANT v) { return PutColour(Target(), v); }
HRESULT TableAdapter::get_bgColor(VARIANT* p) { return GetColour(Target(), p); }
HRESULT TableAdapter::get_rows(IHTMLElementCollection** p) { return ReturnCollection(m_state, TableRows(Target()), p); }

HRESULT TableAdapter::get_tBodies(IHTMLElementCollection** p) {
    std::vector<NodePtr> bodies;
    for (const auto& child : Target().Children())
        if (child->Is(Tag::Tbody)) bodies.push_back(child);
    return ReturnCollection(m_state, std::move(bodies), p);
}

HRESULT TableAdapter::insertRow(LONG index, IDispatch** row) {
    auto rows = TableRows(Target());
    LONG count = static_cast<LONG>(rows.size());
    if (index < -1 || index > count) return E_INVALIDARG;
    NodePtr created = Target().Owner()->CreateElement(L"TR");
    if (index == -1 || index == count) {
        // After the last row of the body: not into a header or footer.
        dom::Node* section = nullptr;
        for (auto row = rows.rbegin(); row != rows.rend() && !section; ++row)
            if (!(*row)->Parent()->Is(Tag::Thead) && !(*row)->Parent()->Is(Tag::Tfoot)) section = (*row)->Parent();
        dom::Node* lastBody = nullptr;
        for (const auto& child : Target().Children())
            if (child->Is(Tag::Tbody)) lastBody = child.get();
        if (!section) section = lastBody;
        if (!section) {
            NodePtr body = Target().Owner()->CreateElement(L"TBODY");
            Target().AppendChild(body);
            section = body.get();
        }
        section->AppendChild(created);
    } else {
        Node& before = *rows[static_cast<size_t>(index)];
        before.Parent()->InsertBefore(created, &before);
    }
    return row ? ReturnNode(m_state, created.get(), row) : S_OK;
}

HRESULT TableAdapter::deleteRow(LONG index) {
    auto rows = TableRows(Target());
    if (index == -1) index = static_cast<LONG>(rows.size()) - 1;
    if (index < 0 || index >= static_cast<LONG>(rows.size())) return E_INVALIDARG;
    rows[static_cast<size_t>(index)]->Remove();
    return S_OK;
}

// TR ----------------------------------------------------------------------------

void* RowAdapter::FindInterface(REFIID riid) {
    if (riid == IID_IHTMLTableRow) return static_cast<IHTMLTableRow*>(this);
    return FindNodeInterface(riid);
}

HRESULT RowAdapter::put_bgColor(VARIANT v) { return PutColour(Target(), v); }
HRESULT RowAdapter::get_bgColor(VARIANT* p) { return GetColour(Target(), p); }

HRESULT RowAdapter::get_rowIndex(LONG* p) {
    if (!p) return E_POINTER;
    *p = -1;
    if (dom::Node* table = Ancestor(Target(), Tag::Table)) {
        auto rows = TableRows(*table);
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i] == m_node) *p = static_cast<LONG>(i);
    }
    return S_OK;
}

HRESULT RowAdapter::get_sectionRowIndex(LONG* p) {
    if (!p) return E_POINTER;
    *p = -1;
    int index = 0;
    if (dom::Node* parent = Target().Parent())
        for (const auto& child : parent->Children()) {
            if (child == m_node) *p = index;
            if (child->Is(Tag::Tr)) ++index;
        }
    return S_OK;
}

HRESULT RowAdapter::get_cells(IHTMLElementCollection** p) { return ReturnCollection(m_state, RowCells(Target()), p); }

HRESULT RowAdapter::insertCell(LONG index, IDispatch** cell) {
    auto cells = RowCells(Target());
    LONG count = static_cast<LONG>(cells.size());
    if (index < -1 || index > count) return E_INVALIDARG;
    NodePtr created = Target().Owner()->CreateElement(L"TD");
    if (index == -1 || index == count) Target().AppendChild(created);
    else Target().InsertBefore(created, cells[static_cast<size_t>(index)].get());
    return cell ? ReturnNode(m_state, created.get(), cell) : S_OK;
}

HRESULT RowAdapter::deleteCell(LONG index) {
    auto cells = RowCells(Target());
    if (index == -1) index = static_cast<LONG>(cells.size()) - 1;
    if (index < 0 || index >= static_cast<LONG>(cells.size())) return E_INVALIDARG;
    cells[static_cast<size_t>(index)]->Remove();
    return S_OK;
}

// TD, TH ------------------------------------------------------------------------

void* CellAdapter::FindInterface(REFIID riid) {
    if (riid == IID_IHTMLTableCell) return static_cast<IHTMLTableCell*>(this);
    return FindNodeInterface(riid);
}

HRESULT CellAdapter::put_rowSpan(LONG v) {
    if (v < 1) return E_INVALIDARG;
    Target().SetAttribute(L"rowSpan", CString(std::to_wstring(v)));
    return S_OK;
}
HRESULT CellAdapter::get_rowSpan(LONG* p) {
    if (!p) return E_POINTER;
    *p = Span(Target(), L"rowspan");
    return S_OK;
}
HRESULT CellAdapter::put_colSpan(LONG v) {
    if (v < 1) return E_INVALIDARG;
    Target().SetAttribute(L"colSpan", CString(std::to_wstring(v)));
    return S_OK;
}
HRESULT CellAdapter::get_colSpan(LONG* p) {
    if (!p) return E_POINTER;
    *p = Span(Target(), L"colspan");
    return S_OK;
}
HRESULT CellAdapter::put_bgColor(VARIANT v) { return PutColour(Target(), v); }
HRESULT CellAdapter::get_bgColor(VARIANT* p) { return GetColour(Target(), p); }

HRESULT CellAdapter::get_cellIndex(LONG* p) {
    if (!p) return E_POINTER;
    *p = -1;
    if (dom::Node* row = Target().Parent()) {
        auto cells = RowCells(*row);
        for (size_t i = 0; i < cells.size(); ++i)
            if (cells[i] == m_node) *p = static_cast<LONG>(i);
    }
    return S_OK;
}

// FORM --------------------------------------------------------------------------

void* FormAdapter::FindInterface(REFIID riid) {
    if (riid == IID_IHTMLFormElement) return static_cast<IHTMLFormElement*>(this);
    return FindNodeInterface(riid);
}

HRESULT FormAdapter::get_name(BSTR* p) { return ReturnString(Target().GetAttribute(L"name"), p); }
HRESULT FormAdapter::get_elements(IDispatch** p) { return ReturnCollection(m_state, FormControls(Target()), p); }

HRESULT FormAdapter::get_length(LONG* p) {
    if (!p) return E_POINTER;
    *p = static_cast<LONG>(FormControls(Target()).size());
    return S_OK;
}

HRESULT FormAdapter::item(VARIANT name, VARIANT index, IDispatch** result) {
    ComPtr<IHTMLElementCollection> controls;
    HRESULT hr = ReturnCollection(m_state, FormControls(Target()), controls.Receive());
    if (FAILED(hr)) return hr;
    return controls->item(name, index, result);
}

// INPUT -------------------------------------------------------------------------

namespace {
CString InputType(const dom::Node& input) {
    CString type = input.GetAttribute(L"type");
    type.MakeLower();
    return type.IsEmpty() ? CString(L"text") : type;
}
}  // namespace

void* InputAdapter::FindInterface(REFIID riid) {
    if (riid == IID_IHTMLInputElement) return static_cast<IHTMLInputElement*>(this);
    if (riid == IID_IHTMLOptionButtonElement) {
        CString type = InputType(Target());
        return type == L"radio" || type == L"checkbox" ? static_cast<IHTMLOptionButtonElement*>(this) : nullptr;
    }
    return FindNodeInterface(riid);
}

HRESULT InputAdapter::get_type(BSTR* p) { return ReturnString(InputType(Target()), p); }
HRESULT InputAdapter::put_value(BSTR v) {
    Target().SetAttribute(L"value", FromBstr(v));
    return S_OK;
}
HRESULT InputAdapter::get_value(BSTR* p) { return ReturnString(Target().GetAttribute(L"value"), p); }
HRESULT InputAdapter::put_name(BSTR v) {
    Target().SetAttribute(L"name", FromBstr(v));
    return S_OK;
}
HRESULT InputAdapter::get_name(BSTR* p) { return ReturnString(Target().GetAttribute(L"name"), p); }

HRESULT InputAdapter::put_checked(VARIANT_BOOL v) {
    if (!v) {
        Target().RemoveAttribute(L"checked");
        return S_OK;
    }
    if (InputType(Target()) == L"radio") {  // one button of a group is checked
        dom::Node* scope = Ancestor(Target(), Tag::Form);
        if (!scope) scope = Target().Owner();
        CString group = Target().GetAttribute(L"name");
        for (auto& other : FindElements(*scope, L"INPUT"))
            if (other != m_node && InputType(*other) == L"radio" && other->GetAttribute(L"name") == group)
                other->RemoveAttribute(L"checked");
    }
    Target().AddBareAttribute(L"checked");
    return S_OK;
}

HRESULT InputAdapter::get_checked(VARIANT_BOOL* p) {
    if (!p) return E_POINTER;
    *p = ToVariantBool(Target().HasAttribute(L"checked"));
    return S_OK;
}

// TEXTAREA ----------------------------------------------------------------------

void* TextAreaAdapter::FindInterface(REFIID riid) {
    if (riid == IID_IHTMLTextAreaElement) return static_cast<IHTMLTextAreaElement*>(this);
    return FindNodeInterface(riid);
}

HRESULT TextAreaAdapter::get_type(BSTR* p) { return ReturnString(L"textarea", p); }
HRESULT TextAreaAdapter::put_value(BSTR v) {
    CString text = FromBstr(v);
    text.Replace(L"\r\n", L"\n");
    Target().RemoveAllChildren();
    if (!text.IsEmpty()) Target().AppendChild(Target().Owner()->CreateText(text));
    return S_OK;
}
HRESULT TextAreaAdapter::get_value(BSTR* p) { return ReturnString(dom::RawText(Target()), p); }
HRESULT TextAreaAdapter::put_name(BSTR v) {
    Target().SetAttribute(L"name", FromBstr(v));
    return S_OK;
}
HRESULT TextAreaAdapter::get_name(BSTR* p) { return ReturnString(Target().GetAttribute(L"name"), p); }

// SELECT ------------------------------------------------------------------------

void* SelectAdapter::FindInterface(REFIID riid) {
    if (riid == IID_IHTMLSelectElement) return static_cast<IHTMLSelectElement*>(this);
    return FindNodeInterface(riid);
}

HRESULT SelectAdapter::get_type(BSTR* p) {
    return ReturnString(Target().HasAttribute(L"multiple") ? L"select-multiple" : L"select-one", p);
}
HRESULT SelectAdapter::put_name(BSTR v) {
    Target().SetAttribute(L"name", FromBstr(v));
    return S_OK;
}
HRESULT SelectAdapter::get_name(BSTR* p) { return ReturnString(Target().GetAttribute(L"name"), p); }

HRESULT SelectAdapter::put_selectedIndex(LONG v) {
    auto options = SelectOptions(Target());
    for (auto& option : options) option->RemoveAttribute(L"selected");
    if (v >= 0 && v < static_cast<LONG>(options.size())) options[static_cast<size_t>(v)]->SetAttribute(L"selected", CString());
    return S_OK;
}

HRESULT SelectAdapter::get_selectedIndex(LONG* p) {
    if (!p) return E_POINTER;
    *p = SelectedOption(Target());
    return S_OK;
}

HRESULT SelectAdapter::put_length(LONG v) {
    if (v < 0) return E_INVALIDARG;
    auto options = SelectOptions(Target());
    for (size_t i = options.size(); i > static_cast<size_t>(v); --i) options[i - 1]->Remove();
    for (LONG i = static_cast<LONG>(options.size()); i < v; ++i) Target().AppendChild(Target().Owner()->CreateElement(L"OPTION"));
    return S_OK;
}

HRESULT SelectAdapter::get_length(LONG* p) {
    if (!p) return E_POINTER;
    *p = static_cast<LONG>(SelectOptions(Target()).size());
    return S_OK;
}

HRESULT SelectAdapter::get_value(BSTR* p) {
    LONG index = -1;
    get_selectedIndex(&index);
    auto options = SelectOptions(Target());
    if (index < 0) return ReturnString(CString(), p);
    dom::Node& option = *options[static_cast<size_t>(index)];
    return ReturnString(option.HasAttribute(L"value") ? option.GetAttribute(L"value") : dom::InnerText(option), p);
}

HRESULT SelectAdapter::item(VARIANT name, VARIANT index, IDispatch** result) {
    ComPtr<IHTMLElementCollection> options;
    HRESULT hr = ReturnCollection(m_state, SelectOptions(Target()), options.Receive());
    if (FAILED(hr)) return hr;
    return options->item(name, index, result);
}

HRESULT SelectAdapter::get_options(IDispatch** p) {
    if (!p) return E_POINTER;
    *p = static_cast<IHTMLSelectElement*>(this);
    AddRef();
    return S_OK;
}

// OPTION ------------------------------------------------------------------------

void* OptionAdapter::FindInterface(REFIID riid) {
    if (riid == IID_IHTMLOptionElement) return static_cast<IHTMLOptionElement*>(this);
    return FindNodeInterface(riid);
}

HRESULT OptionAdapter::put_selected(VARIANT_BOOL v) {
    dom::Node* select = Ancestor(Target(), Tag::Select);
    if (v && select && !select->HasAttribute(L"multiple"))
        for (auto& option : SelectOptions(*select)) option->RemoveAttribute(L"selected");
    if (v) Target().SetAttribute(L"selected", CString());
    else Target().RemoveAttribute(L"selected");
    return S_OK;
}

HRESULT OptionAdapter::get_selected(VARIANT_BOOL* p) {
    if (!p) return E_POINTER;
    bool selected = Target().HasAttribute(L"selected");
    dom::Node* select = Ancestor(Target(), Tag::Select);
    if (!selected && select && IsDropDown(*select)) {
        LONG index = SelectedOption(*select);
        auto options = SelectOptions(*select);
        selected = index >= 0 && options[static_cast<size_t>(index)] == m_node;
    }
    *p = ToVariantBool(selected);
    return S_OK;
}

HRESULT OptionAdapter::put_value(BSTR v) {
    Target().SetAttribute(L"value", FromBstr(v));
    return S_OK;
}
HRESULT OptionAdapter::get_value(BSTR* p) {
    return ReturnString(Target().HasAttribute(L"value") ? Target().GetAttribute(L"value") : dom::InnerText(Target()), p);
}
HRESULT OptionAdapter::put_text(BSTR v) {
    dom::SetInnerText(Target(), FromBstr(v));
    return S_OK;
}
HRESULT OptionAdapter::get_text(BSTR* p) { return ReturnString(dom::InnerText(Target()), p); }

HRESULT OptionAdapter::get_index(LONG* p) {
    if (!p) return E_POINTER;
    *p = 0;
    if (dom::Node* select = Ancestor(Target(), Tag::Select)) {
        auto options = SelectOptions(*select);
        for (size_t i = 0; i < options.size(); ++i)
            if (options[i] == m_node) *p = static_cast<LONG>(i);
    }
    return S_OK;
}

// BODY --------------------------------------------------------------------------

void* BodyAdapter::FindInterface(REFIID riid) {
    if (riid == IID_IHTMLBodyElement) return static_cast<IHTMLBodyElement*>(this);
    if (riid == IID_IHTMLElement2) return static_cast<IHTMLElement2*>(this);
    return FindNodeInterface(riid);
}

HRESULT BodyAdapter::createTextRange(IHTMLTxtRange** range) {
    if (!range) return E_POINTER;
    editing::TextRange text(m_state->document);
    text.SelectContents(Target());
    *range = CreateComObject<TextRangeAdapter>(m_state, std::move(text));
    return S_OK;
}

HRESULT BodyAdapter::createControlRange(IDispatch** range) {
    if (!range) return E_POINTER;
    *range = CreateComObject<ControlRangeAdapter>(m_state, std::vector<NodePtr>());
    return S_OK;
}

HRESULT BodyAdapter::put_bgColor(VARIANT v) { return PutColour(Target(), v); }
HRESULT BodyAdapter::get_bgColor(VARIANT* p) { return GetColour(Target(), p); }

}  // namespace com
