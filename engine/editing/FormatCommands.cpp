#include "editing/FormatCommands.h"

#include "dom/InlineStyle.h"

namespace editing {

using dom::Node;
using dom::Tag;

namespace {

void SetFormatAttribute(Node& element, const CString& attribute, const CString& value) {
    if (attribute.IsEmpty()) return;
    if (attribute.Left(6) == L"style:") {
        element.SetAttribute(L"style", dom::SetCssProperty(element.GetAttribute(L"style"), attribute.Mid(6), value));
        return;
    }
    element.SetAttribute(attribute, value);
}

Node* StartElement(const TextRange& range) {
    Node* node = range.Start().node.get();
    while (node && !node->IsElement()) node = node->Parent();
    return node;
}

}  // namespace

Node* OutermostPiece(Node* node) {
    Node* piece = nullptr;
    for (; node; node = node->Parent())
        if (node->IsElement() && ((node->TagFlags() & (dom::kRawText | dom::kRcData)) || node->Is(Tag::Select)))
            piece = node;
    return piece;
}

bool IsTablePart(const Node& node) {
    return node.Is(Tag::Table) || node.Is(Tag::Tbody) || node.Is(Tag::Thead) || node.Is(Tag::Tfoot) || node.Is(Tag::Tr) ||
           node.Is(Tag::Colgroup) || node.Is(Tag::Col);
}

bool HoldsOnlyText(const Node& text) {
    const Node* parent = text.Parent();
    return !parent || IsTablePart(*parent) || OutermostPiece(const_cast<Node*>(parent));
}

void ApplyInlineFormat(TextRange& range, const CString& tag, const CString& attribute, const CString& value) {
    auto texts = range.IsolateTextNodes();
    CString upper = tag;
    upper.MakeUpper();
    for (const auto& text : texts) {
        Node* parent = text->Parent();
        if (!parent || HoldsOnlyText(*text)) continue;
        if (parent->TagName() == upper && parent->ChildCount() == 1) {
            SetFormatAttribute(*parent, attribute, value);
            continue;
        }
        dom::NodePtr wrapper = range.Document().CreateElement(upper);
        SetFormatAttribute(*wrapper, attribute, value);
        parent->InsertChild(text->IndexInParent(), wrapper);
        wrapper->AppendChild(text);
    }
    if (!texts.empty()) {
        range.SetStart({texts.front(), 0});
        range.SetEnd({texts.back(), texts.back()->Data().GetLength()});
    }
}

void AlignBlock(TextRange& range, const CString& alignment) {
    for (Node* node = range.ParentElement(); node; node = node->ParentElement()) {
        if ((node->TagFlags() & dom::kClosesParagraph) || node->Is(Tag::Td) || node->Is(Tag::Th) || node->Is(Tag::Body)) {
            node->SetAttribute(L"align", alignment);
            return;
        }
    }
}

CString FontNameAt(const TextRange& range) {
    for (Node* node = StartElement(range); node; node = node->ParentElement()) {
        if (node->Is(Tag::Font) && !node->GetAttribute(L"face").IsEmpty()) return node->GetAttribute(L"face");
        CString family = dom::GetCssProperty(node->GetAttribute(L"style"), L"font-family");
        if (!family.IsEmpty()) return family;
    }
    return L"Times New Roman";
}

int FontSizeAt(const TextRange& range) {
    for (Node* node = StartElement(range); node; node = node->ParentElement()) {
        if (!node->Is(Tag::Font)) continue;
        int size = _wtoi(node->GetAttribute(L"size"));
        if (size >= 1 && size <= 7) return size;
    }
    return 3;
}

}  // namespace editing
