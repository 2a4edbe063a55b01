#include "report/ReportSections.h"

#include "platform/Window.h"

namespace tmr {

void ReadSectionRows(const CategorySpec& category, RowSink& rows, ReadProgress& progress) {
  ReadContext context;
  context.purpose = ReadPurpose::kReport;
  try {
    category.read(context, rows, progress);
  } catch (...) {
    ReportUnexpectedException("report section reader");
  }
}

}  // namespace tmr
