#include "html/Serializer.h"

#include "dom/TreeWalk.h"
#include "html/Tokenizer.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <vector>

namespace html {

using dom::Node;
using dom::NodeKind;

namespace {

// Standard attribute names, in the spelling the engine writes them. The list
// is sorted by the lower-case name.
struct KnownAttribute { const wchar_t* lower; const wchar_t* written; };
const KnownAttribute kKnownAttributes[] = {
    {L"abbr", L"abbr"}, {L"accept", L"accept"}, {L"accept-charset", L"accept-charset"}, {L"accesskey", L"accessKey"},
    {L"action", L"action"}, {L"align", L"align"}, {L"alink", L"aLink"}, {L"alt", L"alt"}, {L"axis", L"axis"},
    {L"background", L"background"}, {L"bgcolor", L"bgColor"}, {L"border", L"border"}, {L"bordercolor", L"borderColor"},
    {L"cellpadding", L"cellPadding"}, {L"cellspacing", L"cellSpacing"}, {L"char", L"char"}, {L"charoff", L"charOff"},
    {L"charset", L"charset"}, {L"checked", L"checked"}, {L"cite", L"cite"}, {L"class", L"class"}, {L"classid", L"classid"},
    {L"clear", L"clear"}, {L"code", L"code"}, {L"codebase", L"codeBase"}, {L"color", L"color"}, {L"cols", L"cols"},
    {L"colspan", L"colSpan"}, {L"compact", L"compact"}, {L"content", L"content"}, {L"coords", L"coords"},
    {L"data", L"data"}, {L"datetime", L"dateTime"}, {L"declare", L"declare"}, {L"defer", L"defer"}, {L"dir", L"dir"},
    {L"disabled", L"disabled"}, {L"enctype", L"encType"}, {L"face", L"face"}, {L"for", L"for"}, {L"frame", L"frame"},
    {L"frameborder", L"frameBorder"}, {L"headers", L"headers"}, {L"height", L"height"}, {L"href", L"href"},
    {L"hreflang", L"hreflang"}, {L"hspace", L"hspace"}, {L"http-equiv", L"http-equiv"}, {L"id", L"id"},
    {L"label", L"label"}, {L"lang", L"lang"}, {L"language", L"language"}, {L"link", L"link"},
    {L"longdesc", L"longDesc"}, {L"marginheight", L"marginHeight"}, {L"marginwidth", L"marginWidth"},
    {L"maxlength", L"maxLength"}, {L"media", L"media"}, {L"method", L"method"}, {L"multiple", L"multiple"},
    {L"name", L"name"}, {L"nohref", L"noHref"}, {L"noresize", L"noResize"}, {L"noshade", L"noShade"},
    {L"nowrap", L"noWrap"}, {L"onblur", L"onblur"}, {L"onchange", L"onchange"}, {L"onclick", L"onclick"},
    {L"ondblclick", L"ondblclick"}, {L"onfocus", L"onfocus"}, {L"onkeydown", L"onkeydown"}, {L"onkeypress", L"onkeypress"},
    {L"onkeyup", L"onkeyup"}, {L"onload", L"onload"}, {L"onmousedown", L"onmousedown"}, {L"onmousemove", L"onmousemove"},
    {L"onmouseout", L"onmouseout"}, {L"onmouseover", L"onmouseover"}, {L"onmouseup", L"onmouseup"},
    {L"onreset", L"onreset"}, {L"onselect", L"onselect"}, {L"onsubmit", L"onsubmit"}, {L"onunload", L"onunload"},
    {L"profile", L"profile"}, {L"readonly", L"readOnly"}, {L"rel", L"rel"}, {L"rev", L"rev"}, {L"rows", L"rows"},
    {L"rowspan", L"rowSpan"}, {L"rules", L"rules"}, {L"scheme", L"scheme"}, {L"scope", L"scope"},
    {L"scrolling", L"scrolling"}, {L"selected", L"selected"}, {L"shape", L"shape"}, {L"size", L"size"},
    {L"span", L"span"}, {L"src", L"src"}, {L"start", L"start"}, {L"style", L"style"}, {L"summary", L"summary"},
    {L"tabindex", L"tabIndex"}, {L"target", L"target"}, {L"text", L"text"}, {L"title", L"title"}, {L"type", L"type"},
    {L"usemap", L"useMap"}, {L"valign", L"vAlign"}, {L"value", L"value"}, {L"valuetype", L"valueType"},
    {L"version", L"version"}, {L"vlink", L"vLink"}, {L"vspace", L"vspace"}, {L"width", L"width"},
};

const wchar_t* KnownSpelling(const CString& name) {
    if (name.GetLength() > 16) return nullptr;
    wchar_t lower[17];
    int length = name.GetLength();
    for (int i = 0; i < length; ++i) lower[i] = CString::LowerAscii(name[i]);
    std::wstring_view key(lower, static_cast<size_t>(length));
    const KnownAttribute* hit = std::lower_bound(std::begin(kKnownAttributes), std::end(kKnownAttributes), key,
                                                 [](const KnownAttribute& a, std::wstring_view k) { return std::wstring_view(a.lower) < k; });
    return hit != std::end(kKnownAttributes) && std::wstring_view(hit->lower) == key ? hit->written : nullptr;
}

bool IsPlainWord(const CString& value) {
    if (value.IsEmpty()) return false;
    for (wchar_t c : value.str()) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == '#';
        if (!ok) return false;
    }
    return true;
}

// The names, values and text that one node writes, and its tag punctuation.
size_t OwnLength(const dom::Node& node) {
    size_t length = static_cast<size_t>(node.Data().GetLength());
    if (node.IsElement()) {
        length += 2 * static_cast<size_t>(node.TagName().GetLength()) + 7;
        for (const auto& attribute : node.Attributes())
            length += static_cast<size_t>(attribute.name.GetLength() + attribute.value.GetLength()) + 4;
    }
    return length;
}

// About the length of the node's HTML, so the output grows once rather than
// by doubling (each step copies all that came before); WithRoomForEscapes adds
// a tenth for escapes and line breaks.
size_t EstimatedLength(const dom::Node& node) {
    size_t length = OwnLength(node);
    dom::WalkTree(node, [&length](const dom::NodePtr& child) {
        length += OwnLength(*child);
        return true;
    });
    return length;
}

size_t WithRoomForEscapes(size_t length) { return length + length / 10; }

// A reader takes a FORM met in a table, its sections or its rows as an empty
// element and puts what follows its start tag beside it.
bool IsFormInTable(const dom::Node& node) {
    const dom::Node* parent = node.Parent();
    return node.Is(dom::Tag::Form) && parent &&
           (parent->Is(dom::Tag::Table) || parent->Is(dom::Tag::Tbody) || parent->Is(dom::Tag::Thead) ||
            parent->Is(dom::Tag::Tfoot) || parent->Is(dom::Tag::Tr));
}

// Whether a bogus comment ("<!...>") reads back as one: not when it would
// begin a comment, CDATA or a document type.
bool ReadsBackAsBogusComment(const CString& data) {
    static const wchar_t kDoctype[] = L"DOCTYPE";
    if (data.Left(2) == L"--" || data.Left(7) == L"[CDATA[") return false;
    if (data.GetLength() < 7) return true;
    for (int k = 0; k < 7; ++k)
        if (CString::UpperAscii(data[k]) != kDoctype[k]) return true;
    return false;
}

// Whether the page holds nothing after the node but the empty HTML, HEAD and
// BODY elements that a reader makes again by itself.
bool OnlyImpliedElementsFollow(const dom::Node& node) {
    auto implied = [](const dom::Node& element, auto& self) -> bool {
        if (!element.IsElement() || !element.Attributes().empty() ||
            !(element.Is(dom::Tag::Html) || element.Is(dom::Tag::Head) || element.Is(dom::Tag::Body)))
            return false;
        for (const dom::Node* child = element.FirstChild(); child; child = child->NextSibling())
            if (!self(*child, self)) return false;
        return true;
    };
    for (const dom::Node* at = &node; at; at = at->Parent())
        for (const dom::Node* next = at->NextSibling(); next; next = next->NextSibling())
            if (!implied(*next, implied)) return false;
    return true;
}

class Writer {
public:
    std::wstring out;
    bool m_plaintext = false;
    // A script's text ran to the end of the page inside a "<!--<script>"
    // stretch: a reader takes all that follows for script, so nothing more is written.
    bool m_restIsScript = false;
    // FORM elements written and not yet closed. A reader never puts a FORM
    // inside another (the start tag of one inside is dropped and its end tag
    // closes the outer one early), so one inside is written without its tags.
    std::vector<const dom::Node*> m_forms;

