// The Firefox categories on the real databases of ../shared/fixtures/real
// and on made-up ones for the cases the fixtures lack.
#include <gtest/gtest.h>

#include "core/ProgramState.h"
#include "support/BrowserTestSupport.h"
#include "support/RecordingList.h"
#include "support/ScratchDatabase.h"

namespace tmr {
namespace {

using test::RecordingList;
using Rows = std::vector<std::vector<std::string>>;

constexpr char kPlacesSchema[] =
    "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, "
    "visit_count INTEGER DEFAULT 0, last_visit_date INTEGER);"
    "CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY, from_visit INTEGER, place_id INTEGER, "
    "visit_date INTEGER, visit_type INTEGER, session INTEGER);"
    "CREATE INDEX moz_historyvisits_placedateindex ON moz_historyvisits (place_id, visit_date);"
    "CREATE TABLE moz_inputhistory (place_id INTEGER, input LONGVARCHAR, use_count INTEGER);";

class FirefoxReadersTest : public ::testing::Test {
 protected:
  RecordingList Run(Category category) {
    RecordingList list;
    test::ShowInRecorder(category, list);
    return list;
  }
  // The rows of asking moz_places for every visit in turn, the plan the
  // joined query replaces, read from a copy of the file.
  Rows PerVisitRows(const std::filesystem::path& places) {
    auto copy = reference_.path() / "per-visit.sqlite";
    std::filesystem::copy_file(places, copy, std::filesystem::copy_options::overwrite_existing);
    test::ScratchDatabase db(copy);
    Rows rows;
    for (const auto& visit : db.Query("SELECT  place_id FROM moz_historyvisits")) {
      for (auto page : db.Query("SELECT  url,title,last_visit_date FROM moz_places where id='" + visit[0] + "'")) {
        page[2] = test::ExpectedPRTime(page[2]);
        rows.push_back(page);
      }
    }
    return rows;
  }

