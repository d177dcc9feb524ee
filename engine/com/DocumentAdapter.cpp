#include "com/DocumentAdapter.h"

#include "com/Collections.h"
#include "com/Convert.h"
#include "com/ElementAdapter.h"
#include "com/HtmlDocument.h"
#include "com/PageBytes.h"
#include "com/RangeAdapters.h"
#include "com/StyleAdapters.h"
#include "dom/TextContent.h"
#include "editing/FormatCommands.h"
#include "html/Parser.h"
#include "html/Serializer.h"

#include <mshtmcid.h>

namespace com {

namespace {

// {DE4BA900-59CA-11CF-9592-444553540000}: the engine's own command group.
const GUID kCommandGroupMshtml = {0xde4ba900, 0x59ca, 0x11cf, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// {25336920-03F9-11CF-8FD0-00AA00686F13}
const CLSID kClsidHtmlDocument = {0x25336920, 0x03f9, 0x11cf, {0x8f, 0xd0, 0x00, 0xaa, 0x00, 0x68, 0x6f, 0x13}};

struct InlineCommand {
    DWORD id;
    const wchar_t* tag;
    const wchar_t* attribute;
};

const InlineCommand kInlineCommands[] = {
    {IDM_FONTNAME, L"FONT", L"face"},   {IDM_FONTSIZE, L"FONT", L"size"},  {IDM_FORECOLOR, L"FONT", L"color"},
    {IDM_BACKCOLOR, L"FONT", L"style:background-color"}, {IDM_BOLD, L"STRONG", L""}, {IDM_ITALIC, L"EM", L""},
    {IDM_UNDERLINE, L"U", L""},         {IDM_STRIKETHROUGH, L"STRIKE", L""}, {IDM_SUBSCRIPT, L"SUB", L""},
    {IDM_SUPERSCRIPT, L"SUP", L""},
};

const InlineCommand* FindInlineCommand(DWORD id) {
    for (const auto& command : kInlineCommands)
        if (command.id == id) return &command;
    return nullptr;
}

bool IsSupported(DWORD id) {
    switch (id) {
    case IDM_HORIZONTALLINE:
    case IDM_JUSTIFYLEFT:
    case IDM_JUSTIFYCENTER:
    case IDM_JUSTIFYRIGHT:
    case IDM_KEEPSELECTION:
    case IDM_AUTOURLDETECT_MODE:
    case IDM_EDITMODE:
    case IDM_BROWSEMODE:
        return true;
    default:
        return FindInlineCommand(id) != nullptr;
    }
}

void RememberRange(const StatePtr& state, const editing::TextRange& range) {
    state->selection.kind = range.IsCollapsed() ? editing::SelectionKind::None : editing::SelectionKind::Text;
    state->selection.start = range.Start();
    state->selection.end = range.End();
}

}  // namespace

ComPtr<IHTMLDocument2> DocumentOf(const StatePtr& state) {
    if (state->documentAdapter) return QueryAs<IHTMLDocument2>(state->documentAdapter);
    auto* document = CreateComObject<DocumentAdapter>(state);
    return ComPtr<IHTMLDocument2>::Attach(static_cast<IHTMLDocument2*>(document));
}

void* DocumentAdapter::FindInterface(REFIID riid) {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IHTMLDocument || riid == IID_IHTMLDocument2)
        return static_cast<IHTMLDocument2*>(this);
    if (riid == IID_IHTMLDocument3) return static_cast<IHTMLDocument3*>(this);
    if (riid == IID_IPersistStreamInit || riid == IID_IPersist) return static_cast<IPersistStreamInit*>(this);
    if (riid == IID_IOleCommandTarget) return static_cast<IOleCommandTarget*>(this);
    if (riid == __uuidof(IEngineNode)) return static_cast<IEngineNode*>(this);
    return nullptr;
}

// IHTMLDocument2 -------------------------------------------------------------------

HRESULT DocumentAdapter::get_all(IHTMLElementCollection** p) { return ReturnCollection(m_state, FindElements(*m_state->document, L"*"), p); }
HRESULT DocumentAdapter::get_body(IHTMLElement** p) { return ReturnNode(m_state, m_state->document->Body(), p); }
HRESULT DocumentAdapter::get_forms(IHTMLElementCollection** p) {
    return ReturnCollection(m_state, FindElements(*m_state->document, L"FORM"), p);
}

HRESULT DocumentAdapter::get_title(BSTR* p) {
    auto titles = FindElements(*m_state->document, L"TITLE");
    return ReturnString(titles.empty() ? CString() : dom::RawText(*titles.front()), p);
}

HRESULT DocumentAdapter::put_designMode(BSTR v) {
    CString mode = FromBstr(v);
    if (mode.CompareNoCase(L"On") == 0) m_state->designMode = true;
    else if (mode.CompareNoCase(L"Off") == 0 || mode.CompareNoCase(L"Inherit") == 0) m_state->designMode = false;
    else return E_INVALIDARG;
    return S_OK;
}

HRESULT DocumentAdapter::get_designMode(BSTR* p) { return ReturnString(m_state->designMode ? L"On" : L"Off", p); }

HRESULT DocumentAdapter::get_selection(IHTMLSelectionObject** p) {
    if (!p) return E_POINTER;
    *p = CreateComObject<SelectionAdapter>(m_state);
    return S_OK;
}

HRESULT DocumentAdapter::get_readyState(BSTR* p) { return ReturnString(L"complete", p); }

HRESULT DocumentAdapter::WriteArray(SAFEARRAY* array, const wchar_t* lineEnd) {
    if (!array || SafeArrayGetDim(array) != 1) return E_INVALIDARG;
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(array, 1, &lower);
    SafeArrayGetUBound(array, 1, &upper);
    VARIANT* items = nullptr;
    HRESULT hr = SafeArrayAccessData(array, reinterpret_cast<void**>(&items));
    if (FAILED(hr)) return hr;
    for (LONG i = 0; i <= upper - lower; ++i) m_state->written += VariantToText(items[i]);
    SafeArrayUnaccessData(array);
    m_state->written += lineEnd;
    html::ParseDocument(*m_state->document, m_state->written);
    m_state->selection = editing::Selection();
    return S_OK;
}

HRESULT DocumentAdapter::write(SAFEARRAY* psarray) { return WriteArray(psarray, L""); }
HRESULT DocumentAdapter::writeln(SAFEARRAY* psarray) { return WriteArray(psarray, L"\r\n"); }

HRESULT DocumentAdapter::close() {
    m_state->written.Empty();
    return S_OK;
}

HRESULT DocumentAdapter::createElement(BSTR eTag, IHTMLElement** newElem) {
    CString text = FromBstr(eTag);
    text.Trim();
    if (text.Left(1) == L"<") {  // createElement("<INPUT name=x>") as the engine allowed
        auto nodes = html::ParseFragment(*m_state->document, text, m_state->document->Body());
        for (auto& node : nodes)
            if (node->IsElement()) return ReturnNode(m_state, node.get(), newElem);
        return E_INVALIDARG;
    }
    if (text.IsEmpty()) return E_INVALIDARG;
    dom::NodePtr element = m_state->document->CreateElement(text);
    return ReturnNode(m_state, element.get(), newElem);
}

HRESULT DocumentAdapter::get_styleSheets(IHTMLStyleSheetsCollection** p) {
    if (!p) return E_POINTER;
    *p = CreateComObject<StyleSheetsAdapter>(m_state);
    return S_OK;
}

// IHTMLDocument3 -------------------------------------------------------------------

HRESULT DocumentAdapter::get_documentElement(IHTMLElement** p) { return ReturnNode(m_state, m_state->document->DocumentElement(), p); }

HRESULT DocumentAdapter::getElementById(BSTR v, IHTMLElement** pel) {
    CString id = FromBstr(v);
    for (auto& element : FindElements(*m_state->document, L"*"))
        if (element->GetAttribute(L"id").CompareNoCase(id) == 0) return ReturnNode(m_state, element.get(), pel);
    return ReturnNode(m_state, static_cast<dom::Node*>(nullptr), pel);
}

HRESULT DocumentAdapter::getElementsByTagName(BSTR v, IHTMLElementCollection** pelColl) {
    return ReturnCollection(m_state, FindElements(*m_state->document, FromBstr(v)), pelColl);
}

HRESULT DocumentAdapter::getElementsByName(BSTR v, IHTMLElementCollection** pelColl) {
    CString name = FromBstr(v);
    std::vector<dom::NodePtr> found;
    for (auto& element : FindElements(*m_state->document, L"*"))
        if (element->GetAttribute(L"name") == name) found.push_back(element);
    return ReturnCollection(m_state, std::move(found), pelColl);
}

// IPersistStreamInit ---------------------------------------------------------------

HRESULT DocumentAdapter::GetClassID(CLSID* classId) {
    if (!classId) return E_POINTER;
    *classId = kClsidHtmlDocument;
    return S_OK;
}

HRESULT DocumentAdapter::Load(LPSTREAM stream) {
    if (!stream) return E_POINTER;
    std::string bytes;
    char buffer[8192];
    for (;;) {
        ULONG read = 0;
        HRESULT hr = stream->Read(buffer, sizeof buffer, &read);
        if (FAILED(hr)) return hr;
        bytes.append(buffer, read);
        if (hr != S_OK || read == 0) break;
    }
    html::ParseDocument(*m_state->document, DecodePageBytes(bytes));
    m_state->selection = editing::Selection();
    m_state->written.Empty();
    m_state->MarkClean();
    return S_OK;
}

HRESULT DocumentAdapter::Save(LPSTREAM stream, BOOL clearDirty) {
    if (!stream) return E_POINTER;
    CString text = html::SerializeDocument(*m_state->document);
    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 + 2 * static_cast<size_t>(text.GetLength()));
    for (wchar_t c : text.str()) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    ULONG written = 0;
    HRESULT hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    if (FAILED(hr)) return hr;
    if (written != bytes.size()) return STG_E_MEDIUMFULL;
    if (clearDirty) m_state->MarkClean();
    return S_OK;
}

