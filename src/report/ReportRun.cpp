#include "report/ReportRun.h"

namespace tmr {

std::size_t SectionsChosen(const CategoryTable& table, const ReportGroupSet& chosen) {
  std::size_t count = 0;
  for (const CategoryInfo& category : table.categories) {
    if (chosen.Has(category.report.group)) ++count;
  }
  return count;
}

void WriteReport(HtmlReportWriter& writer, const CategoryTable& table, const ReportGroupSet& chosen,
                 const ReportHeader& header, const SectionReader& read, ReportProgress& progress) {
  progress.SetMaximum(progress.Maximum() + static_cast<double>(SectionsChosen(table, chosen)));
  progress.SetStatus("Start creating report...");
  writer.WriteHead();
  writer.WriteHeaderTable(header.computer, header.user, header.date);
  writer.WriteIndexTable(table, chosen);

  int counter = 0;
  bool skipShown = false;
  for (const CategoryInfo& category : table.categories) {
    // The "skip" button comes and goes with a skippable group whether or not
    // the group is chosen.
    const bool skippable = table.Of(category.report.group).skippable;
    if (skippable != skipShown) {
      progress.ShowSkip(skippable);
      skipShown = skippable;
    }
    if (!chosen.Has(category.report.group)) continue;
    progress.SetStatus(std::string(category.report.statusText));
    progress.SetValue(++counter);
    writer.BeginSection(category.report);
    if (read) read(category, writer);
    writer.EndSection();
  }
  if (skipShown) progress.ShowSkip(false);
  writer.WriteFooter(header.siteAddress);
}

}  // namespace tmr
