// Entry point for the registry hive reader and the recovery from its logs.
//
// An input is a byte of choices, the lengths of two logs (32 bits each, cut
// to what follows), the .LOG1 and .LOG2 bytes, and the primary file (the
// rest). Choice bit 0 makes the base blocks' checksums match and bit 1 the
// log entries' hashes, so that mutated bytes get past those checks to the
// code behind them.
#include <set>
#include <vector>

#include "FuzzInput.h"
#include "FuzzTargets.h"
#include "core/CaseFold.h"
#include "core/HiveFormat.h"
#include "core/HiveLog.h"
#include "core/RegistryHive.h"

namespace tmr::fuzz {
namespace {

// A cell of a key node takes 80 bytes at least.
constexpr size_t kSmallestKey = 80;
// Lookups checked per key: the sibling scan behind each is linear.
constexpr size_t kLookupsPerKey = 64;

void SealChecksum(std::vector<uint8_t>& file) {
  if (file.size() >= 512) hive::PutU32(file, hive::kChecksumAt, hive::BaseBlockChecksum(file));
}

void SealEntries(std::vector<uint8_t>& log) {
  for (size_t at = 512; at < log.size() && log.size() - at >= 40;) {
    const uint32_t size = hive::U32(log, at + 4);
    if (hive::U32(log, at) != 0x454C7648 || size < 40 || size % 512 != 0 || size > log.size() - at) break;
    const std::span<uint8_t> entry = std::span(log).subspan(at, size);
    const uint64_t body = Marvin32(entry.subspan(40), kHiveLogSeed);
    hive::PutU32(entry, 24, static_cast<uint32_t>(body));
    hive::PutU32(entry, 28, static_cast<uint32_t>(body >> 32));
    const uint64_t header = Marvin32(entry.first(32), kHiveLogSeed);
    hive::PutU32(entry, 32, static_cast<uint32_t>(header));
    hive::PutU32(entry, 36, static_cast<uint32_t>(header >> 32));
    at += size;
  }
}

std::vector<uint8_t> Take(std::string_view& rest, uint32_t length) {
  const std::string_view taken = rest.substr(0, length);
  rest.remove_prefix(taken.size());
  return {taken.begin(), taken.end()};
}

// A key's subkeys and values are found again by their names.
std::string CheckLookups(const RegistryHive& hive, RegistryHive::Key key, const std::vector<RegistryHive::Key>& subkeys,
                         const std::vector<HiveValue>& values) {
  for (size_t i = 0; i < subkeys.size() && i < kLookupsPerKey; ++i) {
    const std::string name = hive.KeyName(subkeys[i]);
    if (name.empty() || name.find('\\') != std::string::npos) continue;
    const std::optional<RegistryHive::Key> found = hive.FindKey(key, name);
    if (!found) return "a subkey not found by its name";
    if (FoldCaseUtf8(hive.KeyName(*found)) != FoldCaseUtf8(name)) return "a name found a key of another name";
  }
  for (size_t i = 0; i < values.size() && i < kLookupsPerKey; ++i) {
    const std::optional<HiveValue> found = hive.Value(key, values[i].name);
    if (!found) return "a value not found by its name";
    if (FoldCaseUtf8(found->name) != FoldCaseUtf8(values[i].name)) return "a name found a value of another name";
  }
  return "";
}

}  // namespace

std::string CheckRegistryHive(std::string_view input) {
  FuzzInput in(input);
  const uint8_t choices = in.Byte();
  const uint32_t log1Length = in.Number<uint32_t>();
  const uint32_t log2Length = in.Number<uint32_t>();
  std::string_view rest = in.Rest();
  std::vector<uint8_t> log1 = Take(rest, log1Length);
  std::vector<uint8_t> log2 = Take(rest, log2Length);
  std::vector<uint8_t> primary(rest.begin(), rest.end());
  for (std::vector<uint8_t>* file : {&primary, &log1, &log2}) {
    if ((choices & 1) != 0) SealChecksum(*file);
    if ((choices & 2) != 0 && file != &primary) SealEntries(*file);
  }
  const size_t total = primary.size() + log1.size() + log2.size();
  const bool logs = !log1.empty() || !log2.empty();

  const std::optional<RegistryHive> hive = RegistryHive::Open(std::move(primary), std::move(log1), std::move(log2));
  if (!hive) return "";
  if (hive->Recovered() && !logs) return "recovered without a log";
  std::set<RegistryHive::Key> seen;
  std::vector<RegistryHive::Key> stack{hive->Root()};
  size_t dataBytes = 0;
  size_t textBytes = 0;
  while (!stack.empty()) {
    const RegistryHive::Key key = stack.back();
    stack.pop_back();
    if (!seen.insert(key).second) return "a key listed twice";
    if (seen.size() > total / kSmallestKey + 1) return "more keys than the file has room for";
    const std::vector<RegistryHive::Key> subkeys = hive->Subkeys(key);
    const std::vector<HiveValue> values = hive->Values(key);
    if (subkeys.size() != hive->SubkeyCount(key) || values.size() != hive->ValueCount(key)) {
      return "counts unlike the lists";
    }
    textBytes += hive->KeyName(key).size() + hive->ClassName(key).size();
    for (const HiveValue& value : values) {
      dataBytes += value.data.size();
      textBytes += value.name.size();
    }
    if (std::string failed = CheckLookups(*hive, key, subkeys, values); !failed.empty()) return failed;
    stack.insert(stack.end(), subkeys.begin(), subkeys.end());
  }
  // Each data byte comes from a cell of its own, and the recovered hive is
  // no larger than the files it came from; a name or class name byte
  // becomes two bytes of UTF-8 at most.
  if (dataBytes > total) return "more value data than the files hold";
  if (textBytes > 2 * total) return "more names than the files hold";
  return "";
}

}  // namespace tmr::fuzz
