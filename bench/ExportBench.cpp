// The command line's collection: every category exported (CSV, the same
// run as `tracemere.exe --export`) on a generated profile of a Chrome
// history with 100,000 and then 1,000,000 visits, against the same readers
// handing their rows to nothing; and the peak memory of each, measured in a
// process of its own, which must not grow with the rows (they are streamed).
//   tm_bench_export [rows]
//   tm_bench_export --viewer-peak FOLDER   (the child that measures the memory)
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "BenchSupport.h"
#include "app/ExportRun.h"
#include "categories/CategoryTable.h"
#include "platform/LocalTimeText.h"
#include "report/ExportWriter.h"

namespace tmr {
namespace {

using namespace tmr::bench;

std::size_t g_formattedBytes = 0;

class NoRows final : public RowSink {
 public:
  using RowSink::AddRow;
  void AddRow(std::span<const CellValue>) override { ++rows; }
  std::size_t rows = 0;
};

ExportRequest EveryCategory(const fs::path& out) {
  ExportRequest request;
  request.folder = Utf8(out);
  std::string unknown;
  request.categories = *ResolveCategories(Categories(), {}, &unknown);
  return request;
}

void ReadersAlone(const ExportRequest& request) {
  NoRows rows;
  SilentReadProgress progress;
  // As the export reads: nobody watches, no count first.
  ReadContext context;
  context.watched = false;
  for (const CategoryInfo* category : request.categories) category->read(context, rows, progress);
}

// The readers with each category's rows formatted as the export formats
// them, the bytes then dropped: what formatting costs apart from writing.
void FormattedAlone(const ExportRequest& request) {
  ReadContext context;
  context.watched = false;
  SilentReadProgress progress;
  std::size_t bytes = 0;
  for (const CategoryInfo* category : request.categories) {
    std::vector<std::string> headers;
    for (const ColumnInfo& column : category->columns) headers.emplace_back(column.header);
    ExportWriter writer(ExportFormat::kCsv, std::move(headers), ViewerCellFormat(),
                        [&](std::string_view piece) { bytes += piece.size(); });
    writer.Begin(category->nodeText);
    category->read(context, writer, progress);
    writer.End();
  }
  g_formattedBytes = bytes;
}

int ExportOnce(const fs::path& out) {
  return RunExport(Categories(), EveryCategory(out), [](const std::string&) {});
}

int Run(int rows) {
  GeneratedProfile profile(rows);
  const fs::path out = profile.temp.path() / "out";
  const ExportRequest request = EveryCategory(out);
  // Each export goes into an empty folder, as a collection does: the files
  // of the turn before are removed between the timings, so the writing
  // out of their bytes to disk, which the system does some seconds later,
  // falls in no later timing.
  const Pair pair = TimeInTurns([&] { ReadersAlone(request); }, [&] { ExportOnce(out); },
                                [&] { fs::remove_all(out); }, 5);
  const double wall = pair.measured.wall / pair.base.wall;
  const double cpu = pair.measured.cpu / pair.base.cpu;
  std::printf(
      "export chrome_visits=%d firefox_visits=%d readers_alone_ms wall=%.1f cpu=%.1f export_ms wall=%.1f cpu=%.1f "
      "ratio wall=%.2f cpu=%.2f target<=1.30 %s\n",
      rows, rows, pair.base.wall, pair.base.cpu, pair.measured.wall, pair.measured.cpu, wall, cpu,
      // The verdict is on the time a collection waits for; the export
      // formats and writes on a second processor, so its processor time
      // is more (shown beside it).
      Verdict(wall <= 1.3));
  // Where the time goes: the formatting alone, against the same readers.
  const Pair formatted = TimeInTurns([&] { ReadersAlone(request); }, [&] { FormattedAlone(request); }, [] {}, 3);
  std::printf("export_breakdown readers_ms wall=%.1f formatted_ms wall=%.1f cpu=%.1f bytes_mb=%.0f\n",
              formatted.base.wall, formatted.measured.wall, formatted.measured.cpu,
              static_cast<double>(g_formattedBytes) / (1024.0 * 1024.0));
  const int peak = ChildPeakMb(L"tm_bench_export.exe", profile.temp.path());
  std::printf("export_memory rows=%d peak_working_set_mb=%d history_mb=%.0f\n", rows, peak,
              static_cast<double>(fs::file_size(profile.chrome / "History")) / (1024.0 * 1024.0));
  return peak;
}

}  // namespace
}  // namespace tmr

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc == 3 && std::wstring(argv[1]) == L"--viewer-peak") {
    tmr::test::ScratchRegistry registry;
    tmr::bench::PointShellFoldersAt(registry, argv[2]);
    tmr::ExportOnce(std::filesystem::path(argv[2]) / "peak-out");
    return static_cast<int>(tmr::bench::PeakWorkingSetMb());
  }
  try {
    if (argc > 1) {
      tmr::Run(_wtoi(argv[1]));
      return 0;
    }
    const int small = tmr::Run(100000);
    const int large = tmr::Run(1000000);
    std::printf("export_memory_flat peak_100k_mb=%d peak_1m_mb=%d ratio=%.2f target<=1.25 %s\n", small, large,
                static_cast<double>(large) / small, tmr::bench::Verdict(large > 0 && large <= small * 1.25));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench failed: %s\n", e.what());
    return 1;
  }
  return 0;
}
