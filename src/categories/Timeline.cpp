#include "categories/Timeline.h"

#include <algorithm>

#include "core/CivilDate.h"
#include "core/ListSort.h"
#include "core/RowRecords.h"

namespace tmr {
namespace {

constexpr Instant k2100 = DaysFromCivil({2100, 1, 1}) * 86400 * kMicrosecondsPerSecond;
constexpr std::string_view kJoin = " | ";

}  // namespace

bool IsTimelineTime(Instant instant) { return instant >= 0 && instant < k2100; }

TimelineRows::TimelineRows(RowSink& out, bool keepToSort) : out_(out), keepToSort_(keepToSort) {}

TimelineRows::~TimelineRows() = default;

void TimelineRows::BeginCategory(const CategoryTable& table, const CategoryInfo& category) {
  categoryName_ = table.FullName(category);
  columns_ = category.columns;
}

void TimelineRows::AddRow(std::span<const CellValue> cells) {
  // The row's other cells, times apart (each is an event of its own).
  details_.clear();
  for (std::size_t i = 1; i < cells.size(); ++i) {
    if (cells[i].Kind() == CellKind::kTime) continue;
    scratch_.clear();
    UtcIsoCellFormat().Append(scratch_, cells[i]);
    const std::string_view shown = std::string_view(scratch_).substr(0, scratch_.find('\0'));
    if (shown.empty()) continue;
    if (!details_.empty()) details_ += kJoin;
    details_ += shown;
  }
  const CellValue item = cells.empty() ? CellValue() : cells[0];
  bool anyEvent = false;
  for (std::size_t i = 0; i < cells.size() && i < columns_.size(); ++i) {
    if (cells[i].Kind() != CellKind::kTime || columns_[i].timeMeaning.empty()) continue;
    if (!IsTimelineTime(cells[i].TimeValue())) continue;
    anyEvent = true;
    const CellValue row[] = {cells[i], CellValue::Text(columns_[i].timeMeaning), CellValue::Text(categoryName_), item,
                             CellValue::Text(details_)};
    Emit(row);
  }
  if (!anyEvent) ++withoutTime_;
}

void TimelineRows::Emit(std::span<const CellValue> row) {
  ++events_;
  if (!keepToSort_) {
    out_.AddRow(row);
    return;
  }
  kept_.push_back(records_.Add(row));
}

void TimelineRows::Finish() {
  SortRecords(kept_, kTimelineTime, true);
  std::vector<CellValue> cells;
  for (const char* record : kept_) {
    cells.clear();
    for (RecordCursor cursor(record); !cursor.Done();) cells.push_back(cursor.Next());
    out_.AddRow(cells);
  }
  kept_ = {};
  records_.Clear();
}

ReadOutcome ReadTimeline(const CategoryTable& table, const ReadContext& context, RowSink& rows,
                         ReadProgress& progress) {
  progress.SetStatus("Loading...");
  TimelineRows timeline(rows, !context.sinkSortsRows);
  ReadContext each = context;
  each.sinkSortsRows = false;
  // A category's own dialog (the cache index file) has no part here.
  each.chooseIndexFile = nullptr;
  for (const CategoryInfo& category : table.categories) {
    if (!category.feedsTimeline || category.id == Category::kTimeline) continue;
    if (!progress.KeepGoing()) break;
    timeline.BeginCategory(table, category);
    try {
      category.read(each, timeline, progress);
    } catch (...) {
      // The rows it gave stay; the other categories are read all the same.
    }
  }
  timeline.Finish();
  progress.SetStatus(LeftOutText(timeline.RowsWithoutTime()));
  return ReadOutcome::kRead;
}

std::string LeftOutText(std::size_t rows) {
  return std::to_string(rows) + (rows == 1 ? " row" : " rows") + " without a time left out";
}

}  // namespace tmr
