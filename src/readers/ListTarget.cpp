#include "readers/ListTarget.h"

namespace tmr {

std::string RecordCountText(std::size_t count) { return "Total Records: " + std::to_string(count); }

void ShowRecordCount(ListTarget& target) { target.SetPanel(2, RecordCountText(target.RowCount())); }

}  // namespace tmr
