// A list and progress that record what a category's reader and the frame
// around it do, for tests of readers and of the order a list is filled in.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "categories/ShowCategory.h"

namespace tmr::test {

class RecordingList : public CategoryList, public ReadProgress {
 public:
  struct Column {
    std::string header;
    int widthTwips;
  };

  // A cell as the reader handed it over.
  struct StoredCell {
    CellKind kind = CellKind::kText;
    int64_t value = 0;  // the number or the instant
    std::string text;
    friend bool operator==(const StoredCell&, const StoredCell&) = default;
  };

  using CategoryList::AddRow;
  void AddRow(std::span<const CellValue> cells) override;
  void BeginList() override;
  void ResetColumns(std::span<const ColumnInfo> columns) override;
  void SetListVisible(bool visible) override;
  void SetPanel(int panel, const std::string& text) override;
  std::size_t RowCount() const override { return rows.size(); }

  void SetStatus(const std::string& text) override { SetPanel(1, text); }
  void ShowCancelButton(bool visible) override;
  void BeginProgress(double maximum) override;
  void SetProgress(double value, const std::string& label) override;
  void EndProgress() override;
  bool KeepGoing() override;

  // Texts of column 0 of every row.
  std::vector<std::string> FirstColumn() const;

  std::vector<Column> columns;
  // Each row's texts as the list shows them (in the viewer's format on
  // Windows), and its cells as they came.
  std::vector<std::vector<std::string>> rows;
  std::vector<std::vector<StoredCell>> cells;
  std::string panel1;
  std::string panel2;
  bool listVisible = true;
  bool cancelVisible = false;
  int keepGoingCalls = 0;
  bool progressShown = false;
  double progressMaximum = 0;
  double progressValue = 0;
  std::string progressLabel;
  // What KeepGoing answers after running onKeepGoing (a test may press
  // Cancel from there).
  bool cancelled = false;
  std::function<void()> onKeepGoing;
  // One entry per call, e.g. "hide", "clear", "column:URL:5000", "row",
  // "show", "panel1:Loading...", "list" (a list of its own begins).
  std::vector<std::string> log;
};

// Shows the category from the program's table in the recorder, as a click
// does (the list's reading, unless the context says otherwise).
void ShowInRecorder(Category category, RecordingList& list, const ReadContext& context = {});

// The rows of the category as the report reads them.
std::vector<std::vector<std::string>> ReportRows(Category category);

}  // namespace tmr::test
