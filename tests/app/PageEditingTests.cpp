// What the page view does to its engine document, on a windowless document.
#include "../text/HtmlTestPage.h"
#include "html/HtmlTable.h"
#include "page/PageEditing.h"

#include <gtest/gtest.h>

namespace {

CString Flat(CString html) {
    html.Replace(L"\r\n", L"");
    return html;
}

} // namespace

TEST(PageEditing, EnterFixUpTurnsParagraphsIntoDivsWithTheirAttributes) {
    HtmlTestPage page(L"<BODY><P align=center class=\"x y\">centred <B>bold</B></P><P></P><DIV>keep</DIV>"
                      L"<FONT color=red></FONT><FONT size=2> \t</FONT><FONT size=3>a</FONT></BODY>");
    // Enter while browsing changes nothing.
    const CString browsed = page.BodyHtml();
    page.document.SetDesignMode(false);
    EXPECT_EQ(ReplaceParagraphsWithDivs(page.document), 0);
    EXPECT_EQ(RemoveEmptyFonts(page.document), 0);
    EXPECT_EQ(page.BodyHtml(), browsed);
    page.document.SetDesignMode(true);
    EXPECT_EQ(ReplaceParagraphsWithDivs(page.document), 2);
    EXPECT_EQ(RemoveEmptyFonts(page.document), 2);
    EXPECT_EQ(Flat(page.BodyHtml()), L"<DIV align=center class=\"x y\">centred <B>bold</B></DIV><DIV>&nbsp;</DIV>"
                                     L"<DIV>keep</DIV><FONT size=3>a</FONT>");
    EXPECT_EQ(ReplaceParagraphsWithDivs(page.document), 0);

    // The caret (or a selection) stays where it was: inside the moved text,
    // at the start of an emptied paragraph, after its last element.
    struct Case {
        const wchar_t* html;
        const wchar_t* expected;
        long paragraph;
        bool atStart;
        const wchar_t* selected;
    };
    const Case cases[] = {
        {L"<P>one</P><P></P>", L"<DIV>one</DIV><DIV>|&nbsp;</DIV>", 1, true, nullptr},
        {L"<P>one</P><P id=x>two <B>bold</B></P>", L"<DIV>one</DIV><DIV id=x>|two <B>bold</B></DIV>", 1, true, nullptr},
        {L"<P>one</P><P>two <B>bold</B></P>", L"<DIV>one</DIV><DIV>two <B>bold</B>|</DIV>", 1, false, nullptr},
        {L"<P>one</P><P>two <B>bold</B></P>", L"<DIV>one</DIV><DIV>two <B>b|d</B></DIV>", 0, true, L"ol"},
    };
    for (const Case& c : cases) {
        HtmlTestPage caret(CString(L"<BODY>") + c.html + L"</BODY>");
        if (c.selected) caret.SelectText(c.selected);
        else caret.PutCaretIn(L"P", c.paragraph, c.atStart);
        EXPECT_EQ(ReplaceParagraphsWithDivs(caret.document), 2);
        ASSERT_TRUE(caret.document.PasteHtml(L"|"));
        EXPECT_EQ(Flat(caret.BodyHtml()), c.expected);
    }
}

TEST(PageEditing, TypedLinkAndTagNamesArePastedAsText) {
    CString link = ManualLinkHtml(L"http://a/?x=1&y=\"2\"", L"Tom & <Jerry>");
    EXPECT_EQ(link, L"<A href=\"http://a/?x=1&amp;y=&quot;2&quot;\">&nbspTom &amp; &lt;Jerry&gt;&nbsp</A>\n");
    EXPECT_EQ(IndexTagHtml(L"R&D <new>"), L">>>&nbsp&nbspR&amp;D &lt;new&gt;&nbsp&nbsp<<<\n");

    HtmlTestPage page(L"<BODY><DIV>here</DIV></BODY>");
    page.PutCaretIn(L"DIV");
    ASSERT_TRUE(page.document.PasteHtml(link));
    bcHtmlElement anchor = page.Element(L"A");
    EXPECT_EQ(anchor.GetAttribute(L"href"), L"http://a/?x=1&y=\"2\"");
    EXPECT_NE(anchor.GetInnerText().Find(L"Tom & <Jerry>"), -1);
}

