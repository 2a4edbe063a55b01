#include "report/IeCollectors.h"

#include "common/ModCovert.h"
#include "common/TextUtil.h"
#include "iehistory/IeSources.h"
#include "iehistory/IndexDatScanner.h"
#include "iehistory/URLHistory.h"
#include "iehistory/frmindexfile.h"
#include "report/EntryCollector.h"

namespace tmr {

void ReadIeHistoryForReport(const ReportSources::ItemSink& add) {
  CURLHistory history;
  history.Refresh("http", 0);
  for (const auto& item : history) add(item->Title(), item->URL(), GeneralDateText(item->LastVisited()));
}

EntryList GetIEAddressBar(const std::function<void()>& doEvents) {
  EntryCollector list(doEvents);
  ShowTypedUrls(list);
  return list.Take();
}

EntryList GetCookies(const std::function<void()>& doEvents) {
  EntryCollector list(doEvents);
  ShowCookies(list);
  return list.Take();
}

EntryList GetIndex(const std::function<void()>& doEvents, const bool& skipIndex) {
  EntryList entries;
  ForEachIndexRow(
      frmindexfile::DefaultPath(), nullptr,
      [&](std::string_view row) {
        AppendEntry(entries, CutAtNul(row));
        if (doEvents) doEvents();
        return !skipIndex;
      },
      [&](const IndexDatScanner&) {
        if (doEvents) doEvents();
        return !skipIndex;
      });
  return entries;
}

}  // namespace tmr
