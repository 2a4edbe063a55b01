// The rows and columns behind the main window's list. The list view shows
// them on demand (owner data), so a source may add a hundred thousand rows
// without the control holding a copy of each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tmr {

// Orders two cell texts the way a user expects of a sortable list: letter
// case ignored (ASCII), runs of digits compared by their value, so "9"
// comes before "10". Returns <0, 0 or >0.
int CompareCells(std::string_view a, std::string_view b);

class ListModel {
 public:
  struct Column {
    std::string header;
    int widthTwips = 0;
  };

  // Drops rows, columns and the sort state.
  void Clear();
  void AddColumn(std::string header, int widthTwips);
  void AddRow(const std::vector<std::string>& cells);
  void AddRowTexts(std::span<const std::string_view> cells);

  std::size_t RowCount() const { return rows_.size(); }
  std::size_t ColumnCount() const { return columns_.size(); }
  const Column& ColumnAt(std::size_t index) const { return columns_[index]; }
  // The text of a cell, or "" where the row has fewer cells.
  std::string_view Cell(std::size_t row, std::size_t column) const;

  // A click on a column header: that column (0-based) becomes the sort key
  // and the rows are sorted by it, ascending; a click on the header that is
  // already the key reverses the order. Rows equal in that column keep
  // their relative order.
  void ClickColumn(int column);
  int SortKey() const { return sortKey_; }  // -1 until a header is clicked
  bool SortDescending() const { return descending_; }

 private:
  void Sort();
  // Room for a row's record in the text store.
  char* Allocate(std::size_t bytes);

  std::vector<Column> columns_;
  // Rows live in large blocks of text, one record per row (a cell count,
  // then each cell's length and bytes), so a hundred thousand rows cost a
  // few allocations, and sorting only reorders the pointers.
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t blockUsed_ = 0;
  std::size_t blockSize_ = 0;
  std::vector<const char*> rows_;
  int sortKey_ = -1;
  bool descending_ = false;
};

}  // namespace tmr
