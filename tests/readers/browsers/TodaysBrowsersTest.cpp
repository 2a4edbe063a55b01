// The browser categories on profiles of today's browsers (Chrome and Edge
// of 2025, Firefox 140), built table for table as the browsers create them,
// and the rules for reading a store its browser holds.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "platform/Handles.h"
#include "support/BrowserTestSupport.h"
#include "support/RecordingList.h"
#include "support/ScratchDatabase.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;

// History of meta version 69 (Chrome and Edge today).
constexpr char kHistorySchema[] =
    "CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);"
    "INSERT INTO meta VALUES('version','69'),('last_compatible_version','16');"
    "CREATE TABLE urls(id INTEGER PRIMARY KEY AUTOINCREMENT,url LONGVARCHAR,title LONGVARCHAR,"
    "visit_count INTEGER DEFAULT 0 NOT NULL,typed_count INTEGER DEFAULT 0 NOT NULL,last_visit_time INTEGER NOT NULL,"
    "hidden INTEGER DEFAULT 0 NOT NULL);"
    "CREATE TABLE keyword_search_terms(keyword_id INTEGER NOT NULL,url_id INTEGER NOT NULL,term LONGVARCHAR NOT NULL,"
    "normalized_term LONGVARCHAR NOT NULL);"
    "CREATE TABLE downloads(id INTEGER PRIMARY KEY,guid VARCHAR NOT NULL,current_path LONGVARCHAR NOT NULL,"
    "target_path LONGVARCHAR NOT NULL,start_time INTEGER NOT NULL,received_bytes INTEGER NOT NULL,"
    "total_bytes INTEGER NOT NULL,state INTEGER NOT NULL,danger_type INTEGER NOT NULL,"
    "interrupt_reason INTEGER NOT NULL,hash BLOB NOT NULL,end_time INTEGER NOT NULL,opened INTEGER NOT NULL,"
    "last_access_time INTEGER NOT NULL,transient INTEGER NOT NULL,referrer VARCHAR NOT NULL,"
    "site_url VARCHAR NOT NULL,embedder_download_data VARCHAR NOT NULL,tab_url VARCHAR NOT NULL,"
    "tab_referrer_url VARCHAR NOT NULL,http_method VARCHAR NOT NULL,by_ext_id VARCHAR NOT NULL,"
    "by_ext_name VARCHAR NOT NULL,by_web_app_id VARCHAR NOT NULL,etag VARCHAR NOT NULL,"
    "last_modified VARCHAR NOT NULL,mime_type VARCHAR(255) NOT NULL,original_mime_type VARCHAR(255) NOT NULL);"
    "CREATE TABLE downloads_url_chains(id INTEGER NOT NULL,chain_index INTEGER NOT NULL,url LONGVARCHAR NOT NULL,"
    "PRIMARY KEY(id,chain_index));";

std::string Download(int id, const std::string& target, const std::string& start) {
  return "INSERT INTO downloads VALUES(" + std::to_string(id) + ",'g" + std::to_string(id) + "','" + target +
         ".crdownload','" + target + "'," + start +
         ",10,10,1,0,0,x'',0,0,0,0,'','','','','','GET','','','','','','application/pdf','application/pdf');";
}

// Cookies of meta version 24, in <profile>\Network.
constexpr char kCookiesSchema[] =
    "CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);"
    "INSERT INTO meta VALUES('version','24');"
    "CREATE TABLE cookies(creation_utc INTEGER NOT NULL,host_key TEXT NOT NULL,top_frame_site_key TEXT NOT NULL,"
    "name TEXT NOT NULL,value TEXT NOT NULL,encrypted_value BLOB NOT NULL,path TEXT NOT NULL,"
    "expires_utc INTEGER NOT NULL,is_secure INTEGER NOT NULL,is_httponly INTEGER NOT NULL,"
    "last_access_utc INTEGER NOT NULL,has_expires INTEGER NOT NULL,is_persistent INTEGER NOT NULL,"
    "priority INTEGER NOT NULL,samesite INTEGER NOT NULL,source_scheme INTEGER NOT NULL,source_port INTEGER NOT NULL,"
    "last_update_utc INTEGER NOT NULL,source_type INTEGER NOT NULL,has_cross_site_ancestor INTEGER NOT NULL);";

