// The table commands of the page editor: writing new tables at the
// selection, finding the cell at the selection, adding rows and columns there.
#include "html/HtmlDocument.h"

namespace {

CString Number(unsigned value) {
    CString text;
    text.Format(L"%u", value);
    return text;
}

// The table id goes inside double quotes: quotes and ampersands in it are written as references.
CString QuotedAttributeText(const CString& text) {
    CString escaped = text;
    escaped.Replace(L"&", L"&amp;");
    escaped.Replace(L"\"", L"&quot;");
    return escaped;
}

}  // namespace

bool bcHtmlDocument::InsertGridTable(unsigned leftWidth, unsigned rightWidth, unsigned totalWidth, unsigned height, unsigned rows,
                                     unsigned columns, const CString& id) {
    if (rows == 0 || columns == 0) return false;
    // Side cells wider than the table leave no room: the link cells get width 0.
    unsigned sides = leftWidth + rightWidth;
    unsigned cellWidth = totalWidth > sides ? (totalWidth - sides) / columns : 0;
    CString html = L"<TABLE ID = \"" + QuotedAttributeText(id) + L"\" col=" + Number(columns) + L" border=0 width=" +
                   Number(totalWidth) + L" cellpadding=3 bgColor=#6CADD8>";
    for (unsigned r = 0; r < rows; ++r) {
        html += L"<TR>";
        if (leftWidth != 0)
            html += L"<TD bgColor=#FFFFFF width=" + Number(leftWidth) + L" height =" + Number(height) + L"></TD>";
        for (unsigned k = 0; k < columns; ++k)
            html += L"<TD bgColor=#FFFFFF pos=" + Number(k) + L" width=" + Number(cellWidth) + L"\"><DIV>&nbsp</DIV></TD>";
        if (rightWidth != 0) html += L"<TD bgColor=#FFFFFF width=" + Number(rightWidth) + L"></TD>\n";
        html += L"</TR>";
    }
    html += L"\n</TABLE>";
    return PasteHtml(html);
}

bool bcHtmlDocument::InsertSimpleTable(unsigned rows, unsigned columns) {
    if (rows == 0 || columns == 0) return false;
    CString html = L"<TABLE border=1 cellpadding=3>";
    for (unsigned r = 0; r < rows; ++r) {
        html += L"<TR>";
        for (unsigned c = 0; c < columns; ++c) html += L"<TD bgColor=#FFFFFF><DIV>&nbsp;</DIV></TD>";
        html += L"</TR>";
    }
    html += L"</TABLE>";
    return PasteHtml(html);
}

bcHtmlTableCell bcHtmlDocument::GetSelectedCell() const {
    bcHtmlElement element = GetSelectedElement(true);
    CString tag = element.GetTagName();
    if (tag == L"TR" || tag == L"TBODY" || tag == L"TABLE") return bcHtmlTableCell();
    return bcHtmlTableCell(element.FindAncestorByTag(L"TD"));
}

void bcHtmlDocument::InsertRowAtSelection(bool below) {
    bcHtmlTableCell cell = GetSelectedCell();
    if (!cell.IsValid()) return;
    bcHtmlTable table = cell.GetParentTable();
    table.InsertRow(cell.GetRowIndex() + (below ? 1 : 0), table.GetColumnCount());
}

void bcHtmlDocument::InsertColumnAtSelection(bool after) {
    bcHtmlTableCell cell = GetSelectedCell();
    if (!cell.IsValid()) return;
    cell.GetParentTable().InsertColumn(cell.GetColumnIndex() + (after ? cell.GetColSpan() : 0));
}
