// Entry points for the decoders of the Windows traces: Recycle Bin
// metadata files, the shell's program counts, the Office recent lists, the
// activity history's JSON and PowerShell's command history.
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "FuzzTargets.h"
#include "core/ActivityPayload.h"
#include "core/JsonScan.h"
#include "core/JsonText.h"
#include "core/KnownFolders.h"
#include "core/OfficeMru.h"
#include "core/PowerShellHistory.h"
#include "core/RecycleBinEntry.h"
#include "core/UserAssist.h"
#include "core/Utf8Text.h"

namespace tmr::fuzz {
namespace {

bool WellFormed(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    char32_t ignored = 0;
    const std::size_t length = DecodeStrictUtf8(text, at, ignored);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

bool SameEntry(const RecycleBinEntry& a, const RecycleBinEntry& b) {
  return a.formatVersion == b.formatVersion && a.originalSize == b.originalSize && a.deletionTime == b.deletionTime &&
         a.originalPath == b.originalPath;
}

// The strict reader's members, where it reads the text as an object,
// against the forgiving scan's.
std::string CompareWithStrictReader(std::string_view text) {
  const std::optional<JsonValue> strict = ParseJson(text);
  if (!strict) return "";
  if (const JsonObject* object = strict->Object()) {
    const std::vector<JsonRawMember> members = ScanJsonObject(text);
    std::set<std::string> names;
    for (const JsonRawMember& member : members) names.insert(member.name);
    if (names.size() != object->size()) return "the scan found other members than the parser";
    for (const auto& [name, value] : *object) {
      const JsonRawMember* scanned = LastMember(members, name);
      if (!scanned) return "the scan missed a member";
      if (const std::string* parsed = value.String()) {
        if (JsonRawString(scanned->value) != *parsed) return "the scan decoded a string otherwise";
      } else if (JsonRawString(scanned->value)) {
        return "the scan took a value for a string";
      }
    }
    const ActivityPayloadTexts texts = DecodeActivityPayload(text, Latin1StrayBytes());
    const JsonValue* description = strict->Member("description");
    if (description && description->String() &&
        texts.description != Utf8Decode(*description->String(), Latin1StrayBytes())) {
      return "the payload's description differs from the parser's";
    }
  } else if (const auto* array = std::get_if<std::shared_ptr<JsonArray>>(&strict->value)) {
    if (ScanJsonArray(text).size() != (*array)->size()) return "the scan found other elements than the parser";
  }
  return "";
}

}  // namespace

std::string CheckRecycleBinEntry(std::string_view input) {
  // The fields as the format describes them (the harnesses run on
  // little-endian hosts), and the bytes they take.
  uint64_t version = 0;
  uint32_t units = 0;
  if (input.size() >= 8) std::memcpy(&version, input.data(), 8);
  if (input.size() >= 28) std::memcpy(&units, input.data() + 24, 4);
  const std::size_t needed = version == 1 ? 24 + 520 : 28 + std::size_t{units} * 2;
  const bool whole = (version == 1 || (version == 2 && input.size() >= 28 && units <= 32768)) && input.size() >= needed;

  const std::optional<RecycleBinEntry> entry = DecodeRecycleBinEntry(input);
  if (entry.has_value() != whole) return whole ? "a whole file refused" : "an entry from a file it does not fit";
  if (entry) {
    if (entry->formatVersion != version) return "another version than stored";
    if (!WellFormed(entry->originalPath)) return "a path that is no UTF-8";
    if (entry->originalPath.size() > (needed - (version == 1 ? 24 : 28)) * 3 / 2)
      return "a path longer than its units allow";
    if (DecodeRecycleBinEntry(input.substr(0, needed - 1))) return "an entry from a file cut short";
    const auto exact = DecodeRecycleBinEntry(input.substr(0, needed));
    if (!exact || !SameEntry(*exact, *entry)) return "bytes after the fields changed the entry";
  }

  const std::string dataName = RecycleBinDataName(input);
  if (!dataName.empty()) {
    if (dataName.size() != input.size()) return "a data name of another length";
    std::size_t changed = 0;
    for (std::size_t i = 0; i < input.size(); ++i) {
      if (dataName[i] != input[i]) {
        ++changed;
        if (!((input[i] == 'I' && dataName[i] == 'R') || (input[i] == 'i' && dataName[i] == 'r'))) {
          return "a data name changed another character";
        }
      }
    }
    if (changed != 1) return "a data name that changed no or several characters";
  }
  return "";
}

// The value name up to the first zero byte, its data after it.
std::string CheckUserAssist(std::string_view input) {
  FuzzInput in(input);
  const std::string_view name = in.Text('\0');
  const std::string_view data = in.Rest();

  if (Rot13(Rot13(name)) != name) return "ROT13 is not its own inverse";
  const std::string rotated = Rot13(name);
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letter && rotated[i] != name[i]) return "ROT13 changed a byte that is no letter";
  }
  const UserAssistName decoded = DecodeUserAssistName(name);
  if (decoded.tag != UserAssistTag::kNone && !decoded.marker.starts_with("UEME_")) return "a tag without its marker";
  if (decoded.tag == UserAssistTag::kNone && !decoded.marker.empty()) return "a marker without its tag";

