#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <new>
#include <string_view>
#include <vector>

#include "report/ReportRun.h"
#include "report/ReportSections.h"
#include "support/FakeCategories.h"
#include "support/RecordingList.h"

namespace tmr {
namespace {

class RecordingProgress : public ReportProgress {
 public:
  void SetStatus(const std::string& text) override { log.push_back("status:" + text); }
  double Maximum() const override { return maximum; }
  void SetMaximum(double m) override { maximum = m; }
  void SetValue(double v) override { values.push_back(v); }
  void ShowSkip(bool visible) override { log.push_back(visible ? "skip:show" : "skip:hide"); }

  double maximum = 22;  // as the dialog sets it when it loads
  std::vector<double> values;
  std::vector<std::string> log;
};

struct Written {
  std::vector<std::string> lines;
  RecordingProgress progress;
};

ReportGroupSet Groups(std::initializer_list<ReportGroup> groups) {
  ReportGroupSet chosen;
  for (ReportGroup group : groups) chosen.Set(group, true);
  return chosen;
}

void WriteWith(Written& run, const ReportGroupSet& groups, const SectionReader& read) {
  HtmlReportWriter writer([&run](std::string_view line) { run.lines.emplace_back(line); }, UtcIsoCellFormat());
  WriteReport(writer, Categories(), groups, {"PC", "me", "12/8/2026", "http://site.invalid"}, read, run.progress);
}

size_t Count(const std::vector<std::string>& lines, const std::string& part) {
  return static_cast<size_t>(std::count_if(lines.begin(), lines.end(),
                                           [&](const std::string& l) { return l.find(part) != std::string::npos; }));
}

TEST(WriteReport, OnlyWindowsWritesSections5To12) {
  Written run;
  std::vector<std::string_view> read;
  WriteWith(run, Groups({ReportGroup::kWindows}), [&](const CategoryInfo& category, RowSink& rows) {
    read.push_back(category.key);
    rows.AddRow("entry");
  });
  EXPECT_EQ(run.progress.maximum, 30);
  EXPECT_EQ(run.progress.values, (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(read.size(), 8u);
  for (std::string_view key : read) EXPECT_EQ(Categories().FindCategory(key)->treeGroup, TreeGroup::kWindows);
  EXPECT_EQ(run.progress.log.front(), "status:Start creating report...");
  EXPECT_EQ(run.progress.log[1], "skip:show");  // shown and hidden at once
  EXPECT_EQ(run.progress.log[2], "skip:hide");
  EXPECT_EQ(run.progress.log[3], "status:Creating Windows recent documents report...");
  EXPECT_EQ(Count(run.lines, "<table class=\"style1\"><tr>"), 8u);
  EXPECT_EQ(run.lines.back(), "</body></html>");
}

TEST(WriteReport, TheMaximumOnlyGrowsAndSection4FollowsCheck5) {
  Written run;
  run.progress.maximum = 30;  // left from an earlier run of the same dialog
  bool indexCollected = false;
  SectionReader read = [&](const CategoryInfo& category, RowSink& rows) {
    if (category.id != Category::kIeIndexFile) return;
    indexCollected = true;
    rows.AddRow("http://x/");
  };
  WriteWith(run, Groups({ReportGroup::kInternetExplorer, ReportGroup::kIndexFile}), read);
  EXPECT_EQ(run.progress.maximum, 34);
  EXPECT_TRUE(indexCollected);
  auto show = std::find(run.progress.log.begin(), run.progress.log.end(), "skip:show");
  ASSERT_NE(show, run.progress.log.end());
  EXPECT_EQ(*(show + 1), "status:Creating Index.dat report...this may take 2-3 minute if the file is large");
  EXPECT_EQ(*(show + 2), "skip:hide");

  Written without;
  indexCollected = false;
  WriteWith(without, Groups({ReportGroup::kInternetExplorer}), read);
  EXPECT_FALSE(indexCollected);
  EXPECT_EQ(Count(without.lines, "Internet_Explorer-Index.dat File"), 0u);
}

TEST(WriteReport, EveryLinkReachesASectionAndIeRowsComeFromTheStore) {
  Written run;
  WriteWith(run,
            Groups({ReportGroup::kInternetExplorer, ReportGroup::kWindows, ReportGroup::kIndexFile,
                    ReportGroup::kFirefox, ReportGroup::kChrome, ReportGroup::kEdge, ReportGroup::kWindowsToday}),
            [](const CategoryInfo& category, RowSink& rows) {
              if (category.id != Category::kIeUrlHistory) return;
              rows.AddTextRow(std::vector<std::string_view>{"http://a/", "Title A", "1/1/2020"});
              rows.AddTextRow(std::vector<std::string_view>{"https://b/", "", "1/2/2020"});
            });
  EXPECT_EQ(run.progress.values.size(), Categories().categories.size());
  for (const CategoryInfo& category : Categories().categories) {
    std::string anchor = "<a name=\"" + std::string(category.report.anchor) + "\">";
    EXPECT_EQ(Count(run.lines, anchor), 1u) << anchor;
    EXPECT_EQ(Count(run.lines, "href=\"#" + std::string(category.report.anchor) + "\""), 1u) << category.key;
  }
  EXPECT_EQ(Count(run.lines, ">http://a/</td>"), 1u);
  EXPECT_EQ(Count(run.lines, ">https://b/</td>"), 1u);
}

// A reader that fails part-way (the reading ran out of memory): its section
// keeps the rows it gave and the sections after it are written.
TEST(WriteReport, AFailingSectionKeepsItsRowsAndTheReportGoesOn) {
  test::FakeCategories fakes;
  fakes.Set(Category::kIeUrlHistory, [](const ReadContext&, RowSink& rows, ReadProgress&) -> ReadOutcome {
    rows.AddTextRow(std::vector<std::string_view>{"http://before.example/", "Before", "1/1/2020"});
    throw std::bad_alloc();
  });
  fakes.SetRows(Category::kIeTypedUrls, {{"http://typed.example/"}});
  Written run;
  test::RecordingList progress;
  HtmlReportWriter writer([&run](std::string_view line) { run.lines.emplace_back(line); }, UtcIsoCellFormat());
  WriteReport(
      writer, fakes.Table(), Groups({ReportGroup::kInternetExplorer}), {"PC", "me", "12/8/2026", "http://site.invalid"},
      [&](const CategoryInfo& category, RowSink& rows) { ReadSectionRows(category, rows, progress); }, run.progress);
  EXPECT_EQ(Count(run.lines, ">http://before.example/</td>"), 1u);
  EXPECT_EQ(Count(run.lines, "http://typed.example/"), 1u);
  EXPECT_EQ(fakes.Runs(Category::kIeCookies), 1);
  EXPECT_EQ(run.lines.back(), "</body></html>");
}

TEST(WriteReport, NoGroupGivesHeaderIndexAndFooter) {
  Written run;
  WriteWith(run, Groups({}), nullptr);
  EXPECT_EQ(run.progress.maximum, 22);
  EXPECT_TRUE(run.progress.values.empty());
  EXPECT_EQ(Count(run.lines, "<table class=\"style1\"><tr>"), 0u);
  EXPECT_EQ(run.lines[run.lines.size() - 2], "<p>Created by <a href=\"http://site.invalid\">Tracemere</a></p>");
}

}  // namespace
}  // namespace tmr
