#include "core/CookieRules.h"

namespace tmr {

CookieEntry ClassifyCookieEntry(std::string_view name) {
  if (name.find('@') != std::string_view::npos && name != "index.dat" && name != "Low") return CookieEntry::kListName;
  if (name.find(".txt") != std::string_view::npos) return CookieEntry::kReadFile;
  return CookieEntry::kSkip;
}

std::optional<std::string_view> FirstTextLine(std::string_view content) {
  if (content.empty()) return std::nullopt;
  return content.substr(0, content.find('\r'));
}

std::optional<std::string> CookieSiteFromContent(std::string_view content) {
  std::optional<std::string_view> line = FirstTextLine(content);
  if (!line) return std::nullopt;
  size_t first = line->find('\n');
  if (first == std::string_view::npos) return std::nullopt;
  size_t second = line->find('\n', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  size_t third = line->find('\n', second + 1);
  return std::string(line->substr(second + 1, third == std::string_view::npos ? third : third - second - 1));
}

}  // namespace tmr