// Top Sites of meta version 5.
constexpr char kTopSitesSchema[] =
    "CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);"
    "INSERT INTO meta VALUES('version','5');"
    "CREATE TABLE top_sites(url TEXT NOT NULL PRIMARY KEY,url_rank INTEGER NOT NULL,title TEXT NOT NULL);";

// A Chromium profile (Chrome or Edge) whose texts carry the browser's name.
void MakeChromiumProfile(const fs::path& profile, const std::string& who) {
  test::ScratchDatabase history(profile / "History");
  history.Exec(kHistorySchema);
  history.Exec("INSERT INTO urls VALUES(1,'https://" + who + ".example/a','A of " + who +
               "',3,0,13380000000000000,0),(2,'https://" + who +
               ".example/hidden','H',1,0,13380000001000000,1),"
               "(3,'https://" +
               who + ".example/b','B',1,1,13380000002000000,0);");
  history.Exec("INSERT INTO keyword_search_terms VALUES(1,1,'" + who + "%20news','" + who + " news');");
  history.Exec(Download(2, "C:\\Users\\me\\Downloads\\" + who + "-2.pdf", "13380000003000000") +
               Download(1, "C:\\Users\\me\\Downloads\\" + who + "-1.pdf", "13380000004000000"));
  // Chains written out of order: the last URL is the one with the highest index.
  history.Exec("INSERT INTO downloads_url_chains VALUES(1,1,'https://cdn." + who +
               ".example/1.pdf'),"
               "(1,0,'https://" +
               who + ".example/get?1'),(2,0,'https://" + who + ".example/2.pdf');");
  fs::create_directories(profile / "Network");
  test::ScratchDatabase cookies(profile / "Network" / "Cookies");
  cookies.Exec(kCookiesSchema);
  cookies.Exec("INSERT INTO cookies VALUES(13380000000000000,'." + who +
               ".example','','sid','',x'763130',"
               "'/',13400000000000000,1,1,13380000005000000,1,1,1,0,2,443,13380000000000000,0,0);");
  // The cookie file before Chrome 96, left behind stale.
  test::ScratchDatabase(profile / "Cookies")
      .Exec(
          "CREATE TABLE cookies(host_key TEXT,name TEXT,creation_utc INTEGER,last_access_utc INTEGER);"
          "INSERT INTO cookies VALUES('stale.example','old',0,0);");
  test::ScratchDatabase topSites(profile / "Top Sites");
  topSites.Exec(kTopSitesSchema);
  topSites.Exec("INSERT INTO top_sites VALUES('https://" + who + ".example/2',1,'Second'),('https://" + who +
                ".example/1',0,'First');");
}

