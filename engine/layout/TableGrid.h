// The grid of a table: its rows, its caption, and each cell's column and row.
#pragma once
#include "layout/LayoutEngine.h"

#include <vector>

namespace layout {

struct LayoutEngine::Grid {
    std::vector<Box*> rows;
    Box* caption = nullptr;
    int columns = 0;
    std::vector<Box*> cells;
};

}  // namespace layout