    void Node(const dom::Node& node) {
        if (Open(node)) Children(node);
        Close(node);
    }

    void Children(const dom::Node& node) {
        dom::WalkTree(node, [this](const dom::NodePtr& child) { return Open(*child); },
                      [this](const dom::NodePtr& child) { Close(*child); });
    }

    // Writes what comes before the node's children; answers whether they follow.
    bool Open(const dom::Node& node) {
        if (m_restIsScript) return false;
        switch (node.Kind()) {
        case NodeKind::Document:
            return true;
        case NodeKind::Element:
            // Saved as the reader would take them back, so that the page saved again is the same page.
            if (node.Is(dom::Tag::Form)) {
                if (!m_forms.empty()) return true;
                if (IsFormInTable(node)) {
                    StartTag(node);
                    out += L"</FORM>";
                    return true;
                }
                m_forms.push_back(&node);
            }
            StartTag(node);
            if (StartsOnNextLine(node)) out += L"\r\n";
            if (node.TagFlags() & dom::kVoid) return false;
            if (node.Is(dom::Tag::Plaintext)) m_plaintext = true;  // nothing ends it
            return true;
        case NodeKind::Text:
            Text(node);
            return false;
        case NodeKind::Comment:
            Comment(node);
            return false;
        case NodeKind::Doctype:
            out += L"<!";
            out += node.Data().str();
            out += L">";
            return false;
        }
        return false;
    }