HRESULT DocumentAdapter::InitNew() {
    html::ParseDocument(*m_state->document, CString());
    m_state->selection = editing::Selection();
    m_state->MarkClean();
    return S_OK;
}

// IOleCommandTarget -----------------------------------------------------------------

HRESULT DocumentAdapter::QueryStatus(const GUID* group, ULONG count, OLECMD commands[], OLECMDTEXT*) {
    if (!group || *group != kCommandGroupMshtml) return OLECMDERR_E_UNKNOWNGROUP;
    if (!commands) return E_POINTER;
    for (ULONG i = 0; i < count; ++i)
        commands[i].cmdf = IsSupported(commands[i].cmdID) ? (OLECMDF_SUPPORTED | OLECMDF_ENABLED) : 0;
    return S_OK;
}

HRESULT DocumentAdapter::Exec(const GUID* group, DWORD id, DWORD, VARIANT* in, VARIANT* out) {
    if (!group || *group != kCommandGroupMshtml) return OLECMDERR_E_UNKNOWNGROUP;
    bool hasInput = in && in->vt != VT_EMPTY && in->vt != VT_NULL;
    editing::TextRange range = SelectionRange(m_state);
    if (const InlineCommand* command = FindInlineCommand(id)) {
        if (!hasInput && out) {  // a query of the value at the selection
            VariantInit(out);
            if (id == IDM_FONTNAME) return ReturnVariantString(editing::FontNameAt(range), out);
            if (id == IDM_FONTSIZE) {
                out->vt = VT_I4;
                out->lVal = editing::FontSizeAt(range);
            }
            return S_OK;
        }
        if (m_state->selection.kind == editing::SelectionKind::Control) return S_OK;
        editing::ApplyInlineFormat(range, command->tag, command->attribute, hasInput ? VariantToText(*in) : CString());
        RememberRange(m_state, range);
        return S_OK;
    }
    switch (id) {
    case IDM_HORIZONTALLINE:
        range.PasteHtml(L"<HR>");
        RememberRange(m_state, range);
        return S_OK;
    case IDM_JUSTIFYLEFT: editing::AlignBlock(range, L"left"); return S_OK;
    case IDM_JUSTIFYCENTER: editing::AlignBlock(range, L"center"); return S_OK;
    case IDM_JUSTIFYRIGHT: editing::AlignBlock(range, L"right"); return S_OK;
    case IDM_EDITMODE: m_state->designMode = true; return S_OK;
    case IDM_BROWSEMODE: m_state->designMode = false; return S_OK;
    case IDM_KEEPSELECTION:
    case IDM_AUTOURLDETECT_MODE: return S_OK;
    default: return OLECMDERR_E_NOTSUPPORTED;
    }
}

}  // namespace com

HRESULT CreateHtmlDocument(REFIID riid, void** out) {
    if (!out) return E_POINTER;
    auto state = std::make_shared<com::DocumentState>();
    html::ParseDocument(*state->document, CString());
    auto* document = CreateComObject<com::DocumentAdapter>(state);
    HRESULT hr = document->QueryInterface(riid, out);
    document->Release();
    return hr;
}
