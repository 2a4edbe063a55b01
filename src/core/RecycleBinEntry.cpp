#include "core/RecycleBinEntry.h"

#include "core/Utf8Text.h"

namespace tmr {
namespace {

constexpr std::size_t kHeaderBytes = 24;         // version, size, deletion time
constexpr std::size_t kVersion1PathUnits = 260;  // MAX_PATH
// The longest path the file system takes (with the "\\?\" prefix), and so
// the most a version 2 count can honestly be.
constexpr uint32_t kMaxPathUnits = 32767;

uint64_t ReadU64(std::string_view bytes, std::size_t at) {
  uint64_t value = 0;
  for (std::size_t i = 0; i < 8; ++i) value |= uint64_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
  return value;
}

uint32_t ReadU32(std::string_view bytes, std::size_t at) {
  uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) value |= uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
  return value;
}

// UTF-16LE units up to the first NUL (or all of them) as UTF-8.
std::string PathFromUnits(std::string_view units) {
  std::u16string text;
  text.reserve(units.size() / 2);
  for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
    const auto unit =
        static_cast<char16_t>(static_cast<unsigned char>(units[i]) | static_cast<unsigned char>(units[i + 1]) << 8);
    if (unit == 0) break;
    text.push_back(unit);
  }
  return Utf8Encode(text);
}

}  // namespace

std::optional<RecycleBinEntry> DecodeRecycleBinEntry(std::string_view bytes) {
  if (bytes.size() < kHeaderBytes) return std::nullopt;
  RecycleBinEntry entry;
  entry.formatVersion = ReadU64(bytes, 0);
  entry.originalSize = ReadU64(bytes, 8);
  entry.deletionTime = ReadU64(bytes, 16);
  if (entry.formatVersion == 1) {
    if (bytes.size() < kHeaderBytes + 2 * kVersion1PathUnits) return std::nullopt;
    entry.originalPath = PathFromUnits(bytes.substr(kHeaderBytes, 2 * kVersion1PathUnits));
    return entry;
  }
  if (entry.formatVersion == 2) {
    if (bytes.size() < kHeaderBytes + 4) return std::nullopt;
    // The count includes the terminating NUL.
    const uint32_t units = ReadU32(bytes, kHeaderBytes);
    if (units > kMaxPathUnits + 1 || bytes.size() - (kHeaderBytes + 4) < std::size_t{units} * 2) return std::nullopt;
    entry.originalPath = PathFromUnits(bytes.substr(kHeaderBytes + 4, std::size_t{units} * 2));
    return entry;
  }
  return std::nullopt;
}

std::string RecycleBinDataName(std::string_view metadataName) {
  const std::size_t slash = metadataName.find_last_of("\\/");
  const std::size_t nameAt = slash == std::string_view::npos ? 0 : slash + 1;
  const std::string_view name = metadataName.substr(nameAt);
  if (name.size() < 3 || name[0] != '$' || (name[1] != 'I' && name[1] != 'i')) return "";
  std::string dataName(metadataName);
  dataName[nameAt + 1] = name[1] == 'I' ? 'R' : 'r';
  return dataName;
}

}  // namespace tmr
