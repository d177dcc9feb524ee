#include "HtmlTestPage.h"

#include <gtest/gtest.h>

namespace {

TEST(TableEdit, GridTableWritesLinkColumnsAndSideCells) {
    HtmlTestPage page(L"<body><div>x</div></body>");
    page.PutCaretIn(L"DIV", 0, false);
    ASSERT_TRUE(page.document.InsertGridTable(30, 30, 630, 20, 2, 3, L"links"));
    bcHtmlTable table = page.Element(L"DIV").GetParentTable();
    EXPECT_FALSE(table.IsValid());
    table = bcHtmlTable(page.Element(L"TABLE"));
    ASSERT_TRUE(table.IsValid());
    EXPECT_EQ(table.GetAttribute(L"col"), CString(L"3"));
    EXPECT_EQ(table.GetAttribute(L"id"), CString(L"links"));
    EXPECT_EQ(table.GetRowCount(), 2);
    EXPECT_EQ(table.GetColumnCount(), 5);
    bcHtmlTableRow row = table.GetRow(0);
    EXPECT_EQ(row.GetCell(0).GetAttribute(L"width"), CString(L"30"));
    EXPECT_EQ(row.GetCell(0).GetAttribute(L"height"), CString(L"20"));
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(row.GetCell(k + 1).GetAttribute(L"pos"), CString(std::to_wstring(k)));
        EXPECT_EQ(row.GetCell(k + 1).GetAttribute(L"width"), CString(L"190\""));
        EXPECT_EQ(row.GetCell(k + 1).GetInnerHtml(), CString(L"<DIV>&nbsp;</DIV>"));
    }
    EXPECT_EQ(row.GetCell(4).GetAttribute(L"pos"), CString());
}

// A page that is not in design mode takes a table as well.
TEST(TableEdit, GridTableWithoutSidesOrCellsRefused) {
    HtmlTestPage page(L"<body><div>x</div></body>");
    ASSERT_TRUE(page.document.SetDesignMode(false));
    page.PutCaretIn(L"DIV");
    EXPECT_FALSE(page.document.InsertGridTable(0, 0, 100, 20, 0, 3, L"t"));
    EXPECT_FALSE(page.document.InsertGridTable(0, 0, 100, 20, 2, 0, L"t"));
    EXPECT_FALSE(page.Element(L"TABLE").IsValid());
    ASSERT_TRUE(page.document.InsertGridTable(0, 0, 100, 20, 1, 3, L"t"));
    bcHtmlTableRow row = bcHtmlTable(page.Element(L"TABLE")).GetRow(0);
    EXPECT_EQ(row.GetCellCount(), 3);
    EXPECT_EQ(row.GetCell(0).GetAttribute(L"width"), CString(L"33\""));
}

TEST(TableEdit, GridTableIdCannotBreakOutOfItsAttribute) {
    HtmlTestPage page(L"<body><div>x</div></body>");
    page.PutCaretIn(L"DIV");
    ASSERT_TRUE(page.document.InsertGridTable(0, 0, 100, 20, 1, 1, L"a\" onclick=\"x"));
    bcHtmlElement table = page.Element(L"TABLE");
    EXPECT_EQ(table.GetAttribute(L"id"), CString(L"a\" onclick=\"x"));
    EXPECT_EQ(table.GetAttribute(L"onclick"), CString());
}

TEST(TableEdit, SideWidthsLargerThanTheTableGiveEmptyCells) {
    HtmlTestPage page(L"<body><div>x</div></body>");
    page.PutCaretIn(L"DIV");
    ASSERT_TRUE(page.document.InsertGridTable(80, 80, 100, 20, 1, 2, L"t"));
    EXPECT_EQ(bcHtmlTable(page.Element(L"TABLE")).GetRow(0).GetCell(1).GetAttribute(L"width"), CString(L"0\""));
}

TEST(TableEdit, CellGridAllowsColumnSpansOnly) {
    HtmlTestPage page(L"<body><table><tr><td colspan=2>a</td></tr><tr><td>b</td><td>c</td></tr></table>"
                      L"<table><tr><td rowspan=2>a</td><td>b</td></tr><tr><td>c</td></tr></table></body>");
    int rows = 0, columns = 0;
    std::vector<int> grid;
    ASSERT_TRUE(bcHtmlTable(page.Element(L"TABLE", 0)).GetCellGrid(rows, columns, grid));
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(columns, 2);
    EXPECT_EQ(grid, (std::vector<int>{2, 0, 1, 1}));
    EXPECT_FALSE(bcHtmlTable(page.Element(L"TABLE", 1)).GetCellGrid(rows, columns, grid));
    EXPECT_TRUE(grid.empty());
}

TEST(TableEdit, DeletingTheOnlyRowRemovesTheTable) {
    HtmlTestPage page(L"<body><p>a</p><table><tr><td>x</td></tr></table></body>");
    bcHtmlTable table(page.Element(L"TABLE"));
    EXPECT_TRUE(table.DeleteRow(0));
    EXPECT_EQ(page.BodyHtml(), CString(L"<P>a</P>"));
    EXPECT_FALSE(table.DeleteRow(3));
}