TEST(PageEditing, DeletingRowsTakesTheLastOneWithItsTableOnce) {
    HtmlTestPage page(L"<BODY><DIV>before</DIV><TABLE><TR><TD>one</TD></TR><TR><TD>two</TD></TR></TABLE></BODY>");
    page.PutCaretIn(L"TD", 1);
    page.document.SetDesignMode(false);  // browsing
    EXPECT_FALSE(DeleteRowAtCaret(page.document));
    EXPECT_EQ(bcHtmlTable(page.Element(L"TABLE")).GetRowCount(), 2);
    page.document.SetDesignMode(true);
    EXPECT_TRUE(DeleteRowAtCaret(page.document));
    EXPECT_EQ(bcHtmlTable(page.Element(L"TABLE")).GetRowCount(), 1);
    page.PutCaretIn(L"TD", 0);
    bcHtmlElement cell = page.Element(L"TD");
    EXPECT_TRUE(DeleteRowAtCaret(page.document));
    EXPECT_FALSE(page.Element(L"TABLE").IsValid());
    CString body = page.BodyHtml();
    // The selection may still point into the table that is gone: harmless.
    EXPECT_FALSE(DeleteRowAtCaret(page.document));
    EXPECT_EQ(page.BodyHtml(), body);
    page.PutCaretIn(L"DIV");
    EXPECT_FALSE(DeleteRowAtCaret(page.document));
    EXPECT_EQ(Flat(page.BodyHtml()), L"<DIV>before</DIV>");
}

// Insert HyperLink and Insert Line leave the caret right after what they
// pasted, where the next text goes; Add Table leaves it in the new table's
// first link cell, past the side cell, not in a table that was there before.
TEST(PageEditing, InsertionsLeaveTheCaretWhereTheUserGoesOn) {
    HtmlTestPage page(L"<BODY><DIV>See</DIV></BODY>");
    page.PutCaretIn(L"DIV", 0, false);
    ASSERT_TRUE(page.document.PasteHtml(ManualLinkHtml(L"https://example.org/two", L"Second link")));
    ASSERT_TRUE(page.document.PasteHtml(L"<HR>"));
    ASSERT_TRUE(page.document.PasteHtml(L"|"));
    EXPECT_EQ(Flat(page.BodyHtml()), L"<DIV>See<A href=\"https://example.org/two\">&nbsp;Second link&nbsp;</A><HR>|</DIV>");

    HtmlTestPage tables(L"<BODY><TABLE id=old><TR><TD pos=0>x</TD></TR></TABLE><DIV>See</DIV></BODY>");
    tables.PutCaretIn(L"DIV", 0, false);
    ASSERT_TRUE(InsertGridTableAtCaret(tables.document, 40, 40, 984, 22, 2, 3, L"links"));
    bcHtmlTableCell cell = tables.document.GetSelectedCell();
    EXPECT_EQ(cell.GetAttribute(L"pos"), L"0");
    EXPECT_EQ(cell.GetRowIndex(), 0);
    EXPECT_EQ(cell.GetParentTable().GetAttribute(L"id"), L"links");
    // Without side cells the first cell is the first link cell.
    tables.PutCaretIn(L"DIV", 0, false);
    ASSERT_TRUE(InsertGridTableAtCaret(tables.document, 0, 0, 300, 22, 1, 2, L"links"));
    cell = tables.document.GetSelectedCell();
    EXPECT_EQ(cell.GetAttribute(L"pos"), L"0");
    EXPECT_EQ(cell.GetParentTable().GetAttribute(L"col"), L"2");
    // No rows: nothing pasted, the caret where it was.
    tables.PutCaretIn(L"DIV", 0, false);
    EXPECT_FALSE(InsertGridTableAtCaret(tables.document, 40, 40, 984, 22, 0, 3, L"none"));
    EXPECT_FALSE(tables.document.GetSelectedCell().IsValid());
}
