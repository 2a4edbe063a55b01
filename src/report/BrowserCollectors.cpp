#include "report/BrowserCollectors.h"

#include <string>

#include "platform/Processes.h"
#include "readers/browsers/BrowserProfiles.h"
#include "readers/browsers/BrowserReaders.h"
#include "readers/browsers/ChromeReaders.h"
#include "readers/browsers/FirefoxReaders.h"

namespace tmr {
namespace {

constexpr char kChromeProcess[] = "chrome.exe";

EntryList Collect(const std::string& folder, const char* file, const char* sql, RowShaper shape,
                  const std::function<void()>& doEvents) {
  EntryList list;
  if (folder.empty()) return list;
  ReadRows({folder + "\\" + file, sql, shape, ""}, nullptr, [&](std::span<const std::string_view> cells) {
    AppendEntry(list, JoinFields(cells));
    if (doEvents) doEvents();
    return true;
  });
  return list;
}

EntryList Firefox(const char* file, const char* sql, RowShaper shape, const std::function<void()>& doEvents) {
  return Collect(FirefoxProfileFolder(), file, sql, shape, doEvents);
}

EntryList Chrome(const char* file, const char* sql, RowShaper shape, const std::function<void()>& doEvents) {
  return Collect(ChromeProfileFolder(), file, sql, shape, doEvents);
}

}  // namespace

EntryList getFireFoxURL(const std::function<void()>& doEvents) {
  return Firefox("places.sqlite", kFirefoxVisitPagesSql, FirefoxUrlCells, doEvents);
}

EntryList getFirefoxCookie(const std::function<void()>& doEvents) {
  return Firefox("cookies.sqlite", kFirefoxCookiesSql, FirefoxCookieCells, doEvents);
}

EntryList getFirefoxDownload(const std::function<void()>& doEvents) {
  return Firefox("downloads.sqlite", kFirefoxDownloadsSql, FirefoxDownloadCells, doEvents);
}

EntryList getFirefoxInput(const std::function<void()>& doEvents) {
  return Firefox("places.sqlite", kFirefoxInputHistorySql, SingleColumnCells, doEvents);
}

EntryList getFirefoxForm(const std::function<void()>& doEvents) {
  return Firefox("formhistory.sqlite", kFirefoxFormHistorySql, FirefoxFormHistoryCells, doEvents);
}

EntryList getChromeURL(const std::function<void()>& doEvents) {
  KillProcessByName(kChromeProcess);
  return Chrome("history", kReportChromeUrlsSql, ChromeUrlCells, doEvents);
}

EntryList getChromeCookies(const std::function<void()>& doEvents) {
  KillProcessByName(kChromeProcess);
  return Chrome("Cookies", kChromeCookiesSql, ChromeCookieCells, doEvents);
}

EntryList getChromeDownloads(const std::function<void()>& doEvents) {
  return Chrome("history", kChromeDownloadsSql, ChromeDownloadCells, doEvents);
}

EntryList getChromeTopSites(const std::function<void()>& doEvents) {
  return Chrome("Top Sites", kChromeTopSitesSql, ChromeTopSiteCells, doEvents);
}

EntryList getChromeKeyword(const std::function<void()>& doEvents) {
  return Chrome("history", kChromeKeywordsSql, SingleColumnCells, doEvents);
}

}  // namespace tmr