// places.sqlite of Firefox 140 with a visit and three downloads.
void MakePlaces(const fs::path& file, const std::string& who) {
  test::ScratchDatabase places(file);
  places.Exec(
      "PRAGMA user_version=78;"
      "CREATE TABLE moz_places(id INTEGER PRIMARY KEY,url LONGVARCHAR,title LONGVARCHAR,rev_host LONGVARCHAR,"
      "visit_count INTEGER DEFAULT 0,hidden INTEGER DEFAULT 0 NOT NULL,typed INTEGER DEFAULT 0 NOT NULL,"
      "frecency INTEGER DEFAULT -1 NOT NULL,last_visit_date INTEGER,guid TEXT,foreign_count INTEGER DEFAULT 0 NOT "
      "NULL,url_hash INTEGER DEFAULT 0 NOT NULL,description TEXT,preview_image_url TEXT,site_name TEXT,"
      "origin_id INTEGER,recalc_frecency INTEGER NOT NULL DEFAULT 0,alt_frecency INTEGER,"
      "recalc_alt_frecency INTEGER NOT NULL DEFAULT 0);"
      "CREATE TABLE moz_historyvisits(id INTEGER PRIMARY KEY,from_visit INTEGER,place_id INTEGER,visit_date INTEGER,"
      "visit_type INTEGER,session INTEGER,source INTEGER DEFAULT 0 NOT NULL,triggeringPlaceId INTEGER);"
      "CREATE TABLE moz_inputhistory(place_id INTEGER NOT NULL,input LONGVARCHAR NOT NULL,"
      "use_count INTEGER,PRIMARY KEY(place_id,input));"
      "CREATE TABLE moz_anno_attributes(id INTEGER PRIMARY KEY,name VARCHAR(32) UNIQUE NOT NULL);"
      "CREATE TABLE moz_annos(id INTEGER PRIMARY KEY,place_id INTEGER NOT NULL,anno_attribute_id INTEGER,"
      "content LONGVARCHAR,flags INTEGER DEFAULT 0,expiration INTEGER DEFAULT 0,type INTEGER DEFAULT 0,"
      "dateAdded INTEGER DEFAULT 0,lastModified INTEGER DEFAULT 0);");
  places.Exec("INSERT INTO moz_places(id,url,title,last_visit_date,guid) VALUES(1,'https://" + who + ".example/','" +
              who +
              "',1735689600000000,'g1'),(2,'https://dl.example/a.zip','',1735689700000000,'g2'),"
              "(3,'https://dl.example/b.zip','',1735689800000000,'g3'),(4,'https://dl.example/c.zip','',"
              "1735689900000000,'g4');"
              "INSERT INTO moz_historyvisits(id,place_id,visit_date,visit_type) VALUES(1,1,1735689600000000,1),"
              "(2,2,1735689700000000,7);"
              "INSERT INTO moz_inputhistory VALUES(1,'" +
              who +
              "%20input',1);"
              "INSERT INTO moz_anno_attributes VALUES(1,'downloads/metaData'),(2,'downloads/destinationFileURI');");
  // In annotation order: c.zip (its metadata cut short), a.zip, b.zip (no metadata).
  places.Exec(
      "INSERT INTO moz_annos(id,place_id,anno_attribute_id,content,dateAdded) VALUES"
      "(1,4,2,'file:///C:/Users/me/Downloads/c%20c.zip',1735689900000000),"
      "(2,4,1,'{\"state\":1,\"endTime\":17356',1735689900000000),"
      "(3,2,2,'file:///C:/Users/me/Downloads/K%C3%B6ln.zip',1735689700000000),"
      "(4,2,1,'{\"state\":1,\"deleted\":false,\"endTime\":1735689760500,\"fileSize\":10}',1735689700000000),"
      "(5,3,2,'file:///D:/b.zip',1735689800000000);");
}

class TodaysBrowsersTest : public ::testing::Test {
 protected:
  fs::path FirefoxRoot() const { return profile_.Root() / "Roaming" / "Mozilla" / "Firefox"; }
  fs::path EdgeProfile() const { return profile_.Root() / "Local" / "Microsoft" / "Edge" / "User Data" / "Default"; }

  void MakeProfiles() {
    MakeChromiumProfile(profile_.ChromeFolder(), "chrome");
    fs::create_directories(EdgeProfile());
    MakeChromiumProfile(EdgeProfile(), "edge");
    // Firefox 67 and later: a stale profile listed first, the one in use
    // named by the installation.
    const fs::path stale = FirefoxRoot() / "Profiles" / "aaaa.default";
    const fs::path used = FirefoxRoot() / "Profiles" / "zzzz.default-release";
    fs::create_directories(stale);
    fs::create_directories(used);
    MakePlaces(stale / "places.sqlite", "stale");
    MakePlaces(used / "places.sqlite", "firefox");
    test::ScratchDatabase(used / "cookies.sqlite")
        .Exec(
            "PRAGMA user_version=17;"
            "CREATE TABLE moz_cookies(id INTEGER PRIMARY KEY,originAttributes TEXT NOT NULL DEFAULT '',name TEXT,"
            "value TEXT,host TEXT,path TEXT,expiry INTEGER,lastAccessed INTEGER,creationTime INTEGER,isSecure INTEGER,"
            "isHttpOnly INTEGER,inBrowserElement INTEGER DEFAULT 0,sameSite INTEGER DEFAULT 0,"
            "schemeMap INTEGER DEFAULT 0,isPartitionedAttributeSet INTEGER DEFAULT 0,updateTime INTEGER,"
            "CONSTRAINT moz_uniqueid UNIQUE(name,host,path,originAttributes));"
            "INSERT INTO moz_cookies VALUES(1,'','id','v','.firefox.example','/',1767225600000,1735689650000000,"
            "1735689600000000,1,0,0,0,2,0,1735689600000000);");
    test::ScratchDatabase(used / "formhistory.sqlite")
        .Exec(
            "PRAGMA user_version=5;"
            "CREATE TABLE moz_formhistory(id INTEGER PRIMARY KEY,fieldname TEXT NOT NULL,value TEXT NOT NULL,"
            "timesUsed INTEGER,firstUsed INTEGER,lastUsed INTEGER,guid TEXT);"
            "CREATE TABLE moz_deleted_formhistory(id INTEGER PRIMARY KEY,timeDeleted INTEGER,guid TEXT);"
            "CREATE TABLE moz_sources(id INTEGER PRIMARY KEY,source TEXT NOT NULL);"
            "CREATE TABLE moz_history_to_sources(history_id INTEGER,source_id INTEGER,"
            "PRIMARY KEY(history_id,source_id));"
            "INSERT INTO moz_formhistory VALUES(1,'email','me@example.com',4,1735689600000000,1735689700000000,'g');");
    profile_.Write("Roaming/Mozilla/Firefox/profiles.ini",
                   "[Profile1]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/aaaa.default\r\nDefault=1\r\n\r\n"
                   "[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=Profiles/zzzz.default-release\r\n\r\n"
                   "[General]\r\nStartWithLastProfile=1\r\nVersion=2\r\n\r\n"
                   "[Install308046B0AF4A39CB]\r\nDefault=Profiles/zzzz.default-release\r\nLocked=1\r\n");
  }

