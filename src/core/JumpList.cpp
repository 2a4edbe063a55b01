#include "core/JumpList.h"

#include <algorithm>
#include <array>

#include "core/BinaryFields.h"
#include "core/CompoundFile.h"

namespace tmr {
namespace {

constexpr size_t kDestListHeaderSize = 32;
constexpr size_t kVersion1PathAt = 112;
constexpr size_t kLaterPathAt = 128;
constexpr size_t kLaterPadding = 4;
constexpr uint32_t kCategoryFooter = 0xBABFFBAB;
constexpr size_t kClsidSize = 16;

struct AppName {
  std::string_view appId;
  std::string_view application;
};

// AppIDs of programs that ship with Windows or Office, from the AppID lists
// the forensic community publishes. The ID hashes the program's path, so a
// program installed elsewhere (or its 32-bit build) has another one.
constexpr std::array<AppName, 17> kAppNames{{
    {"1b4dd67f29cb1962", "Windows Explorer"},
    {"f01b4d95cf55d32a", "Windows Explorer (Windows 8.1)"},
    {"7e4dca80246863e3", "Control Panel"},
    {"918e0ecb43d17e23", "Notepad (32-bit)"},
    {"9b9cdc69c1c24e2b", "Notepad (64-bit)"},
    {"012dc1ea8e34b5a6", "Paint"},
    {"6728dd69a3088f97", "Windows Command Processor (64-bit)"},
    {"1bc392b8e104a00e", "Remote Desktop Connection"},
    {"28c8b86deab549a1", "Internet Explorer (32-bit)"},
    {"5da8f997fd5f9428", "Internet Explorer (64-bit)"},
    {"74d7f43c1561fc1e", "Windows Media Player (32-bit)"},
    {"3594aab44bca414b", "Windows Photo Viewer"},
    {"e36bfc8972e5ab1d", "XPS Viewer"},
    {"a7bd71699cd38d1c", "Microsoft Word 2010 (32-bit)"},
    {"9839aec31243a928", "Microsoft Excel 2010 (32-bit)"},
    {"9c7cc110ff56d1bd", "Microsoft PowerPoint 2010 (32-bit)"},
    {"be71009ff8bb02a2", "Microsoft Outlook (32-bit)"},
}};

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// One entry at `at`, or nullopt when it does not fit; `next` is where the
// following one starts.
std::optional<DestListEntry> ReadDestListEntry(const ByteRange& bytes, size_t at, uint32_t version, size_t& next) {
  const size_t pathAt = version == 1 ? kVersion1PathAt : kLaterPathAt;
  if (!bytes.Has(at, pathAt + 2)) return std::nullopt;
  const size_t chars = bytes.U16(at + pathAt);
  if (!bytes.Has(at + pathAt + 2, chars * 2)) return std::nullopt;
  DestListEntry entry;
  entry.volumeId = GuidBytesAt(bytes, at + 8);
  entry.fileId = GuidBytesAt(bytes, at + 24);
  entry.birthVolumeId = GuidBytesAt(bytes, at + 40);
  entry.birthFileId = GuidBytesAt(bytes, at + 56);
  entry.hostname = AnsiField(bytes, at + 72, 16).text;
  entry.entryNumber = bytes.U32(at + 88);
  entry.lastOpened = bytes.U64(at + 100);
  entry.pinPosition = static_cast<int32_t>(bytes.U32(at + 108));
  entry.pinned = entry.pinPosition >= 0;
  if (entry.pinPosition < 0) entry.pinPosition = -1;
  if (version >= 2) entry.accessCount = bytes.U32(at + 116);
  entry.path = Utf16Counted(bytes, at + pathAt + 2, chars);
  next = at + pathAt + 2 + chars * 2 + (version == 1 ? 0 : kLaterPadding);
  return entry;
}

// Reads the links of one category's entries; false at the first damage.
bool ReadCategoryLinks(const ByteRange& bytes, size_t& at, uint32_t count, uint32_t type, const std::string& name,
                       std::vector<CustomDestination>& out) {
  for (uint32_t i = 0; i < count; ++i) {
    // An entry is a CLSID and the object's data; only a link's data says
    // how long it is, and a link's CLSID is the one its header repeats.
    if (!bytes.Has(at, kClsidSize)) return false;
    const ByteRange rest = bytes.Sub(at + kClsidSize, bytes.size());
    if (!StartsWithShellLinkHeader(rest.Span()) ||
        !std::equal(rest.Span().begin() + 4, rest.Span().begin() + 20, bytes.Span().begin() + at)) {
      return false;
    }
    std::optional<ShellLinkInfo> link = ParseShellLink(rest.Span());
    if (!link) return false;
    at += kClsidSize + link->size;
    const bool complete = link->complete;
    out.push_back({type, name, std::move(*link)});
    if (!complete) return false;
  }
  return true;
}

}  // namespace

std::optional<DestList> ParseDestList(std::span<const uint8_t> stream) {
  const ByteRange bytes(stream);
  if (!bytes.Has(0, kDestListHeaderSize)) return std::nullopt;
  DestList list;
  list.version = bytes.U32(0);
  list.declaredEntries = bytes.U32(4);
  list.pinnedEntries = bytes.U32(8);
  if (list.version < 1 || list.version > 4) return list;
  size_t at = kDestListHeaderSize;
  while (list.entries.size() < list.declaredEntries) {
    size_t next = 0;
    std::optional<DestListEntry> entry = ReadDestListEntry(bytes, at, list.version, next);
    if (!entry) break;
    list.entries.push_back(std::move(*entry));
    at = next;
  }
  return list;
}

std::string DestListStreamName(uint32_t entryNumber) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string name;
  do {
    name.insert(name.begin(), kDigits[entryNumber & 0xF]);
    entryNumber >>= 4;
  } while (entryNumber != 0);
  return name;
}

