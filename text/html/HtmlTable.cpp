#include "html/HtmlTable.h"

#include "html/HtmlConvert.h"

const wchar_t* const kEmptyCellContent = L"<DIV>&nbsp;</DIV>";
const wchar_t* const kWhiteCellColour = L"#FFFFFF";

namespace {

bool PutColour(IHTMLTable* table, IHTMLTableCell* cell, const CString& colour) {
    ScopedBstr text(colour);
    VARIANT value;
    value.vt = VT_BSTR;
    value.bstrVal = text;
    return table ? SUCCEEDED(table->put_bgColor(value)) : cell ? SUCCEEDED(cell->put_bgColor(value)) : false;
}

}  // namespace

// bcHtmlTable ---------------------------------------------------------------------

bcHtmlTable::bcHtmlTable(const bcHtmlElement& element) : bcHtmlElement(element) {
    m_table = QueryAs<IHTMLTable>(m_element.Get());
}

int bcHtmlTable::GetRowCount() const {
    ComPtr<IHTMLElementCollection> rows;
    LONG length = 0;
    if (!m_table || FAILED(m_table->get_rows(rows.Receive())) || !rows || FAILED(rows->get_length(&length))) return 0;
    return static_cast<int>(length);
}

bcHtmlTableRow bcHtmlTable::GetRow(int index) const {
    ComPtr<IHTMLElementCollection> rows;
    if (!m_table || FAILED(m_table->get_rows(rows.Receive()))) return bcHtmlTableRow();
    return bcHtmlTableRow(GetCollectionItem(rows.Get(), index));
}

int bcHtmlTable::GetColumnCount() const {
    bcHtmlTableRow first = GetRow(0);
    int columns = 0;
    for (int i = 0, count = first.GetCellCount(); i < count; ++i) columns += first.GetCell(i).GetColSpan();
    return columns;
}

bool bcHtmlTable::GetCellGrid(int& rows, int& columns, std::vector<int>& grid) const {
    grid.clear();
    rows = GetRowCount();
    columns = GetColumnCount();
    if (rows == 0 || columns == 0) return false;
    grid.assign(static_cast<size_t>(rows) * static_cast<size_t>(columns), 0);
    for (int r = 0; r < rows; ++r) {
        bcHtmlTableRow row = GetRow(r);
        int c = 0;
        for (int i = 0, count = row.GetCellCount(); i < count; ++i) {
            bcHtmlTableCell cell = row.GetCell(i);
            if (cell.GetRowSpan() > 1 || c >= columns) {
                grid.clear();
                return false;
            }
            int span = cell.GetColSpan();
            grid[static_cast<size_t>(r) * static_cast<size_t>(columns) + static_cast<size_t>(c)] = span;
            c += span;
        }
        if (c != columns) {
            grid.clear();
            return false;
        }
    }
    return true;
}

void bcHtmlTable::CheckGrid() const {
    int rows = 0, columns = 0;
    std::vector<int> grid;
    GetCellGrid(rows, columns, grid);
}

bool bcHtmlTable::DeleteRow(int index) {
    if (!m_table) return false;
    bool deleted = SUCCEEDED(m_table->deleteRow(index));
    if (GetRowCount() == 0) RemoveNode();
    else CheckGrid();
    return deleted;
}

bcHtmlTableRow bcHtmlTable::InsertRow(int index, int cellCount) {
    if (!m_table) return bcHtmlTableRow();
    if (cellCount < 0) cellCount = GetColumnCount();
    ComPtr<IDispatch> created;
    if (FAILED(m_table->insertRow(index, created.Receive())) || !created) return bcHtmlTableRow();
    bcHtmlTableRow row(bcHtmlElement(created.Get()));
    for (int i = 0; i < cellCount; ++i) row.InsertCell(0).SetBgColor(kWhiteCellColour);
    return row;
}

