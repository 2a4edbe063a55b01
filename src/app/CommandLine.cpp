#include "app/CommandLine.h"

#include <string_view>

#include "core/TextUtil.h"

namespace tmr {
namespace {

struct Option {
  std::string_view name;
  bool takesValue;
};

constexpr Option kOptions[] = {{"--source", true},     {"--export", true},    {"--report", true}, {"--format", true},
                               {"--categories", true}, {"--timeline", false}, {"--utc", false},   {"--help", false}};

std::optional<ExportFormat> FormatNamed(std::string_view name) {
  if (name == "csv") return ExportFormat::kCsv;
  if (name == "tsv") return ExportFormat::kTabSeparated;
  if (name == "html") return ExportFormat::kHtml;
  if (name == "jsonl") return ExportFormat::kJsonLines;
  if (name == "timesketch") return ExportFormat::kTimesketchCsv;
  return std::nullopt;
}

// Applies one option and its value; the error, or "".
std::string Apply(CommandLine& parsed, std::string_view name, const std::string& value, bool& formatGiven) {
  auto once = [&](std::optional<std::string>& slot) -> std::string {
    if (slot) return std::string(name) + " is given more than once.";
    slot = value;
    return {};
  };
  if (name == "--source") return once(parsed.sourceFolder);
  if (name == "--export") return once(parsed.exportFolder);
  if (name == "--report") return once(parsed.reportFile);
  if (name == "--format") {
    const auto format = FormatNamed(value);
    if (!format) return "Unknown format: " + value;
    if (formatGiven) return "--format is given more than once.";
    formatGiven = true;
    parsed.format = *format;
    return {};
  }
  if (name == "--categories") {
    if (!parsed.categories.empty()) return "--categories is given more than once.";
    if (value == "all") {
      parsed.categories.clear();
      return {};
    }
    for (const std::string& key : Split(value, ",")) {
      if (!Trim(key).empty()) parsed.categories.push_back(Trim(key));
    }
    if (parsed.categories.empty()) return "--categories needs keys.";
    return {};
  }
  if (name == "--timeline") parsed.timeline = true;
  if (name == "--utc") parsed.utc = true;
  if (name == "--help") parsed.help = true;
  return {};
}

}  // namespace

CommandLine ParseCommandLine(std::span<const std::string> arguments) {
  CommandLine parsed;
  bool formatGiven = false;
  bool categoriesGiven = false;
  for (std::size_t at = 0; at < arguments.size() && parsed.error.empty(); ++at) {
    const std::string_view argument = arguments[at];
    const Option* option = nullptr;
    std::optional<std::string> value;
    for (const Option& known : kOptions) {
      if (argument == known.name) {
        option = &known;
      } else if (known.takesValue && argument.starts_with(known.name) && argument.size() > known.name.size() &&
                 argument[known.name.size()] == '=') {
        option = &known;
        value = std::string(argument.substr(known.name.size() + 1));
      }
      if (option) break;
    }
    if (!option) {
      parsed.error = "Unknown argument: " + std::string(argument);
      break;
    }
    // An option right after one that takes a value means the value was left out.
    if (option->takesValue && !value && at + 1 < arguments.size() && !arguments[at + 1].starts_with("--")) {
      value = arguments[++at];
    }
    if (option->takesValue && (!value || value->empty())) {
      parsed.error = std::string(option->name) + " needs a value.";
      break;
    }
    categoriesGiven = categoriesGiven || option->name == "--categories";
    parsed.error = Apply(parsed, option->name, value.value_or(""), formatGiven);
  }
  if (parsed.error.empty() && parsed.exportFolder && parsed.reportFile) {
    parsed.error = "--export and --report do not go together.";
  }
  if (parsed.error.empty() && !parsed.exportFolder &&
      (formatGiven || categoriesGiven || parsed.timeline || (parsed.utc && !parsed.reportFile))) {
    parsed.error = "--format, --categories, --timeline and --utc go with --export (--utc also with --report).";
  }
  if (!parsed.error.empty()) {
    CommandLine refused;
    refused.error = std::move(parsed.error);
    return refused;
  }
  return parsed;
}

}  // namespace tmr
