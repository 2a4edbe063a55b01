#include "core/BrowserProfileLists.h"

#include "core/JsonText.h"
#include "core/TextUtil.h"

namespace tmr {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool SameIgnoringCase(std::string_view a, std::string_view b) { return ToLowerAscii(a) == ToLowerAscii(b); }

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && SameIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool LooksAbsolute(std::string_view path) {
  return (path.size() >= 2 && path[1] == ':') || StartsWith(path, "\\") || StartsWith(path, "/");
}

std::string WindowsPath(std::string_view path) { return ReplaceAll(path, "/", "\\"); }

std::string Resolve(std::string_view path, bool relative, std::string_view firefoxFolder) {
  if (!relative) return WindowsPath(path);
  std::string folder(firefoxFolder);
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder + WindowsPath(path);
}

}  // namespace

std::optional<std::string> IniSection::Get(std::string_view key) const {
  for (const auto& [valueKey, value] : values) {
    if (SameIgnoringCase(valueKey, key)) return value;
  }
  return std::nullopt;
}

std::vector<IniSection> ParseIni(std::string_view text) {
  std::vector<IniSection> sections;
  // A byte-order mark is no part of the first line.
  if (StartsWith(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = TrimBlanks(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.front() == '[' && line.back() == ']') {
      sections.push_back({std::string(TrimBlanks(line.substr(1, line.size() - 2))), {}});
      continue;
    }
    const auto equals = line.find('=');
    if (equals == std::string_view::npos || sections.empty()) continue;
    sections.back().values.emplace_back(std::string(TrimBlanks(line.substr(0, equals))),
                                        std::string(TrimBlanks(line.substr(equals + 1))));
  }
  return sections;
}

std::vector<BrowserProfile> FirefoxProfiles(std::string_view profilesIni, std::string_view firefoxFolder) {
  std::vector<BrowserProfile> profiles;
  for (const IniSection& section : ParseIni(profilesIni)) {
    if (!StartsWithIgnoringCase(section.name, "Profile")) continue;
    auto path = section.Get("Path");
    if (!path || path->empty()) continue;
    const bool relative = section.Get("IsRelative").value_or("") == "1";
    profiles.push_back({section.Get("Name").value_or(*path), Resolve(*path, relative, firefoxFolder)});
  }
  return profiles;
}

std::optional<std::string> DefaultFirefoxProfile(std::string_view profilesIni, std::string_view firefoxFolder) {
  const std::vector<IniSection> sections = ParseIni(profilesIni);
  for (const IniSection& install : sections) {
    if (!StartsWithIgnoringCase(install.name, "Install")) continue;
    auto path = install.Get("Default");
    if (!path || path->empty()) break;
    // The installation names a profile by its Path; whether that is relative
    // is that profile's IsRelative, or the path's own look when no profile
    // lists it.
    bool relative = !LooksAbsolute(*path);
    for (const IniSection& profile : sections) {
      if (StartsWithIgnoringCase(profile.name, "Profile") && profile.Get("Path") == path) {
        relative = profile.Get("IsRelative").value_or("") == "1";
        break;
      }
    }
    return Resolve(*path, relative, firefoxFolder);
  }
  for (const IniSection& profile : sections) {
    if (!StartsWithIgnoringCase(profile.name, "Profile") || profile.Get("Default").value_or("") != "1") continue;
    auto path = profile.Get("Path");
    if (!path || path->empty()) continue;
    return Resolve(*path, profile.Get("IsRelative").value_or("") == "1", firefoxFolder);
  }
  return std::nullopt;
}

std::vector<BrowserProfile> ChromiumProfiles(std::string_view localState) {
  std::vector<BrowserProfile> profiles;
  std::optional<JsonValue> state = ParseJson(localState);
  if (!state) return profiles;
  const JsonValue* profile = state->Member("profile");
  const JsonValue* cache = profile ? profile->Member("info_cache") : nullptr;
  const JsonObject* folders = cache ? cache->Object() : nullptr;
  if (!folders) return profiles;
  for (const auto& [folder, info] : *folders) {
    const JsonValue* name = info.Member("name");
    profiles.push_back({name && name->String() ? *name->String() : folder, folder});
  }
  return profiles;
}

}  // namespace tmr
