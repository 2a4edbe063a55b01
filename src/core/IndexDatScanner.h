// The cache index file reader's record rule, over windows of a file's bytes.
//
// Every byte position is a candidate; a position holding the three letters
// "URL" (case-sensitive) is a hit, whatever surrounds it. A hit's row is the
// 150 bytes at +96 when they begin with "http", otherwise the 150 bytes at
// +104, kept whole (the address, its NUL and what follows). The rule was
// first written as two small positioned reads per byte; the scan ends where
// those reads would have run past the last byte:
//   - the 7-byte read at the position: the last position examined is the
//     one 6 bytes before the end;
//   - a hit's 150-byte read: a hit within the last 246 bytes (or the last
//     254 when the text at +104 is read) is listed and then ends the scan.
// Bytes a read would have found past the end are NUL in the row.
//
// The scanner finds the hits with a vector search, so it runs at memory
// speed, and works through a file window by window so the caller can read
// it in chunks and keep the window live between them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

namespace tmr {

inline constexpr size_t kIndexRowBytes = 150;
inline constexpr size_t kIndexTextAt = 96;
inline constexpr size_t kIndexOtherTextAt = 104;
// Bytes from a position that examining it may need.
inline constexpr size_t kIndexReach = kIndexOtherTextAt + kIndexRowBytes;

// The first "URL" that lies wholly in [begin, end), or end.
const char* FindUrlTag(const char* begin, const char* end);

class IndexDatScanner {
 public:
  // Called with each hit's 150-byte row; returning false stops the scan
  // after this row (the caller's Cancel), and a later Scan goes on from the
  // next position.
  using RowHandler = std::function<bool(std::string_view row)>;

  explicit IndexDatScanner(uint64_t fileLength) : length_(fileLength) {}

  // Examines positions from Next() that the window can answer: those whose
  // reach lies inside it, or all of them when the window runs to the end of
  // the file. `window` holds the file's bytes from `base` (base <= Next()).
  void Scan(std::string_view window, uint64_t base, const RowHandler& onRow);

  // The file turned out shorter than its length said (it shrank while being
  // read): the end is now here.
  void ShrinkTo(uint64_t length);

  uint64_t Next() const { return next_; }  // 0-based offset of the next position
  uint64_t Length() const { return length_; }
  bool Finished() const { return finished_ || next_ >= EndPosition(); }
  uint64_t Hits() const { return hits_; }

  // One past the last position the rule examines in a file of this length.
  static uint64_t EndPositionFor(uint64_t length);

 private:
  uint64_t EndPosition() const { return EndPositionFor(length_); }
  void MakeRow(std::string_view window, uint64_t base, uint64_t position, bool& endsScan);

  uint64_t length_;
  uint64_t next_ = 0;
  uint64_t hits_ = 0;
  bool finished_ = false;
  std::array<char, kIndexRowBytes> row_{};
};

// Scans a whole file held in memory.
void ScanIndexBytes(std::string_view file, const IndexDatScanner::RowHandler& onRow);

}  // namespace tmr