    void StartTag(const dom::Node& element) {
        if ((element.TagFlags() & dom::kLineBreakBefore) && !out.empty()) out += L"\r\n";
        out += L'<';
        out += element.TagName().str();
        Attributes(element);
        out += L'>';
    }

    // A reader drops the line end right after these start tags: PRE's text
    // always starts on the next line in a page, LISTING's and TEXTAREA's
    // when it begins with a line end of its own, so that one is kept.
    static bool StartsOnNextLine(const dom::Node& node) {
        if (node.Is(dom::Tag::Pre)) return true;
        if (!node.Is(dom::Tag::Listing) && !node.Is(dom::Tag::Textarea)) return false;
        const dom::Node* first = node.FirstChild();
        return first && first->IsText() && !first->Data().IsEmpty() && first->Data().str()[0] == L'\n';
    }

    void Close(const dom::Node& node) {
        if (!node.IsElement() || (node.TagFlags() & dom::kVoid) || m_plaintext || m_restIsScript) return;
        if (node.Is(dom::Tag::Form)) {
            if (m_forms.empty() || m_forms.back() != &node) return;
            m_forms.pop_back();
        }
        out += L"</";
        out += node.TagName().str();
        out += L'>';
    }

    void Attributes(const dom::Node& element) {
        // Standard attributes first, then the page's own, each group in source order.
        bool bareBefore = false;  // the last one written was a bare name
        for (bool standard : {true, false})
            for (const auto& attribute : element.Attributes()) {
                const wchar_t* known = KnownSpelling(attribute.name);
                if (standard == (known != nullptr)) bareBefore = Attribute(attribute, known, bareBefore);
            }
    }

