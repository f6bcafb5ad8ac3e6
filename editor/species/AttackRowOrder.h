#pragma once

#include <vector>

// Where a row of `level` goes when it is added with row `selected` chosen (-1: none). The games keep a
// table's rows in ascending level order, so in a table that is in that order the row goes right after the
// selected row when that keeps the order, and otherwise after the last row of its level or below. A table
// that is not in order (a hack's choice) gets the row right after the selected one, or at the end.
[[nodiscard]] int AddedRowPosition(const std::vector<int>& levels, int selected, int level);
