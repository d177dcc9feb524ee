#include "com/DocumentAdapter.h"

#include "com/Collections.h"
#include "com/Convert.h"
#include "com/ElementAdapter.h"
#include "com/EngineCommands.h"
#include "com/HtmlDocument.h"
#include "com/PageBytes.h"
#include "com/RangeAdapters.h"
#include "com/StyleAdapters.h"
#include "dom/TextContent.h"
#include "dialogs/EditDialogs.h"
#include "editing/Clipboard.h"
#include "editing/FormatCommands.h"
#include "html/Parser.h"
#include "html/Serializer.h"

#include <mshtmcid.h>

#include <vector>

namespace com {

namespace {

// {DE4BA900-59CA-11CF-9592-444553540000}: the engine's own command group.
const GUID kCommandGroupMshtml = {0xde4ba900, 0x59ca, 0x11cf, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// {25336920-03F9-11CF-8FD0-00AA00686F13}
const CLSID kClsidHtmlDocument = {0x25336920, 0x03f9, 0x11cf, {0x8f, 0xd0, 0x00, 0xaa, 0x00, 0x68, 0x6f, 0x13}};

// Commands that set a value on the selected text (FONT attributes).
struct ValueCommand {
    DWORD id;
    const wchar_t* tag;
    const wchar_t* attribute;
};

const ValueCommand kValueCommands[] = {
    {IDM_FONTNAME, L"FONT", L"face"},
    {IDM_FONTSIZE, L"FONT", L"size"},
    {IDM_FORECOLOR, L"FONT", L"color"},
    {IDM_BACKCOLOR, L"FONT", L"style:background-color"},
};

// Commands that switch a format on and off; the first tag is the one written.
struct ToggleCommand {
    DWORD id;
    const wchar_t* tag;
    std::vector<dom::Tag> kinds;
};

const ToggleCommand kToggleCommands[] = {
    {IDM_BOLD, L"STRONG", {dom::Tag::Strong, dom::Tag::B}},
    {IDM_ITALIC, L"EM", {dom::Tag::Em, dom::Tag::I}},
    {IDM_UNDERLINE, L"U", {dom::Tag::U}},
    {IDM_STRIKETHROUGH, L"STRIKE", {dom::Tag::Strike, dom::Tag::S}},
    {IDM_SUBSCRIPT, L"SUB", {dom::Tag::Sub}},
    {IDM_SUPERSCRIPT, L"SUP", {dom::Tag::Sup}},
};

template <typename Table>
auto FindCommand(const Table& table, DWORD id) -> decltype(&table[0]) {
    for (const auto& command : table)
        if (command.id == id) return &command;
    return nullptr;
}

bool HasSelection(const editing::Selection& selection) { return selection.kind != editing::SelectionKind::None; }

bool IsSupported(DWORD id) {
    switch (id) {
    case IDM_COPY: case IDM_CUT: case IDM_PASTE: case IDM_UNDO: case IDM_REDO: case IDM_DELETE: case IDM_SELECTALL:
    case IDM_HORIZONTALLINE: case IDM_JUSTIFYLEFT: case IDM_JUSTIFYCENTER: case IDM_JUSTIFYRIGHT:
    case IDM_ORDERLIST: case IDM_UNORDERLIST: case IDM_HYPERLINK: case IDM_IMAGE: case IDM_FIND:
    case IDM_KEEPSELECTION: case IDM_AUTOURLDETECT_MODE: case IDM_EDITMODE: case IDM_BROWSEMODE:
        return true;
    default:
        return FindCommand(kValueCommands, id) || FindCommand(kToggleCommands, id);
    }
}

bool VariantIsTrue(const VARIANT* in, bool fallback) {
    if (!in || in->vt == VT_EMPTY || in->vt == VT_NULL) return fallback;
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(in), 0, VT_BOOL))) return fallback;
    return converted.boolVal != VARIANT_FALSE;
}

CString BlockAlignment(const StatePtr& state) {
    dom::Node* block = editing::BlockOf(editing::NormalizeCaret(state->selection.start).node.get());
    for (; block; block = block->ParentElement())
        if (block->HasAttribute(L"align")) return block->GetAttribute(L"align");
    return CString();
}

