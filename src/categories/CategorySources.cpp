#include "categories/CategorySources.h"

#include <memory>

#include "readers/browsers/BrowserSources.h"
#include "readers/ie/IeReaders.h"
#include "readers/ie/UrlHistory.h"
#include "readers/windows/WindowsReaders.h"

namespace tmr {

void RegisterAllSources(SourceTable& table, std::function<void()> chooseIndexFile) {
  // The URL history object is made at the first a1 click and then kept for
  // the life of the table, as the main window keeps it.
  auto history = std::make_shared<std::unique_ptr<UrlHistory>>();
  table.Register("a1", [history](ListTarget& list) {
    if (!*history) *history = std::make_unique<UrlHistory>();
    ShowUrlHistory(list, **history);
  });
  table.Register("a2", ShowTypedUrls);
  table.Register("a3", ShowCookies);
  table.Register("a4", [chooseIndexFile](ListTarget& list) { ShowIndexDatFile(list, chooseIndexFile); });
  table.Register("b1", ShowRecentDocuments);
  table.Register("b2", ShowSearchHistory);
  table.Register("b3", ShowRunHistory);
  table.Register("b4", ShowOpenSaveHistory);
  table.Register("b5", ShowLastVisited);
  table.Register("b6", ShowUsbStorage);
  table.Register("b7", ShowFirstFolders);
  table.Register("b8", ShowTypedPaths);
  table.Register("c1", ShowFirefoxURLHistory);
  table.Register("c2", ShowFirefoxCookies);
  table.Register("c3", ShowFirefoxDownloads);
  table.Register("c4", ShowFirefoxInputHistory);
  table.Register("c5", ShowFirefoxFormHistory);
  table.Register("d1", ShowChromeURLHistory);
  table.Register("d2", ShowChromeCookies);
  table.Register("d3", ShowChromeDownloads);
  table.Register("d4", ShowChromeTopSites);
  table.Register("d5", ShowChromeKeywords);
}

}  // namespace tmr
