// The list's rows as records in a block of memory: a cell count, then each
// cell as a kind byte and its value (a length and the bytes of a text, or
// the eight bytes of a number or a time). A million rows cost a few
// allocations this way, and sorting or filtering only moves pointers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "core/CellValue.h"

namespace tmr {

// The bytes the record of these cells takes.
std::size_t RecordBytes(std::span<const CellValue> cells);
// Writes the record at `to`, which has RecordBytes(cells) bytes.
void WriteRecord(char* to, std::span<const CellValue> cells);

inline uint32_t RecordCellCount(const char* record) {
  uint32_t count;
  std::memcpy(&count, record, sizeof count);
  return count;
}

// Walks a record's cells in order.
class RecordCursor {
 public:
  explicit RecordCursor(const char* record) : next_(record + 4), left_(RecordCellCount(record)) {}
  bool Done() const { return left_ == 0; }
  // The next cell; its text points into the record.
  CellValue Next();

 private:
  const char* next_;
  uint32_t left_;
};

// One cell of a record; an empty text past its last cell.
CellValue RecordCell(const char* record, std::size_t column);

// Where records live: blocks of a megabyte, so a million rows cost a few
// allocations. Records stay where they are written until Clear.
class RecordArena {
 public:
  // A record of the cells, written here.
  const char* Add(std::span<const CellValue> cells);
  void Clear();

 private:
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t used_ = 0;
  std::size_t size_ = 0;
};

}  // namespace tmr