// The picture dialog's choice as the attributes of an IMG (empty values are removed).
std::vector<std::pair<CString, CString>> PictureAttributes(const dialogs::PictureChoice& choice) {
    return {{L"src", choice.source}, {L"alt", choice.alt}, {L"align", choice.align},
            {L"border", choice.border}, {L"hspace", choice.hspace}, {L"vspace", choice.vspace}};
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

DWORD CommandStatus(const StatePtr& state, DWORD id) {
    if (!IsSupported(id)) return 0;
    const DWORD supported = OLECMDF_SUPPORTED;
    const DWORD enabled = OLECMDF_SUPPORTED | OLECMDF_ENABLED;
    const DWORD latched = enabled | OLECMDF_LATCHED;
    const bool edit = state->designMode;
    editing::Editor editor = state->Editor();
    switch (id) {
    case IDM_COPY: return HasSelection(state->selection) ? enabled : supported;
    case IDM_CUT: case IDM_DELETE: return edit && HasSelection(state->selection) ? enabled : supported;
    case IDM_PASTE: return edit && editing::ClipboardHasContent() ? enabled : supported;
    case IDM_UNDO: return edit && state->history.CanUndo() ? enabled : supported;
    case IDM_REDO: return edit && state->history.CanRedo() ? enabled : supported;
    case IDM_SELECTALL: case IDM_FIND: case IDM_KEEPSELECTION: case IDM_AUTOURLDETECT_MODE: return enabled;
    case IDM_EDITMODE: return edit ? latched : enabled;
    case IDM_BROWSEMODE: return edit ? enabled : latched;
    default: break;
    }
    if (!edit) return supported;
    if (const ToggleCommand* toggle = FindCommand(kToggleCommands, id)) return editor.HasInline(toggle->kinds) ? latched : enabled;
    switch (id) {
    case IDM_ORDERLIST: return editor.IsInList(true) ? latched : enabled;
    case IDM_UNORDERLIST: return editor.IsInList(false) ? latched : enabled;
    case IDM_JUSTIFYCENTER: return BlockAlignment(state).CompareNoCase(L"center") == 0 ? latched : enabled;
    case IDM_JUSTIFYRIGHT: return BlockAlignment(state).CompareNoCase(L"right") == 0 ? latched : enabled;
    case IDM_JUSTIFYLEFT: {
        CString alignment = BlockAlignment(state);
        return alignment.IsEmpty() || alignment.CompareNoCase(L"left") == 0 ? latched : enabled;
    }
    default: return enabled;
    }
}

HRESULT DocumentAdapter::QueryStatus(const GUID* group, ULONG count, OLECMD commands[], OLECMDTEXT*) {
    if (!group || *group != kCommandGroupMshtml) return OLECMDERR_E_UNKNOWNGROUP;
    if (!commands) return E_POINTER;
    for (ULONG i = 0; i < count; ++i) commands[i].cmdf = CommandStatus(m_state, commands[i].cmdID);
    return S_OK;
}

namespace {

void CopySelection(const StatePtr& state) {
    const auto& selection = state->selection;
    CString text, html;
    if (selection.kind == editing::SelectionKind::Control) {
        for (const auto& control : selection.controls) html += html::SerializeOuter(*control);
    } else {
        editing::TextRange range = SelectionRange(state);
        text = range.Text();
        html = range.HtmlText();
    }
    editing::WriteClipboard(state->window, text, html);
}

void PasteClipboard(const StatePtr& state) {
    CString html, text;
    if (!editing::ReadClipboard(state->window, html, text)) return;
    state->Editor().PasteHtml(!html.IsEmpty() ? editing::SanitizeHtml(html) : editing::TextAsHtml(text));
}

void FindWithDialog(const StatePtr& state) {
    dialogs::ShowFindDialog(state->window, [&state](const dialogs::FindRequest& request, bool wrapped) {
        bool found = state->Editor().Find(request.text, request.up, request.matchCase, request.wholeWord, wrapped);
        if (found && state->viewChanged) state->viewChanged();
        return found;
    });
}

}  // namespace

HRESULT DocumentAdapter::Exec(const GUID* group, DWORD id, DWORD options, VARIANT* in, VARIANT* out) {
    if (group && *group == kEngineCommandGroup) {
        switch (id) {
        case kEngineJoinLastUndoStep: m_state->history.ReopenLast(); return S_OK;
        case kEngineSealUndoStep: m_state->history.Seal(); return S_OK;
        case kEngineTypingFontSize:
            if (!in || in->vt != VT_BSTR) return E_INVALIDARG;
            if (m_state->selection.kind == editing::SelectionKind::None)
                m_state->Editor().FormatSelection(L"FONT", L"style:font-size", FromBstr(in->bstrVal));
            return S_OK;
        case kEngineKeepCaretBefore: {
            CString id = in && in->vt == VT_BSTR ? FromBstr(in->bstrVal) : CString();
            dom::NodePtr end;
            if (!id.IsEmpty())
                for (auto& element : FindElements(*m_state->document, L"*"))
                    if (element->GetAttribute(L"id").CompareNoCase(id) == 0) {
                        end = element;
                        break;
                    }
            m_state->contentEnd = end;
            return S_OK;
        }
        default: return OLECMDERR_E_NOTSUPPORTED;
        }
    }
    if (!group || *group != kCommandGroupMshtml) return OLECMDERR_E_UNKNOWNGROUP;
    const bool hasInput = in && in->vt != VT_EMPTY && in->vt != VT_NULL;
    const bool prompt = options != OLECMDEXECOPT_DONTPROMPTUSER;
    // A command runs when called, in design mode or not: QueryStatus greys
    // the editing commands of a page being browsed (so its menus and buttons
    // do not offer them), and its keys and clicks never edit it, but a host
    // that calls one (the browse menu's Paste, a table insert, a colour) gets it done.
    const bool query = !hasInput && out && FindCommand(kValueCommands, id);
    // Whatever the command did to the tree and the selection, the caret follows.
    struct AfterCommand {
        const StatePtr& state;
        bool query;
        ~AfterCommand() {
            if (!query && state->commandRan) state->commandRan();
        }
    } after{m_state, query};
    editing::Editor editor = m_state->Editor();
    if (const ValueCommand* command = FindCommand(kValueCommands, id)) {
        if (!hasInput && out) {  // a query of the value at the selection
            VariantInit(out);
            for (const editing::TypingFormat& format : m_state->selection.typing)  // chosen for the text typed next
                if (format.kinds.empty() && format.tag == command->tag && format.attribute == command->attribute) {
                    if (id == IDM_FONTNAME) return ReturnVariantString(format.value, out);
                    if (id == IDM_FONTSIZE) out->vt = VT_I4, out->lVal = _wtoi(format.value.GetString());
                    return S_OK;
                }
            editing::TextRange range = SelectionRange(m_state);
            if (id == IDM_FONTNAME) return ReturnVariantString(editing::FontNameAt(range), out);
            if (id == IDM_FONTSIZE) {
                out->vt = VT_I4;
                out->lVal = editing::FontSizeAt(range);
            }
            return S_OK;
        }
        if (!hasInput) return S_OK;
        editor.FormatSelection(command->tag, command->attribute, VariantToText(*in));
        return S_OK;
    }
    if (const ToggleCommand* toggle = FindCommand(kToggleCommands, id)) {
        editor.ToggleInline(toggle->tag, toggle->kinds);
        return S_OK;
    }
    switch (id) {
    case IDM_COPY: CopySelection(m_state); return S_OK;
    case IDM_CUT:
        CopySelection(m_state);
        if (HasSelection(m_state->selection)) editor.DeleteSelection();
        return S_OK;
    case IDM_DELETE:
        if (HasSelection(m_state->selection)) editor.DeleteSelection();
        else editor.DeleteForward();
        return S_OK;
    case IDM_PASTE: PasteClipboard(m_state); return S_OK;
    case IDM_UNDO: m_state->history.Undo(m_state->selection); return S_OK;
    case IDM_REDO: m_state->history.Redo(m_state->selection); return S_OK;
    case IDM_SELECTALL: editor.SelectAll(); return S_OK;
    case IDM_HORIZONTALLINE: editor.PasteHtml(L"<HR>"); return S_OK;
    case IDM_JUSTIFYLEFT: editor.Align(L"left"); return S_OK;
    case IDM_JUSTIFYCENTER: editor.Align(L"center"); return S_OK;
    case IDM_JUSTIFYRIGHT: editor.Align(L"right"); return S_OK;
    case IDM_ORDERLIST: editor.ToggleList(true); return S_OK;
    case IDM_UNORDERLIST: editor.ToggleList(false); return S_OK;
    case IDM_HYPERLINK: {
        CString address = hasInput && in->vt == VT_BSTR ? VariantToText(*in) : editor.LinkAddress();
        if (prompt && !dialogs::ShowHyperlinkDialog(m_state->window, address)) return S_OK;
        editor.SetLink(address);
        return S_OK;
    }
    case IDM_IMAGE: {
        dialogs::PictureChoice choice;
        if (dom::Node* picture = editor.SelectedPicture()) {
            choice = {picture->GetAttribute(L"src"), picture->GetAttribute(L"alt"), picture->GetAttribute(L"align"),
                      picture->GetAttribute(L"border"), picture->GetAttribute(L"hspace"), picture->GetAttribute(L"vspace")};
        }
        if (hasInput && in->vt == VT_BSTR) choice.source = VariantToText(*in);
        if (prompt && !dialogs::ShowPictureDialog(m_state->window, choice)) return S_OK;
        if (choice.source.IsEmpty()) return S_OK;
        editor.SetPicture(PictureAttributes(choice));
        return S_OK;
    }
    case IDM_FIND: FindWithDialog(m_state); return S_OK;
    case IDM_EDITMODE: m_state->designMode = true; return S_OK;
    case IDM_BROWSEMODE: m_state->designMode = false; return S_OK;
    case IDM_KEEPSELECTION: m_state->keepSelection = VariantIsTrue(in, true); return S_OK;
    case IDM_AUTOURLDETECT_MODE: m_state->autoUrlDetect = VariantIsTrue(in, true); return S_OK;
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
