#include "report/ReportRun.h"

namespace tmr {

double SectionsChosen(const ReportGroups& groups) {
  return (groups.internetExplorer ? 3 : 0) + (groups.windows ? 8 : 0) + (groups.firefox ? 5 : 0) +
         (groups.chrome ? 5 : 0) + (groups.indexDat ? 1 : 0);
}

void WriteReport(HtmlReportWriter& writer, const ReportGroups& groups, const ReportHeader& header,
                 const ReportSources& sources, ReportProgress& progress) {
  progress.SetMaximum(progress.Maximum() + SectionsChosen(groups));
  progress.SetStatus("Start creating report...");
  writer.WriteHead();
  writer.WriteHeaderTable(header.computer, header.user, header.date);
  writer.WriteIndexTable(groups);

  int counter = 0;
  auto section = [&](int number) {
    progress.SetStatus(ReportSection(number).statusText);
    progress.SetValue(++counter);
    writer.BeginSection(number);
    if (number == 1) {
      if (sources.ieHistory) {
        sources.ieHistory([&](const std::string& title, const std::string& url, const std::string& date) {
          writer.WriteIeHistoryRow(title, url, date);
        });
      }
    } else if (const auto& collect = sources.sections[static_cast<size_t>(number)]) {
      // Only this section's list is held while it is written.
      writer.WriteEntries(number, collect());
    }
    writer.EndSection();
  };

  if (groups.internetExplorer) {
    for (int n = 1; n <= 3; ++n) section(n);
  }
  progress.ShowSkip(true);
  if (groups.indexDat) section(4);
  progress.ShowSkip(false);
  if (groups.windows) {
    for (int n = 5; n <= 12; ++n) section(n);
  }
  if (groups.firefox) {
    for (int n = 13; n <= 17; ++n) section(n);
  }
  if (groups.chrome) {
    for (int n = 18; n <= 22; ++n) section(n);
  }
  writer.WriteFooter(header.siteAddress);
}

}  // namespace tmr
