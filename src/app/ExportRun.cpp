#include "app/ExportRun.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>

#include "categories/Timeline.h"
#include "core/ProgramState.h"
#include "platform/LocalTimeText.h"
#include "platform/StagedFile.h"
#include "platform/WinText.h"
#include "readers/ie/IeReaders.h"
#include "report/BackgroundRowSink.h"
#include "report/ReportFile.h"
#include "report/ReportRun.h"
#include "report/ReportSections.h"

namespace tmr {
namespace {

// Counts the rows on their way to the writer.
class CountingSink final : public RowSink {
 public:
  explicit CountingSink(RowSink& next) : next_(next) {}
  using RowSink::AddRow;
  void AddRow(std::span<const CellValue> cells) override {
    ++rows_;
    next_.AddRow(cells);
  }
  void BeginList() override { next_.BeginList(); }
  std::size_t Rows() const { return rows_; }

 private:
  RowSink& next_;
  std::size_t rows_ = 0;
};

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '\\' || folder.back() == '/' ? folder + name : folder + "\\" + name;
}

std::vector<std::string> Headers(std::span<const ColumnInfo> columns) {
  std::vector<std::string> headers;
  for (const ColumnInfo& column : columns) headers.emplace_back(column.header);
  return headers;
}

// The format a category's own file takes: the timeline server's forms are
// the timeline's alone.
ExportFormat CategoryFormat(ExportFormat format) {
  if (format == ExportFormat::kTimesketchCsv) return ExportFormat::kCsv;
  if (format == ExportFormat::kTimesketchJsonLines) return ExportFormat::kJsonLines;
  return format;
}

// The rows the window shows; the cache index file is the default one, as
// no dialog can ask.
ReadContext ContextOf(const ExportRequest& request) {
  ReadContext context;
  context.purpose = ReadPurpose::kList;
  context.watched = false;
  context.source = request.source;
  context.profiles = request.profiles;
  const TraceSource* source = request.source;
  context.chooseIndexFile = [source] { return DefaultIndexDatPath(source ? *source : LiveTraceSource()); };
  return context;
}

bool WriteCategory(const CategoryTable& table, const CategoryInfo& category, ExportFormat format,
                   const ExportRequest& request, const ConsoleLine& say) {
  const std::string path = JoinPath(request.folder, ExportFileName(table, category, format));
  StagedFile file;
  if (!file.Create(path)) {
    say("cannot write " + path);
    return false;
  }
  // Pieces of a megabyte, each handed whole to a thread of its own that
  // writes it while the next is filled: the formatting does not wait for
  // the disk, and no byte is copied on the way.
  constexpr std::size_t kBlockBytes = 1 << 20;
  // The rows are formatted on a thread of their own (below), where the
  // window's cache of the time settings is not to be used.
  const OwnClockCellFormat cellFormat;
  ExportWriter writer(
      format, Headers(category.columns), cellFormat,
      [&file](std::string& piece) { file.WriteBlock(piece, piece.size()); }, kBlockBytes);
  writer.Begin(table.FullName(category));
  // The rows are counted, formatted and written on a thread of their own
  // while the store is read.
  CountingSink counted(writer);
  BackgroundRowSink formatted(counted);
  SilentReadProgress progress;
  try {
    category.read(ContextOf(request), formatted, progress);
  } catch (...) {
    // The rows it gave are written; the category is no failure of the file.
  }
  bool allFormatted = true;
  try {
    formatted.Finish();
    writer.End();
  } catch (const std::exception&) {
    allFormatted = false;  // no memory for a row: the file would lack it
  }
  if (!allFormatted || !file.Commit()) {
    say("cannot write " + path);
    return false;
  }
  say(path + ": " + std::to_string(counted.Rows()) + " rows");
  return true;
}

int WriteWholeReport(const CategoryTable& table, const ExportRequest& request, const ConsoleLine& say) {
  ReportFile file;
  if (!file.Create(request.reportFile)) {
    say("cannot write " + request.reportFile);
    return 1;
  }
  HtmlReportWriter writer([&](std::string_view line) { file.WriteLine(line); }, ViewerCellFormat());
  ReportGroupSet every;
  for (const ReportGroupInfo& group : table.reportGroups) every.Set(group.id, true);
  const TraceSource& source = request.source ? *request.source : LiveTraceSource();
  SilentReadProgress reading;
  SilentReportProgress progress;
  ReadContext context = ContextOf(request);
  context.purpose = ReadPurpose::kReport;
  SYSTEMTIME now{};
  if (TimesInUtc()) {
    GetSystemTime(&now);
  } else {
    GetLocalTime(&now);
  }
  const std::string date =
      GeneralDateText(DateTime{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
  WriteReport(
      writer, table, every, {source.ComputerName(), source.UserName(), date, SiteAddress},
      [&](const CategoryInfo& category, RowSink& rows) {
        try {
          category.read(context, rows, reading);
        } catch (...) {
        }
        say(std::string(category.report.statusText));
      },
      progress);
  if (!file.Commit()) {
    say("cannot write " + request.reportFile);
    return 1;
  }
  say(request.reportFile + ": written");
  return 0;
}

}  // namespace

std::string ExportExtension(ExportFormat format) {
  switch (format) {
    case ExportFormat::kCsv:
    case ExportFormat::kTimesketchCsv: return ".csv";
    case ExportFormat::kTabSeparated: return ".tsv";
    case ExportFormat::kHtml: return ".htm";
    case ExportFormat::kJsonLines:
    case ExportFormat::kTimesketchJsonLines: return ".jsonl";
  }
  return ".txt";
}

std::string ExportFileName(const CategoryTable& table, const CategoryInfo& category, ExportFormat format) {
  std::string name;
  // "Timeline - Timeline" is the timeline.
  const TreeGroupInfo& group = table.Of(category.treeGroup);
  const std::string full =
      group.shortName == category.nodeText ? std::string(category.nodeText) : table.FullName(category);
  for (char c : full) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isalnum(u) && u < 0x80) {
      name += static_cast<char>(std::tolower(u));
    } else if (!name.empty() && name.back() != '-') {
      name += '-';
    }
  }
  while (!name.empty() && name.back() == '-') name.pop_back();
  return name + ExportExtension(format);
}

