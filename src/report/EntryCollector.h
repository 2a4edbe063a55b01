// A list that keeps only the rows' first texts, as an entry list: lets the
// report read a store through the same routine that fills the main list.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "readers/ListTarget.h"
#include "report/ReportLists.h"

namespace tmr {

class EntryCollector final : public ListTarget {
 public:
  explicit EntryCollector(std::function<void()> doEvents) : doEvents_(std::move(doEvents)) {}

  EntryList Take() { return std::move(entries_); }

  void ClearList() override { entries_.clear(); }
  void AddColumn(const std::string&, int) override {}
  void AddRow(std::vector<std::string> cells) override {
    AppendEntry(entries_, cells.empty() ? std::string() : std::move(cells[0]));
  }
  void SetListVisible(bool) override {}
  void SetPanel(int, const std::string&) override {}
  std::size_t RowCount() const override { return entries_.empty() ? 0 : entries_.size() - 1; }
  void SetListKind(const std::string& kind) override { kind_ = kind; }
  std::string ListKind() const override { return kind_; }
  void SetCancelVisible(bool) override {}
  void ShowProgress(double) override {}
  void SetProgress(double, const std::string&) override {}
  void CloseProgress() override {}
  void DoEvents() override {
    if (doEvents_) doEvents_();
  }

 private:
  std::function<void()> doEvents_;
  EntryList entries_;
  std::string kind_;
};

}  // namespace tmr
