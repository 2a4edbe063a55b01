// The order in which a report is written: head, header and index tables,
// then the section of every category of the chosen groups, in the table's
// order, with the dialog's status text, progress bar and "skip" button kept
// current.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "categories/CategoryTable.h"
#include "report/HtmlReport.h"

namespace tmr {

// What the page shows around the data.
struct ReportHeader {
  std::string computer;
  std::string user;
  std::string date;
  std::string siteAddress;
};

// The dialog as the writing sees it.
class ReportProgress {
 public:
  virtual ~ReportProgress() = default;
  virtual void SetStatus(const std::string& text) = 0;
  virtual double Maximum() const = 0;
  virtual void SetMaximum(double maximum) = 0;
  virtual void SetValue(double value) = 0;
  virtual void ShowSkip(bool visible) = 0;
};

// The dialog's part when there is no dialog.
class SilentReportProgress final : public ReportProgress {
 public:
  void SetStatus(const std::string&) override {}
  double Maximum() const override { return maximum_; }
  void SetMaximum(double maximum) override { maximum_ = maximum; }
  void SetValue(double) override {}
  void ShowSkip(bool) override {}

 private:
  double maximum_ = 0;
};

// Reads a category's rows into the section being written.
using SectionReader = std::function<void(const CategoryInfo& category, RowSink& rows)>;

// The number of sections the chosen groups write.
std::size_t SectionsChosen(const CategoryTable& table, const ReportGroupSet& chosen);

// The progress bar's maximum grows by the number of sections chosen.
void WriteReport(HtmlReportWriter& writer, const CategoryTable& table, const ReportGroupSet& chosen,
                 const ReportHeader& header, const SectionReader& read, ReportProgress& progress);

}  // namespace tmr