bool bcHtmlTable::InsertColumn(int column) {
    bool everyRow = true;
    for (int r = 0;; ++r) {
        bcHtmlTableRow row = GetRow(r);
        if (!row.IsValid()) break;
        if (!row.InsertCellAtColumn(column).IsValid()) everyRow = false;
    }
    return everyRow;
}

bool bcHtmlTable::SetBgColor(const CString& colour) { return PutColour(m_table.Get(), nullptr, colour); }

// bcHtmlTableRow ------------------------------------------------------------------

bcHtmlTableRow::bcHtmlTableRow(const bcHtmlElement& element) : bcHtmlElement(element) {
    m_row = QueryAs<IHTMLTableRow>(m_element.Get());
}

int bcHtmlTableRow::GetRowIndex() const {
    LONG index = -1;
    if (!m_row || FAILED(m_row->get_rowIndex(&index))) return -1;
    return static_cast<int>(index);
}

int bcHtmlTableRow::GetCellCount() const {
    ComPtr<IHTMLElementCollection> cells;
    LONG length = 0;
    if (!m_row || FAILED(m_row->get_cells(cells.Receive())) || !cells || FAILED(cells->get_length(&length))) return 0;
    return static_cast<int>(length);
}

bcHtmlTableCell bcHtmlTableRow::GetCell(int index) const {
    ComPtr<IHTMLElementCollection> cells;
    if (!m_row || FAILED(m_row->get_cells(cells.Receive()))) return bcHtmlTableCell();
    return bcHtmlTableCell(GetCollectionItem(cells.Get(), index));
}

bcHtmlTableCell bcHtmlTableRow::InsertCell(int index) {
    ComPtr<IDispatch> created;
    if (!m_row || FAILED(m_row->insertCell(index, created.Receive())) || !created) return bcHtmlTableCell();
    bcHtmlTableCell cell(bcHtmlElement(created.Get()));
    cell.SetInnerHtml(kEmptyCellContent);
    return cell;
}

bcHtmlTableCell bcHtmlTableRow::InsertCellAtColumn(int column) {
    if (!m_row) return bcHtmlTableCell();
    int position = 0;
    int count = GetCellCount();
    for (int i = 0; i < count; ++i) {
        bcHtmlTableCell cell = GetCell(i);
        int span = cell.GetColSpan();
        if (position == column) return InsertCell(i);
        if (position < column && column < position + span) {
            cell.SetColSpan(span + 1);
            return cell;
        }
        position += span;
    }
    return InsertCell(count);
}

// bcHtmlTableCell -----------------------------------------------------------------

bcHtmlTableCell::bcHtmlTableCell(const bcHtmlElement& element) : bcHtmlElement(element) {
    m_cell = QueryAs<IHTMLTableCell>(m_element.Get());
}

int bcHtmlTableCell::GetRowSpan() const {
    LONG span = 1;
    if (!m_cell || FAILED(m_cell->get_rowSpan(&span))) return 1;
    return static_cast<int>(span);
}

int bcHtmlTableCell::GetColSpan() const {
    LONG span = 1;
    if (!m_cell || FAILED(m_cell->get_colSpan(&span))) return 1;
    return static_cast<int>(span);
}

bool bcHtmlTableCell::SetColSpan(int span) { return m_cell && SUCCEEDED(m_cell->put_colSpan(span)); }
bool bcHtmlTableCell::SetBgColor(const CString& colour) { return PutColour(nullptr, m_cell.Get(), colour); }

int bcHtmlTableCell::GetColumnIndex() const {
    bcHtmlTableRow row = GetParentRow();
    int column = 0;
    for (int i = 0, count = row.GetCellCount(); i < count; ++i) {
        bcHtmlTableCell cell = row.GetCell(i);
        if (cell.GetElement().Get() && QueryAs<IUnknown>(cell.GetElement().Get()).Get() == QueryAs<IUnknown>(m_element.Get()).Get())
            return column;
        column += cell.GetColSpan();
    }
    return column;
}

int bcHtmlTableCell::GetRowIndex() const { return GetParentRow().GetRowIndex(); }