TEST(TableEdit, RowAboveTheFirstHasWhiteEmptyCells) {
    HtmlTestPage page(L"<body><table><tr><td colspan=2>a</td><td>b</td></tr></table></body>");
    page.PutCaretIn(L"TD", 1);
    page.document.InsertRowAtSelection(false);
    bcHtmlTable table(page.Element(L"TABLE"));
    ASSERT_EQ(table.GetRowCount(), 2);
    bcHtmlTableRow first = table.GetRow(0);
    ASSERT_EQ(first.GetCellCount(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(first.GetCell(i).GetAttribute(L"bgColor"), CString(L"#FFFFFF"));
        EXPECT_EQ(first.GetCell(i).GetInnerHtml(), CString(L"<DIV>&nbsp;</DIV>"));
    }
    page.PutCaretIn(L"TD", 4);
    page.document.InsertRowAtSelection(true);
    EXPECT_EQ(table.GetRowCount(), 3);
    EXPECT_EQ(table.GetRow(2).GetCellCount(), 3);
}

TEST(TableEdit, ColumnInsideASpanWidensTheSpanningCell) {
    HtmlTestPage page(L"<body><table><tr><td colspan=2>a</td><td>b</td></tr><tr><td>c</td><td>d</td><td>e</td></tr></table></body>");
    bcHtmlTable table(page.Element(L"TABLE"));
    ASSERT_TRUE(table.InsertColumn(1));
    bcHtmlTableRow first = table.GetRow(0), second = table.GetRow(1);
    EXPECT_EQ(first.GetCellCount(), 2);
    EXPECT_EQ(first.GetCell(0).GetColSpan(), 3);
    ASSERT_EQ(second.GetCellCount(), 4);
    EXPECT_EQ(second.GetCell(1).GetInnerHtml(), CString(L"<DIV>&nbsp;</DIV>"));
    EXPECT_EQ(second.GetCell(1).GetAttribute(L"bgColor"), CString());
    EXPECT_EQ(second.GetCell(2).GetInnerText(), CString(L"d"));
}

TEST(TableEdit, ColumnAfterTheSelectedCell) {
    HtmlTestPage page(L"<body><table><tr><td>a</td><td>b</td></tr></table></body>");
    page.PutCaretIn(L"TD", 0);
    EXPECT_EQ(page.document.GetSelectedCell().GetColumnIndex(), 0);
    page.document.InsertColumnAtSelection(true);
    bcHtmlTableRow row = bcHtmlTable(page.Element(L"TABLE")).GetRow(0);
    ASSERT_EQ(row.GetCellCount(), 3);
    EXPECT_EQ(row.GetCell(0).GetInnerText(), CString(L"a"));
    EXPECT_TRUE(row.GetCell(1).IsContentEmpty() == false);
    EXPECT_EQ(row.GetCell(2).GetInnerText(), CString(L"b"));
    EXPECT_EQ(row.GetCell(2).GetColumnIndex(), 2);
    EXPECT_EQ(row.GetCell(2).GetRowIndex(), 0);
}

TEST(TableEdit, WholeTableSelectedHasNoSelectedCell) {
    HtmlTestPage page(L"<body><table><tr><td>a</td></tr></table></body>");
    page.SelectObject(L"TABLE");
    EXPECT_FALSE(page.document.GetSelectedCell().IsValid());
    page.PutCaretIn(L"TD");
    EXPECT_TRUE(page.document.GetSelectedCell().IsValid());
    EXPECT_TRUE(page.document.GetSelectedCell().GetParentTable().SetBgColor(L"#000000"));
    EXPECT_EQ(page.Element(L"TABLE").GetAttribute(L"bgColor"), CString(L"#000000"));
}

TEST(TableEdit, SimpleTableAtTheCaret) {
    HtmlTestPage page(L"<body><div>x</div></body>");
    page.PutCaretIn(L"DIV", 0, false);
    EXPECT_FALSE(page.document.InsertSimpleTable(0, 2));
    ASSERT_TRUE(page.document.InsertSimpleTable(2, 2));
    EXPECT_EQ(page.BodyHtml(),
              CString(L"<DIV>x\r\n<TABLE border=1 cellPadding=3>\r\n<TBODY>\r\n<TR>\r\n<TD bgColor=#FFFFFF>\r\n<DIV>&nbsp;</DIV></TD>\r\n"
                      L"<TD bgColor=#FFFFFF>\r\n<DIV>&nbsp;</DIV></TD></TR>\r\n<TR>\r\n<TD bgColor=#FFFFFF>\r\n<DIV>&nbsp;</DIV></TD>\r\n"
                      L"<TD bgColor=#FFFFFF>\r\n<DIV>&nbsp;</DIV></TD></TR></TBODY></TABLE></DIV>"));
}

}  // namespace
