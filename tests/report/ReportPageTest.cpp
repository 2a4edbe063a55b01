// Writes a report of hostile history for the browser check: titles holding
// markup, "&", "^", quotes; the page goes to a fixed folder of the build
// tree with the number of rows and cells each section must show, and
// check_report_in_browser.py opens it in a real browser.
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/CreateReportDialog.h"
#include "core/ProgramState.h"
#include "platform/Shell.h"
#include "report/HtmlReport.h"
#include "report/ReportSources.h"
#include "support/BrowserTestSupport.h"
#include "support/ScratchDatabase.h"

namespace tmr {
namespace {

namespace fs = std::filesystem;

bool IsSingleCell(int n) { return (n >= 2 && n <= 12) || n == 16; }
int CellsOf(int n) {
  switch (n) {
    case 1: return 3;
    case 13: return 3;
    case 14:
    case 15:
    case 18:
    case 19: return 4;
    case 17: return 5;
    case 20:
    case 21: return 3;
    default: return 1;
  }
}

TEST(ReportPage, HostileHistoryForTheBrowserCheck) {
  test::BrowserProfile profile;
  OsVersion = "Vista";
  {
    test::ScratchDatabase chrome(profile.ChromeFolder() / "History");
    chrome.Exec(
        "CREATE TABLE urls(id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, visit_count INTEGER, "
        "last_visit_time INTEGER, hidden INTEGER);"
        "INSERT INTO urls VALUES(1, 'http://x.example/?a=1&b=2^c', "
        "'<script>document.title=\"pwned\"</script>', 3, 13300000000000000, 0);"
        "INSERT INTO urls VALUES(2, 'http://y.example/\"quoted\"', '</td></tr><tr><td>injected', 1, 0, 1);"
        "CREATE TABLE keyword_search_terms(term LONGVARCHAR);"
        "INSERT INTO keyword_search_terms VALUES('<img src=x onerror=alert(1)>%20&amp;');");
    test::ScratchDatabase places(profile.FirefoxFolder() / "places.sqlite");
    places.Exec(
        "CREATE TABLE moz_places(id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, "
        "last_visit_date INTEGER);"
        "CREATE TABLE moz_historyvisits(id INTEGER PRIMARY KEY, place_id INTEGER);"
        "INSERT INTO moz_places VALUES(7, 'http://z.example/<b>', 'a^b^c & <i>italic</i>', 1309518981371935);"
        "INSERT INTO moz_historyvisits VALUES(1, 7); INSERT INTO moz_historyvisits VALUES(2, 7);"
        "CREATE TABLE moz_inputhistory(input LONGVARCHAR);"
        "INSERT INTO moz_inputhistory VALUES('</table><h1>big</h1>');");
  }
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\TypedURLs", 0, nullptr, 0,
                  KEY_ALL_ACCESS, nullptr, &key, nullptr);
  const wchar_t typed[] = L"http://w.example/<u>typed</u>&x";
  RegSetValueExW(key, L"url1", 0, REG_SZ, reinterpret_cast<const BYTE*>(typed), sizeof typed);
  RegCloseKey(key);

  const fs::path out = fs::path(TM_REPORT_CHECK_DIR);
  fs::create_directories(out);
  const fs::path page = out / "report.htm";
  fs::remove(page);

  // What each section must show, from the collectors themselves.
  const bool noSkip = false;
  ReportSources sources = MakeReportSources([] {}, noSkip);
  std::ofstream expected(out / "expected.txt", std::ios::trunc);
  for (int n = 1; n <= 22; ++n) {
    size_t rows = 0;
    if (n == 1) {
      sources.ieHistory([&](const std::string&, const std::string&, const std::string&) { ++rows; });
    } else if (n != 4) {
      EntryList list = sources.sections[static_cast<size_t>(n)]();
      for (size_t i = 0; i < list.size(); ++i) {
        if (IsSingleCell(n) || list[i].find_first_not_of(' ') != std::string::npos) ++rows;
      }
    }
    if (n != 4) expected << ReportSection(n).anchor << '\t' << rows << '\t' << CellsOf(n) << '\n';
  }
  expected.close();

  std::vector<std::string> opened;
  SetShellOpenHook([&](HWND, const std::string& target, int) { opened.push_back(target); });
  CreateReportDialog dialog(MakeReportSources);
  ASSERT_TRUE(dialog.Show(nullptr));
  dialog.WriteHTML(page.string());
  SetShellOpenHook(nullptr);
  EXPECT_EQ(opened.size(), 1u);
  EXPECT_TRUE(fs::exists(page));
}

}  // namespace
}  // namespace tmr
