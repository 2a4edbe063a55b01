#include <gtest/gtest.h>

#include <vector>

#include "app/CommandLine.h"

namespace tmr {
namespace {

TEST(CommandLine, SourceFolderAndWhatIsRefused) {
  struct Case {
    std::vector<std::string> arguments;
    std::optional<std::string> folder;
    bool refused;
  };
  const Case cases[] = {
      {{}, std::nullopt, false},
      {{"--source", "D:\\image"}, "D:\\image", false},
      {{"--source=D:\\with space"}, "D:\\with space", false},
      {{"--source", ""}, std::nullopt, true},
      {{"--source"}, std::nullopt, true},
      {{"--source="}, std::nullopt, true},
      // The next option is no folder: the folder was left out.
      {{"--source", "--other"}, std::nullopt, true},
      {{"--source", "a", "--source", "b"}, std::nullopt, true},
      {{"D:\\image"}, std::nullopt, true},
      {{"--sourcex"}, std::nullopt, true},
      {{"--source", "a", "extra"}, std::nullopt, true},
  };
  for (const Case& c : cases) {
    const CommandLine parsed = ParseCommandLine(c.arguments);
    const std::string what = c.arguments.empty() ? "(none)" : c.arguments.front() + "...";
    EXPECT_EQ(parsed.sourceFolder, c.folder) << what;
    EXPECT_EQ(!parsed.error.empty(), c.refused) << what << ": " << parsed.error;
  }
}

// Collection without a window: what each option gives, and the ways of
// asking wrongly, which are refused whole (usage, exit code 2).
TEST(CommandLine, ExportReportAndTheirOptions) {
  const std::vector<std::string> full = {"--export",   "D:\\out",      "--format",
                                         "jsonl",      "--categories", "d1, chrome-cookies,",
                                         "--timeline", "--utc",        "--source=E:\\"};
  const CommandLine parsed = ParseCommandLine(full);
  EXPECT_EQ(parsed.error, "");
  EXPECT_TRUE(parsed.WithoutWindow());
  EXPECT_EQ(parsed.exportFolder, "D:\\out");
  EXPECT_EQ(parsed.format, ExportFormat::kJsonLines);
  EXPECT_EQ(parsed.categories, (std::vector<std::string>{"d1", "chrome-cookies"}));
  EXPECT_TRUE(parsed.timeline && parsed.utc);
  EXPECT_EQ(parsed.sourceFolder, "E:\\");

  const CommandLine report = ParseCommandLine(std::vector<std::string>{"--report", "r.htm", "--utc"});
  EXPECT_EQ(report.error, "");
  EXPECT_EQ(report.reportFile, "r.htm");
  EXPECT_EQ(ParseCommandLine(std::vector<std::string>{"--export", "x", "--format", "timesketch"}).format,
            ExportFormat::kTimesketchCsv);
  EXPECT_TRUE(ParseCommandLine(std::vector<std::string>{"--help"}).help);
  EXPECT_FALSE(ParseCommandLine(std::vector<std::string>{"--source", "x"}).WithoutWindow());

  const std::vector<std::vector<std::string>> refused = {{"--export", "a", "--report", "b"},
                                                         {"--format", "csv"},
                                                         {"--timeline"},
                                                         {"--export", "a", "--format", "xml"},
                                                         {"--export", "a", "--format"},
                                                         {"--export", "--timeline"},
                                                         {"--export", "a", "--categories", ","},
                                                         {"--report", "r", "--timeline"},
                                                         {"--export", "a", "--export", "b"},
                                                         {"--export", "a", "-x"}};
  for (const auto& arguments : refused) {
    const CommandLine wrong = ParseCommandLine(arguments);
    EXPECT_NE(wrong.error, "") << arguments[0] << " " << (arguments.size() > 1 ? arguments[1] : "");
    EXPECT_FALSE(wrong.exportFolder || wrong.reportFile || wrong.timeline);
  }
}

}  // namespace
}  // namespace tmr
