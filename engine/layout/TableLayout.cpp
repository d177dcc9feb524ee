// Table layout: cells laid out in the columns they span, rows as tall as their
// cells ask, the caption above the grid.
#include "layout/LayoutEngine.h"
#include "layout/LayoutShared.h"
#include "layout/TableGrid.h"

#include <algorithm>

namespace layout {

namespace {

// Gives rows the height a cell spanning them (or the table) needs beyond what they have, in
// proportion to their heights (to the last when they have none).
void SpreadOverRows(std::vector<long long>& rowHeights, int first, int count, long long extra) {
    long long have = 0;
    for (int r = first; r < first + count; ++r) have += rowHeights[r];
    const int last = first + count - 1;
    long long given = 0;
    if (have > 0)
        for (int r = first; r < last; ++r) {
            const long long share = extra * rowHeights[r] / have;
            rowHeights[r] += share;
            given += share;
        }
    rowHeights[last] += extra - given;
}

}  // namespace

void LayoutEngine::LayoutTable(Box& table, int cw) {
    Grid grid;
    BuildGrid(table, grid);
    const int spacing = table.style.borderSpacing;
    const int n = grid.columns;
    long long width = 0;
    const std::vector<int> widths = ColumnWidths(table, grid, cw, width);
    table.width = static_cast<int>(width);
    table.columnWidths = widths;
    table.columnX.assign(n, 0);
    long long x = table.border[3] + table.padding[3] + spacing;
    for (int c = 0; c < n; ++c) {
        table.columnX[c] = Clamp(x);
        x += static_cast<long long>(widths[c]) + spacing;
    }
    // Caption above the grid.
    long long y = 0;
    if (grid.caption) {
        LayoutBlock(*grid.caption, table.width, table.style);
        grid.caption->x = grid.caption->margin[3];
        grid.caption->y = grid.caption->margin[0];
        y = static_cast<long long>(grid.caption->height) + grid.caption->margin[0] + grid.caption->margin[2];
    }
    const long long gridTop = y;
    y += table.border[0] + table.padding[0] + spacing;
    // Cells: widths, content, then row heights.
    const int rowCount = static_cast<int>(grid.rows.size());
    std::vector<long long> rowHeights(rowCount, 0);
    for (int r = 0; r < rowCount; ++r)
        if (grid.rows[r]->style.height.unit == Length::Unit::Px) rowHeights[r] = grid.rows[r]->style.height.Resolve(0);
    for (Box* cell : grid.cells) {
        long long cellWidth = static_cast<long long>(spacing) * (cell->colspan - 1);
        for (int c = cell->column; c < cell->column + cell->colspan; ++c) cellWidth += widths[c];
        ResolveEdges(*cell, static_cast<int>(width));
        cell->width = Clamp(cellWidth);
        int content = LayoutContent(*cell);
        long long height = static_cast<long long>(content) + cell->border[0] + cell->border[2] + cell->padding[0] + cell->padding[2];
        if (cell->style.height.unit == Length::Unit::Px) {
            // Old pages give a cell's height= with its padding and border; standards mode without.
            long long asked = cell->style.height.Resolve(0);
            if (!cell->style.quirks) asked += cell->border[0] + cell->border[2] + cell->padding[0] + cell->padding[2];
            height = std::max(height, asked);
        }
        cell->height = Clamp(height);
        cell->collapsedTop = content;  // the content height, until the row is known
        if (cell->rowspan == 1) rowHeights[cell->row] = std::max<long long>(rowHeights[cell->row], height);
    }
    for (Box* cell : grid.cells) {
        if (cell->rowspan <= 1) continue;
        long long have = static_cast<long long>(spacing) * (cell->rowspan - 1);
        for (int r = cell->row; r < cell->row + cell->rowspan; ++r) have += rowHeights[r];
        if (cell->height <= have) continue;
        SpreadOverRows(rowHeights, cell->row, cell->rowspan, cell->height - have);
    }
    // A table taller than its rows (height=) gives them the rest the same way.
    long long asked = -1;
    if (table.style.height.unit == Length::Unit::Px) asked = table.style.height.Resolve(0);
    else if (table.style.height.IsPercent())
        if (const int base = QuirksPercentBase(table); base >= 0) asked = table.style.height.Resolve(base);
    if (asked >= 0 && rowCount > 0 && n > 0) {
        long long natural = y - gridTop + table.padding[2] + table.border[2];
        for (int r = 0; r < rowCount; ++r) natural += rowHeights[r] + spacing;
        if (asked > natural) SpreadOverRows(rowHeights, 0, rowCount, asked - natural);
    }
    std::vector<long long> rowY(rowCount);
    for (int r = 0; r < rowCount; ++r) {
        rowY[r] = y;
        Box& row = *grid.rows[r];
        row.x = n > 0 ? table.columnX[0] : 0;
        row.y = Clamp(y);
        row.width = n > 0 ? Clamp(x - spacing - row.x) : 0;
        row.height = Clamp(rowHeights[r]);
        y += rowHeights[r] + spacing;
    }
    for (Box* cell : grid.cells) {
        Box& row = *grid.rows[cell->row];
        long long height = static_cast<long long>(spacing) * (cell->rowspan - 1);
        for (int r = cell->row; r < cell->row + cell->rowspan; ++r) height += rowHeights[r];
        int content = cell->collapsedTop;
        cell->collapsedTop = cell->margin[0];
        cell->x = table.columnX[cell->column] - row.x;
        cell->y = 0;
        cell->height = Clamp(height);
        int inner = cell->height - cell->border[0] - cell->border[2] - cell->padding[0] - cell->padding[2];
        int free = std::max(0, inner - content);
        if (cell->style.verticalAlign == VerticalAlign::Middle) ShiftContent(*cell, free / 2);
        else if (cell->style.verticalAlign == VerticalAlign::Bottom) ShiftContent(*cell, free);
    }
    long long height = y + table.padding[2] + table.border[2];
    if (rowCount == 0 || n == 0) height = gridTop + table.border[0] + table.padding[0] + table.padding[2] + table.border[2];
    if (asked >= 0) height = std::max<long long>(height, gridTop + asked);
    table.height = Clamp(height);
    table.selfCollapsing = false;
    table.collapsedTop = table.margin[0];
    table.collapsedBottom = table.margin[2];
}

}  // namespace layout
