// Table columns: the grid of cells, the widths the columns ask for, and the widths
// they get in the room the table has.
#include "layout/LayoutEngine.h"
#include "layout/LayoutShared.h"
#include "layout/TableGrid.h"

#include <algorithm>

namespace layout {

void LayoutEngine::BuildGrid(Box& table, Grid& grid) {
    for (auto& child : table.children) {
        if (child->kind == BoxKind::Row) grid.rows.push_back(child.get());
        else if (!grid.caption) grid.caption = child.get();
    }
    std::vector<int> busyUntil;  // per column: the row where a cell spanning rows ends
    const int rowCount = static_cast<int>(grid.rows.size());
    for (int r = 0; r < rowCount; ++r) {
        int column = 0;
        for (auto& cellPtr : grid.rows[r]->children) {
            Box& cell = *cellPtr;
            while (column < static_cast<int>(busyUntil.size()) && busyUntil[column] > r) ++column;
            if (column >= kMaxColumns) {
                cell.colspan = 0;  // beyond the columns a table may have: not shown
                continue;
            }
            cell.column = column;
            cell.row = r;
            cell.colspan = std::min(std::max(cell.colspan, 1), kMaxColumns - column);
            cell.rowspan = std::min(std::max(cell.rowspan, 1), rowCount - r);
            if (static_cast<int>(busyUntil.size()) < column + cell.colspan) busyUntil.resize(column + cell.colspan, 0);
            for (int c = column; c < column + cell.colspan; ++c) busyUntil[c] = r + cell.rowspan;
            column += cell.colspan;
            grid.cells.push_back(&cell);
        }
    }
    grid.columns = static_cast<int>(busyUntil.size());
}

namespace {

struct Columns {
    std::vector<int> min, max, fixed;
    std::vector<float> percent;
};

void SpreadSpan(std::vector<int>& widths, int first, int span, int needed) {
    long long have = 0;
    for (int c = first; c < first + span; ++c) have += widths[c];
    if (needed <= have) return;
    long long extra = needed - have;
    for (int c = first; c < first + span; ++c) {
        long long share = have > 0 ? extra * widths[c] / have : extra / span;
        widths[c] += static_cast<int>(share);
    }
    long long now = 0;
    for (int c = first; c < first + span; ++c) now += widths[c];
    widths[first + span - 1] += static_cast<int>(needed - now);
}

// Cells spanning columns spread what they need beyond the spacing between those columns over them.
template <typename MeasureCell>
void SpreadSpanningCells(const std::vector<Box*>& cells, int spacing, Columns& cols, MeasureCell&& measure) {
    for (Box* cell : cells) {
        if (cell->colspan <= 1) continue;
        const auto c = measure(*cell);
        const int inner = spacing * (cell->colspan - 1);
        SpreadSpan(cols.min, cell->column, cell->colspan, c.min - inner);
        SpreadSpan(cols.max, cell->column, cell->colspan, c.max - inner);
    }
}

}  // namespace

LayoutEngine::Intrinsic LayoutEngine::MeasureTable(Box& table) {
    Grid grid;
    BuildGrid(table, grid);
    Columns cols;
    cols.min.assign(grid.columns, 0);
    cols.max.assign(grid.columns, 0);
    for (Box* cell : grid.cells) {
        if (cell->colspan != 1) continue;
        Intrinsic c = Measure(*cell);
        int column = cell->column;
        cols.min[column] = std::max(cols.min[column], c.min);
        int max = c.max;
        if (cell->style.width.unit == Length::Unit::Px) max = std::max(c.min, cell->style.width.Resolve(0) + HorizontalEdges(*cell));
        cols.max[column] = std::max(cols.max[column], max);
    }
    const int spacing = table.style.borderSpacing;
    SpreadSpanningCells(grid.cells, spacing, cols, [&](Box& cell) { return Measure(cell); });
    ResolveEdges(table, 0);
    long long fixedPart = static_cast<long long>(spacing) * (grid.columns + 1) + HorizontalEdges(table);
    if (grid.columns == 0) fixedPart = HorizontalEdges(table);
    Intrinsic result;
    long long min = fixedPart, max = fixedPart;
    for (int c = 0; c < grid.columns; ++c) min += cols.min[c], max += std::max(cols.max[c], cols.min[c]);
    result.min = Clamp(min);
    result.max = Clamp(max);
    if (table.style.width.unit == Length::Unit::Px) result.min = result.max = std::max(result.min, table.style.width.Resolve(0));
    if (grid.caption) {
        Intrinsic c = Measure(*grid.caption);
        result.min = std::max(result.min, c.min);
        result.max = std::max(result.max, c.min);
    }
    return result;
}

std::vector<int> LayoutEngine::ColumnWidths(Box& table, const Grid& grid, int cw, long long& width) {
    const int spacing = table.style.borderSpacing;
    const int n = grid.columns;
    // Column widths from the cells' intrinsic widths.
    Columns cols;
    cols.min.assign(n, 0);
    cols.max.assign(n, 0);
    cols.fixed.assign(n, -1);
    cols.percent.assign(n, 0);
    for (Box* cell : grid.cells) {
        Intrinsic c = Measure(*cell);
        ResolveEdges(*cell, 0);
        if (cell->colspan != 1) continue;
        int column = cell->column;
        cols.min[column] = std::max(cols.min[column], c.min);
        cols.max[column] = std::max(cols.max[column], c.max);
        if (cell->style.width.unit == Length::Unit::Px)
            cols.fixed[column] = std::max(cols.fixed[column], cell->style.width.Resolve(0) + HorizontalEdges(*cell));
        else if (cell->style.width.IsPercent())
            cols.percent[column] = std::max(cols.percent[column], std::min(cell->style.width.value, 100.0f));
    }
    SpreadSpanningCells(grid.cells, spacing, cols, [&](Box& cell) { return Measure(cell); });
    ResolveEdges(table, cw);
    const int edges = HorizontalEdges(table);
    const long long spacingTotal = n > 0 ? static_cast<long long>(spacing) * (n + 1) : 0;
    long long sumMin = 0, sumTarget = 0;
    std::vector<int> target(n);
    for (int c = 0; c < n; ++c) {
        sumMin += cols.min[c];
        cols.max[c] = std::max(cols.max[c], cols.min[c]);
        if (cols.fixed[c] >= 0) cols.max[c] = std::max(cols.min[c], cols.fixed[c]);
    }
    const int available = std::max(0, cw - table.margin[1] - table.margin[3]);
    width = 0;
    const long long minTable = sumMin + spacingTotal + edges;
    if (!table.style.width.IsAuto()) {
        width = std::max<long long>(table.style.width.Resolve(cw), minTable);
    } else {
        long long sumMax = 0;
        for (int c = 0; c < n; ++c) sumMax += cols.max[c];
        long long maxTable = sumMax + spacingTotal + edges;
        // Percent columns ask for the table width that gives them their share.
        float percentSum = 0;
        for (int c = 0; c < n; ++c) percentSum += cols.percent[c];
        if (percentSum > 0) {
            for (int c = 0; c < n; ++c)
                if (cols.percent[c] > 0) maxTable = std::max<long long>(maxTable, static_cast<long long>(cols.max[c] * 100 / cols.percent[c]));
            if (percentSum < 100) {
                long long rest = 0;
                for (int c = 0; c < n; ++c)
                    if (cols.percent[c] <= 0) rest += cols.max[c];
                maxTable = std::max<long long>(maxTable, static_cast<long long>(rest * 100 / (100 - percentSum)) + spacingTotal + edges);
            } else {
                maxTable = std::max<long long>(maxTable, available);
            }
        }
        width = std::max(std::min<long long>(available, maxTable), minTable);
    }
    if (grid.caption) width = std::max<long long>(width, Measure(*grid.caption).min);  // the caption widens its table
    width = std::clamp<long long>(width, 0, kMaxExtent);
    const long long room = std::max<long long>(0, width - spacingTotal - edges);
    for (int c = 0; c < n; ++c) {
        if (cols.percent[c] > 0) target[c] = std::max(cols.min[c], static_cast<int>(room * cols.percent[c] / 100));
        else target[c] = cols.max[c];
        sumTarget += target[c];
    }
    std::vector<int> widths(n);
    if (room >= sumTarget) {
        long long extra = room - sumTarget;
        long long autoSum = 0;
        int autoCount = 0;
        for (int c = 0; c < n; ++c)
            if (cols.percent[c] <= 0 && cols.fixed[c] < 0) autoSum += target[c], ++autoCount;
        bool toAuto = autoCount > 0;
        long long base = toAuto ? autoSum : sumTarget;
        int count = toAuto ? autoCount : n;
        long long given = 0;
        int lastTaker = -1;
        for (int c = 0; c < n; ++c) {
            widths[c] = target[c];
            bool takes = !toAuto || (cols.percent[c] <= 0 && cols.fixed[c] < 0);
            if (!takes) continue;
            long long share = base > 0 ? extra * target[c] / base : extra / std::max(count, 1);
            widths[c] += static_cast<int>(share);
            given += share;
            lastTaker = c;
        }
        if (lastTaker >= 0) widths[lastTaker] += static_cast<int>(extra - given);
    } else {
        long long extra = room - sumMin;
        for (int c = 0; c < n; ++c) widths[c] = cols.min[c];
        // Percent columns first, then fixed ones, then the rest in proportion.
        for (int pass = 0; pass < 2 && extra > 0; ++pass)
            for (int c = 0; c < n && extra > 0; ++c) {
                bool inPass = pass == 0 ? cols.percent[c] > 0 : cols.fixed[c] >= 0 && cols.percent[c] <= 0;
                if (!inPass) continue;
                long long grow = std::min<long long>(extra, target[c] - widths[c]);
                if (grow > 0) widths[c] += static_cast<int>(grow), extra -= grow;
            }
        long long want = 0;
        for (int c = 0; c < n; ++c)
            if (cols.percent[c] <= 0 && cols.fixed[c] < 0) want += target[c] - widths[c];
        if (want > 0 && extra > 0) {
            long long given = 0;
            int lastTaker = -1;
            for (int c = 0; c < n; ++c) {
                if (cols.percent[c] > 0 || cols.fixed[c] >= 0) continue;
                long long share = std::min<long long>(extra * (target[c] - widths[c]) / want, target[c] - widths[c]);
                widths[c] += static_cast<int>(share);
                given += share;
                lastTaker = c;
            }
            if (lastTaker >= 0) widths[lastTaker] += static_cast<int>(std::min<long long>(extra - given, std::max(0, target[lastTaker] - widths[lastTaker])));
        }
    }
    return widths;
}

}  // namespace layout
