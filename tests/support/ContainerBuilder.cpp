#include "support/ContainerBuilder.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace tmr::test {
namespace {

constexpr uint32_t kFirstBlock = 0x4000;
constexpr uint32_t kBlock = 128;
constexpr uint32_t kHashBlocks = 4;
constexpr uint32_t kLocationAt = 0x68;

void PutU16(std::string& bytes, size_t at, uint16_t value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>(value >> 8);
}

// The data area: its 16-byte header, the title entry, a closing entry.
std::string DataArea(const std::optional<std::u16string>& title) {
  std::string area(16, '\0');
  if (title) {
    std::string entry((4 + (title->size() + 1) * 2 + 3) / 4 * 4, '\0');
    PutU16(entry, 0, static_cast<uint16_t>(entry.size()));
    entry[2] = 0x10;
    entry[3] = 0x1F;
    for (size_t i = 0; i < title->size(); ++i) PutU16(entry, 4 + 2 * i, static_cast<uint16_t>((*title)[i]));
    area += entry;
  }
  return area + std::string(4, '\0');
}

void Allocate(std::string& bytes, uint32_t firstBlock, uint32_t blocks) {
  for (uint32_t b = firstBlock; b < firstBlock + blocks; ++b) bytes[0x250 + b / 8] |= static_cast<char>(1 << (b % 8));
}

}  // namespace

void PutU32(std::string& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint32_t GetU32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

BuiltContainer BuildContainer(const std::vector<BuiltEntry>& entries) {
  BuiltContainer built;
  std::string& bytes = built.bytes;
  // Room for a slot per entry.
  const uint32_t hashBlocks =
      std::max(kHashBlocks, (16 + 8 * static_cast<uint32_t>(entries.size()) + kBlock - 1) / kBlock);
  bytes.assign(kFirstBlock + hashBlocks * kBlock, '\0');
  bytes.replace(0, 28, std::string("Client UrlCache MMF Ver 5.2\0", 28));
  built.hashTable = kFirstBlock;
  bytes.replace(kFirstBlock, 4, "HASH");
  PutU32(bytes, kFirstBlock + 4, hashBlocks);
  for (uint32_t slot = kFirstBlock + 16; slot < kFirstBlock + hashBlocks * kBlock; slot += 4) {
    PutU32(bytes, slot, 0xDEADBEEF);  // unused slots
  }
  Allocate(bytes, 0, hashBlocks);

  uint32_t nextSlot = kFirstBlock + 16;
  for (const BuiltEntry& entry : entries) {
    std::string area = DataArea(entry.title);
    uint32_t dataAt = (kLocationAt + static_cast<uint32_t>(entry.location.size()) + 1 + 3) / 4 * 4;
    uint32_t blocks = (dataAt + static_cast<uint32_t>(area.size()) + kBlock - 1) / kBlock;
    std::string record(blocks * kBlock, '\0');
    record.replace(0, 4, "URL ");
    PutU32(record, 4, blocks);
    for (size_t at : {8, 16}) {
      PutU32(record, at, static_cast<uint32_t>(entry.lastVisited));
      PutU32(record, at + 4, static_cast<uint32_t>(entry.lastVisited >> 32));
    }
    PutU32(record, 52, kLocationAt);
    PutU32(record, 68, dataAt);
    PutU32(record, 72, static_cast<uint32_t>(area.size()));
    record.replace(kLocationAt, entry.location.size(), entry.location);
    record.replace(dataAt, area.size(), area);

    uint32_t offset = static_cast<uint32_t>(bytes.size());
    bytes += record;
    built.recordOffsets.push_back(offset);
    if (!entry.deleted) {
      Allocate(bytes, (offset - kFirstBlock) / kBlock, blocks);
      PutU32(bytes, nextSlot, 0x1000 + offset * 7);  // any hash but 1 and the offset
      PutU32(bytes, nextSlot + 4, offset);
      nextSlot += 8;
    }
  }
  PutU32(bytes, 28, static_cast<uint32_t>(bytes.size()));
  PutU32(bytes, 32, built.hashTable);
  PutU32(bytes, 36, static_cast<uint32_t>((bytes.size() - kFirstBlock) / kBlock));
  return built;
}

std::string BuildOverlappingTables(const std::vector<BuiltEntry>& entries, size_t size, uint32_t tables) {
  BuiltContainer built = BuildContainer(entries);
  std::string& bytes = built.bytes;
  const uint32_t first = static_cast<uint32_t>(bytes.size());
  bytes.resize(size, '\0');
  uint32_t live = 0;
  for (uint32_t slot = first; slot + 8 <= size; slot += 8, ++live) {
    PutU32(bytes, slot, 0x80000000u | live);
    PutU32(bytes, slot + 4, built.recordOffsets[live % built.recordOffsets.size()]);
  }
  for (uint32_t t = 0; t < tables; ++t) {
    const uint32_t at = first + t * kBlock;
    bytes.replace(at, 4, "HASH");
    PutU32(bytes, at + 4, static_cast<uint32_t>((size - at) / kBlock));
    PutU32(bytes, at + 8, t + 1 < tables ? at + kBlock : 0);
  }
  PutU32(bytes, 28, static_cast<uint32_t>(size));
  PutU32(bytes, 32, first);
  return bytes;
}

std::string BuildOverlappingRecords(const std::vector<BuiltEntry>& entries, size_t size, uint32_t records) {
  BuiltContainer built = BuildContainer(entries);
  std::string& bytes = built.bytes;
  const uint32_t table = static_cast<uint32_t>(bytes.size());
  const uint32_t tableBlocks = (16 + records * 8 + kBlock - 1) / kBlock;
  const uint32_t first = table + tableBlocks * kBlock;
  const uint32_t text = first + records * kBlock;
  bytes.resize(size, 'x');
  std::fill(bytes.begin() + table, bytes.begin() + text, '\0');
  bytes.back() = '\0';
  PutU32(bytes, built.hashTable + 8, table);
  bytes.replace(table, 4, "HASH");
  PutU32(bytes, table + 4, tableBlocks);
  for (uint32_t r = 0; r < records; ++r) {
    const uint32_t at = first + r * kBlock;
    PutU32(bytes, table + 16 + r * 8, 0x80000000u | r);
    PutU32(bytes, table + 20 + r * 8, at);
    bytes.replace(at, 4, "URL ");
    PutU32(bytes, at + 4, static_cast<uint32_t>((size - at) / kBlock));
    PutU32(bytes, at + 52, text - at);
  }
  PutU32(bytes, 28, static_cast<uint32_t>(size));
  return bytes;
}

}  // namespace tmr::test