  Rows Show(Category category) {
    test::RecordingList list;
    test::ShowInRecorder(category, list);
    EXPECT_EQ(list.panel2, "Total Records: " + std::to_string(list.rows.size()));
    return list.rows;
  }

  test::BrowserProfile profile_;
};

TEST_F(TodaysBrowsersTest, EveryCategoryListsTheRowsOfTodaysFilesAndChangesNothing) {
  MakeProfiles();
  const std::vector<std::string> before = profile_.Listing();
  std::map<std::string, std::string> hashes;
  for (const std::string& line : before) {
    const fs::path file = profile_.Root() / fs::u8path(line.substr(0, line.rfind(' ')));
    if (fs::is_regular_file(file)) hashes[line] = test::Sha256OfFile(file);
  }
  using test::ExpectedChromeTime;
  using test::ExpectedPRTime;

  struct Browser {
    std::string who;
    Category urls, cookies, downloads, topSites, keywords;
  };
  const Browser browsers[] = {
      {"chrome", Category::kChromeUrlHistory, Category::kChromeCookies, Category::kChromeDownloads,
       Category::kChromeTopSites, Category::kChromeKeywords},
      {"edge", Category::kEdgeUrlHistory, Category::kEdgeCookies, Category::kEdgeDownloads, Category::kEdgeTopSites,
       Category::kEdgeKeywords},
  };
  for (const Browser& b : browsers) {
    const std::string& who = b.who;
    SCOPED_TRACE(who);
    EXPECT_EQ(Show(b.urls),
              (Rows{{"https://" + who + ".example/a", "A of " + who, "3", ExpectedChromeTime("13380000000000000")},
                    {"https://" + who + ".example/b", "B", "1", ExpectedChromeTime("13380000002000000")}}));
    // Network\Cookies, not the stale file beside it.
    EXPECT_EQ(Show(b.cookies), (Rows{{"." + who + ".example", "sid", ExpectedChromeTime("13380000000000000"),
                                      ExpectedChromeTime("13380000005000000")}}));
    EXPECT_EQ(Show(b.downloads),
              (Rows{{"C:\\Users\\me\\Downloads\\" + who + "-1.pdf", "https://cdn." + who + ".example/1.pdf",
                     ExpectedChromeTime("13380000004000000")},
                    {"C:\\Users\\me\\Downloads\\" + who + "-2.pdf", "https://" + who + ".example/2.pdf",
                     ExpectedChromeTime("13380000003000000")}}));
    EXPECT_EQ(Show(b.topSites), (Rows{{"https://" + who + ".example/1", "0", "First"},
                                      {"https://" + who + ".example/2", "1", "Second"}}));
    EXPECT_EQ(Show(b.keywords), (Rows{{who + " news"}}));
  }

  // Firefox reads the profile profiles.ini names, not the first folder.
  EXPECT_EQ(Show(Category::kFirefoxUrlHistory),
            (Rows{{"https://firefox.example/", "firefox", ExpectedPRTime("1735689600000000")},
                  {"https://dl.example/a.zip", "", ExpectedPRTime("1735689700000000")}}));
  EXPECT_EQ(Show(Category::kFirefoxCookies),
            (Rows{{".firefox.example", "id", ExpectedPRTime("1735689600000000"), ExpectedPRTime("1735689650000000")}}));
  EXPECT_EQ(
      Show(Category::kFirefoxDownloads),
      (Rows{{"C:\\Users\\me\\Downloads\\c c.zip", "https://dl.example/c.zip", ExpectedPRTime("1735689900000000"), ""},
            {"C:\\Users\\me\\Downloads\\K\xC3\xB6ln.zip", "https://dl.example/a.zip",
             ExpectedPRTime("1735689700000000"), ExpectedPRTime("1735689760500000")},
            {"D:\\b.zip", "https://dl.example/b.zip", ExpectedPRTime("1735689800000000"), ""}}));
  EXPECT_EQ(Show(Category::kFirefoxInputHistory), (Rows{{"firefox input"}}));
  EXPECT_EQ(
      Show(Category::kFirefoxFormHistory),
      (Rows{{"email", "me@example.com", "4", ExpectedPRTime("1735689600000000"), ExpectedPRTime("1735689700000000")}}));

  EXPECT_EQ(profile_.Listing(), before);
  for (const auto& [line, hash] : hashes) {
    EXPECT_EQ(test::Sha256OfFile(profile_.Root() / fs::u8path(line.substr(0, line.rfind(' ')))), hash) << line;
  }
}

