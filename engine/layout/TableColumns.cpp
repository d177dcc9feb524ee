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
    if (table.style.borderCollapse) CollapseBorders(table, grid);
}

// The collapsing border model: each border of the grid is the widest of those that meet
// there (the cells' on either side, the table's at the outside). Cells on a grid this large
// or larger take their own borders and the table's only.
void LayoutEngine::CollapseBorders(Box& table, const Grid& grid) {
    constexpr long long kMostSlots = 1000000;
    const int rows = static_cast<int>(grid.rows.size()), n = grid.columns;
    const Style& t = table.style;
    const int outer[4] = {t.borderTop.Width(), t.borderRight.Width(), t.borderBottom.Width(), t.borderLeft.Width()};
    std::vector<Box*> slots;
    if (static_cast<long long>(rows) * n <= kMostSlots) {
        slots.assign(static_cast<size_t>(rows) * n, nullptr);
        for (Box* cell : grid.cells)
            for (int r = cell->row; r < cell->row + cell->rowspan; ++r)
                for (int c = cell->column; c < cell->column + cell->colspan; ++c) slots[static_cast<size_t>(r) * n + c] = cell;
    }
    auto at = [&](int r, int c) -> const Box* {
        if (slots.empty() || r < 0 || c < 0 || r >= rows || c >= n) return nullptr;
        return slots[static_cast<size_t>(r) * n + c];
    };
    // Each border is shared by the boxes on its two sides: the one on the left (or above) takes
    // the larger half, the one on the right (or below) the smaller.
    int edge[4] = {outer[0], outer[1], outer[2], outer[3]};
    for (Box* cell : grid.cells) {
        const Style& s = cell->style;
        const int own[4] = {s.borderTop.Width(), s.borderRight.Width(), s.borderBottom.Width(), s.borderLeft.Width()};
        const Box* above = at(cell->row - 1, cell->column);
        const Box* below = at(cell->row + cell->rowspan, cell->column);
        const Box* before = at(cell->row, cell->column - 1);
        const Box* after = at(cell->row, cell->column + cell->colspan);
        const int top = std::max(own[0], cell->row == 0 ? outer[0] : above ? above->style.borderBottom.Width() : 0);
        const int bottom = std::max(own[2], cell->row + cell->rowspan == rows ? outer[2] : below ? below->style.borderTop.Width() : 0);
        const int left = std::max(own[3], cell->column == 0 ? outer[3] : before ? before->style.borderRight.Width() : 0);
        const int right = std::max(own[1], cell->column + cell->colspan == n ? outer[1] : after ? after->style.borderLeft.Width() : 0);
        cell->gridBorder[0] = top / 2;
        cell->gridBorder[1] = right - right / 2;
        cell->gridBorder[2] = bottom - bottom / 2;
        cell->gridBorder[3] = left / 2;
        if (cell->row == 0) edge[0] = std::max(edge[0], top);
        if (cell->column == 0) edge[3] = std::max(edge[3], left);
        if (cell->row + cell->rowspan == rows) edge[2] = std::max(edge[2], bottom);
        if (cell->column + cell->colspan == n) edge[1] = std::max(edge[1], right);
    }
    // The table keeps the other half of the outer borders.
    table.gridBorder[0] = edge[0] - edge[0] / 2;
    table.gridBorder[1] = edge[1] / 2;
    table.gridBorder[2] = edge[2] / 2;
    table.gridBorder[3] = edge[3] - edge[3] / 2;
}