std::optional<AutomaticDestinations> ReadAutomaticDestinations(std::span<const uint8_t> bytes) {
  std::optional<CompoundFile> file = CompoundFile::Open(bytes);
  if (!file) return std::nullopt;
  std::optional<std::vector<uint8_t>> stream = file->ReadRootStream("DestList");
  if (!stream) return std::nullopt;
  std::optional<DestList> list = ParseDestList(*stream);
  AutomaticDestinations result;
  if (!list) return result;
  result.version = list->version;
  result.entries.reserve(list->entries.size());
  // The links are parsed where they lie: a list's link streams are most of
  // its bytes, and a copy of each was one more allocation per entry.
  std::vector<uint8_t> scratch;
  for (DestListEntry& entry : list->entries) {
    AutomaticDestination destination;
    if (std::optional<std::span<const uint8_t>> link =
            file->ViewRootStream(DestListStreamName(entry.entryNumber), scratch)) {
      destination.link = ParseShellLink(*link);
    }
    destination.entry = std::move(entry);
    result.entries.push_back(std::move(destination));
  }
  return result;
}

std::vector<CustomDestination> ReadCustomDestinations(std::span<const uint8_t> raw) {
  std::vector<CustomDestination> out;
  const ByteRange bytes(raw);
  if (!bytes.Has(0, 12)) return out;
  const uint32_t categories = bytes.U32(4);
  size_t at = 12;
  for (uint32_t c = 0; c < categories && bytes.Has(at, 4); ++c) {
    const uint32_t type = bytes.U32(at);
    at += 4;
    std::string name;
    uint32_t count = 0;
    if (type == kCustomCategory) {
      const size_t chars = bytes.U16(at);
      if (!bytes.Has(at + 2, chars * 2 + 4)) break;
      name = Utf16Counted(bytes, at + 2, chars);
      at += 2 + chars * 2;
      count = bytes.U32(at);
      at += 4;
    } else if (type == kKnownCategory) {
      if (!bytes.Has(at, 4)) break;
      at += 4;  // which list (frequent or recent); the shell fills it, the file holds no links
    } else if (type == kUserTasks) {
      if (!bytes.Has(at, 4)) break;
      count = bytes.U32(at);
      at += 4;
    } else {
      break;
    }
    if (!ReadCategoryLinks(bytes, at, count, type, name, out)) break;
    // Each category should end in the footer; one that does not is read on,
    // since whatever follows must still make a category of a known type.
    if (bytes.U32(at) == kCategoryFooter) at += 4;
  }
  return out;
}

std::string_view ApplicationOfAppId(std::string_view appId) {
  for (const AppName& app : kAppNames) {
    if (SameIgnoringCase(app.appId, appId)) return app.application;
  }
  return "";
}

}  // namespace tmr
