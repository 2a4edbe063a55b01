#include "report/ReportSources.h"

#include "report/BrowserCollectors.h"
#include "report/IeCollectors.h"
#include "report/WindowsCollectors.h"

namespace tmr {

ReportSources MakeReportSources(const std::function<void()>& doEvents, const bool& skipIndex) {
  ReportSources sources;
  sources.ieHistory = ReadIeHistoryForReport;
  sources.sections[2] = [doEvents] { return GetIEAddressBar(doEvents); };
  sources.sections[3] = [doEvents] { return GetCookies(doEvents); };
  const bool* skip = &skipIndex;
  sources.sections[4] = [doEvents, skip] { return GetIndex(doEvents, *skip); };
  sources.sections[5] = [doEvents] { return GetRecentDocuments(doEvents); };
  sources.sections[6] = GetSearchHistory;
  sources.sections[7] = getRunHistory;
  sources.sections[8] = getOpenSave;
  sources.sections[9] = getLastVisit;
  sources.sections[10] = getUSBStorage;
  sources.sections[11] = getFirstFolder;
  sources.sections[12] = GetTypedPath;
  using Collector = EntryList (*)(const std::function<void()>&);
  const Collector browsers[] = {getFireFoxURL,     getFirefoxCookie, getFirefoxDownload, getFirefoxInput,
                                getFirefoxForm,    getChromeURL,     getChromeCookies,   getChromeDownloads,
                                getChromeTopSites, getChromeKeyword};
  for (int n = 13; n <= 22; ++n) {
    Collector collect = browsers[n - 13];
    sources.sections[static_cast<size_t>(n)] = [collect, doEvents] { return collect(doEvents); };
  }
  return sources;
}

}  // namespace tmr
