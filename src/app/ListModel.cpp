#include "app/ListModel.h"

#include <algorithm>
#include <cstring>

#include "core/RowRecords.h"
#include "core/TextUtil.h"

namespace tmr {
namespace {

unsigned char Fold(char c) {
  auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

}  // namespace

void ListModel::Clear() {
  rows_.clear();
  rows_.shrink_to_fit();
  records_.Clear();
  columns_.clear();
  sortKey_ = -1;
  sortedRows_ = 0;
  descending_ = false;
  shown_.clear();
  shown_.shrink_to_fit();
  // With no rows left, a pending pass is complete: its filter applies to
  // the rows added from now on.
  if (pending_) {
    shownSearch_ = std::move(passSearch_);
    shownRange_ = passRange_;
  }
  pending_ = false;
  kept_ = {};
}

void ListModel::AddColumn(std::string header, int widthTwips) { columns_.push_back({std::move(header), widthTwips}); }

void ListModel::AddRow(std::span<const CellValue> cells) {
  const char* record = records_.Add(cells);
  rows_.push_back(record);
  if (Filtering() && Keeps(shownSearch_, shownRange_, record)) shown_.push_back(record);
}

void ListModel::ReserveRows(std::size_t rows) {
  // A store's count, not a promise: a damaged one may claim any number.
  constexpr std::size_t kMostReserved = std::size_t{1} << 24;
  rows_.reserve(std::min(rows, kMostReserved));
}

void ListModel::AddRow(const std::vector<std::string>& texts) {
  std::vector<CellValue> cells;
  cells.reserve(texts.size());
  for (const std::string& text : texts) cells.push_back(CellValue::Text(text));
  AddRow(cells);
}

CellValue ListModel::Cell(std::size_t row, std::size_t column) const {
  const std::vector<const char*>& shown = Shown();
  if (row >= shown.size()) return {};
  return RecordCell(shown[row], column);
}

std::string_view ListModel::CellText(std::size_t row, std::size_t column, std::string& scratch) const {
  const CellValue cell = Cell(row, column);
  if (cell.Kind() == CellKind::kText) return cell.TextValue();
  scratch.clear();
  format_->Append(scratch, cell);
  return scratch;
}

bool ListModel::TimeRange::Keeps(const char* record) const {
  if (!Active()) return true;
  const CellValue cell = RecordCell(record, column);
  if (cell.Kind() != CellKind::kTime) return false;
  return (!from || cell.TimeValue() >= *from) && (!to || cell.TimeValue() <= *to);
}

bool ListModel::Keeps(const CaseBlindSearch& search, const TimeRange& range, const char* record) const {
  if (!range.Keeps(record)) return false;
  if (search.Empty()) return true;
  RecordCursor cursor(record);
  for (std::size_t i = 0; i < columns_.size() && !cursor.Done(); ++i) {
    const CellValue cell = cursor.Next();
    if (cell.Kind() == CellKind::kText) {
      if (search.FoundIn(cell.TextValue())) return true;
      continue;
    }
    searchScratch_.clear();
    format_->Append(searchScratch_, cell);
    if (search.FoundIn(searchScratch_)) return true;
  }
  return false;
}

void ListModel::SetFilter(std::string_view text) {
  if (text == filterText_) return;
  filterText_ = text;
  StartPass(CaseBlindSearch(filterText_), range_, false);
}

void ListModel::SetTimeRange(std::size_t column, std::optional<Instant> from, std::optional<Instant> to) {
  const TimeRange range{column, from, to};
  if (range == range_) return;
  range_ = range;
  StartPass(CaseBlindSearch(filterText_), range_, false);
}

void ListModel::StartPass(CaseBlindSearch search, const TimeRange& range, bool anew) {
  kept_.clear();
  pending_ = false;
  // Back to the shown filter, or the same in another letter case.
  if (!anew && search.Folded() == shownSearch_.Folded() && range == shownRange_) return;
  if (search.Empty() && !range.Active()) {
    shownSearch_ = {};
    shownRange_ = {};
    shown_ = {};
    return;
  }
  pending_ = true;
  passOverShown_ = !anew && Filtering() && range == shownRange_ && search.Narrows(shownSearch_);
  passSearch_ = std::move(search);
  passRange_ = range;
  passNext_ = 0;
  passEnd_ = passTail_ = kNoBound;
  // Rows sorted by the range's column since the last was added hold the
  // range's rows together: the pass need look at those alone.
  if (!range.Active() || sortKey_ != static_cast<int>(range.column) || sortedRows_ != rows_.size()) return;
  const std::vector<const char*>& source = passOverShown_ ? shown_ : rows_;
  const CellValue earliest = CellValue::Time(range.from.value_or(INT64_MIN));
  const CellValue latest = CellValue::Time(range.to.value_or(INT64_MAX));
  auto firstWhere = [&](auto&& holds) {
    return static_cast<std::size_t>(
        std::partition_point(source.begin(), source.end(),
                             [&](const char* record) { return !holds(RecordCell(record, range.column)); }) -
        source.begin());
  };
  if (descending_) {
    passNext_ = firstWhere([&](const CellValue& cell) { return CompareSortCells(cell, latest) <= 0; });
    passEnd_ = firstWhere([&](const CellValue& cell) { return CompareSortCells(cell, earliest) < 0; });
  } else {
    passNext_ = firstWhere([&](const CellValue& cell) { return CompareSortCells(cell, earliest) >= 0; });
    passEnd_ = firstWhere([&](const CellValue& cell) { return CompareSortCells(cell, latest) > 0; });
  }
  passEnd_ = std::max(passEnd_, passNext_);
  passTail_ = source.size();
}

void ListModel::RefreshFilter() {
  if (filterText_.empty()) return;
  StartPass(CaseBlindSearch(filterText_), range_, true);
}

bool ListModel::ContinueFilter(std::size_t rows) {
  if (!pending_) return true;
  const std::vector<const char*>& source = passOverShown_ ? shown_ : rows_;
  for (std::size_t budget = rows; budget > 0;) {
    // Past the sorted rows of the range, only rows added since are left.
    if (passNext_ == passEnd_) passNext_ = std::max(passNext_, passTail_);
    if (passNext_ >= source.size()) break;
    const std::size_t stop =
        std::min(passNext_ + std::min(budget, source.size() - passNext_), passNext_ < passEnd_ ? passEnd_ : kNoBound);
    budget -= stop - passNext_;
    for (; passNext_ < stop; ++passNext_) {
      // The rows lie all over the blocks once sorted: their memory is asked
      // for ahead of the test.
      if (passNext_ + 16 < stop) __builtin_prefetch(source[passNext_ + 16]);
      if (Keeps(passSearch_, passRange_, source[passNext_])) kept_.push_back(source[passNext_]);
    }
  }
  if (passNext_ < source.size()) return false;
  shown_ = std::move(kept_);
  kept_ = {};
  shownSearch_ = std::move(passSearch_);
  shownRange_ = passRange_;
  passSearch_ = {};
  pending_ = false;
  return true;
}

std::optional<std::size_t> ListModel::FindRow(std::string_view text, std::size_t from, bool wrap, bool whole) const {
  const std::vector<const char*>& shown = Shown();
  auto matches = [&](std::size_t row) {
    std::string scratch;
    const CellValue value = RecordCell(shown[row], 0);
    std::string_view cell = value.TextValue();
    if (value.Kind() != CellKind::kText) {
      format_->Append(scratch, value);
      cell = scratch;
    }
    if (cell.size() < text.size() || (whole && cell.size() != text.size())) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (Fold(cell[i]) != Fold(text[i])) return false;
    }
    return true;
  };
  for (std::size_t row = from; row < shown.size(); ++row) {
    if (matches(row)) return row;
  }
  for (std::size_t row = 0; wrap && row < std::min(from, shown.size()); ++row) {
    if (matches(row)) return row;
  }
  return std::nullopt;
}

void ListModel::SortBy(std::size_t column, bool descending) {
  FinishFilter();
  sortKey_ = static_cast<int>(column);
  descending_ = descending;
  Sort();
}

void ListModel::ClickColumn(int column) {
  if (column < 0) return;
  // The shown rows are sorted with the rest, so they must be the filter's.
  FinishFilter();
  if (column == sortKey_) {
    descending_ = !descending_;
  } else {
    sortKey_ = column;
    descending_ = false;
  }
  Sort();
}

void ListModel::Sort() {
  sortedRows_ = rows_.size();
  const auto key = static_cast<std::size_t>(sortKey_);
  // Sorting both lists alike keeps the shown rows in the order they have
  // among all rows: equal rows keep their earlier order in each.
  for (std::vector<const char*>* rows : {&rows_, &shown_}) {
    if (rows->size() > 1 && !ReverseSortedRecords(*rows, key, descending_)) SortRecords(*rows, key, descending_);
  }
}

}  // namespace tmr
