// Times writing the HTML report against running the same collectors alone,
// on a generated profile with 100,000 Chrome URLs and 100,000 Firefox
// visits, and reports the process's peak memory; one line per case with
// the figures and ratio of this run.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <filesystem>

#include "BenchSupport.h"
#include "core/ProgramState.h"
#include "report/ReportFile.h"
#include "report/ReportRun.h"
#include "report/ReportSources.h"
#include "support/ScratchRegistry.h"
#include "support/TempDir.h"

namespace tmr {
namespace {

using namespace tmr::bench;

constexpr int kRows = 100000;
constexpr int kRuns = 3;

class QuietProgress final : public ReportProgress {
 public:
  void SetStatus(const std::string&) override {}
  double Maximum() const override { return maximum_; }
  void SetMaximum(double m) override { maximum_ = m; }
  void SetValue(double) override {}
  void ShowSkip(bool) override {}

 private:
  double maximum_ = 22;
};

int Run() {
  GeneratedProfile profile(kRows);
  const test::TempDir& temp = profile.temp;
  OsVersion = "Vista";

  const bool skip = false;
  const ReportGroups groups{true, true, true, true, false};
  ReportSources sources = MakeReportSources([] {}, skip);
  const std::string path = Utf8(temp.path() / "report.htm");

  size_t collected = 0;
  auto collectorsAlone = [&] {
    collected = 0;
    if (sources.ieHistory) sources.ieHistory([&](const std::string&, const std::string&, const std::string&) {});
    for (int n = 2; n <= 22; ++n) {
      if (n == 4 || !sources.sections[static_cast<size_t>(n)]) continue;
      EntryList list = sources.sections[static_cast<size_t>(n)]();
      collected += list.empty() ? 0 : list.size() - 1;
    }
  };
  size_t lines = 0;
  bool written = false;
  auto writeReport = [&] {
    ReportFile file;
    file.Create(path);
    lines = 0;
    HtmlReportWriter writer([&](const std::string& line) {
      file.WriteLine(line);
      ++lines;
    });
    QuietProgress progress;
    WriteReport(writer, groups, {"PC", "user", "12/8/2026", SiteAddress}, sources, progress);
    written = file.Commit();
  };

  Pair pair = TimeInTurns(
      collectorsAlone, writeReport, [] {}, kRuns);
  const double wall = pair.measured.wall / pair.base.wall;
  const double cpu = pair.measured.cpu / pair.base.cpu;
  std::printf(
      "report entries=%zu lines=%zu written=%s collectors_ms wall=%.1f cpu=%.1f report_ms wall=%.1f "
      "cpu=%.1f ratio wall=%.2f cpu=%.2f target<=1.50 %s\n",
      collected, lines, written ? "yes" : "no", pair.base.wall, pair.base.cpu, pair.measured.wall, pair.measured.cpu,
      wall, cpu, Verdict(written && std::max(wall, cpu) <= 1.5));
  const double peak = PeakWorkingSetMb();
  std::printf("memory report_bytes=%llu whole_run_peak_working_set_mb=%.1f target<100 %s\n",
              static_cast<unsigned long long>(fs::file_size(temp.path() / "report.htm")), peak, Verdict(peak < 100.0));
  return 0;
}

}  // namespace
}  // namespace tmr

int main() {
  _setmode(_fileno(stdout), _O_BINARY);
  return tmr::Run();
}
