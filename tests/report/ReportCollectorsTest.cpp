// The report's collectors on real stores: a user hive loaded under the
// scratch registry and the real browser databases in a profile folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "app/CreateReportDialog.h"
#include "core/ProgramState.h"
#include "platform/WinText.h"
#include "readers/windows/WindowsReaders.h"
#include "report/BrowserCollectors.h"
#include "report/IeCollectors.h"
#include "report/ReportFile.h"
#include "report/WindowsCollectors.h"
#include "support/BrowserTestSupport.h"
#include "support/RealHives.h"
#include "support/ScratchRegistry.h"

namespace tmr {
namespace {

namespace fs = std::filesystem;

bool Has(const EntryList& list, const std::string& entry) {
  return std::find(list.begin(), list.end(), entry) != list.end();
}

class ReportCollectorsTest : public ::testing::Test {
 protected:
  void SetUp() override { OsVersion = "Vista"; }
  test::BrowserProfile profile_;  // also the scratch registry
};

TEST_F(ReportCollectorsTest, RegListKindsAndTheMergedSearchLists) {
  const std::string run = kExplorer + "\\RunMRU";
  HKEY hkcu = HKEY_CURRENT_USER;
  auto set = [](const std::string& key, const char* name, const char* value) {
    HKEY k = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
    RegSetValueExA(k, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(strlen(value) + 1));
    RegCloseKey(k);
  };
  set(run, "a", "cmd\\1");
  set(run, "b", "notepad");  // no "\": the report leaves it out
  set(run, "MRUList", "ab");
  EXPECT_EQ(getRunHistory(), (EntryList{"", "cmd"}));

  const std::string open = kComDlg32 + "\\OpenSaveMRU\\*";
  set(open, "a", "a.txt");
  set(open, "b", "C:\\a.txt");
  OsVersion = "xp";
  EXPECT_EQ(getOpenSave(), (EntryList{"", "C:\\a.txt"}));
  EXPECT_EQ(getRegList(hkcu, open, ""), (EntryList{"", "a.txt", "C:\\a.txt"}));

  set(kExplorerBar + "\\ComputerNameMRU", "a", "pc1");
  set(kExplorerBar + "\\ComputerNameMRU", "b", "pc2");
  set(kSearchAssistant + "\\5603", "a", "report.doc");
  EXPECT_EQ(GetSearchHistory(), (EntryList{"", "pc1", "pc2", "", "report.doc"}));
  EXPECT_TRUE(getRegList(hkcu, "Software\\Nowhere", "").empty());
}

TEST_F(ReportCollectorsTest, WindowsSectionsFromARealHive) {
  if (!test::HaveRealHive(L"ntuser-win7.reg")) GTEST_SKIP() << "real hives not available";
  ASSERT_GT(test::ScratchRegistry::ImportRegFile(test::RealHive(L"ntuser-win7.reg")), 0);
  EntryList runs = getRunHistory();
  EXPECT_EQ(runs.front(), "");
  EXPECT_TRUE(Has(runs, "\\\\controller\\WebDavShare"));
  EntryList search = GetSearchHistory();
  EXPECT_TRUE(Has(search, "hyth"));
  EXPECT_TRUE(Has(search, "rar.exe"));
  EXPECT_EQ(getLastVisit().size(), 9u);  // placeholder and 8 entries
  EXPECT_EQ(getFirstFolder().size(), 3u);
  EXPECT_EQ(GetTypedPath(), (EntryList{"", "\\\\controller"}));
  if (test::HaveRealHive(L"usbstor.reg")) {
    test::ScratchRegistry::ImportRegFile(test::RealHive(L"usbstor.reg"));
    EXPECT_TRUE(Has(getUSBStorage(), "HP v100w USB Device"));
  }
}

TEST_F(ReportCollectorsTest, BrowserSectionsJoinTheCategoriesRows) {
  profile_.CopyFixture("chrome/History-schema20", profile_.ChromeFolder() / "History");
  profile_.CopyFixture("firefox/places.sqlite", profile_.FirefoxFolder() / "places.sqlite");
  profile_.CopyFixture("firefox/cookies.sqlite", profile_.FirefoxFolder() / "cookies.sqlite");
  int pumped = 0;
  auto doEvents = [&] { ++pumped; };
  // The report lists hidden URLs too: 55 rows where the category shows 30.
  EntryList urls = getChromeURL(doEvents);
  ASSERT_EQ(urls.size(), 56u);
  EXPECT_EQ(urls[0], "");
  EXPECT_EQ(SplitFields(urls[1]).size(), 4u);
  EXPECT_EQ(getFireFoxURL(doEvents).size(), 2u);  // one visit
  EntryList cookies = getFirefoxCookie(doEvents);
  EXPECT_EQ(cookies.size(), 14u);
  EXPECT_EQ(SplitFields(cookies[1]).size(), 4u);
  EXPECT_GT(pumped, 0);
  // Stores that are not there give lists without elements.
  EXPECT_TRUE(getFirefoxForm(doEvents).empty());
  EXPECT_TRUE(getChromeTopSites(doEvents).empty());
}

TEST_F(ReportCollectorsTest, InternetExplorerSectionsFromTheRealContainers) {
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

  std::vector<std::string> urls;
  ReadIeHistoryForReport([&](const std::string&, const std::string& url, const std::string&) { urls.push_back(url); });
  ASSERT_EQ(urls.size(), 15u);
  EXPECT_EQ(urls[0], "http://www.msn.com/?ocid=iehp");

  EntryList index = GetIndex(nullptr, false);
  ASSERT_GT(index.size(), 1u);
  for (size_t i = 1; i < index.size(); ++i) EXPECT_EQ(index[i].find('\0'), std::string::npos);
  bool skip = true;  // "skip" pressed: the scan stops at once
  EXPECT_LE(GetIndex(nullptr, skip).size(), 2u);

  EXPECT_EQ(GetCookies(nullptr), (EntryList{"", "me@example.txt"}));
}

TEST(ReportHeader, ComputerAndUserNamesHaveNoTerminator) {
  std::string computer = GetComputerNameText();
  std::string user = GetUserNameText();
  EXPECT_FALSE(computer.empty());
  EXPECT_FALSE(user.empty());
  EXPECT_EQ(computer.find('\0'), std::string::npos);
  EXPECT_EQ(user.find('\0'), std::string::npos);
  EXPECT_EQ(TrimNull(std::string("ab\0cd", 5)), "ab");
  EXPECT_EQ(TrimNull("abc"), "abc");
}

TEST(ReportFile, Utf16WithMarkAndCrLfPutInPlaceOnlyWhenWhole) {
  test::TempDir dir;
  std::string path = dir.str() + "\\report.htm";
  dir.Write("report.htm", "old and longer content that must go");
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

  {
    ReportFile abandoned;
    ASSERT_TRUE(abandoned.Create(dir.str() + "\\other.htm"));
    abandoned.WriteLine("x");
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "other.htm"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "other.htm.partial"));

  ReportFile nowhere;
  EXPECT_FALSE(nowhere.Create(dir.str() + "\\missing\\report.htm"));
  EXPECT_FALSE(nowhere.Commit());
}

}  // namespace
}  // namespace tmr
