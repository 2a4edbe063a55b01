// "Times in UTC" on the readers' real stores: a known time shows its UTC
// text whatever the zone. tests/platform/CMakeLists.txt runs every test
// named *TimeZone* under several zones (TZ).
#include <windows.h>
#include <gtest/gtest.h>
#include <objbase.h>

#include <thread>

#include "app/MainWindow.h"
#include "core/ProgramState.h"
#include "platform/LocalTimeText.h"
#include "readers/ie/UrlHistory.h"
#include "support/BrowserTestSupport.h"
#include "support/FakeCategories.h"
#include "support/RecordingList.h"
#include "support/ScratchRegistry.h"
#include "support/TempDir.h"

namespace tmr {
namespace {

struct KnownTime {
  Category category;
  std::size_t column;
  DateTime utc;  // of the first row, as the store's own tools give it
  long long unixSeconds;
};

// The first row's time with the switch on and off; under a zone away from
// UTC the two differ, and only the second follows the zone.
void ExpectUtcThenLocal(const KnownTime& known) {
  for (bool utc : {true, false}) {
    SetTimesInUtc(utc);
    test::RecordingList list;
    test::ShowInRecorder(known.category, list);
    SetTimesInUtc(false);
    ASSERT_FALSE(list.rows.empty());
    ASSERT_GT(list.rows[0].size(), known.column);
    const std::string expected = utc ? GeneralDateText(known.utc) : test::ExpectedLocalText(known.unixSeconds);
    EXPECT_EQ(list.rows[0][known.column], expected) << (utc ? "UTC " : "local ") << static_cast<int>(known.category);
  }
}

TEST(TimesInUtcTimeZoneTest, BrowserTimesShowTheirUtcText) {
  test::BrowserProfile profile;
  profile.CopyRealDatabases();
  const KnownTime known[] = {
      // http://start.ubuntu.com/10.04/Google/, last_visit_time 12946651391000000
      {Category::kChromeUrlHistory, 3, {2011, 4, 7, 12, 3, 11}, 1302177791},
      // http://news.google.com/, last_visit_date 1309518981371935
      {Category::kFirefoxUrlHistory, 2, {2011, 7, 1, 11, 16, 21}, 1309518981},
  };
  for (const KnownTime& k : known) ExpectUtcThenLocal(k);
}

// An export formats its times on a thread of its own, with a cache of the
// settings of its own: its texts are the window's under every zone, and
// follow the switch at once, not a second later.
TEST(TimesInUtcTimeZoneTest, AnExportsOwnFormatWritesTheWindowsTextsOnItsThread) {
  const OwnClockCellFormat own;
  const std::pair<long long, DateTime> times[] = {{1302177791, {2011, 4, 7, 12, 3, 11}},
                                                  {1309518981, {2011, 7, 1, 11, 16, 21}}};
  for (bool utc : {false, true, false}) {
    SetTimesInUtc(utc);
    for (const auto& [unixSeconds, utcTime] : times) {
      std::string text;
      std::thread([&] { own.AppendTime(text, unixSeconds * kMicrosecondsPerSecond); }).join();
      EXPECT_EQ(text, utc ? GeneralDateText(utcTime) : test::ExpectedLocalText(unixSeconds))
          << (utc ? "UTC " : "local ") << unixSeconds;
    }
  }
  SetTimesInUtc(false);
}

TEST(TimesInUtcTimeZoneTest, InternetExplorerHistoryShowsItsUtcText) {
  const std::string container = test::ReadFixture("ie/History.IE5/index.dat");
  ASSERT_FALSE(container.empty());
  test::TempDir temp;
  temp.Write("History/History.IE5/index.dat", container);
  test::ScratchRegistry registry;
  registry.SetString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                     "History", temp.str() + "\\History");
  struct Apartment {
    Apartment() : com(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) { OsVersion = "xp"; }
    ~Apartment() {
      OsVersion.clear();
      if (SUCCEEDED(com)) CoUninitialize();
    }
    HRESULT com;
  } apartment;
  if (UrlHistory().AnsweredByPlatform()) GTEST_SKIP() << "the platform's store answers here";
  // http://www.msn.com/?ocid=iehp, last visited 2015-08-25T11:05:18.512Z
  ExpectUtcThenLocal({Category::kIeUrlHistory, 2, {2015, 8, 25, 11, 5, 18}, 1440500718});
}

// In the real window: the times on show change with the switch at once,
// without the store being read again, and a header click orders times as
// times (their texts, month first, would put 3/2/2022 before 12/1/2019).
TEST(TimesInUtcTimeZoneTest, TheWindowShowsItsTimesAnewAndSortsThemAsTimes) {
  SetTimesInUtc(false);
  test::FakeCategories fakes;
  const Instant times[] = {InstantOfShownTime({2022, 3, 0, 2, 13, 0, 0, 0}),
                           InstantOfShownTime({2019, 12, 0, 1, 8, 0, 0, 0}),
                           InstantOfShownTime({2022, 3, 0, 2, 1, 0, 0, 0})};
  fakes.Set(Category::kChromeUrlHistory, [&](const ReadContext&, RowSink& rows, ReadProgress&) {
    for (std::size_t i = 0; i < std::size(times); ++i) {
      const std::string url = "http://" + std::to_string(i) + "/";
      const CellValue row[] = {CellValue::Text(url), CellValue::Text(""), CellValue::Number(1),
                               CellValue::Time(times[i])};
      rows.AddRow(row);
    }
    return ReadOutcome::kRead;
  });
  MainWindow viewer(fakes.Table(), ViewerServices{});
  ASSERT_TRUE(viewer.Create(SW_SHOWNORMAL));
  viewer.ClickCategory(Category::kChromeUrlHistory);
  ListView list = viewer.List();
  auto shownTimes = [&] {
    std::vector<std::string> texts;
    for (int row = 0; row < list.ItemCount(); ++row) texts.push_back(list.ItemText(row, 3));
    return texts;
  };
  auto textOf = [](Instant instant) { return ViewerCellFormat().Text(CellValue::Time(instant)); };
  const std::vector<std::string> local = {textOf(times[0]), textOf(times[1]), textOf(times[2])};
  EXPECT_EQ(shownTimes(), local);
  SendMessageW(viewer.hwnd(), WM_COMMAND, MainWindow::kMenuTimesInUtc, 0);
  const std::vector<std::string> utc = {textOf(times[0]), textOf(times[1]), textOf(times[2])};
  EXPECT_EQ(shownTimes(), utc);
  if (LocalUtcOffsetHours() != 0) {
    EXPECT_NE(utc, local);
  }
  EXPECT_EQ(fakes.Runs(Category::kChromeUrlHistory), 1);
  SendMessageW(viewer.hwnd(), WM_COMMAND, MainWindow::kMenuTimesInUtc, 0);
  EXPECT_FALSE(TimesInUtc());

  viewer.ClickColumn(3);
  EXPECT_EQ(shownTimes(), (std::vector<std::string>{local[1], local[2], local[0]}));
  viewer.ClickColumn(3);
  EXPECT_EQ(shownTimes(), (std::vector<std::string>{local[0], local[2], local[1]}));
}

}  // namespace
}  // namespace tmr
