// The categories as the report reads them, on real stores: a user hive
// loaded under the scratch registry and the real browser databases in a
// profile folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/CreateReportDialog.h"
#include "core/ProgramState.h"
#include "platform/WinText.h"
#include "readers/windows/WindowsReaders.h"
#include "report/ReportFile.h"
#include "support/BrowserTestSupport.h"
#include "support/RealHives.h"
#include "support/RecordingList.h"
#include "support/ScratchRegistry.h"
#include "support/TempDir.h"

namespace tmr {
namespace {

namespace fs = std::filesystem;

using Texts = std::vector<std::string>;

// The first cell of every row the report reads.
Texts ReportTexts(Category category) {
  Texts texts;
  for (const auto& row : test::ReportRows(category)) texts.push_back(row.empty() ? "" : row[0]);
  return texts;
}

bool Has(const Texts& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class ReportReadingTest : public ::testing::Test {
 protected:
  void SetUp() override { OsVersion = "Vista"; }
  test::BrowserProfile profile_;  // also the scratch registry
};

TEST_F(ReportReadingTest, RunAndOpenSaveFiltersAndTheSearchLists) {
  const std::string run = kExplorer + "\\RunMRU";
  auto set = [](const std::string& key, const char* name, const char* value) {
    HKEY k = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
    RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(strlen(value) + 1));
    RegCloseKey(k);
  };
  set(run, "a", "cmd\\1");
  set(run, "b", "notepad");  // no "\": the report leaves it out
  set(run, "MRUList", "ab");
  EXPECT_EQ(ReportTexts(Category::kRunHistory), (Texts{"cmd"}));

  const std::string open = kComDlg32 + "\\OpenSaveMRU\\*";
  set(open, "a", "a.txt");
  set(open, "b", "C:\\a.txt");
  OsVersion = "xp";
  EXPECT_EQ(ReportTexts(Category::kOpenSaveHistory), (Texts{"C:\\a.txt"}));

  set(kExplorerBar + "\\ComputerNameMRU", "a", "pc1");
  set(kExplorerBar + "\\ComputerNameMRU", "b", "pc2");
  set(kSearchAssistant + "\\5603", "a", "report.doc");
  // Each key that has values is a list of its own; the report starts each
  // with an empty row.
  test::RecordingList search;
  ReadContext report;
  report.purpose = ReadPurpose::kReport;
  Categories().Of(Category::kSearchHistory).read(report, search, search);
  EXPECT_EQ(search.FirstColumn(), (Texts{"pc1", "pc2", "report.doc"}));
  EXPECT_EQ(search.log, (Texts{"list", "row", "list", "row"}));
}

TEST_F(ReportReadingTest, WindowsSectionsFromARealHive) {
  if (!test::HaveRealHive(L"ntuser-win7.reg")) GTEST_SKIP() << "real hives not available";
  ASSERT_GT(test::ScratchRegistry::ImportRegFile(test::RealHive(L"ntuser-win7.reg")), 0);
  EXPECT_TRUE(Has(ReportTexts(Category::kRunHistory), "\\\\controller\\WebDavShare"));
  Texts search = ReportTexts(Category::kSearchHistory);
  EXPECT_TRUE(Has(search, "hyth"));
  EXPECT_TRUE(Has(search, "rar.exe"));
  EXPECT_EQ(ReportTexts(Category::kLastVisited).size(), 8u);
  EXPECT_EQ(ReportTexts(Category::kFirstFolders).size(), 2u);
  EXPECT_EQ(ReportTexts(Category::kTypedPaths), (Texts{"\\\\controller"}));
  if (test::HaveRealHive(L"usbstor.reg")) {
    test::ScratchRegistry::ImportRegFile(test::RealHive(L"usbstor.reg"));
    EXPECT_TRUE(Has(ReportTexts(Category::kUsbStorage), "HP v100w USB Device"));
  }
}

TEST_F(ReportReadingTest, BrowserSectionsReadTheCategoriesRows) {
  profile_.CopyFixture("chrome/History-schema20", profile_.ChromeFolder() / "History");
  profile_.CopyFixture("firefox/places.sqlite", profile_.FirefoxFolder() / "places.sqlite");
  profile_.CopyFixture("firefox/cookies.sqlite", profile_.FirefoxFolder() / "cookies.sqlite");
  // The report lists hidden URLs too: 55 rows where the category shows 30.
  test::RecordingList report;
  ReadContext context;
  context.purpose = ReadPurpose::kReport;
  Categories().Of(Category::kChromeUrlHistory).read(context, report, report);
  ASSERT_EQ(report.rows.size(), 55u);
  EXPECT_EQ(report.rows[0].size(), 4u);
  EXPECT_GT(report.keepGoingCalls, 0);
  EXPECT_FALSE(Has(report.log, "progress:show"));                        // no counting, no dialog
  EXPECT_EQ(test::ReportRows(Category::kFirefoxUrlHistory).size(), 1u);  // one visit
  auto cookies = test::ReportRows(Category::kFirefoxCookies);
  EXPECT_EQ(cookies.size(), 13u);
  EXPECT_EQ(cookies[0].size(), 4u);
  // Stores that are not there give no rows.
  EXPECT_TRUE(test::ReportRows(Category::kFirefoxFormHistory).empty());
  EXPECT_TRUE(test::ReportRows(Category::kChromeTopSites).empty());
}

TEST_F(ReportReadingTest, InternetExplorerSectionsFromTheRealContainers) {
  if (!fs::exists(test::FixturePath("ie/History.IE5/index.dat"))) GTEST_SKIP() << "fixtures not available";
  const fs::path root = profile_.Root();
  fs::create_directories(root / "History" / "History.IE5");
  fs::create_directories(root / "Cache" / "Content.IE5");
  profile_.CopyFixture("ie/History.IE5/index.dat", root / "History" / "History.IE5" / "index.dat");
  profile_.CopyFixture("ie/Content.IE5/index.dat", root / "Cache" / "Content.IE5" / "index.dat");
  fs::create_directories(root / "Cookies");
  std::ofstream(root / "Cookies" / "me@example.txt") << "x";
  constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  auto set = [&](const char* name, const fs::path& folder) {
    HKEY k = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, Widen(kShellFolders).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                    nullptr);
    std::wstring value = folder.wstring();
    RegSetValueExW(k, Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * 2));
    RegCloseKey(k);
  };
  set("History", root / "History");
  set("Cache", root / "Cache");
  set("Cookies", root / "Cookies");