    // Writes one attribute; answers whether it was written as a bare name.
    bool Attribute(const dom::Attribute& attribute, const wchar_t* known, bool bareBefore) {
        // A bare name before one that starts with '=' gets an empty value, or the '=' would read as its value.
        if (bareBefore && !attribute.name.IsEmpty() && attribute.name[0] == L'=') out += L"=\"\"";
        out += L' ';
        out += known ? known : attribute.name.GetString();
        if (!attribute.hasValue && attribute.value.IsEmpty()) return true;
        out += L'=';
        if (known && IsPlainWord(attribute.value)) {
            out += attribute.value.str();
            return false;
        }
        out += L'"';
        AppendEscaped(attribute.value.str(), L"&\"\xA0\r");
        out += L'"';
        return false;
    }

    void Text(const dom::Node& text) {
        const dom::Node* parent = text.Parent();
        unsigned flags = parent ? parent->TagFlags() : 0;
        if (flags & dom::kRawText) {
            AppendEscaped(text.Data().str(), L"\n");
            if (parent->Is(dom::Tag::Script) && parent->LastChild() == &text) CloseNestedScript(*parent);
            return;
        }
        Escape(text.Data().str());
    }

    // Script text that ends inside "<!--<script>" is not closed by the end
    // tag written after it: a reader takes the rest of the page for script.
    // When nothing of the page follows, the page ends with that text, which
    // reads back the same; otherwise the text is closed with "-->", so that
    // what follows stays page.
    void CloseNestedScript(const dom::Node& script) {
        std::wstring text;
        for (const dom::Node* child = script.FirstChild(); child; child = child->NextSibling())
            if (child->IsText()) text += child->Data().str();
        bool nested = false;
        FindScriptEnd(text, 0, &nested);
        if (!nested) return;
        if (OnlyImpliedElementsFollow(script)) m_restIsScript = true;
        else out += L"-->";
    }

    void Escape(const std::wstring& text) { AppendEscaped(text, L"&<>\xA0\n\r"); }

    // Appends the text, writing each of the listed characters as the page store expects it.
    void AppendEscaped(std::wstring_view text, const wchar_t* special) {
        for (size_t start = 0; start < text.size();) {
            size_t stop = text.find_first_of(special, start);
            if (stop == std::wstring_view::npos) stop = text.size();
            out.append(text, start, stop - start);
            if (stop == text.size()) break;
            out += Replacement(text[stop]);
            start = stop + 1;
        }
    }

    static const wchar_t* Replacement(wchar_t c) {
        switch (c) {
        case '&': return L"&amp;";
        case '<': return L"&lt;";
        case '>': return L"&gt;";
        case '"': return L"&quot;";
        case 0xA0: return L"&nbsp;";
        case '\n': return L"\r\n";
        case '\r': return L"&#13;";
        default: return L"";
        }
    }

    void Comment(const dom::Node& comment) {
        const CString& kind = comment.TagName();
        if (kind == L"?") {
            out += L"<?";
            out += comment.Data().str();
            out += L">";
        } else if (kind == L"!" && ReadsBackAsBogusComment(comment.Data())) {
            out += L"<!";
            out += comment.Data().str();
            out += L">";
        } else {
            out += L"<!--";
            out += comment.Data().str();
            out += L"-->";
        }
    }
};

}  // namespace

CString SerializeDocument(const dom::Document& document) {
    Writer writer;
    writer.out.reserve(WithRoomForEscapes(EstimatedLength(document)));
    writer.Children(document);
    return CString(std::move(writer.out));
}

CString SerializeOuter(const dom::Node& node) {
    Writer writer;
    writer.Node(node);
    return CString(std::move(writer.out));
}

CString SerializeInner(const dom::Node& node) {
    Writer writer;
    writer.Children(node);
    return CString(std::move(writer.out));
}

CString SerializeStartTag(const dom::Node& element) {
    Writer writer;
    writer.out += L'<';
    writer.out += element.TagName().str();
    writer.Attributes(element);
    writer.out += L'>';
    return CString(std::move(writer.out));
}

CString SerializeEndTag(const dom::Node& element) {
    if (element.TagFlags() & dom::kVoid) return CString();
    return L"</" + element.TagName() + L">";
}

CString EscapeText(const CString& text) {
    Writer writer;
    writer.Escape(text.str());
    return CString(std::move(writer.out));
}

}  // namespace html
