#include "categories/ShowCategory.h"

#include "platform/Window.h"

namespace tmr {

std::string RecordCountText(std::size_t count) { return "Total Records: " + std::to_string(count); }

void ShowCategory(const CategoryInfo& category, CategoryList& list, ReadProgress& progress,
                  const ReadContext& context) {
  list.SetPanel(1, std::string(category.loadingWhileReading ? "Loading..." : category.hint));
  // A list hidden first takes its new columns without laying itself out.
  if (category.hideListWhileReading) list.SetListVisible(false);
  list.ResetColumns(category.columns);
  ReadOutcome outcome = ReadOutcome::kRead;
  ReadContext reading = context;
  reading.sinkSortsRows = category.newestFirst && list.SortsRows();
  try {
    outcome = category.read(reading, list, progress);
  } catch (...) {
    // Whatever was listed before the failure stays; the list is finished.
    ReportUnexpectedException("category reader");
  }
  if (reading.sinkSortsRows) list.SortRows(0, true);
  if (category.hideListWhileReading) list.SetListVisible(true);
  if (outcome == ReadOutcome::kNothingChosen) return;
  if (category.loadingWhileReading) list.SetPanel(1, std::string(category.hint));
  // Also for an empty list: a count left over from another category beside
  // this list would be wrong.
  list.SetPanel(2, RecordCountText(list.RowCount()));
}

}  // namespace tmr