  Texts urls = ReportTexts(Category::kIeUrlHistory);
  ASSERT_EQ(urls.size(), 15u);
  EXPECT_EQ(urls[0], "http://www.msn.com/?ocid=iehp");

  // The report scans the default file, with no dialog; a row ends at its NUL.
  Texts index = ReportTexts(Category::kIeIndexFile);
  ASSERT_GT(index.size(), 0u);
  for (const std::string& row : index) EXPECT_EQ(row.find('\0'), std::string::npos);
  test::RecordingList skipped;
  skipped.cancelled = true;  // "skip" pressed: the scan stops at once
  ReadContext report;
  report.purpose = ReadPurpose::kReport;
  Categories().Of(Category::kIeIndexFile).read(report, skipped, skipped);
  EXPECT_LE(skipped.rows.size(), 1u);

  EXPECT_EQ(ReportTexts(Category::kIeCookies), (Texts{"me@example.txt"}));
}

TEST(ReportHeader, ComputerAndUserNamesHaveNoTerminator) {
  std::string computer = GetComputerNameText();
  std::string user = GetUserNameText();
  EXPECT_FALSE(computer.empty());
  EXPECT_FALSE(user.empty());
  EXPECT_EQ(computer.find('\0'), std::string::npos);
  EXPECT_EQ(user.find('\0'), std::string::npos);
}

TEST(ReportFile, Utf16WithMarkAndCrLfPutInPlaceOnlyWhenWhole) {
  test::TempDir dir;
  std::string path = dir.str() + "\\report.htm";
  dir.Write("report.htm", "old and longer content that must go");
  // Left by a run that ended abruptly.
  dir.Write("report.htm.partial", "stale partial content, longer than the new report");
  {
    ReportFile file;
    ASSERT_TRUE(file.Create(path));
    file.WriteLine("<p>K\xC3\xB6ln</p>");
    file.WriteLine("");
    // Until committed, the old report is untouched.
    EXPECT_EQ(dir.Read("report.htm"), "old and longer content that must go");
    ASSERT_TRUE(file.Commit());
  }
  std::string bytes = dir.Read("report.htm");
  std::string expected("\xFF\xFE", 2);
  for (char c : std::string("<p>K")) expected += std::string{c, '\0'};
  expected += std::string("\xF6\0", 2);
  for (char c : std::string("ln</p>\r\n\r\n")) expected += std::string{c, '\0'};
  EXPECT_EQ(bytes, expected);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "report.htm.partial"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "report.htm.replaced"));

  {
    ReportFile abandoned;
    ASSERT_TRUE(abandoned.Create(dir.str() + "\\other.htm"));
    abandoned.WriteLine("x");
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "other.htm"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "other.htm.partial"));

  // Megabytes of lines, written block after block on the file's own
  // thread, arrive whole and in order.
  {
    ReportFile large;
    ASSERT_TRUE(large.Create(path));
    for (int i = 0; i < 40000; ++i)
      large.WriteLine("<tr><td>line " + std::to_string(i) + std::string(90, 'x') + "</td>");
    ASSERT_TRUE(large.Commit());
  }
  const std::string written = dir.Read("report.htm");
  std::string wanted("\xFF\xFE", 2);
  for (int i = 0; i < 40000; ++i) {
    for (char c : "<tr><td>line " + std::to_string(i) + std::string(90, 'x') + "</td>\r\n")
      wanted += std::string{c, '\0'};
  }
  EXPECT_TRUE(written == wanted) << written.size() << " bytes, " << wanted.size() << " wanted";

  ReportFile nowhere;
  EXPECT_FALSE(nowhere.Create(dir.str() + "\\missing\\report.htm"));
  EXPECT_FALSE(nowhere.Commit());
}

}  // namespace
}  // namespace tmr
