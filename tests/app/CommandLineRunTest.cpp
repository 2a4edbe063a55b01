// The program run from a script: `--export` of a copied profile's every
// category into CSV and JSON Lines files, read back by the check of
// tests/app/check_export.py (Python's csv and json modules) into the rows
// the window shows for the same folder; bad arguments end with code 2.
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/ExportRun.h"
#include "app/MainWindow.h"
#include "app/OpenFolderDialog.h"
#include "app/ViewerServices.h"
#include "core/ProgramState.h"
#include "platform/LocalTimeText.h"
#include "platform/WinText.h"
#include "support/BrowserTestSupport.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

namespace fs = std::filesystem;

// Runs the program with the arguments to its end; its exit code.
DWORD RunProgram(const std::wstring& arguments) {
  HANDLE process = test::StartProcess(test::TestProgramFolder() + L"\\tracemere_e2e.exe", arguments);
  if (!process) return static_cast<DWORD>(-1);
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process, 120000) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
  CloseHandle(process);
  return code;
}

TEST(CommandLineRun, ExportsOfAFolderHoldTheRowsTheWindowShows) {
  if (!fs::exists(test::FixturePath("registry/NTUSER-WIN7.DAT"))) GTEST_SKIP() << "fixtures not available";
  test::TempDir profile;
  const fs::path root = profile.path() / "bob";
  fs::create_directories(root);
  auto copy = [&](const char* fixture, const fs::path& to) {
    fs::create_directories((root / to).parent_path());
    fs::copy_file(test::FixturePath(fixture), root / to);
  };
  copy("registry/NTUSER-WIN7.DAT", "NTUSER.DAT");
  copy("chrome/History-schema20", "AppData/Local/Google/Chrome/User Data/Default/History");
  copy("firefox/places.sqlite", "AppData/Roaming/Mozilla/Firefox/Profiles/x1y2.default/places.sqlite");
  copy("ie/History.IE5/index.dat", "AppData/Local/Microsoft/Windows/History/History.IE5/index.dat");

  const fs::path out = fs::path(TM_EXPORT_CHECK_DIR) / "cli";
  fs::remove_all(out);
  const std::wstring source = L" --source \"" + root.wstring() + L"\"";
  EXPECT_EQ(RunProgram(L"--export \"" + out.wstring() + L"\" --utc --timeline" + source), 0u);
  EXPECT_EQ(RunProgram(L"--export \"" + out.wstring() + L"\" --format jsonl --utc --timeline" + source), 0u);
  EXPECT_EQ(RunProgram(L"--export \"" + out.wstring() + L"\" --format bogus"), 2u);
  EXPECT_EQ(RunProgram(L"--timeline"), 2u);
  EXPECT_EQ(RunProgram(L"--export \"" + out.wstring() + L"\" --categories nothing-like-it"), 2u);

  // The window on the same folder, times in UTC as asked of the exports.
  std::string failure;
  std::shared_ptr<const TraceSource> traces = OpenTraceFolder(test::Utf8(root), nullptr, &failure);
  ASSERT_TRUE(traces) << failure;
  const bool wasUtc = TimesInUtc();
  SetTimesInUtc(true);
  const std::string savedOs = OsVersion;
  OsVersion = "Vista";
  MainWindow viewer(Categories(), MakeViewerServices(nullptr));
  viewer.SetSource(traces);
  ASSERT_TRUE(viewer.Create(SW_SHOWNORMAL));
  std::size_t withRows = 0;
  for (const CategoryInfo& category : Categories().categories) {
    // The window asks which cache index file; the exports read the default.
    if (category.id == Category::kIeIndexFile) continue;
    viewer.ClickCategory(category.id);
    const std::string name = ExportFileName(Categories(), category, ExportFormat::kCsv);
    const std::string stem = name.substr(0, name.size() - 4);
    ASSERT_TRUE(fs::exists(out / name)) << name;
    ASSERT_TRUE(fs::exists(out / (stem + ".jsonl"))) << stem;
    const ListModel& shown = viewer.Model();
    std::ofstream expected(out / (stem + ".expected.json"), std::ios::binary);
    expected << "{\"cli\": true, \"header\": [";
    for (std::size_t c = 0; c < category.columns.size(); ++c) {
      expected << (c ? ", " : "") << test::JsonQuoted(category.columns[c].header);
    }
    expected << "], \"times\": [";
    for (std::size_t c = 0, n = 0; c < category.columns.size(); ++c) {
      if (category.columns[c].kind == CellKind::kTime) expected << (n++ ? ", " : "") << c;
    }
    expected << "], \"rows\": [";
    std::string scratch;
    for (std::size_t r = 0; r < shown.ShownCount(); ++r) {
      expected << (r ? ",\n" : "\n") << "[";
      for (std::size_t c = 0; c < category.columns.size(); ++c) {
        const std::string_view text = shown.CellText(r, c, scratch);
        expected << (c ? ", " : "") << test::JsonQuoted(text);
      }
      expected << "]";
    }
    expected << "]}\n";
    withRows += shown.ShownCount() > 0 ? 1 : 0;
  }
  SetTimesInUtc(wasUtc);
  OsVersion = savedOs;
  // Chrome, Firefox, IE history, the timeline and the hive's Windows lists.
  EXPECT_GE(withRows, 10u);
}

}  // namespace
}  // namespace tmr
