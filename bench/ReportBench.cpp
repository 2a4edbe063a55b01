// Times writing the HTML report against running the same readers alone,
// on generated profiles with as many Chrome URLs as Firefox visits (100,000
// and 1,000,000 unless given), and reports the process's peak memory after
// each size: a report that streams its rows keeps it flat as they grow.
//   tm_bench_report [rows ...]
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "BenchSupport.h"
#include "core/ProgramState.h"
#include "platform/LocalTimeText.h"
#include "report/ReportFile.h"
#include "report/ReportRun.h"
#include "report/ReportSections.h"
#include "support/ScratchRegistry.h"
#include "support/TempDir.h"

namespace tmr {
namespace {

using namespace tmr::bench;

constexpr int kRuns = 3;

// The readers' side of the report, without a dialog.
class QuietReading final : public RowSink, public SilentReadProgress {
 public:
  using RowSink::AddRow;
  void AddRow(std::span<const CellValue>) override { ++rows; }
  size_t rows = 0;
};

int Run(int stored) {
  GeneratedProfile profile(stored, std::max(25000, stored / 4));
  const test::TempDir& temp = profile.temp;
  OsVersion = "Vista";

  ReportGroupSet groups;
  for (ReportGroup group :
       {ReportGroup::kInternetExplorer, ReportGroup::kWindows, ReportGroup::kFirefox, ReportGroup::kChrome}) {
    groups.Set(group, true);
  }
  const std::string path = Utf8(temp.path() / "report.htm");

  size_t collected = 0;
  auto readersAlone = [&] {
    QuietReading reading;
    for (const CategoryInfo& category : Categories().categories) {
      if (groups.Has(category.report.group)) ReadSectionRows(category, reading, reading);
    }
    collected = reading.rows;
  };
  size_t lines = 0;
  bool written = false;
  auto writeReport = [&] {
    ReportFile file;
    file.Create(path);
    lines = 0;
    HtmlReportWriter writer(
        [&](std::string_view line) {
          file.WriteLine(line);
          ++lines;
        },
        ViewerCellFormat());
    QuietProgress progress;
    QuietReading reading;
    WriteReport(
        writer, Categories(), groups, {"PC", "user", "12/8/2026", SiteAddress},
        [&](const CategoryInfo& category, RowSink& rows) { ReadSectionRows(category, rows, reading); }, progress);
    written = file.Commit();
  };

  readersAlone();
  std::printf("memory rows=%d after_readers_alone_peak_working_set_mb=%.1f\n", stored, PeakWorkingSetMb());
  Pair pair = TimeInTurns(
      readersAlone, writeReport, [] {}, kRuns);
  const double wall = pair.measured.wall / pair.base.wall;
  const double cpu = pair.measured.cpu / pair.base.cpu;
  std::printf(
      "report rows=%zu lines=%zu written=%s readers_ms wall=%.1f cpu=%.1f report_ms wall=%.1f "
      "cpu=%.1f ratio wall=%.2f cpu=%.2f target<=1.50 %s\n",
      collected, lines, written ? "yes" : "no", pair.base.wall, pair.base.cpu, pair.measured.wall, pair.measured.cpu,
      wall, cpu, Verdict(written && std::max(wall, cpu) <= 1.5));
  const double peak = PeakWorkingSetMb();
  std::printf("memory rows=%d report_mb=%.0f whole_run_peak_working_set_mb=%.1f target<100 %s\n", stored,
              static_cast<double>(fs::file_size(temp.path() / "report.htm")) / (1024.0 * 1024.0), peak,
              Verdict(peak < 100.0));
  return 0;
}

}  // namespace
}  // namespace tmr

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  std::vector<int> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
  if (sizes.empty()) sizes = {100000, 1000000};
  for (int rows : sizes) {
    if (tmr::Run(rows) != 0) return 1;
  }
  return 0;
}