namespace {

// Spreads what a cell spanning columns needs beyond what those columns have over those of
// them that `take` (all when none does), in proportion to what each has (equally when none
// has anything).
template <typename Takes>
void SpreadSpan(std::vector<int>& widths, int first, int span, long long needed, Takes&& take) {
    long long have = 0, takersHave = 0;
    int takers = 0;
    for (int c = first; c < first + span; ++c) {
        have += widths[c];
        if (take(c)) takersHave += widths[c], ++takers;
    }
    if (needed <= have) return;
    const bool all = takers == 0;
    if (all) takersHave = have, takers = span;
    const long long extra = needed - have;
    long long given = 0;
    int last = first + span - 1;
    for (int c = first; c < first + span; ++c) {
        if (!all && !take(c)) continue;
        const long long share = takersHave > 0 ? extra * widths[c] / takersHave : extra / takers;
        widths[c] = Clamp(widths[c] + share);
        given += share;
        last = c;
    }
    widths[last] = Clamp(widths[last] + extra - given);
}

void SpreadSpan(std::vector<int>& widths, int first, int span, long long needed) {
    SpreadSpan(widths, first, span, needed, [](int) { return false; });
}

}  // namespace

// What each column asks for, as browsers' automatic table layout reads its cells: the
// narrowest and widest content of its cells (border boxes), a fixed width (the widest px width
// of a cell, border box) or a percentage (the largest of its cells'). A cell spanning columns
// spreads its content widths over them, and its px width too over the columns that have no
// percentage: those without a width of their own become fixed at their share.
LayoutEngine::ColumnRequests LayoutEngine::RequestColumns(const Grid& grid, int spacing) {
    ColumnRequests cols;
    const int n = grid.columns;
    cols.min.assign(n, 0);
    cols.max.assign(n, 0);
    cols.fixed.assign(n, -1);
    cols.percent.assign(n, 0);
    for (Box* cell : grid.cells) {
        const Intrinsic c = Measure(*cell);
        ResolveEdges(*cell, 0);
        if (cell->colspan != 1) continue;
        const int column = cell->column;
        cols.min[column] = std::max(cols.min[column], c.min);
        cols.max[column] = std::max(cols.max[column], c.max);
        if (cell->style.width.unit == Length::Unit::Px && cell->style.width.value > 0)
            cols.fixed[column] = std::max(cols.fixed[column], cell->style.width.Resolve(0) + HorizontalEdges(*cell));
        else if (cell->style.width.IsPercent())
            cols.percent[column] = std::max(cols.percent[column], std::min(cell->style.width.value, 100.0f));
    }
    for (int c = 0; c < n; ++c) {
        if (cols.fixed[c] >= 0) cols.max[c] = std::max(cols.fixed[c], cols.min[c]);
        cols.max[c] = std::max(cols.max[c], cols.min[c]);
    }
    for (Box* cell : grid.cells) {
        if (cell->colspan <= 1) continue;
        const Intrinsic c = Measure(*cell);
        const int first = cell->column, span = cell->colspan;
        const long long inner = static_cast<long long>(spacing) * (span - 1);
        // What the cell needs goes to the columns without a width of their own, if it spans any.
        auto free = [&](int k) { return cols.fixed[k] < 0 && cols.percent[k] <= 0; };
        SpreadSpan(cols.min, first, span, c.min - inner, free);
        for (int k = first; k < first + span; ++k) cols.max[k] = std::max(cols.max[k], cols.min[k]);
        long long wanted = c.max - inner;
        if (cell->style.width.unit == Length::Unit::Px && cell->style.width.value > 0) {
            wanted = std::max<long long>(c.min, cell->style.width.Resolve(0) + HorizontalEdges(*cell)) - inner;
            // The fixed columns keep their widths; those without one share the rest in proportion
            // to their widest content and become fixed at that (all share it when none is free).
            bool percent = false;
            long long have = 0, fixedSum = 0, freeMax = 0;
            int freeCount = 0;
            for (int k = first; k < first + span; ++k) {
                percent = percent || cols.percent[k] > 0;
                have += cols.max[k];
                if (cols.fixed[k] >= 0) fixedSum += cols.max[k];
                else freeMax += cols.max[k], ++freeCount;
            }
            if (!percent && wanted > have) {
                if (freeCount == 0) {
                    SpreadSpan(cols.max, first, span, wanted);
                } else {
                    const long long rest = wanted - fixedSum;
                    long long given = 0;
                    int last = -1;
                    for (int k = first; k < first + span; ++k) {
                        if (cols.fixed[k] >= 0) continue;
                        const long long part = freeMax > 0 ? rest * cols.max[k] / freeMax : rest / freeCount;
                        cols.max[k] = Clamp(std::max<long long>(cols.min[k], part));
                        given += part;
                        last = k;
                    }
                    cols.max[last] = Clamp(std::max<long long>(cols.min[last], cols.max[last] + rest - given));
                }
                for (int k = first; k < first + span; ++k) cols.fixed[k] = cols.max[k];
                continue;
            }
        }
        SpreadSpan(cols.max, first, span, wanted, free);
    }
    return cols;
}

