#include "dom/TextContent.h"

#include "dom/Document.h"
#include "dom/TreeWalk.h"

namespace dom {

namespace {

void CollectRaw(const Node& node, std::wstring& out) {
    if (node.IsText()) out += node.Data().str();
    WalkTree(node, [&out](const NodePtr& child) {
        if (child->IsText()) out += child->Data().str();
        return true;
    });
}

bool IsHidden(const Node& node) {
    return node.Is(Tag::Script) || node.Is(Tag::Style) || node.Is(Tag::Title) || node.Is(Tag::Head);
}

class Renderer {
public:
    std::wstring out;

    void Walk(const Node& node, bool preformatted) {
        // Preformatted is on inside the elements that keep their white space.
        int keepSpace = preformatted ? 1 : 0;
        auto keeps = [](const Node& n) { return n.Is(Tag::Pre) || n.Is(Tag::Textarea) || n.Is(Tag::Xmp) || n.Is(Tag::Plaintext); };
        auto isBlock = [](const Node& n) { return (n.TagFlags() & kLineBreakBefore) != 0; };
        WalkTree(
            node,
            [&](const NodePtr& child) {
                const Node& n = *child;
                if (n.IsText()) {
                    Text(n.Data().str(), keepSpace > 0);
                    return false;
                }
                if (!n.IsElement() || IsHidden(n)) return false;
                if (n.Is(Tag::Br)) {
                    out += L"\r\n";
                    m_pendingSpace = false;
                    return false;
                }
                if (isBlock(n)) Break();
                if (keeps(n)) ++keepSpace;
                return true;
            },
            [&](const NodePtr& child) {
                if (keeps(*child)) --keepSpace;
                if (isBlock(*child)) Break();
            });
    }

private:
    void Break() {
        m_pendingSpace = false;
        if (!out.empty() && (out.size() < 2 || out.compare(out.size() - 2, 2, L"\r\n") != 0)) out += L"\r\n";
    }

    void Text(const std::wstring& text, bool preformatted) {
        for (wchar_t c : text) {
            if (preformatted) {
                if (c == '\n') out += L"\r\n";
                else out += c;
                continue;
            }
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') {
                m_pendingSpace = true;
                continue;
            }
            if (m_pendingSpace && !out.empty() && out.back() != '\n') out += L' ';
            m_pendingSpace = false;
            out += c;
        }
    }

    bool m_pendingSpace = false;
};

}  // namespace

CString RawText(const Node& node) {
    std::wstring out;
    CollectRaw(node, out);
    return CString(std::move(out));
}

CString InnerText(const Node& node) {
    Renderer renderer;
    renderer.Walk(node, node.Is(Tag::Pre) || node.Is(Tag::Textarea));
    std::wstring& out = renderer.out;
    while (out.size() >= 2 && out.compare(out.size() - 2, 2, L"\r\n") == 0) out.resize(out.size() - 2);
    size_t start = 0;
    while (out.compare(start, 2, L"\r\n") == 0) start += 2;
    return CString(out.substr(start));
}

void SetInnerText(Node& node, const CString& text) {
    node.RemoveAllChildren();
    Document& document = *node.Owner();
    CString line;
    const std::wstring& source = text.str();
    for (size_t i = 0; i <= source.size(); ++i) {
        wchar_t c = i < source.size() ? source[i] : 0;
        if (i < source.size() && c != '\r' && c != '\n') {
            line += c;
            continue;
        }
        if (!line.IsEmpty()) node.AppendChild(document.CreateText(line));
        line.Empty();
        if (i == source.size()) break;
        if (c == '\r' && i + 1 < source.size() && source[i + 1] == '\n') ++i;
        if (node.Is(Tag::Textarea) || node.Is(Tag::Pre)) node.AppendChild(document.CreateText(L"\n"));
        else node.AppendChild(document.CreateElement(L"BR"));
    }
}

}  // namespace dom
