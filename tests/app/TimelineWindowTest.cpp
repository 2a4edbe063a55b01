// The timeline in the real window: every category's times in one list,
// newest first; the time range and the text filter narrow it together; a
// row does what its own category does; it exports for a timeline server.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/MainWindow.h"
#include "app/ViewerServices.h"
#include "categories/Timeline.h"
#include "platform/FileDialogs.h"
#include "platform/LocalTimeText.h"
#include "platform/Shell.h"
#include "platform/WinText.h"
#include "support/FakeCategories.h"
#include "support/WinTestUtil.h"

namespace tmr {
namespace {

namespace fs = std::filesystem;

constexpr Instant kHour = 3600 * kMicrosecondsPerSecond;
constexpr Instant k2020 = 1577836800 * kMicrosecondsPerSecond;

class TimelineWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetShellOpenHook([this](HWND, const std::string& target, int) { opened_.push_back(target); });
    now_ = InstantNow();
    fakes_.Set(Category::kChromeUrlHistory, [](const ReadContext&, RowSink& rows, ReadProgress&) {
      for (Instant at : {k2020, k2020 + 48 * kHour}) {
        const std::string url = "http://chrome/" + std::to_string(at);
        const CellValue row[] = {CellValue::Text(url), CellValue::Text("Page"), CellValue::Number(2),
                                 CellValue::Time(at)};
        rows.AddRow(row);
      }
      return ReadOutcome::kRead;
    });
    fakes_.Set(Category::kFirefoxUrlHistory, [this](const ReadContext&, RowSink& rows, ReadProgress&) {
      for (Instant at : {k2020 + 24 * kHour, now_ - kHour / 6}) {
        const CellValue row[] = {CellValue::Text("http://firefox/"), CellValue::Text("Fox"), CellValue::Time(at)};
        rows.AddRow(row);
      }
      return ReadOutcome::kRead;
    });
    fakes_.Set(Category::kTimeline, [this](const ReadContext& context, RowSink& rows, ReadProgress& progress) {
      return ReadTimeline(fakes_.Table(), context, rows, progress);
    });
    viewer_ = std::make_unique<MainWindow>(fakes_.Table(), ViewerServices{});
    ASSERT_TRUE(viewer_->Create(SW_SHOWNORMAL));
  }
  void TearDown() override {
    SetShellOpenHook(nullptr);
    SetFileDialogHook(nullptr);
    SetFileDialogHookFilter(0);
  }
  std::string Count() const { return viewer_->Status().Text(2); }
  void SetPicker(HWND picker, Instant at) {
    SYSTEMTIME shown = ShownTimeOf(at);
    DateTime_SetSystemtime(picker, GDT_VALID, &shown);
  }

  test::FakeCategories fakes_;
  std::unique_ptr<MainWindow> viewer_;
  std::vector<std::string> opened_;
  Instant now_ = 0;
};

TEST_F(TimelineWindowTest, TimesOfEveryCategoryInterleaveAndTheRangeNarrowsThem) {
  MainWindow& v = *viewer_;
  EXPECT_FALSE(IsWindowVisible(v.RangeChoice()));
  v.ClickCategory(Category::kTimeline);
  ASSERT_EQ(v.Model().RowCount(), 4u);
  ListView list = v.List();
  EXPECT_EQ(list.ItemText(0, kTimelineCategory), "Firefox - URL History");
  EXPECT_EQ(list.ItemText(1, kTimelineItem), "http://chrome/" + std::to_string(k2020 + 48 * kHour));
  EXPECT_EQ(list.ItemText(2, kTimelineCategory), "Firefox - URL History");
  EXPECT_EQ(list.ItemText(3, kTimelineEvent), "Visited");
  EXPECT_EQ(list.ItemText(3, kTimelineDetails), "Page | 2");
  EXPECT_EQ(v.Status().Text(1), "0 rows without a time left out");
  EXPECT_TRUE(IsWindowVisible(v.RangeChoice()) && IsWindowVisible(v.RangeFrom()) && IsWindowVisible(v.RangeTo()));

  v.ChooseRange(MainWindow::QuickRange::kLastHour);
  EXPECT_EQ(v.Model().ShownCount(), 1u);
  EXPECT_EQ(Count(), "Total Records: 1 of 4");

  // From the second day to the third, then with the text filter too.
  SetPicker(v.RangeFrom(), k2020 + 24 * kHour);
  SetPicker(v.RangeTo(), k2020 + 48 * kHour);
  v.ChooseRange(MainWindow::QuickRange::kCustom);
  EXPECT_EQ(Count(), "Total Records: 2 of 4");
  SetWindowTextW(v.FilterBox(), L"CHROME");
  ASSERT_TRUE(test::WaitUntil([&] { return !v.FilterPending(); }, 5000));
  EXPECT_EQ(Count(), "Total Records: 1 of 4");
  EXPECT_EQ(list.ItemText(0, kTimelineItem), "http://chrome/" + std::to_string(k2020 + 48 * kHour));

  // A row opens what its category opens: the URL.
  list.SelectRow(0);
  v.DoubleClickRow();
  EXPECT_EQ(opened_, std::vector<std::string>{"http://chrome/" + std::to_string(k2020 + 48 * kHour)});

  SetWindowTextW(v.FilterBox(), L"");
  v.ChooseRange(MainWindow::QuickRange::kEverything);
  EXPECT_EQ(Count(), "Total Records: 4");
  // Another category has no range, and none is left applied.
  v.ChooseRange(MainWindow::QuickRange::kLastHour);
  v.ClickCategory(Category::kChromeUrlHistory);
  EXPECT_FALSE(IsWindowVisible(v.RangeChoice()));
  EXPECT_EQ(v.Model().ShownCount(), 2u);
}

