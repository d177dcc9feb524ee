#include "html/Parser.h"

#include "html/Serializer.h"
#include "html/Tokenizer.h"
#include "html/TreeBuilder.h"

namespace html {

using dom::Node;
using dom::NodePtr;

namespace {

bool SameTree(const Node& a, const Node& b) {
    if (a.Kind() != b.Kind() || a.TagName() != b.TagName() || a.Data() != b.Data() || a.ChildCount() != b.ChildCount() ||
        a.Attributes().size() != b.Attributes().size())
        return false;
    for (size_t i = 0; i < a.Attributes().size(); ++i)
        if (a.Attributes()[i].name != b.Attributes()[i].name || a.Attributes()[i].value != b.Attributes()[i].value ||
            a.Attributes()[i].hasValue != b.Attributes()[i].hasValue)
            return false;
    for (int i = 0; i < a.ChildCount(); ++i)
        if (!SameTree(*a.Child(i), *b.Child(i))) return false;
    return true;
}

std::shared_ptr<dom::Document> Build(const CString& text, bool& unsettled) {
    auto document = dom::Document::Create();
    TreeBuilder builder(*document, nullptr);
    builder.Run(text);
    unsettled = builder.Unsettled();
    return document;
}

// A page is saved as its serialization and read back from it, so the tree
// must be one that its serialization gives again. The few trees that are
// not (an element moved out of a table into one that a second reading
// closes, say) are replaced by the tree of their serialization.
std::shared_ptr<dom::Document> BuildSettled(const CString& text) {
    bool unsettled = false;
    auto document = Build(text, unsettled);
    for (int round = 0; unsettled && round < 4; ++round) {
        auto again = Build(SerializeDocument(*document), unsettled);
        if (SameTree(*document, *again)) break;
        document = std::move(again);
    }
    return document;
}

}  // namespace

void ParseDocument(dom::Document& document, const CString& text) {
    document.ReplaceContent(*BuildSettled(text));
}

std::shared_ptr<dom::Document> ParseDocument(const CString& text) { return BuildSettled(text); }

std::vector<dom::NodePtr> ParseFragment(dom::Document& owner, const CString& text, const dom::Node* context) {
    // The content of TITLE, TEXTAREA, STYLE, SCRIPT and their kin is text,
    // whatever it looks like; TITLE and TEXTAREA resolve references in it.
    if (context && context->IsElement() && (context->TagFlags() & (dom::kRawText | dom::kRcData))) {
        std::wstring plain;
        for (int i = 0; i < text.GetLength(); ++i) {
            wchar_t c = text[i];
            if (c == '\r' && i + 1 < text.GetLength() && text[i + 1] == '\n') continue;  // line ends as the tokenizer reads them
            plain += c == '\r' ? L'\n' : c == 0 ? wchar_t(0xFFFD) : c;
        }
        if (context->TagFlags() & dom::kRcData) {
            std::wstring decoded;
            DecodeReferences(plain.data(), plain.size(), false, decoded);
            plain.swap(decoded);
        }
        if (plain.empty()) return {};
        return {owner.CreateText(CString(std::move(plain)))};
    }
    NodePtr root = owner.CreateElement(context && context->IsElement() ? context->TagName() : CString(L"BODY"));
    const Node* form = context;
    while (form && !form->Is(dom::Tag::Form)) form = form->Parent();
    {
        TreeBuilder builder(owner, root.get(), form);
        builder.Run(text);
    }
    auto& children = root->ParserChildren();
    std::vector<NodePtr> nodes(std::make_move_iterator(children.begin()), std::make_move_iterator(children.end()));
    children.clear();
    for (auto& node : nodes) node->ParserDetach();
    return nodes;
}

}  // namespace html
