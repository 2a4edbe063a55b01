// PowerShell's command history file, as its line editor writes it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/PowerShellHistory.h"

namespace tmr {
namespace {

using Commands = std::vector<std::string>;

Commands Split(std::string_view text) { return SplitPowerShellHistory(text, Latin1StrayBytes()); }

TEST(PowerShellHistory, CommandsInOrder) {
  EXPECT_EQ(Split("Get-Process\nGet-ChildItem C:\\\n"), (Commands{"Get-Process", "Get-ChildItem C:\\"}));
  // A byte order mark, CR LF, blank lines and a last line without its end.
  EXPECT_EQ(Split("\xEF\xBB\xBFls\r\n\r\n\ncd ..\r\nexit"), (Commands{"ls", "cd ..", "exit"}));
  // A multi-line command: every line but the last ends with a backtick.
  EXPECT_EQ(Split("foreach ($f in ls) {`\r\n  $f.Name`\r\n}\r\nwhoami\r\n"),
            (Commands{"foreach ($f in ls) {\n  $f.Name\n}", "whoami"}));
  // An empty line inside one stays in it.
  EXPECT_EQ(Split("@\"`\n`\nx\n"), (Commands{"@\"\n\nx"}));
  // A lone CR ends a line too, as the editor reads the file.
  EXPECT_EQ(Split("a\rb"), (Commands{"a", "b"}));
  // Cut after a continued line: the start of the command is still there.
  EXPECT_EQ(Split("ping host`\n"), (Commands{"ping host"}));
  EXPECT_EQ(Split("`\n"), Commands{});
  EXPECT_EQ(Split(""), Commands{});
  EXPECT_EQ(Split("\xEF\xBB\xBF"), Commands{});
  // A backtick inside a line is PowerShell's escape and stays.
  EXPECT_EQ(Split("echo `$HOME\n"), (Commands{"echo `$HOME"}));
}

TEST(PowerShellHistory, DamagedBytesStayOnTheirLine) {
  // A lead byte that announces three bytes just before a line end must not
  // swallow the next command's first bytes.
  const Commands commands = Split("echo \xE2\nGet-Date\n\xA9 x\n");
  ASSERT_EQ(commands.size(), 3u);
  EXPECT_EQ(commands[1], "Get-Date");
  EXPECT_EQ(commands[2], "\xC2\xA9 x");
  EXPECT_EQ(commands[0].substr(0, 5), "echo ");
}

}  // namespace
}  // namespace tmr
