// Reader of registry hive files ("regf": NTUSER.DAT, UsrClass.dat, the
// SYSTEM and SOFTWARE hives) held in memory, for hives copied off a PC that
// is not the one running.
//
// A hive is hostile input. Open walks it once: it checks the base block and
// the bins, finds every allocated cell, and lays out the key tree from the
// root with each key's values. A cell takes part in the tree at most once
// (the first key to reach it owns it), so a subkey list that leads back to
// an ancestor, lists shared between keys, or one data cell named by many
// values give each key and byte once, and the work and memory stay linear
// in the file's size. Cells that are not whole inside their bin, not
// allocated, or of the wrong kind are left out, and with them what only
// they lead to; the rest reads as it stands.
//
// Names and texts are UTF-8. Value data is given as stored, whatever the
// type. Nothing is ever written to the files the bytes came from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tmr {

struct HiveValue {
  std::string name;  // "" is the key's default value
  uint32_t type = 0;
  std::vector<uint8_t> data;
  friend bool operator==(const HiveValue&, const HiveValue&) = default;
};

class RegistryHive {
 public:
  // A key of this hive; valid only with the hive that gave it.
  using Key = uint32_t;

  // Takes a primary file and, when its base block says it is dirty, the
  // .LOG1 and .LOG2 beside it (see HiveLog.h). nullopt when the bytes are
  // no hive: no "regf" signature, or no root key to be read.
  static std::optional<RegistryHive> Open(std::vector<uint8_t> primary, std::vector<uint8_t> log1 = {},
                                          std::vector<uint8_t> log2 = {});

  Key Root() const { return 0; }
  // The key at a '\'-separated path below `from` ("" is `from` itself; empty
  // components are skipped). Names compare with letter case ignored, as the
  // registry compares them.
  std::optional<Key> FindKey(Key from, std::string_view path) const;
  // In the order the hive stores them (by name, upper-cased).
  std::vector<Key> Subkeys(Key key) const;
  size_t SubkeyCount(Key key) const;

  std::string KeyName(Key key) const;
  std::string ClassName(Key key) const;   // "" when the key has none
  uint64_t LastWriteTime(Key key) const;  // FILETIME, UTC
  // The offset of the key's cell in the hive bins data, as tools that show
  // cells name it.
  uint32_t CellOffset(Key key) const;

  // In the order the key's value list holds them. The data is as long as
  // the value says, or shorter where the hive is damaged.
  std::vector<HiveValue> Values(Key key) const;
  size_t ValueCount(Key key) const;
  // The value of that name (letter case ignored); "" is the default value.
  std::optional<HiveValue> Value(Key key, std::string_view name) const;

  // Whether transaction log entries were applied (or the base block taken
  // from a log) to bring the hive up to date.
  bool Recovered() const { return recovered_; }
  // Whether the primary file's base block passed its checksum as read.
  bool BaseBlockSound() const { return baseBlockSound_; }

 private:
  struct KeyEntry {
    uint32_t cell;       // of the nk record
    uint32_t classCell;  // kNoCell when the key has no class name
    uint32_t firstChild = 0;
    uint32_t childCount = 0;
    uint32_t firstValue = 0;
    uint32_t valueCount = 0;
  };
  // Where a value's data lies, settled by Open: no data cell when it has
  // none of its own (inline, empty, damaged or owned by another value).
  struct ValueEntry {
    uint32_t cell;      // of the vk record
    uint32_t dataCell;  // a data cell, or a big data (db) record
    uint32_t segments;  // 0 for a data cell; of a big data record, those this value owns
  };
  class Builder;

  RegistryHive() = default;
  const KeyEntry* Entry(Key key) const;
  std::optional<Key> FindSubkey(Key parent, std::string_view name) const;
  // The cell's data (after its size field); Open checked it lies whole in
  // its bin.
  std::span<const uint8_t> Cell(uint32_t offset) const;
  HiveValue ReadValue(const ValueEntry& value) const;
  void ReadData(const ValueEntry& value, std::vector<uint8_t>& out) const;

  // The hive bins data, in the whole file as recovered.
  std::span<const uint8_t> Bins() const { return std::span<const uint8_t>(bytes_).subspan(kBinsAt, binsSize_); }

  static constexpr size_t kBinsAt = 4096;
  std::vector<uint8_t> bytes_;
  size_t binsSize_ = 0;
  bool bigData_ = false;        // the hive's version splits large data into segments
  std::vector<KeyEntry> keys_;  // breadth first: a key's subkeys are adjacent
  std::vector<ValueEntry> values_;
  bool recovered_ = false;
  bool baseBlockSound_ = false;
};

}  // namespace tmr