// The progress dialog a category's long read brings up closes at the end of
// that read; its closing must not stop the categories after it.
TEST_F(TimelineWindowTest, ACategorysProgressDialogClosingLetsTheNextOneBeRead) {
  test::FakeCategories fakes;
  fakes.Set(Category::kFirefoxUrlHistory, [](const ReadContext&, RowSink& rows, ReadProgress& progress) {
    progress.BeginProgress(10);
    // Long enough for the dialog to come up.
    for (int i = 0; i < 40; ++i) {
      Sleep(10);
      progress.KeepGoing();
    }
    const CellValue row[] = {CellValue::Text("http://firefox/"), CellValue::Text(""), CellValue::Time(k2020)};
    rows.AddRow(row);
    progress.EndProgress();
    return ReadOutcome::kRead;
  });
  fakes.Set(Category::kChromeUrlHistory, [](const ReadContext&, RowSink& rows, ReadProgress&) {
    const CellValue row[] = {CellValue::Text("http://chrome/"), CellValue::Text(""), CellValue::Number(1),
                             CellValue::Time(k2020)};
    rows.AddRow(row);
    return ReadOutcome::kRead;
  });
  fakes.Set(Category::kTimeline, [&](const ReadContext& context, RowSink& rows, ReadProgress& progress) {
    return ReadTimeline(fakes.Table(), context, rows, progress);
  });
  MainWindow window(fakes.Table(), MakeViewerServices(nullptr));
  ASSERT_TRUE(window.Create(SW_SHOWNORMAL));
  window.ClickCategory(Category::kTimeline);
  EXPECT_EQ(window.Model().RowCount(), 2u);
}

// Leaves the timeline's exports for a timeline server where
// tests/app/check_export.py reads them back with Python's csv and json
// modules: the same rows, times exact to the microsecond.
TEST_F(TimelineWindowTest, TimesketchExportsForTheCheckByOtherReaders) {
  viewer_->ClickCategory(Category::kTimeline);
  const fs::path folder = TM_EXPORT_CHECK_DIR;
  fs::create_directories(folder);
  for (const auto& [name, filter] : {std::pair{"timeline.csv", 5u}, std::pair{"timeline.jsonl", 6u}}) {
    fs::remove(folder / name);
    SetFileDialogHookFilter(filter);
    SetFileDialogHook([&, path = (folder / name).string()](const FileDialogRequest& request, bool) {
      EXPECT_EQ(request.moreFilters.size(), 5u);
      return std::optional<std::string>(path);
    });
    SendMessageW(viewer_->hwnd(), WM_COMMAND, MainWindow::kMenuExportList, 0);
    ASSERT_TRUE(fs::exists(folder / name)) << name;
  }
  std::ofstream expected(folder / "timeline.expected.json", std::ios::binary);
  expected << "{\"timesketch\": true, \"rows\": [";
  ListView list = viewer_->List();
  for (int row = 0; row < list.ItemCount(); ++row) {
    const Instant at = viewer_->Model().Cell(static_cast<std::size_t>(row), kTimelineTime).TimeValue();
    const std::string item = list.ItemText(row, kTimelineItem);
    expected << (row ? ",\n" : "\n") << "[\"Visited: " << item << "\", " << at << ", \"Visited\", \""
             << list.ItemText(row, kTimelineCategory) << "\", \"" << item << "\", \""
             << list.ItemText(row, kTimelineDetails) << "\"]";
  }
  expected << "]}\n";
}

}  // namespace
}  // namespace tmr
