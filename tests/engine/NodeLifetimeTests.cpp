// Nodes live in memory their document takes in blocks and hands on to later
// documents: a node held after its document is gone, nodes moved into another
// document by a load, and documents made after earlier ones went all keep
// their own content.
#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const wchar_t kPage[] = L"<p class=first>One <a href=\"x.htm\" title=\"a long title\">link</a></p><table><tr><td pos=0>cell</table>";

dom::NodePtr FirstElement(dom::Node& root, dom::Tag tag) {
    for (const auto& child : root.Children()) {
        if (child->Is(tag)) return child;
        if (auto found = FirstElement(*child, tag)) return found;
    }
    return nullptr;
}

TEST(NodeLifetime, NodeHeldAfterItsDocumentIsGoneKeepsItsContent) {
    dom::NodePtr paragraph;
    {
        auto document = html::ParseDocument(kPage);
        paragraph = FirstElement(*document, dom::Tag::P);
        ASSERT_TRUE(paragraph);
    }
    for (int i = 0; i < 3; ++i) html::ParseDocument(CString(kPage) + kPage);  // later documents take memory meanwhile
    EXPECT_EQ(html::SerializeOuter(*paragraph), CString(L"<P class=first>One <A href=x.htm title=\"a long title\">link</A></P>"));
    EXPECT_EQ(paragraph->GetAttribute(L"CLASS"), CString(L"first"));
}

TEST(NodeLifetime, LoadedNodesOutliveTheDocumentTheyWereParsedIn) {
    auto document = dom::Document::Create();
    html::ParseDocument(*document, kPage);  // parses into a document of its own, then moves the nodes over
    html::ParseDocument(L"<p>other</p>");
    dom::Node* cell = FirstElement(*document, dom::Tag::Td).get();
    ASSERT_TRUE(cell);
    cell->SetAttribute(L"width", L"50%");
    for (int i = 0; i < 40; ++i) cell->AppendChild(document->CreateElement(L"br"));
    EXPECT_EQ(cell->ChildCount(), 41);
    CString saved = html::SerializeDocument(*document);
    EXPECT_GE(saved.Find(L"<TD width=\"50%\" pos=\"0\">cell<BR><BR>"), 0) << Show(saved);
    EXPECT_EQ(Reserialize(saved), saved);
}

TEST(NodeLifetime, DocumentsMadeOneAfterAnotherEachKeepTheirOwnText) {
    std::vector<std::shared_ptr<dom::Document>> kept;
    std::vector<CString> expected;
    for (int i = 0; i < 30; ++i) {
        CString page;
        for (int row = 0; row < 200 * (i % 4); ++row) page += L"<div id=d" + CString(std::to_wstring(row + i).c_str()) + L">text</div>";
        auto document = html::ParseDocument(page);
        if (i % 3 == 0) {  // every third stays; the others go and leave their memory to the next
            expected.push_back(html::SerializeDocument(*document));
            kept.push_back(document);
        }
    }
    for (size_t i = 0; i < kept.size(); ++i) EXPECT_EQ(html::SerializeDocument(*kept[i]), expected[i]) << i;
}

}  // namespace
