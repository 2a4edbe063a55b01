#include "core/RowRecords.h"

#include <algorithm>

#include "core/TextUtil.h"

namespace tmr {

std::size_t RecordBytes(std::span<const CellValue> cells) {
  std::size_t bytes = 4;
  for (const CellValue& cell : cells) bytes += cell.Kind() == CellKind::kText ? 5 + cell.TextValue().size() : 9;
  return bytes;
}

void WriteRecord(char* to, std::span<const CellValue> cells) {
  const auto count = static_cast<uint32_t>(cells.size());
  std::memcpy(to, &count, 4);
  char* p = to + 4;
  for (const CellValue& cell : cells) {
    *p++ = static_cast<char>(cell.Kind());
    if (cell.Kind() == CellKind::kText) {
      const auto length = static_cast<uint32_t>(cell.TextValue().size());
      std::memcpy(p, &length, 4);
      p = CopyShortText(p + 4, cell.TextValue());
    } else {
      const int64_t value = cell.NumberValue();
      std::memcpy(p, &value, 8);
      p += 8;
    }
  }
}

CellValue RecordCursor::Next() {
  if (left_ == 0) return {};
  --left_;
  const auto kind = static_cast<CellKind>(*next_++);
  if (kind == CellKind::kText) {
    uint32_t length;
    std::memcpy(&length, next_, 4);
    const CellValue cell = CellValue::Text({next_ + 4, length});
    next_ += 4 + length;
    return cell;
  }
  int64_t value;
  std::memcpy(&value, next_, 8);
  next_ += 8;
  return kind == CellKind::kTime ? CellValue::Time(value) : CellValue::Number(value);
}

CellValue RecordCell(const char* record, std::size_t column) {
  RecordCursor cursor(record);
  for (std::size_t i = 0; i < column && !cursor.Done(); ++i) cursor.Next();
  return cursor.Done() ? CellValue() : cursor.Next();
}

const char* RecordArena::Add(std::span<const CellValue> cells) {
  constexpr std::size_t kBlockBytes = 1 << 20;
  const std::size_t bytes = RecordBytes(cells);
  if (blocks_.empty() || used_ + bytes > size_) {
    size_ = std::max(bytes, kBlockBytes);
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(size_));
    used_ = 0;
  }
  char* record = blocks_.back().get() + used_;
  used_ += bytes;
  WriteRecord(record, cells);
  return record;
}

void RecordArena::Clear() {
  blocks_.clear();
  used_ = 0;
  size_ = 0;
}

}  // namespace tmr
