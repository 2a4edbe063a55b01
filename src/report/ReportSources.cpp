#include "report/ReportSources.h"

#include "report/WindowsCollectors.h"

namespace tmr {

ReportSources MakeReportSources(const std::function<void()>& doEvents, const bool& skipIndex) {
  (void)skipIndex;
  ReportSources sources;
  sources.sections[5] = [doEvents] { return GetRecentDocuments(doEvents); };
  sources.sections[6] = GetSearchHistory;
  sources.sections[7] = getRunHistory;
  sources.sections[8] = getOpenSave;
  sources.sections[9] = getLastVisit;
  sources.sections[10] = getUSBStorage;
  sources.sections[11] = getFirstFolder;
  sources.sections[12] = GetTypedPath;
  return sources;
}

}  // namespace tmr