std::optional<std::vector<const CategoryInfo*>> ResolveCategories(const CategoryTable& table,
                                                                  const std::vector<std::string>& keys,
                                                                  std::string* unknown) {
  std::vector<const CategoryInfo*> chosen;
  auto named = [&](const CategoryInfo& category, const std::string& key) {
    const std::string file = ExportFileName(table, category, ExportFormat::kCsv);
    return category.key == key || file.substr(0, file.size() - 4) == key;
  };
  for (const std::string& key : keys) {
    const bool known = std::any_of(table.categories.begin(), table.categories.end(),
                                   [&](const CategoryInfo& category) { return named(category, key); });
    if (!known) {
      if (unknown) *unknown = key;
      return std::nullopt;
    }
  }
  for (const CategoryInfo& category : table.categories) {
    if (category.id == Category::kTimeline) continue;
    const bool asked = keys.empty() || std::any_of(keys.begin(), keys.end(),
                                                   [&](const std::string& key) { return named(category, key); });
    if (asked) chosen.push_back(&category);
  }
  return chosen;
}

int RunExport(const CategoryTable& table, const ExportRequest& request, const ConsoleLine& say) {
  if (!request.reportFile.empty()) return WriteWholeReport(table, request, say);
  // A script names the folder to collect into: it is made when missing.
  if (!request.folder.empty()) SHCreateDirectoryExW(nullptr, Widen(request.folder).c_str(), nullptr);
  bool allWritten = true;
  for (const CategoryInfo* category : request.categories) {
    allWritten = WriteCategory(table, *category, CategoryFormat(request.format), request, say) && allWritten;
  }
  if (request.timeline) {
    const CategoryInfo& timeline = table.Of(Category::kTimeline);
    allWritten = WriteCategory(table, timeline, request.format, request, say) && allWritten;
  }
  return allWritten ? 0 : 1;
}

}  // namespace tmr
