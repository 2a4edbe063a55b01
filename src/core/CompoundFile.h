// A reader of OLE compound files (MS-CFB, "structured storage"): the
// header, the FAT reached through the DIFAT, the mini FAT and mini stream,
// and the directory. Our own reader rather than the platform's
// StgOpenStorage, so that it runs on bytes, builds natively and can be
// fuzzed. Everything read is bounded by the file: a sector chain ends at a
// sector out of range or after as many steps as the file has sectors (a
// longer one is a loop), and sizes are never trusted beyond the sectors
// that back them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tmr {

enum class CompoundEntryType : uint8_t { kUnused = 0, kStorage = 1, kStream = 2, kRoot = 5 };

struct CompoundEntry {
  std::string name;  // UTF-8
  CompoundEntryType type = CompoundEntryType::kUnused;
  uint32_t left = 0;  // siblings and first child in the red-black tree; 0xFFFFFFFF = none
  uint32_t right = 0;
  uint32_t child = 0;
  uint32_t start = 0;  // first sector (or mini sector) of the stream
  uint64_t size = 0;
  uint64_t created = 0;  // FILETIMEs of storages; 0 = not stored
  uint64_t modified = 0;
};

class CompoundFile {
 public:
  // nullopt unless the bytes hold a compound file header and a directory
  // whose first entry is the root. The bytes must outlive the reader.
  static std::optional<CompoundFile> Open(std::span<const uint8_t> bytes);

  // Every directory entry in directory order (unused ones included, so an
  // entry's index is its directory number).
  const std::vector<CompoundEntry>& Entries() const { return entries_; }

  // The indices of the entries directly under the root storage, in tree
  // order (the order of the names as the format sorts them).
  const std::vector<uint32_t>& RootChildren() const { return rootChildren_; }

  // A stream directly under the root, by name (compared without regard to
  // ASCII case, as the format does); nullopt when there is none.
  std::optional<std::vector<uint8_t>> ReadRootStream(std::string_view name) const;

  // The bytes of a stream entry, as many of its claimed size as its sectors
  // hold. A sound file's streams share no sector, so together they never
  // hold more than the file: once the streams read from one reader add up
  // to more than twice the file, the file shares sectors between streams
  // and every further read gives nothing, which keeps a file made of
  // thousands of entries on one long chain linear to read.
  std::vector<uint8_t> ReadStream(const CompoundEntry& entry) const;

  // The same bytes without a copy where the stream's sectors follow one
  // another (a view into the file, or into the mini stream); a stream in
  // pieces is copied into scratch, which is otherwise left alone. Valid
  // while the reader and scratch are. Counts against the same budget.
  std::span<const uint8_t> ViewStream(const CompoundEntry& entry, std::vector<uint8_t>& scratch) const;
  std::optional<std::span<const uint8_t>> ViewRootStream(std::string_view name, std::vector<uint8_t>& scratch) const;

 private:
  explicit CompoundFile(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool ReadHeader();
  void ReadFat();
  // Hands each piece of a chain (its offset in the file or the mini
  // stream, and length) to take, up to size bytes.
  template <class Take>
  void WalkChain(bool mini, uint32_t start, uint64_t size, Take&& take) const;
  std::span<const uint8_t> ChainBase(bool mini) const;
  // A chain's bytes in place where its pieces follow one another, else
  // copied into scratch.
  std::span<const uint8_t> ViewChain(bool mini, uint32_t start, uint64_t size, std::vector<uint8_t>& scratch) const;
  std::vector<uint8_t> ReadChain(uint32_t start, uint64_t size) const;
  const CompoundEntry* FindRootEntry(std::string_view name) const;
  void ReadDirectory();
  void IndexRootChildren();

  std::span<const uint8_t> bytes_;
  uint32_t majorVersion_ = 0;
  size_t sectorSize_ = 512;
  size_t miniSectorSize_ = 64;
  uint32_t miniStreamCutoff_ = 4096;
  uint32_t fatSectors_ = 0;
  uint32_t firstDirectorySector_ = 0;
  uint32_t firstMiniFatSector_ = 0;
  uint32_t miniFatSectors_ = 0;
  uint32_t firstDifatSector_ = 0;
  uint32_t difatSectors_ = 0;
  size_t sectorCount_ = 0;  // sectors after the header that the file holds, the last possibly cut short

  std::vector<uint32_t> fat_;
  std::vector<uint32_t> miniFat_;
  // The mini stream: where it lies in the file (an offset, so that the
  // reader stays copyable), or a copy of its pieces.
  bool miniInPlace_ = true;
  size_t miniStreamAt_ = 0;
  size_t miniStreamSize_ = 0;
  std::vector<uint8_t> miniStreamCopy_;
  std::vector<CompoundEntry> entries_;
  std::vector<uint32_t> rootChildren_;
  std::vector<std::pair<std::string, uint32_t>> rootIndex_;  // upper-cased name -> entry, by name
  mutable size_t budget_ = 0;                                // bytes ReadStream may still hand out
};

}  // namespace tmr
