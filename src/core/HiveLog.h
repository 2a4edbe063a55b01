// Recovery of a dirty hive from its transaction logs in the format written
// since Windows 8.1: a .LOG1 and a .LOG2, each a partial copy of the base
// block (file type 6) followed by "HvLE" entries of dirty pages. The logs
// are read, never written; the recovered hive exists only in memory.
//
// The older format (one .LOG with a "DIRT" bitmap of 512-byte pages, up to
// Windows 8) is not applied: such a log has file type 1 and is passed over,
// so a hive that only it could bring up to date is read as its primary file
// holds it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tmr {

// The seed the registry hashes its log entries with.
inline constexpr uint64_t kHiveLogSeed = 0x82EF4D887A4E55C5;

// Marvin32 (the checksum of Microsoft's SymCrypt) in its 64-bit form: the
// high state word above the low one, as a log entry stores it.
uint64_t Marvin32(std::span<const uint8_t> data, uint64_t seed);

struct HiveRecovery {
  bool baseBlockReplaced = false;  // the primary's base block was torn
  uint32_t entriesApplied = 0;
};

// When the primary file's base block says the hive is dirty (its sequence
// numbers differ, or its checksum is wrong), writes the pages of the log
// entries that follow the primary's state into `hive`: the older log first,
// each entry in turn while the sequence numbers go on without a gap, up to
// the first entry that is damaged (bad hash, size or page reference). The
// hive grows when an entry says its bins grew, by no more than the logs
// hold. `hive` starts with a "regf" signature.
HiveRecovery RecoverHive(std::vector<uint8_t>& hive, std::span<const uint8_t> log1, std::span<const uint8_t> log2);

}  // namespace tmr