  const std::string expanded = ExpandKnownFolderPrefix(rotated);
  if (expanded != rotated) {
    if (rotated.size() < 38 || !expanded.starts_with('%') || !expanded.ends_with(rotated.substr(38))) {
      return "a known folder expanded into something else than its path";
    }
  }

  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(data.data()), data.size());
  const std::optional<UserAssistCounts> counts = DecodeUserAssistData(bytes);
  if (counts.has_value() != (data.size() == 16 || data.size() == 72)) return "counts for a value of another size";
  if (counts && counts->session.has_value() == counts->focusCount.has_value()) return "the two forms mixed";
  return "";
}

std::string CheckOfficeMru(std::string_view input) {
  const OfficeMruItem item = DecodeOfficeMruItem(input);
  if (!input.ends_with(item.path)) return "a path that is not the end of the text";
  if (item.path.size() == input.size()) {
    if (item.lastUsed != 0) return "a time without fields";
    return "";
  }
  // What was cut off: bracketed fields and the star, nothing else.
  const std::string_view prefix = input.substr(0, input.size() - item.path.size());
  if (!prefix.starts_with('[') || !prefix.ends_with("]*")) return "a cut that is no field list";
  if (prefix.substr(0, prefix.size() - 1).find('*') != std::string_view::npos) return "a star inside the fields";
  return "";
}

std::string CheckActivityPayload(std::string_view input) {
  const ActivityPayloadTexts texts = DecodeActivityPayload(input, Latin1StrayBytes());
  for (const std::string* text :
       {&texts.title, &texts.appDisplayName, &texts.description, &texts.contentUri, &texts.type}) {
    if (!WellFormed(*text)) return "a payload text that is no UTF-8";
  }
  if (!texts.title.empty() && texts.title != texts.description && texts.title != texts.appDisplayName &&
      texts.title != texts.contentUri) {
    // Only "displayText" itself may give a title of its own.
    const JsonRawMember* display = LastMember(ScanJsonObject(input), "displayText");
    if (!display) return "a title from nowhere";
  }
  if (!WellFormed(ActivityApplication(input, Latin1StrayBytes()))) return "an application that is no UTF-8";
  return CompareWithStrictReader(input);
}

std::string CheckPowerShellHistory(std::string_view input) {
  const std::vector<std::string> commands = SplitPowerShellHistory(input, Latin1StrayBytes());
  for (const std::string& command : commands) {
    if (command.empty()) return "an empty command";
    if (!WellFormed(command)) return "a command that is no UTF-8";
  }
  // Every command takes at least one line of its own. (A line end can
  // still appear inside one: the decoder reads an overlong sequence such as
  // C0 4D as the control character it spells.)
  std::size_t lineEnds = 0;
  for (std::size_t i = 0; i < input.size(); ++i) {
    if (input[i] == '\n' || (input[i] == '\r' && (i + 1 == input.size() || input[i + 1] != '\n'))) ++lineEnds;
  }
  if (commands.size() > lineEnds + 1) return "more commands than lines";
  // Plain ASCII without continuations: the commands are just the lines that
  // are not empty, however the lines end.
  bool plain = true;
  for (const char c : input) plain = plain && static_cast<unsigned char>(c) < 0x80 && c != '`';
  if (plain) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < input.size(); ++i) {
      if (input[i] == '\r' || input[i] == '\n') {
        if (!line.empty()) lines.push_back(line);
        line.clear();
        if (input[i] == '\r' && i + 1 < input.size() && input[i + 1] == '\n') ++i;
      } else {
        line += input[i];
      }
    }
    if (!line.empty()) lines.push_back(line);
    if (lines != commands) return "plain lines split otherwise";
  }
  return "";
}

}  // namespace tmr::fuzz
