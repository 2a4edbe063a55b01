#include <gtest/gtest.h>

#include <algorithm>

#include "report/ReportRun.h"

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

void WriteWith(Written& run, const ReportGroups& groups, const ReportSources& sources) {
  HtmlReportWriter writer([&run](const std::string& line) { run.lines.push_back(line); });
  WriteReport(writer, groups, {"PC", "me", "12/8/2026", "http://site.invalid"}, sources, run.progress);
}

size_t Count(const std::vector<std::string>& lines, const std::string& part) {
  return static_cast<size_t>(std::count_if(lines.begin(), lines.end(),
                                           [&](const std::string& l) { return l.find(part) != std::string::npos; }));
}

TEST(WriteReport, OnlyWindowsWritesSections5To12) {
  Written run;
  ReportSources sources;
  std::vector<int> collected;
  for (int n = 2; n <= 22; ++n) {
    sources.sections[static_cast<size_t>(n)] = [n, &collected] {
      collected.push_back(n);
      return EntryList{"", "entry " + std::to_string(n)};
    };
  }
  WriteWith(run, {false, true, false, false, false}, sources);
  EXPECT_EQ(run.progress.maximum, 30);
  EXPECT_EQ(run.progress.values, (std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(collected, (std::vector<int>{5, 6, 7, 8, 9, 10, 11, 12}));
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
  ReportSources sources;
  sources.sections[4] = [&] {
    indexCollected = true;
    return EntryList{"", "http://x/"};
  };
  WriteWith(run, {true, false, false, false, true}, sources);
  EXPECT_EQ(run.progress.maximum, 34);
  EXPECT_TRUE(indexCollected);
  auto show = std::find(run.progress.log.begin(), run.progress.log.end(), "skip:show");
  ASSERT_NE(show, run.progress.log.end());
  EXPECT_EQ(*(show + 1), "status:Creating Index.dat report...this may take 2-3 minute if the file is large");
  EXPECT_EQ(*(show + 2), "skip:hide");

  Written without;
  indexCollected = false;
  WriteWith(without, {true, false, false, false, false}, sources);
  EXPECT_FALSE(indexCollected);
  EXPECT_EQ(Count(without.lines, "Internet_Explorer-Index.dat File"), 0u);
}

TEST(WriteReport, EveryLinkReachesASectionAndIeRowsComeFromTheStore) {
  Written run;
  ReportSources sources;
  sources.ieHistory = [](const ReportSources::ItemSink& add) {
    add("Title A", "http://a/", "1/1/2020");
    add("", "https://b/", "1/2/2020");
  };
  WriteWith(run, {true, true, true, true, true}, sources);
  EXPECT_EQ(run.progress.values.size(), 22u);
  for (int n = 1; n <= 22; ++n) {
    std::string anchor = std::string("<a name=\"") + ReportSection(n).anchor + "\">";
    EXPECT_EQ(Count(run.lines, anchor), 1u) << anchor;
    EXPECT_EQ(Count(run.lines, std::string("href=\"#") + ReportSection(n).anchor + "\""), 1u) << n;
  }
  EXPECT_EQ(Count(run.lines, ">http://a/</td>"), 1u);
  EXPECT_EQ(Count(run.lines, ">https://b/</td>"), 1u);
}

TEST(WriteReport, NoGroupGivesHeaderIndexAndFooter) {
  Written run;
  WriteWith(run, {false, false, false, false, false}, {});
  EXPECT_EQ(run.progress.maximum, 22);
  EXPECT_TRUE(run.progress.values.empty());
  EXPECT_EQ(Count(run.lines, "<table class=\"style1\"><tr>"), 0u);
  EXPECT_EQ(run.lines[run.lines.size() - 2], "<p>Created by <a href=\"http://site.invalid\">Tracemere</a></p>");
}

}  // namespace
}  // namespace tmr