LayoutEngine::Intrinsic LayoutEngine::MeasureTable(Box& table) {
    Grid grid;
    BuildGrid(table, grid);
    const int spacing = table.style.borderSpacing;
    const ColumnRequests cols = RequestColumns(grid, spacing);
    ResolveEdges(table, 0);
    long long fixedPart = static_cast<long long>(spacing) * (grid.columns + 1) + HorizontalEdges(table);
    if (grid.columns == 0) fixedPart = HorizontalEdges(table);
    Intrinsic result;
    long long min = 0;
    for (int c = 0; c < grid.columns; ++c) min += cols.min[c];
    result.min = Clamp(min + fixedPart);
    result.max = Clamp(WidestContent(cols) + fixedPart);
    if (table.style.width.unit == Length::Unit::Px) result.min = result.max = std::max(result.min, table.style.width.Resolve(0));
    if (grid.caption) {
        Intrinsic c = Measure(*grid.caption);
        result.min = std::max(result.min, c.min);
        result.max = std::max(result.max, c.min);
    }
    return result;
}

// The width the columns' content asks for: the widest, and where columns have percentages,
// the width that gives each its share and the others what is left.
long long LayoutEngine::WidestContent(const ColumnRequests& cols) {
    long long nonPercent = 0, percentWidth = 0;
    float remaining = 100;
    bool anyPercent = false;
    for (size_t c = 0; c < cols.min.size(); ++c) {
        if (cols.percent[c] > 0) {
            anyPercent = true;
            const float percent = std::min(cols.percent[c], remaining);
            percentWidth = std::max<long long>(percentWidth, static_cast<long long>(cols.max[c] * 100.0f / std::max(percent, 0.01f)));
            remaining -= percent;
        } else {
            nonPercent += cols.max[c];
        }
    }
    if (!anyPercent) return nonPercent;
    const long long scaled = static_cast<long long>(nonPercent * 100.0f / std::max(remaining, 0.01f));
    return std::min<long long>(std::max(scaled, percentWidth), kMaxExtent);
}

