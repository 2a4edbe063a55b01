// What a source routine may do with the main window's list and status bar.
// The main window implements it over its list view and status bar; tests
// implement it with a recorder. A source fills it in this order: panel 1
// hint, list kind, clear and add columns, hide, add rows, show, panel texts.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tmr {

class ListTarget {
 public:
  virtual ~ListTarget() = default;

  // Removes every row, then every column.
  virtual void ClearList() = 0;
  // Appends a report column; the width is in twips.
  virtual void AddColumn(const std::string& header, int widthTwips) = 0;
  // Appends a row: cells[0] is the row's text, the rest its sub-items.
  virtual void AddRow(std::vector<std::string> cells) = 0;
  // The same from borrowed texts, for readers that add many rows: the
  // window copies them straight into its store.
  virtual void AddRowTexts(std::span<const std::string_view> cells) {
    AddRow(std::vector<std::string>(cells.begin(), cells.end()));
  }
  virtual void SetListVisible(bool visible) = 0;
  // Panel 1 holds the hint or "Loading...", panel 2 the record count.
  virtual void SetPanel(int panel, const std::string& text) = 0;
  virtual std::size_t RowCount() const = 0;

  // The kind of list on show ("cache", "url", "cookies", "index.dat",
  // "recdoc", "run", "open"); sources without a kind leave it alone.
  virtual void SetListKind(const std::string& kind) = 0;
  virtual std::string ListKind() const = 0;

  // Shows or hides the main window's Cancel button.
  virtual void SetCancelVisible(bool visible) = 0;

  // The progress dialog of long sources: modeless, its bar running from 0 to
  // the maximum; its Cancel button and every way of closing it set
  // CancelRequested. The label is the caller's text, e.g. "Records: 12".
  virtual void ShowProgress(double maximum) = 0;
  virtual void SetProgress(double value, const std::string& label) = 0;
  virtual void CloseProgress() = 0;
  // The bar at count with the label "Records: " and the count. Readers call
  // it for every row; a window may put off the text until it repaints.
  virtual void SetProgressRecords(std::size_t count) {
    SetProgress(static_cast<double>(count), "Records: " + std::to_string(count));
  }

  // Lets pending window messages run, so Cancel and the rest of the window
  // stay live during a long source. Cheap to call often: the window pumps
  // only when its time slice has passed.
  virtual void DoEvents() = 0;
};

// "Total Records: " and the number of rows, into panel 2.
void ShowRecordCount(ListTarget& target);
std::string RecordCountText(std::size_t count);

}  // namespace tmr