  test::BrowserProfile profile_;
  test::TempDir reference_;
};

TEST_F(FirefoxReadersTest, RealPlacesCookiesAndDownloads) {
  const auto folder = profile_.FirefoxFolder();
  const auto places = profile_.CopyFixture("firefox/places.sqlite", folder / "places.sqlite");
  const auto cookies = profile_.CopyFixture("firefox/cookies.sqlite", folder / "cookies.sqlite");
  profile_.CopyFixture("firefox/downloads.sqlite", folder / "downloads.sqlite");
  const std::string placesHash = test::Sha256OfFile(places);
  const std::string cookiesHash = test::Sha256OfFile(cookies);
  const auto before = profile_.Listing();

  RecordingList urls = Run(Category::kFirefoxUrlHistory);
  ASSERT_EQ(urls.rows.size(), 1u);
  EXPECT_EQ(urls.rows[0][0].rfind("http://news.google.com", 0), 0u) << urls.rows[0][0];
  EXPECT_EQ(urls.rows[0][2], test::ExpectedPRTime("1309518981371935"));
  EXPECT_EQ(urls.rows, PerVisitRows(places));
  EXPECT_EQ(urls.panel1, "Double Click to view");
  EXPECT_EQ(urls.progressMaximum, 1);
  EXPECT_EQ(urls.columns[0].header, "URLs History");

  RecordingList cookieList = Run(Category::kFirefoxCookies);
  EXPECT_EQ(cookieList.rows.size(), 13u);
  EXPECT_EQ(cookieList.panel2, "Total Records: 13");
  auto copy = profile_.CopyFixture("firefox/cookies.sqlite", reference_.path() / "cookies.sqlite");
  Rows expected = test::ScratchDatabase(copy).Query("SELECT host, name,creationtime,lastaccessed FROM moz_cookies");
  for (auto& row : expected) {
    row[2] = test::ExpectedPRTime(row[2]);
    row[3] = test::ExpectedPRTime(row[3]);
  }
  EXPECT_EQ(cookieList.rows, expected);

  RecordingList downloads = Run(Category::kFirefoxDownloads);
  ASSERT_EQ(downloads.rows.size(), 1u);
  EXPECT_EQ(downloads.rows[0][2], test::ExpectedPRTime("1374173999312000"));
  EXPECT_NE(downloads.rows[0][0].rfind("file:", 0), 0u) << "the file-URL prefix is cut off";
  EXPECT_EQ(Run(Category::kFirefoxInputHistory).panel2, "Total Records: 0");

  // Nothing was written: no journal or log files beside the databases.
  EXPECT_EQ(profile_.Listing(), before);
  EXPECT_EQ(test::Sha256OfFile(places), placesHash);
  EXPECT_EQ(test::Sha256OfFile(cookies), cookiesHash);
}

TEST_F(FirefoxReadersTest, OneRowPerVisitExactlyAsAskingPageByPage) {
  const auto places = profile_.FirefoxFolder() / "places.sqlite";
  {
    test::ScratchDatabase db(places);
    db.Exec(kPlacesSchema);
    db.Exec(
        "INSERT INTO moz_places VALUES(1,'http://one/','One',2,1309518981371935),"
        "(2,'http://two/',NULL,1,0),(3,'http://three/','Three',3,1262304000000000),"
        "(4,'http://four/','Four',0,NULL);"
        // Three visits of page 3, a missing page and a visit without a
        // page, out of order; "2" and 2.0 become the integer 2 on the way in.
        "INSERT INTO moz_historyvisits(place_id, visit_date) VALUES(3,30),(1,10),(3,31),(99,1),(NULL,2),"
        "('2',20),(2.0,21),(3,32);"
        "INSERT INTO moz_inputhistory VALUES(1,'a%20b',1),(2,'c',1);");
  }
  Rows expected = PerVisitRows(places);
  {
    // An id that would rewrite a per-visit query built from it adds nothing.
    test::ScratchDatabase db(places);
    db.Exec("INSERT INTO moz_historyvisits(place_id, visit_date) VALUES('1'' OR ''1''=''1',3);");
  }
  RecordingList list = Run(Category::kFirefoxUrlHistory);
  EXPECT_EQ(list.rows, expected);
  const Rows three(3, {"http://three/", "Three", test::ExpectedPRTime("1262304000000000")});
  EXPECT_EQ(std::count(list.rows.begin(), list.rows.end(), three[0]), 3);
  EXPECT_EQ(list.rows.size(), 6u);
  EXPECT_EQ(list.progressMaximum, 9);

  EXPECT_EQ(Run(Category::kFirefoxInputHistory).rows, (Rows{{"a b"}, {"c"}}));
}

TEST_F(FirefoxReadersTest, FormHistoryAndDownloadCells) {
  const auto folder = profile_.FirefoxFolder();
  {
    test::ScratchDatabase form(folder / "formhistory.sqlite");
    form.Exec(
        "CREATE TABLE moz_formhistory(id INTEGER PRIMARY KEY, fieldname TEXT, value TEXT, timesused INTEGER, "
        "firstused INTEGER, lastused INTEGER);"
        "INSERT INTO moz_formhistory VALUES(1,'q','k\xC3\xB6ln',4,0,1262304000000000);");
    test::ScratchDatabase downloads(folder / "downloads.sqlite");
    downloads.Exec(
        "CREATE TABLE moz_downloads(id INTEGER PRIMARY KEY, name TEXT, source TEXT, target TEXT, "
        "startTime INTEGER, endTime INTEGER);"
        "INSERT INTO moz_downloads VALUES(1,'a.zip','http://x/a.zip','file:///C:/dl/a.zip',1000000,0),"
        "(2,'b','http://x/b','file:///',0,0),(3,'c','http://x/c','file:///C:/\xC3\xA9t\xC3\xA9/c',0,0);");
  }
  RecordingList form = Run(Category::kFirefoxFormHistory);
  EXPECT_EQ(form.rows, (Rows{{"q", "k\xC3\xB6ln", "4", "", test::ExpectedPRTime("1262304000000000")}}));
  EXPECT_EQ(form.columns[1].header, "Value ");
  EXPECT_EQ(form.panel1, "");

  RecordingList downloads = Run(Category::kFirefoxDownloads);
  EXPECT_EQ(downloads.rows, (Rows{{"C:/dl/a.zip", "http://x/a.zip", test::ExpectedPRTime("1000000"), ""},
                                  {"", "http://x/b", "", ""},
                                  {"C:/\xC3\xA9t\xC3\xA9/c", "http://x/c", "", ""}}));
}

TEST_F(FirefoxReadersTest, CancelStopsAfterTheVisitInProgress) {
  {
    test::ScratchDatabase db(profile_.FirefoxFolder() / "places.sqlite");
    db.Exec(kPlacesSchema);
    db.Exec(
        "INSERT INTO moz_places VALUES(1,'http://one/','One',1,1309518981371935);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<100) "
        "INSERT INTO moz_historyvisits(place_id, visit_date) SELECT 1, i FROM n;");
  }
  RecordingList list;
  list.onKeepGoing = [&] {
    if (list.rows.size() == 4) list.cancelled = true;
  };
  test::ShowInRecorder(Category::kFirefoxUrlHistory, list);
  EXPECT_EQ(list.rows.size(), 4u);
  EXPECT_EQ(list.panel2, "Total Records: 4");
}

TEST_F(FirefoxReadersTest, WithoutAProfileEveryCategoryIsEmpty) {
  for (auto source : {Category::kFirefoxUrlHistory, Category::kFirefoxCookies, Category::kFirefoxDownloads,
                      Category::kFirefoxInputHistory, Category::kFirefoxFormHistory}) {
    RecordingList list = Run(source);
    EXPECT_TRUE(list.rows.empty());
    EXPECT_FALSE(list.columns.empty());
    EXPECT_EQ(list.panel2, "Total Records: 0");
    EXPECT_TRUE(list.listVisible);
  }
}

}  // namespace
}  // namespace tmr
