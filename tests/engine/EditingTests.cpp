// Ranges and edits on the tree: node identity across edits, change
// notifications, and random replacements that must keep the text outside
// the replaced stretch.
#include "EngineTestSupport.h"
#include "Random.h"
#include "dom/TextContent.h"
#include "editing/FormatCommands.h"
#include "editing/TextRange.h"

#include <gtest/gtest.h>

namespace {

struct Counter : dom::DocumentObserver {
    int inserted = 0, removed = 0, attributes = 0, texts = 0, replaced = 0;
    void NodeInserted(dom::Node&, dom::Node&) override { ++inserted; }
    void NodeRemoved(dom::Node&, dom::Node&) override { ++removed; }
    void AttributeChanged(dom::Node&, const CString&) override { ++attributes; }
    void TextChanged(dom::Node&) override { ++texts; }
    void DocumentReplaced() override { ++replaced; }
};

TEST(Editing, NodesKeepIdentityAndObserversHearEveryChange) {
    auto document = html::ParseDocument(L"<p id=a>one</p><p id=b>two</p>");
    Counter counter;
    document->AddObserver(&counter);
    dom::Node* body = document->Body();
    dom::NodePtr first = body->Child(0)->Self();
    dom::NodePtr second = body->Child(1)->Self();
    body->InsertChild(0, second);  // a move: out and in again
    EXPECT_EQ(body->Child(0), second.get());
    EXPECT_EQ(body->Child(1), first.get());
    first->SetAttribute(L"class", L"x");
    first->FirstChild()->SetData(L"ONE");
    dom::NodePtr removed = second->Remove();
    EXPECT_EQ(removed, second);
    EXPECT_EQ(second->Parent(), nullptr);
    EXPECT_FALSE(body->Contains(second.get()));
    EXPECT_EQ(counter.inserted, 1);
    EXPECT_EQ(counter.removed, 2);
    EXPECT_EQ(counter.attributes, 1);
    EXPECT_EQ(counter.texts, 1);
    html::ParseDocument(*document, L"<p>new</p>");
    EXPECT_EQ(counter.replaced, 1);
    document->RemoveObserver(&counter);
}

TEST(Editing, RangeAcrossElementsPastesOverItsText) {
    auto document = html::ParseDocument(L"<p>alpha <b>beta</b></p><div>gamma delta</div>");
    editing::TextRange range(document);
    ASSERT_TRUE(range.FindText(L"ta</b>", true, false, false) == false);
    ASSERT_TRUE(range.FindText(L"tagam", true, false, false));
    EXPECT_EQ(range.Text(), CString(L"tagam"));
    EXPECT_EQ(range.HtmlText(), CString(L"<P><B>ta</B></P><DIV>gam</DIV>"));
    range.PasteHtml(L"<I>X</I>");  // not bold: the range's end was outside the B
    EXPECT_EQ(html::SerializeInner(*document->Body()), CString(L"<P>alpha <B>be</B><I>X</I></P>\r\n<DIV>ma delta</DIV>"));
}

// The search marks each hit as a browser does: the hit's own HTML in a span
// that takes the hit's place, the formatting outside it left as it was.
TEST(Editing, MarkingHitsKeepsFormattingToWhereItWas) {
    struct Case {
        const wchar_t *page, *text, *marked;
    };
    const Case cases[] = {
        {L"<p><b>al</b>pha</p>", L"lpha", L"<P><B>a</B><SPAN><B>l</B>pha</SPAN></P>"},
        {L"<p><b>al</b>pha</p>", L"alpha", L"<P><SPAN><B>al</B>pha</SPAN></P>"},
        {L"<p>x<b>al</b></p>", L"xa", L"<P><SPAN>x<B>a</B></SPAN><B>l</B></P>"},
        {L"<p>one\nline   two<br>ONE LINE</p>", L"one line", L"<P><SPAN>one\r\nline</SPAN>   two<BR><SPAN>ONE LINE</SPAN></P>"},
        {L"<pre>a  b a b</pre>", L"a b", L"<PRE>\r\na  b <SPAN>a b</SPAN></PRE>"},
    };
    for (const auto& c : cases) {
        auto document = html::ParseDocument(c.page);
        editing::TextRange range(document);
        while (range.FindText(c.text, true, false, false)) {
            range.PasteHtml(L"<SPAN>" + range.HtmlText() + L"</SPAN>");
            range.MoveEnd(editing::MoveUnit::TextEdit, 1);
        }
        EXPECT_EQ(html::SerializeInner(*document->Body()), CString(c.marked)) << Show(c.page) << " " << Show(c.text);
    }
    auto document = html::ParseDocument(L"<p><b>bold</b></p>");  // a caret at the end of bold text types bold
    editing::TextRange caret(document);
    caret.SetStart(caret.AtOffset(4, false));
    caret.Collapse(true);
    caret.PasteHtml(L"er");
    EXPECT_EQ(html::SerializeInner(*document->Body()), CString(L"<P><B>bolder</B></P>"));
}

TEST(Editing, FormatWrapsOnlyTheRangeText) {
    auto document = html::ParseDocument(L"<p>one two three</p>");
    editing::TextRange range(document);
    ASSERT_TRUE(range.FindText(L"two", true, true, true));
    editing::ApplyInlineFormat(range, L"font", L"color", L"red");
    editing::ApplyInlineFormat(range, L"font", L"size", L"7");
    EXPECT_EQ(html::SerializeInner(*document->Body()), CString(L"<P>one <FONT color=red size=7>two</FONT> three</P>"));
    EXPECT_EQ(editing::FontSizeAt(range), 7);
    EXPECT_EQ(editing::FontNameAt(range), CString(L"Times New Roman"));
}

TEST(Editing, RandomReplacementsKeepTheTextAround) {
    Random random(4242);
    const std::vector<CString> pages = {
        L"<p>alpha <b>beta <i>gamma</i></b> delta</p><table><tr><td>cell one</td><td>cell two</td></tr></table>tail",
        L"<ul><li>one<li>two<li>three</ul><div><span>deep <a href=x>link text</a></span></div>",
        L"plain text only here", L"<p></p><br><img src=x><p>after images</p>"};
    for (int i = 0; i < 3000; ++i) {
        auto document = html::ParseDocument(random.Pick(pages));
        editing::TextRange range(document);
        int length = range.TextLength();
        int from = random.Int(0, length), to = random.Int(from, length);
        range.SetStart(range.AtOffset(from, random.Chance(50)));
        range.SetEnd(range.AtOffset(to, random.Chance(50)));
        CString before = range.Text();
        EXPECT_EQ(before.GetLength(), to - from) << i;
        editing::TextRange whole(document);
        CString all = [&] {
            whole.SetStart(whole.AtOffset(0, true));
            whole.SetEnd(whole.AtOffset(length, false));
            return whole.Text();
        }();
        range.PasteHtml(random.Chance(50) ? CString(L"<b>new</b>") : CString(L"new"));
        editing::TextRange after(document);
        after.SetStart(after.AtOffset(0, true));
        after.SetEnd(after.AtOffset(after.TextLength(), false));
        ASSERT_EQ(after.Text(), all.Left(from) + L"new" + all.Mid(to)) << i;
    }
}

}  // namespace
