// Builds small hive files and transaction logs for tests: a base block and
// bins of cells that a test lays out record by record, each record naming
// cells made before it, and damage made on purpose with Put32.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tmr::test {

inline constexpr uint32_t kNoHiveCell = 0xFFFFFFFF;

struct KeyLayout {
  std::string name;  // the stored bytes: Latin-1 when compressed, else UTF-16LE (Utf16Le)
  bool compressed = true;
  uint32_t subkeyList = kNoHiveCell;
  uint32_t valueList = kNoHiveCell;
  uint32_t valueCount = 0;
  uint32_t classCell = kNoHiveCell;
  uint16_t classLength = 0;
  uint64_t lastWrite = 0;
};

class HiveBuilder {
 public:
  explicit HiveBuilder(uint32_t minorVersion = 5) : minorVersion_(minorVersion) { NewBin(); }

  // An allocated cell holding `data`, padded to 8 bytes; its offset.
  uint32_t AddCell(std::span<const uint8_t> data);
  uint32_t AddKey(const KeyLayout& key);
  // sizeField and dataField as a vk record stores them (0x80000000 | n:
  // n bytes inline in dataField).
  uint32_t AddValue(std::string_view name, uint32_t type, uint32_t sizeField, uint32_t dataField,
                    bool compressed = true);
  // "lf"/"lh" (hints left zero), "li" or "ri".
  uint32_t AddList(std::string_view signature, const std::vector<uint32_t>& elements);
  uint32_t AddOffsets(const std::vector<uint32_t>& offsets);  // a value or segment list
  // A big data record: segments of 16344 bytes and their list.
  uint32_t AddBigData(std::span<const uint8_t> data);
  // Later cells go into a new bin.
  void NewBin();

  // Stores into a cell's data (at = 0 is just after its size field; -4 is
  // the size field).
  void Put32(uint32_t cell, int at, uint32_t value);
  std::vector<uint8_t> Build(uint32_t root);

 private:
  void CloseBin();
  uint32_t minorVersion_;
  std::vector<uint8_t> bins_;
  size_t binStart_ = 0;
};

// A whole hive from keys and values: each path below the root
// ('\'-separated; its parents are made too) with its values in the order
// given, subkeys in the order the registry keeps them. Names are UTF-8
// (stored compressed when they are ASCII); data up to four bytes is
// stored inside the value record, as the registry stores it.
struct TreeValue {
  std::string name;
  uint32_t type = 0;
  std::string data;
};
struct TreeKey {
  TreeKey(std::string keyPath, std::vector<TreeValue> keyValues = {}, uint64_t written = 0)
      : path(std::move(keyPath)), values(std::move(keyValues)), lastWrite(written) {}
  std::string path;
  std::vector<TreeValue> values;
  uint64_t lastWrite = 0;
};
std::vector<uint8_t> BuildHiveTree(const std::vector<TreeKey>& keys);

// Text as the data of a REG_SZ: UTF-16LE with its terminator.
std::string SzData(std::u16string_view text);

std::string Utf16Le(std::u16string_view text);
std::vector<uint8_t> ToBytes(std::string_view text);

struct LogPage {
  uint32_t offset;  // in the hive bins data
  std::vector<uint8_t> bytes;
};
struct LogEntryParts {
  uint32_t sequence;
  uint32_t binsDataSize;
  std::vector<LogPage> pages;
};

// A transaction log in the current format for a hive with this base block:
// its copy (file type 6, both sequence numbers `sequence`) and the entries
// with their hashes.
std::vector<uint8_t> BuildLog(std::span<const uint8_t> baseBlock, uint32_t sequence,
                              const std::vector<LogEntryParts>& entries);

// Sets the base block's checksum to match its first 508 bytes.
void SealBaseBlock(std::span<uint8_t> baseBlock);

}  // namespace tmr::test
