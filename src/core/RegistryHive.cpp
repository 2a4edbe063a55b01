#include "core/RegistryHive.h"

#include <algorithm>
#include <cstring>

#include "core/CaseFold.h"
#include "core/HiveFormat.h"
#include "core/HiveLog.h"
#include "core/Utf8Text.h"

namespace tmr {
namespace {

using hive::U16;
using hive::U32;
using hive::U64;

constexpr uint32_t kNoCell = 0xFFFFFFFF;
constexpr size_t kBinHeaderSize = 32;
constexpr size_t kCellAlignment = 4;
// The registry refuses to make a key deeper than this; keys below it in a
// damaged hive are not listed, which also bounds a caller that recurses.
constexpr uint32_t kMaxDepth = 512;

// nk record.
constexpr size_t kNkFlagsAt = 2;
constexpr size_t kNkLastWriteAt = 4;
constexpr size_t kNkSubkeyListAt = 28;
constexpr size_t kNkValueCountAt = 36;
constexpr size_t kNkValueListAt = 40;
constexpr size_t kNkClassAt = 48;
constexpr size_t kNkNameLengthAt = 72;
constexpr size_t kNkClassLengthAt = 74;
constexpr size_t kNkNameAt = 76;
constexpr uint16_t kNkCompressedName = 0x0020;
// The value count of such a key holds a handle, not a count.
constexpr uint16_t kNkPredefinedHandle = 0x0040;

// vk record.
constexpr size_t kVkNameLengthAt = 2;
constexpr size_t kVkDataSizeAt = 4;
constexpr size_t kVkDataAt = 8;
constexpr size_t kVkTypeAt = 12;
constexpr size_t kVkFlagsAt = 16;
constexpr size_t kVkNameAt = 20;
constexpr uint16_t kVkCompressedName = 0x0001;
constexpr uint32_t kVkDataInline = 0x80000000;

// Data longer than this is split into segments of this size (db record)
// from hive version 1.4 on.
constexpr uint32_t kBigDataSegment = 16344;
constexpr uint32_t kFirstBigDataVersion = 4;

bool HasSignature(std::span<const uint8_t> cell, const char (&signature)[3]) {
  return cell.size() >= 2 && cell[0] == signature[0] && cell[1] == signature[1];
}

// A name as stored: Latin-1 bytes when compressed, otherwise UTF-16LE (an
// odd last byte is dropped). Calls onCodePoint with each character; an
// unpaired surrogate is U+FFFD.
template <typename OnCodePoint>
bool ForEachNameCharacter(std::span<const uint8_t> raw, bool compressed, OnCodePoint onCodePoint) {
  if (compressed) {
    for (uint8_t byte : raw) {
      if (!onCodePoint(char32_t{byte})) return false;
    }
    return true;
  }
  for (size_t at = 0; at + 1 < raw.size(); at += 2) {
    char32_t unit = U16(raw, at);
    if (unit >= 0xD800 && unit <= 0xDBFF && at + 3 < raw.size()) {
      const char32_t low = U16(raw, at + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        at += 2;
      }
    }
    if (unit >= 0xD800 && unit <= 0xDFFF) unit = 0xFFFD;
    if (!onCodePoint(unit)) return false;
  }
  return true;
}

std::string DecodeName(std::span<const uint8_t> raw, bool compressed) {
  std::string name;
  name.reserve(raw.size());
  ForEachNameCharacter(raw, compressed, [&](char32_t c) {
    if (c < 0x80) {
      name.push_back(static_cast<char>(c));
    } else {
      AppendUtf8(name, c);
    }
    return true;
  });
  return name;
}

// The characters of a name asked for; bytes that are not UTF-8 stand for
// the Latin-1 character of the same number.
std::u32string CodePoints(std::string_view text) {
  std::u32string characters;
  for (size_t at = 0; at < text.size();) {
    char32_t c = 0;
    const size_t length = DecodeStrictUtf8(text, at, c);
    characters.push_back(length == 0 ? static_cast<uint8_t>(text[at]) : c);
    at += length == 0 ? 1 : length;
  }
  return characters;
}

std::u32string FoldedQuery(std::string_view text) {
  std::u32string folded = CodePoints(text);
  for (char32_t& c : folded) c = FoldCase(c);
  return folded;
}

bool NameMatches(std::span<const uint8_t> raw, bool compressed, const std::u32string& folded) {
  size_t next = 0;
  const bool prefix = ForEachNameCharacter(
      raw, compressed, [&](char32_t c) { return next < folded.size() && FoldCase(c) == folded[next++]; });
  return prefix && next == folded.size();
}

// A name asked for as the UTF-16 units a hive would store, ASCII letters
// upper-cased.
std::u16string UpperAsciiUnits(std::string_view text) {
  std::u16string units;
  for (char32_t c : CodePoints(text)) {
    if (c >= 0x10000) {
      units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      units.push_back(static_cast<char16_t>(c >= 'a' && c <= 'z' ? c - 32 : c));
    }
  }
  return units;
}

// The order of a subkey list: UTF-16 units compared upper-cased (here
// only ASCII letters are).
int CompareInListOrder(std::span<const uint8_t> raw, bool compressed, std::u16string_view units) {
  const size_t length = compressed ? raw.size() : raw.size() / 2;
  for (size_t i = 0; i < length && i < units.size(); ++i) {
    char16_t unit = compressed ? raw[i] : static_cast<char16_t>(U16(raw, i * 2));
    if (unit >= 'a' && unit <= 'z') unit = static_cast<char16_t>(unit - 32);
    if (unit != units[i]) return unit < units[i] ? -1 : 1;
  }
  return length < units.size() ? -1 : (length > units.size() ? 1 : 0);
}

std::span<const uint8_t> NkName(std::span<const uint8_t> nk) {
  return nk.subspan(kNkNameAt, std::min<size_t>(U16(nk, kNkNameLengthAt), nk.size() - kNkNameAt));
}
std::span<const uint8_t> VkName(std::span<const uint8_t> vk) {
  return vk.subspan(kVkNameAt, std::min<size_t>(U16(vk, kVkNameLengthAt), vk.size() - kVkNameAt));
}
bool NkNameCompressed(std::span<const uint8_t> nk) { return (U16(nk, kNkFlagsAt) & kNkCompressedName) != 0; }
bool VkNameCompressed(std::span<const uint8_t> vk) { return (U16(vk, kVkFlagsAt) & kVkCompressedName) != 0; }

}  // namespace

// Open's one walk: the allocated cells of every bin, then the key tree from
// the root, breadth first, each cell claimed by the first record to use it.
class RegistryHive::Builder {
 public:
  explicit Builder(RegistryHive& hive) : hive_(hive), bins_(hive.Bins()), free_((bins_.size() + 255) / 256) {}

