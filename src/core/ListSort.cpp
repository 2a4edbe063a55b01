#include "core/ListSort.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "core/RowRecords.h"

namespace tmr {
namespace {

// ---- the order of texts ----
//
// A text is compared as a string of key bytes: each byte folded to lower
// case (ASCII), and each run of digits, its leading zeros dropped, as a
// marker, its length and its digits. Comparing those strings byte by byte
// is comparing the texts: a longer number is a larger one, and the marker
// is a digit's own byte, so a number stands against any other character
// as a digit does. Sorting needs only eight key bytes of a text at a time.

constexpr uint8_t kDigitRunMarker = '0';

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

uint8_t Fold(char c) {
  const auto u = static_cast<uint8_t>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<uint8_t>(u - 'A' + 'a') : u;
}

// Where a text's key bytes stand: the text's next byte, and inside a digit
// run's key bytes how many of them were given already.
struct KeyCursor {
  uint32_t at = 0;
  uint32_t inRun = 0;
};

// The key bytes of the digit run at text[at]: where its digits start and
// end, and its length written so that byte order is length order (below
// 250 one byte; longer, 250 + the count of big-endian bytes that follow).
struct DigitRun {
  std::size_t digits;
  std::size_t end;
  std::array<uint8_t, 5> length;
  std::size_t lengthBytes;
  std::size_t KeyBytes() const { return 1 + lengthBytes + (end - digits); }
};

DigitRun DigitRunAt(std::string_view text, std::size_t at) {
  DigitRun run{};
  std::size_t end = at;
  while (end < text.size() && IsDigit(text[end])) ++end;
  std::size_t digits = at;
  while (digits + 1 < end && text[digits] == '0') ++digits;
  run.digits = digits;
  run.end = end;
  const std::size_t count = end - digits;
  if (count < 250) {
    run.length[0] = static_cast<uint8_t>(count);
    run.lengthBytes = 1;
  } else {
    std::size_t bytes = 0;
    for (std::size_t rest = count; rest > 0; rest >>= 8) ++bytes;
    run.length[0] = static_cast<uint8_t>(250 + bytes);
    for (std::size_t i = 0; i < bytes; ++i) run.length[1 + i] = static_cast<uint8_t>(count >> (8 * (bytes - 1 - i)));
    run.lengthBytes = 1 + bytes;
  }
  return run;
}

// Writes up to `want` key bytes of the text from the cursor and moves it
// on; fewer than `want` only at the text's end, which a NUL is (the list
// shows a text up to it).
std::size_t NextKeyBytes(std::string_view text, KeyCursor& cursor, uint8_t* out, std::size_t want) {
  std::size_t written = 0;
  while (written < want && cursor.at < text.size()) {
    const char c = text[cursor.at];
    if (c == '\0') {
      cursor.at = static_cast<uint32_t>(text.size());
      break;
    }
    if (!IsDigit(c)) {
      out[written++] = Fold(c);
      ++cursor.at;
      continue;
    }
    const DigitRun run = DigitRunAt(text, cursor.at);
    const std::size_t total = run.KeyBytes();
    while (written < want && cursor.inRun < total) {
      const std::size_t i = cursor.inRun++;
      out[written++] = i == 0                 ? kDigitRunMarker
                       : i <= run.lengthBytes ? run.length[i - 1]
                                              : static_cast<uint8_t>(text[run.digits + i - 1 - run.lengthBytes]);
    }
    if (cursor.inRun == total) {
      cursor.at = static_cast<uint32_t>(run.end);
      cursor.inRun = 0;
    }
  }
  return written;
}

// ---- sorting ----

// A row being sorted: its key now, and for a text where its key bytes
// stand. Empty cells, values and texts sort apart (class).
struct SortEntry {
  uint64_t key;
  const char* text;  // a text row's cell
  uint32_t row;      // its place among the rows given
  uint32_t length;
  KeyCursor cursor;
  uint8_t kind;
  bool done;
};

enum SortClass : uint8_t { kEmpty, kValue, kText };

// Rows a loop reads ahead: their memory is asked for while earlier ones are
// worked on. Sorted rows lie all over the list's blocks, and waiting for
// each in turn would cost most of a sort.
constexpr std::size_t kReadAhead = 16;

void Prefetch(const void* at) { __builtin_prefetch(at); }

SortClass ClassOf(const CellValue& cell) {
  if (cell.Kind() != CellKind::kText) return kValue;
  const std::string_view text = cell.TextValue();
  return text.empty() || text[0] == '\0' ? kEmpty : kText;
}

// The next eight key bytes of a text row as one number, inverted for a
// descending sort; a text past its end gives zeros.
void AdvanceTextKey(SortEntry& entry, bool descending) {
  const std::string_view text(entry.text, entry.length);
  uint8_t bytes[8] = {};
  NextKeyBytes(text, entry.cursor, bytes, 8);
  entry.done = entry.cursor.at >= text.size();
  uint64_t key = 0;
  for (uint8_t byte : bytes) key = (key << 8) | byte;
  entry.key = descending ? ~key : key;
}

// What the sorts of one SortRecords share, so the runs sorted one after
// another allocate nothing each.
struct SortScratch {
  struct Keyed {
    uint64_t key;
    uint32_t at;
  };
  std::vector<Keyed> keyed;
  std::vector<Keyed> keyedTo;
  std::vector<SortEntry> entries;
  std::vector<uint32_t> counts = std::vector<uint32_t>(65536);
};

// Sorts the keyed places in scratch.keyed stably by key, least significant
// 16 bits first, leaving out the passes where every key has the same
// digit; returns where the sorted ones are.
const SortScratch::Keyed* RadixSort(std::size_t count, SortScratch& scratch) {
  scratch.keyedTo.resize(count);
  SortScratch::Keyed* from = scratch.keyed.data();
  SortScratch::Keyed* to = scratch.keyedTo.data();
  std::vector<uint32_t>& counts = scratch.counts;
  for (int shift = 0; shift < 64; shift += 16) {
    std::fill(counts.begin(), counts.end(), 0);
    for (std::size_t i = 0; i < count; ++i) ++counts[(from[i].key >> shift) & 0xFFFF];
    if (counts[(from[0].key >> shift) & 0xFFFF] == count) continue;
    uint32_t sum = 0;
    for (uint32_t& c : counts) {
      const uint32_t here = c;
      c = sum;
      sum += here;
    }
    for (std::size_t i = 0; i < count; ++i) to[counts[(from[i].key >> shift) & 0xFFFF]++] = from[i];
    std::swap(from, to);
  }
  return from;
}

// A stable sort of the entries by key: their keys and places sorted, then
// the entries moved once into their order.
void SortByKey(SortEntry* first, SortEntry* last, SortScratch& scratch) {
  const auto count = static_cast<std::size_t>(last - first);
  if (count < 2) return;
  // Texts often share their first bytes: a run of one key is sorted already.
  bool oneKey = true;
  for (std::size_t i = 1; i < count && oneKey; ++i) oneKey = first[i].key == first[0].key;
  if (oneKey) return;
  if (count < 256) {
    std::stable_sort(first, last, [](const SortEntry& x, const SortEntry& y) { return x.key < y.key; });
    return;
  }
  scratch.keyed.resize(count);
  for (std::size_t i = 0; i < count; ++i) scratch.keyed[i] = {first[i].key, static_cast<uint32_t>(i)};
  const SortScratch::Keyed* sorted = RadixSort(count, scratch);
  scratch.entries.resize(count);
  for (std::size_t i = 0; i < count; ++i) scratch.entries[i] = first[sorted[i].at];
  std::copy(scratch.entries.begin(), scratch.entries.begin() + static_cast<std::ptrdiff_t>(count), first);
}

// The next keys of the entries from begin to end.
void AdvanceTextKeys(std::vector<SortEntry>& entries, std::size_t begin, std::size_t end, bool descending) {
  for (std::size_t i = begin; i < end; ++i) {
    if (i + kReadAhead < end) Prefetch(entries[i + kReadAhead].text + entries[i + kReadAhead].cursor.at);
    AdvanceTextKey(entries[i], descending);
  }
}

// Texts of one run often go on alike for dozens of bytes (the rest of a
// host name, a path): where every cursor stands at the same place, the
// bytes they all share are passed over at once, up to the start of the run
// of digits the first difference falls in, instead of eight key bytes a
// sort.
void SkipSharedBytes(std::vector<SortEntry>& entries, std::size_t begin, std::size_t end) {
  const SortEntry& first = entries[begin];
  const uint32_t at = first.cursor.at;
  if (first.cursor.inRun != 0 || at >= first.length) return;
  std::size_t shared = first.length - at;
  for (std::size_t i = begin + 1; i < end && shared > 0; ++i) {
    const SortEntry& entry = entries[i];
    if (entry.cursor.at != at || entry.cursor.inRun != 0) return;
    if (i + kReadAhead < end) Prefetch(entries[i + kReadAhead].text + at);
    const std::size_t most = std::min<std::size_t>(shared, entry.length - std::min(entry.length, at));
    std::size_t same = 0;
    while (same < most && entry.text[at + same] == first.text[at + same]) ++same;
    shared = same;
  }
  // A NUL ends every text alike; a difference inside digits is one of the
  // numbers' values.
  const std::string_view common(first.text + at, shared);
  shared = std::min(shared, common.find('\0'));
  while (shared > 0 && IsDigit(first.text[at + shared - 1])) --shared;
  if (shared == 0) return;
  for (std::size_t i = begin; i < end; ++i) entries[i].cursor.at = static_cast<uint32_t>(at + shared);
}

// Sorts text entries by their first key, then every run of equal keys by
// the next, until the keys differ or the texts end.
void SortTexts(std::vector<SortEntry>& entries, std::size_t begin, std::size_t end, bool descending,
               SortScratch& scratch) {
  struct Range {
    std::size_t begin, end;
  };
  std::vector<Range> pending;
  auto advance = [&](Range range) {
    bool anyLeft = false;
    for (std::size_t i = range.begin; i < range.end; ++i) anyLeft = anyLeft || !entries[i].done;
    if (!anyLeft) return;  // equal texts: they keep their order
    SkipSharedBytes(entries, range.begin, range.end);
    AdvanceTextKeys(entries, range.begin, range.end, descending);
    pending.push_back(range);
  };
  AdvanceTextKeys(entries, begin, end, descending);
  pending.push_back({begin, end});
  while (!pending.empty()) {
    const Range range = pending.back();
    pending.pop_back();
    SortByKey(entries.data() + range.begin, entries.data() + range.end, scratch);
    for (std::size_t run = range.begin; run < range.end;) {
      std::size_t runEnd = run + 1;
      while (runEnd < range.end && entries[runEnd].key == entries[run].key) ++runEnd;
      if (runEnd - run > 1) advance({run, runEnd});
      run = runEnd;
    }
  }
}

}  // namespace

int CompareCells(std::string_view a, std::string_view b) {
  // Equal bytes give equal key bytes: start at the first difference, or at
  // the start of the run of digits it falls in. A NUL both share ends both
  // texts as shown.
  std::size_t same = 0;
  const std::size_t shorter = std::min(a.size(), b.size());
  while (same + 8 <= shorter) {
    uint64_t x;
    uint64_t y;
    std::memcpy(&x, a.data() + same, 8);
    std::memcpy(&y, b.data() + same, 8);
    if (x != y) break;
    if (((x - 0x0101010101010101ULL) & ~x & 0x8080808080808080ULL) != 0) return 0;
    same += 8;
  }
  while (same < shorter && a[same] == b[same]) {
    if (a[same] == '\0') return 0;
    ++same;
  }
  if (same == a.size() && same == b.size()) return 0;
  while (same > 0 && IsDigit(a[same - 1])) --same;
  KeyCursor x{static_cast<uint32_t>(same), 0};
  KeyCursor y{static_cast<uint32_t>(same), 0};
  for (;;) {
    uint8_t bytesA[8] = {};
    uint8_t bytesB[8] = {};
    const std::size_t countA = NextKeyBytes(a, x, bytesA, 8);
    const std::size_t countB = NextKeyBytes(b, y, bytesB, 8);
    const std::size_t common = std::min(countA, countB);
    if (const int order = std::memcmp(bytesA, bytesB, common); order != 0) return order < 0 ? -1 : 1;
    if (countA != countB) return countA < countB ? -1 : 1;
    if (countA < 8) return 0;
  }
}

int CompareSortCells(const CellValue& a, const CellValue& b) {
  const SortClass classA = ClassOf(a);
  const SortClass classB = ClassOf(b);
  if (classA != classB) return classA < classB ? -1 : 1;
  if (classA == kValue) {
    if (a.NumberValue() == b.NumberValue()) return 0;
    return a.NumberValue() < b.NumberValue() ? -1 : 1;
  }
  return classA == kText ? CompareCells(a.TextValue(), b.TextValue()) : 0;
}

void SortRecords(std::vector<const char*>& rows, std::size_t column, bool descending) {
  if (rows.size() < 2) return;
  std::vector<SortEntry> entries(rows.size());
  std::array<std::size_t, 3> classCounts{};
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (i + kReadAhead < rows.size()) Prefetch(rows[i + kReadAhead]);
    const CellValue cell = RecordCell(rows[i], column);
    const SortClass sortClass = ClassOf(cell);
    SortEntry& entry = entries[i];
    entry = {0, nullptr, static_cast<uint32_t>(i), 0, {}, sortClass, true};
    if (sortClass == kValue) {
      entry.key = static_cast<uint64_t>(cell.NumberValue()) ^ (uint64_t{1} << 63);
      if (descending) entry.key = ~entry.key;
    } else if (sortClass == kText) {
      entry.text = cell.TextValue().data();
      entry.length = static_cast<uint32_t>(cell.TextValue().size());
    }
    ++classCounts[sortClass];
  }
  // Each class in a block of its own, in the order the direction asks for;
  // a column of one class (the usual) is one block already.
  const std::array<SortClass, 3> order =
      descending ? std::array<SortClass, 3>{kText, kValue, kEmpty} : std::array<SortClass, 3>{kEmpty, kValue, kText};
  std::array<std::size_t, 3> blockStart{};
  for (std::size_t i = 0, at = 0; i < 3; ++i) {
    blockStart[order[i]] = at;
    at += classCounts[order[i]];
  }
  if (std::count(classCounts.begin(), classCounts.end(), std::size_t{0}) < 2) {
    std::vector<SortEntry> grouped(entries.size());
    std::array<std::size_t, 3> next = blockStart;
    for (const SortEntry& entry : entries) grouped[next[entry.kind]++] = entry;
    entries = std::move(grouped);
  }