// A store its browser holds: opened by nobody else, the browser is ended and
// the file read; locked with a transaction half written in its journal, it
// is read from a copy at its last committed state and nobody is ended.
TEST_F(TodaysBrowsersTest, AHeldStoreEndsItsBrowserOnlyWhenNothingElseCanReadIt) {
  MakeProfiles();
  const fs::path apps = profile_.Root() / "Apps";
  fs::create_directories(apps);
  fs::copy_file(fs::path(test::TestProgramFolder()) / L"tm_sleeper.exe", apps / L"msedge.exe");
  fs::copy_file(fs::path(test::TestProgramFolder()) / L"tm_sleeper.exe", apps / L"chrome.exe");

  // Edge holds its cookie store so that no other program can open it.
  const fs::path edgeCookies = EdgeProfile() / "Network" / "Cookies";
  UniqueHandle edge(test::StartProcess((apps / L"msedge.exe").wstring(), L"--hold \"" + edgeCookies.wstring() + L"\""));
  ASSERT_TRUE(edge);
  ASSERT_EQ(WaitForSingleObject(edge.get(), 500), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_EQ(Show(Category::kEdgeCookies).size(), 1u);
  EXPECT_EQ(WaitForSingleObject(edge.get(), 5000), static_cast<DWORD>(WAIT_OBJECT_0));

  // Chrome runs and is in the middle of writing its history.
  UniqueHandle chrome(test::StartProcess((apps / L"chrome.exe").wstring()));
  ASSERT_TRUE(chrome);
  const fs::path history = profile_.ChromeFolder() / "History";
  {
    test::ScratchDatabase writer(history);
    writer.Exec(
        "PRAGMA locking_mode=EXCLUSIVE; BEGIN; INSERT INTO urls VALUES(9,'https://uncommitted/','U',1,0,1,0);"
        "UPDATE urls SET title='changed' WHERE id=1;");
    ASSERT_GT(fs::file_size(fs::path(history.string() + "-journal")), 0u);
    const std::vector<std::string> before = profile_.Listing();
    const Rows urls = Show(Category::kChromeUrlHistory);
    ASSERT_EQ(urls.size(), 2u);
    EXPECT_EQ(urls[0][1], "A of chrome");
    EXPECT_EQ(profile_.Listing(), before);
  }
  EXPECT_EQ(WaitForSingleObject(chrome.get(), 300), static_cast<DWORD>(WAIT_TIMEOUT));
  TerminateProcess(chrome.get(), 1);
}

}  // namespace
}  // namespace tmr
