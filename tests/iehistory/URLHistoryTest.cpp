// The URL history store: under Wine the platform's object exists but cannot
// enumerate, so these calls are answered by the program's own store, which
// reads the containers the scratch registry's "History" folder points at.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <algorithm>

#include "common/ProgramState.h"
#include "iehistory/ContainerBuilder.h"
#include "iehistory/IeSources.h"
#include "iehistory/URLHistory.h"
#include "support/RecordingListTarget.h"
#include "support/ScratchRegistry.h"
#include "support/TempDir.h"

namespace tmr {
namespace {

constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

using Texts = std::vector<std::string>;

uint64_t Ticks(const FILETIME& time) { return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

Texts Urls(const CURLHistory& history) {
  Texts urls;
  for (const auto& item : history) urls.push_back(item->URL());
  return urls;
}

class URLHistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    com_ = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    OsVersion = "xp";
    scratch_.SetString(HKEY_CURRENT_USER, kShellFolders, "History", temp_.str() + "\\History ");
  }
  void TearDown() override {
    OsVersion.clear();
    if (SUCCEEDED(com_)) CoUninitialize();
  }
  void PutContainer(const std::string& relative, const std::string& bytes) { temp_.Write("History/" + relative, bytes); }
  // Skips when the platform's own store answered (a system with a working
  // one): the containers of this test are then not what is listed.
  bool PlatformAnswered(const CURLHistory& history) { return history.AnsweredByPlatform(); }

  HRESULT com_ = E_FAIL;
  test::ScratchRegistry scratch_;
  test::TempDir temp_;
};

TEST_F(URLHistoryTest, RealHistoryContainerGivesItsFifteenLiveEntries) {
  std::string bytes = test::ReadFixture("ie/History.IE5/index.dat");
  if (bytes.empty()) GTEST_SKIP() << "fixture missing";
  PutContainer("History.IE5/index.dat", bytes);
  CURLHistory history;
  if (PlatformAnswered(history)) GTEST_SKIP() << "the platform's store answers here";
  EXPECT_EQ(history.Collection().size(), 15u);  // the constructor's Refresh("", 0)

  ASSERT_TRUE(history.Refresh("http", 0));
  ASSERT_EQ(history.Collection().size(), 15u);
  const URLHistoryItem& first = *history.Collection().front();
  EXPECT_EQ(first.URL(), "http://www.msn.com/?ocid=iehp");
  EXPECT_EQ(first.Title(), "");
  EXPECT_EQ(Ticks(first.LastVisitedTime()), 130849743185120000u);  // 2015-08-25T11:05:18.512Z
  Texts once = Urls(history);
  ASSERT_TRUE(history.Refresh("http", 0));
  EXPECT_EQ(Urls(history), once);  // rebuilt, not appended to
  bool rss = false;
  for (const auto& item : history) rss = rss || item->Title() == "RSS";
  EXPECT_TRUE(rss);
}

TEST_F(URLHistoryTest, FilterIsAPrefixOfTheUrl) {
  PutContainer("History.IE5/index.dat", test::BuildContainer({
                                                                 {"Visited: u@http://plain/", 1, u"Plain"},
                                                                 {"Visited: u@file:///C:/doc.txt", 2},
                                                                 {"Visited: u@https://secure/", 3, u"S\u00e9cure"},
                                                                 {"Visited: u@ftp://files/", 4},
                                                                 {"Visited: u@HTTP://upper/", 5},
                                                             })
                                                .bytes);
  CURLHistory history;
  if (PlatformAnswered(history)) GTEST_SKIP() << "the platform's store answers here";
  EXPECT_EQ(Urls(history).size(), 5u);
  history.Refresh("http", 0);
  EXPECT_EQ(Urls(history), (Texts{"http://plain/", "https://secure/"}));
  EXPECT_EQ(history.Collection()[1]->Title(), "S\xC3\xA9" "cure");
  history.Refresh("ftp", 0);
  EXPECT_EQ(Urls(history), (Texts{"ftp://files/"}));
  history.Refresh("gopher", 0);
  EXPECT_TRUE(history.Collection().empty());
}

TEST_F(URLHistoryTest, OnVistaTheLowContainerFollowsAndSharedUrlsAppearOnce) {
  PutContainer("History.IE5/index.dat",
               test::BuildContainer({{"Visited: u@http://a/", 10, u"A"}, {"Visited: u@http://b/", 20}}).bytes);
  PutContainer("Low/History.IE5/index.dat",
               test::BuildContainer({{"Visited: u@http://c/", 30}, {"Visited: u@http://a/", 40, u"A again"}}).bytes);
  {
    CURLHistory history;
    if (PlatformAnswered(history)) GTEST_SKIP() << "the platform's store answers here";
    EXPECT_EQ(Urls(history), (Texts{"http://a/", "http://b/"}));
  }
  OsVersion = "Vista";
  CURLHistory history;
  EXPECT_EQ(Urls(history), (Texts{"http://a/", "http://b/", "http://c/"}));
  EXPECT_EQ(history.Collection()[0]->Title(), "A again");
  EXPECT_EQ(Ticks(history.Collection()[0]->LastVisitedTime()), 40u);
}

TEST_F(URLHistoryTest, MissingStoreGivesAnEmptyCollection) {
  CURLHistory history;  // the folder holds no container
  if (PlatformAnswered(history)) GTEST_SKIP() << "the platform's store answers here";
  EXPECT_TRUE(history.Refresh("http", 0));
  EXPECT_TRUE(history.Collection().empty());

  ASSERT_EQ(RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                               L"History"),
            ERROR_SUCCESS);
  EXPECT_FALSE(history.Refresh("http", 0));
  EXPECT_TRUE(history.Collection().empty());
}

