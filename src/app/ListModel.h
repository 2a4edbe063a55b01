// The rows and columns behind the main window's list. The list view shows
// them on demand (owner data), so a source may add a hundred thousand rows
// without the control holding a copy of each.
//
// A filter narrows the rows shown to those holding its text in a cell.
// Over a million rows one pass takes longer than a window may stop
// answering, so a new filter text starts a pass that the window runs a
// slice at a time; until it is complete the rows of the previous filter
// stay shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/CaseFold.h"
#include "core/CellValue.h"
#include "core/ListSort.h"
#include "core/RowRecords.h"

namespace tmr {

// Cells keep what the store held (a text, a number, a time) and are turned
// into text by the model's format when they are shown, searched or
// exported: a change of the format (local time or UTC) changes every row
// on show at once.
class ListModel {
 public:
  explicit ListModel(const CellFormat& format = UtcIsoCellFormat()) : format_(&format) {}
  const CellFormat& Format() const { return *format_; }

  struct Column {
    std::string header;
    int widthTwips = 0;
  };

  // Drops rows, columns and the sort state; the filter stays and applies
  // to the rows added next.
  void Clear();
  void AddColumn(std::string header, int widthTwips);
  void AddRow(std::span<const CellValue> cells);
  // A row of texts only.
  void AddRow(const std::vector<std::string>& cells);
  // Room for this many rows in all, where a source knows how many it has.
  void ReserveRows(std::size_t rows);

  // Every row, shown or not.
  std::size_t RowCount() const { return rows_.size(); }
  // The rows the list shows: those the filter keeps, in the sort order.
  std::size_t ShownCount() const { return Shown().size(); }
  std::size_t ColumnCount() const { return columns_.size(); }
  const Column& ColumnAt(std::size_t index) const { return columns_[index]; }
  // A cell of a shown row, or an empty text where the row has fewer cells.
  CellValue Cell(std::size_t row, std::size_t column) const;
  // Its text as the list shows it, in the cell or in scratch.
  std::string_view CellText(std::size_t row, std::size_t column, std::string& scratch) const;

  // The first shown row at or after `from` (then from the top, when
  // wrapping) whose first cell starts with the text, or is the text when
  // `whole`, letter case ignored (ASCII): the list's search as a user types.
  std::optional<std::size_t> FindRow(std::string_view text, std::size_t from, bool wrap, bool whole) const;

  // Shows only the rows holding the text in one of the columns, letter
  // case ignored (see CaseBlindSearch); "" shows every row. A text other
  // than the current one starts a pass over the rows.
  void SetFilter(std::string_view text);
  const std::string& FilterText() const { return filterText_; }
  // Whether the shown rows are fewer than all because of a filter.
  bool Filtering() const { return !shownSearch_.Empty() || shownRange_.Active(); }
  bool FilterPending() const { return pending_; }
  // Tests up to `rows` more rows of the pending pass; true once no pass is
  // pending, the shown rows being those of the new text then.
  bool ContinueFilter(std::size_t rows);
  void FinishFilter() { ContinueFilter(static_cast<std::size_t>(-1)); }
  // The shown texts have changed (times in UTC instead of local time): the
  // filter's text is looked for again, in a pass as a new text is.
  void RefreshFilter();
  // Keeps only rows whose cell in the column is a time from `from` to `to`
  // (either end open), together with the text; both open keeps every row.
  // A new range starts a pass as a new text does.
  void SetTimeRange(std::size_t column, std::optional<Instant> from, std::optional<Instant> to);
  bool HasTimeRange() const { return range_.Active(); }

  // A click on a column header: that column (0-based) becomes the sort key
  // and the rows are sorted by it (ListSort.h), ascending; a click on the
  // header that is already the key reverses the order. Rows equal in that
  // column keep their relative order.
  void ClickColumn(int column);
  int SortKey() const { return sortKey_; }  // -1 until a header is clicked
  // Sorts by a column in the given direction, as clicks would.
  void SortBy(std::size_t column, bool descending);
  bool SortDescending() const { return descending_; }

 private:
  struct TimeRange {
    std::size_t column = 0;
    std::optional<Instant> from;
    std::optional<Instant> to;
    bool Active() const { return from || to; }
    bool Keeps(const char* record) const;
    friend bool operator==(const TimeRange&, const TimeRange&) = default;
  };

  void Sort();
  // A pass of the filter of this text and range; anew even where the shown
  // rows are of the same filter.
  void StartPass(CaseBlindSearch search, const TimeRange& range, bool anew);
  const std::vector<const char*>& Shown() const { return Filtering() ? shown_ : rows_; }
  bool Keeps(const CaseBlindSearch& search, const TimeRange& range, const char* record) const;

  const CellFormat* format_;
  std::vector<Column> columns_;
  // One record per row (RowRecords.h).
  RecordArena records_;
  std::vector<const char*> rows_;
  int sortKey_ = -1;
  bool descending_ = false;

  std::string filterText_;
  TimeRange range_;
  TimeRange shownRange_;
  TimeRange passRange_;
  // The filter the shown rows are those of, complete: rows added since its
  // pass are tested as they come.
  CaseBlindSearch shownSearch_;
  std::vector<const char*> shown_;
  // The pass of a newer filter over rows_, or over shown_ where the new
  // text narrows the shown one, by index (rows added meanwhile join its
  // end); kept_ collects what it keeps.
  bool pending_ = false;
  CaseBlindSearch passSearch_;
  bool passOverShown_ = false;
  std::size_t passNext_ = 0;
  // A pass over rows sorted by its range's column looks at the rows from
  // passNext_ to passEnd_, then at those from passTail_ on (added since).
  static constexpr std::size_t kNoBound = static_cast<std::size_t>(-1);
  std::size_t passEnd_ = kNoBound;
  std::size_t passTail_ = kNoBound;
  // The rows' count when last sorted.
  std::size_t sortedRows_ = 0;
  std::vector<const char*> kept_;
  // The text of a number or a time being searched.
  mutable std::string searchScratch_;
};

}  // namespace tmr
