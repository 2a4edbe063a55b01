#include "readers/browsers/BrowserSources.h"

#include <functional>
#include <initializer_list>
#include <string>

#include "platform/Processes.h"
#include "readers/browsers/BrowserProfiles.h"
#include "readers/browsers/ChromeReaders.h"
#include "readers/browsers/FirefoxReaders.h"

namespace tmr {
namespace {

constexpr char kLoading[] = "Loading...";
constexpr char kDoubleClick[] = "Double Click to view";
constexpr char kChromeProcess[] = "chrome.exe";

struct Column {
  const char* header;
  int widthTwips;
};

void SetColumns(ListTarget& list, std::initializer_list<Column> columns) {
  list.ClearList();
  for (const Column& c : columns) list.AddColumn(c.header, c.widthTwips);
}

void ReadHidden(ListTarget& list, const std::function<void()>& read) {
  list.SetListVisible(false);
  read();
  list.SetListVisible(true);
}

// The Firefox routines read nothing when there is no profile folder.
void ReadFirefoxFile(ListTarget& list, const char* fileName, const std::function<void(const std::string& file)>& read) {
  std::string folder = FirefoxProfileFolder();
  if (folder.empty()) return;
  std::string file = folder + fileName;
  ReadHidden(list, [&] { read(file); });
}

}  // namespace

void ShowFirefoxURLHistory(ListTarget& list) {
  list.SetPanel(1, kLoading);
  SetColumns(list, {{"URLs History", 8000}, {"Title", 8000}, {"Last Visted Time", 2000}});
  ReadFirefoxFile(list, "\\places.sqlite", [&](const std::string& file) { ReadFirefoxURLs(list, file); });
  list.SetPanel(1, kDoubleClick);
  ShowRecordCount(list);
}

void ShowFirefoxCookies(ListTarget& list) {
  list.SetPanel(1, kLoading);
  SetColumns(list, {{"Host", 2000}, {"Name", 4000}, {"Creation Time", 2000}, {"Last Accessd Time", 2000}});
  ReadFirefoxFile(list, "\\cookies.sqlite",
                  [&](const std::string& file) { ReadFirefoxCookies(list, file, kFirefoxCookiesSql); });
  list.SetPanel(1, "");
  ShowRecordCount(list);
}

void ShowFirefoxDownloads(ListTarget& list) {
  list.SetPanel(1, kDoubleClick);
  SetColumns(list, {{"File Name", 6000}, {"Source", 4000}, {"Start Time", 2000}, {"End Time", 2000}});
  ReadFirefoxFile(list, "\\downloads.sqlite",
                  [&](const std::string& file) { ReadFirefoxDownloads(list, file, kFirefoxDownloadsSql); });
  ShowRecordCount(list);
}

void ShowFirefoxInputHistory(ListTarget& list) {
  list.SetPanel(1, "");
  SetColumns(list, {{"Firefox Input History", 6000}});
  ReadFirefoxFile(list, "\\places.sqlite",
                  [&](const std::string& file) { ReadSingleColumn(list, file, kFirefoxInputHistorySql); });
  ShowRecordCount(list);
}

void ShowFirefoxFormHistory(ListTarget& list) {
  list.SetPanel(1, "");
  SetColumns(list,
             {{"Field Name", 1500}, {"Value ", 4000}, {"Times Used", 1500}, {"First Used", 2000}, {"Last Used", 2000}});
  ReadFirefoxFile(list, "\\formhistory.sqlite",
                  [&](const std::string& file) { ReadFirefoxFormHistory(list, file, kFirefoxFormHistorySql); });
  ShowRecordCount(list);
}

// Chrome holds its History and Cookies files locked while it runs, so it
// is ended before they are read; the other Chrome files read as they are.
void ShowChromeURLHistory(ListTarget& list) {
  list.SetPanel(1, kLoading);
  KillProcessByName(kChromeProcess);
  std::string file = ChromeProfileFolder() + "\\history";
  SetColumns(list, {{"URL History", 6000}, {"Title", 6000}, {"Visit Count", 1000}, {"Last Visited Time", 2000}});
  ReadHidden(list, [&] { ReadChromeURLs(list, file, kChromeUrlsSql); });
  list.SetPanel(1, kDoubleClick);
  ShowRecordCount(list);
}

void ShowChromeCookies(ListTarget& list) {
  KillProcessByName(kChromeProcess);
  list.SetPanel(1, kLoading);
  std::string file = ChromeProfileFolder() + "\\Cookies";
  SetColumns(list, {{"Host", 2000}, {"name", 2000}, {"Creation Time", 2000}, {"Last Accessed Time", 2000}});
  ReadHidden(list, [&] { ReadChromeCookies(list, file, kChromeCookiesSql); });
  list.SetPanel(1, "");
  ShowRecordCount(list);
}

void ShowChromeDownloads(ListTarget& list) {
  list.SetPanel(1, kDoubleClick);
  std::string file = ChromeProfileFolder() + "\\history";
  SetColumns(list, {{"File Name", 6000}, {"Source", 8000}, {"Download Time", 1500}});
  ReadHidden(list, [&] { ReadChromeDownloads(list, file, kChromeDownloadsSql); });
  ShowRecordCount(list);
}

void ShowChromeTopSites(ListTarget& list) {
  list.SetPanel(1, kDoubleClick);
  std::string file = ChromeProfileFolder() + "\\Top Sites";
  SetColumns(list, {{"URL", 6000}, {"Rank", 1000}, {"title", 6000}});
  ReadHidden(list, [&] { ReadChromeTopSites(list, file, kChromeTopSitesSql); });
  ShowRecordCount(list);
}

void ShowChromeKeywords(ListTarget& list) {
  list.SetPanel(1, "");
  std::string file = ChromeProfileFolder() + "\\history";
  SetColumns(list, {{"Keyword Searched", 6000}});
  ReadHidden(list, [&] { ReadSingleColumn(list, file, kChromeKeywordsSql); });
  ShowRecordCount(list);
}

}  // namespace tmr