  bool Build(uint32_t root) {
    MarkCells();
    if (!IsRecord(root, "nk", kNkNameAt) || !Claim(root)) return false;
    // Room for every record there could be, so that the tables are never
    // moved while they grow.
    hive_.keys_.reserve(keyCells_);
    hive_.values_.reserve(valueCells_);
    AddKey(root);
    size_t levelEnd = 1;
    uint32_t depth = 0;
    for (size_t i = 0; i < hive_.keys_.size(); ++i) {
      if (i == levelEnd) {
        ++depth;
        levelEnd = hive_.keys_.size();
      }
      AddValues(i);
      if (depth < kMaxDepth) AddSubkeys(i);
    }
    return true;
  }

 private:
  // Every cell whose size field is sound is marked where it starts; a bin
  // whose chain of cells breaks keeps the cells before the break, and one
  // cut short by the end of the file those before the cut.
  void MarkCells() {
    for (size_t bin = 0; bin < bins_.size() && bins_.size() - bin >= kBinHeaderSize;) {
      const uint32_t size = U32(bins_, bin + 8);
      if (std::memcmp(bins_.data() + bin, "hbin", 4) != 0 || size < hive::kPageSize || size % hive::kPageSize != 0) {
        bin += hive::kPageSize;  // look for the next bin a page further
        continue;
      }
      const size_t end = std::min<size_t>(bin + size, bins_.size());
      for (size_t cell = bin + kBinHeaderSize; cell < end && end - cell >= 8;) {
        const int32_t raw = static_cast<int32_t>(U32(bins_, cell));
        const uint64_t length = static_cast<uint64_t>(raw < 0 ? -static_cast<int64_t>(raw) : raw);
        if (length < 8 || length % kCellAlignment != 0 || length > end - cell) break;
        if (raw < 0) {
          free_[cell / 4 / 64] |= uint64_t{1} << (cell / 4 % 64);
          keyCells_ += bins_[cell + 4] == 'n' && bins_[cell + 5] == 'k';
          valueCells_ += bins_[cell + 4] == 'v' && bins_[cell + 5] == 'k';
        }
        cell += length;
      }
      bin += size;
    }
  }

