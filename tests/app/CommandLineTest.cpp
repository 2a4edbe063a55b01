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

}  // namespace
}  // namespace tmr
