#include "core/BinaryFields.h"

#include <algorithm>

#include "core/CivilDate.h"
#include "core/Utf8Text.h"

namespace tmr {
namespace {

constexpr int64_t kDaysFrom1601To1970 = 134774;
constexpr uint64_t kTicksPerSecond = 10'000'000;

}  // namespace

uint16_t ByteRange::U16(size_t at) const {
  if (!Has(at, 2)) return 0;
  return static_cast<uint16_t>(bytes_[at] | (bytes_[at + 1] << 8));
}

uint32_t ByteRange::U32(size_t at) const {
  if (!Has(at, 4)) return 0;
  return static_cast<uint32_t>(bytes_[at]) | (static_cast<uint32_t>(bytes_[at + 1]) << 8) |
         (static_cast<uint32_t>(bytes_[at + 2]) << 16) | (static_cast<uint32_t>(bytes_[at + 3]) << 24);
}

uint64_t ByteRange::U64(size_t at) const {
  if (!Has(at, 8)) return 0;
  return U32(at) | (static_cast<uint64_t>(U32(at + 4)) << 32);
}

ByteRange ByteRange::Sub(size_t at, size_t count) const {
  if (at >= bytes_.size()) return ByteRange();
  return ByteRange(bytes_.subspan(at, std::min(count, bytes_.size() - at)));
}

TextField Utf16Field(const ByteRange& range, size_t at, size_t maxUnits) {
  TextField field;
  if (at >= range.size()) return field;
  const size_t units = std::min(maxUnits, (range.size() - at) / 2);
  std::u16string text;
  size_t unit = 0;
  for (; unit < units; ++unit) {
    const char16_t value = static_cast<char16_t>(range.U16(at + unit * 2));
    if (value == 0) {
      field.terminated = true;
      break;
    }
    text.push_back(value);
  }
  field.bytes = (unit + (field.terminated ? 1 : 0)) * 2;
  field.text = Utf8Encode(text);
  return field;
}

TextField AnsiField(const ByteRange& range, size_t at, size_t maxBytes) {
  TextField field;
  if (at >= range.size()) return field;
  const size_t count = std::min(maxBytes, range.size() - at);
  size_t i = 0;
  for (; i < count; ++i) {
    const uint8_t value = range.U8(at + i);
    if (value == 0) {
      field.terminated = true;
      break;
    }
    AppendUtf8(field.text, value);
  }
  field.bytes = i + (field.terminated ? 1 : 0);
  return field;
}

std::string Utf16Counted(const ByteRange& range, size_t at, size_t units) {
  if (units > range.size() / 2 || !range.Has(at, units * 2)) return "";
  return Utf16Field(range, at, units).text;
}

std::string GuidText(const ByteRange& range, size_t at) {
  if (!range.Has(at, 16)) return "";
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text = "{";
  auto hex = [&](uint64_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) text.push_back(kDigits[(value >> shift) & 0xF]);
  };
  hex(range.U32(at), 8);
  text.push_back('-');
  hex(range.U16(at + 4), 4);
  text.push_back('-');
  hex(range.U16(at + 6), 4);
  text.push_back('-');
  for (size_t i = 8; i < 16; ++i) {
    if (i == 10) text.push_back('-');
    hex(range.U8(at + i), 2);
  }
  text.push_back('}');
  return text;
}

uint64_t FatTimeToFileTime(uint16_t date, uint16_t time) {
  if (date == 0) return 0;
  const CivilDate day{1980 + (date >> 9), (date >> 5) & 0xF, date & 0x1F};
  const int hour = time >> 11;
  const int minute = (time >> 5) & 0x3F;
  const int second = (time & 0x1F) * 2;
  if (!IsValidDate(day) || hour > 23 || minute > 59 || second > 59) return 0;
  const int64_t days = DaysFromCivil(day) + kDaysFrom1601To1970;
  const int64_t seconds = days * 86400 + hour * 3600 + minute * 60 + second;
  return static_cast<uint64_t>(seconds) * kTicksPerSecond;
}

}  // namespace tmr
