// The command history PowerShell's line editor keeps per user
// (%APPDATA%\Microsoft\Windows\PowerShell\PSReadLine\ConsoleHost_history.txt):
// UTF-8 text, one command a line, oldest first. A command of several lines
// is stored with a backtick ending every line but its last.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Utf8Text.h"

namespace tmr {

// The commands of the file's text in order, the lines of a multi-line
// command joined by "\n" with their backticks dropped, as the editor reads
// them back. A leading byte order mark is skipped; blank lines give no
// command. Each line is decoded on its own (see Utf8Decode), so a damaged
// byte cannot run into the next line.
std::vector<std::string> SplitPowerShellHistory(std::string_view text, const StrayByteTable& stray);

}  // namespace tmr
