#include "core/HiveLog.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "core/HiveFormat.h"

namespace tmr {
namespace {

using hive::U32;
using hive::U64;

constexpr size_t kLogBaseBlockSize = 512;  // the log keeps one sector of it
constexpr size_t kEntryHeaderSize = 40;
constexpr size_t kEntryAlignment = 512;

struct PageReference {
  uint32_t offset;  // in the hive bins data
  uint32_t size;
  size_t dataAt;  // in the entry
};

enum class EntryState { kEnd, kDamaged, kSound };

struct LogEntry {
  EntryState state = EntryState::kEnd;
  uint32_t size = 0;
  uint32_t flags = 0;
  uint32_t sequence = 0;
  uint32_t binsDataSize = 0;
  std::vector<PageReference> pages;
};

// The entry at `at`, its hashes and page references checked, so that an
// entry is applied whole or not at all.
LogEntry ReadEntry(std::span<const uint8_t> log, size_t at) {
  LogEntry entry;
  if (log.size() - at < kEntryHeaderSize || std::memcmp(log.data() + at, "HvLE", 4) != 0) return entry;
  entry.state = EntryState::kDamaged;
  entry.size = U32(log, at + 4);
  if (entry.size < kEntryHeaderSize || entry.size % kEntryAlignment != 0 || entry.size > log.size() - at) return entry;
  const std::span<const uint8_t> bytes = log.subspan(at, entry.size);
  if (Marvin32(bytes.first(32), kHiveLogSeed) != U64(bytes, 32) ||
      Marvin32(bytes.subspan(kEntryHeaderSize), kHiveLogSeed) != U64(bytes, 24)) {
    return entry;
  }
  entry.flags = U32(bytes, 8);
  entry.sequence = U32(bytes, 12);
  entry.binsDataSize = U32(bytes, 16);
  const uint32_t count = U32(bytes, 20);
  if (entry.binsDataSize == 0 || entry.binsDataSize % hive::kPageSize != 0) return entry;
  if (count > (entry.size - kEntryHeaderSize) / 8) return entry;
  size_t dataAt = kEntryHeaderSize + size_t{count} * 8;
  entry.pages.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    const PageReference page{U32(bytes, kEntryHeaderSize + i * 8), U32(bytes, kEntryHeaderSize + i * 8 + 4), dataAt};
    if (page.size > entry.size - dataAt || page.offset > entry.binsDataSize ||
        page.size > entry.binsDataSize - page.offset) {
      return entry;
    }
    dataAt += page.size;
    entry.pages.push_back(page);
  }
  entry.state = EntryState::kSound;
  return entry;
}

void ApplyEntry(std::vector<uint8_t>& hive, std::span<const uint8_t> entryBytes, const LogEntry& entry) {
  const size_t needed = hive::kBaseBlockSize + entry.binsDataSize;
  if (hive.size() < needed) hive.resize(needed);
  for (const PageReference& page : entry.pages) {
    std::memcpy(hive.data() + hive::kBaseBlockSize + page.offset, entryBytes.data() + page.dataAt, page.size);
  }
  hive::PutU32(hive, hive::kPrimarySequenceAt, entry.sequence);
  hive::PutU32(hive, hive::kSecondarySequenceAt, entry.sequence);
  hive::PutU32(hive, hive::kBinsDataSizeAt, entry.binsDataSize);
  hive::PutU32(hive, hive::kBaseBlockFlagsAt, entry.flags);
}

bool UsableLog(std::span<const uint8_t> log) {
  return log.size() > kLogBaseBlockSize && hive::BaseBlockSound(log) &&
         U32(log, hive::kFileTypeAt) == hive::kFileTypeLogNew;
}

// Applies the log's entries from the one numbered `expected` on; false when
// it met a damaged entry, which ends the recovery.
bool ApplyLog(std::vector<uint8_t>& hive, std::span<const uint8_t> log, uint64_t maxBinsData, uint32_t& expected,
              HiveRecovery& recovery) {
  for (size_t at = kLogBaseBlockSize; at < log.size();) {
    const LogEntry entry = ReadEntry(log, at);
    if (entry.state == EntryState::kEnd) return true;
    // Growth beyond what the logs could have carried is damage, not a
    // reason to allocate.
    if (entry.state == EntryState::kDamaged || entry.binsDataSize > maxBinsData) return false;
    // Entries before the primary's state were applied by an earlier flush;
    // a gap means the rest belongs to the other log or is stale.
    if (entry.sequence > expected) return true;
    if (entry.sequence == expected) {
      ApplyEntry(hive, log.subspan(at, entry.size), entry);
      ++recovery.entriesApplied;
      ++expected;
    }
    at += entry.size;
  }
  return true;
}

}  // namespace

uint64_t Marvin32(std::span<const uint8_t> data, uint64_t seed) {
  uint32_t lo = static_cast<uint32_t>(seed);
  uint32_t hi = static_cast<uint32_t>(seed >> 32);
  auto mix = [&](uint32_t word) {
    lo += word;
    hi ^= lo;
    lo = std::rotl(lo, 20) + hi;
    hi = std::rotl(hi, 9) ^ lo;
    lo = std::rotl(lo, 27) + hi;
    hi = std::rotl(hi, 19);
  };
  size_t at = 0;
  for (; data.size() - at >= 4; at += 4) mix(U32(data, at));
  // The last 0..3 bytes under a 0x80 marker byte.
  uint32_t last = 0x80;
  for (size_t i = data.size(); i > at; --i) last = last << 8 | data[i - 1];
  mix(last);
  mix(0);
  return static_cast<uint64_t>(hi) << 32 | lo;
}

HiveRecovery RecoverHive(std::vector<uint8_t>& hive, std::span<const uint8_t> log1, std::span<const uint8_t> log2) {
  HiveRecovery recovery;
  const bool primarySound = hive::BaseBlockSound(hive);
  if (primarySound && U32(hive, hive::kPrimarySequenceAt) == U32(hive, hive::kSecondarySequenceAt)) return recovery;

  std::vector<std::span<const uint8_t>> logs;
  for (std::span<const uint8_t> log : {log1, log2}) {
    if (UsableLog(log)) logs.push_back(log);
  }
  if (logs.empty()) return recovery;
  // The log begun earlier holds the earlier entries (the kernel switches to
  // the other one when a log grows too large); on a tie .LOG1 goes first.
  std::stable_sort(logs.begin(), logs.end(), [](auto a, auto b) {
    return U32(a, hive::kSecondarySequenceAt) < U32(b, hive::kSecondarySequenceAt);
  });

  if (hive.size() < hive::kBaseBlockSize) hive.resize(hive::kBaseBlockSize);
  if (!primarySound) {
    // A torn base block is taken from the log, as the kernel does; the log's
    // copy starts the sequence its entries continue.
    std::memcpy(hive.data(), logs[0].data(), kLogBaseBlockSize);
    hive::PutU32(hive, hive::kFileTypeAt, hive::kFileTypePrimary);
    recovery.baseBlockReplaced = true;
  }
  uint32_t expected = U32(hive, hive::kSecondarySequenceAt);
  uint64_t maxBinsData = hive.size() - hive::kBaseBlockSize;
  for (std::span<const uint8_t> log : logs) maxBinsData += log.size();

  for (std::span<const uint8_t> log : logs) {
    if (!ApplyLog(hive, log, maxBinsData, expected, recovery)) break;
  }
  if (recovery.baseBlockReplaced || recovery.entriesApplied != 0) {
    hive::PutU32(hive, hive::kChecksumAt, hive::BaseBlockChecksum(hive));
  }
  return recovery;
}

}  // namespace tmr
