// A ListTarget that records what a source does, for tests of sources and of
// the fill order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "readers/ListTarget.h"

namespace tmr::test {

class RecordingListTarget : public ListTarget {
 public:
  struct Column {
    std::string header;
    int widthTwips;
  };

  void ClearList() override;
  void AddColumn(const std::string& header, int widthTwips) override;
  void AddRow(std::vector<std::string> cells) override;
  void SetListVisible(bool visible) override;
  void SetPanel(int panel, const std::string& text) override;
  std::size_t RowCount() const override { return rows.size(); }
  void SetListKind(const std::string& kind) override;
  std::string ListKind() const override { return listKind; }
  void SetCancelVisible(bool visible) override;
  void ShowProgress(double maximum) override;
  void SetProgress(double value, const std::string& label) override;
  void CloseProgress() override;
  void DoEvents() override;

  // Texts of column 0 of every row.
  std::vector<std::string> FirstColumn() const;

  std::vector<Column> columns;
  std::vector<std::vector<std::string>> rows;
  std::string panel1;
  std::string panel2;
  std::string listKind;
  bool listVisible = true;
  bool cancelVisible = false;
  int doEventsCalls = 0;
  bool progressShown = false;
  double progressMaximum = 0;
  double progressValue = 0;
  std::string progressLabel;
  // One entry per call, e.g. "clear", "column:URL:5000", "hide", "row",
  // "show", "panel1:Loading...", "kind:url".
  std::vector<std::string> log;
  // Run on every DoEvents (a test may press Cancel from here).
  std::function<void()> onDoEvents;
};

}  // namespace tmr::test
