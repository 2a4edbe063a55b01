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

std::string_view ShownText(std::string_view text) { return text.substr(0, text.find('\0')); }

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
// on; fewer than `want` only at the text's end.
std::size_t NextKeyBytes(std::string_view text, KeyCursor& cursor, uint8_t* out, std::size_t want) {
  std::size_t written = 0;
  while (written < want && cursor.at < text.size()) {
    const char c = text[cursor.at];
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
  const char* record;
  KeyCursor cursor;
  uint8_t kind;
  bool done;
};

enum SortClass : uint8_t { kEmpty, kValue, kText };

SortClass ClassOf(const CellValue& cell) {
  if (cell.Kind() != CellKind::kText) return kValue;
  return ShownText(cell.TextValue()).empty() ? kEmpty : kText;
}

// The next eight key bytes of a text row as one number, inverted for a
// descending sort; a text past its end gives zeros.
void AdvanceTextKey(SortEntry& entry, std::size_t column, bool descending) {
  const std::string_view text = ShownText(RecordCell(entry.record, column).TextValue());
  uint8_t bytes[8] = {};
  NextKeyBytes(text, entry.cursor, bytes, 8);
  entry.done = entry.cursor.at >= text.size();
  uint64_t key = 0;
  for (uint8_t byte : bytes) key = (key << 8) | byte;
  entry.key = descending ? ~key : key;
}

// A stable sort of the entries by key: least significant 16 bits first,
// leaving out the passes where every key has the same digit.
void SortByKey(SortEntry* first, SortEntry* last, std::vector<SortEntry>& scratch) {
  const auto count = static_cast<std::size_t>(last - first);
  if (count < 2) return;
  if (count < 256) {
    std::stable_sort(first, last, [](const SortEntry& x, const SortEntry& y) { return x.key < y.key; });
    return;
  }
  scratch.resize(std::max(scratch.size(), count));
  std::vector<uint32_t> counts(65536);
  SortEntry* from = first;
  SortEntry* to = scratch.data();
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
  if (from != first) std::copy(from, from + count, first);
}

// Sorts text entries by their first key, then every run of equal keys by
// the next, until the keys differ or the texts end.
void SortTexts(std::vector<SortEntry>& entries, std::size_t begin, std::size_t end, std::size_t column, bool descending,
               std::vector<SortEntry>& scratch) {
  struct Range {
    std::size_t begin, end;
  };
  std::vector<Range> pending;
  auto advance = [&](Range range) {
    bool anyLeft = false;
    for (std::size_t i = range.begin; i < range.end; ++i) anyLeft = anyLeft || !entries[i].done;
    if (!anyLeft) return;  // equal texts: they keep their order
    for (std::size_t i = range.begin; i < range.end; ++i) AdvanceTextKey(entries[i], column, descending);
    pending.push_back(range);
  };
  for (std::size_t i = begin; i < end; ++i) AdvanceTextKey(entries[i], column, descending);
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
  a = ShownText(a);
  b = ShownText(b);
  KeyCursor x;
  KeyCursor y;
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
  // Each class in a block of its own, in the order the direction asks for;
  // the rows are counted first so the entries are made in place.
  std::array<std::size_t, 3> classCounts{};
  for (const char* record : rows) ++classCounts[ClassOf(RecordCell(record, column))];
  const std::array<SortClass, 3> order =
      descending ? std::array<SortClass, 3>{kText, kValue, kEmpty} : std::array<SortClass, 3>{kEmpty, kValue, kText};
  std::array<std::size_t, 3> blockStart{};
  for (std::size_t i = 0, at = 0; i < 3; ++i) {
    blockStart[order[i]] = at;
    at += classCounts[order[i]];
  }
  std::vector<SortEntry> entries(rows.size());
  std::array<std::size_t, 3> next = blockStart;
  for (const char* record : rows) {
    const CellValue cell = RecordCell(record, column);
    const SortClass sortClass = ClassOf(cell);
    uint64_t key = 0;
    if (sortClass == kValue) {
      key = static_cast<uint64_t>(cell.NumberValue()) ^ (uint64_t{1} << 63);
      if (descending) key = ~key;
    }
    entries[next[sortClass]++] = {key, record, {}, sortClass, true};
  }

  std::vector<SortEntry> scratch;
  const std::size_t values = blockStart[kValue];
  SortByKey(entries.data() + values, entries.data() + values + classCounts[kValue], scratch);
  const std::size_t texts = blockStart[kText];
  SortTexts(entries, texts, texts + classCounts[kText], column, descending, scratch);
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = entries[i].record;
}

bool ReverseSortedRecords(std::vector<const char*>& rows, std::size_t column, bool descending) {
  // In the order the other direction gives: each row not before the last.
  const auto comesAfter = [&](const char* x, const char* y, bool down) {
    const int order = CompareSortCells(RecordCell(x, column), RecordCell(y, column));
    return down ? order < 0 : order > 0;
  };
  for (std::size_t i = 1; i < rows.size(); ++i) {
    if (comesAfter(rows[i - 1], rows[i], !descending)) return false;
  }
  std::reverse(rows.begin(), rows.end());
  for (std::size_t start = 0; start < rows.size();) {
    const CellValue cell = RecordCell(rows[start], column);
    std::size_t end = start + 1;
    while (end < rows.size() && CompareSortCells(RecordCell(rows[end], column), cell) == 0) ++end;
    std::reverse(rows.begin() + static_cast<std::ptrdiff_t>(start), rows.begin() + static_cast<std::ptrdiff_t>(end));
    start = end;
  }
  return true;
}

}  // namespace tmr