  // An allocated cell starts at `offset` and no record has used it yet; it
  // is now used.
  bool Claim(uint32_t offset) {
    if (offset % kCellAlignment != 0 || offset >= bins_.size()) return false;
    uint64_t& word = free_[offset / 4 / 64];
    const uint64_t bit = uint64_t{1} << (offset / 4 % 64);
    if ((word & bit) == 0) return false;
    word &= ~bit;
    return true;
  }
  bool Unclaimed(uint32_t offset) const {
    return offset % kCellAlignment == 0 && offset < bins_.size() &&
           (free_[offset / 4 / 64] >> (offset / 4 % 64) & 1) != 0;
  }
  bool IsRecord(uint32_t offset, const char (&signature)[3], size_t minimumSize) const {
    if (!Unclaimed(offset)) return false;
    const std::span<const uint8_t> cell = hive_.Cell(offset);
    return cell.size() >= minimumSize && HasSignature(cell, signature);
  }

  void AddKey(uint32_t cell) {
    const std::span<const uint8_t> nk = hive_.Cell(cell);
    const uint32_t classCell = U32(nk, kNkClassAt);
    const bool hasClass = U16(nk, kNkClassLengthAt) != 0 && Claim(classCell);
    hive_.keys_.push_back(KeyEntry{cell, hasClass ? classCell : kNoCell});
  }

  void AddSubkeys(size_t key) {
    const size_t first = hive_.keys_.size();
    AddSubkeyList(U32(hive_.Cell(hive_.keys_[key].cell), kNkSubkeyListAt), true);
    hive_.keys_[key].firstChild = static_cast<uint32_t>(first);
    hive_.keys_[key].childCount = static_cast<uint32_t>(hive_.keys_.size() - first);
  }

  // A leaf (li, lf, lh) of key node offsets, or an index root (ri) of
  // leaves; an index root inside another is damage, as is a loop back.
  void AddSubkeyList(uint32_t offset, bool rootAllowed) {
    if (!Unclaimed(offset)) return;
    const std::span<const uint8_t> list = hive_.Cell(offset);
    if (list.size() < 4) return;
    const bool indexRoot = rootAllowed && HasSignature(list, "ri");
    size_t stride = 0;
    if (indexRoot || HasSignature(list, "li")) stride = 4;
    if (HasSignature(list, "lf") || HasSignature(list, "lh")) stride = 8;
    if (stride == 0 || !Claim(offset)) return;
    const size_t count = std::min<size_t>(U16(list, 2), (list.size() - 4) / stride);
    for (size_t i = 0; i < count; ++i) {
      const uint32_t element = U32(list, 4 + i * stride);
      if (indexRoot) {
        AddSubkeyList(element, false);
      } else if (IsRecord(element, "nk", kNkNameAt) && Claim(element)) {
        AddKey(element);
      }
    }
  }

  void AddValues(size_t key) {
    const std::span<const uint8_t> nk = hive_.Cell(hive_.keys_[key].cell);
    hive_.keys_[key].firstValue = static_cast<uint32_t>(hive_.values_.size());
    const uint32_t listOffset = U32(nk, kNkValueListAt);
    if ((U16(nk, kNkFlagsAt) & kNkPredefinedHandle) != 0 || !Claim(listOffset)) return;
    const std::span<const uint8_t> list = hive_.Cell(listOffset);
    const size_t count = std::min<size_t>(U32(nk, kNkValueCountAt), list.size() / 4);
    for (size_t i = 0; i < count; ++i) {
      const uint32_t vk = U32(list, i * 4);
      if (IsRecord(vk, "vk", kVkNameAt) && Claim(vk)) hive_.values_.push_back(SettleData(vk));
    }
    hive_.keys_[key].valueCount = static_cast<uint32_t>(hive_.values_.size() - hive_.keys_[key].firstValue);
  }

  ValueEntry SettleData(uint32_t vkOffset) {
    ValueEntry value{vkOffset, kNoCell, 0};
    const std::span<const uint8_t> vk = hive_.Cell(vkOffset);
    const uint32_t size = U32(vk, kVkDataSizeAt);
    const uint32_t data = U32(vk, kVkDataAt);
    if ((size & kVkDataInline) != 0 || size == 0 || !Unclaimed(data)) return value;
    if (hive_.bigData_ && size > kBigDataSegment && IsRecord(data, "db", 8)) {
      Claim(data);
      const std::span<const uint8_t> db = hive_.Cell(data);
      const uint32_t listOffset = U32(db, 4);
      if (!Claim(listOffset)) return value;
      const std::span<const uint8_t> list = hive_.Cell(listOffset);
      const size_t count = std::min<size_t>(U16(db, 2), list.size() / 4);
      uint64_t covered = 0;
      while (value.segments < count && covered < size && Claim(U32(list, value.segments * 4))) {
        covered += std::min<size_t>(kBigDataSegment, hive_.Cell(U32(list, value.segments * 4)).size());
        ++value.segments;
      }
      // A big data record without a segment it owns holds nothing.
      if (value.segments != 0) value.dataCell = data;
      return value;
    }
    Claim(data);
    value.dataCell = data;
    return value;
  }