  SortScratch scratch;
  std::vector<const char*> sorted(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) sorted[i] = rows[entries[i].row];
  // Values need only their keys sorted, not the entries moved.
  const std::size_t values = blockStart[kValue];
  if (const std::size_t count = classCounts[kValue]; count > 1) {
    scratch.keyed.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
      scratch.keyed[i] = {entries[values + i].key, entries[values + i].row};
    }
    const SortScratch::Keyed* keyed = RadixSort(count, scratch);
    for (std::size_t i = 0; i < count; ++i) sorted[values + i] = rows[keyed[i].at];
  }
  const std::size_t texts = blockStart[kText];
  if (classCounts[kText] > 1) {
    SortTexts(entries, texts, texts + classCounts[kText], descending, scratch);
    for (std::size_t i = texts; i < texts + classCounts[kText]; ++i) sorted[i] = rows[entries[i].row];
  }
  rows = std::move(sorted);
}

bool ReverseSortedRecords(std::vector<const char*>& rows, std::size_t column, bool descending) {
  // In the order the other direction gives: each row not before the last.
  // Which neighbours are equal is kept, for putting their runs back.
  std::vector<bool> sameAsBefore(rows.size());
  CellValue previous = rows.empty() ? CellValue() : RecordCell(rows[0], column);
  for (std::size_t i = 1; i < rows.size(); ++i) {
    if (i + kReadAhead < rows.size()) Prefetch(rows[i + kReadAhead]);
    const CellValue cell = RecordCell(rows[i], column);
    const int order = CompareSortCells(previous, cell);
    if (descending ? order > 0 : order < 0) return false;
    sameAsBefore[i] = order == 0;
    previous = cell;
  }
  std::reverse(rows.begin(), rows.end());
  std::reverse(sameAsBefore.begin(), sameAsBefore.end());
  // After the reversal a row's flag tells whether it equals the next one.
  for (std::size_t start = 0; start < rows.size();) {
    std::size_t end = start;
    while (end + 1 < rows.size() && sameAsBefore[end]) ++end;
    ++end;
    std::reverse(rows.begin() + static_cast<std::ptrdiff_t>(start), rows.begin() + static_cast<std::ptrdiff_t>(end));
    start = end;
  }
  return true;
}

}  // namespace tmr
