#include "editing/Clipboard.h"

#include "html/Parser.h"
#include "html/Serializer.h"

#include <cstdio>
#include <vector>

namespace editing {

namespace {

const char kStartMarker[] = "<!--StartFragment-->";
const char kEndMarker[] = "<!--EndFragment-->";

std::string ToUtf8(const CString& text) {
    if (text.IsEmpty()) return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.GetString(), text.GetLength(), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.GetString(), text.GetLength(), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

CString FromUtf8(const char* bytes, size_t length) {
    if (length == 0 || length > 0x7FFFFFFF) return CString();
    int size = MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(length), nullptr, 0);
    std::wstring text(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(length), text.data(), size);
    return CString(std::move(text));
}

// The number after "Name:" in the header, -1 when missing or not a number.
long long HeaderNumber(const std::string& bytes, const char* name) {
    size_t header = bytes.find('<');
    size_t at = bytes.find(name);
    if (at == std::string::npos || (header != std::string::npos && at > header)) return -1;
    at += strlen(name);
    long long value = 0;
    bool digits = false;
    while (at < bytes.size() && bytes[at] >= '0' && bytes[at] <= '9' && value < (1LL << 40)) {
        value = value * 10 + (bytes[at++] - '0');
        digits = true;
    }
    return digits ? value : -1;
}

bool IsScriptElement(const dom::Node& node) {
    using dom::Tag;
    return node.Is(Tag::Script) || node.Is(Tag::Object) || node.Is(Tag::Embed) || node.Is(Tag::Applet) ||
           node.Is(Tag::Iframe) || node.Is(Tag::Frame) || node.Is(Tag::Frameset) || node.Is(Tag::Meta) ||
           node.Is(Tag::Base) || node.Is(Tag::Link);
}

// "javascript:" and its kind, also with blanks, control characters or letter case mixed in.
bool IsScriptAddress(const CString& value) {
    CString compact;
    for (wchar_t c : value.str())
        if (c > ' ') compact += c;
    compact.MakeLower();
    return compact.Left(11) == L"javascript:" || compact.Left(9) == L"vbscript:" || compact.Left(10) == L"livescript" ||
           compact.Find(L"expression(") >= 0;
}

void Clean(dom::Node& node) {
    std::vector<dom::Node*> pending{&node};
    while (!pending.empty()) {
        dom::Node* current = pending.back();
        pending.pop_back();
        if (current->IsElement()) {
            std::vector<CString> drop;
            for (const auto& attribute : current->Attributes())
                if (attribute.name.Left(2).CompareNoCase(L"on") == 0 || IsScriptAddress(attribute.value)) drop.push_back(attribute.name);
            for (const auto& name : drop) current->RemoveAttribute(name);
        }
        for (int i = current->ChildCount() - 1; i >= 0; --i) {
            dom::Node* child = current->Child(i);
            if (child->IsElement() && IsScriptElement(*child)) current->RemoveChild(child);
            else pending.push_back(child);
        }
    }
}

}  // namespace

std::string MakeHtmlFormat(const CString& fragment) {
    const std::string prefix = "<html><body>\r\n";
    const std::string suffix = "\r\n</body>\r\n</html>";
    const std::string body = ToUtf8(fragment);
    const char* format = "Version:0.9\r\nStartHTML:%010zu\r\nEndHTML:%010zu\r\nStartFragment:%010zu\r\nEndFragment:%010zu\r\n";
    char header[160];
    size_t headerLength = static_cast<size_t>(std::snprintf(header, sizeof header, format, size_t{0}, size_t{0}, size_t{0}, size_t{0}));
    size_t startHtml = headerLength;
    size_t startFragment = startHtml + prefix.size() + strlen(kStartMarker);
    size_t endFragment = startFragment + body.size();
    size_t endHtml = endFragment + strlen(kEndMarker) + suffix.size();
    std::snprintf(header, sizeof header, format, startHtml, endHtml, startFragment, endFragment);
    return std::string(header) + prefix + kStartMarker + body + kEndMarker + suffix;
}

CString FragmentOfHtmlFormat(const std::string& bytes) {
    long long start = HeaderNumber(bytes, "StartFragment:");
    long long end = HeaderNumber(bytes, "EndFragment:");
    if (start >= 0 && end >= start && static_cast<unsigned long long>(end) <= bytes.size())
        return FromUtf8(bytes.data() + start, static_cast<size_t>(end - start));
    size_t marker = bytes.find(kStartMarker);
    size_t last = bytes.find(kEndMarker);
    if (marker != std::string::npos && last != std::string::npos && last >= marker + strlen(kStartMarker)) {
        size_t from = marker + strlen(kStartMarker);
        return FromUtf8(bytes.data() + from, last - from);
    }
    size_t html = bytes.find('<');  // no usable header: the markup after it
    if (html == std::string::npos) return CString();
    return FromUtf8(bytes.data() + html, bytes.size() - html);
}

CString SanitizeHtml(const CString& html) {
    auto scratch = dom::Document::Create();
    dom::NodePtr holder = scratch->CreateElement(L"DIV");
    for (auto& node : html::ParseFragment(*scratch, html, holder.get())) holder->ParserAppend(node);
    Clean(*holder);
    return html::SerializeInner(*holder);
}

CString TextAsHtml(const CString& text) {
    CString lines = text;
    lines.Replace(L"\r\n", L"\n");
    lines.Replace(L'\r', L'\n');
    CString html;
    int start = 0;
    for (int end; (end = lines.Find(L'\n', start)) >= 0; start = end + 1) html += html::EscapeText(lines.Mid(start, end - start)) + L"<BR>";
    return html + html::EscapeText(lines.Mid(start));
}

namespace {

bool OpenClipboardFor(HWND owner) {
    for (int attempt = 0; attempt < 10; ++attempt) {  // another process may hold it a moment
        if (OpenClipboard(owner)) return true;
        Sleep(10);
    }
    return false;
}

bool PutBytes(UINT format, const void* data, size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return false;
    void* target = GlobalLock(memory);
    if (!target) {
        GlobalFree(memory);
        return false;
    }
    memcpy(target, data, size);
    GlobalUnlock(memory);
    if (!SetClipboardData(format, memory)) {
        GlobalFree(memory);
        return false;
    }
    return true;
}

UINT HtmlClipboardFormat() { return RegisterClipboardFormatW(L"HTML Format"); }

}  // namespace

bool WriteClipboard(HWND owner, const CString& text, const CString& fragment) {
    if (!OpenClipboardFor(owner)) return false;
    EmptyClipboard();
    bool done = PutBytes(CF_UNICODETEXT, text.GetString(), (static_cast<size_t>(text.GetLength()) + 1) * sizeof(wchar_t));
    std::string html = MakeHtmlFormat(fragment);
    done = PutBytes(HtmlClipboardFormat(), html.c_str(), html.size() + 1) && done;
    CloseClipboard();
    return done;
}

bool ReadClipboard(HWND owner, CString& html, CString& text) {
    html.Empty();
    text.Empty();
    if (!OpenClipboardFor(owner)) return false;
    if (HANDLE data = GetClipboardData(HtmlClipboardFormat())) {
        size_t size = GlobalSize(data);
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            std::string copy(bytes, strnlen(bytes, size));
            GlobalUnlock(data);
            html = FragmentOfHtmlFormat(copy);
        }
    }
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        size_t size = GlobalSize(data) / sizeof(wchar_t);
        if (const wchar_t* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = CString(chars, static_cast<int>(wcsnlen(chars, size)));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return !html.IsEmpty() || !text.IsEmpty();
}

bool ClipboardHasContent() {
    return IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(HtmlClipboardFormat());
}

}  // namespace editing
