// What the user sees when the library, the file or the database is not as
// it should be: a short or empty list and its count, nothing else, and no
// file created or changed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/ProgramState.h"
#include "platform/WinText.h"
#include "readers/browsers/SqliteLibrary.h"
#include "support/BrowserTestSupport.h"
#include "support/RecordingList.h"
#include "support/ScratchDatabase.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

namespace fs = std::filesystem;

using test::RecordingList;
constexpr Category kAllSources[] = {Category::kFirefoxUrlHistory,  Category::kFirefoxCookies,
                                    Category::kFirefoxDownloads,   Category::kFirefoxInputHistory,
                                    Category::kFirefoxFormHistory, Category::kChromeUrlHistory,
                                    Category::kChromeCookies,      Category::kChromeDownloads,
                                    Category::kChromeTopSites,     Category::kChromeKeywords};

class BrowserFailureTest : public ::testing::Test {
 protected:
  void TearDown() override { SetSqliteLibraryFolder(""); }
  static size_t RowsOf(Category category) {
    RecordingList list;
    test::ShowInRecorder(category, list);
    EXPECT_EQ(list.panel2, "Total Records: " + std::to_string(list.rows.size()));
    return list.rows.size();
  }

  test::BrowserProfile profile_;
};

TEST_F(BrowserFailureTest, WithoutTheLibraryOrWithAnIncompleteOneNothingIsListed) {
  profile_.CopyRealDatabases();
  ASSERT_EQ(RowsOf(Category::kChromeUrlHistory), 30u);  // the library works
  test::TempDir empty;
  for (const std::string& folder : {empty.str(), Narrow(test::TestProgramFolder()) + "\\fake_sqlite"}) {
    SetSqliteLibraryFolder(folder);
    for (Category source : kAllSources) EXPECT_EQ(RowsOf(source), 0u) << folder;
  }
}

TEST_F(BrowserFailureTest, MissingDatabasesAreNeverCreated) {
  profile_.ChromeFolder();
  profile_.FirefoxFolder();
  const auto before = profile_.Listing();
  for (Category source : kAllSources) EXPECT_EQ(RowsOf(source), 0u);
  EXPECT_EQ(profile_.Listing(), before);
}

TEST_F(BrowserFailureTest, DamagedDatabasesGiveFewerRowsAndChangeNothing) {
  profile_.CopyRealDatabases();
  auto history = profile_.ChromeFolder() / "History";
  std::string bytes = test::ReadFileBytes(history);
  const std::string variants[] = {
      std::string(4096, '\x5A'),                                       // not a database at all
      bytes.substr(0, bytes.size() / 2),                               // cut in half
      bytes.substr(0, 100) + std::string(bytes.size() - 100, '\xFF'),  // header, then garbage
  };
  for (const std::string& damaged : variants) {
    std::ofstream(history, std::ios::binary | std::ios::trunc).write(damaged.data(), std::streamsize(damaged.size()));
    const std::string hash = test::Sha256OfFile(history);
    EXPECT_LT(RowsOf(Category::kChromeUrlHistory), 30u);
    RowsOf(Category::kChromeDownloads);
    RowsOf(Category::kChromeKeywords);
    EXPECT_EQ(test::Sha256OfFile(history), hash);
  }
}

TEST_F(BrowserFailureTest, ALockedDatabaseIsReadFromACopy) {
  profile_.CopyRealDatabases();
  {
    test::ScratchDatabase other(profile_.ChromeFolder() / "History");
    other.Exec("PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;");
    EXPECT_EQ(RowsOf(Category::kChromeUrlHistory), 30u);
    EXPECT_EQ(RowsOf(Category::kChromeDownloads), 2u);
    other.Exec("COMMIT;");
  }
  EXPECT_EQ(RowsOf(Category::kChromeUrlHistory), 30u);
}

// A store is hostile until read: a name the query reads may be a view that
// never ends, and a query may run long without giving a row.
TEST_F(BrowserFailureTest, NoStoreHoldsTheReaderBeyondCancel) {
  const fs::path history = profile_.ChromeFolder() / "History";
  {
    test::ScratchDatabase db(history);
    db.Exec(
        "CREATE VIEW urls AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i>0) "
        "SELECT 'http://x/'||i AS url,'t' AS title,1 AS visit_count,0 AS last_visit_time,0 AS hidden FROM n "
        "WHERE i<0;");
  }
  // A view by the table's name is not read at all.
  RecordingList view;
  test::ShowInRecorder(Category::kChromeUrlHistory, view);
  EXPECT_TRUE(view.rows.empty());
  EXPECT_EQ(view.panel2, "Total Records: 0");

  // Cancel is heard between the steps of a query, before any row: here
  // every page is hidden, so the query runs to its end without one.
  fs::remove(history);
  test::ScratchDatabase(history).Exec(
      "CREATE TABLE urls(id INTEGER PRIMARY KEY, url TEXT, title TEXT, visit_count INTEGER, last_visit_time INTEGER, "
      "hidden INTEGER);"
      "INSERT INTO urls WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<50000) "
      "SELECT i,'http://x/'||i,'t',1,0,1 FROM n;");
  RecordingList list;
  list.onKeepGoing = [&] { list.cancelled = true; };
  test::ShowInRecorder(Category::kChromeUrlHistory, list);
  EXPECT_EQ(list.keepGoingCalls, 1);
  EXPECT_TRUE(list.rows.empty());
}

TEST_F(BrowserFailureTest, FixturesStayAsPublished) {
  profile_.CopyRealDatabases();
  for (Category source : kAllSources) RowsOf(source);
  const std::pair<const char*, const char*> published[] = {
      {"chrome/History-schema20", "c184fd5fdf72b75c26f8bb816619f04892e776ae6e2f5512f796d9807a12fbb3"},
      {"chrome/History-schema36", "946338ebab6d11f7520e9fc3186e8834253e0182c06ca3b2ec1b0ccbe1207b69"},
      {"chrome/Cookies-v10", "59d1a2c835a5aba67c8e7e31ee853382fcb1b2807ffdad3b79edc53d50acc1e9"},
      {"firefox/places.sqlite", "cd37cc6891ede23c98c6f68395b5aa4c9cc24aff7268d5a6414fab8ae17a4849"},
      {"firefox/downloads.sqlite", "6fa1cce13bbb3b2a6acca14e75c1d94b32616f557687f5b320738748766d9667"},
      {"firefox/cookies.sqlite", "fc6feee4809542a2eb90ef2a33e37a169ba867ad601214cac86258d64c5a8a16"},
  };
  for (const auto& [fixture, sha] : published) {
    EXPECT_EQ(test::Sha256OfFile(test::FixturePath(fixture)), sha) << fixture;
  }
}

}  // namespace
}  // namespace tmr
