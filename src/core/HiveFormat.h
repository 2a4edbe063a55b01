// Layout facts of registry hive files shared by the hive reader and its
// transaction log recovery. All numbers in a hive are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace tmr::hive {

// The base block (file header); the hive bins data follows it, and every
// cell offset stored in a hive is relative to the start of that data.
inline constexpr size_t kBaseBlockSize = 4096;
inline constexpr size_t kPageSize = 4096;
inline constexpr size_t kChecksumAt = 508;
inline constexpr size_t kPrimarySequenceAt = 4;
inline constexpr size_t kSecondarySequenceAt = 8;
inline constexpr size_t kMinorVersionAt = 24;
inline constexpr size_t kFileTypeAt = 28;
inline constexpr size_t kRootCellAt = 36;
inline constexpr size_t kBinsDataSizeAt = 40;
inline constexpr size_t kBaseBlockFlagsAt = 144;

inline constexpr uint32_t kFileTypePrimary = 0;
inline constexpr uint32_t kFileTypeLogNew = 6;

inline uint16_t U16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8);
}
inline uint32_t U32(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(bytes[at]) | static_cast<uint32_t>(bytes[at + 1]) << 8 |
         static_cast<uint32_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}
inline uint64_t U64(std::span<const uint8_t> bytes, size_t at) {
  return U32(bytes, at) | static_cast<uint64_t>(U32(bytes, at + 4)) << 32;
}
inline void PutU32(std::span<uint8_t> bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The XOR of the base block's first 508 bytes as the kernel stores it: it
// never writes 0 or ~0 (those read as an unset sum), so they become 1 and
// ~0 - 1. `block` holds at least 512 bytes.
inline uint32_t BaseBlockChecksum(std::span<const uint8_t> block) {
  uint32_t sum = 0;
  for (size_t at = 0; at < kChecksumAt; at += 4) sum ^= U32(block, at);
  if (sum == 0xFFFFFFFF) return 0xFFFFFFFE;
  if (sum == 0) return 1;
  return sum;
}

inline bool BaseBlockSound(std::span<const uint8_t> block) {
  return block.size() >= 512 && block[0] == 'r' && block[1] == 'e' && block[2] == 'g' && block[3] == 'f' &&
         U32(block, kChecksumAt) == BaseBlockChecksum(block);
}

}  // namespace tmr::hive
