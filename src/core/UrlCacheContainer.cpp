#include "core/UrlCacheContainer.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <map>
#include <unordered_map>

namespace tmr {
namespace {

constexpr std::string_view kSignature{"Client UrlCache MMF Ver 5.2\0", 28};
constexpr uint32_t kFirstBlock = 0x4000;
constexpr uint32_t kBlockSize = 128;
constexpr uint32_t kBitmapOffset = 0x250;
constexpr uint32_t kBitmapBits = (kFirstBlock - kBitmapOffset) * 8;
constexpr uint32_t kHashTableHeader = 16;
// Hash entries that hold nothing: never used, or freed. A hash equal to the
// offset is an unused slot as well.
constexpr uint32_t kHashUnused1 = 0x0BADF00D;
constexpr uint32_t kHashUnused2 = 0xDEADBEEF;
constexpr uint32_t kHashInvalid = 1;
// Far more tables than a container can hold; a chain longer than this is
// damaged.
constexpr size_t kMaxHashTables = 4096;
// Far more live entries than a history holds (the platform's own store
// slows to a crawl long before); the rest of a larger table is not read.
constexpr size_t kMaxHashEntries = size_t{1} << 20;
constexpr size_t kDataAreaHeader = 16;
constexpr uint8_t kTitleId = 0x10;
constexpr uint8_t kTitleType = 0x1F;  // VT_LPWSTR

// The container's bytes with 32-bit offsets: every offset stored in it is a
// u32, so bytes past 4 GiB cannot be reached and are ignored.
class Bytes {
 public:
  explicit Bytes(std::string_view bytes)
      : bytes_(bytes.substr(0, std::min<size_t>(bytes.size(), std::numeric_limits<uint32_t>::max()))) {}

  uint32_t size() const { return static_cast<uint32_t>(bytes_.size()); }
  bool Has(uint32_t offset, uint32_t count) const { return offset <= size() && count <= size() - offset; }

  uint32_t U32(uint32_t offset) const {
    if (!Has(offset, 4)) return 0;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes_[offset + i]);
    return value;
  }
  uint64_t U64(uint32_t offset) const { return U32(offset) | (static_cast<uint64_t>(U32(offset + 4)) << 32); }
  std::string_view View(uint32_t offset, uint32_t count) const {
    return Has(offset, count) ? bytes_.substr(offset, count) : std::string_view();
  }

  // A record of `blocks` 128-byte blocks can start here and end inside the
  // container.
  bool IsRecordSpan(uint32_t offset, uint32_t blocks) const {
    if (offset < kFirstBlock || (offset - kFirstBlock) % kBlockSize != 0) return false;
    if (blocks == 0 || blocks > (size() - std::min(offset, size())) / kBlockSize) return false;
    return true;
  }

 private:
  std::string_view bytes_;
};

// The block spans of the hash tables read so far. In a sound container no
// two tables share a block; a table that overlaps one already read is
// damage (or a file made to send the reader round the same blocks again),
// so it is refused.
class ClaimedSpans {
 public:
  // Claims [offset, offset + blocks * 128) when it overlaps nothing claimed.
  bool Claim(uint32_t offset, uint32_t blocks) {
    const uint64_t end = offset + static_cast<uint64_t>(blocks) * kBlockSize;
    auto next = spans_.lower_bound(offset);
    if (next != spans_.end() && next->first < end) return false;
    if (next != spans_.begin() && std::prev(next)->second > offset) return false;
    spans_.emplace_hint(next, offset, end);
    return true;
  }

 private:
  std::map<uint32_t, uint64_t> spans_;  // start -> end, disjoint
};

uint16_t LittleU16(std::string_view bytes, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) | (static_cast<uint8_t>(bytes[at + 1]) << 8));
}

bool ParseUrlRecord(const Bytes& bytes, uint32_t offset, ContainerUrlRecord& out) {
  if (bytes.View(offset, 4) != "URL ") return false;
  uint32_t blocks = bytes.U32(offset + 4);
  if (!bytes.IsRecordSpan(offset, blocks)) return false;
  std::string_view record = bytes.View(offset, blocks * kBlockSize);

  uint32_t locationOffset = bytes.U32(offset + 52);
  if (locationOffset >= record.size()) return false;
  size_t end = record.find('\0', locationOffset);
  if (end == std::string_view::npos || end == locationOffset) return false;

  out = ContainerUrlRecord{};
  out.offset = offset;
  out.location.assign(record.substr(locationOffset, end - locationOffset));
  out.primaryTime = bytes.U64(offset + 16);
  out.secondaryTime = bytes.U64(offset + 8);
  // The title is optional: a data area that does not fit leaves it out but
  // does not lose the entry.
  uint32_t dataOffset = bytes.U32(offset + 68);
  uint32_t dataSize = bytes.U32(offset + 72);
  if (dataOffset != 0 && dataSize != 0 && dataOffset < record.size() && dataSize <= record.size() - dataOffset) {
    out.hasTitle = TitleFromDataArea(record.substr(dataOffset, dataSize), out.title);
  }
  return true;
}

