#include "core/UserAssist.h"

#include <array>
#include <utility>

#include "core/KnownFolders.h"

namespace tmr {
namespace {

constexpr std::size_t kSevenForm = 72;
constexpr std::size_t kXpForm = 16;
// XP's counter starts at 5: a stored 6 is one start.
constexpr uint32_t kXpCountStart = 5;

uint32_t ReadU32(std::span<const uint8_t> data, std::size_t at) {
  return uint32_t{data[at]} | uint32_t{data[at + 1]} << 8 | uint32_t{data[at + 2]} << 16 | uint32_t{data[at + 3]} << 24;
}

uint64_t ReadU64(std::span<const uint8_t> data, std::size_t at) {
  return uint64_t{ReadU32(data, at)} | uint64_t{ReadU32(data, at + 4)} << 32;
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

UserAssistTag TagOfMarker(std::string_view marker) {
  static constexpr std::array<std::pair<std::string_view, UserAssistTag>, 10> kMarkers{{
      {"UEME_CTLSESSION", UserAssistTag::kSession},
      {"UEME_CTLCUACount", UserAssistTag::kCounterStart},
      {"UEME_RUNPATH", UserAssistTag::kRunPath},
      {"UEME_RUNPIDL", UserAssistTag::kRunPidl},
      {"UEME_RUNCPL", UserAssistTag::kRunCpl},
      {"UEME_RUNWMCMD", UserAssistTag::kRunCommand},
      {"UEME_UIHOTKEY", UserAssistTag::kHotkey},
      {"UEME_UIQCUT", UserAssistTag::kQuickLaunch},
      {"UEME_UISCUT", UserAssistTag::kDesktop},
      {"UEME_UITOOLBAR", UserAssistTag::kToolbar},
  }};
  for (const auto& [text, tag] : kMarkers) {
    if (text == marker) return tag;
  }
  return UserAssistTag::kOther;
}

}  // namespace

UserAssistKind UserAssistKindOfKey(std::string_view subkey) {
  static constexpr std::array<std::pair<std::string_view, UserAssistKind>, 4> kKeys{{
      {"{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}", UserAssistKind::kExecutables},
      {"{F4E57C4B-2036-45F0-A9AB-443BCFE33D9F}", UserAssistKind::kShortcuts},
      {"{75048700-EF1F-11D0-9888-006097DEACF9}", UserAssistKind::kPrograms},
      {"{5E6AB780-7743-11CF-A12B-00AA004AE837}", UserAssistKind::kToolbar},
  }};
  for (const auto& [id, kind] : kKeys) {
    if (SameIgnoringCase(id, subkey)) return kind;
  }
  return UserAssistKind::kUnknown;
}

std::string Rot13(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>('a' + (c - 'a' + 13) % 26);
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>('A' + (c - 'A' + 13) % 26);
    }
  }
  return out;
}

UserAssistName DecodeUserAssistName(std::string_view storedName) {
  const std::string decoded = Rot13(storedName);
  const std::string_view text = decoded;
  UserAssistName name;
  if (!text.starts_with("UEME_")) {
    name.subject = ExpandKnownFolderPrefix(text);
    return name;
  }
  const std::size_t colon = text.find(':');
  name.marker = std::string(text.substr(0, colon));
  name.tag = TagOfMarker(name.marker);
  if (colon != std::string_view::npos) name.subject = ExpandKnownFolderPrefix(text.substr(colon + 1));
  return name;
}

bool IsBookkeeping(UserAssistTag tag) { return tag == UserAssistTag::kSession || tag == UserAssistTag::kCounterStart; }

std::optional<UserAssistCounts> DecodeUserAssistData(std::span<const uint8_t> data) {
  UserAssistCounts counts;
  if (data.size() == kSevenForm) {
    counts.runCount = ReadU32(data, 4);
    counts.focusCount = ReadU32(data, 8);
    counts.focusTimeMs = ReadU32(data, 12);
    counts.lastRun = ReadU64(data, 60);
    return counts;
  }
  if (data.size() == kXpForm) {
    counts.session = ReadU32(data, 0);
    const uint32_t stored = ReadU32(data, 4);
    counts.runCount = stored > kXpCountStart ? stored - kXpCountStart : 0;
    counts.lastRun = ReadU64(data, 8);
    return counts;
  }
  return std::nullopt;
}

}  // namespace tmr