  RegistryHive& hive_;
  std::span<const uint8_t> bins_;
  // One bit per 4 bytes of the bins: an allocated cell starts there that
  // the tree has not used yet.
  std::vector<uint64_t> free_;
  size_t keyCells_ = 0;
  size_t valueCells_ = 0;
};

std::optional<RegistryHive> RegistryHive::Open(std::vector<uint8_t> primary, std::vector<uint8_t> log1,
                                               std::vector<uint8_t> log2) {
  if (primary.size() < 512 || std::memcmp(primary.data(), "regf", 4) != 0) return std::nullopt;
  RegistryHive hive;
  hive.baseBlockSound_ = hive::BaseBlockSound(primary);
  const HiveRecovery recovery = RecoverHive(primary, log1, log2);
  hive.recovered_ = recovery.baseBlockReplaced || recovery.entriesApplied != 0;
  std::vector<uint8_t>().swap(log1);
  std::vector<uint8_t>().swap(log2);
  if (primary.size() < kBinsAt) return std::nullopt;

  hive.bytes_ = std::move(primary);
  const std::span<const uint8_t> bytes(hive.bytes_);
  // The bins data is what the base block says, as far as the file goes.
  hive.binsSize_ = std::min<size_t>(U32(bytes, hive::kBinsDataSizeAt), bytes.size() - kBinsAt);
  hive.bigData_ = U32(bytes, hive::kMinorVersionAt) >= kFirstBigDataVersion;
  if (!Builder(hive).Build(U32(bytes, hive::kRootCellAt))) return std::nullopt;
  return hive;
}

std::span<const uint8_t> RegistryHive::Cell(uint32_t offset) const {
  const std::span<const uint8_t> bins = Bins();
  // Negative: allocated.
  const int64_t size = static_cast<int32_t>(U32(bins, offset));
  return bins.subspan(offset + 4, static_cast<size_t>((size < 0 ? -size : size) - 4));
}

const RegistryHive::KeyEntry* RegistryHive::Entry(Key key) const { return key < keys_.size() ? &keys_[key] : nullptr; }

std::optional<RegistryHive::Key> RegistryHive::FindKey(Key from, std::string_view path) const {
  if (Entry(from) == nullptr) return std::nullopt;
  Key current = from;
  while (!path.empty()) {
    const size_t separator = path.find('\\');
    const std::string_view component = path.substr(0, separator);
    path.remove_prefix(separator == std::string_view::npos ? path.size() : separator + 1);
    if (component.empty()) continue;
    const std::optional<Key> found = FindSubkey(current, component);
    if (!found) return std::nullopt;
    current = *found;
  }
  return current;
}

std::optional<RegistryHive::Key> RegistryHive::FindSubkey(Key parent, std::string_view name) const {
  const KeyEntry& entry = keys_[parent];
  // A sound list is sorted, so a name that differs from the one asked for
  // in ASCII letter case at most is found by halving the list. Any other
  // match (letters of other scripts in another case, or a list out of
  // order) is left to the scan.
  const std::u16string units = UpperAsciiUnits(name);
  for (Key low = entry.firstChild, high = entry.firstChild + entry.childCount; low < high;) {
    const Key middle = low + (high - low) / 2;
    const std::span<const uint8_t> nk = Cell(keys_[middle].cell);
    const int order = CompareInListOrder(NkName(nk), NkNameCompressed(nk), units);
    if (order == 0) return middle;
    if (order < 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  const std::u32string folded = FoldedQuery(name);
  for (Key child = entry.firstChild; child < entry.firstChild + entry.childCount; ++child) {
    const std::span<const uint8_t> nk = Cell(keys_[child].cell);
    if (NameMatches(NkName(nk), NkNameCompressed(nk), folded)) return child;
  }
  return std::nullopt;
}

std::vector<RegistryHive::Key> RegistryHive::Subkeys(Key key) const {
  std::vector<Key> subkeys;
  if (const KeyEntry* entry = Entry(key)) {
    subkeys.resize(entry->childCount);
    for (uint32_t i = 0; i < entry->childCount; ++i) subkeys[i] = entry->firstChild + i;
  }
  return subkeys;
}

size_t RegistryHive::SubkeyCount(Key key) const {
  const KeyEntry* entry = Entry(key);
  return entry == nullptr ? 0 : entry->childCount;
}

std::string RegistryHive::KeyName(Key key) const {
  const KeyEntry* entry = Entry(key);
  if (entry == nullptr) return {};
  const std::span<const uint8_t> nk = Cell(entry->cell);
  return DecodeName(NkName(nk), NkNameCompressed(nk));
}

std::string RegistryHive::ClassName(Key key) const {
  const KeyEntry* entry = Entry(key);
  if (entry == nullptr || entry->classCell == kNoCell) return {};
  const std::span<const uint8_t> cell = Cell(entry->classCell);
  const size_t length = std::min<size_t>(U16(Cell(entry->cell), kNkClassLengthAt), cell.size());
  return DecodeName(cell.first(length), false);
}

uint64_t RegistryHive::LastWriteTime(Key key) const {
  const KeyEntry* entry = Entry(key);
  return entry == nullptr ? 0 : U64(Cell(entry->cell), kNkLastWriteAt);
}

uint32_t RegistryHive::CellOffset(Key key) const {
  const KeyEntry* entry = Entry(key);
  return entry == nullptr ? kNoCell : entry->cell;
}

std::vector<HiveValue> RegistryHive::Values(Key key) const {
  std::vector<HiveValue> values;
  if (const KeyEntry* entry = Entry(key)) {
    values.reserve(entry->valueCount);
    for (uint32_t i = 0; i < entry->valueCount; ++i) values.push_back(ReadValue(values_[entry->firstValue + i]));
  }
  return values;
}

size_t RegistryHive::ValueCount(Key key) const {
  const KeyEntry* entry = Entry(key);
  return entry == nullptr ? 0 : entry->valueCount;
}

std::optional<HiveValue> RegistryHive::Value(Key key, std::string_view name) const {
  const KeyEntry* entry = Entry(key);
  if (entry == nullptr) return std::nullopt;
  const std::u32string folded = FoldedQuery(name);
  for (uint32_t i = 0; i < entry->valueCount; ++i) {
    const ValueEntry& value = values_[entry->firstValue + i];
    const std::span<const uint8_t> vk = Cell(value.cell);
    if (NameMatches(VkName(vk), VkNameCompressed(vk), folded)) return ReadValue(value);
  }
  return std::nullopt;
}

HiveValue RegistryHive::ReadValue(const ValueEntry& value) const {
  const std::span<const uint8_t> vk = Cell(value.cell);
  HiveValue out;
  out.name = DecodeName(VkName(vk), VkNameCompressed(vk));
  out.type = U32(vk, kVkTypeAt);
  ReadData(value, out.data);
  return out;
}

void RegistryHive::ReadData(const ValueEntry& value, std::vector<uint8_t>& out) const {
  const std::span<const uint8_t> vk = Cell(value.cell);
  const uint32_t size = U32(vk, kVkDataSizeAt);
  if ((size & kVkDataInline) != 0) {
    // Up to four bytes in the data offset field itself.
    const std::span<const uint8_t> stored = vk.subspan(kVkDataAt, std::min<uint32_t>(size & ~kVkDataInline, 4));
    out.assign(stored.begin(), stored.end());
    return;
  }
  if (value.dataCell == kNoCell) return;
  const std::span<const uint8_t> cell = Cell(value.dataCell);
  if (value.segments == 0) {
    const std::span<const uint8_t> data = cell.first(std::min<size_t>(size, cell.size()));
    out.assign(data.begin(), data.end());
    return;
  }
  const std::span<const uint8_t> list = Cell(U32(cell, 4));
  out.reserve(std::min<uint64_t>(size, uint64_t{value.segments} * kBigDataSegment));
  for (uint32_t i = 0; i < value.segments && out.size() < size; ++i) {
    const std::span<const uint8_t> segment = Cell(U32(list, i * 4));
    const size_t wanted = std::min<size_t>(kBigDataSegment, size - out.size());
    const std::span<const uint8_t> piece = segment.first(std::min(wanted, segment.size()));
    out.insert(out.end(), piece.begin(), piece.end());
    // A short segment before the last would shift all that follows.
    if (piece.size() < wanted) break;
  }
}

}  // namespace tmr
