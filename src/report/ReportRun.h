// The order in which a report is written: head, header and index tables,
// then every section of the chosen groups, each from its collector, with
// the dialog's status text, progress bar and "skip" button kept current.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "report/HtmlReport.h"
#include "report/ReportLists.h"

namespace tmr {

// What the page shows around the data.
struct ReportHeader {
  std::string computer;
  std::string user;
  std::string date;
  std::string siteAddress;
};

// Where each section's rows come from. Section 1 hands its history items
// one by one; the others return their entry lists. An empty function gives
// a section without rows.
struct ReportSources {
  using ItemSink = std::function<void(const std::string& title, const std::string& url, const std::string& date)>;
  std::function<void(const ItemSink&)> ieHistory;       // 1
  std::array<std::function<EntryList()>, 23> sections;  // 2..22 by number
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

// The progress bar's maximum grows by the number of sections chosen.
double SectionsChosen(const ReportGroups& groups);

void WriteReport(HtmlReportWriter& writer, const ReportGroups& groups, const ReportHeader& header,
                 const ReportSources& sources, ReportProgress& progress);

}  // namespace tmr
