// What the tests of today's Windows categories expect of a row: typed
// cells, written as briefly as the stores' values are.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "categories/CategoryTable.h"
#include "support/RecordingList.h"

namespace tmr::test {

using Cell = RecordingList::StoredCell;
using CellRow = std::vector<Cell>;

inline Cell TextCell(std::string text) { return {CellKind::kText, 0, std::move(text)}; }
inline Cell NumberCell(int64_t number) { return {CellKind::kNumber, number, ""}; }
inline Cell TimeCell(uint64_t fileTime) { return {CellKind::kTime, InstantFromFileTime(fileTime), ""}; }
inline Cell UnixTimeCell(int64_t seconds) { return {CellKind::kTime, seconds * kMicrosecondsPerSecond, ""}; }
inline Cell NoCell() { return TextCell(""); }

// Every row has a cell per column, each of the column's kind or an empty
// text where the store holds nothing.
inline void ExpectCellsOfTheColumns(Category category, const RecordingList& list) {
  const auto& columns = Categories().Of(category).columns;
  for (const CellRow& row : list.cells) {
    ASSERT_EQ(row.size(), columns.size());
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (row[i].kind == CellKind::kText && columns[i].kind != CellKind::kText) {
        EXPECT_EQ(row[i].text, "") << columns[i].header;
      } else {
        EXPECT_EQ(row[i].kind, columns[i].kind) << columns[i].header;
      }
    }
  }
}

}  // namespace tmr::test
