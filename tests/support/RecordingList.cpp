#include "support/RecordingList.h"

#ifdef _WIN32
#include "platform/LocalTimeText.h"
#endif

namespace tmr::test {
namespace {

const CellFormat& ShownFormat() {
#ifdef _WIN32
  return ViewerCellFormat();
#else
  return UtcIsoCellFormat();
#endif
}

}  // namespace

void RecordingList::AddRow(std::span<const CellValue> given) {
  std::vector<std::string>& texts = rows.emplace_back();
  std::vector<StoredCell>& stored = cells.emplace_back();
  for (const CellValue& cell : given) {
    texts.push_back(ShownFormat().Text(cell));
    stored.push_back({cell.Kind(), cell.NumberValue(), std::string(cell.TextValue())});
  }
  if (log.empty() || log.back() != "row") log.push_back("row");
}

void RecordingList::BeginList() { log.push_back("list"); }

void RecordingList::ResetColumns(std::span<const ColumnInfo> given) {
  rows.clear();
  cells.clear();
  columns.clear();
  log.push_back("clear");
  for (const ColumnInfo& column : given) {
    columns.push_back({std::string(column.header), column.widthTwips});
    log.push_back("column:" + std::string(column.header) + ":" + std::to_string(column.widthTwips));
  }
}

void RecordingList::SetListVisible(bool visible) {
  listVisible = visible;
  log.push_back(visible ? "show" : "hide");
}

void RecordingList::SetPanel(int panel, const std::string& text) {
  (panel == 1 ? panel1 : panel2) = text;
  log.push_back("panel" + std::to_string(panel) + ":" + text);
}

void RecordingList::ShowCancelButton(bool visible) {
  cancelVisible = visible;
  log.push_back(visible ? "cancel:show" : "cancel:hide");
}

void RecordingList::BeginProgress(double maximum) {
  progressShown = true;
  progressMaximum = maximum;
  progressValue = 0;
  log.push_back("progress:show");
}

void RecordingList::SetProgress(double value, const std::string& label) {
  progressValue = value;
  progressLabel = label;
}

void RecordingList::EndProgress() {
  progressShown = false;
  log.push_back("progress:close");
}

bool RecordingList::KeepGoing() {
  ++keepGoingCalls;
  if (onKeepGoing) onKeepGoing();
  return !cancelled;
}

std::vector<std::string> RecordingList::FirstColumn() const {
  std::vector<std::string> texts;
  for (const auto& row : rows) texts.push_back(row.empty() ? std::string() : row[0]);
  return texts;
}

}  // namespace tmr::test
