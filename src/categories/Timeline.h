// One timeline of every category that carries times: each time of each
// row is an event, a row of its own (a cookie's creation and its last
// access are two), merged and shown newest first.
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "categories/CategoryTable.h"
#include "core/CellValue.h"
#include "core/RowRecords.h"
#include "readers/RowSink.h"

namespace tmr {

// The timeline's columns.
enum TimelineColumn : std::size_t { kTimelineTime, kTimelineEvent, kTimelineCategory, kTimelineItem, kTimelineDetails };

// Times from 1970 up to 2100 are events; any other (a zero, a damaged
// store's value) is none.
bool IsTimelineTime(Instant instant);

// Turns the rows of one category after another into timeline rows. They
// go to `out` as they come when the list sorts them itself, or are kept
// and handed over newest first by Finish (the report, an export).
class TimelineRows final : public RowSink {
 public:
  TimelineRows(RowSink& out, bool keepToSort);
  ~TimelineRows() override;

  // The rows that follow are the category's.
  void BeginCategory(const CategoryTable& table, const CategoryInfo& category);
  using RowSink::AddRow;
  void AddRow(std::span<const CellValue> cells) override;
  // Hands over the kept rows, newest first (rows of the same time in the
  // order they came).
  void Finish();

  std::size_t Events() const { return events_; }
  // Rows of the categories that gave no event.
  std::size_t RowsWithoutTime() const { return withoutTime_; }

 private:
  void Emit(std::span<const CellValue> row);

  RowSink& out_;
  bool keepToSort_;
  std::string categoryName_;
  std::span<const ColumnInfo> columns_;
  std::string details_;
  std::string scratch_;
  std::size_t events_ = 0;
  std::size_t withoutTime_ = 0;
  // Kept rows, as the list keeps its own.
  RecordArena records_;
  std::vector<const char*> kept_;
};

// Reads every category of the table that feeds the timeline, one after the
// other, into the rows. A category's failure leaves the rows it gave; Cancel
// stops after the category being read. Panel 1 then tells how many rows had
// no time.
ReadOutcome ReadTimeline(const CategoryTable& table, const ReadContext& context, RowSink& rows, ReadProgress& progress);

// "312 rows without a time left out".
std::string LeftOutText(std::size_t rows);

}  // namespace tmr
