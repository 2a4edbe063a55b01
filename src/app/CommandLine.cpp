#include "app/CommandLine.h"

#include <string_view>

namespace tmr {

CommandLine ParseCommandLine(std::span<const std::string> arguments) {
  CommandLine parsed;
  constexpr std::string_view kSource = "--source";
  for (size_t at = 0; at < arguments.size() && parsed.error.empty(); ++at) {
    const std::string_view argument = arguments[at];
    std::optional<std::string> folder;
    if (argument == kSource) {
      // An option right after it means the folder was left out.
      if (at + 1 < arguments.size() && !arguments[at + 1].starts_with("--")) folder = arguments[++at];
    } else if (argument.starts_with(kSource) && argument.size() > kSource.size() && argument[kSource.size()] == '=') {
      folder = std::string(argument.substr(kSource.size() + 1));
    } else {
      parsed.error = "Unknown argument: " + std::string(argument);
      break;
    }
    if (!folder || folder->empty()) {
      parsed.error = "--source needs a folder.";
    } else if (parsed.sourceFolder) {
      parsed.error = "--source is given more than once.";
    } else {
      parsed.sourceFolder = std::move(folder);
    }
  }
  if (!parsed.error.empty()) parsed.sourceFolder.reset();
  return parsed;
}

}  // namespace tmr
