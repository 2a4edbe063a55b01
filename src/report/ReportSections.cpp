#include "report/ReportSections.h"

#include "platform/Window.h"

namespace tmr {

void ReadSectionRows(const CategoryInfo& category, RowSink& rows, ReadProgress& progress,
                     const BrowserProfileChoice& profiles, const TraceSource* source) {
  ReadContext context;
  context.purpose = ReadPurpose::kReport;
  context.profiles = profiles;
  context.source = source;
  try {
    category.read(context, rows, progress);
  } catch (...) {
    ReportUnexpectedException("report section reader");
  }
}

}  // namespace tmr
