// The recorder run on the program's own categories (Windows builds only).
#include "support/RecordingList.h"

namespace tmr::test {

void ShowInRecorder(Category category, RecordingList& list, const ReadContext& context) {
  ShowCategory(Categories().Of(category), list, list, context);
}

std::vector<std::vector<std::string>> ReportRows(Category category) {
  RecordingList list;
  ReadContext context;
  context.purpose = ReadPurpose::kReport;
  Categories().Of(category).read(context, list, list);
  return list.rows;
}

}  // namespace tmr::test