uint64_t LocalToFileTime(int year, int month, int day, int hour, int minute) {
  SYSTEMTIME local{};
  local.wYear = static_cast<WORD>(year);
  local.wMonth = static_cast<WORD>(month);
  local.wDay = static_cast<WORD>(day);
  local.wHour = static_cast<WORD>(hour);
  local.wMinute = static_cast<WORD>(minute);
  FILETIME localTime{}, utc{};
  SystemTimeToFileTime(&local, &localTime);
  LocalFileTimeToFileTime(&localTime, &utc);
  return Ticks(utc);
}

TEST_F(URLHistoryTest, UrlHistoryCategoryFillsThreeColumns) {
  std::string bytes = test::ReadFixture("ie/History.IE5/index.dat");
  if (bytes.empty()) GTEST_SKIP() << "fixture missing";
  PutContainer("History.IE5/index.dat", bytes);
  CURLHistory history;
  if (PlatformAnswered(history)) GTEST_SKIP() << "the platform's store answers here";
  test::RecordingListTarget list;
  ShowUrlHistory(list, history);
  EXPECT_EQ(list.log, (Texts{"panel1:Double Cilck to view", "kind:cache", "clear", "column:URL:5000",
                             "column:Title:5000", "column:Last Visited:2000", "hide", "row", "show",
                             "panel2:Total Records: 15"}));
  ASSERT_EQ(list.rows.size(), 15u);
  EXPECT_EQ(list.rows[0], (Texts{"http://www.msn.com/?ocid=iehp", "", list.rows[0][2]}));
  EXPECT_NE(list.rows[0][2].find("2015"), std::string::npos) << list.rows[0][2];
  EXPECT_NE(list.rows[0][2].find(':'), std::string::npos) << list.rows[0][2];
  auto rss = std::find_if(list.rows.begin(), list.rows.end(), [](const Texts& r) { return r[1] == "RSS"; });
  EXPECT_NE(rss, list.rows.end());

  // Shown again: the same rows, not twice as many.
  auto first = list.rows;
  ShowUrlHistory(list, history);
  EXPECT_EQ(list.rows, first);
}

