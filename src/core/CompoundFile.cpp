#include "core/CompoundFile.h"

#include <algorithm>
#include <array>
#include <limits>

#include "core/BinaryFields.h"

namespace tmr {
namespace {

constexpr std::array<uint8_t, 8> kSignature{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr size_t kHeaderSize = 512;
constexpr size_t kHeaderDifatAt = 0x4C;
constexpr size_t kHeaderDifatEntries = 109;
constexpr size_t kEntrySize = 128;
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kFree = 0xFFFFFFFF;

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

void AppendU32s(std::vector<uint32_t>& into, const std::vector<uint8_t>& bytes) {
  const ByteRange range(bytes);
  for (size_t at = 0; at + 4 <= bytes.size(); at += 4) into.push_back(range.U32(at));
}

// Room for a stream's claimed size, so that it is copied without growing
// sector by sector; no more than the bytes that could hold it, nor more
// than a megabyte ahead, as a size is only a claim until its sectors are
// read.
size_t ReservedFor(uint64_t claimed, size_t available) {
  constexpr size_t kMostAhead = size_t{1} << 20;
  return static_cast<size_t>(std::min<uint64_t>({claimed, available, kMostAhead}));
}

}  // namespace

std::optional<CompoundFile> CompoundFile::Open(std::span<const uint8_t> bytes) {
  CompoundFile file(bytes);
  if (!file.ReadHeader()) return std::nullopt;
  file.ReadFat();
  file.ReadDirectory();
  if (file.entries_.empty() || file.entries_[0].type != CompoundEntryType::kRoot) return std::nullopt;
  const CompoundEntry& root = file.entries_[0];
  // Where the mini stream lies in one piece it is read in place, as the
  // streams in it are: it holds most of a jump list's bytes.
  const std::span<const uint8_t> mini = file.ViewChain(false, root.start, root.size, file.miniStreamCopy_);
  file.miniInPlace_ = mini.data() != file.miniStreamCopy_.data() || mini.empty();
  if (file.miniInPlace_) {
    file.miniStreamAt_ = mini.empty() ? 0 : static_cast<size_t>(mini.data() - bytes.data());
    file.miniStreamSize_ = mini.size();
  }
  std::vector<uint8_t> miniFat =
      file.ReadChain(file.firstMiniFatSector_, static_cast<uint64_t>(file.miniFatSectors_) * file.sectorSize_);
  AppendU32s(file.miniFat_, miniFat);
  file.IndexRootChildren();
  file.budget_ = bytes.size() * 2;
  return file;
}

bool CompoundFile::ReadHeader() {
  const ByteRange header(bytes_);
  if (!header.Has(0, kHeaderSize) || !std::equal(kSignature.begin(), kSignature.end(), bytes_.begin())) return false;
  majorVersion_ = header.U16(0x1A);
  const uint16_t sectorShift = header.U16(0x1E);
  const uint16_t miniShift = header.U16(0x20);
  if ((majorVersion_ != 3 && majorVersion_ != 4) || header.U16(0x1C) != 0xFFFE) return false;
  if ((sectorShift != 9 && sectorShift != 12) || miniShift != 6) return false;
  sectorSize_ = size_t{1} << sectorShift;
  miniSectorSize_ = size_t{1} << miniShift;
  fatSectors_ = header.U32(0x2C);
  firstDirectorySector_ = header.U32(0x30);
  miniStreamCutoff_ = header.U32(0x38);
  firstMiniFatSector_ = header.U32(0x3C);
  miniFatSectors_ = header.U32(0x40);
  firstDifatSector_ = header.U32(0x44);
  difatSectors_ = header.U32(0x48);
  // The header takes the first sector (all 4096 bytes of it in version 4).
  sectorCount_ = bytes_.size() > sectorSize_ ? (bytes_.size() - sectorSize_ + sectorSize_ - 1) / sectorSize_ : 0;
  return true;
}

// The FAT's sectors are listed by the header's 109 DIFAT slots and then by
// the DIFAT sectors, each of which ends in the number of the next one. No
// file has more FAT sectors than sectors, so the list stops there too.
void CompoundFile::ReadFat() {
  const ByteRange header(bytes_);
  const size_t wanted = std::min<size_t>(fatSectors_, sectorCount_);
  std::vector<uint32_t> fatSectors;
  for (size_t i = 0; i < kHeaderDifatEntries && fatSectors.size() < wanted; ++i) {
    fatSectors.push_back(header.U32(kHeaderDifatAt + i * 4));
  }
  const size_t perDifat = sectorSize_ / 4 - 1;
  uint32_t difat = firstDifatSector_;
  for (size_t steps = 0; fatSectors.size() < wanted && difat < sectorCount_ && steps < sectorCount_; ++steps) {
    const ByteRange sector = ByteRange(bytes_).Sub((difat + size_t{1}) * sectorSize_, sectorSize_);
    for (size_t i = 0; i < perDifat && fatSectors.size() < wanted; ++i) fatSectors.push_back(sector.U32(i * 4));
    difat = sector.U32(perDifat * 4);
  }
  const size_t perFat = sectorSize_ / 4;
  fat_.reserve(fatSectors.size() * perFat);
  for (uint32_t sector : fatSectors) {
    const ByteRange fatSector =
        sector < sectorCount_ ? ByteRange(bytes_).Sub((sector + size_t{1}) * sectorSize_, sectorSize_) : ByteRange();
    for (size_t i = 0; i < perFat; ++i) fat_.push_back(fatSector.Has(i * 4, 4) ? fatSector.U32(i * 4) : kFree);
  }
}

template <class Take>
void CompoundFile::WalkChain(bool mini, uint32_t start, uint64_t size, Take&& take) const {
  const size_t unit = mini ? miniSectorSize_ : sectorSize_;
  const size_t available = ChainBase(mini).size();
  const size_t sectors = mini ? (available + unit - 1) / unit : sectorCount_;
  const std::vector<uint32_t>& next = mini ? miniFat_ : fat_;
  // The file's sectors are counted after the header's; the mini stream's
  // from its start.
  const size_t skipped = mini ? 0 : 1;
  uint64_t taken = 0;
  uint32_t sector = start;
  for (size_t steps = 0; taken < size && sector < sectors && steps < sectors; ++steps) {
    const size_t at = (sector + skipped) * unit;
    const size_t count = static_cast<size_t>(std::min<uint64_t>({unit, size - taken, available - at}));
    take(at, count);
    taken += count;
    sector = sector < next.size() ? next[sector] : kEndOfChain;
  }
}

std::span<const uint8_t> CompoundFile::ChainBase(bool mini) const {
  if (!mini) return bytes_;
  return miniInPlace_ ? bytes_.subspan(miniStreamAt_, miniStreamSize_) : std::span<const uint8_t>(miniStreamCopy_);
}

std::vector<uint8_t> CompoundFile::ReadChain(uint32_t start, uint64_t size) const {
  std::vector<uint8_t> out;
  out.reserve(ReservedFor(size, bytes_.size()));
  WalkChain(false, start, size, [&](size_t at, size_t count) {
    out.insert(out.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(at),
               bytes_.begin() + static_cast<std::ptrdiff_t>(at + count));
  });
  return out;
}

void CompoundFile::ReadDirectory() {
  const std::vector<uint8_t> directory = ReadChain(firstDirectorySector_, std::numeric_limits<uint64_t>::max());
  const ByteRange bytes(directory);
  entries_.reserve(directory.size() / kEntrySize);
  for (size_t at = 0; at + kEntrySize <= directory.size(); at += kEntrySize) {
    const ByteRange raw = bytes.Sub(at, kEntrySize);
    CompoundEntry entry;
    const size_t nameBytes = std::min<size_t>(raw.U16(64), 64);
    entry.name = Utf16Field(raw, 0, nameBytes / 2).text;
    const uint8_t type = raw.U8(66);
    if (type == 1 || type == 2 || type == 5) entry.type = static_cast<CompoundEntryType>(type);
    entry.left = raw.U32(68);
    entry.right = raw.U32(72);
    entry.child = raw.U32(76);
    entry.created = raw.U64(100);
    entry.modified = raw.U64(108);
    entry.start = raw.U32(116);
    // Version 3 writers were allowed to leave garbage in the high half.
    entry.size = majorVersion_ == 3 ? raw.U32(120) : raw.U64(120);
    entries_.push_back(std::move(entry));
  }
}

// An in-order walk of the root's red-black tree. Each entry is entered at
// most once, so a tree whose links loop or are shared still costs one step
// per entry.
void CompoundFile::IndexRootChildren() {
  std::vector<bool> seen(entries_.size(), false);
  std::vector<uint32_t> stack;
  auto usable = [&](uint32_t index) { return index < entries_.size() && !seen[index]; };
  uint32_t node = entries_[0].child;
  seen[0] = true;
  while (true) {
    while (usable(node)) {
      seen[node] = true;
      stack.push_back(node);
      node = entries_[node].left;
    }
    if (stack.empty()) break;
    const uint32_t current = stack.back();
    stack.pop_back();
    const CompoundEntry& entry = entries_[current];
    if (entry.type == CompoundEntryType::kStream || entry.type == CompoundEntryType::kStorage) {
      rootChildren_.push_back(current);
      rootIndex_.emplace_back(UpperAscii(entry.name), current);
    }
    node = entry.right;
  }
  // Sorted once rather than hashed: a jump list has a root child per entry,
  // and a node of its own for each cost more than the lookups. Stable, so
  // that of two entries with one name the first in the tree is found.
  std::stable_sort(rootIndex_.begin(), rootIndex_.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
}

const CompoundEntry* CompoundFile::FindRootEntry(std::string_view name) const {
  const std::string key = UpperAscii(name);
  const auto found = std::lower_bound(rootIndex_.begin(), rootIndex_.end(), key,
                                      [](const auto& indexed, const std::string& k) { return indexed.first < k; });
  if (found == rootIndex_.end() || found->first != key || entries_[found->second].type != CompoundEntryType::kStream) {
    return nullptr;
  }
  return &entries_[found->second];
}

std::optional<std::vector<uint8_t>> CompoundFile::ReadRootStream(std::string_view name) const {
  const CompoundEntry* entry = FindRootEntry(name);
  if (!entry) return std::nullopt;
  return ReadStream(*entry);
}

std::optional<std::span<const uint8_t>> CompoundFile::ViewRootStream(std::string_view name,
                                                                     std::vector<uint8_t>& scratch) const {
  const CompoundEntry* entry = FindRootEntry(name);
  if (!entry) return std::nullopt;
  return ViewStream(*entry, scratch);
}

std::vector<uint8_t> CompoundFile::ReadStream(const CompoundEntry& entry) const {
  std::vector<uint8_t> scratch;
  const std::span<const uint8_t> view = ViewStream(entry, scratch);
  if (view.data() == scratch.data()) return scratch;
  return std::vector<uint8_t>(view.begin(), view.end());
}

std::span<const uint8_t> CompoundFile::ViewChain(bool mini, uint32_t start, uint64_t size,
                                                 std::vector<uint8_t>& scratch) const {
  const std::span<const uint8_t> base = ChainBase(mini);
  // While the pieces follow one another the chain is [runStart, runEnd) of
  // the base; from the first that does not, it is copied.
  size_t runStart = 0;
  size_t runEnd = 0;
  bool started = false;
  bool copying = false;
  auto piece = [&](size_t at) { return base.begin() + static_cast<std::ptrdiff_t>(at); };
  WalkChain(mini, start, size, [&](size_t at, size_t count) {
    if (copying) {
      scratch.insert(scratch.end(), piece(at), piece(at + count));
    } else if (!started) {
      started = true;
      runStart = at;
      runEnd = at + count;
    } else if (at == runEnd) {
      runEnd += count;
    } else {
      copying = true;
      scratch.clear();
      scratch.reserve(ReservedFor(size, base.size()));
      scratch.insert(scratch.end(), piece(runStart), piece(runEnd));
      scratch.insert(scratch.end(), piece(at), piece(at + count));
    }
  });
  return copying ? std::span<const uint8_t>(scratch) : base.subspan(runStart, runEnd - runStart);
}

std::span<const uint8_t> CompoundFile::ViewStream(const CompoundEntry& entry, std::vector<uint8_t>& scratch) const {
  if (entry.type != CompoundEntryType::kStream || budget_ == 0) return {};
  const std::span<const uint8_t> data = ViewChain(entry.size < miniStreamCutoff_, entry.start, entry.size, scratch);
  if (data.size() > budget_) {
    budget_ = 0;
    return {};
  }
  budget_ -= data.size();
  return data;
}

}  // namespace tmr
