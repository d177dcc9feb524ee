// Tables, rows and cells of a page: counting, the cell grid, inserting and
// deleting rows, columns and cells.
#pragma once
#include "html/HtmlElement.h"

#include <vector>

class bcHtmlTableCell;

class bcHtmlTable : public bcHtmlElement {
public:
    bcHtmlTable() = default;
    explicit bcHtmlTable(const bcHtmlElement& element);
    bool IsValid() const override { return static_cast<bool>(m_table); }

    int GetRowCount() const;
    bcHtmlTableRow GetRow(int index) const;
    // The sum of the column spans of the first row's cells (0 without rows).
    int GetColumnCount() const;
    // For a plain grid (column spans allowed, row spans not): the row and
    // column counts and, row by row, each cell's span at its first column
    // (0 elsewhere). False when the table is not such a grid.
    bool GetCellGrid(int& rows, int& columns, std::vector<int>& grid) const;
    void CheckGrid() const;
    // Deletes a row; the whole table goes when no row is left.
    bool DeleteRow(int index);
    // A new row before the index with cellCount empty white cells (negative: the column count).
    bcHtmlTableRow InsertRow(int index, int cellCount);
    bool InsertColumn(int column);
    bool SetBgColor(const CString& colour);

private:
    ComPtr<IHTMLTable> m_table;
};

class bcHtmlTableRow : public bcHtmlElement {
public:
    bcHtmlTableRow() = default;
    explicit bcHtmlTableRow(const bcHtmlElement& element);
    bool IsValid() const override { return static_cast<bool>(m_row); }

    int GetRowIndex() const;
    int GetCellCount() const;
    bcHtmlTableCell GetCell(int index) const;
    // A new cell before the index (at the end when it equals the cell count)
    // holding the empty cell content.
    bcHtmlTableCell InsertCell(int index);
    // The cell that serves a new column at the index: a new cell, or the
    // cell whose span covers the column, widened by one.
    bcHtmlTableCell InsertCellAtColumn(int column);

private:
    ComPtr<IHTMLTableRow> m_row;
};

class bcHtmlTableCell : public bcHtmlElement {
public:
    bcHtmlTableCell() = default;
    explicit bcHtmlTableCell(const bcHtmlElement& element);
    bool IsValid() const override { return static_cast<bool>(m_cell); }

    int GetRowSpan() const;
    int GetColSpan() const;
    bool SetColSpan(int span);
    bool SetBgColor(const CString& colour);
    int GetColumnIndex() const;
    int GetRowIndex() const;

private:
    ComPtr<IHTMLTableCell> m_cell;
};

// The content of an empty cell and the colour of a grid table's cells.
extern const wchar_t* const kEmptyCellContent;
extern const wchar_t* const kWhiteCellColour;
