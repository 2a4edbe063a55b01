#include "report/IeCollectors.h"

#include "core/IndexDatScanner.h"
#include "core/TextUtil.h"
#include "platform/LocalTimeText.h"
#include "readers/ie/IeReaders.h"
#include "readers/ie/UrlHistory.h"
#include "report/EntryCollector.h"

namespace tmr {

void ReadIeHistoryForReport(const ReportSources::ItemSink& add) {
  UrlHistory history;
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
      DefaultIndexDatPath(), nullptr,
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
