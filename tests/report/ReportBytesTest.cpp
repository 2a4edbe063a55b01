// The report's format is fixed: a report of the real fixtures, every group
// but today's Windows chosen, times in UTC, must equal byte for byte the page kept beside this
// test (golden/fixtures-report.htm, as the viewer has always written it).
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "categories/CategoryTable.h"
#include "core/TextUtil.h"
#include "platform/LocalTimeText.h"
#include "platform/WinText.h"
#include "report/HtmlReport.h"
#include "report/ReportRun.h"
#include "report/ReportSections.h"
#include "support/BrowserTestSupport.h"
#include "support/RealHives.h"
#include "support/RecordingList.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

namespace fs = std::filesystem;

class SilentProgress final : public ReportProgress {
 public:
  void SetStatus(const std::string&) override {}
  double Maximum() const override { return maximum_; }
  void SetMaximum(double maximum) override { maximum_ = maximum; }
  void SetValue(double) override {}
  void ShowSkip(bool) override {}

 private:
  double maximum_ = 0;
};

TEST(ReportBytes, AReportOfTheFixturesIsTheKeptPage) {
  if (!fs::exists(test::FixturePath("ie/History.IE5/index.dat")) || !test::HaveRealHive(L"ntuser-win7.reg")) {
    GTEST_SKIP() << "fixtures not available";
  }
  test::BrowserProfile profile;
  test::ScratchRegistry::ImportRegFile(test::RealHive(L"ntuser-win7.reg"));
  test::ScratchRegistry::ImportRegFile(test::RealHive(L"usbstor.reg"));
  profile.PointShellFolders();
  profile.CopyRealDatabases();
  profile.Write("History/History.IE5/index.dat", test::ReadFixture("ie/History.IE5/index.dat"));
  profile.Write("Cache/Content.IE5/index.dat", test::ReadFixture("ie/Content.IE5/index.dat"));
  // HKEY_CURRENT_USER is the profile's scratch key here.
  for (const char* folder : {"History", "Cache"}) {
    const std::wstring path = (profile.Root() / folder).wstring();
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                    Widen(folder).c_str(), REG_SZ, path.c_str(), static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
  }

  const bool wasUtc = TimesInUtc();
  SetTimesInUtc(true);
  std::string page;
  HtmlReportWriter writer(
      [&](std::string_view line) {
        page += line;
        page += "\r\n";
      },
      ViewerCellFormat());
  // Today's Windows has its own box, which leaves the classic page as it was.
  ReportGroupSet classic;
  for (const ReportGroupInfo& group : Categories().reportGroups) {
    classic.Set(group.id, group.id != ReportGroup::kWindowsToday);
  }
  test::RecordingList quiet;
  SilentProgress progress;
  WriteReport(
      writer, Categories(), classic, {"PC", "user", "12/8/2026", "http://site.invalid"},
      [&](const CategoryInfo& category, RowSink& rows) { ReadSectionRows(category, rows, quiet); }, progress);
  SetTimesInUtc(wasUtc);

  const fs::path kept = fs::path(TM_TEST_SOURCE_DIR) / "report" / "golden" / "fixtures-report.htm";
  std::ifstream in(kept, std::ios::binary);
  const std::string expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (page != expected) {
    // The first line that differs, for the failure message.
    const std::vector<std::string> got = Split(page, "\r\n");
    const std::vector<std::string> want = Split(expected, "\r\n");
    std::size_t line = 0;
    while (line < got.size() && line < want.size() && got[line] == want[line]) ++line;
    ADD_FAILURE() << "line " << line + 1 << ":\n  got:  " << (line < got.size() ? got[line] : "(end)")
                  << "\n  kept: " << (line < want.size() ? want[line] : "(end)");
    // What was written, to look at or to keep.
    std::ofstream(fs::path(test::TestProgramFolder()) / "fixtures-report.htm", std::ios::binary) << page;
  }
}

}  // namespace
}  // namespace tmr
