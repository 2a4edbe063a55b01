// Reader of the URL cache containers ("Client UrlCache MMF Ver 5.2", the
// index.dat files of the history and cache folders) over a byte range.
// Only the live entries are returned: records that a hash table entry points
// at. Records left in freed blocks (deleted entries) are not returned, as the
// platform's own store does not list them either. Every offset and count read
// from the bytes is checked; a damaged container gives the records that are
// still whole. The work is linear in the size: no block is read twice as a
// hash table or twice as a record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tmr {

struct ContainerUrlRecord {
  uint32_t offset = 0;         // of the record in the container
  std::string location;        // as stored (ANSI), without its NUL
  uint64_t primaryTime = 0;    // FILETIME; the last visit in the global history
  uint64_t secondaryTime = 0;  // FILETIME
  bool hasTitle = false;
  std::u16string title;  // from the record's data area
};

struct ContainerContents {
  bool recognised = false;  // the signature of a version 5.2 container
  // True when no hash table could be read and the allocation bitmap chose
  // the live records instead.
  bool usedAllocationBitmap = false;
  // The hash table entries examined: each 8 bytes of the file at most once.
  size_t hashEntriesRead = 0;
  std::vector<ContainerUrlRecord> records;  // live "URL " records, file order
};

ContainerContents ReadContainer(std::string_view bytes);

// An entry of the global history: "Visited: user@<url>".
struct VisitedEntry {
  std::string url;  // the text after the first "@", ANSI bytes
  bool hasTitle = false;
  std::u16string title;
  uint64_t lastVisited = 0;  // FILETIME, UTC
  uint64_t lastUpdated = 0;  // FILETIME
};

// The visited entries of a global history container in file order; records
// of other kinds (":Host:", daily "-@" entries) are left out.
std::vector<VisitedEntry> ReadVisitedEntries(std::string_view bytes);

// Adds the entries of a further container (the low-integrity one) after
// those already there. A URL both hold is listed once, at its first place,
// with the later visit and that visit's title, as one store would show it.
void MergeVisitedEntries(std::vector<VisitedEntry>& into, std::vector<VisitedEntry> more);

// The page title in a history record's data area: the entry with id 0x10
// and variant type 0x1F (UTF-16LE, NUL-terminated). False when there is none.
bool TitleFromDataArea(std::string_view area, std::u16string& title);

}  // namespace tmr
