// The order of the list's rows by one column, as a click on its header
// sorts them: times in time order, numbers by value, texts the way a user
// expects of a sortable list (letter case ignored, runs of digits compared
// by their value, so "9" comes before "10").
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "core/CellValue.h"

namespace tmr {

// Two texts in that order, each up to its first NUL (what the list shows).
// Returns <0, 0 or >0.
int CompareCells(std::string_view a, std::string_view b);

// Two cells in the list's order: empty cells first, then numbers and times
// by value, then texts. Returns <0, 0 or >0.
int CompareSortCells(const CellValue& a, const CellValue& b);

// A stable sort of row records (RowRecords.h) by one column's cell. Each
// row's key is found once, and texts are ordered by keys of eight bytes at
// a time, so a million rows sort without a million times twenty text
// comparisons.
void SortRecords(std::vector<const char*>& rows, std::size_t column, bool descending);

// Rows sorted by the column the other way round (the header clicked again)
// are these reversed, with each run of equal cells put back in its order:
// a pass instead of a sort. False, changing nothing, for rows not in that
// order (rows added since they were sorted).
bool ReverseSortedRecords(std::vector<const char*>& rows, std::size_t column, bool descending);

}  // namespace tmr
