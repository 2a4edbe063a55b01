// The Chrome categories on the real databases of ../shared/fixtures/real,
// copied into a profile that the scratch registry points at, and on small
// databases made for the cases the fixtures do not hold.
#include <gtest/gtest.h>

#include "core/ProgramState.h"
#include "core/TextUtil.h"
#include "platform/Handles.h"
#include "platform/LocalTimeText.h"
#include "readers/browsers/ChromeReaders.h"
#include "support/BrowserTestSupport.h"
#include "support/RecordingList.h"
#include "support/ScratchDatabase.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

using test::RecordingList;
using Rows = std::vector<std::vector<std::string>>;

class ChromeReadersTest : public ::testing::Test {
 protected:
  // The rows a fixture holds, read from a copy of its own.
  Rows Reference(std::string_view fixture, const std::string& sql) {
    auto copy = profile_.CopyFixture(fixture, reference_.path() / "reference.db");
    test::ScratchDatabase db(copy);
    return db.Query(sql);
  }
  RecordingList Run(Category category) {
    RecordingList list;
    test::ShowInRecorder(category, list);
    return list;
  }

  test::BrowserProfile profile_;
  test::TempDir reference_;
};

TEST_F(ChromeReadersTest, UrlHistoryOfTheSchema20FileWithoutHiddenRows) {
  auto history = profile_.CopyFixture("chrome/History-schema20", profile_.ChromeFolder() / "History");
  const std::string hash = test::Sha256OfFile(history);
  Rows expected =
      Reference("chrome/History-schema20", "SELECT url,title,visit_count,last_visit_time FROM urls where hidden<>1");
  const size_t all = Reference("chrome/History-schema20", "SELECT url FROM urls").size();
  ASSERT_EQ(all, 55u);
  for (auto& row : expected) row[3] = test::ExpectedChromeTime(row[3]);

  RecordingList list = Run(Category::kChromeUrlHistory);
  EXPECT_EQ(list.rows, expected);
  EXPECT_GT(list.rows.size(), 0u);
  EXPECT_EQ(list.log.front(), "panel1:Loading...");
  const std::vector<std::string> tail = {"show", "panel1:Double Click to view",
                                         "panel2:Total Records: " + std::to_string(expected.size())};
  EXPECT_EQ(std::vector<std::string>(list.log.end() - 3, list.log.end()), tail);
  ASSERT_EQ(list.columns.size(), 4u);
  EXPECT_EQ(list.columns[3].header, "Last Visited Time");
  EXPECT_EQ(list.columns[2].widthTwips, 1000);
  // The dialog counts every URL row, hidden ones included, and shows the
  // rows as they come.
  EXPECT_EQ(list.progressMaximum, 55);
  EXPECT_EQ(list.progressLabel, "Records: " + std::to_string(expected.size()));
  EXPECT_FALSE(list.progressShown);
  EXPECT_EQ(test::Sha256OfFile(history), hash);
}

TEST_F(ChromeReadersTest, CookiesDownloadsAndKeywordsOfTheRealFiles) {
  profile_.CopyFixture("chrome/Cookies-v10", profile_.ChromeFolder() / "Cookies");
  profile_.CopyFixture("chrome/History-schema20", profile_.ChromeFolder() / "History");

  Rows cookies = Reference("chrome/Cookies-v10", kChromeCookiesSql);
  ASSERT_EQ(cookies.size(), 5u);
  for (auto& row : cookies) {
    row[2] = test::ExpectedChromeTime(row[2]);
    row[3] = test::ExpectedChromeTime(row[3]);
  }
  RecordingList cookieList = Run(Category::kChromeCookies);
  EXPECT_EQ(cookieList.rows, cookies);
  EXPECT_EQ(cookieList.panel1, "");
  EXPECT_EQ(cookieList.progressMaximum, 5);

  Rows downloads = Reference("chrome/History-schema20", kChromeDownloadsSql);
  ASSERT_EQ(downloads.size(), 2u);
  for (auto& row : downloads) row[2] = test::ExpectedLocalText(std::stoll(row[2]));
  RecordingList downloadList = Run(Category::kChromeDownloads);
  EXPECT_EQ(downloadList.rows, downloads);
  EXPECT_EQ(downloadList.panel1, "Double Click to view");
  EXPECT_EQ(downloadList.panel2, "Total Records: 2");

  Rows keywords = Reference("chrome/History-schema20", kChromeKeywordsSql);
  ASSERT_EQ(keywords.size(), 3u);
  for (auto& row : keywords) row[0] = ReplaceAll(row[0], "%20", " ");
  EXPECT_EQ(Run(Category::kChromeKeywords).rows, keywords);
}