// The offsets the hash tables point at, or nothing when not even the first
// table can be read. The chain ends at a table that overlaps one already
// read (a loop included), so the entries read are at most one per 8 bytes
// of the file.
bool OffsetsFromHashTables(const Bytes& bytes, std::vector<uint32_t>& offsets, size_t& entriesRead) {
  ClaimedSpans tables;
  size_t tableCount = 0;
  uint32_t table = bytes.U32(32);
  while (table != 0 && tableCount < kMaxHashTables) {
    if (bytes.View(table, 4) != "HASH") break;
    uint32_t blocks = bytes.U32(table + 4);
    if (!bytes.IsRecordSpan(table, blocks) || !tables.Claim(table, blocks)) break;
    ++tableCount;
    const uint32_t end = table + blocks * kBlockSize;
    for (uint32_t entry = table + kHashTableHeader; end - entry >= 8; entry += 8) {
      ++entriesRead;
      uint32_t hash = bytes.U32(entry);
      uint32_t target = bytes.U32(entry + 4);
      if (hash == kHashUnused1 || hash == kHashUnused2 || hash == kHashInvalid || hash == target) continue;
      if (offsets.size() == kMaxHashEntries) return true;
      offsets.push_back(target);
    }
    table = bytes.U32(table + 8);
  }
  return tableCount != 0;
}

bool BlockAllocated(const Bytes& bytes, uint32_t block) {
  std::string_view byte = bytes.View(kBitmapOffset + block / 8, 1);
  return !byte.empty() && ((static_cast<uint8_t>(byte[0]) >> (block % 8)) & 1) != 0;
}

// Walks the allocated blocks when the hash tables are unreadable.
void OffsetsFromBitmap(const Bytes& bytes, std::vector<uint32_t>& offsets) {
  uint32_t available = bytes.size() > kFirstBlock ? (bytes.size() - kFirstBlock) / kBlockSize : 0;
  uint32_t blocks = std::min({bytes.U32(36), available, kBitmapBits});
  uint32_t block = 0;
  while (block < blocks) {
    uint32_t offset = kFirstBlock + block * kBlockSize;
    if (!BlockAllocated(bytes, block)) {
      ++block;
      continue;
    }
    std::string_view signature = bytes.View(offset, 4);
    uint32_t count = bytes.U32(offset + 4);
    bool record = signature == "URL " || signature == "REDR" || signature == "LEAK" || signature == "HASH";
    if (signature == "URL ") offsets.push_back(offset);
    // Skip a whole record so that text inside it is never taken for one.
    block += (record && bytes.IsRecordSpan(offset, count)) ? count : 1;
  }
}

}  // namespace

bool TitleFromDataArea(std::string_view area, std::u16string& title) {
  size_t at = kDataAreaHeader;
  while (at + 4 <= area.size()) {
    uint16_t size = LittleU16(area, at);
    if (size < 4 || size > area.size() - at) return false;
    if (static_cast<uint8_t>(area[at + 2]) == kTitleId && static_cast<uint8_t>(area[at + 3]) == kTitleType) {
      title.clear();
      for (size_t c = at + 4; c + 2 <= at + size; c += 2) {
        char16_t unit = static_cast<char16_t>(LittleU16(area, c));
        if (unit == 0) break;
        title.push_back(unit);
      }
      return true;
    }
    at += size;
  }
  return false;
}

ContainerContents ReadContainer(std::string_view raw) {
  ContainerContents contents;
  Bytes bytes(raw);
  if (bytes.View(0, static_cast<uint32_t>(kSignature.size())) != kSignature) return contents;
  contents.recognised = true;

  std::vector<uint32_t> offsets;
  if (!OffsetsFromHashTables(bytes, offsets, contents.hashEntriesRead)) {
    contents.usedAllocationBitmap = true;
    OffsetsFromBitmap(bytes, offsets);
  }
  std::sort(offsets.begin(), offsets.end());
  offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
  // Records take their blocks in file order, whole or damaged: one that
  // starts inside an earlier one is not read, so no byte is searched or
  // copied out twice.
  uint64_t readUpTo = 0;
  for (uint32_t offset : offsets) {
    const uint32_t blocks = bytes.U32(offset + 4);
    if (offset < readUpTo || bytes.View(offset, 4) != "URL " || !bytes.IsRecordSpan(offset, blocks)) continue;
    readUpTo = offset + static_cast<uint64_t>(blocks) * kBlockSize;
    ContainerUrlRecord record;
    if (ParseUrlRecord(bytes, offset, record)) contents.records.push_back(std::move(record));
  }
  return contents;
}

std::vector<VisitedEntry> ReadVisitedEntries(std::string_view bytes) {
  constexpr std::string_view kVisited = "Visited:";
  std::vector<VisitedEntry> entries;
  for (ContainerUrlRecord& record : ReadContainer(bytes).records) {
    if (record.location.compare(0, kVisited.size(), kVisited) != 0) continue;
    size_t at = record.location.find('@');
    if (at == std::string::npos || at + 1 == record.location.size()) continue;
    VisitedEntry entry;
    entry.url = record.location.substr(at + 1);
    entry.hasTitle = record.hasTitle;
    entry.title = std::move(record.title);
    entry.lastVisited = record.primaryTime;
    entry.lastUpdated = record.secondaryTime;
    entries.push_back(std::move(entry));
  }
  return entries;
}

void MergeVisitedEntries(std::vector<VisitedEntry>& into, std::vector<VisitedEntry> more) {
  std::unordered_map<std::string, size_t> index;
  for (size_t i = 0; i < into.size(); ++i) index.emplace(into[i].url, i);
  for (VisitedEntry& entry : more) {
    auto [it, added] = index.emplace(entry.url, into.size());
    if (added) {
      into.push_back(std::move(entry));
    } else if (entry.lastVisited > into[it->second].lastVisited) {
      into[it->second] = std::move(entry);
    }
  }
}

}  // namespace tmr
