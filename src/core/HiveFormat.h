// Layout facts of registry hive files shared by the hive reader and its
// transaction log recovery. All numbers in a hive are little-endian.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
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

// Reads of `sizeof(T)` bytes at `at` (the caller has checked the bounds),
// one load each on the little-endian machines the program runs on.
template <typename T>
T Little(std::span<const uint8_t> bytes, size_t at) {
  T value = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&value, bytes.data() + at, sizeof value);
  } else {
    for (size_t i = sizeof value; i-- > 0;) value = static_cast<T>(value << 8 | bytes[at + i]);
  }
  return value;
}
inline uint16_t U16(std::span<const uint8_t> bytes, size_t at) { return Little<uint16_t>(bytes, at); }
inline uint32_t U32(std::span<const uint8_t> bytes, size_t at) { return Little<uint32_t>(bytes, at); }
inline uint64_t U64(std::span<const uint8_t> bytes, size_t at) { return Little<uint64_t>(bytes, at); }
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
