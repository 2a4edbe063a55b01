// The activity history ("Timeline") of Windows 10: one SQLite database per
// account that signed in, ActivitiesCache.db in a folder of its own under
// %LOCALAPPDATA%\ConnectedDevicesPlatform, read through the same layer as
// the browsers' stores (read only, a log beside it read from a private copy).
#pragma once

#include <string>

#include "readers/RowSink.h"

namespace tmr {

inline const std::string kActivitiesFolder = "ConnectedDevicesPlatform";

// Application, what, start, end: every row of table Activity, each
// database's by start time.
ReadOutcome ReadWindowsTimeline(const ReadContext& context, RowSink& rows, ReadProgress& progress);

}  // namespace tmr
