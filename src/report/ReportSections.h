// The readers of the report: every category's reader, read as the report
// reads it.
#pragma once

#include "categories/CategoryTable.h"
#include "readers/RowSink.h"

namespace tmr {

// A reader that fails leaves its section with the rows it gave; the failure
// is recorded and the report goes on.
// source null is this PC.
void ReadSectionRows(const CategoryInfo& category, RowSink& rows, ReadProgress& progress,
                     const BrowserProfileChoice& profiles = {}, const TraceSource* source = nullptr);

}  // namespace tmr
