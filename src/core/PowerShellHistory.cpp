#include "core/PowerShellHistory.h"

namespace tmr {

std::vector<std::string> SplitPowerShellHistory(std::string_view text, const StrayByteTable& stray) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  std::vector<std::string> commands;
  std::string command;
  bool continued = false;
  std::size_t at = 0;
  while (at < text.size()) {
    // The editor reads the file by .NET's lines: CR, LF and CR LF each end one.
    std::size_t end = text.find_first_of("\r\n", at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(at, end - at);
    at = end;
    if (at < text.size()) {
      ++at;
      if (text[end] == '\r' && at < text.size() && text[at] == '\n') ++at;
    }

    if (line.ends_with('`')) {
      Utf8DecodeAppend(command, line.substr(0, line.size() - 1), stray);
      command += '\n';
      continued = true;
      continue;
    }
    Utf8DecodeAppend(command, line, stray);
    if (!command.empty()) commands.push_back(std::move(command));
    command.clear();
    continued = false;
  }
  // A file cut after a continued line still holds that command's start.
  if (continued) {
    command.pop_back();
    if (!command.empty()) commands.push_back(std::move(command));
  }
  return commands;
}

}  // namespace tmr
