// The report's readers of the Windows traces (sections 5 to 12). They read
// the same stores as the Windows categories, through the same readers,
// and return entry lists.
#pragma once

#include <windows.h>

#include <functional>
#include <string_view>

#include "report/ReportLists.h"

namespace tmr {

// The text values of one key: kind "run" keeps values holding "\" without
// their last two characters, "open" keeps values holding ":", any other
// kind keeps every value.
EntryList getRegList(HKEY root, std::string_view keyPath, std::string_view kind);

EntryList GetRecentDocuments(const std::function<void()>& doEvents);  // 5
EntryList GetSearchHistory();                                         // 6
EntryList getRunHistory();                                            // 7
EntryList getOpenSave();                                              // 8
EntryList getLastVisit();                                             // 9
EntryList getUSBStorage();                                            // 10
EntryList getFirstFolder();                                           // 11
EntryList GetTypedPath();                                             // 12

}  // namespace tmr
