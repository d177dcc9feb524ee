#include "html/HtmlDocument.h"

#include "html/HtmlConvert.h"
#include "html/StreamReader.h"

#include "com/EngineCommands.h"

#include <mshtmcid.h>

#include <vector>

namespace {

// {DE4BA900-59CA-11CF-9592-444553540000}: the engine's command group.
const GUID kCommandGroupMshtml = {0xde4ba900, 0x59ca, 0x11cf, {0x95, 0x92, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// A text range or a control range made from the document's selection.
ComPtr<IDispatch> SelectionRange(IHTMLDocument2* document) {
    ComPtr<IHTMLSelectionObject> selection;
    ComPtr<IDispatch> range;
    if (!document || FAILED(document->get_selection(selection.Receive())) || !selection) return range;
    selection->createRange(range.Receive());
    return range;
}

}  // namespace

void bcHtmlDocument::Attach(IDispatch* document) {
    m_document2 = QueryAs<IHTMLDocument2>(document);
    m_document3 = QueryAs<IHTMLDocument3>(document);
    m_persist = QueryAs<IPersistStreamInit>(document);
    m_commands = QueryAs<IOleCommandTarget>(document);
    m_node = QueryAs<IHTMLDOMNode>(document);
    m_baseFontSize = -1;
}

bool bcHtmlDocument::LoadHtml(const CString& html) {
    if (!m_persist) return false;
    bcStreamReader stream;
    stream.SetHtml(html);
    return SUCCEEDED(m_persist->Load(&stream));
}

bool bcHtmlDocument::SaveHtml(CString& text, bool markSaved) const {
    text.Empty();
    ComPtr<IStream> stream;
    if (!m_persist || FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive())) ||
        FAILED(m_persist->Save(stream.Get(), markSaved ? TRUE : FALSE)))
        return false;
    HGLOBAL global = nullptr;
    STATSTG stat{};
    if (FAILED(GetHGlobalFromStream(stream.Get(), &global)) || FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return false;
    size_t units = static_cast<size_t>(stat.cbSize.QuadPart / sizeof(wchar_t));
    if (units == 0) return false;
    const auto* data = static_cast<const wchar_t*>(GlobalLock(global));
    if (!data) return false;
    // The engine writes UTF-16 behind its byte-order mark.
    size_t start = data[0] == 0xFEFF ? 1 : 0;
    text = CString(std::wstring(data + start, units - start));
    GlobalUnlock(global);
    return true;
}

bool bcHtmlDocument::IsModified() const { return m_persist && m_persist->IsDirty() == S_OK; }

bool bcHtmlDocument::SetDesignMode(bool on) {
    return m_document2 && SUCCEEDED(m_document2->put_designMode(ScopedBstr(on ? L"On" : L"Off")));
}

bool bcHtmlDocument::IsDesignMode() const {
    BSTR mode = nullptr;
    if (!m_document2 || FAILED(m_document2->get_designMode(&mode))) return false;
    return BstrToString(mode) == L"On";
}

ComPtr<IHTMLElementCollection> bcHtmlDocument::GetElementsByTagName(const CString& tag) const {
    ComPtr<IHTMLElementCollection> collection;
    if (m_document3) m_document3->getElementsByTagName(ScopedBstr(tag), collection.Receive());
    return collection;
}

bcHtmlElement bcHtmlDocument::GetHeadElement() const { return GetCollectionItem(GetElementsByTagName(L"HEAD").Get(), 0); }

bcHtmlElement bcHtmlDocument::CreateElement(const CString& tag) const {
    ComPtr<IHTMLElement> element;
    if (!m_document2 || FAILED(m_document2->createElement(ScopedBstr(tag), element.Receive()))) return bcHtmlElement();
    return bcHtmlElement(element.Get());
}

bool bcHtmlDocument::PasteHtml(const CString& html) {
    if (!m_document2) return false;
    ComPtr<IDispatch> range = SelectionRange(m_document2.Get());
    if (!range) return false;
    if (auto controls = range.As<IHTMLControlRange>()) {  // an image or table selected as an object goes
        LONG count = 0;
        controls->get_length(&count);
        for (LONG i = count - 1; i >= 0; --i) {
            ComPtr<IHTMLElement> item;
            if (SUCCEEDED(controls->item(i, item.Receive())) && item) bcHtmlElement(item.Get()).RemoveNode();
        }
        range = SelectionRange(m_document2.Get());
    }
    auto text = range.As<IHTMLTxtRange>();
    return text && SUCCEEDED(text->pasteHTML(ScopedBstr(html)));
}

bool bcHtmlDocument::IsCaret() const {
    auto text = SelectionRange(m_document2.Get()).As<IHTMLTxtRange>();
    BSTR selected = nullptr;
    return text && SUCCEEDED(text->get_text(&selected)) && BstrToString(selected).IsEmpty();
}

void bcHtmlDocument::ShowSelection() const {
    ComPtr<IDispatch> range = SelectionRange(m_document2.Get());
    if (auto controls = range.As<IHTMLControlRange>()) controls->select();
    else if (auto text = range.As<IHTMLTxtRange>()) text->select();
}

bcHtmlElement bcHtmlDocument::GetSelectedElement(bool evenWhenEmpty) const {
    ComPtr<IDispatch> range = SelectionRange(m_document2.Get());
    if (auto controls = range.As<IHTMLControlRange>()) {
        ComPtr<IHTMLElement> first;
        if (FAILED(controls->item(0, first.Receive())) || !first) return bcHtmlElement();
        return bcHtmlElement(first.Get());
    }
    auto text = range.As<IHTMLTxtRange>();
    if (!text) return bcHtmlElement();
    if (!evenWhenEmpty) {
        BSTR selected = nullptr;
        if (FAILED(text->get_text(&selected)) || BstrToString(selected).IsEmpty()) return bcHtmlElement();
    }
    ComPtr<IHTMLElement> parent;
    if (FAILED(text->parentElement(parent.Receive())) || !parent) return bcHtmlElement();
    return bcHtmlElement(parent.Get());
}

bool bcHtmlDocument::ExecCommand(DWORD command, const VARIANT& argument, bool showUserInterface) {
    if (command == kCommandPixelFontSize)
        return argument.vt == VT_I4 && ApplyPixelFontSize(static_cast<unsigned>(argument.lVal));
    if (!m_commands) return false;
    VARIANT input;
    VariantInit(&input);
    if (FAILED(VariantCopy(&input, const_cast<VARIANT*>(&argument)))) return false;  // VariantCopy only reads its source
    HRESULT hr = m_commands->Exec(&kCommandGroupMshtml, command,
                                  showUserInterface ? OLECMDEXECOPT_DODEFAULT : OLECMDEXECOPT_DONTPROMPTUSER, &input, nullptr);
    VariantClear(&input);
    return SUCCEEDED(hr);
}

bool bcHtmlDocument::QueryCommandValue(DWORD command, VARIANT* value) {
    if (!value) return false;
    if (command == kCommandPixelFontSize) {
        VariantClear(value);
        value->vt = VT_I4;
        value->lVal = GetCaretFontSize();
        return true;
    }
    return m_commands && SUCCEEDED(m_commands->Exec(&kCommandGroupMshtml, command, OLECMDEXECOPT_DODEFAULT, nullptr, value));
}

DWORD bcHtmlDocument::QueryCommandStatus(DWORD command) const {
    OLECMD status{command, 0};
    if (!m_commands || FAILED(m_commands->QueryStatus(&kCommandGroupMshtml, 1, &status, nullptr))) return 0;
    return status.cmdf;
}

int bcHtmlDocument::GetBaseFontSize() {
    if (m_baseFontSize < 4) {
        m_baseFontSize = CssLengthToPixels(GetStyleSheet().GetRuleStyle(L"BODY").GetProperty(bcStyleFontSize));
        if (m_baseFontSize < 4) m_baseFontSize = 16;
    }
    return m_baseFontSize;
}

int bcHtmlDocument::GetCaretFontSize() {
    static const int kSizes[] = {10, 14, 16, 18, 24, 32, 48};
    bcHtmlElement element = GetSelectedElement(true);
    for (;;) {
        element = element.SkipInlineElements(kInlineTagList);
        if (!element.IsValid() || element.GetTagName() != L"FONT") return GetBaseFontSize();
        int pixels = CssLengthToPixels(element.GetStyle().GetProperty(bcStyleFontSize));
        if (pixels != 0) return pixels;
        int size = _wtoi(element.GetAttribute(L"Size"));
        if (size >= 1 && size <= 7) return kSizes[size - 1];
        element = element.GetParentElement();
    }
}

bool bcHtmlDocument::ApplyPixelFontSize(unsigned pixels) {
    CString text;
    text.Format(L"%upx", pixels);
    if (IsCaret()) {
        // The engine makes the FONT only when the user types, so the text
        // typed next takes the size in pixels from the engine itself; the
        // FONTs of the block stay as they are.
        if (!m_commands) return false;
        ScopedBstr css(text);
        VARIANT argument;
        argument.vt = VT_BSTR;
        argument.bstrVal = css;
        return SUCCEEDED(m_commands->Exec(&kEngineCommandGroup, kEngineTypingFontSize, OLECMDEXECOPT_DONTPROMPTUSER,
                                          &argument, nullptr));
    }
    ScopedBstr seven(L"7");
    VARIANT size;
    size.vt = VT_BSTR;
    size.bstrVal = seven;
    if (!ExecCommand(IDM_FONTSIZE, size, false)) return false;
    bcHtmlElement block = GetSelectedElement(true).SkipInlineElements(kInlineTagList);
    if (block.IsValid()) ApplyFontSizeToFonts(block, text);
    return true;
}

void ApplyFontSizeToFonts(bcHtmlElement element, const CString& size) {
    // Depth first with a list of its own: a block may nest deeper than the stack reaches.
    std::vector<bcHtmlElement> pending{element};
    while (!pending.empty()) {
        bcHtmlElement next = pending.back();
        pending.pop_back();
        if (!next.IsValid()) continue;
        if (next.GetTagName() == L"FONT" && !next.GetAttribute(L"Size").IsEmpty()) {
            next.RemoveAttribute(L"Size");
            next.GetStyle().SetProperty(bcStyleFontSize, size);
        }
        ComPtr<IDispatch> children;
        if (FAILED(next.GetElement()->get_children(children.Receive())) || !children) continue;
        auto collection = children.As<IHTMLElementCollection>();
        LONG count = 0;
        if (!collection || FAILED(collection->get_length(&count))) continue;
        for (LONG i = count; i-- > 0;) pending.push_back(GetCollectionItem(collection.Get(), i));
    }
}

bcHtmlStyleSheet bcHtmlDocument::GetStyleSheet() {
    if (!m_document2) return bcHtmlStyleSheet();
    for (int attempt = 0; attempt < 2; ++attempt) {
        ComPtr<IHTMLStyleSheetsCollection> sheets;
        LONG count = 0;
        if (SUCCEEDED(m_document2->get_styleSheets(sheets.Receive())) && sheets && SUCCEEDED(sheets->get_length(&count))) {
            for (LONG i = 0; i < count; ++i) {
                VARIANT index, item;
                index.vt = VT_I4;
                index.lVal = i;
                VariantInit(&item);
                if (FAILED(sheets->item(&index, &item))) continue;
                ComPtr<IHTMLStyleSheet> sheet = item.vt == VT_DISPATCH ? QueryAs<IHTMLStyleSheet>(item.pdispVal) : ComPtr<IHTMLStyleSheet>();
                VariantClear(&item);
                BSTR href = nullptr;
                if (!sheet || FAILED(sheet->get_href(&href)) || !BstrToString(href).IsEmpty()) continue;
                ComPtr<IHTMLStyleSheetRulesCollection> rules;
                sheet->get_rules(rules.Receive());
                return bcHtmlStyleSheet(sheet.Get(), rules.Get());
            }
        }
        if (attempt == 0) GetHeadElement().AppendChild(CreateElement(L"STYLE"));
    }
    return bcHtmlStyleSheet();
}
