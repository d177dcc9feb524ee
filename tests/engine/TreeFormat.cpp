#include "TreeFormat.h"

#include "html/Doctype.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

void AppendUtf8(std::string& out, const std::wstring& text) {
    if (text.empty()) return;
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    size_t at = out.size();
    out.resize(at + static_cast<size_t>(length));
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data() + at, length, nullptr, nullptr);
}

std::wstring Lower(std::wstring text) {
    for (auto& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<wchar_t>(c - 'A' + 'a');
    return text;
}

std::wstring DoctypeLine(const std::wstring& text) {
    html::DoctypeParts doctype = html::ParseDoctype(text);
    std::wstring line = L"<!DOCTYPE " + doctype.name;
    if (!doctype.publicId.empty() || !doctype.systemId.empty()) line += L" \"" + doctype.publicId + L"\" \"" + doctype.systemId + L"\"";
    return line + L">";
}

}  // namespace

void AppendTree(const dom::Node& node, int depth, std::string& out) {
    std::wstring indent = L"| " + std::wstring(static_cast<size_t>(depth) * 2, L' ');
    std::wstring line;
    switch (node.Kind()) {
    case dom::NodeKind::Document:
        break;
    case dom::NodeKind::Element: {
        line = indent + L"<" + Lower(node.TagName().str()) + L">\n";
        std::vector<std::wstring> attributes;
        for (const auto& attribute : node.Attributes())
            attributes.push_back(Lower(attribute.name.str()) + L"=\"" + attribute.value.str() + L"\"");
        std::sort(attributes.begin(), attributes.end());
        for (const auto& attribute : attributes) line += indent + L"  " + attribute + L"\n";
        break;
    }
    case dom::NodeKind::Text:
        line = indent + L"\"" + node.Data().str() + L"\"\n";
        break;
    case dom::NodeKind::Comment: {
        std::wstring data = node.Data().str();
        if (node.TagName() == L"?") data = L"?" + data;
        line = indent + L"<!-- " + data + L" -->\n";
        break;
    }
    case dom::NodeKind::Doctype:
        line = indent + DoctypeLine(node.Data().str()) + L"\n";
        break;
    }
    AppendUtf8(out, line);
    int childDepth = node.Kind() == dom::NodeKind::Document ? depth : depth + 1;
    for (const auto& child : node.Children()) AppendTree(*child, childDepth, out);
}
