// Showing a category in a list: the status texts, the columns, the rows of
// its reader and the record count, in the order the user sees them change.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "categories/CategoryTable.h"
#include "readers/RowSink.h"

namespace tmr {

// A list with a status bar of two panels, as the main window shows one.
class CategoryList : public RowSink {
 public:
  // Removes every row and column, then adds these columns.
  virtual void ResetColumns(std::span<const ColumnInfo> columns) = 0;
  virtual void SetListVisible(bool visible) = 0;
  // Panel 1 holds the hint or "Loading...", panel 2 the record count.
  virtual void SetPanel(int panel, const std::string& text) = 0;
  virtual std::size_t RowCount() const = 0;
  // A list that can sort its rows by a column (SortRows) is handed a
  // category shown newest first unsorted and sorted once read.
  virtual bool SortsRows() const { return false; }
  virtual void SortRows(std::size_t /*column*/, bool /*descending*/) {}
};

// Panel 1 for the category, its columns, its reader's rows, then "Total
// Records: " and the count in panel 2. A reader that fails keeps the rows it
// gave; one whose user chose nothing to read leaves the status bar as it is.
void ShowCategory(const CategoryInfo& category, CategoryList& list, ReadProgress& progress, const ReadContext& context);

std::string RecordCountText(std::size_t count);

}  // namespace tmr
