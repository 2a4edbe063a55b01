// Collection without a window: every asked category (and the timeline)
// read straight into an export file each, or the whole report, through
// the same readers, sinks and writers as the window. Rows are streamed to
// the files, none kept (the timeline's are kept to be sorted).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "categories/CategoryTable.h"
#include "readers/TraceSource.h"
#include "report/ExportWriter.h"

namespace tmr {

struct ExportRequest {
  std::string folder;  // the files go here
  ExportFormat format = ExportFormat::kCsv;
  // The categories to export, in the table's order; the timeline is its
  // own file, asked for apart.
  std::vector<const CategoryInfo*> categories;
  bool timeline = false;
  // Instead of files per category: the HTML report of every category.
  std::string reportFile;
  const TraceSource* source = nullptr;  // null: this PC
  BrowserProfileChoice profiles;
};

// A category's file name: its full name in lower case, words joined by "-"
// ("chrome-url-history"), and the format's extension.
std::string ExportFileName(const CategoryTable& table, const CategoryInfo& category, ExportFormat format);
// The categories the keys name (category keys such as "d1", or file names
// without extension such as "chrome-url-history"), in the table's order;
// no keys is every category but the timeline. nullopt, with the first key
// that names none in `unknown`, when one names none.
std::optional<std::vector<const CategoryInfo*>> ResolveCategories(const CategoryTable& table,
                                                                  const std::vector<std::string>& keys,
                                                                  std::string* unknown);

// The extension a format's files get (".csv", ".jsonl" ...).
std::string ExportExtension(ExportFormat format);

// Writes every asked file, whole or not at all, saying what it does through
// `say` (one line each); 0 when every file was written, 1 when one could
// not be.
using ConsoleLine = std::function<void(const std::string& line)>;
int RunExport(const CategoryTable& table, const ExportRequest& request, const ConsoleLine& say);

}  // namespace tmr