std::vector<int> LayoutEngine::ColumnWidths(Box& table, const Grid& grid, int cw, long long& width) {
    const int spacing = table.style.borderSpacing;
    const int n = grid.columns;
    const ColumnRequests cols = RequestColumns(grid, spacing);
    ResolveEdges(table, cw);
    const int edges = HorizontalEdges(table);
    const long long spacingTotal = n > 0 ? static_cast<long long>(spacing) * (n + 1) : 0;
    long long sumMin = 0;
    for (int c = 0; c < n; ++c) sumMin += cols.min[c];
    const long long minTable = sumMin + spacingTotal + edges;
    const long long available = std::max(0, cw - table.margin[1] - table.margin[3]);
    if (!table.style.width.IsAuto()) {
        width = std::max<long long>(table.style.width.Resolve(cw), minTable);
    } else {
        const long long maxTable = WidestContent(cols) + spacingTotal + edges;
        width = std::max(std::min(available, maxTable), minTable);
    }
    if (grid.caption) width = std::max<long long>(width, Measure(*grid.caption).min);  // the caption widens its table
    width = std::clamp<long long>(width, 0, kMaxExtent);

    // Four guesses of the columns' widths, each at least the one before: every column at its
    // minimum; percentage columns at their share of the room (the shares cut to 100 % in all);
    // fixed columns at their width too; automatic ones at their widest content too. The room
    // falls between two of them, and every column gets its width in the first plus the same
    // fraction of what the second adds. Room beyond the last goes to the automatic columns in
    // proportion to their widest content, else to the fixed ones, else to the percentage ones
    // by their shares, else to all alike.
    const long long room = std::max<long long>(0, width - spacingTotal - edges);
    std::vector<float> share(n, 0);
    std::vector<bool> isPercent(n), isFixed(n), isAuto(n);
    float remaining = 100;
    for (int c = 0; c < n; ++c) {
        isPercent[c] = cols.percent[c] > 0 && remaining > 0;
        if (isPercent[c]) share[c] = std::min(cols.percent[c], remaining), remaining -= share[c];
        isFixed[c] = !isPercent[c] && cols.fixed[c] >= 0;
        isAuto[c] = !isPercent[c] && !isFixed[c];
    }
    std::vector<std::vector<long long>> guesses(4, std::vector<long long>(n));
    std::vector<long long> totals(4, 0);
    for (int c = 0; c < n; ++c) {
        const long long min = cols.min[c];
        const long long percent = isPercent[c] ? std::max<long long>(min, static_cast<long long>(room * share[c] / 100)) : min;
        guesses[0][c] = min;
        guesses[1][c] = percent;
        guesses[2][c] = isFixed[c] ? std::max<long long>(min, cols.max[c]) : percent;
        guesses[3][c] = isAuto[c] ? std::max<long long>(min, cols.max[c]) : guesses[2][c];
        for (int g = 0; g < 4; ++g) totals[g] += guesses[g][c];
    }
    std::vector<int> widths(n);
    int upper = 0;
    while (upper < 4 && totals[upper] < room) ++upper;
    if (upper == 0) {
        for (int c = 0; c < n; ++c) widths[c] = Clamp(guesses[0][c]);
    } else if (upper < 4) {
        // Between guess upper-1 and guess upper.
        const std::vector<long long>& low = guesses[upper - 1];
        const std::vector<long long>& high = guesses[upper];
        const long long span = totals[upper] - totals[upper - 1], wanted = room - totals[upper - 1];
        long long given = 0;
        int lastGrown = -1;
        for (int c = 0; c < n; ++c) {
            const long long grow = span > 0 ? (high[c] - low[c]) * wanted / span : 0;
            widths[c] = Clamp(low[c] + grow);
            given += grow;
            if (high[c] > low[c]) lastGrown = c;
        }
        if (lastGrown >= 0) widths[lastGrown] = Clamp(widths[lastGrown] + wanted - given);
    } else {
        long long excess = room - totals[3];
        for (int c = 0; c < n; ++c) widths[c] = Clamp(guesses[3][c]);
        std::vector<long long> weight(n, 0);
        auto pick = [&](auto&& take, auto&& weigh) {
            long long sum = 0;
            for (int c = 0; c < n; ++c) weight[c] = take(c) ? weigh(c) : 0, sum += weight[c];
            return sum;
        };
        long long sum = pick([&](int c) { return isAuto[c]; }, [&](int c) { return static_cast<long long>(cols.max[c]); });
        if (sum == 0) sum = pick([&](int c) { return isFixed[c]; }, [&](int c) { return static_cast<long long>(cols.max[c]); });
        if (sum == 0) sum = pick([&](int c) { return isPercent[c]; }, [&](int c) { return static_cast<long long>(share[c] * 100); });
        if (sum == 0) sum = pick([&](int c) { return isAuto[c]; }, [](int) { return 1LL; });
        if (sum == 0) sum = pick([](int) { return true; }, [](int) { return 1LL; });
        long long given = 0;
        int last = -1;
        for (int c = 0; c < n; ++c) {
            if (!weight[c]) continue;
            const long long grow = excess * weight[c] / sum;
            widths[c] = Clamp(widths[c] + grow);
            given += grow;
            last = c;
        }
        if (last >= 0) widths[last] = Clamp(widths[last] + excess - given);
    }
    return widths;
}

}  // namespace layout
