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

// Containers made to cost a reader that trusts them quadratic work, both
// `size` bytes long, after the records of `entries`:
// - a chain of `tables` hash tables, each claiming every block to the end
//   of the file (so each overlaps all that follow), every 8 bytes from the
//   first one on a live entry naming one of the records;
// - `records` URL records one block apart, each claiming every block to the
//   end and naming as its location the one long text that fills the rest
//   of the file, listed by a second hash table.
std::string BuildOverlappingTables(const std::vector<BuiltEntry>& entries, size_t size, uint32_t tables);
std::string BuildOverlappingRecords(const std::vector<BuiltEntry>& entries, size_t size, uint32_t records);

// Little-endian stores into a byte string (the file must be long enough).
void PutU32(std::string& bytes, size_t at, uint32_t value);
uint32_t GetU32(const std::string& bytes, size_t at);

}  // namespace tmr::test
