// The report's readers of Internet Explorer's stores (sections 1 to 4).
#pragma once

#include <functional>
#include <string>

#include "report/ReportLists.h"
#include "report/ReportRun.h"

namespace tmr {

// Section 1: a fresh URL history store, refreshed with "http".
void ReadIeHistoryForReport(const ReportSources::ItemSink& add);

EntryList GetIEAddressBar(const std::function<void()>& doEvents);  // 2
EntryList GetCookies(const std::function<void()>& doEvents);       // 3
// 4: the default cache index file, scanned until the end or until
// skipIndex is set; an entry ends at its first NUL.
EntryList GetIndex(const std::function<void()>& doEvents, const bool& skipIndex);

}  // namespace tmr
