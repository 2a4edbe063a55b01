// The URL history store and the a1 category. Under Wine the platform's
// object exists but cannot enumerate, so these calls are answered by the
// program's own store, reading the containers the scratch registry's
// "History" folder points at.
#include <windows.h>
#include <gtest/gtest.h>
#include <objbase.h>

#include <algorithm>

#include "core/ProgramState.h"
#include "readers/ie/IeReaders.h"
#include "readers/ie/UrlHistory.h"
#include "support/ContainerBuilder.h"
#include "support/RecordingList.h"
#include "support/ScratchRegistry.h"
#include "support/TempDir.h"

namespace tmr {
namespace {

constexpr char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

using Texts = std::vector<std::string>;

uint64_t Ticks(const FILETIME& time) { return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

uint64_t LocalTicks(int year, int month, int day, int hour, int minute) {
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

Texts Urls(const UrlHistory& history) {
  Texts urls;
  for (const auto& item : history) urls.push_back(item->Url());
  return urls;
}

class UrlHistoryTest : public ::testing::Test {
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
  void PutContainer(const std::string& relative, const std::string& bytes) {
    temp_.Write("History/" + relative, bytes);
  }

  HRESULT com_ = E_FAIL;
  test::ScratchRegistry scratch_;
  test::TempDir temp_;
  test::RecordingList list_;
};

// Where the platform's own store answers, the containers of these tests
// are not what it lists.
#define SKIP_IF_THE_PLATFORM_ANSWERS(history) \
  if ((history).AnsweredByPlatform()) GTEST_SKIP() << "the platform's store answers here"

TEST_F(UrlHistoryTest, RealHistoryContainerFillsTheCategory) {
  std::string bytes = test::ReadFixture("ie/History.IE5/index.dat");
  if (bytes.empty()) GTEST_SKIP() << "fixture missing";
  PutContainer("History.IE5/index.dat", bytes);
  UrlHistory history;
  SKIP_IF_THE_PLATFORM_ANSWERS(history);
  EXPECT_EQ(history.Collection().size(), 15u);  // the constructor's Refresh("", 0)
  EXPECT_EQ(Ticks(history.Collection()[0]->LastVisitedTime()), 130849743185120000u);

  test::ShowInRecorder(Category::kIeUrlHistory, list_);
  EXPECT_EQ(list_.log, (Texts{"panel1:Double Cilck to view", "hide", "clear", "column:URL:5000", "column:Title:5000",
                              "column:Last Visited:2000", "row", "show", "panel2:Total Records: 15"}));
  ASSERT_EQ(list_.rows.size(), 15u);
  EXPECT_EQ(list_.rows[0][0], "http://www.msn.com/?ocid=iehp");
  EXPECT_EQ(list_.rows[0][1], "");
  EXPECT_NE(list_.rows[0][2].find("2015"), std::string::npos) << list_.rows[0][2];
  EXPECT_TRUE(std::any_of(list_.rows.begin(), list_.rows.end(), [](const Texts& r) { return r[1] == "RSS"; }));
  // Shown again: the same rows, not twice as many.
  auto first = list_.rows;
  test::ShowInRecorder(Category::kIeUrlHistory, list_);
  EXPECT_EQ(list_.rows, first);
}

TEST_F(UrlHistoryTest, FilterKeepsUrlsBeginningWithThePrefix) {
  PutContainer("History.IE5/index.dat", test::BuildContainer({{"Visited: u@http://plain/", 1, u"Plain"},
                                                              {"Visited: u@file:///C:/doc.txt", 2},
                                                              {"Visited: u@https://secure/", 3, u"S\u00e9cure"},
                                                              {"Visited: u@ftp://files/", 4},
                                                              {"Visited: u@HTTP://upper/", 5}})
                                            .bytes);
  UrlHistory history;
  SKIP_IF_THE_PLATFORM_ANSWERS(history);
  EXPECT_EQ(Urls(history).size(), 5u);
  history.Refresh("http", 0);
  EXPECT_EQ(Urls(history), (Texts{"http://plain/", "https://secure/"}));
  EXPECT_EQ(history.Collection()[1]->Title(),
            "S\xC3\xA9"
            "cure");
  history.Refresh("ftp", 0);
  EXPECT_EQ(Urls(history), (Texts{"ftp://files/"}));
}

TEST_F(UrlHistoryTest, OnVistaTheLowContainerFollowsAndSharedUrlsAppearOnce) {
  PutContainer("History.IE5/index.dat",
               test::BuildContainer({{"Visited: u@http://a/", 10, u"A"}, {"Visited: u@http://b/", 20}}).bytes);
  PutContainer("Low/History.IE5/index.dat",
               test::BuildContainer({{"Visited: u@http://c/", 30}, {"Visited: u@http://a/", 40, u"A again"}}).bytes);
  UrlHistory history;
  SKIP_IF_THE_PLATFORM_ANSWERS(history);
  EXPECT_EQ(Urls(history), (Texts{"http://a/", "http://b/"}));
  OsVersion = "Vista";
  history.Refresh("", 0);
  EXPECT_EQ(Urls(history), (Texts{"http://a/", "http://b/", "http://c/"}));
  EXPECT_EQ(history.Collection()[0]->Title(), "A again");
  EXPECT_EQ(Ticks(history.Collection()[0]->LastVisitedTime()), 40u);
}

TEST_F(UrlHistoryTest, AVisitAtLocalMidnightShowsTheDateAloneInEveryTimeZone) {
  PutContainer("History.IE5/index.dat",
               test::BuildContainer({{"Visited: u@http://midnight/", LocalTicks(2021, 3, 14, 0, 0)},
                                     {"Visited: u@http://noon/", LocalTicks(2021, 3, 14, 12, 30)}})
                   .bytes);
  UrlHistory history;
  SKIP_IF_THE_PLATFORM_ANSWERS(history);
  test::ShowInRecorder(Category::kIeUrlHistory, list_);
  ASSERT_EQ(list_.rows.size(), 2u);
  const std::string& midnight = list_.rows[0][2];
  const std::string& noon = list_.rows[1][2];
  EXPECT_NE(midnight.find("2021"), std::string::npos);
  EXPECT_EQ(midnight.find(':'), std::string::npos) << midnight;
  EXPECT_EQ(noon.substr(0, midnight.size()), midnight);
  EXPECT_NE(noon.find("30"), std::string::npos) << noon;
}

TEST_F(UrlHistoryTest, WithoutAStoreTheCategoryShowsAZeroCount) {
  UrlHistory history;  // the folder holds no container
  SKIP_IF_THE_PLATFORM_ANSWERS(history);
  EXPECT_TRUE(history.Refresh("http", 0));
  EXPECT_TRUE(history.Collection().empty());
  ASSERT_EQ(RegDeleteKeyValueW(HKEY_CURRENT_USER,
                               L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", L"History"),
            ERROR_SUCCESS);
  EXPECT_FALSE(history.Refresh("http", 0));
  list_.panel2 = "Total Records: 8";
  test::ShowInRecorder(Category::kIeUrlHistory, list_);
  EXPECT_EQ(list_.columns.size(), 3u);
  EXPECT_TRUE(list_.rows.empty());
  EXPECT_EQ(list_.panel2, "Total Records: 0");
}

}  // namespace
}  // namespace tmr
