// The URL history category over a crafted 1 MiB History index.dat whose
// 4,096 hash tables each claim every block to the end of the file (so each
// overlaps all that follow), read as a click on the category fills the
// main window's list and as the report writes its section. Baseline, in the
// same run: a sound container of the same size and entries, whose one table
// runs to the end of the file. Also prints the process's peak memory.
// Target: well under a second, under 50 MB.
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "BenchSupport.h"
#include "app/ListModel.h"
#include "categories/ShowCategory.h"
#include "platform/LocalTimeText.h"
#include "report/ReportFile.h"
#include "report/ReportRun.h"
#include "report/ReportSections.h"
#include "support/ContainerBuilder.h"

namespace tmr {
namespace {

using namespace tmr::bench;

constexpr size_t kFileBytes = size_t{1} << 20;
constexpr uint32_t kTables = 4096;
constexpr int kRuns = 3;
constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The main window's side of a click: its list model and status panels.
class ViewerList final : public CategoryList, public SilentReadProgress {
 public:
  using RowSink::AddRow;
  void AddRow(std::span<const CellValue> cells) override { model.AddRow(cells); }
  void ResetColumns(std::span<const ColumnInfo> columns) override {
    model.Clear();
    for (const ColumnInfo& column : columns) model.AddColumn(std::string(column.header), column.widthTwips);
  }
  void SetListVisible(bool) override {}
  void SetPanel(int panel, const std::string& text) override {
    if (panel == 2) count = text;
  }
  std::size_t RowCount() const override { return model.RowCount(); }

  ListModel model;
  std::string count;
};

void WriteFile(const fs::path& file, const std::string& bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

int Run() {
  std::vector<test::BuiltEntry> entries;
  for (int i = 0; i < 200; ++i) {
    entries.emplace_back("Visited: bench@http://site" + std::to_string(i) + ".example/page", 130000000000000000ull + i,
                         u"Page title");
  }
  test::TempDir temp;
  test::ScratchRegistry registry;
  const fs::path sound = temp.path() / "sound";
  const fs::path crafted = temp.path() / "crafted";
  WriteFile(sound / "History.IE5" / "index.dat", test::BuildOverlappingTables(entries, kFileBytes, 1));
  WriteFile(crafted / "History.IE5" / "index.dat", test::BuildOverlappingTables(entries, kFileBytes, kTables));
  auto useHistory = [&](const fs::path& folder) {
    registry.SetString(HKEY_CURRENT_USER, kShellFolders, "History", Utf8(folder));
  };
  const double startMb = PeakWorkingSetMb();

  std::string soundCount, craftedCount;
  auto click = [&](const fs::path& folder, std::string& count) {
    useHistory(folder);
    ViewerList list;
    ShowCategory(Categories().Of(Category::kIeUrlHistory), list, list, {});
    count = list.count;
  };
  Pair viewer = TimeInTurns([&] { click(sound, soundCount); }, [&] { click(crafted, craftedCount); }, [] {}, kRuns);
  const double viewerMb = PeakWorkingSetMb();
  std::printf("viewer sound=\"%s\" crafted=\"%s\" ms sound=%.1f crafted=%.1f ratio=%.2f target<1000ms %s\n",
              soundCount.c_str(), craftedCount.c_str(), viewer.base.wall, viewer.measured.wall,
              viewer.measured.wall / viewer.base.wall,
              Verdict(craftedCount == soundCount && viewer.measured.wall < 1000));

  ReportGroupSet groups;
  groups.Set(ReportGroup::kInternetExplorer, true);
  size_t soundBytes = 0, craftedBytes = 0;
  auto report = [&](const fs::path& folder, size_t& bytes) {
    useHistory(folder);
    const fs::path page = temp.path() / "report.htm";
    {
      ReportFile file;
      file.Create(Utf8(page));
      HtmlReportWriter writer([&](std::string_view line) { file.WriteLine(line); }, ViewerCellFormat());
      QuietProgress progress;
      ViewerList reading;
      WriteReport(
          writer, Categories(), groups, {"PC", "user", "12/8/2026", "http://site.invalid"},
          [&](const CategoryInfo& category, RowSink& rows) { ReadSectionRows(category, rows, reading); }, progress);
      file.Commit();
    }
    bytes = static_cast<size_t>(fs::file_size(page));
  };
  Pair page = TimeInTurns([&] { report(sound, soundBytes); }, [&] { report(crafted, craftedBytes); }, [] {}, kRuns);
  std::printf("report bytes sound=%zu crafted=%zu ms sound=%.1f crafted=%.1f ratio=%.2f target<1000ms %s\n", soundBytes,
              craftedBytes, page.base.wall, page.measured.wall, page.measured.wall / page.base.wall,
              Verdict(craftedBytes == soundBytes && page.measured.wall < 1000));
  const double endMb = PeakWorkingSetMb();
  std::printf(
      "memory peak_working_set_mb before_reading=%.1f after_viewer=%.1f after_report=%.1f growth=%.1f target<50 %s\n",
      startMb, viewerMb, endMb, endMb - startMb, Verdict(endMb < 50));
  return 0;
}

}  // namespace
}  // namespace tmr

int main() {
  _setmode(_fileno(stdout), _O_BINARY);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int rc = tmr::Run();
  CoUninitialize();
  return rc;
}
