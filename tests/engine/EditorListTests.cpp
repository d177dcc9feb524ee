// Lists in the editor: the list type changed at any item keeps the items in
// their order and the caret where it was, so the text typed next lands
// there; Enter on an empty item ends the list, as browsers' editors do;
// and Undo gives back the bytes before each of these steps.
#include "EditorFixture.h"
#include "dom/TreeWalk.h"

namespace {

// The body's text nodes joined with "|", in document order: the order of
// the items whatever the markup around them.
CString Texts(const dom::Node& node) {
    CString out;
    dom::WalkTree(node, [&](const dom::NodePtr& child) {
        CString data = child->IsText() ? child->Data() : CString();
        if (!data.Trim().IsEmpty()) out += (out.IsEmpty() ? L"" : L"|") + child->Data();
        return child->IsElement();
    });
    return out;
}

// The n-th element of the tag below the node, in document order.
dom::NodePtr NthElement(const dom::Node& node, dom::Tag tag, int n) {
    dom::NodePtr found;
    dom::WalkTree(node, [&](const dom::NodePtr& child) {
        if (!found && child->Is(tag) && n-- == 0) found = child;
        return !found && child->IsElement();
    });
    return found;
}

int Count(const CString& text, const wchar_t* part) {
    int count = 0;
    for (int at = text.Find(part); at >= 0; at = text.Find(part, at + 1)) ++count;
    return count;
}

}  // namespace

// On an empty line: Four, Order list, Enter, Unorder list, Five. Then the
// same in the middle of a longer list, and with the caret inside a word.
TEST_F(EditorFixture, ChangingTheListTypeAtANewItemTypesIntoThatItem) {
    Load(L"<BODY><DIV>&nbsp;</DIV></BODY>");
    CaretAt(CString(L"\u00A0"));
    Type(L"Four");
    Editor().ToggleList(true);
    Editor().InsertParagraph();
    Editor().ToggleList(false);
    Type(L"Five");
    EXPECT_EQ(Body(), L"<DIV>\r\n<UL>\r\n<LI>Four</LI>\r\n<LI>Five</LI></UL></DIV>");
    EXPECT_TRUE(Editor().IsInList(false));
    Editor().ToggleList(true);  // and back: still the item the caret is in
    Type(L"!");
    EXPECT_EQ(Body(), L"<DIV>\r\n<OL>\r\n<LI>Four</LI>\r\n<LI>Five!</LI></OL></DIV>");

    Load(L"<BODY><OL>\n<LI>one</LI>\n<LI>two</LI>\n<LI>three</LI></OL></BODY>");
    CaretAt(L"two", 3);
    Editor().InsertParagraph();
    Editor().ToggleList(false);
    Type(L"new");
    EXPECT_EQ(Texts(*state->document->Body()), L"one|two|new|three");
    EXPECT_TRUE(Editor().IsInList(false));
    CaretAt(L"three", 2);
    Editor().ToggleList(true);
    Type(L"X");
    EXPECT_EQ(Texts(*state->document->Body()), L"one|two|new|thXree");

    // A selection across items is the same selection in the list of the other kind.
    Load(L"<BODY><UL><LI>alpha</LI><LI>beta</LI></UL></BODY>");
    SelectBetween(L"pha", L"be");
    Editor().ToggleList(true);
    Type(L"-");
    EXPECT_EQ(Body(), L"<OL>\r\n<LI>al-ta</LI></OL>");
}

TEST_F(EditorFixture, EnterOnAnEmptyListItemEndsTheList) {
    // At the list's end: the new line is a paragraph after it, and typing goes there.
    Load(L"<BODY><UL><LI>a</LI></UL></BODY>");
    CaretAt(L"a", 1);
    Editor().InsertParagraph();
    const CString withEmptyItem = Body();
    EXPECT_EQ(withEmptyItem, L"<UL>\r\n<LI>a</LI>\r\n<LI></LI></UL>");
    Editor().InsertParagraph();
    Type(L"b");
    EXPECT_EQ(Body(), L"<UL>\r\n<LI>a</LI></UL>\r\n<P>b</P>");
    EXPECT_FALSE(Editor().IsInList(false));
    ASSERT_TRUE(state->history.Undo(state->selection));  // the typing
    ASSERT_TRUE(state->history.Undo(state->selection));  // the Enter that ended the list
    EXPECT_EQ(Body(), withEmptyItem);

    // In the middle the list is split around the new line.
    Load(L"<BODY><OL>\n<LI>one</LI>\n<LI>two</LI>\n<LI>three</LI></OL></BODY>");
    CaretAt(L"two", 3);
    Editor().InsertParagraph();
    Editor().InsertParagraph();
    Type(L"x");
    EXPECT_EQ(Body(), L"<OL>\r\n<LI>one</LI>\r\n<LI>two</LI></OL>\r\n<P>x</P>\r\n<OL>\r\n<LI>three</LI></OL>");

    // An empty first item of a list inside a line's DIV, as the page view makes lists.
    Load(L"<BODY><DIV><UL>\n<LI></LI>\n<LI>b</LI>\n</UL></DIV></BODY>");
    dom::NodePtr firstItem = NthElement(*state->document->Body(), dom::Tag::Li, 0);
    ASSERT_TRUE(firstItem);
    Editor().SetCaret({firstItem, 0}, false);
    Editor().InsertParagraph();
    Type(L"y");
    EXPECT_EQ(Body(), L"<DIV>\r\n<P>y</P>\r\n<UL>\r\n<LI>b</LI>\r\n</UL></DIV>");

    // An item of a lone line break is empty too.
    Load(L"<BODY><UL><LI>a</LI><LI><BR></LI></UL></BODY>");
    Editor().SetCaret({NthElement(*state->document->Body(), dom::Tag::Li, 1), 0}, false);
    Editor().InsertParagraph();
    EXPECT_EQ(Body(), L"<UL>\r\n<LI>a</LI></UL>\r\n<P><BR></P>");

    // An item with text is split, as before.
    Load(L"<BODY><UL><LI>ab</LI></UL></BODY>");
    CaretAt(L"ab", 1);
    Editor().InsertParagraph();
    EXPECT_EQ(Body(), L"<UL>\r\n<LI>a</LI>\r\n<LI>b</LI></UL>");
}

