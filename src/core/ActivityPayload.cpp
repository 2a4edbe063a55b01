#include "core/ActivityPayload.h"

#include <array>
#include <charconv>
#include <vector>

#include "core/JsonScan.h"
#include "core/KnownFolders.h"

namespace tmr {
namespace {

// A string member's text, "" when it is missing or no string.
std::string MemberText(const std::vector<JsonRawMember>& members, std::string_view name, const StrayByteTable& stray) {
  const JsonRawMember* member = LastMember(members, name);
  if (!member) return "";
  const std::optional<std::string> text = JsonRawString(member->value);
  return text ? Utf8Decode(*text, stray) : "";
}

std::optional<int64_t> MemberCount(const std::vector<JsonRawMember>& members, std::string_view name) {
  const JsonRawMember* member = LastMember(members, name);
  if (!member) return std::nullopt;
  int64_t value = 0;
  const char* last = member->value.data() + member->value.size();
  const auto [stop, error] = std::from_chars(member->value.data(), last, value);
  if (error != std::errc() || stop != last || value < 0) return std::nullopt;
  return value;
}

}  // namespace

ActivityPayloadTexts DecodeActivityPayload(std::string_view payload, const StrayByteTable& stray) {
  const std::vector<JsonRawMember> members = ScanJsonObject(payload);
  ActivityPayloadTexts texts;
  texts.appDisplayName = MemberText(members, "appDisplayName", stray);
  texts.description = MemberText(members, "description", stray);
  texts.contentUri = MemberText(members, "contentUri", stray);
  texts.type = MemberText(members, "type", stray);
  texts.activeDurationSeconds = MemberCount(members, "activeDurationSeconds");
  texts.title = MemberText(members, "displayText", stray);
  for (const std::string* fallback : {&texts.description, &texts.appDisplayName, &texts.contentUri}) {
    if (!texts.title.empty()) break;
    texts.title = *fallback;
  }
  return texts;
}

std::string ActivityApplication(std::string_view appId, const StrayByteTable& stray) {
  static constexpr std::array<std::string_view, 4> kPreferred{"windows_win32", "x_exe_path", "windows_universal",
                                                              "packageId"};
  std::array<std::string, kPreferred.size()> byPlatform;
  std::string first;
  for (const std::string_view element : ScanJsonArray(appId)) {
    const std::vector<JsonRawMember> members = ScanJsonObject(element);
    std::string application = MemberText(members, "application", stray);
    if (application.empty()) continue;
    const std::string platform = MemberText(members, "platform", stray);
    for (std::size_t i = 0; i < kPreferred.size(); ++i) {
      if (platform == kPreferred[i] && byPlatform[i].empty()) byPlatform[i] = application;
    }
    if (first.empty()) first = std::move(application);
  }
  for (const std::string& application : byPlatform) {
    if (!application.empty()) return ExpandKnownFolderPrefix(application);
  }
  return ExpandKnownFolderPrefix(first);
}

}  // namespace tmr
