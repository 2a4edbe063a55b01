// The collectors behind each section of the report.
#pragma once

#include <functional>

#include "report/ReportRun.h"

namespace tmr {

ReportSources MakeReportSources(const std::function<void()>& doEvents, const bool& skipIndex);

}  // namespace tmr
