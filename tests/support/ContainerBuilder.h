// Builds small but well-formed history containers for tests: a header with
// the allocation bitmap, one hash table and a URL record per entry. Entries
// marked deleted keep their record in blocks the bitmap marks free, with no
// hash entry, as a container does after a deletion.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/Fixtures.h"

namespace tmr::test {

struct BuiltEntry {
  BuiltEntry(std::string entryLocation, uint64_t visited, std::optional<std::u16string> entryTitle = std::nullopt,
             bool isDeleted = false)
      : location(std::move(entryLocation)), lastVisited(visited), title(std::move(entryTitle)), deleted(isDeleted) {}

  std::string location;  // e.g. "Visited: user@http://a/"
  uint64_t lastVisited = 0;
  std::optional<std::u16string> title;
  bool deleted = false;
};

struct BuiltContainer {
  std::string bytes;
  std::vector<uint32_t> recordOffsets;  // one per entry, in entry order
  uint32_t hashTable = 0;
};

BuiltContainer BuildContainer(const std::vector<BuiltEntry>& entries);

// Little-endian stores into a byte string (the file must be long enough).
void PutU32(std::string& bytes, size_t at, uint32_t value);
uint32_t GetU32(const std::string& bytes, size_t at);

}  // namespace tmr::test