TEST_F(URLHistoryTest, UrlHistoryCategoryShowsAVisitAtMidnightAsTheDateAlone) {
  PutContainer("History.IE5/index.dat",
               test::BuildContainer({{"Visited: u@http://midnight/", LocalToFileTime(2021, 3, 14, 0, 0)},
                                     {"Visited: u@http://noon/", LocalToFileTime(2021, 3, 14, 12, 30)},
                                     {"Visited: u@file:///C:/local.htm", LocalToFileTime(2021, 3, 14, 9, 0)}})
                   .bytes);
  CURLHistory history;
  if (PlatformAnswered(history)) GTEST_SKIP() << "the platform's store answers here";
  test::RecordingListTarget list;
  ShowUrlHistory(list, history);
  ASSERT_EQ(list.rows.size(), 2u);
  const std::string& midnight = list.rows[0][2];
  const std::string& noon = list.rows[1][2];
  EXPECT_NE(midnight.find("2021"), std::string::npos);
  EXPECT_EQ(midnight.find(':'), std::string::npos) << midnight;
  EXPECT_EQ(noon.substr(0, midnight.size()), midnight);
  EXPECT_NE(noon.find("30"), std::string::npos) << noon;
}

TEST_F(URLHistoryTest, UrlHistoryCategoryWithoutAStoreShowsAZeroCount) {
  ASSERT_EQ(RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                               L"History"),
            ERROR_SUCCESS);
  CURLHistory history;
  if (PlatformAnswered(history)) GTEST_SKIP() << "the platform's store answers here";
  test::RecordingListTarget list;
  list.panel2 = "Total Records: 8";
  ShowUrlHistory(list, history);
  EXPECT_EQ(list.columns.size(), 3u);
  EXPECT_TRUE(list.rows.empty());
  EXPECT_EQ(list.panel2, "Total Records: 0");
}

// The own store's enumerator keeps the contract of the platform's.
TEST_F(URLHistoryTest, OwnEnumeratorFollowsTheEnumeratorContract) {
  PutContainer("History.IE5/index.dat", test::BuildContainer({{"Visited: u@http://1/", 1},
                                                              {"Visited: u@ftp://2/", 2},
                                                              {"Visited: u@http://3/", 3, u"three"},
                                                              {"Visited: u@http://4/", 4}})
                                            .bytes);
  IEnumSTATURL* entries = nullptr;
  ASSERT_EQ(ContainerHistoryStore().EnumUrls(&entries), S_OK);
  ASSERT_NE(entries, nullptr);
  EXPECT_EQ(entries->SetFilter(L"http", 0), S_OK);
  STATURL records[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(entries->Next(3, records, &fetched), S_OK);
  ASSERT_EQ(fetched, 3u);
  EXPECT_STREQ(records[0].pwcsUrl, L"http://1/");
  EXPECT_EQ(records[0].pwcsTitle, nullptr);
  EXPECT_STREQ(records[1].pwcsUrl, L"http://3/");
  EXPECT_STREQ(records[1].pwcsTitle, L"three");
  EXPECT_EQ(Ticks(records[2].ftLastVisited), 4u);
  for (STATURL& r : records) {
    CoTaskMemFree(r.pwcsUrl);
    CoTaskMemFree(r.pwcsTitle);
  }
  STATURL last{};
  EXPECT_EQ(entries->Next(1, &last, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(last.pwcsUrl, nullptr);

  EXPECT_EQ(entries->Reset(), S_OK);
  EXPECT_EQ(entries->Skip(1), S_OK);
  IEnumSTATURL* copy = nullptr;
  ASSERT_EQ(entries->Clone(&copy), S_OK);
  EXPECT_EQ(copy->Next(1, &last, nullptr), S_OK);
  EXPECT_STREQ(last.pwcsUrl, L"http://3/");
  CoTaskMemFree(last.pwcsUrl);
  CoTaskMemFree(last.pwcsTitle);
  EXPECT_EQ(entries->Skip(5), S_FALSE);
  copy->Release();
  entries->Release();
}

}  // namespace
}  // namespace tmr
