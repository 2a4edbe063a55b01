#include "core/HiveRules.h"

#include <cstdio>

#include "core/CaseFold.h"
#include "core/TextUtil.h"
#include "core/Utf8Text.h"

namespace tmr {
namespace {

// The live layer's buffers: 20 characters for a value name, 256 for a key
// name, each with its terminator. A longer name fails the enumeration call,
// which ends the listing there.
constexpr size_t kValueNameUnits = 20;
constexpr size_t kKeyNameUnits = 256;

size_t Utf16Units(std::string_view utf8) {
  size_t units = 0;
  for (const char c : utf8) {
    const auto byte = static_cast<uint8_t>(c);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
  }
  return units;
}

std::optional<RegistryHive::Key> FindKeyIn(const RegistryHive* hive, std::string_view key) {
  if (!hive) return std::nullopt;
  return hive->FindKey(hive->Root(), key);
}

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  return ToLowerAscii(a) == ToLowerAscii(b);
}

// The first '\'-separated name of a path and what follows it.
std::pair<std::string_view, std::string_view> SplitFirst(std::string_view path) {
  const size_t separator = path.find('\\');
  if (separator == std::string_view::npos) return {path, {}};
  return {path.substr(0, separator), path.substr(separator + 1)};
}

}  // namespace

std::string Utf16DataText(std::span<const uint8_t> data) {
  std::u16string units;
  units.reserve(data.size() / 2);
  for (size_t at = 0; at + 1 < data.size(); at += 2) {
    const auto unit = static_cast<char16_t>(data[at] | data[at + 1] << 8);
    if (unit == 0) break;
    units.push_back(unit);
  }
  return Utf8Encode(units);
}

std::optional<std::string> RegistryTextOf(uint32_t type, std::span<const uint8_t> data) {
  if (type == kRegSz) {
    if (data.size() < 2) return std::nullopt;
    return Utf16DataText(data);
  }
  if (type == kRegDword) {
    // A shorter value fills the low bytes of a zeroed number; a longer one
    // does not fit the four-byte buffer, and the query fails.
    if (data.size() > 4) return std::nullopt;
    uint32_t number = 0;
    for (size_t i = 0; i < data.size(); ++i) number |= uint32_t{data[i]} << (8 * i);
    return std::to_string(number);
  }
  return std::nullopt;
}

const HiveRules::KeyValues& HiveRules::Load(std::string_view key) const {
  if (last_.loaded && last_.path == key) return last_;
  last_ = KeyValues{};
  last_.loaded = true;
  last_.path = std::string(key);
  const std::optional<RegistryHive::Key> found = FindKeyIn(hive_, key);
  if (!found) return last_;
  last_.found = true;
  last_.values = hive_->Values(*found);
  for (size_t i = 0; i < last_.values.size(); ++i) last_.byName.emplace(FoldCaseUtf8(last_.values[i].name), i);
  return last_;
}

const HiveValue* HiveRules::Find(const KeyValues& key, std::string_view name) const {
  const auto at = key.byName.find(FoldCaseUtf8(name));
  return at == key.byName.end() ? nullptr : &key.values[at->second];
}

std::optional<std::string> HiveRules::Text(std::string_view key, std::string_view name) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  const HiveValue* value = Find(Load(key), name);
  if (!value) return std::nullopt;
  return RegistryTextOf(value->type, value->data);
}

std::optional<std::vector<std::string>> HiveRules::ValueNames(std::string_view key) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  const KeyValues& values = Load(key);
  if (!values.found) return std::nullopt;
  std::vector<std::string> names;
  for (const HiveValue& value : values.values) {
    if (Utf16Units(value.name) >= kValueNameUnits) break;
    names.push_back(value.name);
  }
  return names;
}

std::vector<std::string> HiveRules::SubKeys(std::string_view key) const {
  std::vector<std::string> names;
  const std::optional<RegistryHive::Key> found = FindKeyIn(hive_, key);
  if (!found) return names;
  for (const RegistryHive::Key subkey : hive_->Subkeys(*found)) {
    std::string name = hive_->KeyName(subkey);
    if (Utf16Units(name) >= kKeyNameUnits) break;
    names.push_back(std::move(name));
  }
  return names;
}

std::vector<uint8_t> HiveRules::Bytes(std::string_view key, std::string_view name) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  const KeyValues& values = Load(key);
  if (!values.found) return {};
  const HiveValue* value = Find(values, name);
  if (!value) return std::vector<uint8_t>(2, 0);
  std::vector<uint8_t> bytes = value->data;
  bytes.push_back(0);
  return bytes;
}

std::optional<std::vector<HiveValue>> HiveRules::Values(std::string_view key) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  const KeyValues& values = Load(key);
  if (!values.found) return std::nullopt;
  return values.values;
}

std::optional<uint64_t> HiveRules::KeyLastWritten(std::string_view key) const {
  const std::optional<RegistryHive::Key> found = FindKeyIn(hive_, key);
  if (!found) return std::nullopt;
  return hive_->LastWriteTime(*found);
}

MachineKey ResolveMachineKey(std::string_view key, std::optional<uint32_t> currentControlSet) {
  const auto [top, below] = SplitFirst(key);
  if (EqualsIgnoreAsciiCase(top, "SOFTWARE")) return {MachineHive::kSoftware, std::string(below)};
  if (!EqualsIgnoreAsciiCase(top, "SYSTEM")) return {};
  const auto [set, rest] = SplitFirst(below);
  if (!currentControlSet || !EqualsIgnoreAsciiCase(set, "CurrentControlSet")) {
    return {MachineHive::kSystem, std::string(below)};
  }
  char name[32];
  std::snprintf(name, sizeof name, "ControlSet%03u", static_cast<unsigned>(*currentControlSet));
  std::string path = name;
  if (!rest.empty()) {
    path += '\\';
    path += rest;
  }
  return {MachineHive::kSystem, std::move(path)};
}

std::optional<uint32_t> CurrentControlSet(const RegistryHive* system) {
  const std::optional<RegistryHive::Key> select = FindKeyIn(system, "Select");
  if (!select) return std::nullopt;
  const std::optional<HiveValue> current = system->Value(*select, "Current");
  if (!current || current->type != kRegDword || current->data.size() != 4) return std::nullopt;
  return uint32_t{current->data[0]} | uint32_t{current->data[1]} << 8 | uint32_t{current->data[2]} << 16 |
         uint32_t{current->data[3]} << 24;
}

}  // namespace tmr
