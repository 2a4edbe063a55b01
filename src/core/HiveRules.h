// A hive's keys and values as the live registry layer (platform/Registry.h)
// gives them, so that a reader finds the same texts, names and bytes in a
// copied hive as in the running system's registry. Key paths are
// '\'-separated below the hive's root. Safe to use from several threads.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/RegistryHive.h"

namespace tmr {

inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegDword = 4;

// The text a value of this type and data reads as: a REG_SZ up to its first
// NUL (an odd last byte is no character), a REG_DWORD of at most four bytes
// as its decimal number; nullopt for a REG_SZ without a character, a longer
// REG_DWORD and every other type.
std::optional<std::string> RegistryTextOf(uint32_t type, std::span<const uint8_t> data);

// UTF-16LE data up to its first NUL, as UTF-8 (REG_SZ or REG_EXPAND_SZ read
// as text whatever the type).
std::string Utf16DataText(std::span<const uint8_t> data);

class HiveRules {
 public:
  // hive may be null: then it has no keys.
  explicit HiveRules(const RegistryHive* hive) : hive_(hive) {}
  HiveRules(const HiveRules&) = delete;
  HiveRules& operator=(const HiveRules&) = delete;

  std::optional<std::string> Text(std::string_view key, std::string_view name) const;
  // The names in stored order, up to the first of 20 UTF-16 units or more
  // (the live layer's name buffer holds 19 and the terminator); nullopt for
  // a missing key.
  std::optional<std::vector<std::string>> ValueNames(std::string_view key) const;
  // In stored order, up to the first name of 256 UTF-16 units or more.
  std::vector<std::string> SubKeys(std::string_view key) const;
  // The data and one zero byte; {0, 0} for a missing value, {} for a
  // missing key.
  std::vector<uint8_t> Bytes(std::string_view key, std::string_view name) const;
  std::optional<std::vector<HiveValue>> Values(std::string_view key) const;
  std::optional<uint64_t> KeyLastWritten(std::string_view key) const;

 private:
  // The key read last, with its values by folded name. Readers list a
  // key's names and then ask for each value by name: without this, a key of
  // n values costs n searches through them, which a hostile hive makes
  // endless.
  struct KeyValues {
    bool loaded = false;
    std::string path;
    bool found = false;
    std::vector<HiveValue> values;
    std::unordered_map<std::string, size_t> byName;
  };
  // Called with mutex_ held.
  const KeyValues& Load(std::string_view key) const;
  const HiveValue* Find(const KeyValues& key, std::string_view name) const;

  const RegistryHive* hive_;
  mutable std::mutex mutex_;
  mutable KeyValues last_;
};

// Where a key of HKEY_LOCAL_MACHINE lies in a copied system's hive files:
// "SYSTEM\..." in the SYSTEM hive, "SOFTWARE\..." in the SOFTWARE hive (the
// first name's letter case ignored), anything else nowhere. An offline
// SYSTEM hive has no "CurrentControlSet": it stands for the control set
// that Select\Current names (ControlSet001, ...), and stays unresolved,
// so missing, without one.
enum class MachineHive { kNone, kSystem, kSoftware };
struct MachineKey {
  MachineHive hive = MachineHive::kNone;
  std::string path;  // below that hive's root
};
MachineKey ResolveMachineKey(std::string_view key, std::optional<uint32_t> currentControlSet);

// Select\Current of a SYSTEM hive; nullopt when it has none.
std::optional<uint32_t> CurrentControlSet(const RegistryHive* system);

}  // namespace tmr
