// Writes a report of hostile history for the browser check: titles holding
// markup, "&", "^", quotes; the page goes to a fixed folder of the build
// tree with the number of rows and cells each section must show, and
// check_report_in_browser.py opens it in a real browser.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/CreateReportDialog.h"
#include "core/ProgramState.h"
#include "platform/Shell.h"
#include "report/HtmlReport.h"
#include "report/ReportSections.h"
#include "support/BrowserTestSupport.h"
#include "support/RecordingList.h"
#include "support/ScratchDatabase.h"

namespace tmr {
namespace {

namespace fs = std::filesystem;

// The rows a section shows for what its reader gives: a single-cell section
// starts every list with an empty row; other sections leave out blank rows.
std::size_t RowsShown(const CategoryInfo& category) {
  test::RecordingList read;
  ReadContext report;
  report.purpose = ReadPurpose::kReport;
  category.read(report, read, read);
  if (category.report.rows == ReportRows::kSingleCell) {
    const auto lists = static_cast<std::size_t>(std::count(read.log.begin(), read.log.end(), "list"));
    return read.rows.size() + (lists > 0 ? lists : (read.rows.empty() ? 0 : 1));
  }
  return static_cast<std::size_t>(std::count_if(read.rows.begin(), read.rows.end(), [](const auto& row) {
    return row.size() > 1 || (!row.empty() && row[0].find_first_not_of(' ') != std::string::npos);
  }));
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
  // Today's Windows sections take every cell whole: markup must stay text there too.
  auto setText = [](const wchar_t* path, const wchar_t* name, const std::wstring& text) {
    RegSetKeyValueW(HKEY_CURRENT_USER, path, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * 2));
  };
  setText(L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"<img src=x onerror=alert(1)>",
          L"</td></tr><tr><td>run.exe & \"quoted\"");
  setText(L"Software\\Microsoft\\Office\\16.0\\Word\\File MRU", L"Item 1",
          L"[F00000000][T01DA000000000000][O00000000]*C:\\<script>alert(2)</script>.docx");

  const fs::path out = fs::path(TM_REPORT_CHECK_DIR);
  fs::create_directories(out);
  const fs::path page = out / "report.htm";
  fs::remove(page);

  // What each section must show, from the readers themselves.
  std::ofstream expected(out / "expected.txt", std::ios::trunc);
  for (const CategoryInfo& category : Categories().categories) {
    if (category.id == Category::kIeIndexFile) continue;  // not chosen below
    const std::size_t cells = category.report.rows == ReportRows::kSingleCell ? 1 : category.report.cells.size();
    expected << category.report.anchor << '\t' << RowsShown(category) << '\t' << cells << '\n';
  }
  expected.close();

  std::vector<std::string> opened;
  SetShellOpenHook([&](HWND, const std::string& target, int) { opened.push_back(target); });
  CreateReportDialog dialog(Categories(), [](const CategoryInfo& category, RowSink& rows, ReadProgress& progress) {
    ReadSectionRows(category, rows, progress);
  });
  ASSERT_TRUE(dialog.Show(nullptr));
  // The timeline too, hostile titles and all.
  SendMessageW(dialog.GroupBox(ReportGroup::kTimeline), BM_SETCHECK, BST_CHECKED, 0);
  dialog.WriteReportFile(page.string());
  SetShellOpenHook(nullptr);
  EXPECT_EQ(opened.size(), 1u);
  EXPECT_TRUE(fs::exists(page));
}

}  // namespace
}  // namespace tmr
