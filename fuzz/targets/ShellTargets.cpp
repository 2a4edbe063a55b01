// Entry points for the shell's binary formats: shell items and ID lists,
// shell links, compound files and jump lists. Beyond not crashing, each
// checks that the output is bounded by the input and that a structure is
// read from its own bytes only.
#include <algorithm>
#include <set>
#include <span>
#include <string>

#include "FuzzTargets.h"
#include "core/CompoundFile.h"
#include "core/JumpList.h"
#include "core/ShellItems.h"
#include "core/ShellLink.h"
#include "core/Utf8Text.h"

namespace tmr::fuzz {
namespace {

std::span<const uint8_t> AsBytes(std::string_view input) {
  return {reinterpret_cast<const uint8_t*>(input.data()), input.size()};
}

bool WellFormed(std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    char32_t codePoint = 0;
    const size_t length = DecodeStrictUtf8(text, at, codePoint);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

bool SameItem(const ShellItem& a, const ShellItem& b) {
  return a.classType == b.classType && a.kind == b.kind && a.name == b.name && a.shortName == b.shortName &&
         a.modified == b.modified && a.created == b.created && a.accessed == b.accessed && a.guid == b.guid &&
         a.mftReference == b.mftReference && a.fileSize == b.fileSize && a.attributes == b.attributes;
}

std::string CheckItems(std::span<const uint8_t> list, const std::vector<ShellItem>& items) {
  if (items.size() > list.size() / 3) return "more items than the list has room for";
  size_t at = 0;
  size_t names = 0;
  for (const ShellItem& item : items) {
    const size_t size = list[at] | (list[at + 1] << 8);
    const std::optional<ShellItem> alone = DecodeShellItem(list.subspan(at, size));
    if (!alone || !SameItem(*alone, item)) return "an item read bytes beyond its own size";
    if (!WellFormed(item.name) || !WellFormed(item.shortName)) return "a name that is not UTF-8";
    if (item.shortName.size() > 2 * size) return "a short name longer than its item can hold";
    names += item.name.size() + 1;
    at += size;
  }
  if (ShellItemPath(items).size() > names) return "a path longer than its names";
  return "";
}

std::vector<std::string> LinkTexts(const ShellLinkInfo& link) {
  return {link.localBasePath, link.netName,      link.deviceName,        link.commonPathSuffix,
          link.volumeLabel,   link.name,         link.relativePath,      link.workingDir,
          link.arguments,     link.iconLocation, link.environmentTarget, link.machineId,
          link.TargetPath()};
}

std::string CheckLink(std::span<const uint8_t> bytes, const ShellLinkInfo& link) {
  if (link.size < kLinkHeaderSize || link.size > bytes.size()) return "a link size outside its bytes";
  const std::vector<std::string> texts = LinkTexts(link);
  for (const std::string& text : texts) {
    // A byte gives at most two bytes of UTF-8; the densest text is an ID
    // list of 12-byte control panel category items, each named by a table.
    if (text.size() > 3 * link.size + 64) return "a text longer than the link's bytes can give";
    if (!WellFormed(text)) return "link text that is not UTF-8";
  }
  // A link ends where it says: the bytes after it change nothing.
  const std::optional<ShellLinkInfo> alone = ParseShellLink(bytes.first(link.size));
  if (!alone || alone->size != link.size || alone->complete != link.complete || LinkTexts(*alone) != texts ||
      alone->idList.size() != link.idList.size() || alone->written != link.written) {
    return "a link read bytes beyond its size";
  }
  return "";
}

}  // namespace

std::string CheckShellItems(std::string_view input) {
  const std::span<const uint8_t> bytes = AsBytes(input);
  const std::vector<ShellItem> items = DecodeIdList(bytes);
  return CheckItems(bytes, items);
}

std::string CheckShellLink(std::string_view input) {
  const std::span<const uint8_t> bytes = AsBytes(input);
  const std::optional<ShellLinkInfo> link = ParseShellLink(bytes);
  if (!link) return StartsWithShellLinkHeader(bytes) && bytes.size() >= kLinkHeaderSize ? "a whole header refused" : "";
  return CheckLink(bytes, *link);
}

std::string CheckCompoundFile(std::string_view input) {
  const std::optional<CompoundFile> file = CompoundFile::Open(AsBytes(input));
  if (!file) return "";
  const std::vector<CompoundEntry>& entries = file->Entries();
  if (entries.size() > input.size() / 128) return "more directory entries than the file holds";
  std::set<uint32_t> seen;
  size_t total = 0;
  for (uint32_t index : file->RootChildren()) {
    if (index >= entries.size() || !seen.insert(index).second) return "a root child listed twice or out of range";
    const std::vector<uint8_t> data = file->ReadStream(entries[index]);
    if (data.size() > entries[index].size) return "a stream longer than its size";
    total += data.size();
  }
  if (total > 2 * input.size()) return "streams handed out more than twice the file";
  // A view holds the bytes a copy does, whether the stream lies in one
  // piece or not (a second reader: the first has spent its budget).
  const std::optional<CompoundFile> viewed = CompoundFile::Open(AsBytes(input));
  const std::optional<CompoundFile> copied = CompoundFile::Open(AsBytes(input));
  std::vector<uint8_t> scratch;
  for (uint32_t index : viewed->RootChildren()) {
    const std::span<const uint8_t> view = viewed->ViewStream(entries[index], scratch);
    const std::vector<uint8_t> copy = copied->ReadStream(entries[index]);
    if (!std::equal(view.begin(), view.end(), copy.begin(), copy.end())) return "a view that differs from the copy";
  }
  return "";
}

std::string CheckJumpList(std::string_view input) {
  const std::span<const uint8_t> bytes = AsBytes(input);
  if (const std::optional<DestList> list = ParseDestList(bytes)) {
    if (list->entries.size() > input.size() / 114) return "more DestList entries than the stream holds";
    for (const DestListEntry& entry : list->entries) {
      if (!WellFormed(entry.path) || !WellFormed(entry.hostname)) return "a DestList text that is not UTF-8";
    }
  }
  if (const std::optional<AutomaticDestinations> list = ReadAutomaticDestinations(bytes)) {
    if (list->entries.size() > input.size() / 114) return "more entries than the file holds";
  }
  const std::vector<CustomDestination> links = ReadCustomDestinations(bytes);
  size_t consumed = 12;
  for (size_t i = 0; i < links.size(); ++i) {
    consumed += 16 + links[i].link.size;
    if (!links[i].link.complete && i + 1 != links.size()) return "a link read after an incomplete one";
  }
  if (!links.empty() && consumed > input.size()) return "custom links overlap or run past the file";
  return "";
}

}  // namespace tmr::fuzz
