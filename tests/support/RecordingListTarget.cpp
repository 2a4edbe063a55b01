#include "support/RecordingListTarget.h"

namespace tmr::test {

void RecordingListTarget::ClearList() {
  rows.clear();
  columns.clear();
  log.push_back("clear");
}

void RecordingListTarget::AddColumn(const std::string& header, int widthTwips) {
  columns.push_back({header, widthTwips});
  log.push_back("column:" + header + ":" + std::to_string(widthTwips));
}

void RecordingListTarget::AddRow(std::vector<std::string> cells) {
  rows.push_back(std::move(cells));
  if (log.empty() || log.back() != "row") log.push_back("row");
}

void RecordingListTarget::SetListVisible(bool visible) {
  listVisible = visible;
  log.push_back(visible ? "show" : "hide");
}

void RecordingListTarget::SetPanel(int panel, const std::string& text) {
  (panel == 1 ? panel1 : panel2) = text;
  log.push_back("panel" + std::to_string(panel) + ":" + text);
}

void RecordingListTarget::SetListKind(const std::string& kind) {
  listKind = kind;
  log.push_back("kind:" + kind);
}

void RecordingListTarget::SetCancelVisible(bool visible) {
  cancelVisible = visible;
  log.push_back(visible ? "cancel:show" : "cancel:hide");
}

void RecordingListTarget::ShowProgress(double maximum) {
  progressShown = true;
  progressMaximum = maximum;
  progressValue = 0;
  log.push_back("progress:show");
}

void RecordingListTarget::SetProgress(double value, const std::string& label) {
  progressValue = value;
  progressLabel = label;
}

void RecordingListTarget::CloseProgress() {
  progressShown = false;
  log.push_back("progress:close");
}

void RecordingListTarget::DoEvents() {
  ++doEventsCalls;
  if (onDoEvents) onDoEvents();
}

std::vector<std::string> RecordingListTarget::FirstColumn() const {
  std::vector<std::string> texts;
  for (const auto& row : rows) texts.push_back(row.empty() ? std::string() : row[0]);
  return texts;
}

}  // namespace tmr::test