// A page made by New: its blank lines are one run of line breaks after the
// source's line end ("<hr>\n<BR 2><BR 2><BR 2><HR id=bodyend>"). Unorder
// list on the first of them makes that one line the item, without the line
// end; a1, Enter, Enter ends the list there, wherever in the line the click
// put the caret, and b1 goes on the line after the list.
TEST_F(EditorFixture, EnterOnAnEmptyItemEndsTheListOnANewPagesBlankLine) {
    const CString page =
        L"<html id=tq1>\n<head>\n<title>Fresh</title>\n</head>\n<body><DIV>\n<center><B>Fresh</B></center>\n"
        L"<hr color=blue size=1>\n<BR 2><BR 2><BR 2><HR id=bodyend width=\"50%\" color=black size=1>\n</DIV></body>\n</html>\n";
    for (int place = 0; place < 3; ++place) {
        SCOPED_TRACE(place);
        Load(page);
        dom::NodePtr rule = NthElement(*state->document->Body(), dom::Tag::Hr, 0);
        ASSERT_TRUE(rule);
        dom::Node* line = rule->Parent();
        dom::Node* next = rule->NextSibling();
        ASSERT_TRUE(next);
        if (place == 0) Editor().SetCaret({line->Self(), rule->IndexInParent() + 1}, false);  // just after the rule
        else if (place == 1 && next->IsText()) Editor().SetCaret({next->Self(), next->Data().GetLength()}, false);
        else Editor().SetCaret({line->Self(), NthElement(*line, dom::Tag::Br, 0)->IndexInParent()}, false);  // before its break
        Editor().ToggleList(false);
        Type(L"a1");
        Editor().InsertParagraph();
        Editor().InsertParagraph();
        Type(L"b1");
        const CString body = Body();
        EXPECT_NE(body.Find(L"<UL>\r\n<LI>a1</LI></UL>\r\n<P>b1<BR 2></P><BR 2><BR 2>"), -1) << body.str();
        EXPECT_FALSE(Editor().IsInList(false));
    }

    // In a run of lines the one the caret is on becomes the item.
    Load(L"<BODY><DIV>one<BR>two<BR>three</DIV></BODY>");
    CaretAt(L"two", 1);
    Editor().ToggleList(false);
    EXPECT_EQ(Body(), L"<DIV>one<BR>\r\n<UL>\r\n<LI>two<BR></LI></UL>three</DIV>");

    // An item of nothing but a line end from the source is empty too.
    Load(L"<BODY><UL>\n<LI>a</LI>\n<LI>\n</LI></UL></BODY>");
    Editor().SetCaret({NthElement(*state->document->Body(), dom::Tag::Li, 1), 0}, false);
    Editor().InsertParagraph();
    EXPECT_FALSE(Editor().IsInList(false));
    EXPECT_EQ(Count(Body(), L"<LI"), 1);
}

// Order list on an item of an ordered list takes just that item out, with
// the caret where it was; Undo restores the list byte for byte.
TEST_F(EditorFixture, AnItemTakenOutOfItsListKeepsTheCaret) {
    Load(L"<BODY><OL><LI>one</LI><LI>two</LI><LI>three</LI></OL></BODY>");
    const CString before = Body();
    CaretAt(L"two", 1);
    Editor().ToggleList(true);
    Type(L"X");
    EXPECT_EQ(Body(), L"<OL>\r\n<LI>one</LI></OL>\r\n<P>tXwo</P>\r\n<OL>\r\n<LI>three</LI></OL>");
    ASSERT_TRUE(state->history.Undo(state->selection));
    ASSERT_TRUE(state->history.Undo(state->selection));
    EXPECT_EQ(Body(), before);

    // The last item, with white space after it from the page's source: no empty list stays behind.
    Load(L"<BODY><UL>\n<LI>one</LI>\n<LI>two</LI>\n</UL></BODY>");
    CaretAt(L"two", 3);
    Editor().ToggleList(false);
    EXPECT_EQ(Body(), L"<UL>\r\n<LI>one</LI></UL>\r\n<P>two</P>");
}