TEST_F(ChromeReadersTest, TheNewerSchemaListsItsDownloadsFromTheirUrlChains) {
  profile_.CopyFixture("chrome/History-schema36", profile_.ChromeFolder() / "History");
  EXPECT_EQ(Run(Category::kChromeUrlHistory).rows.size(), 1u);
  // No full_path any more: the target path, the chain's last URL, Chrome time.
  const Rows download = Reference("chrome/History-schema36", "SELECT target_path, start_time FROM downloads");
  const Rows chain =
      Reference("chrome/History-schema36", "SELECT url FROM downloads_url_chains ORDER BY chain_index DESC LIMIT 1");
  ASSERT_EQ(download.size(), 1u);
  ASSERT_EQ(chain.size(), 1u);
  RecordingList downloads = Run(Category::kChromeDownloads);
  EXPECT_EQ(downloads.rows, (Rows{{download[0][0], chain[0][0], test::ExpectedChromeTime(download[0][1])}}));
}

TEST_F(ChromeReadersTest, MadeUpRowsForTheCasesTheFixturesLack) {
  {
    test::ScratchDatabase db(profile_.ChromeFolder() / "History");
    db.Exec(
        "CREATE TABLE urls(id INTEGER PRIMARY KEY, url TEXT, title TEXT, visit_count INTEGER, "
        "last_visit_time INTEGER, hidden INTEGER);"
        "INSERT INTO urls VALUES(1,'http://a/','A',3,13000000000000000,0),(2,'http://b/','B',1,0,1),"
        "(3,'http://c/',NULL,0,0,0);"
        "CREATE TABLE keyword_search_terms(term TEXT);"
        "INSERT INTO keyword_search_terms VALUES('new%20york'),('a+b'),('50%2025');"
        "CREATE TABLE downloads(full_path TEXT, url TEXT, start_time INTEGER);"
        "INSERT INTO downloads VALUES('C:\\dl\\x.zip','http://x/x.zip',0);");
    test::ScratchDatabase top(profile_.ChromeFolder() / "Top Sites");
    top.Exec(
        "CREATE TABLE thumbnails(url TEXT, url_rank INTEGER, title TEXT);"
        "INSERT INTO thumbnails VALUES('http://two/',2,'Two'),('http://one/',1,'One');");
  }
  const float offset = LocalUtcOffsetHours();
  const std::string epoch1601 = GeneralDateText(WebKitTimeToDateAt(0, offset));
  EXPECT_EQ(Run(Category::kChromeUrlHistory).rows,
            (Rows{{"http://a/", "A", "3", test::ExpectedChromeTime("13000000000000000")},
                  {"http://c/", "", "0", epoch1601}}));
  EXPECT_EQ(Run(Category::kChromeKeywords).rows, (Rows{{"new york"}, {"a+b"}, {"50 25"}}));
  EXPECT_EQ(Run(Category::kChromeDownloads).rows,
            (Rows{{"C:\\dl\\x.zip", "http://x/x.zip", GeneralDateText(UnixTimeToDateAt(0, offset))}}));
  RecordingList top = Run(Category::kChromeTopSites);
  EXPECT_EQ(top.rows, (Rows{{"http://one/", "1", "One"}, {"http://two/", "2", "Two"}}));
  EXPECT_EQ(top.panel1, "Double Click to view");
}

TEST_F(ChromeReadersTest, CancelKeepsTheRowsReadSoFar) {
  {
    test::ScratchDatabase db(profile_.ChromeFolder() / "History");
    db.Exec(
        "CREATE TABLE urls(id INTEGER PRIMARY KEY, url TEXT, title TEXT, visit_count INTEGER, "
        "last_visit_time INTEGER, hidden INTEGER);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<500) "
        "INSERT INTO urls SELECT i,'http://site/'||i,'t',1,13000000000000000,0 FROM n;");
  }
  RecordingList list;
  list.onKeepGoing = [&] {
    if (list.rows.size() == 10) list.cancelled = true;
  };
  test::ShowInRecorder(Category::kChromeUrlHistory, list);
  EXPECT_EQ(list.rows.size(), 10u);
  EXPECT_EQ(list.panel2, "Total Records: 10");
  EXPECT_EQ(list.progressMaximum, 500);
  EXPECT_EQ(list.progressLabel, "Records: 10");
  EXPECT_FALSE(list.progressShown);
}

// Ending Chrome loses the user's downloads and unsaved text: while its files
// can be opened, no category ends it.
TEST_F(ChromeReadersTest, ARunningChromeIsLeftAloneWhileItsFilesCanBeRead) {
  namespace fs = std::filesystem;
  profile_.CopyRealDatabases();
  fs::path folder = reference_.path() / "Application";
  fs::create_directories(folder);
  fs::copy_file(fs::path(test::TestProgramFolder()) / L"tm_sleeper.exe", folder / L"chrome.exe");
  UniqueHandle chrome(test::StartProcess((folder / L"chrome.exe").wstring()));
  ASSERT_TRUE(chrome);
  for (auto category : {Category::kChromeUrlHistory, Category::kChromeCookies, Category::kChromeDownloads,
                        Category::kChromeTopSites, Category::kChromeKeywords}) {
    Run(category);
  }
  EXPECT_EQ(WaitForSingleObject(chrome.get(), 300), static_cast<DWORD>(WAIT_TIMEOUT));
  TerminateProcess(chrome.get(), 1);
}

}  // namespace
}  // namespace tmr
